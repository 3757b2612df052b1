#include "tools/generator.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <map>
#include <utility>

namespace {

std::map<std::pair<int, QString>, Generator::Function>& registry()
{
    static std::map<std::pair<int, QString>, Generator::Function> functions;
    return functions;
}

} // namespace

Generator::Registration::Registration(int stage, const char* name, Function function)
{
    registry()[{stage, QString::fromLatin1(name)}] = std::move(function);
}

int main(int argc, char** argv)
{
    // Panel images draw text, which needs a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: olmgen <run folder>\n");
        return 2;
    }
    const QString runDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    for (const char* folder : {"Textures", "Sounds", "Drumsets", "BParts/lod4"}) {
        if (!QDir(runDir).mkpath(folder)) {
            std::fprintf(stderr, "olmgen: cannot make %s/%s\n", qPrintable(runDir), folder);
            return 1;
        }
    }
    for (const auto& [key, function] : registry()) {
        if (!function(runDir)) {
            std::fprintf(stderr, "olmgen: %s failed\n", qPrintable(key.second));
            return 1;
        }
    }
    return 0;
}
