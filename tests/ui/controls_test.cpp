#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "support/rows.h"

namespace {

class EntryListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list.resize(400, 300);
        list.AppendRows({"A", "B", "C"});
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QObject::connect(&list, &ui::EntryList::entryClicked,
                         [this] { clicks.push_back(list.SelectedRow()); });
    }

    QPoint RowCentre(int row) const
    {
        return list.visualRect(list.model()->index(row, 0)).center();
    }
    void Click(QPoint at) { QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at); }

    ui::EntryList list;
    QAbstractItemModelTester tester{list.model(), QAbstractItemModelTester::FailureReportingMode::Warning};
    // SelectedRow as each click event saw it.
    std::vector<int> clicks;
};

TEST_F(EntryListTest, IsOneFixedColumnWithoutRowHeaders)
{
    EXPECT_EQ(list.objectName(), QStringLiteral("超级列表框1"));
    EXPECT_EQ(list.horizontalHeader()->sectionSize(0), 2500);
    EXPECT_TRUE(list.horizontalHeader()->isVisible());
    EXPECT_FALSE(list.verticalHeader()->isVisible());
    EXPECT_EQ(list.SelectedRow(), -1);
    list.ClearRows();
    EXPECT_EQ(list.horizontalHeader()->sectionSize(0), 2500);
}

TEST_F(EntryListTest, ClickEventSeesTheNewSelectionAlsoBelowTheLastRow)
{
    Click(RowCentre(1));
    Click(RowCentre(1));  // the selected row again
    Click({RowCentre(2).x(), RowCentre(2).y() + 100});
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, -1}));
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST_F(EntryListTest, ArrowKeysMoveTheSelectionWithoutAClickEvent)
{
    Click(RowCentre(0));
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.SelectedRow(), 2);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.SelectedRow(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{0}));
}

TEST_F(EntryListTest, RightPressIsRaisedBeforeTheListSelectsTheRow)
{
    Click(RowCentre(0));
    std::vector<int> seen;
    QObject::connect(&list, &ui::EntryList::rightPressed, [&] { seen.push_back(list.SelectedRow()); });
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, RowCentre(2));
    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, RowCentre(2));
    EXPECT_EQ(seen, (std::vector<int>{0}));
    EXPECT_EQ(list.SelectedRow(), 2);
    EXPECT_EQ(clicks, (std::vector<int>{0}));  // a right press is no click
}

TEST_F(EntryListTest, RowOperationsKeepTheSelectionOnItsEntry)
{
    Click(RowCentre(2));
    EXPECT_EQ(list.AppendRow(), 3);
    list.SetRowText(3, "D");
    list.SetRowText(1, "b");
    list.SetRowText(9, "nothing");
    EXPECT_EQ(list.SelectedRow(), 2);
    list.DeleteRow(0);  // the selected row moves up with its entry
    EXPECT_EQ(list.SelectedRow(), 1);
    EXPECT_EQ(testing_support::Strings(list.Rows()), (std::vector<std::string>{"b", "C", "D"}));
    list.DeleteRow(1);  // the selected one
    EXPECT_EQ(list.SelectedRow(), -1);
    list.DeleteRow(5);
    EXPECT_EQ(testing_support::Strings(list.Rows()), (std::vector<std::string>{"b", "D"}));
}

class FolderTabsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tabs.resize(300, 200);
        tabs.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    }

    void Press(Qt::MouseButton button, int tab)
    {
        QTest::mouseClick(&tabs, button, {}, tabs.HeaderRect(tab).center());
    }

    ui::FolderTabs tabs;
};

TEST_F(FolderTabsTest, AppendingAndRenamingNeitherChangeNorRaise)
{
    QSignalSpy changed(&tabs, &ui::FolderTabs::tabChanged);
    EXPECT_EQ(tabs.AppendTab("\xB3\xA3\xD3\xC3"), 1);
    EXPECT_EQ(tabs.AppendTab({}), 2);
    EXPECT_TRUE(tabs.SetTabName(0, "x"));
    EXPECT_FALSE(tabs.SetTabName(3, "y"));
    EXPECT_FALSE(tabs.SetTabName(-1, "y"));
    EXPECT_EQ(tabs.TabName(0), "x");
    EXPECT_EQ(tabs.TabName(1), "\xB3\xA3\xD3\xC3");
    EXPECT_EQ(tabs.TabName(3), "");
    EXPECT_EQ(tabs.CurrentTab(), 0);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FolderTabsTest, OnlyALeftPressOnAnotherHeaderChangesTheCurrentTab)
{
    tabs.AppendTab("one");
    tabs.AppendTab("two");
    std::vector<int> changes;
    int rightPresses = 0;
    QObject::connect(&tabs, &ui::FolderTabs::tabChanged, [&] { changes.push_back(tabs.CurrentTab()); });
    QObject::connect(&tabs, &ui::FolderTabs::rightPressed, [&] { ++rightPresses; });

    Press(Qt::RightButton, 2);
    Press(Qt::LeftButton, 0);
    Press(Qt::LeftButton, 2);
    Press(Qt::LeftButton, 2);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, {150, 100});  // the page, not a header
    EXPECT_EQ(changes, (std::vector<int>{2}));
    EXPECT_EQ(rightPresses, 1);
    EXPECT_EQ(tabs.CurrentTab(), 2);
}

TEST_F(FolderTabsTest, ScrollButtonsAppearOnlyWhileTheHeadersDoNotFit)
{
    auto* left = tabs.findChild<QToolButton*>(QStringLiteral("scrollLeft"));
    auto* right = tabs.findChild<QToolButton*>(QStringLiteral("scrollRight"));
    ASSERT_TRUE(left && right);
    EXPECT_FALSE(right->isVisible());
    for (int i = 1; i < 40; ++i)
        tabs.AppendTab("folder " + std::to_string(i));
    ASSERT_TRUE(right->isVisible());
    EXPECT_EQ(left->text(), QStringLiteral("<"));
    EXPECT_EQ(right->text(), QStringLiteral(">"));
    EXPECT_EQ(left->toolTip(), QStringLiteral("向左滚动子夹头"));
    EXPECT_EQ(right->toolTip(), QStringLiteral("向右滚动子夹头"));
    EXPECT_EQ(right->size(), QSize(16, 16));
    EXPECT_EQ(right->geometry().right(), tabs.width() - 1);
    EXPECT_FALSE(left->isEnabled());

    QTest::mouseClick(right, Qt::LeftButton);
    QTest::mouseClick(right, Qt::LeftButton);
    EXPECT_EQ(tabs.FirstShownTab(), 2);
    EXPECT_TRUE(left->isEnabled());
    // A press lands on the header shown there, not on the one scrolled out.
    Press(Qt::LeftButton, 3);
    EXPECT_EQ(tabs.CurrentTab(), 3);
    EXPECT_TRUE(tabs.HeaderRect(0).isEmpty());

    tabs.resize(100000, 200);
    EXPECT_FALSE(right->isVisible());
    EXPECT_EQ(tabs.FirstShownTab(), 0);
}

}  // namespace
