#pragma once

#include <QString>
#include <functional>

// The data generator writes every file that the program reads into the run folder. Each kind of
// data registers one function with OLMIRA_GENERATOR in a file of its own. Stage 1 makes raw
// assets (sounds, textures, the humanoid, the clock module); stage 2 makes what is built from them
// (kits, songs). Within a stage the functions run in the order of their names. A function returns
// false, after saying why on stderr, if it failed.
namespace Generator {

using Function = std::function<bool(const QString& runDir)>;

struct Registration
{
    Registration(int stage, const char* name, Function function);
};

} // namespace Generator

#define OLMIRA_GENERATOR(stage, name, function)                                                    \
    static const Generator::Registration generatorRegistration_##name(stage, #name, function)
