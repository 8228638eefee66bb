// The program's reference data: every chart framework is complete and
// consistent with its categories, classes, tax keys and form codes.
#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "support/testenv.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

const char* const kRahmen[] = {"SKR03", "SKR04", "SKR80", "SKR81"};

class Referenz : public ::testing::Test {
protected:
    void SetUp() override {
        ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
        ASSERT_NE(ref, nullptr);
    }
    QStringList liste(const QString& sql) {
        QStringList out;
        rsDataSource rs(ref, sql);
        EXPECT_FALSE(rs.isError()) << sql.toStdString();
        for (; !rs.isEOF(); rs.fetch()) {
            QStringList z;
            for (int i = 0; i < rs.getFields()->count(); ++i) z << rs.getFields()->getField(i).toString();
            out << z.join(QLatin1Char('|'));
        }
        return out;
    }
    TestEnv env;
    DBConnection* ref = nullptr;
};

TEST_F(Referenz, EveryAccountHasACategoryAndLiesInItsClasses) {
    for (const char* r : kRahmen) {
        const QString fw = QString::fromLatin1(r);
        const QString k = QStringLiteral("k1.") + fw;
        EXPECT_EQ(liste(QStringLiteral("SELECT %1 FROM Kontenrahmen k1 WHERE %1<>0 AND Kategorie NOT IN (SELECT Kategorie FROM Kategorien)").arg(k)),
                  QStringList()) << r;
        EXPECT_EQ(liste(QStringLiteral("SELECT %1 FROM Kontenrahmen k1 WHERE %1<0 OR %1>9999").arg(k)), QStringList()) << r;
        EXPECT_EQ(liste(QStringLiteral("SELECT %1 FROM Kontenrahmen k1 WHERE %1<>0 GROUP BY %1 HAVING COUNT(*)>1").arg(k)), QStringList())
            << "numbers are unique in " << r;
        // Each account lies in one of the classes its category lists.
        rsDataSource rs(ref, QStringLiteral("SELECT %1, Kontenklassen_%2 FROM Kontenrahmen k1, Kategorien c WHERE c.Kategorie=k1.Kategorie "
                                            "AND %1<>0").arg(k, fw));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.getFields()->getField(0).toULong();
            const QString klassen = rs.getFields()->getField(1).toString();
            if (klassen.isEmpty()) continue;
            bool drin = false;
            for (const QString& von : klassen.split(QLatin1Char(','))) {
                const unsigned long bis = GetDatenTyp(ref, QStringLiteral("SELECT bisKonto FROM %1_Kontenklassen WHERE vonKonto=%2").arg(fw, von)).toULong();
                drin = drin || (nr >= von.toULong() && nr <= bis);
            }
            EXPECT_TRUE(drin) << r << " " << nr;
        }
    }
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM Kontenrahmen WHERE SKR03<>0")).toInt(), 250);
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM Kontenrahmen WHERE SKR04<>0")).toInt(), 250);
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR03 FROM Kontenrahmen WHERE necessary<>0 AND (SKR03=0 OR SKR04=0 OR SKR80=0 OR SKR81=0)")),
              QStringList()) << "special accounts exist in every framework";
}

TEST_F(Referenz, TheStandardAccountsHaveTheirNumbers) {
    struct Konto {
        int skr03, skr04, kategorie;
    };
    for (const Konto& k : {Konto{1000, 1600, 201}, Konto{1200, 1800, 202}, Konto{1571, 1401, 3100}, Konto{1576, 1406, 3100},
                           Konto{1771, 3801, 3010}, Konto{1776, 3806, 3010}, Konto{1574, 1404, 3100}, Konto{1774, 3804, 3300},
                           Konto{1577, 1407, 3100}, Konto{1787, 3837, 3300}, Konto{1780, 3820, 3200}, Konto{1781, 3830, 3200},
                           Konto{8400, 4400, 4000}, Konto{8300, 4300, 4000}, Konto{8125, 4125, 4001}, Konto{9000, 9000, 8001},
                           Konto{9008, 9008, 8002}, Konto{9009, 9009, 8003}, Konto{4210, 6310, 5400}, Konto{4920, 6805, 5510}}) {
        EXPECT_EQ(liste(QStringLiteral("SELECT SKR04, Kategorie FROM Kontenrahmen WHERE SKR03=%1").arg(k.skr03)),
                  QStringList{QStringLiteral("%1|%2").arg(k.skr04).arg(k.kategorie)})
            << k.skr03;
    }
    EXPECT_EQ(liste(QStringLiteral("SELECT Steuerautomatik, Steuerschluessel FROM Kontenrahmen WHERE SKR03=8400")), QStringList{QStringLiteral("1|5")});
    EXPECT_FALSE(liste(QStringLiteral("SELECT Nummer FROM Kontobezeichnungen WHERE Kontenrahmen='EKR03' AND Nummer=4920")).isEmpty());
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM Kontobezeichnungen WHERE Kontenrahmen='EKR03'")).toInt(), 60);
    EXPECT_EQ(liste(QStringLiteral("SELECT Nummer FROM Kontobezeichnungen WHERE Nummer NOT IN (SELECT SKR03 FROM Kontenrahmen)")), QStringList());
}

