// Starts exactly as the program does and ends after the main window's first
// painted frame, so that whole starts can be timed (scripts/bench-startup).
// On its way out it tells its resident memory on standard error.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

#include "library/startup.h"
#include "ui/mainwindow.h"

namespace {

class QuitAfterFirstPaint final : public QObject
{
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The frame is on the screen once the paint that began here has
        // been flushed: quit with the next turn of the event loop.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_seen = false;
};

void PrintMemory()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmHWM:", 0) == 0 || line.rfind("RssAnon:", 0) == 0
            || line.rfind("RssFile:", 0) == 0)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<library::Program> program = library::Program::Create();
    if (!program)
        return 0;
    QuitAfterFirstPaint quit;
    program->Window().installEventFilter(&quit);
    program->Start();
    app.exec();
    PrintMemory();
    return 0;
}
