// Current assets under § 4 Abs. 3 Satz 4 EStG (see anlagen.h).
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

const QString kRegister = QStringLiteral("Kont_[M]\\Uml006_[0]");

using intern::nein;

QList<DatenBase*> eintraege() { return intern::eintraege(kRegister, QStringLiteral("Uml006a_")); }

UmlaufGut lese(const DatenBase& e, int nummer) {
    auto v = [&](const char* n) { return e.getVar(QLatin1String(n)); };
    UmlaufGut u;
    u.nummer = nummer;
    u.id = v("uml6a_ID").toInt();
    u.bezeichnung = v("uml6a_Bezeichnung").toString();
    u.art = v("uml6a_Art").isNull() ? 4 : v("uml6a_Art").toInt();
    u.konto = v("uml6a_Konto").toULong();
    u.anschaffung = v("uml6a_Datum").toDate();
    u.kosten = v("uml6a_Kosten").toEuro();
    u.abgang = v("uml6a_Abgang").toDate();
    u.abgangsart = Abgangsart(v("uml6a_Abgangsart").toInt());
    u.erloes = v("uml6a_Erloes").toEuro();
    u.geldkonto = v("uml6a_Geldkonto").toULong();
    return u;
}

void schreibe(DatenBase& e, const UmlaufGut& u) {
    auto s = [&](const char* n, const DatenTyp& w) { e.setVar(QLatin1String(n), w); };
    s("uml6a_ID", DatenTyp(u.id));
    s("uml6a_Bezeichnung", DatenTyp(u.bezeichnung));
    s("uml6a_Art", DatenTyp(u.art));
    s("uml6a_Konto", DatenTyp(qlonglong(u.konto)));
    s("uml6a_Datum", DatenTyp(u.anschaffung));
    s("uml6a_Kosten", DatenTyp(u.kosten));
    s("uml6a_Abgang", DatenTyp(u.abgang));
    s("uml6a_Abgangsart", DatenTyp(int(u.abgangsart)));
    s("uml6a_Erloes", DatenTyp(u.erloes));
    s("uml6a_Geldkonto", DatenTyp(qlonglong(u.geldkonto)));
    // What the change of year looks at: the cost while the asset is held.
    s("uml6a_Betrag", DatenTyp(u.abgang.isValid() ? EuroType() : u.kosten));
}

unsigned long kategorie(DBConnection* db, unsigned long konto) {
    return QueryPrepared(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(konto))}).value(0).toULong();
}
}  // namespace

QList<UmlaufGut> umlaufListe() {
    QList<UmlaufGut> l;
    int n = 0;
    for (const DatenBase* e : eintraege()) l << lese(*e, ++n);
    return l;
}

Jahreswerte werte(const UmlaufGut& u, int jahr) {
    Jahreswerte w;
    w.kosten = u.kosten;
    if (!u.anschaffung.isValid() || u.anschaffung.year() > jahr || (u.abgang.isValid() && u.abgang.year() < jahr)) return w;
    if (u.anschaffung.year() == jahr) w.zugang = u.kosten;
    else w.anfang = u.kosten;
    if (u.abgang.isValid() && u.abgang.year() == jahr) w.abgang = u.kosten;
    w.ende = w.anfang + w.zugang - w.abgang;
    return w;
}

Teileinkuenfte teileinkuenfte(int jahr) {
    Teileinkuenfte t;
    for (const UmlaufGut& u : umlaufListe()) {
        if (u.art != 2 || !u.abgang.isValid() || u.abgang.year() != jahr) continue;
        t.erloese += u.erloes;
        t.kosten += u.kosten;
    }
    t.steuerfrei = t.erloese.anteil(40, 100);
    t.nichtAbziehbar = t.kosten.anteil(40, 100);
    return t;
}