TEST_F(Referenz, TaxKeysNameTaxAccountsOfEveryFramework) {
    for (const char* r : kRahmen) {
        const QString fw = QString::fromLatin1(r);
        for (const QString& spalte : {fw + QStringLiteral("_Steuerkonto"), fw + QStringLiteral("_Steuerkonto2")}) {
            EXPECT_EQ(liste(QStringLiteral("SELECT Steuerschluessel FROM Steuerschluessel s WHERE %1<>0 AND NOT EXISTS (SELECT 1 FROM "
                                           "Kontenrahmen k WHERE k.%2=s.%1 AND k.Kategorie IN (3010, 3100, 3300))").arg(spalte, fw)),
                      QStringList()) << r << " " << spalte.toStdString();
        }
        // A key with a rate and no tax account is booked as a base (im_Hundert) or it would lose its tax.
        EXPECT_EQ(liste(QStringLiteral("SELECT Steuerschluessel FROM Steuerschluessel WHERE Steuersatz<>0 AND %1_Steuerkonto=0 AND im_Hundert=0").arg(fw)),
                  QStringList()) << r;
    }
    // The keys the booking dialog's shortcuts select.
    for (const char* k : {"0|B", "2|U", "3|U", "5|U", "7|V", "8|V", "9|V"})
        EXPECT_EQ(liste(QStringLiteral("SELECT Steuerschluessel || '|' || Steuerart FROM Steuerschluessel WHERE Steuerschluessel=%1")
                            .arg(QString::fromLatin1(k).section(QLatin1Char('|'), 0, 0))),
                  QStringList{QString::fromLatin1(k)});
    // Acquisitions (18, 19) and the recipient's four cases of § 13b UStG (94 to 97) book both taxes at once.
    EXPECT_EQ(liste(QStringLiteral("SELECT Steuerschluessel FROM Steuerschluessel WHERE IG_Erwerb<>0 ORDER BY Steuerschluessel")),
              (QStringList{QStringLiteral("18"), QStringLiteral("19"), QStringLiteral("94"), QStringLiteral("95"), QStringLiteral("96"),
                           QStringLiteral("97")}));
    // Each § 13b key names the base and tax codes of its line of the 2016 advance return; the input tax is 67.
    EXPECT_EQ(liste(QStringLiteral("SELECT s.Steuerschluessel || '|' || s.VAKZUmsatz || '|' || s.VAKZSteuer || '|' || b.Kennziffer || '|' || "
                                   "t.Kennziffer FROM Steuerschluessel s JOIN Kennzifferbereiche b ON b.Bereichsnummer=2000 AND "
                                   "b.Formular=0 AND b.Steuerschluessel=s.Steuerschluessel JOIN Kennzifferbereiche t ON "
                                   "t.Bereichsnummer=3000 AND t.Formular=0 AND t.Steuerschluessel=s.Steuerschluessel "
                                   "ORDER BY s.Steuerschluessel")),
              (QStringList{QStringLiteral("94|46|67|46|47"), QStringLiteral("95|52|67|52|53"), QStringLiteral("96|84|67|84|85"),
                           QStringLiteral("97|78|67|78|79")}));
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM Steuerschluessel WHERE Steuerschluessel>=100 AND Laenderkuerzel<>''")).toInt(), 10);
    // Every key an account fixes exists.
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR03 FROM Kontenrahmen WHERE Steuerschluessel<>0 AND Steuerschluessel NOT IN (SELECT "
                                   "Steuerschluessel FROM Steuerschluessel)")),
              QStringList());
}

