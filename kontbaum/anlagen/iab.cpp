// Investment deductions of § 7g EStG (see anlagen.h).
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/anlagen/intern.h"
#include "kontbaum/anlagen/konten.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/rahmen/sperrgrenzen.h"

#include <algorithm>

namespace Anlagen {

namespace {
using KG = KontoGlobal;

const QString kRegister = QStringLiteral("Kont_[M]\\Iab006_[0]");
// The status the change of year leaves behind (iab6a_kategorie): an open
// deduction and one that was reversed.
constexpr int kOffen = 105;
constexpr int kRueckgaengig = 108;
// At most 40 % of the expected cost (§ 7g Abs. 1 Satz 1 EStG) and 200 000
// EUR of open deductions per business (§ 7g Abs. 1 Satz 4 EStG).
constexpr int kProzent = 40;

using intern::nein;

QList<DatenBase*> eintraege() { return intern::eintraege(kRegister, QStringLiteral("Iab006a_")); }

Abzug lese(const DatenBase& e, int nummer) {
    auto v = [&](const char* n) { return e.getVar(QLatin1String(n)); };
    Abzug a;
    a.nummer = nummer;
    a.id = v("iab6a_ID").toInt();
    a.jahr = v("iab6a_jahr").toInt();
    a.bezeichnung = v("iab6a_bezeichnung").toString();
    a.kosten = v("iab6a_kosten").toEuro();
    a.betrag = v("iab6a_betrag").toEuro();
    a.hinzurechnung = v("iab6a_hinzurechnung").toEuro();
    a.investiert = v("iab6a_investiert").toDate();
    if (!a.investiert.isValid()) a.investiert = v("iab6a_anschaffungsdatum").toDate();
    a.anlage = v("iab6a_anlage").toInt();
    a.rueckgaengig = v("iab6a_kategorie").toInt() == kRueckgaengig;
    return a;
}

void schreibe(DatenBase& e, const Abzug& a) {
    auto s = [&](const char* n, const DatenTyp& w) { e.setVar(QLatin1String(n), w); };
    s("iab6a_ID", DatenTyp(a.id));
    s("iab6a_jahr", DatenTyp(a.jahr));
    s("iab6a_bezeichnung", DatenTyp(a.bezeichnung));
    s("iab6a_kosten", DatenTyp(a.kosten));
    s("iab6a_betrag", DatenTyp(a.betrag));
    s("iab6a_hinzurechnung", DatenTyp(a.hinzurechnung));
    s("iab6a_investiert", DatenTyp(a.investiert));
    // The change of year leaves a deduction with this date behind: it is set
    // only once nothing is left open, so a remainder comes along.
    s("iab6a_anschaffungsdatum", DatenTyp(a.offen().isNull() && !a.rueckgaengig ? a.investiert : zDate()));
    s("iab6a_anlage", DatenTyp(a.anlage));
    s("iab6a_kategorie", DatenTyp(a.rueckgaengig ? kRueckgaengig : kOffen));
}

EuroType grenze(const char* bezeichnung, double vorgabe) {
    DBConnection* db = rsFallDB();
    const DatenTyp d = db ? QueryPrepared(db, QStringLiteral("SELECT Betrag FROM eurSperrgrenzen WHERE Bezeichnung=?"),
                                          {DatenTyp(QString::fromUtf8(bezeichnung))})
                                .value(0)
                          : DatenTyp();
    return d.isNull() ? EuroType::ausDouble(vorgabe) : EuroType::ausDouble(d.toDouble());
}

// The off-balance counter account: the first of category 9903 for the
// deduction, the last for its addition back (9971 and 9973 in SKR03).
unsigned long gegenkonto(bool hinzurechnung) {
    DBConnection* db = rsFallDB();
    return QueryPrepared(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Kategorie=9903 ORDER BY Nummer ") +
                                 (hinzurechnung ? QStringLiteral("DESC") : QStringLiteral("ASC")) + QStringLiteral(" LIMIT 1"),
                         {})
        .value(0)
        .toULong();
}

unsigned long poste(unsigned long herkunft, int kontext, const QString& text, const QString& tag, const zDate& datum, unsigned long konto,
                    bool haben, unsigned long gegen, const EuroType& betrag, intern::Kontenaktivierung& konten, QString* fehler) {
    if (KG::isInFestschreibungsZeitraum(datum) &&
        !KG::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), kontext, KG::FFT_NeueFestgeschrieben, datum.getText())) {
        nein(fehler, QStringLiteral("Das Datum %1 liegt im festgeschriebenen Zeitraum; es wurde nichts gebucht.").arg(datum.getText()));
        return 0;
    }
    DBConnection* db = rsFallDB();
    KG::BuchungsEntwurf b;
    b.herkunft = herkunft;
    b.text = text;
    b.belegdatum = datum;
    b.buchungsart = 3;
    b.zusatzinfo = tag;
    b.haben = haben;
    b.konto = konto;
    b.teile.append({gegen, 0, betrag, false, QString()});
    return konten.buche(b, db, fehler);
}

