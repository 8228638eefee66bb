// dalvo vorlage / regelbuchungen: booking templates, the recurring ones
// among them, and posting what they make due.
#include "app/befehle.h"
#include "app/buchungsangaben.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/values/datehelper.h"
#include "kontbaum/buchungen/buchungen.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cli {

namespace {

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

void hinweis(const QString& text) { err(Ui::plainText(text).trimmed() + QLatin1Char('\n')); }

QJsonValue datumJson(const zDate& d) { return d.isValid() ? QJsonValue(d.getText()) : QJsonValue(); }

const QString kVorlageAufruf = QStringLiteral(
    "Bitte eine Aktion angeben: dalvo vorlage FALL add --kind ART --date TT.MM.JJJJ --amount BETRAG (--account KONTO --counter KONTO | --soll KONTO "
    "--haben KONTO) [--key STS] [--net] [--text TEXT] [--voucher BELEG] [--intervall INTERVALL] [--zahlungsdatum TT.MM.JJJJ] | "
    "add --aus-buchung NR --intervall INTERVALL | list [--json] [--regelmaessig] | loeschen NR");

// The interval of --intervall; false (usage error reported) when unknown.
bool leseIntervall(const QString& n, const Args& a, int* code, int* rc) {
    *code = Regelbuchung::intervallCode(a.value(QStringLiteral("--intervall")));
    if (*code != 0) return true;
    QStringList namen;
    for (int i = 1; i <= 8; ++i) namen << DateHelper::intervallText(i);
    *rc = usageError(n, QStringLiteral("Unbekanntes Intervall „%1“; erlaubt sind %2.")
                            .arg(a.value(QStringLiteral("--intervall")), namen.join(QStringLiteral(", "))));
    return false;
}

int vorlagenListe(Fall& fall, bool json, bool nurRegelmaessig) {
    QJsonArray l;
    QString t;
    for (const Regelbuchung::Vorlage& v : Regelbuchung::vorlagen(fall.kg()->GetDBConnect_Ptr())) {
        if (nurRegelmaessig && v.intervall.isEmpty()) continue;
        const QString intervall = v.intervall.isEmpty() ? QString() : Regelbuchung::intervallName(v.intervall);
        l.append(QJsonObject{{QStringLiteral("nummer"), qint64(v.nummer)},
                             {QStringLiteral("buchungstext"), v.buchungstext},
                             {QStringLiteral("buchungsart"), v.buchungsart},
                             {QStringLiteral("betrag"), jsonBetrag(v.betrag)},
                             {QStringLiteral("belegdatum"), datumJson(v.belegdatum)},
                             {QStringLiteral("zahlungsdatum"), datumJson(v.zahlungsdatum)},
                             {QStringLiteral("intervall"), intervall.isEmpty() ? QJsonValue() : QJsonValue(intervall)},
                             {QStringLiteral("zusatzinfo"), v.zusatzinfo},
                             {QStringLiteral("konten"), v.konten}});
        t += QStringLiteral("%1  %2  %3  %4  %5  (%6)\n")
                 .arg(v.nummer, 5)
                 .arg(v.belegdatum.isValid() ? v.belegdatum.getText() : QString(10, QLatin1Char(' ')))
                 .arg(intervall.isEmpty() ? QStringLiteral("-") : intervall, -15)
                 .arg(v.betrag.getText(), 12)
                 .arg(v.buchungstext, v.konten);
    }
    if (t.isEmpty()) t = nurRegelmaessig ? QStringLiteral("Es gibt keine regelmäßigen Buchungsvorlagen.\n") : QStringLiteral("Es gibt keine Buchungsvorlagen.\n");
    out(json ? jsonText(l) : t);
    return Ok;
}

int vorlageAusEingabe(Fall& fall, const BuchungsAngaben& ang, int intervall, const zDate& zahlung) {
    KontoGlobal* kg = fall.kg();
    // A template may have begun before this year (its first payment last
    // December); its accounts and key are checked as of the year's first day.
    const zDate jahresanfang(kg->getSteuerjahr(), 1, 1);
    const zDate pruefdatum = ang.datum < jahresanfang ? jahresanfang : ang.datum;
    KontoGlobal::BuchungsEntwurf b;
    QString grund = entwurfAusAngaben(kg->GetDBConnect_Ptr(), kg->getSteuerjahr(), ang, pruefdatum, &b);
    if (!grund.isEmpty()) return abgelehnt(grund);
    b.zahlungsdatum = zahlung;
    const unsigned long nr = Regelbuchung::vorlageAnlegen(b, intervall, &grund);
    if (nr == 0) return abgelehnt(grund);
    out(QStringLiteral("%1\n").arg(nr));
    return Ok;
}

}  // namespace

