// The carry-forward of balances into the new year (see jahr.h): the
// computation against the previous year's ledger, its report, the
// opening-balance bookings, and one opening balance set by hand.
#include "kontbaum/jahr/jahr.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QMap>
#include <cmath>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/saldovortrag");
const QString kText = QStringLiteral("Saldovortrag");
const QString kTabelle = QStringLiteral("eurVerbucht");
const QString kZeilen = QStringLiteral("eurVerbuchtBuchungszeilen");

QString sql(unsigned long n) { return rsDataSource::toSqlStr(n); }

bool istNull(const EuroType& v) { return v.isNull(); }

zDate neujahr(int jahr) { return zDate(jahr, 1, 1); }

// Bookings dated 1 January of a locked year are locked the moment they are
// posted; the user is told and decides. True when posting may go on.
bool festschreibungErlaubt(int jahr) {
    const zDate bis = KontoGlobal::getFestgeschriebenBis();
    if (!bis.isValid() || bis < neujahr(jahr)) return true;
    return KontoGlobal::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), KontoGlobal::FFK_Buchen,
                                             KontoGlobal::FFT_NeueFestgeschrieben);
}

QString abschnitt(const QString& titel, const QString& zeilen, const QString& leer) {
    return titel + (zeilen.isEmpty() ? QStringLiteral("<tr><td colspan=\"3\">&nbsp;&nbsp;&nbsp;") + leer +
                                           QStringLiteral("</td></tr>")
                                     : zeilen);
}
}  // namespace

QString Kont_::addSaldovortragText(unsigned long konto, const EuroType& betrag) {
    // With cents, as the bookings have them: a report in whole euros would
    // hide a difference of a few cents that is then posted.
    return QStringLiteral("<tr><td align=\"right\">&nbsp;&nbsp;") + QString::number(konto) +
           QStringLiteral("</td><td width=\"350\">&nbsp;&nbsp;") + KontoGlobal::getKontobezeichnung(konto, 1, nullptr) +
           QStringLiteral("</td><td align=\"right\">") + betrag.getText() + QStringLiteral("</td></tr>");
}

