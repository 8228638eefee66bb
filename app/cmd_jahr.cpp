// The change of year on the command line: saldovortrag (the opening
// balances from the previous year's case, or one by hand) and jahreswechsel
// (the new year's case from the old one).
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
        return abgelehnt(QStringLiteral("Es wurde nichts gebucht. Mit --yes werden die Saldovortragsbuchungen erzeugt."));
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

int cmdSaldovortrag(const QStringList& args) {
    const QString n = QStringLiteral("saldovortrag");
    Args a(args, {QStringLiteral("--vorjahr"), QStringLiteral("--konto"), QStringLiteral("--betrag")}, {QStringLiteral("--nur-bericht")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const bool vonVorjahr = a.has(QStringLiteral("--vorjahr"));
    const bool vonHand = a.has(QStringLiteral("--konto")) || a.has(QStringLiteral("--betrag"));
    if (vonVorjahr == vonHand)
        return usageError(n, QStringLiteral("Entweder --vorjahr VORJAHRESFALL oder --konto KONTO --betrag BETRAG angeben."));
    QString e;
    unsigned long konto = 0;
    EuroType betrag = 0.0;
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
        if (!QFileInfo(vj).isFile())
            return usageError(n, QStringLiteral("Die Falldatei des Vorjahres „%1“ existiert nicht.").arg(vj));
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

int cmdJahreswechsel(const QStringList& args) {
    const QString n = QStringLiteral("jahreswechsel");
    Args a(args, {}, {});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei des alten Jahres und neue Falldatei angeben."));
    const QString alt = a.positional()[0], neu = a.positional()[1];
    if (!QFileInfo(alt).isFile())
        return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht oder ist keine Datei.").arg(alt));
    if (!QFileInfo(QFileInfo(neu).absolutePath()).isDir())
        return usageError(n, QStringLiteral("Das Verzeichnis der neuen Falldatei „%1“ existiert nicht.").arg(neu));
    if (QFileInfo::exists(neu) || QFileInfo(neu).isSymLink())
        return abgelehnt(QStringLiteral("Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben. Bitte geben Sie "
                                        "einen neuen Dateinamen an.")
                             .arg(neu));
    Fall fall;
    QString e;
    if (!fall.neu(&e)) return abgelehnt(e);
    Jahr::Jahreswechsel ergebnis;
    if (!Jahr::jahreswechsel(alt, fall.root(), &ergebnis, &e)) return abgelehnt(e);
    if (!fall.anlegen(neu, &e)) return abgelehnt(e);
    out(berichtText(ergebnis.bericht));
    out(QStringLiteral("Neuer Fall %1 für %2 aus %3 (%4) angelegt.\n").arg(neu).arg(ergebnis.neuesJahr).arg(alt).arg(ergebnis.altesJahr));
    out(QStringLiteral("Übernommen: %1 Saldovortragsbuchungen, %2 Anlagen, %3 Einträge Umlaufvermögen, %4 "
                       "Investitionsabzugsbeträge, %5 Einträge Kfz-Kosten, %6 Bankverbindungen.\n")
            .arg(ergebnis.saldovortraege)
            .arg(ergebnis.anlagen)
            .arg(ergebnis.umlaufvermoegen)
            .arg(ergebnis.investitionsabzug)
            .arg(ergebnis.kfz)
            .arg(ergebnis.bankverbindungen));
    return Ok;
}

}  // namespace cli
