// dalvo ustva / euer / zm / saldenliste: the figures for the tax office.
#include "app/ausgabe.h"
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"
#include "app/json.h"
#include "app/listenausgabe.h"

#include "host/app/atomicfile.h"
#include "host/app/printstring.h"
#include "host/tree/datenbase.h"
#include "kontbaum/austausch/elster.h"
#include "kontbaum/austausch/datev.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/falleinstellungen.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/erklaerung.h"
#include "kontbaum/steuer/steuer.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/steuer/voranmeldung.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {
QJsonValue j(const EuroType& e) { return jsonBetrag(e); }

int abgelehnt(const QString& grund) {
    err(QStringLiteral("Fehler: %1\n").arg(grund));
    return Refused;
}

// The command line is the host of the case's forms: it keeps the advance
// returns as an entry of the bookkeeping root, so that they travel in the
// case file with the EÜR form.
void voranmeldungenAnmelden() {
    DatenBase::setRootNode(QStringLiteral("Va_"), DatenBase::GetDB(QStringLiteral("Kont_[M]\\Va_"), true));
}

const QString kUebertragen = QStringLiteral("--uebertragen");
const QString kJaHinweis = QStringLiteral(" Mit --ja werden die Zahlen der Buchhaltung trotzdem übernommen.");

QString kz(unsigned long k) { return QString::number(k); }

// Writes an upload file to its checked target (stdout for "-") and says
// where it went and what the user does with it.
int schreibeUpload(const Ausgabeziel& ziel, const QString& angabe, const QByteArray& daten, const QString& was, const QString& weiter) {
    if (ziel.standardausgabe) {
        fwrite(daten.constData(), 1, size_t(daten.size()), stdout);
        return int(Ok);
    }
    QString e;
    if (!rsWriteFileAtomic(ziel.pfad, daten, &e)) return abgelehnt(e);
    err(QStringLiteral("%1 wurde in der Datei %2 gespeichert. %3\n").arg(was, angabe, weiter));
    return int(Ok);
}

const QString kUstvaHochladen = QStringLiteral(
    "Dieses Programm übermittelt nicht selbst (dazu braucht es die Bibliothek der Steuerverwaltung und ein Zertifikat): "
    "laden Sie die Datei im ELSTER-Portal in die Umsatzsteuer-Voranmeldung, prüfen Sie sie dort und senden Sie sie mit Ihrem Zertifikat ab.");
const QString kZmHochladen = QStringLiteral(
    "Dieses Programm übermittelt nicht selbst: importieren Sie die Datei im Formular „Zusammenfassende Meldung“ des Online-Portals "
    "des Bundeszentralamts für Steuern auf der Seite der Meldezeilen, prüfen Sie sie und senden Sie die Meldung mit Ihrem Zertifikat ab.");
}  // namespace

