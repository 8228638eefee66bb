// The register entries in the data tree and the year's figures of an asset
// (see anlagen.h).
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/anlagen/intern.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/rahmen/kontglob.h"

#include <algorithm>

namespace Anlagen {

namespace {

const QString kRegister = QStringLiteral("Kont_[M]\\Anl006_[0]");
const QString kEintrag = QStringLiteral("Anl006a_");
const QString kSonder = QStringLiteral("anl6a_Sonder");

DatenBase* registerKnoten(bool anlegen) { return DatenBase::GetDB(kRegister, anlegen); }

QList<DatenBase*> eintraege() { return intern::eintraege(kRegister, kEintrag); }

Anlage lese(const DatenBase& e, int nummer) {
    auto v = [&](const char* n) { return e.getVar(QLatin1String(n)); };
    Anlage a;
    a.nummer = nummer;
    a.id = v("anl6a_ID").toInt();
    a.bezeichnung = v("anl6a_Bezeichnung").toString();
    a.konto = v("anl6a_Konto").toULong();
    a.afaKonto = v("anl6a_AfaKonto").toULong();
    a.anschaffung = v("anl6a_Anschaffungsdatum").toDate();
    a.kosten = v("anl6a_Anschaffungskosten").toEuro();
    a.vorsteuer = v("anl6a_Vorsteuer").toEuro();
    a.gut = v("anl6a_Gut").toString();
    a.nutzungsdauer = v("anl6a_Nutzungsdauer").toInt();
    a.satz = v("anl6a_Satz").toDouble();
    a.methode = Methode(v("anl6a_Methode").toInt());
    a.abgang = v("anl6a_DB_Verkaufsdatum").toDate();
    a.abgangsart = Abgangsart(v("anl6a_Abgangsart").toInt());
    a.erloes = v("anl6a_Erloes").toEuro();
    a.geldkonto = v("anl6a_Geldkonto").toULong();
    a.erloeskonto = v("anl6a_Erloeskonto").toULong();
    a.vortragsjahr = v("anl6a_Vortragsjahr").toInt();
    a.buchwertVortrag = v("anl6a_BuchwertVortrag").toEuro();
    a.aufBuchung = v("anl6a_Buchung").toInt();
    a.kuerzung = v("anl6a_Kuerzung").toEuro();
    for (const Varlist::Variable& var : e.variablen())
        if (var.name.startsWith(kSonder)) {
            bool ok = false;
            const int jahr = var.name.mid(kSonder.size()).toInt(&ok);
            const EuroType b = e.getVar(var.name).toEuro();
            if (ok && !b.isNull()) a.sonder.insert(jahr, b);
        }
    return a;
}

void schreibe(DatenBase& e, const Anlage& a) {
    auto s = [&](const char* n, const DatenTyp& w) { e.setVar(QLatin1String(n), w); };
    s("anl6a_ID", DatenTyp(a.id));
    s("anl6a_Bezeichnung", DatenTyp(a.bezeichnung));
    s("anl6a_Konto", DatenTyp(qlonglong(a.konto)));
    s("anl6a_AfaKonto", DatenTyp(qlonglong(a.afaKonto)));
    s("anl6a_Anschaffungsdatum", DatenTyp(a.anschaffung));
    s("anl6a_Anschaffungskosten", DatenTyp(a.kosten));
    s("anl6a_Vorsteuer", DatenTyp(a.vorsteuer));
    s("anl6a_Gut", DatenTyp(a.gut));
    s("anl6a_Nutzungsdauer", DatenTyp(a.nutzungsdauer));
    s("anl6a_Satz", DatenTyp(a.satz));
    s("anl6a_Methode", DatenTyp(int(a.methode)));
    s("anl6a_DB_Verkaufsdatum", DatenTyp(a.abgang));
    s("anl6a_Abgangsart", DatenTyp(int(a.abgangsart)));
    s("anl6a_Erloes", DatenTyp(a.erloes));
    s("anl6a_Geldkonto", DatenTyp(qlonglong(a.geldkonto)));
    s("anl6a_Erloeskonto", DatenTyp(qlonglong(a.erloeskonto)));
    s("anl6a_Vortragsjahr", DatenTyp(a.vortragsjahr));
    s("anl6a_BuchwertVortrag", DatenTyp(a.buchwertVortrag));
    s("anl6a_Buchung", DatenTyp(a.aufBuchung));
    s("anl6a_Kuerzung", DatenTyp(a.kuerzung));
    for (const Varlist::Variable& var : e.variablen())
        if (var.name.startsWith(kSonder) && !a.sonder.contains(var.name.mid(kSonder.size()).toInt()))
            e.setVar(var.name, DatenTyp(EuroType()));
    for (auto it = a.sonder.constBegin(); it != a.sonder.constEnd(); ++it) e.setVar(kSonder + QString::number(it.key()), DatenTyp(it.value()));
    // The report lists read the book value at the end of the case's year.
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (kg) e.setVar(QStringLiteral("anl6a_Buchwert"), DatenTyp(werte(a, kg->getSteuerjahr()).ende));
}

EuroType grenze(const char* bezeichnung, double vorgabe) {
    DBConnection* db = rsFallDB();
    if (db) {
        const DatenTyp d = QueryPrepared(db, QStringLiteral("SELECT Betrag FROM eurSperrgrenzen WHERE Bezeichnung=?"),
                                         {DatenTyp(QString::fromUtf8(bezeichnung))})
                               .value(0);
        if (!d.isNull()) return EuroType::ausDouble(d.toDouble());
    }
    return EuroType::ausDouble(vorgabe);
}

unsigned long kategorie(unsigned long konto) {
    DBConnection* db = rsFallDB();
    return db ? QueryPrepared(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(qlonglong(konto))})
                    .value(0)
                    .toULong()
              : 0;
}

// Months of use from the acquisition month up to and including `bisMonat`
// of `jahr` (12 for the whole year), counting only months after the
// acquisition; the month of acquisition counts in full (§ 7 Abs. 1 Satz 4 EStG).
int monateBis(const zDate& anschaffung, int jahr, int bisMonat) {
    const int m = (jahr - anschaffung.year()) * 12 + bisMonat - anschaffung.month() + 1;
    return std::max(0, m);
}

}  // namespace

