// The change of year from the command line: jahreswechsel makes the 2016
// case from the 2015 one, saldovortrag reports, asks, posts only what
// differs and changes nothing when it refuses; the old year is never
// written.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void buche(const QString& fall, const QString& art, const QString& datum, const QString& betrag, const QString& konto,
           const QString& gegen, const QString& schluessel = QStringLiteral("0")) {
    const Lauf b =
        dalvo({"book", fall, "--kind", art, "--date", datum, "--amount", betrag, "--account", konto, "--counter", gegen, "--key", schluessel});
    ASSERT_EQ(b.rc, 0) << b.err.toStdString();
}

// Debit-positive balance of an account from the ledger of a case.
double saldo(const QString& fall, int konto) {
    const Lauf l = dalvo({"list", fall, "--json"});
    double s = 0;
    for (const QJsonValue& b : QJsonDocument::fromJson(l.out.toUtf8()).array())
        for (const QJsonValue& z : b.toObject().value(QStringLiteral("zeilen")).toArray()) {
            const QJsonObject o = z.toObject();
            if (o.value(QStringLiteral("konto")).toInt() != konto) continue;
            s += (o.value(QStringLiteral("haben")).toBool() ? -1 : 1) * o.value(QStringLiteral("betrag")).toDouble();
        }
    return qRound64(s * 100) / 100.0;
}

// 2015: capital 5.000,00 into the bank, rent 600,00 from it, 300,00 to the
// cash, 45,50 spent in cash, an invoice of 1.190,00 still open.
// Year end: bank 4.100,00, cash 254,50, receivables 1.190,00.
QString jahr2015(const QTemporaryDir& dir) {
    const QString alt = neuerFall(dir, QStringLiteral("2015.dalvo"), QStringLiteral("2015"));
    buche(alt, QStringLiteral("frei"), QStringLiteral("02.01.2015"), QStringLiteral("5.000,00"), QStringLiteral("1200"), QStringLiteral("1890"));
    buche(alt, QStringLiteral("ausgabe"), QStringLiteral("05.01.2015"), QStringLiteral("600,00"), QStringLiteral("1200"), QStringLiteral("4210"));
    buche(alt, QStringLiteral("frei"), QStringLiteral("10.07.2015"), QStringLiteral("300,00"), QStringLiteral("1000"), QStringLiteral("1200"));
    buche(alt, QStringLiteral("ausgabe"), QStringLiteral("14.07.2015"), QStringLiteral("45,50"), QStringLiteral("1000"), QStringLiteral("4930"), QStringLiteral("7"));
    buche(alt, QStringLiteral("frei"), QStringLiteral("30.12.2015"), QStringLiteral("1.190,00"), QStringLiteral("1400"), QStringLiteral("8400"), QStringLiteral("5"));
    return alt;
}

TEST(CliJahr, TwoCommandsCloseTheOldYearAndOpenTheNew) {
    QTemporaryDir dir;
    const QString alt = jahr2015(dir);
    const QByteArray altHash = hashOf(alt);
    const QString neu = dir.filePath(QStringLiteral("2016.dalvo"));

    const Lauf j = dalvo({"jahreswechsel", alt, neu});
    ASSERT_EQ(j.rc, 0) << j.err.toStdString();
    EXPECT_NE(j.out.indexOf(QStringLiteral("3 Saldovortragsbuchungen")), -1) << j.out.toStdString();
    EXPECT_NE(j.out.indexOf(QStringLiteral("4.100,00")), -1) << j.out.toStdString();
    EXPECT_EQ(hashOf(alt), altHash) << "the old year is only read";
    EXPECT_DOUBLE_EQ(saldo(neu, 1200), 4100.00);
    EXPECT_DOUBLE_EQ(saldo(neu, 1000), 254.50);
    const Lauf info = dalvo({"info", neu, "--json"});
    const QJsonObject o = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(o.value(QStringLiteral("steuerjahr")).toInt(), 2016);
    EXPECT_EQ(o.value(QStringLiteral("kontenplan")).toString(), QStringLiteral("SKR03"));
    EXPECT_EQ(o.value(QStringLiteral("kassenkonto")).toInt(), 1000);
    EXPECT_EQ(o.value(QStringLiteral("buchungen")).toInt(), 3);
    const Lauf v = dalvo({"verify", neu});
    EXPECT_EQ(v.rc, 0) << v.out.toStdString() << v.err.toStdString();

    // A second run finds nothing to post and leaves the case as it was.
    QByteArray neuHash = hashOf(neu);
    Lauf s = dalvo({"saldovortrag", neu, "--vorjahr", alt, "--yes"});
    EXPECT_EQ(s.rc, 0) << s.err.toStdString();
    EXPECT_NE(s.out.indexOf(QStringLiteral("stimmen bereits")), -1) << s.out.toStdString();
    EXPECT_EQ(hashOf(neu), neuHash);

    // A late correction in 2015 (100,00 more rent from the bank).
    buche(alt, QStringLiteral("ausgabe"), QStringLiteral("30.12.2015"), QStringLiteral("100,00"), QStringLiteral("1200"), QStringLiteral("4210"));
    const QByteArray altKorrigiert = hashOf(alt);
    // Only the report: nothing changes.
    s = dalvo({"saldovortrag", neu, "--vorjahr", alt, "--nur-bericht"});
    EXPECT_EQ(s.rc, 0) << s.err.toStdString();
    EXPECT_NE(s.out.indexOf(QStringLiteral("-100,00")), -1) << s.out.toStdString();
    EXPECT_EQ(hashOf(neu), neuHash);
    // Asked and answered No: refused, nothing changes.
    s = dalvo({"saldovortrag", neu, "--vorjahr", alt, "--no"});
    EXPECT_EQ(s.rc, 1);
    EXPECT_NE(s.err.indexOf(QStringLiteral("Mit --ja")), -1) << s.err.toStdString();
    EXPECT_EQ(hashOf(neu), neuHash);
    // Yes: the difference alone.
    s = dalvo({"saldovortrag", neu, "--vorjahr", alt, "--yes"});
    ASSERT_EQ(s.rc, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.endsWith(QStringLiteral("\n1\n"))) << s.out.toStdString();
    EXPECT_DOUBLE_EQ(saldo(neu, 1200), 4000.00);
    EXPECT_DOUBLE_EQ(saldo(neu, 1000), 254.50);
    EXPECT_EQ(dalvo({"verify", neu}).rc, 0);
    EXPECT_EQ(hashOf(alt), altKorrigiert);

    // One opening balance by hand: cash to 260,00 posts 5,50.
    s = dalvo({"saldovortrag", neu, "--konto", "1000", "--betrag", "260,00"});
    ASSERT_EQ(s.rc, 0) << s.err.toStdString();
    EXPECT_DOUBLE_EQ(saldo(neu, 1000), 260.00);
    neuHash = hashOf(neu);
    s = dalvo({"saldovortrag", neu, "--konto", "1000", "--betrag", "260,00"});
    EXPECT_EQ(s.rc, 0);
    EXPECT_NE(s.err.indexOf(QStringLiteral("beträgt bereits 260,00")), -1) << s.err.toStdString();
    EXPECT_EQ(hashOf(neu), neuHash);
}

