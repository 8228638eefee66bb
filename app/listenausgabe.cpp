// The output forms of a list command (see listenausgabe.h).
#include "app/listenausgabe.h"

#include "app/fall.h"

#include "kontbaum/berichte/listenschreiber.h"

#include <QFileInfo>

#include <memory>

namespace cli {

namespace {
int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}
}  // namespace

QList<Option> listenOptionen() { return {{{"--csv"}}, {{"--json"}}, {{"--pdf"}, "DATEI"}, {{"--ersetzen", "--force"}}}; }

int pruefeListenausgabe(const QString& befehl, const Args& a, Ausgabeziel* ziel) {
    int formen = 0;
    for (const char* f : {"--csv", "--json", "--pdf"}) formen += a.has(QLatin1String(f)) ? 1 : 0;
    if (formen > 1) return usageError(befehl, QStringLiteral("--csv, --json und --pdf schließen einander aus; bitte nur eines angeben."));
    if (!a.has(QStringLiteral("--pdf"))) return Ok;
    const QString fallPfad = a.positional().first();
    if (!QFileInfo::exists(fallPfad)) return usageError(befehl, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
    QString e;
    if (!pruefeAusgabeziel(a.value(QStringLiteral("--pdf")), fallPfad, a.has(QStringLiteral("--ersetzen")), ziel, &e)) return abgelehnt(e);
    return Ok;
}

int gibListeAus(const Args& a, Fall& fall, const Ausgabeziel& ziel, const Listenform& form,
                const std::function<bool(BerichtListe*, QString*)>& fuellen) {
    BerichtListe l;
    QString e;
    if (a.has(QStringLiteral("--pdf"))) {
        const QString firma = fall.betriebsname(a.positional().first());
        const bool ok = schreibeAusgabe(
            ziel,
            [&](QIODevice* datei, QString* fehler) {
                PdfSchreiber w(datei, firma);
                l.schreibeNach(&w);
                return fuellen(&l, fehler) && w.beenden(l, fehler);
            },
            &e);
        if (!ok) return abgelehnt(e);
        if (!ziel.standardausgabe)
            err(QStringLiteral("Die Liste „%1“ wurde in der Datei %2 gespeichert.\n").arg(l.titel, a.value(QStringLiteral("--pdf"))));
        return Ok;
    }
    const ListenZiel standardausgabe = [](const QByteArray& b) { return outBytes(b); };
    const bool seite = !a.has(QStringLiteral("--json")) && !a.has(QStringLiteral("--csv"));
    std::unique_ptr<ListenSchreiber> w;
    if (a.has(QStringLiteral("--json")))
        w = form.jsonNurZeilen ? JsonSchreiber::nurZeilen(standardausgabe) : std::make_unique<JsonSchreiber>(standardausgabe, JsonText::Felder());
    else if (a.has(QStringLiteral("--csv")))
        w = std::make_unique<CsvSchreiber>(standardausgabe, !form.csvOhneKopf);
    else if (form.leer.isEmpty())
        w = std::make_unique<TextSchreiber>(standardausgabe);
    // The page of a list that may be empty waits for its first row: an
    // empty one is a sentence, not a table head.
    struct Leer : BerichtSenke {
        ListenZiel ziel;
        std::unique_ptr<ListenSchreiber> w;
        void anfang(const BerichtListe&) override {}
        void zeile(const BerichtListe& k, const BerichtZeile& z) override {
            if (!w) w = std::make_unique<TextSchreiber>(ziel);
            w->zeile(k, z);
        }
    } leer;
    leer.ziel = standardausgabe;
    l.schreibeNach(w ? static_cast<BerichtSenke*>(w.get()) : &leer);
    if (!fuellen(&l, &e)) return abgelehnt(e);
    if (!w && !leer.w)
        return outBytes((form.leer + QLatin1Char('\n')).toUtf8())
                   ? int(Ok)
                   : abgelehnt(QStringLiteral("Die Ausgabe konnte nicht geschrieben werden. Bitte prüfen Sie das Ziel der Standardausgabe."));
    if (!(w ? w.get() : leer.w.get())->beenden(l, &e)) return abgelehnt(e);
    if (seite && form.leer.isEmpty() && l.anzahl() == 0) err(QStringLiteral("Hinweis: Die Liste ist leer.\n"));
    return Ok;
}

}  // namespace cli
