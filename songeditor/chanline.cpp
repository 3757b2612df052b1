#include "songeditor/chanline.h"

#include "common/panellook.h"

#include <QCheckBox>
#include <QDial>
#include <QEvent>
#include <QFrame>
#include <QLabel>

namespace {

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QCheckBox* addBox(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

} // namespace

// Where the family is missing, a narrow one keeps the strip's short labels within their places.
void applyRowFont(QWidget* frame)
{
    QFont font = frame->font();
    font.setFamilies({"Comic Sans MS", "Liberation Sans"});
    font.setPointSize(8);
    frame->setFont(font);
}

ChanLine::ChanLine(QWidget* parent, const QString& name, int index)
    : QWidget(parent), index(index), frame(new QFrame(this))
{
    setObjectName(name.isEmpty() ? QString("ChanLine") : name);
    resize(280, 30);
    frame->setObjectName("BeatLineFrame");
    frame->setGeometry(0, 0, 280, 30);
    frame->setFrameShape(QFrame::WinPanel);
    frame->setFrameShadow(QFrame::Raised);
    PanelLook::applyTextures(frame);
    applyRowFont(frame);

    nameLabel = addLabel(frame, "TextLabel1", name, {10, 6, 110, 19});
    addLabel(frame, "TextLabel3", "Mute", {128, 6, 30, 19});
    muteBox = addBox(frame, "CheckBox1", {160, 2, 16, 26});
    addLabel(frame, "TextLabel4", "Solo", {180, 6, 24, 19});
    soloBox = addBox(frame, "CheckBox2", {210, 2, 21, 26});
    addLabel(frame, "TextLabel2", "Vol", {233, 6, 19, 19});
    volumeDial = new QDial(frame);
    volumeDial->setObjectName("Dial1");
    volumeDial->setGeometry(250, 2, 25, 25);
    volumeDial->setRange(0, 100);
    volumeDial->setPageStep(1);
    volumeDial->setValue(100);
    volumeDial->setFocusPolicy(Qt::NoFocus);

    connect(muteBox, &QCheckBox::clicked, this, &ChanLine::mute);
    connect(soloBox, &QCheckBox::clicked, this, &ChanLine::solo);
    connect(volumeDial, &QDial::valueChanged, this, &ChanLine::vol);
}

void ChanLine::mute()
{
    emit muteSignal(index);
}

void ChanLine::solo()
{
    emit soloSignal(index);
}

void ChanLine::vol(int value)
{
    emit volSignal(index, value);
}

void ChanLine::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        applyRowFont(frame);
    QWidget::changeEvent(event);
}
