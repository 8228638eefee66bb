// dalvo firma / kunde / artikel / rechnung / mahnung / erinnerungen: the
// invoicing from the command line.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"
#include "app/listenausgabe.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/faktura/stammlisten.h"

#include <QFileInfo>

namespace cli {

namespace {
using namespace Faktura;

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

DBConnection* db(Fall& f) { return f.kg()->GetDBConnect_Ptr(); }

bool nummer(const QString& t, unsigned long* n) {
    bool ok = false;
    *n = t.trimmed().toULong(&ok);
    return ok;
}

// Parses the options every command of this file shares; a usage error is
// reported by the caller.
struct Optionen {
    const Args& a;
    QString fehler;
    bool text(const char* flag, QString* ziel) {
        if (a.has(QLatin1String(flag))) *ziel = a.value(QLatin1String(flag)).trimmed();
        return true;
    }
    bool betrag(const char* flag, EuroType* ziel) {
        return !a.has(QLatin1String(flag)) || parseAmount(a.value(QLatin1String(flag)), ziel, &fehler);
    }
    bool datum(const char* flag, zDate* ziel) {
        return !a.has(QLatin1String(flag)) || parseDate(a.value(QLatin1String(flag)), ziel, &fehler);
    }
    bool zahl(const char* flag, unsigned long* ziel) {
        if (!a.has(QLatin1String(flag))) return true;
        if (nummer(a.value(QLatin1String(flag)), ziel)) return true;
        fehler = QStringLiteral("%1 braucht eine Zahl, nicht „%2“.").arg(QLatin1String(flag), a.value(QLatin1String(flag)));
        return false;
    }
    bool dezimal(const char* flag, double* ziel) {
        if (!a.has(QLatin1String(flag))) return true;
        bool ok = false;
        *ziel = QString(a.value(QLatin1String(flag))).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok) fehler = QStringLiteral("%1 braucht eine Zahl, nicht „%2“.").arg(QLatin1String(flag), a.value(QLatin1String(flag)));
        return ok;
    }
};

const QStringList kFirmaFlags = {QStringLiteral("--name"),    QStringLiteral("--strasse"), QStringLiteral("--plz"),
                                 QStringLiteral("--ort"),     QStringLiteral("--land"),    QStringLiteral("--steuernummer"),
                                 QStringLiteral("--ustid"),   QStringLiteral("--kontakt"), QStringLiteral("--telefon"),
                                 QStringLiteral("--email"),   QStringLiteral("--iban"),    QStringLiteral("--bic"),
                                 QStringLiteral("--bank")};
const QStringList kKundeFlags = {QStringLiteral("--name"),  QStringLiteral("--vorname"), QStringLiteral("--firma"),
                                 QStringLiteral("--anrede"), QStringLiteral("--strasse"), QStringLiteral("--plz"),
                                 QStringLiteral("--ort"),   QStringLiteral("--land"),    QStringLiteral("--email"),
                                 QStringLiteral("--telefon"), QStringLiteral("--ustid"), QStringLiteral("--leitweg"),
                                 QStringLiteral("--nummer"), QStringLiteral("--zahlungsziel"), QStringLiteral("--skonto"),
                                 QStringLiteral("--skontotage")};
const QStringList kArtikelFlags = {QStringLiteral("--bezeichnung"), QStringLiteral("--beschreibung"), QStringLiteral("--einheit"),
                                   QStringLiteral("--preis"),       QStringLiteral("--bruttopreis"),  QStringLiteral("--schluessel"),
                                   QStringLiteral("--konto"),       QStringLiteral("--rabatt"),       QStringLiteral("--nummer")};

QJsonObject personJson(const Person& p) {
    QJsonObject o;
    o[QStringLiteral("kundennummer")] = p.kundennummer;
    o[QStringLiteral("name")] = p.anzeigename();
    o[QStringLiteral("strasse")] = p.strasse;
    o[QStringLiteral("plz")] = p.plz;
    o[QStringLiteral("ort")] = p.ort;
    o[QStringLiteral("land")] = p.land;
    o[QStringLiteral("email")] = p.email;
    o[QStringLiteral("ustid")] = p.ustid;
    o[QStringLiteral("leitweg")] = p.leitweg;
    return o;
}

QJsonObject belegJson(DBConnection* con, const Beleg& b) {
    const Summen s = berechneSummen(con, b);
    Person p;
    const bool mitKunde = lesePerson(con, b.personID, &p);
    QJsonObject o;
    o[QStringLiteral("nummer")] = b.nummer;
    o[QStringLiteral("art")] = b.art != Belegart::Rechnung ? belegTitel(b) : b.rechnungsart == 1 ? QStringLiteral("K") : QStringLiteral("R");
    o[QStringLiteral("datum")] = b.datum.getText();
    o[QStringLiteral("kunde")] = mitKunde ? p.anzeigename() : QStringLiteral("Nicht ausgewählt");
    o[QStringLiteral("netto")] = jsonBetrag(s.summeNetto + s.versandNetto);
    o[QStringLiteral("steuer")] = jsonBetrag(s.summeSteuer + s.versandSteuer);
    o[QStringLiteral("endsumme")] = jsonBetrag(s.endsumme);
    if (b.art == Belegart::Rechnung) {
        o[QStringLiteral("offen")] = jsonBetrag(b.bezahlt.isValid() ? EuroType() : s.offen);
        o[QStringLiteral("bezahlt")] = b.bezahlt.isValid() ? QJsonValue(b.bezahlt.getText()) : QJsonValue();
    }
    QJsonArray schluessel;
    for (const Schluesselsumme& k : s.schluessel)
        schluessel.append(QJsonObject{{QStringLiteral("steuerschluessel"), qint64(k.steuerschluessel)},
                                      {QStringLiteral("satz"), k.satz},
                                      {QStringLiteral("netto"), jsonBetrag(k.netto)},
                                      {QStringLiteral("steuer"), jsonBetrag(k.steuer)},
                                      {QStringLiteral("brutto"), jsonBetrag(k.brutto)}});
    o[QStringLiteral("schluessel")] = schluessel;
    QJsonArray pos;
    for (int i = 0; i < b.positionen.size(); ++i)
        pos.append(QJsonObject{{QStringLiteral("bezeichnung"), b.positionen[i].bezeichnung},
                               {QStringLiteral("menge"), b.positionen[i].menge},
                               {QStringLiteral("steuerschluessel"), qint64(b.positionen[i].steuerschluessel)},
                               {QStringLiteral("konto"), qint64(b.positionen[i].konto)},
                               {QStringLiteral("betrag"), jsonBetrag(s.positionsbetrag[i])}});
    o[QStringLiteral("positionen")] = pos;
    return o;
}

QString belegText(DBConnection* con, const Beleg& b) {
    const Summen s = berechneSummen(con, b);
    Person p;
    const bool mitKunde = lesePerson(con, b.personID, &p);
    QString t = QStringLiteral("%1 %2 vom %3, Kunde %4\n")
                    .arg(belegTitel(b), b.nummer, b.datum.getText(),
                         mitKunde ? p.kundennummer + QStringLiteral(" ") + p.anzeigename() : QStringLiteral("Nicht ausgewählt"));
    for (int i = 0; i < b.positionen.size(); ++i)
        t += QStringLiteral("  %1  %2  %3 x %4%5  Schlüssel %6  Konto %7  %8\n")
                 .arg(i + 1)
                 .arg(b.positionen[i].bezeichnung.left(30), -30)
                 .arg(b.positionen[i].menge)
                 .arg((b.positionen[i].brutto ? b.positionen[i].bruttopreis : b.positionen[i].preis).getText(),
                      b.positionen[i].brutto ? QStringLiteral(" brutto") : QString())
                 .arg(b.positionen[i].steuerschluessel)
                 .arg(b.positionen[i].konto)
                 .arg(s.positionsbetrag[i].getText(), 12);
    t += QStringLiteral("Summe Netto %1, Summe Mehrwertsteuer %2, Summe Brutto %3").arg(s.summeNetto.getText(), s.summeSteuer.getText(), s.summeBrutto.getText());
    if (!s.versandNetto.isNull()) t += QStringLiteral(", Versandkosten Brutto %1").arg(s.versandBrutto.getText());
    if (b.art != Belegart::Rechnung) return t + QStringLiteral("\nEndsumme: %1\n").arg(s.endsumme.getText());
    t += QStringLiteral("\nEndsumme: %1 (Offen: %2)%3\n")
             .arg(s.endsumme.getText(), (b.bezahlt.isValid() ? EuroType() : s.offen).getText(),
                  b.bezahlt.isValid() ? QStringLiteral(", bezahlt am ") + b.bezahlt.getText() : QString());
    return t;
}

// Writes `daten` to the target the user named (checked before).
int ausgeben(const Ausgabeziel& ziel, const QByteArray& daten, const QString& was) {
    if (ziel.standardausgabe) {
        fwrite(daten.constData(), 1, size_t(daten.size()), stdout);
        fflush(stdout);
        return Ok;
    }
    QString e;
    if (!rsWriteFileAtomic(ziel.pfad, daten, &e)) return abgelehnt(e);
    err(QStringLiteral("%1 wurde in der Datei %2 gespeichert.\n").arg(was, ziel.pfad));
    return Ok;
}
}  // namespace

