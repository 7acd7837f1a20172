#pragma once

#include <QColor>
#include <QFont>

namespace ui {

// The text colour of the entry list, the content box and the promotion label.
inline constexpr QColor kTextColour{88, 48, 224};

// "楷体" at a character height of 19 pixels, normal weight.
QFont EntryListFont();
// "楷体" at a character height of 20 pixels, normal weight.
QFont ContentBoxFont();
// "SimSun" at a character height of 12 pixels, normal weight.
QFont FolderTabsFont();
// The Chinese default face (SimSun) at a character height of 20 pixels,
// normal weight: the rename box.
QFont RenameBoxFont();

}  // namespace ui
