// The dalvo command line: argument parsing and the command table. The
// commands hold no bookkeeping logic; they parse, call the module and print.
//
// Exit codes: 0 success, 1 the module refused, 2 usage error.
#pragma once

#include "host/values/date.h"

#include <QMap>
#include <QString>
#include <QStringList>

class EuroType;

namespace cli {

enum Exit { Ok = 0, Refused = 1, Usage = 2 };

// One option of a command: its German name first, then the names scripts
// may still use (the English ones of the first commands), and what its
// value is called in the help ("BETRAG"); a switch has no value.
struct Option {
    // Written as {{"--betrag", "--amount"}, "BETRAG"} or {{"--json"}}.
    Option(const QStringList& namen, const char* wert = nullptr) : namen(namen), wert(QString::fromUtf8(wert)) {}
    QStringList namen;
    QString wert;
    const QString& name() const { return namen.first(); }
    bool mitWert() const { return !wert.isEmpty(); }
};

class Args;
// A command or one of its subcommands ("rechnung FALL liste"): the one way a
// command is declared. Each file of commands registers its rows with their
// options, texts and handler; the parser accepts only the row's own options,
// so an option of another subcommand is a usage error.
struct Befehl {
    QString name;            // German: "buchen", "rechnung"
    QString unter;           // the subcommand ("liste"); empty for the command itself
    QStringList aliase;      // further names kept for scripts: "book" for the command, "list" for a subcommand
    QList<Option> optionen;  // besides the global --ja/--nein/--warten/--hilfe
    QString aufruf;          // "dalvo buchen FALL --art ART …"
    QString kurz;            // one line for the overview or the list of subcommands
    QString hilfe;           // the full help
    // Null for a command that is only the heading of its subcommands.
    int (*run)(const Args&) = nullptr;

    // "rechnung liste", or the name alone.
    QString voll() const { return unter.isEmpty() ? name : name + QLatin1Char(' ') + unter; }
};

// Parsed arguments: positional words and --options of one row. A
// subcommand given by an alias is in positional()[1] under its German name;
// has() and value() take any name of a declared option.
class Args {
public:
    // Unknown options, options of another subcommand, a missing value and an
    // option given twice are usage errors reported by error().
    Args(const QStringList& argv, const Befehl& befehl);

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    const QStringList& positional() const { return m_pos; }
    bool has(const QString& flag) const { return m_flags.contains(kanonisch(flag)); }
    QString value(const QString& flag) const { return m_flags.value(kanonisch(flag)); }
    const Befehl& befehl() const { return *m_befehl; }

private:
    QString kanonisch(const QString& flag) const;

    const Befehl* m_befehl;
    QStringList m_pos;
    QMap<QString, QString> m_flags;  // by German name
    QString m_error;
};

// Strict parsers for user input; false with a German reason in `err`.
bool parseDate(const QString& text, zDate* out, QString* err);
bool parseAmount(const QString& text, EuroType* out, QString* err);
bool parseInt(const QString& text, int lo, int hi, int* out, QString* err);

// The period options of the reports and lists: --monat M, --quartal Q,
// --jahr (the default), --von D --bis D.
struct Zeitraum {
    enum Art { Monat = 1, Quartal = 2, Jahr = 3, Frei = 4 } art = Jahr;
    int index = -1;  // 0-based month or quarter
    zDate von, bis;  // the days covered
    QString text;    // "März 2016", "2. Quartal 2016", "2016", "01.03.2016 – 15.03.2016"
};
// --monat, --quartal, --jahr, --von, --bis (with their English names).
QList<Option> zeitraumOptionen();
// False (with a German reason) for conflicting or malformed flags; `jahr`
// is the tax year the period lies in.
bool parseZeitraum(const Args& a, int jahr, Zeitraum* z, QString* err);

// Every row of every command, in the order of their files.
const QList<Befehl>& commands();
// The command (not a subcommand) named `name` or called so by an alias.
const Befehl* findCommand(const QString& name);
// The row of `befehl` (a command's German name) for the subcommand `unter`,
// given by its German name or an alias; null when there is none.
const Befehl* findeUnterbefehl(const QString& befehl, const QString& unter);
// The row the words of `argv` after the command `befehl` call: the
// subcommand in the second positional place, or the command itself. Null
// (with the German reason) for a missing or unknown subcommand.
const Befehl* waehleZeile(const Befehl& befehl, const QStringList& argv, QString* fehler);
// How a row is called; for a command, also each of its subcommands, one a line.
QString aufrufText(const Befehl& zeile);
// The help of a row: its call and text; for a command, also those of its subcommands.
QString hilfeText(const Befehl& zeile);

// Output helpers (UTF-8).
void out(const QString& text);
// The same for text already in UTF-8 (the list writers); false when
// standard output could not take it.
bool outBytes(const QByteArray& bytes);
// While a buffer is open, out() collects instead of printing; the end
// prints the collected text (ausgeben) or drops it.
void beginAusgabePuffer();
void endeAusgabePuffer(bool ausgeben);
void err(const QString& text);
// Reports a usage error of `command` (any of its names) and returns Usage;
// while a row runs (setAktuell), its call is shown.
int usageError(const QString& command, const QString& message);
void setAktuell(const Befehl* zeile);
// On a terminal (stderr), one German line saying what a command did, for
// the commands whose stdout is empty or a bare number that scripts read. A
// writing command's line appears with its result, once the case is saved.
void meldeErledigt(const QString& text);

}  // namespace cli
