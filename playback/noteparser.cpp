#include "playback/noteparser.h"

#include "kit/bodytypes.h"
#include "kit/drumset.h"

#include <utility>

namespace {

// Calls sound(id) for every dynamics level of the hit point whose range holds the velocity.
template <typename Sound> void forEachSound(const Hitpoint& hitpoint, int velocity, Sound sound)
{
    for (const auto& level : hitpoint.levels)
        if (level->minVelo <= velocity && velocity <= level->maxVelo)
            sound(level->sndID);
}

} // namespace

NoteParser::NoteParser(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<Event>();
}

void NoteParser::next(Event e1, Event e2, Event e3, Event e4)
{
    age({e1, e2, e3, e4});
    playArrivedNotes();
    reactToLastStep();
    if (history[RightHand][0].drumIndex != -1) {
        assignHands();
        emitMoves();
    }
    announceSounds();
}

void NoteParser::reset()
{
    for (auto& channel : history)
        for (Event& event : channel)
            event = Event();
    emit cancelSoundsAhead();
}

void NoteParser::recvSet(DrumSet* set)
{
    drumSet = set;
    emit cancelSoundsAhead();
}

// A note that names no hit point of the kit held now enters as no note at all.
void NoteParser::age(const Event (&newest)[channelCount])
{
    for (int channel = 0; channel < channelCount; ++channel) {
        Event* events = history[channel];
        for (int stepsAgo = ageCount - 1; stepsAgo > 0; --stepsAgo)
            events[stepsAgo] = events[stepsAgo - 1];
        events[0] = hitpointOf(newest[channel]) ? newest[channel] : Event();
    }
}

void NoteParser::playArrivedNotes()
{
    for (int channel = 0; channel < channelCount; ++channel) {
        const Event& event = history[channel][BeatTiming::stepsToSound];
        // No note, or the kit changed since the note arrived and lost its hit point.
        const Hitpoint* hitpoint = hitpointOf(event);
        if (!hitpoint)
            continue;
        forEachSound(*hitpoint, event.velocity,
                     [&](int id) { emit playSound(id, event.velocity); });
        const bool byHand = channel == LeftHand || channel == RightHand;
        if (byHand && !isType(event, BodyTypes::HiHat))
            hit(event);
    }
}

// The hi-hat, its pedal and the kick move one step after their note.
void NoteParser::reactToLastStep()
{
    const Event& pedal = history[HiHatPedal][1];
    if (pedal.drumIndex > -1) {
        hit(pedal);
        if (isType(pedal, BodyTypes::HiHatStand))
            hitEveryDrumOfType(BodyTypes::HiHat, pedal);
    }
    const Event& kick = history[Kick][1];
    if (kick.drumIndex > -1)
        hit(kick);
    for (Channel hand : {LeftHand, RightHand}) {
        const Event& event = history[hand][1];
        if (event.drumIndex > -1 && isType(event, BodyTypes::HiHat)) {
            hit(event);
            hitEveryDrumOfType(BodyTypes::HiHatStand, event);
        }
    }
}

void NoteParser::assignHands()
{
    const Event& right = history[RightHand][0];
    const Event& left = history[LeftHand][0];
    if (left.drumIndex != -1) {
        hihatToggle = 0;
        if (right.priority < left.priority)
            exchangeHands();
        else if (right.priority == left.priority &&
                 hitpointOf(right)->worldX < hitpointOf(left)->worldX)
            exchangeHands();
        const Hitpoint* r = hitpointOf(right);
        const Hitpoint* l = hitpointOf(left);
        if (r->worldX < l->worldX && r->worldY < l->worldY)
            exchangeHands();
    } else if (isType(right, BodyTypes::HiHat)) {
        // Lone hi-hat notes go right, right, left, right, left, ...
        if (hihatToggle == 1) {
            exchangeHands();
            hihatToggle = -1;
        } else if (hihatToggle == -1) {
            hihatToggle = 1;
        } else {
            hihatToggle = -1;
        }
    } else {
        hihatToggle = 0;
        if (right.priority >= -1 ? isBusy(RightHand) : !isBusy(LeftHand))
            exchangeHands();
    }
}

void NoteParser::emitMoves()
{
    const Event& right = history[RightHand][0];
    const Event& left = history[LeftHand][0];
    if (right.drumIndex > -1)
        emit moveRightHand(right.drumIndex, right.hitpointIndex);
    if (left.drumIndex > -1)
        emit moveLeftHand(left.drumIndex, left.hitpointIndex);
}

// The hands are assigned: each note of this step is where it will be when it sounds.
void NoteParser::announceSounds()
{
    for (const auto& channel : history) {
        const Event& event = channel[0];
        if (const Hitpoint* hitpoint = hitpointOf(event))
            forEachSound(*hitpoint, event.velocity, [&](int id) {
                emit playSoundAhead(id, event.velocity, BeatTiming::ticksToSound);
            });
    }
}

Drum* NoteParser::drumOf(const Event& event) const
{
    if (!drumSet || event.drumIndex < 0 || size_t(event.drumIndex) >= drumSet->allDrums.size())
        return nullptr;
    return drumSet->allDrums[size_t(event.drumIndex)];
}

Hitpoint* NoteParser::hitpointOf(const Event& event) const
{
    const Drum* drum = drumOf(event);
    if (!drum || event.hitpointIndex < 0 || size_t(event.hitpointIndex) >= drum->hitpoints.size())
        return nullptr;
    return drum->hitpoints[size_t(event.hitpointIndex)].get();
}

// Strikes the event's drum with the event's velocity and the hit type of its hit point.
void NoteParser::hit(const Event& event)
{
    Drum* drum = drumOf(event);
    const Hitpoint* hitpoint = hitpointOf(event);
    if (drum && hitpoint)
        drum->hit(event.velocity, hitpoint->hitType);
}

void NoteParser::hitEveryDrumOfType(int type, const Event& event)
{
    const Hitpoint* hitpoint = hitpointOf(event);
    if (!hitpoint)
        return;
    for (Drum* drum : drumSet->allDrums)
        if (drum->type == type)
            drum->hit(event.velocity, hitpoint->hitType);
}

bool NoteParser::isBusy(Channel hand) const
{
    for (int stepsAgo = 1; stepsAgo <= BeatTiming::stepsToSound; ++stepsAgo)
        if (history[hand][stepsAgo].drumIndex != -1)
            return true;
    return false;
}

bool NoteParser::isType(const Event& event, int type) const
{
    const Drum* drum = drumOf(event);
    return drum && drum->type == type;
}

void NoteParser::exchangeHands()
{
    std::swap(history[LeftHand][0], history[RightHand][0]);
}
