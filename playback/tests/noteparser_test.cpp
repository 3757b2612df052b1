#include "kit/bodytypes.h"
#include "kit/drumset.h"
#include "playback/beattiming.h"
#include "playback/noteparser.h"
#include "testing/qstringprinter.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <iterator>
#include <utility>

namespace {

using namespace BodyTypes;
constexpr int soundBase = 100; // each drum's one level sounds soundBase + drum index

QString sound(int drum, int velocity = 100)
{
    return QString("sound %1@%2").arg(soundBase + drum).arg(velocity);
}

class NoteParserTest : public ::testing::Test
{
protected:
    NoteParserTest()
    {
        parser.recvSet(&kit);
        QObject::connect(&parser, &NoteParser::moveRightHand,
                         [this](int d, int h) { log << QString("right %1/%2").arg(d).arg(h); });
        QObject::connect(&parser, &NoteParser::moveLeftHand,
                         [this](int d, int h) { log << QString("left %1/%2").arg(d).arg(h); });
        QObject::connect(&parser, &NoteParser::playSound,
                         [this](int id, int v) { log << QString("sound %1@%2").arg(id).arg(v); });
    }

    int addDrum(int type, int priority = 0, float worldX = 0, float worldY = 0,
                int hitType = Hitpoint::ByEnd)
    {
        const int index = int(kit.allDrums.size());
        auto* drum = new Drum;
        drum->type = type;
        drum->id = index;
        drum->setupType();
        drum->priority = priority;
        drum->addHitpoint("point", 0, 0, 0, hitType, 100);
        Hitpoint& point = *drum->hitpoints[0];
        point.worldX = worldX;
        point.worldY = worldY;
        point.levels.clear();
        point.addDynaLevel("sample.wav", soundBase + index, 127, 1);
        kit.addRootDrum(drum);
        return index;
    }

    Event note(int drum, int velocity = 100)
    {
        Event event;
        event.drumIndex = drum;
        event.hitpointIndex = 0;
        event.velocity = velocity;
        event.priority = kit.allDrums[size_t(drum)]->priority;
        return event;
    }

    void step(Event left = {}, Event right = {}, Event pedal = {}, Event kick = {})
    {
        log.clear();
        parser.next(left, right, pedal, kick);
    }

    QStringList moves() const { return log.filter(QRegularExpression("^(right|left) ")); }

    // The hand that a lone note goes to.
    QString handFor(int drum)
    {
        step({}, note(drum));
        return moves().value(0).section(' ', 0, 0);
    }

    // The drums struck since the last look, by index.
    QList<int> struck()
    {
        QList<int> drums;
        for (Drum* drum : kit.allDrums)
            if (std::exchange(drum->frames, 0))
                drums << drum->id;
        return drums;
    }

    DrumSet kit;
    NoteParser parser;
    QStringList log;
};

} // namespace

TEST_F(NoteParserTest, EveryLevelWhoseRangeHoldsTheVelocitySoundsInListOrder)
{
    const int snare = addDrum(Snare);
    auto& levels = kit.allDrums[0]->hitpoints[0]->levels;
    levels.clear();
    levels.push_back(std::make_unique<DynaLevel>("soft.wav", 10, 63, 1));
    levels.push_back(std::make_unique<DynaLevel>("loud.wav", 11, 127, 64));
    levels.push_back(std::make_unique<DynaLevel>("middle.wav", 12, 80, 50));
    levels.push_back(std::make_unique<DynaLevel>(" ", -1, 70, 63));
    const auto soundsAt = [&](int velocity) {
        step({}, note(snare, velocity));
        step();
        step();
        return log;
    };
    EXPECT_EQ(soundsAt(63), (QStringList{"sound 10@63", "sound 12@63", "sound -1@63"}));
    EXPECT_EQ(soundsAt(64), (QStringList{"sound 11@64", "sound 12@64", "sound -1@64"}));
    EXPECT_EQ(soundsAt(127), QStringList{"sound 11@127"});

    levels.erase(levels.begin(), levels.begin() + 2);
    struck();
    EXPECT_TRUE(soundsAt(20).isEmpty());
    EXPECT_EQ(struck(), QList<int>{snare}) << "a velocity in no range still moves the drum";
}

