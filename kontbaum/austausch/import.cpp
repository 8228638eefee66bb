// Importing bookings from a CSV file in the export format.
//
// A record of the export is the counter line of a booking (or one split part)
// with its gross amount on the side of that line; Gegenkonto is the money
// account. Records of the same Buchungsnummer with Teilbuchung > 1 are the
// parts of one split booking. The import rebuilds each booking from its
// records and posts it with the module's own posting, so tax lines follow
// the keys exactly as if the booking had been entered.
#include "kontbaum/austausch/austausch.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QHash>
#include <QSet>

namespace {
struct Satz {
    int zeile;  // line of the file, 1 = header
    unsigned long nummer = 0, konto = 0, gegen = 0, schluessel = 0;
    int teil = 1;
    zDate beleg, buchungsdatum;
    QString text, belegnummer, ustid;
    EuroType betrag = 0.0;
    bool haben = false;
    int zmart = 0;
    int art = 0;  // 0: derive from the accounts
};

bool zahl(const QString& t, unsigned long* out) {
    bool ok = false;
    *out = t.trimmed().toULong(&ok);
    return ok;
}

// German amount of the export ("119,00", "-5,50"), also with thousands dots.
bool betragLesen(const QString& t, EuroType* out) { return EuroType::fromText(t.trimmed(), out); }

int artAus(unsigned long kategorieGegen, unsigned long kategorieGeld, bool zeileHaben) {
    const bool einnahme = kategorieGegen >= 4000 && kategorieGegen <= 4999 && kategorieGegen != 4203;
    const bool ausgabe = (kategorieGegen >= 5000 && kategorieGegen <= 6999) || kategorieGegen == 4203;
    if (kategorieGeld >= 8000 && kategorieGeld <= 8999) return 6;
    const bool geld = (kategorieGeld >= 200 && kategorieGeld <= 399) || kategorieGeld == 2101 || kategorieGeld == 2102;
    if (!geld) return 3;
    if (einnahme) return zeileHaben ? 1 : 4;
    if (ausgabe) return zeileHaben ? 5 : 2;
    return 3;
}
}  // namespace

