#pragma once

#include <QMargins>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace quorel::platform
{
class UrlFetcher;

enum class MessageIcon
{
    None,
    Exclamation,
    Critical,
};

struct SaveDialogRequest
{
    QString title;
    QString defaultExtension; // without the dot, appended to a name typed without one
    QString initialFolder; // the toolkit's default when empty
    QString filter; // "description|patterns|description|patterns…", patterns joined by ';'
    int filterIndex = 1; // 1-based entry of the filter preselected
};

struct SaveDialogChoice
{
    QString fullPath;
    QString fileName; // without its folder
};

// Everything interactive the window takes from the desktop, so tests can answer in its place.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // A modal box with only an OK button.
    virtual void messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon) = 0;
    virtual void beep() = 0;
    virtual std::optional<SaveDialogChoice> saveDialog(QWidget *owner, const SaveDialogRequest &request) = 0;
    // The chosen folder, or an empty text on cancel.
    virtual QString folderDialog(QWidget *owner, const QString &title) = 0;
    virtual void openWithAssociatedProgram(const QString &path) = 0;
    // True when another running copy holds the lock at lockPath; otherwise this copy takes it.
    virtual bool anotherInstanceRunning(const QString &lockPath) = 0;
    virtual std::unique_ptr<UrlFetcher> createFetcher() = 0;
    // The window manager's frame around a window not yet shown; none when it cannot tell.
    virtual QMargins frameExtents(QWidget &window) = 0;
};
}
