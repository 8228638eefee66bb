// dalvo accounts / keys / konto / schluessel: the chart of accounts and the
// tax keys, shown and edited.
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/ui.h"
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

int cmdAccounts(const QStringList& args) {
    const QString n = QStringLiteral("accounts");
    Args a(args, {QStringLiteral("--search")}, {QStringLiteral("--all"), QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (a.has(QStringLiteral("--search")) && a.value(QStringLiteral("--search")).trimmed().isEmpty())
        return usageError(n, QStringLiteral("--search braucht einen Suchtext."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        const QList<Kontoeditor::Kontozeile> konten = a.has(QStringLiteral("--search"))
                                                           ? Kontoeditor::kontensuche(a.value(QStringLiteral("--search")))
                                                           : Kontoeditor::kontenliste(a.has(QStringLiteral("--all")));
        if (a.has(QStringLiteral("--json"))) {
            QJsonArray liste;
            for (const Kontoeditor::Kontozeile& k : konten) liste.append(kontoJson(k));
            out(QString::fromUtf8(QJsonDocument(liste).toJson(QJsonDocument::Indented)));
            return int(Ok);
        }
        out(QStringLiteral("Nr.  Bezeichnung                                         Kat.  StS  aktiv\n"));
        for (const Kontoeditor::Kontozeile& k : konten)
            out(QStringLiteral("%1 %2 %3  %4  %5\n")
                    .arg(k.nummer, 4, 10, QLatin1Char('0'))
                    .arg(k.bezeichnung.left(50), -50)
                    .arg(k.kategorie, 4)
                    .arg(k.steuerschluessel ? QString::number(k.steuerschluessel) : QString(), 3)
                    .arg(k.aktiv ? QStringLiteral("ja") : QStringLiteral("nein")));
        return int(Ok);
    });
}

int cmdKeys(const QStringList& args) {
    const QString n = QStringLiteral("keys");
    Args a(args, {}, {QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall&) {
        QJsonArray liste;
        if (!a.has(QStringLiteral("--json")))
            out(QStringLiteral("StS     Satz  Art  aktiv  Bezeichnung\n"));
        for (const Kontoeditor::Schluesselzeile& z : Kontoeditor::schluesselliste()) {
            const double satz = EuroType(z.steuersatz).Runden(2);
            const QString art = z.steuerart.trimmed().left(1);
            if (a.has(QStringLiteral("--json"))) {
                QJsonObject o;
                o[QStringLiteral("steuerschluessel")] = qint64(z.schluessel);
                o[QStringLiteral("bezeichnung")] = z.bezeichnung;
                o[QStringLiteral("steuersatz")] = satz;
                o[QStringLiteral("steuerart")] = art;
                o[QStringLiteral("aktiv")] = z.aktiv;
                liste.append(o);
            } else {
                out(QStringLiteral("%1  %2  %3    %4   %5\n")
                        .arg(z.schluessel, 3)
                        .arg(QString::number(satz, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')), 6)
                        .arg(art, 1)
                        .arg(z.aktiv ? QStringLiteral("ja  ") : QStringLiteral("nein"))
                        .arg(z.bezeichnung));
            }
        }
        if (a.has(QStringLiteral("--json"))) out(QString::fromUtf8(QJsonDocument(liste).toJson(QJsonDocument::Indented)));
        return int(Ok);
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

int cmdKonto(const QStringList& args) {
    const QString n = QStringLiteral("konto");
    Args a(args, {QStringLiteral("--bezeichnung"), QStringLiteral("--kurz"), QStringLiteral("--kategorie"), QStringLiteral("--steuerschluessel"),
                  QStringLiteral("--wie")},
           {QStringLiteral("--fest"), QStringLiteral("--vorbelegung"), QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    const QStringList& p = a.positional();
    static const QStringList aktionen = {QStringLiteral("add"), QStringLiteral("edit"), QStringLiteral("deaktivieren"), QStringLiteral("aktivieren")};
    if (p.size() < 3 || !aktionen.contains(p.at(1)))
        return usageError(n, QStringLiteral("Aufruf: dalvo konto FALL add|edit|deaktivieren|aktivieren NUMMER …"));
    const QString aktion = p.at(1);
    const bool bearbeiten = aktion == QLatin1String("add") || aktion == QLatin1String("edit");
    QList<unsigned long> konten;
    QString e;
    if (!nummern(p.mid(2), 99999, &konten, &e)) return usageError(n, e);
    if (bearbeiten && konten.size() != 1) return usageError(n, QStringLiteral("%1 bearbeitet genau ein Konto.").arg(aktion));
    if (!bearbeiten)
        for (const char* f : {"--bezeichnung", "--kurz", "--kategorie", "--steuerschluessel", "--wie", "--fest", "--vorbelegung"})
            if (a.has(QLatin1String(f))) return usageError(n, QStringLiteral("%1 gehört zu add und edit.").arg(QLatin1String(f)));
    if (a.has(QStringLiteral("--fest")) && a.has(QStringLiteral("--vorbelegung")))
        return usageError(n, QStringLiteral("--fest und --vorbelegung widersprechen sich; bitte nur eines angeben."));
    if (aktion == QLatin1String("add") && (!a.has(QStringLiteral("--bezeichnung")) || !a.has(QStringLiteral("--kategorie"))))
        return usageError(n, QStringLiteral("add braucht --bezeichnung und --kategorie (die Kategorien zeigt „dalvo bericht FALL kontenplan“)."));
    if (aktion != QLatin1String("add") && a.has(QStringLiteral("--wie"))) return usageError(n, QStringLiteral("--wie gehört zu add."));
    bool aenderung = false;
    for (const char* f : {"--bezeichnung", "--kurz", "--kategorie", "--steuerschluessel", "--fest", "--vorbelegung"}) aenderung = aenderung || a.has(QLatin1String(f));
    if (aktion == QLatin1String("edit") && !aenderung)
        return usageError(n, QStringLiteral("edit braucht mindestens eine Änderung: --bezeichnung, --kurz, --kategorie, --steuerschluessel, "
                                            "--fest oder --vorbelegung."));
    int kategorie = 0, schluessel = 0, wie = 0;
    if (a.has(QStringLiteral("--kategorie")) && !parseInt(a.value(QStringLiteral("--kategorie")), 1, 9999, &kategorie, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--steuerschluessel")) && !parseInt(a.value(QStringLiteral("--steuerschluessel")), 0, 999998, &schluessel, &e))
        return usageError(n, e);
    if (a.has(QStringLiteral("--wie")) && !parseInt(a.value(QStringLiteral("--wie")), 1, 9999, &wie, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        QString fehler;
        if (!bearbeiten) {
            if (!Kontoeditor::setzeKontenAktiv(konten, aktion == QLatin1String("aktivieren"), &fehler)) return abgelehnt(fehler);
        } else {
            Kontoeditor::Konto k;
            const bool neu = aktion == QLatin1String("add");
            if (!neu && !Kontoeditor::lese(konten.first(), &k))
                return abgelehnt(QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht; neue Konten legt „dalvo konto FALL add“ an.").arg(konten.first()));
            const unsigned long alterSchluessel = k.steuerschluessel;
            const int alteAutomatik = k.steuerautomatik;
            k.nummer = konten.first();
            if (a.has(QStringLiteral("--bezeichnung"))) k.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
            if (a.has(QStringLiteral("--kurz"))) k.kurzbezeichnung = a.value(QStringLiteral("--kurz"));
            if (a.has(QStringLiteral("--kategorie"))) k.kategorie = unsigned(kategorie);
            if (a.has(QStringLiteral("--steuerschluessel"))) k.steuerschluessel = unsigned(schluessel);
            if (a.has(QStringLiteral("--fest"))) k.steuerautomatik = 1;
            if (a.has(QStringLiteral("--vorbelegung"))) k.steuerautomatik = 0;
            k.vorbild = unsigned(wie);
            fehler = Kontoeditor::pruefe(k, neu);
            if (!fehler.isEmpty()) return abgelehnt(fehler);
            const QString warnung = Kontoeditor::klassenWarnung(k);
            if (!warnung.isEmpty() && !GetUi().frage(warnung + QStringLiteral("\n\nSoll das Konto trotzdem gespeichert werden?"), QStringLiteral("Achtung")))
                return abgelehnt(QStringLiteral("Das Konto wurde nicht gespeichert. Wählen Sie eine Nummer im Bereich der Kategorie oder "
                                                "bestätigen Sie mit --yes."));
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

int cmdSchluessel(const QStringList& args) {
    const QString n = QStringLiteral("schluessel");
    Args a(args, {}, {QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    const QStringList& p = a.positional();
    if (p.size() < 3 || (p.at(1) != QLatin1String("aktivieren") && p.at(1) != QLatin1String("deaktivieren")))
        return usageError(n, QStringLiteral("Aufruf: dalvo schluessel FALL aktivieren|deaktivieren SCHLÜSSEL …"));
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

}  // namespace cli
