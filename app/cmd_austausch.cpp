// dalvo buchungen-export / buchungen-import / beispielbuchungen: bookings in
// and out.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "kontbaum/austausch/austausch.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {
int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}
}  // namespace

int cmdExportCsv(const Args& a) {
    const QString n = QStringLiteral("buchungen-export");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Zieldatei angeben."));
    zDate von, bis;
    QString e;
    if (a.has(QStringLiteral("--von")) && !parseDate(a.value(QStringLiteral("--von")), &von, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--bis")) && !parseDate(a.value(QStringLiteral("--bis")), &bis, &e)) return usageError(n, e);
    if (von.isValid() && bis.isValid() && bis < von) return usageError(n, QStringLiteral("--bis liegt vor --von."));
    const QString angabe = a.positional()[1];
    if (!QFileInfo::exists(a.positional().first()))
        return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(a.positional().first()));
    Ausgabeziel ziel;
    if (!pruefeAusgabeziel(angabe, a.positional().first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall&) {
        QString fehler;
        int anzahl = 0;
        if (ziel.standardausgabe) {
            anzahl = BuchungenCSV::schreiben(
                [](const QString& stueck) {
                    out(stueck);
                    return true;
                },
                true, QStringLiteral("eurVerbucht"), von, bis);
            if (anzahl == 0) return abgelehnt(QStringLiteral("Es wurden keine Buchungen für den Export gefunden."));
            return int(Ok);
        }
        anzahl = BuchungenCSV::inDatei(ziel.pfad, von, bis, &fehler);
        if (anzahl < 0) return abgelehnt(fehler);
        if (anzahl == 0)
            return abgelehnt(QStringLiteral("Es wurden keine Buchungen für den Export gefunden. Die Datei wurde nicht erzeugt."));
        err(anzahl == 1 ? QStringLiteral("Es wurde eine Buchung in der Datei %1 gespeichert.\n").arg(angabe)
                        : QStringLiteral("Es wurden %1 Buchungen in der Datei %2 gespeichert.\n").arg(anzahl).arg(angabe));
        return int(Ok);
    });
}

int cmdImport(const Args& a) {
    const QString n = QStringLiteral("buchungen-import");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und CSV-Datei angeben."));
    BuchungenCSV::Zeichensatz zeichensatz = BuchungenCSV::Zeichensatz::Automatisch;
    if (a.has(QStringLiteral("--zeichensatz")) && !BuchungenCSV::zeichensatzAusName(a.value(QStringLiteral("--zeichensatz")), &zeichensatz))
        return usageError(n, QStringLiteral("Unbekannter Zeichensatz „%1“ (erlaubt: %2).")
                                 .arg(a.value(QStringLiteral("--zeichensatz")), BuchungenCSV::zeichensatzNamen().join(QStringLiteral(", "))));
    QString e;
    if (!pruefeEingabedatei(a.positional()[1], &e)) return usageError(n, e);
    QFile f(a.positional()[1]);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        // The bytes are read only now, with the case locked, so that what is
        // remembered as imported is exactly what was posted.
        if (!f.open(QIODevice::ReadOnly))
            return abgelehnt(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden. Es wurde nichts gebucht.").arg(a.positional()[1]));
        const BuchungenCSV::Importergebnis r = BuchungenCSV::importieren(f.readAll(), zeichensatz);
        f.close();
        switch (r.grund) {
        case BuchungenCSV::Importergebnis::Gebucht:
            out(QStringLiteral("%1\n").arg(r.anzahl));
            meldeErledigt(r.anzahl == 1 ? QStringLiteral("Eine Buchung wurde gebucht.") : QStringLiteral("%1 Buchungen wurden gebucht.").arg(r.anzahl));
            return int(Ok);
        case BuchungenCSV::Importergebnis::Unlesbar:
            return abgelehnt(r.fehler + QStringLiteral(" Den Zeichensatz wählt --zeichensatz %1.")
                                            .arg(BuchungenCSV::zeichensatzNamen().join(QLatin1Char('|'))));
        case BuchungenCSV::Importergebnis::Verneint:
            return abgelehnt(r.fehler + QStringLiteral(" Mit --ja wird die Datei trotzdem gebucht."));
        default:
            return abgelehnt(r.fehler);
        }
    });
}

int cmdGenerate(const Args& a) {
    const QString n = QStringLiteral("beispielbuchungen");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    int anzahl = 0, seed = 1;
    QString e;
    if (!a.has(QStringLiteral("--anzahl"))) return usageError(n, QStringLiteral("--anzahl fehlt."));
    if (!parseInt(a.value(QStringLiteral("--anzahl")), 1, 10000000, &anzahl, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--startwert")) && !parseInt(a.value(QStringLiteral("--startwert")), 0, 2147483647, &seed, &e)) return usageError(n, e);

    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        const long gebucht = Testdaten::erzeugen(anzahl, seed, &e);
        if (gebucht < 0) return abgelehnt(e);
        out(QStringLiteral("%1\n").arg(gebucht));
        return int(Ok);
    });
}

