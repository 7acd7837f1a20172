// The entry operations, driven as a user drives them: clicks on the rows,
// right presses and the entry menu, typing into the content box, the Add and
// Modify buttons. Each case checks the list, the selection, the content box,
// the clipboard and the bytes of the entry file.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "library/startup.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/menus.h"
#include "support/rows.h"
#include "support/texts.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"

namespace {

using namespace testing_support::texts;

using testing_support::AnswerNextMenu;
using testing_support::DataDir;
using testing_support::EntryFile;
using testing_support::MenuSeen;
using testing_support::SettingsFile;
using Rows = std::vector<std::string>;

// The folder every case starts from, unless it brings its own: a plain
// entry, a GBK one and one over two lines.
const QString kHelloText = QStringLiteral("您好！");
const std::string kTwoLines = "two\r\nlines";
const Rows kFolder = {"A", kHello, kTwoLines};

// Bytes that are not valid GBK (a lead byte with a bad second byte, a pair
// of 0xFF) and the lone 0x80 that code page 936 shows as the euro sign.
const Rows kOddBytes = {"ok", "bad\x81\x7F" "end", "\xFF\xFF", "price \x80 5"};

// What the clipboard holds before each case, and the entry file holds once
// the program has read it: a case that writes nothing leaves it there.
const QString kClipboardBefore = QStringLiteral("held before");
const std::string kFileBefore = EntryFile({"not what the list shows"});

const QString kDelete = QStringLiteral("删除表项");
const QString kMoveUp = QStringLiteral("向上移");

// Below the last row: no row there.
constexpr int kBelowRows = -1;

struct Step
{
    enum class Kind
    {
        Click,  // a left click on a row
        Menu,   // a right press on a row, then an item of the entry menu
        Type,   // select all in the content box and type text; '\n' is Enter
        Key,    // a key pressed in the entry list
        Add,
        Modify,
    };
    Kind kind;
    int row = 0;
    QString text;
    Qt::Key key = Qt::Key_unknown;
};

Step Click(int row)
{
    return {Step::Kind::Click, row, {}};
}
Step Menu(int row, const QString& item)
{
    return {Step::Kind::Menu, row, item};
}
Step Type(const QString& text)
{
    return {Step::Kind::Type, 0, text};
}
Step Key(Qt::Key key)
{
    return {Step::Kind::Key, 0, {}, key};
}
const Step kAdd{Step::Kind::Add, 0, {}};
const Step kModify{Step::Kind::Modify, 0, {}};

// The program running on a data directory of its own, with three folders:
// folder 0 holding the given entries, folder 1 one other entry, folder 2
// without an entry file.
class Running
{
public:
    explicit Running(const Rows& entries)
    {
        data.Write("peizhi.ini", SettingsFile({{std::string(storage::kFolderCountKey), "3"},
                                               {std::string(storage::kWindowWidthKey), "1043"},
                                               {std::string(storage::kWindowHeightKey), "666"}}));
        data.Write("0.txt", EntryFile(entries));
        data.Write("1.txt", EntryFile({"other folder"}));
        program = library::Program::Create();
        program->Start();
    }

    ui::MainWindow& Window() { return program->Window(); }
    ui::EntryList& List() { return Window().entryList(); }
    ui::ContentBox& Box() { return Window().contentBox(); }
    std::string File() { return data.Files()["0.txt"]; }

    void Run(const Step& step)
    {
        switch (step.kind) {
        case Step::Kind::Click:
            QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, At(step.row));
            break;
        case Step::Kind::Menu:
            ChooseFromMenu(step.row, step.text);
            break;
        case Step::Kind::Type:
            TypeText(step.text);
            break;
        case Step::Kind::Key:
            QTest::keyClick(&List(), step.key);
            break;
        case Step::Kind::Add:
            QTest::mouseClick(&Window().addButton(), Qt::LeftButton);
            break;
        case Step::Kind::Modify:
            QTest::mouseClick(&Window().modifyButton(), Qt::LeftButton);
            break;
        }
    }

