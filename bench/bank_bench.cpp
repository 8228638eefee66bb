// The bank takeover at scale: the proposals for every open transaction and
// `uebernehmen --alle` on them, on a case that also holds a ledger, booking
// templates, open invoices and transactions taken over before. The proposals
// must grow linearly with the open transactions.
//
// DALVO_BENCH_UMSAETZE sets the number of open transactions (default
// 100 000). The case is built once; the takeover runs once (it consumes
// the open transactions).
#include "host/app/global.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/tree/datenbase.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using KG = KontoGlobal;

class StilleUi : public Ui {
public:
    void rsError(const QString& t, const QString&) override { std::fprintf(stderr, "%s\n", Ui::plainText(t).toLocal8Bit().constData()); }
    void Hinweis(const QString&, const QString&) override {}
    void rsWarning(const QString&, const QString&) override {}
    bool frage(const QString&, const QString&) override { return true; }
    void progress(const QString&, long, long) override {}
    void waitCursor(bool) override {}
};

int anzahlUmsaetze() {
    const char* n = std::getenv("DALVO_BENCH_UMSAETZE");
    return n ? std::atoi(n) : 100000;
}

struct Fall {
    QTemporaryDir home;
    std::unique_ptr<Kont_> root;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    StilleUi ui;

    Fall() {
        GlobalInst::reset(home.path());
        Ui::install(&ui);
        kg = GetKontoGlobal(0, false);
        kg->createConnectionKonto(true);
        kg->setSteuerjahr(2016);
        kg->setKontenplanName(QStringLiteral("SKR03"));
        kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0);
        root.reset(Kont_::New());
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
        db = kg->GetDBConnect_Ptr();
        std::mt19937 z(7);
        auto zahl = [&](int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(z); };
        QString e;
        Bank::Verbindung v;
        v.konto = 1200;
        v.iban = QStringLiteral("DE89370400440532013000");
        const unsigned long verbindung = Bank::legeVerbindungAn(db, v, &e);
        // The history: 5 000 bookings on the bank account of 500 kinds.
        db->beginTransaction();
        for (int i = 0; i < 5000; ++i) {
            const zDate d = zDate(2016, 1, 1).addDays(i % 366);
            KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("Lieferant %1").arg(i % 500),
                                    EuroType::ausCent(1000 + (i % 500) * 137), false, d, QString(), 2, true, 1200, 4930, 7, QString());
        }
        db->commit();
        // 300 open invoices of a customer.
        Faktura::Person p;
        p.firma = QStringLiteral("Kunde GmbH");
        p.strasse = QStringLiteral("Weg 1");
        p.plz = QStringLiteral("10115");
        p.ort = QStringLiteral("Berlin");
        const unsigned long kunde = Faktura::speicherePerson(db, p, &e);
        QStringList rechnungen;
        QList<EuroType> offen;
        for (int i = 0; i < 300; ++i) {
            Faktura::Beleg b;
            b.personID = kunde;
            b.datum = zDate(2016, 1, 1).addDays(i);
            b.zeitraumVon = b.zeitraumBis = b.datum;
            Faktura::Position x;
            x.bezeichnung = QStringLiteral("Leistung");
            x.preis = EuroType::ausCent(10000 + i * 101);
            x.steuerschluessel = 5;
            x.konto = 8400;
            b.positionen << x;
            Faktura::speichereBeleg(db, &b, &e);
            rechnungen << b.nummer;
            offen << Faktura::berechneSummen(db, b).offen;
        }
        // The open transactions: a third of the history's kinds named in the
        // purpose, a tenth of known counterparts, some invoice payments, the
        // rest unknown.
        QList<Bank::Umsatz> l;
        for (int i = 0; i < anzahlUmsaetze(); ++i) {
            Bank::Umsatz u;
            u.buchungsdatum = zDate(2016, 1, 1).addDays(zahl(0, 365));
            const int art = zahl(0, 9);
            if (art < 3) {
                const int k = zahl(0, 499);
                u.betrag = -EuroType::ausCent(1000 + k * 137);
                u.zweck << QStringLiteral("Lieferant %1 Nr %2").arg(k).arg(i);
            } else if (art == 3 && i < 300) {
                u.betrag = offen[i];
                u.zweck << QStringLiteral("Zahlung %1").arg(rechnungen[i]);
            } else if (art == 4) {
                u.betrag = -EuroType::ausCent(zahl(100, 50000));
                u.name = QStringLiteral("Partner %1").arg(zahl(0, 999));
                u.iban = QStringLiteral("DE02120300000000202051");
                u.zweck << QStringLiteral("Abschlag %1").arg(i);
            } else {
                u.betrag = EuroType::ausCent(zahl(-300000, 300000) | 1);
                u.zweck << QStringLiteral("Umsatz %1").arg(i);
                u.name = QStringLiteral("Unbekannt %1").arg(i);
            }
            l << u;
        }
        Bank::Speicherergebnis r;
        Bank::speichereUmsaetze(db, verbindung, l, 2016, zDate(), nullptr, &r, &e);
        // One counterpart taken over before, by IBAN.
        const QList<Bank::GespeicherterUmsatz> offene = Bank::umsaetze(db, true);
        for (const Bank::GespeicherterUmsatz& u : offene)
            if (!u.iban.isEmpty() && u.betrag < EuroType()) {
                Bank::Auftrag a;
                a.ids << u.id;
                a.gegenkonto = 4930;
                a.steuerschluessel = 7;
                a.schluesselAngegeben = true;
                Bank::Uebernahmeergebnis x;
                Bank::uebernehmen(db, a, &x, &e);
                break;
            }
    }
};

Fall& fall() {
    static Fall f;
    return f;
}

void BM_vorschlaege(benchmark::State& state) {
    DBConnection* db = fall().db;
    long n = 0;
    for (auto _ : state) n = Bank::vorschlaege(db).size();
    state.counters["umsaetze"] = double(n);
    state.counters["umsaetze/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_vorschlaege)->Unit(benchmark::kSecond)->Iterations(1);

void BM_uebernehmen_alle(benchmark::State& state) {
    DBConnection* db = fall().db;
    long gebucht = 0, offen = 0;
    for (auto _ : state) {
        Bank::Auftrag a;
        a.alle = true;
        Bank::Uebernahmeergebnis r;
        QString e;
        if (!Bank::uebernehmen(db, a, &r, &e)) state.SkipWithError(e.toUtf8().constData());
        gebucht = r.gebucht.size() + r.verknuepft.size();
        offen = r.ohneVorschlag.size();
    }
    state.counters["gebucht"] = double(gebucht);
    state.counters["offen"] = double(offen);
}
BENCHMARK(BM_uebernehmen_alle)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
