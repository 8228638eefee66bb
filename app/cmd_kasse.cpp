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

QJsonObject zeileAlsJson(const KBBuchung& b) {
    QJsonObject o;
    o[QStringLiteral("datum")] = b.datum.getText();
    o[QStringLiteral("buchungsnummer")] = qint64(b.buchungsnummer);
    o[QStringLiteral("belegnummer")] = b.belegnummer;
    o[QStringLiteral("gegenkonto")] = b.gegenkonto;
    o[QStringLiteral("steuersatz")] = b.steuersatz;
    o[QStringLiteral("buchungstext")] = b.buchungstext;
    o[QStringLiteral("einnahme")] = jsonBetrag(b.einnahme);
    o[QStringLiteral("ausgabe")] = jsonBetrag(b.ausgabe);
    o[QStringLiteral("bestand")] = jsonBetrag(b.bestand);
    return o;
}

QString csvFeld(QString t) {
    if (t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"')) || t.contains(QLatin1Char('\n')))
        t = QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return t;
}
}  // namespace

int cmdKassenbuch(const QStringList& args) {
    const QString n = QStringLiteral("kassenbuch");
    Args a(args, zeitraumWertFlags() << QStringLiteral("--konto") << QStringLiteral("--pdf") << QStringLiteral("--firma"),
           zeitraumSchalter() << QStringLiteral("--csv") << QStringLiteral("--json") << QStringLiteral("--force"));
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (int(a.has(QStringLiteral("--csv"))) + int(a.has(QStringLiteral("--json"))) + int(a.has(QStringLiteral("--pdf"))) > 1)
        return usageError(n, QStringLiteral("Nur eine Ausgabeform: --csv, --json oder --pdf DATEI."));
    const QString fallPfad = a.positional().first();
    Ausgabeziel ziel;
    QString e;
    if (a.has(QStringLiteral("--pdf"))) {
        if (!QFileInfo::exists(fallPfad)) return usageError(n, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(fallPfad));
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--pdf")), fallPfad, a.has(QStringLiteral("--force")), &ziel, &e)) return abgelehnt(e);
    }
    return Fall::ausfuehren(n, fallPfad, Fall::Zugriff::Lesen, [&](Fall& fall) {
        Zeitraum z;
        QString e;
        if (!parseZeitraum(a, fall.kg()->getSteuerjahr(), &z, &e)) return usageError(n, e);
        unsigned long konto = 0;
        if (!kasseWaehlen(a, fall.kg(), &konto, &e)) return abgelehnt(e);
        Kassenbuch kb(konto, z.von, z.bis);
        if (!kb.Fuellen()) return abgelehnt(QStringLiteral("Das Kassenbuch konnte nicht gelesen werden. Bitte prüfen Sie die Falldatei mit „dalvo verify“."));
        const QString firma = a.has(QStringLiteral("--firma")) ? a.value(QStringLiteral("--firma")) : QFileInfo(fallPfad).completeBaseName();
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("konto")] = qint64(konto);
            o[QStringLiteral("bezeichnung")] = KG::getKontobezeichnung(konto);
            o[QStringLiteral("von")] = z.von.getText();
            o[QStringLiteral("bis")] = z.bis.getText();
            o[QStringLiteral("anfangsbestand")] = jsonBetrag(kb.zeilen().first().bestand);
            o[QStringLiteral("endbestand")] = jsonBetrag(kb.zeilen().last().bestand);
            QJsonArray zeilen;
            for (int i = 1; i < kb.zeilen().size(); ++i) zeilen.append(zeileAlsJson(kb.zeilen()[i]));
            o[QStringLiteral("zeilen")] = zeilen;
            QJsonArray abs;
            for (const Kassenbuch::Abschluss& x : kb.abschluesse()) {
                QJsonObject j;
                j[QStringLiteral("abschlussid")] = qint64(x.abschlussID);
                j[QStringLiteral("datum")] = x.datum.getText();
                j[QStringLiteral("saldo")] = jsonBetrag(x.saldo);
                j[QStringLiteral("gezaehlt")] = jsonBetrag(x.gezaehlt);
                abs.append(j);
            }
            o[QStringLiteral("abschluesse")] = abs;
            out(jsonText(o));
            return int(Ok);
        }
        if (a.has(QStringLiteral("--csv"))) {
            QString t = QStringLiteral("Datum;Buchungsnummer;Belegnummer;Gegenkonto;Steuersatz;Buchungstext;Einnahme;Ausgabe;Bestand\n");
            for (const KBBuchung& b : kb.zeilen())
                t += QStringList{b.datum.getText(), b.buchungsnummer ? QString::number(b.buchungsnummer) : QString(), csvFeld(b.belegnummer),
                                 b.gegenkonto, QString::number(b.steuersatz, 'g', 4).replace(QLatin1Char('.'), QLatin1Char(',')),
                                 csvFeld(b.buchungstext), b.einnahme.getText(EuroType::TextOhneTausender),
                                 b.ausgabe.getText(EuroType::TextOhneTausender), b.bestand.getText(EuroType::TextOhneTausender)}
                         .join(QLatin1Char(';')) +
                     QLatin1Char('\n');
            out(t);
            return int(Ok);
        }
        if (a.has(QStringLiteral("--pdf"))) {
            QByteArray pdf;
            if (!kb.alsPdf(firma, &pdf, &e)) return abgelehnt(e);
            if (ziel.standardausgabe) {
                fwrite(pdf.constData(), 1, size_t(pdf.size()), stdout);
                fflush(stdout);
                return int(Ok);
            }
            if (!rsWriteFileAtomic(ziel.pfad, pdf, &e)) return abgelehnt(e);
            err(QStringLiteral("Das Kassenbuch wurde in der Datei %1 gespeichert.\n").arg(a.value(QStringLiteral("--pdf"))));
            return int(Ok);
        }
        out(kb.druckText(firma));
        return int(Ok);
    });
}

