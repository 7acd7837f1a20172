#pragma once

#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testing_support {

// What a popup menu showed, and whether one showed at all.
struct MenuSeen
{
    bool shown = false;
    QString name;
    QStringList items;
};

// Arranges for the next popup menu to be answered from inside its own
// modal loop: `during` runs while it is up, then the item named `choose` is
// clicked, or the menu is dismissed when `choose` is empty.
inline void AnswerNextMenu(MenuSeen& seen, const QString& choose,
                           std::function<void()> during = {})
{
    QTimer::singleShot(0, [&seen, choose, during] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        seen.shown = true;
        seen.name = menu->objectName();
        for (const QAction* action : menu->actions())
            seen.items << action->text();
        if (during)
            during();
        for (QAction* action : menu->actions()) {
            if (!choose.isEmpty() && action->text() == choose) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        menu->close();
    });
}

}  // namespace testing_support
