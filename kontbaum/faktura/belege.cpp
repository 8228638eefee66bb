// Documents: offers, order confirmations, delivery notes and invoices with
// their positions, their totals per tax key and the checks on saving and
// before output.
#include "kontbaum/faktura/intern.h"

#include "host/app/ui.h"

#include <cmath>

namespace Faktura {
using namespace intern;

namespace intern {
int fallJahr(const zDate& sonst) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : sonst.year();
}

bool jahrPasst(const zDate& datum, const QString& was, QString* fehler) {
    const int jahr = fallJahr(datum);
    if (datum.year() == jahr ||
        GetUi().frage(QStringLiteral("Das Datum %1 (%2) liegt nicht im Wirtschaftsjahr %3 des Falls. Trotzdem fortfahren?")
                          .arg(datum.getText(), was)
                          .arg(jahr),
                      QStringLiteral("Frage")))
        return true;
    if (fehler)
        *fehler = QStringLiteral("Der Beleg (%1) wurde nicht gespeichert: sein Datum %2 liegt nicht im Wirtschaftsjahr %3. Geben Sie ein "
                                 "Datum des Jahres mit --datum an, oder bestätigen Sie mit --ja.")
                      .arg(was, datum.getText())
                      .arg(jahr);
    return false;
}

zDate faelligAm(DBConnection* db, const Beleg& b) {
    if (b.zahlungsziel.isValid()) return b.zahlungsziel;
    Zahlungsbedingung z;
    return b.datum.addDays(zahlungsbedingungVon(db, b, &z) ? z.tage : 14);
}
}  // namespace intern

