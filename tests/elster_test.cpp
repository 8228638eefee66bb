// The upload files for the tax authorities' portals, checked against the
// published layouts: the 13-digit tax number of every state (the examples
// of the states' schemes), the ElsterXML data part of the advance return
// read back element by element, and the ZM import lines.
#include "kontbaum/austausch/elster.h"

#include <QTextCodec>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

TEST(Elster, TheTaxNumberOfEveryStateInTheFederalScheme) {
    // State scheme -> uniform federal scheme, one published example per state.
    const struct {
        const char *land, *nummer, *bund;
    } faelle[] = {
        {"BW", "93815/08152", "2893081508152"},   {"BY", "181/815/08155", "9181081508155"},
        {"BE", "21/815/08150", "1121081508150"},  {"BB", "048/815/08155", "3048081508155"},
        {"HB", "75 815 08152", "2475081508152"},  {"HH", "02/815/08156", "2202081508156"},
        {"HE", "013 815 08153", "2613081508153"}, {"MV", "079/815/08151", "4079081508151"},
        {"NI", "24/815/08151", "2324081508151"},  {"NW", "133/8150/8159", "5133081508159"},
        {"RP", "22/815/0815/4", "2722081508154"}, {"SL", "010/815/08182", "1010081508182"},
        {"SN", "201/123/12340", "3201012312340"}, {"ST", "101/815/08154", "3101081508154"},
        {"SH", "29 815 08158", "2129081508158"},  {"TH", "151/815/08156", "4151081508156"},
    };
    for (const auto& f : faelle) {
        QString e;
        EXPECT_EQ(Elster::steuernummer13(QLatin1String(f.nummer), QLatin1String(f.land), &e), QLatin1String(f.bund)) << f.land << ": "
                                                                                                                  << e.toStdString();
        // The federal form itself is taken as it is.
        EXPECT_EQ(Elster::steuernummer13(QLatin1String(f.bund), QLatin1String(f.land), &e), QLatin1String(f.bund)) << f.land;
    }
    QString e;
    EXPECT_TRUE(Elster::steuernummer13(QStringLiteral("181/815/08155"), QStringLiteral("BE"), &e).isEmpty()) << "11 digits are no Berlin number";
    EXPECT_TRUE(e.contains(QStringLiteral("BE")));
    EXPECT_TRUE(Elster::steuernummer13(QStringLiteral("113 815 08153"), QStringLiteral("HE"), &e).isEmpty()) << "Hesse writes a leading 0";
    EXPECT_TRUE(Elster::steuernummer13(QStringLiteral("9181081508155"), QStringLiteral("NW"), &e).isEmpty()) << "a Bavarian federal number";
    EXPECT_TRUE(Elster::steuernummer13(QStringLiteral("181/815/O8155"), QStringLiteral("BY"), &e).isEmpty());
    EXPECT_TRUE(Elster::steuernummer13(QString(), QStringLiteral("BY"), &e).isEmpty());
    EXPECT_TRUE(e.contains(QStringLiteral("dalvo firma")));
    EXPECT_TRUE(Elster::steuernummer13(QStringLiteral("181/815/08155"), QString(), &e).isEmpty());
    EXPECT_TRUE(e.contains(QStringLiteral("--bundesland")));
}

// Every element of the file below Umsatzsteuervoranmeldung, by name.
QMap<QString, QString> lies(const QByteArray& xml, QString* wurzel, QString* version, QString* ns, QString* kodierung) {
    QMap<QString, QString> m;
    QXmlStreamReader r(xml);
    bool drin = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartDocument()) *kodierung = r.documentEncoding().toString();
        if (!r.isStartElement()) {
            if (r.isEndElement() && r.name() == QLatin1String("Umsatzsteuervoranmeldung")) drin = false;
            continue;
        }
        if (wurzel->isEmpty()) {
            *wurzel = r.name().toString();
            *version = r.attributes().value(QStringLiteral("art")).toString() + QLatin1Char('/') +
                       r.attributes().value(QStringLiteral("version")).toString();
            *ns = r.namespaceUri().toString();
        } else if (r.name() == QLatin1String("Umsatzsteuervoranmeldung")) {
            drin = true;
        } else if (drin) {
            const QString n = r.name().toString();
            m.insert(n, r.readElementText());
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return m;
}

