// The private use of a company car (see anlagen.h).
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/anlagen/intern.h"
#include "kontbaum/anlagen/konten.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/rahmen/kontglob.h"

#include <algorithm>

namespace Anlagen {

namespace {
using KG = KontoGlobal;

const QString kRegister = QStringLiteral("Kont_[M]\\Buch012_[0]");

using intern::nein;

QList<DatenBase*> eintraege() { return intern::eintraege(kRegister, QStringLiteral("Buch012a_")); }

Fahrzeug lese(const DatenBase& e, int nummer) {
    auto v = [&](const char* n) { return e.getVar(QLatin1String(n)); };
    Fahrzeug f;
    f.nummer = nummer;
    f.id = v("bu12a_ID").toInt();
    f.bezeichnung = v("bu12a_Bezeichnung").toString();
    f.fahrtenbuch = v("bu12a_Methode").toInt() == 2;
    f.listenpreis = v("bu12a_Listenpreis").toEuro();
    f.privatProzent = v("bu12a_Anteil").toDouble();
    f.ustProzent = v("bu12a_UstAnteil").isNull() ? 80 : v("bu12a_UstAnteil").toDouble();
    f.jahr = v("bu12a_Jahr").toInt();
    f.vonMonat = std::max(1, v("bu12a_VonMonat").toInt());
    f.bisMonat = v("bu12a_BisMonat").isNull() ? 12 : v("bu12a_BisMonat").toInt();
    f.monatlich = v("bu12a_Monatlich").toBool();
    f.entfernung = v("bu12a_Entfernung").toInt();
    f.arbeitstage = v("bu12a_Arbeitstage").toInt();
    f.jahresKm = v("bu12a_JahresKm").toInt();
    return f;
}

void schreibe(DatenBase& e, const Fahrzeug& f) {
    auto s = [&](const char* n, const DatenTyp& w) { e.setVar(QLatin1String(n), w); };
    s("bu12a_ID", DatenTyp(f.id));
    s("bu12a_Bezeichnung", DatenTyp(f.bezeichnung));
    s("bu12a_Methode", DatenTyp(f.fahrtenbuch ? 2 : 1));
    s("bu12a_Listenpreis", DatenTyp(f.listenpreis));
    s("bu12a_Anteil", DatenTyp(f.privatProzent));
    s("bu12a_UstAnteil", DatenTyp(f.ustProzent));
    s("bu12a_Jahr", DatenTyp(f.jahr));
    s("bu12a_VonMonat", DatenTyp(f.vonMonat));
    s("bu12a_BisMonat", DatenTyp(f.bisMonat));
    s("bu12a_Monatlich", DatenTyp(f.monatlich));
    s("bu12a_Entfernung", DatenTyp(f.entfernung));
    s("bu12a_Arbeitstage", DatenTyp(f.arbeitstage));
    s("bu12a_JahresKm", DatenTyp(f.jahresKm));
}

// The account of category `kategorie` whose EÜR line is `zeile`.
unsigned long kontoMitZeile(DBConnection* db, int kategorie, int zeile) {
    return QueryPrepared(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Kategorie=? AND EUR=?"), {DatenTyp(kategorie), DatenTyp(zeile)})
        .value(0)
        .toULong();
}

// What the tagged bookings hold on one account (debit positive).
EuroType aufKonto(DBConnection* db, const QString& tag, unsigned long konto) {
    return QueryPrepared(db,
                         QStringLiteral("SELECT SUM(CASE WHEN z.Haben=0 THEN z.Betrag ELSE -z.Betrag END) FROM eurVerbucht b "
                                        "JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer "
                                        "WHERE b.Zusatzinfo=? AND z.Konto=?"),
                         {DatenTyp(tag), DatenTyp(qlonglong(konto))})
        .value(0)
        .toEuro();
}

// The accounts of the private use (category 4201): the one with a key
// (19 % VAT, SKR03 8921) and the one without (8924).
void privatKonten(DBConnection* db, unsigned long* mitUst, unsigned long* ohneUst) {
    *mitUst = *ohneUst = 0;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, Steuerschluessel, Steuerautomatik FROM eurKontenplan WHERE Kategorie=4201 ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const bool schluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong() != 0 && rs.field(QStringLiteral("Steuerautomatik")).toLongLong() != 0;
        unsigned long& k = schluessel ? *mitUst : *ohneUst;
        if (k == 0) k = rs.field(QStringLiteral("Nummer")).toULong();
    }
}

// Net amount the tagged bookings credited on the accounts of private use.
EuroType gebucht(DBConnection* db, const QString& tag) {
    return QueryPrepared(db,
                         QStringLiteral("SELECT SUM(CASE WHEN z.Haben<>0 THEN z.Betrag ELSE -z.Betrag END) FROM eurVerbucht b "
                                        "JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer "
                                        "JOIN eurKontenplan k ON k.Nummer=z.Konto "
                                        "WHERE b.Zusatzinfo=? AND z.Steuerschluessel<>999999 AND k.Kategorie=4201"),
                         {DatenTyp(tag)})
        .value(0)
        .toEuro();
}

int steuerjahr() {
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}
}  // namespace

QList<Fahrzeug> fahrzeuge() {
    QList<Fahrzeug> l;
    int n = 0;
    for (const DatenBase* e : eintraege()) l << lese(*e, ++n);
    return l;
}

int fahrzeugAnlegen(Fahrzeug f, QString* fehler) {
    const int jahr = steuerjahr();
    if (f.bezeichnung.trimmed().isEmpty()) return nein(fehler, QStringLiteral("Die Bezeichnung des Fahrzeugs fehlt.")), 0;
    if (!f.fahrtenbuch && (f.listenpreis <= EuroType() || !f.listenpreis.imRahmen()))
        return nein(fehler, QStringLiteral("Die 1-%-Regelung braucht den Bruttolistenpreis (--listenpreis).")), 0;
    if (f.fahrtenbuch && (f.privatProzent <= 0 || f.privatProzent >= 100))
        return nein(fehler, QStringLiteral("Das Fahrtenbuch braucht den privaten Anteil in Prozent (--anteil, über 0 und unter 100).")), 0;
    if (f.ustProzent < 0 || f.ustProzent > 100) return nein(fehler, QStringLiteral("Der Anteil mit Umsatzsteuer liegt zwischen 0 und 100 Prozent.")), 0;
    if (f.entfernung < 0 || f.arbeitstage < 0 || f.arbeitstage > 366 || (f.entfernung > 0) != (f.arbeitstage > 0))
        return nein(fehler, QStringLiteral("Zu den Fahrten zwischen Wohnung und Betrieb gehören die Entfernung in km (--entfernung) und die "
                                           "Zahl der Fahrtage (--arbeitstage, höchstens 366).")),
               0;
    // With a logbook the trips take their share of the actual costs by the
    // kilometres of the year (§ 4 Abs. 5 Satz 1 Nr. 6 Satz 3 EStG).
    if (f.entfernung > 0 && f.fahrtenbuch && (f.jahresKm <= 0 || qint64(2) * f.entfernung * f.arbeitstage > f.jahresKm))
        return nein(fehler, QStringLiteral("Beim Fahrtenbuch werden die Fahrten zwischen Wohnung und Betrieb mit ihrem Anteil an den "
                                           "tatsächlichen Kosten angesetzt: dazu gehören die im Jahr gefahrenen Kilometer laut Fahrtenbuch "
                                           "(--jahres-km), mindestens die %1 km der Fahrten (2 x Entfernung x Fahrtage).")
                                .arg(qint64(2) * f.entfernung * f.arbeitstage)),
               0;
    if (f.jahresKm < 0 || (f.jahresKm > 0 && (!f.fahrtenbuch || f.entfernung <= 0)))
        return nein(fehler, QStringLiteral("Die Kilometer des Jahres (--jahres-km) gehören zu den Fahrten zwischen Wohnung und Betrieb "
                                           "eines Fahrzeugs mit Fahrtenbuch.")),
               0;
    if (f.vonMonat < 1 || f.bisMonat > 12 || f.vonMonat > f.bisMonat)
        return nein(fehler, QStringLiteral("Die Monate der Nutzung liegen zwischen 1 und 12, der erste vor dem letzten.")), 0;
    f.jahr = jahr;
    int hoechste = 0;
    for (const Fahrzeug& x : fahrzeuge()) hoechste = std::max(hoechste, x.id);
    f.id = hoechste + 1;
    f.nummer = eintraege().size() + 1;
    DatenBase* e = DatenBase::GetDB(kRegister + QStringLiteral("\\Buch012a_{%1}").arg(f.nummer), true);
    if (!e) return nein(fehler, QStringLiteral("Der Eintrag konnte nicht angelegt werden.")), 0;
    schreibe(*e, f);
    return f.nummer;
}

EuroType fahrzeugKosten(DBConnection* db, EuroType* mitVorsteuer) {
    // Running costs, leasing and the depreciation of the vehicles in the
    // register, each net.
    EuroType summe, mit;
    rsDataSource rs(db, QStringLiteral("SELECT SUM(CASE WHEN z.Haben=0 THEN z.Betrag ELSE -z.Betrag END) AS s, "
                                       "(SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen t WHERE t.Buchungsnummer=z.Buchungsnummer "
                                       "AND t.SteuerID=z.SteuerID AND t.Steuerschluessel=999999)>0 AS v "
                                       "FROM eurVerbuchtBuchungszeilen z JOIN eurKontenplan k ON k.Nummer=z.Konto "
                                       "WHERE k.Kategorie IN (5402, 5405) AND k.EUR NOT IN (142, 176) AND z.Steuerschluessel<>999999 GROUP BY v"));
    for (; !rs.isEOF(); rs.fetch()) {
        const EuroType s = rs.getFields()->getField(0).toEuro();
        summe += s;
        if (rs.getFields()->getField(1).toBool()) mit += s;
    }
    const int jahr = steuerjahr();
    for (const Anlage& a : liste())
        if (QueryPrepared(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(a.konto))}).value(0).toInt() == 104) {
            const Jahreswerte w = werte(a, jahr);
            summe += w.afa + w.sonder;
            if (!a.vorsteuer.isNull()) mit += w.afa + w.sonder;
        }
    if (mitVorsteuer) *mitVorsteuer = mit;
    return summe;
}

