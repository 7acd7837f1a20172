// The real program, run as a process of its own.
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

#include "storage/settings.h"
#include "support/datadir.h"
#include "support/xserver.h"

namespace {

using testing_support::DataDir;
using testing_support::EntryFile;
using testing_support::SettingsFile;
using testing_support::XServer;

constexpr int kTimeoutMs = 15000;

// Runs xdotool on the display; its output, and its exit code in *exitCode.
QString XDoTool(const QString& display, const QStringList& arguments, int* exitCode = nullptr)
{
    return testing_support::RunOnDisplay(display, QStringLiteral("xdotool"), arguments, exitCode);
}

// Polls until the condition holds or the time is up; whether it held.
bool WaitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < kTimeoutMs / 50; ++i) {
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

// Openbox on the display, as a desktop puts a frame around each window.
class WindowManager
{
public:
    explicit WindowManager(const QString& display)
        : m_display(display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        m_manager.setProcessEnvironment(env);
        m_manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        m_manager.waitForStarted(kTimeoutMs);
    }
    ~WindowManager()
    {
        m_manager.terminate();
        if (!m_manager.waitForFinished(kTimeoutMs)) {
            m_manager.kill();
            m_manager.waitForFinished();
        }
    }

    // Whether it manages the screen: only a window manager tells the
    // number of desktops.
    bool Ready() const
    {
        return WaitFor([this] {
            int exitCode = -1;
            XDoTool(m_display, {QStringLiteral("get_num_desktops")}, &exitCode);
            return exitCode == 0;
        });
    }

private:
    QString m_display;
    QProcess m_manager;
};

// The program on one data directory, its lock and socket in a runtime
// folder of the test's own.
class Tovrimo
{
public:
    Tovrimo(const DataDir& data, const QString& runtime, const QString& display = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(data.Home()));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        if (display.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        } else {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(TOVRIMO_EXECUTABLE), {});
        m_process.waitForStarted(kTimeoutMs);
    }
    ~Tovrimo()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QProcess& Process() { return m_process; }
    bool Running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

// Waits until a copy of the program listens in the runtime folder.
bool WaitUntilListening(const QString& runtime)
{
    for (int i = 0; i < kTimeoutMs / 50; ++i) {
        for (const QString& name : QDir(runtime).entryList({QStringLiteral("*.socket")}, QDir::System)) {
            QLocalSocket socket;
            socket.connectToServer(runtime + QLatin1Char('/') + name);
            if (socket.waitForConnected(100))
                return true;
        }
        QThread::msleep(50);
    }
    return false;
}

class ProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        data.Write("peizhi.ini",
                   SettingsFile({{std::string(storage::kFolderCountKey), "2"},
                                 {std::string(storage::kWindowWidthKey), "1043"},
                                 {std::string(storage::kWindowHeightKey), "666"}}));
        data.Write("0.txt", EntryFile({"A", "\xB3\xA3\xD3\xC3"}));
    }

    DataDir data;
    QTemporaryDir runtime;
};

TEST_F(ProcessTest, EscInTheContentBoxEndsTheProgramWithZeroAndWritesNothing)
{
    XServer x;
    ASSERT_FALSE(x.Display().isEmpty()) << "no X server";
    Tovrimo program(data, runtime.path(), x.Display());
    const QString window = x.Run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                                  QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                                  QStringLiteral("^Tovrimo$")});
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(WaitUntilListening(runtime.path()));
    const auto before = data.Files();

    // Into the content box at its design place, then Esc.
    x.Run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                          QStringLiteral("900"), QStringLiteral("200"), QStringLiteral("click"),
                          QStringLiteral("1")});
    x.Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Escape")});

    ASSERT_TRUE(program.Process().waitForFinished(kTimeoutMs));
    EXPECT_EQ(program.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.Process().exitCode(), 0);
    EXPECT_EQ(data.Files(), before);
}

