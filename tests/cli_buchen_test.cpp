// The ledger commands as scripts use them: refusals leave the case file
// untouched, locked bookings are cancelled, export and import round-trip,
// and a save killed half-way never damages the case file.
#include "support/dalvo_lauf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>
#include <cstdio>

namespace {

Lauf buche(const QString& fall, const QStringList& mehr) {
    QStringList a = {"book", fall};
    return dalvo(a + mehr);
}

QStringList einnahme(const QString& datum, const QString& betrag, const QString& text = "Zinsen") {
    return {"--kind", "einnahme", "--date", datum, "--amount", betrag, "--account", "1200", "--counter", "2650", "--text", text};
}

QJsonArray liste(const QString& fall) { return QJsonDocument::fromJson(dalvo({"list", fall, "--json"}).out.toUtf8()).array(); }

TEST(CliBuchen, RefusedBookingsLeaveTheFileAsItWas) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const Lauf ok = buche(fall, einnahme("15.03.2016", "1.190,00"));
    ASSERT_EQ(ok.rc, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out, "1\n");
    const QByteArray vorher = hashOf(fall);

    struct Fall {
        QStringList args;
        int rc;
        const char* meldung;
    };
    QStringList fremd = einnahme("15.03.2016", "10");
    fremd[fremd.indexOf("2650")] = "4711";
    QStringList falscheSeite = einnahme("15.03.2016", "10");
    falscheSeite[1] = "ausgabe";
    QStringList geldAlsGegen = einnahme("15.03.2016", "10");
    geldAlsGegen[geldAlsGegen.indexOf("2650")] = "1000";
    const Fall faelle[] = {
        {fremd, 1, "Das Konto 4711 gibt es im Kontenplan nicht."},
        {falscheSeite, 1, "passt als Gegenkonto nicht zur Buchungsart „Ausgabe“"},
        {geldAlsGegen, 1, "passt als Gegenkonto nicht"},
        {einnahme("15.03.2015", "10"), 1, "liegt nicht im Steuerjahr 2016"},
        {einnahme("31.02.2016", "10"), 2, "Ungültiges Datum „31.02.2016“"},
        {einnahme("15.03.2016", "1,2,3"), 2, "Ungültiger Betrag"},
        {einnahme("15.03.2016", "0"), 2, "Der Betrag darf nicht 0 sein."},
        {einnahme("15.03.2016", "-5"), 2, "Rückzahlungen"},
        {einnahme("15.03.2016", "10") << "--ustid"
                                      << "ATU1",
         2, "--ustid und --zm gehören zusammen."},
        {einnahme("15.03.2016", "10") << "--key"
                                      << "77",
         1, "Den Steuerschlüssel 77 gibt es nicht."},
        {{"--kind", "einnahme"}, 2, "fehlt"},
    };
    for (const Fall& f : faelle) {
        const Lauf l = buche(fall, f.args);
        EXPECT_EQ(l.rc, f.rc) << f.args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(QString::fromUtf8(f.meldung))) << l.err.toStdString();
        EXPECT_TRUE(l.out.isEmpty());
        EXPECT_EQ(hashOf(fall), vorher) << "a refused command leaves the case file byte for byte";
    }
    EXPECT_EQ(buche(dir.filePath("fehlt.dalvo"), einnahme("15.03.2016", "10")).rc, 2);
    EXPECT_EQ(liste(fall).size(), 1);
}

