// dalvo kassenbuch / kassenabschluss / kasse / kasse-export / kasse-import /
// kassenbuchungen-export / kassenbuchungen-import / kasse-freigeben: the
// cash book and the exchange of cash registers.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "kontbaum/kasse/kasse.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace cli {

namespace {
using KG = KontoGlobal;

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(Ui::plainText(text).trimmed()));
    return Refused;
}

bool parseKonto(const QString& t, unsigned long* n) {
    bool ok = false;
    *n = t.trimmed().toULong(&ok);
    return ok && *n > 0;
}

// --konto N, or the case's cash account; a refusal names what to do.
bool kasseWaehlen(const Args& a, KontoGlobal* kg, unsigned long* konto, QString* fehler) {
    if (a.has(QStringLiteral("--konto"))) {
        if (!parseKonto(a.value(QStringLiteral("--konto")), konto)) {
            *fehler = QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto")));
            return false;
        }
    } else {
        *konto = (unsigned long)qMax(0, kg->getKassenkonto());
        if (*konto == 0) {
            *fehler = QStringLiteral("Im Fall ist kein Kassenkonto eingestellt. Bitte geben Sie --konto an oder stellen Sie es mit "
                                     "„dalvo kasse FALL --setzen KONTO“ ein.");
            return false;
        }
    }
    if (!KG::existsKonto(*konto, false, nullptr)) {
        *fehler = QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(*konto);
        return false;
    }
    if (KG::getKategorie(*konto) != 201) {
        *fehler = QStringLiteral("Das Konto %1 ist kein Kassenkonto (Kategorie 201). Die Kassen des Falls zeigt „dalvo kasse FALL“.").arg(*konto);
        return false;
    }
    return true;
}

}  // namespace

int cmdKassenbuch(const Args& a) {
    const QString n = QStringLiteral("kassenbuch");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (int(a.has(QStringLiteral("--csv"))) + int(a.has(QStringLiteral("--json"))) + int(a.has(QStringLiteral("--pdf"))) > 1)
        return usageError(n, QStringLiteral("Nur eine Ausgabeform: --csv, --json oder --pdf DATEI."));
    const QString fallPfad = a.positional().first();
    Ausgabeziel ziel;
    QString e;
    if (a.has(QStringLiteral("--pdf"))) {
        if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--pdf")), fallPfad, a.has(QStringLiteral("--ersetzen")), &ziel, &e)) return abgelehnt(e);
    }
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall& fall) {
        Zeitraum z;
        QString e;
        if (!parseZeitraum(a, fall.kg()->getSteuerjahr(), &z, &e)) return usageError(n, e);
        unsigned long konto = 0;
        if (!kasseWaehlen(a, fall.kg(), &konto, &e)) return abgelehnt(e);
        // The book is written as it is read, whatever its length.
        Kassenbuch kb(konto, z.von, z.bis);
        if (!kb.vorbereiten())
            return abgelehnt(QStringLiteral("Das Kassenbuch konnte nicht gelesen werden. Bitte prüfen Sie die Falldatei mit „dalvo pruefen“."));
        const QString firma = a.has(QStringLiteral("--firma")) ? a.value(QStringLiteral("--firma")) : fall.betriebsname(fallPfad);
        if (a.has(QStringLiteral("--pdf"))) {
            if (!schreibeAusgabe(ziel, [&](QIODevice* datei, QString* fehler) { return kb.alsPdf(firma, datei, fehler); }, &e)) return abgelehnt(e);
            if (!ziel.standardausgabe)
                err(QStringLiteral("Das Kassenbuch wurde in der Datei %1 gespeichert.\n").arg(a.value(QStringLiteral("--pdf"))));
            return int(Ok);
        }
        const Kassenbuch::Form form = a.has(QStringLiteral("--json")) ? Kassenbuch::Form::Json
                                      : a.has(QStringLiteral("--csv")) ? Kassenbuch::Form::Csv
                                                                       : Kassenbuch::Form::Seite;
        if (!kb.schreiben(form, firma, [](const QByteArray& b) { return outBytes(b); }, &e)) return abgelehnt(e);
        return int(Ok);
    });
}