TEST_F(NoteParserTest, SoundsComeTwoStepsAfterTheNoteAndFeetAndHiHatMoveAfterOne)
{
    const int snare = addDrum(Snare);
    const int hihat = addDrum(HiHat, 2, 0, 0, Hitpoint::HiHatOpen);
    const int stand = addDrum(HiHatStand, 0, 0, 0, Hitpoint::LeftFoot);
    const int kick = addDrum(Kick, 0, 0, 0, Hitpoint::RightFoot);
    const int otherStand = addDrum(HiHatStand);

    step({}, note(snare, 90));
    EXPECT_EQ(log, QStringList{"right 0/0"});
    step({}, note(hihat, 64));
    EXPECT_TRUE(struck().isEmpty());
    step();
    EXPECT_EQ(log, QStringList{sound(snare, 90)});
    EXPECT_EQ(struck(), (QList<int>{snare, hihat, stand, otherStand}));
    EXPECT_EQ(kit.allDrums[size_t(stand)]->animKind, AnimLooseCymbal)
        << "the stands take the hi-hat's hit type";
    step({}, {}, note(stand, 80), note(kick, 70));
    EXPECT_EQ(log, QStringList{sound(hihat, 64)}) << "feet get no move signal";
    EXPECT_TRUE(struck().isEmpty()) << "a hi-hat is not struck again by its sound";
    step();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(struck(), (QList<int>{hihat, stand, kick})) << "the pedal moves the hi-hat";
    EXPECT_EQ(kit.allDrums[size_t(hihat)]->animKind, AnimHiHatPedal);
    step();
    EXPECT_EQ(log, (QStringList{sound(stand, 80), sound(kick, 70)}));
    EXPECT_TRUE(struck().isEmpty());
}

TEST_F(NoteParserTest, OneStepEmitsSoundsByChannelThenRightThenLeftMove)
{
    const int snare = addDrum(Snare, 0, 0.5f);
    const int low = addDrum(Tom8, 0, -0.5f);
    const int stand = addDrum(HiHatStand);
    const int kick = addDrum(Kick);
    step(note(low), note(snare), note(stand), note(kick));
    step();
    step(note(low), note(snare));
    EXPECT_EQ(log, (QStringList{sound(low), sound(snare), sound(stand), sound(kick), "right 0/0",
                                "left 1/0"}));
}

TEST_F(NoteParserTest, TwoHandNotesGoByPriorityThenRoomPosition)
{
    const int leftish = addDrum(Tom8, -1, 0.3f, 0.3f);
    const int rightish = addDrum(Tom8, 1, 0.1f, 0.5f);
    const int west = addDrum(Tom8, 0, -0.2f, 0.4f);
    const int east = addDrum(Tom8, 0, 0.2f, 0.4f);
    const int twin = addDrum(Tom8, 0, -0.2f, 0.0f);
    const int lowWest = addDrum(Tom8, 2, -0.5f, 0.0f);
    const int favoured = addDrum(Tom8, 1, -0.5f, 0.0f);

    const auto hands = [&](int left, int right) {
        step(note(left), note(right));
        return moves();
    };
    EXPECT_EQ(hands(leftish, rightish), (QStringList{"right 1/0", "left 0/0"}));
    EXPECT_EQ(hands(rightish, leftish), (QStringList{"right 1/0", "left 0/0"}));
    EXPECT_EQ(hands(east, west), (QStringList{"right 3/0", "left 2/0"}));
    EXPECT_EQ(hands(twin, west), (QStringList{"right 2/0", "left 4/0"})) << "equal X";
    // The right stick never ends left of and below the left one...
    EXPECT_EQ(hands(east, lowWest), (QStringList{"right 3/0", "left 5/0"}));
    EXPECT_EQ(hands(twin, lowWest), (QStringList{"right 5/0", "left 4/0"})) << "only X lower";
    // ...judged on the points as they stand after the priority exchange.
    EXPECT_EQ(hands(favoured, east), (QStringList{"right 3/0", "left 6/0"}));
}

