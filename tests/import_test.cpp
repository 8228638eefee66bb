// The bookings CSV import as scripts use it: every row meets the rules of
// `dalvo book` with the same words, the locked period and a file imported
// before are asked about once, and files in the character sets German banks
// and spreadsheets write keep their umlauts and euro signs. Every refusal
// leaves the case file byte for byte and prints nothing on stdout.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QMap>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

const QString kKopf = QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;"
                                     "Gegenkontobezeichnung;Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;"
                                     "Belegnummer;Buchungsdatum;UStID;Umsatzart");

// One record of the export format: `konto` is the counter line, `gegen` the
// money account; the amount stands in Soll or Haben.
QString satz(int nr, const QString& datum, const QString& text, int konto, int gegen, const QString& soll, const QString& haben,
             int schluessel, int teil = 1) {
    return QStringLiteral("%1;%2;%3;%4;%5;;%6;;%7;%8;%9;;;B-%1;%3;;0")
        .arg(nr)
        .arg(teil)
        .arg(datum, text)
        .arg(konto)
        .arg(gegen)
        .arg(soll, haben)
        .arg(schluessel);
}

// Interest received and an office purchase: rows 2 and 3 of every file.
const QString kZinsen = satz(1, QStringLiteral("10.01.2016"), QStringLiteral("Zinsen"), 2650, 1200, QStringLiteral("0"),
                             QStringLiteral("100,00"), 0);
const QString kBuero = satz(2, QStringLiteral("12.01.2016"), QStringLiteral("Papier"), 4930, 1200, QStringLiteral("11,90"),
                            QStringLiteral("0"), 7);

QString schreibe(const QTemporaryDir& dir, const QString& name, const QByteArray& inhalt) {
    const QString pfad = dir.filePath(name);
    QFile f(pfad);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
    return pfad;
}

QByteArray csv(const QStringList& zeilen, const QString& kopf = kKopf) { return (QStringList{kopf} + zeilen).join(QLatin1Char('\n')).toUtf8() + '\n'; }

Lauf importiere(const QString& fall, const QString& datei, const QStringList& mehr = {}) {
    return dalvo(QStringList{"import", fall, datei} + mehr);
}

QJsonArray liste(const QString& fall) {
    return QJsonDocument::fromJson(dalvo({"list", fall, "--json"}).out.toUtf8()).array();
}

QStringList texte(const QString& fall) {
    QStringList out;
    for (const QJsonValue& v : liste(fall)) out << v.toObject().value(QStringLiteral("buchungstext")).toString();
    return out;
}

// A refused import: exit 1, the expected words, nothing on stdout, the case file as it was.
void abgelehnt(const Lauf& l, const QString& fall, const QByteArray& vorher, const QString& meldung) {
    EXPECT_EQ(l.rc, 1) << l.err.toStdString();
    EXPECT_TRUE(l.err.contains(meldung)) << "expected: " << meldung.toStdString() << "\nstderr: " << l.err.toStdString();
    EXPECT_TRUE(l.err.contains(QStringLiteral("nichts gebucht"))) << l.err.toStdString();
    EXPECT_TRUE(l.out.isEmpty()) << l.out.toStdString();
    EXPECT_EQ(hashOf(fall), vorher) << "a refused import leaves the case file byte for byte";
}

