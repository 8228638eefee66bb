// The report indexes and the sums read through them: a case made before the
// indexes gets exactly the template's, every report gives the same figures
// with and without them, lines without a booking and cancelled bookings
// never count, a whole-euro base keeps its last euro, and with the indexes
// the reports' statements never sort.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldung.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

namespace {

using KG = KontoGlobal;

const char* const kIndizes[] = {"idx_eurVerbuchtBZ_KontoSteuer", "idx_eurVerbucht_UStID", "idx_eurVerbucht_Storno", "idx_eurVerbucht_Belegnummer"};

class Indizes : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        root.reset(Kont_::New());
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    }

    unsigned long buche(int art, unsigned long geld, unsigned long gegen, unsigned long key, double betrag, const zDate& d,
                        const QString& ustid = QString(), int zm = 0) {
        return testfall::buche(db, art, geld, gegen, key, betrag, d, ustid, zm);
    }

    // A year with every kind of line the reports tell apart: income and
    // expenses at both rates in several months, opening balances, an
    // intra-Community supply and acquisition, a service from another EU
    // country, a German VAT id, a booking of another year and a cancelled
    // booking.
    void buchungsjahr() {
        buche(6, 9000, 1200, 0, 5000.00, zDate(2016, 1, 1));
        buche(1, 1200, 8400, 5, 1190.00, zDate(2016, 1, 20));
        buche(1, 1000, 8300, 2, 107.00, zDate(2016, 2, 3));
        buche(2, 1200, 4930, 7, 119.00, zDate(2016, 3, 5));
        buche(2, 1200, 3425, 19, 1000.00, zDate(2016, 4, 7));
        buche(2, 1200, 3123, 94, 500.00, zDate(2016, 5, 9));
        buche(1, 1200, 8125, 25, 2000.00, zDate(2016, 5, 10), QStringLiteral("ATU12345678"), 3);
        buche(1, 1200, 8125, 25, 300.00, zDate(2016, 8, 11), QStringLiteral("FR12345678901"), 1);
        buche(1, 1200, 8125, 25, 400.00, zDate(2016, 8, 12), QStringLiteral("DE123456789"), 3);
        buche(4, 1200, 8400, 5, 119.00, zDate(2016, 6, 2));
        buche(1, 1200, 8400, 5, 2380.00, zDate(2015, 12, 30), QStringLiteral("ATU12345678"), 3);
        const unsigned long s = buche(1, 1200, 8400, 5, 999.00, zDate(2016, 7, 1), QStringLiteral("NL123456789B01"), 3);
        ASSERT_NE(KG::storniereBuchung(s), 0u);
    }

    // Every figure of the balance list, the advance VAT return, the profit
    // statement and the recapitulative statement over several periods, as
    // text; amounts with all their binary digits.
    QString alleZahlen() {
        auto zahl = [](double d) { return QString::number(d, 'g', 17); };
        QString t;
        const BerichtZeitraum zeitraeume[] = {{3, -1, -1, rsPeriod()},
                                              {1, 0, -1, rsPeriod()},
                                              {1, 4, -1, rsPeriod()},
                                              {2, -1, 1, rsPeriod()},
                                              {4, -1, -1, rsPeriod(zDate(2016, 2, 1), zDate(2016, 5, 15))}};
        for (const BerichtZeitraum& z : zeitraeume) {
            Saldenliste2 s;
            s.setZeitraum(z);
            QString csv;
            s.Print2CSV(csv);
            t += csv;
            for (auto it = s.konten().constBegin(); it != s.konten().constEnd(); ++it)
                t += QStringLiteral("%1:%2,%3,%4,%5\n")
                         .arg(it.key())
                         .arg(zahl(it->anfang.soll.alsDouble()), zahl(it->anfang.haben.alsDouble()), zahl(it->buchungen.soll.alsDouble()),
                              zahl(it->buchungen.haben.alsDouble()));
            Saldenliste2 druck;
            druck.setZeitraum(z);
            zPrintString p;
            druck.Print(p);
            t += p.text();
        }
        const int perioden[][3] = {{3, -1, -1}, {2, 0, -1}, {2, 1, -1}, {2, 3, -1}, {1, -1, 0}, {1, -1, 3}, {1, -1, 7}};
        for (const auto& p : perioden) {
            UStKennziffern k;
            t += Kont_::GetUmsaetzeFuer(0, k, p[0], p[1], p[2]) ? QStringLiteral("UStVA:") : QStringLiteral("keine UStVA:");
            for (const rsUStKennziffer& z : k)
                if (z.belegt) t += QStringLiteral("%1=%2;").arg(z.Kennziffer).arg(zahl(z.Betrag.alsDouble()));
            t += QLatin1Char('\n');
        }
        EUERechnung2 r;
        t += r.Fuellen() ? QStringLiteral("EÜR:") : QStringLiteral("keine EÜR:");
        for (const EUERechnung2::Kategorie& c : r.kategorien()) {
            t += QStringLiteral("%1=%2[").arg(c.kategorie).arg(zahl(c.summe.alsDouble()));
            for (const EUERechnung2::KontoSumme& k : c.konten) t += QStringLiteral("%1 %2=%3;").arg(k.konto).arg(k.bezeichnung, zahl(k.summe.alsDouble()));
            t += QStringLiteral("]");
        }
        t += QStringLiteral("%1 %2 %3 %4 %5\n")
                 .arg(zahl(r.einnahmen().alsDouble()), zahl(r.ausgaben().alsDouble()), zahl(r.iab().alsDouble()), zahl(r.iabAufloesung().alsDouble()),
                      zahl(r.gewinn().alsDouble()));
        for (int z : {-1, 0, 1, 4, 5, 11, 27}) {
            const auto m = KG::getUStIdMap(z);
            for (auto it = m.constBegin(); it != m.constEnd(); ++it) t += it.key() + QLatin1Char('=') + zahl(it->Betrag.alsDouble()) + QLatin1Char(';');
            t += KG::getZusammenfassendeMeldungCsv(m) + QLatin1Char('\n');
        }
        return t;
    }

    QString definition(const char* name) {
        return GetDatenTyp(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND name=") +
                                   rsDataSource::toSqlStr(QString::fromLatin1(name)))
            .toString();
    }
    static QString ohneLeerraum(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))).toLower(); }
    long long schemaVersion() { return GetDatenTyp(db, QStringLiteral("PRAGMA schema_version")).toLongLong(); }

    // The indexes of a case made before the report indexes.
    void wieEinAlterFall() {
        for (const char* n : kIndizes) ASSERT_TRUE(ExecSQL(db, QStringLiteral("DROP INDEX %1").arg(QLatin1String(n))));
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("CREATE INDEX idx_eurVerbuchtBZ_Konto ON eurVerbuchtBuchungszeilen (Konto)")));
    }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    std::unique_ptr<Kont_> root;
};

