// The figure views driven as a user would: a period picked by keyboard,
// the advance return and the income-surplus statement read off the window
// and compared with what the command line prints as JSON for the same case
// and period, a report saved as CSV and compared with "bericht --csv", and
// a code of the return followed to its bookings.
#include "fenster/hauptfenster.h"
#include "fenster/hilfe/fenstertest.h"
#include "fenster/zahlen/euer_ansicht.h"
#include "fenster/zahlen/listen_ansicht.h"
#include "fenster/zahlen/startteile.h"
#include "fenster/zahlen/ustva_ansicht.h"
#include "fenster/zahlen/werkzeug.h"

#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace fenster;

namespace {
// An amount of the command line's JSON as the window writes it.
QString text(const QJsonValue& v) { return EuroType::ausDouble(v.toDouble()).getText(); }

// Picks entry `index` of a period choice with the keyboard.
void waehle(ZeitraumWahl* z, int index) {
    QComboBox* c = z->auswahl();
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(c, Qt::Key_Down);
    QCOMPARE(c->currentIndex(), index);
}

// The booking numbers of a report's rows.
QList<unsigned long> nummernAus(const QJsonObject& bericht) {
    QList<unsigned long> n;
    for (const QJsonValue& z : bericht.value(QStringLiteral("zeilen")).toArray())
        if (!z.toObject().value(QStringLiteral("buchungsnummer")).isNull()) n << z.toObject().value(QStringLiteral("buchungsnummer")).toInt();
    std::sort(n.begin(), n.end());
    n.erase(std::unique(n.begin(), n.end()), n.end());
    return n;
}
}  // namespace

class FensterZahlen : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_fall;
    ScriptedUi m_ui;

    // The bookings on the accounts of deductible input tax at 7 % and 19 %
    // (code 66 of the advance return, 320 of the annual one) in a period,
    // and what their lines there add up to.
    QList<unsigned long> vorsteuerBuchungen(const QStringList& zeitraum, EuroType* summe) {
        QList<unsigned long> n;
        *summe = EuroType();
        for (const char* konto : {"1571", "1576"}) {
            const QJsonObject b = fenstertest::json(QStringList{"bericht", m_fall, "kontenabfrage", "--konto", QLatin1String(konto),
                "--json"} + zeitraum);
            n << nummernAus(b);
            for (const QJsonValue& s : b.value(QStringLiteral("summen")).toArray())
                if (s[QStringLiteral("buchungstext")].toString().startsWith(QStringLiteral("Summe")))
                    *summe += EuroType::ausDouble(s[QStringLiteral("soll")].toDouble()) - EuroType::ausDouble(s[QStringLiteral("haben")].toDouble());
        }
        std::sort(n.begin(), n.end());
        n.erase(std::unique(n.begin(), n.end()), n.end());
        return n;
    }

