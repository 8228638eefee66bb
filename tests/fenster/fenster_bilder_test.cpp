// The screenshot target: every registered view of the sample case rendered
// to PNG under build/bilder/, or under DALVO_BILDER_DIR (the target
// `bildschirmfotos` writes the README's pictures to docs/bilder/). As a test
// it also proves that every view opens on the sample case and shows
// something without an error dialog. The booking form is shown with a
// booking typed in (not posted), so its preview is in the picture.
#include "fenster/buchungsmaske.h"
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"

#include <QDir>
#include <QLineEdit>
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
        QString ziel = qEnvironmentVariable("DALVO_BILDER_DIR");
        if (ziel.isEmpty()) ziel = QStringLiteral(DALVO_BUILD_DIR "/bilder");
        QDir().mkpath(ziel);
        for (const QString& s : w.schluessel()) {
            QVERIFY2(w.zeige(s), qPrintable(s));
            if (auto* maske = qobject_cast<fenster::BuchungsMaske*>(w.aktuelleAnsicht())) {
                const QList<QPair<const char*, const char*>> eingabe = {
                    {"datum", "14.04.2016"}, {"beleg", "RE-2016-042"}, {"betrag", "1190,00"}, {"konto", "1200"}, {"gegenkonto", "8400"},
                    {"text", "Honorar April"}};
                for (const auto& [feld, text] : eingabe) QTest::keyClicks(maske->findChild<QLineEdit*>(QLatin1String(feld)), QLatin1String(text));
                maske->vorschauBerechnen();
            }
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