int Kont_::erzeugeSaldovortraege(QString* bericht, bool buchen, int* anzahl) {
    using namespace Jahr;
    if (bericht) bericht->clear();
    if (anzahl) *anzahl = 0;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg || !kg->existsImportDB()) return SV_KEINE_IMPORTDB;
    DBConnection* db = kg->GetDBConnect_Ptr();
    if (!db) return SV_KEINE_IMPORTDB;
    const int jahr = kg->getSteuerjahr();
    Ui& ui = GetUi();

    // 1. the balances of the previous year, credit minus debit. A previous
    // year that cannot be read ends the run: going on with an empty year
    // would reverse every opening balance already posted.
    QMap<unsigned long, EuroType> salden, vorhanden;
    {
        DBConnection imp;
        imp.setReadOnly(true);
        bool ok = imp.createAndConnect(kg->getImportDatenbankNameProg(), QStringLiteral("admin"), KontoGlobal::dbPassword(), false);
        if (ok) {
            rsDataSource rs(&imp, QStringLiteral("SELECT Konto, Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE Konto IN "
                                                 "(SELECT Nummer FROM eurKontenplan WHERE EB_Erzeugung<>0 AND "
                                                 "(Kategorie<9000 OR Kategorie>9999)) ORDER BY Konto"));
            for (; !rs.isError() && !rs.isEOF(); rs.fetch()) {
                const EuroType b = rs.field(QStringLiteral("Betrag")).toEuro();
                salden[rs.field(QStringLiteral("Konto")).toULong()] += rs.field(QStringLiteral("Haben")).toBool() ? b : -b;
            }
            ok = !rs.isError();
        }
        if (!ok) {
            rs_logAssert(kQuelle, __LINE__, QStringLiteral("Verbindung zur Import-DB fehlgeschlagen"));
            ui.rsError(QStringLiteral("Die Buchhaltungsdaten des Vorjahres können nicht gelesen werden. Es wurden keine "
                                      "Saldovorträge berechnet oder gebucht. Bitte prüfen Sie die Datei des Vorjahres und "
                                      "öffnen Sie sie noch einmal."));
            return SV_VORJAHR_UNLESBAR;
        }
    }
    QString zeilenVorjahr, zeilenVorhanden, zeilenNeu;
    if (bericht)
        for (auto it = salden.constBegin(); it != salden.constEnd(); ++it)
            if (!istNull(*it)) zeilenVorjahr += addSaldovortragText(it.key(), -*it);

    // 2. the opening balances already posted, seen from the carry-forward
    // account: they cancel what has been carried. Those of the asset
    // register carry its book values, not the previous ledger's balances,
    // and are its own to keep.
    {
        rsDataSource rs(db, QStringLiteral("SELECT Gegenkonto, Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE "
                                           "(Konto IN (SELECT Nummer FROM eurKontenplan WHERE Kategorie=") +
                                sql(kVortragsKategorie) +
                                QStringLiteral(")) AND Buchungsnummer NOT IN (SELECT Buchungsnummer FROM eurVerbucht WHERE Herkunft=") +
                                sql(KontoGlobal::HERK_ANL_SAL) + QStringLiteral(")"));
        for (; !rs.isEOF(); rs.fetch()) {
            const EuroType b = rs.field(QStringLiteral("Betrag")).toEuro();
            const EuroType v = rs.field(QStringLiteral("Haben")).toBool() ? b : -b;
            const unsigned long k = rs.field(QStringLiteral("Gegenkonto")).toULong();
            salden[k] += v;
            vorhanden[k] += v;
        }
    }
    if (bericht)
        for (auto it = vorhanden.constBegin(); it != vorhanden.constEnd(); ++it)
            if (!istNull(*it)) zeilenVorhanden += addSaldovortragText(it.key(), *it);

    // 3. accounts this chart lacks: nothing is posted then.
    QStringList fehlend, zuBuchen;
    for (auto it = salden.begin(); it != salden.end(); ++it) {
        if (istNull(*it)) continue;
        if (GetDatenTyp(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Nummer=") + sql(it.key())).isNull()) {
            fehlend << QString::number(it.key());
            *it = EuroType();
        } else {
            zuBuchen << QString::number(it.key());
        }
    }
    int ergebnis = SV_OK;
    if (!fehlend.isEmpty()) {
        ui.waitCursor(false);
        ui.rsError(QStringLiteral("Folgende Konten, für die Saldovortragsbuchungen erzeugt werden sollen, konnten im neuen "
                                  "Kontenplan nicht gefunden werden:\n") +
                   fehlend.join(QStringLiteral(", ")) + QStringLiteral("\n\n") +
                   QStringLiteral("Bitte legen Sie die Konten unter Kontenverwaltung an, wechseln Sie auf das Vorjahr und dann "
                                  "noch einmal in das neue Jahr, ") +
                   QStringLiteral("damit die fehlenden Saldovortragsbuchungen erzeugt werden können.\n"));
        ui.waitCursor(true);
        ergebnis = SV_KONTEN_FEHLEN;
    }

    // 4. the bookings, each the difference of one account, all in one go.
    const unsigned long vortrag = kg->getSpezialKonto(kVortragskonto);
    const zDate datum = neujahr(jahr);
    if (bericht)
        for (auto it = salden.constBegin(); it != salden.constEnd(); ++it)
            if (!istNull(*it)) zeilenNeu += addSaldovortragText(it.key(), -*it);
    if (anzahl) *anzahl = zuBuchen.size();
    if (ergebnis == SV_OK && buchen && !zuBuchen.isEmpty()) {
        QList<unsigned long> konten{vortrag};
        for (const QString& k : zuBuchen) konten << k.toULong();
        const QString kasse = KontoGlobal::pruefeKasseAbgeschlossen(konten, datum, false, db);
        if (!kasse.isEmpty()) {
            ui.rsError(kasse + QStringLiteral(" Es wurden keine Saldovortragsbuchungen erzeugt."));
            ergebnis = SV_ABGELEHNT;
        } else if (!festschreibungErlaubt(jahr)) {
            ergebnis = SV_ABGELEHNT;
        }
    }
    if (ergebnis == SV_OK && buchen && !zuBuchen.isEmpty()) {
        // A lower opening balance of a till can turn a later day negative:
        // the bookings are one run, asked about once.
        Buchungslauf lauf(db);
        DBTransaktion tx(lauf.ok() ? db : nullptr);
        bool ok = tx.ok();
        // Every account that receives an opening balance is active, or the
        // booking could not be shown or corrected in the dialogs.
        ok = ok && ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer IN (") +
                                   zuBuchen.join(QStringLiteral(", ")) + QStringLiteral(")"));
        unsigned long nr = KontoGlobal::getNewBuchungsnummer(kTabelle, db) - 1;
        const zDate heute = zDate::today();
        for (auto it = salden.constBegin(); ok && it != salden.constEnd(); ++it) {
            if (istNull(*it)) continue;
            ++nr;
            const EuroType betrag = it->abs();
            const bool kontoImHaben = *it >= EuroType();
            // Line 1 is the carry-forward account, line 2 the balance
            // account: the two sides of the booking dialog, as the
            // self-check and the export expect them.
            ok = KontoGlobal::insertBuchung(KontoGlobal::HERK_SALDO, kTabelle, db, nr, kText, 0, betrag, true, datum, datum,
                                            QString(), 6, QString(), 0, 0, 0, heute, QString(), QString(), 0) &&
                 KontoGlobal::insertBuchungszeile(kZeilen, db, nr, 0, 1, betrag, !kontoImHaben, vortrag, 0, it.key(), kText) &&
                 KontoGlobal::insertBuchungszeile(kZeilen, db, nr, 2, 2, betrag, kontoImHaben, it.key(), 0, vortrag, kText);
            if (ok) KontoGlobal::verifyBuchung(nr, kTabelle);
        }
        if (ok) ok = tx.commit();
        QString grund;
        if (!ok) {
            tx.rollback();
            rs_logError(kQuelle, __LINE__, db->getErr()->last());
            ui.rsError(QStringLiteral("Es ist ein Fehler bei der Erzeugung der Vortragsbuchungen aufgetreten.") +
                       QStringLiteral(" Es wurde keine Saldovortragsbuchung gespeichert."));
            ergebnis = SV_BUCHUNGSFEHLER;
        } else {
            lauf.gebucht(int(zuBuchen.size()));
            if (!lauf.abschliessen(&grund)) {
                ui.rsError(grund);
                ergebnis = lauf.verneint() ? SV_ABGELEHNT : SV_BUCHUNGSFEHLER;
            }
        }
    }
    if (anzahl && ergebnis != SV_OK) *anzahl = 0;

    if (bericht)
        *bericht = QStringLiteral("<table>") +
                   abschnitt(QStringLiteral("</tr><tr><td colspan=\"3\"><b>Vorhandene Saldovortragsbuchungen in %1:</b></td></tr>").arg(jahr),
                             zeilenVorhanden, QStringLiteral("Es sind keine Saldovortragsbuchungen vorhanden.")) +
                   abschnitt(QStringLiteral("<tr><td>&nbsp;</td></tr><tr><td colspan=\"3\"><b>Salden in %1:</b></td></tr>").arg(jahr - 1),
                             zeilenVorjahr, QStringLiteral("Es sind keine Buchungen auf den Bestandskonten vorhanden.")) +
                   abschnitt(QStringLiteral("<tr><td>&nbsp;</td></tr><tr><td colspan=\"3\"><b>Zu erzeugende Saldovortragsbuchungen:</b></td></tr>"),
                             zeilenNeu,
                             QStringLiteral("Die Salden der Bestandskonten stimmen bereits mit den Saldovortragsbuchungen überein.")) +
                   QStringLiteral("</table>");
    return ergebnis;
}

