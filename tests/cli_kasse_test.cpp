// The cash book from the command line: a month of cash closed and kept
// closed, the register handed to a cash installation and its bookings
// brought back exactly once, the question before a negative balance, and
// what a .kasse file may carry.
#include "support/dalvo_lauf.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

Lauf bar(const QString& fall, const QString& art, const QString& datum, const QString& betrag, const QString& gegen,
         const QStringList& mehr = {}) {
    return dalvo(QStringList{QStringLiteral("book"), fall, QStringLiteral("--kind"), art, QStringLiteral("--date"), datum,
                             QStringLiteral("--amount"), betrag, QStringLiteral("--account"), QStringLiteral("1000"),
                             QStringLiteral("--counter"), gegen} +
                 mehr);
}

QString kassenbuchCsv(const QString& fall, const QString& von, const QString& bis) {
    return dalvo({QStringLiteral("kassenbuch"), fall, QStringLiteral("--from"), von, QStringLiteral("--to"), bis, QStringLiteral("--csv")}).out;
}

// The cash book without the booking numbers, which each case counts itself.
QStringList ohneNummern(const QString& csv) {
    QStringList l;
    for (const QString& z : csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList f = z.split(QLatin1Char(';'));
        f.removeAt(1);
        l << f.join(QLatin1Char(';'));
    }
    return l;
}

QString einzigeDatei(const QString& dir, const QString& muster) {
    const QStringList l = QDir(dir).entryList({muster}, QDir::Files);
    EXPECT_EQ(l.size(), 1) << l.join(QLatin1Char(',')).toStdString();
    return l.isEmpty() ? QString() : QDir(dir).filePath(l.first());
}

