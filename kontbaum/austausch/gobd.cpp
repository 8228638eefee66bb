// The audit export: index.xml, the DTD and one CSV per table description.
//
// Every CSV is UTF-8 (declared by <UTF8/>), ';' between columns, CRLF after
// each record, texts in double quotes with inner quotes doubled, numbers
// with decimal comma and without grouping, dates DD.MM.YYYY; the first
// record holds the column names and is skipped by <Range><From>2.
#include "kontbaum/austausch/gobd.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <sys/stat.h>

const char* const GoBD::kDtdName = "gdpdu-01-09-2004.dtd";

namespace {

// The element declarations of the description standard 1.5 (01.09.2004),
// in the order and with the content models of the published DTD; its long
// explanations are shortened to the points a reader of the export needs.
const char kDtd[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Beschreibungsstandard für die Datenträgerüberlassung, DTD gdpdu-01-09-2004.dtd

Versions:
1.1 (August-01-2002)
1.2 (June-01-2003)   New Element Alias
1.3 (November-01-2003)   New Element Extension
1.4 (May-01-2004)   New Element AcceptNoTables, <Table> is now optional
1.5 (September-01-2004)   ForeignKey allows several Alias elements (composite keys)
-->

<!-- Start Simple Types -->
<!ELEMENT Version (#PCDATA)>
<!ELEMENT Location (#PCDATA)>
<!ELEMENT Comment (#PCDATA)>
<!ELEMENT Length (#PCDATA)>
<!ELEMENT References (#PCDATA)>
<!ELEMENT From (#PCDATA)>
<!ELEMENT To (#PCDATA)>

<!-- A Media may have no tables (off by default). -->
<!ELEMENT AcceptNoTables (#PCDATA)>

<!-- Columns of a ForeignKey named differently in the referenced table. -->
<!ELEMENT Alias (From, To)>

<!-- Maximum length of a VariableLength AlphaNumeric column. -->
<!ELEMENT MaxLength (#PCDATA)>

<!-- Encloses VariableLength AlphaNumeric columns; default " -->
<!ELEMENT TextEncapsulator (#PCDATA)>

<!-- Digits right of the decimal symbol; default 0. -->
<!ELEMENT Accuracy (#PCDATA)>
<!ELEMENT ImpliedAccuracy (#PCDATA)>

<!-- Date format; default DD.MM.YYYY -->
<!ELEMENT Format (#PCDATA)>

<!-- Decimal symbol (default ,) and digit grouping symbol (default .), once per Table. -->
<!ELEMENT DecimalSymbol (#PCDATA)>
<!ELEMENT DigitGroupingSymbol (#PCDATA)>

<!ELEMENT Command (#PCDATA)>

<!-- Relative URLs only. -->
<!ELEMENT URL (#PCDATA)>
<!ELEMENT Description (#PCDATA)>
<!ELEMENT Name (#PCDATA)>
<!ELEMENT Epoch (#PCDATA)>

<!-- Default ColumnDelimiter ; and RecordDelimiter CRLF (&#13;&#10;). -->
<!ELEMENT ColumnDelimiter (#PCDATA)>
<!ELEMENT RecordDelimiter (#PCDATA)>

<!ELEMENT SkipNumBytes (#PCDATA)>
<!-- End Simple Types -->

<!-- Start Complex Types -->
<!ELEMENT Extension (Name, URL)>

<!ELEMENT Range (From, (To | Length)?)>
<!ELEMENT FixedRange (From, (To | Length))>

<!-- The document element -->
<!ELEMENT DataSet (Extension*, Version, DataSupplier?, Command*, Media+, Command*)>

<!-- Supported datatypes -->
<!ELEMENT AlphaNumeric EMPTY>
<!ELEMENT Date (Format?)>
<!ELEMENT Numeric ((ImpliedAccuracy | Accuracy)?)>

<!-- Supported codepages; ANSI is the default. -->
<!ELEMENT ANSI EMPTY>
<!ELEMENT Macintosh EMPTY>
<!ELEMENT OEM EMPTY>
<!ELEMENT UTF16 EMPTY>
<!ELEMENT UTF7 EMPTY>
<!ELEMENT UTF8 EMPTY>

<!-- Supported file formats -->
<!ELEMENT FixedLength ((Length | RecordDelimiter)?, ((FixedPrimaryKey+, FixedColumn*) | (FixedColumn+)), ForeignKey*)>
<!ELEMENT FixedColumn (Name, Description?, (Numeric | AlphaNumeric | Date), Map*, FixedRange)>
<!ELEMENT FixedPrimaryKey (Name, Description?, (Numeric | AlphaNumeric | Date), Map*, FixedRange)>
<!ELEMENT VariableLength (ColumnDelimiter?, RecordDelimiter?, TextEncapsulator?, ((VariablePrimaryKey+, VariableColumn*) | (VariableColumn+)), ForeignKey*)>
<!ELEMENT VariableColumn (Name, Description?, (Numeric | (AlphaNumeric, MaxLength?) | Date), Map*)>
<!ELEMENT VariablePrimaryKey (Name, Description?, (Numeric | (AlphaNumeric, MaxLength?) | Date), Map*)>

<!-- Description of the entity supplying the data. -->
<!ELEMENT DataSupplier (Name, Location, Comment)>

<!-- The first Media contains index.xml. -->
<!ELEMENT Media (Name, Command*, Table*, Command*, AcceptNoTables?)>

<!ELEMENT Table (URL, Name?, Description?, Validity?, (ANSI | Macintosh | OEM | UTF16 | UTF7 | UTF8)?, (DecimalSymbol, DigitGroupingSymbol)?, SkipNumBytes?, Range?, Epoch?, (VariableLength | FixedLength))>

<!-- Joins between tables; key and referenced column of the same datatype. -->
<!ELEMENT ForeignKey (Name+, References, Alias*)>

<!-- Maps AlphaNumeric values From one To another. -->
<!ELEMENT Map (Description?, From, To)>

<!ELEMENT Validity (Range, Format?)>
<!-- End Complex Types -->
)";

const QString kCrlf = QStringLiteral("\r\n");

QString textWert(QString t) {
    // A line break inside a value would end the record for most readers.
    t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString wert(const DatenTyp& d, GoBD::Typ typ) {
    switch (typ) {
    case GoBD::Typ::Text:
        return d.isNull() ? QStringLiteral("\"\"") : textWert(d.toString());
    case GoBD::Typ::Ganzzahl:
        return QString::number(d.toLongLong());
    case GoBD::Typ::Betrag: {
        const qint64 c = d.toEuro().cent();
        const qint64 a = c < 0 ? -c : c;
        return QStringLiteral("%1%2,%3").arg(c < 0 ? QStringLiteral("-") : QString()).arg(a / 100).arg(a % 100, 2, 10, QLatin1Char('0'));
    }
    case GoBD::Typ::Datum:
        return d.toDate().getText();
    }
    return QString();
}

bool tabelleDa(DBConnection* db, const QString& name) {
    return GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name=") + rsDataSource::toSqlStr(name))
               .toLongLong() > 0;
}

void typElement(QXmlStreamWriter& x, GoBD::Typ typ) {
    switch (typ) {
    case GoBD::Typ::Text:
        x.writeEmptyElement(QStringLiteral("AlphaNumeric"));
        break;
    case GoBD::Typ::Ganzzahl:
        x.writeEmptyElement(QStringLiteral("Numeric"));
        break;
    case GoBD::Typ::Betrag:
        x.writeStartElement(QStringLiteral("Numeric"));
        x.writeTextElement(QStringLiteral("Accuracy"), QStringLiteral("2"));
        x.writeEndElement();
        break;
    case GoBD::Typ::Datum:
        x.writeStartElement(QStringLiteral("Date"));
        x.writeTextElement(QStringLiteral("Format"), QStringLiteral("DD.MM.YYYY"));
        x.writeEndElement();
        break;
    }
}

// The index of the tables written, in the order of the descriptions.
QByteArray index(const QVector<const GoBD::Tabelle*>& tabellen, const Faktura::Firma& firma, int jahr, const QString& steuernummer) {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(2);
    x.writeStartDocument(QStringLiteral("1.0"));
    x.writeDTD(QStringLiteral("<!DOCTYPE DataSet SYSTEM \"%1\">").arg(QLatin1String(GoBD::kDtdName)));
    x.writeStartElement(QStringLiteral("DataSet"));
    x.writeTextElement(QStringLiteral("Version"), QStringLiteral("1.0"));
    x.writeStartElement(QStringLiteral("DataSupplier"));
    x.writeTextElement(QStringLiteral("Name"), firma.name);
    QStringList ort;
    if (!firma.strasse.trimmed().isEmpty()) ort << firma.strasse.trimmed();
    const QString plzOrt = (firma.plz.trimmed() + QLatin1Char(' ') + firma.ort.trimmed()).trimmed();
    if (!plzOrt.isEmpty()) ort << plzOrt;
    x.writeTextElement(QStringLiteral("Location"), ort.join(QStringLiteral(", ")));
    QString kommentar = QStringLiteral("Datenträgerüberlassung nach § 147 Abs. 6 AO, Buchführung des Steuerjahres %1").arg(jahr);
    if (!steuernummer.trimmed().isEmpty()) kommentar += QStringLiteral(", Steuernummer %1").arg(steuernummer.trimmed());
    x.writeTextElement(QStringLiteral("Comment"), kommentar + QStringLiteral(", erstellt mit dalvo"));
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("Media"));
    x.writeTextElement(QStringLiteral("Name"), QStringLiteral("Datenträger 1"));
    for (const GoBD::Tabelle* t : tabellen) {
        x.writeStartElement(QStringLiteral("Table"));
        x.writeTextElement(QStringLiteral("URL"), t->datei);
        x.writeTextElement(QStringLiteral("Name"), t->name);
        x.writeTextElement(QStringLiteral("Description"), t->beschreibung);
        x.writeStartElement(QStringLiteral("Validity"));
        x.writeStartElement(QStringLiteral("Range"));
        x.writeTextElement(QStringLiteral("From"), zDate(jahr, 1, 1).getText());
        x.writeTextElement(QStringLiteral("To"), zDate(jahr, 12, 31).getText());
        x.writeEndElement();
        x.writeTextElement(QStringLiteral("Format"), QStringLiteral("DD.MM.YYYY"));
        x.writeEndElement();
        x.writeEmptyElement(QStringLiteral("UTF8"));
        x.writeTextElement(QStringLiteral("DecimalSymbol"), QStringLiteral(","));
        x.writeTextElement(QStringLiteral("DigitGroupingSymbol"), QStringLiteral("."));
        // The heading record is not data.
        x.writeStartElement(QStringLiteral("Range"));
        x.writeTextElement(QStringLiteral("From"), QStringLiteral("2"));
        x.writeEndElement();
        x.writeStartElement(QStringLiteral("VariableLength"));
        x.writeTextElement(QStringLiteral("ColumnDelimiter"), QStringLiteral(";"));
        x.writeStartElement(QStringLiteral("RecordDelimiter"));
        x.writeEntityReference(QStringLiteral("#13"));
        x.writeEntityReference(QStringLiteral("#10"));
        x.writeEndElement();
        x.writeTextElement(QStringLiteral("TextEncapsulator"), QStringLiteral("\""));
        // The DTD wants the key columns first; the CSV keeps the order of
        // the description, which lists them first as well.
        for (const GoBD::Spalte& s : t->spalten) {
            x.writeStartElement(s.schluessel ? QStringLiteral("VariablePrimaryKey") : QStringLiteral("VariableColumn"));
            x.writeTextElement(QStringLiteral("Name"), s.name);
            x.writeTextElement(QStringLiteral("Description"), s.beschreibung);
            typElement(x, s.typ);
            x.writeEndElement();
        }
        for (const GoBD::Verweis& v : t->verweise) {
            x.writeStartElement(QStringLiteral("ForeignKey"));
            x.writeTextElement(QStringLiteral("Name"), v.spalte);
            x.writeTextElement(QStringLiteral("References"), v.tabelle);
            if (v.ziel != v.spalte) {
                x.writeStartElement(QStringLiteral("Alias"));
                x.writeTextElement(QStringLiteral("From"), v.spalte);
                x.writeTextElement(QStringLiteral("To"), v.ziel);
                x.writeEndElement();
            }
            x.writeEndElement();
        }
        x.writeEndElement();  // VariableLength
        x.writeEndElement();  // Table
    }
    x.writeEndElement();  // Media
    x.writeEndElement();  // DataSet
    x.writeEndDocument();
    return out;
}

QString schreibfehler(const QString& pfad) {
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden. Prüfen Sie, ob auf dem Datenträger genug Platz frei ist.")
        .arg(QDir::toNativeSeparators(pfad));
}

bool schreibeDatei(const QString& pfad, const QByteArray& daten, QString* fehler) {
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || f.write(daten) != daten.size() || !f.flush()) {
        *fehler = schreibfehler(pfad);
        return false;
    }
    return true;
}

}  // namespace

QByteArray GoBD::dtd() { return QByteArray(kDtd); }

GoBD::Ergebnis GoBD::exportieren(const QString& verzeichnis) {
    Ergebnis e;
    DBConnection* db = rsFallDB();
    if (!db) {
        e.fehler = QStringLiteral("Es ist kein Fall geöffnet.");
        return e;
    }
    const QFileInfo ziel(verzeichnis);
    const QString zielPfad = ziel.absoluteFilePath();
    const bool vorhanden = ziel.exists() || ziel.isSymLink();
    if (vorhanden) {
        if (!ziel.isDir()) {
            e.fehler = QStringLiteral("„%1“ ist kein Verzeichnis. Geben Sie ein neues oder leeres Verzeichnis an.").arg(verzeichnis);
            return e;
        }
        if (!QDir(zielPfad).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).isEmpty()) {
            e.fehler = QStringLiteral("Das Verzeichnis „%1“ ist nicht leer; der Export schreibt nur in ein neues oder leeres Verzeichnis, "
                                      "damit nichts überschrieben wird.")
                           .arg(verzeichnis);
            return e;
        }
    } else if (!QFileInfo(ziel.absolutePath()).isDir()) {
        e.fehler = QStringLiteral("Das Verzeichnis „%1“ existiert nicht.").arg(QDir::toNativeSeparators(ziel.absolutePath()));
        return e;
    }

    // Everything is written into a hidden directory beside the target and
    // moved in at the end; on failure it is removed with its files.
    QTemporaryDir arbeit(ziel.absolutePath() + QStringLiteral("/.") + ziel.fileName() + QStringLiteral(".XXXXXX"));
    if (!arbeit.isValid()) {
        e.fehler = QStringLiteral("Im Verzeichnis „%1“ kann nichts angelegt werden: %2")
                       .arg(QDir::toNativeSeparators(ziel.absolutePath()), arbeit.errorString());
        return e;
    }
    const int jahr = KontoGlobal::getFalleigenschaft(QStringLiteral("Steuerjahr"), db).toInt();
    QVector<const Tabelle*> geschrieben;
    for (const Tabelle& t : tabellen()) {
        if (!t.zeilen && !tabelleDa(db, t.quelle)) continue;
        // Each record goes to the file as it is read: the journal of a
        // million bookings would otherwise be held whole, several hundred
        // megabytes of text.
        QFile datei(arbeit.filePath(t.datei));
        if (!datei.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            e.fehler = schreibfehler(datei.fileName());
            return e;
        }
        bool ok = true;
        auto schreibe = [&](const QStringList& felder) {
            const QByteArray b = (felder.join(QLatin1Char(';')) + kCrlf).toUtf8();
            ok = ok && datei.write(b) == b.size();
        };
        QStringList kopf;
        for (const Spalte& s : t.spalten) kopf << textWert(s.name);
        schreibe(kopf);
        long n = 0;
        auto zeile = [&](const std::function<DatenTyp(int)>& feld) {
            QStringList z;
            for (int i = 0; i < t.spalten.size(); ++i) z << wert(feld(i), t.spalten[i].typ);
            schreibe(z);
            ++n;
        };
        if (t.zeilen) {
            for (const QVector<DatenTyp>& r : t.zeilen(jahr)) zeile([&](int i) { return r.value(i); });
        } else {
            rsDataSource rs(db, t.sql);
            if (rs.isError()) {
                e.fehler = QStringLiteral("Die Tabelle %1 konnte nicht gelesen werden. Es wurde nichts exportiert.").arg(t.name);
                return e;
            }
            for (; ok && !rs.isEOF(); rs.fetch()) zeile([&](int i) { return rs.getFields()->getField(i); });
        }
        if (t.name == QLatin1String("Buchungsjournal")) e.journalzeilen = n;
        if (!ok || !datei.flush()) {
            e.fehler = schreibfehler(datei.fileName());
            return e;
        }
        geschrieben << &t;
    }
    const Faktura::Firma firma = Faktura::leseFirma(db);
    if (!schreibeDatei(arbeit.filePath(QStringLiteral("index.xml")), index(geschrieben, firma, jahr, firma.steuernummer), &e.fehler) ||
        !schreibeDatei(arbeit.filePath(QLatin1String(kDtdName)), dtd(), &e.fehler))
        return e;

    QStringList dateien{QStringLiteral("index.xml"), QLatin1String(kDtdName)};
    for (const Tabelle* t : geschrieben) dateien << t->datei;
    if (!vorhanden) {
        // A new directory: the finished one takes its name in one step,
        // with the rights a directory made by the user would have (the
        // working directory was private while it was incomplete).
        const mode_t maske = umask(0);
        umask(maske);
        chmod(QFile::encodeName(arbeit.path()).constData(), 0777 & ~maske);
        if (!QDir().rename(arbeit.path(), zielPfad)) {
            e.fehler = QStringLiteral("Das Verzeichnis „%1“ konnte nicht angelegt werden.").arg(verzeichnis);
            return e;
        }
        arbeit.setAutoRemove(false);
    } else {
        // An empty directory is kept (its owner and rights are the user's);
        // the files move in one by one and leave again if one cannot.
        QStringList bewegt;
        for (const QString& d : dateien) {
            if (!QFile::rename(arbeit.filePath(d), QDir(zielPfad).filePath(d))) {
                for (const QString& b : bewegt) QFile::remove(QDir(zielPfad).filePath(b));
                e.fehler = QStringLiteral("Die Datei „%1“ konnte nicht in das Verzeichnis „%2“ gelegt werden. Es wurde nichts exportiert.")
                               .arg(d, verzeichnis);
                return e;
            }
            bewegt << d;
        }
    }
    e.dateien = dateien;
    if (firma.name.trimmed().isEmpty())
        e.hinweise << QStringLiteral("Der Fall hat keine Firmendaten; Name und Ort des Datenlieferanten in index.xml sind leer. "
                                     "„dalvo firma FALL“ erfasst sie.");
    e.ok = true;
    return e;
}
