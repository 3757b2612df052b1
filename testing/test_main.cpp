#include "common/glformat.h"

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

int threadCount()
{
    namespace fs = std::filesystem;
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator task("/proc/self/task", error); !error && task != fs::directory_iterator();
         task.increment(error))
        ++count;
    return count;
}

// Qt does not join its threads (the GUI thread pool, the X event reader): at exit some may still
// be on their way out when the leak checker stops every thread to scan it, and its tracer can
// crash on such a thread. Registered first, this runs after the exit clean-up of everything else
// and before the leak check.
void awaitOtherThreadsEnded()
{
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 1s;
    while (threadCount() > 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

} // namespace

int main(int argc, char** argv)
{
    std::atexit(awaitOtherThreadsEnded);
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no application, and so no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
#ifdef OLMIRA_GL_TESTS
    setDefaultGlFormat();
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
