#include "common/panellook.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

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

// Fusion, the usual style here, fills buttons with a plain colour; the Windows style fills them
// with the palette's brush and so shows the steel. One instance serves every button.
void PanelLook::texturedButton(QPushButton* button)
{
    static QStyle* style = [] {
        QStyle* windows = QStyleFactory::create("Windows");
        if (windows)
            windows->setParent(qApp);
        return windows;
    }();
    if (style)
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