int cmdFirma(const Args& a) {
    const QString n = QStringLiteral("firma");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    bool aendern = false;
    for (const QString& f : kFirmaFlags) aendern = aendern || a.has(f);
    return Fall::ausfuehren(n, a.positional().first(), aendern ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        Firma f = leseFirma(db(fall));
        if (aendern) {
            Optionen o{a, {}};
            o.text("--name", &f.name), o.text("--strasse", &f.strasse), o.text("--plz", &f.plz), o.text("--ort", &f.ort);
            o.text("--land", &f.land), o.text("--steuernummer", &f.steuernummer), o.text("--ustid", &f.ustid);
            o.text("--kontakt", &f.kontakt), o.text("--telefon", &f.telefon), o.text("--email", &f.email);
            o.text("--iban", &f.iban), o.text("--bic", &f.bic), o.text("--bank", &f.bank);
            QString e;
            if (!schreibeFirma(db(fall), f, &e)) return abgelehnt(e);
            meldeErledigt(QStringLiteral("Die Firmendaten wurden gespeichert; „dalvo firma FALL“ zeigt sie."));
            return int(Ok);
        }
        out(QStringLiteral("Firma:         %1\nAnschrift:     %2, %3 %4 (%5)\nSteuernummer:  %6\nUSt-IdNr.:     %7\nKontakt:       %8, %9, %10\n"
                           "IBAN:          %11 %12\nUmsatzsteuer:  %13\n")
                .arg(f.name, f.strasse, f.plz, f.ort, f.land, f.steuernummer, f.ustid, f.kontakt, f.telefon)
                .arg(f.email, f.iban, f.bic, f.kleinunternehmer ? QStringLiteral("Kleinunternehmer (§ 19 UStG)") : QStringLiteral("pflichtig")));
        return int(Ok);
    });
}

int cmdKunde(const Args& a) {
    const QString n = QStringLiteral("kunde");
    const QStringList p = a.positional();
    if ((p[1] == QLatin1String("zeigen") || p[1] == QLatin1String("aendern")) != (p.size() == 3))
        return usageError(n, p.size() > 3 || p[1] == QLatin1String("neu") || p[1] == QLatin1String("liste") ? QStringLiteral("Zu viele Argumente.")
                                                                                                             : QStringLiteral("Die Kundennummer fehlt."));
    if (p[1] == QLatin1String("neu") && !a.has(QStringLiteral("--name")) && !a.has(QStringLiteral("--firma")))
        return usageError(n, QStringLiteral("--name oder --firma fehlt."));
    const bool schreiben = p[1] == QLatin1String("neu") || p[1] == QLatin1String("aendern");
    Ausgabeziel ziel;
    if (p[1] == QLatin1String("liste"))
        if (const int r = pruefeListenausgabe(n, a, &ziel)) return r;
    return Fall::ausfuehren(n, p.first(), schreiben ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        DBConnection* con = db(fall);
        if (p[1] == QLatin1String("liste"))
            return gibListeAus(a, fall, ziel, {}, [&](BerichtListe* l, QString*) {
                kundenListe(personen(con), l);
                return true;
            });
        Person x;
        if (p.size() == 3 && !findePerson(con, p[2], &x))
            return abgelehnt(QStringLiteral("Den Kunden „%1“ gibt es nicht. Die Kunden zeigt „dalvo kunde FALL liste“.").arg(p[2]));
        if (p[1] == QLatin1String("zeigen")) {
            out(a.has(QStringLiteral("--json")) ? jsonText(personJson(x))
                                                : QStringLiteral("%1 %2\n%3\n%4 %5 (%6)\nE-Mail: %7\nUSt-IdNr.: %8\nLeitweg-ID: %9\n")
                                                      .arg(x.kundennummer, x.anzeigename(), x.strasse, x.plz, x.ort, x.land, x.email, x.ustid, x.leitweg));
            return int(Ok);
        }
        Optionen o{a, {}};
        o.text("--name", &x.name), o.text("--vorname", &x.vorname), o.text("--firma", &x.firma), o.text("--anrede", &x.anrede);
        o.text("--strasse", &x.strasse), o.text("--plz", &x.plz), o.text("--ort", &x.ort), o.text("--land", &x.land);
        o.text("--email", &x.email), o.text("--telefon", &x.telefon), o.text("--ustid", &x.ustid), o.text("--leitweg", &x.leitweg);
        o.text("--nummer", &x.kundennummer);
        if (a.has(QStringLiteral("--interessent"))) x.art = 0;
        Zahlungsbedingung z;
        unsigned long tage = 14, skontotage = 0;
        if (!o.zahl("--zahlungsziel", &tage) || !o.zahl("--skontotage", &skontotage) || !o.dezimal("--skonto", &z.skonto1))
            return usageError(n, o.fehler);
        QString e;
        if (a.has(QStringLiteral("--zahlungsziel")) || a.has(QStringLiteral("--skonto"))) {
            z.tage = int(tage);
            z.skontotage1 = int(skontotage);
            z.bezeichnung = QStringLiteral("%1 Tage netto").arg(tage);
            x.zahlungsbedingungID = speichereZahlungsbedingung(con, z, &e);
            if (!x.zahlungsbedingungID) return abgelehnt(e);
        }
        if (!speicherePerson(con, x, &e)) return abgelehnt(e);
        if (p[1] == QLatin1String("neu")) {
            Person neu;
            findePerson(con, x.kundennummer.isEmpty() ? QString::number(personen(con).last().personID) : x.kundennummer, &neu);
            out(neu.kundennummer + QLatin1Char('\n'));
        }
        return int(Ok);
    });
}

