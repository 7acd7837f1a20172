#include "library/folders.h"

#include "ui/mainwindow.h"

namespace library {

void ShowFolderMenu(ui::MainWindow& window)
{
    window.PopUpMenu(ui::MainWindow::Menu::Folder);
}

}  // namespace library
