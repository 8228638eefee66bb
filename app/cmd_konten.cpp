// dalvo konten / konto / steuerschluessel: the chart of accounts and the tax
// keys, shown and edited.
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"
#include "app/listenausgabe.h"

#include "host/app/ui.h"
#include "kontbaum/konten/kontenlisten.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {
QJsonObject kontoJson(const Kontoeditor::Kontozeile& k) {
    QJsonObject o;
    o[QStringLiteral("nummer")] = qint64(k.nummer);
    o[QStringLiteral("bezeichnung")] = k.bezeichnung;
    o[QStringLiteral("kategorie")] = qint64(k.kategorie);
    o[QStringLiteral("steuerschluessel")] = qint64(k.steuerschluessel);
    o[QStringLiteral("aktiv")] = k.aktiv;
    return o;
}
}  // namespace

int cmdAccounts(const Args& a) {
    const QString n = QStringLiteral("konten");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (a.has(QStringLiteral("--suche")) && a.value(QStringLiteral("--suche")).trimmed().isEmpty())
        return usageError(n, QStringLiteral("--suche braucht einen Suchtext."));
    Ausgabeziel ziel;
    if (const int r = pruefeListenausgabe(n, a, &ziel)) return r;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        return gibListeAus(a, fall, ziel, {}, [&](BerichtListe* l, QString*) {
            Kontoeditor::kontenListe(a.has(QStringLiteral("--search")) ? Kontoeditor::kontensuche(a.value(QStringLiteral("--search")))
                                                                        : Kontoeditor::kontenliste(a.has(QStringLiteral("--all"))),
                                     l);
            return true;
        });
    });
}

int cmdKeys(const Args& a) {
    const QString n = QStringLiteral("steuerschluessel");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    Ausgabeziel ziel;
    if (const int r = pruefeListenausgabe(n, a, &ziel)) return r;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        return gibListeAus(a, fall, ziel, {}, [&](BerichtListe* l, QString*) {
            Kontoeditor::schluesselListe(l);
            return true;
        });
    });
}

namespace {
int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

// Numbers 1..9999 after the subcommand; false on anything else.
bool nummern(const QStringList& worte, int hoechstens, QList<unsigned long>* liste, QString* fehler) {
    for (const QString& w : worte) {
        int n = 0;
        if (!parseInt(w, 0, hoechstens, &n, fehler)) return false;
        liste->append(unsigned(n));
    }
    if (liste->isEmpty()) *fehler = QStringLiteral("Bitte mindestens eine Nummer angeben.");
    return !liste->isEmpty();
}

QJsonArray kontenJson(const QList<unsigned long>& nr) {
    QJsonArray l;
    for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(nr)) {
        QJsonObject o = kontoJson(k);
        o[QStringLiteral("steuerschluessel_fest")] = k.steuerautomatik == 1;
        l.append(o);
    }
    return l;
}
}  // namespace

