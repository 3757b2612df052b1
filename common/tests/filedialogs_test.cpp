// The real file dialog, shown a folder that holds files whose reading would never return.
#include "common/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

// "kmsg" is a plain file on which the test holds a write lease: opening it waits until the lease
// is given up, as reading /proc/kmsg waits for the kernel's next message, and the lease outlives
// only an opening that never happened. Beside it lies a FIFO with no writer.
TEST(FileDialogs, NoFileShownOrTypedIsOpenedToLearnItsType)
{
    std::signal(SIGIO, SIG_IGN); // what the holder of a lease is sent when an opening waits
    for (const bool typed : {false, true}) {
        SCOPED_TRACE(typed ? "in a folder typed into the name box" : "in the folder shown");
        QTemporaryDir shown, other;
        const QString folder = typed ? other.path() : shown.path();
        QFile kmsg(folder + "/kmsg");
        ASSERT_TRUE(kmsg.open(QIODevice::WriteOnly));
        kmsg.close();
        ASSERT_TRUE(kmsg.open(QIODevice::ReadOnly));
        ASSERT_EQ(fcntl(kmsg.handle(), F_SETLEASE, F_WRLCK), 0) << "no leases on this file system";
        ASSERT_EQ(mkfifo(QFile::encodeName(folder + "/song.sng"), 0644), 0);

        // A hang guard: after a generous while a blocked opening is let through, the dialog closed.
        std::promise<void> closed;
        std::thread guard([&kmsg, done = closed.get_future()] {
            if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready)
                return;
            fcntl(kmsg.handle(), F_SETLEASE, F_UNLCK);
            QMetaObject::invokeMethod(qApp, [] {
                if (QWidget* dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
        });
        // Once the dialog has listed the folder, and so learnt each file's type, it is closed.
        QTimer::singleShot(0, qApp, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            QObject::connect(dialog->findChild<QFileSystemModel*>(),
                             &QFileSystemModel::directoryLoaded, dialog,
                             [dialog, folder](const QString& path) {
                                 if (QFileInfo(path) == QFileInfo(folder))
                                     QTimer::singleShot(0, dialog, &QDialog::reject);
                             });
            if (typed)
                QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), folder + "/x.sng");
        });
        EXPECT_TRUE(
            Dialogs::getSaveFileName(nullptr, shown.path(), "*.sng", "Save song").isEmpty());
        closed.set_value();
        guard.join();
        EXPECT_EQ(fcntl(kmsg.handle(), F_GETLEASE), F_WRLCK) << "the dialog opened a file";
    }
}

} // namespace