int cmdUstva(const Args& a) {
    const QString n = QStringLiteral("ustva");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (a.has(QStringLiteral("--von")) || a.has(QStringLiteral("--bis")))
        return usageError(n, QStringLiteral("Die Voranmeldung gilt für einen Monat, ein Quartal oder das Jahr."));
    const bool uebertragen = a.has(kUebertragen);
    const bool elster = a.has(QStringLiteral("--elster"));
    Ausgabeziel ziel;
    if (elster) {
        if (uebertragen || a.has(QStringLiteral("--json")))
            return usageError(n, QStringLiteral("--elster schreibt nur die Datei; bitte ohne --uebertragen und --json."));
        if (!a.has(QStringLiteral("--monat")) && !a.has(QStringLiteral("--quartal")))
            return usageError(n, QStringLiteral("Die Datei für ELSTER gilt für einen Monat oder ein Quartal: --monat M oder --quartal Q angeben."));
        QString e;
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--elster")), a.positional().first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e))
            return abgelehnt(e);
    } else if (a.has(QStringLiteral("--berichtigt"))) {
        return usageError(n, QStringLiteral("--berichtigt gilt nur zusammen mit --elster DATEI."));
    }
    return Fall::ausfuehren(n, a.positional().first(), uebertragen ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        Zeitraum z;
        QString e;
        if (!parseZeitraum(a, fall.kg()->getSteuerjahr(), &z, &e)) return usageError(n, e);
        const int art = z.art == Zeitraum::Monat ? 1 : z.art == Zeitraum::Quartal ? 2 : 3;
        const UStVA::Periode periode{art, z.art == Zeitraum::Quartal ? z.index : -1, z.art == Zeitraum::Monat ? z.index : -1};
        if (uebertragen) {
            voranmeldungenAnmelden();
            if (!Kont_::UebertrageUStVA(art, periode.quartal, periode.monat, &e))
                return abgelehnt(e + (e.contains(QStringLiteral("bleibt unverändert")) ? kJaHinweis : QString()));
        }
        UStVA::Zahlen zahlen;
        UStVA::berechne(0, periode, &zahlen);
        for (const QString& h : zahlen.hinweise) err(QStringLiteral("Hinweis: %1\n").arg(h));
        const zDate& frist = zahlen.abgabefrist;
        const OAnmeldungVorauszahlungen& va = zahlen.umsatz;
        const OAnmeldungVorauszahlungen2& va2 = zahlen.rest;
        const OAbziehbareVorsteuerbetraege& vst = zahlen.vorsteuer;
        // What is entered on the form per code (bases in whole euros, taxes
        // with their cents) and the taxes the form computes from a base.
        const QMap<int, EuroType>& eintrag = zahlen.eintraege;
        const QMap<int, EuroType>& steuer = zahlen.steuern;

        if (elster) {
            Elster::UStVAKopf kopf;
            const int code = z.art == Zeitraum::Monat ? z.index + 1 : 41 + z.index;
            if (!Elster::kopfDesFalls(fall.kg()->GetDBConnect_Ptr(), fall.kg()->getSteuerjahr(), code, a.has(QStringLiteral("--berichtigt")), &kopf, &e))
                return abgelehnt(e);
            const QByteArray xml = Elster::ustvaXml(kopf, eintrag, &e);
            if (xml.isEmpty()) return abgelehnt(e);
            return schreibeUpload(ziel, a.value(QStringLiteral("--elster")), xml, QStringLiteral("Die Umsatzsteuer-Voranmeldung %1").arg(z.text),
                                  kUstvaHochladen);
        }
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o, kzs, st, su;
            o[QStringLiteral("steuerjahr")] = fall.kg()->getSteuerjahr();
            o[QStringLiteral("zeitraum")] = z.text;
            for (auto it = eintrag.constBegin(); it != eintrag.constEnd(); ++it) kzs[kz(it.key())] = j(it.value());
            for (auto it = steuer.constBegin(); it != steuer.constEnd(); ++it) st[kz(it.key())] = j(it.value());
            su[QStringLiteral("umsatzsteuer")] = j(va.umsatzsteuer);
            su[QStringLiteral("vorsteuer")] = j(vst.vorsteuer);
            su[QStringLiteral("vorauszahlung")] = j(va2.vorauszahlung);
            o[QStringLiteral("kennziffern")] = kzs;
            o[QStringLiteral("steuer")] = st;
            o[QStringLiteral("summen")] = su;
            if (uebertragen) o[QStringLiteral("uebertragen")] = true;
            o[QStringLiteral("abgabefrist")] = frist.isValid() ? QJsonValue(frist.getText()) : QJsonValue();
            out(jsonText(o));
            return int(Ok);
        }
        zPrintString p;
        p.setTitel(QStringLiteral("Umsatzsteuer-Voranmeldung %1").arg(z.text));
        p.setSpalten({{QStringLiteral("Kz."), 4, true}, {QStringLiteral("Bezeichnung"), 62, false}, {QStringLiteral("Betrag"), 14, true},
                      {QStringLiteral("Steuer"), 12, true}});
        for (auto it = eintrag.constBegin(); it != eintrag.constEnd(); ++it) {
            if (it.key() == 83) continue;
            // A base in the amount column with the tax the form computes from
            // it; a tax amount in the tax column.
            const bool basis = UStVA::volleEuro(it.key());
            const QString betrag = basis ? it.value().getText() : QString();
            const QString st = basis ? (steuer.contains(it.key()) ? steuer.value(it.key()).getText() : QString()) : it.value().getText();
            p.zeile({kz(it.key()), zahlen.text(it.key()), betrag, st});
        }
        p.trenner();
        p.zeile({QString(), QStringLiteral("Umsatzsteuer"), QString(), va.umsatzsteuer.getText()});
        p.zeile({QString(), QStringLiteral("Abziehbare Vorsteuerbeträge"), QString(), vst.vorsteuer.getText()});
        p.zeile({QStringLiteral("83"), va2.vorauszahlung < EuroType() ? QStringLiteral("Verbleibender Überschuss")
                                                                    : QStringLiteral("Verbleibende Umsatzsteuer-Vorauszahlung"),
                 QString(), va2.vorauszahlung.getText()});
        if (frist.isValid()) p.zeile({QString(), QStringLiteral("Abgabefrist"), frist.getText(), QString()});
        out(p.text());
        if (uebertragen) out(QStringLiteral("\nDie Zahlen stehen jetzt in der Voranmeldung %1 des Falls.\n").arg(z.text));
        return int(Ok);
    });
}

