// Faults of the file system met by the running program, through its real
// widgets and real files. Under each fault the user adds an entry (typed,
// then the Add button) and, where the settings file is hit, adds a folder
// and renames one: nothing crashes, no file changes, the list and the tabs
// show what the user did, and every failed write says one line on standard
// error. Once the fault is gone, the next operation writes the whole folder
// or every settings key that was left behind.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/startup.h"
#include "storage/entries.h"
#include "storage/ini.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/dialogs.h"
#include "support/file_privileges.h"
#include "support/fs_faults.h"
#include "support/menus.h"
#include "support/rows.h"
#include "support/stderr_capture.h"
#include "support/temp_dir.h"
#include "support/tmpfs.h"
#include "support/texts.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"
#include "ui/renamewindow.h"

namespace {

using namespace testing_support::texts;

using testing_support::EntryFile;
using testing_support::SettingsFile;
using testing_support::ChangeMode;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Rows = std::vector<std::string>;

const std::string kNewName = "\xD0\xC2\xC3\xFB\xD7\xD6";  // 新名字
const QString kNewNameTyped = QStringLiteral("新名字");
const std::string kTyped = "\xC4\xFA\xBA\xC3 1";          // 您好 1
const QString kTypedText = QStringLiteral("您好 1");
const std::string kLater = "later";

const Rows kFolder0 = {"A", "\xB4\xDF\xB8\xB6"};  // 催付
const std::string kSettings =
    SettingsFile({{kCount, "3"},
                  {storage::FolderNameKey(0), kCommon},
                  {storage::FolderNameKey(1), kAfterSale},
                  {std::string(storage::kWindowWidthKey), "1043"},
                  {std::string(storage::kWindowHeightKey), "666"}});

// The data directory on a file system of its own (a small tmpfs when the
// test runs as root, else a plain folder), with three folders.
struct Place
{
    Place()
    {
        ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        std::filesystem::create_directories(data);
        WriteBytes(settings, kSettings);
        WriteBytes(entries, EntryFile(kFolder0));
        WriteBytes(data + "1.txt", EntryFile({"other"}));
    }
    ~Place() { ::unsetenv("XDG_DATA_HOME"); }

    testing_support::Tmpfs home{1 << 20};
    std::string data = home / "tovrimo/DATA/";
    std::string settings = data + "peizhi.ini";
    std::string entries = data + "0.txt";
};

// What the program says on standard error while it lives. The offscreen
// platform of the tests notes what it cannot do for a menu or a dialog
// ("This plugin does not support raise()"); those notes are no part of it.
class Said
{
public:
    Said() { s_previous = qInstallMessageHandler(&Said::Filter); }
    ~Said() { qInstallMessageHandler(s_previous); }
    Said(const Said&) = delete;
    Said& operator=(const Said&) = delete;

    std::string finish() { return m_capture.finish(); }

private:
    static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (!message.startsWith(QLatin1String("This plugin does not support")))
            s_previous(type, context, message);
    }

    static inline QtMessageHandler s_previous = nullptr;
    testing_support::StderrCapture m_capture;
};

// The program started on the place's data.
class Running
{
public:
    Running()
        : program(library::Program::Create())
    {
        program->Start();
    }

    ui::MainWindow& Window() { return program->Window(); }
    ui::FolderTabs& Tabs() { return Window().folderTabs(); }
    Rows ListRows() { return testing_support::Strings(Window().entryList().Rows()); }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (int i = 0; i < Tabs().TabCount(); ++i)
            titles.push_back(Tabs().TabName(i));
        return titles;
    }

    // Types the text into the content box, as an input method commits it,
    // and clicks the Add button.
    void AddEntry(const QString& text)
    {
        ui::ContentBox& box = Window().contentBox();
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(&box, &commit);
        QTest::mouseClick(&Window().addButton(), Qt::LeftButton);
    }

    // "增加子夹" from the folder menu of the first header.
    void AddFolder() { Choose(QStringLiteral("增加子夹")); }

    // "重命名子夹": the name typed into the rename window, closed with Esc.
    void RenameFolder(const QString& name)
    {
        bool answered = false;
        testing_support::AnswerNextWindow<ui::RenameWindow>([&answered, name](ui::RenameWindow& shown) {
            answered = true;
            QInputMethodEvent commit;
            commit.setCommitString(name);
            QCoreApplication::sendEvent(&shown.renameBox(), &commit);
            QTest::keyClick(&shown.renameBox(), Qt::Key_Escape);
        });
        Choose(QStringLiteral("重命名子夹"));
        EXPECT_TRUE(answered);
    }

    void SwitchTo(int tab) { QTest::mouseClick(&Tabs(), Qt::LeftButton, {}, Tabs().HeaderRect(tab).center()); }

    std::unique_ptr<library::Program> program;

