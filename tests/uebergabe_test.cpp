// The sample year handed to a tax adviser (DATEV booking batch) and to an
// auditor (GoBD data carrier), read back the way their software reads it:
// the DATEV file byte by byte in Windows-1252 with DATEV's own tax
// computation, the audit tables by the types their index.xml declares.
#include "support/dalvo_lauf.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include <map>

namespace {

QString arg(const char* s) { return QString::fromUtf8(s); }

// The sample year as scripts/demo.sh books it, once for all tests.
class Uebergabe : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        fall = dir->filePath(arg("muster.dalvo"));
        ASSERT_EQ(dalvo({arg("new"), fall, arg("--year"), arg("2016"), arg("--no-examples")}).rc, 0);
        const Lauf imp = dalvo({arg("import"), fall, arg(DALVO_SOURCE_DIR "/data/samples/musterfall_2016.csv")});
        ASSERT_EQ(imp.rc, 0) << imp.err.toStdString();
        ASSERT_EQ(dalvo({arg("cancel"), fall, arg("269")}).rc, 0);
        ASSERT_EQ(dalvo({arg("firma"), fall, arg("--name"), arg("IT-Beratung Muster"), arg("--strasse"), arg("Am Markt 3"), arg("--plz"),
                         arg("12345"), arg("--ort"), arg("Musterstadt")})
                      .rc,
                  0);
    }
    static void TearDownTestSuite() { delete dir; }
    static QTemporaryDir* dir;
    static QString fall;

    // A copy of the sample case for a test that changes it.
    QString kopie(const QTemporaryDir& d) {
        const QString k = d.filePath(arg("kopie.dalvo"));
        EXPECT_TRUE(QFile::copy(fall, k));
        return k;
    }
};
QTemporaryDir* Uebergabe::dir = nullptr;
QString Uebergabe::fall;

qint64 cent(const QString& betrag) {
    QString b = betrag;
    b.remove(QLatin1Char('.'));
    const bool neg = b.startsWith(QLatin1Char('-'));
    if (neg) b.remove(0, 1);
    const QStringList t = b.split(QLatin1Char(','));
    const qint64 c = t[0].toLongLong() * 100 + (t.size() > 1 ? t[1].leftJustified(2, QLatin1Char('0')).toLongLong() : 0);
    return neg ? -c : c;
}

// The balance list's closing balance per account (debit positive), of the
// year or from its start to the end of `monat`.
std::map<int, qint64> saldenliste(const QString& fall, int monat = 0) {
    QStringList args{arg("saldenliste"), fall, arg("--csv")};
    if (monat) args << arg("--monat") << QString::number(monat);
    const Lauf l = dalvo(args);
    EXPECT_EQ(l.rc, 0);
    std::map<int, qint64> s;
    for (const QString& z : l.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = z.split(QLatin1Char(';'));
        if (f.size() < 8 || f[0].toInt() == 0) continue;
        s[f[0].toInt()] = cent(f[7]) - cent(f[6]);  // "Saldo Haben;Saldo Soll"
    }
    return s;
}

void ohneNull(std::map<int, qint64>* m) {
    for (auto it = m->begin(); it != m->end();) it = it->second == 0 ? m->erase(it) : std::next(it);
}

// Splits one record of a ';' file whose texts are in double quotes with
// doubled inner quotes. `zitiert` tells for each field whether it was quoted.
QStringList felder(const QString& zeile, QList<bool>* zitiert = nullptr) {
    QStringList f;
    QString cur;
    bool inQ = false, warQ = false;
    for (int i = 0; i < zeile.size(); ++i) {
        const QChar c = zeile[i];
        if (inQ) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < zeile.size() && zeile[i + 1] == QLatin1Char('"')) {
                    cur += c;
                    ++i;
                } else {
                    inQ = false;
                }
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQ = warQ = true;
        } else if (c == QLatin1Char(';')) {
            f << cur;
            if (zitiert) *zitiert << warQ;
            cur.clear();
            warQ = false;
        } else {
            cur += c;
        }
    }
    f << cur;
    if (zitiert) *zitiert << warQ;
    return f;
}

