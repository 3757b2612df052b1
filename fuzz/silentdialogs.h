#pragma once

#include "common/dialogs.h"

// Fuzz targets run without an application: every message is dropped, every dialog cancelled.
class SilentDialogs : public DialogSeam
{
public:
    SilentDialogs() { Dialogs::setSeam(this); }
    void message(Kind, QWidget*, const QString&, const QString&) override {}
    int question(QWidget*, const QString&, const QString&, const QStringList&, int,
                 int escapeButton) override
    {
        return escapeButton;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
};
