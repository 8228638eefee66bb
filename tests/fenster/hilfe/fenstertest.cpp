// Shared helpers of the window tests (see fenstertest.h).
#include "fenster/hilfe/fenstertest.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
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

void imDialog(const std::function<void(QDialog*)>& schritt) {
    QTimer::singleShot(0, [schritt] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY2(d, "kein Dialog offen");
        schritt(d);
    });
}

void tippe(QWidget* eltern, const char* name, const QString& text) {
    auto* feld = eltern->findChild<QLineEdit*>(QLatin1String(name));
    QVERIFY2(feld, name);
    feld->clear();
    // QTest types ASCII only; umlauts arrive as an input method would bring them.
    for (const QChar c : text)
        if (c.unicode() < 128) QTest::keyClicks(feld, QString(c));
        else feld->insert(QString(c));
}

void klicke(QWidget* eltern, const char* name) {
    auto* b = eltern->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(b, name);
    QTest::mouseClick(b, Qt::LeftButton);
}

void bestaetige(QDialog* d) {
    auto* k = d->findChild<QDialogButtonBox*>();
    QVERIFY(k);
    QTest::mouseClick(k->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

QByteArray inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Musterfall::vorbereiten() {
    einstellungenIsolieren();
    m_muster = m_dir.filePath(QStringLiteral("muster.dalvo"));
    return musterfallAnlegen(m_muster);
}

bool Musterfall::oeffnen() {
    m_fall = m_dir.filePath(QStringLiteral("fall.dalvo"));
    QFile::remove(m_fall);
    if (!QFile::copy(m_muster, m_fall)) return false;
    QFile(m_fall).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    m_ui.clear();
    m_ui.setDefaultAnswer(true);
    m_vorher = Ui::install(&m_ui);
    m_sitzung = std::make_unique<fenster::Sitzung>();
    QString e;
    if (m_sitzung->oeffnen(m_fall, &e)) return true;
    qWarning("%s", qPrintable(e));
    return false;
}

void Musterfall::schliessen() {
    m_sitzung.reset();
    Ui::install(m_vorher);
}

}  // namespace fenstertest
