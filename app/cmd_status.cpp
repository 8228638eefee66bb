// dalvo status / getkont / berechnung: where the bookkeeping stands, the
// start page's parser function, and the calculation file of the figures.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/atomicfile.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/konten/startseite.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace cli {

namespace {
int abgelehnt(const QString& grund) {
    err(QStringLiteral("Fehler: %1\n").arg(grund));
    return Refused;
}

QJsonValue datumJson(const zDate& d) { return d.isValid() ? QJsonValue(d.getText()) : QJsonValue(); }

QString datumText(const zDate& d, const QString& leer) { return d.isValid() ? d.getText() : leer; }

QJsonObject standJson(const Startseite::Stand& s) {
    QJsonObject o;
    o[QStringLiteral("steuerjahr")] = s.steuerjahr;
    o[QStringLiteral("kontenplan")] = s.kontenplan;
    o[QStringLiteral("jahr_abgeschlossen")] = s.jahrAbgeschlossen;
    o[QStringLiteral("gewinn")] = jsonBetrag(s.gewinn);
    o[QStringLiteral("einnahmen")] = jsonBetrag(s.einnahmen);
    o[QStringLiteral("ausgaben")] = jsonBetrag(s.ausgaben);
    QJsonArray konten;
    for (const Startseite::Stand::Geldkonto& g : s.geldkonten) {
        QJsonObject k;
        k[QStringLiteral("konto")] = qint64(g.konto);
        k[QStringLiteral("bezeichnung")] = g.bezeichnung;
        k[QStringLiteral("art")] = g.kategorie == 201 ? QStringLiteral("kasse") : QStringLiteral("bank");
        k[QStringLiteral("saldo")] = jsonBetrag(g.saldo);
        konten.append(k);
    }
    o[QStringLiteral("geldkonten")] = konten;
    o[QStringLiteral("kasse")] = jsonBetrag(s.kasse);
    o[QStringLiteral("bank")] = jsonBetrag(s.bank);
    o[QStringLiteral("kassenkonto")] = qint64(s.kassenkonto);
    o[QStringLiteral("kasse_abgeschlossen_bis")] = datumJson(s.kasseAbgeschlossenBis);
    o[QStringLiteral("festgeschrieben_bis")] = datumJson(s.festgeschriebenBis);
    QJsonArray faellig;
    for (const Startseite::FaelligeBuchung& f : s.faellig) {
        QJsonObject x;
        x[QStringLiteral("vorlage")] = qint64(f.vorlage);
        x[QStringLiteral("text")] = f.buchungstext;
        x[QStringLiteral("belegdatum")] = f.belegdatum.getText();
        x[QStringLiteral("zahlungsdatum")] = f.zahlungsdatum.getText();
        x[QStringLiteral("betrag")] = jsonBetrag(f.betrag);
        faellig.append(x);
    }
    o[QStringLiteral("regelbuchungen_faellig")] = faellig;
    QJsonArray rechnungen;
    for (const Startseite::OffeneRechnung& r : s.rechnungen) {
        QJsonObject x;
        x[QStringLiteral("nummer")] = r.nummer;
        x[QStringLiteral("kunde")] = r.kunde;
        x[QStringLiteral("datum")] = r.datum.getText();
        x[QStringLiteral("zahlungsziel")] = datumJson(r.neuesZahlungsziel.isValid() ? r.neuesZahlungsziel : r.zahlungsziel);
        x[QStringLiteral("offen")] = jsonBetrag(r.offen);
        rechnungen.append(x);
    }
    o[QStringLiteral("offene_rechnungen")] = rechnungen;
    o[QStringLiteral("offene_rechnungen_summe")] = jsonBetrag(s.offeneRechnungssumme);
    o[QStringLiteral("offene_bankumsaetze")] = s.offeneBankumsaetze;
    return o;
}

void standText(const Startseite::Stand& s, const QString& fall) {
    out(QStringLiteral("Stand der Buchhaltung %1 (%2)%3\n\n")
            .arg(s.steuerjahr)
            .arg(s.kontenplan, s.jahrAbgeschlossen ? QStringLiteral(", Jahr abgeschlossen") : QString()));
    out(QStringLiteral("%1 bisher:%2 €   (Einnahmen %3 €, Ausgaben %4 €)\n")
            .arg(s.gewinn < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"))
            .arg(s.gewinn.getText(), 14)
            .arg(s.einnahmen.getText())
            .arg(s.ausgaben.getText()));
    out(QStringLiteral("\nGeldkonten:\n"));
    if (s.geldkonten.isEmpty()) out(QStringLiteral("  (noch keine Buchung auf Kasse oder Bank)\n"));
    for (const Startseite::Stand::Geldkonto& g : s.geldkonten)
        out(QStringLiteral("  %1 %2 %3 €\n").arg(g.konto, 5).arg(g.bezeichnung.left(30), -30).arg(g.saldo.getText(), 14));
    out(QStringLiteral("\nFestgeschrieben bis:       %1\n").arg(datumText(s.festgeschriebenBis, QStringLiteral("–"))));
    out(QStringLiteral("Kasse %1 abgeschlossen bis: %2\n")
            .arg(s.kassenkonto)
            .arg(datumText(s.kasseAbgeschlossenBis, QStringLiteral("noch nicht abgeschlossen"))));
    if (s.faellig.isEmpty()) {
        out(QStringLiteral("\nFällige regelmäßige Buchungen: keine\n"));
    } else {
        out(QStringLiteral("\nFällige regelmäßige Buchungen: %1 (buchen mit „dalvo regelbuchungen %2 --alle“)\n").arg(s.faellig.size()).arg(fall));
        for (const Startseite::FaelligeBuchung& f : s.faellig)
            out(QStringLiteral("  Vorlage %1  %2  %3 %4 €\n").arg(f.vorlage).arg(f.belegdatum.getText()).arg(f.buchungstext.left(30), -30).arg(f.betrag.getText(), 12));
    }
    if (s.rechnungen.isEmpty()) {
        out(QStringLiteral("Offene Rechnungen: keine\n"));
    } else {
        out(QStringLiteral("Offene Rechnungen: %1 über %2 € (zeigen mit „dalvo rechnung %3 liste --offen“)\n")
                .arg(s.rechnungen.size())
                .arg(s.offeneRechnungssumme.getText())
                .arg(fall));
        for (const Startseite::OffeneRechnung& r : s.rechnungen)
            out(QStringLiteral("  %1  %2  fällig %3 %4 €\n")
                    .arg(r.nummer, -16)
                    .arg(r.kunde.left(28), -28)
                    .arg(datumText(r.neuesZahlungsziel.isValid() ? r.neuesZahlungsziel : r.zahlungsziel, QStringLiteral("–")), 10)
                    .arg(r.offen.getText(), 12));
    }
    out(s.offeneBankumsaetze == 0
            ? QStringLiteral("Offene Bankumsätze: keine\n")
            : QStringLiteral("Offene Bankumsätze: %1 (Vorschläge mit „dalvo bank %2 vorschlaege“)\n").arg(s.offeneBankumsaetze).arg(fall));
}
}  // namespace

int cmdStatus(const Args& a) {
    const QString n = QStringLiteral("status");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        Startseite::Stand s;
        QString e;
        if (!Startseite::stand(*fall.kg(), zDate::today(), &s, &e)) return abgelehnt(e);
        if (a.has(QStringLiteral("--json")))
            out(jsonText(standJson(s)));
        else
            standText(s, a.positional().first());
        return int(Ok);
    });
}

