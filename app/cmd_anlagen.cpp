// dalvo anlage: the fixed-asset register, its depreciation postings and the
// Anlage AVEÜR.
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/ui.h"
#include "kontbaum/anlagen/abgang.h"
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/rahmen/kontglob.h"

namespace cli {

int cmdBericht(const Args& a);

namespace {

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

bool parseKonto(const QString& t, unsigned long* k) {
    bool ok = false;
    *k = t.trimmed().toULong(&ok);
    return ok && *k > 0 && *k <= 99999;
}

bool parseMethode(const QString& t, Anlagen::Methode* m) {
    static const struct {
        const char* name;
        Anlagen::Methode m;
    } namen[] = {{"linear", Anlagen::Linear}, {"gebaeude", Anlagen::Gebaeude}, {"keine", Anlagen::OhneAfa},
                 {"sofort", Anlagen::Sofort}, {"sammelposten", Anlagen::Sammelposten}};
    for (const auto& n : namen)
        if (t.trimmed().toLower() == QLatin1String(n.name)) {
            *m = n.m;
            return true;
        }
    return false;
}

// "2016:200,00" or "2016:200,00;2017:76,00".
bool parseSonder(const QString& t, QMap<int, EuroType>* s, QString* e) {
    for (const QString& teil : t.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int p = teil.indexOf(QLatin1Char(':'));
        int jahr = 0;
        EuroType b;
        if (p < 0 || !parseInt(teil.left(p).trimmed(), 1990, 2100, &jahr, nullptr) || !parseAmount(teil.mid(p + 1).trimmed(), &b, e)) {
            if (e && e->isEmpty()) *e = QStringLiteral("--sonder erwartet JAHR:BETRAG, mehrere durch ';' getrennt, nicht „%1“.").arg(t);
            else if (e) *e = QStringLiteral("--sonder erwartet JAHR:BETRAG, mehrere durch ';' getrennt, nicht „%1“.").arg(t);
            return false;
        }
        s->insert(jahr, b);
    }
    return true;
}

int nummerArg(const QString& n, const Args& a, int* nr) {
    if (a.positional().size() != 3) return usageError(n, QStringLiteral("Falldatei, Unterbefehl und die Nummer der Anlage angeben."));
    QString e;
    if (!parseInt(a.positional().at(2), 1, 1000000, nr, &e))
        return usageError(n, QStringLiteral("Ungültige Nummer der Anlage „%1“.").arg(a.positional().at(2)));
    return -1;
}

int neu(const Args& a) {
    const QString n = QStringLiteral("anlage neu");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    QString e;
    Anlagen::Anlage x;
    const bool ausBuchung = a.has(QStringLiteral("--aus-buchung"));
    int buchung = 0;
    if (ausBuchung) {
        if (a.has(QStringLiteral("--buchen"))) return usageError(n, QStringLiteral("--aus-buchung und --buchen schließen sich aus: die Anschaffung ist schon gebucht."));
        if (!parseInt(a.value(QStringLiteral("--aus-buchung")), 1, 2000000000, &buchung, &e)) return usageError(n, e);
    } else {
        for (const char* pflicht : {"--bezeichnung", "--konto", "--datum", "--kosten"})
            if (!a.has(QLatin1String(pflicht))) return usageError(n, QStringLiteral("%1 fehlt (oder --aus-buchung NR angeben).").arg(QLatin1String(pflicht)));
    }
    if (a.has(QStringLiteral("--konto")) && !parseKonto(a.value(QStringLiteral("--konto")), &x.konto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto"))));
    if (a.has(QStringLiteral("--afa-konto")) && !parseKonto(a.value(QStringLiteral("--afa-konto")), &x.afaKonto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--afa-konto"))));
    if (a.has(QStringLiteral("--datum")) && !parseDate(a.value(QStringLiteral("--datum")), &x.anschaffung, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--kosten")) && !parseAmount(a.value(QStringLiteral("--kosten")), &x.kosten, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--vorsteuer")) && !parseAmount(a.value(QStringLiteral("--vorsteuer")), &x.vorsteuer, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--methode")) && !parseMethode(a.value(QStringLiteral("--methode")), &x.methode))
        return usageError(n, QStringLiteral("--methode erwartet linear, gebaeude, keine, sofort oder sammelposten."));
    if (a.has(QStringLiteral("--nutzungsdauer")) && !parseInt(a.value(QStringLiteral("--nutzungsdauer")), 1, 100, &x.nutzungsdauer, &e))
        return usageError(n, e);
    if (a.has(QStringLiteral("--satz"))) {
        EuroType s;
        if (!parseAmount(a.value(QStringLiteral("--satz")), &s, &e)) return usageError(n, QStringLiteral("--satz: ") + e);
        x.satz = s.alsDouble();
    }
    if (a.has(QStringLiteral("--sonder")) && !parseSonder(a.value(QStringLiteral("--sonder")), &x.sonder, &e)) return usageError(n, e);
    int iab = 0;
    if (a.has(QStringLiteral("--iab")) && !parseInt(a.value(QStringLiteral("--iab")), 1, 100000, &iab, &e)) return usageError(n, e);
    unsigned long geldkonto = 0, schluessel = 0;
    if (a.has(QStringLiteral("--buchen"))) {
        if (!a.has(QStringLiteral("--geldkonto"))) return usageError(n, QStringLiteral("--buchen braucht --geldkonto (etwa 1200 Bank)."));
        if (!parseKonto(a.value(QStringLiteral("--geldkonto")), &geldkonto))
            return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--geldkonto"))));
        if (a.has(QStringLiteral("--schluessel")) && !parseKonto(a.value(QStringLiteral("--schluessel")), &schluessel))
            return usageError(n, QStringLiteral("Ungültiger Steuerschlüssel „%1“.").arg(a.value(QStringLiteral("--schluessel"))));
    } else if (a.has(QStringLiteral("--geldkonto")) || a.has(QStringLiteral("--schluessel"))) {
        return usageError(n, QStringLiteral("--geldkonto und --schluessel gelten nur mit --buchen."));
    }
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        Anlagen::Anlage z = x;
        if (ausBuchung) {
            if (!Anlagen::ausBuchung(unsigned(buchung), &z, &f)) return abgelehnt(f);
            // What was typed beside the booking wins over what it says.
            if (a.has(QStringLiteral("--bezeichnung"))) z.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
            if (a.has(QStringLiteral("--kosten"))) z.kosten = x.kosten;
        } else {
            z.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
        }
        if (a.has(QStringLiteral("--gut"))) {
            z.gut = a.value(QStringLiteral("--gut")).trimmed();
            const int jahre = Anlagen::nutzungsdauer(z.gut);
            if (jahre == 0) return abgelehnt(QStringLiteral("Die Art „%1“ steht nicht in der AfA-Tabelle; --nutzungsdauer JAHRE angeben.").arg(z.gut));
            if (z.nutzungsdauer == 0) z.nutzungsdauer = jahre;
        }
        if (!Anlagen::speichern(z, &f)) return abgelehnt(f);
        if (iab != 0) {
            const EuroType hin = Anlagen::hinzurechnen(iab, z.nummer, &f);
            if (hin.isNull()) return abgelehnt(f);
            meldeErledigt(QStringLiteral("Investitionsabzugsbetrag Nr. %1: %2 € hinzugerechnet, die Anschaffungskosten um %2 € herabgesetzt.")
                              .arg(iab)
                              .arg(hin.getText()));
        }
        if (a.has(QStringLiteral("--buchen"))) {
            const unsigned long nr = Anlagen::bucheAnschaffung(z, geldkonto, schluessel, &f);
            if (nr == 0) return abgelehnt(f);
            meldeErledigt(QStringLiteral("Anlage Nr. %1 angelegt, Anschaffung als Buchung %2 gebucht.").arg(z.nummer).arg(nr));
        } else {
            meldeErledigt(QStringLiteral("Anlage Nr. %1 „%2“ angelegt.").arg(z.nummer).arg(z.bezeichnung));
        }
        out(QStringLiteral("%1\n").arg(z.nummer));
        return int(Ok);
    });
}

int afa(const Args& a) {
    const QString n = QStringLiteral("anlage afa");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    int jahr = 0;
    QString e;
    if (a.has(QStringLiteral("--jahr")) && !parseInt(a.value(QStringLiteral("--jahr")), 1990, 2100, &jahr, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        const int steuerjahr = fall.kg()->getSteuerjahr();
        if (jahr != 0 && jahr != steuerjahr)
            return abgelehnt(QStringLiteral("Der Fall ist das Jahr %1; Abschreibungen für %2 gehören in den Fall jenes Jahres.").arg(steuerjahr).arg(jahr));
        Anlagen::Lauf lauf;
        QString f;
        if (!Anlagen::buchen(steuerjahr, &lauf, &f)) return abgelehnt(f);
        if (lauf.buchungen.isEmpty()) {
            fall.setGeaendert(false);
            err(Anlagen::liste().isEmpty() && Anlagen::umlaufListe().isEmpty()
                    ? QStringLiteral("Das Anlagenverzeichnis ist leer; es wurde nichts gebucht.\n")
                    : QStringLiteral("Die Abschreibungen %1 sind schon vollständig gebucht; es wurde nichts gebucht.\n").arg(steuerjahr));
            return int(Ok);
        }
        for (unsigned long nr : lauf.buchungen) out(QStringLiteral("%1\n").arg(nr));
        meldeErledigt(QStringLiteral("%1 Buchungen für das Anlagevermögen %2, zusammen %3 € Aufwand.")
                          .arg(lauf.buchungen.size())
                          .arg(steuerjahr)
                          .arg(lauf.summe.getText()));
        return int(Ok);
    });
}

int abgang(const Args& a) {
    const QString n = QStringLiteral("anlage abgang");
    int nr = 0;
    const int rc = nummerArg(n, a, &nr);
    if (rc >= 0) return rc;
    QString e;
    zDate datum;
    if (!a.has(QStringLiteral("--datum")) || !a.has(QStringLiteral("--art"))) return usageError(n, QStringLiteral("--datum und --art angeben."));
    if (!parseDate(a.value(QStringLiteral("--datum")), &datum, &e)) return usageError(n, e);
    const QString art = a.value(QStringLiteral("--art")).trimmed().toLower();
    Anlagen::Abgangsart ab = art == QLatin1String("verkauf") ? Anlagen::Verkauf
                             : art == QLatin1String("entnahme") ? Anlagen::Entnahme
                             : art == QLatin1String("verschrottung") ? Anlagen::Verschrottung
                                                                      : Anlagen::KeinAbgang;
    if (ab == Anlagen::KeinAbgang) return usageError(n, QStringLiteral("--art erwartet verkauf, entnahme oder verschrottung."));
    EuroType erloes;
    unsigned long geld = 0, erloeskonto = 0;
    if (a.has(QStringLiteral("--erloes")) && !parseAmount(a.value(QStringLiteral("--erloes")), &erloes, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--geldkonto")) && !parseKonto(a.value(QStringLiteral("--geldkonto")), &geld))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--geldkonto"))));
    if (a.has(QStringLiteral("--erloeskonto")) && !parseKonto(a.value(QStringLiteral("--erloeskonto")), &erloeskonto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--erloeskonto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        if (!Anlagen::abgangEintragen(nr, datum, ab, erloes, geld, erloeskonto, &f)) return abgelehnt(f);
        meldeErledigt(QStringLiteral("Abgang der Anlage Nr. %1 eingetragen; „dalvo anlage FALL afa“ bucht Restbuchwert und Erlös.").arg(nr));
        return int(Ok);
    });
}

// An action of the library on one numbered register entry: the number
// checked, the library's refusal shown, the done line (with %1 for the
// number) on a terminal.
int nummerAktion(const QString& n, const Args& a, bool (*aktion)(int, QString*), const QString& erledigt) {
    int nr = 0;
    const int rc = nummerArg(n, a, &nr);
    if (rc >= 0) return rc;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        if (!aktion(nr, &f)) return abgelehnt(f);
        meldeErledigt(erledigt.arg(nr));
        return int(Ok);
    });
}

int entfernen(const Args& a) {
    return nummerAktion(QStringLiteral("anlage entfernen"), a, &Anlagen::entfernen, QStringLiteral("Anlage Nr. %1 entfernt."));
}

int verzeichnis(const Args& a) {
    if (a.positional().size() != 2) return usageError(QStringLiteral("anlage verzeichnis"), QStringLiteral("Genau eine Falldatei angeben."));
    // The form is one of the report lists: the same page, CSV, JSON and PDF.
    QStringList argv = {a.positional().first(), QStringLiteral("aveuer")};
    for (const char* f : {"--csv", "--json", "--ersetzen"})
        if (a.has(QLatin1String(f))) argv << QLatin1String(f);
    for (const char* f : {"--pdf", "--firma"})
        if (a.has(QLatin1String(f))) argv << QLatin1String(f) << a.value(QLatin1String(f));
    const Befehl* bericht = findCommand(QStringLiteral("bericht"));
    const Args b(argv, *bericht);
    if (!b.ok()) return usageError(QStringLiteral("anlage verzeichnis"), b.error());
    return cmdBericht(b);
}

int iabNeu(const Args& a) {
    const QString n = QStringLiteral("investitionsabzug neu");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const char* pflicht : {"--bezeichnung", "--kosten", "--betrag"})
        if (!a.has(QLatin1String(pflicht))) return usageError(n, QStringLiteral("%1 fehlt.").arg(QLatin1String(pflicht)));
    Anlagen::Abzug x;
    QString e;
    x.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
    if (!parseAmount(a.value(QStringLiteral("--kosten")), &x.kosten, &e) || !parseAmount(a.value(QStringLiteral("--betrag")), &x.betrag, &e))
        return usageError(n, e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        const int nr = Anlagen::abzugAnlegen(x, &f);
        if (nr == 0) return abgelehnt(f);
        out(QStringLiteral("%1\n").arg(nr));
        return int(Ok);
    });
}