namespace {
const QString kTemp = QStringLiteral("reTempPositionen");

bool istRechnung(const Beleg& b) { return b.art == Belegart::Rechnung; }

Zeile positionsZeile(unsigned long id, int nr, const Position& p) {
    return {{QStringLiteral("ID"), DatenTyp(id)},
            {QStringLiteral("PositionID"), DatenTyp(nr)},
            {QStringLiteral("ArtikelID"), DatenTyp(p.artikelID)},
            {QStringLiteral("Artikelnummer"), DatenTyp(p.artikelnummer)},
            {QStringLiteral("Bezeichnung"), DatenTyp(p.bezeichnung)},
            {QStringLiteral("Beschreibung"), DatenTyp(p.beschreibung)},
            {QStringLiteral("Menge"), DatenTyp(p.menge)},
            {QStringLiteral("Einheit"), DatenTyp(p.einheit)},
            {QStringLiteral("Preis"), DatenTyp(p.preis)},
            {QStringLiteral("Bruttopreis"), DatenTyp(p.bruttopreis)},
            {QStringLiteral("Brutto"), DatenTyp(p.brutto ? 1 : 0)},
            {QStringLiteral("Rabatt"), DatenTyp(p.rabatt)},
            {QStringLiteral("Steuerschluessel"), DatenTyp(p.steuerschluessel)},
            {QStringLiteral("Konto"), DatenTyp(p.konto)}};
}

Zeile kopfZeile(DBConnection* db, const Beleg& b, const Summen& s) {
    Zeile z{{QStringLiteral("Nummer"), DatenTyp(b.nummer)},
            {QStringLiteral("PersonID"), DatenTyp(b.personID)},
            {QStringLiteral("Datum"), DatenTyp(b.datum)},
            {QStringLiteral("Lieferdatum"), DatenTyp(b.zeitraumBis)},
            {QStringLiteral("ZeitraumVon"), DatenTyp(b.zeitraumVon)},
            {QStringLiteral("ZeitraumBis"), DatenTyp(b.zeitraumBis)},
            {QStringLiteral("Art"), DatenTyp(b.rechnungsart)},
            {QStringLiteral("Anzahlung"), DatenTyp(b.anzahlung)},
            {QStringLiteral("bezahlt"), DatenTyp(b.bezahlt)},
            {QStringLiteral("Gesamtbetrag"), DatenTyp(s.endsumme)},
            {QStringLiteral("Erinnerungsdatum"), DatenTyp(b.erinnerungsdatum)},
            {QStringLiteral("ModDat"), DatenTyp(zDate::today())}};
    if (b.art == Belegart::Mahnung) return z;
    z.insert(QStringLiteral("ZahlungsbedingungID"), DatenTyp(b.zahlungsbedingungID));
    z.insert(QStringLiteral("Versandkosten"), DatenTyp(s.versandBrutto));
    if (b.art != Belegart::Angebot) z.insert(QStringLiteral("AngebotsID"), DatenTyp(b.angebotsID));
    if (b.art == Belegart::Lieferschein || istRechnung(b)) z.insert(QStringLiteral("AuftragsbestaetigungID"), DatenTyp(b.auftragsID));
    if (istRechnung(b)) {
        z.insert(QStringLiteral("LieferscheinID"), DatenTyp(b.lieferscheinID));
        z.insert(QStringLiteral("Zahlungsziel"), DatenTyp(b.zahlungsziel));
        z.insert(QStringLiteral("Kleinunternehmerregelung"), DatenTyp(KontoGlobal::istUstPflichtig(db) ? 0 : 1));
        z.insert(QStringLiteral("VersandkostenNetto"), DatenTyp(s.versandNetto));
        z.insert(QStringLiteral("VersandkostenBrutto"), DatenTyp(s.versandBrutto));
        z.insert(QStringLiteral("VersandkostenSteuersatz"), DatenTyp(b.versandSatz));
        z.insert(QStringLiteral("VersandkostenSteuer"), DatenTyp(s.versandSteuer));
        z.insert(QStringLiteral("KorrekturZuID"), DatenTyp(b.korrekturZu));
    }
    return z;
}

Beleg belegAus(DBConnection* db, Belegart art, const rsDataSource& rs) {
    Beleg b;
    b.art = art;
    auto f = [&](const char* n) { return rs.field(QLatin1String(n)); };
    b.id = f("ID").toULong();
    b.nummer = f("Nummer").toString();
    b.personID = f("PersonID").toULong();
    b.datum = f("Datum").toDate();
    b.zeitraumVon = f("ZeitraumVon").toDate();
    b.zeitraumBis = f("ZeitraumBis").toDate();
    b.rechnungsart = f("Art").toInt();
    b.anzahlung = f("Anzahlung").toEuro();
    b.bezahlt = f("bezahlt").toDate();
    b.erinnerungsdatum = f("Erinnerungsdatum").toDate();
    b.zahlungsbedingungID = f("ZahlungsbedingungID").toULong();
    b.angebotsID = f("AngebotsID").toULong();
    b.auftragsID = f("AuftragsbestaetigungID").toULong();
    b.lieferscheinID = f("LieferscheinID").toULong();
    if (art == Belegart::Rechnung) b.korrekturZu = f("KorrekturZuID").toULong();
    b.zahlungsziel = f("Zahlungsziel").toDate();
    b.versandNetto = f("VersandkostenNetto").toEuro();
    b.versandSatz = f("VersandkostenSteuersatz").toDouble();
    if (art != Belegart::Rechnung) b.versandNetto = f("Versandkosten").toEuro();
    const QString pt = positionsTabelle(art);
    if (pt.isEmpty()) return b;
    rsDataSource p(db, QStringLiteral("SELECT * FROM ") + pt + QStringLiteral(" WHERE ID=? ORDER BY PositionID"), {DatenTyp(b.id)});
    for (; !p.isEOF(); p.fetch()) {
        Position x;
        auto g = [&](const char* n) { return p.field(QLatin1String(n)); };
        x.positionID = g("PositionID").toULong();
        x.artikelID = g("ArtikelID").toULong();
        x.artikelnummer = g("Artikelnummer").toString();
        x.bezeichnung = g("Bezeichnung").toString();
        x.beschreibung = g("Beschreibung").toString();
        x.menge = g("Menge").toDouble();
        x.einheit = g("Einheit").toString();
        x.preis = g("Preis").toEuro();
        x.bruttopreis = g("Bruttopreis").toEuro();
        x.brutto = g("Brutto").toBool();
        x.rabatt = g("Rabatt").toDouble();
        x.steuerschluessel = g("Steuerschluessel").toULong();
        x.konto = g("Konto").toULong();
        b.positionen << x;
    }
    return b;
}

const QString kRechnungsText = QStringLiteral("Rechnung / Rechnungskorrektur");

// The questions and refusals of the invoice dialog on saving, in its order.
// `alt` is the stored invoice (id 0 for a new one).
bool rechnungPruefen(DBConnection* db, Beleg* b, const Beleg& alt, QString* fehler) {
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    auto frage = [&](const QString& t) { return GetUi().frage(t, QStringLiteral("Frage")); };
    const QString abgebrochen = QStringLiteral("Die Rechnung wurde nicht gespeichert (Frage verneint). Mit --ja wird sie trotzdem gespeichert.");
    // An invoice without recipient could never be posted or sent.
    if (b->personID == 0 || !lesePerson(db, b->personID, nullptr))
        return nein(QStringLiteral("Bitte wählen Sie einen Kunden für die Rechnung / Rechnungskorrektur."));
    if (b->korrekturZu != 0) {
        Beleg zu;
        if (b->korrekturZu == b->id || !leseBeleg(db, Belegart::Rechnung, b->korrekturZu, &zu))
            return nein(QStringLiteral("Die Rechnung, die korrigiert werden soll, gibt es nicht."));
        if (zu.personID != b->personID)
            return nein(QStringLiteral("Die Rechnungskorrektur muss an denselben Kunden gehen wie die Rechnung %1.").arg(zu.nummer));
        if (b->datum < zu.datum)
            return nein(QStringLiteral("Die Rechnungskorrektur kann nicht vor der Rechnung %1 vom %2 datieren.").arg(zu.nummer, zu.datum.getText()));
        b->rechnungsart = 1;
    }
    const bool datumNeu = alt.id == 0 || alt.datum != b->datum;
    if (datumNeu) {
        // The question guards against back-dating an invoice written now. A
        // case of a past year is written after the fact, where every date
        // lies before today, so there only a date before the newest invoice
        // asks: the numbers would no longer follow the dates.
        const zDate heute = zDate::today();
        const zDate letzte = wert(db, QStringLiteral("SELECT MAX(Datum) FROM reRechnungen WHERE ID<>0 AND ID<>? AND Datum<>''"), {DatenTyp(b->id)})
                                 .toDate();
        if (b->datum < heute && b->datum.year() == heute.year() &&
            !frage(QStringLiteral("Das Rechnungsdatum liegt vor dem heutigen Tag. Trotzdem fortfahren?")))
            return nein(abgebrochen);
        if (letzte.isValid() && b->datum < letzte &&
            !frage(QStringLiteral("Das Rechnungsdatum liegt vor dem Datum der letzten Rechnung (%1). Trotzdem fortfahren?").arg(letzte.getText())))
            return nein(abgebrochen);
        const int jahr = fallJahr(b->datum);
        if (b->datum.year() != jahr &&
            !frage(QStringLiteral("Das Rechnungsdatum liegt nicht im aktuell gewählten Wirtschaftsjahr ") + QString::number(jahr) +
                   QStringLiteral(". Trotzdem fortfahren?")))
            return nein(abgebrochen);
        if (b->zeitraumBis.isValid() && b->zeitraumBis.addMonths(6) < b->datum &&
            !frage(QStringLiteral("Das Ende der Lieferung oder sonstigen Leistungen liegt mehr als 6 Monate vor dem Rechnungsdatum.\n"
                                  "Nach dem Umsatzsteuergesetz muss eine Rechnung / Rechnungskorrektur bis spätestens 6 Monate nach "
                                  "Ausführung der Leistung gestellt werden.\nTrotzdem fortfahren?")))
            return nein(abgebrochen);
    }
    const Summen s = berechneSummen(db, *b);
    if (b->positionen.isEmpty() && !b->anzahlung.isNull() &&
        !frage(QStringLiteral("Sie haben noch keine umsatzwirksamen Positionen zu der Rechnung / Rechnungskorrektur angegeben.\n"
                              "Wollen Sie trotzdem bereits eine Anzahlung speichern?")))
        return nein(abgebrochen);
    if (s.endsumme > EuroType() && b->anzahlung < EuroType())
        return nein(QStringLiteral("Sie haben zu einer positiven Rechnungssumme von ") + s.endsumme.getText() +
                    QStringLiteral(" eine negative bereits gezahlte Summe erfasst."));
    if (s.endsumme < EuroType() && b->anzahlung > EuroType())
        return nein(QStringLiteral("Sie haben zu einer negativen Rechnungssumme von ") + s.endsumme.getText() +
                    QStringLiteral(" eine positive bereits gezahlte Summe erfasst."));
    if (!b->positionen.isEmpty() && b->anzahlung.abs() > s.endsumme.abs() &&
        !frage(QStringLiteral("Die bereits gezahlte Summe darf die Rechnungssumme von ") + s.endsumme.getText() +
               QStringLiteral(" nicht übersteigen.\nTrotzdem fortfahren?")))
        return nein(abgebrochen);
    // A correction of a named invoice may raise it as well as lower it.
    if (b->rechnungsart == 1 && b->korrekturZu == 0 && s.endsumme > EuroType() &&
        frage(QStringLiteral("Sie haben eine negative Gutschrift erfasst was einer Rechnung entspricht. Soll diese automatisch in eine "
                             "Rechnung umgewandelt werden?")))
        b->rechnungsart = 0;
    else if (b->rechnungsart == 0 && s.endsumme < EuroType() &&
             frage(QStringLiteral("Sie haben eine negative Rechnung erfasst was einer Gutschrift entspricht. Soll diese automatisch in "
                                  "eine Gutschrift umgewandelt werden?")))
        b->rechnungsart = 1;
    return true;
}

// The rules of a position of any document.
QString positionPruefen(DBConnection* db, const Position& p, bool ustPflichtig) {
    if (p.bezeichnung.trimmed().isEmpty()) return QStringLiteral("Bitte geben Sie eine Bezeichnung für die Position an.");
    if (p.menge == 0.0) return QStringLiteral("Die Menge der Position „%1“ ist 0. Bitte geben Sie eine Menge an.").arg(p.bezeichnung);
    if (!std::isfinite(p.menge)) return QStringLiteral("Die Menge der Position „%1“ ist keine Zahl. Bitte geben Sie eine Menge an.").arg(p.bezeichnung);
    if (!(p.rabatt >= 0 && p.rabatt <= 100)) return QStringLiteral("Der Rabatt liegt zwischen 0 und 100 %.");
    // Quantity times price is money like any amount booked: within the
    // bound of an amount, or the totals and their postings could not hold it.
    if (!(p.brutto ? p.bruttopreis : p.preis).imRahmen() || !positionsbetrag(p).imRahmen())
        return QStringLiteral("Der Betrag der Position „%1“ (Menge × Preis) übersteigt den Höchstbetrag von %2 €. Bitte prüfen Sie Menge "
                              "und Preis.")
            .arg(p.bezeichnung, EuroType::hoechstbetragText());
    if (!ustPflichtig && p.steuerschluessel != 0)
        return QStringLiteral("Der Fall ist nicht umsatzsteuerpflichtig (Kleinunternehmerregelung, § 19 UStG): eine Rechnung weist keine "
                              "Umsatzsteuer aus. Bitte wählen Sie den Steuerschlüssel 0.");
    return pruefeErloeskonto(db, p.konto, p.steuerschluessel);
}
}  // namespace

