// dalvo bank: bank connections, statement import, transactions, proposals
// and their takeover into bookings, from the command line.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"
#include "app/listenausgabe.h"

#include "host/app/ui.h"
#include "host/app/atomicfile.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/banklisten.h"
#include "kontbaum/bank/sepa.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {
using namespace Bank;

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

void hinweis(const QString& text) { err(Ui::plainText(text).trimmed() + QLatin1Char('\n')); }

// The transaction IDs of positional arguments 2…; false with the reason.
bool idsLesen(const QStringList& p, QList<unsigned long>* ids, QString* fehler) {
    for (int i = 2; i < p.size(); ++i) {
        bool ok = false;
        const unsigned long id = p[i].toULong(&ok);
        if (!ok || id == 0) {
            *fehler = QStringLiteral("„%1“ ist keine Umsatznummer (die Nummern zeigt „dalvo bank FALL umsaetze“).").arg(p[i]);
            return false;
        }
        *ids << id;
    }
    return true;
}

QJsonObject vorschlagJson(const Vorschlag& v) {
    static const char* const arten[] = {"keiner", "vorlage", "buchung", "gegenpartei", "rechnung", "vorgabe", "vorhanden", "eingangsrechnung"};
    QJsonObject o{{QStringLiteral("art"), QLatin1String(arten[v.art])},
                  {QStringLiteral("wertung"), v.wertung},
                  {QStringLiteral("grund"), v.grund},
                  {QStringLiteral("buchungsart"), v.buchungsart},
                  {QStringLiteral("gegenkonto"), qint64(v.gegenkonto)},
                  {QStringLiteral("steuerschluessel"), qint64(v.steuerschluessel)},
                  {QStringLiteral("text"), v.text},
                  {QStringLiteral("uebernehmen"), v.wertung >= kSchwelle}};
    if (v.art == Vorschlag::Rechnung) o[QStringLiteral("rechnung")] = v.rechnungsnummer;
    if (v.art == Vorschlag::Eingangsrechnung) o[QStringLiteral("eingangsrechnung")] = qint64(v.rechnungID);
    if (v.art == Vorschlag::Vorhanden) o[QStringLiteral("buchung")] = qint64(v.quelle);
    return o;
}

QJsonObject umsatzJson(const GespeicherterUmsatz& u) {
    return QJsonObject{{QStringLiteral("id"), qint64(u.id)},
                       {QStringLiteral("konto"), qint64(u.konto)},
                       {QStringLiteral("datum"), u.datum.getText()},
                       {QStringLiteral("betrag"), jsonBetrag(u.betrag)},
                       {QStringLiteral("text"), u.text},
                       {QStringLiteral("name"), u.name},
                       {QStringLiteral("iban"), u.iban},
                       {QStringLiteral("bic"), u.bic},
                       {QStringLiteral("referenz"), u.referenz},
                       {QStringLiteral("status"), u.status},
                       {QStringLiteral("status_text"), statusText(u.status, u.buchungsnummer)},
                       {QStringLiteral("buchungsnummer"), qint64(u.buchungsnummer)}};
}

QString umsatzZeile(const GespeicherterUmsatz& u) {
    return QStringLiteral("%1  %2  %3  %4  %5\n")
        .arg(u.id, 5)
        .arg(u.datum.getText())
        .arg(u.betrag.getText(), 12)
        .arg((u.name.isEmpty() ? u.text : u.name + QStringLiteral(" – ") + u.text).left(60), -60)
        .arg(statusText(u.status, u.buchungsnummer));
}

