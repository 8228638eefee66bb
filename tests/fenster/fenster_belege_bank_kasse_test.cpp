// More of the views driven as a user drives them, on a copy of the sample
// case: documents deleted from their lists, a SEPA transfer of incoming
// invoices, a bank CSV whose layout the user maps by hand, and the
// exchange with a cash register. Each flow checks what the library reads
// back afterwards, not the widgets' text.
#include "fenster/ansichten/bank.h"
#include "fenster/ansichten/eingang.h"
#include "fenster/ansichten/faktura.h"
#include "fenster/ansichten/fakturabelege.h"
#include "fenster/ansichten/kasse.h"
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"
#include "fenster/sitzung.h"

#include "host/app/ui.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/eingang/eingang.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace fenster;
using namespace fenstertest;

namespace {

QString fehler(const ScriptedUi& ui) { return ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n')); }

}  // namespace

class BelegeBankKasseTest : public QObject, private fenstertest::Musterfall {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void belegeLoeschen();
    void sepaUeberweisung();
    void csvLayoutVonHand();
    void kassenprogramm();

};

void BelegeBankKasseTest::initTestCase() { QVERIFY(vorbereiten()); }

void BelegeBankKasseTest::init() { QVERIFY(oeffnen()); }

void BelegeBankKasseTest::cleanup() { schliessen(); }

// Two offers, one taken over as order confirmation. The offer with a
// successor is refused with the library's reason and the file stays as it
// was; a "no" to the question keeps the other; Entf with "yes" deletes it,
// and once the order confirmation is gone its offer may go too.
void BelegeBankKasseTest::belegeLoeschen() {
    QList<Faktura::Beleg> angebote;
    m_sitzung->handeln([&](DBConnection* db) {
        Faktura::Person p;
        p.firma = QStringLiteral("Kunde AG");
        QString e;
        p.personID = Faktura::speicherePerson(db, p, &e);
        for (int i = 0; i < 2 && e.isEmpty(); ++i) {
            Faktura::Beleg b;
            b.art = Faktura::Belegart::Angebot;
            b.personID = p.personID;
            b.datum = zDate(QDate(2016, 5, 2 + i));
            Faktura::Position x;
            x.bezeichnung = QStringLiteral("Beratung");
            x.preis = EuroType::ausCent(10000);
            x.steuerschluessel = 5;
            x.konto = 8400;
            b.positionen << x;
            if (Faktura::speichereBeleg(db, &b, &e)) angebote << b;
        }
        if (e.isEmpty() && !Faktura::belegUebernehmen(db, angebote.value(1), Faktura::Belegart::Auftrag, zDate(), &e) && e.isEmpty())
            e = QStringLiteral("nicht übernommen");
        return e;
    });
    QVERIFY2(angebote.size() == 2, qPrintable(fehler(m_ui)));
    RechnungenAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    auto* liste = ansicht.findChild<VorbelegListe*>(QStringLiteral("angebote"));
    auto* auftraege = ansicht.findChild<VorbelegListe*>(QStringLiteral("auftraege"));
    QVERIFY(liste && auftraege);
    auto anzahl = [&](Faktura::Belegart art) {
        int n = -1;
        m_sitzung->lesen([&](DBConnection* db) { n = Faktura::belege(db, art).size(); });
        return n;
    };

    const QByteArray vorher = inhalt(m_fall);
    QVERIFY(liste->waehle(angebote[1].nummer));
    klicke(liste, "belegLoeschen");
    QCOMPARE(m_ui.count(Ui::Art::Frage), 1);
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QVERIFY2(fehler(m_ui).contains(QStringLiteral("Bitte löschen Sie zuerst")), qPrintable(fehler(m_ui)));
    QVERIFY(inhalt(m_fall) == vorher);

    m_ui.clear();
    m_ui.queueAnswer(false);
    // Entf in the shown list, as a user deletes.
    ansicht.findChild<QTabWidget*>()->setCurrentWidget(liste);
    ansicht.show();
    QVERIFY(QTest::qWaitForWindowActive(&ansicht));
    auto* tabelle = liste->findChild<QTableView*>(QStringLiteral("belege"));
    tabelle->setFocus();
    QVERIFY(liste->waehle(angebote[0].nummer));
    QTest::keyClick(tabelle, Qt::Key_Delete);
    QCOMPARE(m_ui.count(Ui::Art::Frage), 1);
    QCOMPARE(anzahl(Faktura::Belegart::Angebot), 2);
    QTest::keyClick(tabelle, Qt::Key_Delete);
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(fehler(m_ui)));
    QCOMPARE(anzahl(Faktura::Belegart::Angebot), 1);