QList<Befehl> austauschBefehle() {
    return {
        {QStringLiteral("buchungen-export"), {}, {QStringLiteral("export-csv")},
         {{{"--von", "--from"}, "TT.MM.JJJJ"}, {{"--bis", "--to"}, "TT.MM.JJJJ"}, {{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo buchungen-export FALL DATEI|- [--von TT.MM.JJJJ --bis TT.MM.JJJJ] [--ersetzen]"),
         QStringLiteral("exportiert die Buchungen als CSV"),
         QStringLiteral("Schreibt die gültigen Buchungen (ohne stornierte und Stornobuchungen) als CSV mit\n"
                        "Semikolon, Bruttobeträgen in Soll oder Haben und Steuerschlüssel in DATEI („-“: auf die\n"
                        "Standardausgabe). Die Datei entsteht erst, wenn sie vollständig ist.\n\n"
                        "Eine vorhandene Datei wird nur mit --ersetzen ersetzt; eine Falldatei, ein Verzeichnis oder\n"
                        "Gerät nie. Ist DATEI ein symbolischer Verweis, wird sein Ziel geschrieben.\n\n"
                        "Optionen:\n  --von/--bis TT.MM.JJJJ   nur Buchungen mit Belegdatum in diesem Zeitraum\n"
                        "  --ersetzen              eine vorhandene Datei ersetzen"),
         cmdExportCsv},
        {QStringLiteral("buchungen-import"), {}, {QStringLiteral("import")}, {{{"--zeichensatz", "--encoding"}, "ZS"}},
         QStringLiteral("dalvo buchungen-import FALL DATEI [--zeichensatz utf-8|windows-1252|iso-8859-1] [--ja|--nein]"),
         QStringLiteral("bucht Buchungen aus einer CSV-Datei"),
         QStringLiteral("Bucht die Buchungen einer CSV-Datei im Exportformat (Kopfzeile nötig, zusätzliche Spalte\n"
                        "„Buchungsart“ 1..6 erlaubt; ohne sie folgt die Buchungsart aus den Konten, und was weder\n"
                        "Einnahme noch Ausgabe ist, wird eine freie Buchung). Gibt die Zahl der Buchungen aus.\n\n"
                        "Jede Zeile wird geprüft wie eine Buchung mit „dalvo buchen“: Konten vorhanden, aktiv und\n"
                        "passend zur Buchungsart auf ihrer Seite, fest eingestellter Steuerschlüssel des Kontos,\n"
                        "Steuerschlüssel vorhanden und für das Konto erlaubt, Belegdatum im Steuerjahr, Betrag mit\n"
                        "höchstens zwei Nachkommastellen bis 999.999.999,99; eine Zeile hat so viele Felder wie die\n"
                        "Kopfzeile. Alles oder nichts: bei der ersten fehlerhaften Zeile wird nichts gebucht und die\n"
                        "Zeile mit dem Grund genannt.\n\n"
                        "Rückfragen (einmal je Import, beantwortet mit --ja oder --nein; ohne Antwort und ohne\n"
                        "Terminal gilt Nein, und es wird nichts gebucht):\n"
                        "  - Buchungen am oder vor dem Festschreibungsdatum: sie werden gebucht und sofort\n"
                        "    festgeschrieben.\n"
                        "  - Dieselbe Datei (dieselben Bytes, erkannt an ihrer SHA-256-Prüfsumme, vermerkt in den\n"
                        "    Falleigenschaften) wurde schon einmal importiert.\n\n"
                        "Optionen:\n"
                        "  --zeichensatz ZS  Zeichensatz der Datei: utf-8, windows-1252 oder iso-8859-1. Ohne Angabe\n"
                        "                  wird UTF-8 (mit oder ohne Byte-Order-Mark) erkannt; eine Datei, die kein\n"
                        "                  gültiges UTF-8 ist, wird als Windows-1252 gelesen (so schreiben Banken und\n"
                        "                  Tabellenprogramme). Zeichen, die im Zeichensatz nicht vorkommen, führen zur\n"
                        "                  Ablehnung, nie zu Ersatzzeichen.\n"
                        "  --ja / --nein   Antwort auf die Rückfragen"),
         cmdImport},
        {QStringLiteral("beispielbuchungen"), {}, {QStringLiteral("generate")}, {{{"--anzahl", "--bookings"}, "N"}, {{"--startwert", "--seed"}, "S"}},
         QStringLiteral("dalvo beispielbuchungen FALL --anzahl N [--startwert S]"), QStringLiteral("erzeugt Beispielbuchungen"),
         QStringLiteral("Bucht N wirklichkeitsnahe, gemischte Buchungen (Einnahmen mit 19 % und 7 %, Ausgaben, Kasse\n"
                        "und Bank, Splittbuchungen, innergemeinschaftliche Lieferungen) für Messungen und Vorführungen.\n"
                        "Gleicher Startwert (--startwert, Vorgabe 1), gleiche Buchungen."),
         cmdGenerate},
    };
}

}  // namespace cli
