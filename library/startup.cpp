#include "library/startup.h"

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

#include "library/endsignals.h"
#include "library/entries.h"
#include "library/folders.h"
#include "library/layout.h"
#include "library/promotion.h"
#include "library/singleinstance.h"
#include "library/unwritten.h"
#include "storage/entries.h"
#include "storage/files.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"
#include "ui/promotionlabel.h"

namespace library {

namespace {

// Below this stored width the window opens at the fallback size.
constexpr int kUsableWidth = 500;
constexpr int kFallbackWidth = 700;
constexpr int kFallbackHeight = 400;

// The folder count comes from a file that anyone can edit, and a count near
// 2^31 would ask for two billion tabs. Up to this many folders the count is
// taken as it stands; a user adds folders one at a time and will not have
// made more.
constexpr std::int32_t kCountTakenAsStored = 10'000;
// Beyond it, only as many folders as the data shows: the highest folder
// that has a name or an entry file, and all before it. No folder that holds
// anything is lost, up to this many in all.
constexpr std::int32_t kMaxFolders = 100'000;

// The number of folders to restore for the stored count.
std::int32_t FoldersToRestore(std::int32_t count)
{
    if (count <= kCountTakenAsStored)
        return count;
    const std::int32_t used =
        std::max(storage::HighestNamedFolder(), storage::HighestFolderWithEntryFile()) + 1;
    const std::int32_t restored = std::min({count, std::max(kCountTakenAsStored, used), kMaxFolders});
    std::fprintf(stderr, "tovrimo: the settings file counts %d folders; restoring %d\n", count, restored);
    return restored;
}

}  // namespace

Program::Program(std::unique_ptr<SingleInstance> instance)
    : m_instance(std::move(instance))
    , m_window(std::make_unique<ui::MainWindow>())
{
}

Program::~Program()
{
    // A write that failed may go through now that the run is over.
    WriteEverythingDue(*m_window);
    m_window.reset();
    ReleasePaths();
}

std::unique_ptr<Program> Program::Create()
{
    // The folder is made here, so that the claim names it by its real path;
    // InitPaths, at the start, reports when it cannot be made.
    const std::string dataDirectory = storage::DataDirectoryFor(storage::ProgramDirectory());
    storage::MakeDataDirectory(dataDirectory);
    std::unique_ptr<SingleInstance> instance = SingleInstance::Claim(dataDirectory);
    if (!instance)
        return nullptr;
    // Only the copy that holds the directory may clear up after a crash.
    storage::RemoveLeftoverTemporaryFiles(dataDirectory);

    std::unique_ptr<Program> program(new Program(std::move(instance)));
    ui::MainWindow& window = *program->m_window;
    ConnectHandlers(window);
    QObject::connect(program->m_instance.get(), &SingleInstance::activationRequested, &window,
                     &ui::MainWindow::BringToFront);
    return program;
}

void Program::Start()
{
    m_window->Start();
}

int RunProgram(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tovrimo"));
    // Ties the window to its desktop entry (icon and name in docks and
    // task switchers).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tovrimo.Tovrimo"));
    std::unique_ptr<Program> program = Program::Create();
    if (!program)
        return 0;
    const EndSignals endSignals(program->Window());
    program->Start();
    app.exec();
    return 0;
}

void ConnectHandlers(ui::MainWindow& window)
{
    ui::FolderTabs& tabs = window.folderTabs();
    ui::EntryList& list = window.entryList();
    QObject::connect(&window, &ui::MainWindow::created, &window, [&window] { RestoreOnStart(window); });
    QObject::connect(&window, &ui::MainWindow::positionChanged, &window,
                     [&window] { SaveWindowSize(window); });
    QObject::connect(&window, &ui::MainWindow::sizeChanged, &window, [&window] { ApplyLayout(window); });
    QObject::connect(&tabs, &ui::FolderTabs::tabChanged, &window, [&window] { LoadFolder(window); });
    QObject::connect(&tabs, &ui::FolderTabs::rightPressed, &window,
                     [&window] { ShowFolderMenu(window); });
    QObject::connect(&window, &ui::MainWindow::addFolderChosen, &window, [&window] { AddFolder(window); });
    QObject::connect(&window, &ui::MainWindow::renameFolderChosen, &window,
                     [&window] { RenameFolder(window); });
    QObject::connect(&list, &ui::EntryList::rightPressed, &window,
                     [&window] { ShowEntryMenu(window); });
    QObject::connect(&list, &ui::EntryList::entryClicked, &window, [&window] { PickEntry(window); });
    QObject::connect(&window.addButton(), &QPushButton::clicked, &window, [&window] { AddEntry(window); });
    QObject::connect(&window.modifyButton(), &QPushButton::clicked, &window,
                     [&window] { ModifyEntry(window); });
    QObject::connect(&window, &ui::MainWindow::deleteEntryChosen, &window,
                     [&window] { DeleteEntry(window); });
    QObject::connect(&window, &ui::MainWindow::moveEntryUpChosen, &window,
                     [&window] { MoveEntryUp(window); });
    QObject::connect(&window.promotionLabel(), &ui::PromotionLabel::leftPressed, &window,
                     [] { OpenPromotion(); });
}

void RestoreOnStart(ui::MainWindow& window)
{
    storage::InitPaths();
    ui::FolderTabs& tabs = window.folderTabs();
    tabs.SetTabName(0, storage::ReadSetting(storage::FolderNameKey(0)));
    LoadFolder(window);

    const std::int32_t count = FoldersToRestore(storage::ReadSettingNumber(storage::kFolderCountKey));
    // The names of folders 1 to count - 1, from one reading of the file.
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(std::max(count - 1, 0)));
    for (std::int32_t i = 1; i < count; ++i)
        keys.push_back(storage::FolderNameKey(i));
    for (const std::string& name : storage::ReadSettings(keys))
        tabs.AppendTab(name);

    RestoreWindowSize(window);
}

void RestoreWindowSize(ui::MainWindow& window)
{
    window.SetWidth(storage::ReadSettingNumber(storage::kWindowWidthKey));
    window.SetHeight(storage::ReadSettingNumber(storage::kWindowHeightKey));
    if (window.Width() < kUsableWidth) {
        window.SetWidth(kFallbackWidth);
        window.SetHeight(kFallbackHeight);
    }
}

void LoadFolder(ui::MainWindow& window)
{
    ui::EntryList& list = window.entryList();
    // The list may hold the rows of a folder whose save failed: a last
    // chance for them before they go.
    WriteDueFolder(window);
    list.ClearRows();
    const int folder = window.folderTabs().CurrentTab();
    storage::FolderFile file = storage::ReadEntryFile(folder);
    NoteFolderShown(window, folder, file.unreadable);
    list.AppendRows(std::move(file.bytes), std::move(file.entries));
}

void ReleasePaths()
{
    storage::ReleasePaths();
}

}  // namespace library
