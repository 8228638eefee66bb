// The rest of a benchmark case besides its bookings: customers, invoices and
// recurring templates written through the module's own operations, and a
// CAMT statement of the case's bank account to import.
// Usage: benchdaten CASE.dalvo [--rechnungen N] [--vorlagen N] [--camt DATEI --iban IBAN --umsaetze N [--csv DATEI]] [--seed S]
// The invoices spread over the tax year, four in five marked paid; every
// template recurs monthly from a day of the year; the statement has one
// entry per transaction, a tenth of them naming an invoice in the purpose.
// --csv writes the same transactions as the CSV download of a Sparkasse
// (layout CSV-CAMT: Windows-1252, ';', every field quoted, dates dd.MM.yy,
// decimal comma, the own account in "Auftragskonto").
// Prints what it wrote. A tool of scripts/bench.sh, not of the program.
#include "host/app/global.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/tree/datenbase.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextCodec>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

int fehler(const QString& t) {
    std::fprintf(stderr, "benchdaten: %s\n", t.toLocal8Bit().constData());
    return 1;
}

// Says yes to every question of the module and nothing else.
class StilleUi : public Ui {
public:
    void rsError(const QString& t, const QString&) override { std::fprintf(stderr, "%s\n", Ui::plainText(t).toLocal8Bit().constData()); }
    void Hinweis(const QString&, const QString&) override {}
    void rsWarning(const QString&, const QString&) override {}
    bool frage(const QString&, const QString&) override { return true; }
    void progress(const QString&, long, long) override {}
    void waitCursor(bool) override {}
};

struct Zufall {
    std::mt19937 z;
    int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(z); }
    EuroType cent(int vonEuro, int bisEuro) { return EuroType::ausCent(zahl(vonEuro * 100, bisEuro * 100)); }
};

bool rechnungen(DBConnection* db, int anzahl, int jahr, unsigned long erloese, Zufall& r, QStringList* nummern, QString* e) {
    QList<unsigned long> kunden;
    for (int i = 0; i < qMax(1, anzahl / 50); ++i) {
        Faktura::Person p;
        p.firma = QStringLiteral("Kunde %1 GmbH").arg(i + 1);
        p.strasse = QStringLiteral("Hauptstraße %1").arg(i + 1);
        p.plz = QStringLiteral("10115");
        p.ort = QStringLiteral("Berlin");
        p.email = QStringLiteral("rechnung@kunde%1.example").arg(i + 1);
        const unsigned long id = Faktura::speicherePerson(db, p, e);
        if (id == 0) return false;
        kunden << id;
    }
    for (int i = 0; i < anzahl; ++i) {
        Faktura::Beleg b;
        b.personID = kunden[r.zahl(0, kunden.size() - 1)];
        b.datum = zDate(jahr, 1, 1).addDays(r.zahl(0, 360));
        b.zeitraumVon = b.zeitraumBis = b.datum;
        b.zahlungsziel = b.datum.addDays(14);
        if (r.zahl(0, 4) != 0) b.bezahlt = b.datum.addDays(r.zahl(1, 30));
        for (int p = r.zahl(1, 3); p > 0; --p) {
            Faktura::Position x;
            x.bezeichnung = QStringLiteral("Leistung %1").arg(r.zahl(1, 99));
            x.menge = r.zahl(1, 10);
            x.preis = r.cent(10, 900);
            x.steuerschluessel = 5;
            x.konto = erloese;
            b.positionen << x;
        }
        if (!Faktura::speichereBeleg(db, &b, e)) return false;
        *nummern << b.nummer;
    }
    return true;
}

bool vorlagen(int anzahl, int jahr, unsigned long bank, unsigned long aufwand, Zufall& r, QString* e) {
    const int monatlich = Regelbuchung::intervallCode(QStringLiteral("monatlich"));
    for (int i = 0; i < anzahl; ++i) {
        KontoGlobal::BuchungsEntwurf b;
        b.belegdatum = zDate(jahr, 1, 1).addDays(r.zahl(0, 300));
        b.zahlungsdatum = b.belegdatum;
        b.buchungsart = 2;
        b.text = QStringLiteral("Miete Lager %1").arg(i + 1);
        b.haben = true;
        b.konto = bank;
        b.teile.append({aufwand, 0, r.cent(50, 2000), false, QString()});
        if (Regelbuchung::vorlageAnlegen(b, monatlich, e) == 0) return false;
    }
    return true;
}

