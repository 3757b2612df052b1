#include "songeditor/beatline.h"

#include "common/panellook.h"
#include "songeditor/chanline.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace {

enum Form
{
    Plain,
    Early,
    Late
};

constexpr int beyondImage = 0;

// A cell is a push button that only draws its image, lit while pressed. Unlike a button's icon,
// a new image asks for nothing but a repaint, so a whole pattern is redrawn quickly.
class BeatCell : public QPushButton
{
public:
    explicit BeatCell(QWidget* parent) : QPushButton(parent) {}

    void setImage(const QPixmap& value)
    {
        image = value;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, image);
        if (isDown())
            painter.fillRect(rect(), QColor(255, 255, 255, 60));
    }

private:
    QPixmap image;
};

int imageIndex(int level, bool barMark, Form form)
{
    if (level == 0)
        return 1 + int(barMark);
    return 3 + ((level - 1) * 2 + int(barMark)) * 3 + form;
}

QString imageFile(int index)
{
    if (index == beyondImage)
        return PanelLook::buttonTexture;
    if (index < 3)
        return index == 1 ? "Textures/beat0.bmp" : "Textures/beat0b.bmp";
    const int rest = index - 3;
    const char* forms[] = {"", "l", "p"};
    return QString("Textures/beat%1%2%3.bmp")
        .arg(rest / 6 + 1)
        .arg((rest / 3) % 2 ? "b" : "")
        .arg(forms[rest % 3]);
}

// Levels by velocity: 1-20, 21-40, 41-60, 61-80, 81-100, 101 and above.
int levelOf(int velocity)
{
    return std::clamp((velocity - 1) / 20 + 1, 1, 6);
}

} // namespace

BeatLine::BeatLine(QWidget* parent, const QString& name, int line)
    : QWidget(parent), line(line), frame(new QFrame(this)), buttonBox(new QWidget(frame)),
      buttonGroup(new QButtonGroup(this))
{
    setObjectName(name.isEmpty() ? QString("BeatLine") : name);
    resize(cellCount * 30, 30);
    frame->setObjectName("BeatLineFrame");
    frame->setGeometry(0, 0, cellCount * 30, 30);
    frame->setFrameShape(QFrame::WinPanel);
    frame->setFrameShadow(QFrame::Raised);
    applyRowFont(frame);
    buttonBox->setObjectName("ButtonGroup1");
    buttonBox->setGeometry(0, 1, cellCount * 30, 30);
    buttonGroup->setObjectName("ButtonGroup1");

    for (int i = 0; i < imageCount; ++i)
        images[i] = PanelLook::image(imageFile(i));
    for (int c = 0; c < cellCount; ++c) {
        auto* cell = new BeatCell(buttonBox);
        cell->setGeometry(c * 30, 0, 30, 30);
        cell->setFocusPolicy(Qt::NoFocus);
        buttonGroup->addButton(cell, c);
        cells[c] = cell;
        shown[c] = -1;
        showImage(c, imageIndex(0, c % 8 == 0, Plain));
    }
    connect(buttonGroup, &QButtonGroup::idPressed, this, &BeatLine::pressed);
}

QString BeatLine::shownImage(int cell) const
{
    return imageFile(shown.at(cell));
}

void BeatLine::pressed(int cell)
{
    emit pressedSignal(cell, line);
}

void BeatLine::refresh(int cell, int row, int velocity, float offset)
{
    if (row != line || cell < 0 || cell >= cellCount)
        return;
    if (velocity == -1) {
        showImage(cell, beyondImage);
        return;
    }
    const bool barMark = beats > 0 && cell % (2 * beats) == 0;
    Form form = Plain;
    if (beats == 4 && offset < 0)
        form = Early;
    else if (beats == 4 && offset > 0)
        form = Late;
    showImage(cell, velocity == 0 ? imageIndex(0, barMark, Plain)
                                  : imageIndex(levelOf(velocity), barMark, form));
}

void BeatLine::showImage(int cell, int image)
{
    // A pattern redrawn on the beat clock mostly repeats what the cells show.
    if (shown[cell] == image)
        return;
    shown[cell] = image;
    static_cast<BeatCell*>(cells[cell])->setImage(images[image]);
}

void BeatLine::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        applyRowFont(frame);
    QWidget::changeEvent(event);
}
