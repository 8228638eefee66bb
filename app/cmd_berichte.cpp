// dalvo bericht: every report list of the bookkeeping by name, as a page,
// CSV, JSON or PDF.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "kontbaum/berichte/listen.h"
#include "kontbaum/berichte/listenschreiber.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>

#include <memory>

namespace cli {

namespace {

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}

// The options a report takes beyond the period and the output form.
struct Zusatz {
    const char* flag;
    unsigned option;
};
const Zusatz kZusaetze[] = {{"--konto", Berichte::OptKonten | Berichte::OptKontoPflicht},
                            {"--beleg", Berichte::OptBeleg},
                            {"--grenze", Berichte::OptGrenze},
                            {"--sortierung", Berichte::OptSortierung},
                            {"--nach", Berichte::OptNach},
                            {"--art", Berichte::OptBelegart}};

int liste(const Args& a) {
    if (a.has(QStringLiteral("--json"))) {
        QJsonArray l;
        for (const Berichte::BerichtArt& b : Berichte::berichtArten()) {
            QJsonObject o;
            o[QStringLiteral("name")] = QLatin1String(b.name);
            o[QStringLiteral("klasse")] = QLatin1String(b.klasse);
            o[QStringLiteral("beschreibung")] = QString::fromUtf8(b.beschreibung);
            o[QStringLiteral("zeitraum")] = (b.optionen & Berichte::OptZeitraum) != 0;
            l.append(o);
        }
        out(jsonText(l));
        return Ok;
    }
    QString t = QStringLiteral("Die Listen von „dalvo bericht FALL NAME“:\n\n");
    for (const Berichte::BerichtArt& b : Berichte::berichtArten())
        t += QStringLiteral("  %1 %2\n").arg(QLatin1String(b.name), -16).arg(QString::fromUtf8(b.beschreibung));
    out(t + QStringLiteral("\nMit Zeitraum (--monat, --quartal, --jahr, --von/--bis) und --csv, --json oder --pdf DATEI.\n"));
    return Ok;
}

// "1200" or "1200-1299".
bool parseKonten(const QString& text, unsigned long* von, unsigned long* bis) {
    const QStringList t = text.trimmed().split(QLatin1Char('-'));
    if (t.isEmpty() || t.size() > 2) return false;
    int v = 0, b = 0;
    if (!parseInt(t.first().trimmed(), 1, 9999, &v, nullptr)) return false;
    b = v;
    if (t.size() == 2 && (!parseInt(t.last().trimmed(), 1, 9999, &b, nullptr) || b < v)) return false;
    *von = unsigned(v);
    *bis = unsigned(b);
    return true;
}

}  // namespace

BerichtZeitraum berichtZeitraum(const Zeitraum& z) {
    BerichtZeitraum b;
    b.art = int(z.art);
    if (z.art == Zeitraum::Monat) b.monat = z.index;
    if (z.art == Zeitraum::Quartal) b.quartal = z.index;
    b.frei = rsPeriod(z.von, z.bis);
    return b;
}

