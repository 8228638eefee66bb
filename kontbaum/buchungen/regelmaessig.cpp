// Recurring bookings: which occurrences of the recurring templates are due,
// posting them into the ledger, the interaction around both, and storing
// templates (from an entry or from a posted booking).
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datehelper.h"

#include <QHash>

namespace {

const QString kVonVorlage = QStringLiteral("FromBsp:");
const QString kVonBuchung = QStringLiteral("FromBuchung:");
const QString kNichtsGebucht = QStringLiteral("Es wurde nichts gebucht.");

QString q(unsigned long v) { return rsDataSource::toSqlStr(v); }

// The non-tax lines of a booking in the order that makes two bookings
// comparable: account and group of each.
QList<QPair<unsigned long, unsigned long>> signatur(DBConnection* db, const QString& tabelle, unsigned long nr) {
    QList<QPair<unsigned long, unsigned long>> s;
    rsDataSource rs(db, QStringLiteral("SELECT Konto, SteuerID FROM ") + tabelle +
                            QStringLiteral("Buchungszeilen WHERE Steuerschluessel<>999999 AND Buchungsnummer=") + q(nr) +
                            QStringLiteral(" ORDER BY Haben DESC, SteuerID ASC, ID ASC"));
    for (; !rs.isEOF(); rs.fetch())
        s.append({rs.field(QStringLiteral("Konto")).toULong(), rs.field(QStringLiteral("SteuerID")).toULong()});
    return s;
}

// "S 4210 Miete, H 1200 Bank": the non-tax lines of a template.
QString kontenText(DBConnection* db, const QString& tabelle, unsigned long nr) {
    QStringList teile;
    rsDataSource rs(db, QStringLiteral("SELECT Konto, Haben FROM ") + tabelle +
                            QStringLiteral("Buchungszeilen WHERE Steuerschluessel<>999999 AND Buchungsnummer=") + q(nr) +
                            QStringLiteral(" ORDER BY Haben DESC, SteuerID ASC, ID ASC"));
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long konto = rs.field(QStringLiteral("Konto")).toULong();
        teile << (rs.field(QStringLiteral("Haben")).toBool() ? QStringLiteral("H ") : QStringLiteral("S ")) + QString::number(konto) +
                     QLatin1Char(' ') + KontoGlobal::getKontobezeichnung(konto, 0, db);
    }
    return teile.join(QStringLiteral(", "));
}

// The column list `spalten` as a SELECT list that copies every column but
// those of `ersetzt`, which become placeholders (in the list's order).
QString mitPlatzhaltern(const QString& spalten, const QStringList& ersetzt) {
    QStringList l = spalten.split(QStringLiteral(", "));
    for (QString& s : l)
        if (ersetzt.contains(s)) s = QStringLiteral("?");
    return l.join(QStringLiteral(", "));
}

