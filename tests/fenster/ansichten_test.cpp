// The views of the subsystems driven as a user drives them, on a copy of
// the sample case: a cash closing, a bank statement taken over, an invoice
// written, printed and posted. Each flow checks the figures the library
// reads back from the case file afterwards, not the widgets' text.
#include "fenster/ansichten/bank.h"
#include "fenster/ansichten/faktura.h"
#include "fenster/ansichten/gemeinsam.h"
#include "fenster/ansichten/fakturabelege.h"
#include "fenster/ansichten/kasse.h"
#include "fenster/ansichten/konten.h"
#include "fenster/ansichten/register.h"
#include "fenster/sitzung.h"
#include "fenster/hilfe/fenstertest.h"

#include "host/app/ui.h"
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace fenster;
using namespace fenstertest;

namespace {

// The firm data an invoice needs under § 14 UStG.
void firmaAnlegen(Sitzung& s) {
    s.handeln([](DBConnection* db) {
        Faktura::Firma f;
        f.name = QStringLiteral("Muster GmbH");
        f.strasse = QStringLiteral("Hauptstraße 1");
        f.plz = QStringLiteral("10115");
        f.ort = QStringLiteral("Berlin");
        f.steuernummer = QStringLiteral("11/222/33333");
        f.ustid = QStringLiteral("DE123456789");
        f.kontakt = QStringLiteral("Max Muster");
        f.telefon = QStringLiteral("030 123456");
        f.email = QStringLiteral("info@muster.de");
        f.iban = QStringLiteral("DE89370400440532013000");
        QString e;
        return Faktura::schreibeFirma(db, f, &e) ? QString() : e;
    });
}

}  // namespace

class AnsichtenTest : public QObject, private fenstertest::Musterfall {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void kassenabschluss();
    void kontoauszugUebernehmen();
    void rechnungSchreibenDruckenBuchen();
    void anlageVerkaufen();
    void kontoAnlegenUndAendern();
    void angebotUebernehmenKorrigierenMahnen();

};

void AnsichtenTest::initTestCase() { QVERIFY(vorbereiten()); }

void AnsichtenTest::init() { QVERIFY(oeffnen()); }

void AnsichtenTest::cleanup() { schliessen(); }

// The cash is counted short: the closing posts the shortfall against the
// account the dialog proposes and fixes the counted balance.
void AnsichtenTest::kassenabschluss() {
    KassenAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    imDialog([](QDialog* d) {
        d->findChild<QDateEdit*>(QStringLiteral("datum"))->setDate(QDate(2016, 12, 31));
        tippe(d, "gezaehlt", QStringLiteral("900,00"));
        QVERIFY(d->findChild<QComboBox*>(QStringLiteral("gegenkonto"))->currentData().toULongLong() != 0);
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("gezaehlt")), Qt::Key_Return);
    });
    klicke(&ansicht, "abschluss");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    QCOMPARE(m_ui.count(Ui::Art::Frage), 1);

    // What the library reads from the file: one closing at the counted
    // amount, and the book now ends there.
    m_sitzung->lesen([](DBConnection*) {
        Kassenbuch kb(1000, zDate(QDate(2016, 1, 1)), zDate(QDate(2016, 12, 31)));
        QVERIFY(kb.Fuellen());
        QCOMPARE(kb.abschluesse().size(), 1);
        QCOMPARE(kb.abschluesse().first().gezaehlt, EuroType::ausCent(90000));
        QCOMPARE(kb.zeilen().last().bestand, EuroType::ausCent(90000));
    });
    // A second closing on the same date is refused with the module's
    // reason and leaves the file as it was.
    const QByteArray vorher = inhalt(m_fall);
    m_ui.clear();
    imDialog([](QDialog* d) {
        d->findChild<QDateEdit*>(QStringLiteral("datum"))->setDate(QDate(2016, 12, 31));
        tippe(d, "gezaehlt", QStringLiteral("900,00"));
        bestaetige(d);
        d->reject();
    });
    klicke(&ansicht, "abschluss");
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QVERIFY(inhalt(m_fall) == vorher);
}

