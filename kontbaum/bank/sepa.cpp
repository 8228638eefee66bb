// The pain.001.001.03 credit-transfer file: the checks of the German
// banks' rules, then the document through QXmlStreamWriter.
#include "kontbaum/bank/sepa.h"

#include "kontbaum/bank/intern.h"
#include "kontbaum/eingang/eingang.h"
#include "kontbaum/faktura/faktura.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace Bank {
namespace {

// The text in the SEPA set: German letters written out; false with the
// first character the set does not have.
bool sepaText(const QString& t, QString* out, QChar* falsch, bool kennung = false) {
    static const QList<QPair<QChar, const char*>> ersatz = {{QChar(0x00E4), "ae"}, {QChar(0x00F6), "oe"}, {QChar(0x00FC), "ue"},
                                                            {QChar(0x00C4), "Ae"}, {QChar(0x00D6), "Oe"}, {QChar(0x00DC), "Ue"},
                                                            {QChar(0x00DF), "ss"}};
    // The Latin set of the EPC, and the ampersand, which the German banks
    // committed themselves to take over from the former domestic set
    // (DFÜ-Abkommen Anlage 3, character set): "GmbH & Co. KG" is a payee.
    static const QString erlaubt = QStringLiteral("/-?:().,'+& ");
    out->clear();
    for (const QChar c : t.simplified()) {
        bool ersetzt = false;
        for (const auto& e : ersatz)
            if (c == e.first) {
                *out += QLatin1String(e.second);
                ersetzt = true;
            }
        if (ersetzt) continue;
        const ushort u = c.unicode();
        // References and identifications keep to the EPC's Latin set.
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || (erlaubt.contains(c) && !(kennung && u == '&'))) {
            *out += c;
            continue;
        }
        *falsch = c;
        return false;
    }
    return true;
}

bool bicGueltig(const QString& bic) {
    static const QRegularExpression form(QStringLiteral("^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$"));
    return form.match(bic).hasMatch();
}

