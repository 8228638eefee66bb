// Reading the bytes of a bookings file as text. German banks and
// spreadsheets write Windows-1252 as often as UTF-8, with or without a
// byte-order mark; a file read in the wrong set would put "B├╝robedarf" or
// replacement characters into the ledger's texts, so every doubt is a
// refusal with the row, never a guess that changes a character.
#include "kontbaum/austausch/austausch.h"

#include <QBuffer>
#include <QIODevice>
#include <QTextCodec>

namespace {
using BuchungenCSV::Zeichensatz;

struct Name {
    const char* name;
    Zeichensatz satz;
};
const Name kNamen[] = {{"utf-8", Zeichensatz::Utf8}, {"windows-1252", Zeichensatz::Windows1252}, {"iso-8859-1", Zeichensatz::Latin1}};

// Windows-1252 leaves five bytes undefined and ISO-8859-1 has control
// characters at 0x80..0x9F; Qt maps both to U+0080..U+009F, which no
// bookkeeping text contains.
int ersteSteuerzeichen(const QString& text) {
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i).unicode() >= 0x80 && text.at(i).unicode() <= 0x9F) return i;
    return -1;
}

// Why the character `c` (one ersteSteuerzeichen found) cannot be read in
// the set the file was taken to be in; `geraten`: the set was guessed.
QString steuerzeichenGrund(QChar c, bool cp1252, bool geraten) {
    const QString byte = QStringLiteral("0x") + QString::number(c.unicode(), 16).toUpper();
    if (!cp1252)
        return QStringLiteral("Das Byte %1 ist in ISO-8859-1 ein Steuerzeichen; vermutlich ist die Datei in Windows-1252 "
                              "geschrieben (dort ist 0x80 das €-Zeichen).")
            .arg(byte);
    if (geraten)
        return QStringLiteral("Die Datei ist kein gültiges UTF-8, und als Windows-1252 gelesen ist das Byte %1 kein Zeichen. "
                              "Bitte geben Sie den Zeichensatz der Datei an.")
            .arg(byte);
    return QStringLiteral("Das Byte %1 ist in Windows-1252 kein Zeichen. Bitte prüfen Sie den Zeichensatz der Datei "
                          "(UTF-8 oder ISO-8859-1).")
        .arg(byte);
}
}  // namespace

