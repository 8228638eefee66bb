// The postings of the fixed-asset register: depreciation, special
// depreciation, disposals with their proceeds, purchases (see anlagen.h).
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/anlagen/intern.h"
#include "kontbaum/anlagen/konten.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Anlagen {

namespace {
using KG = KontoGlobal;

QString tag(const char* art, int id) { return QLatin1String(art) + QString::number(id); }

// What the tagged bookings put on expense accounts (debit positive); a
// cancellation mirrors its booking with the same tag, so the two offset.
EuroType gebucht(DBConnection* db, const QString& zusatzinfo) {
    return QueryPrepared(db,
                         QStringLiteral("SELECT SUM(CASE WHEN z.Haben=0 THEN z.Betrag ELSE -z.Betrag END) FROM eurVerbucht b "
                                        "JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer "
                                        "JOIN eurKontenplan k ON k.Nummer=z.Konto "
                                        "WHERE b.Zusatzinfo=? AND z.Steuerschluessel<>999999 AND k.Kategorie BETWEEN 5000 AND 5999"),
                         {DatenTyp(zusatzinfo)})
        .value(0)
        .toEuro();
}

// Whether a live booking carries the tag (a cancelled one does not count).
bool vorhanden(DBConnection* db, const QString& zusatzinfo) {
    return QueryPrepared(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Zusatzinfo=? AND Storno=0 AND Storniert=0"),
                         {DatenTyp(zusatzinfo)})
               .value(0)
               .toLongLong() > 0;
}

// One planned posting of a run.
struct Posten {
    Posten(unsigned long h, int k, const QString& t, const QString& z, const zDate& d)
        : herkunft(h), kontext(k), text(t), zusatzinfo(z), datum(d) {}
    unsigned long herkunft;
    int kontext;  // of the lock question
    QString text, zusatzinfo;
    zDate datum;
    int art = 3;
    unsigned long konto = 0;  // dialog line 1
    bool haben = false;       // its side
    unsigned long gegenkonto = 0;
    unsigned long schluessel = 0;
    bool netto = false;
    EuroType betrag;
};

// The booking that moves `diff` (expense positive) between the asset
// account and the expense account.
Posten aufwand(unsigned long herkunft, int kontext, const QString& text, const QString& zusatz, const zDate& datum,
               unsigned long anlagekonto, unsigned long aufwandkonto, const EuroType& diff) {
    Posten p{herkunft, kontext, text, zusatz, datum};
    p.konto = anlagekonto;
    p.haben = diff > EuroType();  // the asset account gives what the expense takes
    p.gegenkonto = aufwandkonto;
    p.betrag = diff.abs();
    return p;
}

unsigned long poste(const Posten& p, DBConnection* db, intern::Kontenaktivierung& konten, QString* fehler) {
    KG::BuchungsEntwurf b;
    b.herkunft = p.herkunft;
    b.text = p.text;
    b.belegdatum = p.datum;
    b.buchungsart = p.art;
    b.zusatzinfo = p.zusatzinfo;
    b.haben = p.haben;
    b.konto = p.konto;
    b.teile.append({p.gegenkonto, p.schluessel, p.betrag, p.netto, QString()});
    return konten.buche(b, db, fehler);
}

// Asks the lock question once for the first planned posting in the
// locked period; true when there is none or the user agreed.
bool sperreFragen(const QList<Posten>& posten) {
    for (const Posten& p : posten)
        if (KG::isInFestschreibungsZeitraum(p.datum))
            return KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), p.kontext, KG::FFT_NeueFestgeschrieben, p.datum.getText());
    return true;
}

using intern::nein;

// What the tagged bookings put on the asset account `konto` (debit positive).
EuroType aufAnlagekonto(DBConnection* db, const QString& zusatzinfo, unsigned long konto) {
    return QueryPrepared(db,
                         QStringLiteral("SELECT SUM(CASE WHEN z.Haben=0 THEN z.Betrag ELSE -z.Betrag END) FROM eurVerbucht b "
                                        "JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer "
                                        "WHERE b.Zusatzinfo=? AND z.Konto=?"),
                         {DatenTyp(zusatzinfo), DatenTyp(qlonglong(konto))})
        .value(0)
        .toEuro();
}

