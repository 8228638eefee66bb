// The lists and the overview of the start page (see startseite.h).
#include "kontbaum/konten/startseite.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datehelper.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <algorithm>

namespace Startseite {

QString html(const QString& text) { return text.toHtmlEscaped(); }

namespace {
const QString kReihenfolge = QStringLiteral(" ORDER BY Haben DESC, SteuerID ASC, ID ASC");

// The accounts and tax groups of a booking's lines (tax lines left out): two
// bookings with the same signature were made from the same template.
QStringList signatur(DBConnection* db, const QString& tabelle, unsigned long nr, QString* konten = nullptr) {
    QStringList s;
    rsDataSource rs(db, QStringLiteral("SELECT Konto, SteuerID, Haben FROM ") + tabelle +
                            QStringLiteral("Buchungszeilen WHERE Steuerschluessel<>999999 AND Buchungsnummer=") +
                            rsDataSource::toSqlStr(nr) + kReihenfolge);
    QStringList k;
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long konto = rs.field(QStringLiteral("Konto")).toULong();
        s << QStringLiteral("%1/%2").arg(konto).arg(rs.field(QStringLiteral("SteuerID")).toULong());
        k << (rs.field(QStringLiteral("Haben")).toBool() ? QStringLiteral("H ") : QStringLiteral("S ")) + QString::number(konto) +
                 QLatin1Char(' ') + KontoGlobal::getKontobezeichnung(konto, 0, db);
    }
    if (konten) *konten = k.join(QStringLiteral(", "));
    return s;
}
}  // namespace

QList<FaelligeBuchung> faelligeBuchungen(const KontoGlobal& kg, const zDate& heute) {
    QList<FaelligeBuchung> liste;
    DBConnection* db = kg.GetDBConnect_Ptr();
    const int jahr = kg.getSteuerjahr();
    if (!db || kg.getJahresabschluss() != 0 || jahr > heute.year()) return liste;
    const zDate jahrVon(jahr, 1, 1), jahrBis(jahr, 12, 31), fensterVon(jahr - 1, 12, 22), fensterBis(jahr + 1, 1, 10);
    rsDataSource rs(db, QStringLiteral("SELECT * FROM eurBeispiel WHERE Intervall IS NOT NULL AND Intervall <> '' ORDER BY Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long nr = rs.field(QStringLiteral("Buchungsnummer")).toULong();
        const zDate p0 = rs.field(QStringLiteral("Zahlungsdatum")).toDate().isValid() ? rs.field(QStringLiteral("Zahlungsdatum")).toDate()
                                                                                       : rs.field(QStringLiteral("Belegdatum")).toDate();
        const zDate b0 = rs.field(QStringLiteral("Belegdatum")).toDate();
        const int intervall = rs.field(QStringLiteral("Intervall")).toString().trimmed().toInt();
        if (!p0.isValid() || !b0.isValid() || heute < p0) continue;
        FaelligeBuchung vorlage;
        vorlage.vorlage = nr;
        vorlage.text = rs.field(QStringLiteral("Buchungstext")).toString();
        vorlage.intervall = rs.field(QStringLiteral("Intervall")).toString();
        vorlage.betrag = rs.field(QStringLiteral("Betrag")).toEuro();
        const QStringList sig = signatur(db, QStringLiteral("eurBeispiel"), nr, &vorlage.konten);

        // The latest live occurrence already in the ledger.
        zDate p = p0, b = b0;
        bool gefunden = false;
        const QString zusatz = rs.field(QStringLiteral("Zusatzinfo")).toString();
        QString sql = QStringLiteral("SELECT Belegdatum, Zahlungsdatum, Buchungsnummer FROM eurVerbucht WHERE Storno=0 AND Storniert=0 AND (Zusatzinfo=") +
                      rsDataSource::toSqlStr(QStringLiteral("FromBsp:%1").arg(nr));
        unsigned long quelle = 0;
        if (zusatz.startsWith(QLatin1String("FromBuchung:")) && (quelle = zusatz.mid(12).trimmed().toULong()) != 0)
            sql += QStringLiteral(" OR Buchungsnummer=") + rsDataSource::toSqlStr(quelle);
        rsDataSource vor(db, sql + QLatin1Char(')'));
        for (; !vor.isEOF(); vor.fetch()) {
            const zDate zp = vor.field(QStringLiteral("Zahlungsdatum")).toDate().isValid() ? vor.field(QStringLiteral("Zahlungsdatum")).toDate()
                                                                                            : vor.field(QStringLiteral("Belegdatum")).toDate();
            if (signatur(db, QStringLiteral("eurVerbucht"), vor.field(QStringLiteral("Buchungsnummer")).toULong()) != sig || zp < p) continue;
            p = zp;
            b = vor.field(QStringLiteral("Belegdatum")).toDate();
            gefunden = true;
        }
        auto weiter = [&] {
            p = DateHelper::incByInterval(p, intervall, p0);
            b = DateHelper::incByInterval(b, intervall, b0);
        };
        if (p0 < p || gefunden) weiter();
        while (p.isValid() && !(heute < p)) {
            const bool imJahr = !(p < jahrVon) && !(jahrBis < p);
            if (!imJahr && !(p0 != b0 && !(p < fensterVon) && !(fensterBis < p))) break;
            if (b.isValid() && !(b < jahrVon) && !(jahrBis < b)) {
                FaelligeBuchung f = vorlage;
                f.zahlungsdatum = p;
                f.belegdatum = b;
                liste << f;
            }
            weiter();
        }
    }
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
    auto betrag = [&](const QString& argumente, EuroType* b) {
        if (!frage(argumente)) return false;
        if (EuroType::fromText(text, b)) return true;
        if (fehler) *fehler = QStringLiteral("$GETKONT(%1) lieferte keinen Betrag: „%2“.").arg(argumente, text);
        return false;
    };
    s->steuerjahr = kg.getSteuerjahr();
    s->kontenplan = kg.getKontenplanName();
    if (!frage(QStringLiteral("JAHR_ABGESCHLOSSEN"))) return false;
    s->jahrAbgeschlossen = text == QLatin1String("1");
    if (!betrag(QStringLiteral("GEWINN"), &s->gewinn) || !betrag(QStringLiteral("EINNAHMEN"), &s->einnahmen) ||
        !betrag(QStringLiteral("AUSGABEN"), &s->ausgaben))
        return false;
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
    s->offeneRechnungssumme = s->offeneRechnungssumme.Runden(2);
    s->offeneBankumsaetze = Bank::umsaetze(db, true).size();
    return true;
}

}  // namespace Startseite
