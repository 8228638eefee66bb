// The DATEV booking batch and customer file of a tax year.
//
// One data line per pair of the money line (dialog line 1) and one counter
// line of a booking: the gross amount of the counter line (its net amount
// plus the tax lines DATEV will derive from it), Konto the money account,
// Gegenkonto the counter account, the key where the counter account does not
// fix it. DATEV recomputes the tax from the gross amount; where that would
// miss our booked tax by a cent (a tax shared out over split parts), a
// second line moves the cent between the counter account and the tax
// account, so that every account ends with the balance of our ledger.
#include "kontbaum/austausch/datev.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QBuffer>
#include <QHash>
#include <QIODevice>
#include <QTextCodec>

#include <map>
#include <memory>
#include <vector>

const char* const Datev::kBeraterEigenschaft = "DatevBeraternummer";
const char* const Datev::kMandantEigenschaft = "DatevMandantennummer";

namespace {

// The column headings as DATEV's format description spells them (format
// version 13, 125 columns), joined as they stand in line 2 of the file.
const char kSpaltenStapel[] =
    "Umsatz (ohne Soll/Haben-Kz);Soll/Haben-Kennzeichen;WKZ Umsatz;Kurs;Basis-Umsatz;WKZ Basis-Umsatz;Konto;"
    "Gegenkonto (ohne BU-Schlüssel);BU-Schlüssel;Belegdatum;Belegfeld 1;Belegfeld 2;Skonto;Buchungstext;Postensperre;"
    "Diverse Adressnummer;Geschäftspartnerbank;Sachverhalt;Zinssperre;Beleglink;Beleginfo - Art 1;Beleginfo - Inhalt 1;"
    "Beleginfo - Art 2;Beleginfo - Inhalt 2;Beleginfo - Art 3;Beleginfo - Inhalt 3;Beleginfo - Art 4;Beleginfo - Inhalt 4;"
    "Beleginfo - Art 5;Beleginfo - Inhalt 5;Beleginfo - Art 6;Beleginfo - Inhalt 6;Beleginfo - Art 7;Beleginfo - Inhalt 7;"
    "Beleginfo - Art 8;Beleginfo - Inhalt 8;KOST1 - Kostenstelle;KOST2 - Kostenstelle;Kost-Menge;EU-Land u. UStID (Bestimmung);"
    "EU-Steuersatz (Bestimmung);Abw. Versteuerungsart;Sachverhalt L+L;Funktionsergänzung L+L;BU 49 Hauptfunktionstyp;"
    "BU 49 Hauptfunktionsnummer;BU 49 Funktionsergänzung;Zusatzinformation - Art 1;Zusatzinformation- Inhalt 1;"
    "Zusatzinformation - Art 2;Zusatzinformation- Inhalt 2;Zusatzinformation - Art 3;Zusatzinformation- Inhalt 3;"
    "Zusatzinformation - Art 4;Zusatzinformation- Inhalt 4;Zusatzinformation - Art 5;Zusatzinformation- Inhalt 5;"
    "Zusatzinformation - Art 6;Zusatzinformation- Inhalt 6;Zusatzinformation - Art 7;Zusatzinformation- Inhalt 7;"
    "Zusatzinformation - Art 8;Zusatzinformation- Inhalt 8;Zusatzinformation - Art 9;Zusatzinformation- Inhalt 9;"
    "Zusatzinformation - Art 10;Zusatzinformation- Inhalt 10;Zusatzinformation - Art 11;Zusatzinformation- Inhalt 11;"
    "Zusatzinformation - Art 12;Zusatzinformation- Inhalt 12;Zusatzinformation - Art 13;Zusatzinformation- Inhalt 13;"
    "Zusatzinformation - Art 14;Zusatzinformation- Inhalt 14;Zusatzinformation - Art 15;Zusatzinformation- Inhalt 15;"
    "Zusatzinformation - Art 16;Zusatzinformation- Inhalt 16;Zusatzinformation - Art 17;Zusatzinformation- Inhalt 17;"
    "Zusatzinformation - Art 18;Zusatzinformation- Inhalt 18;Zusatzinformation - Art 19;Zusatzinformation- Inhalt 19;"
    "Zusatzinformation - Art 20;Zusatzinformation- Inhalt 20;Stück;Gewicht;Zahlweise;Forderungsart;Veranlagungsjahr;"
    "Zugeordnete Fälligkeit;Skontotyp;Auftragsnummer;Buchungstyp;USt-Schlüssel (Anzahlungen);EU-Land (Anzahlungen);"
    "Sachverhalt L+L (Anzahlungen);EU-Steuersatz (Anzahlungen);Erlöskonto (Anzahlungen);Herkunft-Kz;Buchungs GUID;KOST-Datum;"
    "SEPA-Mandatsreferenz;Skontosperre;Gesellschaftername;Beteiligtennummer;Identifikationsnummer;Zeichnernummer;"
    "Postensperre bis;Bezeichnung SoBil-Sachverhalt;Kennzeichen SoBil-Buchung;Festschreibung;Leistungsdatum;"
    "Datum Zuord. Steuerperiode;Fälligkeit;Generalumkehr (GU);Steuersatz;Land;Abrechnungsreferenz;BVV-Position;"
    "EU-Land u. UStID (Ursprung);EU-Steuersatz (Ursprung);Abw. Skontokonto";

// The Debitoren/Kreditoren headings (format version 5, 254 columns).
const char kSpaltenPersonen[] =
    "Konto;Name (Adressatentyp Unternehmen);Unternehmensgegenstand;Name (Adressatentyp natürl. Person);"
    "Vorname (Adressatentyp natürl. Person);Name (Adressatentyp keine Angabe);Adressatentyp;Kurzbezeichnung;EU-Mitgliedstaat;"
    "EU-USt-IdNr.;Anrede;Titel/Akad.Grad;Adelstitel;Namensvorsatz;Adressart;Straße;Postfach;Postleitzahl;Ort;Land;"
    "Versandzusatz;Adresszusatz;Abweichende Anrede;Abw. Zustellbezeichnung 1;Abw. Zustellbezeichnung 2;"
    "Kennz. Korrespondenzadresse;Adresse Gültig von;Adresse Gültig bis;Telefon;Bemerkung (Telefon);Telefon Geschäftsleitung;"
    "Bemerkung (Telefon GL);E-Mail;Bemerkung (E-Mail);Internet;Bemerkung (Internet);Fax;Bemerkung (Fax);Sonstige;"
    "Bemerkung (Sonstige);"
    "Bankleitzahl 1;Bankbezeichnung 1;Bank-Kontonummer 1;Länderkennzeichen 1;IBAN-Nr. 1;Leerfeld;SWIFT-Code 1;"
    "Abw. Kontoinhaber 1;Kennz. Hauptbankverb. 1;Bankverbindung 1 Gültig von;Bankverbindung 1 Gültig bis;"
    "Bankleitzahl 2;Bankbezeichnung 2;Bank-Kontonummer 2;Länderkennzeichen 2;IBAN-Nr. 2;Leerfeld;SWIFT-Code 2;"
    "Abw. Kontoinhaber 2;Kennz. Hauptbankverb. 2;Bankverbindung 2 Gültig von;Bankverbindung 2 Gültig bis;"
    "Bankleitzahl 3;Bankbezeichnung 3;Bank-Kontonummer 3;Länderkennzeichen 3;IBAN-Nr. 3;Leerfeld;SWIFT-Code 3;"
    "Abw. Kontoinhaber 3;Kennz. Hauptbankverb. 3;Bankverbindung 3 Gültig von;Bankverbindung 3 Gültig bis;"
    "Bankleitzahl 4;Bankbezeichnung 4;Bank-Kontonummer 4;Länderkennzeichen 4;IBAN-Nr. 4;Leerfeld;SWIFT-Code 4;"
    "Abw. Kontoinhaber 4;Kennz. Hauptbankverb. 4;Bankverbindung 4 Gültig von;Bankverbindung 4 Gültig bis;"
    "Bankleitzahl 5;Bankbezeichnung 5;Bank-Kontonummer 5;Länderkennzeichen 5;IBAN-Nr. 5;Leerfeld;SWIFT-Code 5;"
    "Abw. Kontoinhaber 5;Kennz. Hauptbankverb. 5;Bankverbindung 5 Gültig von;Bankverbindung 5 Gültig bis;"
    "Leerfeld;Briefanrede;Grußformel;Kundennummer;Steuernummer;Sprache;Ansprechpartner;Vertreter;Sachbearbeiter;"
    "Diverse-Konto;Ausgabeziel;Währungssteuerung;Kreditlimit (Debitor);Zahlungsbedingung;Fälligkeit in Tagen (Debitor);"
    "Skonto in Prozent (Debitor);Kreditoren-Ziel 1 (Tage);Kreditoren-Skonto 1 (%);Kreditoren-Ziel 2 (Tage);"
    "Kreditoren-Skonto 2 (%);Kreditoren-Ziel 3 Brutto (Tage);Kreditoren-Ziel 4 (Tage);Kreditoren-Skonto 4 (%);"
    "Kreditoren-Ziel 5 (Tage);Kreditoren-Skonto 5 (%);Mahnung;Kontoauszug;Mahntext 1;Mahntext 2;Mahntext 3;"
    "Kontoauszugstext;Mahnlimit Betrag;Mahnlimit %;Zinsberechnung;Mahnzinssatz 1;Mahnzinssatz 2;Mahnzinssatz 3;"
    "Lastschrift;Leerfeld;Mandantenbank;Zahlungsträger;Indiv. Feld 1;Indiv. Feld 2;Indiv. Feld 3;Indiv. Feld 4;"
    "Indiv. Feld 5;Indiv. Feld 6;Indiv. Feld 7;Indiv. Feld 8;Indiv. Feld 9;Indiv. Feld 10;Indiv. Feld 11;Indiv. Feld 12;"
    "Indiv. Feld 13;Indiv. Feld 14;Indiv. Feld 15;Abweichende Anrede (Rechnungsadresse);Adressart (Rechnungsadresse);"
    "Straße (Rechnungsadresse);Postfach (Rechnungsadresse);Postleitzahl (Rechnungsadresse);Ort (Rechnungsadresse);"
    "Land (Rechnungsadresse);Versandzusatz (Rechnungsadresse);Adresszusatz (Rechnungsadresse);"
    "Abw. Zustellbezeichnung 1 (Rechnungsadresse);Abw. Zustellbezeichnung 2 (Rechnungsadresse);"
    "Adresse Gültig von (Rechnungsadresse);Adresse Gültig bis (Rechnungsadresse);"
    "Bankleitzahl 6;Bankbezeichnung 6;Bank-Kontonummer 6;Länderkennzeichen 6;IBAN-Nr. 6;Leerfeld;SWIFT-Code 6;"
    "Abw. Kontoinhaber 6;Kennz. Hauptbankverb. 6;Bankverbindung 6 Gültig von;Bankverbindung 6 Gültig bis;"
    "Bankleitzahl 7;Bankbezeichnung 7;Bank-Kontonummer 7;Länderkennzeichen 7;IBAN-Nr. 7;Leerfeld;SWIFT-Code 7;"
    "Abw. Kontoinhaber 7;Kennz. Hauptbankverb. 7;Bankverbindung 7 Gültig von;Bankverbindung 7 Gültig bis;"
    "Bankleitzahl 8;Bankbezeichnung 8;Bank-Kontonummer 8;Länderkennzeichen 8;IBAN-Nr. 8;Leerfeld;SWIFT-Code 8;"
    "Abw. Kontoinhaber 8;Kennz. Hauptbankverb. 8;Bankverbindung 8 Gültig von;Bankverbindung 8 Gültig bis;"
    "Bankleitzahl 9;Bankbezeichnung 9;Bank-Kontonummer 9;Länderkennzeichen 9;IBAN-Nr. 9;Leerfeld;SWIFT-Code 9;"
    "Abw. Kontoinhaber 9;Kennz. Hauptbankverb. 9;Bankverbindung 9 Gültig von;Bankverbindung 9 Gültig bis;"
    "Bankleitzahl 10;Bankbezeichnung 10;Bank-Kontonummer 10;Länderkennzeichen 10;IBAN-Nr. 10;Leerfeld;SWIFT-Code 10;"
    "Abw. Kontoinhaber 10;Kennz. Hauptbankverb. 10;Bankverbindung 10 Gültig von;Bankverbindung 10 Gültig bis;"
    "Nummer Fremdsystem;Insolvent;SEPA-Mandatsreferenz 1;SEPA-Mandatsreferenz 2;SEPA-Mandatsreferenz 3;"
    "SEPA-Mandatsreferenz 4;SEPA-Mandatsreferenz 5;SEPA-Mandatsreferenz 6;SEPA-Mandatsreferenz 7;SEPA-Mandatsreferenz 8;"
    "SEPA-Mandatsreferenz 9;SEPA-Mandatsreferenz 10;Verknüpftes OPOS-Konto;Mahnsperre bis;Lastschriftsperre bis;"
    "Zahlungssperre bis;Gebührenberechnung;Mahngebühr 1;Mahngebühr 2;Mahngebühr 3;Pauschalenberechnung;"
    "Verzugspauschale 1;Verzugspauschale 2;Verzugspauschale 3;Alternativer Suchname;Status;"
    "Anschrift manuell geändert (Korrespondenzadresse);Anschrift individuell (Korrespondenzadresse);"
    "Anschrift manuell geändert (Rechnungsadresse);Anschrift individuell (Rechnungsadresse);Fristberechnung bei Debitor;"
    "Mahnfrist 1;Mahnfrist 2;Mahnfrist 3;Letzte Frist";

// The origin of the data (header field 8, two characters) and the program
// that exported it (field 9).
const char kHerkunft[] = "DV";
const char kExportiertVon[] = "dalvo";

int spalte(const QStringList& spalten, const char* name) {
    const int i = spalten.indexOf(QString::fromUtf8(name));
    Q_ASSERT(i >= 0);
    return i;
}

// A text field: in double quotes, inner quotes doubled. Line breaks would
// end the record for DATEV's reader, so they become spaces.
QString textfeld(QString t) {
    t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// The amount with decimal comma and no thousands separator, always positive.
QString betragfeld(const EuroType& e) {
    const qint64 c = e.cent() < 0 ? -e.cent() : e.cent();
    return QStringLiteral("%1,%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
}

QString datum8(const zDate& d) { return QString::asprintf("%04d%02d%02d", d.year(), d.month(), d.day()); }

struct Konto {
    bool fest = false;  // the key is fixed: an automatic account in DATEV
    unsigned long schluessel = 0;
};
struct Schluessel {
    double satz = 0;
    bool beidseitig = false;  // IG_Erwerb: two tax lines on opposite sides
    QString name;
};

struct Zeile {
    long long id;
    int steuerID, dialogzeile;
    EuroType betrag;
    bool haben;
    unsigned long konto, schluessel;
    QString text;
};

struct Kopf {
    unsigned long nr = 0;
    zDate belegdatum;
    QString beleg, text, ustid;
    bool storno = false;  // a cancellation, or a booking cancelled by one
};

// Text for a Windows-1252 file: characters the code page lacks are
// replaced by '?' and counted, so the export can say so.
class Kodierer {
public:
    Kodierer() : m_codec(QTextCodec::codecForName("Windows-1252")), m_encoder(m_codec->makeEncoder()) {}
    QString passend(const QString& t) {
        QString r;
        r.reserve(t.size());
        for (const QChar c : t) {
            if (darstellbar(c)) {
                r += c;
            } else {
                r += QLatin1Char('?');
                ++ersetzt;
            }
        }
        return r;
    }
    // One encoder for the whole file: the codec opens a converter for every
    // call without one, which cost more than everything else per line.
    QByteArray bytes(const QString& t) { return m_encoder->fromUnicode(t); }
    long ersetzt = 0;

private:
    // ASCII and U+00A0 to U+00FF have the same code in Windows-1252; only
    // the rest is asked of the codec.
    bool darstellbar(QChar c) const {
        const ushort u = c.unicode();
        return u < 0x80 || (u >= 0xA0 && u <= 0xFF) || m_codec->canEncode(c);
    }

    QTextCodec* m_codec;
    std::unique_ptr<QTextEncoder> m_encoder;
};

// Belegfeld 1: up to 36 characters of letters, digits and $ % & * + - /.
QString belegfeld(const QString& beleg, long* geaendert) {
    const QString b = beleg.trimmed();
    QString r;
    r.reserve(b.size());
    for (int i = 0; i < b.size(); ++i) {
        const ushort u = b[i].unicode();
        const bool erlaubt = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '$' || u == '%' || u == '&' ||
                             u == '*' || u == '+' || u == '-' || u == '/';
        r += erlaubt ? b[i] : QLatin1Char('-');
        // A character outside the BMP is one character, not two.
        if (b[i].isHighSurrogate() && i + 1 < b.size() && b[i + 1].isLowSurrogate()) ++i;
    }
    if (r.size() > 36) r.truncate(36);
    if (r != b) ++*geaendert;
    return r;
}

bool leseTabellen(DBConnection* db, QHash<unsigned long, Konto>* konten, QHash<unsigned long, Schluessel>* schluessel,
                  QHash<unsigned long, QString>* datev) {
    {
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, Steuerautomatik, Steuerschluessel FROM eurKontenplan"));
        if (rs.isError()) return false;
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            konten->insert(f.getField(0).toULong(), {f.getField(1).toInt() == 1, f.getField(2).toULong()});
        }
    }
    {
        rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel, Steuersatz, IG_Erwerb, Bezeichnung FROM eurSteuerschluessel"));
        if (rs.isError()) return false;
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            schluessel->insert(f.getField(0).toULong(), {f.getField(1).toDouble(), f.getField(2).toBool(), f.getField(3).toString()});
        }
    }
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!ref) return false;
    rsDataSource rs(ref, QStringLiteral("SELECT Steuerschluessel, DatevSchluessel FROM DatevSteuerschluessel"));
    if (rs.isError()) return false;
    for (; !rs.isEOF(); rs.fetch()) datev->insert(rs.getFields()->getField(0).toULong(), rs.getFields()->getField(1).toString());
    return true;
}