int cmdKassenabschluss(const Args& a) {
    const QString n = QStringLiteral("kassenabschluss");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const QString& pflicht : {QStringLiteral("--datum"), QStringLiteral("--gezaehlt")})
        if (!a.has(pflicht)) return usageError(n, QStringLiteral("%1 fehlt.").arg(pflicht));
    KassenabschlussDaten d;
    QString e;
    zDate datum;
    EuroType gezaehlt;
    if (!parseDate(a.value(QStringLiteral("--datum")), &datum, &e)) return usageError(n, e);
    if (!parseAmount(a.value(QStringLiteral("--gezaehlt")), &gezaehlt, &e)) return usageError(n, e);
    if (gezaehlt < EuroType()) return usageError(n, QStringLiteral("Der gezählte Betrag kann nicht negativ sein."));
    unsigned long gegen = 0;
    if (a.has(QStringLiteral("--gegenkonto")) && !parseKonto(a.value(QStringLiteral("--gegenkonto")), &gegen))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--gegenkonto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        unsigned long konto = 0;
        QString e;
        if (!kasseWaehlen(a, fall.kg(), &konto, &e)) return abgelehnt(e);
        e = Kasse::abschlussBeginnen(konto, &d);
        if (!e.isEmpty()) return abgelehnt(e);
        d.datum = datum;
        e = Kasse::abschlussDatumPruefen(d);
        if (!e.isEmpty()) return abgelehnt(e);
        Kasse::abschlussSaldoErmitteln(&d);
        d.gezaehlt = gezaehlt;
        unsigned long gegenkonto = 0;
        if (d.gezaehlt != d.saldoBuchungen) {
            gegenkonto = Kasse::ausgleichsGegenkonto(d, gegen, &e);
            if (gegenkonto == 0) return abgelehnt(e + QStringLiteral(" Geben Sie das Konto mit --gegenkonto an."));
        }
        QString zusammenfassung = QStringLiteral("Kasse:                      %1\nAbschlussdatum:             %2\n"
                                                 "Kontostand laut Buchungen:  %3 EUR\nGezählter Betrag:           %4 EUR\n")
                                      .arg(d.bezeichnung, d.datum.getText(), d.saldoBuchungen.getText(), d.gezaehlt.getText());
        if (gegenkonto != 0)
            zusammenfassung += QStringLiteral("Aufgrund der Differenz zwischen gezähltem und berechnetem Betrag wird eine Ausgleichsbuchung "
                                              "über %1 EUR gegen das Konto %2 erzeugt.\n")
                                   .arg((d.saldoBuchungen - d.gezaehlt).abs().getText())
                                   .arg(gegenkonto);
        // A closing cannot be undone: the user confirms what the wizard's last page shows.
        if (!GetUi().frage(zusammenfassung + QStringLiteral("Soll der Kassenabschluss jetzt durchgeführt werden? Er kann nicht rückgängig "
                                                            "gemacht werden."),
                           QStringLiteral("Frage")))
            return abgelehnt(QStringLiteral("Der Kassenabschluss wurde nicht durchgeführt. Mit --ja wird er bestätigt."));
        Kasse::AbschlussErgebnis erg;
        if (!Kasse::abschlussDurchfuehren(d, gegenkonto, &erg, &e)) return abgelehnt(e);
        out(QStringLiteral("Kassenabschluss Nr. %1 der Kasse %2 zum %3: Saldo %4 EUR.\n")
                .arg(erg.abschlussID)
                .arg(konto)
                .arg(d.datum.getText(), erg.saldo.getText()));
        if (erg.ausgleichsbuchung != 0) out(QStringLiteral("Ausgleichsbuchung: %1\n").arg(erg.ausgleichsbuchung));
        return int(Ok);
    });
}