int iabListe(const Args& a) {
    return Fall::ausfuehren(QStringLiteral("investitionsabzug liste"), a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        const int jahr = fall.kg()->getSteuerjahr();
        QString t = QStringLiteral("Nr. Jahr  %1 %2 %3 %4  Stand\n")
                        .arg(QStringLiteral("Geplante Investition"), -30)
                        .arg(QStringLiteral("Kosten"), 12)
                        .arg(QStringLiteral("Abzug"), 12)
                        .arg(QStringLiteral("Hinzugerechnet"), 14);
        for (const Anlagen::Abzug& x : Anlagen::abzuege()) {
            const QString stand = x.rueckgaengig ? QStringLiteral("rückgängig im Jahr %1 (§ 7g Abs. 3 EStG)").arg(x.jahr)
                                  : x.offen().isNull() ? QStringLiteral("hinzugerechnet")
                                  : Anlagen::fristAbgelaufen(x, jahr)
                                      ? QStringLiteral("Frist abgelaufen: %1 € im Jahr %2 rückgängig machen").arg(x.offen().getText()).arg(x.jahr)
                                      : QStringLiteral("offen %1 € bis 31.12.%2").arg(x.offen().getText()).arg(x.jahr + 3);
            t += QStringLiteral("%1 %2  %3 %4 %5 %6  %7\n")
                     .arg(x.nummer, 3)
                     .arg(x.jahr)
                     .arg(x.bezeichnung.left(30), -30)
                     .arg(x.kosten.getText(), 12)
                     .arg(x.betrag.getText(), 12)
                     .arg(x.hinzurechnung.getText(), 14)
                     .arg(stand);
        }
        out(t);
        return int(Ok);
    });
}