namespace BuchungenCSV {

bool zeichensatzAusName(const QString& name, Zeichensatz* z) {
    for (const Name& n : kNamen)
        if (name.trimmed().compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            *z = n.satz;
            return true;
        }
    return false;
}

QStringList zeichensatzNamen() {
    QStringList out;
    for (const Name& n : kNamen) out << QLatin1String(n.name);
    return out;
}

bool dekodieren(const QByteArray& datei, Zeichensatz z, QString* text, QString* fehler) {
    // The rules live once, in TextLeser; the bytes in memory are just a
    // device it reads.
    text->clear();
    QBuffer puffer;
    puffer.setData(datei);
    puffer.open(QIODevice::ReadOnly);
    TextLeser leser(&puffer);
    QString f;
    if (!leser.pruefen(z, &f)) {
        if (fehler) *fehler = f;
        return false;
    }
    QStringList zeilen;
    QString zeile;
    while (leser.zeile(&zeile)) zeilen << zeile;
    *text = zeilen.join(QLatin1Char('\n'));
    if (datei.endsWith('\n')) *text += QLatin1Char('\n');
    return true;
}

// ---- reading piece by piece ------------------------------------------------
// The line of a fault is counted by the '\n' before it in the bytes or in
// the text.

TextLeser::TextLeser(QIODevice* datei) : m_datei(datei) {}

TextLeser::~TextLeser() { delete m_decoder; }

namespace {
constexpr qint64 kStueck = 1 << 16;
}

bool TextLeser::pruefen(Zeichensatz z, QString* fehler) {
    auto fail = [fehler](int zeile, const QString& grund) {
        if (fehler) *fehler = zeile > 0 ? QStringLiteral("Zeile %1: %2").arg(zeile).arg(grund) : grund;
        return false;
    };
    m_datei->seek(0);
    const QByteArray anfang = m_datei->peek(3);
    if (anfang.startsWith("\xFF\xFE") || anfang.startsWith("\xFE\xFF"))
        return fail(0, QStringLiteral("Die Datei ist in UTF-16 geschrieben. Bitte speichern Sie sie als UTF-8 oder Windows-1252 "
                                      "(in Tabellenprogrammen „CSV (Trennzeichen-getrennt)“)."));
    m_bom = anfang.startsWith("\xEF\xBB\xBF");
    if (m_bom && z == Zeichensatz::Automatisch) z = Zeichensatz::Utf8;
    // One pass: NUL bytes, and whether the bytes are UTF-8 (with the line
    // of the first replacement character of the decoded text).
    const bool utf8Pruefen = z == Zeichensatz::Automatisch || z == Zeichensatz::Utf8;
    QTextDecoder utf8(QTextCodec::codecForName("UTF-8"), QTextCodec::IgnoreHeader);
    int zeilenBytes = 1, zeilenText = 1, fffdZeile = 0;
    bool gueltig = true;
    if (m_bom) m_datei->read(3);
    while (!m_datei->atEnd()) {
        const QByteArray stueck = m_datei->read(kStueck);
        if (stueck.isEmpty()) break;
        const int nul = stueck.indexOf('\0');
        if (nul >= 0)
            return fail(zeilenBytes + int(stueck.left(nul).count('\n')),
                        QStringLiteral("Die Datei enthält Nullbytes und ist keine CSV-Textdatei. Bitte speichern Sie sie als UTF-8 oder Windows-1252."));
        zeilenBytes += int(stueck.count('\n'));
        if (!utf8Pruefen) continue;
        const QString t = utf8.toUnicode(stueck);
        if (fffdZeile == 0) {
            const int pos = t.indexOf(QChar(QChar::ReplacementCharacter));
            if (pos >= 0) fffdZeile = zeilenText + int(t.leftRef(pos).count(QLatin1Char('\n')));
            zeilenText += int(t.count(QLatin1Char('\n')));
        }
        gueltig = gueltig && !utf8.hasFailure();
    }
    bool geraten = false;  // Windows-1252 because the bytes are not UTF-8
    if (utf8Pruefen) {
        gueltig = gueltig && !utf8.needsMoreData();
        if (gueltig) {
            m_codec = QTextCodec::codecForName("UTF-8");
        } else if (z == Zeichensatz::Utf8) {
            return fail(fffdZeile > 0 ? fffdZeile : zeilenText,
                        QStringLiteral("Die Datei ist kein gültiges UTF-8%1. Bitte geben Sie ihren Zeichensatz an (Windows-1252 "
                                       "oder ISO-8859-1).")
                            .arg(m_bom ? QStringLiteral(", obwohl sie mit der UTF-8-Kennung beginnt") : QString()));
        } else {
            z = Zeichensatz::Windows1252;  // what German banks and spreadsheets write
            geraten = true;
        }
    }
    if (!m_codec) {
        const bool cp1252 = z == Zeichensatz::Windows1252;
        m_codec = QTextCodec::codecForName(cp1252 ? "Windows-1252" : "ISO-8859-1");
        // Control characters: a byte the set leaves undefined.
        vonVorn();
        int zeile = 1;
        QString t;
        while (this->zeile(&t)) {
            const int pos = ersteSteuerzeichen(t);
            if (pos >= 0) {
                return fail(zeile, steuerzeichenGrund(t.at(pos), cp1252, geraten));
            }
            ++zeile;
        }
    }
    vonVorn();
    return true;
}

void TextLeser::vonVorn() {
    m_datei->seek(m_bom ? 3 : 0);
    delete m_decoder;
    m_decoder = m_codec ? new QTextDecoder(m_codec, QTextCodec::IgnoreHeader) : nullptr;
}

bool TextLeser::zeile(QString* text) {
    if (!m_decoder || m_datei->atEnd()) return false;
    QByteArray b = m_datei->readLine();
    if (b.endsWith('\n')) b.chop(1);
    *text = m_decoder->toUnicode(b);
    return true;
}

}  // namespace BuchungenCSV