namespace {
// The totals of a document are amounts to be posted: each within the bound
// of an amount.
QString summenPruefen(const Summen& s, const Beleg& b) {
    for (const EuroType& e : {s.summeNetto, s.summeSteuer, s.summeBrutto, s.versandBrutto, s.endsumme, s.offen, b.anzahlung})
        if (!e.imRahmen())
            return QStringLiteral("Die Summen des Belegs übersteigen den Höchstbetrag von %1 €. Bitte verteilen Sie die Positionen auf "
                                  "mehrere Belege.")
                .arg(EuroType::hoechstbetragText());
    return QString();
}
}  // namespace

EuroType positionsbetrag(const Position& p, EuroType* rabatt) {
    const EuroType betrag = (p.brutto ? p.bruttopreis : p.preis).mal(p.menge);
    const EuroType r = betrag.prozent(p.rabatt);
    if (rabatt) *rabatt = r;
    return betrag - r;
}

Summen berechneSummen(DBConnection* db, const Beleg& b) {
    db = rsFallDB(db);
    Summen s;
    // Per key, gross and net positions each summed and split once: the tax
    // is that of the key's sum, not a sum of rounded position taxes.
    struct Gruppe {
        EuroType summe;
        QList<int> positionen;
    };
    QMap<QPair<unsigned long, bool>, Gruppe> gruppen;
    for (int i = 0; i < b.positionen.size(); ++i) {
        EuroType r;
        const EuroType betrag = positionsbetrag(b.positionen[i], &r);
        s.positionsbetrag << betrag;
        s.positionsnetto << betrag;
        s.positionsrabatt << r;
        Gruppe& g = gruppen[qMakePair(b.positionen[i].steuerschluessel, b.positionen[i].brutto)];
        g.summe += betrag;
        g.positionen << i;
    }
    QMap<unsigned long, Schluesselsumme> jeSchluessel;
    for (auto it = gruppen.begin(); it != gruppen.end(); ++it) {
        const bool brutto = it.key().second;
        const KontoGlobal::ssDaten d = KontoGlobal::calcSteuerschluessel(db, it.key().first, it->summe, !brutto);
        Schluesselsumme& k = jeSchluessel[it.key().first];
        k.steuerschluessel = it.key().first;
        k.satz = d.steuersatz;
        k.netto += d.netto;
        k.steuer += d.steuer;
        if (brutto && !it->summe.isNull()) {
            // The key's net over its gross positions, the last taking the rest.
            EuroType verteilt;
            for (int j = 0; j < it->positionen.size(); ++j) {
                const int i = it->positionen[j];
                const EuroType n = j + 1 == it->positionen.size() ? d.netto - verteilt
                                                                  : s.positionsbetrag[i].anteil(d.netto.cent(), it->summe.cent());
                s.positionsnetto[i] = n;
                verteilt += s.positionsnetto[i];
            }
        }
    }
    for (Schluesselsumme k : jeSchluessel) {
        k.brutto = k.netto + k.steuer;
        s.schluessel << k;
        s.summeNetto += k.netto;
        s.summeSteuer += k.steuer;
    }
    s.summeBrutto = s.summeNetto + s.summeSteuer;
    const bool ust = KontoGlobal::istUstPflichtig(db);
    s.versandNetto = b.versandNetto;
    s.versandSteuer = ust ? s.versandNetto.prozent(b.versandSatz) : EuroType();
    s.versandBrutto = s.versandNetto + s.versandSteuer;
    s.endsumme = s.summeBrutto + s.versandBrutto;
    s.offen = s.endsumme - b.anzahlung;
    return s;
}

