// dalvo eingang: incoming e-invoices (XRechnung, ZUGFeRD/Factur-X, UBL)
// read, checked, archived, shown, given back and booked, from the command
// line.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/atomicfile.h"
#include "host/app/printstring.h"
#include "host/app/ui.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/eingang/eingang.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

DBConnection* db(Fall& f) { return f.kg()->GetDBConnect_Ptr(); }

bool id(const QString& t, unsigned long* n) {
    bool ok = false;
    *n = t.trimmed().toULong(&ok);
    return ok && *n > 0;
}

QJsonObject alsJson(const Eingang::Gespeichert& g) {
    QJsonArray steuern;
    for (const Eingang::Steuerzeile& s : g.steuern)
        steuern.append(QJsonObject{{QStringLiteral("kategorie"), s.kategorie},
                                   {QStringLiteral("satz"), s.satz},
                                   {QStringLiteral("basis"), jsonBetrag(s.basis)},
                                   {QStringLiteral("steuer"), jsonBetrag(s.steuer)}});
    auto datum = [](const zDate& d) { return d.isValid() ? QJsonValue(d.getText()) : QJsonValue(); };
    return QJsonObject{{QStringLiteral("id"), qint64(g.id)},
                       {QStringLiteral("nummer"), g.nummer},
                       {QStringLiteral("typ"), g.typ},
                       {QStringLiteral("gutschrift"), g.gutschrift},
                       {QStringLiteral("syntax"), g.syntax},
                       {QStringLiteral("datum"), datum(g.datum)},
                       {QStringLiteral("faellig"), datum(g.faellig)},
                       {QStringLiteral("lieferant"), g.lieferant},
                       {QStringLiteral("ustid"), g.ustid},
                       {QStringLiteral("steuernummer"), g.steuernummer},
                       {QStringLiteral("iban"), g.iban},
                       {QStringLiteral("netto"), jsonBetrag(g.netto)},
                       {QStringLiteral("steuer"), jsonBetrag(g.steuer)},
                       {QStringLiteral("brutto"), jsonBetrag(g.brutto)},
                       {QStringLiteral("zahlbetrag"), jsonBetrag(g.zahlbetrag)},
                       {QStringLiteral("steuern"), steuern},
                       {QStringLiteral("datei"), g.dateiname},
                       {QStringLiteral("sha256"), g.sha256},
                       {QStringLiteral("konto"), qint64(g.konto)},
                       {QStringLiteral("bei_zahlung"), g.beiZahlung},
                       {QStringLiteral("buchungsnummer"), g.buchungsnummer ? QJsonValue(qint64(g.buchungsnummer)) : QJsonValue()},
                       {QStringLiteral("bezahlt"), datum(g.bezahlt)},
                       {QStringLiteral("offen"), g.offen()}};
}

int importiere(Fall& fall, const QStringList& dateien) {
    QList<Eingang::Importdatei> l;
    for (const QString& d : dateien) {
        QFile f(d);
        if (!f.open(QIODevice::ReadOnly)) return abgelehnt(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(d));
        l << Eingang::Importdatei{QFileInfo(d).fileName(), f.readAll()};
    }
    Eingang::Importergebnis e;
    QString grund;
    if (!Eingang::importiere(db(fall), l, &e, &grund)) return abgelehnt(grund);
    for (const QString& d : e.doppelt) err(QStringLiteral("Hinweis: ") + d + QLatin1Char('\n'));
    QString t;
    for (unsigned long i : e.neu) t += QString::number(i) + QLatin1Char('\n');
    out(t);
    fall.setGeaendert(!e.neu.isEmpty());
    meldeErledigt(e.neu.size() == 1 ? QStringLiteral("Eine Eingangsrechnung eingelesen.")
                                    : QStringLiteral("%1 Eingangsrechnungen eingelesen.").arg(e.neu.size()));
    return Ok;
}

int buchen(Fall& fall, const Args& a, unsigned long nr) {
    Eingang::Buchungsauftrag auftrag;
    QString e;
    bool ok = true;
    if (a.has(QStringLiteral("--konto"))) auftrag.konto = a.value(QStringLiteral("--konto")).toULong(&ok);
    if (!ok || (a.has(QStringLiteral("--konto")) && auftrag.konto == 0))
        return usageError(QStringLiteral("eingang"), QStringLiteral("--konto braucht die Nummer eines Aufwandskontos, z. B. --konto 4930."));
    if (a.has(QStringLiteral("--geldkonto"))) {
        auftrag.geldkonto = a.value(QStringLiteral("--geldkonto")).toULong(&ok);
        if (!ok || auftrag.geldkonto == 0)
            return usageError(QStringLiteral("eingang"), QStringLiteral("--geldkonto braucht die Nummer des Bank- oder Kassenkontos, z. B. --geldkonto 1200."));
        if (!a.has(QStringLiteral("--datum"))) return usageError(QStringLiteral("eingang"), QStringLiteral("Mit --geldkonto bitte --datum (Tag der Zahlung) angeben."));
        if (!parseDate(a.value(QStringLiteral("--datum")), &auftrag.datum, &e)) return usageError(QStringLiteral("eingang"), e);
    } else if (a.has(QStringLiteral("--datum"))) {
        return usageError(QStringLiteral("eingang"), QStringLiteral("--datum gilt nur mit --geldkonto."));
    }
    const unsigned long b = Eingang::buche(db(fall), nr, auftrag, &e);
    if (b == 0 && !e.isEmpty()) return abgelehnt(e);
    if (b == 0) {
        out(QStringLiteral("0\n"));
        meldeErledigt(QStringLiteral("Die Eingangsrechnung %1 wird bei ihrer Zahlung gebucht (Bankübernahme).").arg(nr));
        return Ok;
    }
    out(QStringLiteral("%1\n").arg(b));
    meldeErledigt(QStringLiteral("Die Eingangsrechnung %1 ist als Buchung %2 gebucht.").arg(nr).arg(b));
    return Ok;
}

