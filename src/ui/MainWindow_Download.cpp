#include "ui/MainWindow.h"

#include "core/AppTitle.h"
#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "platform/UrlFetcherFactory.h"
#include "ui/InputHold.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <thread>

namespace quorel::ui
{
void MainWindow::download()
{
    if (m_pageImages.count() == 0) {
        showMessage(m_everyImageInCheckFolder ? Messages::everyImageInCheckFolder() : Messages::noListYet(),
                    desktop::MessageIcon::None);
        return;
    }
    downloadButton->setEnabled(false);
    // The run works on copies, so that nothing typed meanwhile changes what it fetches or where; a
    // retry fetches the images that failed into the same folder.
    core::PageImages images = m_pageImages;
    const QString downloadFolder = downloadFolderBox->currentText();
    for (bool retry = false;; retry = true) {
        const std::optional<core::Result<core::DownloadReport>> outcome = downloadOnce(images, downloadFolder);
        // A run stopped by the window's close or the end of the program ends without a word.
        if (!outcome)
            break;
        if (!*outcome) {
            showFailure(outcome->error(), desktop::MessageIcon::Exclamation);
            break;
        }
        const core::DownloadReport &report = **outcome;
        // A first run that saved everything needs no word; a retry the user asked for does.
        if (report.complete() && !retry)
            break;
        const QString account = Messages::downloadAccount(report);
        const auto icon = report.complete() ? desktop::MessageIcon::None : desktop::MessageIcon::Exclamation;
        if (report.failedImages.isEmpty()) {
            showMessage(account, icon);
            break;
        }
        if (!m_desktop.notifier.messageBoxOffering(this, account, core::appTitle(), icon, Messages::retryFailed()))
            break;
        images = images.subset(report.failedImages);
    }
    downloadButton->setEnabled(true);
    if (std::exchange(m_closeAfterDownload, false))
        close();
}

std::optional<core::Result<core::DownloadReport>> MainWindow::downloadOnce(const core::PageImages &images,
                                                                           const QString &downloadFolder)
{
    const std::unique_ptr<platform::UrlFetcher> fetcher = m_desktop.fetchers.createFetcher();
    core::Result<core::DownloadReport> outcome = fetcher
        ? downloadBesideTheWindow(*fetcher, images, downloadFolder)
        : core::Result<core::DownloadReport>(core::fail(core::Reason::TransferNotReady));
    setWindowTitle(core::appTitle());
    if (std::exchange(m_downloadStopped, false))
        return std::nullopt;
    return outcome;
}

core::Result<core::DownloadReport> MainWindow::downloadBesideTheWindow(platform::UrlFetcher &fetcher,
                                                                       const core::PageImages &images,
                                                                       const QString &downloadFolder)
{
    // The transfers run on a thread of their own so that this one keeps serving the window.
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
        outcome
            = platform::downloadImages(images, downloadFolder, fetcher, [&ended](qsizetype count) { ended = count; });
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
