// The command-line host holds no SQL: every statement it needs is a library
// operation, so a second host gets the same rules. A statement or a direct
// database call that creeps back into app/ fails here with its file and line.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

TEST(AppOhneSql, NoStatementAndNoDatabaseCallInTheHost) {
    const QDir app(QStringLiteral(DALVO_SOURCE_DIR "/app"));
    const QStringList dateien = app.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    ASSERT_GT(dateien.size(), 10) << "app/ not found under " DALVO_SOURCE_DIR;
    // The database calls of host/db, and SQL keywords inside a string literal.
    const QRegularExpression aufruf(QStringLiteral("\\b(rsDataSource|rsFields|ExecSQL|GetDatenTyp|QueryPrepared|ExecPrepared|"
                                                   "rsCopyRows|rsCopyTablesFromExternalDatabase|sqlite3_\\w+)\\b"));
    const QRegularExpression sql(QStringLiteral("\"[^\"\\n]*\\b(SELECT|INSERT INTO|UPDATE \\w+ SET|DELETE FROM|CREATE (TABLE|INDEX)|"
                                                "DROP TABLE|ALTER TABLE|PRAGMA|ATTACH DATABASE)\\b"),
                                 QRegularExpression::CaseInsensitiveOption);
    QStringList funde;
    for (const QString& name : dateien) {
        QFile f(app.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        QTextStream in(&f);
        for (int nr = 1; !in.atEnd(); ++nr) {
            const QString zeile = in.readLine();
            if (zeile.trimmed().startsWith(QLatin1String("//"))) continue;
            if (aufruf.match(zeile).hasMatch() || sql.match(zeile).hasMatch())
                funde << QStringLiteral("app/%1:%2: %3").arg(name).arg(nr).arg(zeile.trimmed());
        }
    }
    EXPECT_TRUE(funde.isEmpty()) << funde.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
