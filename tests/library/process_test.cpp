// The real program, run as a process of its own.
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include "storage/settings.h"
#include "support/datadir.h"
#include "support/xserver.h"

namespace {

using testing_support::DataDir;
using testing_support::EntryFile;
using testing_support::SettingsFile;
using testing_support::XServer;

constexpr int kTimeoutMs = 15000;

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
