#include "ui/MainWindow.h"

#include "core/SettingsFormat.h"
#include "platform/FileIO.h"
#include "ui/ControlSettings.h"
#include "ui/Messages.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace quorel::ui
{
using namespace core::SettingsFormat;

bool MainWindow::start()
{
    if (m_desktop.instance.anotherInstanceRunning(m_settingsLocation.lockPath())) {
        // The box stands where this window would, unseen: over the running copy's window, which
        // comes forward, or else in the middle of the screen.
        if (const std::optional<QRect> running = m_desktop.instance.callRunningCopy())
            move(running->center() - QPoint(width() / 2, height() / 2));
        else
            centreOnScreen();
        m_desktop.notifier.beep();
        showMessage(Messages::alreadyRunning(), desktop::MessageIcon::None);
        return false;
    }

    centreOnScreen();
    alignControls();
    readSettings();
    m_settingsDue = true;
    m_desktop.instance.answerLaterCopies(*this);
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_runningFetcher) {
        stopDownloadAndClose();
        event->ignore();
        return;
    }
    writeSettings();
    QWidget::closeEvent(event);
}

// A missing or unreadable file changes nothing.
void MainWindow::readSettings()
{
    const QString path = m_settingsLocation.readPath();
    if (!QFileInfo::exists(path))
        return;
    // Read a line at a time, each cut where the reader would cut it: no file costs more memory
    // than what the window keeps of it. A unit takes at most two bytes in CP932 and three in UTF-8;
    // three more keep a character cut at the end from taking the place of a whole one.
    core::Result<std::unique_ptr<platform::FileIO::TextLines>> lines
        = platform::FileIO::TextLines::open(path, 3 * maxSingleValueUnits + 3);
    if (!lines) {
        // The window opens with its own values all the same; only the log can say why.
        qWarning().noquote() << Messages::describe(lines.error());
        return;
    }
    ControlSettings::Target target(*this, m_lastSaveFolder, [this](bool enabled) { enableCheckFolder(enabled); });
    if (const core::SettingsFormat::ReadOutcome read = core::SettingsFormat::read(**lines, target);
        read.skippedEntries > 0)
        qWarning("The settings file's lists hold more than is kept: %lld entries were skipped",
                 static_cast<long long>(read.skippedEntries));
    if ((*lines)->failure())
        qWarning().noquote() << Messages::describe(*(*lines)->failure());
}

// Runs once, at the first close after a start-up that was not refused. A file that cannot be
// written keeps the previous one and closing goes on regardless; with the window gone there is no
// one to tell but the log.
void MainWindow::writeSettings()
{
    if (!std::exchange(m_settingsDue, false))
        return;
    const QString text = write(ControlSettings::valuesOf(*this, m_lastSaveFolder),
                               createdStamp(QDateTime::currentDateTime(), QLocale::system()));

    const QString path = m_settingsLocation.writePath();
    const QString folder = QFileInfo(path).absolutePath();
    core::Result<> written;
    if (!QDir().mkpath(folder))
        written = core::during(core::Action::MakeFolder, QDir::toNativeSeparators(folder),
                               core::fail(core::Reason::NotPermitted));
    else
        written = platform::FileIO::writeTextKeepingCharacters(path, text);
    if (!written)
        qWarning().noquote() << Messages::describe(written.error());
}
}
