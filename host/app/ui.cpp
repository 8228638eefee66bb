// The Ui indirection and its console and scripted implementations (see ui.h).
#include "host/app/ui.h"

#include "host/app/global.h"

#include <QRegularExpression>
#include <cstdio>
#include <unistd.h>

namespace {
// Answers every question with No and swallows messages: the safe default for
// code that runs before a host installed its own Ui.
class SilentUi : public Ui {
public:
    void rsError(const QString&, const QString&) override {}
    void Hinweis(const QString&, const QString&) override {}
    void rsWarning(const QString&, const QString&) override {}
    bool frage(const QString&, const QString&) override { return false; }
    void progress(const QString&, long, long) override {}
    void waitCursor(bool) override {}
};

SilentUi g_silent;
Ui* g_current = &g_silent;

void writeErr(const QString& s) {
    QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}
}  // namespace

Ui* Ui::current() { return g_current; }

Ui* Ui::install(Ui* ui) {
    Ui* prev = g_current;
    g_current = ui ? ui : &g_silent;
    return prev == &g_silent ? nullptr : prev;
}

QList<int> Ui::auswahl(const QString& text, const QStringList& punkte, const QString& title) {
    QList<int> alle;
    if (punkte.isEmpty()) return alle;
    QString frageText = text;
    for (const QString& p : punkte) frageText += QStringLiteral("\n  - ") + p;
    frageText += QStringLiteral("\nAlle Änderungen übernehmen?");
    if (!frage(frageText, title)) return alle;
    for (int i = 0; i < punkte.size(); ++i) alle << i;
    return alle;
}

QString Ui::plainText(const QString& html) {
    QString s = html;
    const int jahr = GetGlobal().getSteuerjahr();
    s.replace(QStringLiteral("$Y(-1)"), QString::number(jahr - 1));
    s.replace(QStringLiteral("$Y()"), QString::number(jahr));
    // Host macros with an argument keep only their argument text.
    static const QRegularExpression macro(QStringLiteral("\\$(?:TR|HINWEIS|COLOR)\\(([^()]*)\\)"));
    s.replace(macro, QStringLiteral("\\1"));
    static const QRegularExpression br(QStringLiteral("<\\s*br\\s*/?>|<\\s*/\\s*(?:p|li|tr|div|h\\d)\\s*>"),
                                       QRegularExpression::CaseInsensitiveOption);
    s.replace(br, QStringLiteral("\n"));
    static const QRegularExpression li(QStringLiteral("<\\s*li\\s*>"), QRegularExpression::CaseInsensitiveOption);
    s.replace(li, QStringLiteral("- "));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    s.replace(tag, QString());
    static const struct { const char* entity; const char* text; } kEntities[] = {
        {"&nbsp;", " "}, {"&lt;", "<"},   {"&gt;", ">"},   {"&quot;", "\""}, {"&auml;", "ä"},
        {"&ouml;", "ö"}, {"&uuml;", "ü"}, {"&Auml;", "Ä"}, {"&Ouml;", "Ö"},   {"&Uuml;", "Ü"},
        {"&szlig;", "ß"}, {"&euro;", "€"}};
    for (const auto& e : kEntities) s.replace(QString::fromUtf8(e.entity), QString::fromUtf8(e.text));
    // Last, so that "&amp;lt;" stays the text "&lt;".
    s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    static const QRegularExpression blank(QStringLiteral("\n[ \t]*\n[\n \t]*"));
    s.replace(blank, QStringLiteral("\n"));
    return s.trimmed();
}

void ConsoleUi::rsError(const QString& text, const QString& title) {
    ++m_errors;
    writeErr(title + QStringLiteral(": ") + plainText(text) + QLatin1Char('\n'));
}

void ConsoleUi::Hinweis(const QString& text, const QString& title) {
    if (!m_quiet) writeErr(title + QStringLiteral(": ") + plainText(text) + QLatin1Char('\n'));
}

void ConsoleUi::rsWarning(const QString& text, const QString& title) {
    writeErr(title + QStringLiteral(": ") + plainText(text) + QLatin1Char('\n'));
}

bool ConsoleUi::frage(const QString& text, const QString& title) {
    writeErr(title + QStringLiteral(": ") + plainText(text) + QLatin1Char('\n'));
    if (m_antwort == Antwort::Ja) {
        writeErr(QStringLiteral("→ Ja (--ja)\n"));
        return true;
    }
    if (m_antwort == Antwort::Nein || !isatty(STDIN_FILENO)) {
        writeErr(QStringLiteral("→ Nein\n"));
        return false;
    }
    writeErr(QStringLiteral("[j/N] "));
    char buf[64] = {0};
    if (!std::fgets(buf, sizeof buf, stdin)) return false;
    const QString a = QString::fromUtf8(buf).trimmed().toLower();
    return a == QLatin1String("j") || a == QLatin1String("ja") || a == QLatin1String("y") || a == QLatin1String("yes");
}

void ConsoleUi::progress(const QString& what, long done, long total) {
    if (m_quiet || total <= 0 || !isatty(STDERR_FILENO)) return;
    const long pct = done * 100 / total;
    if (pct == m_lastPercent && done != total) return;
    m_lastPercent = pct;
    writeErr(QStringLiteral("\r%1: %2 %").arg(what).arg(pct));
    if (done >= total) {
        writeErr(QStringLiteral("\n"));
        m_lastPercent = -1;
    }
}

bool ScriptedUi::frage(const QString& text, const QString& title) {
    m_log.append({Art::Frage, title, text});
    if (!m_answers.isEmpty()) return m_answers.takeFirst();
    return m_default;
}

QStringList ScriptedUi::texts(Art art) const {
    QStringList out;
    for (const auto& n : m_log)
        if (n.art == art) out << n.text;
    return out;
}
