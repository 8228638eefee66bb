// Bookings: header and line rows, generated tax lines, simple and split
// postings, numbering, reading back, and the reference-number helpers.
//
// Every posting of the module ends here. A booking is written inside one
// transaction, so a failure part-way leaves nothing behind: no header
// without lines, no lines without their tax lines.
#include "kontbaum/buchungen/buchungen.h"

#include "kontbaum/anlagen/anlagen.h"

#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QVarLengthArray>

#include <array>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/buchung");

QString q(unsigned long v) { return rsDataSource::toSqlStr(v); }

// Table names become SQL text; only the booking families may pass. The
// position in this list keys the statement texts below.
const char* const kBuchungstabellen[] = {"eurVerbucht", "eurStapel", "eurBeispiel", "eurUebernahme", "eurSplitt"};
constexpr int kTabellen = int(sizeof kBuchungstabellen / sizeof kBuchungstabellen[0]);

int buchungstabelle(QStringView t) {
    for (int i = 0; i < kTabellen; ++i)
        if (t == QLatin1String(kBuchungstabellen[i])) return i;
    return -1;
}
bool istBuchungstabelle(const QString& t) { return buchungstabelle(t) >= 0; }
int zeilentabelle(const QString& t) {
    const QLatin1String endung("Buchungszeilen");
    if (!t.endsWith(endung)) return -1;
    return buchungstabelle(QStringView(t).left(t.size() - endung.size()));
}

// The INSERT texts, one per table, made once: every row of an import names
// the same statement, and the connection finds it by its text.
const QString& kopfEinfuegen(int tabelle) {
    static const std::array<QString, kTabellen> sql = [] {
        std::array<QString, kTabellen> a;
        for (int i = 0; i < kTabellen; ++i)
            a[i] = QStringLiteral("INSERT INTO ") + QLatin1String(kBuchungstabellen[i]) + QStringLiteral(" (") +
                   KontoGlobal::getBuchungsCols() +
                   QStringLiteral(", Dreieck) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
        return a;
    }();
    return sql[tabelle];
}

const QString& zeileEinfuegen(int tabelle) {
    static const std::array<QString, kTabellen> sql = [] {
        const QString platz = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
        std::array<QString, kTabellen> a;
        for (int i = 0; i < kTabellen; ++i) {
            const QString t = QLatin1String(kBuchungstabellen[i]) + QStringLiteral("Buchungszeilen");
            // The split table has no automatic key: its ID is given.
            a[i] = t == QLatin1String("eurSplittBuchungszeilen")
                       ? QStringLiteral("INSERT INTO ") + t + QStringLiteral(" (ID, ") + KontoGlobal::getBuchungsColsZeilen() +
                             QStringLiteral(") VALUES (?, ") + platz + QStringLiteral(");")
                       : QStringLiteral("INSERT INTO ") + t + QStringLiteral(" (") + KontoGlobal::getBuchungsColsZeilen() +
                             QStringLiteral(") VALUES (") + platz + QStringLiteral(");");
        }
        return a;
    }();
    return sql[tabelle];
}

const QString& hoechsteNummer(int tabelle) {
    static const std::array<QString, kTabellen> sql = [] {
        std::array<QString, kTabellen> a;
        for (int i = 0; i < kTabellen; ++i)
            a[i] = QStringLiteral("SELECT MAX(Buchungsnummer) FROM ") + QLatin1String(kBuchungstabellen[i]);
        return a;
    }();
    return sql[tabelle];
}

// Runs `f` inside a transaction of `db`; rolls back when it returns false.
template <class F>
bool inTransaktion(DBConnection* db, F f) {
    DBTransaktion t(db);
    return t.ok() && f() && t.commit();
}
}  // namespace

QString KontoGlobal::getBuchungsCols() {
    return QStringLiteral("Buchungsnummer, Buchungstext, Periode, Stapel, Storno, Storniert, Betrag, Netto, Belegdatum, "
                          "Buchungsdatum, Belegnummer, Buchungsart, Zusatzinfo, Intervall, UStID, ZMArt, Zahlungsdatum, Herkunft");
}

QString KontoGlobal::getBuchungsColsZeilen() {
    return QStringLiteral("Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Fremdbelegnummer, Konto, Kostenstelle, "
                          "Steuerschluessel, Gegenkonto, Buchungstext, OPOSNummer, Splitt, SplittBetrag, SplittNetto, "
                          "AufteilungViaProzent, AufteilungProzentsatz, RestBeiProzent");
}

