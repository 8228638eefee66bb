// Money, dates, recurring intervals, periods and typed values.
#include "host/values/datehelper.h"
#include "host/values/datentyp.h"
#include "host/values/euro.h"
#include "host/values/period.h"

#include <gtest/gtest.h>

#include <QDate>

#include <cmath>
#include <cstdint>

namespace {

TEST(Euro, ReadsADoubleToTheNearestCentHalfAwayFromZero) {
    struct Fall { double in; qint64 cent; };
    const Fall faelle[] = {{0.285, 29},   {-0.285, -29},     {1.005, 101},     {2.675, 268},      {0.125, 13},
                           {1.9095, 191}, {-1.005, -101},    {0.004999, 0},    {0.1 + 0.2, 30},   {1234.5649, 123456},
                           {-0.001, 0},   {999999999.99, 99999999999}, {std::nan(""), 0}, {1e300, INT64_MAX}};
    for (const Fall& f : faelle) EXPECT_EQ(EuroType::ausDouble(f.in).cent(), f.cent) << f.in;
    EXPECT_EQ(EuroType::runden(2.5, 0), 3.0);
    EXPECT_EQ(EuroType::runden(-2.5, 0), -3.0);
    EXPECT_EQ(EuroType::ausDouble(123.99).ganzeEuroAb(), 123_eur);
    EXPECT_EQ(EuroType::ausDouble(-5.99).ganzeEuroAb(), -5_eur) << "cut toward zero";
    EXPECT_EQ((0.29_eur).ganzeEuroAb(), EuroType());
}

// The one rounding of money: amount x numerator / denominator.
TEST(Euro, ShareRoundsHalfAwayFromZeroExactly) {
    struct Fall { qint64 cent, zaehler, nenner, ergebnis; };
    const Fall faelle[] = {
        {50, 19, 100, 10},   {-50, 19, 100, -10},  {50, -19, 100, -10}, {50, 19, -100, -10},  // 9,5 ct
        {49, 19, 100, 9},    {-49, 19, 100, -9},                                               // 9,31 ct
        {1, 1, 2, 1},        {-1, 1, 2, -1},       {1, 1, 3, 0},        {2, 1, 3, 1},
        {100, 100, 119, 84}, {11900, 100, 119, 10000},
        {99999999999, 999999999000000, 1000000, INT64_MAX},  // beyond the range: saturates
        {7, 3, 0, 0},
    };
    for (const Fall& f : faelle)
        EXPECT_EQ(EuroType::ausCent(f.cent).anteil(f.zaehler, f.nenner).cent(), f.ergebnis) << f.cent << "*" << f.zaehler << "/" << f.nenner;
    EXPECT_EQ((0.50_eur).prozent(19), 0.10_eur);
    EXPECT_EQ((100_eur).prozent(5.5), 5.50_eur);
    EXPECT_EQ((1.00_eur).prozent(10.7), 0.11_eur);
    EXPECT_EQ((0.01_eur).mal(0.5), 0.01_eur) << "half a cent rounds up";
    EXPECT_EQ((-0.01_eur).mal(0.5), -0.01_eur) << "and down below zero";
    EXPECT_EQ((1.00_eur).mal(1.005), 1.01_eur) << "a quantity is read as written";
    EXPECT_EQ((100_eur).bruttoAusNetto(19), 119_eur);
    EXPECT_EQ((0.05_eur).bruttoAusNetto(7), 0.05_eur);
}

TEST(Euro, GrossNetSplitsAddUpToTheGrossAmount) {
    struct Fall { double brutto, satz, netto, steuer; };
    const Fall faelle[] = {{119.0, 19, 100.0, 19.0}, {1.0, 19, 0.84, 0.16}, {0.01, 19, 0.01, 0.0},
                           {107.0, 7, 100.0, 7.0},   {10.0, 7, 9.35, 0.65}, {-119.0, 19, -100.0, -19.0}};
    for (const Fall& f : faelle) {
        const EuroType brutto = EuroType::ausDouble(f.brutto);
        const EuroType netto = brutto.nettoAusBrutto(f.satz);
        EXPECT_EQ(netto, EuroType::ausDouble(f.netto)) << f.brutto;
        EXPECT_EQ(brutto - netto, EuroType::ausDouble(f.steuer)) << f.brutto;
    }
}

// Sums are exact however many lines: a million lines of 0,10 are 100.000,00.
TEST(Euro, SumsAMillionLinesExactly) {
    EuroType summe;
    for (int i = 0; i < 1000000; ++i) summe += 0.10_eur;
    EXPECT_EQ(summe, 100000_eur);
    EXPECT_EQ(summe.getText(), QStringLiteral("100.000,00"));
}

TEST(Euro, ArithmeticNeverOverflows) {
    const EuroType groesst = EuroType::ausCent(INT64_MAX);
    EXPECT_EQ((groesst + 0.01_eur).cent(), INT64_MAX);
    EXPECT_EQ((-groesst - 1_eur).cent(), -INT64_MAX);
    EXPECT_EQ((-EuroType::ausCent(INT64_MIN)).cent(), INT64_MAX);
    EXPECT_FALSE((groesst + 0.01_eur).imRahmen());
    EXPECT_TRUE(EuroType::ausCent(EuroType::kHoechstCent).imRahmen());
    EXPECT_FALSE(EuroType::ausCent(EuroType::kHoechstCent + 1).imRahmen());
    EXPECT_FALSE((-EuroType::ausCent(EuroType::kHoechstCent + 1)).imRahmen());
    // The largest price times the largest quantity is far beyond the bound,
    // and it stays there instead of wrapping round.
    const EuroType p = EuroType::ausCent(EuroType::kHoechstCent).mal(999999999);
    EXPECT_FALSE(p.imRahmen());
    EXPECT_GT(p, EuroType());
}

TEST(Euro, GermanText) {
    EXPECT_EQ((1234.56_eur).getText(), QStringLiteral("1.234,56"));
    EXPECT_EQ(EuroType::ausDouble(1234567.891).getText(), QStringLiteral("1.234.567,89"));
    EXPECT_EQ((-0.5_eur).getText(), QStringLiteral("-0,50"));
    EXPECT_EQ(EuroType().getText(), QStringLiteral("0,00"));
    EXPECT_EQ(EuroType::ausDouble(-0.001).getText(), QStringLiteral("0,00")) << "no negative zero";
    EXPECT_EQ(EuroType::ausDouble(999.999).getText(), QStringLiteral("1.000,00"));
    EXPECT_EQ((1234.5_eur).getText(EuroType::TextOhneTausender), QStringLiteral("1234,50"));
    EXPECT_EQ((1234.5_eur).getText(EuroType::TextPunkt), QStringLiteral("1234.50"));
    EXPECT_EQ((12_eur).getText(EuroType::TextMitEuro), QStringLiteral("12,00 €"));
    EXPECT_EQ(EuroType().getText(EuroType::TextLeerBeiNull), QString());
    // A profit beyond the input bound prints and serialises as it is.
    EXPECT_EQ(EuroType::ausCent(123456789012345).getText(), QStringLiteral("1.234.567.890.123,45"));
    EXPECT_EQ(EuroType::ausCent(-INT64_MAX).getText(EuroType::TextPunkt), QStringLiteral("-92233720368547758.07"));
}

TEST(Euro, ParsesGermanAndMachineAmountsAndRefusesTheRest) {
    struct Fall { const char* text; double wert; };
    const Fall gut[] = {{"1.234,56", 1234.56}, {"1234,56", 1234.56}, {"1234.56", 1234.56}, {"1190", 1190},
                        {"-12,5", -12.5},      {"+3", 3},            {"1.234", 1234},       {"0,01", 0.01},
                        {" 7,00 ", 7},          {"1.190,00", 1190},   {"12.5", 12.5},        {"1.000.000", 1000000},
                        {"12,50 €", 12.5},      {" +12.34 ", 12.34},  {"000123,45", 123.45},
                        {"0000000000000000000000000000000000000001,5", 1.5}, {"1.0", 1}, {"1,0", 1}, {"-0", 0}, {"12€", 12},
                        {"1.234.567", 1234567}, {"1.234,5 €", 1234.5}};
    for (const Fall& f : gut) {
        EuroType e;
        ASSERT_TRUE(EuroType::fromText(QString::fromUtf8(f.text), &e)) << f.text;
        EXPECT_DOUBLE_EQ(e.alsDouble(), f.wert) << f.text;
    }
    EuroType groesst;
    ASSERT_TRUE(EuroType::fromText(QStringLiteral("999.999.999,99"), &groesst));
    EXPECT_DOUBLE_EQ(groesst.alsDouble(), 999999999.99);
    for (long long cent : {0LL, 5LL, 123456789LL, 99999999999LL})
        for (const QString& t : {EuroType::ausCent(cent).getText(), EuroType::ausCent(-cent).getText(),
                                 EuroType::ausCent(-cent).getText(EuroType::TextOhneTausender),
                                 EuroType::ausCent(cent).getText(EuroType::TextPunkt), EuroType::ausCent(cent).getText(EuroType::TextMitEuro)}) {
            EuroType e;
            ASSERT_TRUE(EuroType::fromText(t, &e)) << t.toStdString();
            EXPECT_EQ(e.cent() < 0 ? -e.cent() : e.cent(), cent) << t.toStdString();
        }
    ASSERT_TRUE(EuroType::fromText(QStringLiteral("-999999999.99"), &groesst));
    EXPECT_TRUE(EuroType::istGeldbetrag(12.34));
    EXPECT_TRUE(EuroType::istGeldbetrag(-999999999.99));
    EXPECT_FALSE(EuroType::istGeldbetrag(12.345)) << "a third decimal is no money";
    EXPECT_FALSE(EuroType::istGeldbetrag(1e12));
    EXPECT_FALSE(EuroType::istGeldbetrag(std::nan("")));
    for (const char* t : {"", "abc", "1,2,3", "1.2.3,4x", "12,345", "1.23.4", "12,", ",5", "1 000", "--1", "1e3",
                          "1.000.000.000", "1000000000,00", "-1000000000", "999999999,999", "99999999999999999999",
                          "999.999.999,995", "999999999.999", "1000000000000", "9999999999999999999999999999999999999999",
                          "1\u06612", "\u0661", "1.", ".5", "+-1", "1.2345", "12.34.56", "1,234.56", "€12", "- 1", "1-", "12 €1"}) {
        EuroType e = 99_eur;
        EXPECT_FALSE(EuroType::fromText(QString::fromUtf8(t), &e)) << t;
        EXPECT_DOUBLE_EQ(e.alsDouble(), 0.0) << t;
    }
}

TEST(Dates, TextIsoQuarterAndValidity) {
    EXPECT_EQ(zDate::fromText(QStringLiteral("29.02.2016")), zDate(2016, 2, 29));
    EXPECT_EQ(zDate::fromText(QStringLiteral("1.3.2016")), zDate(2016, 3, 1));
    EXPECT_FALSE(zDate::fromText(QStringLiteral("29.02.2015")).isValid());
    EXPECT_FALSE(zDate::fromText(QStringLiteral("31.04.2016")).isValid());
    EXPECT_FALSE(zDate::fromText(QStringLiteral("1.3.16")).isValid()) << "full year required";
    EXPECT_EQ(zDate::fromText(QStringLiteral(" 1.3.2016\t")), zDate(2016, 3, 1));
    EXPECT_EQ(zDate::fromText(QStringLiteral("29.2.2000")), zDate(2000, 2, 29));
    for (const char* t : {"29.2.2100", "001.3.2016", "1.3.02016", "1.3.2016.", "0.3.2016", "1.13.2016", "1..2016", "\u0661.3.2016", "1. 3.2016"})
        EXPECT_FALSE(zDate::fromText(QString::fromUtf8(t)).isValid()) << t;
    EXPECT_EQ(zDate::fromIso(QStringLiteral("2016-12-31 00:00:00")), zDate(2016, 12, 31));
    EXPECT_EQ(zDate::fromIso(QStringLiteral("2016-01-05")), zDate(2016, 1, 5));
    EXPECT_FALSE(zDate::fromIso(QString()).isValid());
    EXPECT_FALSE(zDate::fromIso(QStringLiteral("0000-00-00")).isValid());
    EXPECT_EQ(zDate(2016, 3, 1).getText(), QStringLiteral("01.03.2016"));
    EXPECT_EQ(zDate().getText(), QString());
    EXPECT_TRUE(zDate::badDate().isBad());
    EXPECT_EQ(zDate(2016, 3, 31).quarter(), 1);
    EXPECT_EQ(zDate(2016, 4, 1).quarter(), 2);
    EXPECT_EQ(zDate(2016, 12, 31).quarter(), 4);
    EXPECT_EQ(zDate().quarter(), 0);
}

TEST(Dates, TypedInputUsesTheDefaultYear) {
    DateHelper::setDefaultYear(2016);
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("31.1.16")), zDate(2016, 1, 31));
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("31.01.2016")), zDate(2016, 1, 31));
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("3101")), zDate(2016, 1, 31));
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("31.01.")), zDate(2016, 1, 31));
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("290216")), zDate(2016, 2, 29));
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("31122015")), zDate(2015, 12, 31));
    EXPECT_FALSE(DateHelper::fromDMYtoDate(QStringLiteral("3102")).isValid());
    EXPECT_FALSE(DateHelper::fromDMYtoDate(QStringLiteral("morgen")).isValid());
    DateHelper::setDefaultYear(2015);
    EXPECT_EQ(DateHelper::fromDMYtoDate(QStringLiteral("0101")), zDate(2015, 1, 1));
    DateHelper::setDefaultYear(2016);
}

