#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <random>
#include <sys/types.h>
#include <vector>

// Puts a timing tool under the loads a user's machine sees: other programs spinning on every
// core, and a GUI thread that stalls now and then (a slow redraw, a file dialog, a swap-in).
namespace MachineLoad {

struct Options
{
    int busyProcesses = 0; // --busy N: processes that spin for the whole run
    int stallMs = 0;       // --stall MS: the GUI thread blocks this long once every second
};

// Reads and removes the options above; leaves every other argument in place.
Options take(QStringList& arguments);
// Reads and removes the option `name` and the number after it (not below 0); 0 when it is missing.
int takeNumber(QStringList& arguments, const QString& name);

// Spinning child processes, killed (by their ids) when this goes away or the parent dies.
class BusyProcesses
{
public:
    explicit BusyProcesses(int count);
    ~BusyProcesses();
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> children;
};

// Blocks the thread of its event loop for the given time at a random moment of every second.
class GuiStalls : public QObject
{
public:
    explicit GuiStalls(int stallMs);

private:
    void planNext();

    int stallMs;
    QTimer second;
    std::mt19937 random{20240601};
};

// "busy=N stall_ms=M": how the machine was loaded, for the tool's one-line summary.
QString describe(const Options& options);

} // namespace MachineLoad