TEST(CliBuchen, LockedPeriodAsksAndCancelsInsteadOfDeleting) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_EQ(buche(fall, einnahme("10.01.2016", "100")).rc, 0);
    ASSERT_EQ(buche(fall, einnahme("10.02.2016", "200")).rc, 0);
    ASSERT_EQ(buche(fall, einnahme("10.07.2016", "300")).rc, 0);
    ASSERT_EQ(dalvo({"lock", fall, "30.06.2016"}).rc, 0);
    const QJsonObject info = QJsonDocument::fromJson(dalvo({"info", fall, "--json"}).out.toUtf8()).object();
    EXPECT_EQ(info.value("festgeschrieben_bis").toString(), "30.06.2016");
    const QByteArray gesperrt = hashOf(fall);
    const Lauf zurueck = dalvo({"lock", fall, "31.05.2016"});
    EXPECT_EQ(zurueck.rc, 1);
    EXPECT_TRUE(zurueck.err.contains("bereits bis zum 30.06.2016 festgeschrieben")) << zurueck.err.toStdString();
    EXPECT_EQ(dalvo({"lock", fall, "30.06.2016"}).rc, 0) << "the same date again is no change";
    EXPECT_EQ(hashOf(fall), gesperrt);

    // A booking into the locked period only with --yes, and it is locked at once.
    const Lauf ohne = buche(fall, einnahme("01.06.2016", "5"));
    EXPECT_EQ(ohne.rc, 1);
    EXPECT_TRUE(ohne.err.contains("Möchten Sie buchen?"));
    EXPECT_EQ(hashOf(fall), gesperrt);
    EXPECT_EQ(buche(fall, einnahme("01.06.2016", "5") << "--yes").out, "4\n");

    // Deleting: the open booking goes, the locked one is only cancelled after the question.
    const QByteArray vorher = hashOf(fall);
    EXPECT_EQ(dalvo({"delete", fall, "1", "3", "--no"}).rc, 1);
    EXPECT_EQ(hashOf(fall), vorher) << "nothing at all happens when the question is declined";
    const Lauf weg = dalvo({"delete", fall, "1", "3", "--yes"});
    ASSERT_EQ(weg.rc, 0) << weg.err.toStdString();
    EXPECT_EQ(weg.out, "5\n") << "the cancellation of booking 1";
    QMap<int, QJsonObject> b;
    for (const QJsonValue& v : liste(fall)) b.insert(v.toObject().value("buchungsnummer").toInt(), v.toObject());
    EXPECT_FALSE(b.contains(3));
    EXPECT_TRUE(b.value(1).value("storniert").toBool());
    EXPECT_TRUE(b.value(5).value("storno").toBool());
    EXPECT_DOUBLE_EQ(b.value(5).value("betrag").toDouble(), -100.0);
    EXPECT_EQ(b.value(5).value("belegdatum").toString(), "10.01.2016");

    const QByteArray danach = hashOf(fall);
    EXPECT_EQ(dalvo({"cancel", fall, "1"}).rc, 1) << "already cancelled";
    EXPECT_EQ(dalvo({"cancel", fall, "2", "99"}).rc, 1) << "all or nothing";
    EXPECT_EQ(hashOf(fall), danach);
    // Cancelling a locked booking puts a new booking into the locked period:
    // only after the question.
    for (const char* antwort : {"", "--no"}) {
        QStringList a = {"cancel", fall, "2"};
        if (*antwort) a << QLatin1String(antwort);
        const Lauf c = dalvo(a);
        EXPECT_EQ(c.rc, 1) << antwort;
        EXPECT_TRUE(c.err.contains("Möchten Sie buchen?")) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains("es wurde nichts storniert")) << c.err.toStdString();
        EXPECT_TRUE(c.out.isEmpty());
        EXPECT_EQ(hashOf(fall), danach);
    }
    EXPECT_EQ(dalvo({"cancel", fall, "2", "--yes"}).out, "6\n");
    const Lauf v = dalvo({"verify", fall});
    EXPECT_EQ(v.rc, 0) << v.out.toStdString();
}