TEST(Dates, IntervalsKeepTheDayOfTheFirstDate) {
    using namespace DateHelper;
    const zDate first(2016, 1, 31);
    zDate d = first;
    const zDate erwartet[] = {zDate(2016, 2, 29), zDate(2016, 3, 31), zDate(2016, 4, 30), zDate(2016, 5, 31)};
    for (const zDate& e : erwartet) {
        d = incByInterval(d, Monatlich, first);
        EXPECT_EQ(d, e) << d.getText().toStdString();
    }
    EXPECT_EQ(incByInterval(zDate(2016, 1, 30), Monatlich), zDate(2016, 2, 29));
    EXPECT_EQ(incByInterval(zDate(2016, 2, 29), Monatlich, zDate(2016, 1, 30)), zDate(2016, 3, 30));
    // Yearly from a leap day.
    const zDate leap(2016, 2, 29);
    EXPECT_EQ(incByInterval(leap, Jaehrlich), zDate(2017, 2, 28));
    EXPECT_EQ(incByInterval(leap, Jaehrlich, leap, 4), zDate(2020, 2, 29));
    EXPECT_EQ(incByInterval(zDate(2017, 2, 28), Jaehrlich, leap), zDate(2018, 2, 28));
    EXPECT_EQ(incByInterval(zDate(2099, 2, 28), Jaehrlich, zDate(2096, 2, 29)), zDate(2100, 2, 28)) << "2100 is no leap year";
    EXPECT_EQ(incByInterval(zDate(1999, 2, 28), Jaehrlich, zDate(1996, 2, 29)), zDate(2000, 2, 29)) << "2000 is";
    // Quarterly across a leap February.
    const zDate q(2015, 11, 30);
    EXPECT_EQ(incByInterval(q, Vierteljaehrlich), zDate(2016, 2, 29));
    EXPECT_EQ(incByInterval(zDate(2016, 2, 29), Vierteljaehrlich, q), zDate(2016, 5, 30));
    EXPECT_EQ(incByInterval(zDate(2016, 1, 31), Zweimonatlich), zDate(2016, 3, 31));
    EXPECT_EQ(incByInterval(zDate(2016, 8, 31), Halbjaehrlich), zDate(2017, 2, 28));
    // Day-based steps.
    EXPECT_EQ(incByInterval(zDate(2016, 12, 29), Woechentlich), zDate(2017, 1, 5));
    EXPECT_EQ(incByInterval(zDate(2016, 2, 22), Zweiwoechentlich), zDate(2016, 3, 7));
    EXPECT_EQ(incByInterval(zDate(2016, 2, 1), Vierwoechentlich), zDate(2016, 2, 29));
    // Unknown interval or date.
    EXPECT_FALSE(incByInterval(zDate(2016, 1, 1), 0).isValid());
    EXPECT_FALSE(incByInterval(zDate(2016, 1, 1), 42).isValid());
    EXPECT_FALSE(incByInterval(zDate(), Monatlich).isValid());
    EXPECT_EQ(intervallText(Vierteljaehrlich), QStringLiteral("vierteljährlich"));
    EXPECT_EQ(intervallText(99), QString());
}

