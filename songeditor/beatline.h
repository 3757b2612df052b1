#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>

class QButtonGroup;
class QFrame;
class QPushButton;

// One line of 32 beat cells of the beat grid. A cell shows its note's level, whether it is
// early or late, and whether it starts a bar; the line reports presses with its row and changes
// an image only when the song panel answers with a refresh.
class BeatLine : public QWidget
{
    Q_OBJECT

public:
    static constexpr int cellCount = 32;

    BeatLine(QWidget* parent, const QString& name, int line);

    // The image file that a cell shows, as named under "Textures/".
    QString shownImage(int cell) const;

    int line;
    int beats = 4;
    QFrame* frame;
    QWidget* buttonBox;
    QButtonGroup* buttonGroup;
    std::array<QPushButton*, cellCount> cells;

public slots:
    void pressed(int cell);
    void refresh(int cell, int row, int velocity, float offset);

signals:
    void pressedSignal(int cell, int row);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showImage(int cell, int image);

    // Beyond the pattern, the empty cell and its bar-mark form, then six levels each in the
    // forms plain, early and late, off and on a bar mark.
    static constexpr int imageCount = 39;
    std::array<QPixmap, imageCount> images;
    std::array<int, cellCount> shown{};
};