int cmdGetkont(const Args& a) {
    const QString n = QStringLiteral("getkont");
    if (a.positional().size() != 2)
        return usageError(n, QStringLiteral("Falldatei und Argumente der Parserfunktion angeben, z. B. 'SALDO,Konto,1200..1299'."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        QString ergebnis, fehler;
        int status = 0;
        fall.kg()->kontParser(a.positional().at(1), a.has(QStringLiteral("--formatiert")), ergebnis, status, &fehler);
        if (status == 0)
            return abgelehnt(fehler + QStringLiteral(" Die Schlüsselwörter und ihre Parameter zeigt „dalvo getkont --hilfe“."));
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("argumente")] = a.positional().at(1);
            o[QStringLiteral("status")] = status;
            o[QStringLiteral("ergebnis")] = ergebnis;
            out(jsonText(o));
        } else {
            out(ergebnis + QLatin1Char('\n'));
        }
        return int(Ok);
    });
}

int cmdBerechnung(const Args& a) {
    const QString n = QStringLiteral("berechnung");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Datei der Berechnung angeben („-“: Standardausgabe)."));
    const QString fallPfad = a.positional().first();
    if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
    const bool vergleich = a.has(QStringLiteral("--vergleich"));
    if (vergleich && a.positional().at(1) == QLatin1String("-") && a.has(QStringLiteral("--json")))
        return usageError(n, QStringLiteral("Mit --json geht das Ergebnis des Vergleichs auf die Standardausgabe; die Berechnung bitte in eine Datei."));
    Ausgabeziel ziel, referenzZiel;
    QString e;
    if (!pruefeAusgabeziel(a.positional().at(1), fallPfad, a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    const QString referenz = a.value(QStringLiteral("--vergleich"));
    const bool referenzNeu = vergleich && !QFileInfo::exists(referenz);
    if (vergleich && referenz.isEmpty()) return usageError(n, QStringLiteral("--vergleich braucht die Datei der Referenz."));
    if (referenzNeu && !pruefeAusgabeziel(referenz, fallPfad, false, &referenzZiel, &e)) return abgelehnt(e);
    if (vergleich && !referenzNeu && !pruefeEingabedatei(referenz, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall&) {
        const QByteArray xml = Kont_::berechnungXml();
        QString fehler;
        if (ziel.standardausgabe)
            out(QString::fromUtf8(xml));
        else if (!rsWriteFileAtomic(ziel.pfad, xml, &fehler))
            return abgelehnt(fehler);
        if (!vergleich) return int(Ok);
        QStringList unterschiede;
        QString ergebnis;
        if (referenzNeu) {
            // With nothing to compare against, nothing was compared: the
            // figures become the reference, and the run says so.
            if (!rsWriteFileAtomic(referenzZiel.pfad, xml, &fehler)) return abgelehnt(fehler);
            ergebnis = QStringLiteral("referenz_angelegt");
            err(QStringLiteral("Es gab noch keine Referenz „%1“; sie wurde aus den jetzigen Zahlen angelegt und es wurde nichts "
                               "verglichen. Prüfen Sie die Zahlen darin; spätere Läufe vergleichen mit ihr.\n")
                    .arg(referenz));
        } else {
            QFile r(referenz);
            if (!r.open(QIODevice::ReadOnly))
                return abgelehnt(QStringLiteral("Die Referenz „%1“ kann nicht gelesen werden.").arg(referenz));
            if (!Kont_::vergleicheBerechnung(r.readAll(), xml, QString(), &unterschiede, &fehler))
                return abgelehnt(fehler + QStringLiteral(" Geben Sie mit --vergleich eine mit „dalvo berechnung“ geschriebene Datei an."));
            ergebnis = unterschiede.isEmpty() ? QStringLiteral("gleich") : QStringLiteral("unterschiede");
        }
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("ergebnis")] = ergebnis;
            o[QStringLiteral("referenz")] = referenz;
            o[QStringLiteral("unterschiede")] = QJsonArray::fromStringList(unterschiede);
            out(jsonText(o));
        } else if (!unterschiede.isEmpty()) {
            err(QStringLiteral("%1 Unterschied(e) zur Referenz „%2“:\n").arg(unterschiede.size()).arg(referenz));
            for (const QString& u : unterschiede) err(QStringLiteral("  %1\n").arg(u));
        } else if (!referenzNeu) {
            err(QStringLiteral("Keine Unterschiede zur Referenz „%1“.\n").arg(referenz));
        }
        return ergebnis == QLatin1String("gleich") ? int(Ok) : int(Refused);
    });
}