QString kopfzeile(const Datev::Angaben& a, int kategorie, const char* formatname, int formatversion, int jahr, const zDate& von,
                  const zDate& bis, const QString& bezeichnung, bool festgeschrieben, const QString& rahmen, bool stapel) {
    QStringList f;
    f << textfeld(QStringLiteral("EXTF")) << QStringLiteral("700") << QString::number(kategorie)
      << textfeld(QString::fromUtf8(formatname)) << QString::number(formatversion)
      << a.erzeugt.toString(QStringLiteral("yyyyMMddHHmmsszzz")) << QString() << textfeld(QLatin1String(kHerkunft))
      << textfeld(QLatin1String(kExportiertVon)) << QString() << QString::number(a.berater) << QString::number(a.mandant)
      << QString::asprintf("%04d0101", jahr) << QString::number(a.sachkontenlaenge);
    if (stapel) {
        f << datum8(von) << datum8(bis) << textfeld(bezeichnung) << textfeld(QString()) << QStringLiteral("1") << QStringLiteral("0")
          << (festgeschrieben ? QStringLiteral("1") : QStringLiteral("0")) << textfeld(QStringLiteral("EUR"));
    } else {
        f << QString() << QString() << textfeld(bezeichnung) << textfeld(QString()) << QString() << QString() << QString() << QString();
    }
    // 23 to 31: reserved, derivative flag, reserved, reserved, chart,
    // industry solution, reserved, reserved, application information.
    f << QString() << QString() << QString() << QString() << (rahmen.isEmpty() ? QString() : textfeld(rahmen)) << QString() << QString()
      << QString() << QString();
    return f.join(QLatin1Char(';'));
}

}  // namespace