// Each rule of `book` refuses an imported row in the same words, with the
// row's number, and nothing of the file is posted: the row before it is
// valid and stays out of the ledger too.
TEST(Import, EveryRowMeetsTheRulesOfBook) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_TRUE(sqlAusfuehren(fall, "UPDATE eurKontenplan SET Aktiv=0 WHERE Nummer=4940"));
    const QString mitArt = kKopf + QStringLiteral(";Buchungsart");
    const QString datum = QStringLiteral("15.03.2016");

    struct Regel {
        const char* name;
        QString zeile;         // row 3 of the file, after a valid row 2
        QString kopf;          // the header line
        QStringList buchen;    // the same booking for `dalvo book`; empty when book has no such input
        QString meldung;       // what both say
    };
    auto book = [&](const char* art, const char* konto, const char* gegen, const QStringList& mehr = {}) {
        return QStringList{"--kind", QLatin1String(art), "--date", datum, "--amount", "10", "--account", QLatin1String(konto), "--counter",
            QLatin1String(gegen)} + mehr;
    };
    const Regel regeln[] = {
        {"inactive account", satz(2, datum, QStringLiteral("Bücher"), 4940, 1200, QStringLiteral("10"), QStringLiteral("0"), 8), kKopf,
         book("ausgabe", "1200", "4940"), "Das Konto 4940 ist nicht aktiv."},
        {"unknown account", satz(2, datum, QStringLiteral("x"), 4711, 1200, QStringLiteral("10"), QStringLiteral("0"), 0), kKopf,
         book("ausgabe", "1200", "4711"), "Das Konto 4711 gibt es im Kontenplan nicht."},
        {"counter account of the wrong kind",
         satz(2, datum, QStringLiteral("x"), 4930, 1200, QStringLiteral("0"), QStringLiteral("10"), 7) + QStringLiteral(";1"), mitArt,
         book("einnahme", "1200", "4930"),
         "Das Konto 4930 (Kategorie 5570) passt als Gegenkonto nicht zur Buchungsart „Einnahme“."},
        {"money account of the wrong kind",
         satz(2, datum, QStringLiteral("x"), 4930, 8400, QStringLiteral("10"), QStringLiteral("0"), 7) + QStringLiteral(";2"), mitArt,
         book("ausgabe", "8400", "4930"),
         "Das Konto 8400 (Kategorie 4000) passt als Konto nicht zur Buchungsart „Ausgabe“."},
        {"amount on the wrong side for the kind",
         satz(2, datum, QStringLiteral("x"), 8400, 1200, QStringLiteral("119,00"), QStringLiteral("0"), 5) + QStringLiteral(";1"), mitArt,
         {}, "Bei der Buchungsart „Einnahme“ steht der Betrag des Gegenkontos im Haben, hier steht er im Soll."},
        {"key other than the fixed one", satz(2, datum, QStringLiteral("x"), 8400, 1200, QStringLiteral("0"), QStringLiteral("10"), 2),
         kKopf, book("einnahme", "1200", "8400", {"--key", "2"}),
         "Auf dem Konto 8400 ist der Steuerschlüssel 5 fest eingestellt."},
        {"output tax on an expense", satz(2, datum, QStringLiteral("x"), 4930, 1200, QStringLiteral("10"), QStringLiteral("0"), 5), kKopf,
         book("ausgabe", "1200", "4930", {"--key", "5"}),
         "Sie dürfen einem Ausgabekonto keinen Umsatzsteuerschlüssel zuordnen."},
        {"unknown key", satz(2, datum, QStringLiteral("x"), 4930, 1200, QStringLiteral("10"), QStringLiteral("0"), 77), kKopf,
         book("ausgabe", "1200", "4930", {"--key", "77"}),
         "Den Steuerschlüssel 77 gibt es nicht."},
        {"date outside the tax year",
         satz(2, QStringLiteral("31.12.2015"), QStringLiteral("x"), 2650, 1200, QStringLiteral("0"), QStringLiteral("10"), 0), kKopf,
         {"--kind", "einnahme", "--date", "31.12.2015",
          "--amount", "10", "--account", "1200",
          "--counter", "2650"},
         "Das Belegdatum 31.12.2015 liegt nicht im Steuerjahr 2016."},
        {"three decimals", satz(2, datum, QStringLiteral("x"), 2650, 1200, QStringLiteral("0"), QStringLiteral("10,125"), 0), kKopf, {},
         "Ungültiger Betrag im Haben „10,125“."},
        {"more than the highest amount",
         satz(2, datum, QStringLiteral("x"), 2650, 1200, QStringLiteral("0"), QStringLiteral("1.000.000.000,00"), 0), kKopf, {},
         "Ungültiger Betrag im Haben „1.000.000.000,00“."},
        {"split parts adding up to more than the highest amount",
         satz(1, QStringLiteral("10.01.2016"), QStringLiteral("x"), 2650, 1200, QStringLiteral("0"), QStringLiteral("999.999.999,99"), 0,
              2),
         kKopf, {}, "Die Teile der Buchung 1 ergeben zusammen mehr als 999.999.999,99."},
        {"more fields than the header", kBuero + QStringLiteral(";Notiz"), kKopf, {},
         "Die Zeile hat 18 Felder, die Kopfzeile 17."},
        {"fewer fields than the header", kBuero, mitArt, {}, "Die Zeile hat 17 Felder, die Kopfzeile 18."},
    };
    for (const Regel& r : regeln) {
        SCOPED_TRACE(r.name);
        const QByteArray vorher = hashOf(fall);
        QString erste = kZinsen;
        if (r.kopf == mitArt) erste += QStringLiteral(";");
        const QString datei = schreibe(dir, QStringLiteral("regel.csv"), csv({erste, r.zeile}, r.kopf));
        abgelehnt(importiere(fall, datei), fall, vorher, QStringLiteral("Zeile 3: ") + r.meldung);
        if (!r.buchen.isEmpty()) {
            const Lauf b = dalvo(QStringList{"book", fall} + r.buchen);
            EXPECT_EQ(b.rc, 1) << b.err.toStdString();
            EXPECT_TRUE(b.err.contains(r.meldung)) << "book says: " << b.err.toStdString();
            EXPECT_EQ(hashOf(fall), vorher);
        }
    }
    EXPECT_TRUE(liste(fall).isEmpty());

    // Without the column the kind follows from the accounts, and it is
    // always one the accounts fit: income on the private account is no
    // income booking but a free one, which the self-check accepts.
    const QString gut = schreibe(dir, QStringLiteral("gut.csv"),
                                 csv({kZinsen, kBuero,
                                      satz(3, QStringLiteral("20.01.2016"), QStringLiteral("privat vereinnahmt"), 8400, 1800,
                                           QStringLiteral("0"), QStringLiteral("119,00"), 5)}));
    const Lauf ok = importiere(fall, gut);
    ASSERT_EQ(ok.rc, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out, QStringLiteral("3\n"));
    QList<int> arten;
    for (const QJsonValue& v : liste(fall)) arten << v.toObject().value(QStringLiteral("buchungsart")).toInt();
    EXPECT_EQ(arten, (QList<int>{1, 2, 3}));
    const Lauf v = dalvo({"verify", fall});
    EXPECT_EQ(v.rc, 0) << v.out.toStdString();
}

