// Saving and loading songs and kits through the song-editor panel, as a person does it: the
// panel's buttons, the file dialogs and the question box answered, the grid showing the result.
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"
#include "songeditor/tests/gridwiring.h"
#include "testing/recordingdialogs.h"
#include "testing/testfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString defaultKit = "Drumsets/default.set";

struct Editor
{
    Editor()
    {
        wireGrid(panel, grid);
        EXPECT_EQ(panel.drsetLoad(defaultKit), 0);
    }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    const ChanLine& strip(int track) const { return *grid.chanLines.at(size_t(track)); }

    DreditWidget panel;
    Dreditor grid;
};

class SongFiles : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // Saves through the panel's button: the chosen file name, then the question's answer.
    void save(Editor& editor, const QString& chosen, int answer)
    {
        dialogs.fileAnswers.push_back(chosen);
        dialogs.questionAnswers.push_back(answer);
        editor.click(editor.panel.songSaveButton);
    }
    void load(Editor& editor, const QString& chosen)
    {
        dialogs.fileAnswers.push_back(chosen);
        editor.click(editor.panel.songLoadButton);
    }
    // Three patterns of 32, 16 and 8 steps, each with a note of its own; track 1 muted and
    // track 2 soloed by clicking their strips.
    static void compose(Editor& editor)
    {
        DreditWidget& panel = editor.panel;
        for (int length : {16, 8}) {
            editor.click(panel.patAddButton);
            panel.patLenSpin->setValue(length);
        }
        for (int p = 0; p < 3; ++p)
            panel.song.patterns[size_t(p)].cells[size_t(p)][size_t(p + 3)] = {90 - p, -0.333f};
        editor.click(editor.strip(1).muteBox);
        editor.click(editor.strip(2).soloBox);
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
};

TEST_F(SongFiles, ComeBackInBothModesWithPatternsCellsAndStrips)
{
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        const QString song = path(QString("song%1").arg(mode));
        Editor composer;
        compose(composer);
        save(composer, song, mode);
        ASSERT_TRUE(QFileInfo::exists(song + ".sng"));
        EXPECT_EQ(QFileInfo::exists(song + ".set"), mode == 0);
        EXPECT_EQ(QFileInfo(song + " Sounds").isDir(), mode == 0);
        const QByteArray firstLine = readAll(song + ".sng").split('\n').front();
        EXPECT_EQ(firstLine, mode == 0 ? QByteArray("0") : "1" + defaultKit.toUtf8());

        Editor player;
        player.panel.drsetLoad(QString()); // changes nothing
        load(player, song + ".sng");
        const DreditWidget& panel = player.panel;
        ASSERT_EQ(panel.song.patterns.size(), 3u);
        EXPECT_EQ(panel.patCombo->count(), 3);
        EXPECT_EQ(panel.patCombo->itemText(2), "2");
        EXPECT_EQ(panel.drumSet.allDrums.size(), composer.panel.drumSet.allDrums.size());
        EXPECT_EQ(panel.drumSet.path, mode == 0 ? song + ".set" : defaultKit);
        for (int p = 0; p < 3; ++p) {
            const Pattern& stored = composer.panel.song.patterns[size_t(p)];
            const Pattern& loaded = panel.song.patterns[size_t(p)];
            EXPECT_EQ(loaded.length, stored.length);
            EXPECT_EQ(loaded.cells[size_t(p)][size_t(p + 3)].velocity, 90 - p);
            EXPECT_EQ(loaded.cells[size_t(p)][size_t(p + 3)].offset, -0.333f);
        }
        EXPECT_TRUE(player.strip(1).muteBox->isChecked());
        EXPECT_TRUE(player.strip(2).soloBox->isChecked());
        EXPECT_FALSE(player.strip(2).muteBox->isChecked());
        EXPECT_EQ(panel.soloCount, 1);
        EXPECT_TRUE(dialogs.messages.empty());
    }
    EXPECT_EQ(dialogs.fileDialogs.front().caption, "Save song");
    EXPECT_EQ(dialogs.fileDialogs.front().filter, "*.sng");
    EXPECT_EQ(dialogs.questions.front().buttons,
              QStringList({"With drumset", "Only with path", "Storno"}));
}

