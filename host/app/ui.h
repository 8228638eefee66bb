// Ui: how the module talks to the person at the keyboard. The module never
// writes to a terminal or opens a message box itself; it calls the current Ui
// with the German texts of its messages. The CLI installs a console Ui, tests
// install a ScriptedUi that records every message and answers questions from
// a script.
//
// Texts may be HTML fragments and may contain the host macros $Y() (tax year)
// and $Y(-1) (previous year); Ui::plainText reduces them for a console.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Ui {
public:
    enum class Art { Fehler, Hinweis, Achtung, Frage };

    virtual ~Ui() = default;
    // Error box ("Fehler").
    virtual void rsError(const QString& text, const QString& title = QStringLiteral("Fehler")) = 0;
    // Note ("Hinweis").
    virtual void Hinweis(const QString& text, const QString& title = QStringLiteral("Hinweis")) = 0;
    // Warning ("Achtung").
    virtual void rsWarning(const QString& text, const QString& title = QStringLiteral("Achtung")) = 0;
    // Yes/no question ("Frage"); true for yes.
    virtual bool frage(const QString& text, const QString& title = QStringLiteral("Frage")) = 0;
    // Progress of long work; total 0 means unknown. done == total ends it.
    virtual void progress(const QString& what, long done, long total) = 0;
    virtual void waitCursor(bool on) = 0;
    // A check list: the user marks the entries of `punkte` to allow; returns
    // the indexes marked. By default one yes/no question over the whole list
    // decides for all entries (a console answers it with --ja/--nein).
    virtual QList<int> auswahl(const QString& text, const QStringList& punkte,
                               const QString& title = QStringLiteral("Frage"));

    // The current Ui (never null: a silent Ui that answers No is installed by default).
    static Ui* current();
    // Installs `ui` (not owned); null restores the silent default. Returns the previous one.
    static Ui* install(Ui* ui);

    // HTML reduced to text: <br>, <p> and </li> become line breaks, other tags
    // vanish, entities are decoded, $Y()/$Y(-1) are replaced by the tax year
    // of the global instance and the year before.
    static QString plainText(const QString& html);
};

// Answers from --ja/--nein or a prompt on a TTY; writes to stderr.
class ConsoleUi : public Ui {
public:
    enum class Antwort { Fragen, Ja, Nein };
    explicit ConsoleUi(Antwort antwort = Antwort::Fragen, bool quiet = false) : m_antwort(antwort), m_quiet(quiet) {}
    void rsError(const QString& text, const QString& title) override;
    void Hinweis(const QString& text, const QString& title) override;
    void rsWarning(const QString& text, const QString& title) override;
    bool frage(const QString& text, const QString& title) override;
    void progress(const QString& what, long done, long total) override;
    void waitCursor(bool) override {}
    int errorCount() const { return m_errors; }

private:
    Antwort m_antwort;
    bool m_quiet;
    int m_errors = 0;
    long m_lastPercent = -1;
};

// Records everything; questions are answered from a queue (then the default).
class ScriptedUi : public Ui {
public:
    struct Nachricht {
        Art art;
        QString titel;
        QString text;
    };
    void rsError(const QString& text, const QString& title) override { m_log.append({Art::Fehler, title, text}); }
    void Hinweis(const QString& text, const QString& title) override { m_log.append({Art::Hinweis, title, text}); }
    void rsWarning(const QString& text, const QString& title) override { m_log.append({Art::Achtung, title, text}); }
    bool frage(const QString& text, const QString& title) override;
    void progress(const QString&, long, long total) override { ++m_progressCalls; m_lastTotal = total; }
    void waitCursor(bool) override {}

    void queueAnswer(bool yes) { m_answers.append(yes); }
    void setDefaultAnswer(bool yes) { m_default = yes; }
    const QList<Nachricht>& messages() const { return m_log; }
    QStringList texts(Art art) const;
    int count(Art art) const { return texts(art).size(); }
    void clear() { m_log.clear(); m_answers.clear(); }
    int progressCalls() const { return m_progressCalls; }

private:
    QList<Nachricht> m_log;
    QList<bool> m_answers;
    bool m_default = false;
    int m_progressCalls = 0;
    long m_lastTotal = 0;
};

// RAII installation of a Ui for a scope.
// The current Ui, for module code.
inline Ui& GetUi() { return *Ui::current(); }

class UiScope {
public:
    explicit UiScope(Ui* ui) : m_prev(Ui::install(ui)) {}
    ~UiScope() { Ui::install(m_prev); }
    UiScope(const UiScope&) = delete;
    UiScope& operator=(const UiScope&) = delete;

private:
    Ui* m_prev;
};