// The records of a file with CRLF record ends; false if any bare LF or CR.
bool crlfZeilen(const QByteArray& bytes, QList<QByteArray>* zeilen) {
    if (!bytes.endsWith("\r\n")) return false;
    QList<QByteArray> z = bytes.split('\n');
    z.removeLast();
    for (const QByteArray& x : z) {
        if (!x.endsWith('\r') || x.left(x.size() - 1).contains('\r')) return false;
        zeilen->append(x.left(x.size() - 1));
    }
    return true;
}

// --- DATEV ------------------------------------------------------------------

// What DATEV does with a booking key in SKR03, from its key list: the rate,
// whether both taxes are booked on the net amount (acquisitions, § 13b) and
// the automatic tax accounts of the chart.
struct DatevSteuer {
    int satz;
    bool beide;
    int konto, konto2;
};
const std::map<QString, DatevSteuer> kDatevSchluessel = {
    {arg("2"), {7, false, 1771, 0}},   {arg("3"), {19, false, 1776, 0}},  {arg("8"), {7, false, 1571, 0}},
    {arg("9"), {19, false, 1576, 0}},  {arg("18"), {7, true, 1572, 1772}}, {arg("19"), {19, true, 1574, 1774}},
    {arg("94"), {19, true, 1577, 1787}},
};

qint64 teil(qint64 betrag, qint64 zaehler, qint64 nenner) {  // rounded half away from zero
    const qint64 a = betrag < 0 ? -betrag : betrag;
    const qint64 r = (2 * a * zaehler + nenner) / (2 * nenner);
    return betrag < 0 ? -r : r;
}

// The balances DATEV books from a batch: each line moves the amount between
// Konto and Gegenkonto and splits the tax off the Gegenkonto, by the key or
// by the automatic the chart fixes for the account.
std::map<int, qint64> datevSalden(const QList<QStringList>& daten, const QString& fall) {
    std::map<int, DatevSteuer> automatik;
    for (const QString& z : sqlText(fall, arg("SELECT group_concat(k.Nummer||'|'||s.Steuersatz||'|'||s.IG_Erwerb||'|'||s.Steuerkonto||'|'||"
                                               "s.Steuerkonto2, ';') FROM eurKontenplan k JOIN eurSteuerschluessel s "
                                               "ON s.Steuerschluessel=k.Steuerschluessel WHERE k.Steuerautomatik=1 AND k.Steuerschluessel<>0"))
                                .split(QLatin1Char(';'))) {
        const QStringList f = z.split(QLatin1Char('|'));
        if (f.size() == 5) automatik[f[0].toInt()] = {int(f[1].toDouble()), f[2].toInt() != 0, f[3].toInt(), f[4].toInt()};
    }
    std::map<int, qint64> s;
    for (const QStringList& f : daten) {
        qint64 betrag = cent(f[0]);
        if (f[117] == QLatin1String("1")) betrag = -betrag;  // Generalumkehr
        const int konto = f[6].toInt(), gegen = f[7].toInt();
        const qint64 aufKonto = f[1] == QLatin1String("S") ? betrag : -betrag;
        EXPECT_EQ(automatik.count(konto), 0u) << "the money side is no automatic account";
        s[konto] += aufKonto;
        const qint64 g = -aufKonto;
        const DatevSteuer* st = nullptr;
        if (!f[8].isEmpty() && f[8] != QLatin1String("40")) {
            EXPECT_EQ(kDatevSchluessel.count(f[8]), 1u) << f[8].toStdString();
            if (kDatevSchluessel.count(f[8])) st = &kDatevSchluessel.at(f[8]);
        } else if (f[8].isEmpty() && automatik.count(gegen)) {
            st = &automatik.at(gegen);
        }
        if (!st || st->satz == 0) {
            s[gegen] += g;
        } else if (st->beide) {
            const qint64 t = teil(g, st->satz, 100);
            s[gegen] += g;
            s[st->konto] += t;
            s[st->konto2] -= t;
        } else {
            const qint64 t = teil(g, st->satz, 100 + st->satz);
            s[gegen] += g - t;
            s[st->konto] += t;
        }
    }
    return s;
}