int iabRueckgaengig(const Args& a) {
    return nummerAktion(QStringLiteral("investitionsabzug rueckgaengig"), a, &Anlagen::rueckgaengig,
                        QStringLiteral("Investitionsabzugsbetrag Nr. %1 als rückgängig gemacht vermerkt."));
}

int cmdIab(const Args& a) {
    const QString u = a.positional().value(1);
    if (u == QLatin1String("neu")) return iabNeu(a);
    if (u == QLatin1String("rueckgaengig")) return iabRueckgaengig(a);
    if (a.positional().size() != 2) return usageError(QStringLiteral("investitionsabzug liste"), QStringLiteral("Genau eine Falldatei angeben."));
    return iabListe(a);
}

int kfzNeu(const Args& a) {
    const QString n = QStringLiteral("kfz neu");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    Anlagen::Fahrzeug f;
    QString e;
    if (!a.has(QStringLiteral("--bezeichnung"))) return usageError(n, QStringLiteral("--bezeichnung fehlt."));
    f.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
    const QString methode = a.value(QStringLiteral("--methode")).trimmed().toLower();
    if (a.has(QStringLiteral("--methode")) && methode != QLatin1String("prozent") && methode != QLatin1String("fahrtenbuch"))
        return usageError(n, QStringLiteral("--methode erwartet prozent (1-%-Regelung) oder fahrtenbuch."));
    f.fahrtenbuch = methode == QLatin1String("fahrtenbuch");
    auto prozent = [&](const char* flag, double* ziel) {
        EuroType p;
        if (!a.has(QLatin1String(flag))) return true;
        if (!parseAmount(a.value(QLatin1String(flag)), &p, &e)) return false;
        *ziel = p.alsDouble();
        return true;
    };
    if (a.has(QStringLiteral("--listenpreis")) && !parseAmount(a.value(QStringLiteral("--listenpreis")), &f.listenpreis, &e)) return usageError(n, e);
    if (!prozent("--anteil", &f.privatProzent) || !prozent("--ust-anteil", &f.ustProzent)) return usageError(n, e);
    if (a.has(QStringLiteral("--von-monat")) && !parseInt(a.value(QStringLiteral("--von-monat")), 1, 12, &f.vonMonat, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--bis-monat")) && !parseInt(a.value(QStringLiteral("--bis-monat")), 1, 12, &f.bisMonat, &e)) return usageError(n, e);
    f.monatlich = a.has(QStringLiteral("--monatlich"));
    if (a.has(QStringLiteral("--entfernung")) && !parseInt(a.value(QStringLiteral("--entfernung")), 1, 1000, &f.entfernung, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--arbeitstage")) && !parseInt(a.value(QStringLiteral("--arbeitstage")), 1, 366, &f.arbeitstage, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--jahres-km")) && !parseInt(a.value(QStringLiteral("--jahres-km")), 1, 1000000, &f.jahresKm, &e)) return usageError(n, e);
    if (f.fahrtenbuch && f.monatlich) return usageError(n, QStringLiteral("Der Anteil laut Fahrtenbuch wird einmal im Jahr gebucht; --monatlich gilt für die 1-%-Regelung."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString g;
        const int nr = Anlagen::fahrzeugAnlegen(f, &g);
        if (nr == 0) return abgelehnt(g);
        out(QStringLiteral("%1\n").arg(nr));
        return int(Ok);
    });
}

int kfzBuchen(const Args& a) {
    const QString n = QStringLiteral("kfz buchen");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        Anlagen::Lauf lauf;
        QString f;
        if (!Anlagen::privatanteilBuchen(&lauf, &f)) return abgelehnt(f);
        if (lauf.buchungen.isEmpty()) {
            fall.setGeaendert(false);
            err(QStringLiteral("Der Privatanteil ist schon vollständig gebucht; es wurde nichts gebucht.\n"));
            return int(Ok);
        }
        for (unsigned long nr : lauf.buchungen) out(QStringLiteral("%1\n").arg(nr));
        meldeErledigt(QStringLiteral("%1 Buchungen für die private Kfz-Nutzung, zusammen %2 € netto.").arg(lauf.buchungen.size()).arg(lauf.summe.getText()));
        return int(Ok);
    });
}