QString gruppenText(Gruppe g) {
    switch (g) {
    case Immateriell: return QStringLiteral("Immaterielle Wirtschaftsgüter");
    case GrundUndBoden: return QStringLiteral("Grund und Boden");
    case Gebaeude_: return QStringLiteral("Gebäude");
    case Kfz: return QStringLiteral("Kraftfahrzeuge");
    case Bewegliche: return QStringLiteral("Sonstige bewegliche Wirtschaftsgüter");
    case Gwg: return QStringLiteral("Geringwertige Wirtschaftsgüter (§ 6 Abs. 2 EStG)");
    case Pool: return QStringLiteral("Sammelposten (§ 6 Abs. 2a EStG)");
    case Finanzanlagen: return QStringLiteral("Finanzanlagen");
    case Umlauf: return QStringLiteral("Umlaufvermögen (§ 4 Abs. 3 Satz 4 EStG)");
    default: return QString();
    }
}

Gruppe gruppe(const Anlage& a) {
    if (a.methode == Sofort) return Gwg;
    if (a.methode == Sammelposten) return Pool;
    switch (kategorie(a.konto)) {
    case 100: return Immateriell;
    case 101: case 109: return a.methode == Gebaeude ? Gebaeude_ : GrundUndBoden;
    case 104: return Kfz;
    case 105: return Gwg;
    case 106: return Pool;
    case 107: return Finanzanlagen;
    default: return a.methode == Gebaeude ? Gebaeude_ : Bewegliche;
    }
}

EuroType gwgGrenze() { return grenze("Geringwertige Wirtschaftsgüter: Sofortabschreibung bis (netto)", 410); }
EuroType poolUntergrenze() { return grenze("Sammelposten: Untergrenze (netto)", 150); }
EuroType poolObergrenze() { return grenze("Sammelposten: Obergrenze (netto)", 1000); }

int nutzungsdauer(const QString& gut) {
    DBConnection* db = rsFallDB();
    if (!db || gut.trimmed().isEmpty()) return 0;
    return QueryPrepared(db, QStringLiteral("SELECT dauer2001 FROM AfA_Zeitraum WHERE Gut=? COLLATE NOCASE"), {DatenTyp(gut.trimmed())})
        .value(0)
        .toInt();
}

