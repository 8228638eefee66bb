// The master data of the invoicing: number ranges, the business's own
// data, customers, articles and payment terms.
#include "kontbaum/faktura/intern.h"

#include "host/app/options.h"
#include "host/tree/datenbase.h"
#include "kontbaum/steuer/ustid.h"

#include <QRegularExpression>

namespace Faktura {
namespace intern {

bool einfuegen(DBConnection* db, const QString& tabelle, const Zeile& z) {
    QStringList spalten, fragen;
    QVector<DatenTyp> werte;
    for (auto it = z.begin(); it != z.end(); ++it) {
        spalten << QLatin1Char('"') + it.key() + QLatin1Char('"');
        fragen << QStringLiteral("?");
        werte << it.value();
    }
    return ExecPrepared(db, QStringLiteral("INSERT INTO ") + tabelle + QStringLiteral(" (") + spalten.join(QLatin1Char(',')) +
                                QStringLiteral(") VALUES (") + fragen.join(QLatin1Char(',')) + QStringLiteral(")"),
                        werte);
}

bool aendern(DBConnection* db, const QString& tabelle, const Zeile& z, const QString& schluessel, const DatenTyp& wert) {
    QStringList teile;
    QVector<DatenTyp> werte;
    for (auto it = z.begin(); it != z.end(); ++it) {
        teile << QLatin1Char('"') + it.key() + QStringLiteral("\"=?");
        werte << it.value();
    }
    werte << wert;
    return ExecPrepared(db, QStringLiteral("UPDATE ") + tabelle + QStringLiteral(" SET ") + teile.join(QLatin1Char(',')) +
                                QStringLiteral(" WHERE ") + schluessel + QStringLiteral("=?"),
                        werte);
}

DatenTyp wert(DBConnection* db, const QString& sql, const QVector<DatenTyp>& werte) {
    const QVector<DatenTyp> z = QueryPrepared(db, sql, werte);
    return z.isEmpty() ? DatenTyp() : z.first();
}

SchluesselInfo schluesselInfo(DBConnection* db, unsigned long schluessel) {
    SchluesselInfo s;
    const QVector<DatenTyp> z = QueryPrepared(
        db, QStringLiteral("SELECT Steuersatz, Steuerart, VAKZUmsatz, IG_Erwerb, Kurzbezeichnung FROM eurSteuerschluessel WHERE Steuerschluessel=?"),
        {DatenTyp(schluessel)});
    if (z.size() != 5) return s;
    s.gibt = true;
    s.satz = z[0].toDouble();
    s.steuerart = z[1].toString().trimmed().toUpper();
    s.kennziffer = z[2].toULong();
    s.igErwerb = z[3].toBool();
    s.kurz = z[4].toString();
    return s;
}

QString pruefeErloeskonto(DBConnection* db, unsigned long konto, unsigned long schluessel) {
    if (konto == 0) return QStringLiteral("Bitte wählen Sie ein Erlöskonto.");
    const QVector<DatenTyp> k =
        QueryPrepared(db, QStringLiteral("SELECT Kategorie, Aktiv FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(konto)});
    if (k.size() != 2)
        return QStringLiteral("Das Erlöskonto %1 gibt es im Kontenplan nicht. Bitte wählen Sie ein Erlöskonto.").arg(konto);
    if (!k[1].toBool())
        return QStringLiteral("Das Erlöskonto %1 ist nicht aktiv. Bitte aktivieren Sie es oder wählen Sie ein anderes.").arg(konto);
    if (!UStId::istErloesKategorie(k[0].toULong()))
        return QStringLiteral("Das Konto %1 ist kein Erlöskonto. Bitte wählen Sie ein Erlöskonto.").arg(konto);
    if (schluessel != 0) {
        const SchluesselInfo s = schluesselInfo(db, schluessel);
        if (!s.gibt) return QStringLiteral("Den Steuerschlüssel %1 gibt es nicht. Die Schlüssel zeigt „dalvo steuerschluessel“.").arg(schluessel);
        const QString inaktiv = KontoGlobal::pruefeSteuerschluesselAktiv(db, schluessel);
        if (!inaktiv.isEmpty()) return inaktiv;
        if (s.steuerart == QLatin1String("V") || KontoGlobal::isSteuerschluesselOK(konto, schluessel, db) != 0)
            return QStringLiteral("Das gewählte Erlöskonto passt nicht zum gewählten Steuerschlüssel.");
    }
    return QString();
}

}  // namespace intern

using namespace intern;

// --- number ranges -------------------------------------------------------------

namespace {
struct Kreis {
    const char* zaehler;
    const char* format;
    const char* optionZaehler;
    const char* tabelle;
    const char* nummer;
    const char* schluessel;
    const char* vorgabe;
};
const Kreis& kreis(Nummernkreis k) {
    static const Kreis t[] = {
        {"Angebotsnummer", "Angebotsnummerformat", "RebNummerAngebote", "reAngebote", "Nummer", "ID", "AN-{JJJJ}-{NR:4}"},
        {"Auftragsnummer", "Auftragsnummerformat", "RebNummerAuftraege", "reAuftragsbestaetigungen", "Nummer", "ID", "AB-{JJJJ}-{NR:4}"},
        {"Lieferscheinnummer", "Lieferscheinnummerfomat", "RebNummerLieferscheine", "reLieferscheine", "Nummer", "ID", "LS-{JJJJ}-{NR:4}"},
        {"Rechnungsnummer", "Rechnungsnummerformat", "RebNummerRechnungen", "reRechnungen", "Nummer", "ID", "RE-{JJJJ}-{NR:4}"},
        {"Mahnungsnummer", "Mahnungsnummerformat", "RebNummerMahnungen", "reMahnungen", "Nummer", "ID", "MA-{JJJJ}-{NR:4}"},
        {"Kundennummer", "Kundennummerformat", "RebNummerKunden", "rePersonen", "Kundennummer", "PersonID", "K{NR:4}"},
        {"Artikelnummer", "Artikelnummerformat", "RebNummerArtikel", "reArtikel", "Artikelnummer", "ArtikelID", "A{NR:4}"},
    };
    return t[int(k)];
}

// The section of the older program's option store that held the counters.
const QString kOptionen = QStringLiteral("Reb");

bool verwaltungAnlegen(DBConnection* db) {
    if (wert(db, QStringLiteral("SELECT COUNT(*) FROM reVerwaltung WHERE VerwaltungID = 1")).toLongLong() > 0) return true;
    return ExecSQL(db, QStringLiteral("INSERT INTO reVerwaltung (VerwaltungID) VALUES( 1 )"));
}
}  // namespace

QString tabelle(Belegart art) {
    static const char* const t[] = {"reAngebote", "reAuftragsbestaetigungen", "reLieferscheine", "reRechnungen", "reMahnungen"};
    return QLatin1String(t[int(art)]);
}

QString positionsTabelle(Belegart art) {
    return art == Belegart::Mahnung ? QString() : tabelle(art) + QStringLiteral("Positionen");
}

QString bezeichnung(Belegart art) {
    static const char* const t[] = {"Angebot", "Auftragsbestätigung", "Lieferschein", "Rechnung", "Mahnung"};
    return QString::fromUtf8(t[int(art)]);
}

Nummernkreis nummernkreis(Belegart art) {
    static const Nummernkreis t[] = {Nummernkreis::Angebot, Nummernkreis::Auftrag, Nummernkreis::Lieferschein,
                                     Nummernkreis::Rechnung, Nummernkreis::Mahnung};
    return t[int(art)];
}

QString rs_GenerateBelegnummer(const QString& format, unsigned long nummer, const zDate& datum, QString* fehler) {
    const QString f = format.trimmed().isEmpty() ? QStringLiteral("{NR}") : format.trimmed();
    const zDate d = datum.isValid() ? datum : zDate::today();
    QString out;
    bool mitNummer = false;
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == QLatin1Char('}')) {
            if (i + 1 < f.size() && f[i + 1] == QLatin1Char('}')) {
                out += c;
                ++i;
                continue;
            }
            if (fehler) *fehler = QStringLiteral("Im Nummernformat „%1“ steht eine schließende Klammer ohne öffnende.").arg(format);
            return QString();
        }
        if (c != QLatin1Char('{')) {
            out += c;
            continue;
        }
        if (i + 1 < f.size() && f[i + 1] == QLatin1Char('{')) {
            out += c;
            ++i;
            continue;
        }
        const int ende = f.indexOf(QLatin1Char('}'), i);
        if (ende < 0) {
            if (fehler) *fehler = QStringLiteral("Im Nummernformat „%1“ fehlt eine schließende Klammer „}“.").arg(format);
            return QString();
        }
        const QString p = f.mid(i + 1, ende - i - 1).trimmed().toUpper();
        static const QRegularExpression nr(QStringLiteral("^NR(?::(\\d{1,2}))?$"));
        const QRegularExpressionMatch m = nr.match(p);
        if (m.hasMatch()) {
            out += QStringLiteral("%1").arg(nummer, m.captured(1).toInt(), 10, QLatin1Char('0'));
            mitNummer = true;
        } else if (p == QLatin1String("JJJJ")) {
            out += QString::number(d.year());
        } else if (p == QLatin1String("JJ")) {
            out += QStringLiteral("%1").arg(d.year() % 100, 2, 10, QLatin1Char('0'));
        } else if (p == QLatin1String("MM")) {
            out += QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0'));
        } else if (p == QLatin1String("TT")) {
            out += QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0'));
        } else {
            if (fehler)
                *fehler = QStringLiteral("Unbekannter Platzhalter „{%1}“ im Nummernformat. Erlaubt sind {NR}, {NR:4}, {JJJJ}, {JJ}, {MM} und {TT}.")
                              .arg(f.mid(i + 1, ende - i - 1));
            return QString();
        }
        i = ende;
    }
    // Without the running number every document would get the same text.
    if (!mitNummer) {
        if (fehler) *fehler = QStringLiteral("Das Nummernformat „%1“ enthält keine laufende Nummer {NR}.").arg(format);
        return QString();
    }
    return out;
}

QString vorgabeFormat(Nummernkreis k) { return QLatin1String(kreis(k).vorgabe); }

QString nummernformat(DBConnection* db, Nummernkreis k) {
    db = rsFallDB(db);
    const QString f = db ? wert(db, QStringLiteral("SELECT ") + QLatin1String(kreis(k).format) +
                                        QStringLiteral(" FROM reVerwaltung WHERE VerwaltungID = 1"))
                               .toString()
                               .trimmed()
                         : QString();
    return f.isEmpty() ? vorgabeFormat(k) : f;
}

unsigned long naechsteNummer(DBConnection* db, Nummernkreis k) {
    db = rsFallDB(db);
    if (!db) return 0;
    const Kreis& r = kreis(k);
    const long long zaehler =
        wert(db, QStringLiteral("SELECT ") + QLatin1String(r.zaehler) + QStringLiteral(" FROM reVerwaltung WHERE VerwaltungID = 1")).toLongLong();
    const long long maxKey =
        wert(db, QStringLiteral("SELECT MAX(") + QLatin1String(r.schluessel) + QStringLiteral(") FROM ") + QLatin1String(r.tabelle)).toLongLong();
    long long basis = zaehler;
    if (basis <= 0) {
        // The older program kept the counter in the program-wide options;
        // a case that never numbered this kind itself starts from there.
        const rsOptionsGlobal& o = rsOptionsGlobal::instance();
        basis = o.contains(kOptionen, QLatin1String(r.optionZaehler)) ? o.getInt(kOptionen, QLatin1String(r.optionZaehler), 0) : maxKey;
    }
    return (unsigned long)(qMax(basis, maxKey) + 1);
}

QString vergibNummer(DBConnection* db, Nummernkreis k, const zDate& datum, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return QString();
    const Kreis& r = kreis(k);
    const QString format = nummernformat(db, k);
    unsigned long n = naechsteNummer(db, k);
    QString text;
    // A number typed by hand may already stand where the range arrives.
    for (int versuch = 0; versuch < 10000; ++versuch, ++n) {
        text = rs_GenerateBelegnummer(format, n, datum, fehler);
        if (text.isEmpty()) return QString();
        if (wert(db, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(r.tabelle) + QStringLiteral(" WHERE ") +
                         QLatin1String(r.nummer) + QStringLiteral("=?"),
                 {DatenTyp(text)})
                .toLongLong() == 0)
            break;
    }
    if (!verwaltungAnlegen(db) ||
        !ExecPrepared(db, QStringLiteral("UPDATE reVerwaltung SET ") + QLatin1String(r.zaehler) + QStringLiteral("=? WHERE VerwaltungID = 1"),
                      {DatenTyp(n)})) {
        if (fehler) *fehler = QStringLiteral("Der Nummernkreis konnte nicht fortgeschrieben werden: %1").arg(db->getErr()->last());
        return QString();
    }
    return text;
}

namespace intern {
unsigned long letzteVergebene(DBConnection* db, Nummernkreis k, const QString& nummer, const zDate& datum) {
    db = rsFallDB(db);
    if (!db) return 0;
    const long long zaehler = wert(db, QStringLiteral("SELECT ") + QLatin1String(kreis(k).zaehler) +
                                           QStringLiteral(" FROM reVerwaltung WHERE VerwaltungID = 1"))
                                  .toLongLong();
    if (zaehler <= 0 || rs_GenerateBelegnummer(nummernformat(db, k), (unsigned long)zaehler, datum) != nummer) return 0;
    return (unsigned long)zaehler;
}

bool nummerZurueckgeben(DBConnection* db, Nummernkreis k, unsigned long zaehler) {
    db = rsFallDB(db);
    return db && zaehler > 0 &&
           ExecPrepared(db, QStringLiteral("UPDATE reVerwaltung SET ") + QLatin1String(kreis(k).zaehler) + QStringLiteral("=? WHERE VerwaltungID = 1"),
                        {DatenTyp(zaehler - 1)}) &&
           naechsteNummer(db, k) == zaehler;
}
}  // namespace intern

bool setzeNummernkreis(DBConnection* db, Nummernkreis k, const QString& format, long zaehler, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return false;
    const Kreis& r = kreis(k);
    if (!format.isNull() && rs_GenerateBelegnummer(format, 1, zDate::today(), fehler).isEmpty()) return false;
    if (zaehler >= 0 && (unsigned long)zaehler + 1 < naechsteNummer(db, k)) {
        if (fehler)
            *fehler = QStringLiteral("Der Zähler kann nicht auf %1 zurückgesetzt werden: die Nummern bis %2 sind bereits vergeben.")
                          .arg(zaehler)
                          .arg(naechsteNummer(db, k) - 1);
        return false;
    }
    DBTransaktion t(db);
    bool ok = t.ok() && verwaltungAnlegen(db);
    if (ok && !format.isNull())
        ok = ExecPrepared(db, QStringLiteral("UPDATE reVerwaltung SET ") + QLatin1String(r.format) + QStringLiteral("=? WHERE VerwaltungID = 1"),
                          {DatenTyp(format.trimmed())});
    if (ok && zaehler >= 0)
        ok = ExecPrepared(db, QStringLiteral("UPDATE reVerwaltung SET ") + QLatin1String(r.zaehler) + QStringLiteral("=? WHERE VerwaltungID = 1"),
                          {DatenTyp(zaehler)});
    return ok && t.commit();
}

// --- the business ----------------------------------------------------------------

namespace {
struct FirmaFeld {
    const char* eigenschaft;
    QString Firma::*feld;
    const char* stammVariable;  // of the master-data node, empty when none
};
const FirmaFeld kFirmaFelder[] = {
    {"FirmaName", &Firma::name, "st1_Firma"},          {"FirmaStrasse", &Firma::strasse, "st1_Strasse"},
    {"FirmaPlz", &Firma::plz, "st1_PLZ"},              {"FirmaOrt", &Firma::ort, "st1_Ort"},
    {"FirmaLand", &Firma::land, ""},                   {"FirmaSteuernummer", &Firma::steuernummer, ""},
    {"FirmaUStID", &Firma::ustid, ""},                 {"FirmaKontakt", &Firma::kontakt, ""},
    {"FirmaTelefon", &Firma::telefon, "st1_Telefon"},  {"FirmaEmail", &Firma::email, "st1_Email"},
};

QString normiert(const QString& s) { return s.simplified().remove(QLatin1Char(' ')).toUpper(); }

// ISO 13616: the account number moved behind the country, letters as
// numbers, the whole modulo 97 is 1.
bool ibanGueltig(const QString& iban) {
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    if (!form.match(iban).hasMatch()) return false;
    const QString r = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (const QChar c : r) {
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        rest = (v > 9 ? rest * 100 + v : rest * 10 + v) % 97;
    }
    return rest == 1;
}

QString pruefeUstId(const QString& id) {
    if (id.isEmpty()) return QString();
    if (id.startsWith(QLatin1String("DE"))) {
        static const QRegularExpression de(QStringLiteral("^DE[0-9]{9}$"));
        return de.match(id).hasMatch() ? QString()
                                       : QStringLiteral("Die USt-IdNr. „%1“ ist ungültig: eine deutsche Nummer ist „DE“ und 9 Ziffern.").arg(id);
    }
    return UStId::pruefen(id);
}

// The member states by their ISO 3166 country code (Greece is GR here, EL
// only in a VAT number); the United Kingdom left at the end of 2020.
bool inDerEu(const QString& land, int jahr) {
    static const QStringList eu = QStringLiteral("AT BE BG CY CZ DE DK EE ES FI FR GR HR HU IE IT LT LU LV MT NL PL PT RO SE SI SK")
                                      .split(QLatin1Char(' '));
    return eu.contains(land) || (land == QLatin1String("GB") && jahr <= 2020);
}

// The tax number of a customer outside the EU, in the form its country
// gives it (CHE-123.456.789, NO 123456789 MVA, …): letters, digits and the
// separators such numbers use. Its meaning is that country's business.
QString pruefeDrittlandNummer(const QString& id, const QString& land) {
    static const QRegularExpression form(QStringLiteral("^[A-Z0-9][A-Z0-9.\\-/]{3,29}$"));
    if (form.match(id).hasMatch()) return QString();
    return QStringLiteral("Die Steuernummer „%1“ des Kunden in %2 ist ungültig: erlaubt sind 4 bis 30 Buchstaben, Ziffern, Punkte, "
                          "Binde- und Schrägstriche.")
        .arg(id, land);
}
}  // namespace

QString pruefeLeitweg(const QString& leitweg) {
    const QString id = leitweg.trimmed().toUpper();
    if (id.isEmpty()) return QString();
    // Grobadressierung (2 to 12 digits), optional Feinadressierung (1 to 30
    // letters and digits), two check digits, joined by hyphens.
    static const QRegularExpression form(QStringLiteral("^([0-9]{2,12})(?:-([A-Z0-9]{1,30}))?-([0-9]{2})$"));
    const QRegularExpressionMatch m = form.match(id);
    if (!m.hasMatch())
        return QStringLiteral("Die Leitweg-ID „%1“ hat nicht den vorgeschriebenen Aufbau: Grobadressierung (2 bis 12 Ziffern), "
                              "optional ein Bindestrich und die Feinadressierung (bis 30 Buchstaben und Ziffern), ein Bindestrich und "
                              "zwei Prüfziffern, zum Beispiel 04011000-1234512345-06.")
            .arg(leitweg.trimmed());
    // ISO/IEC 7064 MOD 97-10 over the parts without hyphens, letters as
    // 10..35 as in an IBAN: the whole with its check digits leaves 1.
    int rest = 0;
    for (const QChar c : m.captured(1) + m.captured(2) + m.captured(3)) {
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        rest = (v > 9 ? rest * 100 + v : rest * 10 + v) % 97;
    }
    if (rest != 1)
        return QStringLiteral("Die Prüfziffern der Leitweg-ID „%1“ stimmen nicht. Bitte prüfen Sie die Leitweg-ID, die Ihnen der "
                              "öffentliche Auftraggeber genannt hat.")
            .arg(leitweg.trimmed());
    return QString();
}

Firma leseFirma(DBConnection* db) {
    db = rsFallDB(db);
    Firma f;
    if (!db) return f;
    for (const FirmaFeld& x : kFirmaFelder) {
        const QString w = KontoGlobal::getFalleigenschaft(QLatin1String(x.eigenschaft), db).trimmed();
        if (!w.isEmpty() || qstrcmp(x.eigenschaft, "FirmaLand") != 0) f.*(x.feld) = w;
    }
    const QVector<DatenTyp> b =
        QueryPrepared(db, QStringLiteral("SELECT IBAN, BIC, Bank FROM reBankverbindungen WHERE PersonID=0 ORDER BY BankverbindungID"), {});
    if (b.size() == 3) {
        f.iban = b[0].toString();
        f.bic = b[1].toString();
        f.bank = b[2].toString();
    }
    f.kleinunternehmer = !KontoGlobal::istUstPflichtig(db);
    return f;
}

bool schreibeFirma(DBConnection* db, const Firma& ein, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return false;
    Firma f = ein;
    f.ustid = normiert(f.ustid);
    f.iban = normiert(f.iban);
    f.bic = normiert(f.bic);
    f.land = normiert(f.land);
    const QString u = pruefeUstId(f.ustid);
    if (!u.isEmpty()) {
        if (fehler) *fehler = u;
        return false;
    }
    if (!f.iban.isEmpty() && !ibanGueltig(f.iban)) {
        if (fehler) *fehler = QStringLiteral("Die IBAN „%1“ ist ungültig (Prüfziffer oder Aufbau). Bitte prüfen Sie sie.").arg(ein.iban);
        return false;
    }
    if (!f.land.isEmpty() && f.land.size() != 2) {
        if (fehler) *fehler = QStringLiteral("Das Land wird als Ländercode mit zwei Buchstaben angegeben, zum Beispiel DE.");
        return false;
    }
    DBTransaktion t(db);
    if (!t.ok()) return false;
    for (const FirmaFeld& x : kFirmaFelder) KontoGlobal::setFalleigenschaft(QLatin1String(x.eigenschaft), f.*(x.feld), db);
    bool ok = ExecSQL(db, QStringLiteral("DELETE FROM reBankverbindungen WHERE PersonID=0"));
    if (ok && !f.iban.isEmpty())
        ok = einfuegen(db, QStringLiteral("reBankverbindungen"),
                       {{QStringLiteral("PersonID"), DatenTyp(0)},
                        {QStringLiteral("Kontoinhaber"), DatenTyp(f.name)},
                        {QStringLiteral("IBAN"), DatenTyp(f.iban)},
                        {QStringLiteral("BIC"), DatenTyp(f.bic)},
                        {QStringLiteral("Bank"), DatenTyp(f.bank)}});
    if (!ok || !t.commit()) {
        if (fehler) *fehler = QStringLiteral("Die Firmendaten konnten nicht gespeichert werden: %1").arg(db->getErr()->last());
        return false;
    }
    // The recapitulative statement reads the business from the master-data
    // node; a case without data tree (a library test) has none to fill.
    for (const FirmaFeld& x : kFirmaFelder)
        if (*x.stammVariable)
            DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Stamm001_[0]\\") + QLatin1String(x.stammVariable), DatenTyp(f.*(x.feld)));
    return true;
}

// --- customers --------------------------------------------------------------------

QString Person::anzeigename() const {
    if (!firma.trimmed().isEmpty()) return firma.trimmed();
    return (vorname.trimmed() + QLatin1Char(' ') + name.trimmed()).trimmed();
}

namespace {
bool hatLeitweg(DBConnection* db) { return rsColumnExists(db, QStringLiteral("rePersonen"), QStringLiteral("Leitweg")); }

Person personAus(const rsDataSource& rs) {
    Person p;
    p.personID = rs.field(QStringLiteral("PersonID")).toULong();
    p.kundennummer = rs.field(QStringLiteral("Kundennummer")).toString();
    p.art = rs.field(QStringLiteral("Art")).toInt();
    p.anrede = rs.field(QStringLiteral("Anrede")).toString();
    p.vorname = rs.field(QStringLiteral("Vorname")).toString();
    p.name = rs.field(QStringLiteral("Name")).toString();
    p.firma = rs.field(QStringLiteral("Firma")).toString();
    p.strasse = rs.field(QStringLiteral("Strasse")).toString();
    p.plz = rs.field(QStringLiteral("Plz")).toString();
    p.ort = rs.field(QStringLiteral("Ort")).toString();
    p.land = rs.field(QStringLiteral("Land")).toString();
    if (p.land.isEmpty()) p.land = QStringLiteral("DE");
    p.email = rs.field(QStringLiteral("eMail")).toString();
    p.telefon = rs.field(QStringLiteral("Tel1")).toString();
    p.ustid = rs.field(QStringLiteral("UStID")).toString();
    p.leitweg = rs.getFields()->hasField(QStringLiteral("Leitweg")) ? rs.field(QStringLiteral("Leitweg")).toString() : QString();
    p.zahlungsbedingungID = rs.field(QStringLiteral("ZahlungsbedingungID")).toULong();
    return p;
}
}  // namespace

unsigned long speicherePerson(DBConnection* db, Person p, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return 0;
    p.ustid = normiert(p.ustid);
    p.land = normiert(p.land);
    if (p.anzeigename().isEmpty()) {
        if (fehler) *fehler = QStringLiteral("Bitte geben Sie einen Namen oder eine Firma für den Kunden an.");
        return 0;
    }
    if (p.land.size() != 2) {
        if (fehler) *fehler = QStringLiteral("Das Land wird als Ländercode mit zwei Buchstaben angegeben, zum Beispiel DE.");
        return 0;
    }
    p.leitweg = p.leitweg.trimmed().toUpper();
    // A customer outside the EU has no USt-IdNr. but his country's tax number.
    const int jahr = fallJahr(zDate::today());
    const QString praefix = p.ustid.left(2);
    const bool euNummer = praefix == QLatin1String("EL") || inDerEu(praefix, jahr);
    const QString u = !inDerEu(p.land, jahr) && !euNummer && !p.ustid.isEmpty() ? pruefeDrittlandNummer(p.ustid, p.land)
                                                                                 : pruefeUstId(p.ustid);
    const QString l = pruefeLeitweg(p.leitweg);
    if (!u.isEmpty() || !l.isEmpty()) {
        if (fehler) *fehler = u.isEmpty() ? l : u;
        return 0;
    }
    if (p.zahlungsbedingungID != 0 && !leseZahlungsbedingung(db, p.zahlungsbedingungID, nullptr)) {
        if (fehler) *fehler = QStringLiteral("Die Zahlungsbedingung %1 gibt es nicht.").arg(p.zahlungsbedingungID);
        return 0;
    }
    DBTransaktion t(db);
    if (!t.ok()) return 0;
    if (p.kundennummer.trimmed().isEmpty() && p.art == 1) {
        p.kundennummer = vergibNummer(db, Nummernkreis::Kunde, zDate::today(), fehler);
        if (p.kundennummer.isEmpty()) return 0;
    }
    if (!p.kundennummer.isEmpty() &&
        wert(db, QStringLiteral("SELECT COUNT(*) FROM rePersonen WHERE Kundennummer=? AND PersonID<>?"), {DatenTyp(p.kundennummer), DatenTyp(p.personID)})
                .toLongLong() > 0) {
        if (fehler) *fehler = QStringLiteral("Die Kundennummer „%1“ ist bereits vergeben. Bitte wählen Sie eine andere.").arg(p.kundennummer);
        return 0;
    }
    // Older files of this schema lack the buyer-reference column.
    if (!hatLeitweg(db) && !ExecSQL(db, QStringLiteral("ALTER TABLE rePersonen ADD COLUMN Leitweg TEXT"))) return 0;
    Zeile z{{QStringLiteral("Kundennummer"), DatenTyp(p.kundennummer)},
            {QStringLiteral("Art"), DatenTyp(p.art)},
            {QStringLiteral("Anrede"), DatenTyp(p.anrede)},
            {QStringLiteral("Vorname"), DatenTyp(p.vorname)},
            {QStringLiteral("Name"), DatenTyp(p.name)},
            {QStringLiteral("Firma"), DatenTyp(p.firma)},
            {QStringLiteral("Kunde"), DatenTyp(p.anzeigename())},
            {QStringLiteral("IstInteressent"), DatenTyp(p.art == 1 ? 0 : 1)},
            {QStringLiteral("Strasse"), DatenTyp(p.strasse)},
            {QStringLiteral("Plz"), DatenTyp(p.plz)},
            {QStringLiteral("Ort"), DatenTyp(p.ort)},
            {QStringLiteral("Land"), DatenTyp(p.land)},
            {QStringLiteral("eMail"), DatenTyp(p.email)},
            {QStringLiteral("Tel1"), DatenTyp(p.telefon)},
            {QStringLiteral("UStID"), DatenTyp(p.ustid)},
            {QStringLiteral("Leitweg"), DatenTyp(p.leitweg)},
            {QStringLiteral("ZahlungsbedingungID"), DatenTyp(p.zahlungsbedingungID)},
            {QStringLiteral("ModDat"), DatenTyp(zDate::today())}};
    bool ok;
    if (p.personID == 0) {
        p.personID = (unsigned long)wert(db, QStringLiteral("SELECT COALESCE(MAX(PersonID),0)+1 FROM rePersonen")).toLongLong();
        z.insert(QStringLiteral("PersonID"), DatenTyp(p.personID));
        ok = einfuegen(db, QStringLiteral("rePersonen"), z);
    } else {
        ok = aendern(db, QStringLiteral("rePersonen"), z, QStringLiteral("PersonID"), DatenTyp(p.personID));
    }
    if (!ok || !t.commit()) {
        if (fehler) *fehler = QStringLiteral("Der Kunde konnte nicht gespeichert werden: %1").arg(db->getErr()->last());
        return 0;
    }
    return p.personID;
}

bool lesePerson(DBConnection* db, unsigned long personID, Person* p) {
    db = rsFallDB(db);
    if (!db || personID == 0) return false;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM rePersonen WHERE PersonID=?"), {DatenTyp(personID)});
    if (rs.isEOF()) return false;
    if (p) *p = personAus(rs);
    return true;
}

bool findePerson(DBConnection* db, const QString& nummerOderId, Person* p) {
    db = rsFallDB(db);
    if (!db) return false;
    const DatenTyp id = wert(db, QStringLiteral("SELECT PersonID FROM rePersonen WHERE Kundennummer=?"), {DatenTyp(nummerOderId.trimmed())});
    if (!id.isNull()) return lesePerson(db, id.toULong(), p);
    bool zahl = false;
    const unsigned long n = nummerOderId.trimmed().toULong(&zahl);
    return zahl && lesePerson(db, n, p);
}

QList<Person> personen(DBConnection* db) {
    QList<Person> l;
    db = rsFallDB(db);
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM rePersonen WHERE PersonID<>0 ORDER BY PersonID"));
    for (; !rs.isEOF(); rs.fetch()) l << personAus(rs);
    return l;
}

// --- payment terms ------------------------------------------------------------------

unsigned long speichereZahlungsbedingung(DBConnection* db, const Zahlungsbedingung& z, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return 0;
    if (z.tage < 0 || z.skontotage1 < 0 || z.skonto1 < 0 || z.skonto1 >= 100) {
        if (fehler) *fehler = QStringLiteral("Zahlungsziel und Skontotage dürfen nicht negativ sein, der Skontosatz liegt zwischen 0 und 100 %.");
        return 0;
    }
    DBTransaktion t(db);
    const unsigned long id = z.id ? z.id : (unsigned long)wert(db, QStringLiteral("SELECT COALESCE(MAX(ZahlungsbedingungID),0)+1 FROM reZahlungsbedingungen")).toLongLong();
    Zeile zeile{{QStringLiteral("Bezeichnung"), DatenTyp(z.bezeichnung)},
                {QStringLiteral("Zahlungsziel"), DatenTyp(z.tage)},
                {QStringLiteral("Skonto1"), DatenTyp(z.skonto1)},
                {QStringLiteral("Skontotage1"), DatenTyp(z.skontotage1)}};
    bool ok = t.ok();
    if (ok && z.id && leseZahlungsbedingung(db, z.id, nullptr)) {
        ok = aendern(db, QStringLiteral("reZahlungsbedingungen"), zeile, QStringLiteral("ZahlungsbedingungID"), DatenTyp(id));
    } else if (ok) {
        zeile.insert(QStringLiteral("ZahlungsbedingungID"), DatenTyp(id));
        ok = einfuegen(db, QStringLiteral("reZahlungsbedingungen"), zeile);
    }
    if (!ok || !t.commit()) {
        if (fehler) *fehler = QStringLiteral("Die Zahlungsbedingung konnte nicht gespeichert werden.");
        return 0;
    }
    return id;
}

bool leseZahlungsbedingung(DBConnection* db, unsigned long id, Zahlungsbedingung* z) {
    db = rsFallDB(db);
    if (!db || id == 0) return false;
    const QVector<DatenTyp> r = QueryPrepared(
        db, QStringLiteral("SELECT Bezeichnung, Zahlungsziel, Skonto1, Skontotage1 FROM reZahlungsbedingungen WHERE ZahlungsbedingungID=?"),
        {DatenTyp(id)});
    if (r.size() != 4) return false;
    if (z) *z = {id, r[0].toString(), r[1].toInt(), r[2].toDouble(), r[3].toInt()};
    return true;
}

// --- articles -------------------------------------------------------------------------

namespace {
Artikel artikelAus(DBConnection* db, const rsDataSource& rs) {
    Artikel a;
    a.artikelID = rs.field(QStringLiteral("ArtikelID")).toULong();
    a.artikelnummer = rs.field(QStringLiteral("Artikelnummer")).toString();
    a.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
    a.beschreibung = rs.field(QStringLiteral("Beschreibung")).toString();
    a.einheit = rs.field(QStringLiteral("Einheit")).toString();
    a.preis = rs.field(QStringLiteral("Normalpreis")).toEuro();
    a.bruttopreis = rs.field(QStringLiteral("Bruttonormalpreis")).toEuro();
    a.brutto = rs.field(QStringLiteral("Brutto")).toBool();
    a.steuerschluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong();
    a.konto = rs.field(QStringLiteral("Konto")).toULong();
    a.gewicht = rs.field(QStringLiteral("Gewicht")).toDouble();
    a.rabatt = wert(db, QStringLiteral("SELECT Rabatt FROM reRabatt WHERE ArtikelID=? ORDER BY abMenge LIMIT 1"), {DatenTyp(a.artikelID)}).toDouble();
    return a;
}
}  // namespace

unsigned long speichereArtikel(DBConnection* db, Artikel a, QString* fehler) {
    db = rsFallDB(db);
    if (!db) return 0;
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return 0UL;
    };
    if (a.bezeichnung.trimmed().isEmpty()) return nein(QStringLiteral("Bitte geben Sie eine Bezeichnung für den Artikel an."));
    if (a.rabatt < 0 || a.rabatt > 100) return nein(QStringLiteral("Der Rabatt liegt zwischen 0 und 100 %."));
    const QString k = pruefeErloeskonto(db, a.konto, a.steuerschluessel);
    if (!k.isEmpty()) return nein(k);
    // The price not entered follows from the one entered by the key's rate.
    const KontoGlobal::ssDaten s =
        KontoGlobal::calcSteuerschluessel(db, a.steuerschluessel, a.brutto ? a.bruttopreis : a.preis, !a.brutto);
    if (a.brutto)
        a.preis = s.netto;
    else
        a.bruttopreis = s.netto + s.steuer;
    // Both prices are amounts a position may carry.
    if (!a.preis.imRahmen() || !a.bruttopreis.imRahmen())
        return nein(QStringLiteral("Der %1 des Artikels übersteigt den Höchstbetrag von %2 €.")
                        .arg(a.preis.imRahmen() ? QStringLiteral("Bruttopreis") : QStringLiteral("Nettopreis"), EuroType::hoechstbetragText()));
    DBTransaktion t(db);
    if (!t.ok()) return 0;
    if (a.artikelnummer.trimmed().isEmpty()) {
        a.artikelnummer = vergibNummer(db, Nummernkreis::Artikel, zDate::today(), fehler);
        if (a.artikelnummer.isEmpty()) return 0;
    }
    if (wert(db, QStringLiteral("SELECT COUNT(*) FROM reArtikel WHERE Artikelnummer=? AND ArtikelID<>?"), {DatenTyp(a.artikelnummer), DatenTyp(a.artikelID)})
            .toLongLong() > 0)
        return nein(QStringLiteral("Die Artikelnummer „%1“ ist bereits vergeben. Bitte wählen Sie eine andere.").arg(a.artikelnummer));
    Zeile z{{QStringLiteral("Artikelnummer"), DatenTyp(a.artikelnummer)},
            {QStringLiteral("Bezeichnung"), DatenTyp(a.bezeichnung)},
            {QStringLiteral("Beschreibung"), DatenTyp(a.beschreibung)},
            {QStringLiteral("Einheit"), DatenTyp(a.einheit)},
            {QStringLiteral("DefaultMenge"), DatenTyp(1.0)},
            {QStringLiteral("Normalpreis"), DatenTyp(a.preis)},
            {QStringLiteral("Bruttonormalpreis"), DatenTyp(a.bruttopreis)},
            {QStringLiteral("Brutto"), DatenTyp(a.brutto ? 1 : 0)},
            {QStringLiteral("BruttoNettoGetrennt"), DatenTyp(0)},
            {QStringLiteral("Steuerschluessel"), DatenTyp(a.steuerschluessel)},
            {QStringLiteral("Konto"), DatenTyp(a.konto)},
            {QStringLiteral("Gewicht"), DatenTyp(a.gewicht)}};
    bool ok;
    if (a.artikelID == 0) {
        a.artikelID = (unsigned long)wert(db, QStringLiteral("SELECT COALESCE(MAX(ArtikelID),0)+1 FROM reArtikel")).toLongLong();
        z.insert(QStringLiteral("ArtikelID"), DatenTyp(a.artikelID));
        ok = einfuegen(db, QStringLiteral("reArtikel"), z);
    } else {
        ok = aendern(db, QStringLiteral("reArtikel"), z, QStringLiteral("ArtikelID"), DatenTyp(a.artikelID));
    }
    ok = ok && ExecPrepared(db, QStringLiteral("DELETE FROM reRabatt WHERE ArtikelID=?"), {DatenTyp(a.artikelID)});
    if (ok && a.rabatt > 0)
        ok = einfuegen(db, QStringLiteral("reRabatt"),
                       {{QStringLiteral("ArtikelID"), DatenTyp(a.artikelID)},
                        {QStringLiteral("Bezeichnung"), DatenTyp(QStringLiteral("Rabatt"))},
                        {QStringLiteral("abMenge"), DatenTyp(0.0)},
                        {QStringLiteral("Rabatt"), DatenTyp(a.rabatt)}});
    if (!ok || !t.commit()) return nein(QStringLiteral("Der Artikel konnte nicht gespeichert werden: %1").arg(db->getErr()->last()));
    return a.artikelID;
}

