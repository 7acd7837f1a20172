// Tovrimo as a user meets it: the built program, copied into a folder of its
// own with a DATA folder beside it, run in an X server of the test's own and
// driven from outside with xdotool. Results are read only from outside: the
// files, the clipboard, the window and the exit code.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "storage/entries.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/xserver.h"
#include "support/texts.h"

namespace {

using namespace testing_support::texts;

using testing_support::EntryFile;
using testing_support::SettingsFile;
using testing_support::XServer;

constexpr int kTimeoutMs = 15000;

const std::string S(storage::kEntrySeparator);

// Where the controls stand in a 700 x 400 window, in its client area.
constexpr QPoint kEntryListTopLeft{16, 40};
constexpr QPoint kAddButton{561, 48};
constexpr QPoint kContentBox{600, 150};
constexpr QPoint kFolderHeaders{40, 14};

QString Decode(const std::string& gbk)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(QByteArray::fromStdString(gbk));
}

// A portable installation in a temporary folder: the executable with DATA
// beside it, and a home and runtime folder of its own.
class Installation
{
public:
    Installation()
    {
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("app/DATA"));
        root.mkpath(QStringLiteral("home"));
        root.mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(Path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::copy(QStringLiteral(TOVRIMO_EXECUTABLE), Path("app/tovrimo"));
    }

    QString Path(const char* relative) const { return m_root.filePath(QString::fromUtf8(relative)); }
    std::string Data(const std::string& name) const { return Path("app/DATA").toStdString() + "/" + name; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        QFile file(QString::fromStdString(Data(name)));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string Read(const std::string& name) const
    {
        QFile file(QString::fromStdString(Data(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    // Every file in DATA with its bytes.
    std::map<std::string, std::string> Files() const
    {
        std::map<std::string, std::string> files;
        for (const QString& name : QDir(Path("app/DATA")).entryList(QDir::Files | QDir::Hidden))
            files[name.toStdString()] = Read(name.toStdString());
        return files;
    }

private:
    QTemporaryDir m_root;
};

// One run of the installed program on the X server; killed by its process
// id when the test ends, however it ends.
class Program
{
public:
    Program(const Installation& installation, const XServer& x) : m_x(x)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("HOME"), installation.Path("home"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), installation.Path("runtime"));
        env.insert(QStringLiteral("DISPLAY"), x.Display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // In the sanitizers' build the program is checked as the tests are,
        // with the same suppressions.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (qEnvironmentVariableIsSet(name))
                env.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
        }
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(installation.Path("app/tovrimo"), {});
        m_process.waitForStarted(kTimeoutMs);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kTimeoutMs);
        }
    }

    QProcess& Process() { return m_process; }
    bool Running() const { return m_process.state() == QProcess::Running; }
    // The exit code, or nothing when it did not end in time or crashed.
    std::optional<int> WaitForExit()
    {
        if (!m_process.waitForFinished(kTimeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        return m_process.exitCode();
    }

    // The id of the program's main window, once it is shown.
    QString Window()
    {
        if (m_window.isEmpty()) {
            m_window = m_x.Run(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--pid"), QString::number(m_process.processId()),
                                QStringLiteral("--name"), QStringLiteral("^Tovrimo$")})
                           .section(QLatin1Char('\n'), 0, 0);
        }
        return m_window;
    }

    // The window's size as the X server has it.
    QSize Size()
    {
        const QString shell = m_x.Run(QStringLiteral("xdotool"),
                                      {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), Window()});
        QSize size;
        for (const QString& line : shell.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("WIDTH=")))
                size.setWidth(line.mid(6).toInt());
            if (line.startsWith(QLatin1String("HEIGHT=")))
                size.setHeight(line.mid(7).toInt());
        }
        return size;
    }

    void Click(QPoint at, int button = 1)
    {
        m_x.Run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QStringLiteral("--window"), Window(), QString::number(at.x()),
                 QString::number(at.y()), QStringLiteral("click"), QString::number(button)});
    }
    // Keys go to the window under the pointer: without a window manager the
    // X server's focus follows the pointer.
    void Keys(const QStringList& keys)
    {
        QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")};
        m_x.Run(QStringLiteral("xdotool"), arguments + keys);
    }

private:
    const XServer& m_x;
    QProcess m_process;
    QString m_window;
};

// What the clipboard holds as UTF-8 text; empty when nobody owns it.
QString Clipboard(const XServer& x)
{
    QProcess xclip;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.Display());
    xclip.setProcessEnvironment(env);
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard"), QStringLiteral("-t"),
                                          QStringLiteral("UTF8_STRING")});
    xclip.waitForFinished(kTimeoutMs);
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

// Waits until the condition holds; false when it never did.
template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = kTimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