long KontoGlobal::importBuchungenAusCSV(const QString& csv, QString* fehler) {
    auto fail = [fehler](int zeile, const QString& grund) -> long {
        if (fehler) *fehler = zeile > 0 ? QStringLiteral("Zeile %1: %2").arg(zeile).arg(grund) : grund;
        return -1;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return fail(0, QStringLiteral("Es ist kein Fall geöffnet."));

    QStringList zeilen = csv.split(QLatin1Char('\n'));
    for (QString& z : zeilen)
        if (z.endsWith(QLatin1Char('\r'))) z.chop(1);
    if (zeilen.isEmpty() || zeilen.first().trimmed().isEmpty()) return fail(1, QStringLiteral("Die Kopfzeile fehlt."));
    QString kopfText = zeilen.first();
    if (kopfText.startsWith(QChar(0xFEFF))) kopfText.remove(0, 1);
    const QStringList kopf = kopfText.split(QLatin1Char(';'));
    const QStringList erwartet = {QStringLiteral("Buchungsnummer"), QStringLiteral("Teilbuchung"), QStringLiteral("Belegdatum"),
                                  QStringLiteral("Buchungstext"), QStringLiteral("Konto"), QStringLiteral("Kontobezeichnung"),
                                  QStringLiteral("Gegenkonto"), QStringLiteral("Gegenkontobezeichnung"), QStringLiteral("Soll"),
                                  QStringLiteral("Haben"), QStringLiteral("Steuerschluessel"), QStringLiteral("Steuersatz"),
                                  QStringLiteral("Steuerschluesselbezeichnung"), QStringLiteral("Belegnummer"),
                                  QStringLiteral("Buchungsdatum"), QStringLiteral("UStID"), QStringLiteral("Umsatzart")};
    if (kopf.size() < erwartet.size() || kopf.mid(0, erwartet.size()) != erwartet)
        return fail(1, QStringLiteral("Die Kopfzeile entspricht nicht dem Exportformat der Buchungen."));
    const int artSpalte = kopf.indexOf(QStringLiteral("Buchungsart"));

    // Accounts and keys of the case, read once.
    struct Konto {
        unsigned long kategorie;
        bool aktiv;
    };
    QHash<unsigned long, Konto> konten;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, Kategorie, Aktiv FROM eurKontenplan"));
        for (; !rs.isEOF(); rs.fetch())
            konten.insert(rs.field(QStringLiteral("Nummer")).toULong(),
                          {rs.field(QStringLiteral("Kategorie")).toULong(), rs.field(QStringLiteral("Aktiv")).toLongLong() != 0});
    }
    QSet<unsigned long> schluessel;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel FROM eurSteuerschluessel"));
        for (; !rs.isEOF(); rs.fetch()) schluessel.insert(rs.field(QStringLiteral("Steuerschluessel")).toULong());
    }
    const int jahr = kg->getSteuerjahr();
    auto kontoPruefen = [&](unsigned long nr, int zeile, QString* grund) {
        auto it = konten.constFind(nr);
        if (it == konten.constEnd()) *grund = QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(nr);
        else if (!it->aktiv) *grund = QStringLiteral("Das Konto %1 ist nicht aktiv.").arg(nr);
        else return true;
        Q_UNUSED(zeile);
        return false;
    };

    // 1. Read and check every record before anything is posted.
    QList<Satz> saetze;
    QHash<QString, int> regeln;  // account/key rule, asked once per pair
    for (int i = 1; i < zeilen.size(); ++i) {
        const QString& l = zeilen[i];
        if (l.trimmed().isEmpty()) continue;
        const int nr = i + 1;
        const QStringList f = l.split(QLatin1Char(';'));
        if (f.size() < erwartet.size())
            return fail(nr, QStringLiteral("%1 statt %2 Felder.").arg(f.size()).arg(erwartet.size()));
        Satz s;
        s.zeile = nr;
        unsigned long teil = 0, zm = 0;
        if (!zahl(f[0], &s.nummer) || s.nummer == 0) return fail(nr, QStringLiteral("Ungültige Buchungsnummer „%1“.").arg(f[0]));
        if (!zahl(f[1], &teil) || teil == 0) return fail(nr, QStringLiteral("Ungültige Teilbuchung „%1“.").arg(f[1]));
        s.teil = int(teil);
        s.beleg = zDate::fromText(f[2].trimmed());
        if (!s.beleg.isValid()) return fail(nr, QStringLiteral("Ungültiges Belegdatum „%1“.").arg(f[2]));
        if (s.beleg.year() != jahr)
            return fail(nr, QStringLiteral("Das Belegdatum %1 liegt nicht im Steuerjahr %2.").arg(s.beleg.getText()).arg(jahr));
        s.text = f[3];
        if (!zahl(f[4], &s.konto)) return fail(nr, QStringLiteral("Ungültiges Konto „%1“.").arg(f[4]));
        if (!zahl(f[6], &s.gegen)) return fail(nr, QStringLiteral("Ungültiges Gegenkonto „%1“.").arg(f[6]));
        QString grund;
        if (!kontoPruefen(s.konto, nr, &grund) || !kontoPruefen(s.gegen, nr, &grund)) return fail(nr, grund);
        EuroType soll = 0.0, haben = 0.0;
        if (!betragLesen(f[8], &soll)) return fail(nr, QStringLiteral("Ungültiger Betrag im Soll „%1“.").arg(f[8]));
        if (!betragLesen(f[9], &haben)) return fail(nr, QStringLiteral("Ungültiger Betrag im Haben „%1“.").arg(f[9]));
        if (soll.isNull() == haben.isNull())
            return fail(nr, QStringLiteral("Genau eine der Spalten Soll und Haben muss einen Betrag enthalten."));
        s.haben = !haben.isNull();
        s.betrag = s.haben ? haben : soll;
        if (s.betrag.wert() < 0) return fail(nr, QStringLiteral("Negative Beträge können nicht eingelesen werden."));
        if (!zahl(f[10], &s.schluessel)) return fail(nr, QStringLiteral("Ungültiger Steuerschlüssel „%1“.").arg(f[10]));
        if (s.schluessel == 999999 || (s.schluessel != 0 && !schluessel.contains(s.schluessel)))
            return fail(nr, QStringLiteral("Den Steuerschlüssel %1 gibt es nicht.").arg(s.schluessel));
        const QString regelKey = QString::number(s.konto) + QLatin1Char('_') + QString::number(s.schluessel);
        auto regelIt = regeln.constFind(regelKey);
        if (regelIt == regeln.constEnd()) regelIt = regeln.insert(regelKey, isSteuerschluesselOK(s.konto, s.schluessel, db));
        const int regel = *regelIt;
        if (regel != 0) return fail(nr, steuerschluesselRegelText(regel));
        s.belegnummer = f[13];
        s.buchungsdatum = zDate::fromText(f[14].trimmed());
        s.ustid = f[15].trimmed();
        if (!zahl(f[16], &zm) || zm > 3) return fail(nr, QStringLiteral("Ungültige Umsatzart „%1“ (erlaubt 0 bis 3).").arg(f[16]));
        s.zmart = int(zm);
        if (s.ustid.isEmpty() != (s.zmart == 0))
            return fail(nr, QStringLiteral("USt-IdNr. und Umsatzart gehören zusammen."));
        if (artSpalte >= 0 && artSpalte < f.size() && !f[artSpalte].trimmed().isEmpty()) {
            unsigned long a = 0;
            if (!zahl(f[artSpalte], &a) || a < 1 || a > 6) return fail(nr, QStringLiteral("Ungültige Buchungsart „%1“.").arg(f[artSpalte]));
            s.art = int(a);
        }
        saetze.append(s);
    }

    // 2. Group the records into bookings; parts of one booking agree on the
    // money account, the side and the header data.
    QList<BuchungsEntwurf> buchungen;
    QHash<unsigned long, int> offen;  // file number -> index of the booking being built
    for (const Satz& s : saetze) {
        auto it = offen.constFind(s.nummer);
        if (it != offen.constEnd() && s.teil > 1) {
            BuchungsEntwurf& b = buchungen[*it];
            if (b.konto != s.gegen || b.haben == s.haben || b.belegdatum != s.beleg)
                return fail(s.zeile, QStringLiteral("Die Teilbuchung passt nicht zu den übrigen Teilen der Buchung %1.").arg(s.nummer));
            b.teile.append({s.konto, s.schluessel, s.betrag, false, s.text});
            continue;
        }
        BuchungsEntwurf b;
        b.herkunft = HERK_IMPORT;
        b.text = s.text;
        b.belegdatum = s.beleg;
        b.buchungsdatum = s.buchungsdatum;
        b.belegnummer = s.belegnummer;
        b.ustid = s.ustid;
        b.zmart = s.zmart;
        b.haben = !s.haben;
        b.konto = s.gegen;
        b.buchungsart = s.art != 0 ? s.art : artAus(konten.value(s.konto).kategorie, konten.value(s.gegen).kategorie, s.haben);
        b.teile.append({s.konto, s.schluessel, s.betrag, false, s.text});
        offen.insert(s.nummer, buchungen.size());
        buchungen.append(b);
    }

    // 3. A booking dated in the locked period is locked at once; the user is asked first.
    const zDate gesperrt = getFestgeschriebenBis();
    for (const BuchungsEntwurf& b : buchungen)
        if (gesperrt.isValid() && !(gesperrt < b.belegdatum)) {
            if (!festgeschriebenFrage(QStringLiteral("Festgeschrieben"), FFK_Uebernahme, FFT_NeueFestgeschrieben))
                return fail(0, QStringLiteral("Der Import wurde abgebrochen; es wurde nichts gebucht."));
            break;
        }

    // 4. Post everything in one transaction.
    Ui& ui = GetUi();
    if (!db->beginTransaction()) return fail(0, QStringLiteral("Die Datenbank ist nicht beschreibbar."));
    long n = 0;
    for (const BuchungsEntwurf& b : buchungen) {
        QString grund;
        if (insertSplittBuchung(b, db, &grund) == 0) {
            db->rollback();
            return fail(0, QStringLiteral("Buchung %1 („%2“): %3").arg(n + 1).arg(b.text, grund));
        }
        if (++n % 500 == 0) ui.progress(QStringLiteral("Import der Buchungen"), n, buchungen.size());
    }
    if (!db->commit()) return fail(0, QStringLiteral("Die Buchungen konnten nicht gespeichert werden: %1").arg(db->getErr()->last()));
    ui.progress(QStringLiteral("Import der Buchungen"), n, n);
    return n;
}
