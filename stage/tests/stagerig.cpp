#include "stage/tests/stagerig.h"

#include "humanoid/human.h"
#include "kit/drumsetfile.h"
#include "stage/tests/drummerrig.h"

#include <QCoreApplication>
#include <QResizeEvent>

StageRig::StageRig()
{
    int sounds = 0;
    int drums = 0;
    DrumSetReader reader("Drumsets/default.set", sounds, drums, [](const QString&) {});
    reader.read(kit);
    view.recvSet(&kit);
    view.showHits = false;
    view.showDrummer = true;
}

void StageRig::open()
{
    QResizeEvent resize(view.size(), QSize());
    QCoreApplication::sendEvent(&view, &resize);
}

QImage StageRig::shot()
{
    return view.grabFramebuffer();
}

void StageRig::place()
{
    view.upkeep();
}

int StageRig::drumOfType(int type) const
{
    return ::drumOfType(kit, type);
}

ikPoint StageRig::hitpointAt(int drum, int hitpoint) const
{
    return ::hitpointAt(*view.drumSet, drum, hitpoint);
}

ikNode* StageRig::node(const char* name) const
{
    return view.human->ikRoot->findByName(name);
}
