// SEPA credit transfers: the pain.001.001.03 document read back element by
// element (group header, payment information, each transfer), and the
// rules of the German banks refused one by one with nothing written.
#include "kontbaum/bank/sepa.h"

#include <QDomDocument>
#include <functional>
#include <gtest/gtest.h>

namespace {
using namespace Bank;

SepaAuftrag auftrag() {
    SepaAuftrag a;
    a.auftraggeber = QStringLiteral("Muster IT-Beratung");
    a.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
    a.ausfuehrung = zDate(2026, 12, 10);
    a.erstellt = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 5));
    a.posten << Ueberweisung{QStringLiteral("Bürobedarf Ost GmbH"), QStringLiteral("DE44500105175407324931"), QStringLiteral("INGDDEFFXXX"),
                             EuroType::ausCent(11900), QStringLiteral("Rechnung 2016-117 Toner, Papier"), QStringLiteral("ER-117")}
             << Ueberweisung{QStringLiteral("Haus & Hof GmbH"), QStringLiteral("DE12500105170648489890"), QString(), EuroType::ausCent(85000),
                             QStringLiteral("Miete Januar Straße 1"), QString()};
    return a;
}

QString text(const QDomElement& e, const QString& pfad) {
    QDomElement x = e;
    for (const QString& teil : pfad.split(QLatin1Char('/'))) x = x.firstChildElement(teil);
    return x.text();
}

