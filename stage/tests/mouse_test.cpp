#include "stage/tests/stagerig.h"
#include "testing/recordingdialogs.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using Emitted = std::vector<std::pair<std::string, float>>;

class Mouse : public ::testing::Test
{
protected:
    // Records every drag signal of the view, in the order they come.
    Mouse()
    {
        const std::pair<const char*, void (QGLWindow::*)(float)> drags[] = {
            {"posX", &QGLWindow::posSignalX}, {"posY", &QGLWindow::posSignalY},
            {"posZ", &QGLWindow::posSignalZ}, {"rotX", &QGLWindow::rotSignalX},
            {"rotY", &QGLWindow::rotSignalY}, {"rotZ", &QGLWindow::rotSignalZ},
            {"hitX", &QGLWindow::hitSignalX}, {"hitY", &QGLWindow::hitSignalY},
            {"hitZ", &QGLWindow::hitSignalZ},
        };
        for (const auto& [name, signal] : drags)
            QObject::connect(&view, signal, &view, [this, name = std::string(name)](float d) {
                emitted.push_back({name, d});
            });
    }

    void press(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at)
    {
        const Qt::MouseButton button = buttons & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
        QMouseEvent event(QEvent::MouseButtonPress, at, view.mapToGlobal(at), button, buttons,
                          modifiers);
        view.mousePressEvent(&event);
    }
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint to)
    {
        QMouseEvent event(QEvent::MouseMove, to, view.mapToGlobal(to), Qt::NoButton, buttons,
                          modifiers);
        view.mouseMoveEvent(&event);
    }
    void release(QPoint at)
    {
        QMouseEvent event(QEvent::MouseButtonRelease, at, view.mapToGlobal(at), Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
        view.mouseReleaseEvent(&event);
    }
    void drag(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy)
    {
        press(buttons, modifiers, {100, 100});
        move(buttons, modifiers, {100 + dx, 100 + dy});
    }

    Emitted emitted;
    RecordingDialogs dialogs;
    OpenView view;
};

} // namespace

TEST_F(Mouse, DragsWithoutCtrlSendDrumAndHitpointDeltas)
{
    struct Case
    {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int dx, dy;
        Emitted expected;
    };
    const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
    const Case cases[] = {
        {Qt::LeftButton, Qt::NoModifier, 10, 4, {{"posX", 0.05f}, {"posZ", 0.02f}}},
        {Qt::LeftButton, Qt::ShiftModifier, 10, 4, {{"posX", 0.05f}, {"posY", -0.02f}}},
        {Qt::RightButton, Qt::NoModifier, 10, 0, {{"rotY", 2}, {"rotX", 0}}},
        {Qt::RightButton, Qt::ShiftModifier, -10, 5, {{"rotY", -2}, {"rotZ", 1}}},
        {both,
         Qt::NoModifier,
         10,
         4,
         {{"posX", 0.05f}, {"posZ", 0.02f}, {"rotY", 2}, {"rotX", 0.8f}}},
        {Qt::LeftButton, Qt::AltModifier, 10, 4, {{"hitX", 0.05f}, {"hitZ", 0.02f}}},
        {Qt::LeftButton,
         Qt::AltModifier | Qt::ShiftModifier,
         10,
         4,
         {{"hitX", 0.05f}, {"hitY", -0.02f}}},
        {both, Qt::AltModifier, 10, 4, {{"hitX", 0.05f}, {"hitZ", 0.02f}}},
        {Qt::RightButton, Qt::AltModifier, 10, 4, {}},
        {Qt::NoButton, Qt::NoModifier, 10, 4, {}},
    };
    for (const Case& c : cases) {
        emitted.clear();
        drag(c.buttons, c.modifiers, c.dx, c.dy);
        ASSERT_EQ(emitted.size(), c.expected.size()) << int(c.buttons) << " " << int(c.modifiers);
        for (size_t i = 0; i < emitted.size(); ++i) {
            EXPECT_EQ(emitted[i].first, c.expected[i].first);
            EXPECT_FLOAT_EQ(emitted[i].second, c.expected[i].second) << emitted[i].first;
        }
        const bool acted = !c.expected.empty();
        EXPECT_EQ(view.cursor().shape(), acted ? Qt::BlankCursor : Qt::CrossCursor);
        release({0, 0});
        EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    }
    EXPECT_EQ(view.panX, 0) << "only Ctrl moves the camera";
    EXPECT_EQ(view.rotY, 0);
}

TEST_F(Mouse, CtrlDragsMoveTheCamera)
{
    drag(Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, 10, 4);
    EXPECT_FLOAT_EQ(view.panX, 0.1f) << "with Ctrl held Alt is not looked at";
    EXPECT_FLOAT_EQ(view.panZ, 0.04f);
    EXPECT_EQ(view.panY, 0);

    view.setView(0);
    drag(Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, 10, 4);
    EXPECT_FLOAT_EQ(view.panX, 0.1f);
    EXPECT_FLOAT_EQ(view.panY, -0.04f);
    EXPECT_EQ(view.panZ, 0);

    // The right button turns the camera, then pans it as the left button does.
    view.setView(0);
    drag(Qt::RightButton, Qt::ControlModifier, 10, 4);
    EXPECT_FLOAT_EQ(view.rotX, 4);
    EXPECT_FLOAT_EQ(view.rotY, 10);
    EXPECT_FLOAT_EQ(view.panX, 0.1f);
    EXPECT_FLOAT_EQ(view.panZ, 0.04f);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(emitted.empty()) << "with Ctrl held nothing is sent";
}

TEST_F(Mouse, EveryMoveMeasuresFromTheLastPosition)
{
    press(Qt::LeftButton, Qt::NoModifier, {50, 60});
    move(Qt::NoButton, Qt::NoModifier, {70, 90});
    EXPECT_EQ(view.lastX, 70) << "also a move that does nothing";
    EXPECT_EQ(view.lastY, 90);
    move(Qt::LeftButton, Qt::NoModifier, {80, 80});
    ASSERT_EQ(emitted.size(), 2u);
    EXPECT_FLOAT_EQ(emitted[0].second, 0.05f);
    EXPECT_FLOAT_EQ(emitted[1].second, -0.05f);
}