TEST(CliJahr, RefusalsChangeNothingAndSayWhatToDo) {
    QTemporaryDir dir;
    const QString alt = jahr2015(dir);
    const QString fall16 = neuerFall(dir, QStringLiteral("fall16.dalvo"), QStringLiteral("2016"));
    const QByteArray altHash = hashOf(alt), hash16 = hashOf(fall16);
    auto lauf = [](const QStringList& a) { return dalvo(a); };

    // jahreswechsel never replaces a file, and needs an old case it can read.
    Lauf r = lauf({"jahreswechsel", alt, fall16});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.indexOf(QStringLiteral("nicht überschrieben")), -1) << r.err.toStdString();
    EXPECT_EQ(hashOf(fall16), hash16);
    r = lauf({"jahreswechsel", dir.filePath(QStringLiteral("fehlt.dalvo")), dir.filePath(QStringLiteral("x.dalvo"))});
    EXPECT_EQ(r.rc, 2);
    r = lauf({"jahreswechsel", alt});
    EXPECT_EQ(r.rc, 2);
    const QString text = dir.filePath(QStringLiteral("notiz.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Buchungen 2015\n");
    }
    r = lauf({"jahreswechsel", text, dir.filePath(QStringLiteral("x.dalvo"))});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.indexOf(QStringLiteral("keine Falldatei")), -1) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.dalvo"))));
    // 2016 has no next year in the reference data.
    r = lauf({"jahreswechsel", fall16, dir.filePath(QStringLiteral("2017.dalvo"))});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.indexOf(QStringLiteral("2017 wird nicht unterstützt")), -1) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("2017.dalvo"))));

    // saldovortrag: usage errors.
    EXPECT_EQ(lauf({"saldovortrag", fall16}).rc, 2);
    EXPECT_EQ(lauf({"saldovortrag", fall16, "--konto", "1000"}).rc, 2);
    EXPECT_EQ(lauf({"saldovortrag", fall16, "--konto", "1000", "--betrag", "12,345"}).rc, 2);
    EXPECT_EQ(lauf({"saldovortrag", fall16, "--konto", "abc", "--betrag", "1,00"}).rc, 2);
    EXPECT_EQ(lauf({"saldovortrag", fall16, "--vorjahr", alt, "--konto", "1000", "--betrag", "1,00"}).rc, 2);
    EXPECT_EQ(lauf({"saldovortrag", fall16, "--vorjahr", dir.filePath(QStringLiteral("fehlt.dalvo"))}).rc, 2);
    // Refusals of the module: the wrong year, no case file, an account
    // without opening balance.
    r = lauf({"saldovortrag", alt, "--vorjahr", fall16, "--yes"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.indexOf(QStringLiteral("Vorjahres 2014")), -1) << r.err.toStdString();
    r = lauf({"saldovortrag", fall16, "--vorjahr", text, "--yes"});
    EXPECT_EQ(r.rc, 1);
    r = lauf({"saldovortrag", fall16, "--konto", "8400", "--betrag", "1,00"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.indexOf(QStringLiteral("kein Bestandskonto")), -1) << r.err.toStdString();
    EXPECT_EQ(hashOf(fall16), hash16);
    EXPECT_EQ(hashOf(alt), altHash);
}

// Invoices not paid by 31 December are paid, and booked, in the new year:
// they come over with their originals; paid ones stay behind. An incoming
// invoice whose booking was deleted is open, even when the ledger gave the
// freed number to the next booking.
TEST(CliJahr, OpenInvoicesOfBothKindsComeOver) {
    QTemporaryDir dir;
    const QString alt = neuerFall(dir, QStringLiteral("2015.dalvo"), QStringLiteral("2015"));
    auto ok = [](const Lauf& l) {
        EXPECT_EQ(l.rc, 0) << l.err.toStdString();
        return l.out.trimmed();
    };
    const QString daten = QString::fromUtf8(DALVO_SOURCE_DIR "/tests/daten/eingang/");
    ok(dalvo({"eingang", alt, "import", daten + "cii_standard.xml", daten + "cii_mischsatz.xml", daten + "zugferd1.pdf"}));
    ok(dalvo({"eingang", alt, "buchen", "1", "--konto", "4930", "--geldkonto", "1200", "--datum", "20.12.2015", "--ja"}));
    ok(dalvo({"eingang", alt, "buchen", "2", "--konto", "4930", "--geldkonto", "1200", "--datum", "21.12.2015", "--ja"}));
    ok(dalvo({"delete", alt, "2", "--ja"}));
    ok(dalvo({"eingang", alt, "buchen", "3", "--konto", "4930"}));  // when paid
    ok(dalvo({"kunde", alt, "add", "--firma", "Kunde AG", "--strasse", "Weg 2", "--plz", "20095", "--ort", "Hamburg"}));
    QStringList rechnungen;
    for (const char* datum : {"15.03.2015", "20.12.2015"}) {
        rechnungen << ok(dalvo({"rechnung", alt, "neu", "--kunde", "K0001", "--datum", datum, "--ja"}));
        ok(dalvo({"rechnung", alt, "position", rechnungen.last(), "--text", "Beratung", "--preis", "500", "--schluessel", "5", "--konto", "8400"}));
    }
    ok(dalvo({"rechnung", alt, "buchen", rechnungen[0], "--geldkonto", "1200", "--datum", "30.03.2015"}));  // takes the freed number 2
    EXPECT_TRUE(ok(dalvo({"eingang", alt, "liste", "--offen"})).contains(QStringLiteral("HU-16-0088")));
    const QString original = ok(dalvo({"eingang", alt, "export", "3", "-"}));

    const QString neu = dir.filePath(QStringLiteral("2016.dalvo"));
    const Lauf j = dalvo({"jahreswechsel", alt, neu});
    ASSERT_EQ(j.rc, 0) << j.err.toStdString();
    EXPECT_TRUE(j.out.contains(QStringLiteral("1 offene Rechnungen, 2 offene Eingangsrechnungen"))) << j.out.toStdString();
    const QJsonArray ein = QJsonDocument::fromJson(ok(dalvo({"eingang", neu, "liste", "--offen", "--json"})).toUtf8()).array();
    ASSERT_EQ(ein.size(), 2);
    EXPECT_EQ(ein[0].toObject()[QStringLiteral("nummer")].toString(), QStringLiteral("HU-16-0088"));
    EXPECT_EQ(ein[1].toObject()[QStringLiteral("nummer")].toString(), QStringLiteral("ZF-2016-0815"));
    EXPECT_EQ(ok(dalvo({"eingang", neu, "liste", "--json"})).count(QStringLiteral("\"id\"")), 2);  // the paid one stayed behind
    EXPECT_EQ(ok(dalvo({"eingang", neu, "export", "3", "-"})), original);
    const QString offen = ok(dalvo({"rechnung", neu, "liste", "--offen"}));
    EXPECT_TRUE(offen.contains(rechnungen[1]) && !offen.contains(rechnungen[0])) << offen.toStdString();

    // Paid in the new year: income and expense of 2016, the supplier known.
    ok(dalvo({"rechnung", neu, "buchen", rechnungen[1], "--geldkonto", "1200", "--datum", "10.01.2016"}));
    ok(dalvo({"eingang", neu, "buchen", "3", "--geldkonto", "1200", "--datum", "11.01.2016"}));
    ok(dalvo({"eingang", neu, "buchen", "2", "--geldkonto", "1200", "--datum", "12.01.2016"}));
    const QJsonObject euer = QJsonDocument::fromJson(ok(dalvo({"euer", neu, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("einnahmen")].toDouble(), 595.00);
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("ausgaben")].toDouble(), 65.33 + 96.24);
    EXPECT_EQ(ok(dalvo({"eingang", neu, "liste", "--offen", "--json"})), QStringLiteral("[\n]"));
    EXPECT_EQ(dalvo({"verify", neu}).rc, 0);
}
}  // namespace
