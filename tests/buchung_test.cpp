// The ledger: posting with tax lines, numbering, reading back, cancelling,
// deleting, locking and the CSV export.
#include "host/app/log.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using KG = KontoGlobal;

// A case with the chart of the reference data plus the keys and accounts
// the tests book on (replacing rows the reference data may already have).
class Ledger : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
    }

    unsigned long einnahme(double betrag, unsigned long konto = 8400, unsigned long schluessel = 5,
                           const zDate& datum = zDate(2016, 3, 15), bool netto = false, const QString& text = QStringLiteral("Honorar")) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), text, EuroType::ausDouble(betrag), netto, datum, QStringLiteral("RE-1"),
                                       1, false, 1200, konto, schluessel, QString());
    }
    unsigned long ausgabe(double betrag, unsigned long konto = 4930, unsigned long schluessel = 7,
                          const zDate& datum = zDate(2016, 4, 2)) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("Einkauf"), EuroType::ausDouble(betrag), false, datum,
                                       QStringLiteral("B-7"), 2, true, 1200, konto, schluessel, QString());
    }
    struct Z {
        unsigned long konto;
        double betrag;
        bool haben;
        unsigned long schluessel;
        unsigned long steuerID;
        int dialogzeile;
    };
    QList<Z> zeilen(unsigned long n) {
        QList<Z> out;
        rsDataSource rs(db, QStringLiteral("SELECT Konto, Betrag, Haben, Steuerschluessel, SteuerID, Dialogzeile FROM "
                                           "eurVerbuchtBuchungszeilen WHERE Buchungsnummer=%1 ORDER BY ID").arg(n));
        for (; !rs.isEOF(); rs.fetch())
            out.append({rs.field(QStringLiteral("Konto")).toULong(), rs.field(QStringLiteral("Betrag")).toDouble(),
                        rs.field(QStringLiteral("Haben")).toBool(), rs.field(QStringLiteral("Steuerschluessel")).toULong(),
                        rs.field(QStringLiteral("SteuerID")).toULong(), rs.field(QStringLiteral("Dialogzeile")).toInt()});
        return out;
    }
    qlonglong zahl(const QString& sql) { return GetDatenTyp(db, sql).toLongLong(); }
    // Account, side and amount of each line, in the order of their IDs.
    QStringList kurz(unsigned long n) {
        QStringList out;
        for (const Z& z : zeilen(n)) out << QStringLiteral("%1%2%3").arg(z.konto).arg(z.haben ? QLatin1Char('H') : QLatin1Char('S')).arg(z.betrag);
        return out;
    }
    // A payment from `konto` of three parts: 119 gross with VAT, 500 without, 10 net with VAT.
    static KG::BuchungsEntwurf splitt(unsigned long konto, const QStringList& texte = {QString(), QString(), QString()}) {
        KG::BuchungsEntwurf b;
        b.text = QStringLiteral("Splitt");
        b.belegdatum = zDate(2016, 6, 30);
        b.buchungsart = 2;
        b.haben = true;
        b.konto = konto;
        b.teile = {{4930, 7, 119.00_eur, false, texte[0]}, {4210, 0, 500.00_eur, false, texte[1]}, {4940, 7, 10.00_eur, true, texte[2]}};
        return b;
    }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};

