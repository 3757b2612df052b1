#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

// Whole-file reading and writing for tests that check what a writer left on disk.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

inline void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// Runs a write under a file-size limit of the given bytes, so that it fails part-way as it would
// on a full disk; returns what the write returned.
template <typename Write> bool underFileSizeLimit(rlim_t bytes, Write write)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    return written;
}