// Bookings on or before the lock date make the import ask once for the
// whole file; without a Yes nothing is posted.
TEST(Import, TheLockedPeriodIsAskedAboutOnce) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_EQ(dalvo({"lock", fall, "30.06.2016"}).rc, 0);
    const QByteArray gesperrt = hashOf(fall);
    const QString datei = schreibe(dir, QStringLiteral("h1.csv"),
                                   csv({kZinsen, kBuero,
                                        satz(3, QStringLiteral("01.08.2016"), QStringLiteral("Zinsen August"), 2650, 1200,
                                             QStringLiteral("0"), QStringLiteral("5,00"), 0)}));
    const QString frage = QStringLiteral("Möchten Sie die Übernahme durchführen?");
    for (const QStringList& antwort : {QStringList{}, QStringList{"--no"}}) {
        const Lauf l = importiere(fall, datei, antwort);
        abgelehnt(l, fall, gesperrt, QStringLiteral("festgeschriebenen Zeitraum (bis zum 30.06.2016)"));
        EXPECT_EQ(l.err.count(frage), 1) << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(QStringLiteral("--ja"))) << "the refusal says how to go on";
    }
    const Lauf ja = importiere(fall, datei, {"--yes"});
    ASSERT_EQ(ja.rc, 0) << ja.err.toStdString();
    EXPECT_EQ(ja.out, QStringLiteral("3\n"));
    EXPECT_EQ(ja.err.count(frage), 1) << "two locked rows, one question";
    // The imported bookings of the locked period are locked: deleting one
    // is refused and offers the cancellation instead.
    const QByteArray danach = hashOf(fall);
    const Lauf weg = dalvo({"delete", fall, "1", "--no"});
    EXPECT_EQ(weg.rc, 1);
    EXPECT_EQ(hashOf(fall), danach);

    // A file entirely after the lock date asks nothing.
    const QString spaet = schreibe(dir, QStringLiteral("spaet.csv"),
                                   csv({satz(1, QStringLiteral("01.09.2016"), QStringLiteral("Zinsen September"), 2650, 1200,
                                             QStringLiteral("0"), QStringLiteral("5,00"), 0)}));
    const Lauf ohne = importiere(fall, spaet);
    EXPECT_EQ(ohne.rc, 0) << ohne.err.toStdString();
    EXPECT_FALSE(ohne.err.contains(frage));
}