namespace Jahr {

QList<Tabellenzeile> saldovortragTabelle() {
    QList<Tabellenzeile> out;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return out;
    QMap<unsigned long, int> zeile;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, Kurzbezeichnung FROM eurKontenplan WHERE EB_Erzeugung<>0 AND Aktiv<>0 "
                                           "AND (Kategorie<9000 OR Kategorie>9999) ORDER BY Nummer"));
        for (; !rs.isEOF(); rs.fetch()) {
            Tabellenzeile z;
            z.konto = rs.field(QStringLiteral("Nummer")).toULong();
            z.bezeichnung = rs.field(QStringLiteral("Kurzbezeichnung")).toString();
            zeile.insert(z.konto, out.size());
            out << z;
        }
    }
    rsDataSource rs(db, QStringLiteral("SELECT Konto, Buchungsnummer, Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE "
                                       "Gegenkonto IN (SELECT Nummer FROM eurKontenplan WHERE Kategorie>8000 AND "
                                       "Kategorie<8999) ORDER BY Konto, Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        auto it = zeile.constFind(rs.field(QStringLiteral("Konto")).toULong());
        if (it == zeile.constEnd()) continue;
        Tabellenzeile& z = out[*it];
        const EuroType b = rs.field(QStringLiteral("Betrag")).toEuro();
        z.vorhanden += rs.field(QStringLiteral("Haben")).toBool() ? -b : b;
        const unsigned long nr = rs.field(QStringLiteral("Buchungsnummer")).toULong();
        if (!z.buchungen.contains(nr)) z.buchungen << nr;
    }
    return out;
}