// The sample statement: a bank account is set up, the file read, the two
// transactions the ledger knows taken over by their proposals and the
// refund nobody has seen booked by hand.
void AnsichtenTest::kontoauszugUebernehmen() {
    BankAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    const QString auszug = QStringLiteral(DALVO_SOURCE_DIR "/data/samples/kontoauszug_2016-12.camt053.xml");
    // The case has no bank account yet: the file is refused and nothing
    // stored; asked, the user sets the account up and the file is read.
    const QByteArray vorher = inhalt(m_fall);
    m_ui.queueAnswer(false);
    QVERIFY(!ansicht.importiereDatei(auszug));
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QVERIFY(inhalt(m_fall) == vorher);
    m_ui.clear();
    // Shown, the view takes files dropped on it.
    ansicht.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ansicht));
    imDialog([](QDialog* d) {
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("iban"))->text(), QStringLiteral("DE89370400440532013000"));
        auto* konto = d->findChild<QComboBox*>(QStringLiteral("konto"));
        konto->setCurrentIndex(konto->findData(qulonglong(1200)));
        tippe(d, "name", QStringLiteral("Geschäftskonto"));
        bestaetige(d);
    });
    // This time the file is dropped on the view.
    QMimeData daten;
    daten.setUrls({QUrl::fromLocalFile(auszug)});
    QDragEnterEvent rein(QPoint(10, 10), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&ansicht, &rein);
    QVERIFY(rein.isAccepted());
    QDropEvent fallen(QPointF(10, 10), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&ansicht, &fallen);
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
    QCOMPARE(m_ui.count(Ui::Art::Hinweis), 1);
    m_ui.clear();
    klicke(&ansicht, "alleUebernehmen");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    QList<Bank::GespeicherterUmsatz> offen;
    m_sitzung->lesen([&](DBConnection* db) { offen = Bank::umsaetze(db, true); });
    QCOMPARE(offen.size(), 1);
    QCOMPARE(offen.first().betrag, EuroType::ausCent(2380));

    // By hand: select the open refund and book it against 8400 with the
    // account's key.
    auto* tabelle = ansicht.findChild<QTableView*>(QStringLiteral("umsaetze"));
    for (int r = 0; r < tabelle->model()->rowCount(); ++r)
        if (tabelle->model()->index(r, 0).data(Qt::UserRole).toULongLong() == offen.first().id) tabelle->selectRow(r);
    imDialog([](QDialog* d) {
        auto* konto = d->findChild<QComboBox*>(QStringLiteral("gegenkonto"));
        QTest::keyClicks(konto, QStringLiteral("8400"));
        konto->setCurrentIndex(konto->findData(qulonglong(8400)));
        tippe(d, "text", QStringLiteral("Erstattung Porto"));
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("text")), Qt::Key_Return);
    });
    klicke(&ansicht, "vonHand");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    // Every transaction is processed, each with its own live booking, and
    // the bank account's balance moved by exactly the statement's entries.
    QList<Bank::GespeicherterUmsatz> alle;
    m_sitzung->lesen([&](DBConnection* db) { alle = Bank::umsaetze(db, false); });
    QCOMPARE(alle.size(), 3);
    QSet<unsigned long> buchungen;
    for (const Bank::GespeicherterUmsatz& u : alle) {
        QCOMPARE(u.status, int(Bank::Verarbeitet));
        buchungen.insert(u.buchungsnummer);
    }
    QCOMPARE(buchungen.size(), 3);
}

