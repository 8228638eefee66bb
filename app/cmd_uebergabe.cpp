// dalvo datev-export / gobd-export: the books handed to the tax adviser
// (DATEV booking batch) and to the auditor (data carrier of § 147 Abs. 6 AO).
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/atomicfile.h"
#include "kontbaum/austausch/datev.h"
#include "kontbaum/austausch/gobd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {
int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}

// The customers' file beside the batch: EXTF_Buchungsstapel_2016.csv gives
// EXTF_Debitoren_Kreditoren_Buchungsstapel_2016.csv.
QString personenPfad(const QString& stapel) {
    const QFileInfo fi(stapel);
    return QDir(fi.absolutePath()).filePath(QStringLiteral("EXTF_Debitoren_Kreditoren_") + fi.fileName().mid(5));
}
}  // namespace

int cmdDatevExport(const Args& a) {
    const QString n = QStringLiteral("datev-export");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Zieldatei angeben."));
    Datev::Angaben angaben;
    QString e;
    if (a.has(QStringLiteral("--von")) && !parseDate(a.value(QStringLiteral("--von")), &angaben.von, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--bis")) && !parseDate(a.value(QStringLiteral("--bis")), &angaben.bis, &e)) return usageError(n, e);
    int zahl = 0;
    if (a.has(QStringLiteral("--berater"))) {
        if (!parseInt(a.value(QStringLiteral("--berater")), 1001, 9999999, &zahl, &e)) return usageError(n, QStringLiteral("--berater: ") + e);
        angaben.berater = zahl;
    }
    if (a.has(QStringLiteral("--mandant"))) {
        if (!parseInt(a.value(QStringLiteral("--mandant")), 1, 99999, &zahl, &e)) return usageError(n, QStringLiteral("--mandant: ") + e);
        angaben.mandant = zahl;
    }
    if (a.has(QStringLiteral("--sachkontenlaenge"))) {
        if (!parseInt(a.value(QStringLiteral("--sachkontenlaenge")), 4, 8, &angaben.sachkontenlaenge, &e))
            return usageError(n, QStringLiteral("--sachkontenlaenge: ") + e);
    }
    const QString fallPfad = a.positional().first(), datei = a.positional()[1];
    if (datei == QLatin1String("-"))
        return usageError(n, QStringLiteral("Ein DATEV-Stapel ist eine Windows-1252-Datei und wird in eine Datei geschrieben, nicht auf die "
                                            "Standardausgabe."));
    // DATEV's import recognises the files by this prefix.
    if (!QFileInfo(datei).fileName().startsWith(QLatin1String("EXTF_")))
        return usageError(n, QStringLiteral("Der Dateiname muss mit „EXTF_“ beginnen (etwa EXTF_Buchungsstapel_2016.csv), sonst liest "
                                            "DATEV die Datei nicht ein."));
    if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
    const bool ersetzen = a.has(QStringLiteral("--ersetzen"));
    Ausgabeziel ziel, zielPersonen;
    if (!pruefeAusgabeziel(datei, fallPfad, ersetzen, &ziel, &e)) return abgelehnt(e);
    if (!pruefeAusgabeziel(personenPfad(datei), fallPfad, ersetzen, &zielPersonen, &e)) return abgelehnt(e);
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall&) {
        // The batch goes into a file beside the target as it is built; the
        // customers' file is put in place before the batch takes its name.
        Datev::Ergebnis r;
        bool personenGeschrieben = false;
        QString fehler;
        const bool ok = schreibeAusgabe(
            ziel,
            [&](QIODevice* d, QString* f) {
                r = Datev::erzeugen(angaben, d);
                if (!r.ok) {
                    *f = r.fehler;
                    return false;
                }
                if (r.personenDatei.isEmpty()) return true;
                personenGeschrieben = rsWriteFileAtomic(zielPersonen.pfad, r.personenDatei, f);
                return personenGeschrieben;
            },
            &fehler);
        if (!ok) {
            if (personenGeschrieben) QFile::remove(zielPersonen.pfad);
            return abgelehnt(fehler);
        }
        for (const QString& h : r.hinweise) err(QStringLiteral("Hinweis: %1\n").arg(h));
        out(QStringLiteral("%1\n").arg(r.zeilen));
        QString text = QStringLiteral("%1 Buchungen in %2 Zeilen nach %3 geschrieben%4.")
                           .arg(r.buchungen)
                           .arg(r.zeilen)
                           .arg(datei, r.festgeschrieben ? QStringLiteral(" (festgeschrieben)") : QString());
        if (r.personen > 0) text += QStringLiteral(" %1 Kunden in %2.").arg(r.personen).arg(QDir::toNativeSeparators(zielPersonen.pfad));
        meldeErledigt(text);
        return int(Ok);
    });
}