int kfzListe(const Args& a) {
    if (a.positional().size() != 2) return usageError(QStringLiteral("kfz liste"), QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(QStringLiteral("kfz liste"), a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        QString t;
        for (const Anlagen::Fahrzeug& f : Anlagen::fahrzeuge()) {
            const bool eigenesJahr = f.jahr == fall.kg()->getSteuerjahr();
            t += QStringLiteral("%1 %2: %3, %4 % mit USt, Monate %5 bis %6%7\n")
                     .arg(f.nummer, 3)
                     .arg(f.bezeichnung)
                     .arg(f.fahrtenbuch ? QStringLiteral("Fahrtenbuch, privat %1 %").arg(f.privatProzent)
                                        : QStringLiteral("1 % von %1 € Listenpreis").arg(f.listenpreis.getText()))
                     .arg(f.ustProzent)
                     .arg(eigenesJahr ? f.vonMonat : 1)
                     .arg(eigenesJahr ? f.bisMonat : 12)
                     .arg(f.monatlich ? QStringLiteral(", monatlich gebucht") : QString());
        }
        out(t);
        if (t.isEmpty()) err(QStringLiteral("Hinweis: Es ist kein Fahrzeug eingetragen.\n"));
        return int(Ok);
    });
}

int cmdKfz(const Args& a) {
    const QString u = a.positional().value(1);
    if (u == QLatin1String("neu")) return kfzNeu(a);
    if (u == QLatin1String("buchen")) return kfzBuchen(a);
    return kfzListe(a);
}

