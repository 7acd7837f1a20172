#include "library/startup.h"

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

#include "library/entries.h"
#include "library/folders.h"
#include "library/layout.h"
#include "library/promotion.h"
#include "library/singleinstance.h"
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

// The folder count comes from a file that anyone can edit. Far more folders
// than one row of headers can hold would take the memory and the time of a
// start without end (a count near 2^31 asks for two billion tabs).
constexpr std::int32_t kMaxFolders = 100'000;

}  // namespace

Program::Program(std::unique_ptr<SingleInstance> instance)
    : m_instance(std::move(instance))
    , m_window(std::make_unique<ui::MainWindow>())
{
}

Program::~Program()
{
    m_window.reset();
    ReleasePaths();
}

std::unique_ptr<Program> Program::Create()
{
    const std::string dataDirectory = storage::ChooseDataDirectory(storage::ProgramDirectory());
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
    std::unique_ptr<Program> program = Program::Create();
    if (!program)
        return 0;
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

    std::int32_t count = storage::ReadSettingNumber(storage::kFolderCountKey);
    if (count > kMaxFolders) {
        std::fprintf(stderr, "tovrimo: the settings file counts %d folders; restoring the first %d\n",
                     count, kMaxFolders);
        count = kMaxFolders;
    }
    for (std::int32_t i = 1; i < count; ++i)
        tabs.AppendTab(storage::ReadSetting(storage::FolderNameKey(i)));

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
    list.ClearRows();
    const int folder = window.folderTabs().CurrentTab();
    storage::FolderFile file = storage::ReadEntryFile(folder);
    list.AppendRows(std::move(file.bytes), std::move(file.entries));
}

void ReleasePaths()
{
    storage::ReleasePaths();
}

}  // namespace library
