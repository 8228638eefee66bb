// The dalvo command line: argument parsing and the command table. The
// commands hold no bookkeeping logic; they parse, call the module and print.
//
// Exit codes: 0 success, 1 the module refused, 2 usage error.
#pragma once

#include "host/values/date.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class EuroType;

namespace cli {

enum Exit { Ok = 0, Refused = 1, Usage = 2 };

// Parsed arguments: positional words and --flags (with or without value).
class Args {
public:
    // `valueFlags` lists the flags that take a value ("--year"); all other
    // flags are switches. Unknown flags are a usage error reported by error().
    Args(const QStringList& argv, const QStringList& valueFlags, const QStringList& switches);

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    const QStringList& positional() const { return m_pos; }
    bool has(const QString& flag) const { return m_flags.contains(flag); }
    QString value(const QString& flag) const { return m_flags.value(flag); }

private:
    QStringList m_pos;
    QMap<QString, QString> m_flags;
    QString m_error;
};

// Strict parsers for user input; false with a German reason in `err`.
bool parseDate(const QString& text, zDate* out, QString* err);
bool parseAmount(const QString& text, EuroType* out, QString* err);
bool parseInt(const QString& text, int lo, int hi, int* out, QString* err);

// The period flags of the reports and lists: --month M, --quarter Q,
// --year (the default), --from D --to D.
struct Zeitraum {
    enum Art { Monat = 1, Quartal = 2, Jahr = 3, Frei = 4 } art = Jahr;
    int index = -1;  // 0-based month or quarter
    zDate von, bis;  // the days covered
    QString text;    // "März 2016", "2. Quartal 2016", "2016", "01.03.2016 – 15.03.2016"
};
QStringList zeitraumWertFlags();   // flags that take a value
QStringList zeitraumSchalter();    // switches
// False (with a German reason) for conflicting or malformed flags; `jahr`
// is the tax year the period lies in.
bool parseZeitraum(const Args& a, int jahr, Zeitraum* z, QString* err);

struct Command {
    QString name;
    QString usage;    // "dalvo info CASE [--json]"
    QString summary;  // one line for the overview
    QString help;     // the full help text
    std::function<int(const QStringList& args)> run;
};

// Registered commands in display order.
const QList<Command>& commands();
const Command* findCommand(const QString& name);

// Output helpers (UTF-8).
void out(const QString& text);
// While a buffer is open, out() collects instead of printing; the end
// prints the collected text (ausgeben) or drops it.
void beginAusgabePuffer();
void endeAusgabePuffer(bool ausgeben);
void err(const QString& text);
int usageError(const QString& command, const QString& message);

}  // namespace cli
