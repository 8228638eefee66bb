// Builds an SQLite database from SQL script files at build time.
// Usage: sqlbuild OUT.db3 SCRIPT.sql...
// The output is written to OUT.db3.tmp first and renamed at the end, so an
// error in a script never leaves a half-built database behind for the build.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sqlbuild OUT.db3 SCRIPT.sql...\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string tmp = out + ".tmp";
    std::remove(tmp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "sqlbuild: cannot create %s\n", tmp.c_str());
        return 1;
    }
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "sqlbuild: cannot read %s\n", argv[i]);
            sqlite3_close(db);
            return 1;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        char* err = nullptr;
        if (sqlite3_exec(db, ss.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "sqlbuild: %s: %s\n", argv[i], err ? err : "?");
            sqlite3_free(err);
            sqlite3_close(db);
            std::remove(tmp.c_str());
            return 1;
        }
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlbuild: commit failed: %s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "sqlbuild: cannot rename %s\n", tmp.c_str());
        return 1;
    }
    return 0;
}
