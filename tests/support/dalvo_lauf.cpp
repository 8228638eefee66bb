#include "support/dalvo_lauf.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

Lauf dalvo(const QStringList& args, const QByteArray& stdinText) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QTemporaryDir home;
    env.insert(QStringLiteral("DALVO_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("DALVO_BIN"), args);
    if (!stdinText.isEmpty()) p.write(stdinText);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

bool schreibeZinsenCsv(const QString& pfad, int anzahl) {
    QString csv = QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;"
                                 "Gegenkontobezeichnung;Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;"
                                 "Belegnummer;Buchungsdatum;UStID;Umsatzart\n");
    for (int i = 1; i <= anzahl; ++i)
        csv += QStringLiteral("%1;1;%2.%3.2016;Zinsen Nr. %1 mit etwas längerem Text;2650;;1200;;0;%1,25;0;0,00;;Z-%1;01.12.2016;;0\n")
                   .arg(i)
                   .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                   .arg(i % 12 + 1, 2, 10, QLatin1Char('0'));
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(csv.toUtf8()) > 0;
}