unsigned long vorschlagAfaKonto(const Anlage& a) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    int kat = 5301;  // depreciation of tangible assets
    if (a.methode == Sofort) kat = 5303;
    else if (a.methode == Sammelposten) kat = 5305;
    else if (a.methode == Gebaeude) kat = 5302;
    else if (kategorie(a.konto) == 100) kat = 5300;
    return kontoDerKategorie(kat);
}

unsigned long kontoDerKategorie(int kat) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    // An active account first; the chart keeps some of these accounts
    // inactive until they are needed (buildings, special depreciation).
    return QueryPrepared(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Kategorie=? ORDER BY (Aktiv<>0) DESC, Nummer LIMIT 1"),
                         {DatenTyp(kat)})
        .value(0)
        .toULong();
}

QList<Anlage> liste() {
    QList<Anlage> l;
    int n = 0;
    for (const DatenBase* e : eintraege()) l << lese(*e, ++n);
    return l;
}

bool finde(int nummer, Anlage* a) {
    const QList<DatenBase*> l = eintraege();
    if (nummer < 1 || nummer > l.size()) return false;
    *a = lese(*l[nummer - 1], nummer);
    return true;
}

Jahreswerte werte(const Anlage& a, int jahr) {
    Jahreswerte w;
    w.kosten = a.kosten;
    if (!a.anschaffung.isValid() || a.anschaffung.year() > jahr) return w;
    if (a.abgang.isValid() && a.abgang.year() < jahr) return w;  // gone before the year
    const bool neu = a.anschaffung.year() == jahr;
    const bool weg = a.abgang.isValid() && a.abgang.year() == jahr;
    const int bisMonat = weg ? a.abgang.month() : 12;

    // The depreciation runs on the cost less the reduction of § 7g Abs. 2.
    const EuroType basis = a.kosten - a.kuerzung;
    // What the plan took up to the end of `bis` months of use.
    auto planBis = [&](int monate) -> EuroType {
        switch (a.methode) {
        case Linear:
            if (a.nutzungsdauer <= 0) return EuroType();
            return monate >= a.nutzungsdauer * 12 ? basis : basis.anteil(monate, qint64(a.nutzungsdauer) * 12);
        case Gebaeude: {
            const EuroType b = basis.anteil(qint64(monate) * EuroType::millionstel(a.satz), qint64(1200) * 1000000);
            return std::min(b, basis);
        }
        case Sofort: return monate > 0 ? basis : EuroType();
        case Sammelposten: {
            // One fifth a year from the year of acquisition, whatever the month.
            const int jahre = std::min(5, std::max(0, (monate + a.anschaffung.month() - 1) / 12));
            return basis.anteil(jahre, 5);
        }
        default: return EuroType();
        }
    };
    EuroType sonderVorher, sonderSumme;
    for (auto it = a.sonder.constBegin(); it != a.sonder.constEnd(); ++it) {
        if (it.key() < jahr) sonderVorher += it.value();
        sonderSumme += it.value();
    }
    // § 7a Abs. 9 EStG: once the period of the special depreciation (the
    // year of acquisition and the four after it) is over, what is left is
    // spread over the rest of the useful life, month by month as before.
    const int leben = a.nutzungsdauer * 12;
    const int periode = monateBis(a.anschaffung, a.anschaffung.year() + 4, 12);
    const bool restwertAfa = a.methode == Linear && !sonderSumme.isNull() && leben > periode;
    // The regular depreciation up to the end of `monate` months of use.
    auto regulaer = [&](int monate) -> EuroType {
        if (!restwertAfa || monate <= periode) return planBis(monate);
        if (monate >= leben) return basis - sonderSumme;
        const EuroType bisher = planBis(periode);
        return bisher + (basis - bisher - sonderSumme).anteil(monate - periode, leben - periode);
    };
    const int vorher = monateBis(a.anschaffung, jahr - 1, 12);
    if (neu) {
        w.zugang = a.kosten;
        w.herabsetzung = a.kuerzung;
    } else if (a.vortragsjahr == jahr) {
        w.anfang = a.buchwertVortrag;
    } else {
        w.anfang = basis - regulaer(vorher) - sonderVorher;
        if (w.anfang < EuroType()) w.anfang = EuroType();
    }
    EuroType rest = w.anfang + w.zugang - w.herabsetzung;
    // § 7g Abs. 5 EStG: only in the year of acquisition and the four after it.
    if (a.methode == Linear && jahr - a.anschaffung.year() < 5) w.sonder = std::min(a.sonder.value(jahr), rest);
    rest -= w.sonder;
    // The pool is dissolved whatever becomes of its items (§ 6 Abs. 2a Satz 3 EStG).
    const int bis = a.methode == Sammelposten ? monateBis(a.anschaffung, jahr, 12) : monateBis(a.anschaffung, jahr, bisMonat);
    EuroType afa = regulaer(bis) - regulaer(vorher);
    const bool planEnde = (a.methode == Linear && a.nutzungsdauer > 0 && bis >= a.nutzungsdauer * 12) ||
                          ((a.methode == Sofort || a.methode == Sammelposten) && planBis(bis) == basis);
    if (afa > rest || planEnde) afa = rest;
    if (afa < EuroType()) afa = EuroType();
    w.afa = afa;
    rest -= afa;
    if (weg && a.methode != Sammelposten) {
        w.abgang = rest;
        rest = EuroType();
    }
    w.ende = rest;
    return w;
}

