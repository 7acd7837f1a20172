#pragma once

// The program as it starts, offscreen, on the data directory that
// XDG_DATA_HOME names (see DataDir).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/startup.h"
#include "support/rows.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/mainwindow.h"

namespace testing_support {

class StartedProgram
{
public:
    // beforeStart runs on the built window before the created event.
    explicit StartedProgram(const std::function<void(ui::MainWindow&)>& beforeStart = {})
        : program(library::Program::Create())
    {
        if (beforeStart)
            beforeStart(program->Window());
        program->Start();
    }

    ui::MainWindow& Window() { return program->Window(); }
    ui::FolderTabs& Tabs() { return Window().folderTabs(); }
    ui::EntryList& List() { return Window().entryList(); }

    // Every tab's title, and every row's bytes, in order.
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (int i = 0; i < Tabs().TabCount(); ++i)
            titles.push_back(Tabs().TabName(i));
        return titles;
    }
    std::vector<std::string> Rows() { return Strings(List().Rows()); }

    std::unique_ptr<library::Program> program;
};

}  // namespace testing_support
