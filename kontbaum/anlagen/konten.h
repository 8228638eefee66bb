// The accounts of the registers' postings (nothing outside kontbaum/anlagen/
// sees this): a register posts onto the accounts the user named for an entry
// and onto the accounts its rules choose, and the chart keeps many of those
// inactive until they are needed (SKR03 440 tools, 1348 securities, the
// accounts of special depreciation or disposals). A posting on an inactive
// account is one the ledger's own check calls wrong, so the register
// activates each account it posts to, inside the posting's transaction, and
// says so once the postings are stored.
#pragma once

#include "kontbaum/rahmen/kontglob.h"

#include <QList>
#include <QString>

class DBConnection;

namespace Anlagen {
namespace intern {

class Kontenaktivierung {
public:
    // Posts `b` onto the accounts it names, each of which must be in the
    // chart (else a German refusal and nothing posted), and activates the
    // inactive accounts among the booking's lines, tax lines included. Call
    // inside the transaction of the posting, so that a rollback takes the
    // activation back with it. The booking's number, 0 with `fehler`.
    unsigned long buche(const KontoGlobal::BuchungsEntwurf& b, DBConnection* db, QString* fehler);
    // After the commit: one line through the Ui naming the accounts that
    // were activated (nothing when there were none).
    void melden() const;

private:
    QStringList m_namen;
};

}  // namespace intern
}  // namespace Anlagen