int cmdBericht(const Args& a) {
    const QString n = QStringLiteral("bericht");
    if (a.has(QStringLiteral("--liste"))) {
        if (!a.positional().isEmpty()) return usageError(n, QStringLiteral("--liste braucht keine Falldatei."));
        return liste(a);
    }
    if (a.positional().size() != 2)
        return usageError(n, QStringLiteral("Bitte Falldatei und Liste angeben, etwa „dalvo bericht FALL journal“; die Listen zeigt "
                                            "„dalvo bericht --liste“."));
    const Berichte::BerichtArt* art = Berichte::findeBericht(a.positional().at(1));
    if (!art)
        return usageError(n, QStringLiteral("Eine Liste „%1“ gibt es nicht; die Listen zeigt „dalvo bericht --liste“.").arg(a.positional().at(1)));
    const QString name = QLatin1String(art->name);
    if (int(a.has(QStringLiteral("--csv"))) + int(a.has(QStringLiteral("--json"))) + int(a.has(QStringLiteral("--pdf"))) > 1)
        return usageError(n, QStringLiteral("Nur eine Ausgabeform: --csv, --json oder --pdf DATEI."));
    if (!(art->optionen & Berichte::OptZeitraum))
        for (const Option& f : zeitraumOptionen())
            if (a.has(f.name())) return usageError(n, QStringLiteral("Die Liste „%1“ hat keinen Zeitraum; bitte %2 weglassen.").arg(name, f.name()));
    for (const Zusatz& z : kZusaetze)
        if (a.has(QLatin1String(z.flag)) && !(art->optionen & z.option))
            return usageError(n, QStringLiteral("Die Liste „%1“ kennt %2 nicht; was sie kennt, zeigt „dalvo bericht --hilfe“.").arg(name, QLatin1String(z.flag)));
    BerichtParameter p;
    if (a.has(QStringLiteral("--konto")) && !parseKonten(a.value(QStringLiteral("--konto")), &p.vonKonto, &p.bisKonto))
        return usageError(n, QStringLiteral("--konto erwartet eine Kontonummer (1 bis 9999) oder einen Bereich wie 1200-1299, nicht „%1“.")
                                 .arg(a.value(QStringLiteral("--konto"))));
    if (art->optionen & Berichte::OptKontoPflicht) {
        if (!a.has(QStringLiteral("--konto"))) return usageError(n, QStringLiteral("Die Liste „%1“ braucht --konto NUMMER.").arg(name));
        if (p.bisKonto != p.vonKonto) return usageError(n, QStringLiteral("Die Liste „%1“ gilt für genau ein Konto.").arg(name));
    }
    if (a.has(QStringLiteral("--grenze"))) {
        QString e;
        if (!parseAmount(a.value(QStringLiteral("--grenze")), &p.grenze, &e)) return usageError(n, e);
        if (p.grenze < EuroType()) return usageError(n, QStringLiteral("Die Grenze kann nicht negativ sein."));
    }
    // A misspelt choice is the caller's mistake, not the ledger's.
    const struct {
        const char* flag;
        QStringList werte;
    } auswahl[] = {{"--sortierung", {QStringLiteral("nummer"), QStringLiteral("zahlungsdatum"), QStringLiteral("beleg")}},
                   {"--nach", {QStringLiteral("belegdatum"), QStringLiteral("buchungsdatum")}},
                   {"--art", {QStringLiteral("rechnung"), QStringLiteral("angebot"), QStringLiteral("auftrag"), QStringLiteral("lieferschein"),
                              QStringLiteral("mahnung")}}};
    for (const auto& x : auswahl) {
        const QString w = a.value(QLatin1String(x.flag)).trimmed().toLower();
        if (a.has(QLatin1String(x.flag)) && !x.werte.contains(w))
            return usageError(n, QStringLiteral("%1 erwartet %2, nicht „%3“.")
                                     .arg(QLatin1String(x.flag), x.werte.join(QStringLiteral(", ")), a.value(QLatin1String(x.flag))));
    }
    p.belegPrefix = a.value(QStringLiteral("--beleg"));
    p.sortierung = a.value(QStringLiteral("--sortierung")).trimmed().toLower();
    p.nach = a.value(QStringLiteral("--nach")).trimmed().toLower();
    p.belegart = a.value(QStringLiteral("--art")).trimmed().toLower();

    const QString fallPfad = a.positional().first();
    Ausgabeziel ziel;
    if (a.has(QStringLiteral("--pdf"))) {
        QString e;
        if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--pdf")), fallPfad, a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    }
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall& fall) {
        QString e;
        p.jahr = fall.kg()->getSteuerjahr();
        Zeitraum z;
        if (!parseZeitraum(a, p.jahr, &z, &e)) return usageError(n, e);
        p.zeitraum = berichtZeitraum(z);
        // The rows go to the writer of the output form as they are read.
        BerichtListe l;
        if (a.has(QStringLiteral("--pdf"))) {
            const QString firma = a.has(QStringLiteral("--firma")) ? a.value(QStringLiteral("--firma")) : fall.betriebsname(fallPfad);
            bool gefuellt = true;
            const bool ok = schreibeAusgabe(
                ziel,
                [&](QIODevice* datei, QString* fehler) {
                    PdfSchreiber w(datei, firma);
                    l.schreibeNach(&w);
                    gefuellt = art->fuellen(p, &l, fehler);
                    return gefuellt && w.beenden(l, fehler);
                },
                &e);
            if (!ok) return abgelehnt(e);
            if (!ziel.standardausgabe)
                err(QStringLiteral("Die Liste „%1“ wurde in der Datei %2 gespeichert.\n").arg(l.titel, a.value(QStringLiteral("--pdf"))));
            return int(Ok);
        }
        const ListenZiel standardausgabe = [](const QByteArray& b) { return outBytes(b); };
        std::unique_ptr<ListenSchreiber> w;
        if (a.has(QStringLiteral("--json"))) {
            JsonText::Felder kopf{{"bericht", JsonText::text(QLatin1String(art->name))}};
            if (art->optionen & Berichte::OptZeitraum)
                kopf << qMakePair(QByteArray("von"), JsonText::text(p.von().getText())) << qMakePair(QByteArray("bis"), JsonText::text(p.bis().getText()));
            w = std::make_unique<JsonSchreiber>(standardausgabe, kopf);
        } else if (a.has(QStringLiteral("--csv"))) {
            w = std::make_unique<CsvSchreiber>(standardausgabe);
        } else {
            w = std::make_unique<TextSchreiber>(standardausgabe);
        }
        l.schreibeNach(w.get());
        if (!art->fuellen(p, &l, &e)) return abgelehnt(e);
        if (!w->beenden(l, &e)) return abgelehnt(e);
        if (!a.has(QStringLiteral("--json")) && !a.has(QStringLiteral("--csv")) && l.anzahl() == 0)
            err(QStringLiteral("Hinweis: Die Liste ist leer.\n"));
        return int(Ok);
    });
}

