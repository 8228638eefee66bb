// Generated test data: realistic, varied bookings for benchmarks and
// demonstrations, the same ones for the same seed.
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/steuer/ustid.h"

#include <random>

namespace {
using KG = KontoGlobal;

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

long Testdaten::erzeugen(int anzahl, int seed, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return -1L;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg || !kg->GetDBConnect_Ptr()) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
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
        return nein(QStringLiteral("Der Kontenplan des Falls hat nicht die Konten, die für erzeugte Buchungen gebraucht werden "
                                   "(Kasse, Bank, Erlöse mit Steuerschlüssel, Aufwand)."));
    const bool ust = kg->getUstPflicht();
    const int jahr = kg->getSteuerjahr();
    const zDate gesperrt = KG::getFestgeschriebenBis();
    const zDate erster = gesperrt.isValid() ? gesperrt.addDays(1) : zDate(jahr, 1, 1);
    const int tage = int(erster.qdate().daysTo(QDate(jahr, 12, 31)));
    if (tage < 0) return nein(QStringLiteral("Das ganze Steuerjahr ist festgeschrieben; es kann nichts mehr gebucht werden."));

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
    // Generated data is the one posting that never asks about the cash
    // balance: its receipts and expenses fall on the till by chance, so the
    // till dips below zero on some days, and nobody is there to answer for
    // a benchmark case of 100 000 bookings. A real posting path never does this.
    Buchungslauf lauf(db, Buchungslauf::OhneKassenfrage::Ja);
    if (!lauf.ok()) return nein(QStringLiteral("Die Datenbank ist nicht beschreibbar."));
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
        if (KG::insertSplittBuchung(b, db, &grund, &speicher) == 0) return nein(grund);
        ++gebucht;
        if (gebucht % 1000 == 0) ui.progress(QStringLiteral("Buchungen erzeugen"), gebucht, anzahl);
    }
    if (!lauf.abschliessen()) return nein(QStringLiteral("Die Buchungen konnten nicht gespeichert werden."));
    ui.progress(QStringLiteral("Buchungen erzeugen"), anzahl, anzahl);
    return gebucht;
}

