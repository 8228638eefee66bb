// The shell's ways to a case: a new case as the dialog describes it, the
// change of year from the sample case, each opened in the window and read
// back through the command line; a target that exists is refused and kept.
#include "fenster/dialoge.h"
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <functional>
#include <QTemporaryDir>
#include <QtTest>

class FensterFall : public QObject {
    Q_OBJECT
private slots:
    void neuerFallUndJahreswechsel() {
        fenstertest::einstellungenIsolieren();
        QTemporaryDir dir;
        ScriptedUi ui;
        UiScope scope(&ui);

        fenster::NeuerFallDialog::Angaben a;
        a.pfad = dir.filePath(QStringLiteral("neu_2016.dalvo"));
        a.fall.jahr = 2016;
        a.fall.kontenrahmen = QStringLiteral("SKR04");
        a.fall.beispiele = false;
        a.monatlich = true;
        a.dauerfrist = true;
        QCOMPARE(fenster::NeuerFallDialog::anlegen(a), QString());
        const QJsonObject info = fenstertest::json({"info", a.pfad, "--json"});
        QCOMPARE(info.value(QStringLiteral("kontenplan")).toString(), QStringLiteral("SKR04"));
        QCOMPARE(info.value(QStringLiteral("steuerjahr")).toInt(), 2016);
        const QJsonObject e = fenstertest::json({"einstellungen", a.pfad, "--json"});
        QCOMPARE(e.value(QStringLiteral("anmeldezeitraum")).toString(), QStringLiteral("monat"));
        QVERIFY(e.value(QStringLiteral("dauerfrist")).toBool());
        // An existing file is never the target.
        QFile f(a.pfad);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray vorher = f.readAll();
        f.close();
        QVERIFY(fenster::NeuerFallDialog::anlegen(a).contains(QStringLiteral("existiert bereits")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), vorher);
        f.close();

        // The sample's year before (2015) changed to 2016, with its opening
        // balances.
        const QString muster = dir.filePath(QStringLiteral("vorjahr_2015.dalvo"));
        QCOMPARE(fenstertest::dalvo({"neu", muster, "--jahr", "2015", "--ohne-beispiele"}).rc, 0);
        QCOMPARE(fenstertest::dalvo({"buchungen-import", muster, QStringLiteral(DALVO_SOURCE_DIR "/data/samples/vorjahr_2015.csv")}).rc, 0);
        const QString folge = dir.filePath(QStringLiteral("vorjahr_2016.dalvo"));
        QString bericht;
        QCOMPARE(fenster::JahreswechselAssistent::wechseln(muster, folge, &bericht), QString());
        QVERIFY(bericht.contains(QStringLiteral("Saldovortragsbuchungen")));
        fenster::Hauptfenster w;
        UiScope wieder(&ui);
        QVERIFY(w.fallOeffnen(folge));
        QCOMPARE(w.sitzung().steuerjahr(), 2016);
        QVERIFY(w.windowTitle().contains(QStringLiteral("2016")));
        // The bank balance carried is the old year's at its end.
        const QJsonObject alt = fenstertest::json({"status", muster, "--json"});
        const QJsonObject neu = fenstertest::json({"status", folge, "--json"});
        QCOMPARE(neu.value(QStringLiteral("bank")).toDouble(), alt.value(QStringLiteral("bank")).toDouble());
        QCOMPARE(ui.count(Ui::Art::Fehler), 0);

        // A file that is no case is refused with the module's message, and
        // the window stays without a case.
        const QString text = dir.filePath(QStringLiteral("notiz.dalvo"));
        QFile t(text);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("Einkaufsliste\n");
        t.close();
        w.sitzung().schliessen();
        QVERIFY(!w.fallOeffnen(text));
        QCOMPARE(ui.count(Ui::Art::Fehler), 1);
        QVERIFY(ui.texts(Ui::Art::Fehler).first().contains(QStringLiteral("keine Falldatei")));
        QVERIFY(!w.sitzung().istOffen());
        QCOMPARE(w.windowTitle(), QStringLiteral("dalvo"));
    }

    void einstellungenUndFirmendaten() {
        QTemporaryDir dir;
        const QString fall = dir.filePath(QStringLiteral("muster.dalvo"));
        QVERIFY(fenstertest::musterfallAnlegen(fall));
        ScriptedUi ui;
        fenster::Hauptfenster w;
        UiScope scope(&ui);
        QVERIFY(w.fallOeffnen(fall));
        // The dialog filled in as a user fills it: the firm's name, then a
        // VAT number of the wrong form (refused, the dialog stays), then a
        // good one; quarterly returns.
        int runde = 0;
        std::function<void()> ausfuellen = [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) {
                QTimer::singleShot(20, ausfuellen);
                return;
            }
            d->findChild<QLineEdit*>(QStringLiteral("Name"))->setText(QStringLiteral("Muster IT-Beratung"));
            d->findChild<QLineEdit*>(QStringLiteral("USt-IdNr."))->setText(runde == 0 ? QStringLiteral("DE12") : QStringLiteral("DE136695976"));
            d->findChild<QComboBox*>(QStringLiteral("Voranmeldung"))->setCurrentIndex(2);
            ++runde;
            if (runde == 1) QTimer::singleShot(20, ausfuellen);
            d->accept();
        };
        QTimer::singleShot(0, ausfuellen);
        fenster::EinstellungenDialog::ausfuehren(w.sitzung(), &w);
        QCOMPARE(runde, 2);
        QCOMPARE(ui.count(Ui::Art::Fehler), 1);
        const QJsonObject e = fenstertest::json({"einstellungen", fall, "--json"});
        QCOMPARE(e.value(QStringLiteral("anmeldezeitraum")).toString(), QStringLiteral("quartal"));
        const fenstertest::Lauf firma = fenstertest::dalvo({"firma", fall});
        QVERIFY2(firma.out.contains(QStringLiteral("Muster IT-Beratung")) && firma.out.contains(QStringLiteral("DE136695976")),
                 qPrintable(firma.out));
        // The title names the firm now.
        QVERIFY(w.windowTitle().contains(QStringLiteral("Muster IT-Beratung")));
    }
};

QTEST_MAIN(FensterFall)
#include "fenster_fall_test.moc"
