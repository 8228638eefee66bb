// Storing transactions: the duplicate test, the year, the result note, and
// the import of a statement file from reading to storing.
#include "kontbaum/bank/intern.h"

#include "host/app/ui.h"

#include <QHash>

namespace Bank {
using namespace intern;

QString Umsatz::buchungstext() const { return zweck.join(QLatin1Char(' ')).left(100); }

EuroType Auszug::summeUmsaetze() const {
    EuroType s = anfangssaldo;
    for (const Umsatz& u : umsaetze) s += u.betrag;
    return s;
}

bool formatAusName(const QString& name, Format* f) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("camt")) *f = Format::Camt;
    else if (n == QLatin1String("mt940")) *f = Format::Mt940;
    else if (n == QLatin1String("csv")) *f = Format::Csv;
    else return false;
    return true;
}

Format erkenneFormat(const QByteArray& datei) {
    QByteArray anfang = datei.left(4096);
    if (anfang.startsWith("\xEF\xBB\xBF")) anfang = anfang.mid(3);
    const QByteArray t = anfang.trimmed();
    if (t.startsWith('<')) return Format::Camt;
    if (t.startsWith(":20:") || t.startsWith("{1:") || t.startsWith(":940:") || anfang.contains("\n:20:") || anfang.contains("\r\n:20:"))
        return anfang.contains(":25:") || anfang.contains(":60F:") ? Format::Mt940 : Format::Csv;
    return Format::Csv;
}

QStringList saldenAbweichungen(const QList<Auszug>& auszuege) {
    QStringList l;
    for (const Auszug& a : auszuege) {
        if (!a.mitSalden) continue;
        const EuroType ergebnis = a.summeUmsaetze();
        if (!(ergebnis - a.endsaldo).isNull())
            l << QStringLiteral("Konto %1: Anfangssaldo %2 und die Umsätze ergeben %3, der Endsaldo der Datei ist %4 (Differenz %5).")
                     .arg(a.iban.isEmpty() ? a.kontonummer : a.iban, a.anfangssaldo.getText(), ergebnis.getText(), a.endsaldo.getText(),
                          (a.endsaldo - ergebnis).getText());
    }
    return l;
}

namespace {
// The columns the duplicate test compares, as stored: texts empty, never NULL.
struct Schluessel {
    zDate datum;
    qint64 cent;
    QString text, name, kontonummer, blz, iban, bic;
    bool operator==(const Schluessel& o) const {
        return datum == o.datum && cent == o.cent && text == o.text && name == o.name && kontonummer == o.kontonummer && blz == o.blz &&
               iban == o.iban && bic == o.bic;
    }
};
uint qHash(const Schluessel& s) { return ::qHash(s.text) ^ ::qHash(s.cent) ^ ::qHash(s.datum.qdate()); }

Schluessel schluesselVon(const Umsatz& u) {
    return {u.buchungsdatum, u.betrag.cent(), u.buchungstext(), u.name.left(255), u.kontonummer, u.blz, u.iban, u.bic};
}
}  // namespace

long existUmsatz(DBConnection* db, unsigned long verbindung, const Umsatz& u) {
    db = rsFallDB(db);
    const Schluessel s = schluesselVon(u);
    // Every text is bound and compared exactly: a purpose with "%" or "_"
    // is no pattern, and "Miete" is not "Miete Januar". The stored text is
    // compared on its first 100 characters, as it was cut when stored.
    const QVector<DatenTyp> z = QueryPrepared(
        db,
        QStringLiteral("SELECT COUNT(*) FROM eurUmsatz WHERE BankverbindungID=? AND Buchungsdatum=? AND ABS(Betrag-(?))<0.005 "
                       "AND substr(COALESCE(Buchungstext,''),1,100)=? AND COALESCE(Empfaenger,'')=? "
                       "AND COALESCE(EmpfaengerKontonummer,'')=? AND COALESCE(EmpfaengerBLZ,'')=? "
                       "AND COALESCE(EmpfaengerIBAN,'')=? AND COALESCE(EmpfaengerBIC,'')=?"),
        {DatenTyp(verbindung), DatenTyp(s.datum), DatenTyp(u.betrag), DatenTyp(s.text), DatenTyp(s.name), DatenTyp(s.kontonummer),
         DatenTyp(s.blz), DatenTyp(s.iban), DatenTyp(s.bic)});
    return z.isEmpty() ? 0 : long(z.first().toLongLong());
}