struct Stapel {
    QStringList kopf, spalten;
    QList<QStringList> daten;
    QByteArray bytes;
};

Stapel lies(const QString& pfad) {
    Stapel st;
    QFile f(pfad);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << pfad.toStdString();
    st.bytes = f.readAll();
    QList<QByteArray> zeilen;
    EXPECT_TRUE(crlfZeilen(st.bytes, &zeilen)) << "every record ends with CRLF, no bare LF or CR";
    QTextCodec* cp1252 = QTextCodec::codecForName("Windows-1252");
    for (int i = 0; i < zeilen.size(); ++i) {
        const QStringList x = felder(cp1252->toUnicode(zeilen[i]));
        if (i == 0) st.kopf = x;
        else if (i == 1) st.spalten = x;
        else st.daten << x;
    }
    return st;
}

TEST_F(Uebergabe, DatevBatchOfTheSampleYearBooksTheBalanceList) {
    QTemporaryDir d;
    const QString datei = d.filePath(arg("EXTF_Buchungsstapel_2016.csv"));
    // Without the adviser's numbers DATEV cannot take the file.
    const Lauf ohne = dalvo({arg("export-datev"), fall, datei});
    EXPECT_EQ(ohne.rc, 1);
    EXPECT_TRUE(ohne.err.contains(arg("Beraternummer"))) << ohne.err.toStdString();
    EXPECT_FALSE(QFile::exists(datei));
    EXPECT_EQ(dalvo({arg("export-datev"), fall, d.filePath(arg("Stapel.csv")), arg("--berater"), arg("29098"), arg("--mandant"), arg("55003")}).rc, 2)
        << "DATEV reads only files named EXTF_";

    const QByteArray vorher = hashOf(fall);
    const Lauf l = dalvo({arg("export-datev"), fall, datei, arg("--berater"), arg("29098"), arg("--mandant"), arg("55003")});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    const Stapel st = lies(datei);
    EXPECT_EQ(l.out.trimmed().toInt(), st.daten.size());

    // Windows-1252: "ü" is the one byte FC, never UTF-8's C3 BC.
    EXPECT_TRUE(st.bytes.contains("B\xFCromiete"));
    EXPECT_FALSE(st.bytes.contains("\xC3\xBC"));

    // The header: 31 fields as DATEV's description of format 700 lists them.
    ASSERT_EQ(st.kopf.size(), 31);
    EXPECT_EQ(st.kopf.mid(0, 5), (QStringList{arg("EXTF"), arg("700"), arg("21"), arg("Buchungsstapel"), arg("13")}));
    EXPECT_TRUE(QRegularExpression(arg("^20\\d{15}$")).match(st.kopf[5]).hasMatch()) << st.kopf[5].toStdString();
    EXPECT_EQ(st.kopf[7].size(), 2);
    EXPECT_EQ(st.kopf.mid(10, 6), (QStringList{arg("29098"), arg("55003"), arg("20160101"), arg("4"), arg("20160101"), arg("20161231")}));
    EXPECT_LE(st.kopf[16].size(), 30);
    EXPECT_EQ(st.kopf.mid(18, 4), (QStringList{arg("1"), arg("0"), arg("0"), arg("EUR")}));
    EXPECT_EQ(st.kopf[26], arg("03"));

    // The headings of format version 13 and 125 fields in every record.
    ASSERT_EQ(st.spalten.size(), 125);
    EXPECT_EQ(st.spalten.mid(0, 14).join(QLatin1Char(';')),
              arg("Umsatz (ohne Soll/Haben-Kz);Soll/Haben-Kennzeichen;WKZ Umsatz;Kurs;Basis-Umsatz;WKZ Basis-Umsatz;Konto;"
                  "Gegenkonto (ohne BU-Schlüssel);BU-Schlüssel;Belegdatum;Belegfeld 1;Belegfeld 2;Skonto;Buchungstext"));
    EXPECT_EQ(st.spalten[113], arg("Festschreibung"));
    EXPECT_EQ(st.spalten[117], arg("Generalumkehr (GU)"));
    EXPECT_EQ(st.spalten[124], arg("Abw. Skontokonto"));

    // One line per counter line of a booking (the cent corrections aside),
    // each within DATEV's field rules.
    int paare = 0;
    for (const QStringList& f : st.daten) {
        ASSERT_EQ(f.size(), 125);
        EXPECT_TRUE(QRegularExpression(arg("^\\d+,\\d\\d$")).match(f[0]).hasMatch()) << f[0].toStdString();
        EXPECT_TRUE(f[1] == arg("S") || f[1] == arg("H"));
        EXPECT_TRUE(QRegularExpression(arg("^(0[1-9]|[12]\\d|3[01])(0[1-9]|1[0-2])$")).match(f[9]).hasMatch()) << f[9].toStdString();
        EXPECT_TRUE(QRegularExpression(arg("^[A-Za-z0-9$%&*+\\-/]{0,36}$")).match(f[10]).hasMatch()) << f[10].toStdString();
        EXPECT_LE(f[13].size(), 60);
        EXPECT_EQ(f[113], arg("0"));
        if (!f[13].startsWith(arg("Rundungsausgleich"))) ++paare;
    }
    EXPECT_EQ(paare, sqlZahl(fall, arg("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Dialogzeile<>1 AND Steuerschluessel<>999999")));
    // Automatic accounts carry no key; a key where the account leaves it open.
    for (const QStringList& f : st.daten) {
        if (f[7] == arg("8400")) {
            EXPECT_TRUE(f[8].isEmpty());
        }
        if (f[7] == arg("4240")) {
            EXPECT_EQ(f[8], arg("9"));
        }
    }

    // What DATEV books from the file is the balance list, at the end of
    // every month (cent differences of the tax may cancel out over a year).
    for (int m = 1; m <= 12; ++m) {
        QList<QStringList> bisMonat;
        for (const QStringList& f : st.daten)
            if (f[9].mid(2).toInt() <= m) bisMonat << f;
        std::map<int, qint64> datev = datevSalden(bisMonat, fall), soll = saldenliste(fall, m);
        ohneNull(&datev);
        ohneNull(&soll);
        EXPECT_EQ(datev, soll) << "month " << m;
    }
}