// The template as the booking it stands for: header values, the money line
// (dialog line 1) and each part of the counter side with its amount as
// entered. False with the reason for a template of another shape.
bool entwurfAusVorlage(DBConnection* db, unsigned long vorlage, KontoGlobal::BuchungsEntwurf* e, QString* fehler) {
    rsDataSource kopf(db, QStringLiteral("SELECT Buchungstext, Betrag, Netto, Belegnummer, Buchungsart, UStID, ZMArt, Dreieck FROM "
                                         "eurBeispiel WHERE Buchungsnummer=") +
                              q(vorlage));
    if (kopf.isEOF()) {
        *fehler = QStringLiteral("Die Buchungsvorlage %1 gibt es nicht mehr.").arg(vorlage);
        return false;
    }
    e->table = QStringLiteral("eurVerbucht");
    e->herkunft = KontoGlobal::HERK_REGEL;
    e->text = kopf.field(QStringLiteral("Buchungstext")).toString();
    e->belegnummer = kopf.field(QStringLiteral("Belegnummer")).toString();
    e->buchungsart = kopf.field(QStringLiteral("Buchungsart")).toInt();
    e->ustid = kopf.field(QStringLiteral("UStID")).toString();
    e->zmart = kopf.field(QStringLiteral("ZMArt")).toInt();
    e->dreieck = kopf.field(QStringLiteral("Dreieck")).toBool();
    e->zusatzinfo = kVonVorlage + QString::number(vorlage);
    const EuroType betrag = kopf.field(QStringLiteral("Betrag")).toEuro();
    const bool netto = kopf.field(QStringLiteral("Netto")).toBool();
    int geldzeilen = 0;
    rsDataSource z(db, QStringLiteral("SELECT Dialogzeile, Konto, Haben, Steuerschluessel, Buchungstext, Splitt, SplittBetrag, SplittNetto "
                                      "FROM eurBeispielBuchungszeilen WHERE Steuerschluessel<>999999 AND Buchungsnummer=") +
                           q(vorlage) + QStringLiteral(" ORDER BY SteuerID, ID"));
    for (; !z.isEOF(); z.fetch()) {
        const int dialogzeile = z.field(QStringLiteral("Dialogzeile")).toInt();
        const unsigned long konto = z.field(QStringLiteral("Konto")).toULong();
        if (dialogzeile == 1) {
            ++geldzeilen;
            e->konto = konto;
            e->haben = z.field(QStringLiteral("Haben")).toBool();
        } else if (dialogzeile == 2) {
            // A split part keeps its amount as entered; an unsplit counter
            // line has the header's amount, net when it was entered net.
            const bool splitt = z.field(QStringLiteral("Splitt")).toLongLong() != 0;
            KontoGlobal::BuchungsTeil t;
            t.konto = konto;
            t.steuerschluessel = z.field(QStringLiteral("Steuerschluessel")).toULong();
            t.betrag = splitt ? z.field(QStringLiteral("SplittBetrag")).toEuro() : betrag;
            t.netto = splitt ? z.field(QStringLiteral("SplittNetto")).toBool() : netto;
            t.text = z.field(QStringLiteral("Buchungstext")).toString();
            e->teile.append(t);
        }
    }
    if (geldzeilen != 1 || e->teile.isEmpty()) {
        *fehler = QStringLiteral("Die Buchungsvorlage %1 hat nicht genau eine Geldzeile und mindestens eine Gegenzeile; bitte legen Sie "
                                 "sie neu an (dalvo vorlage FALL neu).")
                      .arg(vorlage);
        return false;
    }
    return true;
}

QString festschreibungsFrage(int anzahl, const zDate& bis) {
    return QStringLiteral("<p>Alle Buchungen bis zum ") + bis.getText() + QStringLiteral(" sind bereits festgeschrieben.</p>") +
           QStringLiteral("<p>") +
           (anzahl == 1 ? QStringLiteral("Eine der ausgewählten Buchungen wird")
                        : QStringLiteral("%1  der ausgewählten Buchungen werden").arg(anzahl)) +
           QStringLiteral(" daher ebenfalls festgeschrieben.</p>") +
           QStringLiteral("<p>Wollen Sie trotzdem die ausgewählten Buchungen erzeugen?</p>");
}

}  // namespace

namespace Regelbuchung {

int intervallCode(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t.isEmpty()) return 0;
    bool zahl = false;
    const int n = t.toInt(&zahl);
    if (zahl) return DateHelper::intervallText(n).isEmpty() ? 0 : n;
    auto ohneUmlaute = [](QString s) {
        return s.replace(QChar(0x00E4), QLatin1String("ae")).replace(QChar(0x00F6), QLatin1String("oe")).replace(QChar(0x00FC), QLatin1String("ue"));
    };
    for (int i = 1; i <= 8; ++i) {
        const QString name = DateHelper::intervallText(i);
        if (t == name || t == ohneUmlaute(name)) return i;
    }
    return 0;
}