bool umlaufSpeichern(UmlaufGut& u, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet."));
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    const int jahr = kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
    if (u.bezeichnung.trimmed().isEmpty()) return nein(fehler, QStringLiteral("Die Bezeichnung fehlt."));
    if (u.art < 1 || u.art > 4) return nein(fehler, QStringLiteral("Die Art ist Grund und Boden, Anteile, Wertpapiere oder sonstige."));
    const unsigned long kat = kategorie(db, u.konto);
    if (kat != 205 && kat != 1110)
        return nein(fehler, QStringLiteral("Das Konto %1 ist kein Konto für Umlaufvermögen (Wertpapiere, Kategorie 205, oder sonstiges "
                                           "Umlaufvermögen, Kategorie 1110).")
                                .arg(u.konto));
    if (!u.anschaffung.isValid() || u.anschaffung.year() > jahr)
        return nein(fehler, QStringLiteral("Das Anschaffungsdatum fehlt oder liegt nach dem Steuerjahr %1.").arg(jahr));
    if (u.kosten <= EuroType() || !u.kosten.imRahmen()) return nein(fehler, QStringLiteral("Die Anschaffungskosten müssen größer als 0 sein."));
    if (u.abgang.isValid()) {
        if (u.abgang < u.anschaffung || u.abgang.year() > jahr)
            return nein(fehler, QStringLiteral("Das Abgangsdatum liegt vor der Anschaffung oder nach dem Steuerjahr."));
        if (u.abgangsart != Verkauf && u.abgangsart != Entnahme)
            return nein(fehler, QStringLiteral("Umlaufvermögen geht durch Verkauf oder Entnahme ab."));
        if (u.erloes < EuroType()) return nein(fehler, QStringLiteral("Der Erlös kann nicht negativ sein."));
        if (!u.erloes.isNull() && u.geldkonto == 0) return nein(fehler, QStringLiteral("Zum Erlös gehört das Geldkonto."));
    }
    DatenBase* e = nullptr;
    if (u.nummer == 0) {
        int hoechste = 0;
        for (const UmlaufGut& x : umlaufListe()) hoechste = std::max(hoechste, x.id);
        u.id = hoechste + 1;
        u.nummer = eintraege().size() + 1;
        e = DatenBase::GetDB(kRegister + QStringLiteral("\\Uml006a_{%1}").arg(u.nummer), true);
    } else {
        const QList<DatenBase*> l = eintraege();
        if (u.nummer > l.size()) return nein(fehler, QStringLiteral("Einen Eintrag Nr. %1 im Umlaufvermögen gibt es nicht.").arg(u.nummer));
        e = l[u.nummer - 1];
    }
    if (!e) return nein(fehler, QStringLiteral("Der Eintrag konnte nicht angelegt werden."));
    schreibe(*e, u);
    return true;
}

unsigned long bucheUmlaufAnschaffung(const UmlaufGut& u, unsigned long geldkonto, QString* fehler) {
    DBConnection* db = rsFallDB();
    const QString tag = QStringLiteral("UmlaufNeu_%1").arg(u.id);
    if (QueryPrepared(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Zusatzinfo=? AND Storno=0 AND Storniert=0"), {DatenTyp(tag)})
            .value(0)
            .toLongLong() > 0)
        return nein(fehler, QStringLiteral("Die Anschaffung ist schon gebucht.")), 0;
    if (KG::isInFestschreibungsZeitraum(u.anschaffung) &&
        !KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), 10, KG::FFT_NeueFestgeschrieben, u.anschaffung.getText()))
        return nein(fehler, QStringLiteral("Die Anschaffung liegt im festgeschriebenen Zeitraum; es wurde nichts gebucht.")), 0;
    KG::BuchungsEntwurf b;
    b.herkunft = KG::HERK_UML_NEU;
    b.text = QStringLiteral("Anschaffung %1").arg(u.bezeichnung);
    b.belegdatum = u.anschaffung;
    b.buchungsart = 3;
    b.zusatzinfo = tag;
    b.haben = true;
    b.konto = geldkonto;
    b.teile.append({u.konto, 0, u.kosten, false, QString()});
    DBTransaktion tx(db);
    intern::Kontenaktivierung konten;
    const unsigned long nr = konten.buche(b, db, fehler);
    if (nr == 0) return 0;
    if (!tx.commit()) return nein(fehler, QStringLiteral("Die Anschaffung konnte nicht gespeichert werden.")), 0;
    konten.melden();
    return nr;
}

}  // namespace Anlagen