// A writing command killed at any moment leaves either the old or the new
// case file, never a damaged one. The kills are counted: a kill while the
// rollback journal exists landed inside the write, and there must be such.
TEST(CliBuchen, KilledSaveNeverDamagesTheCaseFile) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    // An import of some size, so that its write takes a measurable while.
    const QString datei = dir.filePath("viele.csv");
    ASSERT_TRUE(schreibeZinsenCsv(datei, 3000));
    const QString journal = fall + "-journal";

    int stand = 0, imSchreiben = 0, vorher = 0, nachher = 0;
    QStringList getoetet;
    for (int runde = 0; runde < 40 && (imSchreiben < 3 || runde < 12); ++runde) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QTemporaryDir home;
        env.insert("DALVO_HOME", home.path());
        p.setProcessEnvironment(env);
        // The same file again and again: --yes answers the question for a
        // file imported before.
        p.start(qEnvironmentVariable("DALVO_BIN"), QStringList{"import", fall, datei, "--yes"});
        ASSERT_TRUE(p.waitForStarted());
        // Wait until the write has begun (the journal appears), then a little
        // longer in some rounds, so that kills land early, late and during
        // the commit; in some rounds the kill comes before any write.
        QElapsedTimer uhr;
        uhr.start();
        if (runde % 4 != 0)
            while (!QFileInfo::exists(journal) && p.state() == QProcess::Running && uhr.elapsed() < 10000) QThread::usleep(200);
        QThread::usleep(unsigned(runde % 7) * 15000);
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        getoetet << QStringLiteral("dalvo16-%1-*").arg(p.processId());
        if (QFileInfo::exists(journal) && QFileInfo(journal).size() > 0) ++imSchreiben;
        const Lauf info = dalvo({"info", fall, "--json"});
        ASSERT_EQ(info.rc, 0) << "killed in round " << runde << ": " << info.err.toStdString();
        const int n = QJsonDocument::fromJson(info.out.toUtf8()).object().value("buchungen").toInt();
        if (n == stand)
            ++vorher;
        else {
            ASSERT_EQ(n, stand + 3000) << "all of the import or nothing";
            stand = n;
            ++nachher;
        }
    }
    EXPECT_GE(imSchreiben, 3) << "kills must land inside the write";
    EXPECT_GT(vorher, 0);
    EXPECT_EQ(dalvo({"verify", fall}).rc, 0);
    std::printf("kills: %d im Schreiben, %d vorher, %d nachher\n", imSchreiben, vorher, nachher);
    // What the killed commands left in the temporary directory is gone after
    // the next command.
    EXPECT_EQ(QDir(QDir::tempPath()).entryList(getoetet, QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"fall.dalvo", "viele.csv"}));
}