TEST_F(Uebergabe, DatevLockedYearUnmappedKeysAndCustomers) {
    QTemporaryDir d;
    const QString k = kopie(d);
    ASSERT_EQ(dalvo({arg("einstellungen"), k, arg("--datev-berater"), arg("1001"), arg("--datev-mandant"), arg("1")}).rc, 0);
    ASSERT_EQ(dalvo({arg("festschreiben"), k, arg("31.12.2016")}).rc, 0);
    const QString datei = d.filePath(arg("EXTF_2016.csv"));
    ASSERT_EQ(dalvo({arg("export-datev"), k, datei}).rc, 0);
    Stapel st = lies(datei);
    EXPECT_EQ(st.kopf[10], arg("1001"));
    EXPECT_EQ(st.kopf[20], arg("1")) << "every booking is locked";
    for (const QStringList& f : st.daten) EXPECT_EQ(f[113], arg("1"));
    EXPECT_EQ(dalvo({arg("export-datev"), k, datei}).rc, 1) << "an existing file is kept";
    // A longer ledger length extends the four-digit accounts by zeros.
    const QString fuenf = d.filePath(arg("EXTF_5.csv"));
    ASSERT_EQ(dalvo({arg("export-datev"), k, fuenf, arg("--sachkontenlaenge"), arg("5")}).rc, 0);
    st = lies(fuenf);
    EXPECT_EQ(st.kopf[13], arg("5"));
    QStringList geldkonten;
    for (const QStringList& f : st.daten) {
        EXPECT_TRUE(f[6].size() <= 5 && f[6].endsWith(QLatin1Char('0'))) << f[6].toStdString();  // 0420 becomes 04200
        geldkonten << f[6];
    }
    EXPECT_TRUE(geldkonten.contains(arg("12000")));
    EXPECT_EQ(dalvo({arg("export-datev"), k, datei, arg("--von"), arg("01.12.2015")}).rc, 1) << "one file never spans two years";

    // Key 27 (the supplier's § 13b turnover) has no DATEV key of the same
    // meaning: on an account that leaves the key open the export refuses
    // and names the booking.
    const QString k2 = d.filePath(arg("k2.dalvo"));
    ASSERT_TRUE(QFile::copy(fall, k2));
    const Lauf b = dalvo({arg("book"), k2, arg("--kind"), arg("einnahme"), arg("--date"), arg("10.03.2016"), arg("--amount"), arg("100,00"),
                          arg("--account"), arg("1200"), arg("--counter"), arg("8200"), arg("--key"), arg("27")});
    ASSERT_EQ(b.rc, 0) << b.err.toStdString();
    const QString nr = b.out.trimmed();
    const QString datei2 = d.filePath(arg("EXTF_b.csv"));
    const QByteArray vorher = hashOf(k2);
    const Lauf r = dalvo({arg("export-datev"), k2, datei2, arg("--berater"), arg("1001"), arg("--mandant"), arg("1")});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(arg("Buchung Nr. ") + nr)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(datei2));
    EXPECT_EQ(hashOf(k2), vorher);
    // Cancelled, the pair cancels out and no longer blocks the year.
    ASSERT_EQ(dalvo({arg("cancel"), k2, nr}).rc, 0);
    // A text with a letter Windows-1252 lacks, a voucher with characters
    // Belegfeld 1 does not take.
    ASSERT_EQ(dalvo({arg("book"), k2, arg("--kind"), arg("ausgabe"), arg("--date"), arg("11.03.2016"), arg("--amount"), arg("10,00"),
                     arg("--account"), arg("1200"), arg("--counter"), arg("4930"), arg("--text"), arg("Tinte von Kovács Ődön – Pécs"),
                     arg("--voucher"), arg("RE 2016_77 \xF0\x9F\x93\x8E")})
                  .rc,
              0);
    ASSERT_EQ(dalvo({arg("kunde"), k2, arg("neu"), arg("--firma"), arg("Müller & Söhne GmbH"), arg("--strasse"), arg("Hauptstr. 1"),
                     arg("--plz"), arg("12345"), arg("--ort"), arg("Berlin"), arg("--ustid"), arg("DE123456789")})
                  .rc,
              0);
    const Lauf ok = dalvo({arg("export-datev"), k2, datei2, arg("--berater"), arg("1001"), arg("--mandant"), arg("1")});
    ASSERT_EQ(ok.rc, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.err.contains(nr));
    bool gefunden = false;
    for (const QStringList& f : lies(datei2).daten)
        if (f[10].startsWith(arg("RE-2016-77"))) {
            gefunden = true;
            // Also a character beyond the code page's plane leaves only
            // characters DATEV takes.
            EXPECT_TRUE(QRegularExpression(arg("^RE-2016-77-[A-Za-z0-9$%&*+\\-/]+$")).match(f[10]).hasMatch()) << f[10].toStdString();
            EXPECT_EQ(f[13], arg("Tinte von Kovács ?dön – Pécs"));
        }
    EXPECT_TRUE(gefunden);
    EXPECT_TRUE(ok.err.contains(arg("Windows-1252"))) << "the replacement is reported";

    // The customers as debtors, account numbers one digit longer than the
    // ledger accounts.
    const Stapel p = lies(d.filePath(arg("EXTF_Debitoren_Kreditoren_b.csv")));
    EXPECT_EQ(p.kopf.mid(0, 5), (QStringList{arg("EXTF"), arg("700"), arg("16"), arg("Debitoren/Kreditoren"), arg("5")}));
    ASSERT_GE(p.spalten.size(), 20);
    EXPECT_EQ(p.spalten.mid(0, 3), (QStringList{arg("Konto"), arg("Name (Adressatentyp Unternehmen)"), arg("Unternehmensgegenstand")}));
    ASSERT_EQ(p.daten.size(), 1);
    const QStringList& c = p.daten.first();
    EXPECT_EQ(c.size(), p.spalten.size());
    EXPECT_EQ(c[0].size(), 5);
    EXPECT_EQ(c[1], arg("Müller & Söhne GmbH"));
    EXPECT_EQ(c[p.spalten.indexOf(arg("Ort"))], arg("Berlin"));
    EXPECT_EQ(c[p.spalten.indexOf(arg("EU-Mitgliedstaat"))], arg("DE"));
}

