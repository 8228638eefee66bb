// dalvo: the command-line host of the bookkeeping module.
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/global.h"
#include "host/app/ui.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
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

namespace {
bool istHilfe(const QString& a) { return a == QLatin1String("--hilfe") || a == QLatin1String("--help") || a == QLatin1String("-h"); }

// The options every command takes, read before its own: --warten/--wait
// SEKUNDEN and the answer --ja/--yes or --nein/--no. -1 when they are
// well formed, otherwise the exit code of the usage error reported.
int globaleOptionen(const QString& befehl, QStringList& args, ConsoleUi::Antwort* antwort) {
    QString warten, ja, nein;
    for (int i = 0; i < args.size();) {
        const QString a = args[i];
        const QString name = a.section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("--warten") || name == QLatin1String("--wait")) {
            if (!warten.isEmpty())
                return cli::usageError(befehl, QStringLiteral("Die Option %1 ist mehrfach angegeben; bitte nur einmal.").arg(name));
            const bool mitGleich = a.contains(QLatin1Char('='));
            const QString wert = mitGleich ? a.section(QLatin1Char('='), 1) : args.value(i + 1);
            int sekunden = 0;
            QString e;
            if ((!mitGleich && i + 1 >= args.size()) || !cli::parseInt(wert, 0, 86400, &sekunden, &e))
                return cli::usageError(befehl, QStringLiteral("%1 braucht eine Wartezeit in Sekunden (0 bis 86400).").arg(name) +
                                                   (e.isEmpty() ? QString() : QStringLiteral(" ") + e));
            cli::setWarteSekunden(sekunden);
            warten = name;
            args.erase(args.begin() + i, args.begin() + i + (mitGleich ? 1 : 2));
        } else if (a == QLatin1String("--ja") || a == QLatin1String("--yes")) {
            ja = a;
            args.removeAt(i);
        } else if (a == QLatin1String("--nein") || a == QLatin1String("--no")) {
            nein = a;
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    if (!ja.isEmpty() && !nein.isEmpty())
        return cli::usageError(befehl, QStringLiteral("%1 und %2 widersprechen sich; bitte nur eines angeben.").arg(ja, nein));
    *antwort = !ja.isEmpty() ? ConsoleUi::Antwort::Ja : !nein.isEmpty() ? ConsoleUi::Antwort::Nein : ConsoleUi::Antwort::Fragen;
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = anwendung(argc, argv);
    QStringList args = app->arguments().mid(1);
    const cli::Befehl* hilfe = cli::findCommand(QStringLiteral("hilfe"));
    if (args.isEmpty()) {
        hilfe->run(cli::Args({}, *hilfe));
        return cli::Usage;
    }
    const QString name = args.takeFirst();
    if (istHilfe(name)) return hilfe->run(cli::Args({}, *hilfe));
    if (name == QLatin1String("--version")) {
        const cli::Befehl* version = cli::findCommand(QStringLiteral("version"));
        return version->run(cli::Args({}, *version));
    }
    const cli::Befehl* befehl = cli::findCommand(name);
    if (!befehl) {
        cli::err(QStringLiteral("dalvo: unbekannter Befehl „%1“. Übersicht: dalvo hilfe\n").arg(name));
        return cli::Usage;
    }
    if (std::any_of(args.cbegin(), args.cend(), istHilfe)) {
        args.erase(std::remove_if(args.begin(), args.end(), istHilfe), args.end());
        QString e;
        const cli::Befehl* zeile = cli::waehleZeile(*befehl, args, &e);
        cli::out(cli::hilfeText(zeile ? *zeile : *befehl));
        return cli::Ok;
    }
    ConsoleUi::Antwort antwort = ConsoleUi::Antwort::Fragen;
    const int falsch = globaleOptionen(befehl->name, args, &antwort);
    if (falsch >= 0) return falsch;
    QString e;
    const cli::Befehl* zeile = cli::waehleZeile(*befehl, args, &e);
    if (!zeile) return cli::usageError(befehl->name, e);
    cli::setAktuell(zeile);
    const cli::Args a(args, *zeile);
    if (!a.ok()) return cli::usageError(befehl->name, a.error());
    ConsoleUi ui(antwort);
    UiScope scope(&ui);
    const int rc = zeile->run(a);
    GlobalInst::reset();
    return rc;
}
