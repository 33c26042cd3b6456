#include "ui/MainWindow.h"

#include "core/AppTitle.h"
#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "platform/UrlFetcherFactory.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

namespace quorel::ui
{
namespace
{
    // While it lives the window keeps painting and answering the window manager, its close included,
    // but takes no keystroke or click, so that no second action can start; a busy cursor says why.
    // The window is not disabled, which would grey every field. Its buttons are: a screen reader
    // presses a button through its accessible action, which no event filter sees, and Qt refuses
    // that action only on a disabled button. Esc alone gets through, to stop the run.
    class InputHold final : public QObject
    {
    public:
        InputHold(QWidget &window, std::function<void()> escape)
            : m_escape(std::move(escape))
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
                if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                    m_escape();
                return true;
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
        std::function<void()> m_escape;
        QList<QPointer<QAbstractButton>> m_disabled;
    };
}

void MainWindow::download()
{
    if (m_pageImages.count() == 0) {
        showMessage(Messages::noListYet(), desktop::MessageIcon::None);
        return;
    }
    m_downloadButton->setEnabled(false);
    const std::unique_ptr<platform::UrlFetcher> fetcher = m_desktop.fetchers.createFetcher();
    const core::Result<core::DownloadReport> outcome = fetcher
        ? downloadBesideTheWindow(*fetcher)
        : core::Result<core::DownloadReport>(core::fail(core::Reason::TransferNotReady));
    setWindowTitle(core::appTitle());
    // A run stopped by the window's close or the end of the program ends without a word.
    if (!std::exchange(m_downloadStopped, false)) {
        if (!outcome)
            showFailure(outcome.error(), desktop::MessageIcon::Exclamation);
        else if (!outcome->complete())
            showMessage(Messages::downloadAccount(*outcome), desktop::MessageIcon::Exclamation);
    }
    m_downloadButton->setEnabled(true);
    if (std::exchange(m_closeAfterDownload, false))
        close();
}

core::Result<core::DownloadReport> MainWindow::downloadBesideTheWindow(platform::UrlFetcher &fetcher)
{
    // The transfers run on a thread of their own so that this one keeps serving the window; the
    // thread gets copies, as nothing it reads may change under it.
    const core::PageImages images = m_pageImages;
    const QString folder = m_downloadFolderBox->currentText();

    const InputHold hold(*this, [&fetcher] { fetcher.stop(); });
    QEventLoop loop;
    std::atomic<bool> finished = false;
    std::atomic<qsizetype> ended = 0;
    core::Result<core::DownloadReport> outcome = core::fail(core::Reason::TransferNotReady);
    m_runningFetcher = &fetcher;
    // The title follows the run a few times a second at most, however small the images.
    const auto showProgress
        = [this, &ended, total = images.count()] { setWindowTitle(Messages::downloadProgressTitle(ended, total)); };
    showProgress();
    QTimer progress;
    progress.callOnTimeout(this, showProgress);
    progress.start(250);
    std::thread worker([&] {
        outcome = platform::downloadImages(images, folder, fetcher, [&ended](qsizetype count) { ended = count; });
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
