#pragma once

#include "platform/Desktop.h"

#include <QLockFile>

namespace quorel::platform
{
// The desktop as Qt offers it.
class QtDesktop final : public Desktop
{
public:
    void messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon) override;
    void beep() override;
    std::optional<SaveDialogChoice> saveDialog(QWidget *owner, const SaveDialogRequest &request) override;
    QString folderDialog(QWidget *owner, const QString &title) override;
    void openWithAssociatedProgram(const QString &path) override;
    bool anotherInstanceRunning(const QString &lockPath) override;
    std::unique_ptr<UrlFetcher> createFetcher() override;

private:
    std::unique_ptr<QLockFile> m_instanceLock;
};
}
