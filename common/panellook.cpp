#include "common/panellook.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace {

// Fusion, the usual style here, fills buttons with a plain colour and frames group boxes with a
// faint image of its own; the Windows style fills buttons with the palette's brush, and so shows
// the steel, and draws group frames in the palette's light and dark. One instance serves all.
QStyle* windowsStyle()
{
    static QStyle* style = [] {
        QStyle* windows = QStyleFactory::create("Windows");
        if (windows)
            windows->setParent(qApp);
        return windows;
    }();
    return style;
}

} // namespace

QPixmap PanelLook::image(const QString& file)
{
    QPixmap pixmap;
    if (!QPixmapCache::find(file, &pixmap)) {
        pixmap.load(file);
        QPixmapCache::insert(file, pixmap);
    }
    return pixmap;
}

QBrush PanelLook::texture(const QString& file)
{
    const QPixmap pixmap = image(file);
    if (pixmap.isNull())
        return QBrush(Qt::lightGray);
    const QColor mean =
        pixmap.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
    return QBrush(mean, pixmap);
}

void PanelLook::applyTextures(QWidget* widget)
{
    const QBrush panel = texture(panelTexture), button = texture(buttonTexture);
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Window, panel);
        palette.setBrush(group, QPalette::Button, button);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void PanelLook::texturedButton(QPushButton* button)
{
    if (QStyle* style = windowsStyle())
        button->setStyle(style);
}

QIcon PanelLook::toggleFace(const QString& file)
{
    const QPixmap off = image(file);
    QPixmap on = off;
    if (!on.isNull()) {
        QPainter painter(&on);
        painter.fillRect(on.rect(), QColor(0, 0, 0, 70));
        painter.drawPixmap(1, 1, off, 0, 0, off.width() - 2, off.height() - 2);
        painter.fillRect(on.rect(), QColor(0, 0, 0, 40));
        painter.setPen(QPen(QColor(240, 172, 48), 2));
        painter.drawRect(on.rect().adjusted(1, 1, -1, -1));
    }
    QIcon icon;
    icon.addPixmap(off, QIcon::Normal, QIcon::Off);
    icon.addPixmap(on, QIcon::Normal, QIcon::On);
    return icon;
}

QFont PanelLook::bodyFont()
{
    return QFont("Arial", 8);
}

QFont PanelLook::titleFont(int points)
{
    QFont font("Arial", points);
    font.setBold(true);
    return font;
}

void PanelLook::etch(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Light, etchLight);
    palette.setColor(QPalette::Dark, etchDark);
    widget->setPalette(palette);
}

QLabel* PanelLook::label(QWidget* parent, const QString& name, const QString& text,
                         const QRect& geometry)
{
    return place(new QLabel(text, parent), name, geometry);
}

QLabel* PanelLook::title(QWidget* parent, const QString& name, const QString& text,
                         const QRect& geometry, int points)
{
    QLabel* title = label(parent, name, text, geometry);
    title->setFont(titleFont(points > 0 ? points : bodyFont().pointSize()));
    return title;
}

QLabel* PanelLook::picture(QWidget* parent, const QString& name, const QString& file,
                           const QRect& geometry)
{
    QLabel* picture = label(parent, name, QString(), geometry);
    picture->setPixmap(image(file));
    return picture;
}

QPushButton* PanelLook::button(QWidget* parent, const QString& name, const QString& text,
                               const QRect& geometry)
{
    QPushButton* button = place(new QPushButton(text, parent), name, geometry);
    texturedButton(button);
    return button;
}

QSpinBox* PanelLook::spinBox(QWidget* parent, const QString& name, const QRect& geometry,
                             int minimum, int maximum, int value)
{
    QSpinBox* spin = place(new QSpinBox(parent), name, geometry);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setKeyboardTracking(false);
    return spin;
}

QGroupBox* PanelLook::group(QWidget* parent, const QString& name, const QString& title,
                            const QRect& geometry)
{
    QGroupBox* group = place(new QGroupBox(title, parent), name, geometry);
    if (QStyle* style = windowsStyle())
        group->setStyle(style);
    etch(group);
    return group;
}
