// The command table and the commands that need no case file.
#include "app/cli.h"

#include "app/befehle.h"
#include "app/fall.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace cli {
namespace {

// The overview groups the commands by what a user does with them, in the
// order of a year's work; a command missing here shows under "Weitere".
struct Befehlsgruppe {
    QString titel;
    QStringList namen;
};
const QList<Befehlsgruppe>& befehlsgruppen() {
    static const QList<Befehlsgruppe> g = {
        {QStringLiteral("Einrichten"),
         {QStringLiteral("new"), QStringLiteral("info"), QStringLiteral("einstellungen"), QStringLiteral("accounts"), QStringLiteral("konto"),
          QStringLiteral("keys"), QStringLiteral("schluessel"), QStringLiteral("kasse"), QStringLiteral("firma"), QStringLiteral("kunde"),
          QStringLiteral("artikel"), QStringLiteral("vorlage"), QStringLiteral("jahreswechsel"), QStringLiteral("saldovortrag")}},
        {QStringLiteral("Buchen"),
         {QStringLiteral("book"), QStringLiteral("regelbuchungen"), QStringLiteral("bank"), QStringLiteral("rechnung"),
          QStringLiteral("angebot"), QStringLiteral("auftrag"), QStringLiteral("lieferschein"), QStringLiteral("mahnung"),
          QStringLiteral("erinnerungen"), QStringLiteral("kassenabschluss"), QStringLiteral("cancel"), QStringLiteral("delete"),
          QStringLiteral("lock")}},
        {QStringLiteral("Prüfen"),
         {QStringLiteral("status"), QStringLiteral("list"), QStringLiteral("verify"), QStringLiteral("getkont"), QStringLiteral("berechnung")}},
        {QStringLiteral("Auswerten"),
         {QStringLiteral("ustva"), QStringLiteral("euer"), QStringLiteral("zm"), QStringLiteral("saldenliste"), QStringLiteral("bericht"),
          QStringLiteral("kassenbuch")}},
        {QStringLiteral("Austauschen"),
         {QStringLiteral("import"), QStringLiteral("export-csv"), QStringLiteral("kasse-export"), QStringLiteral("kasse-import"),
          QStringLiteral("kassenbuchungen-export"), QStringLiteral("kassenbuchungen-import"), QStringLiteral("kasse-freigeben")}},
        {QStringLiteral("Programm"),
         {QStringLiteral("help"), QStringLiteral("version"), QStringLiteral("dbinfo"), QStringLiteral("generate")}},
        {QStringLiteral("Weitere"), {}},
    };
    return g;
}
const Befehlsgruppe* gruppeVon(const QString& name) {
    for (const Befehlsgruppe& g : befehlsgruppen())
        if (g.namen.contains(name)) return &g;
    return &befehlsgruppen().last();
}

int cmdHelp(const QStringList& args);

int cmdVersion(const QStringList& args) {
    Args a(args, {}, {});
    if (!a.ok()) return usageError(QStringLiteral("version"), a.error());
    long schema = 0;
    if (DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection)) schema = GetDBVersion(ref);
    out(QStringLiteral("dalvo %1 (Buchhaltung dalvo16, Datenbankversion %2)\n")
            .arg(QStringLiteral(DALVO_VERSION))
            .arg(schema ? QString::number(schema) : QStringLiteral("unbekannt")));
    return Ok;
}

// Creates the working database of slot 0 from the template and shows what a
// new case starts with: schema version and case properties.
int cmdDbinfo(const QStringList& args) {
    Args a(args, {QStringLiteral("--year")}, {});
    if (!a.ok()) return usageError(QStringLiteral("dbinfo"), a.error());
    if (!a.positional().isEmpty()) return usageError(QStringLiteral("dbinfo"), QStringLiteral("Zu viele Argumente."));
    int year = 2016;
    QString e;
    if (a.has(QStringLiteral("--year")) && !parseInt(a.value(QStringLiteral("--year")), 2000, 2100, &year, &e))
        return usageError(QStringLiteral("dbinfo"), e);

    QTemporaryDir home;
    if (!home.isValid()) {
        err(QStringLiteral("Fehler: Es konnte kein Arbeitsverzeichnis angelegt werden.\n"));
        return Refused;
    }
    GlobalInst::reset(home.path());
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    DBConnection* con = kg->GetDBConnect_Ptr();
    if (!con) {
        err(QStringLiteral("Fehler: Die Arbeitsdatenbank konnte nicht angelegt werden.\n"));
        GlobalInst::reset();
        return Refused;
    }
    kg->setSteuerjahr(year);
    kg->setKontenplanName(QStringLiteral("SKR03"));

    out(QStringLiteral("Arbeitsdatenbank:  %1\n").arg(kg->Getmdb_name()));
    out(QStringLiteral("Datenbankversion:  %1\n").arg(GetDBVersion(con)));
    out(QStringLiteral("Falleigenschaften:\n"));
    for (const auto& e : KontoGlobal::getFalleigenschaften(con)) out(QStringLiteral("  %1 = %2\n").arg(e.first, e.second));
    out(QStringLiteral("Tabellen:          %1\n").arg(KontoGlobal::getAnzahlTabellen(con)));
    out(QStringLiteral("Jahresabschluss:   %1\n").arg(kg->getJahresabschluss()));
    GlobalInst::reset();
    return Ok;
}

const QStringList kKontenrahmen = {QStringLiteral("SKR03"), QStringLiteral("SKR04"), QStringLiteral("EKR03"),
                                   QStringLiteral("SKR80"), QStringLiteral("SKR81")};