TEST_F(NoteParserTest, LoneNotesGoToAFreeHand)
{
    const int snare = addDrum(Snare, 0);
    const int leftTom = addDrum(Tom8, -2);
    const int ride = addDrum(Crash16, -1);
    const int hihat = addDrum(HiHat, 2);

    EXPECT_EQ(handFor(snare), "right");
    EXPECT_EQ(handFor(snare), "left");
    EXPECT_EQ(handFor(snare), "left") << "a right stroke two steps back still counts";
    parser.reset();
    EXPECT_EQ(handFor(leftTom), "left");
    EXPECT_EQ(handFor(leftTom), "right");
    parser.reset();
    EXPECT_EQ(handFor(ride), "right");

    QStringList hands;
    for (int i = 0; i < 5; ++i)
        hands << handFor(hihat);
    EXPECT_EQ(hands, (QStringList{"right", "right", "left", "right", "left"}));
    parser.reset();
    EXPECT_EQ(handFor(hihat), "right");
    EXPECT_EQ(handFor(hihat), "left") << "the alternation outlives a reset";
    handFor(snare);
    EXPECT_EQ(handFor(hihat), "right");
    EXPECT_EQ(handFor(hihat), "right") << "any other note starts it afresh";

    step(note(snare), {});
    EXPECT_TRUE(moves().isEmpty()) << "no move without a note in the right-hand channel";
}

TEST_F(NoteParserTest, ResetForgetsNotesOnTheirWay)
{
    const int snare = addDrum(Snare);
    const int hihat = addDrum(HiHat);
    const int kick = addDrum(Kick);
    step({}, note(snare));
    step(note(snare), note(hihat), {}, note(kick));
    parser.reset();
    struck();
    step();
    step();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(struck().isEmpty());
}

TEST_F(NoteParserTest, NotesOutsideTheHeldKitAreIgnored)
{
    const int snare = addDrum(Snare);
    const int far = addDrum(Tom8, 0, 0.3f);
    const int hihat = addDrum(HiHat);
    const int stand = addDrum(HiHatStand);
    Event noDrum = note(snare), noPoint = note(snare), negative = note(snare);
    noDrum.drumIndex = 7;
    noPoint.hitpointIndex = 3;
    negative.drumIndex = -4;
    for (const Event& bad : {noDrum, noPoint, negative})
        for (int i = 0; i < 3; ++i)
            step(bad, bad, bad, bad);
    EXPECT_TRUE(log.isEmpty());

    // The kit shrinks while notes are on their way.
    step(note(hihat), note(far), note(stand), note(hihat));
    DrumSet smaller;
    smaller.allDrums.push_back(kit.allDrums[0]);
    parser.recvSet(&smaller);
    struck();
    step();
    step();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(struck().isEmpty());

    parser.recvSet(nullptr);
    step({}, note(snare));
    EXPECT_TRUE(log.isEmpty()) << "no kit held";
}

TEST_F(NoteParserTest, EventsTravelByValueThroughQueuedCalls)
{
    const int snare = addDrum(Snare);
    const Event none;
    QMetaObject::invokeMethod(&parser, "next", Qt::QueuedConnection, Q_ARG(Event, none),
                              Q_ARG(Event, note(snare, 33)), Q_ARG(Event, none),
                              Q_ARG(Event, none));
    EXPECT_TRUE(log.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(log, QStringList{"right 0/0"});
}

TEST_F(NoteParserTest, EverySoundIsAnnouncedSixTicksBeforeItIsRequested)
{
    const int snare = addDrum(Snare, 0, 0.5f);
    const int low = addDrum(Tom8, 0, -0.5f);
    const int hihat = addDrum(HiHat, 2);
    const int stand = addDrum(HiHatStand);
    const int kick = addDrum(Kick);
    kit.allDrums[size_t(snare)]->hitpoints[0]->addDynaLevel("loud.wav", 50, 127, 90);
    QStringList announced;
    QObject::connect(&parser, &NoteParser::playSoundAhead, [&](int id, int v, int ticks) {
        announced << QString("sound %1@%2").arg(id).arg(v);
        EXPECT_EQ(ticks, BeatTiming::ticksToSound);
    });

    // Both hands exchanged, lone hi-hat notes alternating, a left note without a right one.
    const Event none;
    const std::array<Event, 4> steps[] = {{note(low), note(snare, 95), note(stand), note(kick)},
                                          {none, note(hihat, 70), none, none},
                                          {none, note(hihat, 71), none, none},
                                          {note(snare, 80), note(low, 60), none, none},
                                          {note(low), none, none, none},
                                          {},
                                          {}};
    QStringList due[2]; // announced two steps back, by the step's parity
    for (size_t n = 0; n < std::size(steps); ++n) {
        step(steps[n][0], steps[n][1], steps[n][2], steps[n][3]);
        EXPECT_EQ(log.filter(QRegularExpression("^sound ")), due[n % 2]) << n;
        due[n % 2] = std::exchange(announced, {});
    }
}