// The client area of a window, as the X server has it.
QSize ClientSize(const QString& display, const QString& window)
{
    static const QRegularExpression geometry(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    const QRegularExpressionMatch match =
        geometry.match(XDoTool(display, {QStringLiteral("getwindowgeometry"), window}));
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

// Under a window manager the frame around the window becomes known only
// once the window is shown, after start-up has given the stored outer size
// to the client area. The frame must not be added to the stored size: a
// window that is started and closed keeps its size start after start.
TEST_F(ProcessTest, UnderAWindowManagerTheWindowKeepsItsStoredSizeStartAfterStart)
{
    XServer x;
    ASSERT_FALSE(x.Display().isEmpty()) << "no X server";
    WindowManager manager(x.Display());
    ASSERT_TRUE(manager.Ready()) << "openbox does not manage the screen";
    const std::string width(storage::kWindowWidthKey);
    const std::string height(storage::kWindowHeightKey);
    data.Write("peizhi.ini", SettingsFile({{width, "900"}, {height, "600"}}));

    // Polled: a search gives up at once when a window it looks at goes away
    // meanwhile, as the window manager's frames of the last run do.
    const auto start = [&](Tovrimo& program) {
        QString window;
        EXPECT_TRUE(WaitFor([&] {
            window = XDoTool(x.Display(), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                           QStringLiteral("--pid"),
                                           QString::number(program.Process().processId()),
                                           QStringLiteral("--name"), QStringLiteral("^Tovrimo$")});
            return !window.isEmpty();
        })) << "no window";
        return window;
    };
    const auto close = [&](Tovrimo& program, const QString& window) {
        XDoTool(x.Display(), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        XDoTool(x.Display(), {QStringLiteral("keydown"), QStringLiteral("Escape")});
        XDoTool(x.Display(), {QStringLiteral("keyup"), QStringLiteral("Escape")});
        EXPECT_TRUE(program.Process().waitForFinished(kTimeoutMs));
        EXPECT_EQ(program.Process().exitCode(), 0);
    };

    // The frame appears and the client area gives way to it.
    QSize frame;
    {
        Tovrimo program(data, runtime.path(), x.Display());
        const QString window = start(program);
        ASSERT_FALSE(window.isEmpty());
        QSize client;
        ASSERT_TRUE(WaitFor([&] {
            client = ClientSize(x.Display(), window);
            return client.isValid() && client != QSize(900, 600);
        })) << "the client area kept the whole outer size";
        frame = QSize(900, 600) - client;
        EXPECT_GT(frame.height(), 0);

        // Resized at the bottom-right corner, then moved: the move stores
        // the outer size.
        XDoTool(x.Display(), {QStringLiteral("windowsize"), window, QStringLiteral("1000"), QStringLiteral("700")});
        EXPECT_TRUE(WaitFor([&] { return ClientSize(x.Display(), window) == QSize(1000, 700); }));
        XDoTool(x.Display(), {QStringLiteral("windowmove"), window, QStringLiteral("40"), QStringLiteral("30")});
        const std::string stored = SettingsFile({{width, std::to_string(1000 + frame.width())},
                                                 {height, std::to_string(700 + frame.height())}});
        EXPECT_TRUE(WaitFor([&] { return data.Files()["peizhi.ini"] == stored; }))
            << data.Files()["peizhi.ini"];
        close(program, window);
    }

    // Each later start gives the client area the size it had, and stores
    // the same outer size again.
    const auto stored = data.Files()["peizhi.ini"];
    for (int run = 0; run < 2; ++run) {
        Tovrimo program(data, runtime.path(), x.Display());
        const QString window = start(program);
        ASSERT_FALSE(window.isEmpty());
        EXPECT_TRUE(WaitFor([&] { return ClientSize(x.Display(), window) == QSize(1000, 700); }))
            << "run " << run << ": " << ClientSize(x.Display(), window).width() << "x"
            << ClientSize(x.Display(), window).height();
        close(program, window);
        EXPECT_EQ(data.Files()["peizhi.ini"], stored) << "run " << run;
    }
}

TEST_F(ProcessTest, ASecondStartOnTheSameDataEndsWithZeroAndLeavesTheFirstRunning)
{
    Tovrimo first(data, runtime.path());
    ASSERT_TRUE(WaitUntilListening(runtime.path()));

    Tovrimo second(data, runtime.path());
    ASSERT_TRUE(second.Process().waitForFinished(kTimeoutMs));
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0);
    QThread::msleep(200);
    EXPECT_TRUE(first.Running());
}

TEST_F(ProcessTest, TheLockOfACrashedCopyDoesNotBlockTheNextStart)
{
    {
        Tovrimo crashed(data, runtime.path());
        ASSERT_TRUE(WaitUntilListening(runtime.path()));
        crashed.Process().kill();  // SIGKILL: no clean-up at all
        crashed.Process().waitForFinished();
    }
    Tovrimo next(data, runtime.path());
    EXPECT_TRUE(WaitUntilListening(runtime.path()));
    EXPECT_TRUE(next.Running());
}

}  // namespace