QList<Befehl> berichtBefehle() {
    QList<Option> optionen = zeitraumOptionen();
    for (const Zusatz& z : kZusaetze) optionen << Option{{QLatin1String(z.flag)}, "WERT"};
    optionen << Option{{"--pdf"}, "DATEI"} << Option{{"--firma"}, "NAME"} << Option{{"--csv"}} << Option{{"--json"}}
             << Option{{"--ersetzen", "--force"}} << Option{{"--liste"}};
    return {
        {QStringLiteral("bericht"), {}, {}, optionen,
         QStringLiteral("dalvo bericht FALL LISTE [--monat M | --quartal Q | --jahr | --von D --bis D] [--konto N|VON-BIS] "
                        "[--beleg PRÄFIX] [--grenze BETRAG] [--sortierung nummer|zahlungsdatum|beleg] [--nach belegdatum|buchungsdatum] "
                        "[--art rechnung|angebot|auftrag|lieferschein|mahnung] [--csv | --json | --pdf DATEI [--ersetzen] [--firma NAME]] | "
                        "dalvo bericht --liste [--json]"),
         QStringLiteral("zeigt eine Liste: Kontoauszug, Journal, Umsatzsteuerliste, Kontenplan, Analysen …"),
         QStringLiteral("Jede Liste der Buchhaltung über einen Befehl; --liste zeigt alle mit einer Zeile Beschreibung:\n"
                        "  kontenabfrage   Kontoauszüge mit Vortrag und laufendem Saldo (--konto 1200 oder 1200-1299)\n"
                        "  journal         alle Buchungen, auch stornierte (--sortierung nummer|zahlungsdatum|beleg)\n"
                        "  ustliste        Soll und Haben je Konto und Steuerschlüssel\n"
                        "  kontenplan, vorlagen, kunden, artikel, inventar   Stammdaten (ohne Zeitraum)\n"
                        "  beleganalyse    Belegnummern der Einnahmen: doppelte, fehlende (--beleg RE- nur diese Serie)\n"
                        "  betragsanalyse  Sollbeträge eines Kontos nach Höhe (--konto N, Pflicht)\n"
                        "  buchungszeiten  Abstand von Beleg- und Buchungsdatum (--nach belegdatum|buchungsdatum)\n"
                        "  euer-vergleich  Gewinn je Kategorie: Zeitraum und Jahr bis dahin\n"
                        "  sperrgrenzen    Ausgaben über der GWG-Grenze des Falls oder --grenze BETRAG\n"
                        "  moss, zm        Zeilen der MOSS-Steuerschlüssel je Land; ZM-Beträge je USt-IdNr.\n"
                        "  belege          Rechnungen (--art angebot|auftrag|lieferschein|mahnung für die anderen)\n"
                        "Stornierte Buchungen und ihre Stornos zählen nur im Journal und in den Buchungszeiten. Eine Option,\n"
                        "die die Liste nicht kennt, wird abgelehnt.\n\n"
                        "Ausgabe:\n  (ohne)        als Seite zum Lesen\n"
                        "  --csv         für die Tabellenkalkulation: Kopfzeile, dann eine Zeile je Eintrag; ';', Dezimalkomma\n"
                        "  --json        ein Dokument: bericht, titel, untertitel, von, bis, zeilen, summen (Schlüssel je Spalte)\n"
                        "  --pdf DATEI   zum Drucken (A4 quer); vorhandene Dateien nur mit --ersetzen, - für die Standardausgabe;\n"
                        "                im Kopf der Name der Firma (dalvo firma) oder --firma NAME"),
         cmdBericht},
    };
}

}  // namespace cli
