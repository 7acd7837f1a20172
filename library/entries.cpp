#include "library/entries.h"

#include "ui/mainwindow.h"

namespace library {

void ShowEntryMenu(ui::MainWindow& window)
{
    window.PopUpMenu(ui::MainWindow::Menu::Entry);
}

}  // namespace library