int cmdArtikel(const Args& a) {
    const QString n = QStringLiteral("artikel");
    const QStringList p = a.positional();
    if ((p[1] == QLatin1String("aendern")) != (p.size() == 3))
        return usageError(n, p[1] == QLatin1String("aendern") ? QStringLiteral("Die Artikelnummer fehlt (oder es sind zu viele Argumente).")
                                                               : QStringLiteral("Zu viele Argumente."));
    if (p[1] == QLatin1String("neu"))
        for (const QString& f : {QStringLiteral("--bezeichnung"), QStringLiteral("--konto")})
            if (!a.has(f)) return usageError(n, QStringLiteral("%1 fehlt.").arg(f));
    if (p[1] == QLatin1String("neu") && a.has(QStringLiteral("--preis")) == a.has(QStringLiteral("--bruttopreis")))
        return usageError(n, QStringLiteral("Entweder --preis (netto) oder --bruttopreis angeben."));
    Ausgabeziel ziel;
    if (p[1] == QLatin1String("liste"))
        if (const int r = pruefeListenausgabe(n, a, &ziel)) return r;
    return Fall::ausfuehren(n, p.first(), p[1] == QLatin1String("liste") ? Fall::Zugriff::Lesen : Fall::Zugriff::Schreiben, [&](Fall& fall) {
        DBConnection* con = db(fall);
        if (p[1] == QLatin1String("liste"))
            return gibListeAus(a, fall, ziel, {}, [&](BerichtListe* l, QString*) {
                artikelStammliste(artikelListe(con), l);
                return true;
            });
        Artikel x;
        if (p.size() == 3 && !findeArtikel(con, p[2], &x))
            return abgelehnt(QStringLiteral("Den Artikel „%1“ gibt es nicht. Die Artikel zeigt „dalvo artikel FALL liste“.").arg(p[2]));
        Optionen o{a, {}};
        o.text("--bezeichnung", &x.bezeichnung), o.text("--beschreibung", &x.beschreibung), o.text("--einheit", &x.einheit);
        o.text("--nummer", &x.artikelnummer);
        if (a.has(QStringLiteral("--preis"))) x.brutto = false;
        if (a.has(QStringLiteral("--bruttopreis"))) x.brutto = true;
        if (!o.betrag("--preis", &x.preis) || !o.betrag("--bruttopreis", &x.bruttopreis) || !o.zahl("--schluessel", &x.steuerschluessel) ||
            !o.zahl("--konto", &x.konto) || !o.dezimal("--rabatt", &x.rabatt))
            return usageError(n, o.fehler);
        QString e;
        const unsigned long id = speichereArtikel(con, x, &e);
        if (!id) return abgelehnt(e);
        if (p[1] == QLatin1String("neu") && leseArtikel(con, id, &x)) out(x.artikelnummer + QLatin1Char('\n'));
        return int(Ok);
    });
}