int cmdUstErklaerung(const Args& a) {
    const QString n = QStringLiteral("ust-erklaerung");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (int(a.has(QStringLiteral("--csv"))) + int(a.has(QStringLiteral("--json"))) + int(a.has(QStringLiteral("--pdf"))) > 1)
        return usageError(n, QStringLiteral("Nur eine Ausgabeform: --csv, --json oder --pdf DATEI."));
    Ausgabeziel ziel;
    if (a.has(QStringLiteral("--pdf"))) {
        QString e;
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--pdf")), a.positional().first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e))
            return abgelehnt(e);
    }
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        UStErklaerung::Ergebnis r;
        if (!UStErklaerung::berechne(0, &r)) return abgelehnt(QStringLiteral("Die Umsatzsteuererklärung konnte nicht berechnet werden."));
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o, kzs, su;
            o[QStringLiteral("steuerjahr")] = r.jahr;
            for (const UStErklaerung::Zeile& z : r.zeilen) {
                QJsonObject x;
                x[QStringLiteral("bezeichnung")] = z.text;
                if (z.basis) x[QStringLiteral("bemessungsgrundlage")] = j(z.bemessungsgrundlage);
                if (z.hatSteuer) x[QStringLiteral("steuer")] = j(z.steuer);
                kzs[kz(unsigned(z.kennziffer))] = x;
            }
            o[QStringLiteral("kennziffern")] = kzs;
            su[QStringLiteral("umsatzsteuer")] = j(r.umsatzsteuer);
            su[QStringLiteral("vorsteuer")] = j(r.vorsteuer);
            su[QStringLiteral("steuer")] = j(r.steuer);
            su[QStringLiteral("vorauszahlungen")] = j(r.vorauszahlungen);
            su[QStringLiteral("sondervorauszahlung")] = j(r.sondervorauszahlung);
            su[QStringLiteral("vorauszahlungssoll")] = j(r.vorauszahlungssoll);
            su[QStringLiteral("verbleibend")] = j(r.verbleibend);
            o[QStringLiteral("summen")] = su;
            o[QStringLiteral("voranmeldungen")] = r.perioden;
            out(jsonText(o));
            return int(Ok);
        }
        BerichtListe l;
        UStErklaerung::liste(r, &l);
        if (a.has(QStringLiteral("--csv"))) {
            out(l.csv());
            return int(Ok);
        }
        if (a.has(QStringLiteral("--pdf"))) {
            QString e;
            QByteArray pdf;
            if (!l.pdf(fall.betriebsname(a.positional().first()), &pdf, &e)) return abgelehnt(e);
            return schreibeUpload(ziel, a.value(QStringLiteral("--pdf")), pdf, QStringLiteral("Die Umsatzsteuererklärung %1").arg(r.jahr),
                                  QStringLiteral("Sie dient der Kontrolle; abgegeben wird die Erklärung elektronisch über ELSTER."));
        }
        zPrintString p;
        l.drucke(p);
        out(p.text());
        return int(Ok);
    });
}

int cmdEuer(const Args& a) {
    const QString n = QStringLiteral("euer");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const bool uebertragen = a.has(kUebertragen);
    return Fall::ausfuehren(n, a.positional().first(), uebertragen ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        if (uebertragen) {
            switch (fall.root().UebernahmeEurFormular()) {
            case 0: break;
            case 2: return abgelehnt(QStringLiteral("Das EÜR-Formular enthält Zahlen, die die Übernahme ändern würde; es bleibt unverändert.") + kJaHinweis);
            default: return abgelehnt(QStringLiteral("Das EÜR-Formular des Falls konnte nicht angelegt werden."));
            }
        }
        EUERechnung2 r;
        r.Fuellen();
        if (a.has(QStringLiteral("--json"))) {
            QJsonObject o;
            o[QStringLiteral("steuerjahr")] = fall.kg()->getSteuerjahr();
            o[QStringLiteral("einnahmen")] = j(r.einnahmen());
            o[QStringLiteral("ausgaben")] = j(r.ausgaben());
            o[QStringLiteral("iab")] = j(r.iab());
            o[QStringLiteral("iab_aufloesung")] = j(r.iabAufloesung());
            o[QStringLiteral("gewinn")] = j(r.gewinn());
            QJsonArray kats;
            for (const EUERechnung2::Kategorie& c : r.kategorien()) {
                QJsonObject ko;
                ko[QStringLiteral("kategorie")] = qint64(c.kategorie);
                ko[QStringLiteral("bezeichnung")] = c.bezeichnung;
                ko[QStringLiteral("summe")] = j(c.summe);
                QJsonArray konten;
                for (const EUERechnung2::KontoSumme& k : c.konten) {
                    QJsonObject x;
                    x[QStringLiteral("konto")] = qint64(k.konto);
                    x[QStringLiteral("bezeichnung")] = k.bezeichnung;
                    x[QStringLiteral("summe")] = j(k.summe);
                    konten.append(x);
                }
                ko[QStringLiteral("konten")] = konten;
                kats.append(ko);
            }
            o[QStringLiteral("kategorien")] = kats;
            QJsonObject zeilen;
            const QMap<int, EuroType> formular = Formularwerte::eurZeilen();
            for (auto it = formular.constBegin(); it != formular.constEnd(); ++it) zeilen[QString::number(it.key())] = j(it.value());
            o[QStringLiteral("zeilen")] = zeilen;
            // Which lines each total adds up: the column "nicht abziehbar" is shown, not added.
            QJsonObject summen;
            for (int summe : {159, 199}) {
                QJsonArray teile;
                for (int z : Formularwerte::eurSummenzeilen(summe)) teile.append(z);
                summen[QString::number(summe)] = teile;
            }
            o[QStringLiteral("summenzeilen")] = summen;
            if (uebertragen) o[QStringLiteral("uebertragen")] = true;
            out(jsonText(o));
            return int(Ok);
        }
        zPrintString p;
        r.Print(p);
        out(p.text());
        if (uebertragen) out(QStringLiteral("\nDie Zahlen stehen jetzt im EÜR-Formular des Falls.\n"));
        return int(Ok);
    });
}