bool privatanteilBuchen(Lauf* lauf, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet."));
    const int jahr = steuerjahr();
    unsigned long mitUst = 0, ohneUst = 0;
    privatKonten(db, &mitUst, &ohneUst);
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    const unsigned long privat = kg ? kg->getSpezialKonto(1800) : 0;
    if (mitUst == 0 || ohneUst == 0 || privat == 0)
        return nein(fehler, QStringLiteral("Der Kontenplan hat keine Konten für die private Kfz-Nutzung (Kategorie 4201) oder keine Privatentnahmen."));
    const unsigned long schluessel =
        QueryPrepared(db, QStringLiteral("SELECT Steuerschluessel FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(mitUst))}).value(0).toULong();
    struct Periode {
        QString tag, text;
        zDate datum;
        EuroType betrag;
        double ust;
    };
    QList<Periode> perioden;
    // The year's costs belong to a vehicle only while the register holds
    // one: the ledger does not say which car a cost was for.
    EuroType kostenMitVorsteuer;
    const EuroType kosten = fahrzeugKosten(db, &kostenMitVorsteuer);
    const bool kostenZuzuordnen = fahrzeuge().size() == 1;
    QMap<int, EuroType> privatwert;  // the private use of a 1 % car after the cap, by id
    for (const Fahrzeug& f : fahrzeuge()) {
        const int von = f.jahr == jahr ? f.vonMonat : 1, bis = f.jahr == jahr ? f.bisMonat : 12;
        const QString basis = QStringLiteral("Privatanteil[%1]%2").arg(f.id).arg(jahr);
        if (f.fahrtenbuch) {
            // The logbook's share of the year's costs; the part of the costs
            // that carried input tax is taxed (§ 3 Abs. 9a Nr. 1 UStG).
            const EuroType anteil = kosten.prozent(f.privatProzent);
            const double ust = kosten.isNull() ? 0 : 100.0 * kostenMitVorsteuer.alsDouble() / kosten.alsDouble();
            perioden.append({basis, QStringLiteral("Private Kfz-Nutzung %1 laut Fahrtenbuch %2 % der Kosten %3").arg(f.bezeichnung).arg(f.privatProzent).arg(jahr),
                             zDate(jahr, bis, 1).addMonths(1).addDays(-1), anteil, ust});
            continue;
        }
        // 1 % of the list price rounded down to full hundreds a month
        // (§ 6 Abs. 1 Nr. 4 Satz 2 EStG, R 8.1 Abs. 9 Nr. 1 Satz 6 LStR).
        const EuroType preis = EuroType::ausCent(f.listenpreis.cent() / 10000 * 10000);
        const EuroType monat = preis.anteil(1, 100);
        if (f.monatlich) {
            for (int m = von; m <= bis; ++m)
                perioden.append({basis + QStringLiteral("-%1").arg(m, 2, 10, QLatin1Char('0')),
                                 QStringLiteral("Private Kfz-Nutzung %1 1 % von %2 € %3/%4").arg(f.bezeichnung, preis.getText()).arg(m, 2, 10, QLatin1Char('0')).arg(jahr),
                                 zDate(jahr, m, 1).addMonths(1).addDays(-1), monat, f.ustProzent});
        } else {
            perioden.append({basis, QStringLiteral("Private Kfz-Nutzung %1 1 % von %2 € x %3 Monate %4").arg(f.bezeichnung, preis.getText()).arg(bis - von + 1).arg(jahr),
                             zDate(jahr, bis, 1).addMonths(1).addDays(-1), monat.anteil(bis - von + 1, 1), f.ustProzent});
        }
        // The flat value never exceeds what the car cost in the year
        // (Kostendeckelung, BMF 18.11.2009, BStBl I S. 1326): the excess is
        // taken back by a booking of its own, which a later run with higher
        // costs takes back in turn.
        const EuroType pauschal = monat.anteil(bis - von + 1, 1);
        const EuroType kuerzung = kostenZuzuordnen && pauschal > kosten ? pauschal - std::max(kosten, EuroType()) : EuroType();
        privatwert.insert(f.id, pauschal - kuerzung);
        perioden.append({QStringLiteral("Kostendeckelung[%1]%2").arg(f.id).arg(jahr),
                         QStringLiteral("Kostendeckelung %1 %2: Privatanteil höchstens die Kfz-Kosten von %3 €").arg(f.bezeichnung).arg(jahr).arg(kosten.getText()),
                         zDate(jahr, bis, 1).addMonths(1).addDays(-1), -kuerzung, f.ustProzent});
    }
    QList<KG::BuchungsEntwurf> entwuerfe;
    for (const Periode& p : perioden) {
        const EuroType diff = p.betrag - gebucht(db, p.tag);
        if (diff.isNull()) continue;
        const EuroType mit = diff.abs().prozent(p.ust), ohne = diff.abs() - mit;
        KG::BuchungsEntwurf b;
        b.herkunft = KG::HERK_PA_ANT;
        b.text = p.text;
        b.belegdatum = p.datum;
        b.buchungsart = 3;
        b.zusatzinfo = p.tag;
        // The private account takes what the business gives out; a lower
        // share than posted before turns the sides around.
        b.haben = diff < EuroType();
        b.konto = privat;
        if (!mit.isNull()) b.teile.append({mitUst, schluessel, mit, true, QString()});
        if (!ohne.isNull()) b.teile.append({ohneUst, 0, ohne, false, QString()});
        entwuerfe << b;
    }
    // Trips between home and business of the cars valued by the 1 % rule.
    const unsigned long haben = kontoMitZeile(db, 5402, 142), abziehbar = kontoMitZeile(db, 5402, 176),
                        nichtAbziehbar = QueryPrepared(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Kategorie=6000"), {}).value(0).toULong();
    for (const Fahrzeug& f : fahrzeuge()) {
        if (f.entfernung <= 0) continue;
        if (haben == 0 || abziehbar == 0 || nichtAbziehbar == 0)
            return nein(fehler, QStringLiteral("Der Kontenplan hat keine Konten für Fahrten zwischen Wohnung und Betrieb (EÜR Zeilen 142 und 176, "
                                               "Kategorie 6000)."));
        const int von = f.jahr == jahr ? f.vonMonat : 1, bis = f.jahr == jahr ? f.bisMonat : 12;
        const EuroType preis = EuroType::ausCent(f.listenpreis.cent() / 10000 * 10000);
        const qint64 fahrtKm = qint64(2) * f.entfernung * f.arbeitstage;
        // By the 1 % rule 0,03 % of the list price per km and month; by the
        // logbook the trips' share of the year's costs by kilometres. The
        // allowance per km and day stays deductible.
        EuroType wert = f.fahrtenbuch ? (f.jahresKm > 0 ? kosten.anteil(fahrtKm, f.jahresKm) : EuroType())
                                      : preis.anteil(qint64(3) * f.entfernung * (bis - von + 1), 10000);
        const EuroType pauschale = EuroType::ausCent(30).anteil(qint64(f.entfernung) * f.arbeitstage, 1);
        EuroType rest = wert > pauschale ? wert - pauschale : EuroType();
        // The cap of the flat values covers the non-deductible part too: with
        // the private use it stays within the year's costs.
        if (!f.fahrtenbuch && kostenZuzuordnen) {
            const EuroType frei = std::max(kosten - privatwert.value(f.id), EuroType());
            if (rest > frei) {
                rest = frei;
                wert = pauschale + rest;
            }
        }
        const QString tag = QStringLiteral("EntfPausch[%1]%2").arg(f.id).arg(jahr);
        // What the booking should hold against what it holds.
        const EuroType dWert = (rest.isNull() ? EuroType() : wert) + aufKonto(db, tag, haben);
        const EuroType dPauschale = (rest.isNull() ? EuroType() : pauschale) - aufKonto(db, tag, abziehbar);
        const EuroType dRest = rest - aufKonto(db, tag, nichtAbziehbar);
        if (dWert.isNull() && dPauschale.isNull() && dRest.isNull()) continue;
        const bool mehr = dWert > EuroType() || (dWert.isNull() && dRest > EuroType());
        if ((mehr && (dPauschale < EuroType() || dRest < EuroType())) || (!mehr && (dPauschale > EuroType() || dRest > EuroType())))
            return nein(fehler, QStringLiteral("Die Buchung der Fahrten zwischen Wohnung und Betrieb von „%1“ passt nicht mehr zu den Angaben; bitte "
                                               "die Buchung mit „%2“ stornieren und neu buchen.")
                                    .arg(f.bezeichnung, tag));
        KG::BuchungsEntwurf b;
        b.herkunft = KG::HERK_PA_ENTF;
        b.text = f.fahrtenbuch ? QStringLiteral("Fahrten Wohnung/Betrieb %1: %2 von %3 km der Kosten %4 €, abziehbar %5 km x %6 Tage x 0,30 €")
                                     .arg(f.bezeichnung)
                                     .arg(fahrtKm)
                                     .arg(f.jahresKm)
                                     .arg(kosten.getText())
                                     .arg(f.entfernung)
                                     .arg(f.arbeitstage)
                               : QStringLiteral("Fahrten Wohnung/Betrieb %1: 0,03 % x %2 € x %3 km x %4 Monate, abziehbar %5 km x %6 Tage x 0,30 €")
                                     .arg(f.bezeichnung, preis.getText())
                                     .arg(f.entfernung)
                                     .arg(bis - von + 1)
                                     .arg(f.entfernung)
                                     .arg(f.arbeitstage);
        b.belegdatum = zDate(jahr, bis, 1).addMonths(1).addDays(-1);
        b.buchungsart = 3;
        b.zusatzinfo = tag;
        b.haben = mehr;
        b.konto = haben;
        if (!dPauschale.isNull()) b.teile.append({abziehbar, 0, dPauschale.abs(), false, QString()});
        if (!dRest.isNull()) b.teile.append({nichtAbziehbar, 0, dRest.abs(), false, QString()});
        if (b.teile.isEmpty()) continue;
        entwuerfe << b;
    }
    if (lauf) *lauf = Lauf();
    if (entwuerfe.isEmpty()) return true;
    for (const KG::BuchungsEntwurf& b : entwuerfe)
        if (KG::isInFestschreibungsZeitraum(b.belegdatum)) {
            if (!KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), KG::FFK_Buchen, KG::FFT_NeueFestgeschrieben))
                return nein(fehler, QStringLiteral("Der Privatanteil liegt im festgeschriebenen Zeitraum; es wurde nichts gebucht."));
            break;
        }
    DBTransaktion tx(db);
    Lauf l;
    // The accounts of trips are kept inactive in the chart until used.
    intern::Kontenaktivierung konten;
    for (const KG::BuchungsEntwurf& b : entwuerfe) {
        QString e;
        const unsigned long nr = konten.buche(b, db, &e);
        if (nr == 0) return nein(fehler, QStringLiteral("„%1“ konnte nicht gebucht werden: %2").arg(b.text, e));
        l.buchungen << nr;
        if (b.herkunft == KG::HERK_PA_ANT)
            for (const KG::BuchungsTeil& t : b.teile) l.summe += b.haben ? -t.betrag : t.betrag;
    }
    if (!tx.commit()) return nein(fehler, QStringLiteral("Der Privatanteil konnte nicht gespeichert werden."));
    konten.melden();
    if (lauf) *lauf = l;
    return true;
}

}  // namespace Anlagen
