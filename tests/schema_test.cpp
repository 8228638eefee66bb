// Checks the two databases the build makes from data/: the empty case
// template belka16.db3 and the program's reference database referenz16.db3.
//
// The databases are opened read-only and copied into memory, so the tests may
// insert rows without touching the build output.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Columns = std::vector<std::string>;

std::string dataFile(const char* name) {
    const char* dir = std::getenv("DALVO_DATA_DIR");
    return std::string(dir ? dir : ".") + "/" + name;
}

class Db {
public:
    explicit Db(const std::string& path) {
        sqlite3* src = nullptr;
        if (sqlite3_open_v2(path.c_str(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            m_error = "cannot open " + path;
            sqlite3_close(src);
            return;
        }
        sqlite3_open(":memory:", &m_db);
        sqlite3_backup* copy = sqlite3_backup_init(m_db, "main", src, "main");
        if (!copy || sqlite3_backup_step(copy, -1) != SQLITE_DONE)
            m_error = "cannot copy " + path;
        sqlite3_backup_finish(copy);
        sqlite3_close(src);
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    // Result code of the statement (SQLITE_OK, SQLITE_CONSTRAINT, ...).
    int exec(const std::string& sql) {
        char* err = nullptr;
        int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err);
        m_lastError = err ? err : "";
        sqlite3_free(err);
        return rc & 0xff;
    }
    const std::string& lastError() const { return m_lastError; }

    bool prepares(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr);
        m_lastError = rc == SQLITE_OK ? "" : sqlite3_errmsg(m_db);
        sqlite3_finalize(st);
        return rc == SQLITE_OK;
    }

    // All rows as text; NULL becomes "<NULL>". Text parameters are bound to ?1, ?2 ...
    std::vector<Columns> rows(const std::string& sql, const Columns& params = {}) {
        std::vector<Columns> out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in: " << sql;
            return out;
        }
        for (size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_text(st, int(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Columns row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                row.push_back(t ? reinterpret_cast<const char*>(t) : "<NULL>");
            }
            out.push_back(row);
        }
        sqlite3_finalize(st);
        return out;
    }

    std::string value(const std::string& sql, const Columns& params = {}) {
        auto r = rows(sql, params);
        return r.empty() || r[0].empty() ? "<NONE>" : r[0][0];
    }
    long long number(const std::string& sql, const Columns& params = {}) {
        return std::atoll(value(sql, params).c_str());
    }

    Columns columns(const std::string& table) {
        Columns out;
        for (const auto& r : rows("PRAGMA table_info(" + table + ")"))
            out.push_back(r[1]);
        return out;
    }
    std::set<std::string> objects(const std::string& type) {
        std::set<std::string> out;
        for (const auto& r : rows("SELECT name FROM sqlite_master WHERE type=?1", {type}))
            out.insert(r[0]);
        return out;
    }

private:
    sqlite3* m_db = nullptr;
    std::string m_error;
    std::string m_lastError;
};

std::string lowered(std::string s) {
    for (char& ch : s) ch = char(std::tolower((unsigned char)ch));
    return s;
}

// Column names as SQLite compares them, without regard to case.
std::string missingColumns(Db& db, const std::string& table, const Columns& wanted) {
    std::set<std::string> have;
    for (const auto& c : db.columns(table)) have.insert(lowered(c));
    std::string missing;
    for (const auto& c : wanted)
        if (!have.count(lowered(c))) missing += " " + c;
    return missing;
}

const Columns kHeader = {"Buchungsnummer", "Buchungstext", "Periode", "Stapel", "Storno", "Storniert",
                         "Betrag", "Netto", "Belegdatum", "Buchungsdatum", "Belegnummer", "Buchungsart",
                         "Zusatzinfo", "Intervall", "UStID", "ZMArt", "Zahlungsdatum", "Herkunft"};
const Columns kLine = {"Buchungsnummer", "SteuerID", "Dialogzeile", "Betrag", "Haben", "Fremdbelegnummer",
                       "Konto", "Kostenstelle", "Steuerschluessel", "Gegenkonto", "Buchungstext", "OPOSNummer",
                       "Splitt", "SplittBetrag", "SplittNetto", "AufteilungViaProzent",
                       "AufteilungProzentsatz", "RestBeiProzent"};
const Columns kLineTables = {"eurVerbuchtBuchungszeilen", "eurStapelBuchungszeilen", "eurBeispielBuchungszeilen",
                             "eurUebernahmeBuchungszeilen", "eurSplittBuchungszeilen"};

Columns plus(Columns base, const Columns& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

std::string joined(const Columns& c) {
    std::string s;
    for (const auto& x : c) s += (s.empty() ? "" : ", ") + x;
    return s;
}

// Every table of a case database with the columns the program reads or writes.
std::vector<std::pair<std::string, Columns>> caseSchema() {
    const Columns doc = {"ID", "Nummer", "PersonID", "Lieferdatum", "ZeitraumVon", "ZeitraumBis", "Art",
                         "Anzahlung", "bezahlt", "Gesamtbetrag", "Datum", "Erinnerungsdatum", "Anschreiben"};
    const Columns pos = {"ID", "PositionID", "ArtikelID", "Menge", "Preis", "Bruttopreis", "BruttoNettoGetrennt",
                         "Brutto", "Rabatt", "Steuerschluessel", "Einheit", "Konto"};
    return {
        {"eurVerbucht", plus(kHeader, {"Dreieck"})},
        {"eurStapel", plus(kHeader, {"Dreieck"})},
        {"eurBeispiel", plus(kHeader, {"Dreieck"})},
        {"eurUebernahme", plus(kHeader, {"Dreieck", "geprueft", "UmsatzID", "UmsatzUebernehmen"})},
        {"eurVerbuchtBuchungszeilen", plus({"ID"}, kLine)},
        {"eurStapelBuchungszeilen", plus({"ID"}, kLine)},
        {"eurBeispielBuchungszeilen", plus({"ID"}, kLine)},
        {"eurUebernahmeBuchungszeilen", plus({"ID"}, kLine)},
        {"eurSplittBuchungszeilen", plus({"ID"}, kLine)},
        {"eurVerbuchtBuchungszeilenPlus", plus(plus({"ID"}, kLine), {"Zusatzinfo"})},
        {"Falleigenschaften", {"Feld", "Wert"}},
        {"Version", {"Version"}},
        {"eurKontenplan", {"Nummer", "Bezeichnung", "Kurzbezeichnung", "Kategorie", "Kostenstellenautomatik",
                           "Kostenstelle", "Steuerautomatik", "Steuerschluessel", "Verdichtung", "EB_Erzeugung",
                           "KeineOPBuchungen", "UStVA", "USt", "GewSt", "EUR", "EUR_HABEN", "EUR_AV", "Aktiv",
                           "Geaendert"}},
        {"eurKategorien", {"Kategorie", "Bezeichnung", "BilanzAktiva", "BilanzPassiva", "GundV", "EUR", "BWA",
                           "Rang", "Kontenklasse1", "Kontenklasse2", "Kontenklasse3", "Kontenklasse4"}},
        {"eurKontenklassen", {"vonKonto", "bisKonto", "Bezeichnung"}},
        {"eurSteuerschluessel", {"Steuerschluessel", "Bezeichnung", "Kurzbezeichnung", "Steuersatz", "IG_Erwerb",
                                 "im_Hundert", "Steuerkonto", "Steuerkonto2", "VAKZUmsatz", "VAKZSteuer",
                                 "UStKZUmsatz", "UStKZSteuer", "Steuerart", "Sortierung", "Laenderkuerzel",
                                 "Reduziert", "Laendername", "Necessary", "Aktiv"}},
        {"eurFormulare", {"Formular", "Kennziffer", "Bezeichnung", "Variable", "HabenPositiv"}},
        {"eurKennzifferbereiche", {"Bereichsnummer", "Steuerschluessel", "Formular", "Kennziffer"}},
        {"eurBankverbindung", {"BankverbindungID", "Bezeichnung", "Kontonummer", "BLZ", "IBAN", "BIC", "Bank",
                               "OnlineArt", "KontoArt", "PaypalOnlineArt", "VelotraKontaktID", "VelotraBlob",
                               "kpNummer", "LetzterImportMG", "BankSaldo"}},
        {"eurUmsatz", {"UmsatzID", "BankverbindungID", "Buchungsdatum", "Betrag", "Buchungstext", "Empfaenger",
                       "EmpfaengerKontonummer", "EmpfaengerBLZ", "EmpfaengerIBAN", "EmpfaengerBIC", "MasterID",
                       "Status", "ID", "Buchungsnummer", "Steuersatz", "Kategorie1", "Kategorie2", "Kategorie3",
                       "Kategorie4", "Kategorie5"}},
        {"Velotra", {}},
        {"eurKassenabschluss", {"AbschlussID", "Konto", "KassenID", "Saldo", "GezaehlterSaldo", "Datum"}},
        {"eurKassenbuchExporte", {"ExportID", "Konto", "KassenID", "Saldo", "Datum"}},
        {"eurKassenbuchImporte", {"ImportID", "ExportID", "Konto", "KassenID", "Saldo", "Datum"}},
        {"eurExportierteKassen", {"Konto", "KassenID", "Datum"}},
        {"eurExportierteDaten", {"Id", "Datenpfad", "Variable", "Wert"}},
        {"eurFestschreibungen", {"bisZum", "erzeugtAm"}},
        {"eurSperrgrenzen", {"Betrag", "Bezeichnung"}},
        {"AfA_Zeitraum", {"Gut", "dauer", "dauer2001", "nr", "amtlAFAT", "ID"}},
        {"reAngebote", plus(doc, {"Gueltigkeitsdatum"})},
        {"reAuftragsbestaetigungen", plus(doc, {"AngebotsID"})},
        {"reLieferscheine", plus(doc, {"AngebotsID", "AuftragsbestaetigungID"})},
        {"reRechnungen", plus(doc, {"AngebotsID", "AuftragsbestaetigungID", "LieferscheinID", "Zahlungsziel",
                                    "Skonto", "Kleinunternehmerregelung", "VersandkostenSteuersatz"})},
        {"reMahnungen", plus(doc, {"RechnungsID", "Mahnstufe", "Zahlungsziel"})},
        {"reAngebotePositionen", pos},
        {"reAuftragsbestaetigungenPositionen", pos},
        {"reLieferscheinePositionen", pos},
        {"reRechnungenPositionen", pos},
        {"reTempPositionen", pos},
        {"rePersonen", {"PersonID", "Kundennummer", "Anrede", "Vorname", "Name", "Firma", "Art", "Notiz", "Kunde",
                        "IstInteressent", "EnthaeltNotiz", "UStID"}},
        {"reArtikel", {"ArtikelID", "Normalpreis", "Mindestpreis", "Bruttonormalpreis", "Bruttomindestpreis",
                       "BruttoNettoGetrennt", "Brutto", "Steuerschluessel", "Einheit", "Konto", "Gewicht"}},
        {"rePreise", {"PreisID", "ArtikelID", "Preis", "Bruttopreis", "BruttoNettoGetrennt"}},
        {"reRabatt", {"ArtikelID"}},
        {"reEinheiten", {"EinheitID", "Kuerzel", "Nachkommastellen", "NachkommastellenPreis"}},
        {"reZahlungsbedingungen", {"ZahlungsbedingungID", "Bezeichnung", "Skonto1", "Skonto2", "Skonto3"}},
        {"reWarengruppen", {"WarengruppeID", "Steuerschluessel"}},
        {"reVersandkosten", {}},
        {"reVerwaltung", {"VerwaltungID", "Rechnungsnummer", "Rechnungsnummerformat", "Lieferscheinnummerfomat",
                          "Kundennummer", "Artikelnummer", "VorlageRechnung", "VorlageMahnung"}},
        {"reKundensalden", {"KundensaldoID", "PersonID", "Saldo"}},
        {"reBankverbindungen", {"PersonID", "Kontonummer", "BLZ", "IBAN", "BIC", "Bank"}},
        {"eingangLieferanten", {"ID", "Name", "UStID", "Steuernummer", "IBAN", "Land", "Ort", "Konto"}},
        {"eingangRechnungen", {"ID", "LieferantID", "Nummer", "Typ", "Gutschrift", "Syntax", "Profil", "Rechnungsdatum", "Faellig",
                               "Netto", "Steuer", "Brutto", "Zahlbetrag", "IBAN", "BIC", "Zahlungsreferenz", "Dateiname", "Original",
                               "SHA256", "Eingelesen", "Konto", "BeiZahlung", "Buchungsnummer", "Bezahlt"}},
        {"eingangSteuern", {"ID", "RechnungID", "Kategorie", "Satz", "Basis", "Steuer", "Grund"}},
    };
}

class TemplateTest : public ::testing::Test {
protected:
    TemplateTest() : db(dataFile("belka16.db3")) {}
    void SetUp() override { ASSERT_TRUE(db.ok()) << db.error(); }
    Db db;
};

TEST_F(TemplateTest, EveryTableAndViewHasTheColumnsTheProgramUses) {
    std::set<std::string> known;
    for (const auto& [table, cols] : caseSchema()) {
        known.insert(table);
        Columns have = db.columns(table);
        ASSERT_FALSE(have.empty()) << "table missing: " << table;
        EXPECT_EQ("", missingColumns(db, table, cols)) << "columns missing in " << table;
    }
    // A table in the template that the program does not know is a typo or a
    // leftover, and it would be copied into every new case.
    for (const auto& t : db.objects("table")) {
        if (t != "sqlite_sequence") {
            EXPECT_TRUE(known.count(t)) << "unexpected table " << t;
        }
    }
    EXPECT_EQ(std::set<std::string>{"eurVerbuchtBuchungszeilenPlus"}, db.objects("view"));
}

TEST_F(TemplateTest, BookingFamiliesShareTheirColumns) {
    // Bookings are copied between the families column by column (templates
    // to ledger, bank proposals to ledger, cancellations within the ledger).
    Columns ledger = db.columns("eurVerbucht");
    EXPECT_EQ(ledger, db.columns("eurStapel"));
    EXPECT_EQ(ledger, db.columns("eurBeispiel"));
    Columns uebernahme = db.columns("eurUebernahme");
    ASSERT_GE(uebernahme.size(), ledger.size());
    EXPECT_EQ(ledger, Columns(uebernahme.begin(), uebernahme.begin() + ledger.size()));
    for (const auto& t : kLineTables)
        EXPECT_EQ(db.columns("eurVerbuchtBuchungszeilen"), db.columns(t)) << t;
}

TEST_F(TemplateTest, HoldsNoDataBesidesTheVersion) {
    for (const auto& t : db.objects("table")) {
        if (t == "Version" || t == "sqlite_sequence") continue;
        EXPECT_EQ(0, db.number("SELECT COUNT(*) FROM " + t)) << t << " is not empty";
    }
}

TEST_F(TemplateTest, LineIdsAreAssignedAscendingAndNeverReused) {
    for (const auto& t : kLineTables) {
        SCOPED_TRACE(t);
        const std::string insert = "INSERT INTO " + t + " (Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Konto)";
        ASSERT_EQ(SQLITE_OK, db.exec(insert + " VALUES (1, 0, 1, 100.0, 0, 1000)")) << db.lastError();
        ASSERT_EQ(SQLITE_OK, db.exec(insert + " VALUES (1, 1, 2, 100.0, -1, 8400)")) << db.lastError();
        auto ids = db.rows("SELECT ID FROM " + t + " ORDER BY SteuerID");
        ASSERT_EQ(2u, ids.size());
        long long first = std::atoll(ids[0][0].c_str()), second = std::atoll(ids[1][0].c_str());
        EXPECT_GT(first, 0);
        EXPECT_GT(second, first);

        // A line ID freed by deleting the newest line must not come back:
        // deleted lines may still be referenced by a caller's stored line key.
        ASSERT_EQ(SQLITE_OK, db.exec("DELETE FROM " + t + " WHERE ID=" + std::to_string(second)));
        ASSERT_EQ(SQLITE_OK, db.exec(insert + " VALUES (2, 0, 1, 50.0, 0, 1000)"));
        EXPECT_GT(db.number("SELECT ID FROM " + t + " WHERE Buchungsnummer=2"), second);
    }
}

TEST_F(TemplateTest, PostingInsertsLeaveUnlistedColumnsAtZero) {
    // The posting code writes exactly the listed columns; everything else,
    // the triangular-transaction flag above all, must come out as 0 and not
    // NULL, or the consistency checks report a ZM kind without a VAT ID.
    ASSERT_EQ(SQLITE_OK, db.exec("INSERT INTO eurVerbucht (" + joined(kHeader) + ") VALUES "
                                 "(7, 'Miete', 0, 0, 0, 0, 500.0, 0, '2016-03-01 00:00:00', "
                                 "'2016-03-02 00:00:00', 'B7', 2, '', '', '', 0, '2016-03-01 00:00:00', 10)"))
        << db.lastError();
    EXPECT_EQ("0", db.value("SELECT Dreieck FROM eurVerbucht WHERE Buchungsnummer=7"));

    ASSERT_EQ(SQLITE_OK, db.exec("INSERT INTO eurUebernahme (Buchungsnummer, Betrag) VALUES (3, 10.0)"));
    EXPECT_EQ((Columns{"0", "0", "0", "0"}),
              db.rows("SELECT Dreieck, geprueft, UmsatzID, UmsatzUebernehmen FROM eurUebernahme")[0]);

    ASSERT_EQ(SQLITE_OK, db.exec("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Konto, Betrag) "
                                 "VALUES (7, 4210, 500.0)"));
    EXPECT_EQ((Columns{"0", "0", "0", "0", "0", "0"}),
              db.rows("SELECT Haben, Steuerschluessel, Splitt, SplittNetto, AufteilungViaProzent, RestBeiProzent "
                      "FROM eurVerbuchtBuchungszeilen")[0]);
}

TEST_F(TemplateTest, ViewAddsTheHeadersZusatzinfoToEveryLine) {
    ASSERT_EQ(SQLITE_OK, db.exec("INSERT INTO eurVerbucht (Buchungsnummer, Betrag, Zusatzinfo) VALUES "
                                 "(1, 119.0, 'RE-2016-0001'), (2, 50.0, 'FromBsp:4')"));
    ASSERT_EQ(SQLITE_OK, db.exec("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, SteuerID, Konto, "
                                 "Steuerschluessel, Betrag) VALUES (1, 0, 1200, 0, 119.0), (1, 1, 8400, 3, 100.0), "
                                 "(1, 1, 1776, 999999, 19.0), (2, 0, 1000, 0, 50.0), (9, 0, 1000, 0, 1.0)"));
    auto rows = db.rows("SELECT Buchungsnummer, Konto, Zusatzinfo FROM eurVerbuchtBuchungszeilenPlus ORDER BY ID");
    ASSERT_EQ(5u, rows.size()) << "every line exactly once";
    EXPECT_EQ((Columns{"1", "1200", "RE-2016-0001"}), rows[0]);
    EXPECT_EQ((Columns{"1", "1776", "RE-2016-0001"}), rows[2]);
    EXPECT_EQ((Columns{"2", "1000", "FromBsp:4"}), rows[3]);
    EXPECT_EQ((Columns{"9", "1000", "<NULL>"}), rows[4]) << "a line without header still shows";
    EXPECT_EQ("1", db.value("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilenPlus "
                            "WHERE Steuerschluessel >= 1 AND Steuerschluessel<>999999 AND Zusatzinfo='RE-2016-0001'"));
}

TEST_F(TemplateTest, KeysRejectDuplicates) {
    struct Case {
        const char* what;
        std::string first, duplicate, distinct;
    };
    const std::vector<Case> cases = {
        {"case property", "INSERT INTO Falleigenschaften (Feld, Wert) VALUES ('Steuerjahr', '2016')",
         "INSERT INTO Falleigenschaften (Feld, Wert) VALUES ('Steuerjahr', '2015')",
         "INSERT INTO Falleigenschaften (Feld, Wert) VALUES ('UstPflicht', '1')"},
        {"account", "INSERT INTO eurKontenplan (Nummer, Bezeichnung) VALUES (1000, 'Kasse')",
         "INSERT INTO eurKontenplan (Nummer, Bezeichnung) VALUES (1000, 'Kasse 2')",
         "INSERT INTO eurKontenplan (Nummer, Bezeichnung) VALUES (1001, 'Kasse 2')"},
        {"booking", "INSERT INTO eurVerbucht (Buchungsnummer, Betrag) VALUES (5, 1.0)",
         "INSERT INTO eurVerbucht (Buchungsnummer, Betrag) VALUES (5, 2.0)",
         "INSERT INTO eurVerbucht (Buchungsnummer, Betrag) VALUES (6, 2.0)"},
        // Closings are numbered per cash account: the first closing of a
        // second register is number 1 again.
        {"cash closing", "INSERT INTO eurKassenabschluss (AbschlussID, Konto, Saldo) VALUES (1, 1000, 10.0)",
         "INSERT INTO eurKassenabschluss (AbschlussID, Konto, Saldo) VALUES (1, 1000, 20.0)",
         "INSERT INTO eurKassenabschluss (AbschlussID, Konto, Saldo) VALUES (1, 1001, 20.0)"},
        // Positions are numbered within their document.
        {"invoice position", "INSERT INTO reRechnungenPositionen (ID, PositionID, Menge) VALUES (3, 1, 1)",
         "INSERT INTO reRechnungenPositionen (ID, PositionID, Menge) VALUES (3, 1, 2)",
         "INSERT INTO reRechnungenPositionen (ID, PositionID, Menge) VALUES (4, 1, 2)"},
        {"form code", "INSERT INTO eurFormulare (Formular, Kennziffer) VALUES (0, 81)",
         "INSERT INTO eurFormulare (Formular, Kennziffer) VALUES (0, 81)",
         "INSERT INTO eurFormulare (Formular, Kennziffer) VALUES (1, 81)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(SQLITE_OK, db.exec(c.first)) << db.lastError();
        EXPECT_EQ(SQLITE_CONSTRAINT, db.exec(c.duplicate));
        EXPECT_EQ(SQLITE_OK, db.exec(c.distinct)) << db.lastError();
    }
    EXPECT_EQ("2016", db.value("SELECT Wert FROM Falleigenschaften WHERE Feld='Steuerjahr'"))
        << "a rejected duplicate must not overwrite the stored value";
}

// --- reference database ------------------------------------------------------

std::string validFor(int year, const std::string& prefix = "") {
    const std::string d = "'" + std::to_string(year) + "-12-31 00:00:00'";
    return " " + prefix + "gueltig_ab <= " + d + " AND  (" + prefix + "gueltig_bis = '' OR " + prefix +
           "gueltig_bis >= " + d + ") ";
}

class ReferenceTest : public ::testing::Test {
protected:
    ReferenceTest() : db(dataFile("referenz16.db3")) {}
    void SetUp() override { ASSERT_TRUE(db.ok()) << db.error(); }
    Db db;
};

TEST(Databases, VersionIsExactlyOneCurrentRow) {
    for (const char* file : {"belka16.db3", "referenz16.db3"}) {
        Db db(dataFile(file));
        ASSERT_TRUE(db.ok()) << db.error();
        EXPECT_EQ(1, db.number("SELECT COUNT(*) FROM Version")) << file;
        EXPECT_EQ(20161425, db.number("SELECT MAX(Version) FROM Version")) << file;
    }
}

TEST_F(ReferenceTest, TemplateTablesCarryTheColumnsACaseIsBuiltFrom) {
    const Columns validity = {"gueltig_ab", "gueltig_bis"};
    const std::vector<std::pair<std::string, Columns>> tables = {
        {"Kontenrahmen", plus(validity, {"SKR03", "SKR04", "SKR80", "SKR81", "Bezeichnung", "Kurzbezeichnung",
                                         "Kategorie", "Kostenstellenautomatik", "Kostenstelle", "Steuerautomatik",
                                         "Steuerschluessel", "Verdichtung", "EB_Erzeugung", "KeineOPBuchungen",
                                         "UStVA", "USt", "GewSt", "EUR", "EUR_HABEN", "Aktiv", "EUR_AV",
                                         "necessary", "DeaktivBeiKeinerUSt", "Build"})},
        {"Kontobezeichnungen", {"Kontenrahmen", "Nummer", "Bezeichnung", "Kurzbezeichnung"}},
        {"Kategorien", plus(validity, {"Kategorie", "Bezeichnung", "Rang", "BilanzAktiva", "BilanzPassiva", "GundV",
                                       "EUR", "BWA", "Kontenklassen_SKR03", "Kontenklassen_SKR04",
                                       "Kontenklassen_SKR80", "Kontenklassen_SKR81"})},
        {"SKR03_Kontenklassen", plus(validity, {"vonKonto", "bisKonto", "Bezeichnung"})},
        {"SKR04_Kontenklassen", plus(validity, {"vonKonto", "bisKonto", "Bezeichnung"})},
        {"SKR80_Kontenklassen", plus(validity, {"vonKonto", "bisKonto", "Bezeichnung"})},
        {"SKR81_Kontenklassen", plus(validity, {"vonKonto", "bisKonto", "Bezeichnung"})},
        {"Steuerschluessel", plus(validity, {"Steuerschluessel", "Bezeichnung", "Kurzbezeichnung", "Steuersatz",
                                             "IG_Erwerb", "im_Hundert", "SKR03_Steuerkonto", "SKR03_Steuerkonto2",
                                             "SKR04_Steuerkonto", "SKR04_Steuerkonto2", "SKR80_Steuerkonto",
                                             "SKR80_Steuerkonto2", "SKR81_Steuerkonto", "SKR81_Steuerkonto2",
                                             "VAKZUmsatz", "VAKZSteuer", "UStKZUmsatz", "UStKZSteuer", "Steuerart",
                                             "Sortierung", "Laenderkuerzel", "Reduziert", "Laendername",
                                             "Necessary", "Aktiv"})},
        {"eurFormulare", plus(validity, {"Formular", "Kennziffer", "Bezeichnung", "HabenPositiv", "Variable"})},
        {"Formulare", plus(validity, {"Formular", "Kennziffer", "Bezeichnung", "HabenPositiv", "Variable"})},
        {"Kennzifferbereiche", plus(validity, {"Bereichsnummer", "Steuerschluessel", "Formular", "Kennziffer"})},
        {"Sperrgrenzen", plus(validity, {"Bezeichnung", "Vorjahr", "Neujahr"})},
        {"AfA_Zeitraum", plus(validity, {"nr", "amtlAFAT", "Gut", "dauer", "dauer2001", "ID"})},
        {"KritischeBegriffe", {"Begriff"}},
    };
    for (const auto& [table, cols] : tables) {
        ASSERT_FALSE(db.columns(table).empty()) << "table missing: " << table;
        EXPECT_EQ("", missingColumns(db, table, cols)) << "columns missing in " << table;
    }
    // Names are joined to the chart rows, whose validity clause is written
    // without a table prefix: a second pair of validity columns would make it
    // ambiguous.
    EXPECT_TRUE(db.prepares("SELECT k.SKR04, COALESCE(b.Bezeichnung, k.Bezeichnung) FROM Kontenrahmen k "
                            "LEFT JOIN Kontobezeichnungen b ON b.Kontenrahmen='SKR04' AND b.Nummer=k.SKR04 "
                            "WHERE k.SKR04<>0 AND " + validFor(2016)))
        << db.lastError();
}

TEST_F(ReferenceTest, ExampleTablesMatchTheCaseTemplateFamily) {
    // Example bookings are taken over into eurBeispiel column by column.
    Db tpl(dataFile("belka16.db3"));
    ASSERT_TRUE(tpl.ok()) << tpl.error();
    for (const char* t : {"eurBeispielMitUSt2007", "eurBeispielMitUSt2005", "eurBeispielOhneUSt2005",
                          "eurBeispielSKR80MitUSt", "eurBeispielSKR80OhneUSt", "eurBeispielSKR81MitUSt",
                          "eurBeispielSKR81OhneUSt", "eurBeispielMitUSt"}) {
        EXPECT_EQ(tpl.columns("eurBeispiel"), db.columns(t)) << t;
        EXPECT_EQ(tpl.columns("eurBeispielBuchungszeilen"), db.columns(std::string(t) + "Buchungszeilen")) << t;
    }
}

TEST_F(ReferenceTest, ExampleLinesForTheTaxKeyRepairExist) {
    const std::vector<Columns> lines = {
        {"50", "8125", "25", "Steuerfreie innergemeinschaftliche Lieferungen"},
        {"52", "8130", "25", "Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften"},
        {"54", "8336", "26",
         "Erlöse aus im anderen EU-Land steuerpflichtigen elektronischen Leistungen im Sinne des § 13b UStG"},
        {"55", "8337", "27",
         "Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet"},
    };
    for (const auto& l : lines) {
        EXPECT_EQ(1, db.number("SELECT COUNT(*) FROM eurBeispielMitUSt2007Buchungszeilen WHERE Buchungsnummer=?1 "
                               "AND Konto=?2 AND Steuerschluessel=?3 AND Buchungstext=?4",
                               l))
            << l[0] << " " << l[1];
    }
    // Each example is a whole booking: a header and a first dialog line,
    // or the clean-up of a case would remove it.
    EXPECT_EQ("0", db.value("SELECT COUNT(*) FROM eurBeispielMitUSt2007 WHERE Buchungsnummer NOT IN "
                            "(SELECT Buchungsnummer FROM eurBeispielMitUSt2007Buchungszeilen WHERE Dialogzeile=1)"));
    EXPECT_EQ("0", db.value("SELECT COUNT(*) FROM eurBeispielMitUSt2007Buchungszeilen WHERE Buchungsnummer NOT IN "
                            "(SELECT Buchungsnummer FROM eurBeispielMitUSt2007)"));
}

const std::vector<std::pair<int, int>> kSpecialAccounts = {
    {1000, 1600}, {1200, 1800}, {1571, 1401}, {1576, 1406}, {1771, 3801}, {1776, 3806},
    {1780, 3820}, {1781, 3830}, {2650, 7100}, {9000, 9000}, {9008, 9008}, {9009, 9009}};

TEST_F(ReferenceTest, SpecialAccountsMapAcrossChartsInBothSupportedYears) {
    for (int year : {2015, 2016}) {
        SCOPED_TRACE(year);
        std::map<int, int> map;
        for (const auto& r : db.rows("SELECT SKR03, SKR04 as MapTo FROM Kontenrahmen AS k1 WHERE necessary<>0  AND " +
                                     validFor(year)))
            map[std::atoi(r[0].c_str())] = std::atoi(r[1].c_str());
        for (const auto& [skr03, skr04] : kSpecialAccounts) {
            ASSERT_TRUE(map.count(skr03)) << skr03 << " is not a special account";
            EXPECT_EQ(skr04, map[skr03]) << skr03;
        }
    }
}

std::vector<int> splitNumbers(const std::string& list) {
    std::vector<int> out;
    std::stringstream ss(list);
    std::string part;
    while (std::getline(ss, part, ','))
        if (part.find_first_not_of(" ") != std::string::npos) out.push_back(std::atoi(part.c_str()));
    return out;
}

// Categories name at most the four classes a case's category row holds, and
// only classes the framework has. (Each account lying in its category's
// classes is checked over all frameworks with the other reference data.)
TEST_F(ReferenceTest, CategoriesNameAtMostFourKnownClasses) {
    for (const std::string fw : {"SKR03", "SKR04"}) {
        SCOPED_TRACE(fw);
        std::set<int> classes;
        for (const auto& r : db.rows("SELECT vonKonto FROM " + fw + "_Kontenklassen WHERE " + validFor(2016)))
            classes.insert(std::atoi(r[0].c_str()));
        ASSERT_FALSE(classes.empty());
        for (const auto& r : db.rows("SELECT Kategorie, Kontenklassen_" + fw + " FROM Kategorien WHERE " + validFor(2016))) {
            auto list = splitNumbers(r[1]);
            EXPECT_LE(list.size(), 4u) << "category " << r[0];
            for (int c : list) EXPECT_TRUE(classes.count(c)) << "category " << r[0] << " names unknown class " << c;
        }
    }
}

TEST_F(ReferenceTest, NoTaxKeyIsOfferedForEveryBookingKind) {
    for (const char* art : {"'U'", "'V'"})
        EXPECT_EQ("0", db.value(std::string("SELECT MIN(Steuerschluessel) FROM Steuerschluessel WHERE Aktiv<>0 AND "
                                            "Steuerart=") + art + " OR Steuerart='B'"));
    EXPECT_NE("0", db.value("SELECT Necessary FROM Steuerschluessel WHERE Steuerschluessel=0"));
    EXPECT_EQ("0", db.value("SELECT COUNT(*) FROM Steuerschluessel WHERE Steuerschluessel=999999"))
        << "999999 marks generated tax lines and is never a key";
}

}  // namespace
