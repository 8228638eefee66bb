// Bank connections: which bank account belongs to which money account of
// the chart.
#include "kontbaum/bank/intern.h"

#include <QRegularExpression>

namespace Bank {
using namespace intern;

QString normIban(const QString& iban) { return QString(iban).remove(QRegularExpression(QStringLiteral("\\s"))).toUpper(); }

// ISO 13616: the first four characters moved to the end, letters counted
// as 10..35, the whole number modulo 97 is 1 (computed in pieces).
bool ibanGueltig(const QString& iban) {
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    if (!form.match(iban).hasMatch()) return false;
    QString ziffern;
    for (const QChar c : iban.mid(4) + iban.left(4)) ziffern += c.isDigit() ? QString(c) : QString::number(c.unicode() - 'A' + 10);
    int rest = 0;
    for (int i = 0; i < ziffern.size(); i += 7) rest = QString::number(rest).append(ziffern.mid(i, 7)).toLongLong() % 97;
    return rest == 1;
}

namespace {
const char* const kSpalten = "BankverbindungID, Bezeichnung, Bank, Kontonummer, BLZ, IBAN, BIC, kpNummer, LetzterImportMG, BankSaldo";

Verbindung ausZeile(const rsDataSource& rs) {
    Verbindung v;
    v.id = rs.field(QStringLiteral("BankverbindungID")).toULong();
    v.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
    v.bank = rs.field(QStringLiteral("Bank")).toString();
    v.kontonummer = rs.field(QStringLiteral("Kontonummer")).toString();
    v.blz = rs.field(QStringLiteral("BLZ")).toString();
    v.iban = rs.field(QStringLiteral("IBAN")).toString();
    v.bic = rs.field(QStringLiteral("BIC")).toString();
    v.konto = rs.field(QStringLiteral("kpNummer")).toULong();
    v.letzterImport = rs.field(QStringLiteral("LetzterImportMG")).toDate();
    v.saldo = rs.field(QStringLiteral("BankSaldo")).toEuro();
    return v;
}

unsigned long erste(DBConnection* db, const QString& sql, const QVector<DatenTyp>& werte) {
    const QVector<DatenTyp> z = QueryPrepared(db, sql, werte);
    return z.isEmpty() ? 0 : z.first().toULong();
}
}  // namespace

unsigned long verbindungZuKonto(DBConnection* db, unsigned long konto) {
    return erste(rsFallDB(db), QStringLiteral("SELECT MIN(BankverbindungID) FROM eurBankverbindung WHERE kpNummer=?"), {DatenTyp(konto)});
}

unsigned long verbindungZuIban(DBConnection* db, const QString& iban) {
    if (iban.isEmpty()) return 0;
    return erste(rsFallDB(db), QStringLiteral("SELECT BankverbindungID FROM eurBankverbindung WHERE IBAN = ?"), {DatenTyp(normIban(iban))});
}

unsigned long verbindungZuKontonummer(DBConnection* db, const QString& kontonummer, const QString& blz) {
    if (kontonummer.isEmpty()) return 0;
    // Banks write account numbers with and without leading zeros.
    const QString nr = QString(kontonummer).remove(QRegularExpression(QStringLiteral("^0+")));
    // A connection set up by its IBAN alone is found too: a German IBAN
    // holds the bank code (places 5 to 12) and the account number (13 to 22).
    return erste(rsFallDB(db),
                 QStringLiteral("SELECT BankverbindungID FROM eurBankverbindung WHERE (LTRIM(Kontonummer,'0') = ? AND (BLZ = ? OR ?='')) "
                                "OR (IBAN LIKE 'DE%' AND LENGTH(IBAN)=22 AND LTRIM(substr(IBAN,13),'0') = ? AND (substr(IBAN,5,8) = ? OR ?='')) "
                                "ORDER BY BankverbindungID"),
                 {DatenTyp(nr), DatenTyp(blz), DatenTyp(blz), DatenTyp(nr), DatenTyp(blz), DatenTyp(blz)});
}

bool leseVerbindung(DBConnection* db, unsigned long id, Verbindung* v) {
    rsDataSource rs(rsFallDB(db), QStringLiteral("SELECT ") + QLatin1String(kSpalten) +
                                    QStringLiteral(" FROM eurBankverbindung WHERE BankverbindungID=") + rsDataSource::toSqlStr(id));
    if (rs.isEOF()) return false;
    *v = ausZeile(rs);
    return true;
}

QList<Verbindung> verbindungen(DBConnection* db) {
    QList<Verbindung> l;
    rsDataSource rs(rsFallDB(db), QStringLiteral("SELECT ") + QLatin1String(kSpalten) + QStringLiteral(" FROM eurBankverbindung ORDER BY kpNummer"));
    for (; !rs.isEOF(); rs.fetch()) l << ausZeile(rs);
    return l;
}

unsigned long legeVerbindungAn(DBConnection* db, Verbindung v, QString* fehler) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        *fehler = t;
        return 0UL;
    };
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (!KontoGlobal::kannBankverbindungAnlegen())
        return nein(QStringLiteral("Sie haben bereits allen Buchungskonten der Kategorien 'Bank', 'Postbank' und 'Verrechnungskonten' ein "
                                   "Bankkonto zugewiesen. Sie müssen in der Kontenverwaltung erst ein neues Buchungskonto anlegen, bevor Sie "
                                   "ein neues Bankkonto einrichten können."));
    rsDataSource k(db, QStringLiteral("SELECT Kategorie, Aktiv, Bezeichnung FROM eurKontenplan WHERE Nummer=") + rsDataSource::toSqlStr(v.konto));
    if (k.isEOF()) return nein(QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(v.konto));
    const unsigned long kat = k.field(QStringLiteral("Kategorie")).toULong();
    if (kat != 202 && kat != 203 && kat != 300)
        return nein(QStringLiteral("Das Konto %1 (Kategorie %2) ist kein Konto der Kategorien 'Bank' (202), 'Postbank' (203) oder "
                                   "'Verrechnungskonten' (300); nur ihnen kann ein Bankkonto zugeordnet werden.")
                        .arg(v.konto)
                        .arg(kat));
    if (k.field(QStringLiteral("Aktiv")).toLongLong() == 0)
        return nein(QStringLiteral("Das Konto %1 ist nicht aktiv. Bitte aktivieren Sie es erst im Kontenplan.").arg(v.konto));
    if (verbindungZuKonto(db, v.konto) != 0)
        return nein(QStringLiteral("Dem Konto %1 ist bereits ein Bankkonto zugeordnet (dalvo bank FALL liste).").arg(v.konto));
    v.iban = normIban(v.iban);
    v.bic = v.bic.trimmed().toUpper();
    v.kontonummer = v.kontonummer.trimmed();
    v.blz = v.blz.trimmed();
    if (v.iban.isEmpty() && (v.kontonummer.isEmpty() || v.blz.isEmpty()))
        return nein(QStringLiteral("Bitte geben Sie die IBAN des Bankkontos an (oder Kontonummer und Bankleitzahl)."));
    if (!v.iban.isEmpty() && !ibanGueltig(v.iban))
        return nein(QStringLiteral("„%1“ ist keine gültige IBAN (Länge, Aufbau oder Prüfziffer stimmen nicht).").arg(v.iban));
    if (!v.blz.isEmpty() && !QRegularExpression(QStringLiteral("^[0-9]{8}$")).match(v.blz).hasMatch())
        return nein(QStringLiteral("„%1“ ist keine Bankleitzahl (acht Ziffern).").arg(v.blz));
    // A German IBAN carries bank code and account number.
    if (v.iban.startsWith(QLatin1String("DE")) && v.iban.size() == 22) {
        if (v.blz.isEmpty()) v.blz = v.iban.mid(4, 8);
        if (v.kontonummer.isEmpty()) v.kontonummer = v.iban.mid(12).remove(QRegularExpression(QStringLiteral("^0+")));
    }
    const unsigned long andere = v.iban.isEmpty() ? verbindungZuKontonummer(db, v.kontonummer, v.blz) : verbindungZuIban(db, v.iban);
    if (andere != 0) {
        Verbindung x;
        leseVerbindung(db, andere, &x);
        return nein(QStringLiteral("Das Bankkonto %1 ist bereits dem Konto %2 zugeordnet.").arg(v.iban.isEmpty() ? v.kontonummer : v.iban).arg(x.konto));
    }
    if (v.bezeichnung.trimmed().isEmpty()) v.bezeichnung = k.field(QStringLiteral("Bezeichnung")).toString();
    DBTransaktion t(db);
    const unsigned long id = KontoGlobal::getMaxKey(db, QStringLiteral("SELECT MAX(BankverbindungID) FROM eurBankverbindung")) + 1;
    const bool ok = t.ok() && ExecPrepared(db, QStringLiteral("INSERT INTO eurBankverbindung (BankverbindungID, Bezeichnung, Bank, Kontonummer, BLZ, "
                                                              "IBAN, BIC, kpNummer, BankSaldo) VALUES (?,?,?,?,?,?,?,?,0)"),
                                           {DatenTyp(id), DatenTyp(v.bezeichnung.trimmed()), DatenTyp(v.bank.trimmed()), DatenTyp(v.kontonummer),
                                            DatenTyp(v.blz), DatenTyp(v.iban), DatenTyp(v.bic), DatenTyp(v.konto)});
    if (!ok || !t.commit()) return nein(QStringLiteral("Die Bankverbindung konnte nicht gespeichert werden: %1").arg(db->getErr()->last()));
    return id;
}

bool loescheVerbindung(DBConnection* db, unsigned long id, QString* fehler) {
    db = rsFallDB(db);
    Verbindung v;
    if (!leseVerbindung(db, id, &v)) {
        *fehler = QStringLiteral("Eine Bankverbindung Nr. %1 gibt es nicht (die Bankverbindungen zeigt „dalvo bank FALL liste“).").arg(id);
        return false;
    }
    DBTransaktion t(db);
    const bool ok = t.ok() && ExecPrepared(db, QStringLiteral("DELETE FROM eurUmsatz WHERE BankverbindungID=?"), {DatenTyp(id)}) &&
                    ExecPrepared(db, QStringLiteral("DELETE FROM eurBankverbindung WHERE BankverbindungID=?"), {DatenTyp(id)}) && t.commit();
    if (!ok) *fehler = QStringLiteral("Die Bankverbindung konnte nicht gelöscht werden.");
    return ok;
}

}  // namespace Bank
