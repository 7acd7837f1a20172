#include "library/layout.h"

#include "ui/mainwindow.h"

namespace library {

// The controls keep their design geometry until the proportional layout
// comes; the handler is connected so that the events already reach it.
void ApplyLayout(ui::MainWindow&)
{
}

// The window size is not stored yet; the handler is connected so that the
// events already reach it.
void SaveWindowSize(ui::MainWindow&)
{
}

}  // namespace library