bool speichern(Anlage& a, QString* fehler) {
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    if (a.bezeichnung.trimmed().isEmpty()) return nein(QStringLiteral("Die Bezeichnung des Wirtschaftsguts fehlt."));
    const unsigned long kat = kategorie(a.konto);
    if (kat < 100 || kat > 199 || kat == 108)
        return nein(QStringLiteral("Das Konto %1 ist kein Anlagekonto (Kategorie 100 bis 199); Anlagen stehen etwa auf 0420 "
                                   "Büroeinrichtung oder 0320 Pkw.")
                        .arg(a.konto));
    if (!a.anschaffung.isValid()) return nein(QStringLiteral("Das Anschaffungsdatum fehlt."));
    if (a.kosten <= EuroType() || !a.kosten.imRahmen()) return nein(QStringLiteral("Die Anschaffungskosten müssen größer als 0 sein."));
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    const int jahr = kg ? kg->getSteuerjahr() : a.anschaffung.year();
    if (a.anschaffung.year() > jahr)
        return nein(QStringLiteral("Das Anschaffungsdatum %1 liegt nach dem Steuerjahr %2.").arg(a.anschaffung.getText()).arg(jahr));
    if (a.methode == Linear && (a.nutzungsdauer < 1 || a.nutzungsdauer > 100))
        return nein(QStringLiteral("Die Nutzungsdauer fehlt: --nutzungsdauer JAHRE oder --gut mit einer Art aus der AfA-Tabelle angeben."));
    if (a.methode == Gebaeude && (a.satz <= 0 || a.satz > 10))
        return nein(QStringLiteral("Gebäude werden mit ihrem AfA-Satz abgeschrieben (§ 7 Abs. 4 EStG, etwa 2 oder 3 Prozent): --satz angeben."));
    if (a.methode == Sofort && a.kosten > gwgGrenze())
        return nein(QStringLiteral("Sofort abschreiben lassen sich nur geringwertige Wirtschaftsgüter bis %1 € netto (§ 6 Abs. 2 EStG); "
                                   "%2 € liegen darüber.")
                        .arg(gwgGrenze().getText(), a.kosten.getText()));
    if (a.methode == Sammelposten && (a.kosten <= poolUntergrenze() || a.kosten > poolObergrenze()))
        return nein(QStringLiteral("In den Sammelposten gehören Wirtschaftsgüter über %1 € bis %2 € netto (§ 6 Abs. 2a EStG); "
                                   "%3 € liegen außerhalb.")
                        .arg(poolUntergrenze().getText(), poolObergrenze().getText(), a.kosten.getText()));
    EuroType sonderSumme;
    for (auto it = a.sonder.constBegin(); it != a.sonder.constEnd(); ++it) {
        if (it.value() < EuroType()) return nein(QStringLiteral("Eine Sonderabschreibung kann nicht negativ sein."));
        if (it.key() < a.anschaffung.year() || it.key() > a.anschaffung.year() + 4)
            return nein(QStringLiteral("Die Sonderabschreibung nach § 7g Abs. 5 EStG gibt es nur im Jahr der Anschaffung und den "
                                       "vier folgenden Jahren (%1 bis %2).")
                            .arg(a.anschaffung.year())
                            .arg(a.anschaffung.year() + 4));
        sonderSumme += it.value();
    }
    if (!a.sonder.isEmpty() && a.methode != Linear)
        return nein(QStringLiteral("Sonderabschreibungen nach § 7g Abs. 5 EStG gibt es nur für bewegliche Wirtschaftsgüter, die "
                                   "linear abgeschrieben werden."));
    if (a.kuerzung < EuroType() || a.kuerzung > a.kosten)
        return nein(QStringLiteral("Die Herabsetzung nach § 7g Abs. 2 EStG liegt zwischen 0 und den Anschaffungskosten."));
    if (sonderSumme > (a.kosten - a.kuerzung).anteil(20, 100))
        return nein(QStringLiteral("Die Sonderabschreibungen nach § 7g Abs. 5 EStG betragen zusammen höchstens 20 %% der "
                                   "Anschaffungskosten (%1 €); angegeben sind %2 €.")
                        .arg((a.kosten - a.kuerzung).anteil(20, 100).getText(), sonderSumme.getText())
                        .replace(QStringLiteral("%%"), QStringLiteral("%")));
    if (a.abgang.isValid()) {
        if (a.abgang < a.anschaffung) return nein(QStringLiteral("Das Abgangsdatum liegt vor dem Anschaffungsdatum."));
        if (a.abgangsart == KeinAbgang) return nein(QStringLiteral("Zum Abgang gehört die Art: Verkauf, Entnahme oder Verschrottung."));
        if (a.abgang.year() > jahr) return nein(QStringLiteral("Das Abgangsdatum %1 liegt nach dem Steuerjahr %2.").arg(a.abgang.getText()).arg(jahr));
        if (!a.erloes.isNull() && (a.abgangsart == Verschrottung || a.erloes < EuroType()))
            return nein(QStringLiteral("Einen Erlös gibt es nur beim Verkauf oder der Entnahme, und er ist nicht negativ."));
        if (!a.erloes.isNull() && (a.geldkonto == 0 || a.erloeskonto == 0))
            return nein(QStringLiteral("Zum Erlös gehören das Geldkonto (--geldkonto) und das Erlöskonto."));
        const unsigned long ek = kategorie(a.erloeskonto);
        if (!a.erloes.isNull() && ek != 4202)
            return nein(QStringLiteral("Das Konto %1 ist kein Erlöskonto für Anlagenverkäufe (Kategorie 4202, Zeile 102 der EÜR).").arg(a.erloeskonto));
    } else if (a.abgangsart != KeinAbgang || !a.erloes.isNull()) {
        return nein(QStringLiteral("Art und Erlös eines Abgangs gibt es nur mit dem Abgangsdatum."));
    }
    // The pool is chosen for a whole year (§ 6 Abs. 2a Satz 5 EStG): in a
    // year with a pool, every asset above its lower bound and up to its
    // upper bound goes into it.
    const int aj = a.anschaffung.year();
    auto imPoolBereich = [](const Anlage& x) { return x.kosten > poolUntergrenze() && x.kosten <= poolObergrenze(); };
    for (const Anlage& x : liste()) {
        if (x.nummer == a.nummer || x.anschaffung.year() != aj) continue;
        if (a.methode == Sammelposten && x.methode != Sammelposten && imPoolBereich(x))
            return nein(QStringLiteral("Für %1 gibt es schon „%2“ (Nr. %3, %4 €) außerhalb des Sammelpostens. Der Sammelposten gilt "
                                       "für alle Wirtschaftsgüter eines Jahres über %5 € bis %6 € (§ 6 Abs. 2a Satz 5 EStG).")
                            .arg(aj)
                            .arg(x.bezeichnung)
                            .arg(x.nummer)
                            .arg(x.kosten.getText(), poolUntergrenze().getText(), poolObergrenze().getText()));
        if (a.methode != Sammelposten && x.methode == Sammelposten && imPoolBereich(a))
            return nein(QStringLiteral("Für %1 ist der Sammelposten gewählt; er gilt für alle Wirtschaftsgüter des Jahres über %2 € "
                                       "bis %3 € (§ 6 Abs. 2a Satz 5 EStG). Bitte --methode sammelposten angeben.")
                            .arg(aj)
                            .arg(poolUntergrenze().getText(), poolObergrenze().getText()));
    }
    if (a.afaKonto == 0) a.afaKonto = vorschlagAfaKonto(a);
    const unsigned long afaKat = kategorie(a.afaKonto);
    if (a.methode != OhneAfa && (afaKat < 5300 || afaKat > 5399))
        return nein(QStringLiteral("Das Konto %1 ist kein Abschreibungskonto (Kategorie 5300 bis 5399).").arg(a.afaKonto));

    DatenBase* r = registerKnoten(true);
    if (!r) return nein(QStringLiteral("Der Fall hat kein Anlagenverzeichnis."));
    DatenBase* e = nullptr;
    if (a.nummer == 0) {
        int hoechste = 0;
        for (const Anlage& x : liste()) hoechste = std::max(hoechste, x.id);
        a.id = hoechste + 1;
        a.nummer = eintraege().size() + 1;
        e = DatenBase::GetDB(kRegister + QStringLiteral("\\Anl006a_{%1}").arg(a.nummer), true);
    } else {
        const QList<DatenBase*> l = eintraege();
        if (a.nummer > l.size()) return nein(QStringLiteral("Eine Anlage Nr. %1 gibt es nicht.").arg(a.nummer));
        e = l[a.nummer - 1];
    }
    if (!e) return nein(QStringLiteral("Der Eintrag im Anlagenverzeichnis konnte nicht angelegt werden."));
    schreibe(*e, a);
    return true;
}