namespace {
// The command of each kind of document; its subcommands are the same but
// for the posting and the e-invoice (invoices only) and the taking over
// (everything before the invoice).
const char* const kBefehl[] = {"angebot", "auftrag", "lieferschein", "rechnung"};

bool belegartVon(const QString& name, Belegart* art) {
    for (int i = 0; i <= int(Belegart::Rechnung); ++i)
        if (name == QLatin1String(kBefehl[i])) {
            *art = Belegart(i);
            return true;
        }
    return false;
}

int belegBefehl(Belegart art, const Args& a) {
    const QString n = QLatin1String(kBefehl[int(art)]);
    const bool istRechnung = art == Belegart::Rechnung;
    const QStringList p = a.positional();
    const QString was = p[1];
    auto ist = [&](const char* x) { return was == QLatin1String(x); };
    const int soll = ist("neu") || ist("liste") ? 2 : ist("pdf") || ist("xrechnung") ? 4 : 3;
    if (ist("buchen") ? p.size() < 3 : p.size() != soll)
        return usageError(n, soll == 4 ? QStringLiteral("Belegnummer und Zieldatei angeben.")
                                       : soll == 3 ? QStringLiteral("Die Belegnummer fehlt (oder es sind zu viele Argumente).")
                                                   : QStringLiteral("Zu viele Argumente."));
    if (ist("uebernehmen") && !a.has(QStringLiteral("--als"))) return usageError(n, QStringLiteral("--als auftrag|lieferschein|rechnung fehlt."));
    Belegart ziel = art;
    if (ist("uebernehmen") && (!belegartVon(a.value(QStringLiteral("--als")), &ziel) || int(ziel) <= int(art)))
        return usageError(n, QStringLiteral("--als nimmt einen späteren Beleg der Kette Angebot, Auftrag, Lieferschein, Rechnung: "
                                            "auftrag, lieferschein oder rechnung, nicht „%1“.")
                                 .arg(a.value(QStringLiteral("--als"))));
    Optionen o{a, {}};
    if (ist("neu") && !a.has(QStringLiteral("--kunde")) && !a.has(QStringLiteral("--korrektur")))
        return usageError(n, QStringLiteral("--kunde fehlt."));
    if (ist("position") && a.has(QStringLiteral("--artikel")) == a.has(QStringLiteral("--text")))
        return usageError(n, QStringLiteral("Entweder --artikel N --menge M oder --text T --preis P --schluessel K --konto N angeben."));
    if (ist("position") && a.has(QStringLiteral("--text")))
        for (const QString& f : {QStringLiteral("--schluessel"), QStringLiteral("--konto")})
            if (!a.has(f)) return usageError(n, QStringLiteral("%1 fehlt.").arg(f));
    if (ist("position") && a.has(QStringLiteral("--text")) && a.has(QStringLiteral("--preis")) == a.has(QStringLiteral("--bruttopreis")))
        return usageError(n, QStringLiteral("Entweder --preis (netto) oder --bruttopreis angeben."));
    for (const QString& f : {QStringLiteral("--preis"), QStringLiteral("--bruttopreis")}) {
        // "-0" is no price: the sign says a credit where there is none.
        EuroType null;
        QString e;
        if (a.has(f) && a.value(f).trimmed().startsWith(QLatin1Char('-')) && parseAmount(a.value(f), &null, &e) && null.isNull())
            return usageError(n, QStringLiteral("%1 %2 ist kein Preis: eine 0 hat kein Vorzeichen. Bitte geben Sie 0 oder den Preis an.")
                                     .arg(f, a.value(f)));
    }
    if (ist("buchen"))
        for (const QString& f : {QStringLiteral("--geldkonto"), QStringLiteral("--datum")})
            if (!a.has(f)) return usageError(n, QStringLiteral("%1 fehlt.").arg(f));
    if (a.has(QStringLiteral("--skonto")) && a.has(QStringLiteral("--betrag")))
        return usageError(n, QStringLiteral("Entweder --skonto (der volle Skonto der Zahlungsbedingungen) oder --betrag (der gezahlte Betrag) angeben."));
    if (a.has(QStringLiteral("--betrag")) && p.size() != 3)
        return usageError(n, QStringLiteral("--betrag gilt für genau eine Rechnung."));
    zDate datum = zDate::today(), erinnerung, zahlungsziel, von, bis;
    EuroType versand, anzahlung, preis, betrag;
    unsigned long geldkonto = 0, schluessel = 0, konto = 0;
    double menge = 1.0, rabatt = 0.0, versandSatz = 19.0;
    if (!o.datum("--datum", &datum) || !o.datum("--erinnerung", &erinnerung) || !o.datum("--zahlungsziel", &zahlungsziel) ||
        !o.betrag("--versand", &versand) || !o.betrag("--anzahlung", &anzahlung) || !o.betrag("--preis", &preis) ||
        !o.betrag("--bruttopreis", &preis) || !o.betrag("--betrag", &betrag) || !o.zahl("--geldkonto", &geldkonto) ||
        !o.zahl("--schluessel", &schluessel) || !o.zahl("--konto", &konto) || !o.dezimal("--menge", &menge) ||
        !o.dezimal("--rabatt", &rabatt) || !o.dezimal("--versand-satz", &versandSatz))
        return usageError(n, o.fehler);
    if (a.has(QStringLiteral("--leistung"))) {
        const QStringList t = a.value(QStringLiteral("--leistung")).split(QStringLiteral(".."));
        QString e;
        if (t.size() > 2 || !parseDate(t.first(), &von, &e) || (t.size() == 2 && !parseDate(t.last(), &bis, &e)))
            return usageError(n, QStringLiteral("--leistung erwartet TT.MM.JJJJ oder VON..BIS. ") + e);
        if (t.size() == 1) bis = von;
    }
    Ausgabeziel ausgabe;
    if (soll == 4) {
        QString e;
        if (!QFileInfo::exists(p.first())) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(p.first()));
        if (!pruefeAusgabeziel(p[3], p.first(), a.has(QStringLiteral("--ersetzen")), &ausgabe, &e)) return abgelehnt(e);
    }
    const bool schreiben = !ist("liste") && !ist("zeigen") && !ist("pdf") && !ist("xrechnung");
    const QString fehlt = QStringLiteral("Den Beleg „%1“ (%2) gibt es nicht. Die Liste zeigt „dalvo %3 FALL liste“.");
    return Fall::ausfuehren(n, p.first(), schreiben ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        DBConnection* con = db(fall);
        QString e;
        if (ist("liste")) {
            // The JSON list goes out element by element: a year of invoices
            // is not held as one document.
            const bool json = a.has(QStringLiteral("--json"));
            JsonListe l;
            QString t;
            for (const Beleg& b : belege(con, art, a.has(QStringLiteral("--offen")))) {
                const QJsonObject j = belegJson(con, b);
                if (json) {
                    l.element(j);
                    continue;
                }
                t += QStringLiteral("%1%2  %3  %4  %5  %6\n")
                         .arg(istRechnung ? (b.rechnungsart == 1 ? QStringLiteral("  K ") : QStringLiteral("  R ")) : QString())
                         .arg(b.nummer, -16)
                         .arg(b.datum.getText())
                         .arg(j[QStringLiteral("kunde")].toString().left(28), -28)
                         .arg(berechneSummen(con, b).endsumme.getText(), 12)
                         .arg(!istRechnung ? QString() : b.bezahlt.isValid() ? QStringLiteral("bezahlt ") + b.bezahlt.getText() : QStringLiteral("offen"));
            }
            if (json)
                l.ende();
            else
                out(t);
            return int(Ok);
        }
        if (ist("neu")) {
            Beleg zu;
            if (a.has(QStringLiteral("--korrektur")) && !findeBeleg(con, Belegart::Rechnung, a.value(QStringLiteral("--korrektur")), &zu))
                return abgelehnt(fehlt.arg(a.value(QStringLiteral("--korrektur")), bezeichnung(art), n));
            Person k;
            const QString kunde = a.has(QStringLiteral("--kunde")) ? a.value(QStringLiteral("--kunde")) : QString::number(zu.personID);
            if (!(a.has(QStringLiteral("--kunde")) ? findePerson(con, kunde, &k) : lesePerson(con, zu.personID, &k)))
                return abgelehnt(QStringLiteral("Den Kunden „%1“ gibt es nicht. Legen Sie ihn mit „dalvo kunde FALL neu“ an.").arg(kunde));
            Beleg b;
            b.korrekturZu = zu.id;
            b.art = art;
            b.personID = k.personID;
            b.datum = datum;
            // Without a period the date of an invoice or delivery note is the
            // date of supply; an offer has none until one is given.
            const bool lieferung = istRechnung || art == Belegart::Lieferschein;
            b.zeitraumVon = von.isValid() ? von : lieferung ? datum : zDate();
            b.zeitraumBis = bis.isValid() ? bis : lieferung ? datum : zDate();
            b.rechnungsart = a.has(QStringLiteral("--korrektur")) ? 1 : 0;
            b.nummer = a.value(QStringLiteral("--nummer")).trimmed();
            b.versandNetto = versand;
            b.versandSatz = fall.kg()->getUstPflicht() ? versandSatz : 0.0;
            b.anzahlung = anzahlung;
            b.erinnerungsdatum = erinnerung;
            b.zahlungsziel = zahlungsziel;
            b.zahlungsbedingungID = k.zahlungsbedingungID;
            if (!speichereBeleg(con, &b, &e)) return abgelehnt(e);
            out(b.nummer + QLatin1Char('\n'));
            return int(Ok);
        }
        Beleg b;
        if (!findeBeleg(con, art, p[2], &b)) return abgelehnt(fehlt.arg(p[2], bezeichnung(art), n));
        if (ist("position")) {
            Position x;
            if (a.has(QStringLiteral("--artikel"))) {
                Artikel artikel;
                if (!findeArtikel(con, a.value(QStringLiteral("--artikel")), &artikel))
                    return abgelehnt(QStringLiteral("Den Artikel „%1“ gibt es nicht. Die Artikel zeigt „dalvo artikel FALL liste“.").arg(a.value(QStringLiteral("--artikel"))));
                x.artikelID = artikel.artikelID;
                x.artikelnummer = artikel.artikelnummer;
                x.bezeichnung = artikel.bezeichnung;
                x.beschreibung = artikel.beschreibung;
                x.einheit = artikel.einheit;
                x.preis = artikel.preis;
                x.bruttopreis = artikel.bruttopreis;
                x.brutto = artikel.brutto;
                x.rabatt = a.has(QStringLiteral("--rabatt")) ? rabatt : artikel.rabatt;
                x.steuerschluessel = a.has(QStringLiteral("--schluessel")) ? schluessel : artikel.steuerschluessel;
                x.konto = a.has(QStringLiteral("--konto")) ? konto : artikel.konto;
            } else {
                x.bezeichnung = a.value(QStringLiteral("--text"));
                x.brutto = a.has(QStringLiteral("--bruttopreis"));
                (x.brutto ? x.bruttopreis : x.preis) = preis;
                x.rabatt = rabatt;
                x.steuerschluessel = schluessel;
                x.konto = konto;
            }
            x.menge = menge;
            b.positionen << x;
            if (!speichereBeleg(con, &b, &e)) return abgelehnt(e);
            out(belegText(con, b));
            return int(Ok);
        }
        if (ist("zeigen")) {
            out(a.has(QStringLiteral("--json")) ? jsonText(belegJson(con, b)) : belegText(con, b));
            return int(Ok);
        }
        if (ist("loeschen")) {
            if (!loescheBeleg(con, art, b.id, &e)) return abgelehnt(e);
            err(QStringLiteral("%1 %2 wurde gelöscht.\n").arg(belegTitel(b), b.nummer));
            return int(Ok);
        }
        if (ist("uebernehmen")) {
            const unsigned long id = belegUebernehmen(con, b, ziel, a.has(QStringLiteral("--datum")) ? datum : zDate(), &e, von, bis);
            Beleg neu;
            if (!id || !leseBeleg(con, ziel, id, &neu)) return abgelehnt(e);
            out(neu.nummer + QLatin1Char('\n'));
            return int(Ok);
        }
        if (ist("xrechnung")) {
            const QByteArray xml = xrechnung(con, b, &e);
            if (xml.isEmpty()) return abgelehnt(e);
            return ausgeben(ausgabe, xml, QStringLiteral("Die XRechnung"));
        }
        if (ist("pdf")) {
            QByteArray pdf;
            if (!belegPdf(con, b, &pdf, &e)) return abgelehnt(e);
            return ausgeben(ausgabe, pdf, QStringLiteral("Der Beleg (%1)").arg(belegTitel(b)));
        }
        // buchen: every named invoice, all or none.
        QList<Beleg> belege;
        for (int i = 2; i < p.size(); ++i) {
            Beleg r;
            if (!findeBeleg(con, Belegart::Rechnung, p[i], &r)) return abgelehnt(fehlt.arg(p[i], bezeichnung(art), n));
            belege << r;
        }
        Zahlungseingang z;
        z.geldkonto = geldkonto;
        z.datum = datum;
        z.text = a.value(QStringLiteral("--text"));
        z.betrag = betrag;
        z.art = a.has(QStringLiteral("--skonto"))   ? Zahlungseingang::Art::VollerSkonto
                : a.has(QStringLiteral("--betrag")) ? Zahlungseingang::Art::Betrag
                                                    : Zahlungseingang::Art::Voll;
        QList<unsigned long> gebucht;
        int skonti = 0;
        if (!bucheZahlungseingang(con, belege, z, &gebucht, &skonti, &e)) return abgelehnt(e);
        QStringList nummern;
        for (unsigned long nr : gebucht) nummern << QString::number(nr);
        out(nummern.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        err((nummern.size() == 1 ? QStringLiteral("Es wurde eine Buchung erzeugt.") : QStringLiteral("Es wurden %1 Buchungen erzeugt.").arg(nummern.size())) +
            (skonti == 1 ? QStringLiteral(" Eine davon mindert die Erlöse um den Skonto.")
             : skonti   ? QStringLiteral(" %1 davon mindern die Erlöse um den Skonto.").arg(skonti)
                        : QString()) +
            QLatin1Char('\n'));
        return int(Ok);
    });
}
}  // namespace