TEST_F(Referenz, FormCodesOfAccountsExist) {
    struct Spalte {
        const char* spalte;
        int formular;
    };
    for (const Spalte& s : {Spalte{"UStVA", 0}, Spalte{"USt", 1}, Spalte{"GewSt", 2}, Spalte{"EUR", 3}}) {
        const QString c = QString::fromLatin1(s.spalte);
        EXPECT_EQ(liste(QStringLiteral("SELECT SKR03, %1 FROM Kontenrahmen WHERE %1 BETWEEN 2 AND 999 AND %1 NOT IN (SELECT Kennziffer "
                                       "FROM eurFormulare WHERE Formular=%2)").arg(c).arg(s.formular)),
                  QStringList()) << s.spalte;
        EXPECT_EQ(liste(QStringLiteral("SELECT SKR03, %1 FROM Kontenrahmen WHERE %1 BETWEEN 1000 AND 999998 AND %1 NOT IN (SELECT "
                                       "Bereichsnummer FROM Kennzifferbereiche WHERE Formular=%2)").arg(c).arg(s.formular)),
                  QStringList()) << s.spalte;
    }
    // Every account that enters the profit names an EÜR line.
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR03, SKR81 FROM Kontenrahmen WHERE EUR=0 AND ((Kategorie BETWEEN 3000 AND 3399) OR (Kategorie "
                                   "BETWEEN 4000 AND 4999 AND Kategorie<>4208) OR (Kategorie BETWEEN 5000 AND 5999))")),
              QStringList());
    EXPECT_EQ(liste(QStringLiteral("SELECT Variable FROM eurFormulare WHERE Formular=3 AND Variable NOT LIKE 'eur1!_%' ESCAPE '!' AND "
                                   "Variable NOT LIKE 'eur2!_%' ESCAPE '!' AND Variable NOT LIKE 'eur3!_%' ESCAPE '!'")),
              QStringList());
    EXPECT_EQ(liste(QStringLiteral("SELECT Kennziffer FROM eurFormulare WHERE Formular=3 AND Variable='eur1_GewinnVerlust'")),
              QStringList{QStringLiteral("219")});
    // The codes the advance return's arithmetic relies on.
    for (int k : {21, 35, 36, 39, 41, 42, 43, 44, 45, 46, 47, 48, 49, 60, 61, 62, 63, 64, 65, 66, 67, 69, 81, 83, 86, 89, 91, 93})
        EXPECT_EQ(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM eurFormulare WHERE Formular=0 AND Kennziffer=%1").arg(k)).toInt(), 1) << k;
}

