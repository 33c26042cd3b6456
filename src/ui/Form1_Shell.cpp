#include "ui/Form1.h"

#include "core/SettingsFormat.h"
#include "platform/Desktop.h"
#include "ui/SettingsBinding.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
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

bool Form1::Form_Load()
{
    if (m_desktop.anotherInstanceRunning(settingsLocation.lockPath())) {
        m_desktop.beep();
        showMessage(QStringLiteral("すでに起動されています。"), platform::MessageIcon::None);
        return false;
    }

    centreOnScreen();
    alignControls();
    SettingsBinding::readFile(*this, settingsLocation.readPath());
    m_settingsDue = true;
    return true;
}

void Form1::centreOnScreen()
{
    const QScreen *display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display)
        return;
    const QRectF area = display->geometry();
    // Before the first show Qt knows no frame; the window manager can tell it in advance.
    const QMargins frame = m_desktop.frameExtents(*this);
    const QSize outer = frame.isNull() ? frameGeometry().size() : size().grownBy(frame);
    const QPoint corner(qRound(area.left() + (area.width() - outer.width()) / 2.0),
                        qRound(area.top() + (area.height() - outer.height()) / 2.0));
    // move() places the frame only where Qt knows it; elsewhere it places the window inside it.
    const QPoint knownFrame = geometry().topLeft() - frameGeometry().topLeft();
    move(frame.isNull() ? corner : corner + QPoint(frame.left(), frame.top()) - knownFrame);
}

// Each row reads what the rows before it set.
void Form1::alignControls()
{
    lbl_Center(Label7, Text8);
    lbl_Center(Label8, Text9);
    lbl_Center(Check1, Text8);
    Twips::setHeight(Label9, twipsHeight(cmb_Head));
    Twips::setHeight(cmd_ana, twipsHeight(cmb_Name));
    Twips::setHeight(Text3, twipsHeight(Command1));
    Twips::setHeight(Text4, twipsHeight(Command1));
    Twips::setHeight(txt_Keta, twipsHeight(Command1));
    Twips::setTop(Text3, twipsTop(Command1));
    Twips::setTop(Text4, twipsTop(Command1));
    Twips::setTop(txt_Keta, twipsTop(Command1));
    Twips::setTop(Label1, twipsTop(Label7));
    Twips::setTop(chk_Chk_FoN, twipsTop(cmb_Chk_FoN) + (twipsHeight(cmb_Chk_FoN) - twipsHeight(chk_Chk_FoN)) / 2);
    Twips::setHeight(cmd_Chk_FoN, twipsHeight(cmb_Chk_FoN));
}

void Form1::Form_Unload()
{
    if (!std::exchange(m_settingsDue, false))
        return;
    // A file that cannot be written keeps the previous one and closing goes on regardless; with the
    // window gone there is no one to tell but the log.
    const core::Result<> written = SettingsBinding::writeFile(
        *this, settingsLocation.writePath(),
        core::SettingsFormat::createdStamp(QDateTime::currentDateTime(), QLocale::system()));
    if (!written)
        qWarning().noquote() << written.error();
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const float scaleWidth = static_cast<float>(width() * Twips::perPixel);
    const float scaleHeight = static_cast<float>(height() * Twips::perPixel);

    const QRectF out = Twips::geometry(txt_Out);
    Twips::setWidth(txt_Out, scaleWidth - out.left());
    const float outHeight = static_cast<float>(scaleHeight - out.top());
    if (outHeight > 0)
        Twips::setHeight(txt_Out, outHeight);

    const double margin = Twips::geometry(cmb_Name).left();
    const double anaLeft = scaleWidth - Twips::geometry(cmd_ana).width() - margin;
    Twips::setLeft(cmd_ana, anaLeft);
    Twips::setWidth(cmb_Name, anaLeft - 2 * margin);
}

void Form1::lbl_Center(QWidget *lc_Label, QWidget *lc_Text)
{
    Twips::setTop(lc_Label, twipsTop(lc_Text) + (twipsHeight(lc_Text) - twipsHeight(lc_Label)) / 2);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_runningFetcher) {
        stopDownloadAndClose();
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Restoring a minimised window may not resize it, yet the layout has to catch up.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}
}
