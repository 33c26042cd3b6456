#pragma once

#include "desktop/Desktop.h"
#include "platform/CurlFetcherFactory.h"

#include <memory>

class QLocalServer;

namespace quorel::desktop
{
// The single-instance lock: a kernel lock on an open file, kept while this object lives.
class InstanceLock
{
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when another open file holds the lock at path; otherwise this object takes it.
    bool heldElsewhere(const QString &path);

private:
    int m_fd = -1;
};

// The desktop as Qt offers it, and downloads over libcurl.
class QtDesktop final : public Notifier,
                        public FileDialogs,
                        public FileOpener,
                        public SingleInstance,
                        public WindowFrame
{
public:
    QtDesktop();
    ~QtDesktop() override;
    QtDesktop(const QtDesktop &) = delete;
    QtDesktop &operator=(const QtDesktop &) = delete;

    void messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon) override;
    bool messageBoxOffering(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                            const QString &offer) override;
    void beep() override;
    std::optional<SaveDialogChoice> saveDialog(QWidget *owner, const SaveDialogRequest &request) override;
    QString folderDialog(QWidget *owner, const QString &title, const QString &startFolder) override;
    void openWithAssociatedProgram(const QString &path) override;
    bool anotherInstanceRunning(const QString &lockPath) override;
    void answerLaterCopies(QWidget &window) override;
    std::optional<QRect> callRunningCopy() override;
    void askFrameExtents(QWidget &window) override;
    QMargins frameExtents(QWidget &window) override;

    Desktop roles() { return {*this, *this, *this, *this, *this, m_fetchers}; }

private:
    InstanceLock m_instanceLock;
    QString m_lockPath;
    // Where later copies call, beside the lock; only the copy holding the lock listens.
    std::unique_ptr<QLocalServer> m_callsFromLaterCopies;
    platform::CurlFetcherFactory m_fetchers;
    bool m_frameAsked = false;
};
}
