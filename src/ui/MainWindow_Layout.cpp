#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace quorel::ui
{
namespace
{
    void setTop(QWidget *control, int top)
    {
        control->move(control->x(), top);
    }

    void setHeight(QWidget *control, int height)
    {
        control->resize(control->width(), std::max(0, height));
    }

    void setWidth(QWidget *control, int width)
    {
        control->resize(std::max(0, width), control->height());
    }

    // Centres control vertically on field, a half pixel going down.
    void centreOn(QWidget *control, const QWidget *field)
    {
        setTop(control, field->y() + qRound((field->height() - control->height()) / 2.0));
    }
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
    centreOn(thumbSizeLabel, thumbSizeEdit);
    centreOn(columnsLabel, columnsEdit);
    centreOn(thumbnailsCheck, thumbSizeEdit);
    setHeight(numberPreview, headBox->height());
    setHeight(analyseButton, baseAddressBox->height());
    for (QWidget *field : {startEdit, endEdit, digitsEdit}) {
        setHeight(field, createButton->height());
        setTop(field, createButton->y());
    }
    setTop(baseAddressLabel, thumbSizeLabel->y());
    centreOn(checkFolderCheck, checkFolderBox);
    setHeight(browseCheckFolderButton, checkFolderBox->height());
}

void MainWindow::fitToSize()
{
    if (isMinimized())
        return;
    setWidth(outputBox, width() - outputBox->x());
    // Too low a window keeps the box as it was rather than shrink it to nothing.
    if (const int outHeight = height() - outputBox->y(); outHeight > 0)
        setHeight(outputBox, outHeight);

    const int margin = baseAddressBox->x();
    const int analyseButtonLeft = width() - analyseButton->width() - margin;
    analyseButton->move(analyseButtonLeft, analyseButton->y());
    setWidth(baseAddressBox, analyseButtonLeft - 2 * margin);
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