bool leseArtikel(DBConnection* db, unsigned long artikelID, Artikel* a) {
    db = rsFallDB(db);
    if (!db || artikelID == 0) return false;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM reArtikel WHERE ArtikelID=") + rsDataSource::toSqlStr(artikelID));
    if (rs.isEOF()) return false;
    if (a) *a = artikelAus(db, rs);
    return true;
}

bool findeArtikel(DBConnection* db, const QString& nummerOderId, Artikel* a) {
    db = rsFallDB(db);
    if (!db) return false;
    const DatenTyp id = wert(db, QStringLiteral("SELECT ArtikelID FROM reArtikel WHERE Artikelnummer=?"), {DatenTyp(nummerOderId.trimmed())});
    if (!id.isNull()) return leseArtikel(db, id.toULong(), a);
    bool zahl = false;
    const unsigned long n = nummerOderId.trimmed().toULong(&zahl);
    return zahl && leseArtikel(db, n, a);
}

QList<Artikel> artikelListe(DBConnection* db) {
    QList<Artikel> l;
    db = rsFallDB(db);
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM reArtikel WHERE ArtikelID<>0 ORDER BY ArtikelID"));
    for (; !rs.isEOF(); rs.fetch()) l << artikelAus(db, rs);
    return l;
}

}  // namespace Faktura
