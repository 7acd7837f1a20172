#pragma once

#include <QColor>
#include <QFont>

class QFrame;

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

// The look the entry list and the content box share: text in kTextColour on
// white, a selection drawn only while the control has the focus, and a
// single-line border.
void ApplyTextBoxLook(QFrame& box);

}  // namespace ui
