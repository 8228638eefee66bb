// The annual VAT return 2016 (see erklaerung.h).
#include "kontbaum/steuer/erklaerung.h"

#include "kontbaum/berichte/liste.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/voranmeldung.h"

namespace UStErklaerung {

namespace {
// The codes of the USt 2 A 2016 the ledger can fill, in the order of the
// form: taxable supplies, tax-free supplies with and without input-tax
// deduction, intra-Community acquisitions, triangular transactions, the
// recipient's tax of § 13b by the same sections as the advance return, the
// supplies not taxable in Germany, then the input tax.
const QVector<Kennzahl> kKennzahlen = {
    {177, true, 0, 0.19, Abschnitt::Umsatz, {81}},
    {275, true, 0, 0.07, Abschnitt::Umsatz, {86}},
    {155, true, 0, 0.0, Abschnitt::Umsatz, {35}},
    {156, false, 155, 0.0, Abschnitt::Umsatz, {36}},
    {741, true, 0, 0.0, Abschnitt::Umsatz, {41}},
    {744, true, 0, 0.0, Abschnitt::Umsatz, {44}},
    {237, true, 0, 0.0, Abschnitt::Umsatz, {43}},
    {286, true, 0, 0.0, Abschnitt::Umsatz, {48}},
    {287, true, 0, 0.0, Abschnitt::Umsatz, {48}},
    {791, true, 0, 0.0, Abschnitt::Umsatz, {91}},
    {781, true, 0, 0.19, Abschnitt::Umsatz, {89}},
    {793, true, 0, 0.07, Abschnitt::Umsatz, {93}},
    {742, true, 0, 0.0, Abschnitt::Umsatz, {42}},
    {846, true, 0, 0.0, Abschnitt::Umsatz, {46}},
    {847, false, 846, 0.0, Abschnitt::Umsatz, {47}},
    {871, true, 0, 0.0, Abschnitt::Umsatz, {52}},
    {872, false, 871, 0.0, Abschnitt::Umsatz, {53}},
    {873, true, 0, 0.0, Abschnitt::Umsatz, {73}},
    {874, false, 873, 0.0, Abschnitt::Umsatz, {74}},
    {855, true, 0, 0.0, Abschnitt::Umsatz, {78}},
    {856, false, 855, 0.0, Abschnitt::Umsatz, {79}},
    {877, true, 0, 0.0, Abschnitt::Umsatz, {84}},
    {878, false, 877, 0.0, Abschnitt::Umsatz, {85}},
    {209, true, 0, 0.0, Abschnitt::Umsatz, {60, 68}},
    {721, true, 0, 0.0, Abschnitt::Umsatz, {21}},
    {205, true, 0, 0.0, Abschnitt::Umsatz, {45}},
    {320, false, 0, 0.0, Abschnitt::Vorsteuer, {66}},
    {761, false, 0, 0.0, Abschnitt::Vorsteuer, {61}},
    {762, false, 0, 0.0, Abschnitt::Vorsteuer, {62}},
    {467, false, 0, 0.0, Abschnitt::Vorsteuer, {67}},
};

double alsDouble(const EuroType& e) { return e.alsDouble(); }
}  // namespace

const QVector<Kennzahl>& kennzahlen() { return kKennzahlen; }

const Kennzahl* kennzahl(int k) {
    for (const Kennzahl& z : kKennzahlen)
        if (z.kennziffer == k) return &z;
    return nullptr;
}

bool berechne(int slot, Ergebnis* e) {
    *e = Ergebnis();
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return false;
    e->jahr = kg->getSteuerjahr();
    UStKennziffern k;
    Kont_::GetUmsaetzeFuerFormular(slot, k, 3, -1, -1, 1);

    // A base and the tax the ledger books for it are one line of the form.
    for (const Kennzahl& kz : kKennzahlen) {
        if (!kz.basis && kz.basisVon) continue;
        const rsUStKennziffer r = k.value(unsigned(kz.kennziffer));
        const Kennzahl* steuerKz = nullptr;
        for (const Kennzahl& t : kKennzahlen)
            if (t.basisVon == kz.kennziffer) steuerKz = &t;
        const rsUStKennziffer rs = steuerKz ? k.value(unsigned(steuerKz->kennziffer)) : rsUStKennziffer();
        if (!r.belegt && !rs.belegt) continue;
        Zeile z;
        z.kennziffer = kz.kennziffer;
        z.text = r.Bezeichnung;
        z.basis = kz.basis;
        z.abschnitt = kz.abschnitt;
        z.exakt = r.Betrag;
        if (kz.basis) {
            z.bemessungsgrundlage = r.Betrag.ganzeEuroAb();
            if (kz.festerSatz > 0) {
                z.steuer = z.bemessungsgrundlage.mal(kz.festerSatz);
                z.hatSteuer = true;
            } else if (steuerKz) {
                z.steuer = rs.Betrag;
                z.hatSteuer = true;
            }
        } else {
            z.steuer = r.Betrag;
            z.hatSteuer = true;
        }
        if (z.text.isEmpty()) z.text = rs.Bezeichnung;
        if (z.hatSteuer) (kz.abschnitt == Abschnitt::Umsatz ? e->umsatzsteuer : e->vorsteuer) += z.steuer;
        e->zeilen.append(z);
    }
    e->steuer = e->umsatzsteuer - e->vorsteuer;

    // The advance payments as the year's returns declared them, with the
    // rounding of each return; the special advance payment is credited in
    // the last one and so belongs to what was paid in advance.
    const bool quartale = Anmeldung::zeitraum(db) == Anmeldung::Zeitraum::Quartal;
    e->perioden = quartale ? 4 : 12;
    const EuroType svz = Kont_::getSondervorauszahlung(slot);
    for (int i = 0; i < e->perioden; ++i) {
        const int art = quartale ? 2 : 1, quartal = quartale ? i : -1, monat = quartale ? -1 : i;
        UStKennziffern p;
        Kont_::GetUmsaetzeFuer(slot, p, art, quartal, monat);
        const bool letzte = Anmeldung::mitSondervorauszahlung(art, quartal, monat, db);
        OAnmeldungVorauszahlungen a;
        OAnmeldungVorauszahlungen2 a2;
        OAbziehbareVorsteuerbetraege v;
        UStVA::uebertrage(p, a, a2, v, letzte ? svz : EuroType());
        e->vorauszahlungen += a2.vorauszahlung;
        if (letzte) e->sondervorauszahlung += svz;
    }
    e->vorauszahlungssoll = e->vorauszahlungen + e->sondervorauszahlung;
    e->verbleibend = e->steuer - e->vorauszahlungssoll;
    return true;
}

void liste(const Ergebnis& e, BerichtListe* l) {
    *l = BerichtListe();
    l->titel = QStringLiteral("Umsatzsteuererklärung %1").arg(e.jahr);
    l->spalte(QStringLiteral("Kz."), QStringLiteral("kennziffer"), BerichtSpalte::Zahl, 4);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 70);
    l->spalte(QStringLiteral("Bemessungsgrundlage"), QStringLiteral("bemessungsgrundlage"), BerichtSpalte::Betrag, 19);
    l->spalte(QStringLiteral("Steuer"), QStringLiteral("steuer"), BerichtSpalte::Betrag, 14);
    for (const Zeile& z : e.zeilen)
        l->zeile({qlonglong(z.kennziffer), z.text, z.basis ? QVariant(alsDouble(z.bemessungsgrundlage)) : QVariant(),
                  z.hatSteuer ? QVariant(alsDouble(z.steuer)) : QVariant()});
    auto summe = [&](const QString& text, const EuroType& b) { l->zeile({QVariant(), text, QVariant(), alsDouble(b)}, true); };
    summe(QStringLiteral("Umsatzsteuer"), e.umsatzsteuer);
    summe(QStringLiteral("Abziehbare Vorsteuerbeträge"), e.vorsteuer);
    summe(QStringLiteral("Umsatzsteuer des Jahres %1").arg(e.jahr), e.steuer);
    summe(QStringLiteral("Vorauszahlungen aus %1 Voranmeldungen").arg(e.perioden), e.vorauszahlungen);
    summe(QStringLiteral("Sondervorauszahlung"), e.sondervorauszahlung);
    summe(QStringLiteral("Vorauszahlungssoll"), e.vorauszahlungssoll);
    summe(e.verbleibend < EuroType() ? QStringLiteral("Erstattungsbetrag") : QStringLiteral("Noch zu entrichtender Betrag"),
          e.verbleibend);
}

}  // namespace UStErklaerung