int add(Fall& fall, const Args& a) {
    Verbindung v;
    bool ok = false;
    v.konto = a.value(QStringLiteral("--konto")).toULong(&ok);
    if (!ok) return usageError(QStringLiteral("bank"), QStringLiteral("--konto braucht die Nummer des Bankkontos im Kontenplan, z. B. --konto 1200."));
    v.iban = a.value(QStringLiteral("--iban"));
    v.bic = a.value(QStringLiteral("--bic"));
    v.kontonummer = a.value(QStringLiteral("--kontonummer"));
    v.blz = a.value(QStringLiteral("--blz"));
    v.bezeichnung = a.value(QStringLiteral("--name"));
    v.bank = a.value(QStringLiteral("--bank"));
    QString e;
    const unsigned long id = legeVerbindungAn(fall.kg()->GetDBConnect_Ptr(), v, &e);
    if (!id) return abgelehnt(e);
    out(QStringLiteral("%1\n").arg(id));
    return Ok;
}

int import(Fall& fall, const Args& a, const QString& datei, const Importoptionen& o) {
    unsigned long konto = 0;
    if (a.has(QStringLiteral("--konto"))) konto = a.value(QStringLiteral("--konto")).toULong();
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly)) return abgelehnt(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden. Es wurde nichts gespeichert.").arg(datei));
    const Importergebnis r = importiere(fall.kg()->GetDBConnect_Ptr(), konto, &f, o);
    if (!r.ok) return abgelehnt(r.meldung + (r.verneint ? QStringLiteral(" Mit --ja werden die Umsätze trotzdem eingelesen.") : QString()));
    hinweis(r.meldung);
    hinweis(r.zahlen());
    out(QStringLiteral("%1\n").arg(r.speicher.gespeichert));
    fall.setGeaendert(r.speicher.gespeichert > 0);
    return Ok;
}

// Each transaction is written as its proposal is found, so the list is
// never held whole, whatever the number of open transactions.
int zeigeVorschlaege(Fall& fall, bool json) {
    JsonListe l;
    QString t;
    bool leer = true;
    vorschlaege(fall.kg()->GetDBConnect_Ptr(), {}, [&](const Kandidat& k) {
        leer = false;
        if (json) {
            QJsonObject o = umsatzJson(k.umsatz);
            o[QStringLiteral("vorschlag")] = k.vorschlag.art == Vorschlag::Keiner ? QJsonValue() : QJsonValue(vorschlagJson(k.vorschlag));
            l.element(o);
            return;
        }
        t += umsatzZeile(k.umsatz);
        const Vorschlag& v = k.vorschlag;
        if (v.art == Vorschlag::Keiner)
            t += QStringLiteral("       kein Vorschlag: bitte mit „uebernehmen %1 --gegenkonto K“ selbst buchen\n").arg(k.umsatz.id);
        else if (v.art == Vorschlag::Vorhanden)
            t += QStringLiteral("       Wertung %1 (wird zugeordnet): %2\n").arg(v.wertung).arg(v.grund);
        else if (v.art == Vorschlag::Rechnung || v.art == Vorschlag::Eingangsrechnung)
            t += QStringLiteral("       Wertung %1%2: %3 → %4\n")
                     .arg(v.wertung)
                     .arg(v.wertung >= kSchwelle ? QStringLiteral(" (wird übernommen)") : QString(), v.grund,
                          v.art == Vorschlag::Rechnung ? QStringLiteral("Zahlung der Rechnung ") + v.rechnungsnummer
                                                       : QStringLiteral("Buchung der Eingangsrechnung nach ihren Steuersätzen"));
        else
            t += QStringLiteral("       Wertung %1%2: %3 → %4 Gegenkonto %5, Schlüssel %6, „%7“\n")
                     .arg(v.wertung)
                     .arg(v.wertung >= kSchwelle ? QStringLiteral(" (wird übernommen)") : QString(), v.grund,
                          KontoGlobal::getBuchungsartText(v.buchungsart, 0))
                     .arg(v.gegenkonto)
                     .arg(v.steuerschluessel)
                     .arg(v.text);
        if (t.size() >= 1 << 15) {
            out(t);
            t.clear();
        }
    });
    if (json) l.ende();
    else out(leer ? QStringLiteral("Es liegen keine offenen Umsätze vor.\n") : t);
    return Ok;
}

