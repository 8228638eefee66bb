#include "support/buchungsfall.h"

#include "support/testfall.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

void Buchungsfall::SetUp() {
    using KG = KontoGlobal;
    db = testfall::neuerFall(&kg);
    ASSERT_NE(db, nullptr);
    testfall::festeSchluesselUndKonten(db);
    // Booking 7 pays from an empty till: confirmed.
    ScriptedUi ja;
    ja.setDefaultAnswer(true);
    const UiScope scope(&ja);

    const QString t = QStringLiteral("eurVerbucht");
    auto ein = [&](double betrag, unsigned long konto, unsigned long schluessel, bool netto, const zDate& datum) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Honorar"), EuroType::ausDouble(betrag), netto, datum, QStringLiteral("RE-1"), 1,
                                       false, 1200, konto, schluessel, QString());
    };
    auto aus = [&](double betrag, unsigned long konto, unsigned long schluessel) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Einkauf"), EuroType::ausDouble(betrag), false, zDate(2016, 4, 2), QStringLiteral("B-7"),
                                       2, true, 1200, konto, schluessel, QString());
    };
    ASSERT_EQ(ein(119.0, 8400, 5, false, zDate(2016, 3, 15)), 1u);
    ASSERT_EQ(aus(59.50, 4930, 7), 2u);
    ASSERT_EQ(aus(1000.0, 3425, 19), 3u);
    ASSERT_EQ(ein(100.0, 8400, 5, true, zDate(2016, 5, 1)), 4u);
    ASSERT_EQ(ein(0.05, 8300, 2, false, zDate(2016, 5, 2)), 5u);
    ASSERT_EQ(KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Privat"), 200_eur, false, zDate(2016, 9, 1), QString(), 3, true, 1200,
                                      1800, 0, QString()),
              6u);
    KG::BuchungsEntwurf b;
    b.text = QStringLiteral("Splitt");
    b.belegdatum = zDate(2016, 6, 30);
    b.buchungsart = 2;
    b.haben = true;
    b.konto = 1000;
    b.teile = {{4930, 7, 119.00_eur, false, QStringLiteral("Papier")}, {4210, 0, 500.00_eur, false, QStringLiteral("Miete")},
               {4940, 7, 10.00_eur, true, QStringLiteral("Buch")}};
    ASSERT_EQ(KG::insertSplittBuchung(b), 7u);
    KG::BuchungsEntwurf c;
    c.text = QStringLiteral("Splitt Einnahme");
    c.belegdatum = zDate(2016, 7, 1);
    c.buchungsart = 1;
    c.konto = 1200;
    c.teile = {{8400, 5, 238.00_eur, false, QString()}, {8300, 2, 107.00_eur, false, QString()}};
    ASSERT_EQ(KG::insertSplittBuchung(c), 8u);
    ASSERT_EQ(KG::storniereBuchung(1), 9u);
    ASSERT_EQ(aus(12.34, 4210, 0), 10u);
}