TEST(CliKasse, AMonthOfCashTravelsToTheCashInstallationAndBackOnce) {
    QTemporaryDir dir;
    const QString haupt = neuerFall(dir, QStringLiteral("haupt.dalvo"));
    // January: 500,00 carried forward, a sale, two purchases -> 545,20.
    ASSERT_EQ(dalvo({QStringLiteral("book"), haupt, QStringLiteral("--kind"), QStringLiteral("saldovortrag"), QStringLiteral("--date"),
                     QStringLiteral("01.01.2016"), QStringLiteral("--amount"), QStringLiteral("500"), QStringLiteral("--account"),
                     QStringLiteral("9000"), QStringLiteral("--counter"), QStringLiteral("1000")})
                  .rc,
              0);
    ASSERT_EQ(bar(haupt, QStringLiteral("einnahme"), QStringLiteral("04.01.2016"), QStringLiteral("119,00"), QStringLiteral("8400"),
                  {QStringLiteral("--voucher"), QStringLiteral("B1"), QStringLiteral("--text"), QStringLiteral("Barverkauf")}).rc, 0);
    ASSERT_EQ(bar(haupt, QStringLiteral("ausgabe"), QStringLiteral("04.01.2016"), QStringLiteral("23,80"), QStringLiteral("4930")).rc, 0);
    ASSERT_EQ(bar(haupt, QStringLiteral("ausgabe"), QStringLiteral("20.01.2016"), QStringLiteral("50,00"), QStringLiteral("4930")).rc, 0);
    // A bank booking the cash installation must never see.
    ASSERT_EQ(dalvo({QStringLiteral("book"), haupt, QStringLiteral("--kind"), QStringLiteral("einnahme"), QStringLiteral("--date"),
                     QStringLiteral("05.01.2016"), QStringLiteral("--amount"), QStringLiteral("1000"), QStringLiteral("--account"),
                     QStringLiteral("1200"), QStringLiteral("--counter"), QStringLiteral("8400")})
                  .rc,
              0);

    // Counted 540,00: the closing needs a counter account for 5,20.
    QByteArray vorher = hashOf(haupt);
    const QStringList abschluss = {QStringLiteral("kassenabschluss"), haupt, QStringLiteral("--datum"), QStringLiteral("31.01.2016"),
                                   QStringLiteral("--gezaehlt"), QStringLiteral("540,00")};
    Lauf l = dalvo(abschluss + QStringList{QStringLiteral("--yes")});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("--gegenkonto"))) << l.err.toStdString();
    l = dalvo(abschluss + QStringList{QStringLiteral("--gegenkonto"), QStringLiteral("4900")});  // no --yes: not confirmed
    EXPECT_EQ(l.rc, 1);
    EXPECT_EQ(hashOf(haupt), vorher);
    l = dalvo(abschluss + QStringList{QStringLiteral("--gegenkonto"), QStringLiteral("4900"), QStringLiteral("--yes")});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_TRUE(l.out.contains(QStringLiteral("Saldo 540,00 EUR"))) << l.out.toStdString();

    // Booking, cancelling or deleting into the closed month is refused and
    // changes nothing; the day after is open.
    vorher = hashOf(haupt);
    l = bar(haupt, QStringLiteral("ausgabe"), QStringLiteral("31.01.2016"), QStringLiteral("1,00"), QStringLiteral("4930"));
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Die Kasse 1000 ist bis zum 31.01.2016 abgeschlossen."))) << l.err.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("cancel"), haupt, QStringLiteral("2")}).rc, 1);
    EXPECT_EQ(dalvo({QStringLiteral("delete"), haupt, QStringLiteral("3")}).rc, 1);
    EXPECT_EQ(dalvo({QStringLiteral("kassenabschluss"), haupt, QStringLiteral("--datum"), QStringLiteral("31.01.2016"), QStringLiteral("--gezaehlt"),
                     QStringLiteral("540,00"), QStringLiteral("--yes")})
                  .rc,
              1);
    EXPECT_EQ(hashOf(haupt), vorher);
    ASSERT_EQ(bar(haupt, QStringLiteral("ausgabe"), QStringLiteral("01.02.2016"), QStringLiteral("5,00"), QStringLiteral("4930")).rc, 0);

    // Hand the register over.
    const QString aus = dir.filePath(QStringLiteral("aus"));
    QDir().mkpath(aus);
    l = dalvo({QStringLiteral("kasse-export"), haupt, QStringLiteral("--konto"), QStringLiteral("1000"), QStringLiteral("--ziel"), aus});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    const QString kassendatei = einzigeDatei(aus, QStringLiteral("*.kasse"));
    EXPECT_EQ(l.out.trimmed(), kassendatei);
    EXPECT_TRUE(QFileInfo(kassendatei).fileName().endsWith(QStringLiteral(" haupt Kasse 1000 2016.kasse")));

    const QString kasse = dir.filePath(QStringLiteral("kasse.dalvo"));
    l = dalvo({QStringLiteral("kasse-import"), kassendatei, kasse});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("kasse-import"), kassendatei, kasse}).rc, 1);  // never over an existing case
    // Nothing closed yet in the cash installation: nothing to export.
    l = dalvo({QStringLiteral("kassenbuchungen-export"), kasse, QStringLiteral("--ziel"), aus});
    EXPECT_EQ(l.rc, 1);
    // Booked and closed there: the hand-over date is its first closing.
    EXPECT_EQ(bar(kasse, QStringLiteral("ausgabe"), QStringLiteral("01.02.2016"), QStringLiteral("1,00"), QStringLiteral("4930")).rc, 1);
    // Entered against the order of their dates.
    ASSERT_EQ(bar(kasse, QStringLiteral("ausgabe"), QStringLiteral("12.02.2016"), QStringLiteral("11,90"), QStringLiteral("4930")).rc, 0);
    ASSERT_EQ(bar(kasse, QStringLiteral("einnahme"), QStringLiteral("10.02.2016"), QStringLiteral("238,00"), QStringLiteral("8400"),
                  {QStringLiteral("--voucher"), QStringLiteral("K1"), QStringLiteral("--text"), QStringLiteral("Barverkauf Februar")}).rc, 0);
    l = dalvo({QStringLiteral("kassenabschluss"), kasse, QStringLiteral("--datum"), QStringLiteral("29.02.2016"), QStringLiteral("--gezaehlt"),
               QStringLiteral("761,10"), QStringLiteral("--yes")});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    // Booked after the closing: stays in the cash installation for now.
    ASSERT_EQ(bar(kasse, QStringLiteral("ausgabe"), QStringLiteral("02.03.2016"), QStringLiteral("2,00"), QStringLiteral("4930")).rc, 0);
    l = dalvo({QStringLiteral("kassenbuchungen-export"), kasse, QStringLiteral("--ziel"), aus});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_TRUE(l.err.contains(QStringLiteral("Es gibt eine Buchung, die nicht exportiert wird"))) << l.err.toStdString();
    const QString buchungen = einzigeDatei(aus, QStringLiteral("*.buchungen"));
    EXPECT_EQ(sqlZahl(buchungen, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 2);

    // Into the main case, once.
    l = dalvo({QStringLiteral("kassenbuchungen-import"), haupt, buchungen});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_EQ(l.out, QStringLiteral("2\n"));
    // Numbered in the order of their dates; a booking's lines keep their order.
    const QString gegenDatum = QStringLiteral("SELECT COUNT(*) FROM eurVerbucht a, eurVerbucht b WHERE a.Belegdatum>'2016-02-02' "
                                              "AND a.Belegdatum<b.Belegdatum AND a.Buchungsnummer>b.Buchungsnummer");
    EXPECT_EQ(sqlZahl(kasse, gegenDatum), 1);
    EXPECT_EQ(sqlZahl(haupt, gegenDatum), 0);
    const QString zeilenFolge = QStringLiteral("SELECT CAST(group_concat(Konto, '') AS INTEGER) FROM (SELECT z.Konto FROM eurVerbuchtBuchungszeilen z "
                                               "JOIN eurVerbucht b ON b.Buchungsnummer=z.Buchungsnummer WHERE b.Belegnummer='K1' ORDER BY z.ID)");
    EXPECT_EQ(sqlZahl(haupt, zeilenFolge), sqlZahl(kasse, zeilenFolge));
    EXPECT_GT(sqlZahl(haupt, zeilenFolge), 1000000000LL);
    vorher = hashOf(haupt);
    l = dalvo({QStringLiteral("kassenbuchungen-import"), haupt, buchungen});
    EXPECT_EQ(l.rc, 0);
    EXPECT_EQ(l.out, QStringLiteral("0\n"));
    EXPECT_TRUE(l.err.contains(QStringLiteral("Es wurden keine Buchungen gefunden"))) << l.err.toStdString();
    EXPECT_EQ(hashOf(haupt), vorher);
    // The cash installation is no main case of this register.
    EXPECT_EQ(dalvo({QStringLiteral("kassenbuchungen-import"), kasse, buchungen}).rc, 1);
    // A file cut short on the way is the file's damage, not the case's.
    QFile ganz(buchungen);
    ASSERT_TRUE(ganz.open(QIODevice::ReadOnly));
    const QString kurz = dir.filePath(QStringLiteral("kurz.buchungen"));
    QFile k(kurz);
    ASSERT_TRUE(k.open(QIODevice::WriteOnly));
    k.write(ganz.read(ganz.size() / 2));
    k.close();
    l = dalvo({QStringLiteral("kassenbuchungen-import"), haupt, kurz});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: sie ist beschädigt, unvollständig").arg(kurz)))
        << l.err.toStdString();
    EXPECT_FALSE(l.err.contains(QStringLiteral("Falldatei"))) << l.err.toStdString();
    EXPECT_EQ(hashOf(haupt), vorher);

    // The same cash book in both cases: 540,00 + 238,00 - 5,00 - 11,90 = 761,10.
    const QString hauptBuch = kassenbuchCsv(haupt, QStringLiteral("01.01.2016"), QStringLiteral("29.02.2016"));
    EXPECT_EQ(ohneNummern(hauptBuch), ohneNummern(kassenbuchCsv(kasse, QStringLiteral("01.01.2016"), QStringLiteral("29.02.2016"))));
    EXPECT_TRUE(hauptBuch.trimmed().endsWith(QStringLiteral(";761,10"))) << hauptBuch.toStdString();
    EXPECT_TRUE(hauptBuch.contains(QStringLiteral("31.01.2016;6;;4900;0;Fehlbetrag;0,00;5,20;540,00"))) << hauptBuch.toStdString();
    const QJsonObject j = QJsonDocument::fromJson(
                              dalvo({QStringLiteral("kassenbuch"), haupt, QStringLiteral("--month"), QStringLiteral("2"), QStringLiteral("--json")}).out.toUtf8())
                              .object();
    EXPECT_DOUBLE_EQ(j.value(QStringLiteral("anfangsbestand")).toDouble(), 540.0);
    EXPECT_DOUBLE_EQ(j.value(QStringLiteral("endbestand")).toDouble(), 761.10);
    EXPECT_EQ(j.value(QStringLiteral("zeilen")).toArray().size(), 3);

    // The printed book names the business, once it is known.
    EXPECT_TRUE(dalvo({QStringLiteral("kassenbuch"), haupt}).out.contains(QStringLiteral("Betrieb: haupt\n")));
    ASSERT_EQ(dalvo({QStringLiteral("firma"), haupt, QStringLiteral("--name"), QStringLiteral("Kiosk Weber")}).rc, 0);
    EXPECT_TRUE(dalvo({QStringLiteral("kassenbuch"), haupt}).out.contains(QStringLiteral("Betrieb: Kiosk Weber\n")));
    const QString pdf = dir.filePath(QStringLiteral("kassenbuch.pdf"));
    l = dalvo({QStringLiteral("kassenbuch"), haupt, QStringLiteral("--month"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_FALSE(l.err.contains(QStringLiteral("QStandardPaths")));
    EXPECT_EQ(dalvo({QStringLiteral("kassenbuch"), haupt, QStringLiteral("--pdf"), pdf}).rc, 1);  // exists, no --force
    EXPECT_EQ(dalvo({QStringLiteral("kassenbuch"), haupt, QStringLiteral("--pdf"), haupt, QStringLiteral("--force")}).rc, 1);

    // Withdrawn, the register takes no more bookings.
    vorher = hashOf(haupt);
    EXPECT_EQ(dalvo({QStringLiteral("kasse-freigeben"), haupt, QStringLiteral("--konto"), QStringLiteral("1000")}).rc, 1);
    EXPECT_EQ(hashOf(haupt), vorher);
    EXPECT_EQ(dalvo({QStringLiteral("kasse-freigeben"), haupt, QStringLiteral("--konto"), QStringLiteral("1000"), QStringLiteral("--yes")}).rc, 0);
    l = dalvo({QStringLiteral("kassenbuchungen-import"), haupt, buchungen});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Zurzeit liegen keine exportierten Kassen vor."))) << l.err.toStdString();
}

TEST(CliKasse, AKasseFileCarriesOnlyWhatTheTillNeeds) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir, QStringLiteral("fall.dalvo"));
    ASSERT_EQ(bar(fall, QStringLiteral("einnahme"), QStringLiteral("04.01.2016"), QStringLiteral("119,00"), QStringLiteral("8400")).rc, 0);
    ASSERT_EQ(dalvo({QStringLiteral("book"), fall, QStringLiteral("--kind"), QStringLiteral("einnahme"), QStringLiteral("--date"),
                     QStringLiteral("05.01.2016"), QStringLiteral("--amount"), QStringLiteral("1000"), QStringLiteral("--account"),
                     QStringLiteral("1200"), QStringLiteral("--counter"), QStringLiteral("8400")})
                  .rc,
              0);
    // A customer, bank access data and a case setting that must stay home.
    ASSERT_TRUE(sqlAusfuehren(fall, QStringLiteral("INSERT INTO rePersonen (Kundennummer) VALUES ('K-1');"
                                                "INSERT INTO eurBankverbindung (Bezeichnung, Kontonummer) VALUES ('Giro', '123');"
                                                "INSERT INTO Falleigenschaften (Feld, Wert) VALUES ('Geheim', 'x');")));
    const QString aus = dir.filePath(QStringLiteral("aus"));
    QDir().mkpath(aus);
    Lauf l = dalvo({QStringLiteral("kasse-export"), fall, QStringLiteral("--konto"), QStringLiteral("1200"), QStringLiteral("--ziel"), aus});
    EXPECT_EQ(l.rc, 1);  // the bank is no register
    EXPECT_TRUE(l.err.contains(QStringLiteral("kein Kassenkonto"))) << l.err.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("kasse-export"), fall, QStringLiteral("--konto"), QStringLiteral("1000")}).rc, 2);
    l = dalvo({QStringLiteral("kasse-export"), fall, QStringLiteral("--konto"), QStringLiteral("1000"), QStringLiteral("--ziel"), aus});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    const QString datei = l.out.trimmed();

    const QStringList erlaubt = {QStringLiteral("Version"), QStringLiteral("eurKontenplan"), QStringLiteral("eurKategorien"),
                                 QStringLiteral("eurKontenklassen"), QStringLiteral("eurSteuerschluessel"), QStringLiteral("eurKennzifferbereiche"),
                                 QStringLiteral("eurFormulare"), QStringLiteral("eurVerbucht"), QStringLiteral("eurVerbuchtBuchungszeilen"),
                                 QStringLiteral("eurBeispiel"), QStringLiteral("eurBeispielBuchungszeilen"), QStringLiteral("eurExportierteKassen"),
                                 QStringLiteral("eurKassenbuchImporte"), QStringLiteral("eurExportierteDaten"), QStringLiteral("sqlite_sequence")};
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(datei.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr);
    int tabellen = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        ++tabellen;
        EXPECT_NE(t, QStringLiteral("dalvoFall"));
        if (!erlaubt.contains(t)) {
            EXPECT_EQ(sqlZahl(datei, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t)), 0) << t.toStdString();
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_GT(tabellen, 30);  // the whole schema, mostly empty
    EXPECT_EQ(sqlZahl(datei, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 1);
    EXPECT_EQ(sqlZahl(datei, QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Konto=1200")), 0);
    EXPECT_GT(sqlZahl(datei, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")), 100);
    EXPECT_EQ(sqlZahl(datei, QStringLiteral("SELECT COUNT(*) FROM eurExportierteKassen WHERE Konto=1000")), 1);
    // The main case now knows the register as exported.
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT COUNT(*) FROM eurExportierteKassen WHERE Konto=1000")), 1);

    // A file that is no register file is refused with its name and why, and
    // no case is left behind.
    const QString neu = dir.filePath(QStringLiteral("neu.dalvo"));
    l = dalvo({QStringLiteral("kasse-import"), fall, neu});
    EXPECT_EQ(l.rc, 1);
    EXPECT_FALSE(QFileInfo::exists(neu));
    const QString text = dir.filePath(QStringLiteral("notizen.txt"));
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("Kasse Januar\n");
    t.close();
    l = dalvo({QStringLiteral("kasse-import"), text, neu});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: sie ist").arg(text))) << l.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(neu));
    l = dalvo({QStringLiteral("kasse-import"), datei, dir.path()});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("„%1“ ist ein Verzeichnis").arg(dir.path()))) << l.err.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("kasse-import"), dir.filePath(QStringLiteral("fehlt.kasse")), neu}).rc, 2);
    ASSERT_TRUE(sqlAusfuehren(datei, QStringLiteral("UPDATE eurExportierteDaten SET Wert='20150001' WHERE Variable='DBVersion'")));
    l = dalvo({QStringLiteral("kasse-import"), datei, neu});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Die Datenversion der exportierten Daten (20150001)"))) << l.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(neu));
}

