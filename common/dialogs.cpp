#include "common/dialogs.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>

namespace {

// The file dialog asks its icon provider, on the GUI thread, for the icon and the type of every
// file it lists, also in a folder whose path is only being typed. Qt's own provider finds the
// type by reading the file's start when the name does not tell, and a file whose reading never
// returns (/proc/kmsg) then hangs the program. This one goes by the name alone.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::icon(info);
        const QMimeType mime = byName(info);
        const QIcon themed =
            QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
        return themed.isNull() ? icon(File) : themed;
    }

    QString type(const QFileInfo& info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = byName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType byName(const QFileInfo& info) const
    {
        return mimeTypes.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }

    QMimeDatabase mimeTypes;
};

QString chooseFile(QWidget* parent, const QString& caption, const QString& dir,
                   const QString& filter, QFileDialog::AcceptMode mode)
{
    NameOnlyIconProvider icons; // outlives the dialog, which does not own it
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

class QtDialogs : public DialogSeam
{
public:
    void message(Kind kind, QWidget* parent, const QString& caption, const QString& text) override
    {
        switch (kind) {
        case Kind::About:
            QMessageBox::about(parent, caption, text);
            break;
        case Kind::Information:
            QMessageBox::information(parent, caption, text);
            break;
        case Kind::System:
            QMessageBox::warning(nullptr, caption, text, QMessageBox::Ok);
            break;
        case Kind::AboutQt:
            QMessageBox::aboutQt(parent, caption);
            break;
        }
    }

    int question(QWidget* parent, const QString& caption, const QString& text,
                 const QStringList& buttons, int defaultButton, int escapeButton) override
    {
        QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
        std::vector<QPushButton*> pushButtons;
        for (const QString& label : buttons)
            pushButtons.push_back(box.addButton(label, QMessageBox::ActionRole));
        if (defaultButton >= 0 && defaultButton < int(pushButtons.size()))
            box.setDefaultButton(pushButtons[defaultButton]);
        if (escapeButton >= 0 && escapeButton < int(pushButtons.size()))
            box.setEscapeButton(pushButtons[escapeButton]);
        box.exec();
        for (size_t i = 0; i < pushButtons.size(); ++i)
            if (box.clickedButton() == pushButtons[i])
                return int(i);
        return escapeButton;
    }

    QString openFileName(QWidget* parent, const QString& dir, const QString& filter,
                         const QString& caption) override
    {
        return chooseFile(parent, caption, dir, filter, QFileDialog::AcceptOpen);
    }

    QString saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                         const QString& caption) override
    {
        return chooseFile(parent, caption, dir, filter, QFileDialog::AcceptSave);
    }
};

DialogSeam* installed = nullptr;

DialogSeam& seam()
{
    static QtDialogs real;
    return installed ? *installed : real;
}

} // namespace

namespace Dialogs {

void setSeam(DialogSeam* newSeam)
{
    installed = newSeam;
}

void about(QWidget* parent, const QString& caption, const QString& text)
{
    seam().message(DialogSeam::Kind::About, parent, caption, text);
}

void aboutQt(QWidget* parent, const QString& caption)
{
    seam().message(DialogSeam::Kind::AboutQt, parent, caption, QString());
}

void information(QWidget* parent, const QString& caption, const QString& text)
{
    seam().message(DialogSeam::Kind::Information, parent, caption, text);
}

void systemMessage(const QString& caption, const QString& text)
{
    seam().message(DialogSeam::Kind::System, nullptr, caption, text);
}

int question(QWidget* parent, const QString& caption, const QString& text,
             const QStringList& buttons, int defaultButton, int escapeButton)
{
    return seam().question(parent, caption, text, buttons, defaultButton, escapeButton);
}

QString getOpenFileName(QWidget* parent, const QString& dir, const QString& filter,
                        const QString& caption)
{
    return seam().openFileName(parent, dir, filter, caption);
}

QString getSaveFileName(QWidget* parent, const QString& dir, const QString& filter,
                        const QString& caption)
{
    return seam().saveFileName(parent, dir, filter, caption);
}

} // namespace Dialogs