private slots:
    void initTestCase() {
        fenstertest::einstellungenIsolieren();
        m_fall = m_dir.filePath(QStringLiteral("musterfall_2016.dalvo"));
        QVERIFY(fenstertest::musterfallAnlegen(m_fall));
    }

    void zahlenWieDieKommandozeile() {
        Hauptfenster w;
        UiScope scope(&m_ui);
        w.show();
        QVERIFY(w.fallOeffnen(m_fall));

        // The advance return of March, line by line.
        QVERIFY(w.zeige(QStringLiteral("ustva")));
        auto* ustva = qobject_cast<UStVAAnsicht*>(w.ansicht(QStringLiteral("ustva")));
        QVERIFY(ustva);
        waehle(ustva->zeitraumWahl(), 2);
        const QJsonObject cli = fenstertest::json({"ustva", m_fall, "--monat", "3", "--json"});
        const QJsonObject kz = cli.value(QStringLiteral("kennziffern")).toObject();
        QVERIFY(kz.size() >= 5);
        for (auto it = kz.constBegin(); it != kz.constEnd(); ++it) {
            const int k = it.key().toInt();
            const UStVA::Kennzahl* z = UStVA::kennzahl(k);
            QVERIFY2(z, qPrintable(it.key()));
            // A tax booked beside its base stands on the base's line.
            QTreeWidgetItem* zeile = ustva->zeileVon(z->basisVon ? z->basisVon : k);
            QVERIFY2(zeile, qPrintable(it.key()));
            QCOMPARE(zeile->text(z->basis ? 2 : 3), text(it.value()));
        }
        const QJsonObject steuer = cli.value(QStringLiteral("steuer")).toObject();
        for (auto it = steuer.constBegin(); it != steuer.constEnd(); ++it) QCOMPARE(ustva->zeileVon(it.key().toInt())->text(3), text(it.value()));
        const QJsonObject summen = cli.value(QStringLiteral("summen")).toObject();
        QCOMPARE(ustva->zahlen().umsatz.umsatzsteuer.getText(), text(summen.value(QStringLiteral("umsatzsteuer"))));
        QCOMPARE(ustva->zahlen().vorsteuer.vorsteuer.getText(), text(summen.value(QStringLiteral("vorsteuer"))));
        QCOMPARE(ustva->zahlen().abgabefrist.getText(), cli.value(QStringLiteral("abgabefrist")).toString());

        // The income-surplus statement, account by account, and the profit.
        QVERIFY(w.zeige(QStringLiteral("euer")));
        auto* euer = qobject_cast<EuerAnsicht*>(w.ansicht(QStringLiteral("euer")));
        const QJsonObject e = fenstertest::json({"euer", m_fall, "--json"});
        int konten = 0;
        for (const QJsonValue& k : e.value(QStringLiteral("kategorien")).toArray()) {
            QCOMPARE(euer->kategorieZeile(k[QStringLiteral("kategorie")].toInt())->text(2), text(k[QStringLiteral("summe")]));
            for (const QJsonValue& a : k[QStringLiteral("konten")].toArray()) {
                QCOMPARE(euer->kontoZeile(a[QStringLiteral("konto")].toInt())->text(2), text(a[QStringLiteral("summe")]));
                ++konten;
            }
        }
        QVERIFY(konten > 20);
        QCOMPARE(euer->rechnung().gewinn().getText(), text(e.value(QStringLiteral("gewinn"))));
        // The form's page 1 gives the same profit.
        bool formularGewinn = false;
        for (const EuerFormular::Zeile& z : euer->formularZeilen())
            if (z.variable == QLatin1String("eur1_GewinnVerlust")) {
                QCOMPARE(z.betrag.getText(), text(e.value(QStringLiteral("gewinn"))));
                formularGewinn = true;
            }
        QVERIFY(formularGewinn);
        const QTreeWidget* baum = euer->baum();
        QCOMPARE(baum->topLevelItem(baum->topLevelItemCount() - 1)->text(2), text(e.value(QStringLiteral("gewinn"))));

        // The start page's months add up to the year's income and expenses.
        auto* start = w.findChild<StartZahlen*>();
        QVERIFY(start);
        EuroType einnahmen, ausgaben;
        for (const Berichte::Monatsgewinn& m : start->diagramm()->zahlen()) {
            einnahmen += m.einnahmen;
            ausgaben += m.ausgaben;
        }
        QCOMPARE(einnahmen.getText(), text(e.value(QStringLiteral("einnahmen"))));
        QCOMPARE(ausgaben.getText(), text(e.value(QStringLiteral("ausgaben"))));

        // A report of the second quarter saved as CSV is the command line's CSV.
        QVERIFY(w.zeige(QStringLiteral("berichte")));
        auto* berichte = qobject_cast<BerichteAnsicht*>(w.ansicht(QStringLiteral("berichte")));
        QVERIFY(berichte->waehle(QStringLiteral("ustliste")));
        waehle(berichte->zeitraumWahl(), 13);
        QVERIFY(berichte->liste().anzahl() > 0);
        const QString csv = m_dir.filePath(QStringLiteral("ustliste.csv")), pdf = m_dir.filePath(QStringLiteral("ustliste.pdf"));
        QString fehler;
        QVERIFY2(Ausgabe::csvSchreiben(berichte->liste(), csv, &fehler), qPrintable(fehler));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), fenstertest::dalvo({"bericht", m_fall, "ustliste", "--quartal", "2", "--csv"}).out);
        QVERIFY2(Ausgabe::pdfSchreiben(berichte->liste(), w.sitzung().betriebsname(), pdf, &fehler), qPrintable(fehler));
        QFile p(pdf);
        QVERIFY(p.open(QIODevice::ReadOnly));
        QVERIFY(p.read(5) == "%PDF-");
        // A list that needs an account shows nothing until it has one.
        QVERIFY(berichte->waehle(QStringLiteral("betragsanalyse")));
        QCOMPARE(berichte->liste().zeilen.size(), 0);
        berichte->kontoFeld()->setFocus();
        QTest::keyClicks(berichte->kontoFeld(), QStringLiteral("4530"));
        QTest::keyClick(berichte->kontoFeld(), Qt::Key_Return);
        QVERIFY(berichte->liste().anzahl() > 0);
        QCOMPARE(m_ui.count(Ui::Art::Fehler), 0);
    }

    void kennzahlFuehrtZuIhrenBuchungen() {
        Hauptfenster w;
        UiScope scope(&m_ui);
        w.show();
        QVERIFY(w.fallOeffnen(m_fall));
        QVERIFY(w.zeige(QStringLiteral("ustva")));
        auto* ustva = qobject_cast<UStVAAnsicht*>(w.ansicht(QStringLiteral("ustva")));
        QList<BuchungsFilter> gezeigt;
        connect(ustva, &Ansicht::zeigeBuchungen, this, [&](const BuchungsFilter& f) { gezeigt << f; });

        // Input tax from invoices (66) in March: the bookings on the accounts
        // of the deductible input tax of 7 % and 19 % in March, whose
        // lines there add up to the figure.
        waehle(ustva->zeitraumWahl(), 2);
        QTreeWidgetItem* zeile = ustva->zeileVon(66);
        QVERIFY(zeile);
        ustva->formular()->setFocus();
        ustva->formular()->setCurrentItem(zeile);
        QTest::keyClick(ustva->formular(), Qt::Key_Return);
        QCOMPARE(gezeigt.size(), 1);
        EuroType summe;
        const QList<unsigned long> erwartet = vorsteuerBuchungen(QStringList{"--monat", "3"}, &summe);
        QVERIFY(!erwartet.isEmpty());
        QCOMPARE(summe.getText(), zeile->text(3));
        QCOMPARE(gezeigt.last().nummern, erwartet);
        QVERIFY(gezeigt.last().titel.contains(QStringLiteral("66")));
        // Its code on the annual return (320): the same accounts over the year.
        QVERIFY(w.zeige(QStringLiteral("ust-erklaerung")));
        auto* jahr = qobject_cast<UStErklaerungAnsicht*>(w.ansicht(QStringLiteral("ust-erklaerung")));
        connect(jahr, &Ansicht::zeigeBuchungen, this, [&](const BuchungsFilter& f) { gezeigt << f; });
        int z320 = -1;
        for (int i = 0; i < jahr->modell()->rowCount(); ++i)
            if (jahr->modell()->wert(i, 0).toInt() == 320) z320 = i;
        QVERIFY(z320 >= 0);
        jahr->buchungenZeigen(z320);
        // The return sums the cancelled duplicate of January (271) and its
        // cancellation (272) too, where they offset each other; the account
        // statement leaves both out.
        QList<unsigned long> jahresBuchungen = vorsteuerBuchungen({"--jahr"}, &summe);
        jahresBuchungen << 271 << 272;
        std::sort(jahresBuchungen.begin(), jahresBuchungen.end());
        QCOMPARE(gezeigt.last().nummern, jahresBuchungen);
        QCOMPARE(summe.getText(), jahr->modell()->data(jahr->modell()->index(z320, 3), Qt::DisplayRole).toString());
        QVERIFY(w.zeige(QStringLiteral("ustva")));

        // The special advance payment credited in December comes from its
        // posting, whatever month it was paid in.
        waehle(ustva->zeitraumWahl(), 11);
        zeile = ustva->zeileVon(39);
        QVERIFY(zeile);
        ustva->buchungenZeigen(zeile);
        QCOMPARE(gezeigt.size(), 3);
        const QList<unsigned long> svz = nummernAus(fenstertest::json({"bericht", m_fall, "kontenabfrage", "--konto", "1781", "--json"}));
        QVERIFY(!svz.isEmpty());
        QCOMPARE(gezeigt.last().nummern, svz);
    }
};

QTEST_MAIN(FensterZahlen)
#include "fenster_zahlen_test.moc"
