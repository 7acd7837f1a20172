#pragma once

#include <string_view>

namespace ui {
class MainWindow;
}

namespace library {

// What the user does with the entries of the current folder. Each of these
// is the handler of one event, reads the selection, the content box and the
// current tab when it runs, and writes the folder's entry file before it
// returns when it changed the list.

// The Add button: appends the content box's text as a new last row, empties
// the box and saves. The selection stays where it was.
void AddEntry(ui::MainWindow& window);

// The Modify button: replaces the selected row's text with the content
// box's, empties the box and saves. With no row selected it does nothing at
// all: the typed text stays in the box.
void ModifyEntry(ui::MainWindow& window);

// The entry menu's "删除表项": removes the selected row and saves; no row is
// selected afterwards. The content box keeps its text.
void DeleteEntry(ui::MainWindow& window);

// The entry menu's "向上移": swaps the selected row's text with the row
// above and saves, also when nothing moved (row 0 or no row selected). The
// selection stays on the same row index.
void MoveEntryUp(ui::MainWindow& window);

// A click in the entry list: shows the selected row in the content box and
// puts it on the clipboard. Below the last row, where no row is selected,
// the box and the clipboard become empty. Writes nothing.
void PickEntry(ui::MainWindow& window);

// The right-press event of the entry list: pops the entry menu up. The
// press then goes on to the list, which selects the row under the pointer
// before the chosen command runs.
void ShowEntryMenu(ui::MainWindow& window);

// Writes every row, in order, as the current folder's entry file. A failure
// leaves the file as it was and the list as it is; the next save of the
// same folder writes the change out, and so does a change of folder or the
// end of the program, should the fault be gone by then.
void SaveFolder(ui::MainWindow& window);

// Replaces the system clipboard's content (not the X11 primary selection)
// with the text, code-page-936 bytes decoded for display. False, with one
// line on standard error, when the clipboard did not take it.
bool PutClipboardText(std::string_view text);

}  // namespace library
