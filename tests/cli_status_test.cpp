// status, getkont and berechnung from the command line, and the transfer
// of the figures into the forms of the case file (ustva/euer --uebertragen)
// with the question before figures already there are replaced.
//
// The case of every test (SKR03 2016):
//   income  1.190,00 to the bank 1200 on 8400 (1.000 net, 190 VAT) 15.03.2016
//   expense   119,00 in cash 1000 on 4930 (100 net, 19 input tax)  20.03.2016
// Bank 1.190,00; cash -119,00; income 1.190,00; expenses 119,00; profit
// 1.071,00. UStVA March: 81 base 1.000, tax 190; 66 19,00; 83 171,00.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CliStatus : public ::testing::Test {
protected:
    void SetUp() override {
        fall = dir.filePath(QStringLiteral("fall.dalvo"));
        ASSERT_EQ(dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
        buche(QStringLiteral("einnahme"), QStringLiteral("15.03.2016"), QStringLiteral("1.190,00"), QStringLiteral("1200"), QStringLiteral("8400"));
        buche(QStringLiteral("ausgabe"), QStringLiteral("20.03.2016"), QStringLiteral("119,00"), QStringLiteral("1000"), QStringLiteral("4930"));
    }
    void buche(const QString& art, const QString& datum, const QString& betrag, const QString& geld, const QString& gegen) {
        const Lauf l = dalvo({QStringLiteral("book"), fall, QStringLiteral("--kind"), art, QStringLiteral("--date"), datum, QStringLiteral("--amount"),
                              betrag, QStringLiteral("--account"), geld, QStringLiteral("--counter"), gegen, QStringLiteral("--yes")});
        ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    }
    QJsonObject json(const QStringList& args, int rc = 0) {
        const Lauf l = dalvo(args);
        EXPECT_EQ(l.rc, rc) << args.join(' ').toStdString() << ": " << l.err.toStdString();
        return QJsonDocument::fromJson(l.out.toUtf8()).object();
    }

    QTemporaryDir dir;
    QString fall;
};

TEST_F(CliStatus, StatusShowsWhatAUserWantsFirst) {
    const QJsonObject s = json({QStringLiteral("status"), fall, QStringLiteral("--json")});
    EXPECT_EQ(s.value(QStringLiteral("steuerjahr")).toInt(), 2016);
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("gewinn")).toDouble(), 1071.00);
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("einnahmen")).toDouble(), 1190.00);
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("ausgaben")).toDouble(), 119.00);
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("bank")).toDouble(), 1190.00);
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("kasse")).toDouble(), -119.00);
    const QJsonArray konten = s.value(QStringLiteral("geldkonten")).toArray();
    ASSERT_EQ(konten.size(), 2);
    EXPECT_EQ(konten[0].toObject().value(QStringLiteral("konto")).toInt(), 1000);
    EXPECT_EQ(konten[0].toObject().value(QStringLiteral("art")).toString(), QStringLiteral("kasse"));
    EXPECT_EQ(konten[1].toObject().value(QStringLiteral("konto")).toInt(), 1200);
    EXPECT_TRUE(s.value(QStringLiteral("festgeschrieben_bis")).isNull());
    EXPECT_TRUE(s.value(QStringLiteral("kasse_abgeschlossen_bis")).isNull());
    EXPECT_EQ(s.value(QStringLiteral("kassenkonto")).toInt(), 1000);
    EXPECT_EQ(s.value(QStringLiteral("regelbuchungen_faellig")).toArray().size(), 0);
    EXPECT_EQ(s.value(QStringLiteral("offene_rechnungen")).toArray().size(), 0);
    EXPECT_EQ(s.value(QStringLiteral("offene_bankumsaetze")).toInt(), 0);
    EXPECT_FALSE(s.value(QStringLiteral("jahr_abgeschlossen")).toBool());

    ASSERT_EQ(dalvo({QStringLiteral("lock"), fall, QStringLiteral("31.03.2016")}).rc, 0);
    EXPECT_EQ(json({QStringLiteral("status"), fall, QStringLiteral("--json")}).value(QStringLiteral("festgeschrieben_bis")).toString(),
              QStringLiteral("31.03.2016"));
    const Lauf text = dalvo({QStringLiteral("status"), fall});
    EXPECT_EQ(text.rc, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("1.071,00 €"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Festgeschrieben bis:       31.03.2016"))) << text.out.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("status")}).rc, 2);
    EXPECT_EQ(dalvo({QStringLiteral("status"), dir.filePath(QStringLiteral("fehlt.dalvo"))}).rc, 2);
}

TEST_F(CliStatus, FiguresBeyondTheInputLimitAreShownNotRefused) {
    // Each amount is within what input accepts; their sum is not.
    for (int i = 0; i < 3; ++i)
        buche(QStringLiteral("einnahme"), QStringLiteral("01.04.2016"), QStringLiteral("999.999.999,99"), QStringLiteral("1200"), QStringLiteral("8400"));
    const QJsonObject s = json({QStringLiteral("status"), fall, QStringLiteral("--json")});
    const QJsonObject e = json({QStringLiteral("euer"), fall, QStringLiteral("--json")});
    EXPECT_GT(s.value(QStringLiteral("gewinn")).toDouble(), 2.5e9);
    EXPECT_EQ(s.value(QStringLiteral("gewinn")).toDouble(), e.value(QStringLiteral("gewinn")).toDouble());
    EXPECT_DOUBLE_EQ(s.value(QStringLiteral("bank")).toDouble(), 3000001189.97);
    const Lauf text = dalvo({QStringLiteral("status"), fall});
    EXPECT_EQ(text.rc, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("3.000.001.189,97 €"))) << text.out.toStdString();
}