bool speichereBeleg(DBConnection* db, Beleg* b, QString* fehler) {
    db = rsFallDB(db);
    if (!db || !b || b->art == Belegart::Mahnung) return false;
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    const QString tab = tabelle(b->art), pt = positionsTabelle(b->art);
    if (!b->datum.isValid()) return nein(QStringLiteral("Bitte geben Sie ein gültiges Datum an."));
    if (b->zeitraumVon.isValid() && b->zeitraumBis.isValid() && b->zeitraumBis < b->zeitraumVon)
        return nein(QStringLiteral("Der Leistungszeitraum endet vor seinem Beginn. Bitte prüfen Sie die Angabe VON..BIS."));
    if (b->versandNetto < EuroType() || !(b->versandSatz >= 0.0 && b->versandSatz <= 100.0))
        return nein(QStringLiteral("Versandkosten und ihr Steuersatz dürfen nicht negativ sein."));
    if (!b->nummer.isEmpty() &&
        wert(db, QStringLiteral("SELECT COUNT(*) FROM ") + tab + QStringLiteral(" WHERE Nummer=? AND ID<>?"), {DatenTyp(b->nummer), DatenTyp(b->id)})
                .toLongLong() > 0)
        return nein(istRechnung(*b) ? QStringLiteral("Diese Rechnungsnummer wurde bereits vergeben.")
                                    : QStringLiteral("Diese Nummer wurde bereits vergeben."));
    const bool ust = KontoGlobal::istUstPflichtig(db);
    for (const Position& p : b->positionen) {
        const QString e = positionPruefen(db, p, ust);
        if (!e.isEmpty()) return nein(e);
    }
    // The totals do not depend on what the invoice checks below may change
    // (the kind of invoice), so they are computed once.
    const Summen s = berechneSummen(db, *b);
    const QString grenze = summenPruefen(s, *b);
    if (!grenze.isEmpty()) return nein(grenze);
    Beleg alt;
    if (b->id != 0 && !leseBeleg(db, b->art, b->id, &alt))
        return nein(QStringLiteral("Den Beleg %1 gibt es nicht mehr.").arg(b->id));
    // A document dated outside the case's year belongs to another year's books.
    if (!istRechnung(*b) && b->id == 0 && !jahrPasst(b->datum, bezeichnung(b->art), fehler)) return false;
    if (istRechnung(*b)) {
        // A posted invoice is a voucher of the ledger: changing it would
        // leave the booking telling another story.
        if (alt.id != 0 && !alt.nummer.isEmpty() &&
            wert(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Storno=0 AND Storniert=0 AND Zusatzinfo=?"), {DatenTyp(alt.nummer)})
                    .toLongLong() > 0)
            return nein(QStringLiteral("Die Rechnung %1 ist bereits gebucht und kann nicht mehr geändert werden. Stornieren oder löschen Sie "
                                       "zuerst ihre Buchung oder schreiben Sie eine Rechnungskorrektur.")
                            .arg(alt.nummer));
        if (!rechnungPruefen(db, b, alt, fehler)) return false;
    }
    DBTransaktion t(db);
    if (!t.ok()) return false;
    // The scratch state: the header under ID 0 and the positions in the
    // working table, then the key (and number) on saving.
    bool ok = ExecSQL(db, QStringLiteral("DELETE FROM ") + tab + QStringLiteral(" WHERE ID=0")) &&
              ExecSQL(db, QStringLiteral("DELETE FROM reTempPositionen WHERE ID=0"));
    for (int i = 0; ok && i < b->positionen.size(); ++i) ok = einfuegen(db, kTemp, positionsZeile(0, i + 1, b->positionen[i]));
    const bool neu = b->id == 0;
    if (ok && neu) {
        Zeile kopf = kopfZeile(db, *b, s);
        kopf.insert(QStringLiteral("ID"), DatenTyp(0));
        ok = einfuegen(db, tab, kopf);
        const unsigned long id = (unsigned long)wert(db, QStringLiteral("SELECT COALESCE(MAX(ID),0)+1 FROM ") + tab).toLongLong();
        if (ok && b->nummer.isEmpty()) {
            b->nummer = vergibNummer(db, nummernkreis(b->art), b->datum, fehler);
            if (b->nummer.isEmpty()) return false;
        }
        ok = ok && ExecPrepared(db, QStringLiteral("UPDATE ") + tab + QStringLiteral(" SET ID = ?, Nummer = ? WHERE ID = 0"),
                                {DatenTyp(id), DatenTyp(b->nummer)});
        if (ok) b->id = id;
    } else if (ok) {
        ok = aendern(db, tab, kopfZeile(db, *b, s), QStringLiteral("ID"), DatenTyp(b->id)) &&
             ExecPrepared(db, QStringLiteral("DELETE FROM ") + pt + QStringLiteral(" WHERE ID=?"), {DatenTyp(b->id)});
    }
    ok = ok && ExecPrepared(db, QStringLiteral("UPDATE reTempPositionen SET ID = ? WHERE ID = 0"), {DatenTyp(b->id)}) &&
         ExecPrepared(db, QStringLiteral("INSERT INTO ") + pt + QStringLiteral(" SELECT * FROM reTempPositionen WHERE ID=?"), {DatenTyp(b->id)}) &&
         ExecPrepared(db, QStringLiteral("DELETE FROM reTempPositionen WHERE ID=?"), {DatenTyp(b->id)});
    if (!ok || !t.commit()) {
        if (neu) b->id = 0;
        return nein(QStringLiteral("Der Beleg konnte nicht gespeichert werden: %1").arg(db->getErr()->last()));
    }
    return true;
}

bool leseBeleg(DBConnection* db, Belegart art, unsigned long id, Beleg* b) {
    db = rsFallDB(db);
    if (!db || id == 0) return false;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM ") + tabelle(art) + QStringLiteral(" WHERE ID=") + rsDataSource::toSqlStr(id));
    if (rs.isEOF()) return false;
    if (b) *b = belegAus(db, art, rs);
    return true;
}

bool findeBeleg(DBConnection* db, Belegart art, const QString& nummerOderId, Beleg* b) {
    db = rsFallDB(db);
    if (!db) return false;
    const DatenTyp id =
        wert(db, QStringLiteral("SELECT ID FROM ") + tabelle(art) + QStringLiteral(" WHERE Nummer=? AND ID<>0"), {DatenTyp(nummerOderId.trimmed())});
    if (!id.isNull()) return leseBeleg(db, art, id.toULong(), b);
    bool zahl = false;
    const unsigned long n = nummerOderId.trimmed().toULong(&zahl);
    return zahl && leseBeleg(db, art, n, b);
}

QList<Beleg> belege(DBConnection* db, Belegart art, bool nurOffene) {
    QList<Beleg> l;
    db = rsFallDB(db);
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM ") + tabelle(art) + QStringLiteral(" WHERE ID<>0") +
                            (nurOffene ? QStringLiteral(" AND (bezahlt IS NULL OR bezahlt='')") : QString()) + QStringLiteral(" ORDER BY ID"));
    for (; !rs.isEOF(); rs.fetch()) l << belegAus(db, art, rs);
    return l;
}