TEST(Elster, TheAdvanceReturnAsElsterXml) {
    Elster::UStVAKopf k;
    k.jahr = 2016;
    k.zeitraum = 42;
    k.steuernummer = QStringLiteral("9181081508155");
    k.berichtigt = true;
    k.name = QStringLiteral("Müller & Söhne <IT>");
    k.ort = QStringLiteral("München");
    k.erstellt = zDate(2016, 7, 8);
    // Bases in whole euros (81, 41, 46), taxes with cents (47, 66, 39), a
    // surplus (83 negative), and a zero that the file leaves out.
    const QMap<int, EuroType> kz = {{81, EuroType::ausCent(1000000)}, {41, EuroType::ausCent(250000)}, {46, EuroType::ausCent(54000)},
                                    {47, EuroType::ausCent(10260)},   {66, EuroType::ausCent(250005)}, {39, EuroType::ausCent(115000)},
                                    {86, EuroType()},                 {83, EuroType::ausCent(-175005)}};
    QString e;
    const QByteArray xml = Elster::ustvaXml(k, kz, &e);
    ASSERT_FALSE(xml.isEmpty()) << e.toStdString();
    // Latin-9 on the wire: the umlaut is one byte.
    EXPECT_TRUE(xml.contains("M\xfc" "nchen"));
    EXPECT_TRUE(xml.contains("&amp;") && xml.contains("&lt;IT&gt;"));
    QString wurzel, version, ns, kodierung;
    const QMap<QString, QString> m = lies(xml, &wurzel, &version, &ns, &kodierung);
    EXPECT_EQ(wurzel, QStringLiteral("Anmeldungssteuern"));
    EXPECT_EQ(version, QStringLiteral("UStVA/201601"));
    EXPECT_EQ(ns, QStringLiteral("http://www.elster.de/elsterxml/schema/v11"));
    EXPECT_EQ(kodierung.toUpper(), QStringLiteral("ISO-8859-15"));
    const QMap<QString, QString> erwartet = {{"Jahr", "2016"}, {"Zeitraum", "42"}, {"Steuernummer", "9181081508155"}, {"Kz10", "1"},
        {"Kz39", "1150.00"}, {"Kz41", "2500"}, {"Kz46", "540"}, {"Kz47", "102.60"}, {"Kz66", "2500.05"}, {"Kz81", "10000"}, {"Kz83",
        "-1750.05"}};
    EXPECT_EQ(m, erwartet);
    EXPECT_TRUE(xml.contains("<Erstellungsdatum>20160708</Erstellungsdatum>"));
    EXPECT_LT(xml.indexOf("<Kz39>"), xml.indexOf("<Kz41>")) << "the codes in ascending order";

    // Kz83 is there even when everything is zero; the year is no period of the file.
    k.berichtigt = false;
    k.zeitraum = 1;
    const QByteArray leer = Elster::ustvaXml(k, {}, &e);
    EXPECT_TRUE(leer.contains("<Kz83>0.00</Kz83>") && leer.contains("<Zeitraum>01</Zeitraum>") && !leer.contains("Kz10"));
    k.zeitraum = 13;
    EXPECT_TRUE(Elster::ustvaXml(k, kz, &e).isEmpty());
}

TEST(Elster, TheRecapitulativeStatementAsThePortalsImport) {
    QMap<QString, KontoGlobal::UstIdZm> zeilen;
    zeilen.insert(QStringLiteral("1"), {"FR", "12345678901", EuroType::ausCent(410099), 1});
    zeilen.insert(QStringLiteral("2"), {"AT", "U12345678", EuroType::ausCent(-5000), 0});
    zeilen.insert(QStringLiteral("3"), {"EL", "123456789", EuroType::ausCent(100000), 2});
    const QString csv = QTextCodec::codecForName("ISO-8859-15")->toUnicode(Elster::zmCsv(zeilen));
    EXPECT_EQ(csv, QStringLiteral("#v1.0\r\nLänderkennzeichen,USt-IdNr.,Betrag (EUR),Art der Leistung\r\n"
                                  "FR,12345678901,4100,S\r\nAT,U12345678,-50,L\r\nEL,123456789,1000,D\r\n"));
    EXPECT_TRUE(Elster::zmCsv({}).isEmpty());
}

}  // namespace
