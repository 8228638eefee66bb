// Access-dialect SQL functions for SQLite handles. Private to host/db: the
// connection registers them on every handle it opens, so statements written
// with MONTH(), MID(), NZ() and friends run unchanged. The list and the
// semantics of each function are documented in connection.h.
#pragma once

struct sqlite3;

namespace dbsql {

// Registers all functions on `db`. Returns false when SQLite refused one
// (out of memory); the handle stays usable without them.
bool registerAccessFunctions(sqlite3* db);

}  // namespace dbsql