// Generated ledgers pass the self-check on every framework, and the
// export/import round trip changes no figure: every line to the cent, the
// advance return and the profit statement.
TEST(CliBuchen, GeneratedLedgersVerifyAndRoundTrip) {
    QTemporaryDir dir;
    for (const char* rahmen : {"SKR03", "SKR04", "SKR80", "SKR81"}) {
        const QString fall = dir.filePath(QLatin1String(rahmen) + ".dalvo");
        ASSERT_EQ(dalvo({"new", fall, "--year", "2016", "--chart", QLatin1String(rahmen)}).rc, 0);
        const Lauf g = dalvo({"generate", fall, "--bookings", "200", "--seed", "3"});
        ASSERT_EQ(g.rc, 0) << rahmen << g.err.toStdString();
        EXPECT_EQ(g.out, "200\n");
        const Lauf v = dalvo({"verify", fall});
        EXPECT_EQ(v.rc, 0) << rahmen << "\n" << v.out.left(2000).toStdString();
    }
    // The same seed gives the same ledger. 500 bookings of seed 3 hold
    // entertainment receipts whose divided parts, split again each on its
    // own, would come back a cent apart.
    const QString a = dir.filePath("a.dalvo"), b = dir.filePath("b.dalvo");
    for (const QString& f : {a, b}) {
        ASSERT_EQ(dalvo({"new", f, "--year", "2016"}).rc, 0);
        ASSERT_EQ(dalvo({"generate", f, "--bookings", "500", "--seed", "3"}).rc, 0);
    }
    const QJsonArray gen = liste(a);
    EXPECT_EQ(liste(b), gen);
    int splitt = 0, eu = 0, bewirtung = 0;
    for (const QJsonValue& x : gen) {
        int zweite = 0;
        for (const QJsonValue& z : x.toObject().value("zeilen").toArray()) {
            zweite += z.toObject().value("dialogzeile").toInt() == 2;
            eu += z.toObject().value("steuerschluessel").toInt() == 25;
            bewirtung += z.toObject().value("konto").toInt() == 4654;
        }
        splitt += zweite > 1;
    }
    EXPECT_GT(splitt, 0) << "split bookings are generated";
    EXPECT_GT(eu, 0) << "intra-Community supplies are generated";
    EXPECT_GT(bewirtung, 0) << "entertainment is generated";

    const QString csv = dir.filePath("gen.csv");
    ASSERT_EQ(dalvo({"export-csv", a, csv}).rc, 0);
    const QString c = dir.filePath("c.dalvo");
    ASSERT_EQ(dalvo({"new", c, "--year", "2016", "--no-examples"}).rc, 0);
    // Generated dates are random: the till may dip below zero on some day,
    // which the import asks about.
    const Lauf imp = dalvo({"import", c, csv, "--yes"});
    ASSERT_EQ(imp.rc, 0) << imp.err.toStdString();
    EXPECT_EQ(imp.out, "500\n");
    // Every booking with its lines as it was. Only a split booking's own
    // text does not travel: the file has one record per part with the
    // part's text, and the import names the booking after its first part.
    auto ohneSplittText = [](QJsonArray l) {
        for (int i = 0; i < l.size(); ++i) {
            QJsonObject o = l[i].toObject();
            int zweite = 0;
            for (const QJsonValue& z : o.value("zeilen").toArray()) zweite += z.toObject().value("dialogzeile").toInt() == 2;
            if (zweite > 1) o.remove("buchungstext");
            l[i] = o;
        }
        return l;
    };
    EXPECT_EQ(ohneSplittText(liste(c)), ohneSplittText(gen));
    for (const QStringList& bericht : {QStringList{"ustva", "--year"}, QStringList{"euer"}}) {
        const Lauf vorher = dalvo(QStringList{bericht.first(), a} + bericht.mid(1));
        ASSERT_EQ(vorher.rc, 0) << vorher.err.toStdString();
        EXPECT_EQ(dalvo(QStringList{bericht.first(), c} + bericht.mid(1)).out, vorher.out) << bericht.first().toStdString();
    }
    // Exported again, the file is the same to the byte.
    const QString wieder = dir.filePath("wieder.csv");
    ASSERT_EQ(dalvo({"export-csv", c, wieder}).rc, 0);
    EXPECT_EQ(hashOf(wieder), hashOf(csv));
    EXPECT_EQ(dalvo({"verify", c}).rc, 0);
    EXPECT_EQ(dalvo({"import", c, dir.filePath("fehlt.csv")}).rc, 2);
}