int cmdRechnung(const Args& a) { return belegBefehl(Belegart::Rechnung, a); }
int cmdAngebot(const Args& a) { return belegBefehl(Belegart::Angebot, a); }
int cmdAuftrag(const Args& a) { return belegBefehl(Belegart::Auftrag, a); }
int cmdLieferschein(const Args& a) { return belegBefehl(Belegart::Lieferschein, a); }

int cmdMahnung(const Args& a) {
    const QString n = QStringLiteral("mahnung");
    const QStringList p = a.positional();
    if (p[1] == QLatin1String("neu") ? p.size() != 3 : p.size() > 3)
        return usageError(n, p[1] == QLatin1String("neu") && p.size() < 3 ? QStringLiteral("Die Rechnungsnummer fehlt.") : QStringLiteral("Zu viele Argumente."));
    Optionen o{a, {}};
    Mahnung m;
    m.stufe = 0;
    unsigned long stufe = 0;
    if (!o.zahl("--stufe", &stufe) || !o.betrag("--gebuehr", &m.gebuehr) || !o.datum("--datum", &m.datum) || !o.datum("--zahlungsziel", &m.zahlungsziel))
        return usageError(n, o.fehler);
    m.stufe = int(stufe);
    const bool neu = p[1] == QLatin1String("neu");
    return Fall::ausfuehren(n, p.first(), neu ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        DBConnection* con = db(fall);
        Beleg r;
        if (p.size() == 3 && !findeBeleg(con, Belegart::Rechnung, p[2], &r))
            return abgelehnt(QStringLiteral("Die Rechnung „%1“ gibt es nicht. Die Rechnungen zeigt „dalvo rechnung FALL liste“.").arg(p[2]));
        if (neu) {
            QString e;
            m.rechnungsID = r.id;
            const unsigned long id = neueMahnung(con, m, &e);
            if (!id) return abgelehnt(e);
            for (const Mahnung& x : mahnungen(con, r.id))
                if (x.id == id) out(QStringLiteral("%1 (Stufe %2)\n").arg(x.nummer, stufeText(x.stufe)));
            return int(Ok);
        }
        QJsonArray l;
        QString t;
        for (const Mahnung& x : mahnungen(con, r.id)) {
            Beleg zu;
            leseBeleg(con, Belegart::Rechnung, x.rechnungsID, &zu);
            l.append(QJsonObject{{QStringLiteral("nummer"), x.nummer},
                                 {QStringLiteral("rechnung"), zu.nummer},
                                 {QStringLiteral("stufe"), stufeText(x.stufe)},
                                 {QStringLiteral("gebuehr"), jsonBetrag(x.gebuehr)},
                                 {QStringLiteral("datum"), x.datum.getText()},
                                 {QStringLiteral("zahlungsziel"), x.zahlungsziel.getText()}});
            t += QStringLiteral("%1  Rechnung %2  Stufe %3  Gebühr %4  vom %5, zahlbar bis %6\n")
                     .arg(x.nummer, zu.nummer, stufeText(x.stufe), x.gebuehr.getText(), x.datum.getText(), x.zahlungsziel.getText());
        }
        out(a.has(QStringLiteral("--json")) ? jsonText(l) : t);
        return int(Ok);
    });
}