QString betragText(const EuroType& b) {
    const qint64 c = b.cent();
    return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

bool sepaAuftraggeber(DBConnection* db, unsigned long konto, SepaAuftrag* a, QString* fehler) {
    db = rsFallDB(db);
    const QList<Verbindung> alle = verbindungen(db);
    const Verbindung* v = nullptr;
    for (const Verbindung& x : alle)
        if (konto ? x.konto == konto : alle.size() == 1) v = &x;
    if (!v) {
        *fehler = alle.isEmpty() ? QStringLiteral("Es ist noch kein Bankkonto eingerichtet (dalvo bank FALL neu --konto N --iban …).")
                  : konto     ? QStringLiteral("Dem Konto %1 ist kein Bankkonto zugeordnet (die Bankkonten zeigt „dalvo bank FALL liste“).").arg(konto)
                              : QStringLiteral("Es gibt mehrere Bankkonten; bitte nennen Sie das zahlende mit --konto N.");
        return false;
    }
    if (v->iban.isEmpty()) {
        *fehler = QStringLiteral("Das Bankkonto des Kontos %1 hat keine IBAN; SEPA-Überweisungen brauchen sie (dalvo bank FALL neu … --iban).").arg(v->konto);
        return false;
    }
    a->iban = v->iban;
    a->bic = v->bic;
    a->auftraggeber = Faktura::leseFirma(db).name.trimmed();
    if (a->auftraggeber.isEmpty()) a->auftraggeber = v->bezeichnung.trimmed();
    if (a->auftraggeber.isEmpty()) {
        *fehler = QStringLiteral("Der Name des Auftraggebers fehlt: bitte mit „dalvo firma FALL --name …“ angeben.");
        return false;
    }
    return true;
}

bool eingangsrechnungenZahlen(DBConnection* db, const QList<unsigned long>& ids, SepaAuftrag* a, QString* fehler) {
    db = rsFallDB(db);
    QList<Ueberweisung> posten;
    QStringList namen;
    for (int i = 0; i < ids.size(); ++i) {
        const unsigned long id = ids[i];
        if (ids.indexOf(id) != i) {
            *fehler = QStringLiteral("Die Eingangsrechnung %1 ist zweimal genannt; sie wird nur einmal überwiesen.").arg(id);
            return false;
        }
        Eingang::Gespeichert g;
        if (!Eingang::lese(db, id, &g, fehler)) return false;
        const QString wer = QStringLiteral("Eingangsrechnung %1 (%2 von %3)").arg(id).arg(g.nummer, g.lieferant);
        auto nein = [&](const QString& t) {
            *fehler = wer + QStringLiteral(": ") + t;
            return false;
        };
        // Under the cash principle an incoming invoice is booked when it
        // is paid: a booked one has been paid already.
        if (!g.offen())
            return nein(QStringLiteral("Sie ist bereits bezahlt und gebucht (Buchung %1%2); es wird nichts überwiesen.")
                            .arg(g.buchungsnummer)
                            .arg(g.bezahlt.isValid() ? QStringLiteral(" vom ") + g.bezahlt.getText() : QString()));
        if (g.gutschrift) return nein(QStringLiteral("Eine Gutschrift zahlt der Lieferant; es gibt nichts zu überweisen."));
        if (g.zahlbetrag <= EuroType())
            return nein(QStringLiteral("Der Zahlbetrag ist %1 €; es gibt nichts zu überweisen.").arg(g.zahlbetrag.getText()));
        if (g.iban.isEmpty())
            return nein(QStringLiteral("Die Rechnung nennt keine IBAN des Lieferanten. Bitte überweisen Sie mit --betrag, --empfaenger, "
                                       "--iban und --zweck."));
        const QVector<DatenTyp> z =
            QueryPrepared(db, QStringLiteral("SELECT BIC, Zahlungsreferenz FROM eingangRechnungen WHERE ID=?"), {DatenTyp(id)});
        const QString referenz = z.isEmpty() ? QString() : z[1].toString().trimmed();
        Ueberweisung u;
        u.empfaenger = g.lieferant;
        u.iban = g.iban;
        u.bic = z.isEmpty() ? QString() : z[0].toString().trimmed();
        u.betrag = g.zahlbetrag;
        // The reference the supplier asks for (BT-83) first: it is what
        // its bookkeeping matches; the number as well, so our own bank
        // takeover finds the invoice in the purpose again.
        u.zweck = referenz.isEmpty() || referenz == g.nummer ? QStringLiteral("Rechnung %1").arg(g.nummer)
                                                             : QStringLiteral("%1 Rechnung %2").arg(referenz, g.nummer);
        // The end-to-end reference comes back on the statement; the number
        // goes there when the SEPA set and its 35 characters allow it.
        QString ref;
        QChar c;
        if (sepaText(g.nummer, &ref, &c, true) && ref.size() <= 35) u.referenz = ref;
        posten << u;
        namen << wer;
    }
    while (a->namen.size() < a->posten.size()) a->namen << QString();
    a->posten << posten;
    a->namen << namen;
    return true;
}

bool schreibePain001(const SepaAuftrag& a, QByteArray* xml, QString* fehler) {
    xml->clear();
    auto nein = [&](const QString& t) {
        *fehler = t;
        return false;
    };
    // Every text in the SEPA set and within its length.
    auto text = [&](const QString& wert, int laenge, const QString& feld, QString* out, bool kennung = false) {
        QChar c;
        if (!sepaText(wert, out, &c, kennung))
            return nein(QStringLiteral("%1: Das Zeichen „%2“ ist in SEPA-Überweisungen nicht erlaubt (erlaubt sind Buchstaben ohne Akzent, "
                                       "Ziffern, Leerzeichen und / - ? : ( ) . , ' +%3).")
                            .arg(feld, c, kennung ? QString() : QStringLiteral(" &")));
        if (out->size() > laenge)
            return nein(QStringLiteral("%1 ist %2 Zeichen lang; erlaubt sind höchstens %3.").arg(feld).arg(out->size()).arg(laenge));
        return true;
    };
    if (a.posten.isEmpty()) return nein(QStringLiteral("Es ist keine Überweisung angegeben."));
    if (!a.ausfuehrung.isValid()) return nein(QStringLiteral("Das Ausführungsdatum fehlt."));
    if (a.ausfuehrung.qdate() < a.erstellt.date())
        return nein(QStringLiteral("Das Ausführungsdatum %1 liegt in der Vergangenheit; die Bank führt nur heute oder später aus.")
                        .arg(a.ausfuehrung.getText()));
    QString auftraggeber;
    if (!text(a.auftraggeber, 70, QStringLiteral("Der Name des Auftraggebers"), &auftraggeber)) return false;
    const QString eigeneIban = normIban(a.iban);
    if (!ibanGueltig(eigeneIban)) return nein(QStringLiteral("Die IBAN %1 des zahlenden Kontos hat keine gültige Prüfziffer.").arg(a.iban));
    const QString eigeneBic = a.bic.trimmed().toUpper();
    if (!eigeneBic.isEmpty() && !bicGueltig(eigeneBic)) return nein(QStringLiteral("Die BIC %1 des zahlenden Kontos ist keine BIC.").arg(a.bic));

    struct Geprueft {
        QString name, iban, bic, zweck, referenz;
        EuroType betrag;
    };
    QList<Geprueft> posten;
    EuroType summe;
    for (int i = 0; i < a.posten.size(); ++i) {
        const Ueberweisung& u = a.posten[i];
        const QString wer = !a.namen.value(i).isEmpty() ? a.namen[i] + QStringLiteral(": ")
                            : a.posten.size() == 1  ? QString()
                                                    : QStringLiteral("Überweisung %1: ").arg(i + 1);
        Geprueft g;
        if (u.betrag.cent() < 1 || u.betrag.cent() > EuroType::kHoechstCent)
            return nein(wer + QStringLiteral("Der Betrag %1 liegt nicht zwischen 0,01 und %2 €.").arg(u.betrag.getText(), EuroType::hoechstbetragText()));
        g.betrag = u.betrag;
        if (u.empfaenger.trimmed().isEmpty()) return nein(wer + QStringLiteral("Der Name des Empfängers fehlt."));
        if (!text(u.empfaenger, 70, wer + QStringLiteral("Der Name des Empfängers"), &g.name)) return false;
        g.iban = normIban(u.iban);
        if (!ibanGueltig(g.iban))
            return nein(wer + QStringLiteral("Die IBAN „%1“ des Empfängers ist ungültig (Prüfziffer oder Länge falsch).").arg(u.iban.trimmed()));
        g.bic = u.bic.trimmed().toUpper();
        if (!g.bic.isEmpty() && !bicGueltig(g.bic)) return nein(wer + QStringLiteral("„%1“ ist keine BIC.").arg(u.bic));
        if (!text(u.zweck, 140, wer + QStringLiteral("Der Verwendungszweck"), &g.zweck)) return false;
        if (!text(u.referenz, 35, wer + QStringLiteral("Die Ende-zu-Ende-Referenz"), &g.referenz, true)) return false;
        if (g.referenz.isEmpty()) g.referenz = QStringLiteral("NOTPROVIDED");
        summe += g.betrag;
        posten << g;
    }
    if (summe.cent() > EuroType::kHoechstCent)
        return nein(QStringLiteral("Die Summe %1 € der Überweisungen übersteigt %2 €.").arg(summe.getText(), EuroType::hoechstbetragText()));

    // The message ID: unique per creation time, of the SEPA set, 35 at most.
    const QString msgId = QStringLiteral("DALVO-") + a.erstellt.toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QXmlStreamWriter w(xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(QStringLiteral("urn:iso:std:iso:20022:tech:xsd:pain.001.001.03"));
    w.writeStartElement(QStringLiteral("Document"));
    w.writeStartElement(QStringLiteral("CstmrCdtTrfInitn"));
    w.writeStartElement(QStringLiteral("GrpHdr"));
    w.writeTextElement(QStringLiteral("MsgId"), msgId);
    w.writeTextElement(QStringLiteral("CreDtTm"), a.erstellt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    w.writeTextElement(QStringLiteral("NbOfTxs"), QString::number(posten.size()));
    w.writeTextElement(QStringLiteral("CtrlSum"), betragText(summe));
    w.writeStartElement(QStringLiteral("InitgPty"));
    w.writeTextElement(QStringLiteral("Nm"), auftraggeber);
    w.writeEndElement();  // InitgPty
    w.writeEndElement();  // GrpHdr
    w.writeStartElement(QStringLiteral("PmtInf"));
    w.writeTextElement(QStringLiteral("PmtInfId"), msgId + QStringLiteral("-1"));
    w.writeTextElement(QStringLiteral("PmtMtd"), QStringLiteral("TRF"));
    w.writeTextElement(QStringLiteral("NbOfTxs"), QString::number(posten.size()));
    w.writeTextElement(QStringLiteral("CtrlSum"), betragText(summe));
    w.writeStartElement(QStringLiteral("PmtTpInf"));
    w.writeStartElement(QStringLiteral("SvcLvl"));
    w.writeTextElement(QStringLiteral("Cd"), QStringLiteral("SEPA"));
    w.writeEndElement();  // SvcLvl
    w.writeEndElement();  // PmtTpInf
    w.writeTextElement(QStringLiteral("ReqdExctnDt"), a.ausfuehrung.qdate().toString(Qt::ISODate));
    w.writeStartElement(QStringLiteral("Dbtr"));
    w.writeTextElement(QStringLiteral("Nm"), auftraggeber);
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("DbtrAcct"));
    w.writeStartElement(QStringLiteral("Id"));
    w.writeTextElement(QStringLiteral("IBAN"), eigeneIban);
    w.writeEndElement();
    w.writeEndElement();
    // Without a BIC the bank finds it from the IBAN ("NOTPROVIDED").
    w.writeStartElement(QStringLiteral("DbtrAgt"));
    w.writeStartElement(QStringLiteral("FinInstnId"));
    if (eigeneBic.isEmpty()) {
        w.writeStartElement(QStringLiteral("Othr"));
        w.writeTextElement(QStringLiteral("Id"), QStringLiteral("NOTPROVIDED"));
        w.writeEndElement();
    } else {
        w.writeTextElement(QStringLiteral("BIC"), eigeneBic);
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("ChrgBr"), QStringLiteral("SLEV"));
    for (const Geprueft& g : posten) {
        w.writeStartElement(QStringLiteral("CdtTrfTxInf"));
        w.writeStartElement(QStringLiteral("PmtId"));
        w.writeTextElement(QStringLiteral("EndToEndId"), g.referenz);
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("Amt"));
        w.writeStartElement(QStringLiteral("InstdAmt"));
        w.writeAttribute(QStringLiteral("Ccy"), QStringLiteral("EUR"));
        w.writeCharacters(betragText(g.betrag));
        w.writeEndElement();
        w.writeEndElement();
        if (!g.bic.isEmpty()) {
            w.writeStartElement(QStringLiteral("CdtrAgt"));
            w.writeStartElement(QStringLiteral("FinInstnId"));
            w.writeTextElement(QStringLiteral("BIC"), g.bic);
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeStartElement(QStringLiteral("Cdtr"));
        w.writeTextElement(QStringLiteral("Nm"), g.name);
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("CdtrAcct"));
        w.writeStartElement(QStringLiteral("Id"));
        w.writeTextElement(QStringLiteral("IBAN"), g.iban);
        w.writeEndElement();
        w.writeEndElement();
        if (!g.zweck.isEmpty()) {
            w.writeStartElement(QStringLiteral("RmtInf"));
            w.writeTextElement(QStringLiteral("Ustrd"), g.zweck);
            w.writeEndElement();
        }
        w.writeEndElement();  // CdtTrfTxInf
    }
    w.writeEndElement();  // PmtInf
    w.writeEndElement();  // CstmrCdtTrfInitn
    w.writeEndElement();  // Document
    w.writeEndDocument();
    return true;
}

}  // namespace Bank