// The accounts corrected against the published DATEV standard charts of 2016
// and the lines of the 2016 advance return and Anlage EÜR they feed:
// framework, number, a word of the name, category, key, UStVA code, EÜR line.
TEST_F(Referenz, AccountsHaveTheirStandardMeaning) {
    struct Konto {
        const char* rahmen;
        int nummer;
        const char* name;
        int kategorie, schluessel, ustva, eur;
    };
    const Konto konten[] = {
        {"SKR04", 630, "Betriebsausstattung", 103, 0, 0, 0},
        {"SKR04", 710, "im Bau", 109, 0, 0, 0},
        {"SKR04", 780, "Anzahlungen auf technische Anlagen", 110, 0, 0, 0},
        {"SKR04", 4640, "Verwendung von Gegenständen für Zwecke außerhalb des Unternehmens 19 % USt", 4300, 5, 81, 108},
        {"SKR04", 4660, "Unentgeltliche Erbringung einer sonstigen Leistung 19 % USt", 4300, 5, 81, 108},
        {"SKR04", 4638, "ohne USt (Telefon-Nutzung)", 4300, 0, 0, 108},
        {"SKR04", 4975, "Investitionszuschüsse (steuerpflichtig)", 4001, 0, 0, 103},
        {"SKR04", 4980, "Investitionszulagen (steuerfrei)", 4208, 0, 0, 0},
        {"SKR04", 7685, "Kfz-Steuer", 5402, 0, 0, 145},
        {"SKR04", 4110, "Sonstige steuerfreie Umsätze Inland", 4001, 0, 48, 103},
        {"SKR04", 4150, "§ 4 Nr. 2 bis 7", 4001, 0, 43, 103},
        {"SKR04", 5920, "Bauleistungen", 5100, 96, 2000, 110},
        {"SKR04", 5925, "im Ausland ansässigen", 5100, 95, 2000, 110},
        {"SKR04", 5923, "im anderen EU-Land", 5100, 94, 2000, 110},
        {"SKR03", 8110, "Sonstige steuerfreie Umsätze Inland", 4001, 0, 48, 103},
        {"SKR03", 8150, "§ 4 Nr. 2 bis 7", 4001, 0, 43, 103},
        {"SKR03", 8920, "Verwendung von Gegenständen für Zwecke außerhalb des Unternehmens 19 % USt", 4300, 5, 81, 108},
        {"SKR03", 2743, "Investitionszuschüsse (steuerpflichtig)", 4001, 0, 0, 103},
        {"SKR03", 3120, "Bauleistungen", 5100, 96, 2000, 110},
        {"SKR03", 3125, "im Ausland ansässigen", 5100, 95, 2000, 110},
        {"SKR03", 8335, "Mobilfunkgeräten", 4001, 28, 68, 103},
        // The base of a purchase with input tax is no input tax: the key decides, and only acquisitions feed a code.
        {"SKR03", 3400, "Wareneingang 19 %", 5000, 7, 2000, 100},
        {"SKR03", 3106, "Fremdleistungen 19 %", 5100, 7, 2000, 110},
        {"SKR03", 3736, "Erhaltene Skonti 19 %", 4203, 7, 2000, 100},
        // The tax a recipient owes follows the key of its base line.
        {"SKR03", 1787, "§ 13b", 3300, 0, 3000, 140},
        {"SKR03", 1774, "innergemeinschaftlichem Erwerb", 3300, 0, 0, 140},
        // EÜR: the owner's fares, employees' travel, the vehicle lines, the column "nicht abziehbar".
        {"SKR03", 4673, "Unternehmer Fahrtkosten", 5500, 7, 2000, 146},
        {"SKR03", 4676, "Übernachtungsaufwand", 5500, 8, 2000, 221},
        {"SKR03", 4663, "Arbeitnehmer Fahrtkosten", 5500, 7, 2000, 183},
        {"SKR03", 4570, "leasing Kfz", 5405, 7, 2000, 144},
        {"SKR03", 4520, "Kfz-Versicherungen", 5402, 0, 0, 145},
        {"SKR03", 4530, "Kfz-Betriebskosten", 5402, 7, 2000, 146},
        {"SKR03", 4590, "Privatvermögen", 5402, 0, 0, 147},
        {"SKR03", 4654, "Bewirtungskosten", 6100, 0, 0, 165},
        {"SKR03", 4635, "Geschenke nicht abzugsfähig", 6100, 0, 0, 164},
        {"SKR03", 4289, "nicht abziehbarer Anteil", 6100, 0, 0, 162},
        {"SKR03", 4320, "Gewerbesteuer", 6100, 0, 0, 217},
    };
    for (const Konto& k : konten) {
        const QString fw = QString::fromLatin1(k.rahmen);
        const QStringList z = liste(QStringLiteral("SELECT Bezeichnung, Kategorie, Steuerschluessel, UStVA, EUR FROM Kontenrahmen WHERE %1=%2 AND "
                                                   "gueltig_ab<='2016-12-31 00:00:00'")
                                        .arg(fw)
                                        .arg(k.nummer));
        ASSERT_EQ(z.size(), 1) << k.rahmen << " " << k.nummer;
        const QStringList f = z.first().split(QLatin1Char('|'));
        EXPECT_TRUE(f[0].contains(QString::fromUtf8(k.name))) << k.rahmen << " " << k.nummer << ": " << f[0].toStdString();
        EXPECT_EQ(f.mid(1), (QStringList{QString::number(k.kategorie), QString::number(k.schluessel), QString::number(k.ustva),
                                         QString::number(k.eur)}))
            << k.rahmen << " " << k.nummer;
    }
    // No account of the standard charts is a refunded-VAT account: the tax
    // office's refunds are the credit lines of the accounts VAT is paid on.
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR03 || '/' || SKR04 FROM Kontenrahmen WHERE Kategorie=3020 AND (SKR03<>0 OR SKR04<>0)")),
              QStringList());
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR04 FROM Kontenrahmen WHERE SKR04 IN (500, 700, 3850, 6510)")), QStringList());
    EXPECT_EQ(liste(QStringLiteral("SELECT DISTINCT EUR || '/' || EUR_HABEN FROM Kontenrahmen WHERE Kategorie=3200")),
              QStringList{QStringLiteral("186/141")});
    // The annual return has no code 81 or 86: its lines of 19 % and 7 % are 177 and 275.
    EXPECT_EQ(liste(QStringLiteral("SELECT SKR03 FROM Kontenrahmen WHERE USt IN (81, 86)")), QStringList());
    EXPECT_EQ(liste(QStringLiteral("SELECT Kennziffer FROM eurFormulare WHERE Formular=1 AND Kennziffer IN (81, 86)")), QStringList());

    // § 141 AO: 600 000 EUR turnover from 2016 (column Vorjahr of a 2016 case), 500 000 EUR in 2015
    // (column Neujahr); the profit limit is 60 000 EUR in both.
    EXPECT_EQ(liste(QStringLiteral("SELECT CAST(Vorjahr AS INTEGER) || '|' || CAST(Neujahr AS INTEGER) FROM Sperrgrenzen WHERE "
                                   "Bezeichnung LIKE 'Buchführungspflicht%' ORDER BY Bezeichnung")),
              (QStringList{QStringLiteral("60000|60000"), QStringLiteral("600000|500000")}));
}

