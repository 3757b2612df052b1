// Pictures of the hit-point panel: a snare's hit point with three velocity layers, the loudest
// with a sound, once with each layer selected. Run it from the run folder; the PNG files go to the
// folder given as the first argument (the build's "screenshots" folder by default).
#include "bench/screenshotfolder.h"
#include "kiteditor/hitpointwidget.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir dir;
    if (!screenshotFolder(argc, argv, dir))
        return 1;

    Drum snare;
    snare.addHitpoint("Snare middle", 0, 0.17f, 0, Hitpoint::ByEnd, 80);
    snare.addHitpoint("Snare side", 0.12f, 0.17f, 0.12f, Hitpoint::ByEdge, 100);
    Hitpoint& middle = *snare.hitpoints[0];
    middle.levels.clear();
    middle.addDynaLevel("Drumsets/default/snare.wav", 0, 127, 85);
    middle.addDynaLevel("", -1, 84, 57);
    middle.addDynaLevel("", -1, 56, 0);

    HitpointWidget panel;
    panel.updateAll();
    panel.recvDrum(&snare);
    panel.show();
    bool ok = true;
    for (int level = 0; level < 3; ++level) {
        panel.dynaSel(level);
        ok &= save(panel.grab().toImage(), dir, QString("hitpoint_level%1.png").arg(level));
    }
    return ok ? 0 : 1;
}
