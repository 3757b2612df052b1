#pragma once

#include <QString>
#include <cstdint>
#include <memory>

struct openmpt_module;

// A tracker module played as a clock: its audio is rendered and dropped, its order changes are
// what counts. The module plays in its own time, at its own tempo and at nativeRate, where its
// ticks are whole frames; the master speed only sets how fast that time runs against the
// output's. Both times are counted in whole units of one fraction, so an order change falls on
// the output frame where it belongs however long the module plays: no rounding adds up.
//
// Loading and destruction happen on the GUI thread while the audio thread does not hold it;
// every other call is made on the audio thread only (the player is not thread-safe).
class ClockModule
{
public:
    // Null when the file is missing, too large or not a module.
    static std::unique_ptr<ClockModule> load(const QString& path, int outputRate);
    ~ClockModule();
    ClockModule(const ClockModule&) = delete;
    ClockModule& operator=(const ClockModule&) = delete;

    // At master speed nativeSpeed the module keeps its own tempo.
    static constexpr int nativeSpeed = 3;
    static constexpr int nativeRate = 44100;
    // Master speeds are counted in these steps: fine enough for any speed, and every whole bpm
    // (master speed bpm * 3 / 120) is a whole number of them even when it comes as a float.
    static constexpr int64_t speedSteps = 40 * 16384;
    // The most module frames rendered at once.
    static constexpr int maxPiece = 16;

    void setMasterSpeed(double speed);
    void restart();
    // Plays the module on through the next `frames` output frames until one of its orders begins
    // there; returns how many frames from now it begins, or -1 when none does there. The output's
    // position stays where it is: pass() moves it on.
    int nextOrderChange(int frames);
    void pass(int frames);
    int currentOrder() const { return order; }

private:
    ClockModule(openmpt_module* module, int outputRate);
    int measurePiece();
    int64_t framesUntil(int64_t units) const;

    openmpt_module* module;
    int order = 0;
    // Module frames rendered at once; every order begins on the first frame of one, so that an
    // order change found in a piece began exactly where the piece began.
    int piece = maxPiece;
    // Units of module time in one module frame, and in one output frame at the master speed.
    int64_t moduleFrameUnits;
    int64_t outputFrameUnits = 0;
    int64_t rateShare; // nativeRate's share of the units per output frame
    // Module time from the output's position to the start of the next piece to render.
    int64_t ahead = 0;
    float scratch[maxPiece * 2];
};
