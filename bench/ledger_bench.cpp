// The hot paths of the ledger on a case of 10 000 bookings: posting with a
// tax key, the split by key, the VAT figures of a quarter and a year, the
// profit, the balance list CSV, the profit statement, the recapitulative
// statement, the bookings CSV, saving the case file.
//
// With DALVO_BENCH_FALL set to a case file (scripts/bench.sh makes them with
// `dalvo generate`), the report benchmarks read that case, opened for
// reading as a `dalvo` command opens it, and the ones that write are
// skipped: the time of a report on a real ledger without the fixed cost of
// starting the program.
#include "host/app/global.h"
#include "host/db/connection.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldung.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using KG = KontoGlobal;

struct Fall {
    QTemporaryDir home;
    std::unique_ptr<Kont_> root;
    KontoGlobal* kg = nullptr;

    explicit Fall(int buchungen) {
        GlobalInst::reset(home.path());
        kg = GetKontoGlobal(0, false);
        kg->createConnectionKonto(true);
        kg->setSteuerjahr(2016);
        kg->setKontenplanName(QStringLiteral("SKR03"));
        kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0);
        root.reset(Kont_::New());
        DBConnection* db = kg->GetDBConnect_Ptr();
        db->beginTransaction();
        for (int i = 0; i < buchungen; ++i) buche(i);
        db->commit();
    }
    void buche(int i) const {
        const zDate d = zDate(2016, 1, 1).addDays(i % 366);
        if (i % 3 == 0)
            KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("Einkauf"), EuroType::ausCent(1190 + i % 500 * 100), false, d,
                                    QString(), 2, true, 1200, 4930, 7, QString());
        else
            KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("Honorar"), EuroType::ausCent(11900 + i % 2000 * 100), false, d,
                                    QString(), 1, false, 1200, i % 5 ? 8400 : 8300, 0, QString());
    }
};

Fall& fall() {
    static Fall f(10000);
    return f;
}

QString dateiPfad() { return QString::fromLocal8Bit(std::getenv("DALVO_BENCH_FALL")); }

// The case file of DALVO_BENCH_FALL, open for reading in slot 0.
struct Datei {
    QTemporaryDir home;
    std::unique_ptr<Kont_> root;
    Falldatei datei;
    QString fehler;
    bool offen = false;

    Datei() {
        GlobalInst::reset(home.path());
        root.reset(Kont_::New());
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
        offen = datei.oeffnen(dateiPfad(), Falldatei::Zugriff::Lesen, 0, *root, &fehler);
    }
};

// Makes the case the report benchmarks read the active one; false (and the
// benchmark skipped) when the case file cannot be opened.
bool berichtsFall(benchmark::State& state) {
    if (dateiPfad().isEmpty()) {
        fall();
        return true;
    }
    static Datei d;
    if (!d.offen) state.SkipWithError(d.fehler.toUtf8().constData());
    return d.offen;
}

// The benchmarks that post or save need the generated case.
bool schreibFall(benchmark::State& state) {
    if (dateiPfad().isEmpty()) return true;
    state.SkipWithError("schreibt; mit DALVO_BENCH_FALL nur die Berichte");
    return false;
}

void BM_insertSimpleBuchung(benchmark::State& state) {
    if (!schreibFall(state)) return;
    Fall& f = fall();
    int i = 0;
    for (auto _ : state) f.buche(i++);
}
BENCHMARK(BM_insertSimpleBuchung);

void BM_calcSteuerschluessel(benchmark::State& state) {
    if (!schreibFall(state)) return;
    DBConnection* db = fall().kg->GetDBConnect_Ptr();
    EuroType b = 100_eur;
    for (auto _ : state) {
        benchmark::DoNotOptimize(KG::calcSteuerschluessel(db, 5, b, false, 2));
        b += EuroType::ausCent(1);
    }
}
BENCHMARK(BM_calcSteuerschluessel);

void BM_GetUmsaetzeFuer_Quartal(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) {
        UStKennziffern k;
        benchmark::DoNotOptimize(Kont_::GetUmsaetzeFuer(0, k, 2, 1, -1));
    }
}
BENCHMARK(BM_GetUmsaetzeFuer_Quartal)->Unit(benchmark::kMillisecond);

// As `dalvo ustva --year`: the figures and the form's arithmetic.
void BM_GetUmsaetzeFuer_Jahr(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) {
        UStKennziffern k;
        benchmark::DoNotOptimize(Kont_::GetUmsaetzeFuer(0, k, 3, -1, -1));
        OAnmeldungVorauszahlungen a;
        OAnmeldungVorauszahlungen2 a2;
        OAbziehbareVorsteuerbetraege v;
        UStVA::uebertrage(k, a, a2, v);
        benchmark::DoNotOptimize(a2.vorauszahlung);
    }
}
BENCHMARK(BM_GetUmsaetzeFuer_Jahr)->Unit(benchmark::kMillisecond);

void BM_getGewinn(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    DBConnection* db = GetKontoGlobal(0, false)->GetDBConnect_Ptr();
    for (auto _ : state) benchmark::DoNotOptimize(KG::getGewinn(db, false, 0));
}
BENCHMARK(BM_getGewinn)->Unit(benchmark::kMillisecond);

void BM_Saldenliste2_Print2CSV(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) {
        Saldenliste2 s;
        s.setZeitraum(BerichtZeitraum{});
        QString csv;
        benchmark::DoNotOptimize(s.Print2CSV(csv));
    }
}
BENCHMARK(BM_Saldenliste2_Print2CSV)->Unit(benchmark::kMillisecond);

// As `dalvo euer`.
void BM_EUERechnung2_Fuellen(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) {
        EUERechnung2 r;
        benchmark::DoNotOptimize(r.Fuellen());
    }
}
BENCHMARK(BM_EUERechnung2_Fuellen)->Unit(benchmark::kMillisecond);

// As `dalvo zm --period -1 --csv`.
void BM_ZM_Jahr_CSV(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) benchmark::DoNotOptimize(KG::getZusammenfassendeMeldungCsv(KG::getUStIdMap(-1)));
}
BENCHMARK(BM_ZM_Jahr_CSV)->Unit(benchmark::kMillisecond);

void BM_getBuchungenAsCSV(benchmark::State& state) {
    if (!berichtsFall(state)) return;
    for (auto _ : state) {
        QString csv;
        benchmark::DoNotOptimize(KG::getBuchungenAsCSV(csv, true, QStringLiteral("eurVerbucht"), zDate(), zDate()));
    }
}
BENCHMARK(BM_getBuchungenAsCSV)->Unit(benchmark::kMillisecond);

// Writing a whole case file in one go, as `new` and a conversion do; a
// command on an existing case commits only its own changes.
void BM_Falldatei_speichernAls(benchmark::State& state) {
    if (!schreibFall(state)) return;
    Fall& f = fall();
    const QString pfad = f.home.filePath(QStringLiteral("bench.dalvo"));
    for (auto _ : state) {
        QString e;
        if (!Falldatei::speichernAls(pfad, *f.root, &e)) state.SkipWithError(e.toUtf8().constData());
    }
}
BENCHMARK(BM_Falldatei_speichernAls)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