// A camt.053 statement: one Stmt with opening and closing balance and one
// entry per transaction.
bool camt(const QString& datei, const QString& csvDatei, const QString& iban, int anzahl, int jahr, const QStringList& rechnungen, Zufall& r,
          QString* e) {
    QFile f(datei), csv(csvDatei);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || (!csvDatei.isEmpty() && !csv.open(QIODevice::WriteOnly | QIODevice::Truncate))) {
        *e = QStringLiteral("%1 kann nicht geschrieben werden.").arg(f.isOpen() ? csvDatei : datei);
        return false;
    }
    QTextCodec* ansi = QTextCodec::codecForName("Windows-1252");
    auto csvZeile = [&](const QStringList& felder) {
        QStringList q;
        for (QString x : felder) q << QLatin1Char('"') + x.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        csv.write(ansi->fromUnicode(q.join(QLatin1Char(';')) + QStringLiteral("\r\n")));
    };
    if (csv.isOpen())
        csvZeile({QStringLiteral("Auftragskonto"), QStringLiteral("Buchungstag"), QStringLiteral("Valutadatum"), QStringLiteral("Buchungstext"),
                  QStringLiteral("Verwendungszweck"), QStringLiteral("Glaeubiger ID"), QStringLiteral("Mandatsreferenz"),
                  QStringLiteral("Kundenreferenz (End-to-End)"), QStringLiteral("Sammlerreferenz"), QStringLiteral("Lastschrift Ursprungsbetrag"),
                  QStringLiteral("Auslagenersatz Ruecklastschrift"), QStringLiteral("Beguenstigter/Zahlungspflichtiger"),
                  QStringLiteral("Kontonummer/IBAN"), QStringLiteral("BIC (SWIFT-Code)"), QStringLiteral("Betrag"), QStringLiteral("Waehrung"),
                  QStringLiteral("Info")});
    // The amounts first, so that the closing balance can precede the entries.
    struct Eintrag {
        bool haben;
        qint64 cent;
    };
    std::vector<Eintrag> betraege;
    qint64 summe = 0;
    for (int i = 0; i < anzahl; ++i) {
        const bool haben = r.zahl(0, 2) != 0;
        betraege.push_back({haben, r.zahl(100, 300000)});
        summe += haben ? betraege.back().cent : -betraege.back().cent;
    }
    auto betrag = [](qint64 c) { return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0')); };
    QXmlStreamWriter w(&f);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(QStringLiteral("urn:iso:std:iso:20022:tech:xsd:camt.053.001.02"));
    w.writeStartElement(QStringLiteral("Document"));
    w.writeStartElement(QStringLiteral("BkToCstmrStmt"));
    w.writeStartElement(QStringLiteral("GrpHdr"));
    w.writeTextElement(QStringLiteral("MsgId"), QStringLiteral("BENCH-1"));
    w.writeTextElement(QStringLiteral("CreDtTm"), QStringLiteral("%1-12-31T18:00:00").arg(jahr));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Stmt"));
    w.writeTextElement(QStringLiteral("Id"), QStringLiteral("BENCH-1-1"));
    w.writeStartElement(QStringLiteral("Acct"));
    w.writeStartElement(QStringLiteral("Id"));
    w.writeTextElement(QStringLiteral("IBAN"), iban);
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("Ccy"), QStringLiteral("EUR"));
    w.writeEndElement();
    auto saldo = [&](const char* art, qint64 c, const QString& tag) {
        w.writeStartElement(QStringLiteral("Bal"));
        w.writeStartElement(QStringLiteral("Tp"));
        w.writeStartElement(QStringLiteral("CdOrPrtry"));
        w.writeTextElement(QStringLiteral("Cd"), QLatin1String(art));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("Amt"));
        w.writeAttribute(QStringLiteral("Ccy"), QStringLiteral("EUR"));
        w.writeCharacters(betrag(qAbs(c)));
        w.writeEndElement();
        w.writeTextElement(QStringLiteral("CdtDbtInd"), c < 0 ? QStringLiteral("DBIT") : QStringLiteral("CRDT"));
        w.writeStartElement(QStringLiteral("Dt"));
        w.writeTextElement(QStringLiteral("Dt"), tag);
        w.writeEndElement();
        w.writeEndElement();
    };
    const qint64 anfang = 1000000;
    saldo("PRCD", anfang, QStringLiteral("%1-01-01").arg(jahr));
    saldo("CLBD", anfang + summe, QStringLiteral("%1-12-31").arg(jahr));
    for (int i = 0; i < anzahl; ++i) {
        const bool haben = betraege[size_t(i)].haben;
        const qint64 c = betraege[size_t(i)].cent;
        const QString tag = zDate(jahr, 1, 1).addDays(r.zahl(0, 364)).toIso().left(10);
        const bool rechnung = r.zahl(0, 9) == 0 && haben && !rechnungen.isEmpty();
        const int partner = r.zahl(0, 999);
        const QString zweck = rechnung ? QStringLiteral("Zahlung %1").arg(rechnungen[r.zahl(0, rechnungen.size() - 1)])
                                       : QStringLiteral("Vorgang %1 Partner %2").arg(i + 1).arg(partner);
        const QString partnerIban = QStringLiteral("DE02%1").arg(100000000000000000LL + partner, 18, 10, QLatin1Char('0'));
        if (csv.isOpen()) {
            const QString datum = QDate::fromString(tag, Qt::ISODate).toString(QStringLiteral("dd.MM.yy"));
            csvZeile({iban, datum, datum, haben ? QStringLiteral("GUTSCHR. UEBERWEISUNG") : QStringLiteral("ONLINE-UEBERWEISUNG"), zweck, QString(),
                      QString(), QStringLiteral("E2E-%1").arg(i + 1), QString(), QString(), QString(), QStringLiteral("Partner %1").arg(partner),
                      partnerIban, QString(), QStringLiteral("%1%2,%3").arg(haben ? QString() : QStringLiteral("-")).arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0')),
                      QStringLiteral("EUR"), QStringLiteral("Umsatz gebucht")});
        }
        w.writeStartElement(QStringLiteral("Ntry"));
        w.writeStartElement(QStringLiteral("Amt"));
        w.writeAttribute(QStringLiteral("Ccy"), QStringLiteral("EUR"));
        w.writeCharacters(betrag(c));
        w.writeEndElement();
        w.writeTextElement(QStringLiteral("CdtDbtInd"), haben ? QStringLiteral("CRDT") : QStringLiteral("DBIT"));
        w.writeTextElement(QStringLiteral("Sts"), QStringLiteral("BOOK"));
        w.writeStartElement(QStringLiteral("BookgDt"));
        w.writeTextElement(QStringLiteral("Dt"), tag);
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("ValDt"));
        w.writeTextElement(QStringLiteral("Dt"), tag);
        w.writeEndElement();
        w.writeTextElement(QStringLiteral("AcctSvcrRef"), QStringLiteral("REF%1").arg(i + 1));
        w.writeStartElement(QStringLiteral("NtryDtls"));
        w.writeStartElement(QStringLiteral("TxDtls"));
        w.writeStartElement(QStringLiteral("Refs"));
        w.writeTextElement(QStringLiteral("EndToEndId"), QStringLiteral("E2E-%1").arg(i + 1));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("RltdPties"));
        w.writeStartElement(haben ? QStringLiteral("Dbtr") : QStringLiteral("Cdtr"));
        w.writeTextElement(QStringLiteral("Nm"), QStringLiteral("Partner %1").arg(partner));
        w.writeEndElement();
        w.writeStartElement(haben ? QStringLiteral("DbtrAcct") : QStringLiteral("CdtrAcct"));
        w.writeStartElement(QStringLiteral("Id"));
        w.writeTextElement(QStringLiteral("IBAN"), partnerIban);
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("RmtInf"));
        w.writeTextElement(QStringLiteral("Ustrd"), zweck);
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndDocument();
    return f.flush() && (!csv.isOpen() || csv.flush());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.isEmpty() || a.first().startsWith(QLatin1Char('-')))
        return fehler(QStringLiteral("Aufruf: benchdaten FALL [--rechnungen N] [--vorlagen N] [--camt DATEI --iban IBAN --umsaetze N [--csv DATEI]] [--seed S]"));
    auto wert = [&](const char* name) {
        const int i = a.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < a.size() ? a[i + 1] : QString();
    };
    const int anzahlRechnungen = wert("--rechnungen").toInt(), anzahlVorlagen = wert("--vorlagen").toInt();
    const int anzahlUmsaetze = wert("--umsaetze").toInt();
    Zufall r{std::mt19937(unsigned(wert("--seed").isEmpty() ? 1 : wert("--seed").toInt()))};

    QTemporaryDir home;
    GlobalInst::reset(home.path());
    std::unique_ptr<Kont_> root(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    KontoGlobal::setSichernHook([] { return true; });
    StilleUi ui;
    UiScope scope(&ui);
    QString e;
    Falldatei datei;
    if (!datei.oeffnen(a.first(), Falldatei::Zugriff::Schreiben, 0, *root, &e)) return fehler(e);
    KontoGlobal* kg = GetKontoGlobal(0, false);
    DBConnection* db = kg->GetDBConnect_Ptr();
    const int jahr = kg->getSteuerjahr();
    const bool skr04 = kg->getKontenplanName().contains(QLatin1String("04"));
    const unsigned long erloese = skr04 ? 4400 : 8400, aufwand = skr04 ? 6310 : 4210;
    const unsigned long bank = kg->getSpezialKonto(1200);
    QStringList nummern;
    if (anzahlRechnungen > 0 && !rechnungen(db, anzahlRechnungen, jahr, erloese, r, &nummern, &e)) return fehler(e);
    if (anzahlVorlagen > 0 && !vorlagen(anzahlVorlagen, jahr, bank, aufwand, r, &e)) return fehler(e);
    if (!datei.sichern(*root, &e)) return fehler(e);
    if (!wert("--camt").isEmpty() && !camt(wert("--camt"), wert("--csv"), wert("--iban"), anzahlUmsaetze, jahr, nummern, r, &e)) return fehler(e);
    std::printf("%d Rechnungen, %d Vorlagen, %d Umsätze\n", anzahlRechnungen, anzahlVorlagen, wert("--camt").isEmpty() ? 0 : anzahlUmsaetze);
    return 0;
}