TEST(Periods, MonthsQuartersAndOpenEnds) {
    const rsPeriod feb = rsPeriod::month(2016, 2);
    EXPECT_EQ(feb.bis(), zDate(2016, 2, 29));
    EXPECT_EQ(rsPeriod::quarter(2016, 4).von(), zDate(2016, 10, 1));
    EXPECT_EQ(rsPeriod::quarter(2016, 4).bis(), zDate(2016, 12, 31));
    EXPECT_FALSE(rsPeriod::quarter(2016, 5).isValid());
    EXPECT_TRUE(feb.contains(zDate(2016, 2, 29)));
    EXPECT_FALSE(feb.contains(zDate(2016, 3, 1)));
    rsPeriod offen(zDate(2016, 6, 1), zDate());
    EXPECT_TRUE(offen.contains(zDate(2030, 1, 1)));
    EXPECT_FALSE(offen.contains(zDate(2016, 5, 31)));
    EXPECT_TRUE(rsPeriod().isEmpty());
}

TEST(DatenTypValues, ConversionsAndEquality) {
    EXPECT_EQ(DatenTyp(QStringLiteral("42")).toInt(), 42);
    EXPECT_EQ(DatenTyp(QStringLiteral("abc")).toInt(), 0);
    EXPECT_DOUBLE_EQ(DatenTyp(QStringLiteral("12.5")).toDouble(), 12.5);
    EXPECT_EQ(DatenTyp(2.5).toLongLong(), 3);
    EXPECT_EQ(DatenTyp(0.1 + 0.2).toString(), QStringLiteral("0.3"));
    EXPECT_EQ(DatenTyp(true).toString(), QStringLiteral("1"));
    for (const char* t : {"1", "-1", "true", "JA", "wahr"}) EXPECT_TRUE(DatenTyp(t).toBool()) << t;
    for (const char* t : {"0", "", "nein", "x"}) EXPECT_FALSE(DatenTyp(t).toBool()) << t;
    EXPECT_EQ(DatenTyp(QStringLiteral("2016-03-01 00:00:00")).toDate(), zDate(2016, 3, 1));
    EXPECT_EQ(DatenTyp(QStringLiteral("01.03.2016")).toDate(), zDate(2016, 3, 1));
    EXPECT_FALSE(DatenTyp(QString()).toDate().isValid());
    EXPECT_FALSE(DatenTyp().toDate().isValid());
    EXPECT_EQ(DatenTyp(zDate(2016, 3, 1)).toString(), QStringLiteral("2016-03-01"));
    EXPECT_TRUE(DatenTyp().isNull());
    EXPECT_FALSE(DatenTyp(0).isNull());

    EXPECT_EQ(DatenTyp(1), DatenTyp(1.0));
    EXPECT_EQ(DatenTyp(2.5_eur), DatenTyp(2.5));
    EXPECT_EQ(DatenTyp(true), DatenTyp(1));
    EXPECT_NE(DatenTyp(1), DatenTyp(QStringLiteral("1")));
    EXPECT_NE(DatenTyp(), DatenTyp(0));
    EXPECT_EQ(DatenTyp(), DatenTyp());
    EXPECT_EQ(DatenTyp(zDate(2016, 1, 1)), DatenTyp(zDate(2016, 1, 1)));
    EXPECT_EQ(DatenTyp::fromBlob(QByteArray("\0x", 2)).toBlob(), QByteArray("\0x", 2));
}

}  // namespace