namespace {
// The column by which a later document names a source of kind `quelle`.
QString verweisSpalte(Belegart quelle) {
    return quelle == Belegart::Angebot ? QStringLiteral("AngebotsID")
           : quelle == Belegart::Auftrag ? QStringLiteral("AuftragsbestaetigungID")
                                        : QStringLiteral("LieferscheinID");
}

// The number of the first document of kind `ziel` made from `quelle`, empty
// when there is none.
QString nachfolger(DBConnection* db, const Beleg& quelle, Belegart ziel) {
    if (int(ziel) <= int(quelle.art) || ziel == Belegart::Mahnung || quelle.art == Belegart::Rechnung) return QString();
    return wert(db, QStringLiteral("SELECT Nummer FROM ") + tabelle(ziel) + QStringLiteral(" WHERE ID<>0 AND ") + verweisSpalte(quelle.art) +
                        QStringLiteral("=? ORDER BY ID"),
                {DatenTyp(quelle.id)})
        .toString();
}

// Why an invoice may not be deleted; empty when it may. Only the newest
// invoice that nobody has seen goes, and its number is issued again: a gap
// in the invoice numbers would have to be explained to the tax office, and
// a number given twice would name two different invoices.
QString rechnungLoeschbar(DBConnection* db, const Beleg& b, unsigned long* zaehler) {
    const QString aufheben = QStringLiteral(" Heben Sie sie mit einer Rechnungskorrektur auf (dalvo rechnung FALL neu --korrektur …).");
    if (wert(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Storno=0 AND Storniert=0 AND Zusatzinfo=?"), {DatenTyp(b.nummer)})
            .toLongLong() > 0)
        return QStringLiteral("Die Rechnung %1 ist gebucht und kann nicht gelöscht werden.").arg(b.nummer) + aufheben;
    if (b.bezahlt.isValid() || !b.anzahlung.isNull())
        return QStringLiteral("Zur Rechnung %1 ist bereits eine Zahlung erfasst; sie kann nicht gelöscht werden.").arg(b.nummer) + aufheben;
    if (!mahnungen(db, b.id).isEmpty())
        return QStringLiteral("Die Rechnung %1 wurde bereits gemahnt, ist also verschickt, und kann nicht gelöscht werden.").arg(b.nummer) +
               aufheben;
    *zaehler = letzteVergebene(db, Nummernkreis::Rechnung, b.nummer, b.datum);
    if (*zaehler == 0)
        return QStringLiteral("Die Rechnung %1 trägt nicht die zuletzt vergebene Rechnungsnummer; ihr Löschen hinterließe eine Lücke in "
                              "den Rechnungsnummern.")
                   .arg(b.nummer) +
               aufheben;
    return QString();
}
}  // namespace

bool loescheBeleg(DBConnection* db, Belegart art, unsigned long id, QString* fehler) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    Beleg b;
    if (!db || art == Belegart::Mahnung || !leseBeleg(db, art, id, &b)) return nein(QStringLiteral("Den Beleg gibt es nicht."));
    for (int ziel = int(art) + 1; ziel <= int(Belegart::Rechnung); ++ziel) {
        const QString spaeter = nachfolger(db, b, Belegart(ziel));
        // Its key would come back with the next document and make the link point there.
        if (!spaeter.isEmpty())
            return nein(QStringLiteral("Aus %1 %2 wurde %3 %4 erstellt. Bitte löschen Sie zuerst diesen Beleg.")
                            .arg(art == Belegart::Angebot ? QStringLiteral("dem Angebot") : art == Belegart::Auftrag ? QStringLiteral("der Auftragsbestätigung") : QStringLiteral("dem Lieferschein"), b.nummer)
                            .arg(Belegart(ziel) == Belegart::Auftrag ? QStringLiteral("die Auftragsbestätigung")
                                 : Belegart(ziel) == Belegart::Lieferschein ? QStringLiteral("der Lieferschein")
                                                                            : QStringLiteral("die Rechnung"),
                                 spaeter));
    }
    unsigned long zaehler = 0;
    if (art == Belegart::Rechnung) {
        const QString grund = rechnungLoeschbar(db, b, &zaehler);
        if (!grund.isEmpty()) return nein(grund);
        if (!GetUi().frage(QStringLiteral("Die Rechnung %1 wird gelöscht und ihre Nummer an die nächste Rechnung neu vergeben. Das ist nur "
                                          "zulässig, solange die Rechnung niemandem zugegangen ist (weder gedruckt noch als PDF oder "
                                          "XRechnung verschickt). Ist sie noch nicht verschickt?")
                               .arg(b.nummer),
                           QStringLiteral("Frage")))
            return nein(QStringLiteral("Die Rechnung %1 wurde nicht gelöscht. Eine verschickte Rechnung heben Sie mit einer Rechnungskorrektur "
                                       "auf (dalvo rechnung FALL neu --korrektur …); mit --ja wird sie gelöscht.")
                            .arg(b.nummer));
    }
    DBTransaktion t(db);
    bool ok = t.ok() && ExecPrepared(db, QStringLiteral("DELETE FROM ") + positionsTabelle(art) + QStringLiteral(" WHERE ID=?"), {DatenTyp(id)}) &&
              ExecPrepared(db, QStringLiteral("DELETE FROM ") + tabelle(art) + QStringLiteral(" WHERE ID=?"), {DatenTyp(id)});
    if (ok && art == Belegart::Rechnung && !nummerZurueckgeben(db, Nummernkreis::Rechnung, zaehler))
        return nein(QStringLiteral("Die Rechnungsnummer %1 könnte nach dem Löschen nicht neu vergeben werden; die Rechnung bleibt. Heben "
                                   "Sie sie mit einer Rechnungskorrektur auf.")
                        .arg(b.nummer));
    if (!ok || !t.commit()) return nein(QStringLiteral("Der Beleg %1 konnte nicht gelöscht werden: %2").arg(b.nummer, db->getErr()->last()));
    return true;
}