int cmdZm(const Args& a) {
    const QString n = QStringLiteral("zm");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    const bool elsterCsv = a.has(QStringLiteral("--elster-csv"));
    if (int(a.has(QStringLiteral("--csv"))) + int(a.has(QStringLiteral("--xml"))) + int(elsterCsv) != 1)
        return usageError(n, QStringLiteral("Genau eine Ausgabe angeben: --csv, --xml oder --elster-csv DATEI."));
    Ausgabeziel ziel;
    if (elsterCsv) {
        QString e;
        if (!pruefeAusgabeziel(a.value(QStringLiteral("--elster-csv")), a.positional().first(), a.has(QStringLiteral("--ersetzen")), &ziel, &e))
            return abgelehnt(e);
    }
    // The statement has no default period: the law asks for the month or the
    // quarter, the year only in the cases of annual filing.
    int flags = 0;
    for (const char* f : {"--meldezeitraum", "--quartal", "--monat", "--jahr"}) flags += a.has(QLatin1String(f)) ? 1 : 0;
    if (flags != 1)
        return usageError(n, QStringLiteral("Genau eine Zeitraumangabe: --quartal Q, --monat M, --jahr oder --meldezeitraum CODE (-1 Jahr, "
                                            "0..3 Quartal, 4..15 Monat, 26..29 Zweimonatszeitraum)."));
    int code = -1, zahl = 0;
    QString e;
    if (a.has(QStringLiteral("--quartal"))) {
        if (!parseInt(a.value(QStringLiteral("--quartal")), 1, 4, &zahl, &e)) return usageError(n, e);
        code = zahl - 1;
    } else if (a.has(QStringLiteral("--monat"))) {
        if (!parseInt(a.value(QStringLiteral("--monat")), 1, 12, &zahl, &e)) return usageError(n, e);
        code = zahl + 3;
    } else if (a.has(QStringLiteral("--meldezeitraum"))) {
        if (!parseInt(a.value(QStringLiteral("--meldezeitraum")), -1, 29, &code, &e)) return usageError(n, e);
        if (code > 15 && code < 26) return usageError(n, QStringLiteral("Unbekannter Meldezeitraum %1.").arg(code));
    }
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall&) {
        if (code < 0) {
            const QString grund = KontoGlobal::zmJahresmeldungAbgelehnt();
            if (!grund.isEmpty()) {
                err(QStringLiteral("Fehler: %1\n").arg(grund));
                return int(Refused);
            }
        }
        const auto zeilen = KontoGlobal::getUStIdMap(code);
        if (elsterCsv) {
            const QByteArray csv = Elster::zmCsv(zeilen);
            if (csv.isEmpty()) return abgelehnt(QStringLiteral("Im Meldezeitraum gibt es keine Umsätze für die Zusammenfassende Meldung; es wurde keine Datei geschrieben."));
            return schreibeUpload(ziel, a.value(QStringLiteral("--elster-csv")), csv, QStringLiteral("Die Zusammenfassende Meldung"), kZmHochladen);
        }
        const QString text = a.has(QStringLiteral("--csv")) ? KontoGlobal::getZusammenfassendeMeldungCsv(zeilen)
                                                            : KontoGlobal::getZusammenfassendeMeldungXml(zeilen, code);
        if (text.isEmpty()) err(QStringLiteral("Im Meldezeitraum gibt es keine Umsätze für die Zusammenfassende Meldung.\n"));
        out(text);
        return int(Ok);
    });
}

namespace {
QString jaNein(bool b) { return b ? QStringLiteral("ja") : QStringLiteral("nein"); }
}  // namespace