private:
    void Choose(const QString& item)
    {
        testing_support::MenuSeen seen;
        testing_support::AnswerNextMenu(seen, item);
        QTest::mouseClick(&Tabs(), Qt::RightButton, {}, Tabs().HeaderRect(0).center());
        ASSERT_TRUE(seen.shown);
        // The item runs as an event of its own, after the press.
        QCoreApplication::sendPostedEvents();
    }
};

class ProgramFaults : public ::testing::TestWithParam<testing_support::Fault>
{
};

TEST_P(ProgramFaults, TheUserKeepsTheChangeAndTheNextOperationWritesItOut)
{
    const testing_support::Fault& fault = GetParam();
    Place place;
    testing_support::FaultPlace where{place.home, place.data, place.entries, place.settings};
    std::optional<Running> app;
    std::string why;
    if (fault.beforeStart)
        why = fault.make(where);
    app.emplace();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->Window()));
    if (!fault.beforeStart)
        why = fault.make(where);
    if (!why.empty())
        GTEST_SKIP() << why;

    const Rows rowsBefore = app->ListRows();
    std::vector<std::string> titles = app->Titles();
    const auto filesBefore = testing_support::Snapshot(place.home.path());

    // Each action under the fault says one line.
    auto underFault = [&](const char* what, const std::function<void()>& action) {
        Said capture;
        {
            std::optional<testing_support::WithoutFilePrivileges> unprivileged;
            if (fault.withoutFilePrivileges)
                unprivileged.emplace();
            action();
        }
        const std::string said = capture.finish();
        EXPECT_EQ(testing_support::CountLines(said), 1) << what << " said: " << said;
    };
    const bool entriesHit = fault.writes & testing_support::kEntryWrite;
    const bool settingsHit = fault.writes & testing_support::kSettingsWrite;
    Rows rows = rowsBefore;
    if (entriesHit) {
        underFault("Add", [&] { app->AddEntry(kTypedText); });
        rows.push_back(kTyped);
    }
    if (settingsHit) {
        underFault("增加子夹", [&] { app->AddFolder(); });
        underFault("重命名子夹", [&] { app->RenameFolder(kNewNameTyped); });
        titles.push_back("");
        titles[0] = kNewName;
    }
    EXPECT_EQ(app->ListRows(), rows);
    EXPECT_EQ(app->Titles(), titles);
    EXPECT_EQ(testing_support::Snapshot(place.home.path()), filesBefore) << "a failed write changed what is on disk";

    fault.remove(where);
    const std::string settingsLeft =
        std::filesystem::is_regular_file(place.settings) ? ReadBytes(place.settings) : std::string();
    // The next operation of the same kind writes everything out, silently.
    Said capture;
    if (entriesHit) {
        app->AddEntry(QString::fromStdString(kLater));
        rows.push_back(kLater);
    }
    if (settingsHit) {
        app->AddFolder();
        titles.push_back("");
    }
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(app->ListRows(), rows);
    EXPECT_EQ(app->Titles(), titles);
    if (entriesHit) {
        EXPECT_EQ(ReadBytes(place.entries), EntryFile(rows));
    }
    if (settingsHit) {
        // Every key left behind, in the order its write failed: the window
        // size when the start could not store it, the count, the name.
        std::vector<std::pair<std::string, std::string>> keys;
        if (fault.beforeStart) {
            keys.emplace_back(storage::kWindowWidthKey, std::to_string(app->Window().Width()));
            keys.emplace_back(storage::kWindowHeightKey, std::to_string(app->Window().Height()));
        }
        keys.emplace_back(kCount, std::to_string(titles.size()));
        keys.emplace_back(storage::FolderNameKey(0), kNewName);
        std::string settings = settingsLeft;
        for (const auto& [key, value] : keys)
            settings = storage::IniSetValue(settings, kSection, key, value);
        EXPECT_EQ(ReadBytes(place.settings), settings);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ProgramFaults, ::testing::ValuesIn(testing_support::kFileSystemFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// A save that failed is tried once more before the list shows another
// folder, and at the end of the program.
TEST(UnwrittenChanges, AChangeOfFolderWritesTheFolderWhoseSaveFailed)
{
    Place place;
    Running app;
    ChangeMode(place.entries, 0444);
    app.AddEntry(kTypedText);
    ChangeMode(place.entries, 0644);
    EXPECT_EQ(ReadBytes(place.entries), EntryFile(kFolder0));

    app.SwitchTo(1);
    Rows rows = kFolder0;
    rows.push_back(kTyped);
    EXPECT_EQ(ReadBytes(place.entries), EntryFile(rows));
    EXPECT_EQ(app.ListRows(), Rows{"other"});
    app.SwitchTo(0);
    EXPECT_EQ(app.ListRows(), rows);
}

TEST(UnwrittenChanges, TheEndOfTheProgramWritesWhatIsDue)
{
    Place place;
    Rows rows = kFolder0;
    rows.push_back(kTyped);
    {
        Running app;
        ChangeMode(place.entries, 0444);
        ChangeMode(place.settings, 0444);
        app.AddEntry(kTypedText);
        app.RenameFolder(kNewNameTyped);
        app.AddFolder();
        ChangeMode(place.entries, 0644);
        ChangeMode(place.settings, 0644);
        EXPECT_EQ(ReadBytes(place.entries), EntryFile(kFolder0));
        EXPECT_EQ(ReadBytes(place.settings), kSettings);
    }
    EXPECT_EQ(ReadBytes(place.entries), EntryFile(rows));
    EXPECT_EQ(ReadBytes(place.settings),
              storage::IniSetValue(storage::IniSetValue(kSettings, kSection, storage::FolderNameKey(0), kNewName),
                                   kSection, kCount, "4"));
}

// A folder that could not be written when the user left it stays as its file
// has it; the user's change is gone, but nothing else is, and the failure
// said so.
TEST(UnwrittenChanges, AFolderStillFailingWhenLeftKeepsItsFile)
{
    Place place;
    Running app;
    ChangeMode(place.entries, 0444);
    app.AddEntry(kTypedText);
    Said capture;
    app.SwitchTo(1);
    EXPECT_EQ(testing_support::CountLines(capture.finish()), 1);
    EXPECT_EQ(ReadBytes(place.entries), EntryFile(kFolder0));
    app.SwitchTo(0);
    EXPECT_EQ(app.ListRows(), kFolder0);
}

// A folder shown empty because its file could not be read is not written
// while it shows, not even once the file can be read again: that would throw
// away every entry the file holds.
TEST(UnwrittenChanges, AFolderWhoseFileCouldNotBeReadIsNotWrittenOver)
{
    Place place;
    ChangeMode(place.entries, 0000);
    std::optional<Running> app;
    {
        testing_support::WithoutFilePrivileges asAnyUser;
        app.emplace();
    }
    EXPECT_EQ(app->ListRows(), Rows{});
    ChangeMode(place.entries, 0644);
    Said capture;
    app->AddEntry(kTypedText);
    EXPECT_EQ(testing_support::CountLines(capture.finish()), 1);
    EXPECT_EQ(app->ListRows(), Rows{kTyped});
    app.reset();
    EXPECT_EQ(ReadBytes(place.entries), EntryFile(kFolder0));

    Running again;
    EXPECT_EQ(again.ListRows(), kFolder0);
}

}  // namespace
