#include "library/unwritten.h"

#include <QObject>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "storage/entries.h"
#include "storage/settings.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"

namespace library {

namespace {

// Where changes are waiting for a write, for one main window; it lives as
// long as the window, as its child.
class Due final : public QObject
{
public:
    using QObject::QObject;

    // The folder whose rows in the list are not in its file, or -1.
    int folder = -1;
    // The folder the list shows without the entries of its file, which
    // could not be read, or -1.
    int unread = -1;
    // Settings keys whose values in the file are behind the controls, in
    // the order their writes failed.
    std::vector<SettingKey> keys;
};

Due& DueOf(ui::MainWindow& window)
{
    for (QObject* child : window.children()) {
        if (auto* due = dynamic_cast<Due*>(child))
            return *due;
    }
    return *new Due(&window);
}

bool SameKey(const SettingKey& a, const SettingKey& b)
{
    return a.kind == b.kind && (a.kind != SettingKey::Kind::FolderName || a.folder == b.folder);
}

bool WriteKey(ui::MainWindow& window, const SettingKey& key)
{
    const ui::FolderTabs& tabs = window.folderTabs();
    switch (key.kind) {
    case SettingKey::Kind::FolderCount:
        return storage::WriteSettingNumber(storage::kFolderCountKey, tabs.TabCount());
    case SettingKey::Kind::FolderName:
        return storage::WriteSetting(storage::FolderNameKey(key.folder), tabs.TabName(key.folder));
    case SettingKey::Kind::WindowWidth:
        return storage::WriteSettingNumber(storage::kWindowWidthKey, window.Width());
    case SettingKey::Kind::WindowHeight:
        return storage::WriteSettingNumber(storage::kWindowHeightKey, window.Height());
    }
    return false;
}

// Writes the due keys in order and keeps those from the first that fails.
void WriteDueKeys(ui::MainWindow& window, Due& due)
{
    const auto failed = std::find_if(due.keys.begin(), due.keys.end(),
                                     [&window](const SettingKey& key) { return !WriteKey(window, key); });
    due.keys.erase(due.keys.begin(), failed);
}

}  // namespace

void SaveSettings(ui::MainWindow& window, std::initializer_list<SettingKey> keys)
{
    Due& due = DueOf(window);
    for (const SettingKey& key : keys) {
        if (std::none_of(due.keys.begin(), due.keys.end(),
                         [&key](const SettingKey& k) { return SameKey(k, key); }))
            due.keys.push_back(key);
    }
    WriteDueKeys(window, due);
}

void SaveRowsOf(ui::MainWindow& window, int folder)
{
    Due& due = DueOf(window);
    // The list lacks what the file holds; writing it would throw that away,
    // even once the file can be read again.
    if (folder == due.unread) {
        std::fprintf(stderr, "tovrimo: will not write folder %d: its file could not be read when it was opened\n",
                     folder);
        return;
    }
    // The rows go to the file as they are, without a copy or a decode; a
    // failure has been reported on standard error.
    if (storage::WriteEntryFile(folder, window.entryList().Rows())) {
        if (due.folder == folder)
            due.folder = -1;
    } else {
        due.folder = folder;
    }
}

void NoteFolderShown(ui::MainWindow& window, int folder, bool unreadable)
{
    DueOf(window).unread = unreadable ? folder : -1;
}

void WriteDueFolder(ui::MainWindow& window)
{
    Due& due = DueOf(window);
    if (due.folder < 0)
        return;
    // Whatever comes of it, the rows leave the list now.
    const int folder = due.folder;
    due.folder = -1;
    storage::WriteEntryFile(folder, window.entryList().Rows());
}

void WriteEverythingDue(ui::MainWindow& window)
{
    WriteDueFolder(window);
    WriteDueKeys(window, DueOf(window));
}

}  // namespace library