// The figures commands on a small ledger: JSON keys and values as scripts read them.
TEST(CliBuchen, TaxFiguresAsJsonAndCsv) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    auto b = [&](const QStringList& x) {
        const Lauf l = buche(fall, x);
        ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    };
    const QString d = "15.11.2016";
    b({"--kind", "einnahme", "--date", d, "--amount", "1190", "--account", "1200", "--counter", "8400"});
    b({"--kind", "ausgabe", "--date", d, "--amount", "100", "--net", "--account", "1200", "--counter", "4930"});
    b({"--kind", "einnahme", "--date", d, "--amount", "2000", "--account", "1200", "--counter", "8125", "--ustid", "FR12345678901", "--zm",
       "3"});

    const QString ustvaText = dalvo({"ustva", fall, "--quarter", "4", "--json"}).out;
    const QJsonObject u = QJsonDocument::fromJson(ustvaText.toUtf8()).object();
    EXPECT_EQ(u.value("zeitraum").toString(), "4. Quartal 2016");
    const QJsonObject k = u.value("kennziffern").toObject();
    EXPECT_DOUBLE_EQ(k.value("81").toDouble(), 1000.0);
    EXPECT_DOUBLE_EQ(k.value("66").toDouble(), 19.0);
    EXPECT_DOUBLE_EQ(k.value("41").toDouble(), 2000.0);
    EXPECT_DOUBLE_EQ(u.value("steuer").toObject().value("81").toDouble(), 190.0);
    const QJsonObject s = u.value("summen").toObject();
    EXPECT_DOUBLE_EQ(s.value("umsatzsteuer").toDouble(), 190.0);
    EXPECT_DOUBLE_EQ(s.value("vorsteuer").toDouble(), 19.0);
    EXPECT_DOUBLE_EQ(s.value("vorauszahlung").toDouble(), 171.0);
    const QJsonObject q1 = QJsonDocument::fromJson(dalvo({"ustva", fall, "--quarter", "1", "--json"}).out.toUtf8()).object();
    EXPECT_DOUBLE_EQ(q1.value("summen").toObject().value("vorauszahlung").toDouble(), 0.0);
    EXPECT_EQ(dalvo({"ustva", fall, "--month", "13"}).rc, 2);

    const QString euerText = dalvo({"euer", fall, "--json"}).out;
    const QJsonObject e = QJsonDocument::fromJson(euerText.toUtf8()).object();
    EXPECT_DOUBLE_EQ(e.value("einnahmen").toDouble(), 3190.0);
    EXPECT_DOUBLE_EQ(e.value("ausgaben").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(e.value("gewinn").toDouble(), 3071.0);
    for (const char* key : {"steuerjahr", "iab", "iab_aufloesung", "kategorien"}) EXPECT_TRUE(e.contains(QLatin1String(key))) << key;

    // Money is written as money: two decimals, also where they are zero.
    EXPECT_TRUE(ustvaText.contains("\"81\": 1000.00")) << ustvaText.toStdString();
    EXPECT_TRUE(ustvaText.contains("\"vorauszahlung\": 171.00")) << ustvaText.toStdString();
    EXPECT_TRUE(euerText.contains("\"gewinn\": 3071.00")) << euerText.toStdString();
    EXPECT_TRUE(euerText.contains("\"iab\": 0.00")) << euerText.toStdString();
    EXPECT_FALSE(euerText.contains("\\u0001")) << "no marker left in the text";

    EXPECT_EQ(dalvo({"zm", fall, "--period", "3", "--csv"}).out,
              "Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nFR,12345678901,2000,L");
    EXPECT_EQ(dalvo({"zm", fall, "--period", "3"}).rc, 2);
    const QString csv = dalvo({"saldenliste", fall, "--csv"}).out;
    EXPECT_TRUE(csv.startsWith("1200;\"Bank\";0,00;0,00;3.190,00;119,00;0,00;3.071,00\n")) << csv.toStdString();
}