QString intervallName(const QString& gespeichert) {
    const QString name = DateHelper::intervallText(intervallCode(gespeichert));
    return name.isEmpty() ? gespeichert : name;
}

int faellige(QList<rsEurRegelBuch>& liste, int jahr, const zDate& heute) {
    liste.clear();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    const int y = kg->getSteuerjahr();
    if ((jahr != 0 && jahr != y) || kg->getJahresabschluss() != 0 || y > heute.year()) return 0;
    const zDate jahresanfang(y, 1, 1), jahresende(y, 12, 31);
    // A payment between these days still belongs to the year when its
    // document does (rent for January paid in December).
    const zDate w1(y - 1, 12, 22), w2(y + 1, 1, 10);

    struct Kopf {
        unsigned long nr;
        QString text, intervall, zusatzinfo;
        zDate p0, b0;
        EuroType betrag;
    };
    QList<Kopf> koepfe;
    {
        rsDataSource rs(db, QStringLiteral("SELECT * FROM eurBeispiel WHERE Intervall IS NOT NULL AND Intervall <> '' ORDER BY Buchungsnummer"));
        for (; !rs.isEOF(); rs.fetch())
            koepfe.append({rs.field(QStringLiteral("Buchungsnummer")).toULong(), rs.field(QStringLiteral("Buchungstext")).toString(),
                           rs.field(QStringLiteral("Intervall")).toString(), rs.field(QStringLiteral("Zusatzinfo")).toString(),
                           rs.field(QStringLiteral("Zahlungsdatum")).toDate(), rs.field(QStringLiteral("Belegdatum")).toDate(),
                           rs.field(QStringLiteral("Betrag")).toEuro()});
    }
    const QString tabelle = QStringLiteral("eurBeispiel");
    for (const Kopf& k : koepfe) {
        if (!k.p0.isValid() || k.p0 > heute) continue;
        const auto muster = signatur(db, tabelle, k.nr);
        const int code = intervallCode(k.intervall);
        zDate p = k.p0, b = k.b0;
        bool gefunden = false;
        QString bedingung = QStringLiteral("Zusatzinfo=") + rsDataSource::toSqlStr(kVonVorlage + QString::number(k.nr));
        if (k.zusatzinfo.startsWith(kVonBuchung)) {
            bool zahl = false;
            const unsigned long quelle = k.zusatzinfo.mid(kVonBuchung.size()).trimmed().toULong(&zahl);
            if (zahl) bedingung += QStringLiteral(" OR Buchungsnummer=") + q(quelle);
        }
        // Cancelled occurrences and their cancellations do not count: the
        // occurrence is due again.
        rsDataSource gebucht(db, QStringLiteral("SELECT Belegdatum, Zahlungsdatum, Buchungsnummer FROM eurVerbucht WHERE Storno=0 AND "
                                                "Storniert=0 AND (") +
                                     bedingung + QStringLiteral(") ORDER BY Zahlungsdatum, Buchungsnummer"));
        for (; !gebucht.isEOF(); gebucht.fetch()) {
            const zDate zahlung = gebucht.field(QStringLiteral("Zahlungsdatum")).toDate();
            if (!zahlung.isValid() || zahlung < p) continue;
            if (signatur(db, QStringLiteral("eurVerbucht"), gebucht.field(QStringLiteral("Buchungsnummer")).toULong()) != muster) continue;
            p = zahlung;
            b = gebucht.field(QStringLiteral("Belegdatum")).toDate();
            gefunden = true;
        }
        auto weiter = [&] {
            p = DateHelper::incByInterval(p, code, k.p0);
            b = DateHelper::incByInterval(b, code, k.b0);
        };
        if (p > k.p0 || (p == k.p0 && gefunden)) weiter();
        QString konten;
        while (p.isValid()) {
            if (p > heute) break;
            const bool imFenster = k.p0 != k.b0 && p >= w1 && p <= w2;
            if (!(p >= jahresanfang && p <= jahresende) && !imFenster) {
                // A template begun in an earlier year (rent since last
                // June) runs on into this one: its earlier dates are passed
                // over, only a date past the year ends the series.
                if (p < jahresanfang) {
                    weiter();
                    continue;
                }
                break;
            }
            if (b.isValid() && b >= jahresanfang && b <= jahresende) {
                if (konten.isEmpty()) konten = kontenText(db, tabelle, k.nr);
                rsEurRegelBuch r;
                r.vorlage = k.nr;
                r.buchungstext = k.text;
                r.zahlungsdatum = p;
                r.belegdatum = b;
                r.intervall = k.intervall;
                r.konten = konten;
                r.betrag = k.betrag;
                r.steuerjahr = y;
                liste.append(r);
            }
            weiter();
        }
    }
    return liste.size();
}