int cmdEinstellungen(const Args& a) {
    const QString n = QStringLiteral("einstellungen");
    const QString zmFlag = QStringLiteral("--zm-jahresmeldung"), ustFlag = QStringLiteral("--ustpflicht"),
                  kasseFlag = QStringLiteral("--kassenkonto"), zeitraumFlag = QStringLiteral("--anmeldezeitraum"),
                  fristFlag = QStringLiteral("--dauerfrist"), landFlag = QStringLiteral("--bundesland");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    for (const QString& flag : {zmFlag, ustFlag, fristFlag}) {
        const QString wert = a.value(flag).trimmed().toLower();
        if (a.has(flag) && wert != QLatin1String("ja") && wert != QLatin1String("nein"))
            return usageError(n, QStringLiteral("%1 erwartet ja oder nein, nicht „%2“.").arg(flag, a.value(flag)));
    }
    const QString zeitraumWert = a.value(zeitraumFlag).trimmed().toLower();
    if (a.has(zeitraumFlag) && zeitraumWert != QLatin1String("monat") && zeitraumWert != QLatin1String("quartal"))
        return usageError(n, QStringLiteral("%1 erwartet monat oder quartal, nicht „%2“.").arg(zeitraumFlag, a.value(zeitraumFlag)));
    const QString land = a.value(landFlag).trimmed().toUpper();
    if (a.has(landFlag) && !Elster::bundeslandBekannt(land))
        return usageError(n, QStringLiteral("%1 erwartet das Kürzel eines Bundeslands (BW, BY, BE, BB, HB, HH, HE, MV, NI, NW, RP, SL, SN, ST, "
                                            "SH, TH), nicht „%2“.").arg(landFlag, a.value(landFlag)));
    int kasse = 0;
    QString e;
    if (a.has(kasseFlag) && !parseInt(a.value(kasseFlag), 1, 9999, &kasse, &e))
        return usageError(n, QStringLiteral("%1 erwartet eine Kontonummer: %2").arg(kasseFlag, e));
    // The numbers a DATEV batch names in its header.
    const QString beraterFlag = QStringLiteral("--datev-berater"), mandantFlag = QStringLiteral("--datev-mandant");
    int berater = 0, mandant = 0;
    if (a.has(beraterFlag) && !parseInt(a.value(beraterFlag), 1001, 9999999, &berater, &e))
        return usageError(n, QStringLiteral("%1: %2").arg(beraterFlag, e));
    if (a.has(mandantFlag) && !parseInt(a.value(mandantFlag), 1, 99999, &mandant, &e))
        return usageError(n, QStringLiteral("%1: %2").arg(mandantFlag, e));
    auto ja = [&](const QString& flag) { return a.value(flag).trimmed().toLower() == QLatin1String("ja"); };
    const bool setzen = a.has(zmFlag) || a.has(ustFlag) || a.has(kasseFlag) || a.has(zeitraumFlag) || a.has(fristFlag) || a.has(landFlag) ||
                        a.has(beraterFlag) || a.has(mandantFlag);
    if (setzen && a.has(QStringLiteral("--json"))) return usageError(n, QStringLiteral("--json zeigt die Einstellungen; bitte ohne die Optionen zum Setzen."));
    const QString feld = QLatin1String(KontoGlobal::kZmJahresmeldung);
    return Fall::ausfuehren(n, a.positional().first(), setzen ? Fall::Zugriff::Schreiben : Fall::Zugriff::Lesen, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        DBConnection* db = kg->GetDBConnect_Ptr();
        if (!setzen) {
            const bool zm = KontoGlobal::getFalleigenschaft(feld, db).trimmed() == QLatin1String("1");
            const Anmeldung::Zeitraum az = Anmeldung::zeitraum(db);
            const QString azText = az == Anmeldung::Zeitraum::Monat ? QStringLiteral("monat") : az == Anmeldung::Zeitraum::Quartal ? QStringLiteral("quartal") : QString();
            if (a.has(QStringLiteral("--json"))) {
                QJsonObject o;
                o[QStringLiteral("ustpflicht")] = kg->getUstPflicht();
                o[QStringLiteral("zm_jahresmeldung")] = zm;
                o[QStringLiteral("kassenkonto")] = kg->getKassenkonto() > 0 ? QJsonValue(kg->getKassenkonto()) : QJsonValue();
                o[QStringLiteral("anmeldezeitraum")] = azText.isEmpty() ? QJsonValue() : QJsonValue(azText);
                o[QStringLiteral("dauerfrist")] = Anmeldung::dauerfrist(db);
                o[QStringLiteral("bundesland")] = Elster::bundesland(db).isEmpty() ? QJsonValue() : QJsonValue(Elster::bundesland(db));
                const long b = KontoGlobal::getFalleigenschaft(QLatin1String(Datev::kBeraterEigenschaft), db).toLong();
                const long m = KontoGlobal::getFalleigenschaft(QLatin1String(Datev::kMandantEigenschaft), db).toLong();
                o[QStringLiteral("datev_berater")] = b > 0 ? QJsonValue(double(b)) : QJsonValue();
                o[QStringLiteral("datev_mandant")] = m > 0 ? QJsonValue(double(m)) : QJsonValue();
                out(jsonText(o));
                return int(Ok);
            }
            out(QStringLiteral("ustpflicht: %1\n").arg(jaNein(kg->getUstPflicht())));
            out(QStringLiteral("zm-jahresmeldung: %1\n").arg(jaNein(zm)));
            out(QStringLiteral("kassenkonto: %1\n").arg(kg->getKassenkonto() > 0 ? QString::number(kg->getKassenkonto()) : QStringLiteral("nicht gesetzt")));
            out(QStringLiteral("anmeldezeitraum: %1\n").arg(azText.isEmpty() ? QStringLiteral("nicht gesetzt") : azText));
            out(QStringLiteral("dauerfrist: %1\n").arg(jaNein(Anmeldung::dauerfrist(db))));
            out(QStringLiteral("bundesland: %1\n").arg(Elster::bundesland(db).isEmpty() ? QStringLiteral("nicht gesetzt") : Elster::bundesland(db)));
            for (const auto& [name, feld] : {std::pair<const char*, const char*>{"datev-berater", Datev::kBeraterEigenschaft},
                                             std::pair<const char*, const char*>{"datev-mandant", Datev::kMandantEigenschaft}}) {
                const QString w = KontoGlobal::getFalleigenschaft(QLatin1String(feld), db).trimmed();
                out(QStringLiteral("%1: %2\n").arg(QLatin1String(name), w.isEmpty() ? QStringLiteral("nicht gesetzt") : w));
            }
            return int(Ok);
        }
        if (a.has(kasseFlag)) {
            const QString grund = Falleinstellungen::setzeKassenkonto(kg, unsigned(kasse));
            if (!grund.isEmpty()) {
                err(QStringLiteral("Fehler: %1 Die Kassen des Falls zeigt „dalvo kasse FALL“.\n").arg(grund));
                return int(Refused);
            }
        }
        if (a.has(ustFlag)) {
            const QString grund = Falleinstellungen::setzeUstPflicht(kg, db, ja(ustFlag));
            if (!grund.isEmpty()) {
                err(QStringLiteral("Fehler: %1\n").arg(grund));
                return int(Refused);
            }
        }
        if (a.has(zmFlag)) KontoGlobal::setFalleigenschaft(feld, ja(zmFlag) ? QStringLiteral("1") : QStringLiteral("0"), db);
        if (a.has(zeitraumFlag))
            Anmeldung::setZeitraum(zeitraumWert == QLatin1String("monat") ? Anmeldung::Zeitraum::Monat : Anmeldung::Zeitraum::Quartal, db);
        if (a.has(fristFlag)) Anmeldung::setDauerfrist(ja(fristFlag), db);
        if (a.has(landFlag)) Elster::setBundesland(land, db);
        if (a.has(beraterFlag)) KontoGlobal::setFalleigenschaft(QLatin1String(Datev::kBeraterEigenschaft), QString::number(berater), db);
        if (a.has(mandantFlag)) KontoGlobal::setFalleigenschaft(QLatin1String(Datev::kMandantEigenschaft), QString::number(mandant), db);
        meldeErledigt(QStringLiteral("Die Einstellungen wurden gespeichert; „dalvo einstellungen FALL“ zeigt sie."));
        return int(Ok);
    });
}