TEST_F(SongFiles, AWaltzShowsItsRhythmLengthsAndTruncatedTempo)
{
    // Mode 1, 3/4 at 99.9 bpm, one pattern of 3 steps, the first track only.
    const QString song = path("waltz.sng");
    Editor editor;
    const int tracks = editor.panel.trackCount;
    QByteArray text =
        "1" + defaultKit.toUtf8() + "\n3\n99.9\n1\n" + QByteArray::number(tracks) + "\n0\n";
    for (int t = 0; t < tracks; ++t)
        text += "0\n0\n100\n";
    text += "3\n";
    for (int t = 0; t < tracks; ++t)
        text += t == 0 ? "100\n0.5\n0\n0\n0\n0\n" : "0\n0\n0\n0\n0\n0\n";
    writeFile(song, text);

    load(editor, song);
    EXPECT_EQ(editor.panel.rytCombo->currentText(), "3/4");
    EXPECT_EQ(editor.panel.patLenSpin->maximum(), 24);
    EXPECT_EQ(editor.panel.patLenSpin->value(), 3);
    EXPECT_EQ(editor.panel.tempoSpin->value(), 99);
    EXPECT_EQ(editor.grid.beatLines[0]->shownImage(0), "Textures/beat5b.bmp");
    EXPECT_EQ(editor.grid.beatLines[0]->shownImage(3), "Textures/button111.bmp");
}

TEST_F(SongFiles, FailuresTellThePersonAndKeepWhatWasThere)
{
    Editor editor;
    DreditWidget& panel = editor.panel;
    compose(editor);
    const std::vector<Drum*> kit = panel.drumSet.allDrums;
    QSignalSpy sent(&panel, &DreditWidget::sendSet);
    QSignalSpy cleared(&panel, &DreditWidget::soundClear);

    EXPECT_EQ(panel.drsetLoad(QString()), -1);
    EXPECT_EQ(panel.drsetLoad(path("none.set")), -1);
    EXPECT_EQ(panel.drsetLoad(dir.path()), -1);
    EXPECT_EQ(sent.count() + cleared.count(), 0);

    save(editor, path("kept"), 2); // "Storno"
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    load(editor, path("none.sng"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Cannot load file!");
    EXPECT_EQ(panel.song.patterns.size(), 3u);

    // A song whose kit is gone is read onto the kit the panel has, brought to its tracks.
    writeFile(path("lost.sng"),
              "1gone.set\n4\n120\n1\n2\n0\n0\n0\n100\n0\n0\n100\n1\n127\n0\n64\n0\n");
    load(editor, path("lost.sng"));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].caption, "Switching to Drumset Editor");
    EXPECT_EQ(dialogs.messages[1].text, "Cannot load file gone.set");
    EXPECT_EQ(panel.drumSet.allDrums, kit);
    ASSERT_EQ(panel.song.patterns.size(), 1u);
    EXPECT_EQ(panel.song.tracks, panel.trackCount);
    EXPECT_EQ(int(panel.song.patterns[0].cells.size()), panel.trackCount);
    EXPECT_EQ(panel.song.patterns[0].cells[1][0].velocity, 64);
    EXPECT_EQ(panel.muted.size(), size_t(panel.trackCount));
}

TEST_F(SongFiles, ASaveThatCannotFinishLeavesTheOldSongAndKit)
{
    Editor editor;
    save(editor, path("old.sng"), 0);
    const QByteArray oldSong = readAll(path("old.sng"));
    const QByteArray oldKit = readAll(path("old.set"));
    compose(editor);
    for (const char* kept : {"old.set", "old.sng"}) {
        SCOPED_TRACE(kept);
        // Enough room for the kit, not for the song: each file fails on its own turn.
        const rlim_t room = QByteArray(kept) == "old.sng" ? rlim_t(oldKit.size() + 64) : 64;
        dialogs.messages.clear();
        underFileSizeLimit(room, [&] {
            save(editor, path("old.sng"), 0);
            return true;
        });
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, "Cannot save file");
        EXPECT_EQ(dialogs.messages[0].text, path(kept));
        EXPECT_EQ(readAll(path("old.sng")), oldSong);
    }
    EXPECT_EQ(readAll(path("old.set")), oldKit);
}

} // namespace
