#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "support/dialogs.h"
#include "ui/renamewindow.h"

namespace {

using testing_support::AnswerNextWindow;

// The test screen is 1920 x 1080 and gives windows a frame.
const QPoint kCentred{(1920 - 217) / 2, (1080 - 97) / 2};

// Runs `answer` on the rename window once it is up.
void AnswerRenameWindow(std::function<void(ui::RenameWindow& shown)> answer)
{
    AnswerNextWindow<ui::RenameWindow>(std::move(answer));
}

TEST(RenameWindow, OpensAsDesignedCentredWithAnEmptyFocusedBox)
{
    QWidget owner;
    ui::RenameWindow renameWindow(&owner);
    std::optional<QRect> frame;
    QMargins margins;
    bool boxHadFocus = false;
    QString textOnOpen = QStringLiteral("unset");
    AnswerRenameWindow([&](ui::RenameWindow& shown) {
        margins = shown.windowHandle()->frameMargins();
        frame = shown.frameGeometry();
        boxHadFocus = shown.focusWidget() == &shown.renameBox();
        textOnOpen = shown.renameBox().text();
        shown.close();
    });
    renameWindow.exec();

    ASSERT_TRUE(frame);
    EXPECT_NE(margins, QMargins());  // else the outer size says nothing
    EXPECT_EQ(*frame, QRect(kCentred, QSize(217, 97)));
    EXPECT_EQ(renameWindow.minimumSize(), renameWindow.maximumSize());
    EXPECT_EQ(renameWindow.windowTitle(), QStringLiteral("子夹重命名"));
    const Qt::WindowFlags flags = renameWindow.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                          | Qt::WindowContextHelpButtonHint));

    const QLineEdit& box = renameWindow.renameBox();
    EXPECT_EQ(box.objectName(), QStringLiteral("编辑框表头重命名"));
    EXPECT_EQ(box.geometry(), QRect(32, 16, 144, 32));
    EXPECT_EQ(box.alignment(), Qt::AlignCenter);
    EXPECT_EQ(box.palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(box.palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(box.font().pixelSize(), 20);
    EXPECT_EQ(box.font().weight(), QFont::Normal);
    EXPECT_EQ(box.maxLength(), std::numeric_limits<int>::max());
    EXPECT_TRUE(boxHadFocus);
    EXPECT_EQ(textOnOpen, QString());
}

// Each way of closing the window ends the wait and keeps the text; Enter
// before it neither closes nor changes anything.
struct CloseCase
{
    const char* name;
    std::function<void(ui::RenameWindow& shown)> close;
};

void PrintTo(const CloseCase& c, std::ostream* os)
{
    *os << c.name;
}

class RenameWindowClose : public ::testing::TestWithParam<CloseCase>
{
};

TEST_P(RenameWindowClose, ClosesKeepingTheTextUntilItIsDestroyed)
{
    QWidget owner;
    auto renameWindow = std::make_unique<ui::RenameWindow>(&owner);
    bool openAfterEnter = false;
    AnswerRenameWindow([&](ui::RenameWindow& shown) {
        QTest::keyClicks(&shown.renameBox(), QStringLiteral("ab"));
        QTest::keyClick(&shown.renameBox(), Qt::Key_Return);
        QTest::keyClick(&shown.renameBox(), Qt::Key_Enter, Qt::KeypadModifier);
        openAfterEnter = shown.isVisible() && shown.renameBox().text() == QStringLiteral("ab");
        GetParam().close(shown);
    });
    renameWindow->exec();
    EXPECT_TRUE(openAfterEnter);
    EXPECT_FALSE(renameWindow->isVisible());

    std::optional<std::string> textWhenDestroyed;
    QObject::connect(renameWindow.get(), &ui::RenameWindow::willBeDestroyed, [&, w = renameWindow.get()] {
        textWhenDestroyed = w->Text();
    });
    renameWindow.reset();
    EXPECT_EQ(textWhenDestroyed, "ab");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, RenameWindowClose,
    ::testing::Values(
        CloseCase{"Escape", [](ui::RenameWindow& shown) { QTest::keyClick(&shown.renameBox(), Qt::Key_Escape); }},
        // The close box and Alt+F4 both reach the window as a close request
        // from the window system.
        CloseCase{"CloseBox", [](ui::RenameWindow& shown) { shown.windowHandle()->close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenameWindow, GivesItsTextAsGb18030Bytes)
{
    ui::RenameWindow renameWindow(nullptr);
    renameWindow.renameBox().setText(QStringLiteral("客服 😀"));
    EXPECT_EQ(renameWindow.Text(), "\xBF\xCD\xB7\xFE \x94\x39\xFC\x36");
}

// A name is one line. Pasted text keeps its first line only, as a one-line
// edit box takes it; what stood after the cursor stays.
struct PasteCase
{
    const char* name;
    QString before;
    int cursor;
    QString pasted;
    QString after;
};

void PrintTo(const PasteCase& c, std::ostream* os)
{
    *os << c.name;
}

class RenameBoxPaste : public ::testing::TestWithParam<PasteCase>
{
};

TEST_P(RenameBoxPaste, KeepsTheFirstLineOfWhatComesIn)
{
    const PasteCase& c = GetParam();
    ui::RenameWindow renameWindow(nullptr);
    QLineEdit& box = renameWindow.renameBox();
    box.setText(c.before);
    box.setCursorPosition(c.cursor);
    QApplication::clipboard()->setText(c.pasted);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), c.after);
    EXPECT_EQ(renameWindow.Text().find_first_of(std::string("\r\n\0", 3)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameBoxPaste,
    ::testing::Values(
        PasteCase{"OneLine", "", 0, QStringLiteral("客服"), QStringLiteral("客服")},
        PasteCase{"TrailingLineBreak", "", 0, QStringLiteral("客服\r\n"), QStringLiteral("客服")},
        PasteCase{"IntoTheMiddle", "XY", 1, QStringLiteral("ab\r\ncd\nef"), QStringLiteral("XabY")},
        PasteCase{"LoneCarriageReturn", "", 0, QStringLiteral("a\rb"), QStringLiteral("a")},
        PasteCase{"LeadingLineFeed", "XY", 2, QStringLiteral("\nab"), QStringLiteral("XY")},
        PasteCase{"ZeroCharacter", "", 0, QString::fromUtf16(u"a\0b", 3), QStringLiteral("a")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
