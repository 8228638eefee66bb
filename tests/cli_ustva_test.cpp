// The advance VAT return as `dalvo ustva` gives it to a script or a person:
// every assessment base in whole euros, every tax with its cents.
#include "support/dalvo_lauf.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList buchung(const char* art, const char* betrag, const char* gegen) {
    return {QStringLiteral("--kind"), QString::fromLatin1(art), QStringLiteral("--date"), QStringLiteral("10.05.2016"),
            QStringLiteral("--amount"), QString::fromLatin1(betrag), QStringLiteral("--account"), QStringLiteral("1200"),
            QStringLiteral("--counter"), QString::fromLatin1(gegen)};
}

TEST(CliUstva, BasesInWholeEurosTaxesWithCents) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("fall.dalvo"));
    Lauf n = dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--chart"),
                    QStringLiteral("SKR03"), QStringLiteral("--no-examples")});
    ASSERT_EQ(n.rc, 0) << n.err.toStdString();
    const QList<QStringList> buchungen = {
        buchung("einnahme", "119,99", "8400"),  // 81: net 100.83 (119.99 / 1.19), tax 19.16
        buchung("einnahme", "107,99", "8300"),  // 86: net 100.93 (107.99 / 1.07)
        buchung("einnahme", "2.000,75", "8125") << QStringLiteral("--ustid") << QStringLiteral("ATU12345678") << QStringLiteral("--zm")
                                                 << QStringLiteral("3"),  // 41
        buchung("einnahme", "4.100,50", "8336") << QStringLiteral("--ustid") << QStringLiteral("FR12345678901")
                                                 << QStringLiteral("--zm") << QStringLiteral("1"),  // 21
        buchung("einnahme", "700,70", "8337"),   // 60
        buchung("einnahme", "49,60", "8110"),    // 48
        buchung("ausgabe", "500,55", "3123"),    // 46; 47 and 67: 500.55 x 19 % = 95.1045 -> 95.10
        buchung("ausgabe", "1.000,55", "3425"),  // 89; 61: 1000.55 x 19 % = 190.1045 -> 190.10
        buchung("ausgabe", "11,90", "4930"),     // 66: 1.90
    };
    for (const QStringList& b : buchungen) {
        const Lauf l = dalvo(QStringList{QStringLiteral("book"), fall} + b);
        ASSERT_EQ(l.rc, 0) << b.join(QLatin1Char(' ')).toStdString() << ": " << l.err.toStdString();
    }

    const Lauf j = dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--quarter"), QStringLiteral("2"), QStringLiteral("--json")});
    ASSERT_EQ(j.rc, 0) << j.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(j.out.toUtf8()).object();
    const QJsonObject k = o.value(QStringLiteral("kennziffern")).toObject();
    const QMap<QString, double> erwartet = {
        {QStringLiteral("81"), 100},    {QStringLiteral("86"), 100},   {QStringLiteral("41"), 2000}, {QStringLiteral("21"), 4100},
        {QStringLiteral("60"), 700},    {QStringLiteral("48"), 49},    {QStringLiteral("46"), 500},  {QStringLiteral("89"), 1000},
        {QStringLiteral("47"), 95.10},  {QStringLiteral("67"), 95.10}, {QStringLiteral("61"), 190.10}, {QStringLiteral("66"), 1.90},
        // output tax 19.00 (81) + 7.00 (86) + 95.10 (47) + 190.00 (89) = 311.10; input tax 1.90 + 190.10 + 95.10 = 287.10
        {QStringLiteral("83"), 24.00}};
    for (auto it = erwartet.constBegin(); it != erwartet.constEnd(); ++it)
        EXPECT_DOUBLE_EQ(k.value(it.key()).toDouble(-1), it.value()) << it.key().toStdString() << "\n" << j.out.toStdString();
    EXPECT_EQ(k.size(), erwartet.size()) << j.out.toStdString();
    const QJsonObject st = o.value(QStringLiteral("steuer")).toObject();
    EXPECT_DOUBLE_EQ(st.value(QStringLiteral("81")).toDouble(), 19.00);
    EXPECT_DOUBLE_EQ(st.value(QStringLiteral("86")).toDouble(), 7.00);
    EXPECT_DOUBLE_EQ(st.value(QStringLiteral("89")).toDouble(), 190.00);
    const QJsonObject su = o.value(QStringLiteral("summen")).toObject();
    EXPECT_DOUBLE_EQ(su.value(QStringLiteral("umsatzsteuer")).toDouble(), 311.10);
    EXPECT_DOUBLE_EQ(su.value(QStringLiteral("vorsteuer")).toDouble(), 287.10);
    EXPECT_TRUE(j.out.contains(QStringLiteral("\"21\": 4100.00"))) << j.out.toStdString();

    // The printed return: a base and the tax the form computes from it, or a
    // tax amount alone in the tax column.
    const Lauf t = dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--quarter"), QStringLiteral("2")});
    ASSERT_EQ(t.rc, 0) << t.err.toStdString();
    auto zeile = [&](const QString& kz) {
        for (const QString& z : t.out.split(QLatin1Char('\n')))
            if (z.trimmed().startsWith(kz + QLatin1Char(' '))) return z;
        return QString();
    };
    const QRegularExpression betrag(QStringLiteral("\\d[\\d.]*,\\d\\d"));
    auto betraege = [&](const QString& z) {
        QStringList b;
        for (auto m = betrag.globalMatch(z); m.hasNext();) b << m.next().captured();
        return b;
    };
    EXPECT_EQ(betraege(zeile(QStringLiteral("81"))), (QStringList{QStringLiteral("100,00"), QStringLiteral("19,00")})) << t.out.toStdString();
    EXPECT_EQ(betraege(zeile(QStringLiteral("21"))), QStringList{QStringLiteral("4.100,00")}) << t.out.toStdString();
    EXPECT_EQ(betraege(zeile(QStringLiteral("48"))), QStringList{QStringLiteral("49,00")}) << t.out.toStdString();
    EXPECT_EQ(betraege(zeile(QStringLiteral("47"))), QStringList{QStringLiteral("95,10")}) << t.out.toStdString();
    EXPECT_TRUE(zeile(QStringLiteral("47")).endsWith(QStringLiteral("95,10"))) << "a tax stands in the tax column";
    EXPECT_FALSE(t.out.contains(QStringLiteral("100,83"))) << "no base keeps its cents";
}

}  // namespace