int cmdSaldenliste(const Args& a) {
    const QString n = QStringLiteral("saldenliste");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    Ausgabeziel ziel;
    if (const int r = pruefeListenausgabe(n, a, &ziel)) return r;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        Zeitraum z;
        QString e;
        if (!parseZeitraum(a, fall.kg()->getSteuerjahr(), &z, &e)) return usageError(n, e);
        Saldenliste2 s;
        s.setZeitraum(berichtZeitraum(z));
        Listenform form;
        form.jsonNurZeilen = false;
        form.csvOhneKopf = true;
        return gibListeAus(a, fall, ziel, form, [&](BerichtListe* l, QString*) {
            if (a.has(QStringLiteral("--csv"))) s.csvListe(l);
            else s.liste(l);
            return true;
        });
    });
}

QList<Befehl> steuerBefehle() {
    const Option uebertragen{{"--uebertragen"}};
    return {
        {QStringLiteral("ustva"), {}, {},
         zeitraumOptionen() << Option{{"--json"}} << uebertragen << Option{{"--elster"}, "DATEI"} << Option{{"--berichtigt"}}
                            << Option{{"--ersetzen", "--force"}},
         QStringLiteral("dalvo ustva FALL [--monat M | --quartal Q | --jahr] [--json] [--uebertragen [--ja|--nein]]\n"
                        "       dalvo ustva FALL (--monat M | --quartal Q) --elster DATEI|- [--berichtigt] [--ersetzen]"),
         QStringLiteral("zeigt die Umsatzsteuer-Voranmeldung"),
         QStringLiteral("Berechnet die Kennzahlen der Umsatzsteuer-Voranmeldung 2016 aus den Buchungen des Zeitraums\n"
                        "(Vorgabe: das ganze Jahr): Bemessungsgrundlagen in vollen Euro, die Steuer nach den festen\n"
                        "Sätzen des Formulars, Vorsteuer und die verbleibende Vorauszahlung (Kz. 83). Im Dezember und\n"
                        "im 4. Quartal wird die Sondervorauszahlung abgezogen.\n\n"
                        "Optionen:\n  --json         als JSON (steuerjahr, zeitraum, kennziffern, steuer, summen; mit\n"
                        "                 --uebertragen zusätzlich uebertragen: true)\n"
                        "  --uebertragen  schreibt die Zahlen in die Voranmeldung des Zeitraums in der Falldatei. Stehen\n"
                        "                 dort schon andere Zahlen (etwa von Hand erfasste), wird vorher gefragt\n"
                        "                 (--ja ersetzt sie); eine übermittelte Voranmeldung bleibt immer unverändert.\n"
                        "  --elster DATEI die Voranmeldung als Datenteil einer ElsterXML-Datei (Anmeldungssteuern, UStVA,\n"
                        "                 Version 201601; ISO-8859-15) mit der 13-stelligen Steuernummer aus der Steuernummer\n"
                        "                 der Firma (dalvo firma) und dem Bundesland (dalvo einstellungen --bundesland)\n"
                        "  --berichtigt   mit --elster: berichtigte Anmeldung (Kz. 10)\n"
                        "  --ersetzen     eine vorhandene Datei ersetzen\n\n"
                        "Das Programm übermittelt nicht selbst: das Senden braucht die Bibliothek der Steuerverwaltung\n"
                        "(ERiC) und ein Zertifikat, die es nicht mitbringt. Die Datei wird im ELSTER-Portal in die\n"
                        "Umsatzsteuer-Voranmeldung geladen, dort geprüft und mit dem eigenen Zertifikat abgesendet."),
         cmdUstva},
        {QStringLiteral("ust-erklaerung"), {}, {}, {{{"--json"}}, {{"--csv"}}, {{"--pdf"}, "DATEI"}, {{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo ust-erklaerung FALL [--json | --csv | --pdf DATEI|- [--ersetzen]]"),
         QStringLiteral("zeigt die Umsatzsteuererklärung des Jahres"),
         QStringLiteral("Die Umsatzsteuererklärung 2016 (USt 2 A) aus den Buchungen des Jahres: jede Kennzahl, die die\n"
                        "Buchhaltung füllt, mit dem Text des Formulars, der Bemessungsgrundlage in vollen Euro und der\n"
                        "Steuer; die Vorsteuer; die Umsatzsteuer des Jahres; das Vorauszahlungssoll (die Summe der zwölf\n"
                        "oder vier Voranmeldungen mit der in der letzten angerechneten Sondervorauszahlung) und der noch\n"
                        "zu entrichtende Betrag oder die Erstattung.\n\n"
                        "Optionen:\n  --json         als JSON (steuerjahr, kennziffern: je Kennzahl bezeichnung,\n"
                        "                 bemessungsgrundlage, steuer; summen: umsatzsteuer, vorsteuer, steuer,\n"
                        "                 vorauszahlungen, sondervorauszahlung, vorauszahlungssoll, verbleibend; voranmeldungen)\n"
                        "  --csv          als CSV\n"
                        "  --pdf DATEI    als PDF (--ersetzen ersetzt eine vorhandene Datei)"),
         cmdUstErklaerung},
        {QStringLiteral("euer"), {}, {}, {{{"--json"}}, uebertragen}, QStringLiteral("dalvo euer FALL [--json] [--uebertragen [--ja|--nein]]"),
         QStringLiteral("zeigt die Einnahmenüberschussrechnung"),
         QStringLiteral("Zeigt Betriebseinnahmen und -ausgaben nach Kategorien und Konten und den Gewinn.\n\n"
                        "Optionen:\n  --json         als JSON (steuerjahr, einnahmen, ausgaben, iab, iab_aufloesung, gewinn,\n"
                        "                 kategorien, zeilen: die Zeilen der Anlage EÜR mit ihren Beträgen; mit --uebertragen\n"
                        "                 zusätzlich uebertragen: true)\n"
                        "  --uebertragen  schreibt die Zahlen in das EÜR-Formular (Anlage EÜR) der Falldatei. Stehen dort\n"
                        "                 schon andere Zahlen (etwa von Hand erfasste), wird vorher gefragt (--ja ersetzt sie)."),
         cmdEuer},
        {QStringLiteral("zm"), {}, {},
         {{{"--quartal", "--quarter"}, "Q"}, {{"--monat", "--month"}, "M"}, {{"--jahr", "--year"}}, {{"--meldezeitraum", "--period"}, "CODE"},
          {{"--csv"}}, {{"--xml"}}, {{"--elster-csv"}, "DATEI"}, {{"--ersetzen", "--force"}}},
         QStringLiteral("dalvo zm FALL (--quartal Q | --monat M | --jahr | --meldezeitraum CODE) (--csv | --xml | --elster-csv DATEI|- [--ersetzen])"),
         QStringLiteral("erstellt die Zusammenfassende Meldung"),
         QStringLiteral("Gibt die Zusammenfassende Meldung als CSV oder als XML-Datei des Online-Formulars aus: je\n"
                        "USt-IdNr. des Abnehmers die innergemeinschaftlichen Lieferungen (L), Dreiecksgeschäfte (D)\n"
                        "und sonstigen Leistungen (S) des Meldezeitraums.\n\n"
                        "Meldezeitraum (genau eine Angabe):\n"
                        "  --quartal Q            Quartal 1..4\n"
                        "  --monat M              Monat 1..12\n"
                        "  --jahr                 Kalenderjahr, nur bei jährlicher Meldung nach § 18a Abs. 9 UStG\n"
                        "                         (dalvo einstellungen FALL --zm-jahresmeldung ja)\n"
                        "  --meldezeitraum CODE   -1 Kalenderjahr, 0..3 Quartal 1..4, 4..15 Monat 1..12, 26..29 die\n"
                        "                         ersten beiden Monate des Quartals 1..4\n\n"
                        "--elster-csv DATEI schreibt die Meldezeilen als CSV-Import des Online-Portals des\n"
                        "Bundeszentralamts für Steuern (Version 1.0: Zeile „#v1.0“, Feldnamen, dann je Zeile\n"
                        "Länderkennzeichen,USt-IdNr. ohne Länderkennzeichen,Betrag in vollen Euro,Art L/D/S;\n"
                        "ISO-8859-15). Das Programm übermittelt nicht selbst: die Datei wird im Formular\n"
                        "„Zusammenfassende Meldung“ des Portals auf der Seite der Meldezeilen importiert, geprüft und\n"
                        "mit dem eigenen Zertifikat abgesendet. --ersetzen ersetzt eine vorhandene Datei."),
         cmdZm},
        {QStringLiteral("einstellungen"), {}, {},
         {{{"--ustpflicht"}, "ja|nein"}, {{"--zm-jahresmeldung"}, "ja|nein"}, {{"--kassenkonto"}, "N"}, {{"--anmeldezeitraum"}, "monat|quartal"},
          {{"--dauerfrist"}, "ja|nein"}, {{"--bundesland"}, "KÜRZEL"}, {{"--datev-berater"}, "N"}, {{"--datev-mandant"}, "N"}, {{"--json"}}},
         QStringLiteral("dalvo einstellungen FALL [--ustpflicht ja|nein] [--zm-jahresmeldung ja|nein] [--kassenkonto N] "
                        "[--anmeldezeitraum monat|quartal] [--dauerfrist ja|nein] [--bundesland KÜRZEL] [--datev-berater N] [--datev-mandant N] [--json]"),
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
                        "      prüft zm --jahr an den Buchungen.\n"
                        "  --kassenkonto N              das Kassenkonto des Falls (ein aktives Konto der Kategorie 201)\n"
                        "  --anmeldezeitraum monat|quartal   wie oft der Fall die Umsatzsteuer-Voranmeldung abgibt: die\n"
                        "      Sondervorauszahlung wird dann nur in der letzten Voranmeldung des Jahres angerechnet\n"
                        "      (Dezember bzw. 4. Quartal), und ustva weist auf Zeiträume hin, die keine Voranmeldung sind\n"
                        "  --dauerfrist ja|nein         Dauerfristverlängerung: die Abgabefrist, die ustva nennt, verschiebt\n"
                        "      sich um einen Monat (10. des übernächsten Monats; fällt er auf ein Wochenende oder einen\n"
                        "      bundesweiten Feiertag, der nächste Werktag)\n"
                        "  --bundesland KÜRZEL          das Bundesland des Finanzamts (BW, BY, BE, BB, HB, HH, HE, MV, NI,\n"
                        "      NW, RP, SL, SN, ST, SH, TH): aus ihm und der Steuernummer der Firma wird die 13-stellige\n"
                        "      Steuernummer der ELSTER-Datei (ustva --elster)\n"
                        "  --datev-berater N            Beraternummer des Steuerberaters für den DATEV-Export (1001 bis 9999999)\n"
                        "  --datev-mandant N            Mandantennummer beim Steuerberater für den DATEV-Export (1 bis 99999)\n"
                        "  --json                       die Einstellungen als JSON (ustpflicht, zm_jahresmeldung,\n"
                        "      kassenkonto, anmeldezeitraum, dauerfrist, bundesland, datev_berater, datev_mandant)"),
         cmdEinstellungen},
        {QStringLiteral("saldenliste"), {}, {}, zeitraumOptionen() << listenOptionen(),
         QStringLiteral("dalvo saldenliste FALL [--csv | --json | --pdf DATEI [--ersetzen]] [--monat M | --quartal Q | --jahr | --von D --bis D]"),
         QStringLiteral("zeigt die Summen- und Saldenliste"),
         QStringLiteral("Summen- und Saldenliste vom Jahresbeginn bis zum Ende des Zeitraums: Anfangssalden,\n"
                        "Salden der Vormonate, Buchungen des Zeitraums und Saldo je Konto.\n\n"
                        "Optionen:\n  --csv         Konto;\"Bezeichnung\";Anfang Soll;Anfang Haben;Buchungen Soll;Buchungen Haben;\n"
                        "                Saldo Haben;Saldo Soll (ohne Kopfzeile; Buchungen samt Vormonaten)\n"
                        "  --json        ein Dokument: titel, untertitel, summen, zeilen (konto, bezeichnung,\n"
                        "                anfang_soll, anfang_haben, vormonate_soll, vormonate_haben, buchungen_soll,\n"
                        "                buchungen_haben, saldo_soll, saldo_haben)\n"
                        "  --pdf DATEI   zum Drucken (A4 quer); vorhandene Dateien nur mit --ersetzen, - für die Standardausgabe"),
         cmdSaldenliste},
    };
}

}  // namespace cli