TEST_F(CliStatus, GetkontAnswersAndRefusesWithoutTouchingTheCase) {
    const QByteArray vorher = hashOf(fall);
    const QJsonObject o = json({QStringLiteral("getkont"), fall, QStringLiteral("SALDO,Konto,1000..1299"), QStringLiteral("--json")});
    EXPECT_EQ(o.value(QStringLiteral("ergebnis")).toString(), QStringLiteral("1.071,00"));
    EXPECT_EQ(o.value(QStringLiteral("status")).toInt(), 1);
    EXPECT_EQ(o.value(QStringLiteral("argumente")).toString(), QStringLiteral("SALDO,Konto,1000..1299"));
    const QJsonObject f = json({QStringLiteral("getkont"), fall, QStringLiteral("GEWINN,mitBezeichnung"), QStringLiteral("--formatiert"), QStringLiteral("--json")});
    EXPECT_EQ(f.value(QStringLiteral("status")).toInt(), 2);
    EXPECT_EQ(f.value(QStringLiteral("ergebnis")).toString(),
              QStringLiteral("<tr><td>Gewinn:</td><td class=\"rechts\"><font color=\"#000000\">1.071,00&nbsp;&euro;</font></td></tr>"));
    EXPECT_EQ(dalvo({QStringLiteral("getkont"), fall, QStringLiteral("STEUERJAHR")}).out, QStringLiteral("2016\n"));

    const Lauf boese = dalvo({QStringLiteral("getkont"), fall, QStringLiteral("SALDO,Konto,1200) OR (1=1")});
    EXPECT_EQ(boese.rc, 1);
    EXPECT_EQ(boese.out, QString());
    EXPECT_TRUE(boese.err.contains(QStringLiteral("Der Parameter 1200)OR(1=1 kann nicht aufgelöst werden!"))) << boese.err.toStdString();
    EXPECT_TRUE(boese.err.contains(QStringLiteral("dalvo getkont --hilfe"))) << "says where to look";
    EXPECT_EQ(dalvo({QStringLiteral("getkont"), fall, QStringLiteral("gewinn")}).rc, 1);
    EXPECT_EQ(dalvo({QStringLiteral("getkont"), fall}).rc, 2);
    EXPECT_EQ(hashOf(fall), vorher);
}

