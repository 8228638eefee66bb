// The booking flows of the window, driven as a user drives them: a booking
// typed into the form appears in the ledger and in the advance return the
// command line computes; a cancellation from the ledger's selection takes
// it out again; the window holds no lock between actions, notices a
// script's booking and refuses cleanly when a script holds the lock.
#include "fenster/buchungsansicht.h"
#include "fenster/buchungsmaske.h"
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"

#include <QCryptographicHash>
#include <QComboBox>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <sqlite3.h>

namespace {
QByteArray hash(const QString& pfad) {
    QFile f(pfad);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

double kennzahl(const QJsonObject& ustva, const char* teil, const char* kz) {
    return ustva.value(QLatin1String(teil)).toObject().value(QLatin1String(kz)).toDouble();
}
}  // namespace

class FensterBuchen : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_fall;

    QJsonObject ustvaMaerz() {
        return fenstertest::json({"ustva", m_fall, "--monat", "3", "--json"});
    }
    static void tippen(fenster::Ansicht* a, const char* feld, const QString& text) {
        auto* e = a->findChild<QLineEdit*>(QLatin1String(feld));
        QVERIFY2(e, feld);
        e->clear();
        QTest::keyClicks(e, text);
    }

private slots:
    void initTestCase() {
        fenstertest::einstellungenIsolieren();
        m_fall = m_dir.filePath(QStringLiteral("muster.dalvo"));
        QVERIFY(fenstertest::musterfallAnlegen(m_fall));
    }

