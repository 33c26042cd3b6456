#include "ui/MainWindow.h"

#include "ui/Messages.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace quorel::ui
{
namespace
{
    double twipsTop(const QWidget *control)
    {
        return Twips::geometry(control).top();
    }
    double twipsHeight(const QWidget *control)
    {
        return Twips::geometry(control).height();
    }
}

bool MainWindow::start()
{
    if (m_desktop.instance.anotherInstanceRunning(m_settingsLocation.lockPath())) {
        m_desktop.notifier.beep();
        showMessage(Messages::alreadyRunning(), desktop::MessageIcon::None);
        return false;
    }

    centreOnScreen();
    alignControls();
    readSettings();
    m_settingsDue = true;
    return true;
}

void MainWindow::centreOnScreen()
{
    const QScreen *display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display)
        return;
    const QRectF area = display->geometry();
    // Before the first show Qt knows no frame; the window manager can tell it in advance.
    const QMargins frame = m_desktop.frame.frameExtents(*this);
    const QSize outer = frame.isNull() ? frameGeometry().size() : size().grownBy(frame);
    const QPoint corner(qRound(area.left() + (area.width() - outer.width()) / 2.0),
                        qRound(area.top() + (area.height() - outer.height()) / 2.0));
    // move() places the frame only where Qt knows it; elsewhere it places the window inside it.
    const QPoint knownFrame = geometry().topLeft() - frameGeometry().topLeft();
    move(frame.isNull() ? corner : corner + QPoint(frame.left(), frame.top()) - knownFrame);
}

// Each row reads what the rows before it set.
void MainWindow::alignControls()
{
    centreOn(m_thumbSizeLabel, m_thumbSizeEdit);
    centreOn(m_columnsLabel, m_columnsEdit);
    centreOn(m_thumbnailsCheck, m_thumbSizeEdit);
    Twips::setHeight(m_numberPreview, twipsHeight(m_headBox));
    Twips::setHeight(m_analyseButton, twipsHeight(m_baseAddressBox));
    Twips::setHeight(m_startEdit, twipsHeight(m_createButton));
    Twips::setHeight(m_endEdit, twipsHeight(m_createButton));
    Twips::setHeight(m_digitsEdit, twipsHeight(m_createButton));
    Twips::setTop(m_startEdit, twipsTop(m_createButton));
    Twips::setTop(m_endEdit, twipsTop(m_createButton));
    Twips::setTop(m_digitsEdit, twipsTop(m_createButton));
    Twips::setTop(m_baseAddressLabel, twipsTop(m_thumbSizeLabel));
    Twips::setTop(m_checkFolderCheck,
                  twipsTop(m_checkFolderBox) + (twipsHeight(m_checkFolderBox) - twipsHeight(m_checkFolderCheck)) / 2);
    Twips::setHeight(m_browseCheckFolderButton, twipsHeight(m_checkFolderBox));
}

void MainWindow::fitToSize()
{
    if (isMinimized())
        return;
    const float scaleWidth = static_cast<float>(width() * Twips::perPixel);
    const float scaleHeight = static_cast<float>(height() * Twips::perPixel);

    const QRectF out = Twips::geometry(m_outputBox);
    Twips::setWidth(m_outputBox, scaleWidth - out.left());
    const float outHeight = static_cast<float>(scaleHeight - out.top());
    if (outHeight > 0)
        Twips::setHeight(m_outputBox, outHeight);

    const double margin = Twips::geometry(m_baseAddressBox).left();
    const double analyseButtonLeft = scaleWidth - Twips::geometry(m_analyseButton).width() - margin;
    Twips::setLeft(m_analyseButton, analyseButtonLeft);
    Twips::setWidth(m_baseAddressBox, analyseButtonLeft - 2 * margin);
}

// Centres the label vertically on the field.
void MainWindow::centreOn(QWidget *label, QWidget *field)
{
    Twips::setTop(label, twipsTop(field) + (twipsHeight(field) - twipsHeight(label)) / 2);
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

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitToSize();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Restoring a minimised window may not resize it, yet the layout has to catch up.
    if (event->type() == QEvent::WindowStateChange)
        fitToSize();
}
}
