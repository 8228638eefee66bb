// The profit of the income-surplus statement, computed from the booking
// lines by category, and the transfer of the ledger into the EÜR form.
#include "kontbaum/steuer/steuer.h"

#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/sperrgrenzen.h"

#include <QHash>
#include <QMap>
#include <QVector>

#include <algorithm>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/gewinn");

const QString kKategorien = QStringLiteral(
    " AND  ((Kategorie<>4208 AND Kategorie BETWEEN 4000 AND 4999) OR (Kategorie BETWEEN 3000 AND 3099) OR (Kategorie BETWEEN 5000 "
    "AND 5999) OR (Kategorie BETWEEN 3100 AND 3399))");

bool istEinnahme(unsigned long k) { return (k >= 4000 && k <= 4999 && k != 4208) || (k >= 3000 && k <= 3099); }
bool istAusgabe(unsigned long k) { return (k >= 5000 && k <= 5999) || (k >= 3100 && k <= 3399); }
// The category of the VAT the business owes itself on an intra-EU
// acquisition or as the recipient of a § 13b supply, the input tax,
// and the form's line of the input tax paid.
constexpr unsigned long kKatEigeneUmsatzsteuer = 3300;
constexpr unsigned long kKatVorsteuer = 3100;
constexpr unsigned long kEurGezahlteVorsteuer = 185;

// Accumulates lines by the profit's rules.
struct Gewinn {
    EuroType e, a, x, y;
    void add(unsigned long kat, const EuroType& betrag, bool haben) {
        if (istEinnahme(kat)) {
            e += haben ? betrag : -betrag;
        } else if (istAusgabe(kat)) {
            const EuroType b = haben ? -betrag : betrag;
            if (kat == 5903) x += b;
            else if (kat == 5904) y -= b;
            else a += b;
        }
    }
    EuroType gewinn(DBConnection* db) const { return Gewinnregel::gewinn(e, a, x, y, Sperrgrenzen::iabGewinngrenze(db)); }
};
}  // namespace

EuroType Gewinnregel::gewinn(const EuroType& einnahmen, const EuroType& ausgaben, const EuroType& iab, const EuroType& hinzurechnung,
                             const EuroType& grenze) {
    EuroType g = einnahmen - ausgaben;
    if (g <= grenze) g -= iab;
    return g + hinzurechnung;
}

Gewinnregel::Teile Gewinnregel::lesen(DBConnection* db, bool mitStapel) {
    db = rsFallDB(db);
    if (!db) return Teile();
    QString sql = QStringLiteral("SELECT  'b' as fromTab, ID, Betrag, Haben, Kategorie FROM eurVerbuchtBuchungszeilen bz, eurKontenplan kp "
                                 "WHERE bz.Konto = kp.Nummer ") + kKategorien;
    if (mitStapel)
        sql += QStringLiteral(" UNION SELECT  's' as fromTab, ID, Betrag, Haben, Kategorie FROM eurStapelBuchungszeilen bz, eurKontenplan kp "
                              "WHERE bz.Konto = kp.Nummer ") + kKategorien;
    Gewinn g;
    rsDataSource rs(db, sql);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        g.add(f.getField(4).toULong(), f.getField(2).toEuro(), f.getField(3).toBool());
    }
    return {g.e, g.a, g.x, g.y};
}

EuroType KontoGlobal::getGewinn(DBConnection* db, bool mitStapel, int art) {
    const Gewinnregel::Teile t = Gewinnregel::lesen(db, mitStapel);
    switch (art) {
    case 1: return t.einnahmen;
    case 2: return t.ausgaben;
    case 3: return t.iab;
    case 4: return t.hinzurechnung;
    default: return t.gewinn(Sperrgrenzen::iabGewinngrenze(db));
    }
}

int KontoGlobal::getAnlagenverzeichnisZeile(unsigned long konto, DBConnection* db) {
    db = rsFallDB(db);
    if (!db) return 0;
    return GetDatenTyp(db, QStringLiteral("SELECT EUR_AV FROM eurKontenplan WHERE Nummer=") + rsDataSource::toSqlStr(konto)).toInt();
}