// The library asks before a till goes below zero (every path: see
// buchungswege_test); the command line only answers: No without --yes,
// leaving the file as it was, yes with it.
TEST(CliKasse, TheQuestionBeforeANegativeTillIsAnsweredByYesAndNo) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir, QStringLiteral("fall.dalvo"));
    ASSERT_EQ(bar(fall, QStringLiteral("einnahme"), QStringLiteral("01.03.2016"), QStringLiteral("100"), QStringLiteral("8400")).rc, 0);
    ASSERT_EQ(bar(fall, QStringLiteral("ausgabe"), QStringLiteral("10.03.2016"), QStringLiteral("80"), QStringLiteral("4930")).rc, 0);
    const QByteArray vorher = hashOf(fall);
    const QStringList aus = {QStringLiteral("ausgabe"), QStringLiteral("05.03.2016"), QStringLiteral("30"), QStringLiteral("4930")};
    Lauf l = bar(fall, aus[0], aus[1], aus[2], aus[3]);
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Durch diese Buchung wird der Kassenbestand negativ.")) &&
                l.err.contains(QStringLiteral("Der Bestand der Kasse 1000 wäre am 10.03.2016 negativ (-10,00 EUR)")))
        << l.err.toStdString();
    EXPECT_TRUE(l.out.isEmpty());
    EXPECT_EQ(hashOf(fall), vorher);
    // Cancelling the income would leave 10 March at -80,00: asked as a cancellation.
    l = dalvo({QStringLiteral("cancel"), fall, QStringLiteral("1"), QStringLiteral("--no")});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("Soll die Buchung trotzdem storniert werden?"))) << l.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    l = bar(fall, aus[0], aus[1], aus[2], aus[3], {QStringLiteral("--yes")});
    EXPECT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_EQ(l.out, QStringLiteral("3\n"));
}

