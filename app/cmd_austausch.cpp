// dalvo buchungen-export / buchungen-import / beispielbuchungen: bookings in
// and out.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/austausch/austausch.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/ustid.h"

#include <QFile>
#include <QFileInfo>

#include <random>

namespace cli {

namespace {
using KG = KontoGlobal;

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
        const Kasse::BestandsWaechter kassen(nullptr, Kasse::BestandsWaechter::Art::NurHinzufuegen);
        const BuchungenCSV::Importergebnis r = BuchungenCSV::importieren(f.readAll(), zeichensatz);
        f.close();
        QString kassenFehler;
        switch (r.grund) {
        case BuchungenCSV::Importergebnis::Gebucht:
            if (!kassen.bestaetigt(true, &kassenFehler)) return abgelehnt(kassenFehler);
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

namespace {
// The accounts the generator books on, found by category and key so that
// every chart framework gets its own numbers.
struct Konten {
    unsigned long kasse = 0, bank = 0, privat = 0;
    QList<unsigned long> erloese19, erloese7, igLieferung, aufwand, aufwandVorsteuer;
};

QList<unsigned long> konten(DBConnection* db, const QString& where) {
    QList<unsigned long> out;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Aktiv<>0 AND ") + where + QStringLiteral(" ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) out << rs.field(QStringLiteral("Nummer")).toULong();
    return out;
}

unsigned long ersteDerKategorie(DBConnection* db, int kategorie, unsigned long bevorzugt) {
    const QList<unsigned long> k = konten(db, QStringLiteral("Kategorie=%1").arg(kategorie));
    if (k.contains(bevorzugt)) return bevorzugt;
    return k.isEmpty() ? 0 : k.first();
}
}  // namespace

int cmdGenerate(const Args& a) {
    const QString n = QStringLiteral("beispielbuchungen");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    int anzahl = 0, seed = 1;
    QString e;
    if (!a.has(QStringLiteral("--anzahl"))) return usageError(n, QStringLiteral("--anzahl fehlt."));
    if (!parseInt(a.value(QStringLiteral("--anzahl")), 1, 10000000, &anzahl, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--startwert")) && !parseInt(a.value(QStringLiteral("--startwert")), 0, 2147483647, &seed, &e)) return usageError(n, e);

    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        DBConnection* db = kg->GetDBConnect_Ptr();
        Konten k;
        k.kasse = kg->getSpezialKonto(1000);
        k.bank = kg->getSpezialKonto(1200);
        k.privat = ersteDerKategorie(db, 2101, 0);
        const QString mitSchluessel = QStringLiteral("Steuerautomatik=1 AND Steuerschluessel=%1");
        k.erloese19 = konten(db, QStringLiteral("Kategorie BETWEEN 4000 AND 4099 AND ") + mitSchluessel.arg(5));
        k.erloese7 = konten(db, QStringLiteral("Kategorie BETWEEN 4000 AND 4099 AND ") + mitSchluessel.arg(2));
        k.igLieferung = konten(db, QStringLiteral("Kategorie BETWEEN 4000 AND 4099 AND ") + mitSchluessel.arg(25));
        if (!kg->getUstPflicht()) {
            // A small business without VAT books its revenue without keys.
            k.erloese19 = konten(db, QStringLiteral("Kategorie IN (4000, 4002) AND Steuerautomatik<>1"));
            k.erloese7.clear();
            k.igLieferung.clear();
        }
        k.aufwandVorsteuer = konten(db, QStringLiteral("Kategorie BETWEEN 5000 AND 5299 AND Steuerautomatik=1 AND Steuerschluessel IN (7, 8)"));
        k.aufwand = konten(db, QStringLiteral("((Kategorie BETWEEN 5000 AND 5299) OR Kategorie=5400 OR (Kategorie BETWEEN 5402 AND 5899)) "
                                              "AND Steuerautomatik<>1"));
        if (!KG::isKontoAktiv(k.kasse) || !KG::isKontoAktiv(k.bank) || (k.erloese19.isEmpty() && k.erloese7.isEmpty()) ||
            k.aufwand.isEmpty())
            return abgelehnt(QStringLiteral("Der Kontenplan des Falls hat nicht die Konten, die für erzeugte Buchungen gebraucht werden "
                                            "(Kasse, Bank, Erlöse mit Steuerschlüssel, Aufwand)."));
        const bool ust = kg->getUstPflicht();
        const int jahr = kg->getSteuerjahr();
        const zDate gesperrt = KG::getFestgeschriebenBis();
        const zDate erster = gesperrt.isValid() ? gesperrt.addDays(1) : zDate(jahr, 1, 1);
        const int tage = int(erster.qdate().daysTo(QDate(jahr, 12, 31)));
        if (tage < 0) return abgelehnt(QStringLiteral("Das ganze Steuerjahr ist festgeschrieben; es kann nichts mehr gebucht werden."));

        std::mt19937 zufall{static_cast<unsigned>(seed)};
        auto zahl = [&](int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall); };
        auto cent = [&](int vonEuro, int bisEuro) { return EuroType::ausCent(zahl(vonEuro * 100, bisEuro * 100)); };
        auto eines = [&](const QList<unsigned long>& l) { return l[zahl(0, l.size() - 1)]; };
        static const char* const kunden[] = {"Müller GmbH", "Schmidt & Partner", "Stadtwerke", "Weber KG", "Agentur Blau",
                                             "Praxis Dr. Kühn", "Hofmann Bau", "Café Sonne"};
        static const char* const einkauf[] = {"Büromaterial", "Fachliteratur", "Porto", "Software-Abo", "Reparatur Drucker",
                                              "Fahrtkosten", "Bewirtung Kunde", "Telefon und Internet", "Werbung Flyer", "Reinigung"};
        static const char* const ustIds[] = {"ATU12345678", "FR12345678901", "NL123456789B01", "BE0123456789", "IT12345678901",
                                             "DK12345678", "PL1234567890", "SE123456789701"};
        Ui& ui = GetUi();
        if (!db->beginTransaction()) return abgelehnt(QStringLiteral("Die Datenbank ist nicht beschreibbar."));
        int gebucht = 0;
        // The keys, the chart and the closings cannot change within the run.
        KG::SchluesselSpeicher speicher;
        for (int i = 0; i < anzahl; ++i) {
            KG::BuchungsEntwurf b;
            b.belegdatum = erster.addDays(zahl(0, tage));
            b.belegnummer = QStringLiteral("%1-%2").arg(jahr).arg(i + 1, 5, 10, QLatin1Char('0'));
            const int wurf = zahl(0, 99);
            const unsigned long geld = k.bank;
            if (wurf < 40 && (!k.erloese19.isEmpty() || !k.erloese7.isEmpty())) {
                // Fees and sales at 19 % or 7 %.
                const bool sieben = !k.erloese7.isEmpty() && (k.erloese19.isEmpty() || zahl(0, 4) == 0);
                const unsigned long konto = eines(sieben ? k.erloese7 : k.erloese19);
                b.buchungsart = 1;
                b.text = QStringLiteral("Rechnung %1 %2").arg(b.belegnummer, QString::fromUtf8(kunden[zahl(0, 7)]));
                b.haben = false;
                // Small sales are paid in cash, so the till is filled by receipts.
                const EuroType betrag = cent(80, 6000);
                b.konto = betrag < EuroType::ausCent(80000) ? k.kasse : k.bank;
                b.teile.append({konto, ust ? (sieben ? 2UL : 5UL) : 0UL, betrag, false, QString()});
            } else if (wurf < 45 && ust && !k.igLieferung.isEmpty()) {
                // Tax-free supply to a business in another member state.
                b.buchungsart = 1;
                b.text = QStringLiteral("Lieferung EU %1").arg(b.belegnummer);
                b.ustid = QString::fromLatin1(ustIds[zahl(0, 7)]);
                b.haben = false;
                b.konto = k.bank;
                const unsigned long konto = eines(k.igLieferung);
                // The kind the statement reports the account's revenue as:
                // a triangular first buyer's account is "D", the others "L".
                const unsigned long code = GetDatenTyp(db, QStringLiteral("SELECT UStVA FROM eurKontenplan WHERE Nummer=") +
                                                               rsDataSource::toSqlStr(konto)).toULong();
                b.zmart = code == UStId::kKennzifferDreieck ? UStId::Dreiecksgeschaeft : UStId::Lieferung;
                b.teile.append({konto, 25, cent(500, 12000), false, QString()});
            } else if (wurf < 55 && !k.aufwandVorsteuer.isEmpty() && ust) {
                // Purchases on accounts with a fixed input-tax key.
                const unsigned long konto = eines(k.aufwandVorsteuer);
                b.buchungsart = 2;
                b.text = QStringLiteral("Wareneinkauf %1").arg(b.belegnummer);
                b.haben = true;
                b.konto = geld;
                const unsigned long schluessel =
                    GetDatenTyp(db, QStringLiteral("SELECT Steuerschluessel FROM eurKontenplan WHERE Nummer=%1").arg(konto)).toULong();
                b.teile.append({konto, schluessel, cent(20, 2500), false, QString()});
            } else if (wurf < 65) {
                // A receipt split over several expense accounts.
                b.buchungsart = 2;
                b.text = QStringLiteral("Sammelbeleg %1").arg(b.belegnummer);
                b.haben = true;
                b.konto = geld;
                const int teile = zahl(2, 3);
                for (int t = 0; t < teile; ++t)
                    b.teile.append({eines(k.aufwand), ust ? (zahl(0, 3) == 0 ? 8UL : 7UL) : 0UL, cent(3, 400), zahl(0, 4) == 0,
                                    QString::fromUtf8(einkauf[zahl(0, 9)])});
            } else if (wurf < 70 && k.privat != 0) {
                // Private withdrawal from the business account.
                b.buchungsart = 3;
                b.text = QStringLiteral("Privatentnahme");
                b.haben = true;
                b.konto = k.bank;
                b.teile.append({k.privat, 0, EuroType::ausCent(zahl(2, 30) * 5000), false, QString()});
            } else {
                // Everyday expenses, with or without input tax; small ones paid in cash.
                const bool bar = zahl(0, 2) == 0;
                b.buchungsart = 2;
                b.text = QString::fromUtf8(einkauf[zahl(0, 9)]);
                b.haben = true;
                b.konto = bar ? k.kasse : k.bank;
                b.teile.append({eines(k.aufwand), ust && zahl(0, 4) != 0 ? (zahl(0, 5) == 0 ? 8UL : 7UL) : 0UL,
                                bar ? cent(2, 120) : cent(2, 900), false, QString()});
            }
            QString grund;
            if (KG::insertSplittBuchung(b, db, &grund, &speicher) == 0) {
                db->rollback();
                return abgelehnt(grund);
            }
            ++gebucht;
            if (gebucht % 1000 == 0) ui.progress(QStringLiteral("Buchungen erzeugen"), gebucht, anzahl);
        }
        if (!db->commit()) return abgelehnt(QStringLiteral("Die Buchungen konnten nicht gespeichert werden."));
        ui.progress(QStringLiteral("Buchungen erzeugen"), anzahl, anzahl);
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