int cmdErinnerungen(const Args& a) {
    const QString n = QStringLiteral("erinnerungen");
    if (a.positional().isEmpty()) return usageError(n, QStringLiteral("Die Falldatei fehlt."));
    const bool erledigt = a.has(QStringLiteral("--erledigt"));
    if (!erledigt && a.positional().size() != 1) return usageError(n, QStringLiteral("Zu viele Argumente."));
    if (erledigt && a.positional().size() < 2) return usageError(n, QStringLiteral("--erledigt braucht die Nummern der Erinnerungen (aus der Liste)."));
    return Fall::ausfuehren(n, a.positional().first(), erledigt ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall&) {
        QList<rsRebuErinnerung> liste;
        KontoGlobal::fillErinnerungen(liste);
        if (erledigt) {
            QList<rsRebuErinnerung> weg;
            for (int i = 1; i < a.positional().size(); ++i) {
                unsigned long nr = 0;
                if (!nummer(a.positional()[i], &nr) || nr == 0 || nr > (unsigned long)liste.size())
                    return abgelehnt(QStringLiteral("Eine Erinnerung Nr. „%1“ gibt es nicht. Die Liste zeigt „dalvo erinnerungen FALL“.").arg(a.positional()[i]));
                rsRebuErinnerung e = liste[int(nr - 1)];
                e.datum = zDate();
                weg << e;
            }
            if (KontoGlobal::delErinnerungen(weg) != weg.size()) return abgelehnt(QStringLiteral("Die Erinnerungen konnten nicht gelöscht werden."));
            meldeErledigt(weg.size() == 1 ? QStringLiteral("Die Erinnerung ist erledigt.") : QStringLiteral("%1 Erinnerungen sind erledigt.").arg(weg.size()));
            return int(Ok);
        }
        QJsonArray l;
        QString t;
        for (int i = 0; i < liste.size(); ++i) {
            l.append(QJsonObject{{QStringLiteral("nr"), i + 1}, {QStringLiteral("datum"), liste[i].datum.getText()}, {QStringLiteral("text"), liste[i].text}});
            t += QStringLiteral("%1  %2  %3\n").arg(i + 1, 3).arg(liste[i].datum.getText(), liste[i].text);
        }
        if (liste.isEmpty() && !a.has(QStringLiteral("--json"))) t = QStringLiteral("Zurzeit liegen keine Erinnerungen vor.\n");
        out(a.has(QStringLiteral("--json")) ? jsonText(l) : t);
        return int(Ok);
    });
}

