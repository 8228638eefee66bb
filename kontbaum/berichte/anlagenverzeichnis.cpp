// The Anlage AVEÜR and the inventory list (see anlagenverzeichnis.h).
#include "kontbaum/berichte/anlagenverzeichnis.h"

#include "kontbaum/anlagen/anlagen.h"

#include <QMap>

#include <array>

namespace Berichte {

namespace {
using BS = BerichtSpalte;

QVariant betrag(const EuroType& e) { return e.alsDouble(); }
QVariant datum(const zDate& d) { return d.isValid() ? QVariant(d.qdate()) : QVariant(); }

struct Summe {
    EuroType kosten, anfang, zugang, herabsetzung, sonder, afa, abgang, ende;
    void add(const Anlagen::Jahreswerte& w) {
        kosten += w.kosten;
        anfang += w.anfang;
        zugang += w.zugang;
        herabsetzung += w.herabsetzung;
        sonder += w.sonder;
        afa += w.afa;
        abgang += w.abgang;
        ende += w.ende;
    }
    QList<QVariant> zeile(const QString& text) const {
        return {text, QVariant(), QVariant(), QVariant(), betrag(kosten), betrag(anfang), betrag(zugang), betrag(herabsetzung), betrag(sonder), betrag(afa),
                betrag(abgang), betrag(ende)};
    }
};
}  // namespace

void anlagenverzeichnis(int jahr, BerichtListe* l) {
    l->titel = QStringLiteral("Anlagenverzeichnis (Anlage AVEÜR) %1").arg(jahr);
    l->untertitel = QStringLiteral("01.01.%1 bis 31.12.%1").arg(jahr);
    l->spalte(QStringLiteral("Gruppe"), QStringLiteral("gruppe"), BS::Text, 30);
    l->spalte(QStringLiteral("Nr."), QStringLiteral("nummer"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 28);
    l->spalte(QStringLiteral("Angeschafft"), QStringLiteral("anschaffung"), BS::Datum, 11);
    l->spalte(QStringLiteral("AK/HK"), QStringLiteral("kosten"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Buchwert Anfang"), QStringLiteral("buchwert_anfang"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Zugänge"), QStringLiteral("zugaenge"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Herabsetzung § 7g Abs. 2"), QStringLiteral("herabsetzungen"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Sonder-AfA § 7g Abs. 5"), QStringLiteral("sonderabschreibungen"), BS::Betrag, 12);
    l->spalte(QStringLiteral("AfA"), QStringLiteral("afa"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Abgänge"), QStringLiteral("abgaenge"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Buchwert Ende"), QStringLiteral("buchwert_ende"), BS::Betrag, 12);
    std::array<QList<QPair<Anlagen::Anlage, Anlagen::Jahreswerte>>, Anlagen::kGruppen> gruppen;
    for (const Anlagen::Anlage& a : Anlagen::liste()) {
        // What left before the year or comes after it has no place in its form.
        if (a.anschaffung.year() > jahr || (a.abgang.isValid() && a.abgang.year() < jahr)) continue;
        gruppen[Anlagen::gruppe(a)].append({a, Anlagen::werte(a, jahr)});
    }
    // Current assets under § 4 Abs. 3 Satz 4 EStG, with their own group.
    QList<QPair<Anlagen::Anlage, Anlagen::Jahreswerte>>& umlauf = gruppen[Anlagen::Umlauf];
    for (const Anlagen::UmlaufGut& u : Anlagen::umlaufListe()) {
        if (u.anschaffung.year() > jahr || (u.abgang.isValid() && u.abgang.year() < jahr)) continue;
        Anlagen::Anlage a;
        a.nummer = u.nummer;
        a.bezeichnung = u.bezeichnung;
        a.anschaffung = u.anschaffung;
        umlauf.append({a, Anlagen::werte(u, jahr)});
    }
    Summe gesamt;
    for (int g = 0; g < Anlagen::kGruppen; ++g) {
        if (gruppen[g].isEmpty()) continue;
        const QString name = Anlagen::gruppenText(Anlagen::Gruppe(g));
        Summe s;
        // The form has one row per year's pool (§ 6 Abs. 2a EStG): the pool
        // is dissolved as a whole, whatever becomes of its items.
        QMap<int, Summe> poolJahre;
        for (const auto& p : gruppen[g]) {
            const Anlagen::Anlage& a = p.first;
            const Anlagen::Jahreswerte& w = p.second;
            s.add(w);
            if (g == Anlagen::Pool) {
                poolJahre[a.anschaffung.year()].add(w);
                continue;
            }
            l->zeile({name, qlonglong(a.nummer), a.bezeichnung, datum(a.anschaffung), betrag(w.kosten), betrag(w.anfang), betrag(w.zugang),
                      betrag(w.herabsetzung), betrag(w.sonder), betrag(w.afa), betrag(w.abgang), betrag(w.ende)});
        }
        for (auto it = poolJahre.constBegin(); it != poolJahre.constEnd(); ++it) {
            QList<QVariant> z = it->zeile(name);
            z[2] = QStringLiteral("Sammelposten %1").arg(it.key());
            l->zeile(z);
        }
        l->zeile(s.zeile(QStringLiteral("Summe ") + name), true);
        gesamt.kosten += s.kosten;
        gesamt.anfang += s.anfang;
        gesamt.zugang += s.zugang;
        gesamt.herabsetzung += s.herabsetzung;
        gesamt.sonder += s.sonder;
        gesamt.afa += s.afa;
        gesamt.abgang += s.abgang;
        gesamt.ende += s.ende;
    }
    l->zeile(gesamt.zeile(QStringLiteral("Summe")), true);
}

void inventar(int jahr, BerichtListe* l) {
    l->titel = QStringLiteral("Inventarliste");
    l->spalte(QStringLiteral("Nr."), QStringLiteral("nummer"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 34);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Angeschafft"), QStringLiteral("anschaffungsdatum"), BS::Datum, 11);
    l->spalte(QStringLiteral("Anschaffungskosten"), QStringLiteral("anschaffungskosten"), BS::Betrag, 14);
    l->spalte(QStringLiteral("Buchwert"), QStringLiteral("buchwert"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Verkauft"), QStringLiteral("verkaufsdatum"), BS::Datum, 10);
    EuroType ak, bw;
    for (const Anlagen::Anlage& a : Anlagen::liste()) {
        const EuroType ende = Anlagen::werte(a, jahr).ende;
        ak += a.kosten;
        bw += ende;
        l->zeile({qlonglong(a.nummer), a.bezeichnung, a.konto ? QVariant(qlonglong(a.konto)) : QVariant(), datum(a.anschaffung), betrag(a.kosten),
                  betrag(ende), datum(a.abgang)});
    }
    l->zeile({QVariant(), QStringLiteral("Summe"), QVariant(), QVariant(), betrag(ak), betrag(bw), QVariant()}, true);
}

}  // namespace Berichte
