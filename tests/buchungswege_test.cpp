// The rules every way into the ledger meets inside the library, whichever
// host calls it: the question before a till goes below zero (asked once per
// operation; answered No, nothing of the operation is kept) and the refusal
// of a tax key the case has not activated.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/austausch/austausch.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/jahr/jahr.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/konten/kontoeditor.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using KG = KontoGlobal;

const zDate k15Jan(2016, 1, 15);

// A case of 2016 on the SKR03 chart of the reference data, with a bank
// connection on 1200 and a customer.
class Buchungswege : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        kg->setKassenkonto(1000);
        Bank::Verbindung v;
        v.konto = 1200;
        v.iban = QStringLiteral("DE89370400440532013000");
        QString e;
        verbindung = Bank::legeVerbindungAn(db, v, &e);
        ASSERT_NE(verbindung, 0u) << e.toStdString();
        Faktura::Person p;
        p.firma = QStringLiteral("Kunde GmbH");
        p.strasse = QStringLiteral("Weg 1");
        p.plz = QStringLiteral("20095");
        p.ort = QStringLiteral("Hamburg");
        kunde = Faktura::speicherePerson(db, p, &e);
        ASSERT_NE(kunde, 0u) << e.toStdString();
    }

    // What an operation may change: bookings, lines, closings, transactions
    // taken over, invoices and their payment, articles, templates and when
    // they are next due, staged bookings, case properties.
    QString stand() {
        return GetDatenTyp(db, QStringLiteral("SELECT (SELECT COUNT(*) FROM eurVerbucht) || '/' || (SELECT TOTAL(Betrag) FROM "
                                              "eurVerbuchtBuchungszeilen) || '/' || (SELECT COUNT(*) FROM eurKassenabschluss) || '/' || "
                                              "(SELECT COUNT(*) FROM eurUmsatz WHERE Status=1) || '/' || (SELECT COUNT(*) FROM reRechnungen "
                                              "WHERE IFNULL(bezahlt,'')<>'') || '/' || (SELECT COUNT(*) FROM reRechnungen) || '/' || "
                                              "(SELECT COUNT(*) FROM reRechnungenPositionen) || '/' || (SELECT COUNT(*) FROM reArtikel) || '/' || "
                                              "(SELECT COUNT(*) FROM eurBeispiel) || '/' || (SELECT COUNT(*) FROM eurBeispielBuchungszeilen) || '/' || "
                                              "(SELECT group_concat(IFNULL(Intervall,'') || '@' || IFNULL(Belegdatum,''), ',') FROM eurBeispiel) || '/' || "
                                              "(SELECT COUNT(*) FROM eurStapel) || '/' || (SELECT COUNT(*) FROM eurUebernahme) || '/' || "
                                              "(SELECT COUNT(*) FROM Falleigenschaften)"))
            .toString();
    }
    KG::BuchungsEntwurf ausgabe(double betrag, const zDate& d, unsigned long geld = 1000, unsigned long schluessel = 7) {
        KG::BuchungsEntwurf b;
        b.text = QStringLiteral("Bürobedarf");
        b.belegdatum = d;
        b.buchungsart = 2;
        b.haben = true;
        b.konto = geld;
        b.teile.append({4930, schluessel, EuroType::ausDouble(betrag), false, QString()});
        return b;
    }
    // A bookings file of cash expenses on 4930 at 19 %, one booking each.
    static QByteArray csv(const QList<double>& betraege, unsigned long schluessel = 7) {
        QString t = QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;Gegenkontobezeichnung;"
                                   "Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;Belegnummer;Buchungsdatum;UStID;Umsatzart\n");
        int nr = 0;
        for (double b : betraege)
            t += QStringLiteral("%1;1;15.01.2016;Ware;4930;Bürobedarf;1000;Kasse;%2;0;%3;19,00;VSt;B%1;15.01.2016;;0\n")
                     .arg(++nr)
                     .arg(QString::number(b, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')))
                     .arg(schluessel);
        return t.toUtf8();
    }
    unsigned long bankumsatz(double betrag) {
        Bank::Umsatz u;
        u.buchungsdatum = k15Jan;
        u.betrag = EuroType::ausDouble(betrag);
        u.zweck << QStringLiteral("Bareinzahlung %1").arg(betrag);
        Bank::Speicherergebnis r;
        QString e;
        EXPECT_TRUE(Bank::speichereUmsaetze(db, verbindung, {u}, 2016, zDate(), nullptr, &r, &e)) << e.toStdString();
        return (unsigned long)GetDatenTyp(db, QStringLiteral("SELECT MAX(UmsatzID) FROM eurUmsatz")).toLongLong();
    }
    bool uebernehmen(unsigned long umsatz, unsigned long gegen, unsigned long schluessel, QString* e) {
        Bank::Auftrag a;
        a.ids = {umsatz};
        a.gegenkonto = gegen;
        a.steuerschluessel = schluessel;
        a.schluesselAngegeben = true;
        Bank::Uebernahmeergebnis r;
        return Bank::uebernehmen(db, a, &r, e);
    }
    Faktura::Beleg rechnung(double menge, unsigned long schluessel, unsigned long konto = 8400) {
        Faktura::Position p;
        p.bezeichnung = QStringLiteral("Beratung");
        p.menge = menge;
        p.preis = 100.00_eur;
        p.steuerschluessel = schluessel;
        p.konto = konto;
        Faktura::Beleg b;
        b.personID = kunde;
        b.datum = b.zeitraumVon = b.zeitraumBis = zDate(2016, 1, 5);
        b.rechnungsart = menge < 0 ? 1 : 0;
        b.positionen = {p};
        return b;
    }
    int kassenfragen() {
        int n = 0;
        for (const QString& t : env.ui().texts(Ui::Art::Frage)) n += t.contains(QStringLiteral("Kassenbestand negativ"));
        return n;
    }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    unsigned long verbindung = 0, kunde = 0;
};