    auftraege->aktualisieren();
    QVERIFY(auftraege->findChild<QTableView*>(QStringLiteral("belege"))->model()->rowCount() == 1);
    auftraege->findChild<QTableView*>(QStringLiteral("belege"))->selectRow(0);
    QVERIFY(auftraege->loeschen());
    QCOMPARE(anzahl(Faktura::Belegart::Auftrag), 0);
    QVERIFY(liste->waehle(angebote[1].nummer));
    QVERIFY(liste->loeschen());
    QCOMPARE(anzahl(Faktura::Belegart::Angebot), 0);
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(fehler(m_ui)));
}

// Two incoming e-invoices paid by one SEPA file from the bank account: the
// file is a pain.001.001.03 with both amounts, each to the IBAN its invoice
// names; an execution date in the past is refused with nothing written.
void BelegeBankKasseTest::sepaUeberweisung() {
    QList<unsigned long> ids;
    m_sitzung->handeln([&](DBConnection* db) {
        QList<Eingang::Importdatei> dateien;
        for (const char* name : {"cii_standard.xml", "cii_mischsatz.xml"})
            dateien << Eingang::Importdatei{QLatin1String(name), inhalt(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/eingang/") + QLatin1String(name))};
        Eingang::Importergebnis r;
        Bank::Verbindung v;
        v.konto = 1200;
        v.iban = QStringLiteral("DE44500105175407324931");
        v.bezeichnung = QStringLiteral("Muster Geschäftskonto");
        QString e;
        if (!Eingang::importiere(db, dateien, &r, &e) || !Bank::legeVerbindungAn(db, v, &e)) return e;
        ids = r.neu;
        return QString();
    });
    QCOMPARE(ids.size(), 2);
    EingangAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    const QString ziel = m_dir.filePath(QStringLiteral("ueberweisung.xml"));

    // Yesterday is refused by the library's rule; nothing is written.
    imDialog([&](QDialog* d) {
        auto* liste = d->findChild<QListWidget*>(QStringLiteral("rechnungen"));
        QCOMPARE(liste->count(), 2);
        for (int i = 0; i < liste->count(); ++i) liste->item(i)->setCheckState(Qt::Checked);
        d->findChild<QDateEdit*>(QStringLiteral("ausfuehrung"))->setDate(QDate::currentDate().addDays(-1));
        d->findChild<QLineEdit*>(QStringLiteral("datei"))->setText(ziel);
        bestaetige(d);
        QVERIFY(d->isVisible());
        d->reject();
    });
    klicke(&ansicht, "ueberweisen");
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QVERIFY(!QFile::exists(ziel));

    m_ui.clear();
    const QDate ausfuehrung = QDate::currentDate().addDays(2);
    imDialog([&](QDialog* d) {
        auto* liste = d->findChild<QListWidget*>(QStringLiteral("rechnungen"));
        for (int i = 0; i < liste->count(); ++i) liste->item(i)->setCheckState(Qt::Checked);
        d->findChild<QDateEdit*>(QStringLiteral("ausfuehrung"))->setDate(ausfuehrung);
        d->findChild<QLineEdit*>(QStringLiteral("datei"))->setText(ziel);
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("datei")), Qt::Key_Return);
    });
    const QByteArray vorher = inhalt(m_fall);
    klicke(&ansicht, "ueberweisen");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(fehler(m_ui)));
    QVERIFY(inhalt(m_fall) == vorher);

    // Read as a bank reads it: the pain.001.001.03 namespace, the number of
    // transfers and control sum, each amount with its creditor's IBAN.
    QXmlStreamReader x(inhalt(ziel));
    QString ns, anzahl, summe, datum, iban;
    QMap<QString, QString> betraege;  // creditor IBAN -> amount
    QString betrag;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        const QString n = x.name().toString();
        if (n == QLatin1String("Document")) ns = x.namespaceUri().toString();
        else if (n == QLatin1String("NbOfTxs") && anzahl.isEmpty()) anzahl = x.readElementText();
        else if (n == QLatin1String("CtrlSum") && summe.isEmpty()) summe = x.readElementText();
        else if (n == QLatin1String("ReqdExctnDt")) datum = x.readElementText();
        else if (n == QLatin1String("InstdAmt")) betrag = x.readElementText();
        else if (n == QLatin1String("CdtrAcct")) iban.clear();
        else if (n == QLatin1String("IBAN")) {
            iban = x.readElementText();
            if (!betrag.isEmpty()) betraege.insert(iban, betrag);
            betrag.clear();
        }
    }
    QVERIFY2(!x.hasError(), qPrintable(x.errorString()));
    QCOMPARE(ns, QStringLiteral("urn:iso:std:iso:20022:tech:xsd:pain.001.001.03"));
    QCOMPARE(anzahl, QStringLiteral("2"));
    QCOMPARE(summe, QStringLiteral("453.24"));
    QCOMPARE(datum, ausfuehrung.toString(Qt::ISODate));
    QCOMPARE(betraege.value(QStringLiteral("DE02120300000000202051")), QStringLiteral("357.00"));
    QCOMPARE(betraege.value(QStringLiteral("DE89370400440532013000")), QStringLiteral("96.24"));
}