int uebernehme(Fall& fall, const Args& a, const QList<unsigned long>& ids) {
    Auftrag auftrag;
    auftrag.alle = a.has(QStringLiteral("--alle"));
    auftrag.ids = ids;
    auftrag.text = a.value(QStringLiteral("--text")).trimmed();
    if (a.has(QStringLiteral("--gegenkonto"))) {
        bool ok = false;
        auftrag.gegenkonto = a.value(QStringLiteral("--gegenkonto")).toULong(&ok);
        if (!ok || auftrag.gegenkonto == 0) return usageError(QStringLiteral("bank"), QStringLiteral("--gegenkonto braucht eine Kontonummer."));
    }
    if (a.has(QStringLiteral("--schluessel"))) {
        bool ok = false;
        auftrag.steuerschluessel = a.value(QStringLiteral("--schluessel")).toULong(&ok);
        if (!ok) return usageError(QStringLiteral("bank"), QStringLiteral("--schluessel braucht die Nummer eines Steuerschlüssels."));
        auftrag.schluesselAngegeben = true;
    }
    DBConnection* db = fall.kg()->GetDBConnect_Ptr();
    Uebernahmeergebnis r;
    QString e;
    if (!uebernehmen(db, auftrag, &r, &e)) return abgelehnt(e);
    hinweis(r.meldung);
    for (const auto& p : r.verknuepft) hinweis(QStringLiteral("Umsatz %1 → vorhandene Buchung %2").arg(p.first).arg(p.second));
    if (!r.ohneVorschlag.isEmpty()) {
        QStringList l;
        for (unsigned long id : r.ohneVorschlag) l << QString::number(id);
        hinweis(QStringLiteral("Ohne sicheren Vorschlag offen geblieben: %1 %2 (dalvo bank FALL vorschlaege; dann „uebernehmen ID --gegenkonto K“).")
                    .arg(l.size() == 1 ? QStringLiteral("Umsatz") : QStringLiteral("Umsätze"), l.join(QStringLiteral(", "))));
    }
    QString t;
    for (const auto& p : r.gebucht) t += QStringLiteral("%1\n").arg(p.second);
    out(t);
    fall.setGeaendert(!r.gebucht.isEmpty() || !r.verknuepft.isEmpty());
    return Ok;
}

}  // namespace