// An invoice written in the editor (one article, one typed position at
// 7 %), printed as PDF with its XRechnung, and its payment posted.
void AnsichtenTest::rechnungSchreibenDruckenBuchen() {
    firmaAnlegen(*m_sitzung);
    RechnungenAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    imDialog([](QDialog* d) {
        tippe(d, "firma", QStringLiteral("Kunde AG"));
        tippe(d, "strasse", QStringLiteral("Marktplatz 5"));
        tippe(d, "plz", QStringLiteral("80331"));
        tippe(d, "ort", QStringLiteral("München"));
        tippe(d, "email", QStringLiteral("einkauf@kunde.de"));
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("email")), Qt::Key_Return);
    });
    klicke(&ansicht, "neuerKunde");
    imDialog([](QDialog* d) {
        tippe(d, "bezeichnung", QStringLiteral("Beratungsstunde"));
        tippe(d, "preis", QStringLiteral("100,00"));
        auto* konto = d->findChild<QComboBox*>(QStringLiteral("konto"));
        konto->setCurrentIndex(konto->findData(qulonglong(8400)));
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("preis")), Qt::Key_Return);
    });
    klicke(&ansicht, "neuerArtikel");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    imDialog([](QDialog* d) {
        d->findChild<QDateEdit*>(QStringLiteral("datum"))->setDate(QDate(2016, 11, 15));
        klicke(d, "artikelEinfuegen");
        auto* pos = d->findChild<QTableWidget*>(QStringLiteral("positionen"));
        pos->item(0, 1)->setText(QStringLiteral("3"));
        klicke(d, "positionNeu");
        pos->item(1, 0)->setText(QStringLiteral("Fachbuch"));
        pos->item(1, 3)->setText(QStringLiteral("50,00"));
        pos->item(1, 5)->setText(QStringLiteral("8300"));
        // The account brought its key: 7 % beside the article's 19 %.
        QCOMPARE(pos->item(1, 4)->text(), QStringLiteral("2"));
        QCOMPARE(pos->item(0, 6)->text(), QStringLiteral("300,00"));
        bestaetige(d);
    });
    klicke(&ansicht, "neu");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    QList<Faktura::Beleg> belege;
    m_sitzung->lesen([&](DBConnection* db) { belege = Faktura::belege(db, Faktura::Belegart::Rechnung); });
    QCOMPARE(belege.size(), 1);
    const Faktura::Beleg b = belege.first();
    m_sitzung->lesen([&](DBConnection* db) {
        const Faktura::Summen s = Faktura::berechneSummen(db, b);
        QCOMPARE(s.summeNetto, EuroType::ausCent(35000));
        QCOMPARE(s.summeSteuer, EuroType::ausCent(5700 + 350));
        QCOMPARE(s.endsumme, EuroType::ausCent(41050));
    });

    QVERIFY(ansicht.waehleRechnung(b.nummer));
    const QString pdf = m_dir.filePath(QStringLiteral("rechnung.pdf"));
    QVERIFY2(ansicht.pdfSpeichern(pdf), qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray inhalt = f.readAll();
    QVERIFY(inhalt.startsWith("%PDF-"));
    QVERIFY(inhalt.contains("factur-x.xml"));

    const QJsonObject vorher = fenstertest::json({QStringLiteral("ustva"), m_fall, QStringLiteral("--monat"), QStringLiteral("11"), QStringLiteral("--json")});
    QVERIFY(!vorher.isEmpty());
    imDialog([](QDialog* d) {
        auto* geld = d->findChild<QComboBox*>(QStringLiteral("geldkonto"));
        geld->setCurrentIndex(geld->findData(qulonglong(1200)));
        d->findChild<QDateEdit*>(QStringLiteral("datum"))->setDate(QDate(2016, 11, 30));
        bestaetige(d);
    });
    klicke(&ansicht, "zahlung");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    // The invoice is paid, and the command line's advance return of the
    // month reads its revenue: 300 € at 19 % (code 81), 50 € at 7 % (86).
    Faktura::Beleg bezahlt;
    m_sitzung->lesen([&](DBConnection* db) { QVERIFY(Faktura::leseBeleg(db, Faktura::Belegart::Rechnung, b.id, &bezahlt)); });
    QCOMPARE(bezahlt.bezahlt.getText(), QStringLiteral("30.11.2016"));
    const QJsonObject nachher = fenstertest::json({QStringLiteral("ustva"), m_fall, QStringLiteral("--monat"), QStringLiteral("11"), QStringLiteral("--json")});
    auto kz = [](const QJsonObject& o, const char* k) { return o[QStringLiteral("kennziffern")].toObject()[QLatin1String(k)].toDouble(); };
    QCOMPARE(kz(nachher, "81") - kz(vorher, "81"), 300.0);
    QCOMPARE(kz(nachher, "86") - kz(vorher, "86"), 50.0);
    QCOMPARE(nachher[QStringLiteral("summen")].toObject()[QStringLiteral("umsatzsteuer")].toDouble() -
                 vorher[QStringLiteral("summen")].toObject()[QStringLiteral("umsatzsteuer")].toDouble(),
             60.5);
}