// A case written before the reference data were corrected takes the
// corrected keys, codes and accounts the first time a command writes it;
// its bookings stay as they are.
TEST(CliUstva, ACaseOfTheOldDataVersionTakesTheCorrectedCodes) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("alt.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
    ASSERT_EQ(dalvo(QStringList{QStringLiteral("book"), fall} + buchung("einnahme", "119,00", "8400")).rc, 0);
    // What the old data had: non-EU services in 46, 8150 in 48, no 8110.
    ASSERT_TRUE(sqlAusfuehren(fall, "UPDATE Version SET Version=20161423;"
                          "UPDATE eurSteuerschluessel SET VAKZUmsatz=46 WHERE Steuerschluessel=95;"
                          "UPDATE eurKontenplan SET UStVA=48 WHERE Nummer=8150;"
                          "DELETE FROM eurKontenplan WHERE Nummer=8110;"
                          "UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer=3125;"));
    ASSERT_EQ(sqlText(fall, "SELECT MAX(Version) FROM Version"), QStringLiteral("20161423"));

    const Lauf b = dalvo(QStringList{QStringLiteral("book"), fall} + buchung("ausgabe", "1.000,00", "3125"));
    ASSERT_EQ(b.rc, 0) << b.err.toStdString();
    EXPECT_EQ(sqlText(fall, "SELECT MAX(Version) FROM Version"), QStringLiteral("20161425"));
    EXPECT_EQ(sqlText(fall, "SELECT VAKZUmsatz FROM eurSteuerschluessel WHERE Steuerschluessel=95"), QStringLiteral("52"));
    EXPECT_EQ(sqlText(fall, "SELECT UStVA FROM eurKontenplan WHERE Nummer=8150"), QStringLiteral("43"));
    EXPECT_EQ(sqlText(fall, "SELECT UStVA FROM eurKontenplan WHERE Nummer=8110"), QStringLiteral("48"));
    EXPECT_EQ(sqlText(fall, "SELECT COUNT(*) FROM eurVerbucht"), QStringLiteral("2"));

    const Lauf j = dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--quarter"), QStringLiteral("2"), QStringLiteral("--json")});
    ASSERT_EQ(j.rc, 0) << j.err.toStdString();
    const QJsonObject k = QJsonDocument::fromJson(j.out.toUtf8()).object().value(QStringLiteral("kennziffern")).toObject();
    EXPECT_EQ(k.value(QStringLiteral("52")).toDouble(), 1000.0) << j.out.toStdString();
    EXPECT_EQ(k.value(QStringLiteral("53")).toDouble(), 190.0);
    EXPECT_FALSE(k.contains(QStringLiteral("46")));
    EXPECT_EQ(k.value(QStringLiteral("81")).toDouble(), 100.0);
    EXPECT_EQ(dalvo({QStringLiteral("verify"), fall}).rc, 0);
}
