#pragma once

#include <QDir>
#include <QImage>
#include <cstdio>

// The folder into which a screenshot tool writes its pictures: the first argument, else the
// build's "screenshots" folder. Made when missing; false, after saying why, when it cannot be.
inline bool screenshotFolder(int argc, char** argv, QDir& folder)
{
    folder = QDir(argc > 1 ? QString(argv[1]) : QString(OLMIRA_SCREENSHOT_DIR));
    if (folder.mkpath("."))
        return true;
    std::fprintf(stderr, "cannot make %s\n", qPrintable(folder.path()));
    return false;
}

// Writes one picture into the folder and prints its path.
inline bool save(const QImage& image, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}