int cmdBank(const Args& a) {
    const QString n = QStringLiteral("bank");
    const QStringList p = a.positional();
    const QString was = p[1];
    const bool json = a.has(QStringLiteral("--json"));
    QList<unsigned long> ids;
    QString e;
    if (was == QLatin1String("neu") && p.size() != 2) return usageError(n, QStringLiteral("Zu viele Argumente."));
    if (was == QLatin1String("neu") && !a.has(QStringLiteral("--konto"))) return usageError(n, QStringLiteral("--konto fehlt."));
    if ((was == QLatin1String("liste") || was == QLatin1String("umsaetze") || was == QLatin1String("vorschlaege")) && p.size() != 2)
        return usageError(n, QStringLiteral("Zu viele Argumente."));
    Importoptionen o;
    if (was == QLatin1String("import")) {
        if (p.size() != 3) return usageError(n, QStringLiteral("Genau eine Datei angeben."));
        if (a.has(QStringLiteral("--format")) && !formatAusName(a.value(QStringLiteral("--format")), &o.format))
            return usageError(n, QStringLiteral("Unbekanntes Format „%1“ (erlaubt: camt, mt940, csv).").arg(a.value(QStringLiteral("--format"))));
        if (a.has(QStringLiteral("--zeichensatz")) && !BuchungenCSV::zeichensatzAusName(a.value(QStringLiteral("--zeichensatz")), &o.zeichensatz))
            return usageError(n, QStringLiteral("Unbekannter Zeichensatz „%1“ (erlaubt: %2).")
                                     .arg(a.value(QStringLiteral("--zeichensatz")), BuchungenCSV::zeichensatzNamen().join(QStringLiteral(", "))));
        if (a.has(QStringLiteral("--layout"))) o.layout = a.value(QStringLiteral("--layout"));
        o.spalten = a.value(QStringLiteral("--spalten"));
        CsvLayout l;
        if ((a.has(QStringLiteral("--layout")) || a.has(QStringLiteral("--spalten"))) && !csvLayout(o.layout, o.spalten, &l, &e)) return usageError(n, e);
        bool ok = true;
        if (a.has(QStringLiteral("--konto"))) a.value(QStringLiteral("--konto")).toULong(&ok);
        if (!ok) return usageError(n, QStringLiteral("--konto braucht die Nummer des Bankkontos im Kontenplan."));
        if (!pruefeEingabedatei(p[2], &e)) return usageError(n, e);
    }
    if (was == QLatin1String("uebernehmen") || was == QLatin1String("ignorieren") || was == QLatin1String("zuruecksetzen")) {
        if (!idsLesen(p, &ids, &e)) return usageError(n, e);
        const bool alle = was == QLatin1String("uebernehmen") && a.has(QStringLiteral("--alle"));
        if (alle == !ids.isEmpty())
            return usageError(n, was == QLatin1String("uebernehmen") ? QStringLiteral("Bitte die Nummern der Umsätze oder --alle angeben.")
                                                                     : QStringLiteral("Bitte die Nummern der Umsätze angeben."));
        if (alle && a.has(QStringLiteral("--gegenkonto")))
            return usageError(n, QStringLiteral("--gegenkonto gilt nur für genannte Umsätze, nicht mit --alle."));
    }
    unsigned long buchung = 0, verbindung = 0;
    if (was == QLatin1String("zuordnen")) {
        bool ok = false;
        if (p.size() != 3 || p[2].toULong() == 0)
            return usageError(n, QStringLiteral("Bitte genau eine Umsatznummer angeben: dalvo bank FALL zuordnen ID --buchung NR."));
        buchung = a.value(QStringLiteral("--buchung")).toULong(&ok);
        if (!ok || buchung == 0) return usageError(n, QStringLiteral("--buchung braucht die Nummer einer Buchung (dalvo liste FALL)."));
    }
    if (was == QLatin1String("loeschen")) {
        bool ok = false;
        verbindung = p.size() == 3 ? p[2].toULong(&ok) : 0;
        if (!ok || verbindung == 0)
            return usageError(n, QStringLiteral("Bitte die Nummer der Bankverbindung angeben (die Nummern zeigt „dalvo bank FALL liste“)."));
    }
    SepaAuftrag auftrag;
    Ausgabeziel ziel;
    unsigned long zahlKonto = 0;
    QList<unsigned long> rechnungen;
    if (was == QLatin1String("ueberweisung")) {
        // With invoice numbers the invoices give payee, IBAN, amount and purpose.
        const bool vonHand = a.has(QStringLiteral("--betrag")) || a.has(QStringLiteral("--empfaenger")) || a.has(QStringLiteral("--iban"));
        if (p.size() < 3) return usageError(n, QStringLiteral("Bitte die Zieldatei der Überweisung angeben (oder - für die Standardausgabe)."));
        if (!vonHand && p.size() == 3 && p[2].toULong() != 0)
            return usageError(n, QStringLiteral("Bitte nach den Nummern der Eingangsrechnungen zuletzt die Zieldatei angeben (oder -)."));
        if (vonHand && p.size() > 3)
            return usageError(n, QStringLiteral("Entweder Eingangsrechnungen nennen oder --betrag, --empfaenger und --iban angeben, nicht beides."));
        if (!a.has(QStringLiteral("--ausfuehrung"))) return usageError(n, QStringLiteral("--ausfuehrung fehlt."));
        if (!parseDate(a.value(QStringLiteral("--ausfuehrung")), &auftrag.ausfuehrung, &e)) return usageError(n, e);
        if (vonHand || p.size() == 3) {
            Ueberweisung u;
            for (const char* pflicht : {"--betrag", "--empfaenger", "--iban"})
                if (!a.has(QLatin1String(pflicht))) return usageError(n, QStringLiteral("%1 fehlt.").arg(QLatin1String(pflicht)));
            if (!parseAmount(a.value(QStringLiteral("--betrag")), &u.betrag, &e)) return usageError(n, e);
            u.empfaenger = a.value(QStringLiteral("--empfaenger"));
            u.iban = a.value(QStringLiteral("--iban"));
            u.bic = a.value(QStringLiteral("--bic"));
            u.zweck = a.value(QStringLiteral("--zweck"));
            u.referenz = a.value(QStringLiteral("--referenz"));
            auftrag.posten << u;
        } else {
            for (const char* nurVonHand : {"--bic", "--zweck", "--referenz"})
                if (a.has(QLatin1String(nurVonHand)))
                    return usageError(n, QStringLiteral("%1 gilt nur ohne Eingangsrechnungen; deren Angaben kommen aus der Rechnung.")
                                             .arg(QLatin1String(nurVonHand)));
            for (int i = 2; i + 1 < p.size(); ++i) {
                bool ok = false;
                const unsigned long id = p[i].toULong(&ok);
                if (!ok || id == 0)
                    return usageError(n, QStringLiteral("„%1“ ist keine Nummer einer Eingangsrechnung (die offenen zeigt „dalvo eingang FALL "
                                                        "liste --offen“).")
                                             .arg(p[i]));
                rechnungen << id;
            }
        }
        bool ok = true;
        if (a.has(QStringLiteral("--konto"))) zahlKonto = a.value(QStringLiteral("--konto")).toULong(&ok);
        if (!ok || (a.has(QStringLiteral("--konto")) && zahlKonto == 0))
            return usageError(n, QStringLiteral("--konto braucht die Nummer des zahlenden Bankkontos im Kontenplan."));
        if (!QFileInfo::exists(p.first())) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(p.first()));
        if (!pruefeAusgabeziel(p.last(), p.first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    }
    const bool lesen = was == QLatin1String("liste") || was == QLatin1String("umsaetze") || was == QLatin1String("vorschlaege");
    Ausgabeziel listenziel;
    if (was == QLatin1String("liste") || was == QLatin1String("umsaetze"))
        if (const int r = pruefeListenausgabe(n, a, &listenziel)) return r;
    if (was == QLatin1String("ueberweisung"))
        return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Lesen, [&](Fall& fall) -> int {
            auftrag.erstellt = QDateTime::currentDateTime();
            QByteArray xml;
            DBConnection* db = fall.kg()->GetDBConnect_Ptr();
            if ((!rechnungen.isEmpty() && !eingangsrechnungenZahlen(db, rechnungen, &auftrag, &e)) || !sepaAuftraggeber(db, zahlKonto, &auftrag, &e) ||
                !schreibePain001(auftrag, &xml, &e))
                return abgelehnt(e + QStringLiteral(" Es wurde keine Datei geschrieben."));
            if (ziel.standardausgabe) {
                fwrite(xml.constData(), 1, size_t(xml.size()), stdout);
                fflush(stdout);
                return Ok;
            }
            if (!rsWriteFileAtomic(ziel.pfad, xml, &e)) return abgelehnt(e);
            hinweis(QStringLiteral("Die SEPA-Überweisung (pain.001.001.03) wurde in der Datei %1 gespeichert; laden Sie sie im Online-Banking hoch.")
                        .arg(ziel.pfad));
            return Ok;
        });
    return Fall::ausfuehren(n, p.first(), lesen ? Fall::Zugriff::Lesen : Fall::Zugriff::Schreiben, [&](Fall& fall) -> int {
        DBConnection* db = fall.kg()->GetDBConnect_Ptr();
        if (was == QLatin1String("neu")) return add(fall, a);
        if (was == QLatin1String("liste")) {
            Listenform form;
            form.leer = QStringLiteral("Es ist noch kein Bankkonto eingerichtet (dalvo bank FALL neu --konto N --iban …).");
            return gibListeAus(a, fall, listenziel, form, [&](BerichtListe* l, QString*) {
                verbindungsListe(db, l);
                return true;
            });
        }
        if (was == QLatin1String("import")) return import(fall, a, p[2], o);
        if (was == QLatin1String("umsaetze")) {
            const bool offen = a.has(QStringLiteral("--offen"));
            Listenform form;
            form.leer = offen ? QStringLiteral("Es liegen keine offenen Umsätze vor.") : QStringLiteral("Es liegen keine Umsätze vor.");
            return gibListeAus(a, fall, listenziel, form, [&](BerichtListe* l, QString*) {
                umsatzListe(db, offen, l);
                return true;
            });
        }
        if (was == QLatin1String("vorschlaege")) return zeigeVorschlaege(fall, json);
        if (was == QLatin1String("uebernehmen")) return uebernehme(fall, a, ids);
        if (was == QLatin1String("zuordnen")) {
            if (!zuordnen(db, p[2].toULong(), buchung, &e)) return abgelehnt(e);
            fall.setGeaendert(true);
            out(QStringLiteral("%1\n").arg(buchung));
            return Ok;
        }
        if (was == QLatin1String("loeschen")) {
            if (!loescheVerbindung(db, verbindung, &e)) return abgelehnt(e);
            fall.setGeaendert(true);
            return Ok;
        }
        if (was == QLatin1String("ignorieren")) {
            const long k = nichtVerarbeiten(db, ids, &e);
            if (k < 0) return abgelehnt(e);
            out(QStringLiteral("%1\n").arg(k));
            return Ok;
        }
        if (!zuruecksetzen(db, ids, &e)) return abgelehnt(e);
        out(QStringLiteral("%1\n").arg(ids.size()));
        return Ok;
    });
}