TEST_F(CliStatus, CalculationFileAndComparison) {
    const QString datei = dir.filePath(QStringLiteral("b.xml")), referenz = dir.filePath(QStringLiteral("ref.xml"));
    // No reference yet: it is made from the figures, and that is no success.
    const QJsonObject erst = json({QStringLiteral("berechnung"), fall, datei, QStringLiteral("--vergleich"), referenz, QStringLiteral("--json")}, 1);
    EXPECT_EQ(erst.value(QStringLiteral("ergebnis")).toString(), QStringLiteral("referenz_angelegt"));
    EXPECT_TRUE(QFile::exists(referenz));
    EXPECT_TRUE(QFile::exists(datei));
    // An existing file is replaced only with --force.
    const QByteArray referenzHash = hashOf(referenz);
    EXPECT_EQ(dalvo({QStringLiteral("berechnung"), fall, datei}).rc, 1);
    const QJsonObject gleich = json({QStringLiteral("berechnung"), fall, datei, QStringLiteral("--force"), QStringLiteral("--vergleich"), referenz,
                                     QStringLiteral("--json")});
    EXPECT_EQ(gleich.value(QStringLiteral("ergebnis")).toString(), QStringLiteral("gleich"));
    EXPECT_EQ(gleich.value(QStringLiteral("unterschiede")).toArray().size(), 0);
    // 119,00 more income: 100 on 8400, 19 on the VAT account.
    buche(QStringLiteral("einnahme"), QStringLiteral("02.05.2016"), QStringLiteral("119,00"), QStringLiteral("1200"), QStringLiteral("8400"));
    const Lauf text = dalvo({QStringLiteral("berechnung"), fall, QStringLiteral("-"), QStringLiteral("--vergleich"), referenz});
    EXPECT_EQ(text.rc, 1);
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("<?xml"))) << "the file on standard output, the differences on the error output";
    EXPECT_TRUE(text.err.contains(QStringLiteral("Unterschied(e) zur Referenz"))) << text.err.toStdString();
    const Lauf l = dalvo({QStringLiteral("berechnung"), fall, datei, QStringLiteral("--force"), QStringLiteral("--vergleich"), referenz, QStringLiteral("--json")});
    EXPECT_EQ(l.rc, 1);
    const QJsonObject u = QJsonDocument::fromJson(l.out.toUtf8()).object();
    EXPECT_EQ(u.value(QStringLiteral("ergebnis")).toString(), QStringLiteral("unterschiede"));
    const QStringList liste = u.value(QStringLiteral("unterschiede")).toVariant().toStringList();
    EXPECT_TRUE(liste.contains(QStringLiteral("EueRechnung: summe ist „1.190,00“, laut Referenz „1.071,00“."))) << liste.join('\n').toStdString();
    EXPECT_TRUE(liste.contains(QStringLiteral("EueRechnung/Einnahmen/Kategorie 4000/Konto 8400: summe ist „1.100,00“, laut Referenz „1.000,00“.")))
        << liste.join('\n').toStdString();
    EXPECT_EQ(hashOf(referenz), referenzHash);
    EXPECT_EQ(dalvo({QStringLiteral("berechnung"), fall, fall, QStringLiteral("--force")}).rc, 1) << "never over a case file";
}

TEST_F(CliStatus, TransferIntoTheFormsAsksBeforeReplacingFigures) {
    const QJsonObject va = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--uebertragen"),
                                 QStringLiteral("--json")});
    EXPECT_TRUE(va.value(QStringLiteral("uebertragen")).toBool());
    EXPECT_DOUBLE_EQ(va.value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("83")).toDouble(), 171.00);
    const QJsonObject eu = json({QStringLiteral("euer"), fall, QStringLiteral("--uebertragen"), QStringLiteral("--json")});
    EXPECT_TRUE(eu.value(QStringLiteral("uebertragen")).toBool());
    EXPECT_DOUBLE_EQ(eu.value(QStringLiteral("gewinn")).toDouble(), 1071.00);
    // The same figures again: nothing to ask.
    EXPECT_EQ(dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--uebertragen")}).rc, 0);
    EXPECT_EQ(dalvo({QStringLiteral("euer"), fall, QStringLiteral("--uebertragen")}).rc, 0);

    // March changes: the forms in the case file hold other figures now.
    buche(QStringLiteral("einnahme"), QStringLiteral("25.03.2016"), QStringLiteral("119,00"), QStringLiteral("1200"), QStringLiteral("8400"));
    const QByteArray vorher = hashOf(fall);
    const Lauf nein = dalvo({QStringLiteral("euer"), fall, QStringLiteral("--uebertragen")});
    EXPECT_EQ(nein.rc, 1);
    EXPECT_EQ(nein.out, QString());
    EXPECT_TRUE(nein.err.contains(QStringLiteral("Für diesen Betrieb sind im EÜR-Formular bereits Daten erfasst."))) << nein.err.toStdString();
    EXPECT_TRUE(nein.err.contains(QStringLiteral("Mit --ja"))) << nein.err.toStdString();
    const Lauf vaNein = dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--uebertragen"),
                               QStringLiteral("--no")});
    EXPECT_EQ(vaNein.rc, 1);
    EXPECT_TRUE(vaNein.err.contains(QStringLiteral("sie bleibt unverändert. Mit --ja"))) << vaNein.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher) << "a refused transfer leaves the case as it was";
    // Another month's return is untouched by March's figures.
    EXPECT_EQ(dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("4"), QStringLiteral("--uebertragen")}).rc, 0);

    EXPECT_EQ(dalvo({QStringLiteral("euer"), fall, QStringLiteral("--uebertragen"), QStringLiteral("--yes")}).rc, 0);
    const QJsonObject neu = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--uebertragen"),
                                  QStringLiteral("--yes"), QStringLiteral("--json")});
    EXPECT_DOUBLE_EQ(neu.value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("83")).toDouble(), 190.00);  // 171 + 19
    EXPECT_EQ(dalvo({QStringLiteral("euer"), fall, QStringLiteral("--uebertragen")}).rc, 0) << "the form now holds the ledger's figures";
}

}  // namespace
