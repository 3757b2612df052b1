#include "playback/clockmodule.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <libopenmpt/libopenmpt.h>
#include <numeric>

namespace {

constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
// An order longer than this is timed in pieces of the most frames.
constexpr int longestMeasuredOrder = 2 * ClockModule::nativeRate;

} // namespace

std::unique_ptr<ClockModule> ClockModule::load(const QString& path, int outputRate)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes || outputRate < 1)
        return nullptr;
    const QByteArray bytes = file.read(maxFileBytes);
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.constData(), size_t(bytes.size()), openmpt_log_func_silent, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr);
    if (!module)
        return nullptr;
    return std::unique_ptr<ClockModule>(new ClockModule(module, outputRate));
}

ClockModule::ClockModule(openmpt_module* module, int outputRate) : module(module)
{
    const int64_t shared = std::gcd(nativeRate, outputRate);
    moduleFrameUnits = speedSteps * nativeSpeed * (outputRate / shared);
    rateShare = nativeRate / shared;
    openmpt_module_set_repeat_count(module, -1);
    piece = measurePiece();
    setMasterSpeed(nativeSpeed);
    restart();
}

ClockModule::~ClockModule()
{
    openmpt_module_destroy(module);
}

// The first order's length, found frame by frame, decides the piece: the largest that divides it.
int ClockModule::measurePiece()
{
    restart();
    for (int frames = 1; frames <= longestMeasuredOrder; ++frames) {
        openmpt_module_read_interleaved_float_stereo(module, nativeRate, 1, scratch);
        if (openmpt_module_get_current_order(module) != order) {
            const int length = frames - 1;
            int divisor = maxPiece;
            while (length % divisor != 0)
                --divisor;
            return divisor;
        }
    }
    return maxPiece;
}

void ClockModule::setMasterSpeed(double speed)
{
    outputFrameUnits = std::max<int64_t>(1, std::llround(speed * speedSteps)) * rateShare;
}

void ClockModule::restart()
{
    openmpt_module_set_position_order_row(module, 0, 0);
    order = openmpt_module_get_current_order(module);
    ahead = 0;
}

// The first output frame, counted from the current one, by which the module's time has moved on
// by `units`.
int64_t ClockModule::framesUntil(int64_t units) const
{
    return units <= 0 ? 0 : (units + outputFrameUnits - 1) / outputFrameUnits;
}

int ClockModule::nextOrderChange(int frames)
{
    for (int64_t start = framesUntil(ahead); start < frames; start = framesUntil(ahead)) {
        openmpt_module_read_interleaved_float_stereo(module, nativeRate, size_t(piece), scratch);
        ahead += piece * moduleFrameUnits;
        const int now = openmpt_module_get_current_order(module);
        if (now != order) {
            order = now;
            return int(start);
        }
    }
    return -1;
}

void ClockModule::pass(int frames)
{
    ahead -= frames * outputFrameUnits;
}
