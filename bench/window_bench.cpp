// A window drag and a window resize, through the real program: the window
// system moves or resizes the main window, the event loop delivers it (and
// repaints what changed), and the handlers store the size in the real
// settings file or lay the controls out. The floor is the same program,
// same folder and same entries, with the handler under test disconnected.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "benchdata.h"
#include "library/startup.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kEventsPerIteration = 100;

// Counts the events, and their average cost.
void Report(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kEventsPerIteration);
    state.counters["per_event"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kEventsPerIteration),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The started program on its own data directory: `folders` folders, the
// first one holding 1,000 entries of about 200 bytes.
class Subject
{
public:
    explicit Subject(int folders)
    {
        bench_data::Write(m_home.path().toStdString(), folders, 1'000);
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", m_home.path().toLocal8Bit());
        m_program = library::Program::Create();
        if (m_program)
            m_program->Start();
        Settle();
    }

    ui::MainWindow& Window() { return m_program->Window(); }
    QWindow& Native() { return *Window().windowHandle(); }
    bool Valid() const { return m_home.isValid() && m_program; }

    // For the floor: the event's handler no longer runs.
    template <typename Signal>
    void Disconnect(Signal signal)
    {
        QObject::disconnect(&Window(), signal, nullptr, nullptr);
    }

    // Makes the change, then runs the event loop until the given event has
    // reported it.
    template <typename Signal>
    bool Deliver(Signal signal, const std::function<void()>& change)
    {
        int raised = 0;
        const QMetaObject::Connection counting = QObject::connect(&Window(), signal, [&] { ++raised; });
        change();
        for (int spins = 0; raised == 0 && spins < 1'000; ++spins)
            QCoreApplication::processEvents();
        QObject::disconnect(counting);
        return raised > 0;
    }

    // Per iteration, 100 changes by the window system, each delivered until
    // its event has run; change(n) makes the n-th change of the run.
    template <typename Signal>
    void Steps(benchmark::State& state, Signal signal, const std::function<void(int)>& change)
    {
        int step = 0;
        for (auto _ : state) {
            for (int i = 0; i < kEventsPerIteration; ++i) {
                ++step;
                if (!Deliver(signal, [&] { change(step); })) {
                    state.SkipWithError("a change was not reported");
                    return;
                }
            }
        }
        Report(state);
    }

private:
    void Settle()
    {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }

    QTemporaryDir m_home;
    std::unique_ptr<library::Program> m_program;
};

// A drag: 100 moves of the window, each raising position-changed, whose
// handler writes both keys (the bytes stay as they are). The settings file
// names every folder, so it grows with them: 3 folders are 0.1 KB, 100,000
// folders 2.4 MB.
// Arguments: handlers (0 = floor), folders.
void BM_Drag(benchmark::State& state)
{
    Subject subject(static_cast<int>(state.range(1)));
    if (!subject.Valid()) {
        state.SkipWithError("no data directory");
        return;
    }
    if (state.range(0) == 0)
        subject.Disconnect(&ui::MainWindow::positionChanged);
    // Steps() counts the events through a connection of its own.
    const QPoint start = subject.Native().position();
    subject.Steps(state, &ui::MainWindow::positionChanged, [&](int step) {
        subject.Native().setPosition(start + QPoint(step % 50, step % 30));
    });
}
BENCHMARK(BM_Drag)
    ->ArgNames({"handlers", "folders"})
    ->Args({0, 3})
    ->Args({1, 3})
    ->Args({1, 1'000})
    ->Args({1, 10'000})
    ->Args({1, 100'000})
    ->Unit(benchmark::kMillisecond);

// A resize at the bottom-right corner: 100 sizes, each raising
// size-changed, whose handler lays the six controls out; every step is
// repainted. Without the handler (the floor) the controls keep their place
// and size, and only the window around them grows.
// Arguments: handlers (0 = floor).
void BM_Resize(benchmark::State& state)
{
    Subject subject(3);
    if (!subject.Valid()) {
        state.SkipWithError("no data directory");
        return;
    }
    if (state.range(0) == 0)
        subject.Disconnect(&ui::MainWindow::sizeChanged);
    const QSize start = subject.Native().size();
    subject.Steps(state, &ui::MainWindow::sizeChanged, [&](int step) {
        subject.Native().resize(start + QSize(step % 50 + 1, step % 30 + 1));
    });
}
BENCHMARK(BM_Resize)->ArgNames({"handlers"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The size-changed handler alone: 100 sizes written by the program, each
// running ApplyLayout inside the write, with the controls' own handling of
// their new sizes; the repaint that follows is left out (see BM_Resize).
void BM_ApplyLayout(benchmark::State& state)
{
    Subject subject(3);
    if (!subject.Valid()) {
        state.SkipWithError("no data directory");
        return;
    }
    ui::MainWindow& window = subject.Window();
    const int width = window.Width();
    int step = 0;
    for (auto _ : state) {
        for (int i = 0; i < kEventsPerIteration; ++i)
            window.SetWidth(width + ++step % 50 + 1);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    Report(state);
}
BENCHMARK(BM_ApplyLayout)->Unit(benchmark::kMillisecond);

}  // namespace