namespace {

TEST(Euro, FieldOfALongerTextReadsAsTheFieldAlone) {
    const QString zeile = QStringLiteral("1;1.234,56;x");
    EuroType e;
    ASSERT_TRUE(EuroType::fromText(QStringView(zeile).mid(2, 8), &e));
    EXPECT_EQ(e.alsDouble(), 1234.56);
    EXPECT_FALSE(EuroType::fromText(QStringView(zeile).mid(0, 4), &e));
}

// Every day of four years in both spellings reads as the calendar's day; the
// days that do not exist and months past 12 read as nothing.
TEST(Dates, EveryDayOfFourYearsReadsInBothSpellings) {
    for (QDate d(2015, 1, 1); d.year() < 2019; d = d.addDays(1)) {
        for (const QString& t : {d.toString(QStringLiteral("dd.MM.yyyy")), d.toString(QStringLiteral("d.M.yyyy"))}) {
            ASSERT_EQ(zDate::fromText(t), zDate(d.year(), d.month(), d.day())) << t.toStdString();
            ASSERT_EQ(zDate::fromText(QStringView(t)), zDate(d.year(), d.month(), d.day())) << t.toStdString();
        }
        const QString falsch = QStringLiteral("%1.%2.%3").arg(d.day() + 28).arg(d.month()).arg(d.year());
        ASSERT_EQ(zDate::fromText(falsch).isValid(), QDate(d.year(), d.month(), d.day() + 28).isValid()) << falsch.toStdString();
        ASSERT_FALSE(zDate::fromText(QStringLiteral(" %1.%2.%3\t").arg(d.day()).arg(d.month() + 12).arg(d.year())).isValid());
    }
}

}  // namespace
