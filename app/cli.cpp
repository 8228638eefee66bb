// Argument parsing and output helpers of the command line.
#include "app/cli.h"

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QRegularExpression>
#include <cstdio>

namespace cli {

Args::Args(const QStringList& argv, const QStringList& valueFlags, const QStringList& switches) {
    for (int i = 0; i < argv.size(); ++i) {
        const QString& a = argv[i];
        if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            QString name = a;
            QString val;
            const int eq = a.indexOf(QLatin1Char('='));
            if (eq > 0) {
                name = a.left(eq);
                val = a.mid(eq + 1);
            }
            // A flag given twice would have one value silently win.
            if (m_flags.contains(name)) {
                m_error = QStringLiteral("Die Option %1 ist mehrfach angegeben; bitte nur einmal.").arg(name);
                return;
            }
            if (valueFlags.contains(name)) {
                if (eq < 0) {
                    if (i + 1 >= argv.size()) {
                        m_error = QStringLiteral("Die Option %1 verlangt einen Wert.").arg(name);
                        return;
                    }
                    val = argv[++i];
                }
                m_flags.insert(name, val);
            } else if (switches.contains(name) && eq < 0) {
                m_flags.insert(name, QString());
            } else {
                m_error = QStringLiteral("Unbekannte Option: %1").arg(a);
                return;
            }
        } else {
            m_pos << a;
        }
    }
}

bool parseDate(const QString& text, zDate* out, QString* err) {
    static const QRegularExpression re(QStringLiteral("^\\d{1,2}\\.\\d{1,2}\\.\\d{4}$"));
    const zDate d = re.match(text.trimmed()).hasMatch() ? zDate::fromText(text.trimmed()) : zDate();
    if (!d.isValid()) {
        if (err) *err = QStringLiteral("Ungültiges Datum „%1“ (erwartet TT.MM.JJJJ).").arg(text);
        return false;
    }
    *out = d;
    return true;
}

bool parseAmount(const QString& text, EuroType* out, QString* err) {
    if (!EuroType::fromText(text, out)) {
        if (err)
            *err = QStringLiteral("Ungültiger Betrag „%1“ (erwartet z. B. 1.190,00 oder 1190.00, höchstens zwei "
                                  "Nachkommastellen und höchstens %2).")
                       .arg(text, EuroType::hoechstbetragText());
        return false;
    }
    return true;
}

bool parseInt(const QString& text, int lo, int hi, int* out, QString* err) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi) {
        if (err) *err = QStringLiteral("Ungültige Zahl „%1“ (erlaubt %2 bis %3).").arg(text).arg(lo).arg(hi);
        return false;
    }
    *out = v;
    return true;
}

QStringList zeitraumWertFlags() {
    return {QStringLiteral("--month"), QStringLiteral("--quarter"), QStringLiteral("--from"), QStringLiteral("--to")};
}

QStringList zeitraumSchalter() { return {QStringLiteral("--year")}; }

bool parseZeitraum(const Args& a, int jahr, Zeitraum* z, QString* err) {
    const bool m = a.has(QStringLiteral("--month")), q = a.has(QStringLiteral("--quarter")), y = a.has(QStringLiteral("--year"));
    const bool f = a.has(QStringLiteral("--from")) || a.has(QStringLiteral("--to"));
    if (int(m) + int(q) + int(y) + int(f) > 1) {
        if (err) *err = QStringLiteral("Nur eine Zeitraumangabe: --month, --quarter, --year oder --from/--to.");
        return false;
    }
    static const char* const monate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                         "August", "September", "Oktober", "November", "Dezember"};
    int n = 0;
    if (m) {
        if (!parseInt(a.value(QStringLiteral("--month")), 1, 12, &n, err)) return false;
        z->art = Zeitraum::Monat;
        z->index = n - 1;
        z->von = zDate(jahr, n, 1);
        z->bis = z->von.addMonths(1).addDays(-1);
        z->text = QStringLiteral("%1 %2").arg(QString::fromUtf8(monate[n - 1])).arg(jahr);
    } else if (q) {
        if (!parseInt(a.value(QStringLiteral("--quarter")), 1, 4, &n, err)) return false;
        z->art = Zeitraum::Quartal;
        z->index = n - 1;
        z->von = zDate(jahr, 3 * (n - 1) + 1, 1);
        z->bis = z->von.addMonths(3).addDays(-1);
        z->text = QStringLiteral("%1. Quartal %2").arg(n).arg(jahr);
    } else if (f) {
        if (!a.has(QStringLiteral("--from")) || !a.has(QStringLiteral("--to"))) {
            if (err) *err = QStringLiteral("--from und --to gehören zusammen.");
            return false;
        }
        if (!parseDate(a.value(QStringLiteral("--from")), &z->von, err) || !parseDate(a.value(QStringLiteral("--to")), &z->bis, err))
            return false;
        if (z->bis < z->von) {
            if (err) *err = QStringLiteral("--to liegt vor --from.");
            return false;
        }
        z->art = Zeitraum::Frei;
        z->text = z->von.getText() + QStringLiteral(" – ") + z->bis.getText();
    } else {
        z->art = Zeitraum::Jahr;
        z->von = zDate(jahr, 1, 1);
        z->bis = zDate(jahr, 12, 31);
        z->text = QString::number(jahr);
    }
    return true;
}

namespace {
bool g_puffern = false;
QByteArray g_puffer;
}  // namespace

void beginAusgabePuffer() {
    g_puffern = true;
    g_puffer.clear();
}

void endeAusgabePuffer(bool ausgeben) {
    if (!g_puffern) return;
    g_puffern = false;
    if (ausgeben && !g_puffer.isEmpty()) {
        std::fwrite(g_puffer.constData(), 1, size_t(g_puffer.size()), stdout);
        std::fflush(stdout);
    }
    g_puffer.clear();
}

void out(const QString& text) {
    const QByteArray b = text.toUtf8();
    if (g_puffern) {
        g_puffer += b;
        return;
    }
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

void err(const QString& text) {
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

int usageError(const QString& command, const QString& message) {
    err(QStringLiteral("dalvo %1: %2\n").arg(command, message));
    if (const Command* c = findCommand(command)) err(QStringLiteral("Aufruf: %1\n").arg(c->usage));
    err(QStringLiteral("Hilfe: dalvo %1 --help\n").arg(command));
    return Usage;
}

}  // namespace cli