// `list --json` is written booking by booking as the ledger is read: the text
// is exactly what one QJsonDocument of the whole list gives, in the order of
// voucher date and number, for any period. The CSV export is complete or
// not there at all.
TEST(CliBuchen, ListAndExportAreWrittenAsTheyAreRead) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const Lauf leer = dalvo({"list", fall, "--json"});
    EXPECT_EQ(leer.rc, 0);
    EXPECT_EQ(leer.out, "[\n]\n");
    ASSERT_EQ(dalvo({"generate", fall, "--bookings", "400", "--seed", "5"}).rc, 0);
    ASSERT_EQ(buche(fall, einnahme("01.04.2016", "12,50", "\"Zitat\" \\ Rück\nzahlung\t€") + QStringList{"--voucher", "RE-2016-000017"}).rc,
              0);
    ASSERT_EQ(dalvo({"cancel", fall, "3"}).rc, 0);
    // Lines are listed in the order of their IDs, whatever their SteuerID:
    // booking 1 gets its IDs reversed.
    {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(fall).constData(), &h), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(h,
                               "UPDATE eurVerbuchtBuchungszeilen SET ID=ID+1000000 WHERE Buchungsnummer=1;"
                               "UPDATE eurVerbuchtBuchungszeilen SET ID=3000000-ID WHERE Buchungsnummer=1",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(h);
    }

    const QList<QStringList> zeitraeume = {{}, {"--quarter", "2"}, {"--month", "12"}};
    for (const QStringList& zeitraum : zeitraeume) {
        const Lauf l = dalvo(QStringList{"list", fall, "--json"} + zeitraum);
        ASSERT_EQ(l.rc, 0) << l.err.toStdString();
        QJsonParseError fehler;
        const QJsonDocument doc = QJsonDocument::fromJson(l.out.toUtf8(), &fehler);
        ASSERT_EQ(fehler.error, QJsonParseError::NoError) << fehler.errorString().toStdString();
        // Qt's own serialisation, but every amount with two decimals.
        QString erwartet = QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
        static const QRegularExpression betrag("(\"betrag\": )(-?[0-9.]+)");
        QString mitCent;
        int bis = 0;
        for (auto it = betrag.globalMatch(erwartet); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            mitCent += erwartet.mid(bis, m.capturedStart(2) - bis) + QString::number(m.captured(2).toDouble(), 'f', 2);
            bis = m.capturedEnd(2);
        }
        mitCent += erwartet.mid(bis);
        EXPECT_EQ(l.out, mitCent) << zeitraum.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(l.out.contains(QRegularExpression("\"betrag\": -?[0-9]+(\\.[0-9])?[,\n]"))) << "amounts always carry two decimals";
        QDate vorher;
        qint64 nummerVorher = 0;
        for (const QJsonValue& v : doc.array()) {
            const QDate d = QDate::fromString(v.toObject().value("belegdatum").toString(), "dd.MM.yyyy");
            const qint64 nr = v.toObject().value("buchungsnummer").toVariant().toLongLong();
            ASSERT_TRUE(d.isValid());
            EXPECT_TRUE(vorher < d || (vorher == d && nummerVorher < nr)) << nr;
            if (zeitraum.contains("--quarter")) {
                EXPECT_TRUE(d.month() >= 4 && d.month() <= 6) << nr;
            }
            if (zeitraum.contains("--month")) {
                EXPECT_EQ(d.month(), 12) << nr;
            }
            const QJsonArray zeilen = v.toObject().value("zeilen").toArray();
            EXPECT_FALSE(zeilen.isEmpty()) << nr;
            if (nr == 1) {
                ASSERT_GE(zeilen.size(), 2);
                EXPECT_GT(zeilen.first().toObject().value("steuerid").toInt(), zeilen.last().toObject().value("steuerid").toInt());
            }
            vorher = d;
            nummerVorher = nr;
        }
        if (zeitraum.isEmpty()) {
            EXPECT_EQ(doc.array().size(), 402) << "400 generated, one booked, one cancellation";
            EXPECT_GT(l.out.size(), 4 * 65536) << "long enough to be written in several blocks";
            EXPECT_TRUE(l.out.contains("\"buchungstext\": \"\\\"Zitat\\\" \\\\ Rück\\nzahlung\\t€\""));
        }
    }
    const Lauf text = dalvo({"list", fall});
    EXPECT_EQ(text.out.count(QLatin1Char('\n')), 1 + 402 + 1) << "header, one line per booking, and the booking text's own line break";
    EXPECT_TRUE(text.out.contains(" RE-2016-000017 ")) << "the voucher number whole";

    const Lauf ohneVerzeichnis = dalvo({"export-csv", fall, dir.filePath("fehlt/x.csv")});
    EXPECT_EQ(ohneVerzeichnis.rc, 1);
    EXPECT_TRUE(ohneVerzeichnis.err.contains(QStringLiteral("Das Verzeichnis „%1“ existiert nicht.").arg(dir.filePath("fehlt"))))
        << ohneVerzeichnis.err.toStdString();
    const QString csv = dir.filePath("b.csv");
    const Lauf e = dalvo({"export-csv", fall, csv});
    ASSERT_EQ(e.rc, 0) << e.err.toStdString();
    EXPECT_EQ(e.err, QStringLiteral("Es wurden 400 Buchungen in der Datei %1 gespeichert.\n").arg(csv)) << "live bookings only";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"b.csv", "fall.dalvo"}));
}

}  // namespace