// The till holds 100,00 from 1 January and 10,00 from 20 January. Each way
// into the ledger takes money out of it on 15 January, so that 20 January
// would end below zero: each asks once, and answered No keeps nothing.
TEST_F(Buchungswege, EveryPathAsksBeforeATillGoesNegativeAndNoKeepsNothing) {
    QString e;
    const unsigned long vortrag = Jahr::setzeSaldovortrag(1000, 100.00_eur, &e);
    ASSERT_NE(vortrag, 0u) << e.toStdString();
    ASSERT_NE(KG::insertSplittBuchung(ausgabe(90.0, zDate(2016, 1, 20)), db, &e), 0u) << e.toStdString();
    ASSERT_EQ(kassenfragen(), 0) << "receipts, and an outflow the till covers, are never asked about";

    const unsigned long umsatz = bankumsatz(50.0);
    KG::BuchungsEntwurf vorlage = ausgabe(50.0, k15Jan);
    ASSERT_NE(Regelbuchung::vorlageAnlegen(vorlage, Regelbuchung::intervallCode(QStringLiteral("monatlich")), &e), 0u) << e.toStdString();
    env.ui().queueAnswer(true);  // the invoice date lies before today
    Faktura::Beleg gutschrift = rechnung(-0.5, 5);
    ASSERT_TRUE(Faktura::speichereBeleg(db, &gutschrift, &e)) << e.toStdString();

    const struct Weg {
        const char* name;
        std::function<bool(QString*)> gehen;
    } wege[] = {
        {"book", [&](QString* f) { return KG::insertSplittBuchung(ausgabe(50.0, k15Jan), db, f) != 0; }},
        {"import, two bookings",
         [&](QString* f) {
             const BuchungenCSV::Importergebnis r = BuchungenCSV::importieren(csv({30.0, 30.0}), BuchungenCSV::Zeichensatz::Automatisch);
             *f = r.fehler;
             return r.grund == BuchungenCSV::Importergebnis::Gebucht;
         }},
        {"bank takeover", [&](QString* f) { return uebernehmen(umsatz, 1000, 0, f); }},
        {"recurring run",
         [&](QString* f) {
             QList<rsEurRegelBuch> faellig;
             Regelbuchung::faellige(faellig, 0, zDate(2016, 1, 20));
             Regelbuchung::Ergebnis r;
             return faellig.size() == 1 && Regelbuchung::buchen(faellig, &r, f);
         }},
        {"invoice correction paid from the till",
         [&](QString* f) { return Faktura::bucheRechnung(db, gutschrift, Faktura::BuchungsAuftrag{1000, k15Jan, QString()}, f) != 0; }},
        {"cash closing with a shortfall",
         [&](QString* f) {
             KassenabschlussDaten d;
             if (!Kasse::abschlussBeginnen(1000, &d).isEmpty()) return false;
             d.datum = k15Jan;
             Kasse::abschlussSaldoErmitteln(&d);
             d.gezaehlt = 50.00_eur;
             Kasse::AbschlussErgebnis r;
             return Kasse::abschlussDurchfuehren(d, 4900, &r, f);
         }},
        {"lower opening balance", [&](QString* f) { return Jahr::setzeSaldovortrag(1000, 40.00_eur, f) != 0; }},
        {"cancelling the opening balance", [&](QString* f) { return !KG::storniereBuchungen(QList<unsigned long>{vortrag}, f).isEmpty(); }},
        {"deleting the opening balance",
         [&](QString* f) {
             QList<unsigned long> stornos;
             return KG::loescheBuchungen({vortrag}, &stornos, f);
         }},
    };
    for (const Weg& w : wege) {
        env.ui().clear();
        const QString vorher = stand();
        QString f;
        EXPECT_FALSE(w.gehen(&f)) << w.name;
        EXPECT_EQ(kassenfragen(), 1) << w.name << ": " << env.ui().texts(Ui::Art::Frage).join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(f.contains(QStringLiteral("Der Bestand der Kasse 1000 wäre am 20.01.2016 negativ"))) << w.name << ": " << f.toStdString();
        EXPECT_EQ(stand(), vorher) << w.name;
    }

    // The question is the booking dialog's own, worded after what was done.
    env.ui().clear();
    env.ui().queueAnswer(true);
    ASSERT_NE(KG::insertSplittBuchung(ausgabe(50.0, k15Jan), db, &e), 0u) << e.toStdString();
    EXPECT_EQ(env.ui().texts(Ui::Art::Frage),
              QStringList{QStringLiteral("Durch diese Buchung wird der Kassenbestand negativ.\nSoll die Buchung trotzdem erzeugt werden?")});
    // A day that was below zero before and stays so is not asked again; nor
    // is a receipt.
    env.ui().clear();
    ASSERT_NE(KG::insertSplittBuchung(ausgabe(1.0, zDate(2016, 1, 21)), db, &e), 0u) << e.toStdString();
    KG::BuchungsEntwurf einnahme = ausgabe(5.0, zDate(2016, 1, 22));
    einnahme.buchungsart = 1;
    einnahme.haben = false;
    einnahme.teile = {{8400, 5, 5.00_eur, false, QString()}};
    ASSERT_NE(KG::insertSplittBuchung(einnahme, db, &e), 0u) << e.toStdString();
    EXPECT_EQ(kassenfragen(), 0);
}

