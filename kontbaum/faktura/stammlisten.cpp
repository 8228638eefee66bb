// The customers and articles as lists (see stammlisten.h).
#include "kontbaum/faktura/stammlisten.h"

#include "kontbaum/berichte/liste.h"

namespace Faktura {

void kundenListe(const QList<Person>& personen, BerichtListe* l) {
    using BS = BerichtSpalte;
    l->titel = QStringLiteral("Kunden");
    l->spalte(QStringLiteral("Kunde"), QStringLiteral("kundennummer"), BS::Text, 8);
    l->spalte(QStringLiteral("Name"), QStringLiteral("name"), BS::Text, 30);
    l->spalte(QStringLiteral("Straße"), QStringLiteral("strasse"), BS::Text, 25);
    l->spalte(QStringLiteral("PLZ"), QStringLiteral("plz"), BS::Text, 6);
    l->spalte(QStringLiteral("Ort"), QStringLiteral("ort"), BS::Text, 20);
    l->spalte(QStringLiteral("Land"), QStringLiteral("land"), BS::Text, 5);
    l->spalte(QStringLiteral("E-Mail"), QStringLiteral("email"), BS::Text, 25);
    l->spalte(QStringLiteral("USt-IdNr."), QStringLiteral("ustid"), BS::Text, 14);
    l->spalte(QStringLiteral("Leitweg-ID"), QStringLiteral("leitweg"), BS::Text, 20);
    // The page as it always read: number, name, postcode and town, no head.
    l->seite.nurZeilen = true;
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 8), F(1, 30, false, QStringLiteral("  ")).gekuerzt(), F(3, 0, false, QStringLiteral("  ")), F(4)};
    for (const Person& x : personen) l->zeile({x.kundennummer, x.anzeigename(), x.strasse, x.plz, x.ort, x.land, x.email, x.ustid, x.leitweg});
}

void artikelStammliste(const QList<Artikel>& artikel, BerichtListe* l) {
    using BS = BerichtSpalte;
    l->titel = QStringLiteral("Artikel");
    l->spalte(QStringLiteral("Artikel"), QStringLiteral("artikelnummer"), BS::Text, 8);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 30);
    l->spalte(QStringLiteral("netto"), QStringLiteral("preis"), BS::Betrag, 10);
    l->spalte(QStringLiteral("brutto"), QStringLiteral("bruttopreis"), BS::Betrag, 10);
    l->spalte(QStringLiteral("je"), QStringLiteral("einheit"), BS::Text, 6);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Rabatt %"), QStringLiteral("rabatt"), BS::Zahl, 8);
    // The page as it always read, prices and key named in the line.
    l->seite.nurZeilen = true;
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 8),
                       F(1, 30, false, QStringLiteral("  ")).gekuerzt(),
                       F(2, 10, true, QStringLiteral("  ")),
                       F(3, 10, true, QStringLiteral(" netto  ")),
                       F(4, 0, false, QStringLiteral(" brutto  je ")),
                       F(5, 0, false, QStringLiteral("  Schlüssel ")),
                       F(6, 0, false, QStringLiteral("  Konto "))};
    for (const Artikel& x : artikel)
        l->zeile({x.artikelnummer, x.bezeichnung, x.preis.alsDouble(), x.bruttopreis.alsDouble(), x.einheit, qlonglong(x.steuerschluessel),
                  qlonglong(x.konto), x.rabatt});
}

}  // namespace Faktura
