#include "support/dalvo_lauf.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

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

QString neuerFall(const QTemporaryDir& dir, const QString& name, const QString& jahr) {
    const QString fall = dir.filePath(name);
    const Lauf n = dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), jahr, QStringLiteral("--no-examples")});
    EXPECT_EQ(n.rc, 0) << n.err.toStdString();
    return fall;
}

bool sqlAusfuehren(const QString& datei, const QString& sql) {
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(datei).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

namespace {
// Steps `sql` read-only on `datei` and hands the first row to `lesen`.
template <typename F>
void ersteZeile(const QString& datei, const QString& sql, F lesen) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(datei).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) lesen(st);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}
}  // namespace

long long sqlZahl(const QString& datei, const QString& sql) {
    long long w = -1;
    ersteZeile(datei, sql, [&](sqlite3_stmt* st) { w = sqlite3_column_int64(st, 0); });
    return w;
}

QString sqlText(const QString& datei, const QString& sql) {
    QString w;
    ersteZeile(datei, sql, [&](sqlite3_stmt* st) {
        if (const unsigned char* t = sqlite3_column_text(st, 0)) w = QString::fromUtf8(reinterpret_cast<const char*>(t));
    });
    return w;
}