// A bank CSV of no known layout: the window asks for the layout. A
// mapping that reads text as the amount is refused with the library's
// reason and the dialog stays; mapped right, both transactions are stored
// in the chosen bank account with their signs and counterparts.
void BelegeBankKasseTest::csvLayoutVonHand() {
    m_sitzung->handeln([](DBConnection* db) {
        Bank::Verbindung v;
        v.konto = 1200;
        v.iban = QStringLiteral("DE44500105175407324931");
        QString e;
        return Bank::legeVerbindungAn(db, v, &e) ? QString() : e;
    });
    BankAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    const QByteArray vorher = inhalt(m_fall);
    int versuche = 0;
    imDialog([&](QDialog* d) {
        auto* layout = d->findChild<QComboBox*>(QStringLiteral("layout"));
        layout->setCurrentIndex(layout->findData(QStringLiteral("generisch")));
        auto* konto = d->findChild<QComboBox*>(QStringLiteral("konto"));
        konto->setCurrentIndex(konto->findData(qulonglong(1200)));
        auto spalte = [d](const char* feld, int n) { d->findChild<QSpinBox*>(QLatin1String(feld))->setValue(n); };
        spalte("datum", 1);
        spalte("betrag", 3);
        bestaetige(d);
        versuche = m_ui.count(Ui::Art::Fehler);
        QVERIFY(d->isVisible());
        QVERIFY(inhalt(m_fall) == vorher);
        spalte("betrag", 0);
        spalte("soll", 4);
        spalte("haben", 5);
        spalte("zweck", 3);
        spalte("name", 2);
        spalte("iban", 6);
        bestaetige(d);
    });
    QVERIFY(ansicht.importiereDatei(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/generisch_2016-09.csv")));
    QCOMPARE(versuche, 1);
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QList<Bank::GespeicherterUmsatz> umsaetze;
    m_sitzung->lesen([&](DBConnection* db) { umsaetze = Bank::umsaetze(db, false); });
    QCOMPARE(umsaetze.size(), 2);
    QMap<QString, EuroType> betraege;
    for (const Bank::GespeicherterUmsatz& u : umsaetze) betraege.insert(u.name, u.betrag);
    QCOMPARE(betraege.value(QStringLiteral("Kunde Nord")), EuroType::ausCent(59500));
    QCOMPARE(betraege.value(QStringLiteral("Bürobedarf Ost")), EuroType::ausCent(-2380));
}

// The round trip of the sample's till through the window: handed over
// from the cash book's menu, the cash installation's case made from the
// file, a sale booked and closed there (by the command line, beside the
// open window), the closed bookings returned and read into the main case
// once, and the register withdrawn, after which a file is refused.
void BelegeBankKasseTest::kassenprogramm() {
    m_sitzung.reset();
    fenster::Hauptfenster w;
    UiScope scope(&m_ui);
    QVERIFY(w.fallOeffnen(m_fall));
    auto* kasse = qobject_cast<KassenAnsicht*>(w.ansicht(QStringLiteral("kassenbuch")));
    QVERIFY(kasse);
    QVERIFY(w.zeige(QStringLiteral("kassenbuch")));

    const QString aus = m_dir.filePath(QStringLiteral("aus"));
    QVERIFY(QDir().mkpath(aus));
    QVERIFY2(kasse->kasseUebergeben(aus), qPrintable(fehler(m_ui)));
    const QStringList kassen = QDir(aus).entryList({QStringLiteral("*.kasse")}, QDir::Files);
    QCOMPARE(kassen.size(), 1);
    w.sitzung().lesen([](DBConnection*) { QCOMPARE(Kasse::exportierteKassen(), QList<unsigned long>{1000}); });

    const QString kassenfall = m_dir.filePath(QStringLiteral("kassenplatz.dalvo"));
    QFile::remove(kassenfall);
    QVERIFY2(w.kassenfallAnlegen(QDir(aus).filePath(kassen.first()), kassenfall), qPrintable(fehler(m_ui)));
    QCOMPARE(w.sitzung().pfad(), QFileInfo(kassenfall).absoluteFilePath());
    // Never over an existing case: refused, and the case open before is open again.
    QVERIFY(!w.kassenfallAnlegen(QDir(aus).filePath(kassen.first()), kassenfall));
    QCOMPARE(w.sitzung().pfad(), QFileInfo(kassenfall).absoluteFilePath());
    m_ui.clear();

    // At the till: a sale after the hand-over (27.12.), closed on 30.12.
    QCOMPARE(fenstertest::dalvo({"buchen", kassenfall, "--art", "einnahme", "--datum", "28.12.2016", "--betrag", "119,00", "--konto", "1000",
                                 "--gegenkonto", "8400", "--text", "Barverkauf am Kassenplatz"})
                 .rc,
             0);
    QCOMPARE(fenstertest::dalvo({"kassenabschluss", kassenfall, "--datum", "30.12.2016", "--gezaehlt", "1055,07", "--yes"}).rc, 0);
    w.sitzung().aenderungVonAussenPruefen();
    QVERIFY2(kasse->buchungenZurueckgeben(aus), qPrintable(fehler(m_ui)));
    const QStringList buchungen = QDir(aus).entryList({QStringLiteral("*.buchungen")}, QDir::Files);
    QCOMPARE(buchungen.size(), 1);
    const QString datei = QDir(aus).filePath(buchungen.first());

    // Back in the main case: the sale is in its cash book once.
    QVERIFY(w.fallOeffnen(m_fall));
    auto bestand = [&] {
        EuroType b;
        w.sitzung().lesen([&](DBConnection*) { b = KontoGlobal::getSummeKonto(1000, 0, zDate(), zDate(QDate(2016, 12, 31))); });
        return b;
    };
    const EuroType vorher = bestand();
    QVERIFY2(kasse->buchungenEinlesen(datei), qPrintable(fehler(m_ui)));
    QCOMPARE(bestand(), vorher + EuroType::ausCent(11900));
    QCOMPARE(bestand(), EuroType::ausCent(105507));
    QVERIFY(kasse->buchungenEinlesen(datei));
    QCOMPARE(bestand(), EuroType::ausCent(105507));

    // Withdrawn after the library's question, the register takes no file.
    m_ui.clear();
    QVERIFY(kasse->kasseFreigeben());
    QCOMPARE(m_ui.count(Ui::Art::Frage), 1);
    w.sitzung().lesen([](DBConnection*) { QVERIFY(Kasse::exportierteKassen().isEmpty()); });
    const QByteArray stand = inhalt(m_fall);
    QVERIFY(!kasse->buchungenEinlesen(datei));
    QVERIFY2(fehler(m_ui).contains(QStringLiteral("keine exportierten Kassen")), qPrintable(fehler(m_ui)));
    QVERIFY(inhalt(m_fall) == stand);
}

QTEST_MAIN(BelegeBankKasseTest)
#include "fenster_belege_bank_kasse_test.moc"