bool entfernen(int nummer, QString* fehler) {
    Anlage a;
    if (!finde(nummer, &a)) {
        if (fehler) *fehler = QStringLiteral("Eine Anlage Nr. %1 gibt es nicht.").arg(nummer);
        return false;
    }
    DBConnection* db = rsFallDB();
    const QStringList tags = {QStringLiteral("AnlageAbschreibung_"), QStringLiteral("AnlageSonderAbschreibung_"), QStringLiteral("AnlageAbgang_"), QStringLiteral("AnlageKuerzung_"),
                              QStringLiteral("AnlageErloes_"), QStringLiteral("AnlageNeu_"), QStringLiteral("AnlageSaldovortrag_")};
    for (const QString& t : tags) {
        const qlonglong n = db ? QueryPrepared(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Storno=0 AND Storniert=0 AND Zusatzinfo=?"),
                                               {DatenTyp(t + QString::number(a.id))})
                                     .value(0)
                                     .toLongLong()
                               : 0;
        if (n > 0) {
            if (fehler)
                *fehler = QStringLiteral("Zur Anlage Nr. %1 „%2“ gibt es gebuchte Abschreibungen oder Abgänge. Erst diese Buchungen "
                                         "stornieren, dann die Anlage entfernen.")
                              .arg(nummer)
                              .arg(a.bezeichnung);
            return false;
        }
    }
    // The list keeps no gaps: the entries after it move up by one.
    DatenBase* r = registerKnoten(false);
    QList<DatenBase*> l = eintraege();
    for (DatenBase* e : l) e->detach();
    delete l.takeAt(nummer - 1);
    int naechste = 0;
    for (int i = 0; i < r->childSlotCount() && naechste < l.size(); ++i)
        if (!r->childSlot(i)) r->setChildSlot(i, l[naechste++], Besitzer_Owner);
    return true;
}

QMap<int, EuroType> schlussBuchwerte(int jahr) {
    QMap<int, EuroType> m;
    for (const Anlage& a : liste())
        if (a.id != 0) m.insert(a.id, werte(a, jahr).ende);
    return m;
}

void vortragen(int neuesJahr, const QMap<int, EuroType>& vorjahr) {
    const QList<DatenBase*> l = eintraege();
    for (int i = 0; i < l.size(); ++i) {
        const Anlage a = lese(*l[i], i + 1);
        // Entries the register did not make (no key, no date) stay as they came.
        if (a.id == 0 || !a.anschaffung.isValid() || !vorjahr.contains(a.id) || a.anschaffung.year() >= neuesJahr) continue;
        l[i]->setVar(QStringLiteral("anl6a_Vortragsjahr"), DatenTyp(neuesJahr));
        l[i]->setVar(QStringLiteral("anl6a_BuchwertVortrag"), DatenTyp(vorjahr.value(a.id)));
        l[i]->setVar(QStringLiteral("anl6a_Buchwert"), DatenTyp(vorjahr.value(a.id)));
    }
}

}  // namespace Anlagen