    // Another folder's header, then the first one's again: the list is
    // read anew from the file.
    void SwitchFolderAndBack()
    {
        ui::FolderTabs& tabs = Window().folderTabs();
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.HeaderRect(1).center());
        ASSERT_EQ(tabs.CurrentTab(), 1);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.HeaderRect(0).center());
        ASSERT_EQ(tabs.CurrentTab(), 0);
    }

    DataDir data;
    std::unique_ptr<library::Program> program;

private:
    QPoint At(int row)
    {
        if (row == kBelowRows)
            return {40, List().viewport()->height() - 4};
        return List().visualRect(List().model()->index(row, 0)).center();
    }

    void ChooseFromMenu(int row, const QString& item)
    {
        QSignalSpy chosen(&Window(), item == kDelete ? &ui::MainWindow::deleteEntryChosen
                                                     : &ui::MainWindow::moveEntryUpChosen);
        MenuSeen seen;
        AnswerNextMenu(seen, item);
        QTest::mousePress(List().viewport(), Qt::RightButton, {}, At(row));
        QTest::mouseRelease(List().viewport(), Qt::RightButton, {}, At(row));
        ASSERT_TRUE(seen.shown);
        // The chosen item runs as an event of its own, after the press.
        ASSERT_TRUE(chosen.count() == 1 || chosen.wait(2000));
    }

    // Typed as a user types: the line's characters committed by the input
    // method, Enter between lines.
    void TypeText(const QString& text)
    {
        QTest::keyClick(&Box(), Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) {
            QTest::keyClick(&Box(), Qt::Key_Backspace);
            return;
        }
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(&Box(), Qt::Key_Return);
            if (lines[i].isEmpty())
                continue;
            QInputMethodEvent commit;
            commit.setCommitString(lines[i]);
            QCoreApplication::sendEvent(&Box(), &commit);
        }
    }
};

struct OperationCase
{
    const char* name;
    Rows start;
    std::vector<Step> steps;
    Rows rows;
    int selected;
    std::string box;
    std::optional<QString> clipboard;  // absent: the clipboard keeps what it held
    bool writes = true;                // false: the entry file keeps what it held
};

void PrintTo(const OperationCase& c, std::ostream* os)
{
    *os << c.name;
}

class EntryOperations : public ::testing::TestWithParam<OperationCase>
{
};

TEST_P(EntryOperations, ListSelectionContentBoxClipboardAndFileFollow)
{
    const OperationCase& c = GetParam();
    Running app(c.start);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Window()));
    ASSERT_EQ(testing_support::Strings(app.List().Rows()), c.start);
    QGuiApplication::clipboard()->setText(kClipboardBefore);
    app.data.Write("0.txt", kFileBefore);

    for (const Step& step : c.steps) {
        app.Run(step);
        ASSERT_FALSE(HasFatalFailure());
    }

    EXPECT_EQ(testing_support::Strings(app.List().Rows()), c.rows);
    EXPECT_EQ(app.List().SelectedRow(), c.selected);
    EXPECT_EQ(app.Box().Text(), c.box);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.clipboard.value_or(kClipboardBefore));
    EXPECT_EQ(app.File(), c.writes ? EntryFile(c.rows) : kFileBefore);

    if (c.writes) {
        app.SwitchFolderAndBack();
        EXPECT_EQ(testing_support::Strings(app.List().Rows()), c.rows) << "after loading the folder again";
    }
}

const auto With = [](Rows rows, std::initializer_list<std::string> more) {
    rows.insert(rows.end(), more);
    return rows;
};

