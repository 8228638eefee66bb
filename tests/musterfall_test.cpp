// The bundled sample year as a tax adviser would check it: every booking
// balances, revenue is taxed at the rate of 2016, the till never runs
// empty, the monthly returns are paid as filed, the notebook is an asset
// written off over its life, and the profit stays what was signed off.
#include "support/dalvo_lauf.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString musterCsv() {
    // The tests run in the build tree; the sample lives in the source tree.
    return QStringLiteral(DALVO_SOURCE_DIR "/data/samples/musterfall_2016.csv");
}

QJsonObject json(const QStringList& args) {
    const Lauf l = dalvo(args);
    EXPECT_EQ(l.rc, 0) << args.join(QLatin1Char(' ')).toStdString() << ": " << l.err.toStdString();
    return QJsonDocument::fromJson(l.out.toUtf8()).object();
}

TEST(Musterfall, TheSampleYearAsATaxAdviserChecksIt) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("muster.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
    ASSERT_EQ(dalvo({QStringLiteral("einstellungen"), fall, QStringLiteral("--anmeldezeitraum"), QStringLiteral("monat"),
                     QStringLiteral("--dauerfrist"), QStringLiteral("ja")}).rc,
              0);
    // Without --yes: the import would stop at a till running below zero.
    const Lauf imp = dalvo({QStringLiteral("import"), fall, musterCsv()});
    ASSERT_EQ(imp.rc, 0) << imp.err.toStdString();
    EXPECT_EQ(imp.out, QStringLiteral("268\n"));
    ASSERT_EQ(dalvo({QStringLiteral("cancel"), fall, QStringLiteral("268")}).rc, 0);
    // The notebook becomes an asset whose depreciation the register posts.
    ASSERT_EQ(dalvo({QStringLiteral("anlage"), fall, QStringLiteral("neu"), QStringLiteral("--aus-buchung"), QStringLiteral("62"),
                     QStringLiteral("--gut"), QStringLiteral("Personalcomputer, Notebooks, Workstations")}).rc,
              0);
    ASSERT_EQ(dalvo({QStringLiteral("anlage"), fall, QStringLiteral("afa")}).rc, 0);
    EXPECT_EQ(dalvo({QStringLiteral("verify"), fall}).rc, 0);

    const QJsonArray buchungen = QJsonDocument::fromJson(dalvo({QStringLiteral("list"), fall, QStringLiteral("--json")}).out.toUtf8()).array();
    QMap<QString, double> gezahlt;  // payment date -> amount on 1780
    double afa = 0, notebook = 0;
    for (const QJsonValue& b : buchungen) {
        const QJsonObject o = b.toObject();
        for (const QJsonValue& z : o.value(QStringLiteral("zeilen")).toArray()) {
            const QJsonObject l = z.toObject();
            const int konto = l.value(QStringLiteral("konto")).toInt();
            // No revenue at 7 %: e-books were taxed at 19 % in 2016.
            EXPECT_NE(konto, 8300) << o.value(QStringLiteral("buchungstext")).toString().toStdString();
            EXPECT_NE(l.value(QStringLiteral("steuerschluessel")).toInt(), 2);
            if (konto == 1780) gezahlt[o.value(QStringLiteral("belegdatum")).toString()] += l.value(QStringLiteral("betrag")).toDouble();
            if (konto == 4830) afa += l.value(QStringLiteral("betrag")).toDouble();
            if (konto == 420 && !l.value(QStringLiteral("haben")).toBool()) notebook += l.value(QStringLiteral("betrag")).toDouble();
        }
    }
    // The notebook (1 380 net, above the 410 of an immediate write-off) is an
    // asset: 1 380 / 3 years x 10 months of 2016 = 383.33.
    EXPECT_DOUBLE_EQ(notebook, 1380.0);
    EXPECT_DOUBLE_EQ(afa, 383.33);

    // A monthly filer with the one-month extension: month m is paid on the
    // 10th of month m + 2 with the amount of its return; December credits
    // the special advance payment of 1 150.
    for (int m = 1; m <= 10; ++m) {
        const QJsonObject va = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QString::number(m), QStringLiteral("--json")});
        const double zahllast = va.value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("83")).toDouble();
        const QString tag = QStringLiteral("10.%1.2016").arg(m + 2, 2, 10, QLatin1Char('0'));
        EXPECT_DOUBLE_EQ(gezahlt.value(tag), zahllast) << "month " << m;
        EXPECT_EQ(va.value(QStringLiteral("abgabefrist")).toString(), tag) << "the return is due when it is paid";
    }
    EXPECT_EQ(gezahlt.size(), 10);
    const QJsonObject dez = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("12"), QStringLiteral("--json")})
                                .value(QStringLiteral("kennziffern"))
                                .toObject();
    EXPECT_DOUBLE_EQ(dez.value(QStringLiteral("39")).toDouble(), 1150.0);

    // The till: opening balance 412.30, never below zero.
    const QJsonObject kasse = json({QStringLiteral("kassenbuch"), fall, QStringLiteral("--json")});
    EXPECT_DOUBLE_EQ(kasse.value(QStringLiteral("anfangsbestand")).toDouble(), 412.30);
    for (const QJsonValue& z : kasse.value(QStringLiteral("zeilen")).toArray())
        EXPECT_GE(z.toObject().value(QStringLiteral("bestand")).toDouble(), 0.0) << z.toObject().value(QStringLiteral("datum")).toString().toStdString();

    // The profit as signed off; it moves only with a deliberate change of the sample.
    EXPECT_DOUBLE_EQ(json({QStringLiteral("euer"), fall, QStringLiteral("--json")}).value(QStringLiteral("gewinn")).toDouble(), 119646.18);
}

}  // namespace