namespace {
// A line of the ledger as the form reads it, or the sum of lines alike in
// everything the form asks of them.
struct Posten {
    unsigned long kat = 0, schluessel = 0, kontoSchluessel = 0, code = 0, eurHaben = 0;
    bool haben = false, stornoPaar = false;
    unsigned long gruppe = 999999;  // the key of the line's tax group
    unsigned long eigeneZeile = kEurGezahlteVorsteuer;  // self-assessed VAT: the line it is netted on
    EuroType betrag;
};

// The six key columns both statements of the form select in the same order
// (tax key, side, category, account key, side on the form, line code),
// starting at column `erste`.
void liesSchluessel(const rsFields& f, int erste, Posten* p) {
    p->schluessel = f.getField(erste).toULong();
    p->haben = f.getField(erste + 1).toBool();
    p->kat = f.getField(erste + 2).toULong();
    p->kontoSchluessel = f.getField(erste + 3).toULong();
    p->eurHaben = f.getField(erste + 4).toULong();
    p->code = f.getField(erste + 5).toULong();
}

// The amount of bz.Betrag in cents, rounded as EuroType::ausDouble rounds a
// stored amount: a sum the database forms from these is exactly the sum of
// the lines as the program reads them.
const QString kCent = QStringLiteral("(CASE WHEN bz.Betrag<0 THEN -CAST(-bz.Betrag*100.0+0.5+1e-7 AS INTEGER) "
                                     "ELSE CAST(bz.Betrag*100.0+0.5+1e-7 AS INTEGER) END)");
}  // namespace