int zeigeVorschlag(Fall& fall, unsigned long nr, QString* text) {
    Eingang::Buchungsvorschlag v;
    QString e;
    if (!Eingang::vorschlag(db(fall), nr, 0, &v, &e)) {
        *text += QStringLiteral("Buchungsvorschlag: ") + e + QLatin1Char('\n');
        return Ok;
    }
    *text += QStringLiteral("Buchungsvorschlag (%1, Belegnummer %2):\n").arg(KontoGlobal::getBuchungsartText(v.buchungsart), v.belegnummer);
    for (const Eingang::Vorschlagszeile& z : v.zeilen)
        *text += QStringLiteral("  Konto %1, Steuerschlüssel %2, %3 € %4 (%5)\n")
                     .arg(z.konto)
                     .arg(z.schluessel)
                     .arg(z.betrag.getText(), z.netto ? QStringLiteral("netto") : QStringLiteral("brutto"), z.text);
    return Ok;
}

}  // namespace

int cmdEingang(const Args& a) {
    const QString n = QStringLiteral("eingang");
    const QStringList p = a.positional();
    const QString was = p[1];
    unsigned long nr = 0;
    if (was == QLatin1String("import")) {
        if (p.size() < 3) return usageError(n, QStringLiteral("Bitte mindestens eine Datei angeben."));
        QString e;
        for (int i = 2; i < p.size(); ++i)
            if (!pruefeEingabedatei(p[i], &e)) return usageError(n, e);
    } else if (was == QLatin1String("liste")) {
        if (p.size() != 2) return usageError(n, QStringLiteral("Zu viele Argumente."));
    } else {
        const int soll = was == QLatin1String("export") ? 4 : 3;
        if (p.size() != soll)
            return usageError(n, soll == 4 ? QStringLiteral("Bitte die Nummer der Eingangsrechnung und die Zieldatei angeben.")
                                           : QStringLiteral("Bitte genau eine Nummer einer Eingangsrechnung angeben."));
        if (!id(p[2], &nr)) return usageError(n, QStringLiteral("„%1“ ist keine Nummer einer Eingangsrechnung (die Liste zeigt „dalvo eingang FALL liste“).").arg(p[2]));
    }
    Ausgabeziel ziel;
    if (was == QLatin1String("export")) {
        QString e;
        if (!QFileInfo::exists(p.first())) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(p.first()));
        if (!pruefeAusgabeziel(p[3], p.first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    }
    const bool schreiben = was == QLatin1String("import") || was == QLatin1String("buchen");
    return Fall::ausfuehren(n, p.first(), schreiben ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) -> int {
        QString e;
        if (was == QLatin1String("import")) return importiere(fall, p.mid(2));
        if (was == QLatin1String("buchen")) return buchen(fall, a, nr);
        if (was == QLatin1String("liste")) {
            const bool offen = a.has(QStringLiteral("--offen"));
            const QList<Eingang::Gespeichert> l = Eingang::liste(db(fall), offen);
            if (a.has(QStringLiteral("--json"))) {
                QJsonArray j;
                for (const Eingang::Gespeichert& g : l) j.append(alsJson(g));
                out(jsonText(j));
                return Ok;
            }
            zPrintString druck;
            Eingang::alsListe(l, offen).drucke(druck);
            out(druck.text());
            if (l.isEmpty()) err(QStringLiteral("Hinweis: Es liegen keine%1 Eingangsrechnungen vor (einlesen mit „dalvo eingang FALL import DATEI“).\n")
                                     .arg(offen ? QStringLiteral(" offenen") : QString()));
            return Ok;
        }
        if (was == QLatin1String("zeigen")) {
            QString t;
            if (!Eingang::darstellung(db(fall), nr, &t, &e)) return abgelehnt(e);
            Eingang::Gespeichert g;
            if (Eingang::lese(db(fall), nr, &g, &e) && g.offen()) zeigeVorschlag(fall, nr, &t);
            out(t);
            return Ok;
        }
        QByteArray daten;
        if (!Eingang::original(db(fall), nr, &daten, &e)) return abgelehnt(e);
        if (ziel.standardausgabe) {
            fwrite(daten.constData(), 1, size_t(daten.size()), stdout);
            fflush(stdout);
            return Ok;
        }
        if (!rsWriteFileAtomic(ziel.pfad, daten, &e)) return abgelehnt(e);
        err(QStringLiteral("Das Original der Eingangsrechnung %1 wurde in der Datei %2 gespeichert.\n").arg(nr).arg(ziel.pfad));
        return Ok;
    });
}

