#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

#include "support/menus.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/geometry.h"
#include "ui/mainwindow.h"
#include "ui/promotionlabel.h"

namespace {

using testing_support::AnswerNextMenu;
using testing_support::MenuSeen;

// A started main window with no handlers but those a test connects.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    ui::MainWindow window;
};

TEST_F(MainWindowTest, HasItsControlsUnderTheirDesignNames)
{
    for (const char* name : {"超级列表框1", "高级选择夹1", "编辑框显示内容", "按钮加添内容",
                             "按钮修改内容", "标签1"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromUtf8(name)), nullptr) << name;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tovrimo"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.addButton().text(), QStringLiteral("加添内容"));
    EXPECT_EQ(window.modifyButton().text(), QStringLiteral("修改内容"));
    EXPECT_EQ(window.promotionLabel().text(), QStringLiteral("聚划算—惠生活 聚精彩"));
    EXPECT_EQ(window.folderTabs().TabCount(), 1);
    EXPECT_EQ(window.folderTabs().TabName(0), "");
}

TEST_F(MainWindowTest, TabMovesBetweenListContentBoxAndButtonsOnly)
{
    window.activateWindow();
    window.entryList().setFocus();
    QWidget* expected[] = {&window.contentBox(), &window.addButton(), &window.modifyButton(),
                           &window.entryList()};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    EXPECT_EQ(window.folderTabs().focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.promotionLabel().focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(window.addButton().isDefault() || window.addButton().autoDefault());
    EXPECT_FALSE(window.modifyButton().isDefault() || window.modifyButton().autoDefault());
}

TEST_F(MainWindowTest, EscWithoutModifiersClosesTheWindowFromTheContentBox)
{
    window.activateWindow();
    window.contentBox().setFocus();
    QTest::keyClick(&window.contentBox(), Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window.contentBox(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, SizeWriteRaisesSizeChangedInsideTheWriteAndNoPositionChanged)
{
    int widthSeen = -1;
    int sizes = 0;
    int positions = 0;
    QObject::connect(&window, &ui::MainWindow::sizeChanged, [&] {
        ++sizes;
        widthSeen = window.Width();
    });
    QObject::connect(&window, &ui::MainWindow::positionChanged, [&] { ++positions; });
    const int left = window.Left();
    const int top = window.Top();
    const int height = window.Height();

    window.SetWidth(900);
    EXPECT_EQ(sizes, 1);
    EXPECT_EQ(widthSeen, 900);
    EXPECT_EQ(window.Width(), 900);
    EXPECT_EQ(window.Height(), height);
    EXPECT_EQ(window.Left(), left);
    EXPECT_EQ(window.Top(), top);

    // The same size again changes nothing, and the window system's own
    // report of the new size arriving later is not a second change.
    window.SetWidth(900);
    QApplication::processEvents();
    EXPECT_EQ(sizes, 1);
    EXPECT_EQ(positions, 0);

    window.SetHeight(450);
    EXPECT_EQ(sizes, 2);
    EXPECT_EQ(window.Height(), 450);
    EXPECT_EQ(window.Top(), top);
    EXPECT_EQ(positions, 0);
}

TEST_F(MainWindowTest, MovesAndStateChangesRaisePositionChanged)
{
    QSignalSpy positions(&window, &ui::MainWindow::positionChanged);
    QSignalSpy sizes(&window, &ui::MainWindow::sizeChanged);
    window.SetLeft(window.Left() + 30);
    EXPECT_EQ(positions.count(), 1);
    window.showMinimized();
    QTRY_COMPARE_GE(positions.count(), 2);
    window.showNormal();
    QTRY_COMPARE_GE(positions.count(), 3);
    EXPECT_EQ(sizes.count(), 0);
}

// The window system reports a change that moves and resizes the window in
// pieces; the events come once it is all in, position first, and both see
// the final geometry.
TEST_F(MainWindowTest, AChangeByTheWindowSystemRaisesPositionThenSizeWithTheFinalGeometry)
{
    std::vector<std::string> events;
    const auto record = [&](const char* name) {
        return [&, name] {
            events.push_back(name + (" " + std::to_string(window.Left()) + "," + std::to_string(window.Top()) +
                                     " " + std::to_string(window.Width()) + "x" +
                                     std::to_string(window.Height())));
        };
    };
    QObject::connect(&window, &ui::MainWindow::positionChanged, record("position"));
    QObject::connect(&window, &ui::MainWindow::sizeChanged, record("size"));
    const QMargins frame = window.windowHandle()->frameMargins();
    window.windowHandle()->setGeometry(QRect(100, 80, 800, 500).marginsRemoved(frame));
    QTRY_COMPARE(events.size(), std::size_t{2});
    QApplication::processEvents();
    EXPECT_EQ(events, (std::vector<std::string>{"position 100,80 800x500", "size 100,80 800x500"}));
}

TEST_F(MainWindowTest, WindowSizesAreClamped)
{
    window.SetWidth(-5);
    EXPECT_LT(window.Width(), 20);
    EXPECT_GT(window.geometry().width(), 0);  // the window stays mapped
    window.SetWidth(40000);
    EXPECT_EQ(window.Width(), ui::kMaxExtent);
}

TEST(ControlGeometry, WritesAreClampedAndKeepTheOtherValues)
{
    QWidget parent;
    QWidget control(&parent);
    control.setGeometry(10, 20, 30, 40);
    struct Case
    {
        void (*write)(QWidget&, int);
        int value;
        QRect expected;
    };
    const Case cases[] = {
        {ui::SetControlWidth, -3, {10, 20, 0, 40}},
        {ui::SetControlWidth, 40000, {10, 20, 32627, 40}},
        {ui::SetControlHeight, 77, {10, 20, 32627, 77}},
        {ui::SetControlLeft, -40000, {-32627, 20, 32627, 77}},
        {ui::SetControlTop, 40000, {-32627, 32627, 32627, 77}},
        {ui::SetControlTop, 5, {-32627, 5, 32627, 77}},
    };
    for (const Case& c : cases) {
        c.write(control, c.value);
        EXPECT_EQ(control.geometry(), c.expected) << c.value;
        EXPECT_EQ(ui::ControlLeft(control), c.expected.x());
        EXPECT_EQ(ui::ControlHeight(control), c.expected.height());
    }
}

TEST_F(MainWindowTest, MenusShowTheirItemsInOrderAndQueueTheChoice)
{
    struct Case
    {
        ui::MainWindow::Menu menu;
        const char* name;
        QStringList items;
        void (ui::MainWindow::*chosen)();
    };
    const Case cases[] = {
        {ui::MainWindow::Menu::Folder, "菜单", {"增加子夹", "重命名子夹"}, &ui::MainWindow::renameFolderChosen},
        {ui::MainWindow::Menu::Entry, "菜单2", {"删除表项", "向上移"}, &ui::MainWindow::moveEntryUpChosen},
    };
    for (const Case& c : cases) {
        QSignalSpy chosen(&window, c.chosen);
        MenuSeen seen;
        AnswerNextMenu(seen, c.items.at(1));
        window.PopUpMenu(c.menu);
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.name, QString::fromUtf8(c.name));
        EXPECT_EQ(seen.items, c.items);
        // Chosen, but runs only as an event of its own.
        EXPECT_EQ(chosen.count(), 0);
        QTRY_COMPARE(chosen.count(), 1);

        MenuSeen dismissed;
        AnswerNextMenu(dismissed, {});
        window.PopUpMenu(c.menu);
        EXPECT_TRUE(dismissed.shown);
        QApplication::processEvents();
        EXPECT_EQ(chosen.count(), 1);
    }
}

TEST(ContentBox, ReadsLineBreaksAsCrLfAndKeepsTypedText)
{
    ui::ContentBox box;
    box.SetText("one\r\ntwo\nthree\r\xB3\xA3\x80");
    EXPECT_EQ(box.toPlainText(), QStringLiteral("one\ntwo\nthree\n常€"));
    EXPECT_EQ(box.Text(), "one\r\ntwo\r\nthree\r\n\xB3\xA3\xA2\xE3");

    box.SetText({});
    QTest::keyClicks(&box, QStringLiteral("a"));
    QTest::keyClick(&box, Qt::Key_Return);
    box.insertPlainText(QStringLiteral("\u00A0😀"));
    EXPECT_EQ(box.Text(), "a\r\n\x81\x30\x84\x32\x94\x39\xFC\x36");
}

}  // namespace
