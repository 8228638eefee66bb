// Argument parsing and output helpers of the command line.
#include "app/cli.h"

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QRegularExpression>
#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {
const Option* findeOption(const Befehl& b, const QString& name) {
    for (const Option& o : b.optionen)
        if (o.namen.contains(name)) return &o;
    return nullptr;
}

QString optionsliste(const Befehl& b) {
    QStringList l;
    for (const Option& o : b.optionen) l << o.name();
    return l.join(QStringLiteral(", "));
}

// Why `name` is not an option of the row `b`: it belongs to another
// subcommand of the same command, or to none.
QString fremdeOption(const Befehl& b, const QString& name) {
    const QString erlaubt = b.optionen.isEmpty() ? QStringLiteral("„dalvo %1“ hat keine Optionen.").arg(b.voll())
                                                 : QStringLiteral("„dalvo %1“ kennt: %2.").arg(b.voll(), optionsliste(b));
    for (const Befehl& x : commands())
        if (x.name == b.name && &x != &b && findeOption(x, name))
            return QStringLiteral("Die Option %1 gehört nicht zu „dalvo %2“, sondern zu „dalvo %3“; %4")
                .arg(name, b.voll(), x.voll(), erlaubt);
    return QStringLiteral("Unbekannte Option: %1. %2").arg(name, erlaubt);
}
}  // namespace

Args::Args(const QStringList& argv, const Befehl& befehl) : m_befehl(&befehl) {
    QMap<QString, QString> getippt;  // German name → the name given
    for (int i = 0; i < argv.size(); ++i) {
        const QString& a = argv[i];
        if (!a.startsWith(QLatin1String("--")) || a.size() <= 2) {
            m_pos << a;
            continue;
        }
        QString name = a;
        QString val;
        const int eq = a.indexOf(QLatin1Char('='));
        if (eq > 0) {
            name = a.left(eq);
            val = a.mid(eq + 1);
        }
        const Option* o = findeOption(befehl, name);
        if (!o) {
            m_error = fremdeOption(befehl, name);
            return;
        }
        // An option given twice, under one name or two, would have one value silently win.
        if (m_flags.contains(o->name())) {
            m_error = getippt.value(o->name()) == name
                          ? QStringLiteral("Die Option %1 ist mehrfach angegeben; bitte nur einmal.").arg(name)
                          : QStringLiteral("Die Option %1 ist mehrfach angegeben (auch als %2); bitte nur einmal.")
                                .arg(name, getippt.value(o->name()));
            return;
        }
        if (o->mitWert()) {
            if (eq < 0) {
                if (i + 1 >= argv.size()) {
                    m_error = QStringLiteral("Die Option %1 verlangt einen Wert (%2).").arg(name, o->wert);
                    return;
                }
                val = argv[++i];
            }
        } else if (eq > 0) {
            m_error = QStringLiteral("Die Option %1 nimmt keinen Wert; bitte ohne „=%2“ angeben.").arg(name, val);
            return;
        }
        m_flags.insert(o->name(), val);
        getippt.insert(o->name(), name);
    }
    // The handler asks for the subcommand by its German name only.
    if (!befehl.unter.isEmpty() && m_pos.size() >= 2) m_pos[1] = befehl.unter;
}

QString Args::kanonisch(const QString& flag) const {
    const Option* o = findeOption(*m_befehl, flag);
    return o ? o->name() : flag;
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

QList<Option> zeitraumOptionen() {
    return {{{"--monat", "--month"}, "M"}, {{"--quartal", "--quarter"}, "Q"}, {{"--jahr", "--year"}},
            {{"--von", "--from"}, "TT.MM.JJJJ"}, {{"--bis", "--to"}, "TT.MM.JJJJ"}};
}

bool parseZeitraum(const Args& a, int jahr, Zeitraum* z, QString* err) {
    const bool m = a.has(QStringLiteral("--monat")), q = a.has(QStringLiteral("--quartal")), y = a.has(QStringLiteral("--jahr"));
    const bool f = a.has(QStringLiteral("--von")) || a.has(QStringLiteral("--bis"));
    if (int(m) + int(q) + int(y) + int(f) > 1) {
        if (err) *err = QStringLiteral("Nur eine Zeitraumangabe: --monat, --quartal, --jahr oder --von/--bis.");
        return false;
    }
    static const char* const monate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                         "August", "September", "Oktober", "November", "Dezember"};
    int n = 0;
    if (m) {
        if (!parseInt(a.value(QStringLiteral("--monat")), 1, 12, &n, err)) return false;
        z->art = Zeitraum::Monat;
        z->index = n - 1;
        z->von = zDate(jahr, n, 1);
        z->bis = z->von.addMonths(1).addDays(-1);
        z->text = QStringLiteral("%1 %2").arg(QString::fromUtf8(monate[n - 1])).arg(jahr);
    } else if (q) {
        if (!parseInt(a.value(QStringLiteral("--quartal")), 1, 4, &n, err)) return false;
        z->art = Zeitraum::Quartal;
        z->index = n - 1;
        z->von = zDate(jahr, 3 * (n - 1) + 1, 1);
        z->bis = z->von.addMonths(3).addDays(-1);
        z->text = QStringLiteral("%1. Quartal %2").arg(n).arg(jahr);
    } else if (f) {
        if (!a.has(QStringLiteral("--von")) || !a.has(QStringLiteral("--bis"))) {
            if (err) *err = QStringLiteral("--von und --bis gehören zusammen.");
            return false;
        }
        if (!parseDate(a.value(QStringLiteral("--von")), &z->von, err) || !parseDate(a.value(QStringLiteral("--bis")), &z->bis, err))
            return false;
        if (z->bis < z->von) {
            if (err) *err = QStringLiteral("--bis liegt vor --von.");
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
QString g_erledigt;  // the line of meldeErledigt held back with the result
const Befehl* g_aktuell = nullptr;
}  // namespace

void beginAusgabePuffer() {
    g_puffern = true;
    g_puffer.clear();
    g_erledigt.clear();
}

void endeAusgabePuffer(bool ausgeben) {
    if (!g_puffern) return;
    g_puffern = false;
    if (ausgeben && !g_puffer.isEmpty()) {
        std::fwrite(g_puffer.constData(), 1, size_t(g_puffer.size()), stdout);
        std::fflush(stdout);
    }
    if (ausgeben && !g_erledigt.isEmpty()) err(g_erledigt);
    g_puffer.clear();
    g_erledigt.clear();
}

void meldeErledigt(const QString& text) {
    if (!isatty(STDERR_FILENO)) return;
    if (g_puffern)
        g_erledigt += text + QLatin1Char('\n');
    else
        err(text + QLatin1Char('\n'));
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

bool outBytes(const QByteArray& b) {
    if (g_puffern) {
        g_puffer += b;
        return true;
    }
    const bool ok = std::fwrite(b.constData(), 1, size_t(b.size()), stdout) == size_t(b.size());
    return std::fflush(stdout) == 0 && ok;
}

void err(const QString& text) {
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

void setAktuell(const Befehl* zeile) { g_aktuell = zeile; }

int usageError(const QString& command, const QString& message) {
    const Befehl* c = findCommand(command);
    if (c && g_aktuell && g_aktuell->name == c->name) c = g_aktuell;
    const QString name = c ? c->voll() : command;
    err(QStringLiteral("dalvo %1: %2\n").arg(name, message));
    if (c) err(QStringLiteral("Aufruf: %1\n").arg(aufrufText(*c)));
    err(QStringLiteral("Hilfe: dalvo hilfe %1\n").arg(name));
    return Usage;
}

}  // namespace cli