int umlaufNeu(const Args& a) {
    const QString n = QStringLiteral("umlauf neu");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const char* pflicht : {"--bezeichnung", "--konto", "--datum", "--kosten"})
        if (!a.has(QLatin1String(pflicht))) return usageError(n, QStringLiteral("%1 fehlt.").arg(QLatin1String(pflicht)));
    Anlagen::UmlaufGut u;
    QString e;
    u.bezeichnung = a.value(QStringLiteral("--bezeichnung"));
    if (!parseKonto(a.value(QStringLiteral("--konto")), &u.konto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto"))));
    if (!parseDate(a.value(QStringLiteral("--datum")), &u.anschaffung, &e) || !parseAmount(a.value(QStringLiteral("--kosten")), &u.kosten, &e))
        return usageError(n, e);
    const QStringList arten = {QStringLiteral("grund"), QStringLiteral("anteile"), QStringLiteral("wertpapiere"), QStringLiteral("sonstige")};
    if (a.has(QStringLiteral("--art"))) {
        u.art = int(arten.indexOf(a.value(QStringLiteral("--art")).trimmed().toLower())) + 1;
        if (u.art == 0) return usageError(n, QStringLiteral("--art erwartet grund, anteile, wertpapiere oder sonstige."));
    }
    unsigned long geld = 0;
    if (a.has(QStringLiteral("--buchen")) != a.has(QStringLiteral("--geldkonto")))
        return usageError(n, QStringLiteral("--buchen und --geldkonto gehören zusammen."));
    if (a.has(QStringLiteral("--geldkonto")) && !parseKonto(a.value(QStringLiteral("--geldkonto")), &geld))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--geldkonto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        Anlagen::UmlaufGut x = u;
        if (!Anlagen::umlaufSpeichern(x, &f)) return abgelehnt(f);
        if (geld != 0 && Anlagen::bucheUmlaufAnschaffung(x, geld, &f) == 0) return abgelehnt(f);
        out(QStringLiteral("%1\n").arg(x.nummer));
        return int(Ok);
    });
}

int umlaufAbgang(const Args& a) {
    const QString n = QStringLiteral("umlauf abgang");
    int nr = 0;
    const int rc = nummerArg(n, a, &nr);
    if (rc >= 0) return rc;
    QString e;
    zDate datum;
    if (!a.has(QStringLiteral("--datum")) || !a.has(QStringLiteral("--art"))) return usageError(n, QStringLiteral("--datum und --art angeben."));
    if (!parseDate(a.value(QStringLiteral("--datum")), &datum, &e)) return usageError(n, e);
    const QString art = a.value(QStringLiteral("--art")).trimmed().toLower();
    if (art != QLatin1String("verkauf") && art != QLatin1String("entnahme")) return usageError(n, QStringLiteral("--art erwartet verkauf oder entnahme."));
    EuroType erloes;
    unsigned long geld = 0;
    if (a.has(QStringLiteral("--erloes")) && !parseAmount(a.value(QStringLiteral("--erloes")), &erloes, &e)) return usageError(n, e);
    if (a.has(QStringLiteral("--geldkonto")) && !parseKonto(a.value(QStringLiteral("--geldkonto")), &geld))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--geldkonto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString f;
        if (!Anlagen::umlaufAbgangEintragen(nr, datum, art == QLatin1String("verkauf") ? Anlagen::Verkauf : Anlagen::Entnahme, erloes, geld, &f))
            return abgelehnt(f);
        meldeErledigt(QStringLiteral("Abgang Nr. %1 eingetragen; „dalvo anlage FALL afa“ bucht Anschaffungskosten und Erlös.").arg(nr));
        return int(Ok);
    });
}

int umlaufTeileinkuenfte(const Args& a) {
    const QString n = QStringLiteral("umlauf teileinkuenfte");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        const Anlagen::Teileinkuenfte t = Anlagen::teileinkuenfte(fall.kg()->getSteuerjahr());
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("erloese")] = jsonBetrag(t.erloese);
            o[QStringLiteral("kosten")] = jsonBetrag(t.kosten);
            o[QStringLiteral("steuerfrei")] = jsonBetrag(t.steuerfrei);
            o[QStringLiteral("nicht_abziehbar")] = jsonBetrag(t.nichtAbziehbar);
            o[QStringLiteral("korrektur")] = jsonBetrag(t.korrektur());
            out(jsonText(o));
            return int(Ok);
        }
        QString text = QStringLiteral("Verkauf und Entnahme von Anteilen %1 (Teileinkünfteverfahren)\n").arg(fall.kg()->getSteuerjahr());
        const QList<QPair<QString, EuroType>> zeilen = {{QStringLiteral("Erlöse und Entnahmewerte"), t.erloese},
                                                        {QStringLiteral("davon steuerfrei (40 %, § 3 Nr. 40 EStG)"), t.steuerfrei},
                                                        {QStringLiteral("Anschaffungskosten"), t.kosten},
                                                        {QStringLiteral("davon nicht abziehbar (40 %, § 3c Abs. 2 EStG)"), t.nichtAbziehbar},
                                                        {QStringLiteral("Korrektur des Gewinns der EÜR"), t.korrektur()}};
        for (const auto& z : zeilen) text += QStringLiteral("  %1 %2 €\n").arg(z.first.leftJustified(48)).arg(z.second.getText(), 12);
        out(text);
        if (t.erloese.isNull() && t.kosten.isNull())
            err(QStringLiteral("Hinweis: %1 wurden keine Anteile (umlauf neu --art anteile) verkauft oder entnommen.\n").arg(fall.kg()->getSteuerjahr()));
        return int(Ok);
    });
}

int cmdUmlauf(const Args& a) {
    const QString u = a.positional().value(1);
    if (u == QLatin1String("neu")) return umlaufNeu(a);
    if (u == QLatin1String("teileinkuenfte")) return umlaufTeileinkuenfte(a);
    return umlaufAbgang(a);
}

int cmdAnlage(const Args& a) {
    const QString u = a.positional().value(1);
    if (u == QLatin1String("neu")) return neu(a);
    if (u == QLatin1String("afa")) return afa(a);
    if (u == QLatin1String("abgang")) return abgang(a);
    if (u == QLatin1String("entfernen")) return entfernen(a);
    return verzeichnis(a);
}

}  // namespace

