// Loading a folder and building the folder tabs, on the real widgets.
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "benchdata.h"
#include "library/startup.h"
#include "storage/paths.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"

namespace {

// LoadFolder of a folder with 100,000 entries of about 200 bytes (20 MB).
void BM_LoadFolder(benchmark::State& state)
{
    QTemporaryDir home;
    const std::size_t bytes = bench_data::Write(home.path().toStdString(), 1,
                                                static_cast<int>(state.range(0)));
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    storage::InitPaths();
    ui::MainWindow window;
    for (auto _ : state)
        library::LoadFolder(window);
    if (window.entryList().RowCount() != state.range(0))
        state.SkipWithError("the folder did not load whole");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    storage::ReleasePaths();
}
BENCHMARK(BM_LoadFolder)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Appending tabs costs the same for each tab, however many there are.
void BM_AppendTabs(benchmark::State& state)
{
    for (auto _ : state) {
        ui::FolderTabs tabs;
        tabs.resize(824, 600);
        for (int i = 1; i < state.range(0); ++i)
            tabs.AppendTab("\xD5\xCB\xBA\xC5" + std::to_string(i));
        benchmark::DoNotOptimize(tabs.TabCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendTabs)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace
