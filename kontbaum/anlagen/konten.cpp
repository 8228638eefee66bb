// The activation of the accounts the registers post to (see konten.h).
#include "kontbaum/anlagen/konten.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace Anlagen {
namespace intern {

unsigned long Kontenaktivierung::buche(const KontoGlobal::BuchungsEntwurf& b, DBConnection* db, QString* fehler) {
    QList<unsigned long> genannt{b.konto};
    for (const KontoGlobal::BuchungsTeil& t : b.teile)
        if (!genannt.contains(t.konto)) genannt << t.konto;
    for (unsigned long nr : genannt)
        if (!KontoGlobal::existsKonto(nr)) {
            if (fehler)
                *fehler = QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht; die Konten zeigt „dalvo konten FALL --alle“, ein neues legt "
                                         "„dalvo konto FALL neu“ an.")
                              .arg(nr);
            return 0;
        }
    const unsigned long nr = KontoGlobal::insertSplittBuchung(b, db, fehler);
    if (nr == 0) return 0;
    // The lines as posted: the tax lines bring their own accounts.
    QList<unsigned long> inaktiv;
    QStringList namen;
    for (rsDataSource rs(db, QStringLiteral("SELECT DISTINCT Konto FROM %1Buchungszeilen WHERE Buchungsnummer=?").arg(b.table),
                         {DatenTyp(qlonglong(nr))});
         !rs.isEOF(); rs.fetch()) {
        const unsigned long konto = rs.field(QStringLiteral("Konto")).toULong();
        bool aktiv = true;
        if (!KontoGlobal::existsKonto(konto, false, &aktiv) || aktiv || inaktiv.contains(konto)) continue;
        inaktiv << konto;
        namen << QStringLiteral("%1 „%2“").arg(konto).arg(KontoGlobal::getKontobezeichnung(konto, 0, db));
    }
    if (inaktiv.isEmpty()) return nr;
    // The operation of the chart editor's "aktivieren".
    if (!KontoGlobal::setKontenAktiv(inaktiv, true)) {
        if (fehler) *fehler = QStringLiteral("Die Konten %1 konnten im Kontenplan nicht aktiviert werden.").arg(namen.join(QStringLiteral(", ")));
        return 0;
    }
    m_namen << namen;
    return nr;
}

void Kontenaktivierung::melden() const {
    if (m_namen.isEmpty()) return;
    if (m_namen.size() == 1) {
        GetUi().Hinweis(QStringLiteral("Konto %1 wurde aktiviert.").arg(m_namen.first()));
        return;
    }
    const QString liste = QStringList(m_namen.mid(0, m_namen.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" und ") + m_namen.last();
    GetUi().Hinweis(QStringLiteral("Konten %1 wurden aktiviert.").arg(liste));
}

}  // namespace intern
}  // namespace Anlagen