QList<Befehl> anlagenBefehle() {
    return {
        {QStringLiteral("anlage"), {}, {}, {}, QString(),
         QStringLiteral("Anlagenverzeichnis: Wirtschaftsgüter, Abschreibungen, Abgänge und die Anlage AVEÜR"),
         QStringLiteral("Das Anlagenverzeichnis steht in der Falldatei und geht beim Jahreswechsel mit den Buchwerten ins neue Jahr."),
         nullptr},
        {QStringLiteral("anlage"), QStringLiteral("neu"), {QStringLiteral("add")},
         {{{"--bezeichnung"}, "TEXT"}, {{"--konto"}, "KONTO"}, {{"--datum"}, "TT.MM.JJJJ"}, {{"--kosten"}, "BETRAG"},
          {{"--vorsteuer"}, "BETRAG"}, {{"--gut"}, "ART"}, {{"--nutzungsdauer"}, "JAHRE"}, {{"--methode"}, "M"}, {{"--satz"}, "PROZENT"},
          {{"--afa-konto"}, "KONTO"}, {{"--sonder"}, "JAHR:BETRAG"}, {{"--aus-buchung"}, "NR"}, {{"--buchen"}}, {{"--geldkonto"}, "KONTO"},
          {{"--schluessel"}, "STS"}, {{"--iab"}, "NR"}},
         QStringLiteral("dalvo anlage FALL neu (--aus-buchung NR | --bezeichnung T --konto N --datum D --kosten NETTO) [--gut ART | "
                        "--nutzungsdauer J] [--methode linear|gebaeude|keine|sofort|sammelposten] [--satz P] [--afa-konto N] "
                        "[--sonder JAHR:BETRAG;…] [--iab NR] [--buchen --geldkonto N [--schluessel STS]]"),
         QStringLiteral("nimmt ein Wirtschaftsgut ins Anlagenverzeichnis"),
         QStringLiteral("Legt eine Anlage an und gibt ihre Nummer aus. Mit --aus-buchung NR aus einer gebuchten Anschaffung auf\n"
                        "einem Anlagekonto (Bezeichnung, Konto, Datum, Nettobetrag, Vorsteuer); sonst mit den Angaben, und mit\n"
                        "--buchen wird die Anschaffung gleich gegen --geldkonto gebucht (netto mit --schluessel).\n\n"
                        "Methoden: linear (bewegliche und immaterielle Güter, monatsgenau nach § 7 Abs. 1 EStG; Nutzungsdauer\n"
                        "aus --gut nach der AfA-Tabelle oder --nutzungsdauer), gebaeude (--satz, etwa 2 oder 3 Prozent nach\n"
                        "§ 7 Abs. 4 EStG), keine (Grund und Boden, Finanzanlagen), sofort (geringwertige Wirtschaftsgüter bis\n"
                        "410 € netto, § 6 Abs. 2 EStG), sammelposten (über 150 € bis 1 000 €, je Jahr ein Fünftel, § 6 Abs. 2a\n"
                        "EStG; die Wahl gilt für alle Güter eines Jahres). --sonder trägt Sonderabschreibungen nach § 7g Abs. 5\n"
                        "EStG ein (zusammen höchstens 20 % in fünf Jahren). --iab NR rechnet den offenen Investitionsabzugsbetrag\n"
                        "NR hinzu (bis 40 % der Kosten, § 7g Abs. 2 EStG) und setzt die Kosten um denselben Betrag herab."),
         cmdAnlage},
        {QStringLiteral("anlage"), QStringLiteral("afa"), {}, {{{"--jahr"}, "JAHR"}}, QStringLiteral("dalvo anlage FALL afa [--jahr JAHR] [--ja|--nein]"),
         QStringLiteral("bucht die Abschreibungen des Jahres"),
         QStringLiteral("Bucht für jede Anlage, was das Jahr verlangt und das Journal noch nicht enthält: AfA, Sofortabschreibung,\n"
                        "Auflösung des Sammelpostens, Sonderabschreibung, bei einem Abgang den Restbuchwert und den Erlös. Ein\n"
                        "zweiter Lauf bucht nichts; eine stornierte Abschreibung wird wieder fällig. Liegt das Datum im\n"
                        "festgeschriebenen Zeitraum, wird gefragt (--ja). Gibt die Buchungsnummern aus."),
         cmdAnlage},
        {QStringLiteral("anlage"), QStringLiteral("abgang"), {},
         {{{"--datum"}, "TT.MM.JJJJ"}, {{"--art"}, "verkauf|entnahme|verschrottung"}, {{"--erloes"}, "NETTO"}, {{"--geldkonto"}, "KONTO"},
          {{"--erloeskonto"}, "KONTO"}},
         QStringLiteral("dalvo anlage FALL abgang NR --datum D --art verkauf|entnahme|verschrottung [--erloes NETTO --geldkonto N "
                        "[--erloeskonto N]]"),
         QStringLiteral("trägt Verkauf, Entnahme oder Verschrottung ein"),
         QStringLiteral("Trägt den Abgang der Anlage NR ein; „anlage afa“ bucht dann die AfA bis zum Abgangsmonat, den\n"
                        "Restbuchwert (EÜR Zeile Kz 135) und den Erlös (Kz 102, Erlöskonto der Kategorie 4202, Vorgabe 8820 mit\n"
                        "19 % USt). Eine Entnahme geht ohne --geldkonto auf das Privatkonto."),
         cmdAnlage},
        {QStringLiteral("anlage"), QStringLiteral("entfernen"), {}, {}, QStringLiteral("dalvo anlage FALL entfernen NR"),
         QStringLiteral("nimmt eine Anlage ohne Buchungen aus dem Verzeichnis"),
         QStringLiteral("Entfernt die Anlage NR; solange Abschreibungen oder Abgänge von ihr gebucht sind, wird abgelehnt."), cmdAnlage},
        {QStringLiteral("anlage"), QStringLiteral("verzeichnis"), {QStringLiteral("liste")},
         {{{"--csv"}}, {{"--json"}}, {{"--pdf"}, "DATEI"}, {{"--ersetzen"}}, {{"--firma"}, "NAME"}},
         QStringLiteral("dalvo anlage FALL verzeichnis [--csv | --json | --pdf DATEI [--ersetzen] [--firma NAME]]"),
         QStringLiteral("zeigt die Anlage AVEÜR"),
         QStringLiteral("Das Anlagenverzeichnis des Jahres nach den Gruppen der Anlage AVEÜR: Anschaffungskosten, Buchwert zu\n"
                        "Beginn, Zugänge, Sonderabschreibungen, AfA, Abgänge und Buchwert am Ende, je Gruppe und gesamt."),
         cmdAnlage},
        {QStringLiteral("umlauf"), {}, {}, {}, QString(),
         QStringLiteral("Umlaufvermögen nach § 4 Abs. 3 Satz 4 EStG: Grundstücke, Anteile, Wertpapiere"),
         QStringLiteral("Die Anschaffungskosten werden erst beim Verkauf oder der Entnahme Betriebsausgabe; das\n"
                        "Verzeichnis zeigt „dalvo anlage FALL verzeichnis“, die Buchungen des Abgangs macht „dalvo anlage FALL afa“."),
         nullptr},
        {QStringLiteral("umlauf"), QStringLiteral("neu"), {QStringLiteral("add")},
         {{{"--bezeichnung"}, "TEXT"}, {{"--konto"}, "KONTO"}, {{"--datum"}, "TT.MM.JJJJ"}, {{"--kosten"}, "BETRAG"},
          {{"--art"}, "grund|anteile|wertpapiere|sonstige"}, {{"--buchen"}}, {{"--geldkonto"}, "KONTO"}},
         QStringLiteral("dalvo umlauf FALL neu --bezeichnung T --konto N --datum D --kosten K [--art grund|anteile|wertpapiere|sonstige] "
                        "[--buchen --geldkonto N]"),
         QStringLiteral("nimmt Umlaufvermögen ins Verzeichnis"),
         QStringLiteral("Konto: Wertpapiere des Umlaufvermögens (Kategorie 205, etwa 1348) oder sonstiges Umlaufvermögen\n"
                        "(Kategorie 1110, etwa 1500). Mit --buchen wird die Anschaffung gegen --geldkonto gebucht, ohne\n"
                        "Gewinnauswirkung. Gibt die Nummer aus."),
         cmdUmlauf},
        {QStringLiteral("umlauf"), QStringLiteral("abgang"), {},
         {{{"--datum"}, "TT.MM.JJJJ"}, {{"--art"}, "verkauf|entnahme"}, {{"--erloes"}, "BETRAG"}, {{"--geldkonto"}, "KONTO"}},
         QStringLiteral("dalvo umlauf FALL abgang NR --datum D --art verkauf|entnahme [--erloes B --geldkonto N]"),
         QStringLiteral("trägt Verkauf oder Entnahme ein"),
         QStringLiteral("„anlage afa“ bucht dann die Anschaffungskosten als Betriebsausgabe (EÜR Kz 135) und den Erlös (Kz 102)."),
         cmdUmlauf},
        {QStringLiteral("umlauf"), QStringLiteral("teileinkuenfte"), {}, {{{"--json"}}},
         QStringLiteral("dalvo umlauf FALL teileinkuenfte [--json]"),
         QStringLiteral("zeigt die Zahlen des Teileinkünfteverfahrens für verkaufte Anteile"),
         QStringLiteral("Für Anteile an Kapitalgesellschaften (--art anteile), die im Jahr verkauft oder entnommen wurden:\n"
                        "40 % der Erlöse sind steuerfrei (§ 3 Nr. 40 Satz 1 Buchst. a EStG), 40 % der Anschaffungskosten\n"
                        "nicht abziehbar (§ 3c Abs. 2 EStG). Die EÜR enthält beides in voller Höhe; die Korrektur gehört in\n"
                        "die Erklärung der Einkünfte (Anlage G oder S). Mit --json: erloese, kosten, steuerfrei,\n"
                        "nicht_abziehbar, korrektur."),
         cmdUmlauf},
        {QStringLiteral("investitionsabzug"), {}, {QStringLiteral("iab")}, {}, QString(),
         QStringLiteral("Investitionsabzugsbeträge nach § 7g EStG: abziehen, hinzurechnen, rückgängig machen"),
         QStringLiteral("Offene Abzüge der drei Vorjahre gehen beim Jahreswechsel mit ins neue Jahr."), nullptr},
        {QStringLiteral("investitionsabzug"), QStringLiteral("neu"), {QStringLiteral("add")},
         {{{"--bezeichnung"}, "TEXT"}, {{"--kosten"}, "BETRAG"}, {{"--betrag"}, "BETRAG"}},
         QStringLiteral("dalvo investitionsabzug FALL neu --bezeichnung T --kosten VORAUSSICHTLICH --betrag ABZUG [--ja|--nein]"),
         QStringLiteral("zieht einen Investitionsabzugsbetrag ab"),
         QStringLiteral("Bucht zum 31.12. einen Investitionsabzugsbetrag für eine in den nächsten drei Jahren geplante\n"
                        "Investition (EÜR Kz 187): höchstens 40 % der voraussichtlichen Kosten, nur bei einem Gewinn vor\n"
                        "Abzügen bis 100 000 € und bis 200 000 € offener Abzüge je Betrieb. Gibt die Nummer aus.\n"
                        "Hinzugerechnet wird beim Kauf: „dalvo anlage FALL neu … --iab NR“ (Kz 188, Herabsetzung Kz 138)."),
         cmdIab},
        {QStringLiteral("investitionsabzug"), QStringLiteral("liste"), {QStringLiteral("list")}, {},
         QStringLiteral("dalvo investitionsabzug FALL liste"), QStringLiteral("zeigt die Investitionsabzugsbeträge"),
         QStringLiteral("Zeigt jeden Abzug mit Jahr, geplanter Investition, Betrag, Hinzurechnung und Stand."), cmdIab},
        {QStringLiteral("investitionsabzug"), QStringLiteral("rueckgaengig"), {}, {},
         QStringLiteral("dalvo investitionsabzug FALL rueckgaengig NR"), QStringLiteral("vermerkt einen Abzug als rückgängig gemacht"),
         QStringLiteral("Ist bis zum Ende des dritten Jahres nach dem Abzug nicht investiert worden, wird der Abzug im Jahr\n"
                        "des Abzugs rückgängig gemacht (§ 7g Abs. 3 EStG: geänderter Bescheid jenes Jahres). Der Eintrag wird\n"
                        "so vermerkt und nicht mehr ins nächste Jahr übernommen; das Journal dieses Jahres ändert sich nicht."),
         cmdIab},
        {QStringLiteral("kfz"), {}, {}, {}, QString(), QStringLiteral("private Nutzung des Firmenwagens: 1-%-Regelung oder Fahrtenbuch"),
         QStringLiteral("Die Fahrzeuge gehen beim Jahreswechsel mit ins neue Jahr."), nullptr},
        {QStringLiteral("kfz"), QStringLiteral("neu"), {QStringLiteral("add")},
         {{{"--bezeichnung"}, "TEXT"}, {{"--methode"}, "prozent|fahrtenbuch"}, {{"--listenpreis"}, "BRUTTO"}, {{"--anteil"}, "PROZENT"},
          {{"--ust-anteil"}, "PROZENT"}, {{"--von-monat"}, "M"}, {{"--bis-monat"}, "M"}, {{"--monatlich"}}, {{"--entfernung"}, "KM"},
          {{"--arbeitstage"}, "TAGE"}, {{"--jahres-km"}, "KM"}},
         QStringLiteral("dalvo kfz FALL neu --bezeichnung T (--listenpreis BRUTTO | --methode fahrtenbuch --anteil P) [--ust-anteil P] "
                        "[--von-monat M] [--bis-monat M] [--monatlich] [--entfernung KM --arbeitstage TAGE [--jahres-km KM]]"),
         QStringLiteral("trägt einen Firmenwagen ein"),
         QStringLiteral("1-%-Regelung (Vorgabe): 1 % des auf volle hundert Euro abgerundeten Bruttolistenpreises je Monat\n"
                        "der Nutzung im Jahr (§ 6 Abs. 1 Nr. 4 Satz 2 EStG). Fahrtenbuch: der private Anteil der Kfz-Kosten\n"
                        "des Jahres (laufende Kosten, Leasing, AfA der Fahrzeuge im Anlagenverzeichnis). --ust-anteil: der Teil\n"
                        "mit 19 % USt (Vorgabe 80 %, der Rest ohne USt). --entfernung und --arbeitstage: Fahrten zwischen\n"
                        "Wohnung und Betrieb: nach der 1-%-Regelung 0,03 % des Listenpreises je km und Monat (EÜR Kz 142),\n"
                        "mit Fahrtenbuch der Anteil dieser Fahrten (2 x km x Tage) an den --jahres-km an den Kosten; davon\n"
                        "abziehbar 0,30 € je km und Fahrtag (Kz 176), der Rest nicht abziehbar. Ist nur ein Fahrzeug\n"
                        "eingetragen, sind Privatanteil und nicht abziehbare Fahrten nach der 1-%-Regelung höchstens die\n"
                        "Kfz-Kosten des Jahres (Kostendeckelung). Gibt die Nummer aus."),
         cmdKfz},
        {QStringLiteral("kfz"), QStringLiteral("buchen"), {}, {}, QStringLiteral("dalvo kfz FALL buchen [--ja|--nein]"),
         QStringLiteral("bucht den Privatanteil"),
         QStringLiteral("Bucht die private Nutzung jedes Fahrzeugs gegen das Privatkonto (EÜR Kz 106), monatlich zum\n"
                        "Monatsende oder einmal zum Jahresende; nur was noch fehlt: ein zweiter Lauf bucht nichts. Gibt\n"
                        "die Buchungsnummern aus."),
         cmdKfz},
        {QStringLiteral("kfz"), QStringLiteral("liste"), {QStringLiteral("list")}, {}, QStringLiteral("dalvo kfz FALL liste"),
         QStringLiteral("zeigt die Fahrzeuge"), QStringLiteral("Zeigt die eingetragenen Fahrzeuge mit ihrer Bewertung."), cmdKfz},
    };
}

}  // namespace cli
