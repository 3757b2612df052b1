#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QWidget;

// The look that every panel shares: panel bronze behind the controls, brushed steel as the face
// of buttons, both images of the run folder's "Textures/"; Arial at the classic 8 points with
// bold titles; etched lines, light over dark, where parts are divided or framed.
namespace PanelLook {

inline const QString panelTexture = QStringLiteral("Textures/bronze4.bmp");
inline const QString buttonTexture = QStringLiteral("Textures/button111.bmp");

// The two lines of an etched edge, which show on the bronze.
inline const QColor etchLight{220, 220, 220};
inline const QColor etchDark{96, 72, 40};

// The image of that file, loaded once and shared.
QPixmap image(const QString& file);

// A brush that tiles the image. Its colour is the image's mean, for styles that fill with colours.
QBrush texture(const QString& file);

// The widget and its children take panel bronze as background and brushed steel as button face;
// the widget fills its own background.
void applyTextures(QWidget* widget);

// A push button whose face shows the button texture.
void texturedButton(QPushButton* button);

// The face of a toggle button: the image as it is when off, pressed in and rimmed in amber when
// on, so that the state shows whatever the style draws beneath.
QIcon toggleFace(const QString& file);

// The text of a panel's form, and of its titles.
QFont bodyFont();
QFont titleFont(int points);

// The widget's lines that the style draws light and dark (sunken lines, group frames) become
// etched in the panels' colours.
void etch(QWidget* widget);

// Building a panel's form: each control gets its object name and its fixed place.
template <typename Widget> Widget* place(Widget* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
// A label in bold: at the given size, or at the form's where its place is sized for that.
QLabel* title(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
              int points = 0);
// A label showing the image at its place.
QLabel* picture(QWidget* parent, const QString& name, const QString& file, const QRect& geometry);
QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry);
// A typed number counts once it is complete (Return, or leaving the box), not at every keystroke.
QSpinBox* spinBox(QWidget* parent, const QString& name, const QRect& geometry, int minimum,
                  int maximum, int value);
// A group box whose frame is an etched line.
QGroupBox* group(QWidget* parent, const QString& name, const QString& title, const QRect& geometry);

} // namespace PanelLook