QList<rsEurRegelBuch> faelligeHeute() {
    QList<rsEurRegelBuch> l;
    faellige(l, 0, zDate::today());
    return l;
}

QString ergebnisText(int anzahl, int festgeschrieben, const zDate& bis) {
    QString t = anzahl == 0   ? QStringLiteral("Es wurde keine Buchung erzeugt.")
                : anzahl == 1 ? QStringLiteral("Es wurde eine Buchung in der Buchungsliste erzeugt.")
                              : QStringLiteral("Es wurden %1 Buchungen in der Buchungsliste erzeugt.").arg(anzahl);
    if (festgeschrieben > 0)
        t += QStringLiteral("<br><p><b>Hinweis:</b> Die Buchungen bis zum ") + bis.getText() + QStringLiteral(" sind bereits festgeschrieben.</p>") +
             (festgeschrieben == 1 ? QStringLiteral("<p>Eine der erzeugten Buchungen ist deshalb festgeschrieben.</p>")
                                   : QStringLiteral("<p>%1 der erzeugten Buchungen sind deshalb festgeschrieben.</p>").arg(festgeschrieben));
    return t;
}

bool buchen(const QList<rsEurRegelBuch>& liste, Ergebnis* erg, QString* fehler) {
    *erg = Ergebnis();
    auto nein = [fehler](const QString& t) {
        *fehler = t;
        return false;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (liste.isEmpty()) {
        erg->meldung = ergebnisText(0);
        return true;
    }
    // Only what is due now may be posted, each occurrence once: a list
    // made before another run posted some of it must not post them again.
    QList<rsEurRegelBuch> jetzt;
    faellige(jetzt, 0, zDate::today());
    auto gleich = [](const rsEurRegelBuch& a, const rsEurRegelBuch& b) {
        return a.vorlage == b.vorlage && a.zahlungsdatum == b.zahlungsdatum && a.belegdatum == b.belegdatum;
    };
    for (int i = 0; i < liste.size(); ++i) {
        const rsEurRegelBuch& r = liste[i];
        const QString was = QStringLiteral("„%1“ vom %2 (Vorlage %3)").arg(r.buchungstext, r.belegdatum.getText()).arg(r.vorlage);
        bool faellig = false;
        for (const rsEurRegelBuch& j : jetzt) faellig = faellig || gleich(j, r);
        if (!faellig)
            return nein(QStringLiteral("Die regelmäßige Buchung %1 ist nicht fällig oder schon gebucht; bitte lassen Sie sich die fälligen "
                                       "Buchungen neu anzeigen (dalvo regelbuchungen FALL). %2")
                            .arg(was, kNichtsGebucht));
        for (int k = 0; k < i; ++k)
            if (gleich(liste[k], r)) return nein(QStringLiteral("Die regelmäßige Buchung %1 ist doppelt ausgewählt. %2").arg(was, kNichtsGebucht));
    }

    // The bookings as they will be posted, checked like entered ones.
    QHash<unsigned long, KontoGlobal::BuchungsEntwurf> vorlagen;
    QList<KontoGlobal::BuchungsEntwurf> entwuerfe;
    EingabePruefer pruefer(db, kg->getSteuerjahr());
    for (const rsEurRegelBuch& r : liste) {
        const QString was = QStringLiteral("Regelmäßige Buchung „%1“ vom %2 (Vorlage %3): ").arg(r.buchungstext, r.belegdatum.getText()).arg(r.vorlage);
        QString grund;
        if (!vorlagen.contains(r.vorlage)) {
            KontoGlobal::BuchungsEntwurf e;
            if (!entwurfAusVorlage(db, r.vorlage, &e, &grund)) return nein(was + grund + QLatin1Char(' ') + kNichtsGebucht);
            vorlagen.insert(r.vorlage, e);
        }
        KontoGlobal::BuchungsEntwurf e = vorlagen.value(r.vorlage);
        e.belegdatum = r.belegdatum;
        e.zahlungsdatum = r.zahlungsdatum;
        grund = EingabePruefer::pruefeSeite(e.buchungsart, e.haben);
        if (grund.isEmpty()) grund = pruefer.pruefen(e, r.belegdatum);
        if (!grund.isEmpty()) return nein(was + grund + QLatin1Char(' ') + kNichtsGebucht);
        entwuerfe.append(e);
    }

    const zDate fest = KontoGlobal::getFestgeschriebenBis();
    int gesperrt = 0;
    for (const KontoGlobal::BuchungsEntwurf& e : entwuerfe) gesperrt += KontoGlobal::isInFestschreibungsZeitraum(e.belegdatum) ? 1 : 0;
    if (gesperrt > 0 && !GetUi().frage(festschreibungsFrage(gesperrt, fest), QStringLiteral("Ausgewählte Buchungen erzeugen?")))
        return nein(QStringLiteral("%1 der ausgewählten Buchungen liegen im festgeschriebenen Zeitraum (bis zum %2), und ihr Erzeugen wurde "
                                   "nicht bestätigt. %3")
                        .arg(gesperrt)
                        .arg(fest.getText(), kNichtsGebucht));

    // One run: a till the occurrences take below zero is asked about once.
    Buchungslauf lauf(db);
    DBTransaktion t(lauf.ok() ? db : nullptr);
    if (!t.ok()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden. ") + kNichtsGebucht);
    KontoGlobal::SchluesselSpeicher speicher;
    const QString fortschritt = QStringLiteral("Buchungen werden erzeugt");
    for (int i = 0; i < entwuerfe.size(); ++i) {
        GetUi().progress(fortschritt, i, entwuerfe.size());
        QString grund;
        const unsigned long nr = KontoGlobal::insertSplittBuchung(entwuerfe[i], db, &grund, &speicher);
        if (nr == 0) {
            GetUi().progress(fortschritt, entwuerfe.size(), entwuerfe.size());
            const rsEurRegelBuch& r = liste[i];
            return nein(QStringLiteral("Regelmäßige Buchung „%1“ vom %2 (Vorlage %3): %4 %5")
                            .arg(r.buchungstext, r.belegdatum.getText())
                            .arg(r.vorlage)
                            .arg(grund, kNichtsGebucht));
        }
        KontoGlobal::verifyBuchung(nr, QStringLiteral("eurVerbucht"));
        erg->nummern.append(nr);
    }
    GetUi().progress(fortschritt, entwuerfe.size(), entwuerfe.size());
    QString grund;
    if (!t.commit() || !lauf.abschliessen(&grund)) {
        erg->nummern.clear();
        return nein(grund.isEmpty() ? QStringLiteral("Die Buchungen konnten nicht gespeichert werden. ") + kNichtsGebucht : grund);
    }
    erg->festgeschrieben = gesperrt;
    erg->meldung = ergebnisText(erg->nummern.size(), gesperrt, fest);
    return true;
}

QList<Vorlage> vorlagen(DBConnection* db) {
    QList<Vorlage> l;
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer, Buchungstext, Buchungsart, Betrag, Belegdatum, Zahlungsdatum, Intervall, "
                                       "Zusatzinfo FROM eurBeispiel ORDER BY Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        Vorlage v;
        v.nummer = rs.field(QStringLiteral("Buchungsnummer")).toULong();
        v.buchungstext = rs.field(QStringLiteral("Buchungstext")).toString();
        v.buchungsart = rs.field(QStringLiteral("Buchungsart")).toInt();
        v.betrag = rs.field(QStringLiteral("Betrag")).toEuro();
        v.belegdatum = rs.field(QStringLiteral("Belegdatum")).toDate();
        v.zahlungsdatum = rs.field(QStringLiteral("Zahlungsdatum")).toDate();
        v.intervall = rs.field(QStringLiteral("Intervall")).toString();
        v.zusatzinfo = rs.field(QStringLiteral("Zusatzinfo")).toString();
        l.append(v);
    }
    for (Vorlage& v : l) v.konten = kontenText(db, QStringLiteral("eurBeispiel"), v.nummer);
    return l;
}

unsigned long vorlageAnlegen(const KontoGlobal::BuchungsEntwurf& b, int intervall, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) {
        *fehler = QStringLiteral("Es ist kein Fall geöffnet.");
        return 0;
    }
    if (intervall != 0 && DateHelper::intervallText(intervall).isEmpty()) {
        *fehler = QStringLiteral("Unbekanntes Intervall %1.").arg(intervall);
        return 0;
    }
    KontoGlobal::BuchungsEntwurf e = b;
    e.table = QStringLiteral("eurBeispiel");
    if (e.herkunft == KontoGlobal::HERK_BUCH) e.herkunft = KontoGlobal::HERK_BSP;
    // The template goes through the same posting as its occurrences will,
    // so its lines have their shape (entertainment divided, tax lines) and
    // a posted occurrence is recognised as one of it.
    DBTransaktion t(db);
    const unsigned long nr = t.ok() ? KontoGlobal::insertSplittBuchung(e, db, fehler) : 0;
    if (nr == 0) return 0;
    if (!ExecPrepared(db, QStringLiteral("UPDATE eurBeispiel SET Intervall=? WHERE Buchungsnummer=?"),
                      {DatenTyp(intervall ? QString::number(intervall) : QString()), DatenTyp(nr)}) ||
        !t.commit()) {
        *fehler = QStringLiteral("Die Buchungsvorlage konnte nicht gespeichert werden.");
        return 0;
    }
    return nr;
}