TEST(CliKasse, UsageErrorsNameWhatIsMissing) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir, QStringLiteral("fall.dalvo"));
    const QByteArray vorher = hashOf(fall);
    struct Fall {
        QStringList args;
        int rc;
        const char* meldung;
    } faelle[] = {
        {{QStringLiteral("kassenabschluss"), fall, QStringLiteral("--gezaehlt"), QStringLiteral("1")}, 2, "--datum fehlt"},
        {{QStringLiteral("kassenabschluss"), fall, QStringLiteral("--datum"), QStringLiteral("31.02.2016"), QStringLiteral("--gezaehlt"),
          QStringLiteral("1")}, 2, "Ungültiges Datum"},
        {{QStringLiteral("kassenabschluss"), fall, QStringLiteral("--datum"), QStringLiteral("31.01.2016"), QStringLiteral("--gezaehlt"),
          QStringLiteral("-1")}, 2, "nicht negativ"},
        {{QStringLiteral("kassenabschluss"), fall, QStringLiteral("--datum"), QStringLiteral("31.01.2016"), QStringLiteral("--gezaehlt"),
          QStringLiteral("0"), QStringLiteral("--konto"), QStringLiteral("1200"), QStringLiteral("--yes")}, 1, "kein Kassenkonto"},
        {{QStringLiteral("kassenbuch"), fall, QStringLiteral("--konto"), QStringLiteral("4711")}, 1, "gibt es im Kontenplan nicht"},
        {{QStringLiteral("kassenbuch"), fall, QStringLiteral("--csv"), QStringLiteral("--json")}, 2, "Nur eine Ausgabeform"},
        {{QStringLiteral("kasse"), fall, QStringLiteral("--setzen"), QStringLiteral("1200")}, 1, "keine aktive Kasse"},
        {{QStringLiteral("kasse-freigeben"), fall, QStringLiteral("--konto"), QStringLiteral("1000"), QStringLiteral("--yes")}, 1,
         "Zurzeit liegen keine exportierten Kassen vor."},
        {{QStringLiteral("kassenbuchungen-export"), fall, QStringLiteral("--ziel"), dir.path()}, 1, "keine übernommene Kasse"},
        // SKR03 1010 is a register the chart has, but not active.
        {{QStringLiteral("kassenabschluss"), fall, QStringLiteral("--konto"), QStringLiteral("1010"), QStringLiteral("--datum"),
          QStringLiteral("31.01.2016"), QStringLiteral("--gezaehlt"), QStringLiteral("0"), QStringLiteral("--ja")}, 1, "nicht aktiv"},
        // A device is read forever; a directory is no file.
        {{QStringLiteral("kassenbuchungen-import"), fall, QStringLiteral("/dev/zero")}, 2, "„/dev/zero“ ist keine gewöhnliche Datei"},
        {{QStringLiteral("import"), fall, QStringLiteral("/dev/zero")}, 2, "„/dev/zero“ ist keine gewöhnliche Datei"},
        {{QStringLiteral("bank"), fall, QStringLiteral("import"), dir.path()}, 2, "ist ein Verzeichnis"},
    };
    for (const Fall& f : faelle) {
        const Lauf l = dalvo(f.args);
        EXPECT_EQ(l.rc, f.rc) << f.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(l.err.contains(QString::fromUtf8(f.meldung))) << l.err.toStdString();
        EXPECT_EQ(hashOf(fall), vorher) << f.args.join(QLatin1Char(' ')).toStdString();
    }
    // An empty register: the cash book is its opening row.
    const Lauf l = dalvo({QStringLiteral("kassenbuch"), fall, QStringLiteral("--csv")});
    EXPECT_EQ(l.rc, 0);
    EXPECT_EQ(l.out, QStringLiteral("Datum;Buchungsnummer;Belegnummer;Gegenkonto;Steuersatz;Buchungstext;Einnahme;Ausgabe;Bestand\n"
                                    "01.01.2016;;;;0;Anfangsbestand;0,00;0,00;0,00\n"));
}

}  // namespace
