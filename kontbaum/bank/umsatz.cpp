// Storing transactions: the duplicate test, the year, the result note, and
// the import of a statement file from reading to storing.
#include "kontbaum/bank/intern.h"

#include "host/app/ui.h"

#include <QBuffer>
#include <QHash>

#include <limits>

namespace Bank {
using namespace intern;

QString Umsatz::buchungstext() const { return zweck.join(QLatin1Char(' ')).left(100); }

EuroType Auszug::summeUmsaetze() const {
    EuroType s = anfangssaldo;
    for (const Umsatz& u : umsaetze) s += u.betrag;
    return s;
}

bool AuszugSammler::auszugBeginn(const Auszug& kopf, QString*) {
    *m_out << kopf;
    return true;
}

bool AuszugSammler::umsatz(const Umsatz& u, QString*) {
    m_out->last().umsaetze << u;
    return true;
}

bool AuszugSammler::auszugEnde(const Auszug& kopf, QString*) {
    const QList<Umsatz> umsaetze = m_out->last().umsaetze;
    m_out->last() = kopf;
    m_out->last().umsaetze = umsaetze;
    return true;
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

namespace {
// The sentence on a statement whose entries do not lead from the opening
// balance to the closing one (`ergebnis`: where they lead); empty when they do.
QString abweichung(const Auszug& a, const EuroType& ergebnis) {
    if (!a.mitSalden || (ergebnis - a.endsaldo).isNull()) return QString();
    return QStringLiteral("Konto %1: Anfangssaldo %2 und die Umsätze ergeben %3, der Endsaldo der Datei ist %4 (Differenz %5).")
        .arg(a.iban.isEmpty() ? a.kontonummer : a.iban, a.anfangssaldo.getText(), ergebnis.getText(), a.endsaldo.getText(),
             (a.endsaldo - ergebnis).getText());
}
}  // namespace

QStringList saldenAbweichungen(const QList<Auszug>& auszuege) {
    QStringList l;
    for (const Auszug& a : auszuege) {
        const QString t = abweichung(a, a.summeUmsaetze());
        if (!t.isEmpty()) l << t;
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

namespace {
// How many stored transactions of the connection equal `s`, among those up
// to the ID `bis`. Every text is bound and compared exactly: a purpose
// with "%" or "_" is no pattern, and "Miete" is not "Miete Januar". The
// stored text is compared on its first 100 characters, as it was cut when
// stored; the amount's range lets the index of the connection's days find
// the rows.
long gleiche(DBConnection* db, unsigned long verbindung, const Schluessel& s, const EuroType& betrag, qint64 bis) {
    const double b = betrag.alsDouble();
    const QVector<DatenTyp> z = QueryPrepared(
        db,
        QStringLiteral("SELECT COUNT(*) FROM eurUmsatz WHERE BankverbindungID=? AND Buchungsdatum=? AND Betrag>?-0.005 AND Betrag<?+0.005 "
                       "AND UmsatzID<=? AND substr(COALESCE(Buchungstext,''),1,100)=? AND COALESCE(Empfaenger,'')=? "
                       "AND COALESCE(EmpfaengerKontonummer,'')=? AND COALESCE(EmpfaengerBLZ,'')=? "
                       "AND COALESCE(EmpfaengerIBAN,'')=? AND COALESCE(EmpfaengerBIC,'')=?"),
        {DatenTyp(verbindung), DatenTyp(s.datum), DatenTyp(b), DatenTyp(b), DatenTyp(bis), DatenTyp(s.text), DatenTyp(s.name),
         DatenTyp(s.kontonummer), DatenTyp(s.blz), DatenTyp(s.iban), DatenTyp(s.bic)});
    return z.isEmpty() ? 0 : long(z.first().toLongLong());
}
}  // namespace

long existUmsatz(DBConnection* db, unsigned long verbindung, const Umsatz& u) {
    return gleiche(rsFallDB(db), verbindung, schluesselVon(u), u.betrag, std::numeric_limits<qint64>::max());
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

namespace {
// Stores transactions one at a time on a connection, inside the caller's
// transaction. A transaction equal to one stored before (as often as it
// was stored) counts as already there; copies among the new ones are all
// kept. Only transactions already stored are remembered, so new ones cost
// the memory of one transaction.
class Speicher {
public:
    Speicher(DBConnection* db, int jahr, const zDate& ab) : m_db(db), m_jahr(jahr), m_ab(ab) {
        m_vorher = KontoGlobal::getMaxKey(db, QStringLiteral("SELECT MAX(UmsatzID) FROM eurUmsatz"));
        m_naechste = m_vorher;
    }
    void setVerbindung(unsigned long v) { m_verbindung = v; }

    bool speichern(const Umsatz& u, QString* fehler) {
        const Schluessel s = schluesselVon(u);
        if (!s.datum.isValid() || (m_ab.isValid() && s.datum < m_ab)) return true;
        if (s.datum.year() != m_jahr) {
            ++m_ergebnis.ausserhalb;
            return true;
        }
        if (!m_neuestes.isValid() || m_neuestes < s.datum) m_neuestes = s.datum;
        const long da = vorhanden(u, s);
        if (da > 0 && ++m_gesehen[s] <= da) {
            ++m_ergebnis.doppelt;
            return true;
        }
        if (!ExecPrepared(m_db,
                          QStringLiteral("INSERT INTO eurUmsatz (UmsatzID, BankverbindungID, Buchungsdatum, Betrag, Buchungstext, Empfaenger, "
                                         "EmpfaengerKontonummer, EmpfaengerBLZ, EmpfaengerIBAN, EmpfaengerBIC, MasterID, Status, ID, "
                                         "Buchungsnummer, Steuersatz, Kategorie1) VALUES (?,?,?,?,?,?,?,?,?,?,0,0,0,0,0,?)"),
                          {DatenTyp(++m_naechste), DatenTyp(m_verbindung), DatenTyp(s.datum), DatenTyp(u.betrag), DatenTyp(s.text),
                           DatenTyp(s.name), DatenTyp(s.kontonummer), DatenTyp(s.blz), DatenTyp(s.iban), DatenTyp(s.bic),
                           DatenTyp(u.referenz.left(100))})) {
            *fehler = QStringLiteral("Die Umsätze konnten nicht gespeichert werden: %1").arg(m_db->getErr()->last());
            return false;
        }
        ++m_ergebnis.gespeichert;
        return true;
    }

    // Records the newest date and, when given, the balance on the connection.
    bool abschliessen(const EuroType* saldo, QString* fehler) {
        if (!m_neuestes.isValid() && !saldo) return true;
        Verbindung v;
        leseVerbindung(m_db, m_verbindung, &v);
        zDate neuestes = m_neuestes;
        if (v.letzterImport.isValid() && neuestes.isValid() && neuestes < v.letzterImport) neuestes = v.letzterImport;
        if (!ExecPrepared(m_db, QStringLiteral("UPDATE eurBankverbindung SET LetzterImportMG=?, BankSaldo=? WHERE BankverbindungID=?"),
                          {DatenTyp(neuestes.isValid() ? neuestes : v.letzterImport), DatenTyp(saldo ? *saldo : v.saldo), DatenTyp(m_verbindung)})) {
            *fehler = QStringLiteral("Die Bankverbindung konnte nicht aktualisiert werden.");
            return false;
        }
        return true;
    }

    const Speicherergebnis& ergebnis() const { return m_ergebnis; }

private:
    // How many transactions equal to `u` were stored before this import.
    long vorhanden(const Umsatz& u, const Schluessel& s) { return gleiche(m_db, m_verbindung, s, u.betrag, qint64(m_vorher)); }

    DBConnection* m_db;
    int m_jahr;
    zDate m_ab;
    unsigned long m_verbindung = 0, m_vorher = 0, m_naechste = 0;
    QHash<Schluessel, long> m_gesehen;  // copies met of transactions stored before
    Speicherergebnis m_ergebnis;
    zDate m_neuestes;
};

// Takes the statements of a file as the reader hands them over and stores
// each transaction at once: the account of every statement is checked when
// it begins, the balances when it ends.
class Einleser : public AuszugEmpfaenger {
public:
    Einleser(DBConnection* db, unsigned long konto, int jahr) : m_db(db), m_konto(konto), m_speicher(db, jahr, zDate()) {
        m_id = konto ? verbindungZuKonto(db, konto) : 0;
        m_kontoFehlt = konto && !m_id;
    }

    bool auszugBeginn(const Auszug& a, QString* fehler) override {
        if (m_kontoFehlt) {
            *fehler = QStringLiteral("Dem Konto %1 ist kein Bankkonto zugeordnet. Legen Sie es mit „dalvo bank FALL add --konto %1 --iban …“ an.")
                          .arg(m_konto);
            return false;
        }
        // The connection: the one of the chart account, else the one the file names.
        const QString name = a.iban.isEmpty() ? a.kontonummer : a.iban;
        if (name.isEmpty()) {
            if (!m_id) {
                *fehler = QStringLiteral("Die Datei nennt ihr Konto nicht. Bitte geben Sie das Buchungskonto mit --konto an.");
                return false;
            }
        } else {
            const unsigned long zu = !a.iban.isEmpty() ? verbindungZuIban(m_db, a.iban) : verbindungZuKontonummer(m_db, a.kontonummer, a.blz);
            if (!zu) {
                m_ohneVerbindung = name;
                *fehler = QStringLiteral("Für das Bankkonto %1 der Datei ist keine Bankverbindung eingerichtet. Legen Sie sie mit „dalvo bank FALL add "
                                         "--konto N --iban %1“ an.")
                              .arg(name);
                return false;
            }
            if (m_id && zu != m_id) {
                Verbindung v;
                leseVerbindung(m_db, m_id, &v);
                *fehler = QStringLiteral("Die Datei ist ein Auszug des Bankkontos %1, das Konto %2 gehört aber zum Bankkonto %3.")
                              .arg(name)
                              .arg(v.konto)
                              .arg(v.iban.isEmpty() ? v.kontonummer : v.iban);
                return false;
            }
            m_id = zu;
        }
        m_speicher.setVerbindung(m_id);
        m_umsaetze = EuroType();
        return true;
    }

    bool umsatz(const Umsatz& u, QString* fehler) override {
        ++m_gelesen;
        m_umsaetze += u.betrag;
        return m_speicher.speichern(u, fehler);
    }

    void uebersprungen(int zeile, const QString& grund) override {
        m_uebersprungen << QStringLiteral("Zeile %1: %2").arg(zeile).arg(grund);
    }

    bool auszugEnde(const Auszug& a, QString*) override {
        m_vorgemerkt += a.vorgemerkt;
        if (!a.mitSalden) return true;
        m_saldo = a.endsaldo;
        m_mitSaldo = true;
        // A balance that stood behind the entries in the file is added last.
        const QString t = abweichung(a, a.anfangssaldo + m_umsaetze);
        if (!t.isEmpty()) m_abweichungen << t;
        return true;
    }

    bool abschliessen(QString* fehler) { return m_speicher.abschliessen(m_mitSaldo ? &m_saldo : nullptr, fehler); }
    unsigned long verbindung() const { return m_id; }
    const QString& ohneVerbindung() const { return m_ohneVerbindung; }
    const Speicherergebnis& ergebnis() const { return m_speicher.ergebnis(); }
    int vorgemerkt() const { return m_vorgemerkt; }
    long gelesen() const { return m_gelesen + m_vorgemerkt + m_uebersprungen.size(); }
    const QStringList& uebersprungen() const { return m_uebersprungen; }
    const QStringList& abweichungen() const { return m_abweichungen; }

private:
    DBConnection* m_db;
    unsigned long m_konto, m_id = 0;
    bool m_kontoFehlt = false;
    QString m_ohneVerbindung;
    Speicher m_speicher;
    EuroType m_umsaetze;  // the sum of this statement's entries
    EuroType m_saldo;
    bool m_mitSaldo = false;
    int m_vorgemerkt = 0;
    long m_gelesen = 0;
    QStringList m_uebersprungen;
    QStringList m_abweichungen;
};

// What a file is when it is no statement at all: empty, or binary (a PDF,
// a spreadsheet, an archive), whatever its name says. Empty when it may be
// one.
QString keinAuszug(QIODevice* datei) {
    const QByteArray anfang = datei->peek(4096);
    if (anfang.trimmed().isEmpty() && (datei->size() <= anfang.size() || datei->isSequential()))
        return QStringLiteral("Die Datei ist leer; sie enthält keinen Kontoauszug. Bitte laden Sie den Auszug bei der Bank erneut herunter.");
    struct Kennung {
        const char* anfang;
        const char* was;
    };
    static const Kennung kennungen[] = {
        {"%PDF", "eine PDF-Datei (ein Kontoauszug zum Ansehen)"},
        {"PK\x03\x04", "ein ZIP-Archiv oder eine Excel-Datei (.xlsx)"},
        {"\xD0\xCF\x11\xE0", "eine Excel- oder Word-Datei im alten Format (.xls/.doc)"},
        {"\x1F\x8B", "ein gzip-Archiv"},
    };
    for (const Kennung& k : kennungen)
        if (anfang.startsWith(k.anfang))
            return QStringLiteral("Die Datei ist %1, kein Kontoauszug zum Einlesen. Laden Sie bei der Bank den Auszug als CAMT (XML), MT940 oder CSV "
                                  "herunter.")
                .arg(QLatin1String(k.was));
    const bool utf16 = anfang.startsWith("\xFF\xFE") || anfang.startsWith("\xFE\xFF");
    if (!utf16 && anfang.contains('\0'))
        return QStringLiteral("Die Datei enthält Binärdaten (Nullbytes) und ist keine Textdatei, also kein Kontoauszug als CAMT (XML), MT940 "
                              "oder CSV.");
    return QString();
}
}  // namespace

bool speichereUmsaetze(DBConnection* db, unsigned long verbindung, const QList<Umsatz>& liste, int jahr, const zDate& ab,
                       const EuroType* saldo, Speicherergebnis* e, QString* fehler) {
    db = rsFallDB(db);
    *e = Speicherergebnis();
    DBTransaktion t(db);
    if (!t.ok()) {
        *fehler = QStringLiteral("Die Falldatei kann nicht geschrieben werden.");
        return false;
    }
    Speicher s(db, jahr, ab);
    s.setVerbindung(verbindung);
    for (const Umsatz& u : liste)
        if (!s.speichern(u, fehler)) return false;
    if (!s.abschliessen(saldo, fehler)) return false;
    *e = s.ergebnis();
    return t.commit();
}

QString Importergebnis::zahlen() const {
    QString t = QStringLiteral("Gelesen %1: gespeichert %2, bereits vorhanden %3, außerhalb des Jahres %4, vorgemerkt %5, übersprungen %6.")
                    .arg(gelesen)
                    .arg(speicher.gespeichert)
                    .arg(speicher.doppelt)
                    .arg(speicher.ausserhalb)
                    .arg(vorgemerkt)
                    .arg(uebersprungen.size());
    for (const QString& z : uebersprungen) t += QStringLiteral("\nÜbersprungen: ") + z;
    return t;
}

Importergebnis importiere(DBConnection* db, unsigned long konto, const QByteArray& datei, const Importoptionen& o) {
    QBuffer puffer;
    puffer.setData(datei);
    puffer.open(QIODevice::ReadOnly);
    return importiere(db, konto, &puffer, o);
}

Importergebnis importiere(DBConnection* db, unsigned long konto, QIODevice* datei, const Importoptionen& o) {
    db = rsFallDB(db);
    Importergebnis r;
    const QString nichts = QStringLiteral(" Die Datei wurde nicht eingelesen; es wurde nichts gespeichert.");
    auto nein = [&](const QString& t) {
        r.meldung = t + nichts;
        return r;
    };
    const QString keiner = keinAuszug(datei);
    if (!keiner.isEmpty()) return nein(keiner);
    const Format f = o.format == Format::Automatisch ? erkenneFormat(datei->peek(4096)) : o.format;
    // Everything the file adds is stored in one transaction, as it is read.
    DBTransaktion t(db);
    if (!t.ok()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    const int jahr = steuerjahr();
    Einleser einleser(db, konto, jahr);
    QString e;
    bool gelesen = false;
    if (f == Format::Camt) {
        gelesen = leseCamt(datei, &einleser, &e);
    } else if (f == Format::Mt940) {
        gelesen = leseMt940(datei, o.zeichensatz, &einleser, &e);
    } else {
        CsvLayout l;
        gelesen = csvLayout(o.layout, o.spalten, &l, &e) && leseCsv(datei, l, o.zeichensatz, &einleser, &e);
    }
    if (!gelesen) {
        r.ohneVerbindung = einleser.ohneVerbindung();
        return nein(e);
    }
    r.verbindung = einleser.verbindung();
    // A file read before asks nothing again when it adds nothing: the
    // question was answered when its entries were stored.
    const QStringList abweichungen = einleser.ergebnis().gespeichert > 0 ? einleser.abweichungen() : QStringList();
    if (!abweichungen.isEmpty() &&
        !GetUi().frage(QStringLiteral("<p>Die Salden der Datei passen nicht zu ihren Umsätzen:</p><p>") + abweichungen.join(QStringLiteral("<br>")) +
                       QStringLiteral("</p><p>Vielleicht fehlen Umsätze in der Datei. Wollen Sie die Umsätze dennoch einlesen?</p>"))) {
        r.verneint = true;
        return nein(QStringLiteral("Die Salden der Datei passen nicht zu ihren Umsätzen: ") + abweichungen.join(QLatin1Char(' ')));
    }
    if (!einleser.abschliessen(&e)) return nein(e);
    if (!t.commit()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    r.speicher = einleser.ergebnis();
    r.vorgemerkt = einleser.vorgemerkt();
    r.gelesen = einleser.gelesen();
    r.uebersprungen = einleser.uebersprungen();
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