INSTANTIATE_TEST_SUITE_P(
    Sequences, EntryOperations,
    ::testing::Values(
        // Adding.
        OperationCase{"AddTypedLinesAsCrLf", kFolder, {Type(QStringLiteral("新\n行 two")), kAdd},
                      With(kFolder, {"\xD0\xC2\r\n\xD0\xD0 two"}), -1, "", std::nullopt},
        OperationCase{"AddKeepsTheSelection", kFolder,
                      {Click(1), Type(QStringLiteral("more")), kAdd}, With(kFolder, {"more"}), 1, "",
                      kHelloText},
        OperationCase{"AddEmptyEntry", kFolder, {kAdd}, With(kFolder, {""}), -1, "", std::nullopt},
        OperationCase{"AddDuplicate", kFolder, {Click(0), kAdd}, With(kFolder, {"A"}), 0, "",
                      QStringLiteral("A")},
        OperationCase{"AddToAnEmptyFolder", {}, {Type(QStringLiteral("first")), kAdd}, {"first"}, -1,
                      "", std::nullopt},
        // An emoji is beyond GBK: it is stored as GB18030's four bytes and
        // comes back from the file as it went in.
        OperationCase{"AddEmojiAndPickIt", kFolder,
                      {Type(QStringLiteral("smile \U0001F600")), kAdd, Click(3)},
                      With(kFolder, {"smile \x94\x39\xFC\x36"}), 3, "smile \x94\x39\xFC\x36",
                      QStringLiteral("smile \U0001F600")},
        // A zero character (pasted from another program) is dropped. A file
        // ends at its first zero byte, so keeping it would lose the rest of
        // the entry and every entry after it at the next load.
        OperationCase{"AZeroCharacterIsDroppedAndTheEntriesAfterItSurvive", kFolder,
                      {Type(QString::fromUtf16(u"a\0b", 3)), kAdd, Menu(3, kMoveUp)},
                      {"A", kHello, "ab", kTwoLines}, 3, "", std::nullopt},
        // Rows the user did not touch keep their bytes, valid GBK or not.
        OperationCase{"OddBytesSurviveAnUnrelatedAdd", kOddBytes, {Type(QStringLiteral("new")), kAdd},
                      With(kOddBytes, {"new"}), -1, "", std::nullopt},
        OperationCase{"OddBytesSurviveAnUnrelatedModify", kOddBytes,
                      {Click(0), Type(QStringLiteral("fine")), kModify},
                      {"fine", kOddBytes[1], kOddBytes[2], kOddBytes[3]}, 0, "", QStringLiteral("ok")},

        // Modifying.
        OperationCase{"ModifySelected", kFolder, {Click(1), Type(QStringLiteral("changed")), kModify},
                      {"A", "changed", kTwoLines}, 1, "", kHelloText},
        OperationCase{"ModifyWithAnEmptyBoxEmptiesTheEntry", kFolder, {Click(2), Type({}), kModify},
                      {"A", kHello, ""}, 2, "", QStringLiteral("two\r\nlines")},
        // With no row selected there is nothing to modify, and emptying the
        // box would only lose what the user typed: nothing changes.
        OperationCase{"ModifyWithoutSelectionKeepsTheTypedText", kFolder,
                      {Click(0), Click(kBelowRows), Type(QStringLiteral("keep me")), kModify}, kFolder,
                      -1, "keep me", QString(), false},
        // The arrow keys move the selection without picking.
        OperationCase{"ArrowKeysDoNotPick", kFolder, {Click(0), Key(Qt::Key_Down)}, kFolder, 1, "A",
                      QStringLiteral("A"), false},
        OperationCase{"ModifyTheRowReachedWithTheArrowKeys", kFolder,
                      {Click(0), Key(Qt::Key_Down), Type(QStringLiteral("changed")), kModify},
                      {"A", "changed", kTwoLines}, 1, "", QStringLiteral("A")},

        // Deleting. The content box keeps what it shows.
        OperationCase{"DeleteSelected", kFolder, {Click(1), Menu(1, kDelete)}, {"A", kTwoLines}, -1,
                      kHello, kHelloText},
        OperationCase{"DeleteTheRightPressedRowNotTheSelectedOne", kFolder, {Click(0), Menu(2, kDelete)},
                      {"A", kHello}, -1, "A", QStringLiteral("A")},
        OperationCase{"DeleteTheOnlyEntryLeavesAnEmptyFile", {"A"}, {Menu(0, kDelete)}, {}, -1, "",
                      std::nullopt},
        OperationCase{"DeleteWithoutSelectionRemovesNothing", kFolder,
                      {Click(1), Menu(kBelowRows, kDelete)}, kFolder, -1, kHello, kHelloText},

        // Moving up. The selection stays on the row index, which now holds
        // the entry that was above.
        OperationCase{"MoveUpTheLastRow", kFolder, {Menu(2, kMoveUp)}, {"A", kTwoLines, kHello}, 2, "",
                      std::nullopt},
        OperationCase{"MoveUpTwiceSwapsBack", kFolder, {Menu(2, kMoveUp), Menu(2, kMoveUp)}, kFolder, 2,
                      "", std::nullopt},
        OperationCase{"MoveUpTheFirstRowChangesNothingButRewrites", kFolder, {Menu(0, kMoveUp)}, kFolder,
                      0, "", std::nullopt},
        OperationCase{"MoveUpWithoutSelectionChangesNothingButRewrites", kFolder,
                      {Menu(kBelowRows, kMoveUp)}, kFolder, -1, "", std::nullopt},
        OperationCase{"MoveUpLeavesTheContentBox", kFolder,
                      {Click(2), Type(QStringLiteral("draft")), Menu(1, kMoveUp)}, {kHello, "A", kTwoLines},
                      1, "draft", QStringLiteral("two\r\nlines")},
        OperationCase{"MoveUpARowSetEarlier", kFolder,
                      {Click(1), Type(QStringLiteral("new text")), kModify, Menu(1, kMoveUp)},
                      {"new text", "A", kTwoLines}, 1, "", kHelloText},

        // Picking writes nothing.
        OperationCase{"PickAMultiLineEntry", kFolder, {Click(2)}, kFolder, 2, kTwoLines,
                      QStringLiteral("two\r\nlines"), false},
        OperationCase{"PickBelowTheRowsEmptiesBoxAndClipboard", kFolder, {Click(0), Click(kBelowRows)},
                      kFolder, -1, "", QString(), false},
        OperationCase{"PickReplacesUnsavedTyping", kFolder,
                      {Click(0), Type(QStringLiteral("draft")), Click(0)}, kFolder, 0, "A",
                      QStringLiteral("A"), false}),
    [](const auto& info) { return std::string(info.param.name); });

