// The entry operations on a folder of 100,000 entries (about 20 MB), on the
// real main window with its handlers, offscreen.
//
// A change rewrites the whole entry file, so its floor is writing those
// bytes alone: one plain write and fsync of a file of the same size in the
// same directory, measured in the same iteration as the operation, so that
// both see the same disk and the same load. Reported as medians: the
// handler (op_ms, the benchmark's time), the repaint it causes once the
// event loop runs (paint_ms), the floor, and the handler's ratio to it.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "benchdata.h"
#include "library/entries.h"
#include "library/startup.h"
#include "storage/entries.h"
#include "storage/paths.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kEntries = 100'000;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The program's main window with every handler, started on a data directory
// on the disk the user's files would be on (TOVRIMO_BENCH_DIR, or the
// working directory), not in memory.
class Program
{
public:
    Program()
    {
        const char* base = std::getenv("TOVRIMO_BENCH_DIR");
        std::string pattern = std::string(base ? base : std::filesystem::current_path().c_str()) +
                              "/tovrimo-bench-XXXXXX";
        m_home = ::mkdtemp(pattern.data());
        bench_data::Write(m_home, 1, kEntries);
        ::setenv("XDG_DATA_HOME", m_home.c_str(), 1);
        library::ConnectHandlers(window);
        window.Start();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "entries_bench: the window was never shown\n");
    }
    ~Program()
    {
        storage::ReleasePaths();
        std::filesystem::remove_all(m_home);
    }

    ui::EntryList& List() { return window.entryList(); }

    void Select(int row)
    {
        List().selectionModel()->select(List().model()->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // The floor: the folder's bytes as they are now, written plainly over a
    // file of their own and flushed to disk.
    double PlainWriteAndFsync()
    {
        const std::string bytes = storage::JoinEntries(List().Rows());
        const std::string path = storage::DataPath() + "plain.txt";
        const Clock::time_point start = Clock::now();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) ==
                                            static_cast<ssize_t>(bytes.size());
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
        const double ms = Milliseconds(Clock::now() - start);
        return written ? ms : -1;
    }

    ui::MainWindow window;

private:
    std::string m_home;
};

// Made at the first use, and gone before the application object is: a
// window must not outlive it.
std::unique_ptr<Program> g_program;

Program& Started()
{
    if (!g_program) {
        g_program = std::make_unique<Program>();
        qAddPostRoutine([] { g_program.reset(); });
    }
    return *g_program;
}

// One user action, and the repaint it causes once the event loop runs, in
// milliseconds.
struct Times
{
    double action;
    double paint;
};
Times Timed(const std::function<void()>& action)
{
    const Clock::time_point start = Clock::now();
    action();
    const Clock::time_point acted = Clock::now();
    QCoreApplication::processEvents();
    return {Milliseconds(acted - start), Milliseconds(Clock::now() - acted)};
}

// Runs the action once per iteration (prepare runs before it, untimed), each
// time next to the floor.
void AgainstTheFloor(benchmark::State& state, const std::function<void()>& prepare,
                     const std::function<void()>& action)
{
    Program& program = Started();
    if (program.List().RowCount() < kEntries - 1000) {
        state.SkipWithError("the folder did not load whole");
        return;
    }
    std::vector<double> operation;
    std::vector<double> paint;
    std::vector<double> floor;
    for (auto _ : state) {
        prepare();
        const Times times = Timed(action);
        state.SetIterationTime(times.action / 1000);
        operation.push_back(times.action);
        paint.push_back(times.paint);
        const double floorMs = program.PlainWriteAndFsync();
        if (floorMs < 0) {
            state.SkipWithError("the plain write failed");
            return;
        }
        floor.push_back(floorMs);
    }
    state.counters["op_ms"] = Median(operation);
    state.counters["paint_ms"] = Median(paint);
    state.counters["floor_ms"] = Median(floor);
    state.counters["ratio"] = Median(operation) / Median(floor);
}

// A typical reply, typed into the content box.
const std::string kTyped = "Reply: thanks for waiting, your parcel left the warehouse today "
                           "\xC4\xFA\xBA\xC3\xA3\xA1 and arrives in two or three days.";

// Target: within 1.5 times the floor.
void BM_AddEntry(benchmark::State& state)
{
    Program& program = Started();
    program.Select(kEntries / 2);
    AgainstTheFloor(
        state, [&] { program.window.contentBox().SetText(kTyped); },
        [&] { program.window.addButton().click(); });
}
BENCHMARK(BM_AddEntry)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

void BM_ModifyEntry(benchmark::State& state)
{
    Program& program = Started();
    AgainstTheFloor(
        state,
        [&] {
            program.Select(kEntries / 2);
            program.window.contentBox().SetText(kTyped);
        },
        [&] { program.window.modifyButton().click(); });
}
BENCHMARK(BM_ModifyEntry)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

// The menu item's event, as it arrives after the menu has closed.
void BM_MoveEntryUp(benchmark::State& state)
{
    Program& program = Started();
    AgainstTheFloor(
        state, [&] { program.Select(kEntries / 2); },
        [&] { emit program.window.moveEntryUpChosen(); });
}
BENCHMARK(BM_MoveEntryUp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

void BM_DeleteEntry(benchmark::State& state)
{
    Program& program = Started();
    AgainstTheFloor(
        state, [&] { program.Select(kEntries / 2); },
        [&] { emit program.window.deleteEntryChosen(); });
}
BENCHMARK(BM_DeleteEntry)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

// The write alone, for the share of the operations above that is not the
// file's.
void BM_SaveFolder(benchmark::State& state)
{
    Program& program = Started();
    AgainstTheFloor(state, [] {}, [&] { library::SaveFolder(program.window); });
}
BENCHMARK(BM_SaveFolder)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

// A click on a row in the middle of the folder: the selection, the content
// box and the clipboard, and the repaint. Target: under 5 ms.
void BM_PickEntry(benchmark::State& state)
{
    Program& program = Started();
    ui::EntryList& list = program.List();
    const int first = kEntries / 2;
    list.scrollTo(list.model()->index(first, 0), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    const QPoint rows[2] = {list.visualRect(list.model()->index(first + 1, 0)).center(),
                            list.visualRect(list.model()->index(first + 2, 0)).center()};
    std::vector<double> operation;
    std::vector<double> total;
    int n = 0;
    for (auto _ : state) {
        const QPoint at = rows[n++ % 2];
        const Times times = Timed([&] { QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at); });
        state.SetIterationTime(times.action / 1000);
        operation.push_back(times.action);
        total.push_back(times.action + times.paint);
    }
    if (program.window.contentBox().Text().empty())
        state.SkipWithError("the click picked nothing");
    state.counters["op_ms"] = Median(operation);
    state.counters["with_paint_ms"] = Median(total);
}
BENCHMARK(BM_PickEntry)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(200);

}  // namespace
