// Shared helpers of the window tests (see fenstertest.h).
#include "fenster/hilfe/fenstertest.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QtDebug>

namespace fenstertest {

Lauf dalvo(const QStringList& args) {
    QString bin = qEnvironmentVariable("DALVO_BIN");
    if (bin.isEmpty()) bin = QStringLiteral(DALVO_BIN_DEFAULT);
    QProcess p;
    p.start(bin, args);
    Lauf l;
    if (!p.waitForFinished(120000)) {
        p.kill();
        l.err = QStringLiteral("Zeitüberschreitung");
        return l;
    }
    l.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    l.out = QString::fromUtf8(p.readAllStandardOutput());
    l.err = QString::fromUtf8(p.readAllStandardError());
    return l;
}

QJsonObject json(const QStringList& args) {
    const Lauf l = dalvo(args);
    if (l.rc != 0) qWarning() << args << l.err;
    return QJsonDocument::fromJson(l.out.toUtf8()).object();
}

bool musterfallAnlegen(const QString& pfad) {
    const QString csv = QStringLiteral(DALVO_SOURCE_DIR "/data/samples/musterfall_2016.csv");
    const QList<QStringList> schritte = {
        {QStringLiteral("neu"), pfad, QStringLiteral("--jahr"), QStringLiteral("2016"), QStringLiteral("--kontenrahmen"),
         QStringLiteral("SKR03"), QStringLiteral("--ohne-beispiele")},
        {QStringLiteral("einstellungen"), pfad, QStringLiteral("--anmeldezeitraum"), QStringLiteral("monat"), QStringLiteral("--dauerfrist"),
         QStringLiteral("ja")},
        {QStringLiteral("buchungen-import"), pfad, csv},
        {QStringLiteral("stornieren"), pfad, QStringLiteral("271")},
        {QStringLiteral("anlage"), pfad, QStringLiteral("neu"), QStringLiteral("--aus-buchung"), QStringLiteral("62"), QStringLiteral("--gut"),
         QStringLiteral("Personalcomputer, Notebooks, Workstations")},
        {QStringLiteral("anlage"), pfad, QStringLiteral("afa")},
    };
    for (const QStringList& s : schritte) {
        const Lauf l = dalvo(s);
        if (l.rc != 0) {
            qWarning() << "dalvo" << s << "scheiterte:" << l.err;
            return false;
        }
    }
    return true;
}

void einstellungenIsolieren() { QStandardPaths::setTestModeEnabled(true); }

}  // namespace fenstertest