int cmdKasse(const Args& a) {
    const QString n = QStringLiteral("kasse");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    unsigned long neu = 0;
    if (a.has(QStringLiteral("--setzen")) && !parseKonto(a.value(QStringLiteral("--setzen")), &neu))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--setzen"))));
    const bool setzen = a.has(QStringLiteral("--setzen"));
    return Fall::ausfuehren(n, a.positional().first(), setzen ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        if (setzen) {
            if (!KG::existsKonto(neu, true, nullptr) || KG::getKategorie(neu) != 201)
                return abgelehnt(QStringLiteral("Das Konto %1 ist keine aktive Kasse (Kategorie 201). Die Kassen des Falls zeigt „dalvo kasse FALL“.")
                                     .arg(neu));
            if ((unsigned long)kg->getKassenkonto() == neu) fall.setGeaendert(false);
            kg->setKassenkonto(int(neu));
            meldeErledigt(QStringLiteral("Das Kassenkonto des Falls ist jetzt %1.").arg(neu));
            return int(Ok);
        }
        QJsonArray liste;
        QString text = QStringLiteral("Kassenkonto des Falls: %1\n\n  Konto  Bezeichnung                 Aktiv       Bestand  abgeschlossen bis  exportiert\n")
                           .arg(kg->getKassenkonto() ? QString::number(kg->getKassenkonto()) : QStringLiteral("–"));
        for (const Kasse::Kassenstand& k : Kasse::kassenuebersicht()) {
            QJsonObject o;
            o[QStringLiteral("konto")] = qint64(k.konto);
            o[QStringLiteral("bezeichnung")] = k.bezeichnung;
            o[QStringLiteral("aktiv")] = k.aktiv;
            o[QStringLiteral("bestand")] = jsonBetrag(k.bestand);
            o[QStringLiteral("abgeschlossen_bis")] = k.abgeschlossenBis.isValid() ? QJsonValue(k.abgeschlossenBis.getText()) : QJsonValue();
            o[QStringLiteral("exportiert")] = k.exportiert;
            o[QStringLiteral("kassenkonto")] = (unsigned long)kg->getKassenkonto() == k.konto;
            liste.append(o);
            text += QStringLiteral("%1 %2  %3  %4  %5  %6  %7\n")
                        .arg((unsigned long)kg->getKassenkonto() == k.konto ? QStringLiteral("*") : QStringLiteral(" "))
                        .arg(k.konto, 5)
                        .arg(k.bezeichnung.left(26), -26)
                        .arg(k.aktiv ? QStringLiteral("ja  ") : QStringLiteral("nein"))
                        .arg(k.bestand.getText(), 12)
                        .arg(k.abgeschlossenBis.isValid() ? k.abgeschlossenBis.getText() : QStringLiteral("–"), -17)
                        .arg(k.exportiert ? QStringLiteral("ja") : QStringLiteral("nein"));
        }
        out(a.has(QStringLiteral("--json")) ? jsonText(liste) : text);
        return int(Ok);
    });
}

int cmdKasseExport(const Args& a) {
    const QString n = QStringLiteral("kasse-export");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const QString& pflicht : {QStringLiteral("--konto"), QStringLiteral("--ziel")})
        if (!a.has(pflicht)) return usageError(n, QStringLiteral("%1 fehlt.").arg(pflicht));
    const QString verzeichnis = a.value(QStringLiteral("--ziel"));
    if (!QFileInfo(verzeichnis).isDir())
        return usageError(n, QStringLiteral("Das Zielverzeichnis „%1“ existiert nicht.").arg(verzeichnis));
    const QString fallPfad = a.positional().first();
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Schreiben, [&](Fall& fall) {
        unsigned long konto = 0;
        QString e;
        if (!kasseWaehlen(a, fall.kg(), &konto, &e)) return abgelehnt(e);
        const QString name = a.has(QStringLiteral("--name")) ? a.value(QStringLiteral("--name")) : QFileInfo(fallPfad).completeBaseName();
        const QString pfad = QDir(verzeichnis).filePath(Kasse::kassenDateiname(zDate::today(), name, konto, fall.kg()->getSteuerjahr()));
        Ausgabeziel ziel;
        // A case file is never replaced, --ersetzen or not.
        if (QFileInfo::exists(pfad) && !pruefeAusgabeziel(pfad, fallPfad, true, &ziel, &e)) return abgelehnt(e);
        const QString geschrieben = Kasse::exportiereKasse(konto, pfad, a.has(QStringLiteral("--ersetzen")), &e);
        if (geschrieben.isEmpty()) return abgelehnt(e);
        out(geschrieben + QLatin1Char('\n'));
        err(QStringLiteral("Der Export wurde erfolgreich abgeschlossen. Sie können nun die Datei in das Kassenprogramm importieren.\n"));
        return int(Ok);
    });
}