TEST_F(Indizes, AnOldCaseGetsTheTemplatesIndexesOnce) {
    QStringList vorlage;
    for (const char* n : kIndizes) {
        vorlage << definition(n);
        EXPECT_FALSE(vorlage.last().isEmpty()) << n << " is in the template";
    }
    EXPECT_TRUE(definition("idx_eurVerbuchtBZ_Konto").isEmpty()) << "replaced by the first column of the covering index";
    const long long v0 = schemaVersion();
    EXPECT_TRUE(Berichte::indizesSicherstellen(db));
    EXPECT_EQ(schemaVersion(), v0) << "a case that has them is only read";

    // An old case, with a narrower index of the same name as a test or an
    // earlier program made it.
    wieEinAlterFall();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("DROP INDEX idx_eurVerbuchtBZ_Konto; CREATE INDEX idx_eurVerbuchtBZ_Konto ON "
                                           "eurVerbuchtBuchungszeilen (Konto); CREATE INDEX idx_eurVerbuchtBZ_KontoSteuer ON "
                                           "eurVerbuchtBuchungszeilen (Konto, Steuerschluessel)")));
    EXPECT_TRUE(Berichte::indizesSicherstellen(db));
    for (int i = 0; i < vorlage.size(); ++i) EXPECT_EQ(ohneLeerraum(definition(kIndizes[i])), ohneLeerraum(vorlage[i])) << kIndizes[i];
    EXPECT_TRUE(definition("idx_eurVerbuchtBZ_Konto").isEmpty());
    const long long v1 = schemaVersion();
    EXPECT_TRUE(Berichte::indizesSicherstellen(db));
    EXPECT_EQ(schemaVersion(), v1) << "the second run changes nothing";

    // A database that cannot be written: the step fails and says why, the
    // reports still work.
    buchungsjahr();
    const QString mit = alleZahlen();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("DROP INDEX idx_eurVerbucht_UStID; PRAGMA query_only=1")));
    db->getErr()->clear();
    EXPECT_FALSE(Berichte::indizesSicherstellen(db));
    EXPECT_FALSE(db->getErr()->isEmpty());
    EXPECT_EQ(alleZahlen(), mit);
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("PRAGMA query_only=0")));
    EXPECT_TRUE(Berichte::indizesSicherstellen(db));
    EXPECT_FALSE(definition("idx_eurVerbucht_UStID").isEmpty());
}