QMap<QString, EuroType> Kont_::berechneFormularwerte(const QString& spalte, int formular) {
    QMap<QString, EuroType> werte;
    DBConnection* db = rsFallDB();
    if (!db || (spalte != QLatin1String("EUR") && spalte != QLatin1String("USt") && spalte != QLatin1String("GewSt"))) return werte;
    const bool eur = formular == 3;

    QHash<unsigned long, bool> igSchluessel;
    QStringList igListe;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel FROM eurSteuerschluessel WHERE IG_Erwerb<>0"));
        for (; !rs.isEOF(); rs.fetch()) igListe << QString::number(rs.field(QStringLiteral("Steuerschluessel")).toULong());
    }
    // The variables and ranges of the form, read once.
    struct Var {
        QString name;
        bool habenPositiv;
    };
    QHash<unsigned long, Var> variablen;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Kennziffer, Variable, HabenPositiv FROM eurFormulare WHERE Formular=%1").arg(formular));
        for (; !rs.isEOF(); rs.fetch())
            variablen.insert(rs.field(QStringLiteral("Kennziffer")).toULong(),
                             {rs.field(QStringLiteral("Variable")).toString(), rs.field(QStringLiteral("HabenPositiv")).toBool()});
    }
    QHash<QString, unsigned long> bereiche;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Bereichsnummer, Steuerschluessel, Kennziffer FROM eurKennzifferbereiche WHERE Formular=%1")
                                .arg(formular));
        for (; !rs.isEOF(); rs.fetch())
            bereiche.insert(QStringLiteral("%1_%2").arg(rs.field(QStringLiteral("Bereichsnummer")).toULong())
                                .arg(rs.field(QStringLiteral("Steuerschluessel")).toULong()),
                            rs.field(QStringLiteral("Kennziffer")).toULong());
    }

    Gewinn g;
    // Every figure of the form is a sum over lines in which each line counts
    // by what it is, never by the lines beside it; so the lines are summed
    // in the database wherever they are alike, and only these sums are
    // counted here.
    auto verbuche = [&](const Posten& p) {
        const unsigned long kat = p.kat;
        const EuroType& betrag = p.betrag;
        const bool haben = p.haben;
        unsigned long schluessel = p.schluessel;
        unsigned long code = p.code;
        // A credit line of an account with a code of its own for that side
        // (the VAT the tax office pays back on the accounts it was paid on)
        // is that line of the form, counted as it raises it. A cancelled
        // booking and its cancellation stay on the debit side's line, where
        // they offset each other.
        const bool eigeneHabenZeile = eur && haben && p.eurHaben != 0 && !p.stornoPaar;
        if (eigeneHabenZeile) code = p.eurHaben;
        // The totals of the form sum its lines: a refund shown on an income
        // line is income there, not less expense (the profit is the same).
        if (eur) {
            if (eigeneHabenZeile && istAusgabe(kat)) g.e += betrag;
            else g.add(kat, betrag, haben);
        }
        // The VAT self-assessed on an intra-EU acquisition or a § 13b supply
        // was never received, and its input tax was paid to no one: line 16
        // (140) holds the VAT received on the income of lines 14 and 18 and
        // that on withdrawals. The tax owed is taken off the input tax (185)
        // as the profit nets the two, so that line shows the input tax paid;
        // a business without deduction has it in the cost, taken off there.
        const bool eigeneUmsatzsteuer = eur && kat == kKatEigeneUmsatzsteuer;
        if (schluessel == 999999) {
            if (p.kontoSchluessel != 0)
                schluessel = p.kontoSchluessel;
            else if (code >= 1000 && code <= 999999 && code % 1000 == 0)
                schluessel = p.gruppe;
        }
        if (schluessel == 0) schluessel = 999999;
        if (code >= 1000 && code <= 999999) {
            code = bereiche.value(QStringLiteral("%1_%2").arg(code).arg(schluessel),
                                  bereiche.value(QStringLiteral("%1_999999").arg(code), 0));
        }
        // Sign: the side that raises the figure counts positive. VAT the tax
        // office refunds (3020) is income on the EÜR as in the profit. The
        // remaining book value of a disposal (5401) and the cost of current
        // assets that left (5411) are expenses of line 135 posted on the
        // debit side like every other expense: counted from the credit side
        // the line would show them negative while the profit takes them as
        // expenses.
        const bool habenPlus = kat == 3000 || kat == 3010 || kat == 3020 || (kat == kKatEigeneUmsatzsteuer && !eigeneUmsatzsteuer) ||
                               (kat >= 4000 && kat <= 4999 && kat != 4203 && kat != 4207);
        const EuroType signiert = eigeneHabenZeile ? betrag : habenPlus ? (haben ? betrag : -betrag) : (haben ? -betrag : betrag);
        QString name = variablen.value(eigeneUmsatzsteuer ? p.eigeneZeile : code).name;
        if (name.isEmpty() && eur) {
            // A profit account without a line of the form goes to the line
            // its category names, else to the form's line of other expenses
            // or of tax-free income: on a line the totals sum, it keeps
            // the profit and the totals complete.
            static const QHash<unsigned long, unsigned long> jeKategorie = {
                {3010, 140}, {3020, 141}, {4000, 112}, {4001, 103}, {4002, 111}, {4201, 106}, {4202, 102}};
            if (istEinnahme(kat)) name = variablen.value(jeKategorie.value(kat, 103)).name;
            else if (istAusgabe(kat)) name = variablen.value(183).name;
        }
        if (name.isEmpty()) return;
        werte[name] += signiert;
    };

    // Every line with a code; for the EÜR also every line on an account that
    // enters the profit, so that the form's profit is the ledger's.
    QString bed = QStringLiteral("(kp.") + spalte + QStringLiteral("<>0");
    if (!igListe.isEmpty()) bed += QStringLiteral(" OR (bz.Steuerschluessel IN (") + igListe.join(QLatin1Char(',')) + QStringLiteral("))");
    if (eur) bed += QStringLiteral(" OR (1=1") + kKategorien + QStringLiteral(")");
    bed += QLatin1Char(')');
    // A line that carries the tax of its group (999999) on an account with a
    // range of codes and no key of its own takes the key of the group's
    // other lines. That is looked up for the lines of these accounts only
    // (a wider choice than the counting above needs, never a narrower one).
    QString gruppeZeilen;
    {
        QString bereich = QStringLiteral("(") + spalte + QStringLiteral(">=1000 AND ") + spalte + QStringLiteral("<1000000)");
        if (eur) bereich = QLatin1Char('(') + bereich + QStringLiteral(" OR (EUR_HABEN>=1000 AND EUR_HABEN<1000000))");
        QStringList konten;
        rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE IFNULL(Steuerschluessel,0)=0 AND ") + bereich);
        for (; !rs.isEOF(); rs.fetch()) konten << rsDataSource::toSqlStr(rs.getFields()->getField(0).toLongLong());
        if (!konten.isEmpty())
            gruppeZeilen = QStringLiteral("bz.Konto IN (") + konten.join(QLatin1Char(',')) + QStringLiteral(") AND bz.Steuerschluessel=999999");
    }
    const QString gruppe = QStringLiteral("(SELECT MAX(t.Steuerschluessel) FROM eurVerbuchtBuchungszeilen t WHERE t.Buchungsnummer=bz.Buchungsnummer "
                                          "AND t.SteuerID=bz.SteuerID AND t.Steuerschluessel<>999999)");
    // Whether the line belongs to a cancelled booking or a cancellation;
    // asked only where it matters (the credit side's own code), from the
    // few such bookings.
    const QString stornoPaar = eur ? QStringLiteral("(kp.EUR_HABEN<>0 AND bz.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE "
                                                    "(Storno=0 AND Storniert=0) IS NOT 1 AND (IFNULL(Storno,0)<>0 OR IFNULL(Storniert,0)<>0)))")
                                   : QStringLiteral("0");
    // With the EÜR, self-assessed VAT is netted per booking (below).
    const QString ohneEigene = eur ? QStringLiteral(" AND kp.Kategorie IS NOT %1").arg(kKatEigeneUmsatzsteuer) : QString();
    const QString spalten = QStringLiteral("SELECT bz.Steuerschluessel, bz.Haben, kp.Kategorie, kp.Steuerschluessel, kp.EUR_HABEN, kp.") + spalte +
                            QStringLiteral(", COUNT(*), SUM(") + kCent + QStringLiteral("), SUM(CASE WHEN ") + stornoPaar +
                            QStringLiteral(" THEN 1 ELSE 0 END), SUM(CASE WHEN ") + stornoPaar + QStringLiteral(" THEN ") + kCent +
                            QStringLiteral(" ELSE 0 END), ");
    const QString von = QStringLiteral(" FROM eurVerbuchtBuchungszeilen AS bz JOIN eurKontenplan AS kp ON kp.Nummer=bz.Konto WHERE ") + bed + ohneEigene;
    // The lines by account, key and side: the account index holds them in
    // that order, so the sums take one walk of it without a sort. The few
    // lines that need the key of their group are summed apart.
    const QString gruppieren = QStringLiteral(" GROUP BY bz.Konto, bz.Steuerschluessel, bz.Haben");
    const QString ohneGruppe = gruppeZeilen.isEmpty() ? QString() : QStringLiteral(" AND IFNULL(") + gruppeZeilen + QStringLiteral(",0)=0");
    QStringList abfragen = {spalten + QStringLiteral("NULL") + von + ohneGruppe + gruppieren};
    if (!gruppeZeilen.isEmpty())
        abfragen << spalten + gruppe + QStringLiteral(" AS Gruppe") + von + QStringLiteral(" AND ") + gruppeZeilen + gruppieren + QStringLiteral(", Gruppe");
    for (const QString& sql : abfragen) {
        rsDataSource rs(db, sql);
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            Posten p;
            liesSchluessel(f, 0, &p);
            if (!f.getField(10).isNull()) p.gruppe = f.getField(10).toULong();
            const qlonglong n = f.getField(6).toLongLong(), nStorno = f.getField(8).toLongLong();
            const qint64 c = f.getField(7).toLongLong(), cStorno = f.getField(9).toLongLong();
            if (n > nStorno) {
                p.betrag = EuroType::ausCent(c - cStorno);
                verbuche(p);
            }
            if (nStorno > 0) {
                p.stornoPaar = true;
                p.betrag = EuroType::ausCent(cStorno);
                verbuche(p);
            }
        }
    }

    // The line a booking's self-assessed VAT is netted on: the input tax it
    // deducts, or, where it deducts none (a small business), the cost that
    // carries the tax. Each such line comes with every line of its booking
    // (a left join keeps its right side inside), so only one booking is
    // held at a time. Every line of that category counts for the EÜR.
    if (eur) {
        rsDataSource rs(db, QStringLiteral("SELECT bz.ID, bz.Steuerschluessel, bz.Haben, kp.Kategorie, kp.Steuerschluessel, kp.EUR_HABEN, kp.") +
                                spalte + QStringLiteral(", ") + kCent + QStringLiteral(", ") + stornoPaar + QStringLiteral(", ") +
                                (gruppeZeilen.isEmpty() ? QStringLiteral("NULL")
                                                        : QStringLiteral("CASE WHEN ") + gruppeZeilen + QStringLiteral(" THEN ") + gruppe +
                                                              QStringLiteral(" END")) +
                                QStringLiteral(", y.SteuerID, y.ID, ky.Kategorie, ky.EUR, y.Betrag FROM eurVerbuchtBuchungszeilen AS bz "
                                               "JOIN eurKontenplan AS kp ON kp.Nummer=bz.Konto LEFT JOIN eurVerbuchtBuchungszeilen AS y "
                                               "ON y.Buchungsnummer=bz.Buchungsnummer LEFT JOIN eurKontenplan AS ky ON ky.Nummer=y.Konto WHERE kp.Kategorie=%1")
                                .arg(kKatEigeneUmsatzsteuer));
        struct Zeile {
            qlonglong steuerID, id;
            unsigned long kat, code;
            EuroType betrag;
        };
        QVector<Zeile> buchung;
        Posten x;
        qlonglong xID = 0;
        bool offen = false;
        auto abschliessen = [&]() {
            if (!offen) return;
            // The lines in the order of the booking's groups, as they were
            // entered.
            std::sort(buchung.begin(), buchung.end(),
                      [](const Zeile& a, const Zeile& b) { return a.steuerID != b.steuerID ? a.steuerID < b.steuerID : a.id < b.id; });
            bool gesetzt = false;
            unsigned long zeile = 0;
            EuroType groesste;
            for (const Zeile& z : buchung) {
                if (!istAusgabe(z.kat) || z.kat == kKatEigeneUmsatzsteuer || (gesetzt && zeile == kEurGezahlteVorsteuer)) continue;
                if (z.kat == kKatVorsteuer) {
                    zeile = kEurGezahlteVorsteuer;
                    gesetzt = true;
                    continue;
                }
                unsigned long code = z.code;
                if (code >= 1000 && code <= 999999) code = bereiche.value(QStringLiteral("%1_999999").arg(code), 0);
                if (code != 0 && (!gesetzt || groesste < z.betrag)) {
                    zeile = code;
                    groesste = z.betrag;
                    gesetzt = true;
                }
            }
            x.eigeneZeile = gesetzt ? zeile : kEurGezahlteVorsteuer;
            verbuche(x);
            buchung.clear();
            offen = false;
        };
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const qlonglong id = f.getField(0).toLongLong();
            if (!offen || id != xID) {
                abschliessen();
                x = Posten();
                xID = id;
                offen = true;
                liesSchluessel(f, 1, &x);
                x.betrag = EuroType::ausCent(f.getField(7).toLongLong());
                x.stornoPaar = f.getField(8).toBool();
                if (!f.getField(9).isNull()) x.gruppe = f.getField(9).toULong();
            }
            if (!f.getField(11).isNull())
                buchung.append({f.getField(10).toLongLong(), f.getField(11).toLongLong(), f.getField(12).toULong(), f.getField(13).toULong(),
                                f.getField(14).toEuro()});
        }
        abschliessen();
    }

    if (eur) {
        werte[QStringLiteral("eur1_Betriebseinnahmen")] = g.e;
        werte[QStringLiteral("eur1_Betriebsausgaben")] = g.a;
        werte[QStringLiteral("eur1_Investitionsabzug")] = g.x;
        werte[QStringLiteral("eur1_Hinzurechnung")] = g.y;
        werte[QStringLiteral("eur1_GewinnVerlust")] = g.gewinn(db);
    }
    return werte;
}