TEST_F(Ledger, TaxLinesFollowTheKey) {
    const unsigned long n = einnahme(119.00);
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(kurz(n), (QStringList{QStringLiteral("1200S119"), QStringLiteral("8400H100"), QStringLiteral("1776H19")}))
        << "the tax line is on the side of its base line";
    QList<Z> z = zeilen(n);
    ASSERT_EQ(z.size(), 3);
    EXPECT_EQ(z[0].dialogzeile, 1);
    EXPECT_EQ(z[2].schluessel, 999999u);
    EXPECT_EQ(z[2].steuerID, z[1].steuerID);
    EXPECT_EQ(z[2].dialogzeile, 0);

    // Two tax accounts: the tax twice, on opposite sides; the money moved is the base.
    const unsigned long ig = ausgabe(1000.00, 3425, 19);
    EXPECT_EQ(kurz(ig), (QStringList{QStringLiteral("1200H1000"), QStringLiteral("3425S1000"), QStringLiteral("1574S190"),
                                     QStringLiteral("1774H190")}));

    // No key, and the tax-line marker as key: no tax lines.
    EXPECT_EQ(zeilen(einnahme(50.0, 8400, 0)).size(), 2);
    EXPECT_EQ(zeilen(einnahme(50.0, 8400, 999999)).size(), 2);

    // Every booking balances, also when entered net.
    const unsigned long netto = einnahme(100.00, 8400, 5, zDate(2016, 5, 1), true);
    z = zeilen(netto);
    EXPECT_DOUBLE_EQ(z[0].betrag, 119.0) << "the money side carries the gross amount";
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM (SELECT Buchungsnummer, SUM(CASE WHEN Haben THEN Betrag ELSE -Betrag END) "
                                  "AS s FROM eurVerbuchtBuchungszeilen GROUP BY Buchungsnummer HAVING ABS(s) > 0.001)")),
              0);
    EXPECT_DOUBLE_EQ(GetDatenTyp(db, QStringLiteral("SELECT Betrag FROM eurVerbucht WHERE Buchungsnummer=%1").arg(netto)).toDouble(), 100.0);
    EXPECT_TRUE(GetDatenTyp(db, QStringLiteral("SELECT Netto FROM eurVerbucht WHERE Buchungsnummer=%1").arg(netto)).toBool());
}

TEST_F(Ledger, NumbersAreAllocatedPerTableAndReused) {
    EXPECT_EQ(KG::getNewBuchungsnummer(QStringLiteral("eurVerbucht")), 1u);
    EXPECT_EQ(KG::getNewBuchungsnummer(QStringLiteral("eurStapel")), 1u);
    einnahme(10.0);
    const unsigned long zwei = einnahme(20.0);
    EXPECT_EQ(zwei, 2u);
    EXPECT_EQ(KG::getNewBuchungsnummer(QStringLiteral("eurStapel")), 1u);
    ASSERT_TRUE(KG::deleteBuchung(zwei, QStringLiteral("eurVerbucht")));
    EXPECT_EQ(KG::getNewBuchungsnummer(QStringLiteral("eurVerbucht")), 2u) << "the freed highest number is given out again";
    EXPECT_EQ(KG::getNewBuchungsnummer(QStringLiteral("eurVerbucht; DROP TABLE x")), 0u);

    // A number that is taken is refused; nothing is posted.
    rsLog::clear();
    EXPECT_EQ(KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("x"), 5.0_eur, false,
                                      zDate(2016, 1, 1), QString(), 1, false, 1200, 8400, 0, QString(), nullptr, 1),
              0u);
    EXPECT_TRUE(rsLog::assertTexts().contains(QStringLiteral("existisBuchungsnummer==0")));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 1);
}

TEST_F(Ledger, AFailedLineLeavesNoPartOfTheBooking) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("CREATE TRIGGER stop BEFORE INSERT ON eurVerbuchtBuchungszeilen WHEN NEW.Konto=1776 "
                                           "BEGIN SELECT RAISE(ABORT, 'voll'); END")));
    EXPECT_EQ(einnahme(119.0), 0u) << "the tax line fails";
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 0);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen")), 0);
    EXPECT_EQ(einnahme(50.0, 8400, 0), 1u) << "the connection is usable afterwards";
}

TEST_F(Ledger, SplitBookingsBalanceAndReadBack) {
    KG::BuchungsEntwurf b = splitt(1200);
    QString fehler;
    const unsigned long n = KG::insertSplittBuchung(b, nullptr, &fehler);
    ASSERT_NE(n, 0u) << fehler.toStdString();
    const QList<Z> z = zeilen(n);
    ASSERT_EQ(z.size(), 6);
    EXPECT_DOUBLE_EQ(z[0].betrag, 119.0 + 500.0 + 11.90);
    EXPECT_DOUBLE_EQ(GetDatenTyp(db, QStringLiteral("SELECT Betrag FROM eurVerbucht WHERE Buchungsnummer=%1").arg(n)).toDouble(), 630.90);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=%1 AND Splitt=1").arg(n)), 5);
    EXPECT_EQ(zahl(QStringLiteral("SELECT Gegenkonto FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=%1 AND Dialogzeile=1").arg(n)), 0);

    const KG::SimpleBuchung s = KG::getBuchung(n);
    EXPECT_EQ(s.buchungsnummer, n);
    EXPECT_EQ(s.konto, 1200u);
    EXPECT_TRUE(s.haben);
    EXPECT_TRUE(s.splitt);
    EXPECT_EQ(s.belegdatum, zDate(2016, 6, 30));
    EXPECT_EQ(KG::getBuchung(999).buchungsnummer, 0u);

    const unsigned long e = einnahme(119.0);
    const KG::SimpleBuchung se = KG::getBuchung(e);
    EXPECT_EQ(se.gegenkonto, 8400u);
    EXPECT_EQ(se.steuerschluessel, 5u);
    EXPECT_EQ(se.betrag, 119.0_eur);
    EXPECT_EQ(se.betragGegen, 100.0_eur);
    EXPECT_EQ(se.steuer, 19.0_eur);

    b.teile = {{4930, 7, 0.0_eur, false, QString()}};
    EXPECT_EQ(KG::insertSplittBuchung(b, nullptr, &fehler), 0u);
    EXPECT_FALSE(fehler.isEmpty());
}