TEST_F(Indizes, FiguresAreTheSameWithAndWithoutTheIndexes) {
    buchungsjahr();
    const QString mit = alleZahlen();
    // The figures are real ones: the year's sale, the supply to Austria and
    // the balance of the bank.
    EXPECT_TRUE(mit.contains(QStringLiteral("81=1000;"))) << mit.toStdString();
    EXPECT_TRUE(mit.contains(QStringLiteral("AT,U12345678,2000,L"))) << mit.toStdString();
    EXPECT_TRUE(mit.contains(QStringLiteral("1200;\"Bank\";5.000,00;0,00;"))) << mit.toStdString();
    wieEinAlterFall();
    EXPECT_EQ(alleZahlen(), mit);
    ASSERT_TRUE(Berichte::indizesSicherstellen(db));
    EXPECT_EQ(alleZahlen(), mit);
}

TEST_F(Indizes, LinesWithoutABookingAndCancelledBookingsNeverCount) {
    // A line without a booking number in a ledger where nothing else is
    // left out.
    buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 20));
    const QString einfach = alleZahlen();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Betrag, Haben, Konto, Steuerschluessel) "
                                           "VALUES (NULL, 50, -1, 8400, 5)")));
    EXPECT_EQ(alleZahlen(), einfach);

    buchungsjahr();
    const QString vorher = alleZahlen();

    // A booking that is cancelled leaves every figure as it was (the return
    // counts both, and they cancel out to the cent).
    const unsigned long n = buche(1, 1200, 8400, 5, 595.00, zDate(2016, 1, 25), QStringLiteral("ATU12345678"), 3);
    EXPECT_NE(alleZahlen(), vorher);
    ASSERT_NE(KG::storniereBuchung(n), 0u);
    EXPECT_EQ(alleZahlen(), vorher);

    // Lines whose booking number has no header, or no number at all, are no
    // bookings: a join with the header never saw them, and neither do the sums.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, SteuerID, Betrag, Haben, Konto, "
                                           "Steuerschluessel, Gegenkonto) VALUES (99999, 1, 100, -1, 8400, 5, 1200), "
                                           "(99999, 1, 100, 0, 1200, 0, 8400), (NULL, 1, 50, -1, 8125, 25, 1200)")));
    EXPECT_EQ(alleZahlen(), vorher);
    // More than fit into a list of numbers.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 100000 UNION ALL SELECT i+1 FROM n WHERE i<101500) "
                                           "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Betrag, Haben, Konto, Steuerschluessel) "
                                           "SELECT i, 1, -1, 8400, 5 FROM n")));
    EXPECT_EQ(alleZahlen(), vorher);
}

TEST_F(Indizes, ATaxLineTakesTheKeyOfItsBaseLine) {
    // Rent with input tax from another EU country on an account whose code is
    // a range and that has no key of its own: the tax line (key 999999)
    // reaches the code of its base line's key. Marked with that key itself,
    // the line gives the same figures.
    auto ledger = [&](int steuerzeilenSchluessel) {
        ExecSQL(db, QStringLiteral("DELETE FROM eurVerbucht; DELETE FROM eurVerbuchtBuchungszeilen"));
        EXPECT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Belegdatum, Storno, Storniert) VALUES "
                                               "(1, '2016-04-02 00:00:00', 0, 0), (2, '2016-04-03 00:00:00', 0, 0);"
                                               "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, SteuerID, Betrag, Haben, Konto, "
                                               "Steuerschluessel) VALUES (1, 1, 1000, 0, 4210, 19), (1, 1, 190, 0, 4210, %1), "
                                               "(1, 2, 1190, -1, 1200, 0), (2, 1, 10, 0, 4210, 0)")
                                    .arg(steuerzeilenSchluessel)))
            << db->getErr()->last().toStdString();
        return alleZahlen();
    };
    const QString gekennzeichnet = ledger(19);
    EXPECT_TRUE(gekennzeichnet.contains(QStringLiteral("89=1190;"))) << gekennzeichnet.toStdString();
    EXPECT_EQ(ledger(999999), gekennzeichnet);
}