unsigned long belegUebernehmen(DBConnection* db, const Beleg& quelle, Belegart ziel, const zDate& tag, QString* fehler,
                               const zDate& von, const zDate& bis) {
    db = rsFallDB(db);
    if (int(ziel) <= int(quelle.art) || ziel == Belegart::Mahnung) {
        if (fehler)
            *fehler = QStringLiteral("Aus einem %1 kann kein %2 erstellt werden; die Reihenfolge ist Angebot, Auftragsbestätigung, "
                                     "Lieferschein, Rechnung.")
                          .arg(bezeichnung(quelle.art), bezeichnung(ziel));
        return 0;
    }
    const QString schon = nachfolger(db, quelle, ziel);
    // Taking an offer over twice would usually bill the customer twice.
    if (!schon.isEmpty() &&
        !GetUi().frage(QStringLiteral("Aus %1 %2 wurde bereits %3 %4 erstellt. Trotzdem einen weiteren Beleg erstellen?")
                           .arg(quelle.art == Belegart::Angebot ? QStringLiteral("dem Angebot")
                                : quelle.art == Belegart::Auftrag ? QStringLiteral("der Auftragsbestätigung")
                                                                  : QStringLiteral("dem Lieferschein"),
                                quelle.nummer, ziel == Belegart::Rechnung ? QStringLiteral("die Rechnung") : bezeichnung(ziel), schon),
                       QStringLiteral("Frage"))) {
        if (fehler)
            *fehler = QStringLiteral("Es wurde kein weiterer Beleg erstellt (Frage verneint). Mit --ja wird er trotzdem erstellt.");
        return 0;
    }
    Beleg b = quelle;
    b.art = ziel;
    // Without a date of its own the new document keeps its source's: taking
    // an offer of a past year over must not move it into today's year.
    const zDate datum = tag.isValid() ? tag : quelle.datum;
    if (von.isValid()) {
        b.zeitraumVon = von;
        b.zeitraumBis = bis.isValid() ? bis : von;
    }
    // A delivery and an invoice name when the supply happened; without a
    // period of its own that is the new document's date.
    if ((ziel == Belegart::Lieferschein || ziel == Belegart::Rechnung) && !b.zeitraumVon.isValid() && !b.zeitraumBis.isValid())
        b.zeitraumVon = b.zeitraumBis = datum;
    b.id = 0;
    b.nummer.clear();
    b.datum = datum;
    b.rechnungsart = 0;
    b.anzahlung = EuroType();
    b.bezahlt = zDate();
    b.erinnerungsdatum = zDate();
    if (quelle.art == Belegart::Angebot) b.angebotsID = quelle.id;
    if (quelle.art == Belegart::Auftrag) b.auftragsID = quelle.id;
    if (quelle.art == Belegart::Lieferschein) b.lieferscheinID = quelle.id;
    return speichereBeleg(db, &b, fehler) ? b.id : 0;
}

