#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "playback/noteparser.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "testing/recordingdialogs.h"

#include <QSet>
#include <cmath>
#include <memory>

namespace {

// The default kit's velocity layers as a listener hears them: the note parser picks the levels of
// the struck hit point, the sound engine plays them, and the first 200 ms of the output are
// measured.
class KitLayers : public DrivenAudio
{
protected:
    void SetUp() override
    {
        DrivenAudio::SetUp();
        engine = std::make_unique<SoundEngine>();
        int sounds = 0, drums = 0;
        DrumSetReader("Drumsets/default.set", sounds, drums, [&](const QString& file) {
            engine->addSound(file);
        }).read(kit);
        parser.recvSet(&kit);
        QObject::connect(&parser, &NoteParser::playSound, [this](int id, int velocity) {
            played.push_back(id);
            channels.push_back(engine->play(id, velocity));
        });
    }

    // The sounds of a note on the hit point, which come two steps later, and the RMS of what they
    // play; they are silenced again after that.
    std::pair<std::vector<int>, double> strike(int drum, int hitpoint, int velocity)
    {
        played.clear();
        channels.clear();
        parser.next({drum, hitpoint, velocity}, {}, {}, {});
        parser.next({}, {}, {}, {});
        parser.next({}, {}, {}, {});
        const std::vector<float> out = render(engine->soundLayer(), rate / 5, false);
        double sum = 0;
        for (float x : out)
            sum += double(x) * x;
        for (int channel : channels)
            engine->soundLayer().setChannelVolume(channel, 0);
        return {played, std::sqrt(sum / double(out.size()))};
    }

    RecordingDialogs dialogs;
    std::unique_ptr<SoundEngine> engine;
    NoteParser parser;
    DrumSet kit;
    std::vector<int> played, channels;
};

} // namespace

TEST_F(KitLayers, ASweepOnTheSnarePlaysFiveRecordingsRisingInLoudness)
{
    const auto snare = std::find_if(kit.allDrums.begin(), kit.allDrums.end(),
                                    [](const Drum* d) { return d->type == BodyTypes::Snare; });
    ASSERT_NE(snare, kit.allDrums.end());
    QSet<int> sounds;
    double softer = 0.002; // silence
    for (int velocity : {13, 38, 64, 89, 115}) {
        const auto [played, rms] = strike((*snare)->id, 0, velocity);
        ASSERT_EQ(played.size(), 1u) << "one layer sounds at velocity " << velocity;
        sounds << played[0];
        EXPECT_GT(rms, softer * 1.2) << velocity;
        softer = rms;
    }
    EXPECT_EQ(sounds.size(), 5);
}

// One velocity step across the border of two layers changes the recording: it must not get
// quieter, on any hit point.
TEST_F(KitLayers, ACrescendoNeverDropsAtALayerBorder)
{
    for (const Drum* drum : kit.allDrums) {
        for (size_t h = 0; h < drum->hitpoints.size(); ++h) {
            const auto& levels = drum->hitpoints[h]->levels;
            const std::string name = drum->hitpoints[h]->name.toStdString();
            for (size_t louder = 0; louder + 1 < levels.size(); ++louder) {
                const int border = levels[louder]->minVelo;
                const auto below = strike(drum->id, int(h), border - 1);
                const auto above = strike(drum->id, int(h), border);
                ASSERT_EQ(below.first.size(), 1u) << name << " at " << border - 1;
                ASSERT_EQ(above.first.size(), 1u) << name << " at " << border;
                EXPECT_NE(below.first[0], above.first[0]) << name << " at " << border;
                EXPECT_GE(above.second, below.second) << name << " at " << border;
            }
        }
    }
}
