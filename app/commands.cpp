// The command table and the commands that need no case file.
#include "app/cli.h"

#include "app/befehle.h"
#include "app/fall.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "kontbaum/fall/neuanlage.h"
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
         {QStringLiteral("neu"), QStringLiteral("info"), QStringLiteral("einstellungen"), QStringLiteral("konten"), QStringLiteral("konto"),
          QStringLiteral("steuerschluessel"), QStringLiteral("kasse"), QStringLiteral("firma"), QStringLiteral("kunde"),
          QStringLiteral("artikel"), QStringLiteral("vorlage"), QStringLiteral("jahreswechsel"), QStringLiteral("saldovortrag")}},
        {QStringLiteral("Buchen"),
         {QStringLiteral("buchen"), QStringLiteral("regelbuchungen"), QStringLiteral("bank"), QStringLiteral("rechnung"),
          QStringLiteral("eingang"), QStringLiteral("angebot"), QStringLiteral("auftrag"), QStringLiteral("lieferschein"), QStringLiteral("mahnung"),
          QStringLiteral("erinnerungen"), QStringLiteral("kassenabschluss"), QStringLiteral("stornieren"), QStringLiteral("loeschen"),
          QStringLiteral("festschreiben"), QStringLiteral("anlage"), QStringLiteral("umlauf"), QStringLiteral("investitionsabzug"),
          QStringLiteral("kfz")}},
        {QStringLiteral("Prüfen"),
         {QStringLiteral("status"), QStringLiteral("buchungen"), QStringLiteral("pruefen"), QStringLiteral("getkont"), QStringLiteral("berechnung")}},
        {QStringLiteral("Auswerten"),
         {QStringLiteral("ustva"), QStringLiteral("ust-erklaerung"), QStringLiteral("euer"), QStringLiteral("zm"), QStringLiteral("saldenliste"), QStringLiteral("bericht"),
          QStringLiteral("kassenbuch")}},
        {QStringLiteral("Austauschen"),
         {QStringLiteral("buchungen-import"), QStringLiteral("buchungen-export"), QStringLiteral("kasse-export"), QStringLiteral("kasse-import"),
          QStringLiteral("kassenbuchungen-export"), QStringLiteral("kassenbuchungen-import"), QStringLiteral("kasse-freigeben"), QStringLiteral("datev-export"),
          QStringLiteral("gobd-export")}},
        {QStringLiteral("Programm"),
         {QStringLiteral("hilfe"), QStringLiteral("version"), QStringLiteral("dbinfo"), QStringLiteral("beispielbuchungen")}},
        {QStringLiteral("Weitere"), {}},
    };
    return g;
}
const Befehlsgruppe* gruppeVon(const QString& name) {
    for (const Befehlsgruppe& g : befehlsgruppen())
        if (g.namen.contains(name)) return &g;
    return &befehlsgruppen().last();
}

int cmdHelp(const Args& a);

int cmdVersion(const Args& a) {
    if (!a.positional().isEmpty()) return usageError(QStringLiteral("version"), QStringLiteral("Zu viele Argumente."));
    long schema = 0;
    if (DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection)) schema = GetDBVersion(ref);
    out(QStringLiteral("dalvo %1 (Buchhaltung dalvo16, Datenbankversion %2)\n")
            .arg(QStringLiteral(DALVO_VERSION))
            .arg(schema ? QString::number(schema) : QStringLiteral("unbekannt")));
    return Ok;
}

