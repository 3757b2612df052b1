#pragma once

#include <QString>
#include <memory>

struct openmpt_module_ext;
struct openmpt_module;

// A tracker module played as a clock: its audio is rendered and dropped, its position is what
// counts. Loading and destruction happen on the GUI thread while the audio thread does not hold
// it; every other call is made on the audio thread only (the player is not thread-safe).
class ClockModule
{
public:
    // Null when the file is missing, too large or not a module.
    static std::unique_ptr<ClockModule> load(const QString& path, int rate);
    ~ClockModule();
    ClockModule(const ClockModule&) = delete;
    ClockModule& operator=(const ClockModule&) = delete;

    // The module's own tempo runs this many times faster than master speed 1.0.
    static constexpr double nativeSpeed = 3.0;
    // Master speed 1.0 is the module's nativeSpeed-th part of its own tempo.
    void setMasterSpeed(double speed);
    void restart();
    // Advances by at most maxChunk frames.
    static constexpr int maxChunk = 16;
    void advance(int frames);
    int currentOrder() const;

private:
    ClockModule(openmpt_module_ext* ext, int rate);

    openmpt_module_ext* ext;
    openmpt_module* module;
    int rate;
    int (*setTempoFactor)(openmpt_module_ext*, double) = nullptr;
    float scratch[maxChunk * 2];
};