const QStringList& Datev::spaltenBuchungsstapel() {
    static const QStringList s = QString::fromUtf8(kSpaltenStapel).split(QLatin1Char(';'));
    return s;
}

const QStringList& Datev::spaltenPersonen() {
    static const QStringList s = QString::fromUtf8(kSpaltenPersonen).split(QLatin1Char(';'));
    return s;
}

EuroType Datev::steuerWieDatev(const EuroType& betrag, double satz, bool beidseitig) {
    const qint64 m = EuroType::millionstel(satz);
    return beidseitig ? betrag.anteil(m, EuroType::kHundert) : betrag.anteil(m, EuroType::kHundert + m);
}

Datev::Ergebnis Datev::erzeugen(const Angaben& a) {
    QBuffer puffer;
    puffer.open(QIODevice::ReadWrite);
    Ergebnis e = erzeugen(a, &puffer);
    if (e.ok) e.stapel = puffer.data();
    return e;
}

Datev::Ergebnis Datev::erzeugen(const Angaben& ein, QIODevice* ziel) {
    Ergebnis e;
    Angaben a = ein;
    DBConnection* db = rsFallDB();
    if (!db) {
        e.fehler = QStringLiteral("Es ist kein Fall geöffnet.");
        return e;
    }
    const int jahr = KontoGlobal::getFalleigenschaft(QStringLiteral("Steuerjahr"), db).toInt();
    const zDate anfang(jahr, 1, 1), ende(jahr, 12, 31);
    const zDate von = a.von.isValid() ? a.von : anfang;
    const zDate bis = a.bis.isValid() ? a.bis : ende;
    // The year is only in the header; a batch over two years would date
    // the bookings of one of them wrongly.
    if (von < anfang || ende < bis || bis < von) {
        e.fehler = QStringLiteral("Der Zeitraum %1 bis %2 liegt nicht im Steuerjahr %3 des Falls; ein DATEV-Buchungsstapel umfasst "
                                  "höchstens ein Wirtschaftsjahr.")
                       .arg(von.getText(), bis.getText())
                       .arg(jahr);
        return e;
    }
    if (a.berater == 0) a.berater = KontoGlobal::getFalleigenschaft(QLatin1String(kBeraterEigenschaft), db).toLong();
    if (a.mandant == 0) a.mandant = KontoGlobal::getFalleigenschaft(QLatin1String(kMandantEigenschaft), db).toLong();
    if (a.berater < 1001 || a.berater > 9999999) {
        e.fehler = QStringLiteral("Die Beraternummer fehlt oder liegt nicht zwischen 1001 und 9999999. Geben Sie sie mit --berater an "
                                  "oder speichern Sie sie mit „dalvo einstellungen FALL --datev-berater N“.");
        return e;
    }
    if (a.mandant < 1 || a.mandant > 99999) {
        e.fehler = QStringLiteral("Die Mandantennummer fehlt oder liegt nicht zwischen 1 und 99999. Geben Sie sie mit --mandant an "
                                  "oder speichern Sie sie mit „dalvo einstellungen FALL --datev-mandant N“.");
        return e;
    }
    if (a.sachkontenlaenge < 4 || a.sachkontenlaenge > 8) {
        e.fehler = QStringLiteral("Die Sachkontenlänge muss zwischen 4 und 8 liegen.");
        return e;
    }
    QHash<unsigned long, Konto> konten;
    QHash<unsigned long, Schluessel> schluessel;
    QHash<unsigned long, QString> datev;
    if (!leseTabellen(db, &konten, &schluessel, &datev)) {
        e.fehler = QStringLiteral("Kontenplan, Steuerschlüssel oder die Zuordnung der DATEV-Schlüssel konnten nicht gelesen werden.");
        return e;
    }
    const QString rahmenName = KontoGlobal::getFalleigenschaft(QStringLiteral("Kontenplan"), db).trimmed().toUpper();
    const QString rahmen = (rahmenName == QLatin1String("SKR03") || rahmenName == QLatin1String("EKR03")) ? QStringLiteral("03")
                           : rahmenName == QLatin1String("SKR04")                                       ? QStringLiteral("04")
                                                                                                         : QString();
    const zDate festBis = KontoGlobal::getFestgeschriebenBis();

    const QStringList& spalten = spaltenBuchungsstapel();
    const int iUstid = spalte(spalten, "EU-Land u. UStID (Bestimmung)"), iFest = spalte(spalten, "Festschreibung"),
              iGu = spalte(spalten, "Generalumkehr (GU)");
    const qint64 hoechstesKonto = [&] {
        qint64 g = 1;
        for (int i = 0; i < a.sachkontenlaenge; ++i) g *= 10;
        return g - 1;
    }();

    Kodierer kod;
    long belegGeaendert = 0, textGekuerzt = 0;
    // The lines of the booking at hand: a booking left out takes its lines
    // back, so they reach the file only when the booking is complete.
    QStringList zeilen, ausgelassen;
    bool alleFest = true;
    const QString crlf = QStringLiteral("\r\n");
    bool schreibfehler = false;
    auto schreibe = [&](const QString& text) {
        const QByteArray b = kod.bytes(text);
        if (!schreibfehler && ziel->write(b) != b.size()) schreibfehler = true;
    };

    auto fehlerBuchung = [&](unsigned long nr, const QString& grund) {
        e.fehler = QStringLiteral("Buchung Nr. %1: %2 Es wurde keine Datei geschrieben.").arg(nr).arg(grund);
        return false;
    };
    // Our charts number ledger accounts with four digits; a longer ledger
    // length in DATEV extends them by trailing zeros (1200 becomes 12000).
    const qint64 erweiterung = (hoechstesKonto + 1) / 10000;
    auto kontoPasst = [&](unsigned long nr, unsigned long k) {
        if (k <= 9999) return true;
        return fehlerBuchung(nr, QStringLiteral("Das Konto %1 hat mehr als vier Stellen; DATEV-Sachkonten werden aus vierstelligen Konten "
                                                 "gebildet.")
                                      .arg(k));
    };
    QStringList leereZeile;
    for (int i = 0; i < spalten.size(); ++i) leereZeile << QString();
    auto neueZeile = [&](const Kopf& k, bool fest, const EuroType& betrag, bool soll, unsigned long konto, unsigned long gegen,
                         const QString& bu, const QString& text) {
        QStringList f = leereZeile;
        f[0] = betragfeld(betrag);
        f[1] = textfeld(soll ? QStringLiteral("S") : QStringLiteral("H"));
        f[2] = textfeld(QStringLiteral("EUR"));
        f[6] = QString::number(qint64(konto) * erweiterung);
        f[7] = QString::number(qint64(gegen) * erweiterung);
        if (!bu.isEmpty()) f[8] = textfeld(bu);
        f[9] = QString::asprintf("%02d%02d", k.belegdatum.day(), k.belegdatum.month());
        const QString beleg = belegfeld(kod.passend(k.beleg), &belegGeaendert);
        if (!beleg.isEmpty()) f[10] = textfeld(beleg);
        QString t = kod.passend(text.simplified());
        if (t.size() > 60) {
            t.truncate(60);
            ++textGekuerzt;
        }
        if (!t.isEmpty()) f[13] = textfeld(t);
        if (!k.ustid.trimmed().isEmpty()) f[iUstid] = textfeld(kod.passend(k.ustid.trimmed()));
        f[iFest] = fest ? QStringLiteral("1") : QStringLiteral("0");
        // A negative amount (a cancellation) is the same posting reversed:
        // DATEV's general reversal keeps the sides and turns the sign.
        if (betrag.cent() < 0) f[iGu] = textfeld(QStringLiteral("1"));
        zeilen << f.join(QLatin1Char(';'));
    };

    // Writes the data lines of one booking; false with e.fehler set when
    // the booking cannot be handed over.
    auto buchung = [&](const Kopf& k, const std::vector<Zeile>& z) {
        const Zeile* geld = nullptr;
        for (const Zeile& x : z)
            if (x.dialogzeile == 1 && x.schluessel != 999999) {
                if (geld) return fehlerBuchung(k.nr, QStringLiteral("Die Buchung hat mehr als eine Geldseite."));
                geld = &x;
            }
        if (!geld) return fehlerBuchung(k.nr, QStringLiteral("Die Buchung hat keine Geldseite (Dialogzeile 1)."));
        if (geld->schluessel != 0)
            return fehlerBuchung(k.nr, QStringLiteral("Die Geldseite (Konto %1) trägt einen Steuerschlüssel; DATEV nimmt den Schlüssel nur "
                                                      "auf der Gegenseite.")
                                           .arg(geld->konto));
        if (!kontoPasst(k.nr, geld->konto)) return false;
        const bool fest = festBis.isValid() && !(festBis < k.belegdatum);
        const int zeilenVorher = zeilen.size();
        const long korrekturenVorher = e.korrekturen;
        bool geschrieben = false;
        for (const Zeile& g : z) {
            if (&g == geld || g.schluessel == 999999) continue;
            if (!kontoPasst(k.nr, g.konto)) return false;
            // Signed amounts (debit positive) of the counter line and its
            // tax lines; the gross amount is what the money side carries
            // for this part.
            const auto vz = [](const Zeile& x) { return x.haben ? -x.betrag : x.betrag; };
            EuroType brutto = vz(g);
            std::vector<const Zeile*> steuer;
            for (const Zeile& t : z)
                if (t.schluessel == 999999 && t.steuerID == g.steuerID) {
                    steuer.push_back(&t);
                    brutto += vz(t);
                }
            const Konto kg = konten.value(g.konto);
            const Schluessel s = schluessel.value(g.schluessel);
            QString bu;
            if (kg.fest) {
                if (g.schluessel == 0 && kg.schluessel != 0) bu = QStringLiteral("40");  // the account's automatic switched off
                else if (g.schluessel != kg.schluessel)
                    return fehlerBuchung(k.nr, QStringLiteral("Das Konto %1 hat fest den Steuerschlüssel %2, die Buchung trägt %3.")
                                                   .arg(g.konto)
                                                   .arg(kg.schluessel)
                                                   .arg(g.schluessel));
            } else if (g.schluessel != 0) {
                if (!datev.contains(g.schluessel) && k.storno) {
                    // A cancelled booking and its cancellation carry the same
                    // key and cancel out on every account: both are left out
                    // rather than blocking the year for good.
                    while (zeilen.size() > zeilenVorher) zeilen.removeLast();
                    e.korrekturen = korrekturenVorher;
                    ausgelassen << QString::number(k.nr);
                    return true;
                }
                if (!datev.contains(g.schluessel))
                    return fehlerBuchung(k.nr, QStringLiteral("Für den Steuerschlüssel %1 (%2) auf dem Konto %3 gibt es keinen DATEV-Buchungsschlüssel "
                                                              "mit derselben Bedeutung. Buchen Sie den Umsatz auf ein Konto, das den Schlüssel "
                                                              "fest vorgibt, oder stornieren Sie die Buchung und buchen Sie sie mit einem "
                                                              "anderen Schlüssel.")
                                                   .arg(g.schluessel)
                                                   .arg(s.name)
                                                   .arg(g.konto));
                bu = datev.value(g.schluessel);
            }
            // The money side takes the opposite side of the counter line.
            if (brutto.isNull()) continue;
            const bool soll = g.haben;
            const EuroType betrag = brutto.abs();
            // Against the direction the line's side gives: a reversal.
            const bool umkehr = (soll && brutto.cent() > 0) || (!soll && brutto.cent() < 0);
            neueZeile(k, fest, umkehr ? -betrag : betrag, soll, geld->konto, g.konto, bu, g.text.isEmpty() ? k.text : g.text);
            geschrieben = true;
            // The tax DATEV will split off, per tax line, against what we
            // booked; the difference moves between counter and tax account.
            if (bu == QLatin1String("40")) continue;
            const unsigned long key = g.schluessel;
            if (key == 0 || steuer.empty()) continue;
            const EuroType basis = umkehr ? -betrag : betrag;
            const EuroType datevSteuer = steuerWieDatev(basis, s.satz, s.beidseitig);
            for (const Zeile* t : steuer) {
                const EuroType gebucht = t->betrag;  // signed by the line's own amount (a cancellation is negative)
                const EuroType diff = gebucht - datevSteuer;
                if (diff.isNull()) continue;
                if (!kontoPasst(k.nr, t->konto)) return false;
                // The tax account gets `diff` on the tax line's side: a
                // negative difference is a plain posting the other way.
                const bool tSoll = !t->haben;
                neueZeile(k, fest, diff.abs(), (diff.cent() > 0) == tSoll, t->konto, g.konto, kg.fest ? QStringLiteral("40") : QString(),
                          QStringLiteral("Rundungsausgleich Steuer zu Buchung %1").arg(k.nr));
                ++e.korrekturen;
            }
        }
        if (geschrieben) {
            ++e.buchungen;
            alleFest = alleFest && fest;
        }
        return true;
    };

    // The batch is written booking by booking. Whether every booking is
    // locked (header field 21, one character) is known only at the end:
    // the header is written as unlocked and the character put right then.
    const QString bezeichnung = (von == anfang && bis == ende) ? QStringLiteral("Buchungsstapel %1").arg(jahr)
                                                               : QString::asprintf("Buchungen %02d.%02d.-", von.day(), von.month()) + bis.getText();
    const QByteArray kopfOffen = kod.bytes(kopfzeile(a, 21, "Buchungsstapel", 13, jahr, von, bis, bezeichnung, false, rahmen, true));
    const QByteArray kopfFest = kod.bytes(kopfzeile(a, 21, "Buchungsstapel", 13, jahr, von, bis, bezeichnung, true, rahmen, true));
    int stelleFest = 0;
    while (stelleFest < kopfOffen.size() && kopfOffen[stelleFest] == kopfFest[stelleFest]) ++stelleFest;
    Q_ASSERT(kopfOffen.size() == kopfFest.size() && stelleFest < kopfOffen.size());
    const qint64 anfangKopf = ziel->pos();
    schreibfehler = ziel->write(kopfOffen) != kopfOffen.size();
    schreibe(crlf + spalten.join(QLatin1Char(';')) + crlf);
    long zeilenGesamt = 0;
    auto fertig = [&](const Kopf& k, const std::vector<Zeile>& z) {
        zeilen.clear();
        if (!buchung(k, z)) return false;
        for (const QString& x : zeilen) schreibe(x + crlf);
        zeilenGesamt += zeilen.size();
        return true;
    };

    // Every booking of the period, cancelled ones and their cancellations
    // included: the adviser sees the correction as it was made.
    rsDataSource rs(db, QStringLiteral("SELECT h.Buchungsnummer, h.Belegdatum, h.Belegnummer, h.Buchungstext, h.UStID, z.ID, z.SteuerID, "
                                       "z.Dialogzeile, z.Betrag, z.Haben, z.Konto, z.Steuerschluessel, z.Buchungstext, "
                                       "CASE WHEN h.Storno<>0 OR h.Storniert<>0 THEN 1 ELSE 0 END "
                                       "FROM eurVerbucht h JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=h.Buchungsnummer "
                                       "WHERE h.Belegdatum>=") +
                            rsDataSource::toSqlStr(von) + QStringLiteral(" AND h.Belegdatum<=") + rsDataSource::toSqlStr(bis) +
                            QStringLiteral(" ORDER BY h.Belegdatum, h.Buchungsnummer, z.ID"));
    if (rs.isError()) {
        e.fehler = QStringLiteral("Die Buchungen konnten nicht gelesen werden.");
        return e;
    }
    Kopf kopf;
    std::vector<Zeile> teile;
    bool offen = false;
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long nr = f.getField(0).toULong();
        if (!offen || nr != kopf.nr) {
            if (offen && !fertig(kopf, teile)) return e;
            offen = true;
            kopf = {nr, f.getField(1).toDate(), f.getField(2).toString(), f.getField(3).toString(), f.getField(4).toString(),
                    f.getField(13).toBool()};
            teile.clear();
        }
        teile.push_back({f.getField(5).toLongLong(), f.getField(6).toInt(), f.getField(7).toInt(), f.getField(8).toEuro(),
                         f.getField(9).toBool(), f.getField(10).toULong(), f.getField(11).toULong(), f.getField(12).toString()});
    }
    if (offen && !fertig(kopf, teile)) return e;
    if (e.buchungen == 0) {
        e.fehler = QStringLiteral("Im Zeitraum %1 bis %2 gibt es keine Buchungen. Es wurde keine Datei geschrieben.").arg(von.getText(), bis.getText());
        return e;
    }
    e.zeilen = zeilenGesamt;
    e.festgeschrieben = alleFest;
    if (alleFest && !schreibfehler) {
        const qint64 ende = ziel->pos();
        schreibfehler = !ziel->seek(anfangKopf + stelleFest) || ziel->write(kopfFest.constData() + stelleFest, 1) != 1 || !ziel->seek(ende);
    }
    if (schreibfehler) {
        e.fehler = QStringLiteral("Der Buchungsstapel konnte nicht geschrieben werden. Prüfen Sie, ob auf dem Datenträger genug Platz frei ist.");
        return e;
    }

    // The customers as debtors: account = 10^length + PersonID, one digit
    // longer than the ledger accounts, as DATEV numbers personal accounts.
    const QList<Faktura::Person> personen = Faktura::personen(db);
    const QStringList& ps = spaltenPersonen();
    QStringList pz;
    const qint64 basis = hoechstesKonto + 1;
    for (const Faktura::Person& p : personen) {
        if (p.art != 1) continue;
        const qint64 konto = basis + qint64(p.personID);
        if (konto >= basis * 7) {
            e.fehler = QStringLiteral("Der Kunde %1 hat die Nummer %2; als Debitorenkonto wäre sie zu groß für die Sachkontenlänge %3.")
                           .arg(p.anzeigename())
                           .arg(p.personID)
                           .arg(a.sachkontenlaenge);
            return e;
        }
        QStringList f;
        for (int i = 0; i < ps.size(); ++i) f << QString();
        auto setze = [&](const char* name, const QString& wert, int laenge) {
            if (wert.trimmed().isEmpty()) return;
            f[spalte(ps, name)] = textfeld(kod.passend(wert.trimmed()).left(laenge).trimmed());
        };
        f[0] = QString::number(konto);
        const bool unternehmen = !p.firma.trimmed().isEmpty();
        if (unternehmen) {
            setze("Name (Adressatentyp Unternehmen)", p.firma, 50);
            f[spalte(ps, "Adressatentyp")] = textfeld(QStringLiteral("2"));
        } else {
            setze("Name (Adressatentyp natürl. Person)", p.name, 30);
            setze("Vorname (Adressatentyp natürl. Person)", p.vorname, 30);
            f[spalte(ps, "Adressatentyp")] = textfeld(QStringLiteral("1"));
        }
        setze("Kurzbezeichnung", p.anzeigename(), 15);
        const QString ustid = p.ustid.simplified().remove(QLatin1Char(' ')).toUpper();
        if (ustid.size() > 2) {
            setze("EU-Mitgliedstaat", ustid.left(2), 2);
            setze("EU-USt-IdNr.", ustid.mid(2), 13);
        }
        setze("Anrede", p.anrede, 30);
        if (!p.strasse.trimmed().isEmpty() || !p.ort.trimmed().isEmpty()) f[spalte(ps, "Adressart")] = textfeld(QStringLiteral("STR"));
        setze("Straße", p.strasse, 36);
        setze("Postleitzahl", p.plz, 10);
        setze("Ort", p.ort, 30);
        setze("Land", p.land, 2);
        setze("Telefon", p.telefon, 60);
        setze("E-Mail", p.email, 60);
        setze("Kundennummer", p.kundennummer, 15);
        pz << f.join(QLatin1Char(';'));
    }
    e.personen = pz.size();
    if (!pz.isEmpty()) {
        QString text = kopfzeile(a, 16, "Debitoren/Kreditoren", 5, jahr, von, bis, QStringLiteral("Kunden %1").arg(jahr), false, rahmen, false) +
                       crlf + ps.join(QLatin1Char(';')) + crlf;
        for (const QString& z : pz) text += z + crlf;
        e.personenDatei = kod.bytes(text);
    }

    if (!ausgelassen.isEmpty())
        e.hinweise << QStringLiteral("Die stornierten Buchungen und Stornobuchungen Nr. %1 tragen einen Steuerschlüssel ohne "
                                     "DATEV-Gegenstück; sie heben sich auf und wurden ausgelassen.")
                          .arg(ausgelassen.join(QStringLiteral(", ")));
    if (kod.ersetzt)
        e.hinweise << QStringLiteral("%1 Zeichen, die es in Windows-1252 nicht gibt, wurden durch „?“ ersetzt.").arg(kod.ersetzt);
    if (belegGeaendert)
        e.hinweise << QStringLiteral("In %1 Belegnummern wurden Zeichen außer Buchstaben, Ziffern und $ % & * + - / durch „-“ ersetzt "
                                     "oder die Nummer auf 36 Zeichen gekürzt.")
                          .arg(belegGeaendert);
    if (textGekuerzt)
        e.hinweise << (textGekuerzt == 1 ? QStringLiteral("Ein Buchungstext wurde auf 60 Zeichen gekürzt.")
                                         : QStringLiteral("%1 Buchungstexte wurden auf 60 Zeichen gekürzt.").arg(textGekuerzt));
    if (e.korrekturen)
        e.hinweise << (e.korrekturen == 1 ? QStringLiteral("Eine Zeile gleicht") : QStringLiteral("%1 Zeilen gleichen").arg(e.korrekturen)) +
                          QStringLiteral(" Cent-Unterschiede aus, die DATEVs eigene Steuerberechnung gegenüber der gebuchten Steuer ergäbe "
                                         "(Buchungstext „Rundungsausgleich Steuer“).");
    e.ok = true;
    return e;
}