bool KontoGlobal::insertBuchung(unsigned long herkunft, const QString& table, DBConnection* con, unsigned long nr,
                                const QString& text, unsigned long stapel, EuroType betrag, bool netto,
                                const zDate& belegdatum, const zDate& zahlungsdatum, const QString& belegnummer,
                                int buchungsart, const QString& zusatzinfo, int storno, int storniert, unsigned long periode,
                                const zDate& buchungsdatum, const QString& intervall, const QString& ustid, int zmart,
                                bool dreieck) {
    con = rsFallDB(con);
    const int t = buchungstabelle(table);
    if (!con || t < 0) return false;
    const DatenTyp werte[] = {DatenTyp(nr),         DatenTyp(text),       DatenTyp(periode),      DatenTyp(stapel),
                              DatenTyp(storno),     DatenTyp(storniert),  DatenTyp(betrag),       DatenTyp(netto),
                              DatenTyp(belegdatum), DatenTyp(buchungsdatum), DatenTyp(belegnummer), DatenTyp(buchungsart),
                              DatenTyp(zusatzinfo), DatenTyp(intervall),  DatenTyp(ustid),        DatenTyp(zmart),
                              DatenTyp(zahlungsdatum), DatenTyp(herkunft), DatenTyp(dreieck)};
    // One prepared statement per table, the values bound as their literals
    // would be written: a year's import parses the statement once.
    return ExecPrepared(con, kopfEinfuegen(t), werte, int(std::size(werte)));
}

bool KontoGlobal::insertBuchungszeile(const QString& table, DBConnection* con, unsigned long nr, unsigned long steuerID,
                                      int dialogzeile, EuroType betrag, bool haben, unsigned long konto,
                                      unsigned long steuerschluessel, unsigned long gegenkonto, const QString& text,
                                      int splitt, const QString& fremdbelegnummer, const QString& kostenstelle,
                                      EuroType splittBetrag, bool splittNetto, const QString& oposNummer,
                                      bool viaProzent, double prozentsatz, bool restBeiProzent) {
    con = rsFallDB(con);
    const int t = zeilentabelle(table);
    if (!con || t < 0) return false;
    // Slot 0 is the key of the split table, which has no automatic one.
    DatenTyp werte[] = {DatenTyp(),           DatenTyp(nr),          DatenTyp(steuerID),    DatenTyp(dialogzeile),
                        DatenTyp(betrag),     DatenTyp(haben),       DatenTyp(fremdbelegnummer), DatenTyp(konto),
                        DatenTyp(kostenstelle), DatenTyp(steuerschluessel), DatenTyp(gegenkonto), DatenTyp(text),
                        DatenTyp(oposNummer), DatenTyp(splitt),      DatenTyp(splittBetrag), DatenTyp(splittNetto),
                        DatenTyp(viaProzent), DatenTyp(prozentsatz), DatenTyp(restBeiProzent)};
    if (table == QLatin1String("eurSplittBuchungszeilen")) {
        werte[0] = DatenTyp(getMaxKey(con, QStringLiteral("SELECT MAX(ID) FROM eurSplittBuchungszeilen")) + 1);
        return ExecPrepared(con, zeileEinfuegen(t), werte, int(std::size(werte)));
    }
    return ExecPrepared(con, zeileEinfuegen(t), werte + 1, int(std::size(werte)) - 1);
}

namespace {
// A part's line and its tax lines, from the split `d` of its key (for a
// part without a key: the amount as net, no tax accounts).
bool mitSteuerzeilen(const QString& table, DBConnection* con, unsigned long nr, unsigned long steuerID, int dialogzeile,
                     const KontoGlobal::ssDaten& d, bool haben, unsigned long konto, unsigned long steuerschluessel,
                     unsigned long gegenkonto, const QString& text, int splitt, const QString& fremdbelegnummer,
                     const QString& kostenstelle, EuroType splittBetrag, bool splittNetto, const QString& oposNummer,
                     bool viaProzent, double prozentsatz, bool restBeiProzent) {
    return inTransaktion(con, [&] {
        bool ok = KontoGlobal::insertBuchungszeile(table, con, nr, steuerID, dialogzeile, d.netto, haben, konto, steuerschluessel,
                                                   gegenkonto, text, splitt, fremdbelegnummer, kostenstelle, splittBetrag,
                                                   splittNetto, oposNummer, viaProzent, prozentsatz, restBeiProzent);
        // A tax of zero (a cent amount at a low rate) gets no line: a line
        // of 0.00 moves nothing and would only be noise in every list.
        if (ok && d.steuerkonto != 0 && !d.steuer.isNull())
            ok = KontoGlobal::insertBuchungszeile(table, con, nr, steuerID, 0, d.steuer, haben, d.steuerkonto, 999999, gegenkonto,
                                                  text, splitt, fremdbelegnummer, kostenstelle, splittBetrag, splittNetto,
                                                  oposNummer, viaProzent, prozentsatz, restBeiProzent);
        if (ok && d.steuerkonto2 != 0 && !d.steuer.isNull())
            ok = KontoGlobal::insertBuchungszeile(table, con, nr, steuerID, 0, d.steuer, !haben, d.steuerkonto2, 999999,
                                                  gegenkonto, text, splitt, fremdbelegnummer, kostenstelle, splittBetrag,
                                                  splittNetto, oposNummer, viaProzent, prozentsatz, restBeiProzent);
        return ok;
    });
}

// The split of a part's amount by its key; a part without a key keeps its
// amount as net and has no tax.
KontoGlobal::ssDaten aufteilung(DBConnection* con, unsigned long steuerschluessel, EuroType betrag, bool netto,
                                KontoGlobal::SchluesselSpeicher* speicher = nullptr) {
    if (steuerschluessel != 0 && steuerschluessel != 999999) {
        if (!speicher) return KontoGlobal::calcSteuerschluessel(con, steuerschluessel, betrag, netto, 2);
        auto it = speicher->zeilen.constFind(steuerschluessel);
        if (it == speicher->zeilen.constEnd())
            it = speicher->zeilen.insert(steuerschluessel, KontoGlobal::calcSteuerschluessel(con, steuerschluessel, EuroType(), false, 2));
        return KontoGlobal::teileBetrag(*it, betrag, netto, 2);
    }
    KontoGlobal::ssDaten d;
    d.netto = betrag;
    d.steuer = EuroType();
    d.steuerkonto = 0;
    d.steuerkonto2 = 0;
    return d;
}
}  // namespace

