#pragma once

#include <QBrush>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QPushButton;
class QWidget;

// The look that every panel shares: panel bronze behind the controls, brushed steel as the face
// of buttons, both images of the run folder's "Textures/".
namespace PanelLook {

inline const QString panelTexture = QStringLiteral("Textures/bronze4.bmp");
inline const QString buttonTexture = QStringLiteral("Textures/button111.bmp");

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

} // namespace PanelLook