QList<Befehl> bankBefehle() {
    const Option json{{"--json"}};
    return {
        {QStringLiteral("bank"), {}, {}, {}, QString(), QStringLiteral("Bankkonten, Kontoauszüge (CAMT, MT940, CSV) einlesen und als Buchungen übernehmen"),
         QStringLiteral("Wird eine übernommene Buchung gelöscht oder storniert, ist ihr Umsatz wieder offen."), nullptr},
        {QStringLiteral("bank"), QStringLiteral("neu"), {QStringLiteral("add")},
         {{{"--konto"}, "KONTO"}, {{"--iban"}, "IBAN"}, {{"--kontonummer"}, "K"}, {{"--blz"}, "BLZ"}, {{"--bic"}, "BIC"}, {{"--name"}, "TEXT"}, {{"--bank"}, "NAME"}},
         QStringLiteral("dalvo bank FALL neu --konto N (--iban IBAN | --kontonummer K --blz B) [--bic BIC] [--name T] [--bank NAME]"),
         QStringLiteral("richtet ein Bankkonto ein"),
         QStringLiteral("Ordnet einem Konto der Kategorien Bank, Postbank oder Verrechnungskonten (z. B. 1200) sein Bankkonto zu."), cmdBank},
        {QStringLiteral("bank"), QStringLiteral("liste"), {QStringLiteral("list")}, listenOptionen(),
         QStringLiteral("dalvo bank FALL liste [--csv | --json | --pdf DATEI [--ersetzen]]"),
         QStringLiteral("zeigt die Bankkonten"), QStringLiteral("Zeigt die Bankkonten mit dem letzten Umsatz und dem Saldo laut Bank."), cmdBank},
        {QStringLiteral("bank"), QStringLiteral("import"), {},
         {{{"--konto"}, "KONTO"}, {{"--format"}, "camt|mt940|csv"}, {{"--layout"}, "NAME"}, {{"--spalten"}, "…"},
          {{"--zeichensatz", "--encoding"}, "ZS"}},
         QStringLiteral("dalvo bank FALL import DATEI [--konto N] [--format camt|mt940|csv] [--layout NAME] [--spalten …] "
                        "[--zeichensatz utf-8|windows-1252|iso-8859-1] [--ja|--nein]"),
         QStringLiteral("liest einen Kontoauszug ein"),
         QStringLiteral("Liest einen Kontoauszug: CAMT.053/CAMT.052 (XML), MT940 oder die CSV-Datei der Bank. Das Format und\n"
                        "das CSV-Layout der Bank werden am Inhalt erkannt (sparkasse, sparkasse-mt940, dkb, dkb-alt, ing,\n"
                        "commerzbank, volksbank, deutschebank, comdirect, n26, postbank, postbank-alt, consorsbank; --layout NAME\n"
                        "erzwingt eines); jede andere CSV-Datei\n"
                        "mit --layout generisch --spalten datum=1,betrag=4,zweck=3,name=2 (Nummern oder Spaltennamen, auch\n"
                        "soll=…,haben=…; kopf=ZEILE der Kopfzeile). Das Bankkonto steht in der Datei (sonst --konto).\n"
                        "Nur Umsätze des Steuerjahres werden gespeichert, jeder einmal; danach wird gezählt: gelesen,\n"
                        "gespeichert, bereits vorhanden, außerhalb des Jahres, vorgemerkt, übersprungen (jede Zeile mit Grund).\n"
                        "Passen Anfangssaldo, Umsätze und Endsaldo nicht zusammen, wird gefragt (--ja)."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("umsaetze"), {}, QList<Option>{{{"--offen"}}} << listenOptionen(),
         QStringLiteral("dalvo bank FALL umsaetze [--offen] [--csv | --json | --pdf DATEI [--ersetzen]]"),
         QStringLiteral("zeigt die Umsätze"), QStringLiteral("Zeigt die eingelesenen Umsätze mit ihrem Stand (--offen nur die offenen)."), cmdBank},
        {QStringLiteral("bank"), QStringLiteral("vorschlaege"), {}, {json}, QStringLiteral("dalvo bank FALL vorschlaege [--json]"),
         QStringLiteral("zeigt Buchungsvorschläge"),
         QStringLiteral("Zeigt für jeden offenen Umsatz den besten Buchungsvorschlag mit Wertung und Grund: offene\n"
                        "Rechnung (Nummer im Verwendungszweck, Betrag gleich: 150), Buchungsvorlage oder frühere Buchung mit\n"
                        "gleichem Betrag (50, +70 wenn ihr Text im Verwendungszweck steht), frühere Buchung derselben\n"
                        "Gegenpartei (IBAN 100, Name 80). Ist derselbe Betrag auf dem Bankkonto schon gebucht (Regelbuchung,\n"
                        "gebuchte Rechnung) und noch keinem Umsatz zugeordnet, wird der Umsatz ihr zugeordnet (160), nicht\n"
                        "noch einmal gebucht."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("uebernehmen"), {},
         {{{"--alle"}}, {{"--gegenkonto"}, "KONTO"}, {{"--schluessel"}, "S"}, {{"--text"}, "TEXT"}},
         QStringLiteral("dalvo bank FALL uebernehmen ID…|--alle [--gegenkonto K [--schluessel S]] [--text T] [--ja|--nein]"),
         QStringLiteral("bucht Umsätze"),
         QStringLiteral("--alle bucht alle Umsätze mit Wertung ab 100; genannte Umsätze werden mit ihrem Vorschlag oder mit\n"
                        "--gegenkonto K [--schluessel S] gebucht, alle in einer Transaktion. Eine Rechnungszahlung bucht die\n"
                        "Rechnung als bezahlt. Im festgeschriebenen Zeitraum wird vorher gefragt (--ja)."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("zuordnen"), {}, {{{"--buchung"}, "NR"}}, QStringLiteral("dalvo bank FALL zuordnen ID --buchung NR"),
         QStringLiteral("ordnet einen Umsatz einer vorhandenen Buchung zu"),
         QStringLiteral("Ordnet einen offenen Umsatz einer schon gebuchten Buchung zu (z. B. einer Regelbuchung oder einer mit\n"
                        "„rechnung buchen“ gebuchten Rechnung), ohne etwas zu buchen. Die Buchung muss den Betrag des Umsatzes auf\n"
                        "seinem Bankkonto bewegen. Zurücksetzen löst die Zuordnung wieder, die Buchung bleibt."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("loeschen"), {}, {}, QStringLiteral("dalvo bank FALL loeschen VERBINDUNG"),
         QStringLiteral("löscht eine Bankverbindung"),
         QStringLiteral("Löscht die Bankverbindung (Nummer aus „dalvo bank FALL liste“) mit ihren eingelesenen Umsätzen; die\n"
                        "Buchungen bleiben."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("ueberweisung"), {},
         {{{"--betrag"}, "B"}, {{"--empfaenger"}, "NAME"}, {{"--iban"}, "IBAN"}, {{"--bic"}, "BIC"}, {{"--zweck"}, "TEXT"},
          {{"--referenz"}, "REF"}, {{"--ausfuehrung"}, "DATUM"}, {{"--konto"}, "KONTO"}, {{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo bank FALL ueberweisung (RECHNUNG… | --betrag B --empfaenger NAME --iban IBAN [--bic BIC] [--zweck T] "
                        "[--referenz R]) --ausfuehrung D [--konto N] DATEI|- [--ersetzen]"),
         QStringLiteral("schreibt eine SEPA-Überweisung (pain.001)"),
         QStringLiteral("Schreibt eine SEPA-Überweisung vom Bankkonto (--konto, sonst dem einzigen) als pain.001.001.03 zum\n"
                        "Hochladen im Online-Banking. Geprüft wird nach den Regeln der Deutschen Kreditwirtschaft: Betrag\n"
                        "0,01 bis 999.999.999,99, IBAN-Prüfziffer, Name bis 70, Zweck bis 140, Referenz bis 35 Zeichen, nur\n"
                        "Zeichen des SEPA-Zeichensatzes (Umlaute werden ae, oe, ue, ss). Der Fall bleibt unverändert.\n\n"
                        "RECHNUNG… sind Nummern offener Eingangsrechnungen (dalvo eingang FALL liste --offen): je eine\n"
                        "Überweisung an den Lieferanten und seine IBAN aus der Rechnung über den Zahlbetrag, mit der\n"
                        "Zahlungsreferenz und der Rechnungsnummer als Verwendungszweck. Abgelehnt werden bezahlte,\n"
                        "Gutschriften und Rechnungen ohne IBAN."),
         cmdBank},
        {QStringLiteral("bank"), QStringLiteral("ignorieren"), {}, {}, QStringLiteral("dalvo bank FALL ignorieren ID…"),
         QStringLiteral("setzt Umsätze auf „nicht verarbeiten“"), QStringLiteral("Setzt offene Umsätze auf „nicht verarbeiten“."), cmdBank},
        {QStringLiteral("bank"), QStringLiteral("zuruecksetzen"), {}, {}, QStringLiteral("dalvo bank FALL zuruecksetzen ID… [--ja|--nein]"),
         QStringLiteral("macht Umsätze wieder offen"),
         QStringLiteral("Macht Umsätze wieder offen: ihre Buchungen werden gelöscht, festgeschriebene storniert (nach\n"
                        "Rückfrage, --ja); eine abgeschlossene Kasse bleibt unberührt."),
         cmdBank},
    };
}

}  // namespace cli
