#include "support/FakeDesktop.h"

#include "platform/UrlFetcher.h"

#include <QWidget>

namespace quorel::tests
{
void FakeDesktop::messageBox(QWidget *owner, const QString &text, const QString &title, desktop::MessageIcon icon)
{
    messages.append({text, title, icon, {}, owner ? owner->geometry() : QRect()});
    if (whileMessageShown)
        whileMessageShown();
}

bool FakeDesktop::messageBoxOffering(QWidget *owner, const QString &text, const QString &title,
                                     desktop::MessageIcon icon, const QString &offer)
{
    messages.append({text, title, icon, offer, owner ? owner->geometry() : QRect()});
    if (whileMessageShown)
        whileMessageShown();
    if (offerAnswers.empty())
        return false;
    const bool taken = offerAnswers.front();
    offerAnswers.pop_front();
    return taken;
}

void FakeDesktop::beep()
{
    ++beeps;
}

std::optional<desktop::SaveDialogChoice> FakeDesktop::saveDialog(QWidget *, const desktop::SaveDialogRequest &request)
{
    saveRequests.append(request);
    if (whileSaveDialogShown)
        whileSaveDialogShown();
    if (saveAnswers.empty())
        return std::nullopt;
    // Swapped out rather than moved: GCC takes a moved-from optional in a deque for uninitialized.
    std::optional<desktop::SaveDialogChoice> answer;
    answer.swap(saveAnswers.front());
    saveAnswers.pop_front();
    return answer;
}

QString FakeDesktop::folderDialog(QWidget *, const QString &title, const QString &startFolder)
{
    folderDialogTitles.append(title);
    folderDialogStarts.append(startFolder);
    if (folderAnswers.empty())
        return {};
    QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

void FakeDesktop::openWithAssociatedProgram(const QString &path)
{
    openedFiles.append(path);
}

bool FakeDesktop::anotherInstanceRunning(const QString &lockPath)
{
    lockPaths.append(lockPath);
    return otherInstance;
}

std::unique_ptr<platform::UrlFetcher> FakeDesktop::createFetcher()
{
    return fetcherFactory ? fetcherFactory() : nullptr;
}
}
