#include "library/entries.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>
#include <string>

#include "library/unwritten.h"
#include "ui/codec.h"
#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"

namespace library {

void AddEntry(ui::MainWindow& window)
{
    ui::EntryList& list = window.entryList();
    ui::ContentBox& box = window.contentBox();
    const int row = list.AppendRow();
    list.SetRowText(row, box.Text());
    box.SetText({});
    SaveFolder(window);
}

void ModifyEntry(ui::MainWindow& window)
{
    ui::EntryList& list = window.entryList();
    const int row = list.SelectedRow();
    // Nothing to modify: emptying the box would only lose what was typed.
    if (row < 0)
        return;
    ui::ContentBox& box = window.contentBox();
    list.SetRowText(row, box.Text());
    box.SetText({});
    SaveFolder(window);
}

void DeleteEntry(ui::MainWindow& window)
{
    ui::EntryList& list = window.entryList();
    list.DeleteRow(list.SelectedRow());
    SaveFolder(window);
}

void MoveEntryUp(ui::MainWindow& window)
{
    ui::EntryList& list = window.entryList();
    const int row = list.SelectedRow();
    if (row >= 1) {
        // Setting a row frees the bytes it owned, so the lower row's text is
        // copied before the upper one overwrites it. The upper row's view
        // stays valid until its own row is set.
        const std::string lower(list.RowText(row));
        list.SetRowText(row, list.RowText(row - 1));
        list.SetRowText(row - 1, lower);
    }
    SaveFolder(window);
}

void PickEntry(ui::MainWindow& window)
{
    ui::ContentBox& box = window.contentBox();
    const ui::EntryList& list = window.entryList();
    box.SetText(list.RowText(list.SelectedRow()));
    // The clipboard gets what the box shows, line breaks as CR LF.
    PutClipboardText(box.Text());
}

void ShowEntryMenu(ui::MainWindow& window)
{
    window.PopUpMenu(ui::MainWindow::Menu::Entry);
}

void SaveFolder(ui::MainWindow& window)
{
    SaveRowsOf(window, window.folderTabs().CurrentTab());
}

bool PutClipboardText(std::string_view text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString shown = ui::DecodeText(text);
    clipboard->setText(shown, QClipboard::Clipboard);
    // The window system says nothing when it refuses us the clipboard; then
    // the clipboard still holds another program's text.
    if (clipboard->text(QClipboard::Clipboard) != shown) {
        std::fprintf(stderr, "tovrimo: the clipboard did not take the text\n");
        return false;
    }
    return true;
}

}  // namespace library