QList<Befehl> statusBefehle() {
    return {
        {QStringLiteral("status"), {}, {}, {{{"--json"}}}, QStringLiteral("dalvo status FALL [--json]"), QStringLiteral("zeigt, wo die Buchhaltung steht"),
         QStringLiteral("Was man zuerst wissen will: Gewinn bisher, Salden von Kasse und Bank, Festschreibung und\n"
                        "Kassenabschluss, fällige regelmäßige Buchungen, offene Rechnungen und offene Bankumsätze,\n"
                        "jeweils mit dem Befehl, der weiterhilft. Die Zahlen sind die der Startseite (dalvo getkont).\n\n"
                        "Optionen:\n  --json   als JSON (steuerjahr, kontenplan, jahr_abgeschlossen, gewinn, einnahmen, ausgaben,\n"
                        "           geldkonten, kasse, bank, kassenkonto, kasse_abgeschlossen_bis, festgeschrieben_bis,\n"
                        "           regelbuchungen_faellig, offene_rechnungen, offene_rechnungen_summe, offene_bankumsaetze)"),
         cmdStatus},
        {QStringLiteral("getkont"), {}, {}, {{{"--formatiert"}}, {{"--json"}}},
         QStringLiteral("dalvo getkont FALL 'SCHLUESSELWORT[,PARAMETER…]' [--formatiert] [--json]"),
         QStringLiteral("beantwortet die Parserfunktion $GETKONT der Startseite"),
         QStringLiteral("Gibt zurück, was die Startseite für $GETKONT(…) einsetzt: ohne --formatiert den reinen Wert, mit\n"
                        "--formatiert den Text oder die HTML-Zeilen. Leerzeichen werden entfernt; Groß- und Kleinschreibung\n"
                        "zählt. Konten- und Kategorielisten bestehen aus Nummern und Bereichen VON..BIS.\n\n"
                        "Schlüsselwörter:\n"
                        "  KASSENKONTO, SPEZIALKONTO,KONTO, KONTONAME,KONTO, KONTENPLAN, STEUERJAHR, USTPFLICHT, EURUID\n"
                        "  JAHRESABSCHLUSS, JAHRESABSCHLUSSGRUND[,N], JAHR_ABGESCHLOSSEN, FESTGESCHRIEBEN_BIS,\n"
                        "  KASSEABGESCHLOSSENBIS[,KONTO]\n"
                        "  GEWINN|EINNAHMEN|AUSGABEN[,mitBezeichnung]\n"
                        "  SALDO,Konto,LISTE   SALDO,KontenByKategorie,LISTE   SALDO,Kategorie,LISTE\n"
                        "  EXISTS_IN_KATEGORIE,LISTE   ANZAHL_BANKKONTEN[,BANKING_ONLINE|BANKING_CSVDATEI|…]\n"
                        "  EUR,0|1[,MONATLICH,M|VIERTELJAEHRLICH,Q]   OFFENEBUCHUNGEN   OFFENERECHNUNGEN\n\n"
                        "Beispiel: dalvo getkont FALL 'SALDO,Konto,1200..1299'\n\n"
                        "Optionen:\n  --formatiert   wie auf der Startseite (Namen, HTML-Zeilen)\n"
                        "  --json         als JSON (argumente, status, ergebnis); status 1 Wert, 2 Text oder HTML,\n"
                        "                 3 Datum des Kassenabschlusses"),
         cmdGetkont},
        {QStringLiteral("berechnung"), {}, {}, {{{"--vergleich"}, "REFERENZ"}, {{"--ersetzen", "--force"}}, {{"--json"}}},
         QStringLiteral("dalvo berechnung FALL DATEI|- [--vergleich REFERENZ] [--ersetzen] [--json]"),
         QStringLiteral("schreibt die Berechnungsdatei (XML) und vergleicht sie mit einer Referenz"),
         QStringLiteral("Schreibt die Zahlen des Falls als XML in DATEI („-“: Standardausgabe): die Kennzahlen der\n"
                        "Umsatzsteuer-Voranmeldung des Jahres und die Einnahmenüberschussrechnung nach Einnahmen,\n"
                        "Ausgaben, Investitionsabzugsbeträgen und ihren Auflösungen, je Kategorie und Konto.\n\n"
                        "Mit --vergleich REFERENZ: vergleicht mit einer früher geschriebenen Datei (Programm, Version und\n"
                        "Datum zählen nicht) und nennt jeden Unterschied; Rückgabewert 1 bei Unterschieden. Gibt es\n"
                        "REFERENZ noch nicht, wird sie aus den jetzigen Zahlen angelegt, nichts verglichen und ebenfalls\n"
                        "1 zurückgegeben.\n\n"
                        "Optionen:\n  --ersetzen   eine vorhandene DATEI ersetzen\n"
                        "  --json       das Ergebnis des Vergleichs als JSON (ergebnis: gleich, unterschiede oder\n"
                        "               referenz_angelegt; referenz; unterschiede)"),
         cmdBerechnung},
    };
}

}  // namespace cli