namespace {
QList<Option> textOptionen(const QStringList& namen) {
    QList<Option> l;
    for (const QString& n : namen) l << Option{{n}, "TEXT"};
    return l;
}

// Offers, order confirmations, delivery notes and invoices share their
// subcommands but for posting and the e-invoice (invoices only) and the
// taking over (everything before the invoice).
QList<Befehl> belegZeilen(Belegart art, const char* beschreibung, int (*run)(const Args&)) {
    const bool rechnung = art == Belegart::Rechnung;
    const QString n = QLatin1String(kBefehl[int(art)]);
    const QString ziele = art == Belegart::Angebot ? QStringLiteral("auftrag|lieferschein|rechnung")
                          : art == Belegart::Auftrag ? QStringLiteral("lieferschein|rechnung")
                                                     : QStringLiteral("rechnung");
    QList<Option> neu = {{{"--kunde"}, "KUNDE"},      {{"--datum"}, "TT.MM.JJJJ"}, {{"--leistung"}, "VON..BIS"},
                         {{"--versand"}, "NETTO"},     {{"--versand-satz"}, "S"},   {{"--nummer"}, "NR"},
                         {{"--erinnerung"}, "TT.MM.JJJJ"}};
    if (rechnung) neu << Option{{"--korrektur"}, "RECHNUNG"} << Option{{"--anzahlung"}, "BETRAG"} << Option{{"--zahlungsziel"}, "TT.MM.JJJJ"};
    const QList<Option> position = {{{"--artikel"}, "ARTIKEL"}, {{"--menge"}, "M"},   {{"--text"}, "TEXT"},  {{"--preis"}, "BETRAG"},
                                    {{"--bruttopreis"}, "BETRAG"}, {{"--schluessel"}, "S"}, {{"--konto"}, "KONTO"}, {{"--rabatt"}, "PROZENT"}};
    const Option json{{"--json"}}, ersetzen{{"--ersetzen", "--force"}};
    QList<Befehl> l = {
        {n, {}, {}, {}, QString(), QString::fromUtf8(beschreibung),
         rechnung ? QStringLiteral("Rechnungen und Rechnungskorrekturen, nummeriert im Nummernkreis des Falls (Vorgabe RE-JJJJ-0001; ohne\n"
                                   "Lücken), mit Summen je Steuerschlüssel. Rückfragen beim Speichern (Datum vor heute im laufenden\n"
                                   "Jahr oder vor der letzten Rechnung, anderes Wirtschaftsjahr, …) beantworten --ja/--nein.")
                  : QStringLiteral("Belege der Kette Angebot → Auftragsbestätigung → Lieferschein → Rechnung, mit eigenem Nummernkreis\n"
                                   "des Falls. Eine Rechnung bucht, druckt und mahnt dann „dalvo rechnung“."),
         nullptr},
        {n, QStringLiteral("neu"), {}, neu,
         QStringLiteral("dalvo %1 FALL neu --kunde KUNDE [--datum D] [--leistung VON..BIS] [--versand NETTO --versand-satz S]%2 [--nummer NR] "
                        "[--erinnerung D]")
             .arg(n, rechnung ? QStringLiteral(" [--korrektur RECHNUNG] [--anzahlung BETRAG] [--zahlungsziel D]") : QString()),
         QStringLiteral("legt einen Beleg an"),
         QStringLiteral("Legt den Beleg für den Kunden an und gibt seine Nummer aus. Ohne --leistung gilt bei Rechnung und\n"
                        "Lieferschein das Belegdatum als Leistungsdatum.%1")
             .arg(rechnung ? QStringLiteral("\n--korrektur RECHNUNG legt eine Rechnungskorrektur zu dieser Rechnung an (Kunde wie dort, wenn\n"
                                                "--kunde fehlt); die XRechnung nennt sie als vorausgegangene Rechnung.")
                                : QString()),
         run},
        {n, QStringLiteral("position"), {}, position,
         QStringLiteral("dalvo %1 FALL position NR (--artikel A [--menge M] | --text T (--preis P | --bruttopreis P) --schluessel K --konto N "
                        "[--menge M]) [--rabatt PROZENT]")
             .arg(n),
         QStringLiteral("fügt eine Position hinzu"),
         QStringLiteral("Fügt dem Beleg NR eine Position hinzu: einen Artikel (Preis, Schlüssel und Konto aus dem Artikel,\n"
                        "einzeln überschreibbar) oder eine freie Position. Zeigt danach den Beleg."),
         run},
        {n, QStringLiteral("liste"), {QStringLiteral("list")}, rechnung ? QList<Option>{{{"--offen"}}, json} : QList<Option>{json},
         QStringLiteral("dalvo %1 FALL liste%2 [--json]").arg(n, rechnung ? QStringLiteral(" [--offen]") : QString()),
         QStringLiteral("zeigt die Belege"),
         rechnung ? QStringLiteral("Zeigt die Rechnungen (--offen nur die unbezahlten) mit Kunde, Endsumme und Zahlungsstand.")
                  : QStringLiteral("Zeigt die Belege mit Kunde und Endsumme."),
         run},
        {n, QStringLiteral("zeigen"), {QStringLiteral("show")}, {json}, QStringLiteral("dalvo %1 FALL zeigen NR [--json]").arg(n),
         QStringLiteral("zeigt einen Beleg"), QStringLiteral("Zeigt die Positionen und die Summen je Steuerschlüssel."), run},
        {n, QStringLiteral("pdf"), {}, {ersetzen}, QStringLiteral("dalvo %1 FALL pdf NR DATEI|- [--ersetzen]").arg(n),
         QStringLiteral("druckt den Beleg als PDF"),
         rechnung ? QStringLiteral("Die gedruckte Rechnung auf A4 als hybride E-Rechnung (PDF/A-3b, ZUGFeRD/Factur-X) mit der\n"
                                   "XRechnung als Anhang factur-x.xml („-“:\n"
                                   "Standardausgabe). Eine vorhandene Datei nur mit --ersetzen.")
                  : QStringLiteral("Der Beleg auf A4 („-“: Standardausgabe), ohne E-Rechnung; ein Lieferschein zeigt nur Mengen.\n"
                                   "Eine vorhandene Datei nur mit --ersetzen."),
         run},
    };
    if (rechnung) {
        l << Befehl{n, QStringLiteral("buchen"), {}, {{{"--geldkonto"}, "KONTO"}, {{"--datum"}, "TT.MM.JJJJ"}, {{"--text"}, "TEXT"}, {{"--skonto"}}, {{"--betrag"}, "BEZAHLT"}},
                    QStringLiteral("dalvo rechnung FALL buchen NR… --geldkonto N --datum D [--text T] [--skonto | --betrag BEZAHLT]"),
                    QStringLiteral("bucht bezahlte Rechnungen"),
                    QStringLiteral("Bucht bezahlte Rechnungen als Einnahme auf das Geldkonto (Zusatzinfo = Rechnungsnummer); wird\n"
                                   "diese Buchung gelöscht oder storniert, ist die Rechnung wieder offen. Mit --skonto (der Skonto der\n"
                                   "Zahlungsbedingungen) oder --betrag BEZAHLT (Skonto = Rechnungssumme - BEZAHLT) bei Zahlung in der\n"
                                   "Skontofrist mindert eine zweite Buchung die Erlöse und die Umsatzsteuer auf den Skontokonten je\n"
                                   "Steuerschlüssel (SKR03 8730 bis 8739, SKR04 4730 bis 4739)."),
                    run}
          << Befehl{n, QStringLiteral("xrechnung"), {}, {ersetzen}, QStringLiteral("dalvo rechnung FALL xrechnung NR DATEI|- [--ersetzen]"),
                    QStringLiteral("schreibt die E-Rechnung"),
                    QStringLiteral("Schreibt die E-Rechnung (XRechnung 3.0, CII) nach Prüfung der Geschäftsregeln („-“:\n"
                                   "Standardausgabe). Eine vorhandene Datei nur mit --ersetzen."),
                    run};
    } else {
        l << Befehl{n, QStringLiteral("uebernehmen"), {}, {{{"--als"}, ziele.toUtf8().constData()}, {{"--datum"}, "TT.MM.JJJJ"}, {{"--leistung"}, "VON..BIS"}},
                    QStringLiteral("dalvo %1 FALL uebernehmen NR --als %2 [--datum D] [--leistung VON..BIS]").arg(n, ziele),
                    QStringLiteral("erstellt den nächsten Beleg der Kette"),
                    QStringLiteral("Erstellt aus dem Beleg den nächsten der Kette Angebot → Auftragsbestätigung → Lieferschein →\n"
                                   "Rechnung (Kunde, Positionen und Versandkosten) und gibt dessen Nummer aus; wurde schon einer dieser\n"
                                   "Art daraus erstellt, fragt es nach (--ja). Ohne --datum trägt er das Datum des Quellbelegs."),
                    run};
    }
    l << Befehl{n, QStringLiteral("loeschen"), {}, {}, QStringLiteral("dalvo %1 FALL loeschen NR [--ja|--nein]").arg(n),
                QStringLiteral("löscht einen Beleg"),
                rechnung ? QStringLiteral("Löscht nur die zuletzt nummerierte, weder gebuchte noch bezahlte noch gemahnte Rechnung nach der\n"
                                          "Rückfrage, ob sie noch nicht verschickt wurde (--ja); ihre Nummer wird neu vergeben. Sonst heben\n"
                                          "Sie eine Rechnung mit einer Rechnungskorrektur auf.")
                         : QStringLiteral("Löscht den Beleg, solange kein späterer Beleg aus ihm erstellt wurde."),
                run};
    return l;
}
}  // namespace

