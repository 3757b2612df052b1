#include "bench/machineload.h"

#include <chrono>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace MachineLoad {

namespace {

// Its own session, as another program would have: the scheduler shares the processors between
// sessions first.
[[noreturn]] void spin()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setsid();
    volatile unsigned long turns = 0;
    for (;;)
        turns = turns + 1;
}

} // namespace

int takeNumber(QStringList& arguments, const QString& name)
{
    const int at = arguments.indexOf(name);
    if (at < 0 || at + 1 >= arguments.size())
        return 0;
    const int value = std::max(0, arguments[at + 1].toInt());
    arguments.remove(at, 2);
    return value;
}

Options take(QStringList& arguments)
{
    Options options;
    options.busyProcesses = takeNumber(arguments, "--busy");
    options.stallMs = std::min(takeNumber(arguments, "--stall"), 900);
    return options;
}

BusyProcesses::BusyProcesses(int count)
{
    for (int i = 0; i < count; ++i) {
        const pid_t child = fork();
        if (child == 0)
            spin();
        if (child > 0)
            children.push_back(child);
    }
}

BusyProcesses::~BusyProcesses()
{
    for (pid_t child : children)
        kill(child, SIGKILL);
    for (pid_t child : children)
        waitpid(child, nullptr, 0);
}

GuiStalls::GuiStalls(int stallMs) : stallMs(stallMs)
{
    if (stallMs <= 0)
        return;
    connect(&second, &QTimer::timeout, this, &GuiStalls::planNext);
    second.start(1000);
    planNext();
}

void GuiStalls::planNext()
{
    std::uniform_int_distribution<int> moment(0, 1000 - stallMs);
    QTimer::singleShot(moment(random), this,
                       [this] { std::this_thread::sleep_for(std::chrono::milliseconds(stallMs)); });
}

QString describe(const Options& options)
{
    return QString("busy=%1 stall_ms=%2").arg(options.busyProcesses).arg(options.stallMs);
}

} // namespace MachineLoad
