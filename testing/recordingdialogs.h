#pragma once

#include "common/dialogs.h"

#include <deque>
#include <vector>

// Replaces the real dialogs while it lives: records every message and answers every dialog
// from queues that the test fills (an empty queue answers "cancel").
class RecordingDialogs : public DialogSeam
{
public:
    struct Shown
    {
        Kind kind;
        QWidget* parent;
        QString caption;
        QString text;
    };
    struct FileDialog
    {
        bool save;
        QWidget* parent;
        QString dir;
        QString filter;
        QString caption;
    };
    struct Question
    {
        QWidget* parent;
        QString caption;
        QString text;
        QStringList buttons;
        int defaultButton;
        int escapeButton;
    };

    RecordingDialogs();
    ~RecordingDialogs() override;

    void message(Kind kind, QWidget* parent, const QString& caption, const QString& text) override;
    int question(QWidget* parent, const QString& caption, const QString& text,
                 const QStringList& buttons, int defaultButton, int escapeButton) override;
    QString openFileName(QWidget* parent, const QString& dir, const QString& filter,
                         const QString& caption) override;
    QString saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                         const QString& caption) override;

    std::vector<Shown> messages;
    std::vector<Question> questions;
    std::vector<FileDialog> fileDialogs;
    std::deque<int> questionAnswers;
    std::deque<QString> fileAnswers;

private:
    QString nextFileAnswer();
};
