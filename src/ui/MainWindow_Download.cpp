#include "ui/MainWindow.h"

#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "platform/UrlFetcherFactory.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QPushButton>

#include <atomic>
#include <thread>

namespace quorel::ui
{
namespace
{
    // While it lives the window keeps painting and answering the window manager, its close included,
    // but takes no keystroke or click, so that no second action can start; a busy cursor says why.
    // The window is not disabled, which would grey every field. Its buttons are: a screen reader
    // presses a button through its accessible action, which no event filter sees, and Qt refuses
    // that action only on a disabled button.
    class InputHold final : public QObject
    {
    public:
        explicit InputHold(QWidget &window)
        {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            qApp->installEventFilter(this);
            const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
            for (QAbstractButton *button : buttons)
                if (button->isEnabled()) {
                    button->setEnabled(false);
                    m_disabled.append(button);
                }
        }
        ~InputHold() override
        {
            for (const QPointer<QAbstractButton> &button : std::as_const(m_disabled))
                if (button)
                    button->setEnabled(true);
            qApp->removeEventFilter(this);
            QApplication::restoreOverrideCursor();
        }
        InputHold(const InputHold &) = delete;
        InputHold &operator=(const InputHold &) = delete;

    protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::InputMethod:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::TabletPress:
            case QEvent::TabletRelease:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            default:
                return false;
            }
        }

    private:
        QList<QPointer<QAbstractButton>> m_disabled;
    };
}

void MainWindow::download()
{
    if (m_pageImages.count() == 0) {
        showMessage(Messages::noListYet(), platform::MessageIcon::None);
        return;
    }
    m_downloadButton->setEnabled(false);
    const std::unique_ptr<platform::UrlFetcher> fetcher = m_desktop.fetchers.createFetcher();
    const core::Result<> outcome
        = fetcher ? downloadBesideTheWindow(*fetcher) : core::Result<>(core::fail(core::Reason::TransferNotReady));
    // A run stopped by the window's close or the end of the program ends without a word.
    const bool stopped = std::exchange(m_downloadStopped, false);
    if (!outcome && !stopped)
        showFailure(outcome.error(), platform::MessageIcon::Exclamation);
    m_downloadButton->setEnabled(true);
    if (std::exchange(m_closeAfterDownload, false))
        close();
}

core::Result<> MainWindow::downloadBesideTheWindow(platform::UrlFetcher &fetcher)
{
    // The transfers run on a thread of their own so that this one keeps serving the window; the
    // thread gets copies, as nothing it reads may change under it.
    const core::PageImages images = m_pageImages;
    const QString folder = m_downloadFolderBox->currentText();

    const InputHold hold(*this);
    QEventLoop loop;
    std::atomic<bool> finished = false;
    core::Result<> outcome;
    m_runningFetcher = &fetcher;
    std::thread worker([&] {
        outcome = platform::downloadImages(images, folder, fetcher);
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The loop also ends when the application is told to exit; the run then stops here.
    loop.exec();
    if (!finished) {
        m_downloadStopped = true;
        fetcher.stop();
    }
    worker.join();
    m_runningFetcher = nullptr;
    return outcome;
}

void MainWindow::stopDownloadAndClose()
{
    m_downloadStopped = true;
    m_closeAfterDownload = true;
    m_runningFetcher->stop();
}
}
