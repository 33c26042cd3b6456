#include "ui/InputHold.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

namespace quorel::ui
{
InputHold::InputHold(QWidget &window, std::function<void()> escape)
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

InputHold::~InputHold()
{
    for (const QPointer<QAbstractButton> &button : std::as_const(m_disabled))
        if (button)
            button->setEnabled(true);
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool InputHold::eventFilter(QObject *, QEvent *event)
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
}