QList<Befehl> fakturaBefehle() {
    const Option json{{"--json"}};
    QList<Option> kunde = textOptionen(kKundeFlags);
    kunde << Option{{"--interessent"}};
    const QList<Option> artikel = textOptionen(kArtikelFlags);
    QList<Befehl> l = {
        {QStringLiteral("firma"), {}, {}, textOptionen(kFirmaFlags) << json,
         QStringLiteral("dalvo firma FALL [--name N --strasse S --plz P --ort O --land DE --steuernummer NR --ustid ID --kontakt NAME "
                        "--telefon T --email E --iban IBAN --bic BIC --bank NAME]"),
         QStringLiteral("zeigt oder setzt die Daten der eigenen Firma (Rechnungen, ZM)"),
         QStringLiteral("Ohne Optionen: die Firmendaten. Mit Optionen: ändert die genannten Angaben. Rechnungen brauchen Name,\n"
                        "Anschrift und Steuernummer oder USt-IdNr.; die XRechnung zusätzlich Ansprechpartner, Telefon, E-Mail und IBAN.\n"
                        "Der Name steht auch im Kopf von Kassenbuch und Listen."),
         cmdFirma},
        {QStringLiteral("kunde"), {}, {}, {}, QString(), QStringLiteral("Kunden und Interessenten anlegen, zeigen, ändern"),
         QStringLiteral("KUNDE ist die Kundennummer (aus dem Nummernkreis des Falls, Vorgabe K0001). --leitweg ist die\n"
                        "Käuferreferenz der XRechnung (ohne sie die Kundennummer); --zahlungsziel TAGE [--skonto PROZENT\n"
                        "--skontotage TAGE] sind die Zahlungsbedingungen, --interessent macht ihn zum Interessenten."),
         nullptr},
        {QStringLiteral("kunde"), QStringLiteral("neu"), {QStringLiteral("add")}, kunde,
         QStringLiteral("dalvo kunde FALL neu (--name N [--vorname V] | --firma F) [--strasse S --plz P --ort O --land DE] [--email E] "
                        "[--ustid ID] [--leitweg ID] [--zahlungsziel TAGE [--skonto PROZENT --skontotage TAGE]] [--nummer NR] [--interessent]"),
         QStringLiteral("legt einen Kunden an"), QStringLiteral("Legt einen Kunden an und gibt seine Kundennummer aus."), cmdKunde},
        {QStringLiteral("kunde"), QStringLiteral("liste"), {QStringLiteral("list")}, listenOptionen(),
         QStringLiteral("dalvo kunde FALL liste [--csv | --json | --pdf DATEI [--ersetzen]]"),
         QStringLiteral("zeigt die Kunden"), QStringLiteral("Zeigt die Kunden mit Nummer, Name und Ort."), cmdKunde},
        {QStringLiteral("kunde"), QStringLiteral("zeigen"), {QStringLiteral("show")}, {json}, QStringLiteral("dalvo kunde FALL zeigen KUNDE [--json]"),
         QStringLiteral("zeigt einen Kunden"), QStringLiteral("Zeigt Anschrift, E-Mail, USt-IdNr. und Leitweg-ID des Kunden."), cmdKunde},
        {QStringLiteral("kunde"), QStringLiteral("aendern"), {QStringLiteral("edit")}, kunde,
         QStringLiteral("dalvo kunde FALL aendern KUNDE [--name N] [--vorname V] [--firma F] [--strasse S --plz P --ort O --land DE] "
                        "[--email E] [--ustid ID] [--leitweg ID] [--zahlungsziel TAGE [--skonto PROZENT --skontotage TAGE]] [--nummer NR]"),
         QStringLiteral("ändert einen Kunden"), QStringLiteral("Ändert die genannten Angaben des Kunden; --nummer gibt ihm eine neue Kundennummer."),
         cmdKunde},
        {QStringLiteral("artikel"), {}, {}, {}, QString(), QStringLiteral("Artikel mit Preis, Einheit, Rabatt, Steuerschlüssel und Erlöskonto"),
         QStringLiteral("Das Erlöskonto muss zum Steuerschlüssel passen; der nicht angegebene Preis (netto oder brutto) folgt aus\n"
                        "dem Steuersatz."),
         nullptr},
        {QStringLiteral("artikel"), QStringLiteral("neu"), {QStringLiteral("add")}, artikel,
         QStringLiteral("dalvo artikel FALL neu --bezeichnung T (--preis P | --bruttopreis P) --schluessel K --konto N [--einheit E] "
                        "[--beschreibung T] [--rabatt PROZENT] [--nummer NR]"),
         QStringLiteral("legt einen Artikel an"), QStringLiteral("Legt einen Artikel an und gibt seine Artikelnummer aus."), cmdArtikel},
        {QStringLiteral("artikel"), QStringLiteral("liste"), {QStringLiteral("list")}, listenOptionen(),
         QStringLiteral("dalvo artikel FALL liste [--csv | --json | --pdf DATEI [--ersetzen]]"),
         QStringLiteral("zeigt die Artikel"), QStringLiteral("Zeigt die Artikel mit Preisen, Einheit, Steuerschlüssel und Konto."), cmdArtikel},
        {QStringLiteral("artikel"), QStringLiteral("aendern"), {QStringLiteral("edit")}, artikel,
         QStringLiteral("dalvo artikel FALL aendern ARTIKEL [--bezeichnung T] [--preis P | --bruttopreis P] [--schluessel K] [--konto N] "
                        "[--einheit E] [--beschreibung T] [--rabatt PROZENT] [--nummer NR]"),
         QStringLiteral("ändert einen Artikel"), QStringLiteral("Ändert die genannten Angaben des Artikels."), cmdArtikel},
    };
    l << belegZeilen(Belegart::Rechnung, "Rechnungen schreiben, buchen, als PDF und XRechnung ausgeben", cmdRechnung)
      << belegZeilen(Belegart::Angebot, "Angebote schreiben und in Auftrag, Lieferschein oder Rechnung übernehmen", cmdAngebot)
      << belegZeilen(Belegart::Auftrag, "Auftragsbestätigungen schreiben und übernehmen", cmdAuftrag)
      << belegZeilen(Belegart::Lieferschein, "Lieferscheine schreiben und in eine Rechnung übernehmen", cmdLieferschein);
    l << Befehl{QStringLiteral("mahnung"), {}, {}, {}, QString(), QStringLiteral("mahnt eine offene Rechnung"),
                QStringLiteral("Wird die Rechnung gebucht, entfallen ihre Mahnungen."), nullptr}
      << Befehl{QStringLiteral("mahnung"), QStringLiteral("neu"), {},
                {{{"--stufe"}, "S"}, {{"--gebuehr"}, "BETRAG"}, {{"--datum"}, "TT.MM.JJJJ"}, {{"--zahlungsziel"}, "TT.MM.JJJJ"}},
                QStringLiteral("dalvo mahnung FALL neu RECHNUNG [--stufe S] [--gebuehr G] [--datum D] [--zahlungsziel D]"),
                QStringLiteral("legt eine Mahnung an"),
                QStringLiteral("Legt eine Mahnung der nächsten Stufe (oder --stufe 1..9, 99 = letzte) mit Mahngebühr an; das neue\n"
                               "Zahlungsziel ist 14 Tage nach dem Mahndatum. Ohne --datum: heute, im Fall eines vergangenen Jahres der\n"
                               "Tag nach der Fälligkeit der Rechnung."),
                cmdMahnung}
      << Befehl{QStringLiteral("mahnung"), QStringLiteral("liste"), {QStringLiteral("list")}, {json},
                QStringLiteral("dalvo mahnung FALL liste [RECHNUNG] [--json]"), QStringLiteral("zeigt die Mahnungen"),
                QStringLiteral("Zeigt die Mahnungen, mit RECHNUNG nur die dieser Rechnung."), cmdMahnung}
      << Befehl{QStringLiteral("erinnerungen"), {}, {}, {{{"--erledigt"}}, json}, QStringLiteral("dalvo erinnerungen FALL [--json] | --erledigt NR…"),
                QStringLiteral("fällige Erinnerungen zu Angeboten, Rechnungen und Mahnungen"),
                QStringLiteral("Zeigt die Belege, deren Erinnerungsdatum heute oder früher ist. --erledigt NR… löscht die\n"
                               "Erinnerungen mit diesen Nummern der Liste."),
                cmdErinnerungen};
    return l;
}

}  // namespace cli
