// VAT figures from the ledger: the amount of every form code of the advance
// return for a period, the hand-over to the return's objects with the form's
// arithmetic, and the texts and variables of form codes.
#include "kontbaum/steuer/steuer.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include <QHash>
#include <QSet>
#include <QVector>

#include <algorithm>

namespace {
struct IgSchluessel {
    unsigned long steuerkonto, vakzUmsatz, vakzSteuer, ustkzSteuer, ustkzUmsatz;
};

struct Eintrag {
    unsigned long konto, kennziffer, schluessel;
    qint64 cent;  // credit positive
};

QString paar(unsigned long a, unsigned long b) { return QString::number(a) + QLatin1Char('_') + QString::number(b); }
}  // namespace

bool Kont_::GetUmsaetzeFuer(int slot, UStKennziffern& kennziffern, int zeitraumArt, int quartal, int monat) {
    return GetUmsaetzeFuerFormular(slot, kennziffern, zeitraumArt, quartal, monat, 0);
}

namespace {
// A group of posted lines that went into a code: the lines of one account
// with one key; for the tax lines that take the key of their base line
// (nachschlagen) those whose base line has `basis`.
struct Quelle {
    unsigned long konto, schluessel, basis;
    bool nachschlagen;
};
using Herkunft = QHash<unsigned long, QVector<Quelle>>;

// The figures of the form's codes for a period; with `herkunft` also, per
// code, the groups of lines that make it, so that the bookings behind a
// figure are found by exactly the rules that made it.
bool umsaetze(int slot, UStKennziffern& kennziffern, int zeitraumArt, int quartal, int monat, int formular, Herkunft* herkunft,
              QString* zeilenBedingung) {
    kennziffern.clear();
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return false;
    const QString form = QString::number(formular);
    // The column of the account that names its code on this form.
    const QString spalte = formular == 1 ? QStringLiteral("USt") : QStringLiteral("UStVA");

    // 1. the codes of the form
    UStKennziffern codes;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Kennziffer, Bezeichnung, HabenPositiv FROM eurFormulare  WHERE Formular=") + form +
                                QStringLiteral(" AND (Kennziffer<1000 OR Kennziffer >= 1000000) ORDER BY Kennziffer "));
        for (; !rs.isEOF(); rs.fetch()) {
            rsUStKennziffer k;
            k.Kennziffer = rs.field(QStringLiteral("Kennziffer")).toULong();
            k.Bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
            k.HabenPositiv = rs.field(QStringLiteral("HabenPositiv")).toBool();
            codes.insert(k.Kennziffer, k);
        }
    }
    // 2. the ranges, keyed "range_key"
    QHash<QString, unsigned long> bereiche;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Bereichsnummer, Steuerschluessel, Kennziffer FROM eurKennzifferbereiche  WHERE Formular=") +
                                form + QStringLiteral(" ORDER BY Kennziffer "));
        for (; !rs.isEOF(); rs.fetch())
            bereiche.insert(paar(rs.field(QStringLiteral("Bereichsnummer")).toULong(), rs.field(QStringLiteral("Steuerschluessel")).toULong()),
                            rs.field(QStringLiteral("Kennziffer")).toULong());
    }
    // 3. the keys of intra-Community acquisitions
    QHash<unsigned long, IgSchluessel> ig;
    QStringList igListe;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel, Steuerkonto, VAKZUmsatz, VAKZSteuer, UStKZSteuer, UStKZUmsatz FROM "
                                           "eurSteuerschluessel  WHERE IG_Erwerb<>0 ORDER BY Steuerschluessel "));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long s = rs.field(QStringLiteral("Steuerschluessel")).toULong();
            ig.insert(s, {rs.field(QStringLiteral("Steuerkonto")).toULong(), rs.field(QStringLiteral("VAKZUmsatz")).toULong(),
                          rs.field(QStringLiteral("VAKZSteuer")).toULong(), rs.field(QStringLiteral("UStKZSteuer")).toULong(),
                          rs.field(QStringLiteral("UStKZUmsatz")).toULong()});
            igListe << rsDataSource::toSqlStr(s);
        }
    }
    // 4. the posted lines of the period, summed in cents per account, key
    // and side by the database in the order of idx_eurVerbuchtBZ_KontoSteuer.
    // Every step below depends on a line only through its account and key
    // (and, for a tax line that takes the key of its base line, through
    // that key), so the sums go through it as the single lines did.
    QString zeitraum;
    if (zeitraumArt == 1 && monat >= 0)
        zeitraum = QStringLiteral("MONTH(Belegdatum) = %1").arg(monat + 1);
    else if (zeitraumArt == 2 && quartal >= 0)
        zeitraum = QStringLiteral("MONTH(Belegdatum) BETWEEN %1 AND %2").arg(3 * quartal + 1).arg(3 * quartal + 3);
    struct KontoDaten {
        unsigned long schluessel = 0, code = 0;
        bool gewinnKonto = false;  // income or expense: a tax line there is cost, no tax of the return
    };
    QHash<unsigned long, KontoDaten> konten;
    const bool ustPflichtig = KontoGlobal::istUstPflichtig(db);
    {
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, Steuerschluessel, ") + spalte + QStringLiteral(", Kategorie FROM eurKontenplan"));
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const unsigned long kat = f.getField(3).toULong();
            konten.insert(f.getField(0).toULong(), {f.getField(1).toULong(), f.getField(2).toULong(), kat >= 4000 && kat <= 6999});
        }
    }
    // The accounts with a code are read whole, one range of the index each;
    // on the others only the lines with a key of an intra-Community
    // acquisition count, found by account and key.
    const QString zeilenBed = Berichte::gebuchteZeilen(db, false, zeitraum);
    if (zeilenBedingung) *zeilenBedingung = zeilenBed;
    const QString summe = QStringLiteral("SELECT Konto, Steuerschluessel, Haben, ") + Berichte::centSumme() +
                          QStringLiteral(" FROM eurVerbuchtBuchungszeilen z WHERE ") + zeilenBed + QStringLiteral(" AND Konto IN (SELECT Nummer FROM eurKontenplan WHERE ");
    QString sql = summe + spalte + QStringLiteral("<>0) GROUP BY Konto, Steuerschluessel, Haben");
    if (!igListe.isEmpty())
        sql += QStringLiteral(" UNION ALL ") + summe + QStringLiteral("IFNULL(") + spalte + QStringLiteral("<>0, 0)=0) AND Steuerschluessel IN (") +
               igListe.join(QStringLiteral(", ")) + QStringLiteral(") GROUP BY Konto, Steuerschluessel, Haben");

    // A group of lines of one account, key and side; `schluessel` is the key
    // of the base line for tax lines that take it (otherwise the line's own).
    struct Gruppe {
        unsigned long konto, zeilenSchluessel, schluessel;
        qint64 cent;  // credit positive
        bool nachschlagen;
    };
    QVector<Gruppe> gruppen;
    bool nachschlagen = false;
    {
        rsDataSource rs(db, sql);
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const unsigned long konto = f.getField(0).toULong();
            auto k = konten.constFind(konto);
            if (k == konten.constEnd()) continue;  // lines of an account outside the chart never counted
            const unsigned long zs = f.getField(1).toULong();
            // The reverse-charge tax a small business owes but may not deduct
            // stays on its expense: the return has it once, as the tax owed.
            if (zs == 999999 && k->gewinnKonto && !ustPflichtig) continue;
            qint64 c = Berichte::cent(f.getField(3).toDouble());
            if (!f.getField(2).toBool()) c = -c;
            if (zs == 999999 && k->schluessel == 0 && k->code > 1000 && k->code <= 999999) nachschlagen = true;
            gruppen.append({konto, zs, zs, c, false});
        }
    }
    if (gruppen.isEmpty()) return false;

    // A tax line on an account with a range code and no key of its own takes
    // the key of its base lines (the highest key among the other lines of
    // its booking and SteuerID, found through the index on (Buchungsnummer,
    // SteuerID)); those tax lines are summed again per that key. The lines
    // are read one by one and summed here: a GROUP BY over the computed key
    // would make the database sort them. Only the tax lines of reverse-charge
    // purchases and the like take this way, so they are few.
    if (nachschlagen) {
        QSet<unsigned long> nachKonten;
        for (Gruppe& g : gruppen) {
            const KontoDaten& k = konten[g.konto];
            const unsigned long s1 = (g.zeilenSchluessel == 999999 && k.schluessel != 0) ? k.schluessel : g.zeilenSchluessel;
            g.nachschlagen = s1 == 999999 && k.code >= 1001 && k.code <= 999999;
            if (g.nachschlagen) nachKonten.insert(g.konto);
        }
        QStringList liste;
        for (unsigned long n : nachKonten) liste << rsDataSource::toSqlStr(n);
        QVector<Gruppe> ersatz;
        QHash<QString, int> stelle;  // "account_key_side" -> index in ersatz
        rsDataSource rs(db, QStringLiteral("SELECT Konto, IFNULL((SELECT MAX(y.Steuerschluessel) FROM eurVerbuchtBuchungszeilen y WHERE "
                                           "y.Buchungsnummer=z.Buchungsnummer AND IFNULL(y.SteuerID,0)=IFNULL(z.SteuerID,0) AND "
                                           "y.Steuerschluessel<>999999), 999999) AS Basis, Haben, z.Betrag FROM "
                                           "eurVerbuchtBuchungszeilen z WHERE Konto IN (") +
                                liste.join(QLatin1Char(',')) + QStringLiteral(") AND Steuerschluessel=999999 AND ") + zeilenBed);
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const unsigned long konto = f.getField(0).toULong(), basis = f.getField(1).toULong();
            const bool haben = f.getField(2).toBool();
            qint64 c = Berichte::cent(f.getField(3).toDouble() * 100.0);
            if (!haben) c = -c;
            const QString schluessel = paar(konto, basis) + (haben ? QStringLiteral("_H") : QStringLiteral("_S"));
            auto it = stelle.constFind(schluessel);
            if (it == stelle.constEnd()) {
                stelle.insert(schluessel, ersatz.size());
                ersatz.append({konto, 999999, basis, c, true});
            } else {
                ersatz[*it].cent += c;
            }
        }
        QVector<Gruppe> rest;
        for (const Gruppe& g : gruppen)
            if (!g.nachschlagen) rest.append(g);
        gruppen = rest + ersatz;
    }
    // Within an account the lines came in the order of their key; the first
    // line of an entry decides its code and key (step 5).
    std::stable_sort(gruppen.begin(), gruppen.end(), [](const Gruppe& a, const Gruppe& b) {
        return a.konto != b.konto ? a.konto < b.konto : a.zeilenSchluessel < b.zeilenSchluessel;
    });

    // 5. working entries per account (and key)
    QMap<QString, Eintrag> eintraege;
    QHash<QString, QVector<Quelle>> quellen;  // by the key of the entry
    for (const Gruppe& z : gruppen) {
        const KontoDaten& k = konten[z.konto];
        unsigned long schluessel = z.zeilenSchluessel;
        if (schluessel == 999999 && k.schluessel != 0) schluessel = k.schluessel;
        unsigned long code = k.code;
        if (z.nachschlagen) schluessel = z.schluessel;
        bool igZeile = false;
        if (z.zeilenSchluessel != 999999 && ig.contains(z.zeilenSchluessel) && k.code == 0) {
            const IgSchluessel& s = ig[z.zeilenSchluessel];
            code = formular == 1 ? s.ustkzUmsatz : s.vakzUmsatz;
            igZeile = true;
        }
        QString key;
        if (code < 1000 || code > 999999) {
            key = igZeile ? QString::number(z.konto) + QStringLiteral("_IG_") + QString::number(code)
                          : QString::number(z.konto) + QLatin1Char('_');
        } else if (bereiche.contains(paar(code, schluessel))) {
            key = paar(z.konto, schluessel);
        } else if (bereiche.contains(paar(code, 999999))) {
            key = paar(z.konto, 999999);
        } else {
            key = QString::number(z.konto) + QLatin1Char('_');
        }
        auto it = eintraege.find(key);
        if (it == eintraege.end())
            eintraege.insert(key, {z.konto, code, schluessel, z.cent});
        else
            it->cent += z.cent;
        if (herkunft) quellen[key].append({z.konto, z.zeilenSchluessel, z.schluessel, z.nachschlagen});
    }

    // 7. into the codes of the form, in cents, so that a base of whole euros
    // stays whole.
    QHash<unsigned long, qint64> summen;
    auto addiere = [&](unsigned long code, qint64 cent, const QString& eintrag) {
        auto it = codes.find(code);
        if (it == codes.end()) return;  // a code the form does not list is dropped
        summen[code] += it->HabenPositiv ? -cent : cent;
        it->belegt = true;
        if (herkunft) (*herkunft)[code] += quellen.value(eintrag);
    };
    for (auto e = eintraege.constBegin(); e != eintraege.constEnd(); ++e) {
        if (e->kennziffer < 1000 || e->kennziffer > 999999) {
            addiere(e->kennziffer, e->cent, e.key());
            continue;
        }
        auto b = bereiche.constFind(paar(e->kennziffer, e->schluessel));
        if (b == bereiche.constEnd() && e->schluessel != 0) b = bereiche.constFind(paar(e->kennziffer, 999999));
        if (b != bereiche.constEnd() && *b != 0) addiere(*b, e->cent, e.key());
    }
    for (auto it = summen.constBegin(); it != summen.constEnd(); ++it) codes[it.key()].Betrag = EuroType::ausCent(it.value());
    kennziffern = codes;
    return true;
}
}  // namespace