int cmdKasseImport(const Args& a) {
    const QString n = QStringLiteral("kasse-import");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Kassendatei und neue Falldatei angeben."));
    const QString datei = a.positional()[0], neu = a.positional()[1];
    QString e;
    if (!pruefeEingabedatei(datei, &e)) return usageError(n, e);
    const int frei = Fall::neueFalldateiPruefen(n, neu);
    if (frei >= 0) return frei;
    Fall fall;
    if (!fall.neu(&e)) return abgelehnt(e);
    if (!Kasse::importiereKasse(datei, &e)) return abgelehnt(e);
    fall.root().fillBlackList();
    if (!fall.anlegen(neu, &e)) return abgelehnt(e);
    err(QStringLiteral("Der Import wurde erfolgreich abgeschlossen.\n"));
    return Ok;
}

int cmdKassenbuchungenExport(const Args& a) {
    const QString n = QStringLiteral("kassenbuchungen-export");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (!a.has(QStringLiteral("--ziel"))) return usageError(n, QStringLiteral("--ziel fehlt."));
    const QString ziel = a.value(QStringLiteral("--ziel"));
    if (!QFileInfo(ziel).isDir() && !QFileInfo(QFileInfo(ziel).absolutePath()).isDir())
        return usageError(n, QStringLiteral("Das Zielverzeichnis von „%1“ existiert nicht.").arg(ziel));
    const QString fallPfad = a.positional().first();
    Ausgabeziel geprueft;
    QString e;
    if (!QFileInfo(ziel).isDir() && QFileInfo::exists(ziel) && !pruefeAusgabeziel(ziel, fallPfad, true, &geprueft, &e)) return abgelehnt(e);
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Schreiben, [&](Fall&) {
        QString e;
        Kasse::BuchungsExportPlan plan;
        const QString pfad = Kasse::exportiereKassenbuchungen(ziel, a.has(QStringLiteral("--ersetzen")), &e, &plan);
        if (pfad.isEmpty()) return abgelehnt(e);
        err(Ui::plainText(plan.bericht).trimmed() + QLatin1Char('\n'));
        out(pfad + QLatin1Char('\n'));
        return int(Ok);
    });
}

int cmdKassenbuchungenImport(const Args& a) {
    const QString n = QStringLiteral("kassenbuchungen-import");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Buchungsdatei angeben."));
    QString e;
    if (!pruefeEingabedatei(a.positional()[1], &e)) return usageError(n, e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        QString meldung;
        const long anzahl = Kasse::importiereKassenbuchungen(a.positional()[1], &meldung);
        if (anzahl < 0) return abgelehnt(meldung);
        if (anzahl == 0) fall.setGeaendert(false);
        err(Ui::plainText(meldung).trimmed() + QLatin1Char('\n'));
        out(QStringLiteral("%1\n").arg(anzahl));
        return int(Ok);
    });
}

int cmdKasseFreigeben(const Args& a) {
    const QString n = QStringLiteral("kasse-freigeben");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    unsigned long konto = 0;
    if (!a.has(QStringLiteral("--konto"))) return usageError(n, QStringLiteral("--konto fehlt."));
    if (!parseKonto(a.value(QStringLiteral("--konto")), &konto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString e;
        if (!Kasse::kasseFreigeben(konto, &e)) return abgelehnt(e);
        meldeErledigt(QStringLiteral("Die Kasse %1 ist freigegeben; sie wird nicht mehr exportiert.").arg(konto));
        return int(Ok);
    });
}