namespace {

// Debit and credit can be named as such for every kind; the result is the
// booking the dialog's form gives. A free booking's --account is its debit.
TEST(CliBuchen, SollUndHabenNamedPlainly) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    auto zeilen = [&](int nr) {
        QStringList z;
        for (const QJsonValue& b : liste(fall))
            if (b.toObject().value("buchungsnummer").toInt() == nr)
                for (const QJsonValue& zeile : b.toObject().value("zeilen").toArray())
                    z << QStringLiteral("%1%2%3")
                             .arg(zeile.toObject().value("konto").toInt())
                             .arg(zeile.toObject().value("haben").toBool() ? QStringLiteral("H") : QStringLiteral("S"))
                             .arg(zeile.toObject().value("betrag").toDouble());
        z.sort();
        return z;
    };
    auto b = [&](const QString& art, const QStringList& konten) {
        QStringList a = {"book", fall, "--kind", art, "--date", "01.03.2016", "--amount", "119"};
        return dalvo(a + konten);
    };
    ASSERT_EQ(b("ausgabe", {"--account", "1200", "--counter", "4930"}).rc, 0);
    ASSERT_EQ(b("ausgabe", {"--soll", "4930", "--haben", "1200"}).rc, 0);
    EXPECT_EQ(zeilen(1), zeilen(2));
    EXPECT_EQ(zeilen(2), (QStringList{"1200H119", "1576S19", "4930S100"}));
    ASSERT_EQ(b("einnahme", {"--soll", "1200", "--haben", "2650"}).rc, 0);
    EXPECT_EQ(zeilen(3), (QStringList{"1200S119", "2650H119"}));
    ASSERT_EQ(b("frei", {"--account", "1800", "--counter", "1200"}).rc, 0);
    EXPECT_EQ(zeilen(4), (QStringList{"1200H119", "1800S119"})) << "--account is the debit";
    ASSERT_EQ(b("frei", {"--soll", "1800", "--haben", "1200"}).rc, 0);
    EXPECT_EQ(zeilen(5), zeilen(4));

    const QByteArray vorher = hashOf(fall);
    const Lauf gemischt = b("frei", {"--soll", "1800", "--counter", "1200"});
    EXPECT_EQ(gemischt.rc, 2);
    EXPECT_TRUE(gemischt.err.contains("nicht beides")) << gemischt.err.toStdString();
    const Lauf halb = b("frei", {"--soll", "1800"});
    EXPECT_EQ(halb.rc, 2);
    EXPECT_TRUE(halb.err.contains("--haben fehlt")) << halb.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_TRUE(
        dalvo({"book", "--help"}).out.contains("Bei --art frei\n                  steht --konto im Soll und --gegenkonto im Haben."));
}

}  // namespace