TEST_F(Referenz, ExamplesNameExistingAccounts) {
    struct Tabelle {
        const char* name;
        const char* rahmen;
    };
    for (const Tabelle& t : {Tabelle{"eurBeispielMitUSt2007", "SKR03"}, Tabelle{"eurBeispielMitUSt2005", "SKR03"},
                             Tabelle{"eurBeispielOhneUSt2005", "SKR03"}, Tabelle{"eurBeispielMitUSt", "SKR03"},
                             Tabelle{"eurBeispielSKR80MitUSt", "SKR80"}, Tabelle{"eurBeispielSKR80OhneUSt", "SKR80"},
                             Tabelle{"eurBeispielSKR81MitUSt", "SKR81"}, Tabelle{"eurBeispielSKR81OhneUSt", "SKR81"}}) {
        EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t.name))).toInt(), 15) << t.name;
        EXPECT_EQ(liste(QStringLiteral("SELECT Konto FROM %1Buchungszeilen WHERE Konto NOT IN (SELECT %2 FROM Kontenrahmen WHERE %2<>0)")
                            .arg(QLatin1String(t.name), QLatin1String(t.rahmen))),
                  QStringList()) << t.name;
        // Templates without VAT carry no key and no VAT account.
        if (QByteArray(t.name).contains("OhneUSt"))
            EXPECT_EQ(liste(QStringLiteral("SELECT Konto FROM %1Buchungszeilen WHERE Steuerschluessel<>0 OR Konto IN (SELECT %2 FROM "
                                           "Kontenrahmen WHERE DeaktivBeiKeinerUSt<>0)").arg(QLatin1String(t.name), QLatin1String(t.rahmen))),
                      QStringList()) << t.name;
    }
    for (int n : {50, 52, 54, 55})
        EXPECT_EQ(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM eurBeispielMitUSt2007 WHERE Buchungsnummer=%1").arg(n)).toInt(), 1);
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM AfA_Zeitraum")).toInt(), 40);
    EXPECT_GE(GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM KritischeBegriffe")).toInt(), 25);
    EXPECT_FALSE(liste(QStringLiteral("SELECT Betrag FROM (SELECT Vorjahr AS Betrag FROM Sperrgrenzen WHERE Bezeichnung LIKE 'Geringwertige%')")).isEmpty());
}

}  // namespace
