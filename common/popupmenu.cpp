#include "common/popupmenu.h"

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {}

QAction* PopupMenu::insertItem(const QString& text, int id)
{
    QAction* action = addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { emit activated(id); });
    return action;
}