// A save that fails leaves the file as it was and the list with the
// change; the next save of the folder writes it out with the rest.
TEST(SaveFolder, AFailedSaveIsWrittenByTheNextOne)
{
    Running app(kFolder);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Window()));
    const std::string path = app.data.Path() + "0.txt";
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    app.Run(Type(QStringLiteral("kept")));
    app.Run(kAdd);
    EXPECT_EQ(testing_support::Strings(app.List().Rows()), With(kFolder, {"kept"}));
    EXPECT_EQ(app.File(), EntryFile(kFolder));

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    app.Run(Type(QStringLiteral("next")));
    app.Run(kAdd);
    EXPECT_EQ(app.File(), EntryFile(With(kFolder, {"kept", "next"})));
}

// The rows go to the current folder's file; a folder that had none gets
// one, and the other folders' files stay as they were.
TEST(SaveFolder, WritesTheCurrentFoldersFileOnly)
{
    Running app(kFolder);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Window()));
    ui::FolderTabs& tabs = app.Window().folderTabs();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.HeaderRect(2).center());
    ASSERT_EQ(tabs.CurrentTab(), 2);
    ASSERT_EQ(app.List().RowCount(), 0);

    app.Run(Type(QStringLiteral("in the third")));
    app.Run(kAdd);
    std::map<std::string, std::string> files = app.data.Files();
    EXPECT_EQ(files["2.txt"], EntryFile({"in the third"}));
    EXPECT_EQ(files["0.txt"], EntryFile(kFolder));
    EXPECT_EQ(files["1.txt"], EntryFile({"other folder"}));
}

}  // namespace
