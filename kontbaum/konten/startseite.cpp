// The lists and the overview of the start page (see startseite.h).
#include "kontbaum/konten/startseite.h"
#include "kontbaum/rahmen/sperrgrenzen.h"
#include "kontbaum/steuer/steuer.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datehelper.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <algorithm>

namespace Startseite {

QString html(const QString& text) { return text.toHtmlEscaped(); }

QList<FaelligeBuchung> faelligeBuchungen(const KontoGlobal& kg, const zDate& heute) {
    // The start page shows exactly what `regelbuchungen` would post: one
    // rule for what is due, in the recurring bookings themselves.
    QList<FaelligeBuchung> liste;
    if (kg.GetDBConnect_Ptr()) Regelbuchung::faellige(liste, kg.getSteuerjahr(), heute);
    return liste;
}

QList<OffeneRechnung> offeneRechnungen(const KontoGlobal& kg) {
    QList<OffeneRechnung> liste;
    DBConnection* db = kg.GetDBConnect_Ptr();
    if (!db) return liste;
    for (const Faktura::Beleg& b : Faktura::belege(db, Faktura::Belegart::Rechnung, true)) {
        if (b.rechnungsart != 0) continue;
        OffeneRechnung r;
        r.id = b.id;
        r.nummer = b.nummer;
        r.datum = b.datum;
        r.zahlungsziel = b.zahlungsziel;
        Faktura::Person person;
        if (Faktura::lesePerson(db, b.personID, &person)) {
            r.kunde = person.anzeigename();
            r.kundennummer = person.kundennummer;
        }
        const Faktura::Summen s = Faktura::berechneSummen(db, b);
        r.netto = s.summeNetto;
        r.steuer = s.summeSteuer;
        r.brutto = s.summeBrutto;
        r.anzahlung = b.anzahlung;
        r.versandNetto = s.versandNetto;
        r.versandSteuer = s.versandSteuer;
        r.versandBrutto = s.versandBrutto;
        r.versandSatz = b.versandSatz;
        r.endsumme = s.endsumme;
        r.offen = s.offen;
        for (const Faktura::Mahnung& m : Faktura::mahnungen(db, b.id)) {
            r.mahngebuehren += m.gebuehr;
            r.mahnstufe = Faktura::stufeText(m.stufe);
            r.neuesZahlungsziel = m.zahlungsziel;
        }
        r.offen += r.mahngebuehren;
        liste << r;
    }
    std::stable_sort(liste.begin(), liste.end(), [](const OffeneRechnung& a, const OffeneRechnung& b) {
        return a.zahlungsziel != b.zahlungsziel ? a.zahlungsziel < b.zahlungsziel : a.datum < b.datum;
    });
    return liste;
}

bool stand(KontoGlobal& kg, const zDate& heute, Stand* s, QString* fehler) {
    DBConnection* db = kg.GetDBConnect_Ptr();
    if (!db) {
        if (fehler) *fehler = QStringLiteral("Die Buchhaltungsdatenbank des Falls ist nicht geöffnet.");
        return false;
    }
    // The figures as the start page shows them: through the parser function.
    QString text;
    int status = 0;
    auto frage = [&](const QString& argumente) {
        kg.kontParser(argumente, false, text, status, fehler);
        return status != 0;
    };
    auto betrag = [&](const QString& argumente, EuroType* b) { return kg.kontParserBetrag(argumente, b, fehler); };
    s->steuerjahr = kg.getSteuerjahr();
    s->kontenplan = kg.getKontenplanName();
    if (!frage(QStringLiteral("JAHR_ABGESCHLOSSEN"))) return false;
    s->jahrAbgeschlossen = text == QLatin1String("1");
    // The profit, income and expenses of $GETKONT(GEWINN|EINNAHMEN|AUSGABEN)
    // from one pass over the ledger, not one each.
    const Gewinnregel::Teile gewinn = Gewinnregel::lesen(db, false);
    s->gewinn = gewinn.gewinn(Sperrgrenzen::iabGewinngrenze(db));
    s->einnahmen = gewinn.einnahmen;
    s->ausgaben = gewinn.ausgaben;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, Bezeichnung, Kategorie FROM eurKontenplan WHERE Kategorie BETWEEN 201 AND 203 AND "
                                       "Aktiv<>0 ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        Stand::Geldkonto g;
        g.konto = rs.field(QStringLiteral("Nummer")).toULong();
        g.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
        g.kategorie = rs.field(QStringLiteral("Kategorie")).toULong();
        if (!betrag(QStringLiteral("SALDO,Konto,%1").arg(g.konto), &g.saldo)) return false;
        // An account nothing was ever booked on is no account the user keeps.
        if (!KontoGlobal::existsBuchung(g.konto, db, false)) continue;
        (g.kategorie == 201 ? s->kasse : s->bank) += g.saldo;
        s->geldkonten << g;
    }
    if (!frage(QStringLiteral("KASSENKONTO"))) return false;
    s->kassenkonto = text.toULong();
    if (!frage(QStringLiteral("KASSEABGESCHLOSSENBIS"))) return false;
    s->kasseAbgeschlossenBis = DateHelper::fromDMYtoDate(text);
    if (!frage(QStringLiteral("FESTGESCHRIEBEN_BIS"))) return false;
    s->festgeschriebenBis = DateHelper::fromDMYtoDate(text);
    s->faellig = faelligeBuchungen(kg, heute);
    s->rechnungen = offeneRechnungen(kg);
    for (const OffeneRechnung& r : s->rechnungen) s->offeneRechnungssumme += r.offen;
    s->offeneBankumsaetze = int(Bank::anzahlOffene(db));
    return true;
}

}  // namespace Startseite