int cmdNew(const QStringList& args) {
    const QString n = QStringLiteral("new");
    Args a(args, {QStringLiteral("--year"), QStringLiteral("--chart")},
           {QStringLiteral("--no-vat"), QStringLiteral("--no-examples")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const QString path = a.positional().first();
    int year = 2016;
    QString e;
    if (!a.has(QStringLiteral("--year"))) return usageError(n, QStringLiteral("--year fehlt."));
    if (!parseInt(a.value(QStringLiteral("--year")), 2000, 2100, &year, &e)) return usageError(n, e);
    int vonJahr = 0, bisJahr = 0;
    if (!KontoGlobal::unterstuetzteSteuerjahre(&vonJahr, &bisJahr)) {
        err(QStringLiteral("Fehler: Die Referenzdatenbank des Programms fehlt; ein Fall kann nicht angelegt werden.\n"));
        return Refused;
    }
    if (year < vonJahr || year > bisJahr)
        return usageError(n, QStringLiteral("Das Steuerjahr %1 wird nicht unterstützt: dalvo16 kennt Kontenrahmen und "
                                            "Formulare der Steuerjahre %2 bis %3.")
                                 .arg(year)
                                 .arg(vonJahr)
                                 .arg(bisJahr));
    const QString chart = a.has(QStringLiteral("--chart")) ? a.value(QStringLiteral("--chart")).toUpper() : QStringLiteral("SKR03");
    if (!kKontenrahmen.contains(chart))
        return usageError(n, QStringLiteral("Unbekannter Kontenrahmen „%1“ (erlaubt: %2).")
                                 .arg(a.value(QStringLiteral("--chart")), kKontenrahmen.join(QStringLiteral(", "))));
    if (QFileInfo::exists(path)) {
        err(QStringLiteral("Fehler: Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben.\n").arg(path));
        return Refused;
    }
    Fall fall;
    if (!fall.neu(&e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    KontoGlobal* kg = fall.kg();
    kg->setSteuerjahr(year);
    kg->setKontenplanName(chart);
    kg->setUstPflicht(!a.has(QStringLiteral("--no-vat")));
    switch (kg->selectKontenplan(QString::number(year), chart, QString(), false, a.has(QStringLiteral("--no-examples")) ? 0 : 1)) {
    case 0:
        break;
    case 1:
        err(QStringLiteral("Fehler: Die Referenzdatenbank des Programms fehlt; der Kontenplan kann nicht erstellt werden.\n"));
        return Refused;
    default:
        err(QStringLiteral("Fehler: Der Kontenplan %1 konnte nicht erstellt werden.\n").arg(chart));
        return Refused;
    }
    kg->abgleichKontoplanSteuerschluesselAktiv();
    kg->setKassenkonto(int(kg->getSpezialKonto(1000)));
    fall.root().fillBlackList();
    if (!fall.anlegen(path, &e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    return Ok;
}

int cmdInfo(const QStringList& args) {
    const QString n = QStringLiteral("info");
    Args a(args, {}, {QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        DBConnection* con = kg->GetDBConnect_Ptr();
        const zDate fest = KontoGlobal::getFestgeschriebenBis();
        const int buchungen = int(Buchungsliste::anzahlGueltige(con));
        const int konten = Kontoeditor::anzahlAktiveKonten();
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("steuerjahr")] = kg->getSteuerjahr();
            o[QStringLiteral("kontenplan")] = kg->getKontenplanName();
            o[QStringLiteral("ustpflicht")] = kg->getUstPflicht();
            o[QStringLiteral("kassenkonto")] = kg->getKassenkonto();
            o[QStringLiteral("festgeschrieben_bis")] = fest.isValid() ? QJsonValue(fest.getText()) : QJsonValue();
            o[QStringLiteral("buchungen")] = buchungen;
            o[QStringLiteral("konten_aktiv")] = konten;
            out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
            return Ok;
        }
        out(QStringLiteral("Steuerjahr:           %1\n").arg(kg->getSteuerjahr()));
        out(QStringLiteral("Kontenrahmen:         %1\n").arg(kg->getKontenplanName()));
        out(QStringLiteral("Umsatzsteuerpflicht:  %1\n").arg(kg->getUstPflicht() ? QStringLiteral("ja") : QStringLiteral("nein")));
        out(QStringLiteral("Kassenkonto:          %1\n").arg(kg->getKassenkonto()));
        out(QStringLiteral("Festgeschrieben bis:  %1\n").arg(fest.isValid() ? fest.getText() : QStringLiteral("–")));
        out(QStringLiteral("Buchungen:            %1\n").arg(buchungen));
        out(QStringLiteral("Aktive Konten:        %1\n").arg(konten));
        return Ok;
    });
}

// Offers, order confirmations and delivery notes share the invoice's subcommands.
QString belegAufruf(const char* befehl, const char* ziele) {
    return QStringLiteral("dalvo %1 FALL neu --kunde KUNDE [--datum D] [--leistung VON..BIS] [--versand NETTO --versand-satz S] [--nummer NR] "
                          "[--erinnerung D] | position NR (--artikel A [--menge M] | --text T (--preis P | --bruttopreis P) --schluessel K "
                          "--konto N [--menge M]) [--rabatt PROZENT] | list [--json] | show NR [--json] | pdf NR DATEI [--force] | "
                          "uebernehmen NR --als %2 [--datum D] [--leistung VON..BIS] | loeschen NR")
        .arg(QLatin1String(befehl), QLatin1String(ziele));
}
QString belegHilfe(const char* art) {
    return QStringLiteral("neu legt %1 an und gibt die Nummer aus (eigener Nummernkreis des Falls); position fügt eine\n"
                          "Position hinzu, show und list zeigen Positionen und Summen je Steuerschlüssel.\n"
                          "uebernehmen erstellt aus dem Beleg den nächsten der Kette Angebot → Auftragsbestätigung → Lieferschein →\n"
                          "Rechnung (Kunde, Positionen und Versandkosten) und gibt dessen Nummer aus; wurde schon einer dieser Art\n"
                          "daraus erstellt, fragt es nach (--yes). Eine Rechnung bucht, druckt und mahnt dann „dalvo rechnung“.\n"
                          "pdf druckt den Beleg auf A4 („-“: Standardausgabe), ohne E-Rechnung; ein Lieferschein zeigt nur Mengen.\n"
                          "loeschen löscht den Beleg, solange kein späterer Beleg aus ihm erstellt wurde.")
        .arg(QString::fromUtf8(art));
}

QList<Command> buildCommands() {
    return {
        {QStringLiteral("help"), QStringLiteral("dalvo help [BEFEHL]"), QStringLiteral("zeigt diese Übersicht oder die Hilfe eines Befehls"),
         QStringLiteral("Ohne Argument: die Liste aller Befehle. Mit einem Befehl: dessen ausführliche Hilfe\n"
                        "(gleichbedeutend mit „dalvo BEFEHL --help“)."),
         cmdHelp},
        {QStringLiteral("version"), QStringLiteral("dalvo version"), QStringLiteral("zeigt die Programm- und Datenbankversion"),
         QStringLiteral("Gibt die Version des Programms und die Version des Datenbankschemas der\n"
                        "Referenzdatenbank aus."),
         cmdVersion},
        {QStringLiteral("dbinfo"), QStringLiteral("dalvo dbinfo [--year JAHR]"),
         QStringLiteral("legt eine leere Arbeitsdatenbank an und zeigt Version und Falleigenschaften"),
         QStringLiteral("Legt in einem temporären Verzeichnis die Arbeitsdatenbank eines neuen Falls aus der\n"
                        "leeren Vorlage an, setzt Steuerjahr (Vorgabe 2016) und Kontenrahmen SKR03 und zeigt\n"
                        "Datenbankversion und Falleigenschaften. Nichts wird dauerhaft gespeichert.\n\n"
                        "Optionen:\n  --year JAHR   Steuerjahr des Falls (2000..2100)"),
         cmdDbinfo},
        {QStringLiteral("new"), QStringLiteral("dalvo new FALL --year JAHR [--chart SKR03|SKR04|EKR03|SKR80|SKR81] [--no-vat] [--no-examples]"),
         QStringLiteral("legt eine neue Falldatei an"),
         QStringLiteral("Legt die Falldatei FALL für das Steuerjahr JAHR an. Eine vorhandene Datei wird nie\n"
                        "überschrieben.\n\nOptionen:\n  --year JAHR    Steuerjahr (2000..2100)\n"
                        "  --chart NAME   Kontenrahmen (Vorgabe SKR03)\n"
                        "  --no-vat       der Fall ist nicht umsatzsteuerpflichtig\n"
                        "  --no-examples  keine Beispielbuchungen"),
         cmdNew},
        {QStringLiteral("info"), QStringLiteral("dalvo info FALL [--json]"), QStringLiteral("zeigt die Einstellungen eines Falls"),
         QStringLiteral("Zeigt Steuerjahr, Kontenrahmen, Umsatzsteuerpflicht, Kassenkonto, Festschreibungsdatum,\n"
                        "die Zahl der gültigen Buchungen und der aktiven Konten.\n\n"
                        "Optionen:\n  --json   als JSON (Schlüssel steuerjahr, kontenplan, ustpflicht, kassenkonto,\n"
                        "           festgeschrieben_bis, buchungen, konten_aktiv)"),
         cmdInfo},
        {QStringLiteral("accounts"), QStringLiteral("dalvo accounts FALL [--all] [--search TEXT] [--json]"),
         QStringLiteral("zeigt den Kontenplan"),
         QStringLiteral("Zeigt die aktiven Konten des Falls mit Nummer, Bezeichnung, Kategorie und\n"
                        "Steuerschlüssel.\n\nOptionen:\n  --all          auch die inaktiven Konten\n"
                        "  --search TEXT  nur die aktiven Konten, deren Nummer TEXT ist oder deren Bezeichnung\n"
                        "                 TEXT enthält\n"
                        "  --json         als JSON-Liste (nummer, bezeichnung, kategorie, steuerschluessel, aktiv)"),
         cmdAccounts},
        {QStringLiteral("keys"), QStringLiteral("dalvo keys FALL [--json]"), QStringLiteral("zeigt die Steuerschlüssel"),
         QStringLiteral("Zeigt die Steuerschlüssel des Falls mit Steuersatz, Steuerart (U Umsatzsteuer,\n"
                        "V Vorsteuer, B beide) und ob sie zur Auswahl angeboten werden.\n\n"
                        "Optionen:\n  --json   als JSON-Liste (steuerschluessel, bezeichnung, steuersatz, steuerart, aktiv)"),
         cmdKeys},
        {QStringLiteral("konto"),
         QStringLiteral("dalvo konto FALL add NR --bezeichnung T --kategorie K [--kurz T] [--steuerschluessel S [--fest|--vorbelegung]] "
                        "[--wie KONTO] | edit NR [--bezeichnung T] [--kurz T] [--kategorie K] [--steuerschluessel S] [--fest|--vorbelegung] | "
                        "deaktivieren NR… | aktivieren NR… [--yes|--no] [--json]"),
         QStringLiteral("legt Konten an, ändert, deaktiviert oder aktiviert sie"),
         QStringLiteral("Bearbeitet den Kontenplan nach seinen Regeln: Kontonummer 1 bis 9999 und neu, ein Steuerschlüssel,\n"
                        "der zur Kategorie passt (kein Vorsteuerschlüssel auf Einnahmekonten …). Liegt die Nummer außerhalb der\n"
                        "Kontenklassen ihrer Kategorie, wird gefragt (--yes speichert trotzdem).\n"
                        "add übernimmt die Zuordnung zu den Formularen (UStVA, USt, GewSt, EÜR) vom ersten Konto der Kategorie\n"
                        "oder von --wie KONTO. --fest: der Steuerschlüssel gilt für jede Buchung auf dem Konto;\n"
                        "--vorbelegung: er wird nur vorgeschlagen.\n"
                        "deaktivieren lehnt Konten ab, die Buchungen, Vorlagen, Bankverbindungen, Steuerschlüssel verwenden,\n"
                        "Systemkonten und das Kassenkonto; es ändert dann keines der genannten Konten.\n\n"
                        "Ausgabe: die Kontonummern; mit --json die Konten (nummer, bezeichnung, kategorie,\n"
                        "steuerschluessel, steuerschluessel_fest, aktiv)."),
         cmdKonto},
        {QStringLiteral("schluessel"), QStringLiteral("dalvo schluessel FALL aktivieren|deaktivieren SCHLÜSSEL… [--json]"),
         QStringLiteral("bietet Steuerschlüssel zur Auswahl an oder nicht mehr"),
         QStringLiteral("Aktiviert oder deaktiviert Steuerschlüssel. Ein Schlüssel, den Buchungen, Vorlagen, Artikel, Belege\n"
                        "oder ein aktives Konto mit festem Schlüssel verwenden, bleibt aktiv; ebenso die Schlüssel, die es in\n"
                        "jedem Fall geben muss. Wird einer abgelehnt, ändert sich keiner.\n\n"
                        "Ausgabe: die Schlüssel; mit --json die Schlüssel (steuerschluessel, bezeichnung, aktiv)."),
         cmdSchluessel},
        {QStringLiteral("book"),
         QStringLiteral("dalvo book FALL --kind ART --date TT.MM.JJJJ --amount BETRAG (--account KONTO --counter KONTO | "
                        "--soll KONTO --haben KONTO) [--key STS] [--net] [--text TEXT] [--voucher BELEG] [--ustid USTID --zm 1..3]"),
         QStringLiteral("bucht eine Buchung"),
         QStringLiteral("Bucht eine Buchung und gibt die neue Buchungsnummer aus, sobald sie in der Falldatei steht.\n"
                        "Steuerzeilen entstehen aus dem Steuerschlüssel des Gegenkontos.\n\n"
                        "Die Konten gibt man auf eine von zwei Arten an:\n"
                        "  --account KONTO --counter KONTO   wie im Buchungsdialog: --account ist die Geldseite\n"
                        "                  (Dialogzeile 1), --counter das Gegenkonto (Dialogzeile 2). Bei --kind frei\n"
                        "                  steht --account im Soll und --counter im Haben.\n"
                        "  --soll KONTO --haben KONTO        schlicht nach Soll und Haben, für jede Buchungsart;\n"
                        "                  welches davon die Geldseite ist, folgt aus der Buchungsart.\n\n"
                        "Buchungsarten: 1 einnahme, 2 ausgabe, 3 frei, 4 erstattung (Rückzahlung einer Einnahme),\n"
                        "5 gutschrift (Rückzahlung einer Ausgabe), 6 saldovortrag.\n\n"
                        "Optionen:\n  --key STS       Steuerschlüssel; ohne Angabe der des Gegenkontos (in einem Fall ohne\n"
                        "                  Umsatzsteuerpflicht gilt er nicht: dort wird brutto gebucht)\n"
                        "  --net           der Betrag ist netto; die Geldseite erhält den Bruttobetrag\n"
                        "  --ustid, --zm   USt-IdNr. des Abnehmers aus einem anderen EU-Staat und Art für die\n"
                        "                  Zusammenfassende Meldung (1 sonstige Leistung, 2 Dreiecksgeschäft,\n"
                        "                  3 Lieferung); nur bei Erlösen, die die Meldung erfasst, und passend zum\n"
                        "                  Gegenkonto (z. B. SKR03 8125: 3, 8130: 2, 8336: 1)\n"
                        "  --yes / --no    Antwort auf die Frage bei einem Datum im festgeschriebenen Zeitraum"),
         cmdBook},
        {QStringLiteral("list"), QStringLiteral("dalvo list FALL [--json] [--month M | --quarter Q | --year | --from D --to D]"),
         QStringLiteral("zeigt die Buchungen"),
         QStringLiteral("Zeigt die Buchungen des Zeitraums (Vorgabe: das Steuerjahr), stornierte und Stornobuchungen\n"
                        "eingeschlossen.\n\nOptionen:\n  --json   als JSON-Liste mit den Buchungszeilen"),
         cmdList},
        {QStringLiteral("cancel"), QStringLiteral("dalvo cancel FALL NR... [--yes|--no]"), QStringLiteral("storniert Buchungen"),
         QStringLiteral("Storniert die Buchungen durch Gegenbuchungen mit demselben Belegdatum und gibt die\n"
                        "Nummern der Stornobuchungen aus, eine je Zeile. Alles oder nichts. Liegt eine\n"
                        "Stornobuchung im festgeschriebenen Zeitraum, wird vorher gefragt (--yes/--no)."),
         cmdCancel},
        {QStringLiteral("delete"), QStringLiteral("dalvo delete FALL NR... [--yes|--no]"), QStringLiteral("löscht Buchungen"),
         QStringLiteral("Löscht die Buchungen. Festgeschriebene Buchungen werden nie gelöscht: nach Rückfrage\n"
                        "werden sie storniert, und die Nummern der Stornobuchungen werden ausgegeben."),
         cmdDelete},
        {QStringLiteral("lock"), QStringLiteral("dalvo lock FALL TT.MM.JJJJ"), QStringLiteral("schreibt Buchungen fest"),
         QStringLiteral("Schreibt alle Buchungen bis zum Datum fest. Das Datum kann nur vorwärts verlegt werden und\n"
                        "liegt im Steuerjahr."),
         cmdLock},
        {QStringLiteral("verify"), QStringLiteral("dalvo verify FALL"), QStringLiteral("prüft alle Buchungen"),
         QStringLiteral("Prüft jede Buchung auf innere Stimmigkeit (Seiten, Steuerzeilen, Konten, Splittbuchungen,\n"
                        "Summen) und gibt die Befunde aus. Rückgabewert 1, wenn es Befunde gibt."),
         cmdVerify},
        {QStringLiteral("vorlage"),
         QStringLiteral("dalvo vorlage FALL add --kind ART --date TT.MM.JJJJ --amount BETRAG (--account KONTO --counter KONTO | "
                        "--soll KONTO --haben KONTO) [--key STS] [--net] [--text TEXT] [--voucher BELEG] [--intervall INTERVALL] "
                        "[--zahlungsdatum TT.MM.JJJJ] | add --aus-buchung NR --intervall INTERVALL | list [--json] [--regelmaessig] | "
                        "loeschen NR"),
         QStringLiteral("Buchungsvorlagen und regelmäßige Buchungen anlegen, zeigen, löschen"),
         QStringLiteral("add legt eine Buchungsvorlage mit denselben Angaben wie „dalvo book“ an und gibt ihre Nummer aus.\n"
                        "Mit --intervall wird sie eine regelmäßige Buchung (Miete, Versicherung, Leasing): --date ist das\n"
                        "Belegdatum, --zahlungsdatum das Zahlungsdatum (Vorgabe: --date) der ersten Buchung; beide dürfen vor dem\n"
                        "Steuerjahr liegen. Intervalle: wöchentlich, 14-tägig, vierwöchentlich, monatlich, zweimonatlich,\n"
                        "vierteljährlich, halbjährlich, jährlich.\n"
                        "add --aus-buchung NR macht aus einer gebuchten Buchung eine regelmäßige Vorlage; die Buchung zählt als\n"
                        "ihre erste Ausführung.\n"
                        "list zeigt die Vorlagen (--regelmaessig nur die regelmäßigen). loeschen löscht eine Vorlage; schon\n"
                        "erzeugte Buchungen bleiben. Fällige regelmäßige Buchungen bucht „dalvo regelbuchungen“."),
         cmdVorlage},
        {QStringLiteral("regelbuchungen"), QStringLiteral("dalvo regelbuchungen FALL [--json] [--stichtag TT.MM.JJJJ] | --buchen NR…|--alle [--stichtag TT.MM.JJJJ] [--yes|--no]"),
         QStringLiteral("zeigt und bucht fällige regelmäßige Buchungen"),
         QStringLiteral("Zeigt die Ausführungen der regelmäßigen Vorlagen, die bis heute (oder bis --stichtag, nicht später\n"
                        "als heute) fällig und noch nicht gebucht sind, nummeriert ab 1. Eine Zahlung zwischen dem 22.12. des\n"
                        "Vorjahres und dem 10.01. des Folgejahres zählt zum Steuerjahr, wenn ihr Belegdatum darin liegt. Wird\n"
                        "eine erzeugte Buchung storniert, ist sie wieder fällig.\n"
                        "--buchen NR… bucht die genannten Nummern der Liste, --alle alle, in einer Transaktion: scheitert eine,\n"
                        "wird keine gebucht. Die Nummern der neuen Buchungen werden ausgegeben. Liegen Buchungen im\n"
                        "festgeschriebenen Zeitraum oder würde eine Kasse negativ, wird vorher gefragt (--yes/--no); eine\n"
                        "abgeschlossene Kasse lehnt ab."),
         cmdRegelbuchungen},
        {QStringLiteral("export-csv"), QStringLiteral("dalvo export-csv FALL DATEI|- [--from TT.MM.JJJJ --to TT.MM.JJJJ] [--force]"),
         QStringLiteral("exportiert die Buchungen als CSV"),
         QStringLiteral("Schreibt die gültigen Buchungen (ohne stornierte und Stornobuchungen) als CSV mit\n"
                        "Semikolon, Bruttobeträgen in Soll oder Haben und Steuerschlüssel in DATEI („-“: auf die\n"
                        "Standardausgabe). Die Datei entsteht erst, wenn sie vollständig ist.\n\n"
                        "Eine vorhandene Datei wird nur mit --force ersetzt; eine Falldatei, ein Verzeichnis oder\n"
                        "Gerät nie. Ist DATEI ein symbolischer Verweis, wird sein Ziel geschrieben.\n\n"
                        "Optionen:\n  --from/--to TT.MM.JJJJ   nur Buchungen mit Belegdatum in diesem Zeitraum\n"
                        "  --force                 eine vorhandene Datei ersetzen"),
         cmdExportCsv},
        {QStringLiteral("import"), QStringLiteral("dalvo import FALL DATEI [--encoding utf-8|windows-1252|iso-8859-1] [--yes|--no]"),
         QStringLiteral("bucht Buchungen aus einer CSV-Datei"),
         QStringLiteral("Bucht die Buchungen einer CSV-Datei im Exportformat (Kopfzeile nötig, zusätzliche Spalte\n"
                        "„Buchungsart“ 1..6 erlaubt; ohne sie folgt die Buchungsart aus den Konten, und was weder\n"
                        "Einnahme noch Ausgabe ist, wird eine freie Buchung). Gibt die Zahl der Buchungen aus.\n\n"
                        "Jede Zeile wird geprüft wie eine Buchung mit „dalvo book“: Konten vorhanden, aktiv und\n"
                        "passend zur Buchungsart auf ihrer Seite, fest eingestellter Steuerschlüssel des Kontos,\n"
                        "Steuerschlüssel vorhanden und für das Konto erlaubt, Belegdatum im Steuerjahr, Betrag mit\n"
                        "höchstens zwei Nachkommastellen bis 999.999.999,99; eine Zeile hat so viele Felder wie die\n"
                        "Kopfzeile. Alles oder nichts: bei der ersten fehlerhaften Zeile wird nichts gebucht und die\n"
                        "Zeile mit dem Grund genannt.\n\n"
                        "Rückfragen (einmal je Import, beantwortet mit --yes oder --no; ohne Antwort und ohne\n"
                        "Terminal gilt Nein, und es wird nichts gebucht):\n"
                        "  - Buchungen am oder vor dem Festschreibungsdatum: sie werden gebucht und sofort\n"
                        "    festgeschrieben.\n"
                        "  - Dieselbe Datei (dieselben Bytes, erkannt an ihrer SHA-256-Prüfsumme, vermerkt in den\n"
                        "    Falleigenschaften) wurde schon einmal importiert.\n\n"
                        "Optionen:\n"
                        "  --encoding ZS   Zeichensatz der Datei: utf-8, windows-1252 oder iso-8859-1. Ohne Angabe\n"
                        "                  wird UTF-8 (mit oder ohne Byte-Order-Mark) erkannt; eine Datei, die kein\n"
                        "                  gültiges UTF-8 ist, wird als Windows-1252 gelesen (so schreiben Banken und\n"
                        "                  Tabellenprogramme). Zeichen, die im Zeichensatz nicht vorkommen, führen zur\n"
                        "                  Ablehnung, nie zu Ersatzzeichen.\n"
                        "  --yes / --no    Antwort auf die Rückfragen"),
         cmdImport},
        {QStringLiteral("generate"), QStringLiteral("dalvo generate FALL --bookings N [--seed S]"),
         QStringLiteral("erzeugt Beispielbuchungen"),
         QStringLiteral("Bucht N wirklichkeitsnahe, gemischte Buchungen (Einnahmen mit 19 % und 7 %, Ausgaben, Kasse\n"
                        "und Bank, Splittbuchungen, innergemeinschaftliche Lieferungen) für Messungen und Vorführungen.\n"
                        "Gleicher Startwert (--seed, Vorgabe 1), gleiche Buchungen."),
         cmdGenerate},
        {QStringLiteral("ustva"), QStringLiteral("dalvo ustva FALL [--month M | --quarter Q | --year] [--json] [--uebertragen [--yes|--no]]"),
         QStringLiteral("zeigt die Umsatzsteuer-Voranmeldung"),
         QStringLiteral("Berechnet die Kennzahlen der Umsatzsteuer-Voranmeldung 2016 aus den Buchungen des Zeitraums\n"
                        "(Vorgabe: das ganze Jahr): Bemessungsgrundlagen in vollen Euro, die Steuer nach den festen\n"
                        "Sätzen des Formulars, Vorsteuer und die verbleibende Vorauszahlung (Kz. 83). Im Dezember und\n"
                        "im 4. Quartal wird die Sondervorauszahlung abgezogen.\n\n"
                        "Optionen:\n  --json         als JSON (steuerjahr, zeitraum, kennziffern, steuer, summen; mit\n"
                        "                 --uebertragen zusätzlich uebertragen: true)\n"
                        "  --uebertragen  schreibt die Zahlen in die Voranmeldung des Zeitraums in der Falldatei. Stehen\n"
                        "                 dort schon andere Zahlen (etwa von Hand erfasste), wird vorher gefragt\n"
                        "                 (--yes ersetzt sie); eine übermittelte Voranmeldung bleibt immer unverändert."),
         cmdUstva},
        {QStringLiteral("euer"), QStringLiteral("dalvo euer FALL [--json] [--uebertragen [--yes|--no]]"), QStringLiteral("zeigt die Einnahmenüberschussrechnung"),
         QStringLiteral("Zeigt Betriebseinnahmen und -ausgaben nach Kategorien und Konten und den Gewinn.\n\n"
                        "Optionen:\n  --json         als JSON (steuerjahr, einnahmen, ausgaben, iab, iab_aufloesung, gewinn,\n"
                        "                 kategorien; mit --uebertragen zusätzlich uebertragen: true)\n"
                        "  --uebertragen  schreibt die Zahlen in das EÜR-Formular (Anlage EÜR) der Falldatei. Stehen dort\n"
                        "                 schon andere Zahlen (etwa von Hand erfasste), wird vorher gefragt (--yes ersetzt sie)."),
         cmdEuer},
        {QStringLiteral("zm"), QStringLiteral("dalvo zm FALL (--quarter Q | --month M | --year | --period CODE) (--csv | --xml)"),
         QStringLiteral("erstellt die Zusammenfassende Meldung"),
         QStringLiteral("Gibt die Zusammenfassende Meldung als CSV oder als XML-Datei des Online-Formulars aus: je\n"
                        "USt-IdNr. des Abnehmers die innergemeinschaftlichen Lieferungen (L), Dreiecksgeschäfte (D)\n"
                        "und sonstigen Leistungen (S) des Meldezeitraums.\n\n"
                        "Meldezeitraum (genau eine Angabe):\n"
                        "  --quarter Q     Quartal 1..4\n"
                        "  --month M       Monat 1..12\n"
                        "  --year          Kalenderjahr, nur bei jährlicher Meldung nach § 18a Abs. 9 UStG\n"
                        "                  (dalvo einstellungen FALL --zm-jahresmeldung ja)\n"
                        "  --period CODE   -1 Kalenderjahr, 0..3 Quartal 1..4, 4..15 Monat 1..12, 26..29 die ersten\n"
                        "                  beiden Monate des Quartals 1..4"),
         cmdZm},
        {QStringLiteral("einstellungen"),
         QStringLiteral("dalvo einstellungen FALL [--ustpflicht ja|nein] [--zm-jahresmeldung ja|nein] [--kassenkonto N] "
                        "[--anmeldezeitraum monat|quartal] [--dauerfrist ja|nein] [--json]"),
         QStringLiteral("zeigt oder setzt Einstellungen des Falls"),
         QStringLiteral("Ohne Option zeigt der Befehl die Einstellungen, mit Option setzt er sie.\n\n"
                        "  --ustpflicht ja|nein         nein: Kleinunternehmer nach § 19 UStG. Es wird weder Umsatzsteuer\n"
                        "      berechnet noch Vorsteuer abgezogen; Ausgaben werden brutto gebucht. Nur Steuerschlüssel,\n"
                        "      bei denen der Leistungsempfänger die Steuer schuldet (§ 13b UStG, innergemeinschaftlicher\n"
                        "      Erwerb), bleiben möglich: die Steuer wird geschuldet, aber nicht als Vorsteuer abgezogen.\n"
                        "      Die Umstellung auf nein wird abgelehnt, solange Buchungen Umsatzsteuer oder Vorsteuer\n"
                        "      ausweisen. ja ergänzt fehlende Umsatzsteuerkonten aus dem Kontenrahmen.\n"
                        "  --zm-jahresmeldung ja|nein   ja: der Unternehmer gibt die Zusammenfassende Meldung jährlich ab\n"
                        "      (§ 18a Abs. 9 UStG: von den Voranmeldungen befreit, Umsätze im Vorjahr höchstens\n"
                        "      200.000 Euro, innergemeinschaftliche Lieferungen und Leistungen höchstens 15.000 Euro,\n"
                        "      keine neuen Fahrzeuge an Abnehmer mit USt-IdNr.). Die Grenzen des laufenden Jahres\n"
                        "      prüft zm --year an den Buchungen.\n"
                        "  --kassenkonto N              das Kassenkonto des Falls (ein aktives Konto der Kategorie 201)\n"
                        "  --anmeldezeitraum monat|quartal   wie oft der Fall die Umsatzsteuer-Voranmeldung abgibt: die\n"
                        "      Sondervorauszahlung wird dann nur in der letzten Voranmeldung des Jahres angerechnet\n"
                        "      (Dezember bzw. 4. Quartal), und ustva weist auf Zeiträume hin, die keine Voranmeldung sind\n"
                        "  --dauerfrist ja|nein         Dauerfristverlängerung: die Abgabefrist, die ustva nennt, verschiebt\n"
                        "      sich um einen Monat (10. des übernächsten Monats)\n"
                        "  --json                       die Einstellungen als JSON (ustpflicht, zm_jahresmeldung,\n"
                        "      kassenkonto, anmeldezeitraum, dauerfrist)"),
         cmdEinstellungen},
        {QStringLiteral("saldenliste"), QStringLiteral("dalvo saldenliste FALL [--csv] [--month M | --quarter Q | --year | --from D --to D]"),
         QStringLiteral("zeigt die Summen- und Saldenliste"),
         QStringLiteral("Summen- und Saldenliste vom Jahresbeginn bis zum Ende des Zeitraums: Anfangssalden,\n"
                        "Salden der Vormonate, Buchungen des Zeitraums und Saldo je Konto.\n\n"
                        "Optionen:\n  --csv   Konto;\"Bezeichnung\";Anfang Soll;Anfang Haben;Buchungen Soll;Buchungen Haben;\n"
                        "          Saldo Haben;Saldo Soll"),
         cmdSaldenliste},
        {QStringLiteral("status"), QStringLiteral("dalvo status FALL [--json]"), QStringLiteral("zeigt, wo die Buchhaltung steht"),
         QStringLiteral("Was man zuerst wissen will: Gewinn bisher, Salden von Kasse und Bank, Festschreibung und\n"
                        "Kassenabschluss, fällige regelmäßige Buchungen, offene Rechnungen und offene Bankumsätze,\n"
                        "jeweils mit dem Befehl, der weiterhilft. Die Zahlen sind die der Startseite (dalvo getkont).\n\n"
                        "Optionen:\n  --json   als JSON (steuerjahr, kontenplan, jahr_abgeschlossen, gewinn, einnahmen, ausgaben,\n"
                        "           geldkonten, kasse, bank, kassenkonto, kasse_abgeschlossen_bis, festgeschrieben_bis,\n"
                        "           regelbuchungen_faellig, offene_rechnungen, offene_rechnungen_summe, offene_bankumsaetze)"),
         cmdStatus},
        {QStringLiteral("getkont"), QStringLiteral("dalvo getkont FALL 'SCHLUESSELWORT[,PARAMETER…]' [--formatiert] [--json]"),
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
        {QStringLiteral("berechnung"), QStringLiteral("dalvo berechnung FALL DATEI|- [--vergleich REFERENZ] [--force] [--json]"),
         QStringLiteral("schreibt die Berechnungsdatei (XML) und vergleicht sie mit einer Referenz"),
         QStringLiteral("Schreibt die Zahlen des Falls als XML in DATEI („-“: Standardausgabe): die Kennzahlen der\n"
                        "Umsatzsteuer-Voranmeldung des Jahres und die Einnahmenüberschussrechnung nach Einnahmen,\n"
                        "Ausgaben, Investitionsabzugsbeträgen und ihren Auflösungen, je Kategorie und Konto.\n\n"
                        "Mit --vergleich REFERENZ: vergleicht mit einer früher geschriebenen Datei (Programm, Version und\n"
                        "Datum zählen nicht) und nennt jeden Unterschied; Rückgabewert 1 bei Unterschieden. Gibt es\n"
                        "REFERENZ noch nicht, wird sie aus den jetzigen Zahlen angelegt, nichts verglichen und ebenfalls\n"
                        "1 zurückgegeben.\n\n"
                        "Optionen:\n  --force   eine vorhandene DATEI ersetzen\n"
                        "  --json    das Ergebnis des Vergleichs als JSON (ergebnis: gleich, unterschiede oder\n"
                        "            referenz_angelegt; referenz; unterschiede)"),
         cmdBerechnung},
        {QStringLiteral("bericht"),
         QStringLiteral("dalvo bericht FALL LISTE [--month M | --quarter Q | --year | --from D --to D] [--konto N|VON-BIS] "
                        "[--beleg PRÄFIX] [--grenze BETRAG] [--sortierung nummer|zahlungsdatum|beleg] [--nach belegdatum|buchungsdatum] "
                        "[--art rechnung|angebot|auftrag|lieferschein|mahnung] [--csv | --json | --pdf DATEI [--force] [--firma NAME]] | "
                        "dalvo bericht --liste [--json]"),
         QStringLiteral("zeigt eine Liste: Kontoauszug, Journal, Umsatzsteuerliste, Kontenplan, Analysen …"),
         QStringLiteral("Jede Liste der Buchhaltung über einen Befehl; --liste zeigt alle mit einer Zeile Beschreibung:\n"
                        "  kontenabfrage   Kontoauszüge mit Vortrag und laufendem Saldo (--konto 1200 oder 1200-1299)\n"
                        "  journal         alle Buchungen, auch stornierte (--sortierung nummer|zahlungsdatum|beleg)\n"
                        "  ustliste        Soll und Haben je Konto und Steuerschlüssel\n"
                        "  kontenplan, vorlagen, kunden, artikel, inventar   Stammdaten (ohne Zeitraum)\n"
                        "  beleganalyse    Belegnummern der Einnahmen: doppelte, fehlende (--beleg RE- nur diese Serie)\n"
                        "  betragsanalyse  Sollbeträge eines Kontos nach Höhe (--konto N, Pflicht)\n"
                        "  buchungszeiten  Abstand von Beleg- und Buchungsdatum (--nach belegdatum|buchungsdatum)\n"
                        "  euer-vergleich  Gewinn je Kategorie: Zeitraum und Jahr bis dahin\n"
                        "  sperrgrenzen    Ausgaben über der GWG-Grenze des Falls oder --grenze BETRAG\n"
                        "  moss, zm        Zeilen der MOSS-Steuerschlüssel je Land; ZM-Beträge je USt-IdNr.\n"
                        "  belege          Rechnungen (--art angebot|auftrag|lieferschein|mahnung für die anderen)\n"
                        "Stornierte Buchungen und ihre Stornos zählen nur im Journal und in den Buchungszeiten.\n\n"
                        "Ausgabe:\n  (ohne)        als Seite zum Lesen\n"
                        "  --csv         für die Tabellenkalkulation: Kopfzeile, dann eine Zeile je Eintrag; ';', Dezimalkomma\n"
                        "  --json        ein Dokument: bericht, titel, untertitel, von, bis, zeilen, summen (Schlüssel je Spalte)\n"
                        "  --pdf DATEI   zum Drucken (A4 quer); vorhandene Dateien nur mit --force, - für die Standardausgabe"),
         cmdBericht},
        {QStringLiteral("kassenbuch"),
         QStringLiteral("dalvo kassenbuch FALL [--konto KONTO] [--month M | --quarter Q | --year | --from D --to D] "
                        "[--csv | --json | --pdf DATEI|- [--force]] [--firma NAME]"),
         QStringLiteral("zeigt oder druckt das Kassenbuch"),
         QStringLiteral("Das Kassenbuch einer Kasse (Vorgabe: das Kassenkonto des Falls) für den Zeitraum (Vorgabe: das\n"
                        "Steuerjahr): Anfangsbestand, jede Bewegung mit Datum, Buchungsnummer, Beleg, Gegenkonto,\n"
                        "Steuerschlüssel, Text, Einnahme, Ausgabe und laufendem Bestand, Tagessummen, die\n"
                        "Kassenabschlüsse, Summen und Endsaldo. Buchungen gegen Saldenvortragskonten zählen zum\n"
                        "Anfangsbestand.\n\n"
                        "Optionen:\n  --konto KONTO   eine Kasse (Kategorie 201)\n"
                        "  --csv           Datum;Buchungsnummer;Belegnummer;Gegenkonto;Steuersatz;Buchungstext;Einnahme;\n"
                        "                  Ausgabe;Bestand, die erste Zeile ist der Anfangsbestand\n"
                        "  --json          als JSON (konto, bezeichnung, von, bis, anfangsbestand, endbestand, zeilen,\n"
                        "                  abschluesse)\n"
                        "  --pdf DATEI     das gedruckte Kassenbuch als PDF („-“: Standardausgabe); eine vorhandene Datei\n"
                        "                  nur mit --force\n"
                        "  --firma NAME    der Betrieb im Kopf des Drucks (Vorgabe: der Name der Falldatei)"),
         cmdKassenbuch},
        {QStringLiteral("kassenabschluss"),
         QStringLiteral("dalvo kassenabschluss FALL --datum TT.MM.JJJJ --gezaehlt BETRAG [--konto KONTO] [--gegenkonto KONTO] [--yes|--no]"),
         QStringLiteral("schließt eine Kasse zum gezählten Bestand ab"),
         QStringLiteral("Vergleicht den gezählten Bestand mit dem Stand der Buchungen bis zum Abschlussdatum, bucht eine\n"
                        "Differenz als „Fehlbetrag“ oder „Überschuss“ und hält den Abschluss fest. Danach kann keine\n"
                        "Buchung auf diese Kasse mit einem Datum bis zum Abschlussdatum mehr gebucht, storniert oder\n"
                        "gelöscht werden. Das Datum liegt nach dem letzten Abschluss dieser Kasse, im Steuerjahr und\n"
                        "nicht in der Zukunft. Der Abschluss wird erst nach der Rückfrage (--yes) durchgeführt.\n\n"
                        "Optionen:\n  --konto KONTO        die Kasse (Vorgabe: das Kassenkonto des Falls)\n"
                        "  --gegenkonto KONTO   Gegenkonto der Ausgleichsbuchung: ein Aufwandskonto bei einem Fehlbetrag,\n"
                        "                       ein Ertragskonto bei einem Überschuss (z. B. SKR03 4900 oder 2700)"),
         cmdKassenabschluss},
        {QStringLiteral("kasse"), QStringLiteral("dalvo kasse FALL [--setzen KONTO] [--json]"),
         QStringLiteral("zeigt die Kassen oder stellt das Kassenkonto ein"),
         QStringLiteral("Zeigt die Kassenkonten (Kategorie 201) mit Bestand, letztem Abschluss und ob sie an ein\n"
                        "Kassenprogramm exportiert sind; * markiert das Kassenkonto des Falls.\n\n"
                        "Optionen:\n  --setzen KONTO   macht die aktive Kasse KONTO zum Kassenkonto des Falls\n"
                        "  --json           als JSON-Liste (konto, bezeichnung, aktiv, bestand, abgeschlossen_bis,\n"
                        "                   exportiert, kassenkonto)"),
         cmdKasse},
        {QStringLiteral("kasse-export"), QStringLiteral("dalvo kasse-export FALL --konto KONTO --ziel VERZEICHNIS [--name NAME] [--force]"),
         QStringLiteral("gibt eine Kasse an ein Kassenprogramm ab"),
         QStringLiteral("Schreibt die Kasse in eine Datei „JJJJMMTT NAME Kasse KONTO JAHR.kasse“ im Verzeichnis und gibt\n"
                        "ihren Pfad aus. Die Datei enthält Kontenplan und Steuerschlüssel, die Buchungen und\n"
                        "Buchungsvorlagen dieser Kasse und ihre Einstellungen, sonst nichts aus dem Fall. Der Fall merkt\n"
                        "sich die Kasse als exportiert; ihre Buchungen bis zur Übergabe kommen nie zurück.\n\n"
                        "Optionen:\n  --name NAME   Namensteil der Datei (Vorgabe: der Name der Falldatei)\n"
                        "  --force       eine vorhandene Datei gleichen Namens ersetzen"),
         cmdKasseExport},
        {QStringLiteral("kasse-import"), QStringLiteral("dalvo kasse-import DATEI NEUER_FALL"),
         QStringLiteral("legt aus einer .kasse-Datei einen Kassenfall an"),
         QStringLiteral("Legt die neue Falldatei NEUER_FALL aus einer mit kasse-export geschriebenen Datei an: das\n"
                        "Kassenprogramm bucht dort und schließt die Kasse ab. Der Stand bei der Übergabe gilt als erster\n"
                        "Kassenabschluss. Eine vorhandene Datei wird nie überschrieben."),
         cmdKasseImport},
        {QStringLiteral("kassenbuchungen-export"), QStringLiteral("dalvo kassenbuchungen-export FALL --ziel VERZEICHNIS|DATEI [--force]"),
         QStringLiteral("gibt die abgeschlossenen Kassenbuchungen zurück"),
         QStringLiteral("Im Kassenfall: schreibt alle Buchungen der Kasse bis zum letzten Kassenabschluss in eine Datei\n"
                        "„JJJJMMTT Kasse KONTO bis JJJJMMTT.buchungen“ (oder in DATEI) und gibt ihren Pfad aus. Ohne\n"
                        "Kassenabschluss nach der Übergabe wird nichts exportiert.\n\n"
                        "Optionen:\n  --force   eine vorhandene Datei ersetzen"),
         cmdKassenbuchungenExport},
        {QStringLiteral("kassenbuchungen-import"), QStringLiteral("dalvo kassenbuchungen-import FALL DATEI"),
         QStringLiteral("übernimmt Kassenbuchungen aus einer .buchungen-Datei"),
         QStringLiteral("Im Fall, der die Kasse exportiert hat: übernimmt die Buchungen jedes noch nicht importierten\n"
                        "Kassenabschlusses der Datei als neue Buchungen und gibt ihre Zahl aus. Dieselbe Datei ein\n"
                        "zweites Mal übernimmt nichts. Alle bebuchten Konten müssen im Kontenplan aktiv sein."),
         cmdKassenbuchungenImport},
        {QStringLiteral("kasse-freigeben"), QStringLiteral("dalvo kasse-freigeben FALL --konto KONTO [--yes|--no]"),
         QStringLiteral("nimmt eine Kasse aus dem Export zurück"),
         QStringLiteral("Die Kasse wird nicht mehr exportiert; für sie können danach keine Buchungen mehr importiert\n"
                        "werden. Nach Rückfrage (--yes)."),
         cmdKasseFreigeben},
        {QStringLiteral("jahreswechsel"), QStringLiteral("dalvo jahreswechsel ALTER_FALL NEUER_FALL [--yes|--no]"),
         QStringLiteral("legt den Fall des neuen Jahres aus dem Vorjahr an"),
         QStringLiteral("Legt die neue Falldatei NEUER_FALL für das Jahr nach ALTER_FALL an: Einstellungen,\n"
                        "Kontenplan (mit den eigenen Konten, auf den Stand des neuen Jahres gebracht),\n"
                        "Umsatzsteuerpflicht, Kassenkonto, Bankverbindungen, Stammdaten der Fakturierung, Stamm- und\n"
                        "Finanzamtsdaten, das Anlageverzeichnis (ohne Anlagen, die vor dem 1. Januar verkauft wurden),\n"
                        "das Umlaufvermögen, offene Investitionsabzugsbeträge, Kfz-Kosten und das Begleitschreiben;\n"
                        "zuletzt die Saldovorträge der Bestandskonten zum 1. Januar. ALTER_FALL wird nur gelesen, eine\n"
                        "vorhandene Datei NEUER_FALL nie überschrieben.\n\n"
                        "Geänderte Konten, die die Vorlage des neuen Jahres anders kennt, werden nur mit --yes angepasst."),
         cmdJahreswechsel},
        {QStringLiteral("saldovortrag"),
         QStringLiteral("dalvo saldovortrag FALL --vorjahr VORJAHRESFALL [--nur-bericht] [--yes|--no]\n"
                        "       dalvo saldovortrag FALL --konto KONTO --betrag BETRAG"),
         QStringLiteral("bucht die Saldovorträge aus dem Vorjahr oder einen von Hand"),
         QStringLiteral("Mit --vorjahr: vergleicht die Salden der Bestandskonten (Kasse, Bank, Forderungen, …) im Fall\n"
                        "des Vorjahres mit den vorhandenen Saldovortragsbuchungen, zeigt den Bericht und bucht nach der\n"
                        "Rückfrage (--yes) nur die Differenzen zum 1. Januar gegen das Saldovortragskonto 9000. Ein\n"
                        "zweiter Lauf bucht nichts; eine spätere Korrektur im Vorjahr bucht nur den Unterschied. Gibt\n"
                        "die Zahl der Buchungen aus. Der Vorjahresfall wird nur gelesen.\n\n"
                        "Mit --konto und --betrag: setzt den Saldovortrag eines Bestandskontos auf BETRAG (Soll positiv,\n"
                        "Haben mit Minus) und bucht die Differenz zum vorhandenen Saldovortrag; gibt die\n"
                        "Buchungsnummer aus.\n\n"
                        "Optionen:\n  --nur-bericht   nur den Bericht zeigen, nichts buchen und nichts ändern"),
         cmdSaldovortrag},
        {QStringLiteral("firma"),
         QStringLiteral("dalvo firma FALL [--name N --strasse S --plz P --ort O --land DE --steuernummer NR --ustid ID --kontakt NAME "
                        "--telefon T --email E --iban IBAN --bic BIC --bank NAME]"),
         QStringLiteral("zeigt oder setzt die Daten der eigenen Firma (Rechnungen, ZM)"),
         QStringLiteral("Ohne Optionen: die Firmendaten. Mit Optionen: ändert die genannten Angaben. Rechnungen brauchen Name,\n"
                        "Anschrift und Steuernummer oder USt-IdNr.; die XRechnung zusätzlich Ansprechpartner, Telefon, E-Mail und IBAN."),
         cmdFirma},
        {QStringLiteral("kunde"), QStringLiteral("dalvo kunde FALL add|list|show KUNDE|edit KUNDE [--name N] [--vorname V] [--firma F] "
                                                 "[--strasse S --plz P --ort O --land DE] [--email E] [--ustid ID] [--leitweg ID] "
                                                 "[--zahlungsziel TAGE [--skonto PROZENT --skontotage TAGE]] [--interessent] [--json]"),
         QStringLiteral("Kunden und Interessenten anlegen, zeigen, ändern"),
         QStringLiteral("add legt einen Kunden an und gibt seine Kundennummer aus (aus dem Nummernkreis des Falls,\n"
                        "Vorgabe K0001). KUNDE ist die Kundennummer. --leitweg ist die Käuferreferenz der XRechnung\n"
                        "(ohne sie die Kundennummer)."),
         cmdKunde},
        {QStringLiteral("artikel"), QStringLiteral("dalvo artikel FALL add|list|edit ARTIKEL --bezeichnung T (--preis P | --bruttopreis P) "
                                                   "--schluessel K --konto N [--einheit E] [--rabatt PROZENT] [--json]"),
         QStringLiteral("Artikel mit Preis, Einheit, Rabatt, Steuerschlüssel und Erlöskonto"),
         QStringLiteral("add legt einen Artikel an und gibt seine Artikelnummer aus. Das Erlöskonto muss zum Steuerschlüssel\n"
                        "passen; der nicht angegebene Preis (netto oder brutto) folgt aus dem Steuersatz."),
         cmdArtikel},
        {QStringLiteral("rechnung"),
         QStringLiteral("dalvo rechnung FALL neu --kunde KUNDE [--datum D] [--leistung VON..BIS] [--versand NETTO --versand-satz S] "
                        "[--korrektur] [--nummer NR] [--erinnerung D] | position NR (--artikel A [--menge M] | --text T (--preis P | "
                        "--bruttopreis P) --schluessel K --konto N [--menge M]) [--rabatt PROZENT] | list [--offen] [--json] | "
                        "show NR [--json] | buchen NR… --geldkonto N --datum D [--skonto | --betrag BEZAHLT] | pdf NR DATEI [--force] | "
                        "xrechnung NR DATEI [--force] | loeschen NR"),
         QStringLiteral("Rechnungen schreiben, buchen, als PDF und XRechnung ausgeben"),
         QStringLiteral("neu legt eine Rechnung (mit --korrektur eine Rechnungskorrektur) an und gibt ihre Nummer aus\n"
                        "(Nummernkreis des Falls, Vorgabe RE-JJJJ-0001; ohne Lücken). position fügt eine Position hinzu.\n"
                        "Rückfragen beim Speichern (Datum vor heute, anderes Wirtschaftsjahr, …) beantworten --yes/--no.\n"
                        "buchen bucht bezahlte Rechnungen als Einnahme auf das Geldkonto (Zusatzinfo = Rechnungsnummer);\n"
                        "wird diese Buchung gelöscht oder storniert, ist die Rechnung wieder offen. Mit --skonto (der Skonto der\n"
                        "Zahlungsbedingungen) oder --betrag BEZAHLT (Skonto = Rechnungssumme - BEZAHLT) bei Zahlung in der\n"
                        "Skontofrist mindert eine zweite Buchung die Erlöse und die Umsatzsteuer auf den Skontokonten je\n"
                        "Steuerschlüssel (SKR03 8730 bis 8739, SKR04 4730 bis 4739).\n"
                        "loeschen löscht nur die zuletzt nummerierte, weder gebuchte noch bezahlte noch gemahnte Rechnung nach\n"
                        "der Rückfrage, ob sie noch nicht verschickt wurde (--yes); ihre Nummer wird neu vergeben. Sonst heben\n"
                        "Sie eine Rechnung mit einer Rechnungskorrektur auf.\n"
                        "xrechnung schreibt die E-Rechnung (XRechnung 3.0, CII) nach Prüfung der Geschäftsregeln, pdf die\n"
                        "gedruckte Rechnung mit der XRechnung als Anhang factur-x.xml („-“: Standardausgabe)."),
         cmdRechnung},
        {QStringLiteral("angebot"), belegAufruf("angebot", "auftrag|lieferschein|rechnung"), QStringLiteral("Angebote schreiben und in Auftrag, Lieferschein oder Rechnung übernehmen"),
         belegHilfe("ein Angebot"), cmdAngebot},
        {QStringLiteral("auftrag"), belegAufruf("auftrag", "lieferschein|rechnung"), QStringLiteral("Auftragsbestätigungen schreiben und übernehmen"),
         belegHilfe("eine Auftragsbestätigung"), cmdAuftrag},
        {QStringLiteral("lieferschein"), belegAufruf("lieferschein", "rechnung"), QStringLiteral("Lieferscheine schreiben und in eine Rechnung übernehmen"),
         belegHilfe("einen Lieferschein"), cmdLieferschein},
        {QStringLiteral("mahnung"), QStringLiteral("dalvo mahnung FALL neu RECHNUNG [--stufe S] [--gebuehr G] [--datum D] [--zahlungsziel D] | list [RECHNUNG] [--json]"),
         QStringLiteral("mahnt eine offene Rechnung"),
         QStringLiteral("Legt eine Mahnung der nächsten Stufe (oder --stufe 1..9, 99 = letzte) mit Mahngebühr an; das neue\n"
                        "Zahlungsziel ist 14 Tage nach dem Mahndatum. Wird die Rechnung gebucht, entfallen ihre Mahnungen."),
         cmdMahnung},
        {QStringLiteral("erinnerungen"), QStringLiteral("dalvo erinnerungen FALL [--json] | --erledigt NR…"),
         QStringLiteral("fällige Erinnerungen zu Angeboten, Rechnungen und Mahnungen"),
         QStringLiteral("Zeigt die Belege, deren Erinnerungsdatum heute oder früher ist. --erledigt NR… löscht die\n"
                        "Erinnerungen mit diesen Nummern der Liste."),
         cmdErinnerungen},
        {QStringLiteral("bank"),
         QStringLiteral("dalvo bank FALL add --konto N (--iban IBAN | --kontonummer K --blz B) [--bic BIC] [--name T] [--bank NAME] | "
                        "list [--json] | import DATEI [--konto N] [--format camt|mt940|csv] [--layout sparkasse|generisch] [--spalten …] "
                        "[--encoding utf-8|windows-1252|iso-8859-1] | umsaetze [--offen] [--json] | vorschlaege [--json] | "
                        "uebernehmen ID…|--alle [--gegenkonto K [--schluessel S]] [--text T] | ignorieren ID… | zuruecksetzen ID…"),
         QStringLiteral("Bankkonten, Kontoauszüge (CAMT, MT940, CSV) einlesen und als Buchungen übernehmen"),
         QStringLiteral("add ordnet einem Konto der Kategorien Bank, Postbank oder Verrechnungskonten (z. B. 1200) sein Bankkonto zu.\n"
                        "import liest einen Kontoauszug: CAMT.053/CAMT.052 (XML), MT940 oder die CSV-Datei der Bank (Layout\n"
                        "sparkasse = CSV-CAMT; generisch mit --spalten datum=1,betrag=4,zweck=3,name=2,iban=5,bic=6, auch\n"
                        "soll=…,haben=… und kopf=ZEILEN). Das Format wird erkannt; das Bankkonto steht in der Datei (sonst --konto).\n"
                        "Nur Umsätze des Steuerjahres werden gespeichert, jeder einmal: eine zweimal eingelesene Datei speichert\n"
                        "nichts doppelt. Passen Anfangssaldo, Umsätze und Endsaldo nicht zusammen, wird gefragt (--yes).\n"
                        "vorschlaege zeigt für jeden offenen Umsatz den besten Buchungsvorschlag mit Wertung und Grund: offene\n"
                        "Rechnung (Nummer im Verwendungszweck, Betrag gleich: 150), Buchungsvorlage oder frühere Buchung mit\n"
                        "gleichem Betrag (50, +70 wenn ihr Text im Verwendungszweck steht), frühere Buchung derselben\n"
                        "Gegenpartei (IBAN 100, Name 80).\n"
                        "uebernehmen --alle bucht alle Umsätze mit Wertung ab 100; genannte Umsätze werden mit ihrem Vorschlag\n"
                        "oder mit --gegenkonto K [--schluessel S] gebucht. Eine Rechnungszahlung bucht die Rechnung als bezahlt.\n"
                        "Im festgeschriebenen Zeitraum wird vorher gefragt (--yes).\n"
                        "ignorieren setzt offene Umsätze auf „nicht verarbeiten“. zuruecksetzen macht Umsätze wieder offen:\n"
                        "ihre Buchungen werden gelöscht, festgeschriebene storniert (nach Rückfrage, --yes); eine\n"
                        "abgeschlossene Kasse bleibt unberührt. Wird eine übernommene Buchung gelöscht oder storniert, ist\n"
                        "ihr Umsatz wieder offen."),
         cmdBank},
    };
}

int cmdHelp(const QStringList& args) {
    if (!args.isEmpty() && !args.first().startsWith(QLatin1String("--"))) {
        const Command* c = findCommand(args.first());
        if (!c) return usageError(QStringLiteral("help"), QStringLiteral("Unbekannter Befehl „%1“.").arg(args.first()));
        out(QStringLiteral("Aufruf: %1\n\n%2\n").arg(c->usage, c->help));
        return Ok;
    }
    out(QStringLiteral("dalvo – Buchhaltung für die Einnahmenüberschussrechnung (EÜR, UStVA, ZM)\n\n"
                       "Aufruf: dalvo BEFEHL [FALL] [OPTIONEN]\n"));
    int breite = 0;
    for (const Command& c : commands()) breite = qMax(breite, int(c.name.size()));
    for (const Befehlsgruppe& g : befehlsgruppen()) {
        QList<const Command*> liste;
        for (const QString& name : g.namen)
            if (const Command* c = findCommand(name)) liste << c;
        for (const Command& c : commands())
            if (gruppeVon(c.name) == &g && !g.namen.contains(c.name)) liste << &c;
        if (liste.isEmpty()) continue;
        out(QStringLiteral("\n%1:\n").arg(g.titel));
        for (const Command* c : liste) out(QStringLiteral("  %1  %2\n").arg(c->name.leftJustified(breite), c->summary));
    }
    out(QStringLiteral("\nDatumsangaben: TT.MM.JJJJ. Beträge: 1.190,00, 1190,00 oder 1190.00.\n"
                       "Rückgabewerte: 0 Erfolg, 1 vom Programm abgelehnt, 2 Aufruffehler.\n"
                       "Hilfe zu einem Befehl: dalvo BEFEHL --help\n"));
    return Ok;
}

}  // namespace

const QList<Command>& commands() {
    static const QList<Command> list = buildCommands();
    return list;
}

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace cli
