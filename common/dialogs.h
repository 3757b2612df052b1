#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message box and file dialog of the program goes through this seam. The default shows the
// real Qt dialogs; tests install their own to read what was shown and to answer.
class DialogSeam
{
public:
    enum class Kind
    {
        About,       // the toolkit's about box
        Information, // an information box
        System,      // a plain system message box with one OK button and no owner
        AboutQt,     // the toolkit's own about box; the text is its own
    };

    virtual ~DialogSeam() = default;

    virtual void message(Kind kind, QWidget* parent, const QString& caption,
                         const QString& text) = 0;
    // Returns the index of the chosen button.
    virtual int question(QWidget* parent, const QString& caption, const QString& text,
                         const QStringList& buttons, int defaultButton, int escapeButton) = 0;
    // Both return an empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& dir, const QString& filter,
                                 const QString& caption) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                                 const QString& caption) = 0;
};

namespace Dialogs {

// Replaces the seam; null restores the real dialogs. The caller keeps ownership.
void setSeam(DialogSeam* seam);

void about(QWidget* parent, const QString& caption, const QString& text);
void aboutQt(QWidget* parent, const QString& caption);
void information(QWidget* parent, const QString& caption, const QString& text);
void systemMessage(const QString& caption, const QString& text);
int question(QWidget* parent, const QString& caption, const QString& text,
             const QStringList& buttons, int defaultButton, int escapeButton);
QString getOpenFileName(QWidget* parent, const QString& dir, const QString& filter,
                        const QString& caption);
QString getSaveFileName(QWidget* parent, const QString& dir, const QString& filter,
                        const QString& caption);

} // namespace Dialogs
