#include "playback/clockmodule.h"

#include <QFile>
#include <algorithm>
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_ext.h>

namespace {

constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

} // namespace

std::unique_ptr<ClockModule> ClockModule::load(const QString& path, int rate)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes)
        return nullptr;
    const QByteArray bytes = file.read(maxFileBytes);
    openmpt_module_ext* ext = openmpt_module_ext_create_from_memory(
        bytes.constData(), size_t(bytes.size()), openmpt_log_func_silent, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr);
    if (!ext)
        return nullptr;
    std::unique_ptr<ClockModule> clock(new ClockModule(ext, rate));
    if (!clock->setTempoFactor)
        return nullptr;
    return clock;
}

ClockModule::ClockModule(openmpt_module_ext* ext, int rate)
    : ext(ext), module(openmpt_module_ext_get_module(ext)), rate(rate)
{
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_ext_interface_interactive interactive{};
    if (openmpt_module_ext_get_interface(ext, LIBOPENMPT_EXT_C_INTERFACE_INTERACTIVE, &interactive,
                                         sizeof interactive))
        setTempoFactor = interactive.set_tempo_factor;
}

ClockModule::~ClockModule()
{
    openmpt_module_ext_destroy(ext);
}

void ClockModule::setMasterSpeed(double speed)
{
    setTempoFactor(ext, speed / nativeSpeed);
}

void ClockModule::restart()
{
    openmpt_module_set_position_order_row(module, 0, 0);
}

void ClockModule::advance(int frames)
{
    openmpt_module_read_interleaved_float_stereo(module, rate, size_t(std::min(frames, maxChunk)),
                                                 scratch);
}

int ClockModule::currentOrder() const
{
    return openmpt_module_get_current_order(module);
}