unsigned long vorlageAusBuchung(unsigned long buchung, int intervall, QString* fehler) {
    DBConnection* db = rsFallDB();
    auto nein = [fehler](const QString& t) -> unsigned long {
        *fehler = t;
        return 0;
    };
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (DateHelper::intervallText(intervall).isEmpty()) return nein(QStringLiteral("Unbekanntes Intervall %1.").arg(intervall));
    rsDataSource kopf(db, QStringLiteral("SELECT Storno, Storniert FROM eurVerbucht WHERE Buchungsnummer=") + q(buchung));
    if (kopf.isEOF())
        return nein(QStringLiteral("Die Buchung %1 gibt es nicht; die Nummern zeigt „dalvo buchungen FALL“.").arg(buchung));
    if (kopf.field(QStringLiteral("Storno")).toLongLong() != 0 || kopf.field(QStringLiteral("Storniert")).toLongLong() != 0)
        return nein(QStringLiteral("Die Buchung %1 ist storniert oder eine Stornobuchung; bitte wählen Sie eine gültige Buchung.").arg(buchung));
    DBTransaktion t(db);
    const unsigned long nr = KontoGlobal::getNewBuchungsnummer(QStringLiteral("eurBeispiel"), db);
    if (!t.ok() || nr == 0) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    // Header and lines as they are, tax lines included: the booking is the
    // template's first occurrence and must match it line for line.
    const QString kopfSpalten = KontoGlobal::getBuchungsCols() + QStringLiteral(", Dreieck");
    const QString zeilenSpalten = KontoGlobal::getBuchungsColsZeilen();
    const QString auswahl = mitPlatzhaltern(kopfSpalten, {QStringLiteral("Buchungsnummer"), QStringLiteral("Buchungsdatum"),
                                                          QStringLiteral("Zusatzinfo"), QStringLiteral("Intervall"), QStringLiteral("Herkunft")});
    const QString zeilenAuswahl = mitPlatzhaltern(zeilenSpalten, {QStringLiteral("Buchungsnummer")});
    const bool ok =
        ExecPrepared(db, QStringLiteral("INSERT INTO eurBeispiel (") + kopfSpalten + QStringLiteral(") SELECT ") + auswahl +
                             QStringLiteral(" FROM eurVerbucht WHERE Buchungsnummer=?"),
                     {DatenTyp(nr), DatenTyp(zDate::today()), DatenTyp(kVonBuchung + QString::number(buchung)),
                      DatenTyp(QString::number(intervall)), DatenTyp((unsigned long)KontoGlobal::HERK_SAVEDBSP), DatenTyp(buchung)}) &&
        ExecPrepared(db, QStringLiteral("INSERT INTO eurBeispielBuchungszeilen (") + zeilenSpalten + QStringLiteral(") SELECT ") + zeilenAuswahl +
                             QStringLiteral(" FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=? ORDER BY ID"),
                     {DatenTyp(nr), DatenTyp(buchung)}) &&
        t.commit();
    if (!ok) return nein(QStringLiteral("Die Buchungsvorlage konnte nicht gespeichert werden."));
    return nr;
}