TEST_F(Indizes, AWholeEuroBaseKeepsItsLastEuro) {
    // Twenty sales of 1 000 000,20: added as binary fractions, in any order,
    // they come to 20 000 003,999999993, and the base, cut to whole euros,
    // would lose a euro.
    QString zeilen;
    for (int i = 0; i < 20; ++i) zeilen += QStringLiteral("%1(%2, 1000000.20, -1, 8400, 5)").arg(i ? QStringLiteral(", ") : QString()).arg(i % 3 + 1);
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Belegdatum, Storno, Storniert) VALUES "
                                           "(1, '2016-04-02 00:00:00', 0, 0), (2, '2016-04-03 00:00:00', 0, 0), "
                                           "(3, '2016-04-04 00:00:00', 0, 0); INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, "
                                           "Betrag, Haben, Konto, Steuerschluessel) VALUES ") +
                            zeilen));
    UStKennziffern k;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, k, 3, -1, -1));
    EXPECT_EQ(k.value(81).Betrag.alsDouble(), 20000004.0);
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    UStVA::uebertrage(k, a, a2, v);
    EXPECT_EQ(a.felder[81].basis.alsDouble(), 20000004.0);
    EXPECT_EQ(a.felder[81].steuer, 3800000.76_eur);
    Saldenliste2 s;
    s.setZeitraum(BerichtZeitraum{});
    QString csv;
    s.Print2CSV(csv);
    EXPECT_TRUE(csv.contains(QStringLiteral("8400;\"Erlöse 19 % USt\";0,00;0,00;0,00;20.000.004,00;20.000.004,00;0,00"))) << csv.toStdString();
}

// The reports' sum in the database adds whole cents: a million lines of
// 0,10 are 100.000,00 to the cent.
TEST_F(Indizes, TheCentSumOfAMillionLinesIsExact) {
    const DatenTyp c = GetDatenTyp(db, QStringLiteral("WITH RECURSIVE z(n, Betrag) AS (SELECT 1, 0.1 UNION ALL SELECT n + 1, Betrag "
                                                      "FROM z WHERE n < 1000000) SELECT ") +
                                           Berichte::centSumme() + QStringLiteral(" FROM z"));
    EXPECT_EQ(EuroType::ausCent(Berichte::cent(c.toDouble())), 100000_eur);
}

// Statements that finish, with the sorts they did.
struct Protokoll {
    QStringList sql;
    QList<int> sortierungen;
    static int aufzeichnen(unsigned, void* ctx, void* p, void*) {
        auto* self = static_cast<Protokoll*>(ctx);
        auto* st = static_cast<sqlite3_stmt*>(p);
        self->sql << QString::fromUtf8(sqlite3_sql(st));
        self->sortierungen << sqlite3_stmt_status(st, SQLITE_STMTSTATUS_SORT, 0) + sqlite3_stmt_status(st, SQLITE_STMTSTATUS_AUTOINDEX, 0);
        return 0;
    }
};

TEST_F(Indizes, TheReportsSumWithoutSorting) {
    buchungsjahr();
    auto berichte = [&]() {
        Protokoll p;
        sqlite3_trace_v2(db->handle(), SQLITE_TRACE_PROFILE, &Protokoll::aufzeichnen, &p);
        Saldenliste2 s;
        s.setZeitraum(BerichtZeitraum{});
        QString csv;
        s.Print2CSV(csv);
        UStKennziffern k;
        Kont_::GetUmsaetzeFuer(0, k, 3, -1, -1);
        EUERechnung2 r;
        r.Fuellen();
        KG::getUStIdMap(-1);
        Kont_::berechneFormularwerte(QStringLiteral("EUR"), 3);
        BerichtListe belege;
        Berichte::findeBericht(QStringLiteral("beleganalyse"))->fuellen(BerichtParameter(), &belege, nullptr);
        sqlite3_trace_v2(db->handle(), 0, nullptr, nullptr);
        return p;
    };
    const Protokoll mit = berichte();
    int summen = 0;
    for (int i = 0; i < mit.sql.size(); ++i) {
        if (!mit.sql[i].contains(QLatin1String("GROUP BY")) && !mit.sql[i].contains(QLatin1String("ORDER BY Belegnummer"))) continue;
        ++summen;
        EXPECT_EQ(mit.sortierungen[i], 0) << mit.sql[i].toStdString();
    }
    EXPECT_EQ(summen, 6) << "balance list, return, profit, recapitulative statement, form, document analysis";
    // Without the indexes the same statements sort: the check above sees it.
    wieEinAlterFall();
    const Protokoll ohne = berichte();
    int sortiert = 0;
    for (int n : ohne.sortierungen) sortiert += n > 0;
    EXPECT_GE(sortiert, 3);
}

}  // namespace