int cmdVorlage(const QStringList& args) {
    const QString n = QStringLiteral("vorlage");
    Args a(args,
           buchungsWertFlags() << QStringLiteral("--intervall") << QStringLiteral("--zahlungsdatum") << QStringLiteral("--aus-buchung"),
           buchungsSchalter() << QStringLiteral("--json") << QStringLiteral("--regelmaessig"));
    if (!a.ok()) return usageError(n, a.error());
    const QStringList p = a.positional();
    if (p.size() < 2) return usageError(n, kVorlageAufruf);
    const QString was = p[1];
    int rc = 0;
    if (was == QLatin1String("list")) {
        if (p.size() != 2) return usageError(n, QStringLiteral("Zu viele Argumente. ") + kVorlageAufruf);
        return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
            return vorlagenListe(fall, a.has(QStringLiteral("--json")), a.has(QStringLiteral("--regelmaessig")));
        });
    }
    if (was == QLatin1String("loeschen")) {
        bool ok = false;
        const unsigned long nr = p.size() == 3 ? p[2].toULong(&ok) : 0;
        if (!ok || nr == 0) return usageError(n, QStringLiteral("Bitte genau eine Vorlagennummer angeben: dalvo vorlage FALL loeschen NR"));
        return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben, [&](Fall&) {
            QString e;
            if (!Regelbuchung::vorlageLoeschen(nr, &e)) return abgelehnt(e);
            hinweis(QStringLiteral("Die Buchungsvorlage %1 wurde gelöscht; schon erzeugte Buchungen bleiben in der Buchungsliste.").arg(nr));
            return int(Ok);
        });
    }
    if (was != QLatin1String("add") || p.size() != 2) return usageError(n, kVorlageAufruf);
    int intervall = 0;
    if (a.has(QStringLiteral("--intervall")) && !leseIntervall(n, a, &intervall, &rc)) return rc;
    if (a.has(QStringLiteral("--aus-buchung"))) {
        const QStringList fremd = buchungsWertFlags() << QStringLiteral("--zahlungsdatum") << QStringLiteral("--net");
        for (const QString& f : fremd)
            if (a.has(f)) return usageError(n, QStringLiteral("--aus-buchung übernimmt die Buchung, wie sie ist; %1 passt nicht dazu.").arg(f));
        if (!a.has(QStringLiteral("--intervall")))
            return usageError(n, QStringLiteral("--aus-buchung braucht --intervall (z. B. --intervall monatlich)."));
        bool ok = false;
        const unsigned long buchung = a.value(QStringLiteral("--aus-buchung")).toULong(&ok);
        if (!ok || buchung == 0) return usageError(n, QStringLiteral("--aus-buchung braucht eine Buchungsnummer."));
        return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben, [&](Fall&) {
            QString e;
            const unsigned long nr = Regelbuchung::vorlageAusBuchung(buchung, intervall, &e);
            if (nr == 0) return abgelehnt(e);
            out(QStringLiteral("%1\n").arg(nr));
            return int(Ok);
        });
    }
    BuchungsAngaben ang;
    rc = leseBuchungsAngaben(n, a, &ang);
    if (rc >= 0) return rc;
    zDate zahlung;
    QString e;
    if (a.has(QStringLiteral("--zahlungsdatum")) && !parseDate(a.value(QStringLiteral("--zahlungsdatum")), &zahlung, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, p.first(), Fall::Zugriff::Schreiben,
                            [&](Fall& fall) { return vorlageAusEingabe(fall, ang, intervall, zahlung); });
}