int steuerjahr() {
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}
}  // namespace

bool fristAbgelaufen(const Abzug& a, int jahr) { return jahr > a.jahr + 3; }

QList<Abzug> abzuege() {
    QList<Abzug> l;
    int n = 0;
    for (const DatenBase* e : eintraege()) l << lese(*e, ++n);
    return l;
}

int abzugAnlegen(Abzug a, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return nein(fehler, QStringLiteral("Es ist kein Fall geöffnet.")), 0;
    const int jahr = steuerjahr();
    a.jahr = jahr;
    if (a.bezeichnung.trimmed().isEmpty()) return nein(fehler, QStringLiteral("Die geplante Investition fehlt (--bezeichnung).")), 0;
    if (a.kosten <= EuroType() || a.betrag <= EuroType() || !a.kosten.imRahmen())
        return nein(fehler, QStringLiteral("Voraussichtliche Kosten und Abzugsbetrag müssen größer als 0 sein.")), 0;
    const EuroType hoechst = a.kosten.anteil(kProzent, 100);
    if (a.betrag > hoechst)
        return nein(fehler, QStringLiteral("Der Investitionsabzugsbetrag beträgt höchstens 40 Prozent der voraussichtlichen Kosten (§ 7g Abs. 1 "
                                           "EStG): %1 € von %2 €.")
                                .arg(hoechst.getText(), a.kosten.getText())),
               0;
    // The profit before deductions decides (§ 7g Abs. 1 Satz 2 Nr. 1 Buchst. c EStG).
    const EuroType vorher = KG::getGewinn(db, false, 1) - KG::getGewinn(db, false, 2);
    const EuroType gewinngrenze = Sperrgrenzen::iabGewinngrenze(db);
    if (vorher > gewinngrenze)
        return nein(fehler, QStringLiteral("Der Gewinn vor Investitionsabzugsbeträgen (%1 €) liegt über der Grenze von %2 € (§ 7g Abs. 1 Satz 2 "
                                           "EStG); ein Investitionsabzugsbetrag ist nicht möglich.")
                                .arg(vorher.getText(), gewinngrenze.getText())),
               0;
    EuroType offen = a.betrag;
    int hoechsteId = 0;
    for (const Abzug& x : abzuege()) {
        hoechsteId = std::max(hoechsteId, x.id);
        if (!fristAbgelaufen(x, jahr)) offen += x.offen();
    }
    const EuroType betriebsgrenze = grenze("Investitionsabzugsbetrag: Höchstbetrag je Betrieb", 200000);
    if (offen > betriebsgrenze)
        return nein(fehler, QStringLiteral("Zusammen mit den offenen Investitionsabzugsbeträgen der drei Vorjahre wären es %1 €; erlaubt sind "
                                           "höchstens %2 € je Betrieb (§ 7g Abs. 1 Satz 4 EStG).")
                                .arg(offen.getText(), betriebsgrenze.getText())),
               0;
    const unsigned long abzugKonto =
        QueryPrepared(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Kategorie=5903"), {}).value(0).toULong();
    const unsigned long gegen = gegenkonto(false);
    if (abzugKonto == 0 || gegen == 0)
        return nein(fehler, QStringLiteral("Der Kontenplan hat keine Konten für Investitionsabzugsbeträge (Kategorien 5903 und 9903).")), 0;
    a.id = hoechsteId + 1;
    DBTransaktion tx(db);
    intern::Kontenaktivierung konten;
    if (!poste(KG::HERK_IAB_ABZ, 1, QStringLiteral("Investitionsabzugsbetrag § 7g Abs. 1 %1: %2").arg(jahr).arg(a.bezeichnung),
               QStringLiteral("IabAbz_%1").arg(a.id), zDate(jahr, 12, 31), gegen, true, abzugKonto, a.betrag, konten, fehler))
        return 0;
    if (!tx.commit()) return nein(fehler, QStringLiteral("Der Investitionsabzugsbetrag konnte nicht gebucht werden.")), 0;
    konten.melden();
    a.nummer = eintraege().size() + 1;
    DatenBase* e = DatenBase::GetDB(kRegister + QStringLiteral("\\Iab006a_{%1}").arg(a.nummer), true);
    if (!e) return nein(fehler, QStringLiteral("Der Eintrag konnte nicht angelegt werden.")), 0;
    schreibe(*e, a);
    return a.nummer;
}

EuroType hinzurechnen(int nummer, int anlageNummer, QString* fehler) {
    DBConnection* db = rsFallDB();
    const QList<DatenBase*> l = eintraege();
    if (!db || nummer < 1 || nummer > l.size()) return nein(fehler, QStringLiteral("Einen Investitionsabzugsbetrag Nr. %1 gibt es nicht.").arg(nummer)), EuroType();
    Abzug a = lese(*l[nummer - 1], nummer);
    Anlage x;
    if (!finde(anlageNummer, &x)) return nein(fehler, QStringLiteral("Eine Anlage Nr. %1 gibt es nicht.").arg(anlageNummer)), EuroType();
    const int jahr = steuerjahr();
    if (x.anschaffung.year() != jahr)
        return nein(fehler, QStringLiteral("Hinzugerechnet wird im Jahr der Anschaffung; die Anlage Nr. %1 ist von %2.").arg(anlageNummer).arg(x.anschaffung.year())),
               EuroType();
    if (a.jahr >= jahr)
        return nein(fehler, QStringLiteral("Ein Investitionsabzugsbetrag gilt für Investitionen der drei folgenden Jahre, nicht des Jahres %1, in "
                                           "dem er abgezogen wird.")
                                .arg(a.jahr)),
               EuroType();
    if (fristAbgelaufen(a, jahr) || a.offen().isNull())
        return nein(fehler, QStringLiteral("Der Investitionsabzugsbetrag Nr. %1 ist nicht mehr offen.").arg(nummer)), EuroType();
    if (x.methode != Linear)
        return nein(fehler, QStringLiteral("Begünstigt sind abnutzbare bewegliche Wirtschaftsgüter, die linear abgeschrieben werden (§ 7g Abs. 1 EStG).")),
               EuroType();
    // At most 40 % of the actual cost (§ 7g Abs. 2 Satz 1 EStG).
    const EuroType betrag = std::min(a.offen(), x.kosten.anteil(kProzent, 100) - x.kuerzung);
    if (betrag <= EuroType()) return nein(fehler, QStringLiteral("Für die Anlage Nr. %1 ist schon 40 Prozent hinzugerechnet.").arg(anlageNummer)), EuroType();
    const unsigned long hinKonto =
        QueryPrepared(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Kategorie=5904"), {}).value(0).toULong();
    const unsigned long gegen = gegenkonto(true);
    if (hinKonto == 0 || gegen == 0)
        return nein(fehler, QStringLiteral("Der Kontenplan hat keine Konten für die Hinzurechnung (Kategorien 5904 und 9903).")), EuroType();
    DBTransaktion tx(db);
    intern::Kontenaktivierung konten;
    // The addition raises the profit: the off-balance account of line 188 in credit.
    if (!poste(KG::HERK_IAB_HIN, 1, QStringLiteral("Hinzurechnung § 7g Abs. 2 %1 (IAB %2)").arg(x.bezeichnung).arg(a.jahr),
               QStringLiteral("IabHin_%1").arg(a.id), x.anschaffung, gegen, false, hinKonto, betrag, konten, fehler))
        return EuroType();
    x.kuerzung += betrag;
    QString e;
    if (!speichern(x, &e)) return nein(fehler, e), EuroType();
    if (!tx.commit()) return nein(fehler, QStringLiteral("Die Hinzurechnung konnte nicht gebucht werden.")), EuroType();
    konten.melden();
    a.hinzurechnung += betrag;
    a.investiert = x.anschaffung;
    a.anlage = x.id;
    schreibe(*l[nummer - 1], a);
    return betrag;
}

bool rueckgaengig(int nummer, QString* fehler) {
    const QList<DatenBase*> l = eintraege();
    if (nummer < 1 || nummer > l.size()) return nein(fehler, QStringLiteral("Einen Investitionsabzugsbetrag Nr. %1 gibt es nicht.").arg(nummer));
    Abzug a = lese(*l[nummer - 1], nummer);
    const int jahr = steuerjahr();
    if (a.rueckgaengig) return nein(fehler, QStringLiteral("Der Investitionsabzugsbetrag Nr. %1 ist schon rückgängig gemacht.").arg(nummer));
    if (a.jahr >= jahr)
        return nein(fehler, QStringLiteral("Ein Abzug des laufenden Jahres wird nicht rückgängig gemacht, sondern seine Buchung storniert."));
    if (a.offen().isNull()) return nein(fehler, QStringLiteral("Der Investitionsabzugsbetrag Nr. %1 ist vollständig hinzugerechnet.").arg(nummer));
    a.rueckgaengig = true;
    schreibe(*l[nummer - 1], a);
    return true;
}

}  // namespace Anlagen
