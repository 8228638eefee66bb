// dalvo: the command-line host of the bookkeeping module.
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/global.h"
#include "host/app/ui.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace {
// Printing a PDF needs Qt's graphics side (fonts, page layout); every other
// command runs without it and starts faster. No display is needed: the
// offscreen platform stands in when none is chosen.
std::unique_ptr<QCoreApplication> anwendung(int& argc, char** argv) {
    // A document is printed by "rechnung FALL pdf NR DATEI" (or angebot, auftrag, lieferschein).
    bool belegPdf = false;
    for (const char* art : {"rechnung", "angebot", "auftrag", "lieferschein"})
        belegPdf = belegPdf || (argc > 3 && qstrcmp(argv[1], art) == 0 && qstrcmp(argv[3], "pdf") == 0);
    for (int i = 1; i < argc; ++i)
        if (belegPdf || qstrcmp(argv[i], "--pdf") == 0 || qstrncmp(argv[i], "--pdf=", 6) == 0) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
            // Qt's notes about a missing runtime directory are no concern of the user.
            qInstallMessageHandler([](QtMsgType typ, const QMessageLogContext&, const QString& text) {
                if (typ == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:"))) return;
                cli::err(text + QLatin1Char('\n'));
            });
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    return std::make_unique<QCoreApplication>(argc, argv);
}
}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = anwendung(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        cli::commands().first().run({});
        return cli::Usage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) return cli::findCommand(QStringLiteral("help"))->run({});
    if (name == QLatin1String("--version")) return cli::findCommand(QStringLiteral("version"))->run({});
    const cli::Command* cmd = cli::findCommand(name);
    if (!cmd) {
        cli::err(QStringLiteral("dalvo: unbekannter Befehl „%1“. Übersicht: dalvo help\n").arg(name));
        return cli::Usage;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        cli::out(QStringLiteral("Aufruf: %1\n\n%2\n").arg(cmd->usage, cmd->help));
        return cli::Ok;
    }
    const int wait = args.indexOf(QStringLiteral("--wait"));
    if (args.count(QStringLiteral("--wait")) > 1)
        return cli::usageError(name, QStringLiteral("Die Option --wait ist mehrfach angegeben; bitte nur einmal."));
    if (wait >= 0) {
        int sekunden = 0;
        QString e;
        if (wait + 1 >= args.size() || !cli::parseInt(args.at(wait + 1), 0, 86400, &sekunden, &e))
            return cli::usageError(name, QStringLiteral("--wait braucht eine Wartezeit in Sekunden (0 bis 86400).") +
                                             (e.isEmpty() ? QString() : QStringLiteral(" ") + e));
        cli::setWarteSekunden(sekunden);
        args.removeAt(wait + 1);
        args.removeAt(wait);
    }
    ConsoleUi::Antwort antwort = ConsoleUi::Antwort::Fragen;
    const int ja = int(args.removeAll(QStringLiteral("--yes"))), nein = int(args.removeAll(QStringLiteral("--no")));
    if (ja > 0 && nein > 0)
        return cli::usageError(name, QStringLiteral("--yes und --no widersprechen sich; bitte nur eines angeben."));
    if (ja > 0) antwort = ConsoleUi::Antwort::Ja;
    if (nein > 0) antwort = ConsoleUi::Antwort::Nein;
    ConsoleUi ui(antwort);
    UiScope scope(&ui);
    const int rc = cmd->run(args);
    GlobalInst::reset();
    return rc;
}