// Creates the working database of slot 0 from the template and shows what a
// new case starts with: schema version and case properties.
int cmdDbinfo(const Args& a) {
    if (!a.positional().isEmpty()) return usageError(QStringLiteral("dbinfo"), QStringLiteral("Zu viele Argumente."));
    int year = 2016;
    QString e;
    if (a.has(QStringLiteral("--jahr")) && !parseInt(a.value(QStringLiteral("--jahr")), 2000, 2100, &year, &e))
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


int cmdNew(const Args& a) {
    const QString n = QStringLiteral("neu");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const QString path = a.positional().first();
    int year = 2016;
    QString e;
    if (!a.has(QStringLiteral("--jahr"))) return usageError(n, QStringLiteral("--jahr fehlt (das Steuerjahr des Falls, z. B. --jahr 2016)."));
    if (!parseInt(a.value(QStringLiteral("--jahr")), 2000, 2100, &year, &e)) return usageError(n, e);
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
    const QString chart = a.has(QStringLiteral("--kontenrahmen")) ? a.value(QStringLiteral("--kontenrahmen")).trimmed().toUpper() : QStringLiteral("SKR03");
    if (!Neuanlage::kontenrahmen().contains(chart))
        return usageError(n, QStringLiteral("Unbekannter Kontenrahmen „%1“ (erlaubt: %2).")
                                 .arg(a.value(QStringLiteral("--kontenrahmen")), Neuanlage::kontenrahmen().join(QStringLiteral(", "))));
    const int frei = Fall::neueFalldateiPruefen(n, path);
    if (frei >= 0) return frei;
    Fall fall;
    if (!fall.neu(&e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    Neuanlage::Angaben angaben;
    angaben.jahr = year;
    angaben.kontenrahmen = chart;
    angaben.ustPflicht = !a.has(QStringLiteral("--ohne-ust"));
    angaben.beispiele = !a.has(QStringLiteral("--ohne-beispiele"));
    e = Neuanlage::einrichten(fall.kg(), fall.root(), angaben);
    if (!e.isEmpty()) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    if (!fall.anlegen(path, &e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    meldeErledigt(QStringLiteral("Der Fall %1 für das Steuerjahr %2 (%3) wurde angelegt.").arg(path).arg(year).arg(chart));
    return Ok;
}

int cmdInfo(const Args& a) {
    const QString n = QStringLiteral("info");
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

// Left-justified names of the overview: the German name and, beside it,
// the names scripts may still use.
QString etikett(const Befehl& b) {
    return b.aliase.isEmpty() ? b.name : QStringLiteral("%1 (%2)").arg(b.name, b.aliase.join(QStringLiteral(", ")));
}

QList<const Befehl*> unterbefehle(const QString& name) {
    QList<const Befehl*> l;
    for (const Befehl& b : commands())
        if (b.name == name && !b.unter.isEmpty()) l << &b;
    return l;
}

QString unterNamen(const QString& name) {
    QStringList l;
    for (const Befehl* b : unterbefehle(name)) l << b->unter;
    return l.join(QStringLiteral(", "));
}

// A line of the help broken into lines of at most `breite` characters.
QString umbrochen(const QString& text, int breite = 100) {
    QString t, zeile;
    for (const QString& wort : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!zeile.isEmpty() && zeile.size() + 1 + wort.size() > breite) {
            t += zeile + QLatin1Char('\n');
            zeile.clear();
        }
        zeile += (zeile.isEmpty() ? QString() : QStringLiteral(" ")) + wort;
    }
    return t + zeile + QLatin1Char('\n');
}

QString eingerueckt(const QString& text) {
    QString t;
    for (const QString& z : text.split(QLatin1Char('\n'))) t += (z.isEmpty() ? QString() : QStringLiteral("  ") + z) + QLatin1Char('\n');
    return t;
}

// The other names of a row's options, so a script's --amount is found in
// the help of --betrag.
QString optionsAliase(const Befehl& b, const QString& titel = QStringLiteral("Weitere Namen der Optionen")) {
    QStringList l;
    for (const Option& o : b.optionen)
        for (int i = 1; i < o.namen.size(); ++i) l << QStringLiteral("%1 für %2").arg(o.namen[i], o.name());
    return l.isEmpty() ? QString() : umbrochen(QStringLiteral("%1: %2.").arg(titel, l.join(QStringLiteral(", "))));
}

// Two rows of one name or a name that is a switch in one row and takes a
// value in another would make the table ambiguous; that is a fault of the
// program, found at its first start.
void pruefeTabelle(const QList<Befehl>& l) {
    QMap<QString, QString> namen;  // command name or alias → command
    QMap<QString, bool> mitWert;   // command + option → takes a value
    for (const Befehl& b : l) {
        const QString schluessel = b.voll();
        const QStringList eigene = QStringList(b.aliase) << (b.unter.isEmpty() ? b.name : b.unter);
        if (b.unter.isEmpty())
            for (const QString& n : eigene) {
                if (namen.contains(n)) qFatal("dalvo: der Befehlsname %s ist doppelt vergeben", qPrintable(n));
                namen.insert(n, b.name);
            }
        if (!b.unter.isEmpty())
            for (const Befehl& x : l)
                if (&x != &b && x.name == b.name && !x.unter.isEmpty())
                    for (const QString& n : eigene)
                        if (x.unter == n || x.aliase.contains(n)) qFatal("dalvo: der Unterbefehl %s ist doppelt vergeben", qPrintable(schluessel));
        for (const Option& o : b.optionen)
            for (const QString& n : o.namen) {
                const QString k = b.name + QLatin1Char(' ') + n;
                if (mitWert.contains(k) && mitWert.value(k) != o.mitWert())
                    qFatal("dalvo: die Option %s von %s ist einmal Schalter, einmal mit Wert", qPrintable(n), qPrintable(b.name));
                mitWert.insert(k, o.mitWert());
            }
    }
    for (const Befehl& b : l)
        if (!b.unter.isEmpty() && !namen.contains(b.name)) qFatal("dalvo: dem Unterbefehl %s fehlt sein Befehl", qPrintable(b.voll()));
}

}  // namespace

QList<Befehl> programmBefehle() {
    return {
        {QStringLiteral("hilfe"), {}, {QStringLiteral("help")}, {}, QStringLiteral("dalvo hilfe [BEFEHL [UNTERBEFEHL]]"),
         QStringLiteral("zeigt diese Übersicht oder die Hilfe eines Befehls"),
         QStringLiteral("Ohne Argument: die Liste aller Befehle. Mit einem Befehl: dessen ausführliche Hilfe\n"
                        "(gleichbedeutend mit „dalvo BEFEHL --hilfe“), mit einem Unterbefehl nur dessen Hilfe."),
         cmdHelp},
        {QStringLiteral("version"), {}, {}, {}, QStringLiteral("dalvo version"), QStringLiteral("zeigt die Programm- und Datenbankversion"),
         QStringLiteral("Gibt die Version des Programms und die Version des Datenbankschemas der\n"
                        "Referenzdatenbank aus."),
         cmdVersion},
        {QStringLiteral("dbinfo"), {}, {}, {{{"--jahr", "--year"}, "JAHR"}}, QStringLiteral("dalvo dbinfo [--jahr JAHR]"),
         QStringLiteral("legt eine leere Arbeitsdatenbank an und zeigt Version und Falleigenschaften"),
         QStringLiteral("Legt in einem temporären Verzeichnis die Arbeitsdatenbank eines neuen Falls aus der\n"
                        "leeren Vorlage an, setzt Steuerjahr (Vorgabe 2016) und Kontenrahmen SKR03 und zeigt\n"
                        "Datenbankversion und Falleigenschaften. Nichts wird dauerhaft gespeichert.\n\n"
                        "Optionen:\n  --jahr JAHR   Steuerjahr des Falls (2000..2100)"),
         cmdDbinfo},
        {QStringLiteral("neu"), {}, {QStringLiteral("new")},
         {{{"--jahr", "--year"}, "JAHR"}, {{"--kontenrahmen", "--chart"}, "NAME"}, {{"--ohne-ust", "--no-vat"}}, {{"--ohne-beispiele", "--no-examples"}}},
         QStringLiteral("dalvo neu FALL --jahr JAHR [--kontenrahmen SKR03|SKR04|EKR03|SKR80|SKR81] [--ohne-ust] [--ohne-beispiele]"),
         QStringLiteral("legt eine neue Falldatei an"),
         QStringLiteral("Legt die Falldatei FALL für das Steuerjahr JAHR an. Eine vorhandene Datei wird nie\n"
                        "überschrieben.\n\nOptionen:\n  --jahr JAHR           Steuerjahr (2000..2100)\n"
                        "  --kontenrahmen NAME   Kontenrahmen (Vorgabe SKR03)\n"
                        "  --ohne-ust            der Fall ist nicht umsatzsteuerpflichtig (Kleinunternehmer)\n"
                        "  --ohne-beispiele      keine Beispielbuchungen"),
         cmdNew},
        {QStringLiteral("info"), {}, {}, {{{"--json"}}}, QStringLiteral("dalvo info FALL [--json]"), QStringLiteral("zeigt die Einstellungen eines Falls"),
         QStringLiteral("Zeigt Steuerjahr, Kontenrahmen, Umsatzsteuerpflicht, Kassenkonto, Festschreibungsdatum,\n"
                        "die Zahl der gültigen Buchungen und der aktiven Konten.\n\n"
                        "Optionen:\n  --json   als JSON (Schlüssel steuerjahr, kontenplan, ustpflicht, kassenkonto,\n"
                        "           festgeschrieben_bis, buchungen, konten_aktiv)"),
         cmdInfo},
    };
}

const QList<Befehl>& commands() {
    static const QList<Befehl> alle = [] {
        QList<Befehl> l = programmBefehle();
        l << kontenBefehle() << buchenBefehle() << austauschBefehle() << steuerBefehle() << statusBefehle() << berichtBefehle()
          << kassenBefehle() << jahrBefehle() << fakturaBefehle() << bankBefehle() << regelBefehle() << eingangBefehle() << uebergabeBefehle() << anlagenBefehle();
        pruefeTabelle(l);
        return l;
    }();
    return alle;
}

const Befehl* findCommand(const QString& name) {
    for (const Befehl& c : commands())
        if (c.unter.isEmpty() && (c.name == name || c.aliase.contains(name))) return &c;
    return nullptr;
}

const Befehl* findeUnterbefehl(const QString& befehl, const QString& unter) {
    for (const Befehl& c : commands())
        if (c.name == befehl && !c.unter.isEmpty() && (c.unter == unter || c.aliase.contains(unter))) return &c;
    return nullptr;
}

const Befehl* waehleZeile(const Befehl& befehl, const QStringList& argv, QString* fehler) {
    const QList<const Befehl*> unter = unterbefehle(befehl.name);
    if (unter.isEmpty()) return &befehl;
    // The subcommand is the second word that is not an option or an
    // option's value; any row of the command says which options take one.
    const QList<const Befehl*> zeilen = QList<const Befehl*>(unter) << &befehl;
    auto nimmtWert = [&](const QString& name) {
        for (const Befehl* b : zeilen)
            for (const Option& o : b->optionen)
                if (o.namen.contains(name)) return o.mitWert();
        return false;
    };
    QStringList pos;
    for (int i = 0; i < argv.size(); ++i) {
        const QString& a = argv[i];
        if (!a.startsWith(QLatin1String("--")) || a.size() <= 2)
            pos << a;
        else if (!a.contains(QLatin1Char('=')) && nimmtWert(a))
            ++i;
    }
    if (pos.size() < 2) {
        if (befehl.run) return &befehl;
        *fehler = pos.isEmpty() ? QStringLiteral("Bitte die Falldatei und einen Unterbefehl angeben (%1).").arg(unterNamen(befehl.name))
                                : QStringLiteral("Bitte einen Unterbefehl angeben: %1.").arg(unterNamen(befehl.name));
        return nullptr;
    }
    if (const Befehl* b = findeUnterbefehl(befehl.name, pos[1])) return b;
    *fehler = QStringLiteral("Einen Unterbefehl „%1“ gibt es bei „dalvo %2“ nicht; es gibt: %3.").arg(pos[1], befehl.name, unterNamen(befehl.name));
    return nullptr;
}

QString aufrufText(const Befehl& zeile) {
    QStringList aufrufe;
    if (!zeile.aufruf.isEmpty()) aufrufe << zeile.aufruf;
    if (zeile.unter.isEmpty())
        for (const Befehl* b : unterbefehle(zeile.name)) aufrufe << b->aufruf;
    return aufrufe.join(QStringLiteral("\n        "));
}

QString hilfeText(const Befehl& zeile) {
    if (!zeile.unter.isEmpty()) {
        QString t = QStringLiteral("Aufruf: %1\n\n%2\n").arg(zeile.aufruf, zeile.hilfe);
        if (!zeile.aliase.isEmpty()) t += QStringLiteral("\nWeitere Namen des Unterbefehls: %1.\n").arg(zeile.aliase.join(QStringLiteral(", ")));
        const QString optionen = optionsAliase(zeile);
        return optionen.isEmpty() ? t : t + (zeile.aliase.isEmpty() ? QStringLiteral("\n") : QString()) + optionen;
    }
    const QList<const Befehl*> unter = unterbefehle(zeile.name);
    QString t = QStringLiteral("Aufruf: %1\n\n%2\n").arg(aufrufText(zeile), zeile.hilfe);
    QString anhang;
    if (!zeile.aliase.isEmpty()) anhang += QStringLiteral("Weitere Namen des Befehls: %1.\n").arg(zeile.aliase.join(QStringLiteral(", ")));
    anhang += optionsAliase(zeile);
    for (const Befehl* b : unter) {
        t += QStringLiteral("\n%1%2:\n%3")
                 .arg(b->unter, b->aliase.isEmpty() ? QString() : QStringLiteral(" (auch %1)").arg(b->aliase.join(QStringLiteral(", "))),
                      eingerueckt(b->hilfe));
        anhang += optionsAliase(*b, QStringLiteral("Weitere Namen der Optionen von %1").arg(b->unter));
    }
    return anhang.isEmpty() ? t : t + QLatin1Char('\n') + anhang;
}

namespace {
int cmdHelp(const Args& a) {
    const QStringList& p = a.positional();
    if (!p.isEmpty()) {
        const Befehl* c = findCommand(p.first());
        if (!c) return usageError(QStringLiteral("hilfe"), QStringLiteral("Unbekannter Befehl „%1“; die Befehle zeigt „dalvo hilfe“.").arg(p.first()));
        if (p.size() > 2) return usageError(QStringLiteral("hilfe"), QStringLiteral("Zu viele Argumente."));
        if (p.size() == 2) {
            const Befehl* u = findeUnterbefehl(c->name, p[1]);
            if (!u)
                return usageError(QStringLiteral("hilfe"), unterNamen(c->name).isEmpty()
                                                               ? QStringLiteral("„dalvo %1“ hat keine Unterbefehle.").arg(c->name)
                                                               : QStringLiteral("Einen Unterbefehl „%1“ gibt es bei „dalvo %2“ nicht; es gibt: %3.")
                                                                     .arg(p[1], c->name, unterNamen(c->name)));
            c = u;
        }
        out(hilfeText(*c));
        return Ok;
    }
    out(QStringLiteral("dalvo – Buchhaltung für die Einnahmenüberschussrechnung (EÜR, UStVA, ZM)\n\n"
                       "Aufruf: dalvo BEFEHL [FALL] [OPTIONEN]\n"));
    int breite = 0;
    for (const Befehl& c : commands())
        if (c.unter.isEmpty()) breite = qMax(breite, int(etikett(c).size()));
    for (const Befehlsgruppe& g : befehlsgruppen()) {
        QList<const Befehl*> liste;
        for (const QString& name : g.namen)
            if (const Befehl* c = findCommand(name)) liste << c;
        for (const Befehl& c : commands())
            if (c.unter.isEmpty() && gruppeVon(c.name) == &g && !g.namen.contains(c.name)) liste << &c;
        if (liste.isEmpty()) continue;
        out(QStringLiteral("\n%1:\n").arg(g.titel));
        for (const Befehl* c : liste) out(QStringLiteral("  %1  %2\n").arg(etikett(*c).leftJustified(breite), c->kurz));
    }
    out(QStringLiteral("\nIn Klammern die Namen, die Skripte weiter verwenden können (auch für Optionen: --amount für\n"
                       "--betrag …; die Hilfe jedes Befehls nennt sie).\n"
                       "Für jeden Befehl: --ja oder --nein beantwortet Rückfragen, --warten SEKUNDEN wartet auf einen\n"
                       "anderen Befehl, der denselben Fall schreibt.\n"
                       "Datumsangaben: TT.MM.JJJJ. Beträge: 1.190,00, 1190,00 oder 1190.00.\n"
                       "Rückgabewerte: 0 Erfolg, 1 vom Programm abgelehnt, 2 Aufruffehler.\n"
                       "Hilfe zu einem Befehl: dalvo BEFEHL --hilfe\n"));
    return Ok;
}
}  // namespace

}  // namespace cli
