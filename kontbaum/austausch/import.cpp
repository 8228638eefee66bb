// Importing bookings from a CSV file in the export format.
//
// A record of the export is the counter line of a booking (or one split part)
// with its gross amount on the side of that line; Gegenkonto is the money
// account. Records of the same Buchungsnummer with Teilbuchung > 1 are the
// parts of one split booking. The import rebuilds each booking from its
// records and posts it with the module's own posting, so tax lines follow
// the keys exactly as if the booking had been entered.
//
// Every record passes the checks of a typed booking (EingabePruefer), so a
// file can post nothing that `dalvo buchen` would refuse. The rows are read
// and checked in file order in one pass, so the refusal names the first bad
// row of the file.
#include "kontbaum/austausch/austausch.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QVarLengthArray>

#include <functional>
#include <future>

namespace {
using BuchungsEntwurf = KontoGlobal::BuchungsEntwurf;

const QString kNichtsGebucht = QStringLiteral("Es wurde nichts gebucht.");

struct Satz {
    unsigned long nummer = 0, konto = 0, gegen = 0, schluessel = 0;
    int teil = 1;
    zDate beleg, buchungsdatum;
    QString text, belegnummer, ustid;
    EuroType betrag;
    bool haben = false;
    int zmart = 0;
    int art = 0;  // 0: derive from the accounts
};

bool zahl(const QStringRef& t, unsigned long* out) {
    // Plain digits, the form the export writes, are read here; anything
    // else (blanks, a sign, a long run) is left to Qt's reading.
    const int n = t.size();
    if (n > 0 && n <= 18) {
        const QChar* c = t.unicode();
        unsigned long v = 0;
        int i = 0;
        for (; i < n && c[i].unicode() >= '0' && c[i].unicode() <= '9'; ++i) v = v * 10 + (c[i].unicode() - '0');
        if (i == n) {
            *out = v;
            return true;
        }
    }
    bool ok = false;
    *out = t.trimmed().toULong(&ok);
    return ok;
}

// The fields of a line between its semicolons, empty ones included (as
// QStringRef::split gives them), into a list the caller keeps for every line.
using Felder = QVarLengthArray<QStringRef, 32>;
void felder(const QStringRef& l, Felder* f) {
    f->clear();
    const QChar* c = l.unicode();
    const int n = l.size();
    int von = 0;
    for (int i = 0; i < n; ++i) {
        if (c[i] == QLatin1Char(';')) {
            f->append(l.mid(von, i - von));
            von = i + 1;
        }
    }
    f->append(l.mid(von, n - von));
}

// German amount of the export ("119,00", "-5,50"), also with thousands dots.
bool betragLesen(const QStringRef& t, EuroType* out) { return EuroType::fromText(QStringView(t.trimmed()), out); }

// The kind a file without the column "Buchungsart" means, from the
// categories of its accounts and the side of the counter line.
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

const QStringList& erwarteterKopf() {
    static const QStringList k = {QStringLiteral("Buchungsnummer"), QStringLiteral("Teilbuchung"), QStringLiteral("Belegdatum"),
                                  QStringLiteral("Buchungstext"), QStringLiteral("Konto"), QStringLiteral("Kontobezeichnung"),
                                  QStringLiteral("Gegenkonto"), QStringLiteral("Gegenkontobezeichnung"), QStringLiteral("Soll"),
                                  QStringLiteral("Haben"), QStringLiteral("Steuerschluessel"), QStringLiteral("Steuersatz"),
                                  QStringLiteral("Steuerschluesselbezeichnung"), QStringLiteral("Belegnummer"),
                                  QStringLiteral("Buchungsdatum"), QStringLiteral("UStID"), QStringLiteral("Umsatzart")};
    return k;
}

// The bookings of the file, every row read and checked; false with the
// German reason (row number first) in `fehler`.
bool lesen(const QString& csv, int steuerjahr, DBConnection* db, QList<BuchungsEntwurf>* buchungen, QString* fehler) {
    auto fail = [fehler](int zeile, const QString& grund) {
        *fehler = zeile > 0 ? QStringLiteral("Zeile %1: %2 Bitte berichtigen Sie die Zeile; es wurde nichts gebucht.").arg(zeile).arg(grund)
                            : grund + QLatin1Char(' ') + kNichtsGebucht;
        return false;
    };
    // Lines and fields are read as pieces of the text; only what a booking
    // keeps becomes a string of its own.
    QVector<QStringRef> zeilen = csv.splitRef(QLatin1Char('\n'));
    for (QStringRef& z : zeilen)
        if (z.endsWith(QLatin1Char('\r'))) z.chop(1);
    if (zeilen.isEmpty() || zeilen.first().trimmed().isEmpty()) return fail(1, QStringLiteral("Die Kopfzeile fehlt."));
    QString kopfText = zeilen.first().toString();
    if (kopfText.startsWith(QChar(0xFEFF))) kopfText.remove(0, 1);
    const QStringList kopf = kopfText.split(QLatin1Char(';'));
    const QStringList& erwartet = erwarteterKopf();
    if (kopf.size() < erwartet.size() || kopf.mid(0, erwartet.size()) != erwartet)
        return fail(1, QStringLiteral("Die Kopfzeile entspricht nicht dem Exportformat der Buchungen."));
    const int artSpalte = kopf.indexOf(QStringLiteral("Buchungsart"));

    EingabePruefer pruefer(db, steuerjahr);
    // The booking being built for a file number, and whether the file
    // stated its kind.
    struct Offen {
        int index;
        bool artAusDatei;
    };
    QHash<unsigned long, Offen> offen;
    QList<EuroType> summen;  // gross total of each booking, against the highest amount
    Felder f;
    for (int i = 1; i < zeilen.size(); ++i) {
        const QStringRef& l = zeilen[i];
        if (l.trimmed().isEmpty()) continue;
        const int nr = i + 1;
        felder(l, &f);
        if (f.size() != kopf.size())
            return fail(nr, QStringLiteral("Die Zeile hat %1 Felder, die Kopfzeile %2.%3")
                                .arg(f.size())
                                .arg(kopf.size())
                                .arg(f.size() > kopf.size() ? QStringLiteral(" Ein Semikolon im Text trennt ein weiteres Feld ab und "
                                                                             "verschiebt alle folgenden.")
                                                            : QString()));
        Satz s;
        unsigned long teil = 0, zm = 0;
        if (!zahl(f[0], &s.nummer) || s.nummer == 0) return fail(nr, QStringLiteral("Ungültige Buchungsnummer „%1“.").arg(f[0].toString()));
        if (!zahl(f[1], &teil) || teil == 0) return fail(nr, QStringLiteral("Ungültige Teilbuchung „%1“.").arg(f[1].toString()));
        s.teil = int(teil);
        s.beleg = zDate::fromText(QStringView(f[2].trimmed()));
        if (!s.beleg.isValid()) return fail(nr, QStringLiteral("Ungültiges Belegdatum „%1“.").arg(f[2].toString()));
        s.text = f[3].toString();
        if (!zahl(f[4], &s.konto)) return fail(nr, QStringLiteral("Ungültiges Konto „%1“.").arg(f[4].toString()));
        if (!zahl(f[6], &s.gegen)) return fail(nr, QStringLiteral("Ungültiges Gegenkonto „%1“.").arg(f[6].toString()));
        EuroType soll, haben;
        const QString betragsregel = QStringLiteral(" Erlaubt sind höchstens zwei Nachkommastellen und höchstens %1.").arg(EuroType::hoechstbetragText());
        if (!betragLesen(f[8], &soll)) return fail(nr, QStringLiteral("Ungültiger Betrag im Soll „%1“.").arg(f[8].toString()) + betragsregel);
        if (!betragLesen(f[9], &haben)) return fail(nr, QStringLiteral("Ungültiger Betrag im Haben „%1“.").arg(f[9].toString()) + betragsregel);
        if (soll.isNull() == haben.isNull())
            return fail(nr, QStringLiteral("Genau eine der Spalten Soll und Haben muss einen Betrag enthalten."));
        s.haben = !haben.isNull();
        s.betrag = s.haben ? haben : soll;
        if (s.betrag < EuroType()) return fail(nr, QStringLiteral("Negative Beträge können nicht eingelesen werden."));
        if (!zahl(f[10], &s.schluessel)) return fail(nr, QStringLiteral("Ungültiger Steuerschlüssel „%1“.").arg(f[10].toString()));
        s.belegnummer = f[13].toString();
        s.buchungsdatum = zDate::fromText(QStringView(f[14].trimmed()));
        s.ustid = f[15].trimmed().toString();
        if (!zahl(f[16], &zm) || zm > 3) return fail(nr, QStringLiteral("Ungültige Umsatzart „%1“ (erlaubt 0 bis 3).").arg(f[16].toString()));
        s.zmart = int(zm);
        if (s.ustid.isEmpty() != (s.zmart == 0))
            return fail(nr, QStringLiteral("USt-IdNr. und Umsatzart gehören zusammen."));
        if (artSpalte >= 0 && !f[artSpalte].trimmed().isEmpty()) {
            unsigned long a = 0;
            if (!zahl(f[artSpalte], &a) || a < 1 || a > 6) return fail(nr, QStringLiteral("Ungültige Buchungsart „%1“.").arg(f[artSpalte].toString()));
            s.art = int(a);
        }

        // Group the record into its booking; parts of one booking agree on
        // the money account, the side, the date and the kind.
        auto it = offen.find(s.nummer);
        BuchungsEntwurf* b = nullptr;
        bool artAusDatei = s.art != 0;
        if (it != offen.end() && s.teil > 1) {
            b = &(*buchungen)[it->index];
            if (b->konto != s.gegen || b->haben == s.haben || b->belegdatum != s.beleg || (s.art != 0 && s.art != b->buchungsart))
                return fail(nr, QStringLiteral("Die Teilbuchung passt nicht zu den übrigen Teilen der Buchung %1.").arg(s.nummer));
            artAusDatei = it->artAusDatei;
            // A derived kind the new part does not fit is given up for a
            // free booking, whose rules every earlier part meets as well.
            if (!artAusDatei && !pruefer.passtZurArt(s.konto, b->buchungsart, false)) b->buchungsart = 3;
        } else {
            BuchungsEntwurf neu;
            neu.herkunft = KontoGlobal::HERK_IMPORT;
            neu.text = s.text;
            neu.belegdatum = s.beleg;
            neu.buchungsdatum = s.buchungsdatum;
            neu.belegnummer = s.belegnummer;
            neu.ustid = s.ustid;
            neu.zmart = s.zmart;
            neu.haben = !s.haben;
            neu.konto = s.gegen;
            neu.buchungsart = s.art;
            if (!artAusDatei) {
                // The derived kind must be one whose account rules both
                // accounts meet; otherwise the record is a free booking.
                const int art = artAus(pruefer.kategorie(s.konto), pruefer.kategorie(s.gegen), s.haben);
                neu.buchungsart = art != 3 && pruefer.passtZurArt(s.gegen, art, true) && pruefer.passtZurArt(s.konto, art, false) ? art : 3;
            }
            offen.insert(s.nummer, {int(buchungen->size()), artAusDatei});
            buchungen->append(neu);
            summen.append(EuroType());
            b = &buchungen->last();
        }

        if (artAusDatei) {
            const QString seite = EingabePruefer::pruefeSeite(b->buchungsart, b->haben);
            if (!seite.isEmpty()) return fail(nr, seite);
        }
        BuchungsEingabe e;
        e.buchungsart = b->buchungsart;
        e.belegdatum = s.beleg;
        e.konto = s.gegen;
        e.gegenkonto = s.konto;
        e.steuerschluessel = s.schluessel;
        e.betrag = s.betrag;
        e.ustid = s.ustid;
        e.zmart = s.zmart;
        const QString grund = pruefer.pruefen(e);
        if (!grund.isEmpty()) return fail(nr, grund);
        EuroType& summe = summen[offen.value(s.nummer).index];
        summe += s.betrag;
        if (!summe.imRahmen())
            return fail(nr, QStringLiteral("Die Teile der Buchung %1 ergeben zusammen mehr als %2.").arg(s.nummer).arg(EuroType::hoechstbetragText()));
        b->teile.append({s.konto, s.schluessel, s.betrag, false, s.text});
    }
    return true;
}

// The question for bookings dated on or before the lock date, asked once
// for the whole file; true when none is or the user agrees.
bool festschreibungBestaetigt(const QList<BuchungsEntwurf>& buchungen, QString* fehler) {
    zDate frueheste;
    for (const BuchungsEntwurf& b : buchungen)
        if (!frueheste.isValid() || b.belegdatum < frueheste) frueheste = b.belegdatum;
    if (!KontoGlobal::isInFestschreibungsZeitraum(frueheste)) return true;
    if (KontoGlobal::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), KontoGlobal::FFK_Uebernahme,
                                          KontoGlobal::FFT_NeueFestgeschrieben))
        return true;
    *fehler = QStringLiteral("Die Datei enthält Buchungen im festgeschriebenen Zeitraum (bis zum %1), und ihre Übernahme wurde nicht "
                             "bestätigt. %2")
                  .arg(KontoGlobal::getFestgeschriebenBis().getText(), kNichtsGebucht);
    return false;
}

