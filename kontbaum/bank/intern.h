// What the files of the bank subsystem share and nobody else needs.
#pragma once

#include "kontbaum/bank/bank.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Bank {
namespace intern {

// `db`, or the active case's connection.
inline DBConnection* fallDB(DBConnection* db) {
    if (db) return db;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->GetDBConnect_Ptr() : nullptr;
}

inline int steuerjahr() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}

// The subsystem's own transaction (a savepoint inside the command's):
// rolled back unless commit() was called.
class Transaktion {
public:
    explicit Transaktion(DBConnection* db) : m_db(db), m_offen(db && db->beginTransaction()) {}
    ~Transaktion() {
        if (m_offen) m_db->rollback();
    }
    bool ok() const { return m_offen; }
    bool commit() {
        if (!m_offen) return false;
        m_offen = false;
        return m_db->commit();
    }
    Transaktion(const Transaktion&) = delete;
    Transaktion& operator=(const Transaktion&) = delete;

private:
    DBConnection* m_db;
    bool m_offen;
};

// "(1,2,3)" of the IDs, for an IN list (numbers only, never text).
inline QString inListe(const QList<unsigned long>& ids) {
    QStringList t;
    for (unsigned long i : ids) t << QString::number(i);
    return QStringLiteral("(") + t.join(QLatin1Char(',')) + QStringLiteral(")");
}

}  // namespace intern
}  // namespace Bank