bool Formularwerte::ueberschreibtWerte(const DatenBase* knoten, const QMap<QString, EuroType>& neu, const QStringList& ausser) {
    if (!knoten) return false;
    const QVariantMap jetzt = knoten->werte();
    for (auto it = jetzt.constBegin(); it != jetzt.constEnd(); ++it) {
        if (ausser.contains(it.key()) || !knoten->findVar(it.key()) || !knoten->findVar(it.key())->dynamisch) continue;
        const DatenTyp alt = knoten->getVar(it.key());
        if (alt.isNull() || alt.toString().isEmpty()) continue;
        if (!neu.contains(it.key()) || !(alt.toEuro() == neu.value(it.key()))) return true;
    }
    return false;
}

QMap<int, EuroType> Formularwerte::eurZeilen() {
    QMap<int, EuroType> zeilen;
    DBConnection* db = rsFallDB();
    if (!db) return zeilen;
    const QMap<QString, EuroType> werte = Kont_::berechneFormularwerte(QStringLiteral("EUR"), 3);
    rsDataSource rs(db, QStringLiteral("SELECT Kennziffer, Variable FROM eurFormulare WHERE Formular=3 AND Kennziffer<1000"));
    for (; !rs.isEOF(); rs.fetch()) {
        const QString name = rs.field(QStringLiteral("Variable")).toString();
        if (werte.contains(name)) zeilen.insert(rs.field(QStringLiteral("Kennziffer")).toInt(), werte.value(name));
    }
    return zeilen;
}

