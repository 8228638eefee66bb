// The form of the VAT numbers the recapitulative statement accepts and the
// rule which revenue it reports, checked against the published formats of
// the member states in 2016.
#include "kontbaum/steuer/ustid.h"

#include <gtest/gtest.h>

TEST(UStId, FormatsOfTheMemberStates) {
    // One valid number per pattern, Greece under its prefix EL and the
    // United Kingdom still a member.
    for (const char* gut : {"ATU12345678", "BE0123456789", "BE1123456789", "BG123456789", "BG1234567890", "CY12345678X", "CZ12345678",
                            "CZ1234567890", "DK12345678", "EE123456789", "EL123456789", "ESX1234567X", "ES12345678Z", "FI12345678",
                            "FR12345678901", "FRXX345678901", "GB123456789", "GB123456789012", "GBGD123", "HR12345678901", "HU12345678",
                            "IE1234567WA", "IE1A23456B", "IT12345678901", "LT123456789", "LT123456789012", "LU12345678",
                            "LV12345678901", "MT12345678", "NL123456789B01", "PL1234567890", "PT123456789", "RO12", "RO1234567890",
                            "SE123456789701", "SI12345678", "SK1234567890"})
        EXPECT_EQ(UStId::pruefen(QString::fromLatin1(gut)), QString()) << gut;

    struct Fall {
        const char* id;
        const char* grund;
    };
    const Fall schlecht[] = {
        {"DE123456789", "deutsche"},         // the business's own country
        {"GR123456789", "„EL“"},             // Greece's ISO code is not its VAT prefix
        {"CH123456789", "Länderkennzeichen"},  // not a member state
        {"US123456789", "Länderkennzeichen"},
        {"XX", "Länderkennzeichen"},
        {"", "Länderkennzeichen"},
        {"ATU1234567", "Österreich"},         // one digit short
        {"AT123456789", "Österreich"},        // the U is missing
        {"BE2123456789", "Belgien"},          // starts with 2
        {"BE123456789", "Belgien"},           // the old nine digits without the leading 0
        {"FR1234567890", "Frankreich"},       // 2 + 8
        {"NL123456789B1", "Niederlande"},     // one digit after B
        {"NL123456789C01", "Niederlande"},
        {"IT1234567890", "Italien"},
        {"SE123456789012", "Schweden"},       // does not end in 01
        {"atu12345678", "Länderkennzeichen"},  // stored ids are upper case
        {"ATU 12345678", "Österreich"},
    };
    for (const Fall& f : schlecht) {
        const QString grund = UStId::pruefen(QString::fromUtf8(f.id));
        EXPECT_TRUE(grund.contains(QString::fromUtf8(f.grund))) << f.id << ": " << grund.toStdString();
    }
}

TEST(UStId, OnlyTheThreeKindsOfOwnEuRevenue) {
    EXPECT_EQ(UStId::artDerZeile(4001, 41, true), UStId::Lieferung);
    EXPECT_EQ(UStId::artDerZeile(4001, 42, true), UStId::Dreiecksgeschaeft);
    EXPECT_EQ(UStId::artDerZeile(4001, 21, true), UStId::SonstigeLeistung);
    EXPECT_EQ(UStId::artDerZeile(4001, 41, false), UStId::KeineMeldung) << "a key with German tax is a domestic sale";
    EXPECT_EQ(UStId::artDerZeile(5000, 41, true), UStId::KeineMeldung) << "an expense account is a purchase";
    EXPECT_EQ(UStId::artDerZeile(4203, 41, true), UStId::KeineMeldung) << "received discounts reduce expenses";
    for (unsigned long code : {0UL, 43UL, 45UL, 48UL, 60UL, 81UL, 89UL})
        EXPECT_EQ(UStId::artDerZeile(4001, code, true), UStId::KeineMeldung) << code;
}