int cmdKonto(const Args& a) {
    const QString n = QStringLiteral("konto");
    const QStringList& p = a.positional();
    if (p.size() < 3) return usageError(n, QStringLiteral("Die Kontonummer fehlt."));
    const QString aktion = p.at(1);
    const bool bearbeiten = aktion == QLatin1String("neu") || aktion == QLatin1String("aendern");
    QList<unsigned long> konten;
    QString e;
    if (!nummern(p.mid(2), 99999, &konten, &e)) return usageError(n, e);
    if (bearbeiten && konten.size() != 1) return usageError(n, QStringLiteral("%1 bearbeitet genau ein Konto.").arg(aktion));
    if (a.has(QStringLiteral("--fest")) && a.has(QStringLiteral("--vorbelegung")))
        return usageError(n, QStringLiteral("--fest und --vorbelegung widersprechen sich; bitte nur eines angeben."));
    if (aktion == QLatin1String("neu") && (!a.has(QStringLiteral("--bezeichnung")) || !a.has(QStringLiteral("--kategorie"))))
        return usageError(n, QStringLiteral("neu braucht --bezeichnung und --kategorie (die Kategorien zeigt „dalvo bericht FALL kontenplan“)."));
    bool aenderung = false;
    for (const char* f : {"--bezeichnung", "--kurz", "--kategorie", "--schluessel", "--fest", "--vorbelegung"}) aenderung = aenderung || a.has(QLatin1String(f));
    if (aktion == QLatin1String("aendern") && !aenderung)
        return usageError(n, QStringLiteral("aendern braucht mindestens eine Änderung: --bezeichnung, --kurz, --kategorie, --schluessel, "
                                            "--fest oder --vorbelegung."));
    int kategorie = 0, schluessel = 0, wie = 0;
    if (a.has(QStringLiteral("--kategorie")) && !parseInt(a.value(QStringLiteral("--kategorie")), 1, 9999, &kategorie, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--schluessel")) && !parseInt(a.value(QStringLiteral("--schluessel")), 0, 999998, &schluessel, &e))
        return usageError(n, e);
    if (a.has(QStringLiteral("--wie")) && !parseInt(a.value(QStringLiteral("--wie")), 1, 9999, &wie, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        QString fehler;
        if (!bearbeiten) {
            if (!Kontoeditor::setzeKontenAktiv(konten, aktion == QLatin1String("aktivieren"), &fehler)) return abgelehnt(fehler);
        } else {
            Kontoeditor::Konto k;
            const bool neu = aktion == QLatin1String("neu");
            if (!neu && !Kontoeditor::lese(konten.first(), &k))
                return abgelehnt(QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht; neue Konten legt „dalvo konto FALL neu“ an.").arg(konten.first()));
            const unsigned long alterSchluessel = k.steuerschluessel;
            const int alteAutomatik = k.steuerautomatik;
            k.nummer = konten.first();
            if (a.has(QStringLiteral("--bezeichnung"))) k.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
            if (a.has(QStringLiteral("--kurz"))) k.kurzbezeichnung = a.value(QStringLiteral("--kurz"));
            if (a.has(QStringLiteral("--kategorie"))) k.kategorie = unsigned(kategorie);
            if (a.has(QStringLiteral("--schluessel"))) k.steuerschluessel = unsigned(schluessel);
            if (a.has(QStringLiteral("--fest"))) k.steuerautomatik = 1;
            if (a.has(QStringLiteral("--vorbelegung"))) k.steuerautomatik = 0;
            k.vorbild = unsigned(wie);
            fehler = Kontoeditor::pruefe(k, neu);
            if (!fehler.isEmpty()) return abgelehnt(fehler);
            const QString warnung = Kontoeditor::klassenWarnung(k);
            if (!warnung.isEmpty() && !GetUi().frage(warnung + QStringLiteral("\n\nSoll das Konto trotzdem gespeichert werden?"), QStringLiteral("Achtung")))
                return abgelehnt(QStringLiteral("Das Konto wurde nicht gespeichert. Wählen Sie eine Nummer im Bereich der Kategorie oder "
                                                "bestätigen Sie mit --ja."));
            unsigned long vorbild = 0;
            if (neu ? !Kontoeditor::anlegen(k, &vorbild, &fehler) : !Kontoeditor::aendern(k, &fehler)) return abgelehnt(fehler);
            // Bookings and templates keep their keys; the user learns which
            // no longer match the account's fixed key.
            if (!neu && k.steuerautomatik == 1 && (k.steuerschluessel != alterSchluessel || alteAutomatik != 1)) fall.kg()->checkSteuerautokonten();
            if (neu && !a.has(QStringLiteral("--json")))
                err(vorbild ? QStringLiteral("Hinweis: Die Zuordnung zu den Formularen (UStVA, USt, EÜR) wurde von Konto %1 übernommen.\n").arg(vorbild)
                            : QStringLiteral("Hinweis: Die Kategorie hat kein Konto, dessen Zuordnung zu den Formularen übernommen werden "
                                             "kann; das Konto erscheint in keiner Formularzeile.\n"));
        }
        if (a.has(QStringLiteral("--json"))) out(jsonText(kontenJson(konten)));
        else
            for (unsigned long k : konten) out(QStringLiteral("%1\n").arg(k));
        return int(Ok);
    });
}

int cmdSchluessel(const Args& a) {
    const QString n = QStringLiteral("steuerschluessel");
    const QStringList& p = a.positional();
    if (p.size() < 3) return usageError(n, QStringLiteral("Die Steuerschlüssel fehlen."));
    QList<unsigned long> schluessel;
    QString e;
    if (!nummern(p.mid(2), 999998, &schluessel, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString fehler;
        if (!Kontoeditor::setzeSchluesselAktiv(schluessel, p.at(1) == QLatin1String("aktivieren"), &fehler)) return abgelehnt(fehler);
        if (a.has(QStringLiteral("--json"))) {
            QJsonArray l;
            for (const Kontoeditor::Schluesselzeile& z : Kontoeditor::schluesselliste(schluessel)) {
                QJsonObject o;
                o[QStringLiteral("steuerschluessel")] = qint64(z.schluessel);
                o[QStringLiteral("bezeichnung")] = z.bezeichnung;
                o[QStringLiteral("aktiv")] = z.aktiv;
                l.append(o);
            }
            out(jsonText(l));
        } else {
            for (unsigned long s : schluessel) out(QStringLiteral("%1\n").arg(s));
        }
        return int(Ok);
    });
}

QList<Befehl> kontenBefehle() {
    const QList<Option> kontoAngaben = {{{"--bezeichnung"}, "TEXT"}, {{"--kurz"}, "TEXT"}, {{"--kategorie"}, "K"},
                                        {{"--schluessel", "--steuerschluessel"}, "S"}, {{"--fest"}}, {{"--vorbelegung"}}, {{"--json"}}};
    return {
        {QStringLiteral("konten"), {}, {QStringLiteral("accounts")},
         QList<Option>{{{"--alle", "--all"}}, {{"--suche", "--search"}, "TEXT"}} << listenOptionen(),
         QStringLiteral("dalvo konten FALL [--alle] [--suche TEXT] [--csv | --json | --pdf DATEI [--ersetzen]]"), QStringLiteral("zeigt den Kontenplan"),
         QStringLiteral("Zeigt die aktiven Konten des Falls mit Nummer, Bezeichnung, Kategorie und\n"
                        "Steuerschlüssel.\n\nOptionen:\n  --alle         auch die inaktiven Konten\n"
                        "  --suche TEXT   nur die aktiven Konten, deren Nummer TEXT ist oder deren Bezeichnung\n"
                        "                 TEXT enthält\n"
                        "  --csv          für die Tabellenkalkulation (';', Kopfzeile)\n"
                        "  --json         als JSON-Liste (nummer, bezeichnung, kategorie, steuerschluessel, aktiv)\n"
                        "  --pdf DATEI    zum Drucken; vorhandene Dateien nur mit --ersetzen, - für die Standardausgabe"),
         cmdAccounts},
        {QStringLiteral("konto"), {}, {}, {}, QString(), QStringLiteral("legt Konten an, ändert, deaktiviert oder aktiviert sie"),
         QStringLiteral("Bearbeitet den Kontenplan nach seinen Regeln: Kontonummer 1 bis 9999 und neu, ein Steuerschlüssel,\n"
                        "der zur Kategorie passt (kein Vorsteuerschlüssel auf Einnahmekonten …). Liegt die Nummer außerhalb der\n"
                        "Kontenklassen ihrer Kategorie, wird gefragt (--ja speichert trotzdem).\n"
                        "--fest: der Steuerschlüssel gilt für jede Buchung auf dem Konto; --vorbelegung: er wird nur\n"
                        "vorgeschlagen.\n\n"
                        "Ausgabe: die Kontonummern; mit --json die Konten (nummer, bezeichnung, kategorie,\n"
                        "steuerschluessel, steuerschluessel_fest, aktiv)."),
         nullptr},
        {QStringLiteral("konto"), QStringLiteral("neu"), {QStringLiteral("add")}, QList<Option>(kontoAngaben) << Option{{"--wie"}, "KONTO"},
         QStringLiteral("dalvo konto FALL neu NR --bezeichnung T --kategorie K [--kurz T] [--schluessel S [--fest|--vorbelegung]] "
                        "[--wie KONTO] [--json]"),
         QStringLiteral("legt ein Konto an"),
         QStringLiteral("Legt das Konto NR an. Es übernimmt die Zuordnung zu den Formularen (UStVA, USt, GewSt, EÜR) vom\n"
                        "ersten Konto der Kategorie oder von --wie KONTO."),
         cmdKonto},
        {QStringLiteral("konto"), QStringLiteral("aendern"), {QStringLiteral("edit")}, kontoAngaben,
         QStringLiteral("dalvo konto FALL aendern NR [--bezeichnung T] [--kurz T] [--kategorie K] [--schluessel S] [--fest|--vorbelegung] "
                        "[--json]"),
         QStringLiteral("ändert ein Konto"),
         QStringLiteral("Ändert die genannten Angaben des Kontos NR. Buchungen und Vorlagen behalten ihre Steuerschlüssel;\n"
                        "die, die nicht mehr zum festen Schlüssel des Kontos passen, werden genannt."),
         cmdKonto},
        {QStringLiteral("konto"), QStringLiteral("deaktivieren"), {}, {{{"--json"}}}, QStringLiteral("dalvo konto FALL deaktivieren NR… [--json]"),
         QStringLiteral("nimmt Konten aus der Auswahl"),
         QStringLiteral("Lehnt Konten ab, die Buchungen, Vorlagen, Bankverbindungen, Steuerschlüssel verwenden, Systemkonten\n"
                        "und das Kassenkonto; es ändert dann keines der genannten Konten."),
         cmdKonto},
        {QStringLiteral("konto"), QStringLiteral("aktivieren"), {}, {{{"--json"}}}, QStringLiteral("dalvo konto FALL aktivieren NR… [--json]"),
         QStringLiteral("bietet Konten wieder zur Auswahl an"), QStringLiteral("Macht die genannten Konten wieder aktiv."), cmdKonto},
        {QStringLiteral("steuerschluessel"), {}, {QStringLiteral("keys"), QStringLiteral("schluessel")}, listenOptionen(),
         QStringLiteral("dalvo steuerschluessel FALL [--csv | --json | --pdf DATEI [--ersetzen]]"), QStringLiteral("zeigt die Steuerschlüssel und bietet sie zur Auswahl an oder nicht"),
         QStringLiteral("Zeigt die Steuerschlüssel des Falls mit Steuersatz, Steuerart (U Umsatzsteuer,\n"
                        "V Vorsteuer, B beide) und ob sie zur Auswahl angeboten werden.\n\n"
                        "Optionen:\n  --csv         für die Tabellenkalkulation (';', Kopfzeile)\n"
                        "  --json        als JSON-Liste (steuerschluessel, bezeichnung, steuersatz, steuerart, aktiv)\n"
                        "  --pdf DATEI   zum Drucken; vorhandene Dateien nur mit --ersetzen, - für die Standardausgabe"),
         cmdKeys},
        {QStringLiteral("steuerschluessel"), QStringLiteral("aktivieren"), {}, {{{"--json"}}},
         QStringLiteral("dalvo steuerschluessel FALL aktivieren SCHLÜSSEL… [--json]"), QStringLiteral("bietet Steuerschlüssel zur Auswahl an"),
         QStringLiteral("Bietet die Steuerschlüssel wieder zur Auswahl an.\n\n"
                        "Ausgabe: die Schlüssel; mit --json die Schlüssel (steuerschluessel, bezeichnung, aktiv)."),
         cmdSchluessel},
        {QStringLiteral("steuerschluessel"), QStringLiteral("deaktivieren"), {}, {{{"--json"}}},
         QStringLiteral("dalvo steuerschluessel FALL deaktivieren SCHLÜSSEL… [--json]"), QStringLiteral("bietet Steuerschlüssel nicht mehr an"),
         QStringLiteral("Ein Schlüssel, den Buchungen, Vorlagen, Artikel, Belege oder ein aktives Konto mit festem Schlüssel\n"
                        "verwenden, bleibt aktiv; ebenso die Schlüssel, die es in jedem Fall geben muss. Wird einer abgelehnt,\n"
                        "ändert sich keiner.\n\n"
                        "Ausgabe: die Schlüssel; mit --json die Schlüssel (steuerschluessel, bezeichnung, aktiv)."),
         cmdSchluessel},
    };
}

}  // namespace cli
