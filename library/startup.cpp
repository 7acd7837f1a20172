#include "library/startup.h"

#include <QApplication>

#include "storage/paths.h"
#include "ui/mainwindow.h"

namespace library {

int RunProgram(int argc, char** argv)
{
    QApplication app(argc, argv);
    storage::InitPaths();
    ui::MainWindow window;
    window.show();
    const int code = app.exec();
    storage::ReleasePaths();
    return code;
}

}  // namespace library
