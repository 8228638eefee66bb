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
    meldeErledigt(QStringLiteral("Die Buchungsvorlage %1 wurde angelegt.").arg(nr));
    return Ok;
}

}  // namespace

int cmdVorlage(const Args& a) {
    const QString n = QStringLiteral("vorlage");
    const QStringList p = a.positional();
    const QString was = p[1];
    int rc = 0;
    if (was == QLatin1String("liste")) {
        if (p.size() != 2) return usageError(n, QStringLiteral("Zu viele Argumente."));
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
    if (p.size() != 2) return usageError(n, QStringLiteral("Zu viele Argumente."));
    int intervall = 0;
    if (a.has(QStringLiteral("--intervall")) && !leseIntervall(n, a, &intervall, &rc)) return rc;
    if (a.has(QStringLiteral("--aus-buchung"))) {
        QStringList fremd = {QStringLiteral("--zahlungsdatum")};
        for (const Option& o : buchungsOptionen()) fremd << o.name();
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
            meldeErledigt(QStringLiteral("Die regelmäßige Buchungsvorlage %1 wurde aus der Buchung %2 angelegt.").arg(nr).arg(buchung));
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
                          "„dalvo vorlage FALL neu … --intervall monatlich“ an.")
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

int cmdRegelbuchungen(const Args& a) {
    const QString n = QStringLiteral("regelbuchungen");
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

QList<Befehl> regelBefehle() {
    return {
        {QStringLiteral("vorlage"), {}, {}, {}, QString(), QStringLiteral("Buchungsvorlagen und regelmäßige Buchungen anlegen, zeigen, löschen"),
         QStringLiteral("Fällige regelmäßige Buchungen bucht „dalvo regelbuchungen“."), nullptr},
        {QStringLiteral("vorlage"), QStringLiteral("neu"), {QStringLiteral("add")},
         buchungsOptionen() << Option{{"--intervall"}, "INTERVALL"} << Option{{"--zahlungsdatum"}, "TT.MM.JJJJ"} << Option{{"--aus-buchung"}, "NR"},
         QStringLiteral("dalvo vorlage FALL neu --art ART --datum TT.MM.JJJJ --betrag BETRAG (--konto KONTO --gegenkonto KONTO | "
                        "--soll KONTO --haben KONTO) [--schluessel STS] [--netto] [--text TEXT] [--beleg BELEG] [--intervall INTERVALL] "
                        "[--zahlungsdatum TT.MM.JJJJ]\n"
                        "        dalvo vorlage FALL neu --aus-buchung NR --intervall INTERVALL"),
         QStringLiteral("legt eine Buchungsvorlage an"),
         QStringLiteral("Legt eine Buchungsvorlage mit denselben Angaben wie „dalvo buchen“ an und gibt ihre Nummer aus.\n"
                        "Mit --intervall wird sie eine regelmäßige Buchung (Miete, Versicherung, Leasing): --datum ist das\n"
                        "Belegdatum, --zahlungsdatum das Zahlungsdatum (Vorgabe: --datum) der ersten Buchung; beide dürfen vor dem\n"
                        "Steuerjahr liegen. Intervalle: wöchentlich, 14-tägig, vierwöchentlich, monatlich, zweimonatlich,\n"
                        "vierteljährlich, halbjährlich, jährlich.\n"
                        "--aus-buchung NR macht aus einer gebuchten Buchung eine regelmäßige Vorlage; die Buchung zählt als\n"
                        "ihre erste Ausführung."),
         cmdVorlage},
        {QStringLiteral("vorlage"), QStringLiteral("liste"), {QStringLiteral("list")}, {{{"--json"}}, {{"--regelmaessig"}}},
         QStringLiteral("dalvo vorlage FALL liste [--json] [--regelmaessig]"), QStringLiteral("zeigt die Vorlagen"),
         QStringLiteral("Zeigt die Vorlagen (--regelmaessig nur die regelmäßigen)."), cmdVorlage},
        {QStringLiteral("vorlage"), QStringLiteral("loeschen"), {}, {}, QStringLiteral("dalvo vorlage FALL loeschen NR"), QStringLiteral("löscht eine Vorlage"),
         QStringLiteral("Löscht eine Vorlage; schon erzeugte Buchungen bleiben."), cmdVorlage},
        {QStringLiteral("regelbuchungen"), {}, {}, {{{"--stichtag"}, "TT.MM.JJJJ"}, {{"--json"}}, {{"--buchen"}}, {{"--alle"}}},
         QStringLiteral("dalvo regelbuchungen FALL [--json] [--stichtag TT.MM.JJJJ] | --buchen NR…|--alle [--stichtag TT.MM.JJJJ] [--ja|--nein]"),
         QStringLiteral("zeigt und bucht fällige regelmäßige Buchungen"),
         QStringLiteral("Zeigt die Ausführungen der regelmäßigen Vorlagen, die bis heute (oder bis --stichtag, nicht später\n"
                        "als heute) fällig und noch nicht gebucht sind, nummeriert ab 1. Eine Zahlung zwischen dem 22.12. des\n"
                        "Vorjahres und dem 10.01. des Folgejahres zählt zum Steuerjahr, wenn ihr Belegdatum darin liegt. Wird\n"
                        "eine erzeugte Buchung storniert, ist sie wieder fällig.\n"
                        "--buchen NR… bucht die genannten Nummern der Liste, --alle alle, in einer Transaktion: scheitert eine,\n"
                        "wird keine gebucht. Die Nummern der neuen Buchungen werden ausgegeben. Liegen Buchungen im\n"
                        "festgeschriebenen Zeitraum oder würde eine Kasse negativ, wird vorher gefragt (--ja/--nein); eine\n"
                        "abgeschlossene Kasse lehnt ab."),
         cmdRegelbuchungen},
    };
}

}  // namespace cli
