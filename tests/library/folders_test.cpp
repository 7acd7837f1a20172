#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/startup.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/menus.h"
#include "support/dialogs.h"
#include "support/rows.h"
#include "support/started.h"
#include "support/texts.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"
#include "ui/renamewindow.h"

namespace {

using namespace testing_support::texts;

using testing_support::AnswerNextMenu;
using testing_support::AnswerNextWindow;
using testing_support::DataDir;
using testing_support::EntryFile;
using testing_support::MenuSeen;
using testing_support::SettingsFile;


// Names in code page 936, and as they are typed.
const std::string kNewName = "\xD0\xC2\xC3\xFB\xD7\xD6";  // 新名字
const std::string kService = "\xBF\xCD\xB7\xFE";         // 客服
const QString kCommonTyped = QStringLiteral("常用");
const QString kNewNameTyped = QStringLiteral("新名字");

const std::vector<std::string> kFolder0 = {"A", "B", "C"};
const std::vector<std::string> kFolder1 = {"second", kAfterSale};
const std::vector<std::string> kFolder10 = {"tenth"};

// Stored sizes that the window opens at, so that saving the size in effect
// at the start leaves the settings file as it was.
const std::pair<std::string, std::string> kStoredWidth{kWidth, "1043"};
const std::pair<std::string, std::string> kStoredHeight{kHeight, "666"};

// The program as it starts on a data directory.
class Started : public testing_support::StartedProgram
{
public:

    QPoint HeaderCentre(int tab) { return Tabs().HeaderRect(tab).center(); }

    // A left press on a tab's header.
    void Switch(int tab) { QTest::mouseClick(&Tabs(), Qt::LeftButton, {}, HeaderCentre(tab)); }

    // A right press on a tab's header and the item chosen from the folder
    // menu; returns once the item's command has run.
    void Choose(int header, const QString& item)
    {
        MenuSeen seen;
        AnswerNextMenu(seen, item);
        QTest::mouseClick(&Tabs(), Qt::RightButton, {}, HeaderCentre(header));
        ASSERT_TRUE(seen.shown);
        // The item runs as an event of its own, after the press.
        QCoreApplication::sendPostedEvents();
    }
};

std::string SettingsBytes(const DataDir& data)
{
    const auto files = data.Files();
    const auto it = files.find("peizhi.ini");
    return it == files.end() ? std::string() : it->second;
}

std::map<std::string, std::string> EntryFiles(const DataDir& data)
{
    std::map<std::string, std::string> files = data.Files();
    files.erase("peizhi.ini");
    return files;
}

// What the user does, step by step.
struct Step
{
    enum class Kind
    {
        Switch,  // left press on `header`
        Add,     // "增加子夹" after a right press on `header`
        Rename,  // "重命名子夹" after a right press on `header`: `pasted`
                 // into the rename box, then Esc or the close box
    };
    Kind kind;
    int header = 0;
    QString pasted;
    bool closeBox = false;
};

Step SwitchTo(int header)
{
    return {Step::Kind::Switch, header, {}, false};
}
Step Add(int header)
{
    return {Step::Kind::Add, header, {}, false};
}
Step Rename(int header, QString pasted, bool closeBox = false)
{
    return {Step::Kind::Rename, header, std::move(pasted), closeBox};
}

// What a rename window showed, and what had changed while it was open.
struct RenameSeen
{
    bool opened = false;
    QString textOnOpen;
    bool tabChangedWhileOpen = false;
    bool fileChangedWhileOpen = false;
};

// Answers the next rename window: pastes the text, looks at the tab and the
// settings file, then closes it with Esc or the close box.
void AnswerRenameWindow(Started& app, const DataDir& data, const Step& step, RenameSeen& seen)
{
    const std::string titleBefore = app.Tabs().TabName(app.Tabs().CurrentTab());
    const std::string fileBefore = SettingsBytes(data);
    AnswerNextWindow<ui::RenameWindow>([&app, &data, step, &seen, titleBefore,
                                        fileBefore](ui::RenameWindow& shown) {
        QLineEdit& box = shown.renameBox();
        seen.opened = true;
        seen.textOnOpen = box.text();
        if (!step.pasted.isEmpty()) {
            QApplication::clipboard()->setText(step.pasted);
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        }
        seen.tabChangedWhileOpen = app.Tabs().TabName(app.Tabs().CurrentTab()) != titleBefore;
        seen.fileChangedWhileOpen = SettingsBytes(data) != fileBefore;
        if (step.closeBox)
            shown.windowHandle()->close();
        else
            QTest::keyClick(&box, Qt::Key_Escape);
    });
}

void Perform(Started& app, const DataDir& data, const Step& step)
{
    switch (step.kind) {
    case Step::Kind::Switch:
        app.Switch(step.header);
        break;
    case Step::Kind::Add:
        app.Choose(step.header, QStringLiteral("增加子夹"));
        break;
    case Step::Kind::Rename: {
        RenameSeen seen;
        AnswerRenameWindow(app, data, step, seen);
        app.Choose(step.header, QStringLiteral("重命名子夹"));
        EXPECT_TRUE(seen.opened);
        EXPECT_EQ(seen.textOnOpen, QString()) << "the rename box starts empty";
        EXPECT_FALSE(seen.tabChangedWhileOpen) << "nothing is applied while typing";
        EXPECT_FALSE(seen.fileChangedWhileOpen) << "nothing is written while typing";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        break;
    }
    }
}

struct FolderCase
{
    const char* name;
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<Step> steps;
    std::vector<std::string> titles;
    int current;
    std::vector<std::string> rows;
    std::string settingsAfter;
};

void PrintTo(const FolderCase& c, std::ostream* os)
{
    *os << c.name;
}

class FolderActions : public ::testing::TestWithParam<FolderCase>
{
};

// Each case checks the tabs, the current tab, the entry list, the exact
// bytes of the settings file, and that no entry file was touched.
TEST_P(FolderActions, ChangeTheTabsAndWriteTheSettingsFile)
{
    const FolderCase& c = GetParam();
    DataDir data;
    data.Write("peizhi.ini", SettingsFile(c.settings));
    data.Write("0.txt", EntryFile(kFolder0));
    data.Write("1.txt", EntryFile(kFolder1));
    data.Write("10.txt", EntryFile(kFolder10));
    const auto entryFiles = EntryFiles(data);

    Started app;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Window()));
    for (const Step& step : c.steps)
        Perform(app, data, step);

    EXPECT_EQ(app.Titles(), c.titles);
    EXPECT_EQ(app.Tabs().CurrentTab(), c.current);
    EXPECT_EQ(app.Rows(), c.rows);
    EXPECT_EQ(SettingsBytes(data), c.settingsAfter);
    EXPECT_EQ(EntryFiles(data), entryFiles);
    EXPECT_TRUE(app.Window().isVisible());
}