TEST_F(Ledger, ReferenceNumbersAndTexts) {
    QString p, s;
    int nullen = 0;
    unsigned long nr = 0;
    ASSERT_TRUE(KG::splitRefNumber(QStringLiteral("RE-0099/A"), p, nullen, nr, s));
    EXPECT_EQ(p, QStringLiteral("RE-"));
    EXPECT_EQ(nullen, 2);
    EXPECT_EQ(nr, 99u);
    EXPECT_EQ(s, QStringLiteral("/A"));
    EXPECT_EQ(KG::incRefNumber(QStringLiteral("RE-0099/A")), QStringLiteral("RE-0100/A"));
    ASSERT_TRUE(KG::splitRefNumber(QStringLiteral("000"), p, nullen, nr, s));
    EXPECT_EQ(nullen, 2);
    EXPECT_EQ(nr, 0u);
    EXPECT_EQ(KG::incRefNumber(QStringLiteral("000")), QStringLiteral("001"));
    EXPECT_EQ(KG::incRefNumber(QStringLiteral("R9")), QStringLiteral("R10"));
    EXPECT_EQ(KG::incRefNumber(QStringLiteral("2016-009")), QStringLiteral("2016-010"));
    EXPECT_FALSE(KG::splitRefNumber(QStringLiteral("ohne"), p, nullen, nr, s));
    EXPECT_TRUE(p.isEmpty());
    EXPECT_EQ(KG::incRefNumber(QStringLiteral("ohne")), QStringLiteral("ohne"));
    EXPECT_FALSE(KG::splitRefNumber(QString(), p, nullen, nr, s));

    EXPECT_EQ(KG::getBuchungsartText(4, 1), QStringLiteral("ER"));
    EXPECT_EQ(KG::getBuchungsartText(6, 0), QStringLiteral("Saldovortrag"));
    EXPECT_TRUE(KG::getBuchungsartText(7, 0).isEmpty());
    EXPECT_TRUE(KG::zusatzinfoIsRechnungsnummer(QStringLiteral("RE-2016-001")));
    EXPECT_FALSE(KG::zusatzinfoIsRechnungsnummer(QStringLiteral("AnlageNeu_17")));
    EXPECT_FALSE(KG::zusatzinfoIsRechnungsnummer(QStringLiteral("Privatanteil[3]")));
    EXPECT_FALSE(KG::zusatzinfoIsRechnungsnummer(QString()));
    EXPECT_TRUE(KG::zusatzinfoIsRechnungsnummer(QStringLiteral("anlageneu_17"))) << "the tags are case-sensitive";
}

