#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "library/startup.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/menus.h"
#include "support/rows.h"
#include "support/started.h"
#include "support/texts.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"
#include "ui/promotionlabel.h"

namespace {

using namespace testing_support::texts;

using testing_support::AnswerNextMenu;
using testing_support::DataDir;
using testing_support::EntryFile;
using testing_support::MenuSeen;
using testing_support::SettingsFile;


// Folder names and entries in code page 936.
const std::string kReminder = "\xB4\xDF\xB8\xB6";    // 催付
const std::vector<std::string> kFirstFolder = {kHello, "", "line one\r\nline two", "\x80 5", "last"};
const std::vector<std::string> kSecondFolder = {"second", kAfterSale};

// The window's frame where the design size centres it on the 1920 x 1080
// test screen.
const QPoint kCentred{(1920 - 1043) / 2, (1080 - 666) / 2};

// How often LoadFolder emptied the list; made before the program starts.
struct ResetCount
{
    std::unique_ptr<QSignalSpy> resets;
};

// The program as it starts, on its own data directory, counting how often
// LoadFolder emptied the list.
class Started : private ResetCount, public testing_support::StartedProgram
{
public:
    explicit Started(const DataDir&)
        : StartedProgram([this](ui::MainWindow& window) {
            resets = std::make_unique<QSignalSpy>(&window.entryList().Model(), &QAbstractItemModel::modelReset);
        })
    {
    }