unsigned long setzeSaldovortrag(unsigned long konto, const EuroType& betrag, QString* fehler) {
    auto fail = [fehler](const QString& t) -> unsigned long {
        if (fehler) *fehler = t;
        return 0;
    };
    if (fehler) fehler->clear();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return fail(QStringLiteral("Es ist kein Fall geöffnet."));
    const QList<Tabellenzeile> tabelle = saldovortragTabelle();
    const Tabellenzeile* z = nullptr;
    for (const Tabellenzeile& t : tabelle)
        if (t.konto == konto) z = &t;
    if (!z) {
        bool aktiv = false;
        if (!KontoGlobal::existsKonto(konto, false, &aktiv))
            return fail(QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(konto));
        if (!aktiv) return fail(QStringLiteral("Das Konto %1 ist nicht aktiv. Bitte aktivieren Sie es zuerst.").arg(konto));
        return fail(QStringLiteral("Das Konto %1 ist kein Bestandskonto mit Saldovortrag (Kassen, Banken, Forderungen, "
                                   "Verbindlichkeiten …); für dieses Konto wird kein Saldovortrag gebucht.")
                        .arg(konto));
    }
    const EuroType differenz = betrag - z->vorhanden;
    if (istNull(differenz)) return 0;
    const int jahr = kg->getSteuerjahr();
    if (!festschreibungErlaubt(jahr))
        return fail(QStringLiteral("Der Saldovortrag läge im festgeschriebenen Zeitraum und wurde nicht gebucht."));
    KontoGlobal::BuchungsEntwurf b;
    b.herkunft = KontoGlobal::HERK_SALDOASSI;
    b.table = kTabelle;
    b.text = istNull(z->vorhanden) ? kText : QStringLiteral("Anpassung Saldovortrag");
    b.belegdatum = neujahr(jahr);
    b.buchungsart = 6;
    // A positive difference raises the debit balance of the account: the
    // carry-forward account takes the credit side.
    b.haben = differenz >= EuroType();
    b.konto = kg->getSpezialKonto(kVortragskonto);
    b.teile.append({konto, 0, differenz.abs(), false, QString()});
    QString grund;
    const unsigned long nr = KontoGlobal::insertSplittBuchung(b, db, &grund);
    if (nr == 0) return fail(grund);
    KontoGlobal::verifyBuchung(nr, kTabelle);
    return nr;
}

}  // namespace Jahr
