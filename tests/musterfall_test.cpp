// The bundled sample year as a tax adviser would check it: every booking
// balances, revenue is taxed at the rate of 2016, the till never runs
// empty, the monthly returns are paid as filed, the notebook is an asset
// written off over its life, and the profit stays what was signed off.
#include "support/dalvo_lauf.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QXmlStreamReader>
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
    EXPECT_EQ(imp.out, QStringLiteral("271\n"));
    ASSERT_EQ(dalvo({QStringLiteral("cancel"), fall, QStringLiteral("271")}).rc, 0);
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
    // 10th of month m + 2 with the amount of its return, and is due then or,
    // when the 10th is a Saturday or Sunday, on the Monday after; December
    // credits the special advance payment of 1 150.
    const QStringList faellig = {QStringLiteral("10.03.2016"), QStringLiteral("11.04.2016"), QStringLiteral("10.05.2016"),
                                 QStringLiteral("10.06.2016"), QStringLiteral("11.07.2016"), QStringLiteral("10.08.2016"),
                                 QStringLiteral("12.09.2016"), QStringLiteral("10.10.2016"), QStringLiteral("10.11.2016"),
                                 QStringLiteral("12.12.2016")};
    for (int m = 1; m <= 10; ++m) {
        const QJsonObject va = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QString::number(m), QStringLiteral("--json")});
        const double zahllast = va.value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("83")).toDouble();
        const QString tag = QStringLiteral("10.%1.2016").arg(m + 2, 2, 10, QLatin1Char('0'));
        EXPECT_DOUBLE_EQ(gezahlt.value(tag), zahllast) << "month " << m;
        EXPECT_EQ(va.value(QStringLiteral("abgabefrist")).toString(), faellig[m - 1]) << "month " << m;
    }
    // November's return is due and paid on 10.01.2017, within ten days of
    // the year's end: a regularly recurring expense of 2016 (§ 11 Abs. 2
    // Satz 2 EStG), booked with the document date 31.12.2016.
    const double november =
        json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("11"), QStringLiteral("--json")})
            .value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("83")).toDouble();
    EXPECT_DOUBLE_EQ(gezahlt.value(QStringLiteral("31.12.2016")), november);
    EXPECT_EQ(gezahlt.size(), 11);
    const QJsonObject dez = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QStringLiteral("12"), QStringLiteral("--json")})
                                .value(QStringLiteral("kennziffern"))
                                .toObject();
    EXPECT_DOUBLE_EQ(dez.value(QStringLiteral("39")).toDouble(), 1150.0);

    // The till: opening balance 412.30, never below zero.
    const QJsonObject kasse = json({QStringLiteral("kassenbuch"), fall, QStringLiteral("--json")});
    EXPECT_DOUBLE_EQ(kasse.value(QStringLiteral("anfangsbestand")).toDouble(), 412.30);
    for (const QJsonValue& z : kasse.value(QStringLiteral("zeilen")).toArray())
        EXPECT_GE(z.toObject().value(QStringLiteral("bestand")).toDouble(), 0.0) << z.toObject().value(QStringLiteral("datum")).toString().toStdString();

    // The upload files: every code of each month's ElsterXML equals the
    // return's JSON, and the ZM import lines equal the statement's CSV.
    ASSERT_EQ(dalvo({QStringLiteral("firma"), fall, QStringLiteral("--name"), QStringLiteral("Muster IT-Beratung"), QStringLiteral("--steuernummer"),
                     QStringLiteral("181/815/08155"), QStringLiteral("--plz"), QStringLiteral("80331"), QStringLiteral("--ort"), QStringLiteral("München")}).rc,
              0);
    ASSERT_EQ(dalvo({QStringLiteral("einstellungen"), fall, QStringLiteral("--bundesland"), QStringLiteral("BY")}).rc, 0);
    for (int m = 1; m <= 12; ++m) {
        const QString datei = dir.filePath(QStringLiteral("ustva%1.xml").arg(m));
        const Lauf l = dalvo({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QString::number(m), QStringLiteral("--elster"), datei});
        ASSERT_EQ(l.rc, 0) << l.err.toStdString();
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QXmlStreamReader r(&f);
        QMap<QString, double> xml;
        QString steuernummer, zeitraum;
        while (!r.atEnd()) {
            if (r.readNext() != QXmlStreamReader::StartElement) continue;
            const QString n = r.name().toString();
            if (n.startsWith(QLatin1String("Kz"))) xml.insert(n.mid(2), r.readElementText().toDouble());
            else if (n == QLatin1String("Steuernummer")) steuernummer = r.readElementText();
            else if (n == QLatin1String("Zeitraum")) zeitraum = r.readElementText();
        }
        EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
        EXPECT_EQ(steuernummer, QStringLiteral("9181081508155"));
        EXPECT_EQ(zeitraum, QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
        QMap<QString, double> erwartet;
        const QJsonObject kz = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QString::number(m), QStringLiteral("--json")})
                                   .value(QStringLiteral("kennziffern"))
                                   .toObject();
        for (auto it = kz.constBegin(); it != kz.constEnd(); ++it)
            if (it.value().toDouble() != 0.0 || it.key() == QLatin1String("83")) erwartet.insert(it.key().rightJustified(2, QLatin1Char('0')), it.value().toDouble());
        EXPECT_EQ(xml, erwartet) << "month " << m;
    }
    for (int q = 1; q <= 4; ++q) {
        const QString datei = dir.filePath(QStringLiteral("zm%1.csv").arg(q));
        const Lauf l = dalvo({QStringLiteral("zm"), fall, QStringLiteral("--quarter"), QString::number(q), QStringLiteral("--elster-csv"), datei});
        const QString csv = dalvo({QStringLiteral("zm"), fall, QStringLiteral("--quarter"), QString::number(q), QStringLiteral("--csv")}).out;
        if (csv.isEmpty()) {
            EXPECT_EQ(l.rc, 1) << "no lines, no file";
            continue;
        }
        ASSERT_EQ(l.rc, 0) << l.err.toStdString();
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList zeilen = QTextCodec::codecForName("ISO-8859-15")->toUnicode(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_GE(zeilen.size(), 3);
        EXPECT_EQ(zeilen.takeFirst(), QStringLiteral("#v1.0"));
        EXPECT_EQ(zeilen.takeFirst(), QStringLiteral("Länderkennzeichen,USt-IdNr.,Betrag (EUR),Art der Leistung"));
        QStringList erwartet = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        erwartet.removeFirst();
        EXPECT_EQ(zeilen, erwartet) << "quarter " << q;
    }

    // The annual return against the twelve returns: every tax equal to the
    // sum of the months, every base at most the months' cut cents above it,
    // and what is left to pay exactly the tax of those cents.
    const QJsonObject ust = json({QStringLiteral("ust-erklaerung"), fall, QStringLiteral("--json")});
    const QJsonObject jkz = ust.value(QStringLiteral("kennziffern")).toObject();
    const QMap<QString, QStringList> spiegel = {{QStringLiteral("177"), {QStringLiteral("81")}}, {QStringLiteral("781"), {QStringLiteral("89")}},
                                                {QStringLiteral("846"), {QStringLiteral("46")}}, {QStringLiteral("721"), {QStringLiteral("21")}},
                                                {QStringLiteral("320"), {QStringLiteral("66")}}, {QStringLiteral("761"), {QStringLiteral("61")}},
                                                {QStringLiteral("467"), {QStringLiteral("67")}}};
    EXPECT_EQ(jkz.keys(), QStringList(spiegel.keys())) << "the codes the sample fills";
    QMap<QString, double> monate, monatsSteuer;
    double umsatzsteuer = 0, vorsteuer = 0;
    for (int m = 1; m <= 12; ++m) {
        const QJsonObject va = json({QStringLiteral("ustva"), fall, QStringLiteral("--month"), QString::number(m), QStringLiteral("--json")});
        const QJsonObject k = va.value(QStringLiteral("kennziffern")).toObject(), st = va.value(QStringLiteral("steuer")).toObject();
        for (auto it = k.constBegin(); it != k.constEnd(); ++it) monate[it.key()] += it.value().toDouble();
        for (auto it = st.constBegin(); it != st.constEnd(); ++it) monatsSteuer[it.key()] += it.value().toDouble();
        umsatzsteuer += va.value(QStringLiteral("summen")).toObject().value(QStringLiteral("umsatzsteuer")).toDouble();
        vorsteuer += va.value(QStringLiteral("summen")).toObject().value(QStringLiteral("vorsteuer")).toDouble();
    }
    double rundung = 0;
    for (auto it = spiegel.constBegin(); it != spiegel.constEnd(); ++it) {
        const QJsonObject z = jkz.value(it.key()).toObject();
        const QString v = it.value().first();
        if (z.contains(QStringLiteral("bemessungsgrundlage"))) {
            const double d = z.value(QStringLiteral("bemessungsgrundlage")).toDouble() - monate.value(v);
            EXPECT_GE(d, 0.0) << it.key().toStdString();
            EXPECT_LT(d, 12.0) << it.key().toStdString();
            if (monatsSteuer.contains(v)) rundung += z.value(QStringLiteral("steuer")).toDouble() - monatsSteuer.value(v);
            else if (z.contains(QStringLiteral("steuer"))) EXPECT_NEAR(z.value(QStringLiteral("steuer")).toDouble(), monate.value(QString::number(v.toInt() + 1)), 0.001) << it.key().toStdString();
        } else {
            EXPECT_NEAR(z.value(QStringLiteral("steuer")).toDouble(), monate.value(v), 0.001) << it.key().toStdString();
        }
    }
    const QJsonObject summen = ust.value(QStringLiteral("summen")).toObject();
    EXPECT_NEAR(summen.value(QStringLiteral("umsatzsteuer")).toDouble(), umsatzsteuer + rundung, 0.001);
    EXPECT_NEAR(summen.value(QStringLiteral("vorsteuer")).toDouble(), vorsteuer, 0.001);
    EXPECT_NEAR(summen.value(QStringLiteral("verbleibend")).toDouble(), rundung, 0.001);
    EXPECT_DOUBLE_EQ(summen.value(QStringLiteral("sondervorauszahlung")).toDouble(), 1150.0);

    // The VAT paid to the tax office in 2016 (EÜR line 186): the returns of
    // January to November, the special advance payment, and for 2015 the
    // December return (1 105.00) and the annual balance (62.40).
    const QJsonObject euer = json({QStringLiteral("euer"), fall, QStringLiteral("--json")});
    QMap<int, double> konten;
    for (const QJsonValue& k : euer.value(QStringLiteral("kategorien")).toArray())
        for (const QJsonValue& x : k.toObject().value(QStringLiteral("konten")).toArray())
            konten[x.toObject().value(QStringLiteral("konto")).toInt()] = x.toObject().value(QStringLiteral("summe")).toDouble();
    double vorauszahlungen = 0;
    for (double b : gezahlt) vorauszahlungen += b;
    EXPECT_NEAR(konten.value(1780), vorauszahlungen, 0.001);
    EXPECT_DOUBLE_EQ(konten.value(1781), 1150.0) << "1/11 of the 12 650.00 paid in advance for 2015";
    EXPECT_DOUBLE_EQ(konten.value(1790), 1167.40);

    // The profit as signed off; it moves only with a deliberate change of the sample.
    EXPECT_DOUBLE_EQ(euer.value(QStringLiteral("gewinn")).toDouble(), 116592.60);

    // The Anlage EÜR adds up: each total is the sum of the lines it names.
    // The VAT owed on the EU acquisition and the § 13b service (467.40) is
    // netted with its input tax, so 140 holds only the VAT received and 185
    // the input tax paid; the non-deductible meals (165) stand beside.
    const QJsonObject zeilen = euer.value(QStringLiteral("zeilen")).toObject();
    const QJsonObject summenzeilen = euer.value(QStringLiteral("summenzeilen")).toObject();
    ASSERT_EQ(summenzeilen.size(), 2);
    for (auto it = summenzeilen.constBegin(); it != summenzeilen.constEnd(); ++it) {
        double teile = 0;
        for (const QJsonValue& z : it.value().toArray()) teile += zeilen.value(QString::number(z.toInt())).toDouble();
        EXPECT_NEAR(teile, zeilen.value(it.key()).toDouble(), 0.001) << it.key().toStdString();
    }
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("159")).toDouble(), 159513.51);
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("199")).toDouble(), 42920.91);
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("140")).toDouble(), 23094.01);
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("185")).toDouble(), 1201.42);
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("165")).toDouble(), 59.50);
    EXPECT_DOUBLE_EQ(zeilen.value(QStringLiteral("219")).toDouble(), 116592.60);
}

}  // namespace
