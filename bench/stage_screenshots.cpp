// Pictures of the stage view as a user sees it: the six viewpoints with the drummer at rest, then
// strokes in motion tick by tick. Run it under xvfb-run from the run folder; the PNG files go to
// the folder given as the first argument (the build's "screenshots" folder by default).
#include "bench/screenshotfolder.h"
#include "common/glformat.h"
#include "humanoid/human.h"
#include "humanoid/viewpoint.h"
#include "kit/bodytypes.h"
#include "stage/tests/stagerig.h"

#include <QApplication>

namespace {

QString fileName(const QString& text)
{
    return text.toLower().replace(' ', '_');
}

bool viewpoints(StageRig& rig, const QDir& dir)
{
    bool ok = true;
    for (size_t i = 0; i < rig.view.human->viewpoints.size(); ++i) {
        rig.view.setView(int(i));
        ok &= save(rig.shot(), dir,
                   QString("view%1_%2.png").arg(i).arg(fileName(rig.view.viewpoint->description)));
    }
    return ok;
}

// Close-ups as a user gets them by dragging the camera with Ctrl held: the drummer from the front,
// from his right, from above on his right, his feet on the pedals from his left, and from above.
struct CloseUp
{
    const char* name;
    int viewpoint;
    float panX, panY, panZ;
    float rotX, rotY;
};
constexpr CloseUp closeUps[] = {{"front", 2, 0, -0.1f, -2.6f, 0, 0},
                                {"right", 4, 2.2f, 0.1f, -0.9f, 0, 0},
                                {"above_right", 2, -0.9f, -0.2f, -2.2f, -25, 40},
                                {"feet", 5, -3.2f, 0.55f, -0.8f, 0, 0},
                                {"top", 3, 0, 2.2f, -0.7f, 0, 0}};

QImage closeUp(StageRig& rig, const CloseUp& c)
{
    rig.view.setView(c.viewpoint);
    rig.view.panX = c.panX;
    rig.view.panY = c.panY;
    rig.view.panZ = c.panZ;
    rig.view.rotX = c.rotX;
    rig.view.rotY = c.rotY;
    return rig.shot();
}

// The right hand plays the floor tom while the left plays the hi-hat and the kick sounds; every
// beat tick of the two strokes is pictured close up, before the first tick as well.
bool strokes(StageRig& rig, const QDir& dir)
{
    const int floorTom = rig.drumOfType(BodyTypes::FloorTom);
    const int hihat = rig.drumOfType(BodyTypes::HiHat);
    const int kick = rig.drumOfType(BodyTypes::Kick);
    bool ok = true;
    for (int tick = 0; tick <= 8; ++tick) {
        if (tick == 1) {
            rig.view.moveRHand(floorTom, 0);
            rig.view.moveLHand(hihat, 1);
            rig.view.drumSet->allDrums[size_t(kick)]->hit(100, Hitpoint::RightFoot);
        }
        if (tick > 0) {
            rig.view.timerSlot();
            rig.view.upkeep();
        }
        for (const CloseUp& c : closeUps)
            ok &= save(closeUp(rig, c), dir, QString("stroke_tick%1_%2.png").arg(tick).arg(c.name));
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    setDefaultGlFormat();
    QApplication app(argc, argv);
    QDir dir;
    if (!screenshotFolder(argc, argv, dir))
        return 1;
    StageRig rig;
    rig.open();
    rig.place();
    const bool ok = viewpoints(rig, dir) && strokes(rig, dir);
    return ok ? 0 : 1;
}
