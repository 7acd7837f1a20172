#include "ui/mainwindow.h"

namespace ui {

MainWindow::MainWindow()
{
    setWindowTitle(QStringLiteral("Tovrimo"));
    resize(1043, 666);
}

}  // namespace ui