    int Loads() const { return static_cast<int>(resets->count()); }
};

struct StartCase
{
    const char* name;
    std::optional<std::string> settings;  // no settings file when absent
    std::vector<std::string> titles;
    QSize frame;  // height -1: the lowest the window system allows
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartUp : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(StartUp, RestoresFoldersFirstFolderAndWindowSize)
{
    const StartCase& c = GetParam();
    DataDir data;
    if (c.settings)
        data.Write("peizhi.ini", *c.settings);
    data.Write("0.txt", EntryFile(kFirstFolder));
    data.Write("1.txt", EntryFile(kSecondFolder));

    Started started(data);
    ui::MainWindow& window = started.Window();
    EXPECT_EQ(started.Titles(), c.titles);
    EXPECT_EQ(started.Tabs().CurrentTab(), 0);
    EXPECT_EQ(testing_support::Strings(started.List().Rows()), kFirstFolder);
    EXPECT_EQ(started.List().SelectedRow(), -1);
    EXPECT_EQ(started.Loads(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Width(), c.frame.width());
    if (c.frame.height() >= 0)
        EXPECT_EQ(window.Height(), c.frame.height());
    else
        EXPECT_EQ(window.geometry().height(), window.minimumHeight());
    EXPECT_EQ(QPoint(window.Left(), window.Top()), kCentred);
}

INSTANTIATE_TEST_SUITE_P(
    Data, StartUp,
    ::testing::Values(
        StartCase{"NoSettingsFile", std::nullopt, {""}, {700, 400}},
        StartCase{"ThreeNamedFolders",
                  SettingsFile({{Name(0), kCommon}, {kCount, "3"}, {Name(1), kAfterSale},
                                {Name(2), kReminder}, {kWidth, "1043"}, {kHeight, "666"}}),
                  {kCommon, kAfterSale, kReminder}, {1043, 666}},
        StartCase{"MissingNameKey",
                  SettingsFile({{kCount, "3"}, {Name(0), kCommon}, {Name(2), kReminder}}),
                  {kCommon, "", kReminder}, {700, 400}},
        StartCase{"NameKeyBeyondCount",
                  SettingsFile({{kCount, "3"}, {Name(0), kCommon}, {Name(3), "x"}}),
                  {kCommon, "", ""}, {700, 400}},
        StartCase{"CountZero", SettingsFile({{kCount, "0"}, {Name(0), kCommon}, {Name(1), "x"}}),
                  {kCommon}, {700, 400}},
        StartCase{"CountNegative", SettingsFile({{kCount, "-1"}, {Name(1), "x"}}), {""}, {700, 400}},
        StartCase{"CountGarbage", SettingsFile({{kCount, "many"}, {Name(1), "x"}}), {""}, {700, 400}},
        StartCase{"Width499", SettingsFile({{kWidth, "499"}, {kHeight, "900"}}), {""}, {700, 400}},
        StartCase{"WidthNegative", SettingsFile({{kWidth, "-5"}, {kHeight, "900"}}), {""}, {700, 400}},
        StartCase{"Width500HeightZero", SettingsFile({{kWidth, "500"}, {kHeight, "0"}}), {""}, {500, -1}},
        StartCase{"Size1200x800", SettingsFile({{kWidth, "1200"}, {kHeight, "800"}}), {""}, {1200, 800}}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder count near 2^31, from a damaged or hand-edited settings file,
// would ask for two billion tabs: the start would never end. Past 10,000
// the count is held to what the data shows, and no folder that has a name
// or entries is lost.
TEST(StartUpLimits, AnAbsurdFolderCountRestoresTheFoldersTheDataShows)
{
    const struct
    {
        const char* name;
        std::string count;
        std::vector<std::pair<int, std::string>> names;
        std::vector<int> entryFiles;
        int tabs;
    } cases[] = {
        {"ten thousand as stored", "10000", {{9999, kCommon}}, {}, 10'000},
        {"no more than ten thousand empty ones", "2147483647", {{1, kCommon}}, {0}, 10'000},
        {"up to the highest named folder", "2147483647", {{12'345, kCommon}}, {}, 12'346},
        {"up to the highest folder with entries", "2147483647", {{1, kCommon}}, {20'000}, 20'001},
        {"never more than stored", "15000", {}, {20'000}, 15'000},
        {"never more than a hundred thousand", "2147483647", {{2'000'000, kCommon}}, {}, 100'000},
    };
    for (const auto& c : cases) {
        DataDir data;
        std::vector<std::pair<std::string, std::string>> keys{{kCount, c.count}};
        for (const auto& [index, name] : c.names)
            keys.emplace_back(Name(index), name);
        data.Write("peizhi.ini", SettingsFile(keys));
        for (int index : c.entryFiles)
            data.Write(std::to_string(index) + ".txt", EntryFile({"x"}));
        Started started(data);
        EXPECT_EQ(started.Tabs().TabCount(), c.tabs) << c.name;
        for (const auto& [index, name] : c.names) {
            if (index < c.tabs) {
                EXPECT_EQ(started.Tabs().TabName(index), name) << c.name;
            }
        }
    }
}

TEST(StartUpEvents, CreatedRunsFirstThenPositionAndSizeOnceBeforeTheWindowShows)
{
    DataDir data;
    data.Write("peizhi.ini", SettingsFile({{kWidth, "1200"}, {kHeight, "800"}}));
    std::unique_ptr<library::Program> program = library::Program::Create();
    ui::MainWindow& window = program->Window();
    std::vector<std::string> events;
    const auto record = [&](const char* name) {
        return [&, name] { events.push_back(name + std::string(window.isVisible() ? " shown" : "")); };
    };
    QObject::connect(&window, &ui::MainWindow::created, record("created"));
    QObject::connect(&window, &ui::MainWindow::sizeChanged, record("size"));
    QObject::connect(&window, &ui::MainWindow::positionChanged, record("position"));
    program->Start();
    // The created event's size writes raise the size event inside it.
    EXPECT_EQ(events, (std::vector<std::string>{"size", "size", "created", "position", "size"}));
}

// The program started on three folders, the first one holding entries.
class Running : public ::testing::Test
{
protected:
    Running()
    {
        data.Write("peizhi.ini", SettingsFile({{kCount, "3"}, {Name(0), kCommon}, {Name(1), kAfterSale},
                                               {kWidth, "1043"}, {kHeight, "666"}}));
        data.Write("0.txt", EntryFile({"A", "B", "C"}));
        data.Write("1.txt", EntryFile(kSecondFolder));
        started.emplace(data);
    }

    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowExposed(&app().Window())); }

    void PressHeader(Qt::MouseButton button, int tab)
    {
        QTest::mouseClick(&app().Tabs(), button, {}, app().Tabs().HeaderRect(tab).center());
    }
    QPoint RowCentre(int row)
    {
        return app().List().visualRect(app().List().model()->index(row, 0)).center();
    }

    Started& app() { return *started; }

    DataDir data;
    std::optional<Started> started;
};

TEST_F(Running, LeftPressOnAnotherHeaderLoadsItsFolderAndOnTheCurrentOneNothing)
{
    app().Window().contentBox().SetText("draft");
    PressHeader(Qt::LeftButton, 1);
    EXPECT_EQ(app().Tabs().CurrentTab(), 1);
    EXPECT_EQ(testing_support::Strings(app().List().Rows()), kSecondFolder);
    EXPECT_EQ(app().Loads(), 2);

    PressHeader(Qt::LeftButton, 1);
    EXPECT_EQ(app().Loads(), 2);

    // A folder without an entry file has no entries; the content box keeps
    // its text throughout.
    PressHeader(Qt::LeftButton, 2);
    EXPECT_EQ(app().List().RowCount(), 0);
    EXPECT_EQ(app().Loads(), 3);
    EXPECT_EQ(app().Window().contentBox().Text(), "draft");
}

TEST_F(Running, RightPressOnAnotherHeaderShowsTheFolderMenuAndChangesNothing)
{
    MenuSeen seen;
    AnswerNextMenu(seen, {});
    PressHeader(Qt::RightButton, 1);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.items, (QStringList{QStringLiteral("增加子夹"), QStringLiteral("重命名子夹")}));
    EXPECT_EQ(app().Tabs().CurrentTab(), 0);
    EXPECT_EQ(app().Loads(), 1);
}

TEST_F(Running, RightPressOnARowSelectsItBeforeTheChosenCommandRuns)
{
    QTest::mouseClick(app().List().viewport(), Qt::LeftButton, {}, RowCentre(0));
    QSignalSpy chosen(&app().Window(), &ui::MainWindow::deleteEntryChosen);

    MenuSeen seen;
    int selectedDuringMenu = -2;
    AnswerNextMenu(seen, QStringLiteral("删除表项"), [&] { selectedDuringMenu = app().List().SelectedRow(); });
    QTest::mousePress(app().List().viewport(), Qt::RightButton, {}, RowCentre(2));
    QTest::mouseRelease(app().List().viewport(), Qt::RightButton, {}, RowCentre(2));

    EXPECT_EQ(seen.items, (QStringList{QStringLiteral("删除表项"), QStringLiteral("向上移")}));
    EXPECT_EQ(selectedDuringMenu, 0);
    EXPECT_EQ(app().List().SelectedRow(), 2);
    // The command runs afterwards, on the row the right press selected.
    ASSERT_TRUE(chosen.count() == 1 || chosen.wait(2000));
    EXPECT_EQ(testing_support::Strings(app().List().Rows()), (std::vector<std::string>{"A", "B"}));
}

class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(Running, LeftPressOnThePromotionLabelOpensTheOneAddress)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QTest::mouseClick(&app().Window().promotionLabel(), Qt::RightButton);
    QTest::mouseClick(&app().Window().promotionLabel(), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.urls.size(), 1);
    const QUrl& url = catcher.urls.front();
    EXPECT_EQ(url.scheme(), QStringLiteral("http"));
    EXPECT_TRUE(url.host().endsWith(QStringLiteral("example.com")));
    EXPECT_TRUE(url.query(QUrl::FullyEncoded).contains(QLatin1Char('%')));
}

}  // namespace

#include "startup_test.moc"
