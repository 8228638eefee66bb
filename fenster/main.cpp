// dalvo-fenster: the desktop window over the bookkeeping library. Usage:
//   dalvo-fenster [FALLDATEI]
#include "fenster/hauptfenster.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dalvo16"));
    QApplication::setApplicationName(QStringLiteral("dalvo-fenster"));
    QApplication::setApplicationVersion(QStringLiteral(DALVO_VERSION));
    // Qt's own dialogs (files, printing, preview, the standard buttons) in
    // German like the rest of the window; without the translation package
    // they stay English, which is no reason to refuse to start.
    QTranslator qtDeutsch;
    if (qtDeutsch.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtDeutsch);
    fenster::Hauptfenster fenster;
    fenster.show();
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty()) fenster.fallOeffnen(QFileInfo(args.first()).absoluteFilePath());
    return app.exec();
}
