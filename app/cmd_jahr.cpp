// The change of year on the command line: saldovortrag (the opening
// balances from the previous year's case, or one by hand) and jahreswechsel
// (the new year's case from the old one).
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/ui.h"
#include "kontbaum/jahr/jahr.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>

namespace cli {

namespace {

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

// The report as text: one row per account, the sections as headings.
QString berichtText(const QString& html) {
    QString t = html;
    t.replace(QStringLiteral("</tr>"), QStringLiteral("\n")).replace(QStringLiteral("</td><td"), QStringLiteral("\t</td><td"));
    QStringList zeilen;
    for (const QString& z : Ui::plainText(t).split(QLatin1Char('\n'))) {
        const QStringList f = z.split(QLatin1Char('\t'));
        if (f.join(QString()).trimmed().isEmpty()) continue;
        if (f.size() == 3)
            zeilen << QStringLiteral("  %1  %2 %3").arg(f[0].trimmed(), 6).arg(f[1].trimmed().leftJustified(40), f[2].trimmed().rightJustified(14));
        else
            zeilen << f.join(QString()).trimmed();
    }
    return zeilen.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// The previous year's import database lives only as long as the command.
struct Importdatenbank {
    KontoGlobal* kg;
    ~Importdatenbank() { kg->deleteImportDB(); }
};

int saldovortragVorjahr(Fall& fall, const QString& vorjahr, bool nurBericht) {
    KontoGlobal* kg = fall.kg();
    Jahr::Vorjahr vj;
    QString e;
    const Importdatenbank weg{kg};
    if (!Jahr::oeffneVorjahr(*kg, vorjahr, &vj, &e)) return abgelehnt(e);
    e = Jahr::pruefeVorjahr(vj, kg->getSteuerjahr());
    if (!e.isEmpty()) return abgelehnt(e);
    QString bericht;
    int anzahl = 0;
    const int r = fall.root().erzeugeSaldovortraege(&bericht, false, &anzahl);
    if (r == Jahr::SV_VORJAHR_UNLESBAR) return Refused;  // the module has said why
    out(berichtText(bericht));
    if (r != Jahr::SV_OK)
        return abgelehnt(QStringLiteral("Es können keine Vortragsbuchungen erzeugt werden."));
    fall.setGeaendert(false);
    if (nurBericht) return Ok;
    if (anzahl == 0) {
        err(QStringLiteral("Die Saldovorträge stimmen bereits mit dem Vorjahr überein; es wurde nichts gebucht.\n"));
        return Ok;
    }
    const QString frage = anzahl == 1 ? QStringLiteral("Soll die Saldovortragsbuchung jetzt erzeugt werden?")
                                      : QStringLiteral("Sollen die %1 Saldovortragsbuchungen jetzt erzeugt werden?").arg(anzahl);
    if (!GetUi().frage(frage, QStringLiteral("Frage")))
        return abgelehnt(QStringLiteral("Es wurde nichts gebucht. Mit --ja werden die Saldovortragsbuchungen erzeugt."));
    if (fall.root().erzeugeSaldovortraege(nullptr, true, &anzahl) != Jahr::SV_OK) return Refused;  // the module has said why
    if (kg->getDatenuebernahmeUID().isEmpty()) kg->setDatenuebernahmeUID(vj.einstellungen.eurUid);
    kg->setDatenuebernahmeFile(QFileInfo(vorjahr).absoluteFilePath());
    fall.setGeaendert(true);
    err(anzahl == 1 ? QStringLiteral("Es wurde eine Saldovortragsbuchung erzeugt.\n")
                    : QStringLiteral("Es wurden %1 Saldovortragsbuchungen erzeugt.\n").arg(anzahl));
    out(QStringLiteral("%1\n").arg(anzahl));
    return Ok;
}

int saldovortragKonto(Fall& fall, unsigned long konto, const EuroType& betrag) {
    QString e;
    const unsigned long nr = Jahr::setzeSaldovortrag(konto, betrag, &e);
    if (nr == 0 && !e.isEmpty()) return abgelehnt(e);
    if (nr == 0) {
        fall.setGeaendert(false);
        err(QStringLiteral("Der Saldovortrag von Konto %1 beträgt bereits %2; es wurde nichts gebucht.\n")
                .arg(konto)
                .arg(betrag.getText()));
        return Ok;
    }
    out(QStringLiteral("%1\n").arg(nr));
    return Ok;
}

}  // namespace

int cmdSaldovortrag(const Args& a) {
    const QString n = QStringLiteral("saldovortrag");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const bool vonVorjahr = a.has(QStringLiteral("--vorjahr"));
    const bool vonHand = a.has(QStringLiteral("--konto")) || a.has(QStringLiteral("--betrag"));
    if (vonVorjahr == vonHand)
        return usageError(n, QStringLiteral("Entweder --vorjahr VORJAHRESFALL oder --konto KONTO --betrag BETRAG angeben."));
    QString e;
    unsigned long konto = 0;
    EuroType betrag;
    if (vonHand) {
        if (!a.has(QStringLiteral("--konto")) || !a.has(QStringLiteral("--betrag")))
            return usageError(n, QStringLiteral("--konto und --betrag gehören zusammen."));
        if (a.has(QStringLiteral("--nur-bericht")))
            return usageError(n, QStringLiteral("--nur-bericht gilt nur mit --vorjahr."));
        bool ok = false;
        konto = a.value(QStringLiteral("--konto")).trimmed().toULong(&ok);
        if (!ok || konto == 0)
            return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto"))));
        if (!parseAmount(a.value(QStringLiteral("--betrag")), &betrag, &e)) return usageError(n, e);
    } else {
        const QString vj = a.value(QStringLiteral("--vorjahr"));
        if (!pruefeEingabedatei(vj, &e)) return usageError(n, QStringLiteral("--vorjahr: ") + e);
        if (QFileInfo(vj).canonicalFilePath() == QFileInfo(a.positional().first()).canonicalFilePath())
            return usageError(n, QStringLiteral("Der Vorjahresfall ist dieselbe Datei wie der Fall."));
    }
    const bool nurBericht = a.has(QStringLiteral("--nur-bericht"));
    return Fall::ausfuehren(n, a.positional().first(), nurBericht ? Fall::Zugriff::Lesen : Fall::Zugriff::Schreiben,
                            [&](Fall& fall) {
                                const QString jahr = Jahr::pruefeSteuerjahr(fall.kg()->getSteuerjahr());
                                if (!jahr.isEmpty()) return abgelehnt(jahr);
                                return vonVorjahr ? saldovortragVorjahr(fall, a.value(QStringLiteral("--vorjahr")), nurBericht)
                                                  : saldovortragKonto(fall, konto, betrag);
                            });
}

int cmdJahreswechsel(const Args& a) {
    const QString n = QStringLiteral("jahreswechsel");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei des alten Jahres und neue Falldatei angeben."));
    const QString alt = a.positional()[0], neu = a.positional()[1];
    QString e;
    if (!pruefeEingabedatei(alt, &e)) return usageError(n, e);
    const int frei = Fall::neueFalldateiPruefen(n, neu);
    if (frei >= 0) return frei;
    Fall fall;
    if (!fall.neu(&e)) return abgelehnt(e);
    Jahr::Jahreswechsel ergebnis;
    if (!Jahr::jahreswechsel(alt, fall.root(), &ergebnis, &e)) return abgelehnt(e);
    if (!fall.anlegen(neu, &e)) return abgelehnt(e);
    out(berichtText(ergebnis.bericht));
    out(QStringLiteral("Neuer Fall %1 für %2 aus %3 (%4) angelegt.\n").arg(neu).arg(ergebnis.neuesJahr).arg(alt).arg(ergebnis.altesJahr));
    out(QStringLiteral("Übernommen: %1 Saldovortragsbuchungen, %2 Anlagen, %3 Einträge Umlaufvermögen, %4 "
                       "Investitionsabzugsbeträge, %5 Einträge Kfz-Kosten, %6 Bankverbindungen, %7 offene Rechnungen, %8 offene "
                       "Eingangsrechnungen.\n")
            .arg(ergebnis.saldovortraege)
            .arg(ergebnis.anlagen)
            .arg(ergebnis.umlaufvermoegen)
            .arg(ergebnis.investitionsabzug)
            .arg(ergebnis.kfz)
            .arg(ergebnis.bankverbindungen)
            .arg(ergebnis.offeneRechnungen)
            .arg(ergebnis.offeneEingangsrechnungen));
    return Ok;
}

QList<Befehl> jahrBefehle() {
    return {
        {QStringLiteral("jahreswechsel"), {}, {}, {}, QStringLiteral("dalvo jahreswechsel ALTER_FALL NEUER_FALL [--ja|--nein]"),
         QStringLiteral("legt den Fall des neuen Jahres aus dem Vorjahr an"),
         QStringLiteral("Legt die neue Falldatei NEUER_FALL für das Jahr nach ALTER_FALL an: Einstellungen,\n"
                        "Kontenplan (mit den eigenen Konten, auf den Stand des neuen Jahres gebracht),\n"
                        "Umsatzsteuerpflicht, Kassenkonto, Bankverbindungen, Stammdaten der Fakturierung, noch nicht\n"
                        "bezahlte Rechnungen und Eingangsrechnungen (mit Lieferanten und Originaldatei), Stamm- und\n"
                        "Finanzamtsdaten, das Anlageverzeichnis (ohne Anlagen, die vor dem 1. Januar verkauft wurden),\n"
                        "das Umlaufvermögen, offene Investitionsabzugsbeträge, Kfz-Kosten und das Begleitschreiben;\n"
                        "zuletzt die Saldovorträge der Bestandskonten zum 1. Januar. ALTER_FALL wird nur gelesen, eine\n"
                        "vorhandene Datei NEUER_FALL nie überschrieben.\n\n"
                        "Geänderte Konten, die die Vorlage des neuen Jahres anders kennt, werden nur mit --ja angepasst."),
         cmdJahreswechsel},
        {QStringLiteral("saldovortrag"), {}, {}, {{{"--vorjahr"}, "VORJAHRESFALL"}, {{"--nur-bericht"}}, {{"--konto"}, "KONTO"}, {{"--betrag"}, "BETRAG"}},
         QStringLiteral("dalvo saldovortrag FALL --vorjahr VORJAHRESFALL [--nur-bericht] [--ja|--nein]\n"
                        "        dalvo saldovortrag FALL --konto KONTO --betrag BETRAG"),
         QStringLiteral("bucht die Saldovorträge aus dem Vorjahr oder einen von Hand"),
         QStringLiteral("Mit --vorjahr: vergleicht die Salden der Bestandskonten (Kasse, Bank, Forderungen, …) im Fall\n"
                        "des Vorjahres mit den vorhandenen Saldovortragsbuchungen, zeigt den Bericht und bucht nach der\n"
                        "Rückfrage (--ja) nur die Differenzen zum 1. Januar gegen das Saldovortragskonto 9000. Ein\n"
                        "zweiter Lauf bucht nichts; eine spätere Korrektur im Vorjahr bucht nur den Unterschied. Gibt\n"
                        "die Zahl der Buchungen aus. Der Vorjahresfall wird nur gelesen.\n\n"
                        "Mit --konto und --betrag: setzt den Saldovortrag eines Bestandskontos auf BETRAG (Soll positiv,\n"
                        "Haben mit Minus) und bucht die Differenz zum vorhandenen Saldovortrag; gibt die\n"
                        "Buchungsnummer aus.\n\n"
                        "Optionen:\n  --nur-bericht   nur den Bericht zeigen, nichts buchen und nichts ändern"),
         cmdSaldovortrag},
    };
}

}  // namespace cli