// The opening balances of the carried assets on 1 January: the balance
// list of the new year starts from the book values the register carried,
// since the carry-forward of the ledger leaves asset accounts out. One
// booking per asset against the carry-forward account, laid out as the
// ledger's opening balances are (line 1 the carry-forward account, line 2
// the asset account, kind 6), only the difference to what is there.
bool vortragsPosten(DBConnection* db, int jahr, QList<Posten>* posten, QString* fehler) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    for (const Anlage& a : liste()) {
        if (a.id == 0 || a.vortragsjahr != jahr || a.konto == 0) continue;
        // An account the user made part of the ledger's carry-forward gets
        // its opening balance from there.
        if (QueryPrepared(db, QStringLiteral("SELECT EB_Erzeugung FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(a.konto))})
                .value(0)
                .toLongLong() != 0)
            continue;
        const QString zusatz = tag("AnlageSaldovortrag_", a.id);
        const EuroType diff = werte(a, jahr).anfang - aufAnlagekonto(db, zusatz, a.konto);
        if (diff.isNull()) continue;
        const unsigned long vortrag = kg ? kg->getSpezialKonto(9000) : 0;
        if (vortrag == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein Konto für Saldovorträge (Kategorie 8001)."));
        Posten p{KG::HERK_ANL_SAL, KG::FFK_Buchen, QStringLiteral("Saldovortrag %1").arg(a.bezeichnung), zusatz, zDate(jahr, 1, 1)};
        p.art = 6;
        p.konto = vortrag;
        // A higher book value is a debit on the asset account.
        p.haben = diff > EuroType();
        p.gegenkonto = a.konto;
        p.betrag = diff.abs();
        *posten << p;
    }
    return true;
}

// Posts `posten` in one transaction after the lock question; activates
// the accounts posted to.
bool posteAlle(DBConnection* db, const QList<Posten>& posten, Lauf* lauf, QString* fehler) {
    if (posten.isEmpty()) {
        if (lauf) *lauf = Lauf();
        return true;
    }
    if (!sperreFragen(posten))
        return nein(fehler, QStringLiteral("Die Buchungen liegen im festgeschriebenen Zeitraum; es wurde nichts gebucht."));
    DBTransaktion tx(db);
    if (!tx.ok()) return nein(fehler, QStringLiteral("Die Buchungen konnten nicht begonnen werden."));
    Lauf l;
    intern::Kontenaktivierung konten;
    for (const Posten& p : posten) {
        QString e;
        const unsigned long nr = poste(p, db, konten, &e);
        if (nr == 0) return nein(fehler, QStringLiteral("„%1“ konnte nicht gebucht werden: %2").arg(p.text, e));
        l.buchungen << nr;
        if (p.herkunft != KG::HERK_ANL_ERL && p.herkunft != KG::HERK_UML_VERK && p.herkunft != KG::HERK_ANL_SAL)
            l.summe += p.haben ? p.betrag : -p.betrag;
    }
    if (!tx.commit()) return nein(fehler, QStringLiteral("Die Buchungen konnten nicht gespeichert werden."));
    konten.melden();
    if (lauf) *lauf = l;
    return true;
}

}  // namespace

bool saldovortraege(int jahr, Lauf* lauf, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet."));
    QList<Posten> posten;
    return vortragsPosten(db, jahr, &posten, fehler) && posteAlle(db, posten, lauf, fehler);
}

bool buchen(int jahr, Lauf* lauf, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet."));
    QList<Posten> posten;
    if (!vortragsPosten(db, jahr, &posten, fehler)) return false;
    const unsigned long sonderKonto = kontoDerKategorie(5304);
    const unsigned long abgangKonto = kontoDerKategorie(5401);
    for (const Anlage& a : liste()) {
        if (a.methode == OhneAfa && !(a.abgang.isValid() && a.abgang.year() == jahr)) continue;
        const Jahreswerte w = werte(a, jahr);
        const bool weg = a.abgang.isValid() && a.abgang.year() == jahr;
        const zDate datum = weg ? a.abgang : zDate(jahr, 12, 31);
        const QString name = a.bezeichnung;
        const EuroType afa = w.afa - gebucht(db, tag("AnlageAbschreibung_", a.id));
        if (!afa.isNull()) {
            const bool sofort = a.methode == Sofort;
            const QString t = sofort ? QStringLiteral("Sofortabschreibung GWG %1").arg(name)
                                     : a.methode == Sammelposten ? QStringLiteral("Auflösung Sammelposten %1 (1/5) %2").arg(name).arg(jahr)
                                                                 : QStringLiteral("AfA %1 %2").arg(name).arg(jahr);
            posten << aufwand(KG::HERK_ANL_AFA, 7, t, tag("AnlageAbschreibung_", a.id), datum, a.konto, a.afaKonto, afa);
        }
        const EuroType kuerzung = w.herabsetzung - gebucht(db, tag("AnlageKuerzung_", a.id));
        if (!kuerzung.isNull()) {
            const unsigned long k = kontoDerKategorie(5306);
            if (k == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein Konto für Herabsetzungsbeträge nach § 7g Abs. 2 EStG (Kategorie 5306)."));
            posten << aufwand(KG::HERK_ANL_KRZ, 4, QStringLiteral("Herabsetzung § 7g Abs. 2 %1").arg(name), tag("AnlageKuerzung_", a.id),
                              a.anschaffung, a.konto, k, kuerzung);
        }
        const EuroType sonder = w.sonder - gebucht(db, tag("AnlageSonderAbschreibung_", a.id));
        if (!sonder.isNull()) {
            if (sonderKonto == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein aktives Konto für Sonderabschreibungen (Kategorie 5304)."));
            posten << aufwand(KG::HERK_ANL_SAFA, 8, QStringLiteral("Sonderabschreibung § 7g %1 %2").arg(name).arg(jahr),
                              tag("AnlageSonderAbschreibung_", a.id), datum, a.konto, sonderKonto, sonder);
        }
        if (!weg) continue;
        const EuroType rest = w.abgang - gebucht(db, tag("AnlageAbgang_", a.id));
        if (!rest.isNull()) {
            if (abgangKonto == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein aktives Konto für Anlagenabgänge (Kategorie 5401)."));
            posten << aufwand(KG::HERK_ANL_ABG, 5, QStringLiteral("Restbuchwert %1 (Abgang)").arg(name), tag("AnlageAbgang_", a.id), datum,
                              a.konto, abgangKonto, rest);
        }
    }
    // Proceeds are money that came in: posted once, from the entry's own
    // accounts (anlage abgang).
    QList<Posten> erloese;
    for (const Anlage& a : liste()) {
        if (!a.abgang.isValid() || a.abgang.year() != jahr || a.erloes.isNull() || vorhanden(db, tag("AnlageErloes_", a.id))) continue;
        const QVector<DatenTyp> k = QueryPrepared(db, QStringLiteral("SELECT Steuerautomatik, Steuerschluessel FROM eurKontenplan WHERE Nummer=?"),
                                                  {DatenTyp(qlonglong(a.erloeskonto))});
        Posten p{KG::HERK_ANL_ERL, 6,
                 QStringLiteral("%1 %2").arg(a.abgangsart == Entnahme ? QStringLiteral("Entnahme") : QStringLiteral("Verkauf"), a.bezeichnung),
                 tag("AnlageErloes_", a.id), a.abgang};
        p.art = 1;
        p.konto = a.geldkonto;
        p.haben = false;
        p.gegenkonto = a.erloeskonto;
        p.schluessel = k.value(0).toLongLong() != 0 ? k.value(1).toULong() : 0;
        p.netto = p.schluessel != 0;
        p.betrag = a.erloes;
        posten << p;
    }
    // Current assets: their cost becomes an expense when they leave, and
    // the proceeds come in.
    for (const UmlaufGut& u : umlaufListe()) {
        if (!u.abgang.isValid() || u.abgang.year() != jahr) continue;
        const QString tagAbgang = tag("UmlaufAbgang_", u.id);
        const EuroType kosten = u.kosten - gebucht(db, tagAbgang);
        if (!kosten.isNull()) {
            const unsigned long k = kontoDerKategorie(5411);
            if (k == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein Konto für abgegangenes Umlaufvermögen (Kategorie 5411)."));
            posten << aufwand(KG::HERK_UML_ABG, 5, QStringLiteral("Abgang %1 (Anschaffungskosten § 4 Abs. 3 Satz 4 EStG)").arg(u.bezeichnung),
                              tagAbgang, u.abgang, u.konto, k, kosten);
        }
        if (u.erloes.isNull() || vorhanden(db, tag("UmlaufVerkauf_", u.id))) continue;
        const unsigned long erloesKonto = kontoDerKategorie(4206);
        if (erloesKonto == 0) return nein(fehler, QStringLiteral("Der Kontenplan hat kein Erlöskonto für Umlaufvermögen (Kategorie 4206)."));
        Posten p{KG::HERK_UML_VERK, 6,
                 QStringLiteral("%1 %2").arg(u.abgangsart == Entnahme ? QStringLiteral("Entnahme") : QStringLiteral("Verkauf"), u.bezeichnung),
                 tag("UmlaufVerkauf_", u.id), u.abgang};
        p.art = 3;
        p.konto = u.geldkonto;
        p.haben = false;
        p.gegenkonto = erloesKonto;
        p.betrag = u.erloes;
        posten << p;
    }
    return posteAlle(db, posten, lauf, fehler);
}

unsigned long bucheAnschaffung(const Anlage& a, unsigned long geldkonto, unsigned long schluessel, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet.")), 0;
    if (vorhanden(db, tag("AnlageNeu_", a.id)) || a.aufBuchung != 0)
        return nein(fehler, QStringLiteral("Die Anschaffung der Anlage Nr. %1 ist schon gebucht.").arg(a.nummer)), 0;
    Posten p{KG::HERK_ANL_NEU, 10, QStringLiteral("Anschaffung %1").arg(a.bezeichnung), tag("AnlageNeu_", a.id), a.anschaffung};
    // A free booking: the asset account is no expense account of an outflow.
    p.art = 3;
    p.konto = geldkonto;
    p.haben = true;
    p.gegenkonto = a.konto;
    p.schluessel = schluessel;
    p.netto = schluessel != 0;
    p.betrag = a.kosten;
    if (!sperreFragen({p})) return nein(fehler, QStringLiteral("Die Anschaffung liegt im festgeschriebenen Zeitraum; es wurde nichts gebucht.")), 0;
    DBTransaktion tx(db);
    intern::Kontenaktivierung konten;
    const unsigned long nr = poste(p, db, konten, fehler);
    if (nr == 0) return 0;
    if (!tx.commit()) return nein(fehler, QStringLiteral("Die Anschaffung konnte nicht gespeichert werden.")), 0;
    konten.melden();
    return nr;
}

bool ausBuchung(unsigned long nr, Anlage* a, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet."));
    const QVector<DatenTyp> kopf = QueryPrepared(
        db, QStringLiteral("SELECT Buchungstext, Belegdatum, Storno, Storniert FROM eurVerbucht WHERE Buchungsnummer=?"), {DatenTyp(qlonglong(nr))});
    if (kopf.isEmpty() || (kopf.value(0).isNull() && kopf.value(1).isNull()))
        return nein(fehler, QStringLiteral("Die Buchung %1 gibt es nicht.").arg(nr));
    if (kopf.value(2).toLongLong() != 0 || kopf.value(3).toLongLong() != 0)
        return nein(fehler, QStringLiteral("Die Buchung %1 ist storniert oder selbst eine Stornobuchung.").arg(nr));
    // The net line on the asset account and the input tax of its group.
    const QVector<DatenTyp> zeile = QueryPrepared(
        db,
        QStringLiteral("SELECT z.Konto, z.Betrag, z.SteuerID FROM eurVerbuchtBuchungszeilen z JOIN eurKontenplan k ON k.Nummer=z.Konto "
                       "WHERE z.Buchungsnummer=? AND z.Haben=0 AND z.Steuerschluessel<>999999 AND k.Kategorie BETWEEN 100 AND 199 "
                       "AND k.Kategorie<>108 ORDER BY z.ID LIMIT 1"),
        {DatenTyp(qlonglong(nr))});
    if (zeile.isEmpty() || zeile.value(0).isNull())
        return nein(fehler, QStringLiteral("Die Buchung %1 bucht nichts auf ein Anlagekonto (Kategorie 100 bis 199) im Soll.").arg(nr));
    for (const Anlage& x : liste())
        if (x.aufBuchung == int(nr))
            return nein(fehler, QStringLiteral("Aus der Buchung %1 ist schon die Anlage Nr. %2 „%3“ angelegt.").arg(nr).arg(x.nummer).arg(x.bezeichnung));
    const EuroType vorsteuer =
        QueryPrepared(db,
                      QStringLiteral("SELECT SUM(z.Betrag) FROM eurVerbuchtBuchungszeilen z JOIN eurKontenplan k ON k.Nummer=z.Konto "
                                     "WHERE z.Buchungsnummer=? AND z.SteuerID=? AND z.Steuerschluessel=999999 AND z.Haben=0 "
                                     "AND k.Kategorie=3100"),
                      {DatenTyp(qlonglong(nr)), zeile.value(2)})
            .value(0)
            .toEuro();
    a->bezeichnung = kopf.value(0).toString();
    a->anschaffung = kopf.value(1).toDate();
    a->konto = zeile.value(0).toULong();
    a->kosten = zeile.value(1).toEuro();
    a->vorsteuer = vorsteuer;
    a->aufBuchung = int(nr);
    return true;
}

QString grenzfrage(unsigned long gegenkonto, const EuroType& netto) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    const unsigned long kat =
        QueryPrepared(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(gegenkonto))}).value(0).toULong();
    // The accounts a purchase of equipment lands on when it is booked as an
    // expense: low-value assets (as asset or as immediate write-off) and
    // supplies and small tools.
    if (kat != 105 && kat != 5303 && kat != 5570) return QString();
    const EuroType grenze = gwgGrenze();
    if (netto <= grenze) return QString();
    return QStringLiteral("<p>Der Nettobetrag von %1 € liegt über der Grenze von %2 € für geringwertige Wirtschaftsgüter "
                          "(§ 6 Abs. 2 EStG).</p><p>Ist es ein Wirtschaftsgut, gehört es ins Anlagevermögen und wird über seine "
                          "Nutzungsdauer abgeschrieben: auf ein Anlagekonto buchen und die Buchung ins Anlagenverzeichnis "
                          "übernehmen.</p><p>Trotzdem als Ausgabe auf Konto %3 buchen?</p>")
        .arg(netto.getText(), grenze.getText())
        .arg(gegenkonto);
}

}  // namespace Anlagen