QList<Befehl> eingangBefehle() {
    const Option json{{"--json"}};
    return {
        {QStringLiteral("eingang"), {}, {}, {}, QString(),
         QStringLiteral("Eingangsrechnungen (XRechnung, ZUGFeRD/Factur-X, UBL) einlesen, prüfen, archivieren und buchen"),
         QStringLiteral("Das Original jeder E-Rechnung bleibt unverändert in der Falldatei (mit SHA-256-Prüfsumme)."), nullptr},
        {QStringLiteral("eingang"), QStringLiteral("import"), {}, {},
         QStringLiteral("dalvo eingang FALL import DATEI…"), QStringLiteral("liest E-Rechnungen ein"),
         QStringLiteral("Liest Rechnungen und Gutschriften als XML (UN/CEFACT CII: XRechnung, Factur-X, ZUGFeRD 1.0 und 2;\n"
                        "UBL 2.1 Invoice und CreditNote) oder als PDF mit eingebetteter XML-Rechnung (ZUGFeRD/Factur-X).\n"
                        "Geprüft werden die Syntax, die Summen je Steuersatz (EN 16931 BR-CO-10 bis BR-CO-17) und die\n"
                        "Pflichtangaben des Verkäufers; eine Rechnung, die nicht stimmt, wird mit Regel und Element\n"
                        "abgelehnt und nichts eingelesen. Eine Rechnung desselben Lieferanten mit derselben Nummer wird\n"
                        "gemeldet, aber nicht doppelt gespeichert. Ausgabe: die Nummern der neuen Eingangsrechnungen."),
         cmdEingang},
        {QStringLiteral("eingang"), QStringLiteral("buchen"), {},
         {{{"--konto"}, "KONTO"}, {{"--geldkonto"}, "KONTO"}, {{"--datum"}, "TT.MM.JJJJ"}},
         QStringLiteral("dalvo eingang FALL buchen ID [--konto K] [--geldkonto N --datum D] [--ja|--nein]"),
         QStringLiteral("bucht eine Eingangsrechnung"),
         QStringLiteral("Bucht die Rechnung als Ausgabe (eine Gutschrift als Gutschrift) mit einer Zeile je Steuersatz auf\n"
                        "das Aufwandskonto --konto oder das zuletzt für diesen Lieferanten benutzte, mit dem\n"
                        "Vorsteuerschlüssel zu Satz und Kategorie (S: Vorsteuer; AE: § 13b; K: innergemeinschaftlicher\n"
                        "Erwerb; E, Z, O: keine Vorsteuer); Belegnummer ist die Rechnungsnummer. Mit --geldkonto und\n"
                        "--datum wird sie als an diesem Tag bezahlt gebucht (Ausgabe: die Buchungsnummer); ohne wird sie\n"
                        "vorgemerkt und bei ihrer Zahlung in der Bankübernahme gebucht (Ausgabe: 0)."),
         cmdEingang},
        {QStringLiteral("eingang"), QStringLiteral("liste"), {QStringLiteral("list")}, {{{"--offen"}}, json},
         QStringLiteral("dalvo eingang FALL liste [--offen] [--json]"), QStringLiteral("zeigt die Eingangsrechnungen"),
         QStringLiteral("Zeigt die eingelesenen Rechnungen mit Lieferant, Beträgen, Fälligkeit und Stand (--offen: nur die\n"
                        "noch nicht gebuchten)."),
         cmdEingang},
        {QStringLiteral("eingang"), QStringLiteral("zeigen"), {QStringLiteral("show")}, {}, QStringLiteral("dalvo eingang FALL zeigen ID"),
         QStringLiteral("zeigt eine Eingangsrechnung"),
         QStringLiteral("Zeigt die Rechnung lesbar: Parteien, Positionen, Zu- und Abschläge, Umsatzsteuer, Summen, Zahlung;\n"
                        "bei einer offenen Rechnung den Buchungsvorschlag."),
         cmdEingang},
        {QStringLiteral("eingang"), QStringLiteral("export"), {}, {{{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo eingang FALL export ID DATEI|- [--ersetzen]"), QStringLiteral("gibt das Original zurück"),
         QStringLiteral("Schreibt die Datei der Rechnung byte-genau so, wie sie eingelesen wurde (nach Prüfung ihrer\n"
                        "SHA-256-Prüfsumme)."),
         cmdEingang},
    };
}

}  // namespace cli