int Kont_::UebernahmeEurFormular() {
    const QMap<QString, EuroType> werte = berechneFormularwerte(QStringLiteral("EUR"), 3);
    DatenBase* seite1 = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_"), true);
    if (!seite1) return 1;
    DatenBase* seite2 = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0002_{1}"), true);
    DatenBase* seite3 = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0003_{1}"), true);
    auto seiteVon = [&](const QString& name) {
        return name.startsWith(QLatin1String("eur1")) ? seite1 : name.startsWith(QLatin1String("eur3")) ? seite3 : seite2;
    };
    // The import replaces what the form held; figures a user entered there
    // are only given up when the user says so.
    QMap<DatenBase*, QMap<QString, EuroType>> jeSeite;
    for (DatenBase* s : {seite1, seite2, seite3}) jeSeite[s];
    for (auto it = werte.begin(); it != werte.end(); ++it) jeSeite[seiteVon(it.key())].insert(it.key(), *it);
    bool belegt = false;
    for (auto it = jeSeite.constBegin(); it != jeSeite.constEnd(); ++it) belegt = belegt || Formularwerte::ueberschreibtWerte(it.key(), *it);
    if (belegt && !GetUi().frage(QStringLiteral("Für diesen Betrieb sind im EÜR-Formular bereits Daten erfasst. Diese Daten werden durch "
                                                "den Import der Buchhaltung gelöscht.\nWollen Sie trotzdem importieren?"),
                                 QStringLiteral("Frage")))
        return 2;
    for (DatenBase* s : {seite1, seite2, seite3})
        if (s) s->clearDynamisch();
    for (auto it = werte.begin(); it != werte.end(); ++it)
        if (DatenBase* ziel = seiteVon(it.key())) ziel->setVar(it.key(), DatenTyp(*it));
    // The headline expenses include the investment deduction net of its
    // add-back, so that income - expenses is the profit of the form.
    eur_Betriebseinnahmen = werte.value(QStringLiteral("eur1_Betriebseinnahmen"));
    eur_Betriebsausgaben = eur_Betriebseinnahmen - werte.value(QStringLiteral("eur1_GewinnVerlust"));
    Rechnung();
    return 0;
}