TEST_F(Ledger, CancellationMirrorsTheBooking) {
    const unsigned long n = ausgabe(100.00, 4930, 0, zDate(2016, 2, 10));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Buchungsdatum='2016-02-11 00:00:00' WHERE Buchungsnummer=%1").arg(n)));
    const unsigned long m = KG::storniereBuchung(n);
    ASSERT_NE(m, 0u);
    EXPECT_DOUBLE_EQ(GetDatenTyp(db, QStringLiteral("SELECT Betrag FROM eurVerbucht WHERE Buchungsnummer=%1").arg(m)).toDouble(), -100.0);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=%1").arg(m)).toDate(),
              zDate(2016, 2, 10));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Buchungsdatum FROM eurVerbucht WHERE Buchungsnummer=%1").arg(m)).toDate(),
              zDate::today());
    EXPECT_EQ(zahl(QStringLiteral("SELECT Storno FROM eurVerbucht WHERE Buchungsnummer=%1").arg(m)), 1);
    EXPECT_EQ(zahl(QStringLiteral("SELECT Storniert FROM eurVerbucht WHERE Buchungsnummer=%1").arg(n)), 1);
    const QList<Z> alt = zeilen(n), neu = zeilen(m);
    ASSERT_EQ(alt.size(), neu.size());
    for (int i = 0; i < alt.size(); ++i) {
        EXPECT_EQ(neu[i].konto, alt[i].konto);
        EXPECT_EQ(neu[i].haben, alt[i].haben);
        EXPECT_DOUBLE_EQ(neu[i].betrag, -alt[i].betrag);
    }
    EXPECT_EQ(KG::getSummeKonto(4930, 0, zDate(), zDate()), EuroType());
    EXPECT_EQ(KG::getSummeKonto(1200, 0, zDate(2016, 1, 1), zDate(2016, 12, 31)), EuroType());
    EXPECT_EQ(KG::storniereBuchung(n), 0u) << "a cancelled booking is not cancelled twice";
    EXPECT_EQ(KG::storniereBuchung(m), 0u) << "nor is a cancellation";
    EXPECT_EQ(KG::storniereBuchung(4711), 0u);

    // Balances: debit positive, credit negative, by voucher or payment date.
    einnahme(119.0, 8400, 5, zDate(2016, 3, 1));
    EXPECT_EQ(KG::getSummeKonto(8400, 0, zDate(2016, 3, 1), zDate(2016, 3, 1)), -100.0_eur);
    EXPECT_EQ(KG::getSummeKonto(8400, 0, zDate(2016, 3, 2), zDate()), EuroType());
    EXPECT_EQ(KG::getSummeKonto(8400, 1, zDate(2016, 3, 1), zDate(2016, 3, 31)), -100.0_eur);
    rsLog::clear();
    KG::getSummeKonto(8400, 0, zDate(2016, 4, 1), zDate(2016, 3, 1));
    EXPECT_TRUE(rsLog::assertTexts().contains(QStringLiteral("von<=bis")));
    EXPECT_EQ(KG::countBuchungen(8400, 0, zDate(2016, 1, 1), zDate(2016, 12, 31)), 1u);
    EXPECT_EQ(KG::countBuchungen(4930, 0, zDate(), zDate()), 2u);
}

TEST_F(Ledger, DeletingAndLinks) {
    EXPECT_FALSE(KG::deleteBuchungen(QString(), QStringLiteral("eurVerbucht")));
    EXPECT_FALSE(KG::deleteBuchungen(QStringLiteral("()"), QStringLiteral("eurVerbucht")));
    EXPECT_FALSE(KG::deleteBuchungen(QStringLiteral("1) OR (1=1"), QStringLiteral("eurVerbucht")));
    einnahme(1.0);
    einnahme(2.0);
    einnahme(3.0);
    einnahme(4.0);
    ASSERT_TRUE(KG::deleteBuchungen(QStringLiteral("3,4"), QStringLiteral("eurVerbucht")));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 2);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer IN (3,4)")), 0);
    ASSERT_TRUE(KG::deleteBuchungen(QStringLiteral("(2)"), QStringLiteral("eurVerbucht")));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 1);

    // Links are matched as data, quote included.
    const QString info = QStringLiteral("RE-1' OR '1'='1");
    KG::insertSimpleBuchung(KG::HERK_RECH, QStringLiteral("eurVerbucht"), QStringLiteral("Rechnung"), 50.0_eur, false, zDate(2016, 5, 5),
                            QString(), 1, false, 1200, 8400, 0, info);
    KG::insertSimpleBuchung(KG::HERK_RECH, QStringLiteral("eurBeispiel"), QStringLiteral("Vorlage"), 50.0_eur, false, zDate(),
                            QString(), 1, false, 1200, 8400, 0, info);
    QString text;
    zDate datum;
    EXPECT_NE(KG::existsBuchungWithInfo(info, text, QString(), &datum), 0u);
    EXPECT_EQ(datum, zDate(2016, 5, 5));
    EXPECT_TRUE(text.contains(QStringLiteral("Konten: 1200 an 8400"))) << text.toStdString();
    EXPECT_NE(KG::existsBuchungWithInfo(QStringLiteral("RE-1%"), text, QStringLiteral("LIKE")), 0u);
    EXPECT_EQ(KG::existsBuchungWithInfo(QStringLiteral("RE-1"), text), 0u);
    EXPECT_EQ(KG::deleteBuchungWithInfo(info), 2);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 1) << "only the linked booking went";
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurBeispiel")), 0);

    EXPECT_TRUE(KG::existsBuchung(8400));
    EXPECT_TRUE(KG::existsBuchung(1776, nullptr, true)) << "a tax account of a key";
    EXPECT_FALSE(KG::existsBuchung(4210));
}