bool vorlageLoeschen(unsigned long nummer, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) {
        *fehler = QStringLiteral("Es ist kein Fall geöffnet.");
        return false;
    }
    if (GetDatenTyp(db, QStringLiteral("SELECT Buchungsnummer FROM eurBeispiel WHERE Buchungsnummer=") + q(nummer)).isNull()) {
        *fehler = QStringLiteral("Die Buchungsvorlage %1 gibt es nicht; die Nummern zeigt „dalvo vorlage FALL liste“.").arg(nummer);
        return false;
    }
    if (!KontoGlobal::deleteBuchung(nummer, QStringLiteral("eurBeispiel"))) {
        *fehler = QStringLiteral("Die Buchungsvorlage %1 konnte nicht gelöscht werden.").arg(nummer);
        return false;
    }
    return true;
}

}  // namespace Regelbuchung

int KontoGlobal::fillRegelmaessigeBuchungen(QList<rsEurRegelBuch>& liste, int jahr) {
    return Regelbuchung::faellige(liste, jahr, zDate::today());
}

int KontoGlobal::doRegelmaessigeBuchungen(const QList<rsEurRegelBuch>& liste) {
    Regelbuchung::Ergebnis erg;
    QString fehler;
    if (!Regelbuchung::buchen(liste, &erg, &fehler)) {
        GetUi().rsError(fehler);
        return 0;
    }
    return erg.nummern.size();
}

