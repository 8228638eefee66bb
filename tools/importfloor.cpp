// The floor of the bookings import: the header and line rows of a case,
// inserted into an empty case database of the same schema by the plainest
// program there is (one prepared statement per table, one transaction).
// Usage: importfloor CASE.dalvo TEMPLATE.db3
// Prints the seconds the inserts took. The rows are read before the clock
// starts, so only the writing is measured.
#include "host/app/global.h"
#include "host/db/connection.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
struct Wert {
    int typ;
    sqlite3_int64 i;
    double d;
    std::string t;
};
using Zeile = std::vector<Wert>;

std::vector<Zeile> lies(sqlite3* db, const char* sql) {
    std::vector<Zeile> out;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        Zeile z;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            Wert w{sqlite3_column_type(st, c), sqlite3_column_int64(st, c), sqlite3_column_double(st, c), {}};
            if (w.typ == SQLITE_TEXT) w.t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            z.push_back(w);
        }
        out.push_back(std::move(z));
    }
    sqlite3_finalize(st);
    return out;
}

void schreibe(sqlite3* db, const char* sql, const std::vector<Zeile>& zeilen) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    for (const Zeile& z : zeilen) {
        sqlite3_reset(st);
        for (size_t c = 0; c < z.size(); ++c) {
            const Wert& w = z[c];
            const int p = int(c) + 1;
            if (w.typ == SQLITE_INTEGER) sqlite3_bind_int64(st, p, w.i);
            else if (w.typ == SQLITE_FLOAT) sqlite3_bind_double(st, p, w.d);
            else if (w.typ == SQLITE_TEXT) sqlite3_bind_text(st, p, w.t.c_str(), int(w.t.size()), SQLITE_STATIC);
            else sqlite3_bind_null(st, p);
        }
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: importfloor CASE.dalvo TEMPLATE.db3\n");
        return 2;
    }
    QTemporaryDir home;
    GlobalInst::reset(home.path());
    std::unique_ptr<Kont_> root(Kont_::New());
    QString e;
    Falldatei datei;
    if (!datei.oeffnen(QString::fromLocal8Bit(argv[1]), Falldatei::Zugriff::Lesen, 0, *root, &e)) {
        std::fprintf(stderr, "importfloor: %s\n", e.toLocal8Bit().constData());
        return 1;
    }
    sqlite3* quelle = GetKontoGlobal(0, false)->GetDBConnect_Ptr()->handle();
    const char* kopf = "Buchungsnummer, Buchungstext, Periode, Stapel, Storno, Storniert, Betrag, Netto, Belegdatum, Buchungsdatum, "
                       "Belegnummer, Buchungsart, Zusatzinfo, Intervall, UStID, ZMArt, Zahlungsdatum, Herkunft, Dreieck";
    const char* zeile = "Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Fremdbelegnummer, Konto, Kostenstelle, Steuerschluessel, "
                        "Gegenkonto, Buchungstext, OPOSNummer, Splitt, SplittBetrag, SplittNetto, AufteilungViaProzent, "
                        "AufteilungProzentsatz, RestBeiProzent";
    const std::vector<Zeile> koepfe = lies(quelle, (std::string("SELECT ") + kopf + " FROM eurVerbucht ORDER BY Buchungsnummer").c_str());
    const std::vector<Zeile> zeilen = lies(quelle, (std::string("SELECT ") + zeile + " FROM eurVerbuchtBuchungszeilen ORDER BY ID").c_str());

    const QString ziel = home.filePath(QStringLiteral("floor.db3"));
    QFile::copy(QString::fromLocal8Bit(argv[2]), ziel);
    sqlite3* db = nullptr;
    sqlite3_open(ziel.toLocal8Bit().constData(), &db);
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    schreibe(db, (std::string("INSERT INTO eurVerbucht (") + kopf + ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)").c_str(), koepfe);
    schreibe(db, (std::string("INSERT INTO eurVerbuchtBuchungszeilen (") + zeile + ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)").c_str(),
             zeilen);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double s = t.elapsed() / 1000.0;
    sqlite3_close(db);
    std::printf("%.3f %zu %zu\n", s, koepfe.size(), zeilen.size());
    return 0;
}