// The sample's notebook is sold in September. A date before its purchase
// is refused and changes nothing; the sale then posts the depreciation up
// to September and the remaining book value, and the register shows the
// figures of the Anlage AVEÜR the library computes.
void AnsichtenTest::anlageVerkaufen() {
    RegisterAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    auto* t = ansicht.findChild<QTableView*>(QStringLiteral("anlagen"));
    t->setCurrentIndex(t->model()->index(0, 0));
    const QByteArray vorher = inhalt(m_fall);
    imDialog([this, vorher](QDialog* d) {
        auto* datum = d->findChild<QDateEdit*>(QStringLiteral("datum"));
        datum->setDate(QDate(2016, 1, 2));
        tippe(d, "erloes", QStringLiteral("500,00"));
        auto* geld = d->findChild<QComboBox*>(QStringLiteral("geldkonto"));
        geld->setCurrentIndex(geld->findData(1200));
        bestaetige(d);
        QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);
        QVERIFY(inhalt(m_fall) == vorher);
        datum->setDate(QDate(2016, 9, 30));
        bestaetige(d);
    });
    m_ui.clear();
    klicke(&ansicht, "abgang");
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 1);

    Anlagen::Jahreswerte w;
    m_sitzung->lesen([&](DBConnection*) {
        Anlagen::Anlage a;
        QVERIFY(Anlagen::finde(1, &a));
        QCOMPARE(int(a.abgangsart), int(Anlagen::Verkauf));
        w = Anlagen::werte(a, 2016);
    });
    QCOMPARE(w.afa, EuroType::ausCent(26833));
    QCOMPARE(w.abgang, EuroType::ausCent(111167));
    QCOMPARE(w.ende, EuroType());
    const auto zelle = [t](int spalte) { return EuroType::ausCent(t->model()->index(0, spalte).data(Qt::UserRole).toLongLong()); };
    QCOMPARE(zelle(8), w.zugang);
    QCOMPARE(zelle(9), w.herabsetzung);
    QCOMPARE(zelle(10), w.afa + w.sonder);
    QCOMPARE(zelle(11), w.abgang);
    QCOMPARE(zelle(12), w.ende);
    // The sale is in the ledger: a run of the register finds nothing left to post.
    Anlagen::Lauf rest;
    QVERIFY(gemeinsam::ausfuehren(*m_sitzung, [&](DBConnection*, QString* f) { return Anlagen::buchen(2016, &rest, f); }));
    QVERIFY(rest.buchungen.isEmpty());
}

// A new account in the category of office supplies takes its form codes
// from an account of that category; its name is then changed.
void AnsichtenTest::kontoAnlegenUndAendern() {
    KontenAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    imDialog([](QDialog* d) {
        tippe(d, "nummer", QStringLiteral("4931"));
        tippe(d, "bezeichnung", QStringLiteral("Fachliteratur"));
        auto* k = d->findChild<QComboBox*>(QStringLiteral("kategorie"));
        k->setCurrentIndex(k->findData(5570));
        bestaetige(d);
    });
    klicke(&ansicht, "neuesKonto");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    QVERIFY(m_ui.texts(Ui::Art::Hinweis).join(QString()).contains(QStringLiteral("übernommen")));
    imDialog([](QDialog* d) {
        tippe(d, "bezeichnung", QStringLiteral("Fachbücher"));
        bestaetige(d);
    });
    klicke(&ansicht, "kontoAendern");
    QCOMPARE(m_ui.count(Ui::Art::Fehler), 0);
    m_sitzung->lesen([](DBConnection*) {
        Kontoeditor::Konto k;
        QVERIFY(Kontoeditor::lese(4931, &k));
        QCOMPARE(k.bezeichnung, QStringLiteral("Fachbücher"));
        QCOMPARE(k.kategorie, 5570ul);
    });
}