// The money a part moves: a key with two tax accounts books its tax twice
// on opposite sides, so only the base is paid.
EuroType bruttoVon(const KontoGlobal::ssDaten& d, unsigned long steuerschluessel) {
    if (steuerschluessel == 0 || steuerschluessel == 999999) return d.netto;
    return d.steuerkonto2 != 0 || d.steuerkonto == 0 ? d.netto : d.netto + d.steuer;
}

// The entertainment rule of the case: the account of non-deductible
// entertainment (0: the chart has none, nothing is divided) and the
// deductible share in percent.
void leseBewirtung(DBConnection* con, KontoGlobal::SchluesselSpeicher& sp) {
    if (sp.bewirtungsKonto >= 0) return;
    sp.bewirtungsKonto = long(GetDatenTyp(con, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Aktiv<>0 AND EUR=") +
                                                   q(KontoGlobal::kEurBewirtungNichtAbziehbar))
                                  .toULong());
    const DatenTyp p = GetDatenTyp(con, QStringLiteral("SELECT MAX(Betrag) FROM eurSperrgrenzen WHERE Bezeichnung="
                                                       "'Bewirtung: abziehbarer Anteil in Prozent'"));
    // A case without the limit predates it; the share has been 70 % since 2004.
    sp.bewirtungsProzent = p.isNull() ? 70.0 : p.toDouble();
    con->getErr()->clear();
}

unsigned long eurZeileVon(DBConnection* con, unsigned long konto, KontoGlobal::SchluesselSpeicher& sp) {
    auto it = sp.eurZeilen.constFind(konto);
    if (it == sp.eurZeilen.constEnd())
        it = sp.eurZeilen.insert(konto, GetDatenTyp(con, QStringLiteral("SELECT EUR FROM eurKontenplan WHERE Nummer=") + q(konto)).toULong());
    return *it;
}

bool KontoGlobal::insertBuchungszeileMitSteuerzeilen(const QString& table, DBConnection* con, unsigned long nr,
                                                     unsigned long steuerID, int dialogzeile, EuroType betrag, bool netto,
                                                     bool haben, unsigned long konto, unsigned long steuerschluessel,
                                                     unsigned long gegenkonto, const QString& text, int splitt,
                                                     const QString& fremdbelegnummer, const QString& kostenstelle,
                                                     EuroType splittBetrag, bool splittNetto, const QString& oposNummer,
                                                     bool viaProzent, double prozentsatz, bool restBeiProzent) {
    con = rsFallDB(con);
    if (!con) return false;
    return mitSteuerzeilen(table, con, nr, steuerID, dialogzeile, aufteilung(con, steuerschluessel, betrag, netto), haben, konto,
                           steuerschluessel, gegenkonto, text, splitt, fremdbelegnummer, kostenstelle, splittBetrag, splittNetto,
                           oposNummer, viaProzent, prozentsatz, restBeiProzent);
}

unsigned long KontoGlobal::getNewBuchungsnummer(const QString& table, DBConnection* con) {
    con = rsFallDB(con);
    const int t = buchungstabelle(table);
    if (!con || t < 0) return 0;
    // The highest key + 1 (what a record set over the table reports as its
    // maximum key), read with an aggregate instead of scanning the rows.
    const QVector<DatenTyp> z = QueryPrepared(con, hoechsteNummer(t), {});
    const qlonglong max = z.isEmpty() ? 0 : z.first().toLongLong();
    return (max > 0 ? (unsigned long)max : 0UL) + 1;
}

