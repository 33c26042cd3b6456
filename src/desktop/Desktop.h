#pragma once

#include "core/FileType.h"

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace quorel::platform
{
class UrlFetcherFactory;
}

namespace quorel::desktop
{
enum class MessageIcon
{
    None,
    Exclamation,
    Critical,
};

// Modal boxes with an OK button, and the system's beep.
class Notifier
{
public:
    virtual ~Notifier() = default;
    virtual void messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon) = 0;
    // The same box with one more button, captioned offer, beside OK; true when the user pressed that
    // one, false for OK or a box closed without either.
    virtual bool messageBoxOffering(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                                    const QString &offer)
        = 0;
    virtual void beep() = 0;
};

using core::FileType;

struct SaveDialogRequest
{
    QString title;
    QString initialFolder; // the toolkit's default when empty
    QList<FileType> fileTypes;
    qsizetype selectedType = 0; // the entry of fileTypes chosen when the dialog opens
};

struct SaveDialogChoice
{
    QString fullPath;
    QString fileName; // without its folder
};

// The dialogs in which the user names a file or a folder.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<SaveDialogChoice> saveDialog(QWidget *owner, const SaveDialogRequest &request) = 0;
    // The chosen folder, or an empty text on cancel. It opens at startFolder, or at the top of the
    // file system when that is empty.
    virtual QString folderDialog(QWidget *owner, const QString &title, const QString &startFolder) = 0;
};

// Hands a file to the program the desktop opens its kind with.
class FileOpener
{
public:
    virtual ~FileOpener() = default;
    virtual void openWithAssociatedProgram(const QString &path) = 0;
};

class SingleInstance
{
public:
    virtual ~SingleInstance() = default;
    // True when another running copy holds the lock at lockPath; otherwise this copy takes it.
    virtual bool anotherInstanceRunning(const QString &lockPath) = 0;
    // For the copy that took the lock: from now on a later copy's call raises and activates window.
    virtual void answerLaterCopies(QWidget &window) = 0;
    // For a copy that was refused: asks the running copy to bring its window forward. Where that
    // window's frame stands on the screen, or nothing when the running copy does not answer.
    virtual std::optional<QRect> callRunningCopy() = 0;
};

class WindowFrame
{
public:
    virtual ~WindowFrame() = default;
    // Asks the window manager for the frame it will put around a window not yet shown, without
    // waiting for the answer.
    virtual void askFrameExtents(QWidget &window) = 0;
    // The frame asked for; none when the window manager cannot tell.
    virtual QMargins frameExtents(QWidget &window) = 0;
};

// What the window takes from the desktop, each role apart, so tests can answer in its place.
struct Desktop
{
    Notifier &notifier;
    FileDialogs &dialogs;
    FileOpener &opener;
    SingleInstance &instance;
    WindowFrame &frame;
    platform::UrlFetcherFactory &fetchers;
};
}
