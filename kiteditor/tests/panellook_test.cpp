// Both kit panels in the look that every panel shares: steel buttons and etched group frames (one
// style for both, other than the application's), the panels' type, and every text within the
// place that the form gives it.
#include "common/panellook.h"
#include "kiteditor/drsetwidget.h"
#include "kiteditor/hitpointwidget.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// Space that the style leaves around a text: a button's bevel and margin, a group title's indent.
int textRoom(const QWidget* widget)
{
    if (qobject_cast<const QPushButton*>(widget))
        return widget->width() - 6;
    if (qobject_cast<const QGroupBox*>(widget))
        return widget->width() - 16;
    return widget->width();
}

QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return QString();
}

void expectPanelLook(QWidget& panel, QFrame* frame)
{
    panel.show();
    EXPECT_EQ(frame->font().family(), "Arial");
    EXPECT_EQ(frame->font().pointSize(), PanelLook::bodyFont().pointSize());
    const QStyle* look = nullptr;
    for (QWidget* widget : frame->findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(widget) || qobject_cast<QGroupBox*>(widget)) {
            EXPECT_NE(widget->style(), QApplication::style()) << widget->objectName().toStdString();
            EXPECT_TRUE(!look || widget->style() == look) << widget->objectName().toStdString();
            look = widget->style();
        }
        const QString text = textOf(widget);
        const bool hidden = widget->objectName() == "GroupBox12"; // under its buttons
        if (text.isEmpty() || hidden)
            continue;
        EXPECT_LE(widget->fontMetrics().horizontalAdvance(text), textRoom(widget))
            << widget->objectName().toStdString() << " \"" << text.toStdString() << "\"";
    }
    ASSERT_NE(look, nullptr);
}

TEST(KitPanelLook, ButtonsGroupsAndTextsAsInEveryPanel)
{
    DrsetWidget drset;
    expectPanelLook(drset, drset.drsetWidget);
    HitpointWidget hitpoints;
    hitpoints.updateAll();
    expectPanelLook(hitpoints, hitpoints.hitpointFrame);
    EXPECT_TRUE(hitpoints.dynaLabel->font().bold());
    EXPECT_TRUE(drset.drumLabel->font().bold());
}

} // namespace