unsigned long KontoGlobal::insertSimpleBuchung(unsigned long herkunft, const QString& table, const QString& text,
                                               EuroType betrag, bool netto, const zDate& datum, const QString& belegnummer,
                                               int buchungsart, bool haben, unsigned long konto, unsigned long gegenkonto,
                                               unsigned long steuerschluessel, const QString& zusatzinfo, DBConnection* con,
                                               unsigned long buchungsnummer) {
    BuchungsEntwurf b;
    b.herkunft = herkunft;
    b.table = table;
    b.text = text;
    b.belegdatum = datum;
    b.belegnummer = belegnummer;
    b.buchungsart = buchungsart;
    b.zusatzinfo = zusatzinfo;
    b.haben = haben;
    b.konto = konto;
    b.buchungsnummer = buchungsnummer;
    if (gegenkonto != 0) b.teile.append({gegenkonto, steuerschluessel, betrag, netto, QString()});
    return insertSplittBuchung(b, con, nullptr);
}

unsigned long KontoGlobal::insertSplittBuchung(const BuchungsEntwurf& b, DBConnection* con, QString* fehler,
                                              SchluesselSpeicher* speicher) {
    auto fail = [fehler](const QString& t) -> unsigned long {
        if (fehler) *fehler = t;
        return 0;
    };
    con = rsFallDB(con);
    if (!con) return fail(QStringLiteral("Es ist kein Fall geöffnet."));
    if (!istBuchungstabelle(b.table)) return fail(QStringLiteral("Unbekannte Buchungstabelle „%1“.").arg(b.table));
    // A booking of the ledger is a run of its own unless an operation of
    // many postings has opened one: only the ledger moves a till.
    Buchungslauf lauf(b.table == QLatin1String("eurVerbucht") ? con : nullptr);
    if (!lauf.ok()) return fail(QStringLiteral("Die Buchung konnte nicht gespeichert werden: %1").arg(con->getErr()->last()));
    unsigned long nr = b.buchungsnummer;
    if (nr != 0 && !b.nummerIstFrei) {
        const DatenTyp da = GetDatenTyp(con, QStringLiteral("SELECT Buchungsnummer FROM ") + b.table +
                                                 QStringLiteral(" WHERE Buchungsnummer=") + q(nr));
        if (!da.isNull()) {
            const QString t = QStringLiteral("Die Buchungsnummer %1 gibt es schon in %2. Es muss eine andere Buchungsnummer "
                                             "gewählt werden.")
                                  .arg(nr)
                                  .arg(b.table);
            rs_logAssert(kQuelle, __LINE__, QStringLiteral("existisBuchungsnummer==0"));
            rs_logError(kQuelle, __LINE__, t);
            return fail(t);
        }
    }
    if (b.table == QLatin1String("eurVerbucht")) {
        QList<unsigned long> konten{b.konto};
        for (const BuchungsTeil& t : b.teile) konten << t.konto;
        // A run of postings reads once which registers have a closing at
        // all; the bookings touching none of them need no look-up.
        bool pruefen = true;
        if (speicher) {
            if (speicher->kassenGelesen < 0) {
                for (rsDataSource rs(con, QStringLiteral("SELECT DISTINCT Konto FROM eurKassenabschluss")); !rs.isEOF(); rs.fetch())
                    speicher->abgeschlosseneKassen.insert(rs.getFields()->getField(0).toULong());
                con->getErr()->clear();
                speicher->kassenGelesen = 1;
            }
            pruefen = false;
            for (unsigned long k : konten) pruefen = pruefen || speicher->abgeschlosseneKassen.contains(k);
        }
        const QString kasse = pruefen ? pruefeKasseAbgeschlossen(konten, b.belegdatum, b.teile.size() > 1, con) : QString();
        if (!kasse.isEmpty()) return fail(kasse);
    }
    for (const BuchungsTeil& t : b.teile) {
        if (t.betrag < EuroType()) return fail(QStringLiteral("Teilbeträge einer Buchung dürfen nicht negativ sein."));
        if (t.betrag.isNull()) return fail(QStringLiteral("Der Betrag einer Buchung darf nicht 0 sein."));
    }

    // The parts as they will be written: base and tax of each.
    // (The split is made once here and written below as it is.)
    struct Teil {
        BuchungsTeil eingabe;
        ssDaten aufteilung;
        EuroType brutto;
    };
    QVarLengthArray<Teil, 4> teile;
    EuroType summe;
    SchluesselSpeicher eigener;
    SchluesselSpeicher& sp = speicher ? *speicher : eigener;
    // A key the case has not activated never reaches the ledger, whichever
    // way the booking came: typed, imported, from a template, a bank
    // transaction or an invoice.
    for (const BuchungsTeil& t : b.teile) {
        if (t.steuerschluessel == 0 || t.steuerschluessel == 999999) continue;
        auto it = sp.schluesselNein.constFind(t.steuerschluessel);
        if (it == sp.schluesselNein.constEnd())
            it = sp.schluesselNein.insert(t.steuerschluessel, pruefeSteuerschluesselAktiv(con, t.steuerschluessel));
        if (!it->isEmpty()) return fail(*it);
    }
    if (sp.ustPflicht < 0) sp.ustPflicht = istUstPflichtig(con) ? 1 : 0;
    const bool ustPflichtig = sp.ustPflicht != 0;
    leseBewirtung(con, sp);
    const unsigned long nichtAbziehbar = (unsigned long)sp.bewirtungsKonto;
    bool vonHandGeteilt = nichtAbziehbar == 0 || sp.bewirtungsProzent >= 100.0;
    for (const BuchungsTeil& t : b.teile) vonHandGeteilt = vonHandGeteilt || t.konto == nichtAbziehbar;
    // A part's base and tax by its key.
    QString nein;
    auto teilVon = [&](const BuchungsTeil& t, Teil* x) {
        *x = Teil{t, aufteilung(con, t.steuerschluessel, t.betrag, t.netto, &sp), t.betrag};
        if (t.steuerschluessel != 0 && t.steuerschluessel != 999999 && !ustPflichtig) {
            nein = schluesselOhneUstPflicht(con, t.steuerschluessel, x->aufteilung);
            if (!nein.isEmpty()) return false;
            // The tax it owes but may not deduct is part of the cost: the
            // line that would deduct it stays on the account itself.
            x->aufteilung.steuerkonto = t.konto;
        }
        x->brutto = bruttoVon(x->aufteilung, t.steuerschluessel);
        return true;
    };
    // Net and tax of an entertainment receipt are each divided, so that the
    // tax of the receipt is deducted to the cent and the two parts add up to
    // its amount: `x` keeps the deductible share, `rest` goes to the account
    // of the non-deductible share.
    auto bewirtungTeilen = [&](Teil* x, Teil* rest) {
        const unsigned long schluessel = x->eingabe.steuerschluessel;
        const ssDaten ganz = x->aufteilung;
        *rest = *x;
        x->aufteilung.netto = ganz.netto.prozent(sp.bewirtungsProzent);
        x->aufteilung.steuer = ganz.steuer.prozent(sp.bewirtungsProzent);
        rest->aufteilung.netto = ganz.netto - x->aufteilung.netto;
        rest->aufteilung.steuer = ganz.steuer - x->aufteilung.steuer;
        rest->eingabe.konto = nichtAbziehbar;
        if (!ustPflichtig && schluessel != 0 && schluessel != 999999) rest->aufteilung.steuerkonto = nichtAbziehbar;
        x->brutto = bruttoVon(x->aufteilung, schluessel);
        rest->brutto = bruttoVon(rest->aufteilung, schluessel);
        for (Teil* y : {x, rest}) {
            y->eingabe.betrag = y->brutto;
            y->eingabe.netto = false;
        }
    };
    const bool bewirtungGilt = nichtAbziehbar != 0 && sp.bewirtungsProzent < 100.0;
    for (int i = 0; i < b.teile.size(); ++i) {
        const BuchungsTeil& t = b.teile[i];
        Teil x;
        if (!teilVon(t, &x)) return fail(nein);
        const bool abziehbar = bewirtungGilt && eurZeileVon(con, t.konto, sp) == kEurBewirtungAbziehbar;
        if (abziehbar && !vonHandGeteilt) {
            Teil rest;
            bewirtungTeilen(&x, &rest);
            if (!rest.aufteilung.netto.isNull()) {
                if (!x.aufteilung.netto.isNull()) {
                    summe += x.brutto;
                    teile.append(x);
                }
                summe += rest.brutto;
                teile.append(rest);
                continue;
            }
        } else if (abziehbar && i + 1 < b.teile.size()) {
            // A receipt divided before (the bookings file exported by this
            // program, the parts of a template): the deductible part
            // followed by the rest of the same key. When dividing their sum
            // gives these two amounts again, net and tax come from the
            // whole, as at its first posting, not from each part's rounded
            // gross amount on its own, which can be a cent apart.
            const BuchungsTeil& n = b.teile[i + 1];
            Teil ganz, rest;
            if (n.konto == nichtAbziehbar && n.steuerschluessel == t.steuerschluessel && !t.netto && !n.netto &&
                teilVon({t.konto, t.steuerschluessel, t.betrag + n.betrag, false, t.text}, &ganz)) {
                Teil geteilt = ganz;
                bewirtungTeilen(&geteilt, &rest);
                if (geteilt.brutto == t.betrag && rest.brutto == n.betrag) {
                    rest.eingabe.text = n.text;
                    summe += geteilt.brutto + rest.brutto;
                    teile.append(geteilt);
                    teile.append(rest);
                    ++i;
                    continue;
                }
            }
        }
        summe += x.brutto;
        teile.append(x);
    }
    const bool gesplittet = teile.size() > 1;
    // The header keeps the amount as entered: net with the Netto flag for a
    // plain booking entered net, else the gross total.
    const bool kopfNetto = !gesplittet && teile.size() == 1 && teile[0].eingabe.netto;
    const EuroType kopfBetrag = kopfNetto ? teile[0].eingabe.betrag : summe;
    const zDate heute = b.buchungsdatum.isValid() ? b.buchungsdatum : zDate::today();
    const zDate zahlung = b.zahlungsdatum.isValid() ? b.zahlungsdatum : b.belegdatum;
    const QString zeilen = b.table + QStringLiteral("Buchungszeilen");

    const bool ok = inTransaktion(con, [&] {
        if (nr == 0) nr = getNewBuchungsnummer(b.table, con);
        if (nr == 0) return false;
        if (!insertBuchung(b.herkunft, b.table, con, nr, b.text, 0, kopfBetrag, kopfNetto, b.belegdatum, zahlung,
                           b.belegnummer, b.buchungsart, b.zusatzinfo, 0, 0, 0, heute, QString(), b.ustid, b.zmart,
                           b.dreieck))
            return false;
        if (b.konto == 0) return true;
        // The money line: in a split booking the unsplit side has no
        // counter account of its own.
        const unsigned long gegen = gesplittet ? 0 : (teile.isEmpty() ? 0 : teile[0].eingabe.konto);
        if (!insertBuchungszeile(zeilen, con, nr, 0, 1, summe, b.haben, b.konto, 0, gegen, b.text)) return false;
        for (int i = 0; i < teile.size(); ++i) {
            const BuchungsTeil& t = teile[i].eingabe;
            const QString text = t.text.isEmpty() ? b.text : t.text;
            if (!mitSteuerzeilen(zeilen, con, nr, unsigned(i + 1), 2, teile[i].aufteilung, !b.haben, t.konto,
                                 t.steuerschluessel, b.konto, text, gesplittet ? 1 : 0, QString(), QString(),
                                 gesplittet ? t.betrag : EuroType(), gesplittet && t.netto, QString(), false, 0.0, false))
                return false;
        }
        return true;
    });
    if (!ok) return fail(QStringLiteral("Die Buchung konnte nicht gespeichert werden: %1").arg(con->getErr()->last()));
    lauf.gebucht();
    QString grund;
    if (!lauf.abschliessen(&grund)) return fail(grund);
    return nr;
}

