#pragma once

#include <QWidget>

namespace ui {

// The one main window of the program.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    MainWindow();
};

}  // namespace ui