// Posts the bookings in one transaction, one run of postings: the file is
// asked about once when it takes a till below zero. `zuletzt` runs inside
// it after the last booking and may still refuse. The number posted, -1 on
// failure; `verneint` tells that the user said No.
long buchen(const QList<BuchungsEntwurf>& buchungen, DBConnection* db, const std::function<bool(long, QString*)>& zuletzt,
            QString* fehler, bool* verneint = nullptr) {
    Ui& ui = GetUi();
    Buchungslauf lauf(db);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) {
        *fehler = QStringLiteral("Die Datenbank ist nicht beschreibbar. ") + kNichtsGebucht;
        return -1;
    }
    long n = 0;
    // The whole file is one transaction under the case's write lock: its
    // numbers follow the highest one, and the keys cannot change meanwhile,
    // so neither is asked again for every booking.
    unsigned long naechste = buchungen.isEmpty() ? 0 : KontoGlobal::getNewBuchungsnummer(buchungen.first().table, db);
    KontoGlobal::SchluesselSpeicher schluessel;
    for (const BuchungsEntwurf& entwurf : buchungen) {
        QString grund;
        BuchungsEntwurf b = entwurf;
        const bool selbstNummeriert = naechste != 0 && b.buchungsnummer == 0 && b.table == buchungen.first().table;
        if (selbstNummeriert) {
            b.buchungsnummer = naechste++;
            b.nummerIstFrei = true;
        }
        if (KontoGlobal::insertSplittBuchung(b, db, &grund, &schluessel) == 0) {
            tx.rollback();
            *fehler = QStringLiteral("Buchung %1 („%2“): %3 %4").arg(n + 1).arg(b.text, grund, kNichtsGebucht);
            return -1;
        }
        if (++n % 500 == 0) ui.progress(QStringLiteral("Import der Buchungen"), n, buchungen.size());
    }
    if (zuletzt && !zuletzt(n, fehler)) {
        tx.rollback();
        return -1;
    }
    if (!tx.commit()) {
        *fehler = QStringLiteral("Die Buchungen konnten nicht gespeichert werden: %1 %2").arg(db->getErr()->last(), kNichtsGebucht);
        return -1;
    }
    ui.progress(QStringLiteral("Import der Buchungen"), n, n);
    if (!lauf.abschliessen(fehler)) {
        if (verneint) *verneint = lauf.verneint();
        return -1;
    }
    return n;
}

}  // namespace

