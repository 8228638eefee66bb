// Subsystem "austausch": bookings leaving and entering a case as files. The
// bookings CSV export (one record per booking or split part, gross amounts
// in a debit or credit column) and its import, which posts the rows of such
// a file all or nothing through the posting operations of buchungen.
//
// Relies on: rahmen (case database), buchungen (posting, tax keys, the
// checks of a booking before it is posted); through KontoGlobal's members
// konten (account look-ups). Declared
// in rahmen/kontglob.h under "CSV import" and "CSV export", and below for the
// export written piece by piece and the import of a file.
#pragma once

#include "kontbaum/rahmen/kontglob.h"

#include <functional>

class QIODevice;
class QTextCodec;
class QTextDecoder;

namespace BuchungenCSV {
// Receives the export in pieces (the header line, then all records of one
// booking at a time), in file order. Returning false stops the export: the
// piece could not be stored.
using Senke = std::function<bool(const QString& stueck)>;

// The bookings CSV of `table` (eurVerbucht, eurStapel or eurBeispiel): the
// live bookings, with a voucher date from `von` to `bis` where those are
// valid. Each booking goes to `senke` as soon as it has been read, so memory
// does not grow with the ledger; the concatenated pieces are exactly the text
// getBuchungenAsCSV returns. Returns the number of bookings written (a
// booking without an exportable line gives no record and is not counted; 0
// for another table or without a case), -1 when the sink refused a piece.
int schreiben(const Senke& senke, bool mitKopf, const QString& table, const zDate& von, const zDate& bis);

// The export of eurVerbucht with header line into the file `pfad`. The file
// is replaced only when it is complete and on disk (temporary file beside
// it, then rename); on any failure it stays as it was and no temporary file
// is left. Returns the number of bookings; 0 when none was selected (no file
// is created or touched); -1 on failure with the German reason in `fehler`.
int inDatei(const QString& pfad, const zDate& von, const zDate& bis, QString* fehler);

// --- import of a file (import.cpp, zeichensatz.cpp) ---------------------------

// The character set of a bookings file. Automatisch: UTF-8 with or without
// byte-order mark; a file that is not valid UTF-8 is read as Windows-1252,
// what German banks and spreadsheets write.
enum class Zeichensatz { Automatisch, Utf8, Windows1252, Latin1 };

// The set named "utf-8", "windows-1252" or "iso-8859-1" (any case); false
// for any other name.
bool zeichensatzAusName(const QString& name, Zeichensatz* z);
// The names zeichensatzAusName knows, for help and error texts.
QStringList zeichensatzNamen();

// The file's bytes as text. Refused (false, German reason with the row in
// `fehler`) rather than ever read into replacement or control characters:
// a file named UTF-8 that is not, UTF-16 and other files with NUL bytes,
// and bytes that Windows-1252 leaves undefined or ISO-8859-1 reads as
// control characters. A UTF-8 byte-order mark is dropped.
bool dekodieren(const QByteArray& datei, Zeichensatz z, QString* text, QString* fehler);

// The same for a file of any size, read piece by piece: pruefen reads the
// device through (it must be able to seek back to its start) with the checks
// and messages of dekodieren and settles the character set; zeile then
// hands out the text a line at a time, without the line's '\n'.
class TextLeser {
public:
    explicit TextLeser(QIODevice* datei);
    ~TextLeser();
    bool pruefen(Zeichensatz z, QString* fehler);
    // The next line; false at the end of the file.
    bool zeile(QString* text);
    // Back to the first line (for a second reading).
    void vonVorn();

private:
    QIODevice* m_datei;
    QTextCodec* m_codec = nullptr;
    QTextDecoder* m_decoder = nullptr;
    bool m_bom = false;
};

// The outcome of importing a file.
struct Importergebnis {
    enum Grund {
        Gebucht,      // the bookings were posted
        Unlesbar,     // the bytes could not be read in the character set
        Inhalt,       // a row breaks a rule (the row number leads the text)
        Verneint,     // the user answered a question with No
        Datenbank     // no case, or the case could not be written
    };
    Grund grund = Gebucht;
    long anzahl = 0;  // bookings posted
    QString fehler;   // German reason when not posted; ends saying nothing was posted
};

// Imports the bookings CSV file whose bytes are `datei` all or nothing, as
// importBuchungenAusCSV does with text (pass the bytes by move: they are
// dropped once read). Before anything is posted the user is asked, once
// each, when the same bytes were imported into this case before and when
// bookings fall into the locked period.
//
// Each imported file is remembered in the case properties by the SHA-256
// of its bytes: property "ImportHash:<64 hex digits>", value
// "<yyyy-MM-ddTHH:mm:ss>;<bookings posted>" of its latest import (local
// time), written in the import's own transaction.
Importergebnis importieren(QByteArray datei, Zeichensatz z);
}  // namespace BuchungenCSV