unsigned long KontoGlobal::bucheEingabe(const BuchungsEntwurf& b, DBConnection* con, QString* fehler) {
    // An expense above the limit of low-value assets on an account where
    // equipment lands is probably an asset: ask before it is written off at once.
    if (b.buchungsart == 2 && b.teile.size() == 1) {
        const BuchungsTeil& t = b.teile.first();
        EuroType netto = t.betrag;
        if (!t.netto && t.steuerschluessel != 0) netto = calcSteuerschluessel(con, t.steuerschluessel, t.betrag, false, 2).netto;
        const QString frage = Anlagen::grenzfrage(t.konto, netto);
        if (!frage.isEmpty() && !GetUi().frage(frage, QStringLiteral("Geringwertiges Wirtschaftsgut?"))) {
            if (fehler)
                *fehler = QStringLiteral("Nicht gebucht: %1 € netto liegen über der Grenze von %2 € für geringwertige Wirtschaftsgüter. "
                                         "Mit --ja wird trotzdem als Ausgabe gebucht.")
                              .arg(netto.getText(), Anlagen::gwgGrenze().getText());
            return 0;
        }
    }
    if (isInFestschreibungsZeitraum(b.belegdatum) &&
        !festgeschriebenFrage(QStringLiteral("Festgeschrieben"), FFK_Buchen, FFT_NeueFestgeschrieben)) {
        if (fehler) *fehler = QStringLiteral("Die Buchung liegt im festgeschriebenen Zeitraum und wurde nicht gespeichert.");
        return 0;
    }
    return insertSplittBuchung(b, con, fehler);
}

