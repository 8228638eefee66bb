// The ledger as a window pages through it (see journal.h).
#include "kontbaum/buchungen/journal.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"

#include <QRegularExpression>
#include <QVector>

namespace Journal {

namespace {
// The WHERE clause of a filter over the headers h, with its bound values.
QString bedingung(const Filter& f, QVector<DatenTyp>* werte, bool haeufig = false) {
    QStringList teile;
    if (f.von.isValid()) {
        teile << QStringLiteral("h.Belegdatum>=?");
        werte->append(DatenTyp(f.von));
    }
    if (f.bis.isValid()) {
        // Stored dates carry a time part; the whole last day counts.
        teile << QStringLiteral("h.Belegdatum<?");
        werte->append(DatenTyp(f.bis.addDays(1)));
    }
    if (f.konto != 0) {
        // A rare account is found through the index of the lines by account,
        // without walking the ledger; a frequent one (the bank on every
        // second booking) fills a page within the first bookings by date,
        // where collecting all its bookings first would cost a second. (The
        // unary + keeps SQLite from the index by account there: per booking
        // its few lines are looked up by number.)
        if (haeufig) {
            teile << QStringLiteral("EXISTS (SELECT 1 FROM eurVerbuchtBuchungszeilen z WHERE z.Buchungsnummer=h.Buchungsnummer AND +z.Konto=?)");
        } else {
            teile << QStringLiteral("h.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen WHERE Konto=?)");
        }
        werte->append(DatenTyp(f.konto));
    }
    if (!f.text.trimmed().isEmpty()) {
        teile << QStringLiteral("instr(lower(h.Buchungstext), lower(?))>0");
        werte->append(DatenTyp(f.text.trimmed()));
    }
    if (!f.beleg.trimmed().isEmpty()) {
        teile << QStringLiteral("instr(lower(h.Belegnummer), lower(?))>0");
        werte->append(DatenTyp(f.beleg.trimmed()));
    }
    if (f.mitBetrag) {
        // Amounts are stored as doubles of whole cents; compared in cents.
        teile << QStringLiteral("CAST(ROUND(ABS(h.Betrag)*100) AS INTEGER)=?");
        werte->append(DatenTyp(qlonglong(f.betrag.abs().cent())));
    }
    if (f.herkunft >= 0) {
        teile << QStringLiteral("h.Herkunft=?");
        werte->append(DatenTyp(qlonglong(f.herkunft)));
    }
    if (!f.nummern.isEmpty()) {
        QStringList n;
        for (unsigned long nr : f.nummern) n << QString::number(nr);
        teile << QStringLiteral("h.Buchungsnummer IN (%1)").arg(n.join(QLatin1Char(',')));
    }
    return teile.isEmpty() ? QString() : teile.join(QStringLiteral(" AND "));
}
// Whether `konto` stands on so many lines that walking the ledger by date
// finds a page sooner than collecting the account's bookings: a look at
// most kGrenze entries deep into the index of the lines by account.
bool haeufigesKonto(DBConnection* db, unsigned long konto) {
    constexpr int kGrenze = 2000;
    return GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM eurVerbuchtBuchungszeilen WHERE Konto=%1 LIMIT %2)")
                               .arg(konto)
                               .arg(kGrenze))
               .toLongLong() >= kGrenze;
}
}  // namespace

