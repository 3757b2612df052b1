// The time from the start of the program's process to its first painted frame, measured over
// several starts. Each start is a child process of this tool that opens the main window as the
// program does and reports when the stage view's first frame has been shown. Run it under
// xvfb-run from the run folder; the argument is the number of starts (5).
#include "common/glformat.h"
#include "stage/olmwindow.h"
#include "stage/qglwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

const char* const launchedAt = "OLMIRA_LAUNCHED_AT";

long long now()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int openWindow(int argc, char** argv, long long launched)
{
    setDefaultGlFormat();
    QApplication app(argc, argv);
    olmWindow window(nullptr, nullptr, Qt::Window);
    QObject::connect(window.qgl, &QOpenGLWidget::frameSwapped, &app, [&app, launched] {
        static bool first = true;
        if (!std::exchange(first, false))
            return;
        std::printf("%.1f\n", double(now() - launched) / 1000.0);
        QTimer::singleShot(0, &app, &QApplication::closeAllWindows);
    });
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(launchedAt))
        return openWindow(argc, argv, qEnvironmentVariable(launchedAt).toLongLong());

    QCoreApplication app(argc, argv);
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> ms;
    for (int i = 0; i < starts; ++i) {
        QProcess start;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(launchedAt, QString::number(now()));
        start.setProcessEnvironment(environment);
        start.start(argv[0], QStringList());
        if (!start.waitForFinished(60000) || start.exitCode() != 0) {
            std::fprintf(stderr, "start %d failed: %s\n", i, start.readAllStandardError().data());
            return 1;
        }
        ms.push_back(start.readAllStandardOutput().trimmed().toDouble());
        std::printf("start %d: first frame after %.1f ms\n", i, ms.back());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("first frame: median %.1f ms, max %.1f ms\n", ms[ms.size() / 2], ms.back());
    return 0;
}