bool Kont_::GetUmsaetzeFuerFormular(int slot, UStKennziffern& kennziffern, int zeitraumArt, int quartal, int monat,
                                    int formular) {
    return umsaetze(slot, kennziffern, zeitraumArt, quartal, monat, formular, nullptr, nullptr);
}

QList<unsigned long> UStVA::buchungenZu(int slot, int formular, const Periode& periode, const QList<int>& kennziffern) {
    QList<unsigned long> nummern;
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return nummern;
    UStKennziffern k;
    Herkunft herkunft;
    QString zeilenBed;
    umsaetze(slot, k, periode.art, periode.quartal, periode.monat, formular, &herkunft, &zeilenBed);
    // A tax the form computes from a base, or books beside it, comes from
    // the base's lines as well as from its own.
    QList<int> codes = kennziffern;
    for (int c : kennziffern) {
        const UStVA::Kennzahl* kz = formular == 0 ? UStVA::kennzahl(c) : nullptr;
        if (kz && !kz->basis && kz->basisVon) codes << kz->basisVon;
    }
    QStringList bed;
    for (int c : codes)
        for (const Quelle& q : herkunft.value(unsigned(c))) {
            QString b = QStringLiteral("(z.Konto=%1 AND z.Steuerschluessel=%2").arg(rsDataSource::toSqlStr(q.konto), rsDataSource::toSqlStr(q.schluessel));
            if (q.nachschlagen)
                b += QStringLiteral(" AND IFNULL((SELECT MAX(y.Steuerschluessel) FROM eurVerbuchtBuchungszeilen y WHERE "
                                    "y.Buchungsnummer=z.Buchungsnummer AND IFNULL(y.SteuerID,0)=IFNULL(z.SteuerID,0) AND "
                                    "y.Steuerschluessel<>999999), 999999)=") + rsDataSource::toSqlStr(q.basis);
            bed << b + QLatin1Char(')');
        }
    bed.removeDuplicates();
    QStringList wo;
    if (!bed.isEmpty()) wo << QLatin1Char('(') + zeilenBed + QStringLiteral(" AND (") + bed.join(QStringLiteral(" OR ")) + QStringLiteral("))");
    // The special advance payment is credited from its postings, whatever their date.
    if (formular == 0 && kennziffern.contains(39) && Anmeldung::mitSondervorauszahlung(periode.art, periode.quartal, periode.monat, db))
        wo << QStringLiteral("(z.Konto=%1 AND %2)").arg(rsDataSource::toSqlStr(kg->getSpezialKonto(1781)), Berichte::gebuchteZeilen(db, false));
    if (wo.isEmpty()) return nummern;
    rsDataSource rs(db, QStringLiteral("SELECT DISTINCT z.Buchungsnummer FROM eurVerbuchtBuchungszeilen z WHERE ") + wo.join(QStringLiteral(" OR ")) +
                            QStringLiteral(" ORDER BY z.Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) nummern << rs.getFields()->getField(0).toULong();
    return nummern;
}

// --- hand-over to the return --------------------------------------------------------

namespace {
using UStVA::Abschnitt;
using UStVA::Kennzahl;

// The codes of the 2016 advance return (USt 1 A 2016 and its instructions,
// USt 1 E): every base in the column "Bemessungsgrundlage ohne Umsatzsteuer,
// volle EUR", every tax in "Steuer EUR Ct". 51 and 97 are the 16 % codes of
// the forms before 2007; no 2016 account names them, but a case whose chart
// still does keeps its computed tax.
const QVector<Kennzahl> kKennzahlen = {
    // taxable and tax-free supplies and services
    {41, true, 0, 0.0, Abschnitt::Umsatz},
    {44, true, 0, 0.0, Abschnitt::Umsatz},
    {49, true, 0, 0.0, Abschnitt::Umsatz},
    {43, true, 0, 0.0, Abschnitt::Umsatz},
    {48, true, 0, 0.0, Abschnitt::Umsatz},
    {81, true, 0, 0.19, Abschnitt::Umsatz},
    {86, true, 0, 0.07, Abschnitt::Umsatz},
    {35, true, 0, 0.0, Abschnitt::Umsatz},
    {36, false, 35, 0.0, Abschnitt::Umsatz},
    {51, true, 0, 0.16, Abschnitt::Umsatz},
    {77, true, 0, 0.0, Abschnitt::Umsatz},
    {76, true, 0, 0.0, Abschnitt::Umsatz},
    {80, false, 76, 0.0, Abschnitt::Umsatz},
    // intra-Community acquisitions
    {91, true, 0, 0.0, Abschnitt::Umsatz},
    {89, true, 0, 0.19, Abschnitt::Umsatz},
    {93, true, 0, 0.07, Abschnitt::Umsatz},
    {97, true, 0, 0.16, Abschnitt::Umsatz},
    {95, true, 0, 0.0, Abschnitt::Umsatz},
    {98, false, 95, 0.0, Abschnitt::Umsatz},
    {94, true, 0, 0.0, Abschnitt::Umsatz},
    {96, false, 94, 0.0, Abschnitt::Umsatz},
    // further information on supplies and services
    {42, true, 0, 0.0, Abschnitt::Umsatz},
    {68, true, 0, 0.0, Abschnitt::Umsatz},
    {60, true, 0, 0.0, Abschnitt::Umsatz},
    {21, true, 0, 0.0, Abschnitt::Umsatz},
    {45, true, 0, 0.0, Abschnitt::Umsatz},
    // the recipient owes the tax (§ 13b UStG)
    {46, true, 0, 0.0, Abschnitt::Umsatz},
    {47, false, 46, 0.0, Abschnitt::Umsatz},
    {52, true, 0, 0.0, Abschnitt::Umsatz},
    {53, false, 52, 0.0, Abschnitt::Umsatz},
    {73, true, 0, 0.0, Abschnitt::Umsatz},
    {74, false, 73, 0.0, Abschnitt::Umsatz},
    {78, true, 0, 0.0, Abschnitt::Umsatz},
    {79, false, 78, 0.0, Abschnitt::Umsatz},
    {84, true, 0, 0.0, Abschnitt::Umsatz},
    {85, false, 84, 0.0, Abschnitt::Umsatz},
    {65, false, 0, 0.0, Abschnitt::Umsatz},
    // deductible input tax
    {66, false, 0, 0.0, Abschnitt::Vorsteuer},
    {61, false, 0, 0.0, Abschnitt::Vorsteuer},
    {62, false, 0, 0.0, Abschnitt::Vorsteuer},
    {67, false, 0, 0.0, Abschnitt::Vorsteuer},
    {63, false, 0, 0.0, Abschnitt::Vorsteuer},
    {64, false, 0, 0.0, Abschnitt::Vorsteuer},
    {59, false, 0, 0.0, Abschnitt::Vorsteuer},
    // other amounts and the result
    {69, false, 0, 0.0, Abschnitt::Rest},
    {39, false, 0, 0.0, Abschnitt::Rest},
    {83, false, 0, 0.0, Abschnitt::Rest},
};

QMap<int, UStFeld>& felderVon(Abschnitt ab, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2,
                              OAbziehbareVorsteuerbetraege& v) {
    return ab == Abschnitt::Umsatz ? a.felder : ab == Abschnitt::Vorsteuer ? v.felder : a2.felder;
}
const QMap<int, UStFeld>& felderVon(Abschnitt ab, const OAnmeldungVorauszahlungen& a, const OAnmeldungVorauszahlungen2& a2,
                                    const OAbziehbareVorsteuerbetraege& v) {
    return ab == Abschnitt::Umsatz ? a.felder : ab == Abschnitt::Vorsteuer ? v.felder : a2.felder;
}
}  // namespace

const QVector<Kennzahl>& UStVA::kennzahlen() { return kKennzahlen; }

const Kennzahl* UStVA::kennzahl(int k) {
    for (const Kennzahl& z : kKennzahlen)
        if (z.kennziffer == k) return &z;
    return nullptr;
}

bool UStVA::volleEuro(int k) {
    const Kennzahl* z = kennzahl(k);
    return z && z->basis;
}

double UStVA::festerSatz(unsigned long k) {
    const Kennzahl* z = kennzahl(int(k));
    return z ? z->festerSatz : 0.0;
}

void UStVA::uebertrage(const UStKennziffern& k, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2,
                       OAbziehbareVorsteuerbetraege& v, EuroType sondervorauszahlung) {
    a.clearValues();
    a2.clearValues();
    v.clearValues();
    for (const rsUStKennziffer& z : k) {
        if (!z.belegt) continue;
        const Kennzahl* kz = kennzahl(int(z.Kennziffer));
        // 39 comes from the special advance payment, 83 is the form's result.
        if (!kz || kz->kennziffer == 39 || kz->kennziffer == 83) continue;
        QMap<int, UStFeld>& felder = felderVon(kz->abschnitt, a, a2, v);
        const EuroType cent = z.Betrag;
        if (kz->basis) {
            UStFeld& f = felder[kz->kennziffer];
            // The electronic return takes bases in whole euros only; the
            // cents are dropped, not rounded (toward zero for a negative base).
            f.basis = cent.ganzeEuroAb();
            f.hatBasis = true;
            f.belegt = true;
            if (kz->festerSatz > 0) {
                f.steuer = f.basis.mal(kz->festerSatz);
                f.hatSteuer = true;
            }
        } else {
            UStFeld& f = felder[kz->basisVon ? kz->basisVon : kz->kennziffer];
            f.steuer = cent;
            f.hatSteuer = true;
            f.belegt = true;
        }
    }
    EuroType ust, vst;
    for (const UStFeld& f : a.felder) ust += f.steuer;
    for (const UStFeld& f : v.felder) vst += f.steuer;
    a.umsatzsteuer = ust;
    v.vorsteuer = vst;
    a2.verbleibend = ust - vst;
    EuroType vz = a2.verbleibend + a2.felder.value(69).steuer;
    if (!sondervorauszahlung.isNull()) {
        UStFeld& f = a2.felder[39];
        f.steuer = sondervorauszahlung;
        f.hatSteuer = true;
        f.belegt = true;
        vz -= f.steuer;
    }
    a2.vorauszahlung = vz;
}

QMap<int, EuroType> UStVA::eintraege(const OAnmeldungVorauszahlungen& a, const OAnmeldungVorauszahlungen2& a2,
                                     const OAbziehbareVorsteuerbetraege& v) {
    QMap<int, EuroType> e;
    for (const Kennzahl& kz : kKennzahlen) {
        if (kz.kennziffer == 83) {
            e.insert(83, a2.vorauszahlung);
            continue;
        }
        const QMap<int, UStFeld>& felder = felderVon(kz.abschnitt, a, a2, v);
        auto f = felder.constFind(kz.basis || kz.basisVon == 0 ? kz.kennziffer : kz.basisVon);
        if (f == felder.constEnd()) continue;
        if (kz.basis && f->hatBasis) e.insert(kz.kennziffer, f->basis);
        if (!kz.basis && f->hatSteuer) e.insert(kz.kennziffer, f->steuer);
    }
    return e;
}

QMap<int, EuroType> UStVA::berechneteSteuern(const OAnmeldungVorauszahlungen& a) {
    QMap<int, EuroType> s;
    for (const Kennzahl& kz : kKennzahlen) {
        if (kz.festerSatz <= 0) continue;
        auto f = a.felder.constFind(kz.kennziffer);
        if (f != a.felder.constEnd() && f->hatSteuer) s.insert(kz.kennziffer, f->steuer);
    }
    return s;
}

EuroType Kont_::getSondervorauszahlung(int slot) {
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return EuroType();
    EuroType summe;
    rsDataSource rs(db, QStringLiteral("SELECT Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE Konto=") +
                            rsDataSource::toSqlStr(kg->getSpezialKonto(1781)));
    for (; !rs.isEOF(); rs.fetch()) {
        const EuroType b = rs.field(QStringLiteral("Betrag")).toEuro();
        summe += rs.field(QStringLiteral("Haben")).toBool() ? -b : b;
    }
    return summe;
}

bool Kont_::GetUmsaetze(int slot, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2, OAbziehbareVorsteuerbetraege& v,
                        const int& art) {
    a.clearValues();
    a2.clearValues();
    v.clearValues();
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    if (!kg) return false;
    int p1 = 0, p2 = 0, p3 = 0;
    kg->GetFormularData(p1, p2, p3, kg->GetFormular());
    int zeitraumArt = p1, quartal = p2, monat = p3;
    if (art == 1) zeitraumArt = 3;
    UStKennziffern k;
    if (!GetUmsaetzeFuer(slot, k, zeitraumArt, quartal, monat)) return false;
    const bool dezember = Anmeldung::mitSondervorauszahlung(zeitraumArt, quartal, monat, kg->GetDBConnect_Ptr());
    UStVA::uebertrage(k, a, a2, v, dezember ? getSondervorauszahlung(slot) : EuroType());
    return true;
}

QString KontoGlobal::getKennzifferBezeichnung(unsigned long code, const QString& text) {
    const QString suffix = text.isEmpty() ? QString() : QStringLiteral(": ") + text;
    if (code == 999999 || code < 2) return text;
    QString r;
    if (code < 1000) {
        r = QString::number(code) + suffix;
    } else if (code < 1000000) {
        if (code % 1000 == 0)
            r = QStringLiteral("automatisch") + suffix;
        else
            r = QString::number(code % 1000) + QStringLiteral(" (Sachbereich ") + QString::number(code / 1000) + QStringLiteral(") ") + suffix;
    } else {
        unsigned long zeile = code / 1000000;
        if (zeile == 55 || zeile == 56) ++zeile;
        r = QStringLiteral("Z. ") + QString::number(zeile) + suffix;
    }
    // The host's macros ($Y() and friends) would be replaced here; the
    // texts of this program's forms carry none.
    return r;
}

QString KontoGlobal::getKennzifferVariable(unsigned long kennziffer, unsigned long formular, bool& habenPositiv) {
    habenPositiv = false;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return QString();
    rsDataSource rs(db, QStringLiteral("Select Variable, HabenPositiv From eurFormulare Where Kennziffer=") + rsDataSource::toSqlStr(kennziffer) +
                            QStringLiteral(" AND Formular=") + rsDataSource::toSqlStr(formular));
    if (rs.isEOF()) return QString();
    habenPositiv = rs.field(QStringLiteral("HabenPositiv")).toBool();
    return rs.field(QStringLiteral("Variable")).toString();
}

// --- transfer into the return's form nodes ------------------------------------------------

namespace {
// The entry of the period under "Va_[M]\Va0010_\Va0011_{n}": months 1..12,
// quarters 13..16, the year 17.
int periodenEintrag(int zeitraumArt, int quartal, int monat) {
    if (zeitraumArt == 1 && monat >= 0) return monat + 1;
    if (zeitraumArt == 2 && quartal >= 0) return 13 + quartal;
    return 17;
}
}  // namespace

bool Kont_::UebertrageUStVA(int zeitraumArt, int quartal, int monat, QString* fehler) {
    auto abgelehnt = [fehler](const QString& grund) {
        if (fehler) *fehler = grund;
        return false;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db || !DatenBase::rootNode(QStringLiteral("Va_")))
        return abgelehnt(QStringLiteral("Der Fall hat keine Umsatzsteuer-Voranmeldung, in die die Zahlen übertragen werden können."));
    const QString pfad = QStringLiteral("Va_[M]\\Va0010_\\Va0011_{%1}").arg(periodenEintrag(zeitraumArt, quartal, monat));
    // Entries of a list are numbered in order; the earlier periods are made as needed.
    for (int i = 1; i < periodenEintrag(zeitraumArt, quartal, monat); ++i)
        DatenBase::GetDB(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{%1}").arg(i), true);
    DatenBase* knoten = DatenBase::GetDB(pfad, true);
    if (!knoten) return abgelehnt(QStringLiteral("Die Voranmeldung des Zeitraums konnte nicht angelegt werden."));
    if (knoten->getVar(QStringLiteral("va_Uebermittelt")).toBool()) {
        const QString t = QStringLiteral("Bereits übermittelte Umsatzsteuer-Voranmeldungen dürfen nicht gelöscht werden.");
        GetUi().rsError(t, QStringLiteral("Fehler"));
        return abgelehnt(t);
    }
    UStKennziffern k;
    GetUmsaetzeFuer(kg->getSlot(), k, zeitraumArt, quartal, monat);
    const bool dezember = Anmeldung::mitSondervorauszahlung(zeitraumArt, quartal, monat, kg->GetDBConnect_Ptr());
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    UStVA::uebertrage(k, a, a2, v, dezember ? getSondervorauszahlung(kg->getSlot()) : EuroType());
    const QMap<int, EuroType> eintrag = UStVA::eintraege(a, a2, v);
    QMap<QString, EuroType> werte;
    rsDataSource rs(db, QStringLiteral("SELECT Variable, Kennziffer FROM eurFormulare WHERE Formular=0 AND NOT Variable IS NULL AND Variable<>'' "));
    for (; !rs.isEOF(); rs.fetch()) {
        auto w = eintrag.constFind(rs.field(QStringLiteral("Kennziffer")).toInt());
        if (w != eintrag.constEnd()) werte.insert(rs.field(QStringLiteral("Variable")).toString(), *w);
    }
    // Figures entered in the return by hand are given up only when the user says so.
    if (Formularwerte::ueberschreibtWerte(knoten, werte, {QStringLiteral("va_Uebermittelt")}) &&
        !GetUi().frage(QStringLiteral("Für diesen Zeitraum sind in der Umsatzsteuer-Voranmeldung bereits Daten erfasst. Diese Daten werden "
                                      "durch die Übernahme der Buchhaltung gelöscht.\nWollen Sie trotzdem übernehmen?"),
                       QStringLiteral("Frage")))
        return abgelehnt(QStringLiteral("Die Voranmeldung enthält Zahlen, die die Übernahme ändern würde; sie bleibt unverändert."));
    knoten->clearDynamisch();
    for (auto it = werte.constBegin(); it != werte.constEnd(); ++it) knoten->setVar(it.key(), DatenTyp(*it));
    return true;
}

int Kont_::UebernahmeUstGst(int befehl, int) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg || kg->getKontenplanName().isEmpty()) {
        GetUi().rsError(QStringLiteral("Bitte geben Sie zunächst die Firmendaten an."), QStringLiteral("Fehler"));
        return 1;
    }
    switch (befehl) {
    case 1220: {
        int art = 3, quartal = -1, monat = -1;
        kg->GetFormularData(art, quartal, monat, kg->GetFormular());
        UebertrageUStVA(art, quartal, monat);
        break;
    }
    case 1221:
    case 1222: {
        // The annual VAT return and the trade-tax return take the ledger's
        // totals per form variable into their roots.
        const bool ust = befehl == 1221;
        DatenBase* ziel = DatenBase::rootNode(ust ? QStringLiteral("Ust_") : QStringLiteral("Gst_"));
        if (ziel) {
            const QMap<QString, EuroType> w = berechneFormularwerte(ust ? QStringLiteral("USt") : QStringLiteral("GewSt"), ust ? 1 : 2);
            for (auto it = w.begin(); it != w.end(); ++it) ziel->setVar(it.key(), DatenTyp(*it));
        }
        break;
    }
    case 1223:
        UebernahmeEurFormular();
        break;
    default:
        break;
    }
    return 0;
}