TEST_F(Ledger, LockingBoundsAndQuestions) {
    EXPECT_FALSE(KG::getFestgeschriebenBis().isValid());
    EXPECT_FALSE(KG::isInFestschreibungsZeitraum(zDate(2016, 1, 1)));
    EXPECT_EQ(KG::GetAnzBuchungenFestgeschrieben(), 0);
    zDate von, bis;
    KG::festschreibungsZeitraum(von, bis);
    EXPECT_EQ(von, zDate(2016, 1, 1));
    EXPECT_EQ(bis, zDate(2016, 12, 31));

    const unsigned long fuenf = einnahme(5.0, 8400, 0, zDate(2016, 7, 1));
    const unsigned long sieben = einnahme(7.0, 8400, 0, zDate(2016, 6, 30));
    const unsigned long neun = einnahme(9.0, 8400, 0, zDate(2016, 8, 15));
    EXPECT_FALSE(KG::isFestgeschrieben(sieben));
    EXPECT_TRUE(KG::festschreibungsUebersicht(zDate(2016, 1, 1), zDate(2016, 6, 30)).contains(QStringLiteral("<td>%1</td>").arg(sieben)));

    int gesichert = 0;
    KG::setSichernHook([&] {
        ++gesichert;
        return true;
    });
    ASSERT_TRUE(KG::festschreibungAbschliessen(zDate(2016, 6, 30)));
    EXPECT_EQ(gesichert, 1) << "the case file is saved at once";
    EXPECT_TRUE(KG::isFestgeschrieben(sieben));
    EXPECT_FALSE(KG::isFestgeschrieben(fuenf));
    EXPECT_TRUE(KG::isInFestschreibungsZeitraum(zDate(2016, 6, 30)));
    EXPECT_FALSE(KG::isInFestschreibungsZeitraum(zDate(2016, 7, 1)));
    EXPECT_EQ(KG::GetAnzBuchungenFestgeschrieben(), 1);
    QString loeschen, stornieren;
    KG::ermittleBuchungsnummernFuersLoeschenOderStornieren(QStringLiteral("%1,%2,%3").arg(fuenf).arg(sieben).arg(neun), loeschen,
                                                           stornieren);
    EXPECT_EQ(loeschen, QStringLiteral("%1,%2").arg(fuenf).arg(neun));
    EXPECT_EQ(stornieren, QString::number(sieben));

    EXPECT_TRUE(KG::setFestgeschriebenBis(zDate(2016, 6, 30)));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurFestschreibungen")), 1) << "the same date writes no second row";
    EXPECT_FALSE(KG::festschreibungAbschliessen(zDate(2016, 5, 1))) << "the wizard never moves the lock back";
    KG::festschreibungsZeitraum(von, bis);
    EXPECT_EQ(von, zDate(2016, 7, 1));
    ASSERT_TRUE(KG::festschreibungAbschliessen(zDate(2016, 12, 31)));
    KG::festschreibungsZeitraum(von, bis);
    EXPECT_EQ(von, zDate(2016, 12, 31));
    EXPECT_EQ(bis, zDate(2016, 12, 31));
    KG::setSichernHook(nullptr);

    const QString t = KG::getFestgeschriebenFragetext(1, 1);
    EXPECT_EQ(t, QStringLiteral("<p>Alle Buchungen bis zum 31.12.2016 sind bereits festgeschrieben.</p><p>Die neue Buchung wird deshalb "
                                "ebenfalls festgeschrieben.</p><p><b>Hinweis:</b> Bitte beachten Sie, dass Sie gegebenenfalls eine "
                                "korrigierte Umsatzsteuer-Voranmeldung abgeben müssen.</p><p>Möchten Sie buchen?</p>"));
    EXPECT_TRUE(KG::getFestgeschriebenFragetext(5, 3, QStringLiteral("01.02.2016"))
                    .contains(QStringLiteral("Möchten Sie die Buchung für den Anlageabgang des Wirtschaftsgutes am 01.02.2016 erzeugen?")));
    rsLog::clear();
    KG::getFestgeschriebenFragetext(14, 0);
    EXPECT_TRUE(rsLog::assertTexts().contains(QStringLiteral("!kontexttext.isEmpty()")));
    EXPECT_TRUE(kg->getFestschreibungMsgTextUStVaHinweis(7).isEmpty());
    EXPECT_TRUE(rsLog::assertTexts().contains(QStringLiteral("Falsche hinweisformatID: 7")));
    kg->setUstPflicht(false);
    EXPECT_FALSE(KG::getFestgeschriebenFragetext(0, 0).contains(QStringLiteral("Umsatzsteuer-Voranmeldung")));
    env.ui().queueAnswer(true);
    EXPECT_TRUE(KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), 1, 1));
    EXPECT_FALSE(KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), 1, 1));
}