    void buchungAusDerMaskeInJournalUndVoranmeldungDannStorno() {
        const QJsonObject vorher = ustvaMaerz();
        QVERIFY(!vorher.isEmpty());
        ScriptedUi ui;
        fenster::Hauptfenster w;
        UiScope scope(&ui);
        w.show();
        QVERIFY(w.fallOeffnen(m_fall));
        QVERIFY(w.zeige(QStringLiteral("buchen")));
        auto* maske = qobject_cast<fenster::BuchungsMaske*>(w.ansicht(QStringLiteral("buchen")));
        QVERIFY(maske);
        // Income of 1 190 € gross at 19 % (the revenue account's own key)
        // to the bank, typed as a bookkeeper types it: date of the year as
        // "15.3.", the account found by its name.
        tippen(maske, "datum", QStringLiteral("15.3."));
        tippen(maske, "beleg", QStringLiteral("T-0001"));
        tippen(maske, "betrag", QStringLiteral("1190"));
        tippen(maske, "konto", QStringLiteral("1200"));
        tippen(maske, "gegenkonto", QStringLiteral("8400"));
        tippen(maske, "text", QStringLiteral("Honorar aus dem Fenster"));
        maske->vorschauBerechnen();
        // The preview is the module's posting: gross to the bank, net to
        // the revenue, the tax on its own line; nothing is in the file yet.
        QTableWidget* v = maske->vorschauTabelle();
        QCOMPARE(v->rowCount(), 3);
        QCOMPARE(v->item(0, 1)->text(), QStringLiteral("1.190,00"));
        QCOMPARE(v->item(1, 2)->text(), QStringLiteral("1.000,00"));
        QCOMPARE(v->item(2, 2)->text(), QStringLiteral("190,00"));
        QCOMPARE(v->item(2, 3)->text(), QStringLiteral("Steuer"));
        QCOMPARE(kennzahl(ustvaMaerz(), "kennziffern", "81"), kennzahl(vorher, "kennziffern", "81"));

        QTest::keyClick(maske->findChild<QLineEdit*>(QStringLiteral("text")), Qt::Key_Return);
        const unsigned long nr = maske->letzteBuchung();
        QVERIFY2(nr != 0, qPrintable(ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
        // The row is empty again, the voucher number the next of its series.
        QVERIFY(maske->findChild<QLineEdit*>(QStringLiteral("betrag"))->text().isEmpty());
        QCOMPARE(maske->findChild<QLineEdit*>(QStringLiteral("beleg"))->text(), QStringLiteral("T-0002"));

        const QJsonObject nachher = ustvaMaerz();
        QCOMPARE(kennzahl(nachher, "kennziffern", "81"), kennzahl(vorher, "kennziffern", "81") + 1000.0);
        QCOMPARE(kennzahl(nachher, "steuer", "81"), kennzahl(vorher, "steuer", "81") + 190.0);

        // The ledger, filtered by text, shows the booking.
        fenster::BuchungsFilter f;
        f.text = QStringLiteral("aus dem Fenster");
        w.zeigeBuchungen(f);
        auto* journal = qobject_cast<fenster::BuchungsAnsicht*>(w.aktuelleAnsicht());
        QVERIFY(journal);
        QCOMPARE(journal->modell()->rowCount(), 1);
        QCOMPARE(journal->modell()->zeile(0).nummer, nr);
        QCOMPARE(journal->modell()->zeile(0).betrag, EuroType::ausCent(119000));

        // Cancelled from the selection, after the question was answered Yes.
        journal->tabelle()->selectRow(0);
        ui.queueAnswer(true);
        journal->findChild<QPushButton*>(QStringLiteral("stornieren"))->click();
        QCOMPARE(ui.count(Ui::Art::Frage), 1);
        QCOMPARE(ui.count(Ui::Art::Fehler), 0);
        QCOMPARE(journal->modell()->rowCount(), 2);
        QVERIFY(journal->modell()->zeile(0).storniert);
        QVERIFY(journal->modell()->zeile(1).storno);
        const QJsonObject storniert = ustvaMaerz();
        QCOMPARE(kennzahl(storniert, "kennziffern", "81"), kennzahl(vorher, "kennziffern", "81"));
        QCOMPARE(kennzahl(storniert, "steuer", "81"), kennzahl(vorher, "steuer", "81"));

        // A split receipt: office supplies and postage paid in cash, the
        // second counter line added with Ctrl+T; one booking of the sum.
        w.zeige(QStringLiteral("buchen"));
        maske->findChild<QComboBox*>(QStringLiteral("art"))->setCurrentIndex(1);
        tippen(maske, "datum", QStringLiteral("16.3."));
        tippen(maske, "konto", QStringLiteral("1000"));
        tippen(maske, "betrag", QStringLiteral("119"));
        tippen(maske, "gegenkonto", QStringLiteral("4930"));
        QTest::keyClick(maske->findChild<QLineEdit*>(QStringLiteral("gegenkonto")), Qt::Key_T, Qt::ControlModifier);
        tippen(maske, "betrag", QStringLiteral("50"));
        tippen(maske, "gegenkonto", QStringLiteral("4910"));
        tippen(maske, "text", QStringLiteral("Papier und Porto"));
        QTest::keyClick(maske->findChild<QLineEdit*>(QStringLiteral("text")), Qt::Key_Return);
        QVERIFY2(maske->letzteBuchung() > nr, qPrintable(ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
        f.text = QStringLiteral("Papier und Porto");
        w.zeigeBuchungen(f);
        QCOMPARE(journal->modell()->rowCount(), 1);
        QCOMPARE(journal->modell()->zeile(0).betrag, EuroType::ausCent(16900));
        QCOMPARE(journal->modell()->zeile(0).konto, 1000ul);
    }

    void nebenDerKommandozeile() {
        ScriptedUi ui;
        fenster::Hauptfenster w;
        UiScope scope(&ui);
        QVERIFY(w.fallOeffnen(m_fall));
        QVERIFY(w.zeige(QStringLiteral("buchungen")));
        auto* journal = qobject_cast<fenster::BuchungsAnsicht*>(w.aktuelleAnsicht());
        fenster::BuchungsFilter f;
        f.text = QStringLiteral("Zinsen vom Skript");
        w.zeigeBuchungen(f);
        QCOMPARE(journal->modell()->rowCount(), 0);

        // The open window holds no lock: a script books into the same case
        // without waiting (--warten 0), and the window notices it.
        const fenstertest::Lauf l = fenstertest::dalvo({"buchen", m_fall, "--warten", "0", "--art", "1", "--datum", "20.03.2016",
            "--betrag", "12,34", "--konto", "1200", "--gegenkonto", "2650", "--text", "Zinsen vom Skript"});
        QCOMPARE(l.rc, 0);
        QVERIFY(w.sitzung().aenderungVonAussenPruefen());
        QCOMPARE(journal->modell()->rowCount(), 1);
        QVERIFY(!w.sitzung().aenderungVonAussenPruefen());

        // While a script holds the write lock, a booking from the window is
        // refused with the module's message, and the file stays as it was.
        w.zeige(QStringLiteral("buchen"));
        auto* maske = qobject_cast<fenster::BuchungsMaske*>(w.aktuelleAnsicht());
        tippen(maske, "datum", QStringLiteral("21.03.2016"));
        tippen(maske, "betrag", QStringLiteral("50"));
        tippen(maske, "konto", QStringLiteral("1200"));
        tippen(maske, "gegenkonto", QStringLiteral("8400"));
        sqlite3* skript = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_fall).constData(), &skript), SQLITE_OK);
        QCOMPARE(sqlite3_exec(skript, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const QByteArray vorher = hash(m_fall);
        ui.clear();
        QCOMPARE(maske->buchen(), 0ul);
        QCOMPARE(ui.count(Ui::Art::Fehler), 1);
        QVERIFY2(ui.texts(Ui::Art::Fehler).first().contains(QStringLiteral("von einem anderen Programm bearbeitet")),
                 qPrintable(ui.texts(Ui::Art::Fehler).first()));
        sqlite3_exec(skript, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(skript);
        QCOMPARE(hash(m_fall), vorher);
        // The row is kept; a refusal of the module itself (an account the
        // chart lacks) changes nothing either.
        tippen(maske, "gegenkonto", QStringLiteral("8"));
        ui.clear();
        QCOMPARE(maske->buchen(), 0ul);
        QCOMPARE(ui.count(Ui::Art::Fehler), 1);
        QCOMPARE(hash(m_fall), vorher);
        // Once the lock is free the same row posts.
        tippen(maske, "gegenkonto", QStringLiteral("8400"));
        QVERIFY(maske->buchen() != 0);
        QVERIFY(hash(m_fall) != vorher);

        // A program that writes the case as a new file in its place (as a
        // conversion does): the window opens the new file and shows it.
        const QString kopie = m_dir.filePath(QStringLiteral("kopie.dalvo"));
        QVERIFY(QFile::copy(m_fall, kopie));
        QCOMPARE(fenstertest::dalvo({"buchen", kopie, "--art", "1", "--datum", "22.03.2016", "--betrag", "1", "--konto", "1200",
            "--gegenkonto", "2650", "--text", "Zinsen vom Skript, neue Datei"}).rc, 0);
        QCOMPARE(::rename(QFile::encodeName(kopie).constData(), QFile::encodeName(m_fall).constData()), 0);
        QVERIFY(w.sitzung().aenderungVonAussenPruefen());
        QVERIFY(w.sitzung().istOffen());
        w.zeigeBuchungen(f);
        QCOMPARE(journal->modell()->rowCount(), 2);
    }
};

QTEST_MAIN(FensterBuchen)
#include "fenster_buchen_test.moc"