namespace {

QString keineFaelligen(const zDate& stichtag) {
    return QStringLiteral("Zurzeit liegen keine regelmäßigen Buchungen vor, die bis zum %1 fällig sind. Regelmäßige Buchungen legen Sie mit "
                          "„dalvo vorlage FALL add … --intervall monatlich“ an.")
        .arg(stichtag.getText());
}

int zeigeFaellige(const QList<rsEurRegelBuch>& liste, bool json, const zDate& stichtag) {
    QJsonArray l;
    QString t;
    for (int i = 0; i < liste.size(); ++i) {
        const rsEurRegelBuch& r = liste[i];
        l.append(QJsonObject{{QStringLiteral("nr"), i + 1},
                             {QStringLiteral("vorlage"), qint64(r.vorlage)},
                             {QStringLiteral("buchungstext"), r.buchungstext},
                             {QStringLiteral("belegdatum"), datumJson(r.belegdatum)},
                             {QStringLiteral("zahlungsdatum"), datumJson(r.zahlungsdatum)},
                             {QStringLiteral("intervall"), Regelbuchung::intervallName(r.intervall)},
                             {QStringLiteral("konten"), r.konten},
                             {QStringLiteral("betrag"), jsonBetrag(r.betrag)},
                             {QStringLiteral("steuerjahr"), r.steuerjahr}});
        t += QStringLiteral("%1  %2 (Wertstellung: %3)  %4  %5  (%6, Vorlage %7)\n")
                 .arg(i + 1, 3)
                 .arg(r.belegdatum.getText(), r.zahlungsdatum.getText())
                 .arg(r.betrag.getText(), 12)
                 .arg(r.buchungstext, r.konten)
                 .arg(r.vorlage);
    }
    if (json) {
        out(jsonText(l));
    } else if (liste.isEmpty()) {
        out(keineFaelligen(stichtag) + QLatin1Char('\n'));
    } else {
        out(t);
    }
    return Ok;
}

}  // namespace

int cmdRegelbuchungen(const QStringList& args) {
    const QString n = QStringLiteral("regelbuchungen");
    Args a(args, {QStringLiteral("--stichtag")},
           {QStringLiteral("--json"), QStringLiteral("--buchen"), QStringLiteral("--alle"), QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
    const QStringList p = a.positional();
    if (p.isEmpty()) return usageError(n, QStringLiteral("Bitte die Falldatei angeben: dalvo regelbuchungen FALL [--buchen NR…|--alle]"));
    const bool buchen = a.has(QStringLiteral("--buchen")) || a.has(QStringLiteral("--alle"));
    QList<int> nummern;
    for (const QString& t : p.mid(1)) {
        bool ok = false;
        const int nr = t.toInt(&ok);
        if (!ok || nr < 1)
            return usageError(n, QStringLiteral("„%1“ ist keine Nummer der Liste (die Nummern zeigt „dalvo regelbuchungen FALL“).").arg(t));
        if (!nummern.contains(nr)) nummern << nr;
    }
    if (!buchen && !nummern.isEmpty()) return usageError(n, QStringLiteral("Nummern gibt man mit --buchen an: dalvo regelbuchungen FALL --buchen NR…"));
    if (buchen && a.has(QStringLiteral("--alle")) == !nummern.isEmpty())
        return usageError(n, QStringLiteral("Bitte entweder --buchen mit den Nummern der Liste oder --alle angeben."));
    if (buchen && a.has(QStringLiteral("--json"))) return usageError(n, QStringLiteral("--json gilt nur für die Liste, nicht beim Buchen."));
    zDate stichtag = zDate::today();
    QString e;
    if (a.has(QStringLiteral("--stichtag"))) {
        if (!parseDate(a.value(QStringLiteral("--stichtag")), &stichtag, &e)) return usageError(n, e);
        if (stichtag > zDate::today())
            return usageError(n, QStringLiteral("Der Stichtag %1 liegt nach dem heutigen Tag; gebucht wird nur, was schon fällig ist.").arg(stichtag.getText()));
    }
    return Fall::ausfuehren(n, p.first(), buchen ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) -> int {
        QList<rsEurRegelBuch> liste;
        Regelbuchung::faellige(liste, 0, stichtag);
        if (!buchen) return zeigeFaellige(liste, a.has(QStringLiteral("--json")), stichtag);
        QList<rsEurRegelBuch> gewaehlt;
        if (a.has(QStringLiteral("--alle"))) gewaehlt = liste;
        for (int nr : nummern) {
            if (nr > liste.size())
                return abgelehnt(liste.isEmpty() ? keineFaelligen(stichtag)
                                                 : QStringLiteral("Die Nummer %1 steht nicht in der Liste der fälligen Buchungen (1 bis %2); bitte "
                                                                  "sehen Sie mit „dalvo regelbuchungen FALL“ nach.")
                                                       .arg(nr)
                                                       .arg(liste.size()));
            gewaehlt << liste[nr - 1];
        }
        if (gewaehlt.isEmpty()) {
            hinweis(keineFaelligen(stichtag));
            fall.setGeaendert(false);
            return int(Ok);
        }
        Regelbuchung::Ergebnis erg;
        if (!Regelbuchung::buchen(gewaehlt, &erg, &e)) return abgelehnt(e);
        hinweis(erg.meldung);
        QString t;
        for (unsigned long nr : erg.nummern) t += QStringLiteral("%1\n").arg(nr);
        out(t);
        return int(Ok);
    });
}

}  // namespace cli
