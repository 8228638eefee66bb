// The chart and the keys as lists (see kontenlisten.h).
#include "kontbaum/konten/kontenlisten.h"

#include "host/values/euro.h"
#include "kontbaum/berichte/liste.h"

namespace Kontoeditor {

void kontenListe(const QList<Kontozeile>& konten, BerichtListe* l) {
    l->titel = QStringLiteral("Kontenplan");
    l->spalte(QStringLiteral("Konto"), QStringLiteral("nummer"), BerichtSpalte::Zahl, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 50);
    l->spalte(QStringLiteral("Kat."), QStringLiteral("kategorie"), BerichtSpalte::Zahl, 4);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BerichtSpalte::Zahl, 3);
    l->spalte(QStringLiteral("aktiv"), QStringLiteral("aktiv"), BerichtSpalte::Text, 5);
    // The page as scripts have always read it: four-digit numbers, no key
    // an empty field, no title.
    l->seite.nurZeilen = true;
    l->seite.kopfzeile = QStringLiteral("Nr.  Bezeichnung                                         Kat.  StS  aktiv");
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 4, true).mitNullen(), F(1, 50).gekuerzt(), F(2, 4, true), F(3, 3, true, QStringLiteral("  ")).nullLeer(),
                       F(4, 0, false, QStringLiteral("  "))};
    for (const Kontozeile& k : konten)
        l->zeile({qlonglong(k.nummer), k.bezeichnung, qlonglong(k.kategorie), qlonglong(k.steuerschluessel), k.aktiv});
}

void schluesselListe(BerichtListe* l) {
    l->titel = QStringLiteral("Steuerschlüssel");
    l->untertitel = QStringLiteral("Art: U Umsatzsteuer, V Vorsteuer, B beide");
    l->spalte(QStringLiteral("Nummer"), QStringLiteral("steuerschluessel"), BerichtSpalte::Zahl, 6);
    l->spalte(QStringLiteral("Satz"), QStringLiteral("steuersatz"), BerichtSpalte::Zahl, 6);
    l->spalte(QStringLiteral("Art"), QStringLiteral("steuerart"), BerichtSpalte::Text, 3);
    l->spalte(QStringLiteral("aktiv"), QStringLiteral("aktiv"), BerichtSpalte::Text, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 60);
    l->seite.nurZeilen = true;
    l->seite.kopfzeile = QStringLiteral("StS     Satz  Art  aktiv  Bezeichnung");
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 3, true), F(1, 6, true, QStringLiteral("  ")), F(2, 1, true, QStringLiteral("  ")), F(3, 4, false, QStringLiteral("    ")),
                       F(4, 0, false, QStringLiteral("   "))};
    for (const Schluesselzeile& z : schluesselliste())
        l->zeile({qlonglong(z.schluessel), EuroType::runden(z.steuersatz, 2), z.steuerart.trimmed().left(1), z.aktiv, z.bezeichnung});
}

}  // namespace Kontoeditor
