#include "testing/recordingdialogs.h"

RecordingDialogs::RecordingDialogs()
{
    Dialogs::setSeam(this);
}

RecordingDialogs::~RecordingDialogs()
{
    Dialogs::setSeam(nullptr);
}

void RecordingDialogs::message(Kind kind, QWidget* parent, const QString& caption,
                               const QString& text)
{
    messages.push_back({kind, parent, caption, text});
}

int RecordingDialogs::question(QWidget* parent, const QString& caption, const QString& text,
                               const QStringList& buttons, int defaultButton, int escapeButton)
{
    questions.push_back({parent, caption, text, buttons, defaultButton, escapeButton});
    if (questionAnswers.empty())
        return escapeButton;
    int answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

QString RecordingDialogs::openFileName(QWidget* parent, const QString& dir, const QString& filter,
                                       const QString& caption)
{
    fileDialogs.push_back({false, parent, dir, filter, caption});
    return nextFileAnswer();
}

QString RecordingDialogs::saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                                       const QString& caption)
{
    fileDialogs.push_back({true, parent, dir, filter, caption});
    return nextFileAnswer();
}

QString RecordingDialogs::nextFileAnswer()
{
    if (fileAnswers.empty())
        return QString();
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}