int KontoGlobal::regelmaessigBuchen(int art, int meldung) {
    QList<rsRebuErinnerung> erinnerungen;
    QList<rsEurRegelBuch> regel;
    if (art == 0 || art == 1) fillErinnerungen(erinnerungen);
    if (art == 0 || art == 2) fillRegelmaessigeBuchungen(regel, 0);
    const QString heute = zDate::today().getText();
    if (erinnerungen.isEmpty() && regel.isEmpty()) {
        if (meldung == 0) return 0;
        const QString vorlagenHinweis =
            QStringLiteral("Regelmäßige Buchungen bearbeiten Sie im Bereich \"laufende Buchungen\" unter \"Buchungsvorlagen\".");
        const QString erinnerungsHinweis = QStringLiteral(
            "Erinnerungen erfassen Sie im Bereich \"Fakturierung\" durch Angabe eines \"Erinnerungsdatums\" bei Angeboten, "
            "Auftragsbestätigungen, Lieferscheinen, Rechnungen und Mahnungen.");
        QString text;
        if (art == 0)
            text = QStringLiteral("Zurzeit&nbsp;liegen&nbsp;weder&nbsp;Erinnerungen,&nbsp;noch&nbsp;regelmäßigen&nbsp;Buchungen&nbsp;vor, die bis zum "
                                  "heutigen Datum (") +
                   heute + QStringLiteral(") fällig sind.<br>$HINWEIS(") + vorlagenHinweis + QLatin1Char(' ') + erinnerungsHinweis +
                   QStringLiteral(")");
        else if (art == 2)
            text = QStringLiteral("Zurzeit&nbsp;liegen&nbsp;keine&nbsp;regelmäßigen&nbsp;Buchungen&nbsp;vor, die bis zum heutigen Datum (") + heute +
                   QStringLiteral(") fällig sind.<br>$HINWEIS(") + vorlagenHinweis + QStringLiteral(")");
        else
            text = QStringLiteral("Zurzeit&nbsp;liegen&nbsp;keine&nbsp;Erinnerungen&nbsp;vor.<br>$HINWEIS(") + erinnerungsHinweis + QStringLiteral(")");
        GetUi().Hinweis(text, QStringLiteral("Hinweis"));
        return 0;
    }
    // The wizard's two pages as check lists: the occurrences to post and
    // the reminders to keep; an unticked reminder is cleared.
    int gebucht = 0;
    if (!regel.isEmpty()) {
        QStringList punkte;
        for (const rsEurRegelBuch& r : regel)
            punkte << QStringLiteral("%1 (Wertstellung:&nbsp;%2) %3 – %4 – %5 €")
                          .arg(r.belegdatum.getText(), r.zahlungsdatum.getText(), r.buchungstext.toHtmlEscaped(), r.konten.toHtmlEscaped(),
                               r.betrag.getText());
        QList<rsEurRegelBuch> gewaehlt;
        for (int i : GetUi().auswahl(QStringLiteral("Fällige regelmäßige Buchungen"), punkte, QStringLiteral("Regelmäßige Buchungen")))
            if (i >= 0 && i < regel.size()) gewaehlt << regel[i];
        if (!gewaehlt.isEmpty()) {
            Regelbuchung::Ergebnis erg;
            QString fehler;
            if (!Regelbuchung::buchen(gewaehlt, &erg, &fehler)) {
                GetUi().rsError(fehler);
            } else {
                gebucht = erg.nummern.size();
                GetUi().Hinweis(erg.meldung, QStringLiteral("Hinweis"));
            }
        }
    }
    if (!erinnerungen.isEmpty()) {
        // Asked the other way round (which are done) than the wizard's
        // "erneut erinnern": a console that answers No by default must not
        // clear every reminder.
        QStringList punkte;
        for (const rsRebuErinnerung& e : erinnerungen) punkte << e.datum.getText() + QStringLiteral(" ") + e.text.toHtmlEscaped();
        QList<rsRebuErinnerung> erledigt;
        for (int i : GetUi().auswahl(QStringLiteral("Fällige Erinnerungen: die angekreuzten sind erledigt und werden gelöscht"), punkte,
                                     QStringLiteral("Erinnerungen")))
            if (i >= 0 && i < erinnerungen.size()) {
                rsRebuErinnerung e = erinnerungen[i];
                e.datum = zDate();
                erledigt << e;
            }
        if (!erledigt.isEmpty()) delErinnerungen(erledigt);
    }
    return gebucht;
}