int cmdKassenabschluss(const QStringList& args) {
    const QString n = QStringLiteral("kassenabschluss");
    Args a(args, {QStringLiteral("--datum"), QStringLiteral("--gezaehlt"), QStringLiteral("--konto"), QStringLiteral("--gegenkonto")},
           {QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const QString& pflicht : {QStringLiteral("--datum"), QStringLiteral("--gezaehlt")})
        if (!a.has(pflicht)) return usageError(n, QStringLiteral("%1 fehlt.").arg(pflicht));
    KassenabschlussDaten d;
    QString e;
    zDate datum;
    EuroType gezaehlt;
    if (!parseDate(a.value(QStringLiteral("--datum")), &datum, &e)) return usageError(n, e);
    if (!parseAmount(a.value(QStringLiteral("--gezaehlt")), &gezaehlt, &e)) return usageError(n, e);
    if (gezaehlt.wert() < 0) return usageError(n, QStringLiteral("Der gezählte Betrag kann nicht negativ sein."));
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
            return abgelehnt(QStringLiteral("Der Kassenabschluss wurde nicht durchgeführt. Mit --yes wird er bestätigt."));
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

int cmdKasse(const QStringList& args) {
    const QString n = QStringLiteral("kasse");
    Args a(args, {QStringLiteral("--setzen")}, {QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
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

int cmdKasseExport(const QStringList& args) {
    const QString n = QStringLiteral("kasse-export");
    Args a(args, {QStringLiteral("--konto"), QStringLiteral("--ziel"), QStringLiteral("--name")}, {QStringLiteral("--force"), QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
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
        // A case file is never replaced, --force or not.
        if (QFileInfo::exists(pfad) && !pruefeAusgabeziel(pfad, fallPfad, true, &ziel, &e)) return abgelehnt(e);
        const QString geschrieben = Kasse::exportiereKasse(konto, pfad, a.has(QStringLiteral("--force")), &e);
        if (geschrieben.isEmpty()) return abgelehnt(e);
        out(geschrieben + QLatin1Char('\n'));
        err(QStringLiteral("Der Export wurde erfolgreich abgeschlossen. Sie können nun die Datei in das Kassenprogramm importieren.\n"));
        return int(Ok);
    });
}

int cmdKasseImport(const QStringList& args) {
    const QString n = QStringLiteral("kasse-import");
    Args a(args, {}, {});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Kassendatei und neue Falldatei angeben."));
    const QString datei = a.positional()[0], neu = a.positional()[1];
    if (!QFileInfo(datei).isFile()) return usageError(n, QStringLiteral("Die Datei „%1“ kann nicht gefunden werden.").arg(datei));
    if (QFileInfo::exists(neu)) return abgelehnt(QStringLiteral("Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben.").arg(neu));
    Fall fall;
    QString e;
    if (!fall.neu(&e)) return abgelehnt(e);
    if (!Kasse::importiereKasse(datei, &e)) return abgelehnt(e);
    fall.root().fillBlackList();
    if (!fall.anlegen(neu, &e)) return abgelehnt(e);
    err(QStringLiteral("Der Import wurde erfolgreich abgeschlossen.\n"));
    return Ok;
}

int cmdKassenbuchungenExport(const QStringList& args) {
    const QString n = QStringLiteral("kassenbuchungen-export");
    Args a(args, {QStringLiteral("--ziel")}, {QStringLiteral("--force"), QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
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
        const QString pfad = Kasse::exportiereKassenbuchungen(ziel, a.has(QStringLiteral("--force")), &e, &plan);
        if (pfad.isEmpty()) return abgelehnt(e);
        err(Ui::plainText(plan.bericht));
        out(pfad + QLatin1Char('\n'));
        return int(Ok);
    });
}

int cmdKassenbuchungenImport(const QStringList& args) {
    const QString n = QStringLiteral("kassenbuchungen-import");
    Args a(args, {}, {});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Buchungsdatei angeben."));
    if (!QFileInfo(a.positional()[1]).isFile())
        return usageError(n, QStringLiteral("Die Datei „%1“ kann nicht gefunden werden.").arg(a.positional()[1]));
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

int cmdKasseFreigeben(const QStringList& args) {
    const QString n = QStringLiteral("kasse-freigeben");
    Args a(args, {QStringLiteral("--konto")}, {QStringLiteral("--yes"), QStringLiteral("--no")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    unsigned long konto = 0;
    if (!a.has(QStringLiteral("--konto"))) return usageError(n, QStringLiteral("--konto fehlt."));
    if (!parseKonto(a.value(QStringLiteral("--konto")), &konto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(QStringLiteral("--konto"))));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString e;
        if (!Kasse::kasseFreigeben(konto, &e)) return abgelehnt(e);
        return int(Ok);
    });
}

}  // namespace cli
