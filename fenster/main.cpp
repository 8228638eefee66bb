// dalvo-fenster: the desktop window over the bookkeeping library. Usage:
//   dalvo-fenster [FALLDATEI]
#include "fenster/hauptfenster.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dalvo16"));
    QApplication::setApplicationName(QStringLiteral("dalvo-fenster"));
    QApplication::setApplicationVersion(QStringLiteral(DALVO_VERSION));
    fenster::Hauptfenster fenster;
    fenster.show();
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty()) fenster.fallOeffnen(QFileInfo(args.first()).absoluteFilePath());
    return app.exec();
}