int cmdGobdExport(const Args& a) {
    const QString n = QStringLiteral("gobd-export");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Zielverzeichnis angeben."));
    const QString fallPfad = a.positional().first(), verzeichnis = a.positional()[1];
    if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall&) {
        const GoBD::Ergebnis r = GoBD::exportieren(verzeichnis);
        if (!r.ok) return abgelehnt(r.fehler);
        for (const QString& h : r.hinweise) err(QStringLiteral("Hinweis: %1\n").arg(h));
        for (const QString& d : r.dateien) out(d + QLatin1Char('\n'));
        meldeErledigt(QStringLiteral("%1 Dateien nach %2 geschrieben (Buchungsjournal mit %3 Zeilen).")
                          .arg(r.dateien.size())
                          .arg(verzeichnis)
                          .arg(r.journalzeilen));
        return int(Ok);
    });
}

QList<Befehl> uebergabeBefehle() {
    return {
        {QStringLiteral("datev-export"), {}, {QStringLiteral("export-datev")},
         {{{"--von", "--from"}, "TT.MM.JJJJ"},
          {{"--bis", "--to"}, "TT.MM.JJJJ"},
          {{"--berater"}, "N"},
          {{"--mandant"}, "N"},
          {{"--sachkontenlaenge"}, "N"},
          {{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo datev-export FALL EXTF_DATEI.csv [--von TT.MM.JJJJ --bis TT.MM.JJJJ] [--berater N --mandant N] "
                        "[--sachkontenlaenge 4] [--ersetzen]"),
         QStringLiteral("übergibt die Buchungen im DATEV-Format an den Steuerberater"),
         QStringLiteral("Schreibt die Buchungen des Steuerjahres (oder des Zeitraums darin) als DATEV-Buchungsstapel (EXTF,\n"
                        "Formatversion 700/13, Windows-1252, CRLF) in DATEI, deren Name mit „EXTF_“ beginnen muss. Je\n"
                        "Gegenkonto einer Buchung eine Zeile mit dem Bruttobetrag; der DATEV-Buchungsschlüssel steht nur, wo\n"
                        "das Gegenkonto den Steuerschlüssel nicht fest vorgibt. Stornierte Buchungen und ihre Stornos werden\n"
                        "mit übergeben (das Storno als Generalumkehr). Gibt die Zahl der Datenzeilen aus.\n\n"
                        "Hat der Fall Kunden, entsteht daneben EXTF_Debitoren_Kreditoren_<Rest des Namens> mit den Kunden\n"
                        "als Debitoren (Kontonummer 10000 + interne Nummer bei Sachkontenlänge 4).\n\n"
                        "Abgelehnt wird der Export, wenn eine Buchung einen Steuerschlüssel ohne gleichbedeutenden\n"
                        "DATEV-Schlüssel trägt (die Buchung wird genannt), ein Konto länger als die Sachkontenlänge ist\n"
                        "oder Berater- oder Mandantennummer fehlen.\n\n"
                        "Optionen:\n"
                        "  --von/--bis TT.MM.JJJJ   nur Buchungen mit Belegdatum in diesem Zeitraum (im Steuerjahr)\n"
                        "  --berater N              Beraternummer (1001 bis 9999999); Vorgabe: die Einstellung des Falls\n"
                        "                           (dalvo einstellungen FALL --datev-berater N)\n"
                        "  --mandant N              Mandantennummer (1 bis 99999); Vorgabe: die Einstellung des Falls\n"
                        "  --sachkontenlaenge N     Stellen der Sachkonten, 4 bis 8 (Vorgabe 4)\n"
                        "  --ersetzen               vorhandene Dateien ersetzen"),
         cmdDatevExport},
        {QStringLiteral("gobd-export"), {}, {QStringLiteral("export-gobd")}, {},
         QStringLiteral("dalvo gobd-export FALL VERZEICHNIS"),
         QStringLiteral("schreibt den Datenträger für die Außenprüfung (GoBD, Z3)"),
         QStringLiteral("Schreibt die Bücher des Falls für den Datenzugriff der Außenprüfung (§ 147 Abs. 6 AO) in ein neues\n"
                        "oder leeres VERZEICHNIS: index.xml nach dem Beschreibungsstandard mit der DTD\n"
                        "gdpdu-01-09-2004.dtd daneben und je Tabelle eine CSV-Datei (UTF-8, Semikolon, Dezimalkomma,\n"
                        "erste Zeile mit den Spaltennamen): Buchungsjournal, Kontenplan, Steuerschlüssel, Kassenbuch,\n"
                        "Kunden, Rechnungen mit Positionen und Bankumsätze. Gibt die Namen der geschriebenen Dateien aus.\n"
                        "Ein Verzeichnis mit Inhalt wird nie beschrieben; die Falldatei bleibt unverändert."),
         cmdGobdExport},
    };
}

}  // namespace cli