long KontoGlobal::importBuchungenAusCSV(const QString& csv, QString* fehler) {
    QString grund;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    long n = -1;
    QList<BuchungsEntwurf> buchungen;
    if (!db)
        grund = QStringLiteral("Es ist kein Fall geöffnet.");
    else if (lesen(csv, kg->getSteuerjahr(), db, &buchungen, &grund) && festschreibungBestaetigt(buchungen, &grund))
        n = buchen(buchungen, db, nullptr, &grund);
    if (n < 0 && fehler) *fehler = grund;
    return n;
}

namespace BuchungenCSV {

Importergebnis importieren(QByteArray datei, Zeichensatz z) {
    Importergebnis r;
    auto abgelehnt = [&r](Importergebnis::Grund g) {
        r.grund = g;
        r.anzahl = 0;
        return r;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!db) {
        r.fehler = QStringLiteral("Es ist kein Fall geöffnet. ") + kNichtsGebucht;
        return abgelehnt(Importergebnis::Datenbank);
    }
    // A large file's checksum costs about a tenth of its import, so it is
    // computed while the rows are read; the bytes stay until both are done.
    std::future<QByteArray> pruefsumme =
        std::async(std::launch::async, [&datei] { return QCryptographicHash::hash(datei, QCryptographicHash::Sha256).toHex(); });
    QList<BuchungsEntwurf> buchungen;
    Importergebnis::Grund grund = Importergebnis::Gebucht;
    {
        // Bytes and text live only while they are read, not while the
        // bookings are posted.
        QString text;
        if (!dekodieren(datei, z, &text, &r.fehler)) {
            r.fehler += QLatin1Char(' ') + kNichtsGebucht;
            grund = Importergebnis::Unlesbar;
        } else if (!lesen(text, kg->getSteuerjahr(), db, &buchungen, &r.fehler)) {
            grund = Importergebnis::Inhalt;
        }
    }
    const QString merkmal = QStringLiteral("ImportHash:") + QString::fromLatin1(pruefsumme.get());
    datei.clear();
    if (grund != Importergebnis::Gebucht) return abgelehnt(grund);

    // The same bytes again: most likely the same statement a second time.
    const QString frueher = KontoGlobal::getFalleigenschaft(merkmal, db);
    if (!frueher.isEmpty()) {
        const QDateTime am = QDateTime::fromString(frueher.section(QLatin1Char(';'), 0, 0), Qt::ISODate);
        const QString wann = am.isValid() ? QStringLiteral("am %1 um %2 Uhr").arg(am.toString(QStringLiteral("dd.MM.yyyy")),
                                                                                   am.toString(QStringLiteral("HH:mm")))
                                          : QStringLiteral("früher");
        const long anzahl = frueher.section(QLatin1Char(';'), 1, 1).toLong();
        const QString frage = QStringLiteral("Diese Datei wurde bereits %1 importiert (%2). Noch einmal importieren?")
                                  .arg(wann, anzahl == 1 ? QStringLiteral("1 Buchung") : QStringLiteral("%1 Buchungen").arg(anzahl));
        if (!GetUi().frage(frage, QStringLiteral("Erneuter Import"))) {
            r.fehler = QStringLiteral("Diese Datei wurde bereits %1 importiert. %2").arg(wann, kNichtsGebucht);
            return abgelehnt(Importergebnis::Verneint);
        }
    }
    if (!festschreibungBestaetigt(buchungen, &r.fehler)) return abgelehnt(Importergebnis::Verneint);

    auto merken = [&](long n, QString* fehler) {
        if (n == 0) return true;  // an empty file imported nothing to remember
        const QString wert = QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(';') + QString::number(n);
        KontoGlobal::setFalleigenschaft(merkmal, wert, db);
        if (KontoGlobal::getFalleigenschaft(merkmal, db) == wert) return true;
        *fehler = QStringLiteral("Der Import konnte in den Falleigenschaften nicht vermerkt werden. ") + kNichtsGebucht;
        return false;
    };
    bool verneint = false;
    r.anzahl = buchen(buchungen, db, merken, &r.fehler, &verneint);
    if (r.anzahl < 0) return abgelehnt(verneint ? Importergebnis::Verneint : Importergebnis::Datenbank);
    return r;
}

}  // namespace BuchungenCSV