// Key 9 (16 % input tax) is inactive in 2016: every path that would post it
// or store it for posting refuses it with the same message and changes
// nothing. Activated by the user, it may be posted.
TEST_F(Buchungswege, EveryPathRefusesAnInactiveKey) {
    const QString nein = QStringLiteral("Der Steuerschlüssel 9 (VSt 16 %) ist im Steuerjahr 2016 nicht aktiv. Aktive Schlüssel für Vorsteuer: "
                                        "7 (VSt 19 %), 8 (VSt 7 %).");
    const unsigned long umsatz = bankumsatz(-116.0);
    env.ui().setDefaultAnswer(true);  // the till may go negative; invoice dates lie in the past
    const struct Weg {
        const char* name;
        std::function<QString()> gehen;
    } wege[] = {
        {"booking checks",
         [&] {
             KG::BuchungsEntwurf b = ausgabe(116.0, k15Jan, 1200, 9);
             return EingabePruefer(db, 2016).pruefen(b, k15Jan);
         }},
        {"posting",
         [&] {
             QString f;
             return KG::insertSplittBuchung(ausgabe(116.0, k15Jan, 1200, 9), db, &f) ? QString() : f;
         }},
        {"import",
         [&] { return BuchungenCSV::importieren(csv({116.0}, 9), BuchungenCSV::Zeichensatz::Automatisch).fehler; }},
        {"template",
         [&] {
             QString f;
             return Regelbuchung::vorlageAnlegen(ausgabe(116.0, k15Jan, 1200, 9), 0, &f) ? QString() : f;
         }},
        {"bank takeover",
         [&] {
             QString f;
             return uebernehmen(umsatz, 4930, 9, &f) ? QString() : f;
         }},
        {"invoice position",
         [&] {
             Faktura::Beleg b = rechnung(1, 3, 8200);
             QString f;
             return Faktura::speichereBeleg(db, &b, &f) ? QString() : f;
         }},
        {"article",
         [&] {
             Faktura::Artikel a;
             a.bezeichnung = QStringLiteral("Stunde");
             a.preis = 100.00_eur;
             a.steuerschluessel = 3;
             a.konto = 8200;
             QString f;
             return Faktura::speichereArtikel(db, a, &f) ? QString() : f;
         }},
    };
    for (const Weg& w : wege) {
        const QString vorher = stand();
        const QString f = w.gehen();
        const bool umsatzsteuer = QLatin1String(w.name).startsWith(QLatin1String("invoice")) || QLatin1String(w.name) == QLatin1String("article");
        EXPECT_TRUE(f.contains(umsatzsteuer ? QStringLiteral("Der Steuerschlüssel 3 (USt 16 %) ist im Steuerjahr 2016 nicht aktiv. Aktive "
                                                             "Schlüssel für Umsatzsteuer: 5 (USt 19 %), 2 (USt 7 %).")
                                            : nein))
            << w.name << ": " << f.toStdString();
        EXPECT_EQ(stand(), vorher) << w.name;
    }
    QString e;
    ASSERT_TRUE(Kontoeditor::setzeSchluesselAktiv({9}, true, &e)) << e.toStdString();
    EXPECT_NE(KG::insertSplittBuchung(ausgabe(116.0, k15Jan, 1200, 9), db, &e), 0u) << e.toStdString();
}

}  // namespace