QList<Befehl> kassenBefehle() {
    const Option ersetzen{{"--ersetzen", "--force"}};
    return {
        {QStringLiteral("kassenbuch"), {}, {},
         zeitraumOptionen() << Option{{"--konto"}, "KONTO"} << Option{{"--csv"}} << Option{{"--json"}} << Option{{"--pdf"}, "DATEI"} << ersetzen
                            << Option{{"--firma"}, "NAME"},
         QStringLiteral("dalvo kassenbuch FALL [--konto KONTO] [--monat M | --quartal Q | --jahr | --von D --bis D] "
                        "[--csv | --json | --pdf DATEI|- [--ersetzen]] [--firma NAME]"),
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
                        "                  nur mit --ersetzen\n"
                        "  --firma NAME    der Betrieb im Kopf (Vorgabe: der Name der Firma aus „dalvo firma“, solange\n"
                        "                  keiner gesetzt ist der Name der Falldatei)"),
         cmdKassenbuch},
        {QStringLiteral("kassenabschluss"), {}, {},
         {{{"--datum"}, "TT.MM.JJJJ"}, {{"--gezaehlt"}, "BETRAG"}, {{"--konto"}, "KONTO"}, {{"--gegenkonto"}, "KONTO"}},
         QStringLiteral("dalvo kassenabschluss FALL --datum TT.MM.JJJJ --gezaehlt BETRAG [--konto KONTO] [--gegenkonto KONTO] [--ja|--nein]"),
         QStringLiteral("schließt eine Kasse zum gezählten Bestand ab"),
         QStringLiteral("Vergleicht den gezählten Bestand mit dem Stand der Buchungen bis zum Abschlussdatum, bucht eine\n"
                        "Differenz als „Fehlbetrag“ oder „Überschuss“ und hält den Abschluss fest. Danach kann keine\n"
                        "Buchung auf diese Kasse mit einem Datum bis zum Abschlussdatum mehr gebucht, storniert oder\n"
                        "gelöscht werden. Das Datum liegt nach dem letzten Abschluss dieser Kasse, im Steuerjahr und\n"
                        "nicht in der Zukunft; eine inaktive Kasse wird nicht abgeschlossen. Der Abschluss wird erst nach\n"
                        "der Rückfrage (--ja) durchgeführt.\n\n"
                        "Optionen:\n  --konto KONTO        die Kasse (Vorgabe: das Kassenkonto des Falls)\n"
                        "  --gegenkonto KONTO   Gegenkonto der Ausgleichsbuchung: ein Aufwandskonto bei einem Fehlbetrag,\n"
                        "                       ein Ertragskonto bei einem Überschuss (z. B. SKR03 4900 oder 2700)"),
         cmdKassenabschluss},
        {QStringLiteral("kasse"), {}, {}, {{{"--setzen"}, "KONTO"}, {{"--json"}}}, QStringLiteral("dalvo kasse FALL [--setzen KONTO] [--json]"),
         QStringLiteral("zeigt die Kassen oder stellt das Kassenkonto ein"),
         QStringLiteral("Zeigt die Kassenkonten (Kategorie 201) mit Bestand, letztem Abschluss und ob sie an ein\n"
                        "Kassenprogramm exportiert sind; * markiert das Kassenkonto des Falls.\n\n"
                        "Optionen:\n  --setzen KONTO   macht die aktive Kasse KONTO zum Kassenkonto des Falls\n"
                        "  --json           als JSON-Liste (konto, bezeichnung, aktiv, bestand, abgeschlossen_bis,\n"
                        "                   exportiert, kassenkonto)"),
         cmdKasse},
        {QStringLiteral("kasse-export"), {}, {}, {{{"--konto"}, "KONTO"}, {{"--ziel"}, "VERZEICHNIS"}, {{"--name"}, "NAME"}, ersetzen},
         QStringLiteral("dalvo kasse-export FALL --konto KONTO --ziel VERZEICHNIS [--name NAME] [--ersetzen]"),
         QStringLiteral("gibt eine Kasse an ein Kassenprogramm ab"),
         QStringLiteral("Schreibt die Kasse in eine Datei „JJJJMMTT NAME Kasse KONTO JAHR.kasse“ im Verzeichnis und gibt\n"
                        "ihren Pfad aus. Die Datei enthält Kontenplan und Steuerschlüssel, die Buchungen und\n"
                        "Buchungsvorlagen dieser Kasse und ihre Einstellungen, sonst nichts aus dem Fall. Der Fall merkt\n"
                        "sich die Kasse als exportiert; ihre Buchungen bis zur Übergabe kommen nie zurück.\n\n"
                        "Optionen:\n  --name NAME   Namensteil der Datei (Vorgabe: der Name der Falldatei)\n"
                        "  --ersetzen    eine vorhandene Datei gleichen Namens ersetzen"),
         cmdKasseExport},
        {QStringLiteral("kasse-import"), {}, {}, {}, QStringLiteral("dalvo kasse-import DATEI NEUER_FALL"),
         QStringLiteral("legt aus einer .kasse-Datei einen Kassenfall an"),
         QStringLiteral("Legt die neue Falldatei NEUER_FALL aus einer mit kasse-export geschriebenen Datei an: das\n"
                        "Kassenprogramm bucht dort und schließt die Kasse ab. Der Stand bei der Übergabe gilt als erster\n"
                        "Kassenabschluss. Eine vorhandene Datei wird nie überschrieben."),
         cmdKasseImport},
        {QStringLiteral("kassenbuchungen-export"), {}, {}, {{{"--ziel"}, "VERZEICHNIS|DATEI"}, ersetzen},
         QStringLiteral("dalvo kassenbuchungen-export FALL --ziel VERZEICHNIS|DATEI [--ersetzen]"),
         QStringLiteral("gibt die abgeschlossenen Kassenbuchungen zurück"),
         QStringLiteral("Im Kassenfall: schreibt alle Buchungen der Kasse bis zum letzten Kassenabschluss in eine Datei\n"
                        "„JJJJMMTT Kasse KONTO bis JJJJMMTT.buchungen“ (oder in DATEI) und gibt ihren Pfad aus. Ohne\n"
                        "Kassenabschluss nach der Übergabe wird nichts exportiert.\n\n"
                        "Optionen:\n  --ersetzen   eine vorhandene Datei ersetzen"),
         cmdKassenbuchungenExport},
        {QStringLiteral("kassenbuchungen-import"), {}, {}, {}, QStringLiteral("dalvo kassenbuchungen-import FALL DATEI"),
         QStringLiteral("übernimmt Kassenbuchungen aus einer .buchungen-Datei"),
         QStringLiteral("Im Fall, der die Kasse exportiert hat: übernimmt die Buchungen jedes noch nicht importierten\n"
                        "Kassenabschlusses der Datei als neue Buchungen und gibt ihre Zahl aus. Dieselbe Datei ein\n"
                        "zweites Mal übernimmt nichts. Alle bebuchten Konten müssen im Kontenplan aktiv sein."),
         cmdKassenbuchungenImport},
        {QStringLiteral("kasse-freigeben"), {}, {}, {{{"--konto"}, "KONTO"}}, QStringLiteral("dalvo kasse-freigeben FALL --konto KONTO [--ja|--nein]"),
         QStringLiteral("nimmt eine Kasse aus dem Export zurück"),
         QStringLiteral("Die Kasse wird nicht mehr exportiert; für sie können danach keine Buchungen mehr importiert\n"
                        "werden. Nach Rückfrage (--ja)."),
         cmdKasseFreigeben},
    };
}

}  // namespace cli