// --- GoBD -------------------------------------------------------------------

struct Spaltenart {
    QString name, typ;
    int stellen = 0;
};

TEST_F(Uebergabe, GobdExportValidatesAndReadsBackByItsDeclaredTypes) {
    QTemporaryDir d;
    // The sample year with an incoming e-invoice and an asset in its registers.
    const QString fall = kopie(d);
    const QString rechnung = arg(DALVO_SOURCE_DIR "/tests/daten/eingang/cii_mischsatz.xml");
    ASSERT_EQ(dalvo({arg("eingang"), fall, arg("import"), rechnung}).rc, 0);
    ASSERT_EQ(dalvo({arg("anlage"), fall, arg("neu"), arg("--bezeichnung"), arg("Laptop"), arg("--konto"), arg("420"), arg("--datum"),
                     arg("15.03.2016"), arg("--kosten"), arg("1500"), arg("--nutzungsdauer"), arg("3")})
                  .rc,
              0);
    const QString ziel = d.filePath(arg("pruefung"));
    const QByteArray vorher = hashOf(fall);
    const Lauf l = dalvo({arg("export-gobd"), fall, ziel});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_TRUE(QFile::exists(QDir(ziel).filePath(arg("gdpdu-01-09-2004.dtd"))));

    // libxml2 warns that the official content model of Media is not
    // deterministic and still exits 0 for a valid document.
    QProcess x;
    x.setWorkingDirectory(ziel);
    x.start(arg("xmllint"), {arg("--valid"), arg("--noout"), arg("index.xml")});
    ASSERT_TRUE(x.waitForFinished(60000)) << "xmllint (Debian libxml2-utils) is needed, see scripts/bootstrap.sh";
    EXPECT_EQ(x.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(x.exitCode(), 0) << x.readAllStandardError().toStdString();

    QFile f(QDir(ziel).filePath(arg("index.xml")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    // DOM drops whitespace-only text, so the delimiter is checked as written.
    EXPECT_EQ(xml.count("<RecordDelimiter>&#13;&#10;</RecordDelimiter>"), xml.count("<Table>"));
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml));
    const QDomNodeList tabellen = doc.elementsByTagName(arg("Table"));
    QStringList namen;
    std::map<int, qint64> journal;
    QMap<QString, QList<QStringList>> gelesen;
    for (int i = 0; i < tabellen.size(); ++i) {
        const QDomElement t = tabellen.at(i).toElement();
        const QString name = t.firstChildElement(arg("Name")).text();
        namen << name;
        EXPECT_EQ(t.firstChildElement(arg("Range")).firstChildElement(arg("From")).text(), arg("2"));
        EXPECT_FALSE(t.firstChildElement(arg("UTF8")).isNull());
        const QDomElement vl = t.firstChildElement(arg("VariableLength"));
        QList<Spaltenart> spalten;
        for (QDomElement c = vl.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            if (c.tagName() != arg("VariablePrimaryKey") && c.tagName() != arg("VariableColumn")) continue;
            Spaltenart s{c.firstChildElement(arg("Name")).text(), QString()};
            for (const char* typ : {"Numeric", "AlphaNumeric", "Date"})
                if (!c.firstChildElement(arg(typ)).isNull()) s.typ = arg(typ);
            s.stellen = c.firstChildElement(arg("Numeric")).firstChildElement(arg("Accuracy")).text().toInt();
            spalten << s;
        }
        QFile csv(QDir(ziel).filePath(t.firstChildElement(arg("URL")).text()));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << name.toStdString();
        QList<QByteArray> zeilen;
        ASSERT_TRUE(crlfZeilen(csv.readAll(), &zeilen)) << name.toStdString();
        QStringList kopf;
        for (const Spaltenart& s : spalten) kopf << s.name;
        EXPECT_EQ(felder(QString::fromUtf8(zeilen.first())), kopf) << name.toStdString();
        for (int z = 1; z < zeilen.size(); ++z) {
            QList<bool> zitiert;
            const QStringList w = felder(QString::fromUtf8(zeilen[z]), &zitiert);
            ASSERT_EQ(w.size(), spalten.size()) << name.toStdString() << " record " << z;
            for (int i = 0; i < w.size(); ++i) {
                const Spaltenart& s = spalten[i];
                if (s.typ == arg("AlphaNumeric")) {
                    EXPECT_TRUE(zitiert[i]) << name.toStdString() << "." << s.name.toStdString();
                } else if (s.typ == arg("Date")) {
                    EXPECT_TRUE(w[i].isEmpty() || QDate::fromString(w[i], arg("dd.MM.yyyy")).isValid()) << w[i].toStdString();
                } else {
                    const QString muster = s.stellen ? arg("^-?\\d+,\\d{%1}$").arg(s.stellen) : arg("^-?\\d+$");
                    EXPECT_TRUE(QRegularExpression(muster).match(w[i]).hasMatch())
                        << name.toStdString() << "." << s.name.toStdString() << ": " << w[i].toStdString();
                }
            }
            if (name == arg("Buchungsjournal")) journal[w[5].toInt()] += cent(w[8]) - cent(w[9]);
            if (name == arg("Eingangsrechnungen") || name == arg("Anlagen")) gelesen[name] << w;
        }
    }
    EXPECT_EQ(doc.documentElement().firstChildElement(arg("DataSupplier")).firstChildElement(arg("Location")).text(),
              arg("Am Markt 3, 12345 Musterstadt"));
    for (const char* n : {"Buchungsjournal", "Kontenplan", "Steuerschluessel", "Kassenbuch", "Kunden", "Rechnungen", "Rechnungspositionen",
                          "Bankumsaetze", "Lieferanten", "Eingangsrechnungen", "EingangsrechnungenSteuer", "Anlagen", "Umlaufvermoegen",
                          "Investitionsabzugsbetraege", "Fahrzeuge"})
        EXPECT_TRUE(namen.contains(arg(n))) << n;
    // The incoming invoice by its original's name and SHA-256, not its bytes;
    // the asset with its first year's depreciation (10 of 36 months).
    QFile original(rechnung);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_EQ(gelesen[arg("Eingangsrechnungen")].size(), 1);
    const QStringList er = gelesen[arg("Eingangsrechnungen")].first();
    EXPECT_EQ(er[2], arg("HU-16-0088"));
    EXPECT_EQ(er[13], arg("cii_mischsatz.xml"));
    EXPECT_EQ(er[14], QString::fromLatin1(QCryptographicHash::hash(original.readAll(), QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(er[11], arg("96,24"));
    ASSERT_EQ(gelesen[arg("Anlagen")].size(), 1);
    const QStringList an = gelesen[arg("Anlagen")].first();
    EXPECT_EQ(an[1], arg("Laptop"));
    EXPECT_EQ(an[18], arg("416,67"));
    EXPECT_EQ(an[20], arg("1083,33"));
    // The journal is the ledger: its sums per account are the balance list.
    std::map<int, qint64> soll = saldenliste(fall);
    ohneNull(&journal);
    ohneNull(&soll);
    EXPECT_EQ(journal, soll);

    // Never into a directory with content; an empty one is filled.
    const Lauf voll = dalvo({arg("export-gobd"), fall, ziel});
    EXPECT_EQ(voll.rc, 1);
    EXPECT_TRUE(voll.err.contains(arg("nicht leer"))) << voll.err.toStdString();
    const QString leer = d.filePath(arg("leer"));
    ASSERT_TRUE(QDir().mkdir(leer));
    ASSERT_EQ(dalvo({arg("export-gobd"), fall, leer}).rc, 0);
    EXPECT_TRUE(QFile::exists(QDir(leer).filePath(arg("index.xml"))));
    // The case and the two exports, no working directory left.
    EXPECT_EQ(QDir(d.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 3);
}

}  // namespace