// An offer written in its tab and taken over into an invoice: the invoice
// has the offer's totals and names its source. The invoice is corrected by
// a credit, reminded, the dunning letter saved, and its due reminder
// marked done in the list.
void AnsichtenTest::angebotUebernehmenKorrigierenMahnen() {
    firmaAnlegen(*m_sitzung);
    m_sitzung->handeln([](DBConnection* db) {
        Faktura::Person p;
        p.firma = QStringLiteral("Kunde AG");
        p.strasse = QStringLiteral("Marktplatz 5");
        p.plz = QStringLiteral("80331");
        p.ort = QStringLiteral("München");
        Faktura::Artikel a;
        a.bezeichnung = QStringLiteral("Beratungsstunde");
        a.preis = EuroType::ausCent(10000);
        a.konto = 8400;
        for (const Kontoeditor::Kontozeile& z : Kontoeditor::kontenliste(QList<unsigned long>{8400})) a.steuerschluessel = z.steuerschluessel;
        QString e;
        if (!Faktura::speicherePerson(db, p, &e)) return e;
        return Faktura::speichereArtikel(db, a, &e) ? QString() : e;
    });
    RechnungenAnsicht ansicht(*m_sitzung);
    ansicht.aktualisieren();
    auto* angebote = ansicht.findChild<VorbelegListe*>(QStringLiteral("angebote"));
    QVERIFY(angebote);
    imDialog([](QDialog* d) {
        d->findChild<QDateEdit*>(QStringLiteral("datum"))->setDate(QDate(2016, 10, 4));
        klicke(d, "artikelEinfuegen");
        d->findChild<QTableWidget*>(QStringLiteral("positionen"))->item(0, 1)->setText(QStringLiteral("4"));
        bestaetige(d);
    });
    klicke(angebote, "belegNeu");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    QList<Faktura::Beleg> offers;
    m_sitzung->lesen([&](DBConnection* db) { offers = Faktura::belege(db, Faktura::Belegart::Angebot); });
    QCOMPARE(offers.size(), 1);
    QVERIFY(angebote->waehle(offers.first().nummer));
    klicke(angebote, "alsRechnung");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));

    Faktura::Beleg rechnung;
    m_sitzung->lesen([&](DBConnection* db) {
        const QList<Faktura::Beleg> r = Faktura::belege(db, Faktura::Belegart::Rechnung);
        QCOMPARE(r.size(), 1);
        rechnung = r.first();
        QCOMPARE(rechnung.angebotsID, offers.first().id);
        const Faktura::Summen a = Faktura::berechneSummen(db, offers.first()), s = Faktura::berechneSummen(db, rechnung);
        QCOMPARE(s.summeNetto, EuroType::ausCent(40000));
        QCOMPARE(s.summeNetto, a.summeNetto);
        QCOMPARE(s.summeSteuer, a.summeSteuer);
        QCOMPARE(s.endsumme, a.endsumme);
    });
    // The view shows the new invoice selected.
    QCOMPARE(ansicht.findChild<QTabWidget*>()->currentIndex(), 0);

    // A credit of one hour corrects it.
    QVERIFY(ansicht.waehleRechnung(rechnung.nummer));
    imDialog([](QDialog* d) {
        klicke(d, "artikelEinfuegen");
        d->findChild<QTableWidget*>(QStringLiteral("positionen"))->item(0, 1)->setText(QStringLiteral("-1"));
        bestaetige(d);
    });
    klicke(&ansicht, "korrektur");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    m_sitzung->lesen([&](DBConnection* db) {
        const QList<Faktura::Beleg> r = Faktura::belege(db, Faktura::Belegart::Rechnung);
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.last().rechnungsart, 1);
        QCOMPARE(r.last().korrekturZu, rechnung.id);
        QCOMPARE(r.last().personID, rechnung.personID);
        QCOMPARE(Faktura::berechneSummen(db, r.last()).endsumme, EuroType::ausCent(-11900));
    });

    // Reminded: the letter is saved, and its reminder date (the day after
    // the new due date, long past in this case's year) puts it on the list.
    QVERIFY(ansicht.waehleRechnung(rechnung.nummer));
    klicke(&ansicht, "mahnen");
    const QString pdf = m_dir.filePath(QStringLiteral("mahnung.pdf"));
    QVERIFY2(ansicht.mahnbriefSpeichern(pdf), qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    QVERIFY(inhalt(pdf).startsWith("%PDF-"));
    auto* liste = ansicht.findChild<QTableView*>(QStringLiteral("erinnerungen"));
    QList<rsRebuErinnerung> faellig;
    m_sitzung->lesen([&](DBConnection*) { KontoGlobal::fillErinnerungen(faellig); });
    QCOMPARE(faellig.size(), 1);
    QCOMPARE(liste->model()->rowCount(), 1);
    liste->selectRow(0);
    klicke(&ansicht, "erledigt");
    m_sitzung->lesen([&](DBConnection*) { KontoGlobal::fillErinnerungen(faellig); });
    QVERIFY(faellig.isEmpty());
    QCOMPARE(liste->model()->rowCount(), 0);
    // The next letter is the next level.
    klicke(&ansicht, "mahnen");
    QVERIFY2(m_ui.count(Ui::Art::Fehler) == 0, qPrintable(m_ui.texts(Ui::Art::Fehler).join(QLatin1Char('\n'))));
    m_sitzung->lesen([&](DBConnection* db) {
        const QList<Faktura::Mahnung> m = Faktura::mahnungen(db, rechnung.id);
        QCOMPARE(m.size(), 2);
        QCOMPARE(m.last().stufe, 2);
    });
}

QTEST_MAIN(AnsichtenTest)
#include "ansichten_test.moc"