QString pruefeRechnungsangaben(DBConnection* db, const Beleg& b) {
    db = rsFallDB(db);
    if (b.id == 0) return QStringLiteral("Bitte speichern Sie die Rechnung bevor Sie drucken.");
    if (b.positionen.isEmpty()) return QStringLiteral("Bitte geben Sie Positionen zu der Rechnung ein, bevor Sie drucken.");
    const Firma f = leseFirma(db);
    if (f.name.isEmpty() || f.strasse.isEmpty() || f.plz.isEmpty() || f.ort.isEmpty() || (f.steuernummer.isEmpty() && f.ustid.isEmpty()))
        return QStringLiteral("Bitte prüfen Sie ob unter dem Punkt Verwaltung ") +
               QStringLiteral("die Angaben zu dem Namen und der Anschrift der Firma vollständig sind") + QStringLiteral(" und ob ") +
               QStringLiteral("die Steuernummer und / oder die UStID-Nummer angegeben wurde") +
               QStringLiteral(" (dalvo firma FALL --name … --strasse … --plz … --ort … --steuernummer …).");
    Person p;
    const QString anfang = QStringLiteral("Eine Rechnung / Rechnungskorrektur im Sinne des Umsatzsteuergesetzes muss ");
    if (!lesePerson(db, b.personID, &p))
        return anfang + QStringLiteral("den Namen des Leistungsempfängers enthalten.\nBitte wählen Sie einen Kunden.");
    const QString adresse = anfang + QStringLiteral("die vollständige Anschrift des Leistungsempfängers enthalten.\n");
    if (p.plz.trimmed().isEmpty()) return adresse + QStringLiteral("Bitte tragen Sie in den Stammdaten für den Kunden eine Postleitzahl ein.");
    if (p.ort.trimmed().isEmpty()) return adresse + QStringLiteral("Bitte tragen Sie in den Stammdaten für den Kunden einen Ort ein.");
    // A PO box is a full address under § 14 UStG as well as a street.
    if (p.strasse.trimmed().isEmpty())
        return adresse + QStringLiteral("Bitte tragen Sie in den Stammdaten für den Kunden eine Straße oder ein Postfach ein "
                                        "(dalvo kunde FALL aendern %1 --strasse …).")
                             .arg(p.kundennummer);
    if (!b.zeitraumVon.isValid() && !b.zeitraumBis.isValid())
        return anfang + QStringLiteral("den Zeitpunkt der Lieferung oder sonstigen Leistung enthalten.\nBitte geben Sie den Leistungszeitraum an.");
    for (const Position& x : b.positionen)
        if (x.bezeichnung.trimmed().isEmpty() || x.menge == 0.0)
            return anfang + QStringLiteral("die Menge und die Art der gelieferten Gegenstände oder den Umfang und die Art der sonstigen "
                                           "Leistung enthalten.\nBitte ergänzen Sie Bezeichnung und Menge jeder Position.");
    return QString();
}

}  // namespace Faktura
