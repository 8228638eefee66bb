// The screenshot target: every registered view of the sample case rendered
// to PNG under build/bilder/ (the README's pictures come from here). As a
// test it also proves that every view opens on the sample case and shows
// something without an error dialog.
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class FensterBilder : public QObject {
    Q_OBJECT
private slots:
    void jedeAnsichtDesMusterfalls() {
        fenstertest::einstellungenIsolieren();
        QTemporaryDir dir;
        const QString fall = dir.filePath(QStringLiteral("musterfall_2016.dalvo"));
        QVERIFY(fenstertest::musterfallAnlegen(fall));
        ScriptedUi ui;
        fenster::Hauptfenster w;
        // The main window installs its dialogs; messages are recorded instead.
        UiScope scope(&ui);
        w.resize(1280, 800);
        w.show();
        QVERIFY(w.fallOeffnen(fall));
        const QString ziel = QStringLiteral(DALVO_BUILD_DIR "/bilder");
        QDir().mkpath(ziel);
        for (const QString& s : w.schluessel()) {
            QVERIFY2(w.zeige(s), qPrintable(s));
            QCoreApplication::processEvents();
            const QImage bild = w.grab().toImage();
            QVERIFY(!bild.isNull());
            QVERIFY2(bild.save(QDir(ziel).filePath(s + QStringLiteral(".png"))), qPrintable(s));
            QVERIFY2(ui.count(Ui::Art::Fehler) == 0, qPrintable(s + QStringLiteral(": ") + ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
        }
    }
};

QTEST_MAIN(FensterBilder)
#include "fenster_bilder_test.moc"
