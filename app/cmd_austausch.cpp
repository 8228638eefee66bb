// dalvo export-csv / import / generate: bookings in and out.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "kontbaum/austausch/austausch.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {
int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}
}  // namespace

int cmdExportCsv(const QStringList& args) {
    const QString n = QStringLiteral("export-csv");
    Args a(args, {QStringLiteral("--from"), QStringLiteral("--to")}, {QStringLiteral("--force")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Zieldatei angeben."));
    zDate von, bis;
    QString e;
    if (a.has(QStringLiteral("--from")) && !parseDate(a.value(QStringLiteral("--from")), &von, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--to")) && !parseDate(a.value(QStringLiteral("--to")), &bis, &e)) return usageError(n, e);
    if (von.isValid() && bis.isValid() && bis < von) return usageError(n, QStringLiteral("--to liegt vor --from."));
    const QString angabe = a.positional()[1];
    if (!QFileInfo::exists(a.positional().first()))
        return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(a.positional().first()));
    Ausgabeziel ziel;
    if (!pruefeAusgabeziel(angabe, a.positional().first(), a.has(QStringLiteral("--force")), &ziel, &e)) return abgelehnt(e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall&) {
        QString fehler;
        int anzahl = 0;
        if (ziel.standardausgabe) {
            anzahl = BuchungenCSV::schreiben(
                [](const QString& stueck) {
                    out(stueck);
                    return true;
                },
                true, QStringLiteral("eurVerbucht"), von, bis);
            if (anzahl == 0) return abgelehnt(QStringLiteral("Es wurden keine Buchungen für den Export gefunden."));
            return int(Ok);
        }
        anzahl = BuchungenCSV::inDatei(ziel.pfad, von, bis, &fehler);
        if (anzahl < 0) return abgelehnt(fehler);
        if (anzahl == 0)
            return abgelehnt(QStringLiteral("Es wurden keine Buchungen für den Export gefunden. Die Datei wurde nicht erzeugt."));
        err(anzahl == 1 ? QStringLiteral("Es wurde eine Buchung in der Datei %1 gespeichert.\n").arg(angabe)
                        : QStringLiteral("Es wurden %1 Buchungen in der Datei %2 gespeichert.\n").arg(anzahl).arg(angabe));
        return int(Ok);
    });
}

int cmdImport(const QStringList& args) {
    const QString n = QStringLiteral("import");
    Args a(args, {QStringLiteral("--encoding")}, {QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und CSV-Datei angeben."));
    BuchungenCSV::Zeichensatz zeichensatz = BuchungenCSV::Zeichensatz::Automatisch;
    if (a.has(QStringLiteral("--encoding")) && !BuchungenCSV::zeichensatzAusName(a.value(QStringLiteral("--encoding")), &zeichensatz))
        return usageError(n, QStringLiteral("Unbekannter Zeichensatz „%1“ (erlaubt: %2).")
                                 .arg(a.value(QStringLiteral("--encoding")), BuchungenCSV::zeichensatzNamen().join(QStringLiteral(", "))));
    QFile f(a.positional()[1]);
    if (!f.open(QIODevice::ReadOnly))
        return usageError(n, QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(a.positional()[1]));
    f.close();
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        // The bytes are read only now, with the case locked, so that what is
        // remembered as imported is exactly what was posted.
        if (!f.open(QIODevice::ReadOnly))
            return abgelehnt(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden. Es wurde nichts gebucht.").arg(a.positional()[1]));
        const BuchungenCSV::Importergebnis r = BuchungenCSV::importieren(f.readAll(), zeichensatz);
        f.close();
        switch (r.grund) {
        case BuchungenCSV::Importergebnis::Gebucht:
            out(QStringLiteral("%1\n").arg(r.anzahl));
            return int(Ok);
        case BuchungenCSV::Importergebnis::Unlesbar:
            return abgelehnt(r.fehler + QStringLiteral(" Den Zeichensatz wählt --encoding %1.")
                                            .arg(BuchungenCSV::zeichensatzNamen().join(QLatin1Char('|'))));
        case BuchungenCSV::Importergebnis::Verneint:
            return abgelehnt(r.fehler + QStringLiteral(" Mit --yes wird die Datei trotzdem gebucht."));
        default:
            return abgelehnt(r.fehler);
        }
    });
}

int cmdGenerate(const QStringList& args) {
    const QString n = QStringLiteral("generate");
    Args a(args, {QStringLiteral("--bookings"), QStringLiteral("--seed")}, {});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    int anzahl = 0, seed = 1;
    QString e;
    if (!a.has(QStringLiteral("--bookings"))) return usageError(n, QStringLiteral("--bookings fehlt."));
    if (!parseInt(a.value(QStringLiteral("--bookings")), 1, 10000000, &anzahl, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--seed")) && !parseInt(a.value(QStringLiteral("--seed")), 0, 2147483647, &seed, &e)) return usageError(n, e);

    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        const long gebucht = Testdaten::erzeugen(anzahl, seed, &e);
        if (gebucht < 0) return abgelehnt(e);
        out(QStringLiteral("%1\n").arg(gebucht));
        return int(Ok);
    });
}

}  // namespace cli