bool speichereUmsaetze(DBConnection* db, unsigned long verbindung, const QList<Umsatz>& liste, int jahr, const zDate& ab,
                       const EuroType* saldo, Speicherergebnis* e, QString* fehler) {
    db = rsFallDB(db);
    *e = Speicherergebnis();
    // Distinct transactions in the order of the file, each with its multiplicity.
    QList<Schluessel> reihe;
    QHash<Schluessel, int> anzahl;
    QHash<Schluessel, Umsatz> erster;
    for (const Umsatz& u : liste) {
        const Schluessel s = schluesselVon(u);
        if (!anzahl.contains(s)) {
            reihe << s;
            erster.insert(s, u);
        }
        ++anzahl[s];
    }
    DBTransaktion t(db);
    if (!t.ok()) {
        *fehler = QStringLiteral("Die Falldatei kann nicht geschrieben werden.");
        return false;
    }
    unsigned long id = KontoGlobal::getMaxKey(db, QStringLiteral("SELECT MAX(UmsatzID) FROM eurUmsatz"));
    zDate neuestes;
    for (const Schluessel& s : reihe) {
        const int n = anzahl.value(s);
        if (!s.datum.isValid() || (ab.isValid() && s.datum < ab)) continue;
        if (s.datum.year() != jahr) {
            e->ausserhalb += n;
            continue;
        }
        const Umsatz& u = erster[s];
        const long da = existUmsatz(db, verbindung, u);
        e->doppelt += qMin<long>(da, n);
        for (long i = da; i < n; ++i) {
            if (!ExecPrepared(db,
                              QStringLiteral("INSERT INTO eurUmsatz (UmsatzID, BankverbindungID, Buchungsdatum, Betrag, Buchungstext, Empfaenger, "
                                             "EmpfaengerKontonummer, EmpfaengerBLZ, EmpfaengerIBAN, EmpfaengerBIC, MasterID, Status, ID, "
                                             "Buchungsnummer, Steuersatz, Kategorie1) VALUES (?,?,?,?,?,?,?,?,?,?,0,0,0,0,0,?)"),
                              {DatenTyp(++id), DatenTyp(verbindung), DatenTyp(s.datum), DatenTyp(u.betrag), DatenTyp(s.text),
                               DatenTyp(s.name), DatenTyp(s.kontonummer), DatenTyp(s.blz), DatenTyp(s.iban), DatenTyp(s.bic),
                               DatenTyp(u.referenz.left(100))})) {
                *fehler = QStringLiteral("Die Umsätze konnten nicht gespeichert werden: %1").arg(db->getErr()->last());
                return false;
            }
            ++e->gespeichert;
        }
        if (!neuestes.isValid() || neuestes < s.datum) neuestes = s.datum;
    }
    if (neuestes.isValid() || saldo) {
        Verbindung v;
        leseVerbindung(db, verbindung, &v);
        if (v.letzterImport.isValid() && neuestes.isValid() && neuestes < v.letzterImport) neuestes = v.letzterImport;
        if (!ExecPrepared(db, QStringLiteral("UPDATE eurBankverbindung SET LetzterImportMG=?, BankSaldo=? WHERE BankverbindungID=?"),
                          {DatenTyp(neuestes.isValid() ? neuestes : v.letzterImport), DatenTyp(saldo ? *saldo : v.saldo), DatenTyp(verbindung)})) {
            *fehler = QStringLiteral("Die Bankverbindung konnte nicht aktualisiert werden.");
            return false;
        }
    }
    return t.commit();
}

QString ergebnisMeldung(const Speicherergebnis& e, int jahr) {
    QString t = e.gespeichert > 1 ? QStringLiteral("Es wurden %1 Umsätze für das Wirtschaftsjahr %2 abgerufen.").arg(e.gespeichert).arg(jahr)
                : e.gespeichert == 1 ? QStringLiteral("Es wurde ein Umsatz für das Wirtschaftsjahr %1 abgerufen.").arg(jahr)
                                     : QStringLiteral("Es liegen keine neuen Umsätze für das Wirtschaftsjahr %1 vor.").arg(jahr);
    if (e.ausserhalb > 1)
        t += QStringLiteral("<br><br>Es wurden %1 Umsätze nicht berücksichtigt, da sie nicht im Wirtschaftsjahr %2 liegen.").arg(e.ausserhalb).arg(jahr);
    else if (e.ausserhalb == 1)
        t += QStringLiteral("<br><br>Es wurde ein Umsatz nicht berücksichtigt, da er nicht im Wirtschaftsjahr %1 liegt.").arg(jahr);
    return t;
}

