#pragma once

#include "desktop/Desktop.h"
#include "platform/UrlFetcherFactory.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace quorel::tests
{
// Records what the window asked of the desktop and answers from a script, so tests never block.
class FakeDesktop final : public desktop::Notifier,
                          public desktop::FileDialogs,
                          public desktop::FileOpener,
                          public desktop::SingleInstance,
                          public desktop::WindowFrame,
                          public platform::UrlFetcherFactory
{
public:
    struct Message
    {
        QString text;
        QString title;
        desktop::MessageIcon icon;
        QString offer; // the button beside OK, if any
        QRect over; // where the box's owner stood, which Qt centres it on
    };

    QList<Message> messages;
    int beeps = 0;
    QList<desktop::SaveDialogRequest> saveRequests;
    QList<QString> folderDialogTitles;
    QList<QString> folderDialogStarts;
    QList<QString> openedFiles;

    // Next answers; an empty queue means the user cancels.
    std::deque<std::optional<desktop::SaveDialogChoice>> saveAnswers;
    std::deque<QString> folderAnswers;
    // Whether the user takes the offer of each box that makes one; an empty queue means OK.
    std::deque<bool> offerAnswers;
    bool otherInstance = false;
    QMargins frame;
    QList<QString> lockPaths;
    std::function<std::unique_ptr<platform::UrlFetcher>()> fetcherFactory;
    // Runs while a message box is open (e.g. to look at the window's state then).
    std::function<void()> whileMessageShown;
    std::function<void()> whileSaveDialogShown;

    void messageBox(QWidget *owner, const QString &text, const QString &title, desktop::MessageIcon icon) override;
    bool messageBoxOffering(QWidget *owner, const QString &text, const QString &title, desktop::MessageIcon icon,
                            const QString &offer) override;
    void beep() override;
    std::optional<desktop::SaveDialogChoice> saveDialog(QWidget *owner,
                                                        const desktop::SaveDialogRequest &request) override;
    QString folderDialog(QWidget *owner, const QString &title, const QString &startFolder) override;
    void openWithAssociatedProgram(const QString &path) override;
    bool anotherInstanceRunning(const QString &lockPath) override;
    // No later copy calls, and a refused copy finds nobody to answer.
    void answerLaterCopies(QWidget &) override { }
    std::optional<QRect> callRunningCopy() override { return std::nullopt; }
    std::unique_ptr<platform::UrlFetcher> createFetcher() override;
    void askFrameExtents(QWidget &) override { }
    QMargins frameExtents(QWidget &) override { return frame; }

    desktop::Desktop roles() { return {*this, *this, *this, *this, *this, *this}; }

    QString lastMessageText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
}