bool seite(DBConnection* db, const Filter& filter, const Position& ab, int anzahl, QList<Zeile>* zeilen) {
    zeilen->clear();
    if (!db) return false;
    QVector<DatenTyp> werte;
    const bool selten = filter.konto != 0 && !haeufigesKonto(db, filter.konto);
    QString wo = bedingung(filter, &werte, !selten);
    if (!ab.anfang) {
        // Row values walk the index of the voucher date (the booking number
        // is the rowid beside it): the page starts where the last one ended.
        const QString nach = QStringLiteral("(h.Belegdatum, h.Buchungsnummer)>(?, ?)");
        wo = wo.isEmpty() ? nach : nach + QStringLiteral(" AND ") + wo;
        werte.prepend(DatenTyp(qlonglong(ab.nummer)));
        werte.prepend(DatenTyp(ab.datum));
    }
    const QString sql =
        QStringLiteral("SELECT h.Buchungsnummer, h.Belegdatum, h.Belegnummer, h.Buchungstext, h.Betrag, h.Buchungsart, h.Herkunft, "
                       "h.Storno, h.Storniert, g.Konto, g.Gegenkonto, g.Haben, "
                       "(SELECT z.Steuerschluessel FROM eurVerbuchtBuchungszeilen z WHERE z.Buchungsnummer=h.Buchungsnummer AND "
                       "z.Dialogzeile=2 LIMIT 1) FROM eurVerbucht h "
                       "LEFT JOIN eurVerbuchtBuchungszeilen g ON g.ID=(SELECT MIN(ID) FROM eurVerbuchtBuchungszeilen WHERE "
                       "Buchungsnummer=h.Buchungsnummer AND Dialogzeile=1)") +
        (wo.isEmpty() ? QString() : QStringLiteral(" WHERE ") + wo) +
        // A rare account's few bookings are read by number and sorted; any
        // other page walks the index of the voucher date.
        QStringLiteral(" ORDER BY %1h.Belegdatum, h.Buchungsnummer LIMIT %2").arg(selten ? QStringLiteral("+") : QString()).arg(anzahl);
    rsDataSource rs(db, sql, werte);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        Zeile z;
        z.nummer = f.getField(0).toULong();
        z.belegdatum = f.getField(1).toDate();
        z.belegnummer = f.getField(2).toString();
        z.text = f.getField(3).toString();
        z.betrag = f.getField(4).toEuro();
        z.art = f.getField(5).toInt();
        z.herkunft = long(f.getField(6).toLongLong());
        z.storno = f.getField(7).toLongLong() != 0;
        z.storniert = f.getField(8).toLongLong() != 0;
        z.konto = f.getField(9).toULong();
        z.gegenkonto = f.getField(10).toULong();
        z.haben = f.getField(11).toBool();
        z.schluessel = f.getField(12).toULong();
        zeilen->append(z);
    }
    return !rs.isError();
}

long anzahl(DBConnection* db, const Filter& filter) {
    if (!db) return 0;
    QVector<DatenTyp> werte;
    const QString wo = bedingung(filter, &werte);
    rsDataSource rs(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht h") + (wo.isEmpty() ? QString() : QStringLiteral(" WHERE ") + wo),
                    werte);
    return rs.isEOF() ? 0 : long(rs.getFields()->getField(0).toLongLong());
}

bool vorschau(DBConnection* db, const KontoGlobal::BuchungsEntwurf& b, QList<Vorschauzeile>* zeilen, QString* fehler) {
    zeilen->clear();
    if (!db) return false;
    // A run around the posting that is never finished: it rolls back when
    // it ends and never asks about the till (the booking is not kept).
    Buchungslauf lauf(db);
    if (!lauf.ok()) {
        if (fehler) *fehler = QStringLiteral("Die Vorschau ist gerade nicht möglich: ein anderes Programm schreibt in den Fall.");
        return false;
    }
    KontoGlobal::BuchungsEntwurf probe = b;
    probe.buchungsnummer = 0;
    const unsigned long nr = KontoGlobal::insertSplittBuchung(probe, db, fehler);
    if (nr == 0) return false;
    rsDataSource rs(db, QStringLiteral("SELECT Konto, Gegenkonto, Betrag, Haben, Steuerschluessel, Dialogzeile FROM "
                                       "eurVerbuchtBuchungszeilen WHERE Buchungsnummer=? ORDER BY ID"),
                    {DatenTyp(nr)});
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        Vorschauzeile z;
        z.konto = f.getField(0).toULong();
        z.gegenkonto = f.getField(1).toULong();
        z.betrag = f.getField(2).toEuro();
        z.haben = f.getField(3).toBool();
        z.schluessel = f.getField(4).toULong();
        z.steuerzeile = f.getField(5).toInt() == 0;
        if (z.steuerzeile) z.schluessel = 0;
        zeilen->append(z);
    }
    return true;
}

QString naechsteBelegnummer(DBConnection* db) {
    if (!db) return QString();
    const QString letzte =
        GetDatenTyp(db, QStringLiteral("SELECT Belegnummer FROM eurVerbucht WHERE Storno=0 ORDER BY Buchungsnummer DESC LIMIT 1")).toString();
    return letzte.trimmed().isEmpty() ? QString() : KontoGlobal::incRefNumber(letzte.trimmed());
}

