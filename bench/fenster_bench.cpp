// The window on a large ledger: opening a case and showing the first page
// of the ledger view, the next page while scrolling (deep in the ledger as
// at its start), a filter by account, and the whole main window from start
// to the painted ledger, on the offscreen platform.
//
// DALVO_BENCH_FALL names the case file (scripts/bench.sh makes them with
// `dalvo generate FALL --bookings 1000000 --seed 1`); without it a case of
// 10 000 generated bookings is made first. The case is only read.
#include "fenster/buchungsansicht.h"
#include "fenster/hauptfenster.h"
#include "fenster/sitzung.h"
#include "host/app/global.h"
#include "host/app/ui.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

QTemporaryDir& arbeit() {
    static QTemporaryDir d;
    return d;
}

// The case to read: DALVO_BENCH_FALL, or 10 000 generated bookings.
QString fall() {
    static QString pfad;
    if (!pfad.isEmpty()) return pfad;
    pfad = qEnvironmentVariable("DALVO_BENCH_FALL");
    if (!pfad.isEmpty()) return pfad;
    pfad = arbeit().filePath(QStringLiteral("bench.dalvo"));
    QTemporaryDir home;
    GlobalInst::reset(home.path());
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    kg->setSteuerjahr(2016);
    kg->setKontenplanName(QStringLiteral("SKR03"));
    kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0);
    std::unique_ptr<Kont_> root(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    QString fehler;
    if (Testdaten::erzeugen(10000, 1, &fehler) < 0 || !Falldatei::anlegen(pfad, *root, &fehler)) {
        fprintf(stderr, "%s\n", qPrintable(fehler));
        std::exit(1);
    }
    root.reset();
    GlobalInst::reset();
    return pfad;
}

// Open the case and read the first page of the ledger, as the window does
// when the ledger view is shown.
void BM_OeffnenErsteSeite(benchmark::State& state) {
    const QString pfad = fall();
    for (auto _ : state) {
        fenster::Sitzung s;
        QString fehler;
        if (!s.oeffnen(pfad, &fehler)) {
            state.SkipWithError(qPrintable(fehler));
            return;
        }
        fenster::JournalModell m(s);
        m.setzen(Journal::Filter());
        benchmark::DoNotOptimize(m.rowCount());
    }
}
BENCHMARK(BM_OeffnenErsteSeite)->Unit(benchmark::kMillisecond);

// Scrolling: the next page, read after the pages already there. The model
// grows as it would under a scrolling user; the time is per page.
void BM_NaechsteSeite(benchmark::State& state) {
    fenster::Sitzung s;
    QString fehler;
    if (!s.oeffnen(fall(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return;
    }
    fenster::JournalModell m(s);
    m.setzen(Journal::Filter());
    for (auto _ : state) {
        if (!m.canFetchMore(QModelIndex())) m.setzen(Journal::Filter());
        m.fetchMore(QModelIndex());
    }
    state.counters["Zeilen"] = m.rowCount();
}
BENCHMARK(BM_NaechsteSeite)->Unit(benchmark::kMillisecond);

// The first page of one account's bookings (the bank account, on about
// every second booking, and a rare one).
void BM_FilterKonto(benchmark::State& state) {
    fenster::Sitzung s;
    QString fehler;
    if (!s.oeffnen(fall(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return;
    }
    fenster::JournalModell m(s);
    Journal::Filter f;
    f.konto = static_cast<unsigned long>(state.range(0));
    for (auto _ : state) {
        m.setzen(f);
        benchmark::DoNotOptimize(m.rowCount());
    }
}
BENCHMARK(BM_FilterKonto)->Arg(1200)->Arg(4940)->Unit(benchmark::kMillisecond);

// The whole window as a user starts it on the case: created, the case
// opened on the view used last (the ledger), its first page painted.
void BM_FensterBisZurLedgerSeite(benchmark::State& state) {
    const QString pfad = fall();
    QSettings().setValue(QStringLiteral("fenster/ansicht"), QStringLiteral("buchungen"));
    ScriptedUi ui;
    for (auto _ : state) {
        fenster::Hauptfenster w;
        UiScope scope(&ui);
        w.resize(1280, 800);
        w.show();
        if (!w.fallOeffnen(pfad) || w.aktuelleAnsicht() != w.ansicht(QStringLiteral("buchungen"))) {
            state.SkipWithError("Der Fall ließ sich nicht öffnen.");
            return;
        }
        benchmark::DoNotOptimize(w.grab());
    }
}
BENCHMARK(BM_FensterBisZurLedgerSeite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