QVector<int> Formularwerte::eurSummenzeilen(int summe) {
    // Summe Betriebseinnahmen (line 22) adds lines 11 and 13 to 21 (21, the
    // reserves released, has no figure from the ledger); the "davon" of
    // line 12 is part of line 11.
    if (summe == 159) return {111, 104, 112, 103, 140, 141, 102, 106, 108};
    // Summe Betriebsausgaben adds the deductible column of the limited
    // expenses; the column "nicht abziehbar" (162, 164, 165, 168, 217) is
    // shown beside it and not added. Line 142 carries its own minus sign.
    if (summe == 199)
        return {100, 110, 120, 136, 131, 130, 134, 138, 132, 137, 135, 150, 151, 280, 221, 281, 194, 222,
                223, 224, 234, 185, 186, 183, 174, 175, 171, 172, 144, 145, 146, 147, 142, 176};
    return {};
}

QString Formularwerte::eurSummenAbweichung(const QMap<int, EuroType>& zeilen) {
    QStringList abweichungen;
    for (int summe : {159, 199}) {
        EuroType teile;
        for (int z : eurSummenzeilen(summe)) teile += zeilen.value(z);
        if (!(teile == zeilen.value(summe)))
            abweichungen << QStringLiteral("Kennzahl %1 ist %2, ihre Zeilen ergeben %3").arg(summe).arg(zeilen.value(summe).getText(), teile.getText());
    }
    return abweichungen.join(QStringLiteral("; "));
}

bool Kont_::testCompGewinn() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg || (kg->getSteuerjahr() != 2015 && kg->getSteuerjahr() != 2016)) return true;
    // The form's profit and totals as the transfer computes them, without
    // writing the form: a check never replaces what a user entered there.
    const QMap<int, EuroType> zeilen = Formularwerte::eurZeilen();
    const EuroType formular = zeilen.value(219);
    const EuroType berechnet = KontoGlobal::getGewinn(nullptr, false, 0);
    QString t;
    if (!(formular == berechnet))
        t = QStringLiteral("Berechneter Gewinn und Gewinn laut EÜR Formular unterscheiden sich. (Berechnet: %1, Formular: %2). "
                           "Bitte KontoGlobal::getGewinn() und rsEurImport::UebernahmeEur() prüfen.")
                .arg(berechnet.getText(), formular.getText());
    else if (const QString a = Formularwerte::eurSummenAbweichung(zeilen); !a.isEmpty())
        t = QStringLiteral("Die Summen des EÜR-Formulars stimmen nicht mit ihren Zeilen überein: %1.").arg(a);
    if (t.isEmpty()) return true;
    rs_logError(kQuelle, __LINE__, t);
    GetUi().rsError(t, QStringLiteral("Fehler"));
    return false;
}