// Windows-1252 and ISO-8859-1 as banks and spreadsheets write them, UTF-8
// with or without the byte-order mark: the texts arrive as written, and a
// file that cannot be read in the chosen set is refused with its row.
TEST(Import, CharacterSetsKeepUmlautsAndTheEuroSign) {
    QTemporaryDir dir;
    const QString text = QStringLiteral("Bürobedarf 5 € Müller");
    const QByteArray zeilen = csv({kZinsen, satz(2, QStringLiteral("12.01.2016"), text, 4930, 1200, QStringLiteral("11,90"),
                                                 QStringLiteral("0"), 7)});
    const QByteArray cp1252 = QString::fromUtf8(zeilen).toLatin1().replace("?", "\x80");
    ASSERT_TRUE(cp1252.contains("B\xFCrobedarf 5 \x80 M\xFCller")) << "the file really is Windows-1252";
    const QByteArray latin1 = QString::fromUtf8(zeilen).remove(QStringLiteral("€ ")).toLatin1();
    ASSERT_TRUE(latin1.contains("B\xFCrobedarf 5 M\xFCller"));

    struct Fall {
        const char* name;
        QByteArray bytes;
        QStringList optionen;
        QString erwartet;
    };
    const Fall gut[] = {
        {"Windows-1252 recognised", cp1252, {}, text},
        {"Windows-1252 named", cp1252, {"--encoding", "windows-1252"}, text},
        {"ISO-8859-1 named", latin1, {"--encoding", "ISO-8859-1"}, "Bürobedarf 5 Müller"},
        {"UTF-8 with byte-order mark", QByteArray("\xEF\xBB\xBF") + zeilen, {}, text},
        {"UTF-8 with byte-order mark named", QByteArray("\xEF\xBB\xBF") + zeilen, {"--encoding", "utf-8"},
         text},
        {"UTF-8 without mark", zeilen, {}, text},
    };
    int n = 0;
    for (const Fall& f : gut) {
        SCOPED_TRACE(f.name);
        const QString fall = neuerFall(dir, QStringLiteral("gut%1.dalvo").arg(++n));
        const Lauf l = importiere(fall, schreibe(dir, QStringLiteral("gut.csv"), f.bytes), f.optionen);
        EXPECT_EQ(l.rc, 0) << l.err.toStdString();
        EXPECT_EQ(texte(fall), (QStringList{"Zinsen", f.erwartet}));
    }

    const QString fall = neuerFall(dir);
    const QByteArray vorher = hashOf(fall);
    const QString alsText = QString::fromUtf8(zeilen);
    const QByteArray utf16 = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(alsText.utf16()), alsText.size() * 2);
    const Fall schlecht[] = {
        {"Windows-1252 named UTF-8", cp1252, {"--encoding", "utf-8"},
         "Zeile 3: Die Datei ist kein gültiges UTF-8"},
        {"the euro sign of Windows-1252 named ISO-8859-1", cp1252, {"--encoding", "iso-8859-1"},
         "Zeile 3: Das Byte 0x80 ist in ISO-8859-1 ein Steuerzeichen"},
        {"a byte Windows-1252 leaves undefined", QByteArray(cp1252).replace('\x80', '\x81'), {},
         "Zeile 3: Die Datei ist kein gültiges UTF-8, und als Windows-1252 gelesen ist das Byte 0x81 kein Zeichen."},
        {"a mark in front of Windows-1252", QByteArray("\xEF\xBB\xBF") + cp1252, {},
         "obwohl sie mit der UTF-8-Kennung beginnt"},
        {"a UTF-8 sequence cut off at the end", zeilen + "\xC3", {"--encoding", "utf-8"},
         "Zeile 4: Die Datei ist kein gültiges UTF-8"},
        {"UTF-16", utf16, {}, "Die Datei ist in UTF-16 geschrieben."},
        {"UTF-16 without its mark", utf16.mid(2), {}, "Zeile 1: Die Datei enthält Nullbytes"},
    };
    for (const Fall& f : schlecht) {
        SCOPED_TRACE(f.name);
        const Lauf l = importiere(fall, schreibe(dir, QStringLiteral("schlecht.csv"), f.bytes), f.optionen);
        abgelehnt(l, fall, vorher, f.erwartet);
        EXPECT_FALSE(l.err.contains(QChar(QChar::ReplacementCharacter)));
    }
    const Lauf unbekannt = importiere(fall, schreibe(dir, QStringLiteral("x.csv"), zeilen), {"--encoding", "cp850"});
    EXPECT_EQ(unbekannt.rc, 2);
    EXPECT_TRUE(unbekannt.err.contains(QStringLiteral("Unbekannter Zeichensatz „cp850“ (erlaubt: utf-8, windows-1252, iso-8859-1)")))
        << unbekannt.err.toStdString();
    EXPECT_EQ(importiere(fall, dir.filePath(QStringLiteral("x.csv")), {"--encoding"}).rc, 2);
    EXPECT_EQ(hashOf(fall), vorher);
    const Lauf hilfe = dalvo({"import", "--help"});
    EXPECT_TRUE(hilfe.out.contains(QStringLiteral("--zeichensatz utf-8|windows-1252|iso-8859-1"))) << hilfe.out.toStdString();
    EXPECT_TRUE(hilfe.out.contains(QStringLiteral("--encoding für --zeichensatz"))) << "the name scripts use is named";
}