// A small business (§ 19 UStG) through every posting command: the chart's
// default keys do not apply, VAT keys are refused with the file unchanged,
// reverse charge stays possible, and the liability switches only as a whole.
TEST(CliBuchen, SmallBusinessInEveryPostingPath) {
    QTemporaryDir dir;
    const QString fall = dir.filePath("klein.dalvo");
    ASSERT_EQ(dalvo({"new", fall, "--year", "2016", "--no-vat", "--no-examples"}).rc, 0);
    auto ausgabe = [](const QString& konto, const QString& betrag) {
        return QStringList{"--kind", "ausgabe", "--date", "05.03.2016", "--amount", betrag, "--account", "1200", "--counter", konto};
    };
    // 4930 has the default key 7 in the chart: booked gross, one line each side.
    ASSERT_EQ(buche(fall, ausgabe("4930", "119,00")).rc, 0);
    const QJsonArray l = liste(fall);
    ASSERT_EQ(l.size(), 1);
    const QJsonArray zeilen = l[0].toObject().value("zeilen").toArray();
    ASSERT_EQ(zeilen.size(), 2);
    for (const QJsonValue& z : zeilen) {
        EXPECT_EQ(z.toObject().value("betrag").toDouble(), 119.0);
        EXPECT_EQ(z.toObject().value("steuerschluessel").toInt(), 0);
    }

    // --key with VAT: refused, file unchanged.
    QByteArray vorher = hashOf(fall);
    const Lauf mitSteuer = buche(fall, ausgabe("4930", "119,00") << "--key"
                                                                 << "7");
    EXPECT_EQ(mitSteuer.rc, 1);
    EXPECT_TRUE(mitSteuer.err.contains("Kleinunternehmer nach § 19 UStG")) << mitSteuer.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);

    // The import: a row with a VAT key is refused with its row number; one without is booked gross.
    const QString kopf = QStringLiteral(
        "Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;"
        "Gegenkontobezeichnung;Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;"
        "Belegnummer;Buchungsdatum;UStID;Umsatzart\n");
    auto schreibe = [&](const QString& name, const QString& zeilen) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((kopf + zeilen).toUtf8());
        return f.fileName();
    };
    const QString schlecht = schreibe("mit.csv", QStringLiteral("1;1;06.03.2016;Papier;4930;Bürobedarf;1200;Bank;59,50;0;0;0;;;;;0\n"
                                                                "2;1;07.03.2016;Toner;4930;Bürobedarf;1200;Bank;119,00;0;7;19;;;;;0\n"));
    const Lauf imp = dalvo({"import", fall, schlecht});
    EXPECT_EQ(imp.rc, 1);
    EXPECT_TRUE(imp.err.contains("Zeile 3") && imp.err.contains("§ 19 UStG")) << imp.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    const Lauf gut = dalvo({"import", fall, schreibe("ohne.csv", "1;1;06.03.2016;Papier;4930;Bürobedarf;1200;Bank;59,50;0;0;0;;;;;0\n")});
    ASSERT_EQ(gut.rc, 0) << gut.err.toStdString();

    // Reverse charge: the EU service of 200 costs 238; the return has 46/47 and no input tax.
    ASSERT_EQ(buche(fall, ausgabe("3123", "200,00")).rc, 0);
    const Lauf va = dalvo({"ustva", fall, "--month", "3", "--json"});
    ASSERT_EQ(va.rc, 0) << va.err.toStdString();
    EXPECT_TRUE(va.out.contains("\"46\"")) << va.out.toStdString();
    EXPECT_FALSE(va.out.contains("\"67\"")) << va.out.toStdString();
    const QJsonObject eu = QJsonDocument::fromJson(dalvo({"euer", fall, "--json"}).out.toUtf8()).object();
    // Expenses 119 + 59.50 + 238 less the 38 owed (still unpaid): the money that left, 378.50... plus the debt.
    EXPECT_EQ(eu.value("gewinn").toDouble(), -(119.0 + 59.50 + 238.0 - 38.0));

    // Generated bookings of a small business carry no VAT either.
    ASSERT_EQ(dalvo({"generate", fall, "--bookings", "150", "--seed", "4"}).rc, 0);
    const Lauf v = dalvo({"verify", fall});
    EXPECT_EQ(v.rc, 0) << v.out.left(2000).toStdString() << v.err.left(2000).toStdString();

    // Made liable, the case gets its VAT accounts and books input tax.
    EXPECT_EQ(dalvo({"einstellungen", fall, "--ustpflicht", "ja"}).rc, 0);
    EXPECT_TRUE(dalvo({"einstellungen", fall}).out.startsWith("ustpflicht: ja\nzm-jahresmeldung: nein\n"));
    const Lauf vst = buche(fall, ausgabe("4930", "11,90"));
    ASSERT_EQ(vst.rc, 0) << vst.err.toStdString();
    // Back to a small business is refused while that booking deducts input tax.
    vorher = hashOf(fall);
    const Lauf zurueck = dalvo({"einstellungen", fall, "--ustpflicht", "nein"});
    EXPECT_EQ(zurueck.rc, 1);
    EXPECT_TRUE(zurueck.err.contains(QStringLiteral("Nr. ") + vst.out.trimmed())) << zurueck.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_EQ(dalvo({"einstellungen", fall, "--ustpflicht", "vielleicht"}).rc, 2);
    // Once it is cancelled, the switch goes through.
    ASSERT_EQ(dalvo({"cancel", fall, vst.out.trimmed()}).rc, 0);
    EXPECT_EQ(dalvo({"einstellungen", fall, "--ustpflicht", "nein"}).rc, 0);
    EXPECT_EQ(dalvo({"verify", fall}).rc, 0);
}
