// Pictures of the drum-set panel as a user sees it: the default kit loaded through "Load", first
// with the root row selected, then with the snare drum selected. Run it from the run folder; the
// PNG files go to the folder given as the first argument (the build's "screenshots" folder by
// default).
#include "bench/screenshotfolder.h"
#include "kit/bodytypes.h"
#include "kiteditor/drsetwidget.h"
#include "testing/recordingdialogs.h"

#include <QApplication>
#include <QListWidget>

namespace {

int rowOfType(const DrsetWidget& panel, int type)
{
    for (std::size_t r = 0; r < panel.rowDrums.size(); ++r)
        if (panel.drumSet.allDrums[std::size_t(panel.rowDrums[r])]->type == type)
            return int(r) + 1;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir dir;
    if (!screenshotFolder(argc, argv, dir))
        return 1;

    DrsetWidget panel;
    for (int type = 0; type < BodyTypes::count; ++type)
        panel.typeNames.append(BodyTypes::name(type));
    // As wide as the main window's left column, which shows the frame's right edge too.
    panel.resize(panel.drsetWidget->size());
    panel.show();
    RecordingDialogs dialogs;
    dialogs.fileAnswers = {"Drumsets/default.set"};
    panel.drsetLoad();
    if (!dialogs.messages.empty() || panel.drumSet.allDrums.empty()) {
        std::fprintf(stderr, "cannot load Drumsets/default.set (run from the run folder)\n");
        return 1;
    }
    bool ok = save(panel.grab().toImage(), dir, "drsetpanel_root.png");
    panel.drumList->setCurrentRow(rowOfType(panel, BodyTypes::Snare));
    ok &= save(panel.grab().toImage(), dir, "drsetpanel_snare.png");
    return ok ? 0 : 1;
}
