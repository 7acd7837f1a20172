#include "library/folders.h"

#include "library/unwritten.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"
#include "ui/renamewindow.h"

namespace library {

void ShowFolderMenu(ui::MainWindow& window)
{
    window.PopUpMenu(ui::MainWindow::Menu::Folder);
}

void AddFolder(ui::MainWindow& window)
{
    ui::FolderTabs& tabs = window.folderTabs();
    tabs.AppendTab({});
    // The count includes the new folder. It gets no name key and no entry
    // file until it is renamed or given an entry.
    SaveSettings(window, {{SettingKey::Kind::FolderCount}});
}

void RenameFolder(ui::MainWindow& window)
{
    {
        ui::RenameWindow renameWindow(&window);
        // Runs as the window is destroyed at the end of this block, while
        // its rename box still holds the typed text.
        QObject::connect(&renameWindow, &ui::RenameWindow::willBeDestroyed, &window,
                         [&window, &renameWindow] { ApplyRename(window, renameWindow); });
        // Modal: until the window has closed the main window takes no input,
        // so the current tab cannot change meanwhile.
        renameWindow.exec();
    }
    // The window is gone and ApplyRename has put its text on the current
    // tab; only now is the name written.
    SaveSettings(window, {{SettingKey::Kind::FolderName, window.folderTabs().CurrentTab()}});
}

void ApplyRename(ui::MainWindow& window, const ui::RenameWindow& renameWindow)
{
    ui::FolderTabs& tabs = window.folderTabs();
    tabs.SetTabName(tabs.CurrentTab(), renameWindow.Text());
}

}  // namespace library