Importergebnis importiere(DBConnection* db, unsigned long konto, const QByteArray& datei, const Importoptionen& o) {
    db = rsFallDB(db);
    Importergebnis r;
    const QString nichts = QStringLiteral(" Die Datei wurde nicht eingelesen; es wurde nichts gespeichert.");
    auto nein = [&](const QString& t) {
        r.meldung = t + nichts;
        return r;
    };
    Format f = o.format == Format::Automatisch ? erkenneFormat(datei) : o.format;
    QList<Auszug> auszuege;
    QString e;
    bool gelesen = false;
    if (f == Format::Camt) gelesen = leseCamt(datei, &auszuege, &e);
    else if (f == Format::Mt940) gelesen = leseMt940(datei, o.zeichensatz, &auszuege, &e);
    else {
        CsvLayout l;
        gelesen = csvLayout(o.layout, o.spalten, &l, &e) && leseCsv(datei, l, o.zeichensatz, &auszuege, &e);
    }
    if (!gelesen) return nein(e);
    // The connection: the one of the chart account, else the one the file names.
    unsigned long id = konto ? verbindungZuKonto(db, konto) : 0;
    if (konto && !id)
        return nein(QStringLiteral("Dem Konto %1 ist kein Bankkonto zugeordnet. Legen Sie es mit „dalvo bank FALL neu --konto %1 --iban …“ an.").arg(konto));
    for (const Auszug& a : auszuege) {
        const unsigned long zu = !a.iban.isEmpty() ? verbindungZuIban(db, a.iban) : verbindungZuKontonummer(db, a.kontonummer, a.blz);
        const QString name = a.iban.isEmpty() ? a.kontonummer : a.iban;
        if (name.isEmpty()) {
            if (!id) return nein(QStringLiteral("Die Datei nennt ihr Konto nicht. Bitte geben Sie das Buchungskonto mit --konto an."));
            continue;
        }
        if (!zu)
            return nein(QStringLiteral("Für das Bankkonto %1 der Datei ist keine Bankverbindung eingerichtet. Legen Sie sie mit „dalvo bank FALL neu "
                                       "--konto N --iban %1“ an.")
                            .arg(name));
        if (id && zu != id) {
            Verbindung v;
            leseVerbindung(db, id, &v);
            return nein(QStringLiteral("Die Datei ist ein Auszug des Bankkontos %1, das Konto %2 gehört aber zum Bankkonto %3.")
                            .arg(name)
                            .arg(v.konto)
                            .arg(v.iban.isEmpty() ? v.kontonummer : v.iban));
        }
        id = zu;
    }
    r.verbindung = id;
    const QStringList abweichungen = saldenAbweichungen(auszuege);
    if (!abweichungen.isEmpty() &&
        !GetUi().frage(QStringLiteral("<p>Die Salden der Datei passen nicht zu ihren Umsätzen:</p><p>") + abweichungen.join(QStringLiteral("<br>")) +
                       QStringLiteral("</p><p>Vielleicht fehlen Umsätze in der Datei. Wollen Sie die Umsätze dennoch einlesen?</p>"))) {
        r.verneint = true;
        return nein(QStringLiteral("Die Salden der Datei passen nicht zu ihren Umsätzen: ") + abweichungen.join(QLatin1Char(' ')));
    }
    QList<Umsatz> alle;
    const EuroType* saldo = nullptr;
    for (const Auszug& a : auszuege) {
        alle << a.umsaetze;
        r.vorgemerkt += a.vorgemerkt;
        if (a.mitSalden) saldo = &a.endsaldo;
    }
    const int jahr = steuerjahr();
    if (!speichereUmsaetze(db, id, alle, jahr, zDate(), saldo, &r.speicher, &e)) return nein(e);
    r.ok = true;
    r.meldung = ergebnisMeldung(r.speicher, jahr);
    if (r.speicher.doppelt > 0)
        r.meldung += r.speicher.doppelt == 1 ? QStringLiteral("<br><br>Ein Umsatz der Datei war bereits gespeichert und wurde nicht noch einmal übernommen.")
                                             : QStringLiteral("<br><br>%1 Umsätze der Datei waren bereits gespeichert und wurden nicht noch einmal "
                                                              "übernommen.").arg(r.speicher.doppelt);
    if (r.vorgemerkt > 0)
        r.meldung += r.vorgemerkt == 1 ? QStringLiteral("<br><br>Ein vorgemerkter (noch nicht gebuchter) Umsatz wurde nicht übernommen.")
                                       : QStringLiteral("<br><br>%1 vorgemerkte (noch nicht gebuchte) Umsätze wurden nicht übernommen.").arg(r.vorgemerkt);
    return r;
}

}  // namespace Bank
