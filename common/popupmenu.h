#pragma once

#include <QMenu>

// A popup menu whose items carry identifiers: choosing an item emits activated(id). Each item
// reports through its own action, so cutting the menu's connections leaves the items working.
class PopupMenu : public QMenu
{
    Q_OBJECT

public:
    explicit PopupMenu(QWidget* parent = nullptr);

    // Appends an item; its identifier is also kept as the action's data.
    QAction* insertItem(const QString& text, int id);

signals:
    void activated(int id);
};