QString festschreiben(const zDate& bis, bool* unveraendert) {
    *unveraendert = false;
    zDate von, ende;
    KontoGlobal::festschreibungsZeitraum(von, ende);
    const zDate bisher = KontoGlobal::getFestgeschriebenBis();
    if (bisher.isValid() && bis == bisher) {
        *unveraendert = true;
        return QString();
    }
    if (bis < von || ende < bis) {
        if (bisher.isValid() && bis < von)
            return QStringLiteral("Die Buchungen sind bereits bis zum %1 festgeschrieben; das Datum kann nur "
                                  "weiter in die Zukunft verlegt werden (frühestens %2).")
                .arg(bisher.getText(), von.getText());
        return QStringLiteral("Das Festschreibungsdatum muss zwischen dem %1 und dem %2 liegen.").arg(von.getText(), ende.getText());
    }
    if (!KontoGlobal::festschreibungAbschliessen(bis)) return QStringLiteral("Die Festschreibung konnte nicht gespeichert werden.");
    return QString();
}

const QList<Herkunft>& herkuenfte() {
    using KG = KontoGlobal;
    static const QList<Herkunft> tabelle = {
        {KG::HERK_UNBEKANNT, QStringLiteral("unbekannt")},
        {KG::HERK_ALT, QStringLiteral("Altbestand")},
        {KG::HERK_BUCH, QStringLiteral("Buchungsmaske")},
        {KG::HERK_BSP, QStringLiteral("Buchungsvorlage")},
        {KG::HERK_KASSE, QStringLiteral("Kassenbuch")},
        {KG::HERK_UMSATZ, QStringLiteral("Bankumsatz")},
        {KG::HERK_ANL_NEU, QStringLiteral("Anlage: Anschaffung")},
        {KG::HERK_ANL_ZUG, QStringLiteral("Anlage: Zugang")},
        {KG::HERK_ANL_ABG, QStringLiteral("Anlage: Abgang")},
        {KG::HERK_ANL_ERL, QStringLiteral("Anlage: Erlös")},
        {KG::HERK_ANL_AFA, QStringLiteral("Anlage: AfA")},
        {KG::HERK_ANL_SAFA, QStringLiteral("Anlage: Sonder-AfA")},
        {KG::HERK_ANL_AAFA, QStringLiteral("Anlage: außergewöhnliche AfA")},
        {KG::HERK_ANL_KRZ, QStringLiteral("Anlage: Kürzung")},
        {KG::HERK_ANL_SAL, QStringLiteral("Anlage: Saldovortrag")},
        {KG::HERK_IAB_HIN, QStringLiteral("Investitionsabzug: Hinzurechnung")},
        {KG::HERK_IAB_ABZ, QStringLiteral("Investitionsabzug: Herabsetzung")},
        {KG::HERK_UML_NEU, QStringLiteral("Umlaufvermögen: Anschaffung")},
        {KG::HERK_UML_ZUG, QStringLiteral("Umlaufvermögen: Zugang")},
        {KG::HERK_UML_ABG, QStringLiteral("Umlaufvermögen: Abgang")},
        {KG::HERK_UML_VERK, QStringLiteral("Umlaufvermögen: Verkauf")},
        {KG::HERK_RECH, QStringLiteral("Rechnung")},
        {KG::HERK_RECH_VORL, QStringLiteral("Rechnung (Vorlage)")},
        {KG::HERK_RECH_ASSI, QStringLiteral("Rechnung (Assistent)")},
        {KG::HERK_PA_ANT, QStringLiteral("Firmenwagen: Privatanteil")},
        {KG::HERK_PA_ENTF, QStringLiteral("Firmenwagen: Entfernungspauschale")},
        {KG::HERK_SALDO, QStringLiteral("Saldovortrag")},
        {KG::HERK_SALDOASSI, QStringLiteral("Saldovortrag (Assistent)")},
        {KG::HERK_IMPORT, QStringLiteral("Import")},
        {KG::HERK_SAVEDBSP, QStringLiteral("gespeicherte Vorlage")},
        {KG::HERK_REGEL, QStringLiteral("regelmäßige Buchung")},
        {KG::HERK_KASSEAB, QStringLiteral("Kassenabschluss")},
    };
    return tabelle;
}

QString herkunftName(long code) {
    for (const Herkunft& h : herkuenfte())
        if (h.code == code) return h.name;
    return QStringLiteral("Herkunft %1").arg(code);
}

QList<Befund> selbstpruefung() {
    QStringList texte = KontoGlobal::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true);
    texte += KontoGlobal::pruefeGeldbetraege(QStringLiteral("eurVerbucht"));
    static const QRegularExpression nummer(QStringLiteral("Buchung (\\d+)"));
    QList<Befund> befunde;
    for (const QString& t : texte) {
        const QRegularExpressionMatch m = nummer.match(t);
        befunde.append({m.hasMatch() ? m.captured(1).toULong() : 0, t.trimmed()});
    }
    return befunde;
}

}  // namespace Journal