// The same bytes a second time are asked about; --yes posts them again, and
// a file that differs in one byte is a new file.
TEST(Import, TheSameFileAgainIsAskedAbout) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QString datei = schreibe(dir, QStringLiteral("auszug.csv"), csv({kZinsen, kBuero}));
    const Lauf erst = importiere(fall, datei);
    ASSERT_EQ(erst.rc, 0) << erst.err.toStdString();
    EXPECT_EQ(erst.out, QStringLiteral("2\n"));
    EXPECT_FALSE(erst.err.contains(QStringLiteral("bereits")));

    const QByteArray einmal = hashOf(fall);
    for (const QStringList& antwort : {QStringList{}, QStringList{"--no"}}) {
        const Lauf l = importiere(fall, datei, antwort);
        abgelehnt(l, fall, einmal, QStringLiteral("Diese Datei wurde bereits am "));
        EXPECT_TRUE(l.err.contains(QStringLiteral("importiert (2 Buchungen). Noch einmal importieren?"))) << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(QStringLiteral("Mit --ja")));
    }
    EXPECT_EQ(liste(fall).size(), 2);

    const Lauf nochmal = importiere(fall, datei, {"--yes"});
    ASSERT_EQ(nochmal.rc, 0) << nochmal.err.toStdString();
    EXPECT_EQ(nochmal.out, QStringLiteral("2\n"));
    EXPECT_EQ(liste(fall).size(), 4);

    // One more booking in the file: other bytes, no question.
    const QString mehr = schreibe(dir, QStringLiteral("auszug2.csv"),
                                  csv({kZinsen, kBuero,
                                       satz(3, QStringLiteral("13.01.2016"), QStringLiteral("Porto"), 4910, 1200, QStringLiteral("0,70"),
                                            QStringLiteral("0"), 0)}));
    const Lauf neu = importiere(fall, mehr);
    ASSERT_EQ(neu.rc, 0) << neu.err.toStdString();
    EXPECT_EQ(neu.out, QStringLiteral("3\n"));
    // A refused import is not remembered: the first file once more asks,
    // the refused bad file asks nothing.
    const QString kaputt = schreibe(dir, QStringLiteral("kaputt.csv"), csv({kZinsen, kBuero + QStringLiteral(";x")}));
    EXPECT_EQ(importiere(fall, kaputt).rc, 1);
    const Lauf wieder = importiere(fall, kaputt);
    EXPECT_FALSE(wieder.err.contains(QStringLiteral("bereits"))) << wieder.err.toStdString();
}

}  // namespace

namespace {

// Imported bookings are numbered after the highest number the case has,
// also when the highest is not the count (a booking was deleted); their tax
// lines come from the key rows as in a booking entered by hand.
TEST(Import, ImportedBookingsFollowTheHighestNumber) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QStringList buchung = {"book", fall, "--kind", "ausgabe", "--date", "05.01.2016", "--amount", "11,90", "--account", "1200",
        "--counter", "4930"};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(dalvo(buchung).rc, 0);
    ASSERT_EQ(dalvo({"delete", fall, "2"}).rc, 0);
    const QString datei = schreibe(dir, QStringLiteral("z.csv"), csv({kZinsen, kBuero}));
    const Lauf l = importiere(fall, datei);
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    QMap<int, QJsonObject> nach;
    for (const QJsonValue& v : liste(fall)) nach.insert(v.toObject().value(QStringLiteral("buchungsnummer")).toInt(), v.toObject());
    EXPECT_EQ(nach.keys(), (QList<int>{1, 3, 4, 5}));
    EXPECT_EQ(nach.value(4).value(QStringLiteral("buchungstext")).toString(), QStringLiteral("Zinsen"));
    // The imported expense splits like the booked one: 11,90 gross at 19 % is 10,00 + 1,90.
    auto zeilen = [&](int nr) {
        QStringList z;
        for (const QJsonValue& x : nach.value(nr).value(QStringLiteral("zeilen")).toArray())
            z << QStringLiteral("%1:%2").arg(x.toObject().value(QStringLiteral("konto")).toInt()).arg(x.toObject().value(QStringLiteral("betrag")).toDouble());
        z.sort();
        return z;
    };
    EXPECT_EQ(zeilen(5), zeilen(1));
    EXPECT_EQ(zeilen(5), (QStringList{"1200:11.9", "1576:1.9", "4930:10"}));
}

}  // namespace