KontoGlobal::SimpleBuchung KontoGlobal::getBuchung(unsigned long n, const QString& table) {
    SimpleBuchung s;
    DBConnection* con = rsFallDB(nullptr);
    if (!con || !istBuchungstabelle(table)) return s;
    {
        rsDataSource rs(con, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE Buchungsnummer=") + q(n));
        if (rs.isEOF()) return s;
        s.buchungsnummer = n;
        s.zusatzinfo = rs.field(QStringLiteral("Zusatzinfo")).toString();
        s.buchungstext = rs.field(QStringLiteral("Buchungstext")).toString();
        s.belegdatum = rs.field(QStringLiteral("Belegdatum")).toDate();
    }
    const QString zeilen = table + QStringLiteral("Buchungszeilen");
    auto steuerDerGruppe = [&](long long id, unsigned long sid) {
        return GetDatenTyp(con, QStringLiteral("SELECT MAX(Betrag) FROM ") + zeilen + QStringLiteral(" WHERE Buchungsnummer=") + q(n) +
                                    QStringLiteral(" AND ID<>") + QString::number(id) + QStringLiteral(" AND SteuerID=") + q(sid))
            .toEuro();
    };
    {
        rsDataSource z1(con, QStringLiteral("SELECT * FROM ") + zeilen + QStringLiteral(" WHERE Buchungsnummer=") + q(n) +
                                 QStringLiteral(" AND Dialogzeile=1"));
        if (!z1.isEOF()) {
            s.konto = z1.field(QStringLiteral("Konto")).toULong();
            s.steuerschluessel = z1.field(QStringLiteral("Steuerschluessel")).toULong();
            s.betrag = z1.field(QStringLiteral("Betrag")).toEuro();
            s.haben = z1.field(QStringLiteral("Haben")).toBool();
            s.splitt = z1.field(QStringLiteral("Splitt")).toLongLong() != 0;
            s.steuerID1 = z1.field(QStringLiteral("SteuerID")).toULong();
            s.zeile1 = z1.field(QStringLiteral("ID")).toLongLong();
            if (s.steuerschluessel != 0) s.steuer = steuerDerGruppe(s.zeile1, s.steuerID1);
        }
    }
    rsDataSource z2(con, QStringLiteral("SELECT * FROM ") + zeilen + QStringLiteral(" WHERE Buchungsnummer=") + q(n) +
                             QStringLiteral(" AND Dialogzeile=2"));
    if (!z2.isEOF()) {
        s.gegenkonto = z2.field(QStringLiteral("Konto")).toULong();
        s.betragGegen = z2.field(QStringLiteral("Betrag")).toEuro();
        if (!s.splitt) s.splitt = z2.field(QStringLiteral("Splitt")).toLongLong() != 0;
        if (s.steuerschluessel == 0 || s.steuerschluessel == 999999)
            s.steuerschluessel = z2.field(QStringLiteral("Steuerschluessel")).toULong();
        s.steuerID2 = z2.field(QStringLiteral("SteuerID")).toULong();
        s.zeile2 = z2.field(QStringLiteral("ID")).toLongLong();
        if (s.steuerschluessel != 0) s.steuer = steuerDerGruppe(s.zeile2, s.steuerID2);
    }
    return s;
}

QString KontoGlobal::herkunftToString(unsigned long h) {
    switch (h) {
    case HERK_UNBEKANNT: return QStringLiteral("HERK_UNBEKANNT: Nicht bekannt");
    case HERK_ALT: return QStringLiteral("HERK_ALT: Buchung wurde vor Einfuehrung der Herkunft erzeugt");
    case HERK_BUCH: return QStringLiteral("HERK_BUCH: Normaler Buchungsdialog");
    case HERK_BSP: return QStringLiteral("HERK_BSP: Buchungsvorlage");
    case HERK_KASSE: return QStringLiteral("HERK_KASSE: Kassen-Buchungs-Dialog");
    case HERK_UMSATZ: return QStringLiteral("HERK_UMSATZ: Umsatzuebernahme");
    case HERK_ANL_NEU: return QStringLiteral("HERK_ANL_NEU: Anlagevermoegen (Neuanschaffung)");
    case HERK_ANL_ZUG: return QStringLiteral("HERK_ANL_ZUG: Anlagevermoegen (Zugang)");
    case HERK_ANL_ABG: return QStringLiteral("HERK_ANL_ABG: Anlagevermoegen (Abgang)");
    case HERK_ANL_ERL: return QStringLiteral("HERK_ANL_ERL: Anlagevermoegen (Verkaufs-Erloes)");
    case HERK_ANL_AFA: return QStringLiteral("HERK_ANL_AFA: Anlagevermoegen (AfA)");
    case HERK_ANL_SAFA: return QStringLiteral("HERK_ANL_SAFA: Anlagevermoegen (Sonder-AfA)");
    case HERK_ANL_AAFA: return QStringLiteral("HERK_ANL_AAFA: Anlagevermoegen (Aussergewoehliche AfA)");
    case HERK_ANL_KRZ: return QStringLiteral("HERK_ANL_KRZ: Anlagevermoegen (Kuerzungsbetrag)");
    case HERK_ANL_SAL: return QStringLiteral("HERK_ANL_SAL: Anlagevermoegen (Saldovortrag)");
    case HERK_IAB_HIN: return QStringLiteral("HERK_IAB_HIN: Investitions-Anschaffungsbetrag (Hinzurechnungsbetrag)");
    case HERK_IAB_ABZ: return QStringLiteral("HERK_IAB_ABZ: Investitions-Anschaffungsbetrag (Herabsetzungsbetrag)");
    case HERK_UML_NEU: return QStringLiteral("HERK_UML_NEU: Umlaufvermoegen (Neuanschaffung)");
    case HERK_UML_ZUG: return QStringLiteral("HERK_UML_ZUG: Umlaufvermoegen (Zugang)");
    case HERK_UML_ABG: return QStringLiteral("HERK_UML_ABG: Umlaufvermoegen (Abgang)");
    case HERK_UML_VERK: return QStringLiteral("HERK_UML_VERK: Umlaufvermoegen (Verkauf)");
    case HERK_RECH: return QStringLiteral("HERK_RECH: Rechnungsdialog");
    case HERK_RECH_VORL: return QStringLiteral("HERK_RECH_VORL: Rechnung über Vorlage verbucht");
    case HERK_RECH_ASSI: return QStringLiteral("HERK_RECH_ASSI: Rechnungsassistent");
    case HERK_PA_ANT: return QStringLiteral("HERK_PA_ANT: Privatanteil für Firmenwagen (Anteil)");
    case HERK_PA_ENTF: return QStringLiteral("HERK_PA_ENTF: Privatanteil für Firmenwagen (Entfernungspauschale)");
    case HERK_SALDO: return QStringLiteral("HERK_SALDO: Saldovortragsbuchung");
    case HERK_SALDOASSI: return QStringLiteral("HERK_SALDOASSI: Saldovortragsbuchung aus dem Assi");
    case HERK_IMPORT: return QStringLiteral("HERK_IMPORT: Importiert aus einer anderen EUER");
    case HERK_SAVEDBSP: return QStringLiteral("HERK_SAVEDBSP: Gespeicherte Buchungsbeispiele");
    case HERK_REGEL: return QStringLiteral("HERK_REGEL:  Regelmaessige Buchung");
    case HERK_KASSEAB: return QStringLiteral("HERK_KASSEAB:  KassenabschlussAssi");
    default: return QStringLiteral("Kein Enum-Wert aus KontoGlobal::EurBuchungsherkunft");
    }
}

QString KontoGlobal::getBuchungsartText(int art, int kurz) {
    static const char* const lang[] = {"Einnahme", "Ausgabe", "Freie Buchung", "Erstattung", "Gutschrift", "Saldovortrag"};
    static const char* const kurzText[] = {"Ein", "Aus", "Frei", "ER", "AR", "Vor"};
    if (art < 1 || art > 6) return QString();
    return QString::fromLatin1(kurz == 1 ? kurzText[art - 1] : lang[art - 1]);
}

bool KontoGlobal::zusatzinfoIsRechnungsnummer(const QString& z) {
    if (z.isEmpty()) return false;
    static const char* const tags[] = {"FromBsp:", "FromBuchung:", "Wertung:", "AnlageNeu_", "AnlageZugang_", "AnlageAbgang_",
                                       "AnlageKuerzung_", "AnlageErloes_", "AnlageAbschreibung_", "AnlageSonderAbschreibung_",
                                       "AnlageAussergewAbschreibung_", "IabHin_", "IabAbz_", "UmlaufNeu_", "UmlaufZugang_",
                                       "UmlaufAbgang_", "UmlaufVerkauf_", "Privatanteil[", "EntfPausch["};
    for (const char* t : tags)
        if (z.startsWith(QLatin1String(t))) return false;
    return true;
}

bool KontoGlobal::splitRefNumber(const QString& ref, QString& prefix, int& nullen, unsigned long& nummer, QString& suffix) {
    prefix.clear();
    suffix.clear();
    nullen = 0;
    nummer = 0;
    if (ref.isEmpty()) return false;
    auto ziffer = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    int ende = ref.size();
    while (ende > 0 && !ziffer(ref[ende - 1])) --ende;
    if (ende == 0) return false;
    int anfang = ende;
    while (anfang > 0 && ziffer(ref[anfang - 1])) --anfang;
    const QString lauf = ref.mid(anfang, ende - anfang);
    suffix = ref.mid(ende);
    prefix = ref.left(anfang);
    while (nullen < lauf.size() && lauf[nullen] == QLatin1Char('0')) ++nullen;
    if (nullen == lauf.size() && nullen > 1) --nullen;
    // Longer runs than an unsigned long holds keep their last digits' value;
    // voucher numbers never come near that.
    nummer = lauf.right(18).toULongLong();
    return true;
}

namespace {
// Digits of the number as written; 0 is written with one digit, so that the
// run "000" (two leading zeros and the number 0) becomes "001" and keeps
// its length.
int stellen(unsigned long n) {
    int d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}
}  // namespace

QString KontoGlobal::incRefNumber(const QString& prefix, int nullen, unsigned long nummer, const QString& suffix) {
    const unsigned long n = nummer + 1;
    if (nullen < 1) return prefix + QString::number(n) + suffix;
    const int fuellung = nullen - stellen(n) + stellen(nummer);
    return prefix + QString(qMax(0, fuellung), QLatin1Char('0')) + QString::number(n) + suffix;
}

QString KontoGlobal::incRefNumber(const QString& ref) {
    QString prefix, suffix;
    int nullen = 0;
    unsigned long nummer = 0;
    if (!splitRefNumber(ref, prefix, nullen, nummer, suffix)) return ref;
    return incRefNumber(prefix, nullen, nummer, suffix);
}