TEST(Sepa, Pain001ZurueckGelesen) {
    QByteArray xml;
    QString e;
    ASSERT_TRUE(schreibePain001(auftrag(), &xml, &e)) << e.toStdString();
    EXPECT_FALSE(xml.startsWith("\xEF\xBB\xBF"));  // no byte-order mark
    QDomDocument d;
    ASSERT_TRUE(d.setContent(xml, true));
    const QDomElement doc = d.documentElement();
    EXPECT_EQ(doc.namespaceURI(), QStringLiteral("urn:iso:std:iso:20022:tech:xsd:pain.001.001.03"));
    const QDomElement wurzel = doc.firstChildElement(QStringLiteral("CstmrCdtTrfInitn"));
    EXPECT_EQ(text(wurzel, QStringLiteral("GrpHdr/NbOfTxs")), QStringLiteral("2"));
    EXPECT_EQ(text(wurzel, QStringLiteral("GrpHdr/CtrlSum")), QStringLiteral("969.00"));
    EXPECT_EQ(text(wurzel, QStringLiteral("GrpHdr/CreDtTm")), QStringLiteral("2026-12-07T09:30:05"));
    EXPECT_LE(text(wurzel, QStringLiteral("GrpHdr/MsgId")).size(), 35);
    const QDomElement pmt = wurzel.firstChildElement(QStringLiteral("PmtInf"));
    EXPECT_EQ(text(pmt, QStringLiteral("PmtMtd")), QStringLiteral("TRF"));
    EXPECT_EQ(text(pmt, QStringLiteral("CtrlSum")), QStringLiteral("969.00"));
    EXPECT_EQ(text(pmt, QStringLiteral("PmtTpInf/SvcLvl/Cd")), QStringLiteral("SEPA"));
    EXPECT_EQ(text(pmt, QStringLiteral("ReqdExctnDt")), QStringLiteral("2026-12-10"));
    EXPECT_EQ(text(pmt, QStringLiteral("Dbtr/Nm")), QStringLiteral("Muster IT-Beratung"));
    EXPECT_EQ(text(pmt, QStringLiteral("DbtrAcct/Id/IBAN")), QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(text(pmt, QStringLiteral("DbtrAgt/FinInstnId/Othr/Id")), QStringLiteral("NOTPROVIDED"));
    EXPECT_EQ(text(pmt, QStringLiteral("ChrgBr")), QStringLiteral("SLEV"));
    const QDomNodeList tx = pmt.elementsByTagName(QStringLiteral("CdtTrfTxInf"));
    ASSERT_EQ(tx.size(), 2);
    const QDomElement t1 = tx.at(0).toElement(), t2 = tx.at(1).toElement();
    EXPECT_EQ(text(t1, QStringLiteral("PmtId/EndToEndId")), QStringLiteral("ER-117"));
    EXPECT_EQ(text(t1, QStringLiteral("Amt/InstdAmt")), QStringLiteral("119.00"));
    EXPECT_EQ(t1.firstChildElement(QStringLiteral("Amt")).firstChildElement(QStringLiteral("InstdAmt")).attribute(QStringLiteral("Ccy")),
              QStringLiteral("EUR"));
    EXPECT_EQ(text(t1, QStringLiteral("CdtrAgt/FinInstnId/BIC")), QStringLiteral("INGDDEFFXXX"));
    EXPECT_EQ(text(t1, QStringLiteral("Cdtr/Nm")), QStringLiteral("Buerobedarf Ost GmbH"));  // written as banks write it
    EXPECT_EQ(text(t1, QStringLiteral("CdtrAcct/Id/IBAN")), QStringLiteral("DE44500105175407324931"));
    EXPECT_EQ(text(t1, QStringLiteral("RmtInf/Ustrd")), QStringLiteral("Rechnung 2016-117 Toner, Papier"));
    EXPECT_EQ(text(t2, QStringLiteral("PmtId/EndToEndId")), QStringLiteral("NOTPROVIDED"));
    EXPECT_EQ(text(t2, QStringLiteral("Cdtr/Nm")), QStringLiteral("Haus & Hof GmbH"));
    EXPECT_TRUE(t2.firstChildElement(QStringLiteral("CdtrAgt")).isNull());  // IBAN only
    EXPECT_EQ(text(t2, QStringLiteral("Amt/InstdAmt")), QStringLiteral("850.00"));
    EXPECT_EQ(text(t2, QStringLiteral("RmtInf/Ustrd")), QStringLiteral("Miete Januar Strasse 1"));
}

TEST(Sepa, RegelnDerBankenMitFeld) {
    struct Fall {
        const char* was;
        std::function<void(SepaAuftrag&)> aendern;
        const char* grund;
    };
    const QList<Fall> faelle = {
        {"kein Betrag", [](SepaAuftrag& a) { a.posten[0].betrag = EuroType(); }, "zwischen 0,01"},
        {"zu hoch", [](SepaAuftrag& a) { a.posten[0].betrag = EuroType::ausCent(EuroType::kHoechstCent + 1); }, "zwischen 0,01"},
        {"Summe zu hoch", [](SepaAuftrag& a) { a.posten[0].betrag = a.posten[1].betrag = EuroType::ausCent(EuroType::kHoechstCent); }, "Summe"},
        {"Prüfziffer", [](SepaAuftrag& a) { a.posten[1].iban = QStringLiteral("DE12500105170648489891"); }, "Überweisung 2: Die IBAN"},
        {"eigene IBAN", [](SepaAuftrag& a) { a.iban = QStringLiteral("DE00370400440532013000"); }, "zahlenden Kontos"},
        {"BIC", [](SepaAuftrag& a) { a.posten[0].bic = QStringLiteral("INGD"); }, "keine BIC"},
        {"Name 71", [](SepaAuftrag& a) { a.posten[0].empfaenger = QString(71, QLatin1Char('x')); }, "höchstens 70"},
        {"Umlaut über 70", [](SepaAuftrag& a) { a.posten[0].empfaenger = QString(69, QLatin1Char('x')) + QChar(0x00FC); }, "höchstens 70"},
        {"Zweck 141", [](SepaAuftrag& a) { a.posten[0].zweck = QString(141, QLatin1Char('z')); }, "höchstens 140"},
        {"Referenz 36", [](SepaAuftrag& a) { a.posten[0].referenz = QString(36, QLatin1Char('r')); }, "höchstens 35"},
        {"Referenz mit &", [](SepaAuftrag& a) { a.posten[0].referenz = QStringLiteral("A&B"); }, "Ende-zu-Ende-Referenz: Das Zeichen „&“"},
        {"Zeichen", [](SepaAuftrag& a) { a.posten[0].zweck = QStringLiteral("50 € bar"); }, "„€“"},
        {"Akzent", [](SepaAuftrag& a) { a.posten[1].empfaenger = QStringLiteral("Café Noir"); }, "Überweisung 2: Der Name des Empfängers: Das Zeichen „é“"},
        {"kein Name", [](SepaAuftrag& a) { a.posten[0].empfaenger = QStringLiteral("  "); }, "fehlt"},
        {"Vergangenheit", [](SepaAuftrag& a) { a.ausfuehrung = zDate(2026, 12, 6); }, "Vergangenheit"},
        {"nichts", [](SepaAuftrag& a) { a.posten.clear(); }, "keine Überweisung"},
    };
    for (const Fall& f : faelle) {
        SepaAuftrag a = auftrag();
        f.aendern(a);
        QByteArray xml = "alt";
        QString e;
        EXPECT_FALSE(schreibePain001(a, &xml, &e)) << f.was;
        EXPECT_TRUE(xml.isEmpty()) << f.was;
        EXPECT_TRUE(e.contains(QString::fromUtf8(f.grund))) << f.was << ": " << e.toStdString();
    }
}
}  // namespace
