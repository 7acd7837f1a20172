// The proportional layout and the stored window size, through the real
// program on the offscreen platform.
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

#include "library/startup.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/texts.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/layout.h"
#include "ui/mainwindow.h"
#include "ui/promotionlabel.h"

namespace {

using namespace testing_support::texts;

using testing_support::DataDir;
using testing_support::SettingsFile;


std::unique_ptr<library::Program> Start()
{
    std::unique_ptr<library::Program> program = library::Program::Create();
    program->Start();
    return program;
}

std::string Settings(const DataDir& data)
{
    return data.Files()["peizhi.ini"];
}

// Where the six controls stand now.
ui::ControlGeometry Controls(ui::MainWindow& window)
{
    ui::ControlGeometry geometry;
    geometry[ui::Control::EntryList] = window.entryList().geometry();
    geometry[ui::Control::PromotionLabel] = window.promotionLabel().geometry();
    geometry[ui::Control::ModifyButton] = window.modifyButton().geometry();
    geometry[ui::Control::ContentBox] = window.contentBox().geometry();
    geometry[ui::Control::AddButton] = window.addButton().geometry();
    geometry[ui::Control::FolderTabs] = window.folderTabs().geometry();
    return geometry;
}

bool LaidOutFor(ui::MainWindow& window, int width, int height)
{
    return Controls(window) == ui::ProportionalLayout(width, height);
}

struct StoredCase
{
    const char* name;
    std::string before;  // the settings file before the start; none when empty
    std::string after;   // ... and after it
};

void PrintTo(const StoredCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartStores : public ::testing::TestWithParam<StoredCase>
{
};

// Every start writes both keys once, width first, with the size in effect,
// also when nothing changed.
TEST_P(StartStores, TheSizeInEffectAndLaysTheControlsOutForIt)
{
    const StoredCase& c = GetParam();
    DataDir data;
    if (!c.before.empty())
        data.Write("peizhi.ini", c.before);
    const auto program = Start();
    ui::MainWindow& window = program->Window();
    EXPECT_EQ(Settings(data), c.after);
    EXPECT_TRUE(LaidOutFor(window, window.Width(), window.Height()));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartStores,
    ::testing::Values(
        StoredCase{"NoSettingsFile", "", SettingsFile({{kWidth, "700"}, {kHeight, "400"}})},
        StoredCase{"NoSize", SettingsFile({{"x", "1"}}),
                   SettingsFile({{"x", "1"}, {kWidth, "700"}, {kHeight, "400"}})},
        StoredCase{"Unchanged", SettingsFile({{kHeight, "800"}, {kWidth, "1200"}}),
                   SettingsFile({{kHeight, "800"}, {kWidth, "1200"}})},
        // Read as 1200 and 800, written back as the numbers they are.
        StoredCase{"RewrittenInPlace", SettingsFile({{kWidth, "+1200"}, {"x", "1"}, {kHeight, "0800"}}),
                   SettingsFile({{kWidth, "1200"}, {"x", "1"}, {kHeight, "800"}})},
        StoredCase{"TooNarrow", SettingsFile({{kWidth, "499"}, {kHeight, "900"}}),
                   SettingsFile({{kWidth, "700"}, {kHeight, "400"}})}),
    [](const auto& info) { return std::string(info.param.name); });

// The program on a stored size of 1043 x 666, shown.
class WindowSize : public ::testing::Test
{
protected:
    void SetUp() override
    {
        data.Write("peizhi.ini", SettingsFile({{kWidth, "1043"}, {kHeight, "666"}}));
        program = Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    }

    ui::MainWindow& Window() { return program->Window(); }
    QWindow& Native() { return *Window().windowHandle(); }
    std::string Stored(int width, int height)
    {
        return SettingsFile({{kWidth, std::to_string(width)}, {kHeight, std::to_string(height)}});
    }

    DataDir data;
    std::unique_ptr<library::Program> program;
};

// A resize at the right or bottom edge moves no corner: the controls follow
// at once, the size is stored by the next move.
TEST_F(WindowSize, AResizeAtTheRightEdgeIsLaidOutAndStoredOnlyByTheNextMove)
{
    const int frameWidth = Window().Width() - Native().width();
    const int frameHeight = Window().Height() - Native().height();
    Native().resize(900 - frameWidth, 500 - frameHeight);
    QTRY_COMPARE(Window().Width(), 900);
    QTRY_VERIFY(LaidOutFor(Window(), 900, 500));
    QApplication::processEvents();
    EXPECT_EQ(Settings(data), Stored(1043, 666));

    Native().setPosition(Native().position() + QPoint(40, 30));
    QTRY_COMPARE(Settings(data), Stored(900, 500));
}

// The entry list's width at each of its paints.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(ui::EntryList& list) : m_list(list) { list.viewport()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            widths.push_back(m_list.width());
        return false;
    }
    std::vector<int> widths;

private:
    ui::EntryList& m_list;
};

// A window that the window system resized is repainted at once: the
// controls are laid out before that paint, so no frame shows them in their
// old place.
TEST_F(WindowSize, AResizeByTheWindowSystemIsLaidOutBeforeTheRepaint)
{
    QApplication::processEvents();
    PaintWatch watch(Window().entryList());
    const QSize frame(Window().Width() - Native().width(), Window().Height() - Native().height());
    Native().resize(QSize(800, 500) - frame);
    QTRY_VERIFY(!watch.widths.empty());
    QApplication::processEvents();
    const int laidOut = ui::ProportionalLayout(800, 500)[ui::Control::EntryList].width();
    for (const int width : watch.widths)
        EXPECT_EQ(width, laidOut);
}

// Maximising stores the maximised frame; restoring stores the restored one.
// The next start opens at the stored size, not maximised.
TEST_F(WindowSize, MaximiseAndRestoreStoreTheFrameAndTheNextStartOpensAtIt)
{
    Window().showMaximized();
    const QRect screen = Native().screen()->availableGeometry();
    QTRY_COMPARE(Settings(data), Stored(screen.width(), screen.height()));
    EXPECT_TRUE(LaidOutFor(Window(), screen.width(), screen.height()));

    Window().showNormal();
    QTRY_COMPARE(Settings(data), Stored(1043, 666));
    QTRY_VERIFY(LaidOutFor(Window(), 1043, 666));

    Window().showMaximized();
    QTRY_COMPARE(Settings(data), Stored(screen.width(), screen.height()));
    program.reset();
    program = Start();
    EXPECT_FALSE(Window().isMaximized());
    EXPECT_EQ(Window().Width(), screen.width());
    EXPECT_EQ(Window().Height(), screen.height());
    EXPECT_TRUE(LaidOutFor(Window(), screen.width(), screen.height()));
}

}  // namespace
