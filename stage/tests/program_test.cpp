// The built program on the test display, as a person starts and quits it: its window appears,
// CTRL+Q closes it, and the program ends cleanly.
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// Runs xdotool, which works the display as a person's keyboard does; its output, trimmed.
QString xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(60000))
        tool.kill();
    tool.waitForFinished();
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

// The main window of the process, once it is shown. Other tests' windows on the display bear the
// same caption; the search ignores case, and the start-up logo bears the program's name in small
// letters: only the exact caption counts.
QString mainWindowOf(const QProcess& program)
{
    const QStringList search = {"search",        "--sync",  "--all",
                                "--onlyvisible", "--pid",   QString::number(program.processId()),
                                "--name",        "^Olmira$"};
    while (program.state() == QProcess::Running) {
        const QStringList found = xdotool(search).split('\n', Qt::SkipEmptyParts);
        for (const QString& window : found)
            if (xdotool({"getwindowname", window}) == "Olmira")
                return window;
    }
    return QString();
}

} // namespace

TEST(Program, OpensItsWindowAndQuitsCleanlyOnCtrlQ)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM"); // the test's own offscreen platform shows nothing
    environment.insert("OLMIRA_AUDIO", "silent");
    program.setProcessEnvironment(environment);
    program.start(OLMIRA_PROGRAM, QStringList());
    ASSERT_TRUE(program.waitForStarted());

    const QString window = mainWindowOf(program);
    ASSERT_FALSE(window.isEmpty()) << "no window";
    // Another test's window on the shared display may take the focus: try again then.
    for (int attempt = 0; attempt < 5 && program.state() != QProcess::NotRunning; ++attempt) {
        xdotool({"windowfocus", "--sync", window, "key", "ctrl+q"});
        program.waitForFinished(10000);
    }
    ASSERT_EQ(program.state(), QProcess::NotRunning) << "CTRL+Q did not quit";
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << qPrintable(errors);
    EXPECT_FALSE(errors.contains("Sanitizer") || errors.contains("runtime error"))
        << qPrintable(errors);
}