TEST_F(Ledger, CsvExport) {
    QString csv;
    const unsigned long e = einnahme(119.0);
    ASSERT_NE(KG::storniereBuchung(e), 0u);
    EXPECT_EQ(KG::getBuchungenAsCSV(csv, false, QStringLiteral("eurVerbucht"), zDate(), zDate()), 0) << "a cancelled pair exports nothing";
    EXPECT_TRUE(csv.isEmpty());
    const QString pfad = env.path(QStringLiteral("export.csv"));
    EXPECT_EQ(KG::exportBuchungenAsCSV(pfad), 0);
    EXPECT_FALSE(QFile::exists(pfad));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Hinweis).contains(
        QStringLiteral("Es wurden keine Buchungen für den Export gefunden. Die Datei wurde nicht erzeugt.")));

    einnahme(100.0, 8400, 5, zDate(2016, 5, 1), true, QStringLiteral("Beratung; Mai"));
    ASSERT_NE(KG::insertSplittBuchung(splitt(1200, {QStringLiteral("Papier"), QStringLiteral("Miete"), QStringLiteral("Buch")})), 0u);

    csv.clear();
    EXPECT_EQ(KG::getBuchungenAsCSV(csv, true, QStringLiteral("eurVerbucht"), zDate(), zDate()), 2);
    const QStringList zeilen = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 5) << csv.toStdString();
    EXPECT_EQ(zeilen[0], QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;"
                                        "Gegenkontobezeichnung;Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;"
                                        "Belegnummer;Buchungsdatum;UStID;Umsatzart"));
    const QStringList netto = zeilen[1].split(QLatin1Char(';'));
    ASSERT_EQ(netto.size(), 17);
    EXPECT_EQ(netto[2], QStringLiteral("01.05.2016"));
    EXPECT_EQ(netto[3], QStringLiteral("Beratung, Mai"));
    EXPECT_EQ(netto[4], QStringLiteral("8400"));
    EXPECT_EQ(netto[6], QStringLiteral("1200"));
    EXPECT_EQ(netto[8], QStringLiteral("0"));
    EXPECT_EQ(netto[9], QStringLiteral("119,00"));
    EXPECT_EQ(netto[10], QStringLiteral("5"));
    EXPECT_EQ(netto[11], QStringLiteral("19,00"));
    for (int i = 0; i < 3; ++i) {
        const QStringList t = zeilen[2 + i].split(QLatin1Char(';'));
        ASSERT_EQ(t.size(), 17);
        EXPECT_EQ(t[1], QString::number(i + 1));
        EXPECT_EQ(t[6], QStringLiteral("1200"));
    }
    EXPECT_EQ(zeilen[2].split(QLatin1Char(';'))[8], QStringLiteral("119,00"));
    EXPECT_EQ(zeilen[3].split(QLatin1Char(';'))[8], QStringLiteral("500,00"));
    EXPECT_EQ(zeilen[4].split(QLatin1Char(';'))[8], QStringLiteral("11,90")) << "a net split part is exported gross";
    EXPECT_EQ(zeilen[4].split(QLatin1Char(';'))[5], QStringLiteral("Zeitschriften, Bücher"));

    csv.clear();
    EXPECT_EQ(KG::getBuchungenAsCSV(csv, false, QStringLiteral("eurVerbucht"), zDate(2016, 6, 1), zDate(2016, 6, 30)), 1);
    EXPECT_EQ(KG::exportBuchungenAsCSV(pfad), 2);
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).count(QLatin1Char('\n')), 5);
}

}  // namespace
