#pragma once

#include "common/popupmenu.h"
#include "kit/bodytypes.h"
#include "kiteditor/drsetwidget.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Gives the panel what the main window gives it after making it: the 26 type names, the
// add-child items of the root and a first refresh.
inline void prepare(DrsetWidget& panel)
{
    for (int type = 0; type < BodyTypes::count; ++type)
        panel.typeNames.append(BodyTypes::name(type));
    panel.setMenu();
    panel.updateAll();
}

// Presses "Add child" as a person does, reads the popup that opens and clicks the item of that
// text, if there is one; otherwise the popup is closed.
inline QStringList pressAddChild(DrsetWidget& panel, const QString& choice = QString())
{
    QStringList items;
    QTimer::singleShot(0, &panel, [&items, choice] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            items << action->text();
            if (action->text() == choice)
                chosen = action;
        }
        if (chosen)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        else
            menu->close();
    });
    QTest::mouseClick(panel.drumAddButton, Qt::LeftButton);
    return items;
}

inline void addChild(DrsetWidget& panel, int type)
{
    pressAddChild(panel, BodyTypes::name(type));
}

inline void clickRow(DrsetWidget& panel, int row)
{
    QListWidget* list = panel.drumList;
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}