// Puts text on the clipboard the way another program would: xclip owns the
// selection, in the foreground, until the test ends.
class ClipboardOwner
{
public:
    ClipboardOwner(const XServer& x, const QString& text)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), x.Display());
        m_xclip.setProcessEnvironment(env);
        m_xclip.start(QStringLiteral("xclip"),
                      {QStringLiteral("-quiet"), QStringLiteral("-i"), QStringLiteral("-selection"),
                       QStringLiteral("clipboard"), QStringLiteral("-t"), QStringLiteral("UTF8_STRING")});
        m_xclip.waitForStarted(kTimeoutMs);
        // Without an event loop, only a wait moves the bytes into the pipe.
        m_xclip.write(text.toUtf8());
        m_xclip.waitForBytesWritten(kTimeoutMs);
        m_xclip.closeWriteChannel();
        m_owned = Eventually([&] { return Clipboard(x) == text; });
        // Let the program that held the clipboard hear that it lost it.
        QThread::msleep(300);
    }
    bool Owned() const { return m_owned; }
    ~ClipboardOwner()
    {
        m_xclip.kill();
        m_xclip.waitForFinished(kTimeoutMs);
    }

private:
    QProcess m_xclip;
    bool m_owned = false;
};

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (x.Display().isEmpty())
            GTEST_FAIL() << "Xvfb did not start";
    }

    // Clicks down the entry list until the clipboard shows the row's text;
    // gives the point that picked it, or nothing.
    std::optional<QPoint> FindRow(Program& run, const QString& text)
    {
        for (int y = kEntryListTopLeft.y() + 2; y < kEntryListTopLeft.y() + 300; y += 4) {
            const QPoint at(kEntryListTopLeft.x() + 60, y);
            run.Click(at);
            if (Eventually([&] { return Clipboard(x) == text; }, 300))
                return at;
        }
        return std::nullopt;
    }

    XServer x;
    Installation installation;
};

TEST_F(EndToEnd, AFirstStartOpensTheFallbackSizeAndStoresIt)
{
    Program run(installation, x);
    ASSERT_FALSE(run.Window().isEmpty());
    EXPECT_EQ(x.Run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), run.Window()}),
              QStringLiteral("Tovrimo"));
    EXPECT_EQ(run.Size(), QSize(700, 400));
    const std::string settings = SettingsFile({{kWidth, "700"}, {kHeight, "400"}});
    EXPECT_TRUE(Eventually([&] { return installation.Read("peizhi.ini") == settings; }))
        << installation.Read("peizhi.ini");
}

TEST_F(EndToEnd, PickAddDeleteAndAddFolderReachTheClipboardAndTheFiles)
{
    const std::vector<std::string> entries{"Hello!", "\xC4\xFA\xBA\xC3\xA3\xAC\xC7\xEB\xC9\xD4\xB5\xC8",
                                           "third\r\nline"};
    installation.Write("0.txt", EntryFile(entries));
    Program run(installation, x);
    ASSERT_FALSE(run.Window().isEmpty());

    // A click on the second row puts its text on the clipboard.
    ASSERT_TRUE(FindRow(run, Decode(entries[0])).has_value()) << "the first row was never picked";
    const std::optional<QPoint> second = FindRow(run, Decode(entries[1]));
    ASSERT_TRUE(second.has_value()) << "the second row was never picked";
    EXPECT_EQ(Clipboard(x), QString::fromUtf8("您好，请稍等"));

    // Text typed into the content box, Chinese pasted in, then "加添内容".
    run.Click(kContentBox);
    run.Keys({QStringLiteral("ctrl+a"), QStringLiteral("BackSpace"), QStringLiteral("O"), QStringLiteral("K"),
              QStringLiteral("space")});
    {
        ClipboardOwner other(x, QString::fromUtf8("谢谢"));
        ASSERT_TRUE(other.Owned());
        run.Keys({QStringLiteral("ctrl+v")});
        QThread::msleep(300);
    }
    run.Click(kAddButton);
    const std::string added = "OK \xD0\xBB\xD0\xBB";
    EXPECT_TRUE(Eventually([&] { return installation.Read("0.txt") == EntryFile(entries) + added + S; }))
        << installation.Read("0.txt");

    // A right press on the second row, then "删除表项", the menu's first item.
    run.Click(*second, 3);
    run.Keys({QStringLiteral("Down"), QStringLiteral("Return")});
    EXPECT_TRUE(Eventually([&] {
        return installation.Read("0.txt") == EntryFile({entries[0], entries[2], added});
    })) << installation.Read("0.txt");

    // A right press on the folder headers, then "增加子夹".
    run.Click(kFolderHeaders, 3);
    run.Keys({QStringLiteral("Down"), QStringLiteral("Return")});
    EXPECT_TRUE(Eventually([&] {
        return installation.Read("peizhi.ini").find(kCount + "=2\r\n") != std::string::npos;
    })) << installation.Read("peizhi.ini");
}

TEST_F(EndToEnd, EscEndsTheProgramWithZero)
{
    Program run(installation, x);
    ASSERT_FALSE(run.Window().isEmpty());
    run.Click(kContentBox);
    const auto before = installation.Files();
    run.Keys({QStringLiteral("Escape")});
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_EQ(installation.Files(), before);
}

TEST_F(EndToEnd, ASecondCopyOnTheSameDataEndsWithZeroAndTheFirstKeepsRunning)
{
    Program first(installation, x);
    ASSERT_FALSE(first.Window().isEmpty());
    Program second(installation, x);
    EXPECT_EQ(second.WaitForExit(), 0);
    QThread::msleep(300);
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(first.Window().isEmpty());
}

}  // namespace