const std::vector<std::pair<std::string, std::string>> kThreeFolders = {
    {kCount, "3"}, {Name(0), kCommon}, {Name(1), kAfterSale}, kStoredWidth, kStoredHeight};

std::string ThreeFoldersWith(const std::string& count, const std::string& name0, const std::string& name1)
{
    return SettingsFile({{kCount, count}, {Name(0), name0}, {Name(1), name1}, kStoredWidth, kStoredHeight});
}

const std::vector<std::pair<std::string, std::string>> kElevenFolders = {
    {kCount, "11"}, {Name(0), kCommon}, {Name(1), kAfterSale}, kStoredWidth, kStoredHeight};

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderActions,
    ::testing::Values(
        FolderCase{"AddToThreeFolders", kThreeFolders, {Add(0)},
                   {kCommon, kAfterSale, "", ""}, 0, kFolder0,
                   ThreeFoldersWith("4", kCommon, kAfterSale)},
        FolderCase{"AddTwice", kThreeFolders, {Add(0), Add(3)},
                   {kCommon, kAfterSale, "", "", ""}, 0, kFolder0,
                   ThreeFoldersWith("5", kCommon, kAfterSale)},
        FolderCase{"AddWhileAnotherFolderIsCurrent", kThreeFolders, {SwitchTo(1), Add(0)},
                   {kCommon, kAfterSale, "", ""}, 1, kFolder1,
                   ThreeFoldersWith("4", kCommon, kAfterSale)},
        FolderCase{"RenameFirstFolderWithEsc", kThreeFolders, {Rename(0, kNewNameTyped)},
                   {kNewName, kAfterSale, ""}, 0, kFolder0,
                   ThreeFoldersWith("3", kNewName, kAfterSale)},
        FolderCase{"RenameEleventhFolderWithTheCloseBox", kElevenFolders,
                   {SwitchTo(10), Rename(10, kNewNameTyped, true)},
                   {kCommon, kAfterSale, "", "", "", "", "", "", "", "", kNewName}, 10, kFolder10,
                   SettingsFile({{kCount, "11"}, {Name(0), kCommon}, {Name(1), kAfterSale},
                                 kStoredWidth, kStoredHeight, {Name(10), kNewName}})},
        FolderCase{"RenameWithAnEmptyBox", kThreeFolders, {Rename(0, {})},
                   {"", kAfterSale, ""}, 0, kFolder0, ThreeFoldersWith("3", "", kAfterSale)},
        FolderCase{"RenameAfterARightPressOnAnotherHeader", kThreeFolders, {Rename(2, kNewNameTyped)},
                   {kNewName, kAfterSale, ""}, 0, kFolder0,
                   ThreeFoldersWith("3", kNewName, kAfterSale)},
        FolderCase{"RenameTwiceTheBoxStartsEmptyEachTime", kThreeFolders,
                   {Rename(0, kNewNameTyped), Rename(0, QStringLiteral("客服"), true)},
                   {kService, kAfterSale, ""}, 0, kFolder0,
                   ThreeFoldersWith("3", kService, kAfterSale)},
        // Pasted lines give the first one: the tab and the file agree.
        FolderCase{"RenameWithPastedLines", kThreeFolders, {Rename(0, QStringLiteral("客服\r\n[x]\r\n"))},
                   {kService, kAfterSale, ""}, 0, kFolder0,
                   ThreeFoldersWith("3", kService, kAfterSale)},
        // The entry file goes by the folder index, never by the name.
        FolderCase{"TwoFoldersWithOneNameKeepTheirOwnEntries", kThreeFolders,
                   {SwitchTo(1), Rename(1, kCommonTyped), SwitchTo(0), SwitchTo(1)},
                   {kCommon, kCommon, ""}, 1, kFolder1,
                   ThreeFoldersWith("3", kCommon, kCommon)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderActionsFirstStart, AddWithoutASettingsFileCountsTwoFolders)
{
    DataDir data;
    Started app;
    // Saving the window size at the start may already have made the file.
    const std::string before = SettingsBytes(data);
    Perform(app, data, Add(0));
    EXPECT_EQ(app.Titles(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(app.Tabs().CurrentTab(), 0);
    EXPECT_EQ(SettingsBytes(data), (before.empty() ? "[" + kSection + "]\r\n" : before) + kCount + "=2\r\n");
    EXPECT_EQ(EntryFiles(data), (std::map<std::string, std::string>{}));
}

TEST(FolderActionsRestart, BringsBackAddedRenamedAndNeverNamedFolders)
{
    DataDir data;
    data.Write("1.txt", EntryFile(kFolder1));
    {
        Started app;
        Perform(app, data, Add(0));
        Perform(app, data, Add(0));
        Perform(app, data, Add(0));
        Perform(app, data, SwitchTo(1));
        Perform(app, data, Rename(1, QStringLiteral("新名字 😀")));
        Perform(app, data, SwitchTo(3));
        Perform(app, data, Rename(3, kCommonTyped));
    }
    Started app;
    EXPECT_EQ(app.Titles(),
              (std::vector<std::string>{"", kNewName + " \x94\x39\xFC\x36", "", kCommon}));
    EXPECT_EQ(app.Tabs().CurrentTab(), 0);
    app.Switch(1);
    EXPECT_EQ(app.Rows(), kFolder1);
}

// Presses and keys that reach the main window through the window system,
// as a user's do.
void PressThroughWindowSystem(ui::MainWindow& window, QWidget& target, Qt::MouseButton button, QPoint at)
{
    QTest::mouseClick(window.windowHandle(), button, {}, target.mapTo(&window, at));
}

TEST(FolderActionsRenameWindow, LeavesTheMainWindowWithoutInputWhileOpen)
{
    DataDir data;
    data.Write("peizhi.ini", SettingsFile(kThreeFolders));
    data.Write("0.txt", EntryFile(kFolder0));
    data.Write("1.txt", EntryFile(kFolder1));
    Started app;
    ui::MainWindow& window = app.Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    MenuSeen menuWhileOpen;
    bool answered = false;
    AnswerNextWindow<ui::RenameWindow>([&](ui::RenameWindow& shown) {
        answered = true;
        PressThroughWindowSystem(window, app.Tabs(), Qt::LeftButton, app.HeaderCentre(1));
        AnswerNextMenu(menuWhileOpen, {});
        PressThroughWindowSystem(window, app.Tabs(), Qt::RightButton, app.HeaderCentre(1));
        PressThroughWindowSystem(window, window.addButton(), Qt::LeftButton, window.addButton().rect().center());
        QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        QTest::keyClicks(&shown.renameBox(), QStringLiteral("x"));
        QTest::keyClick(&shown.renameBox(), Qt::Key_Escape);
    });
    app.Choose(0, QStringLiteral("重命名子夹"));

    ASSERT_TRUE(answered);
    EXPECT_FALSE(menuWhileOpen.shown);
    EXPECT_TRUE(window.isVisible()) << "Esc did not reach the main window";
    EXPECT_EQ(app.Tabs().CurrentTab(), 0);
    EXPECT_EQ(app.Rows(), kFolder0);
    EXPECT_EQ(app.Titles(), (std::vector<std::string>{"x", kAfterSale, ""}));
    EXPECT_EQ(SettingsBytes(data), ThreeFoldersWith("3", "x", kAfterSale));

    // The same press reaches the tabs once the window has gone.
    PressThroughWindowSystem(window, app.Tabs(), Qt::LeftButton, app.HeaderCentre(1));
    EXPECT_EQ(app.Tabs().CurrentTab(), 1);
}

}  // namespace
