#include "ui/InputHold.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

namespace quorel::ui
{
InputHold::InputHold(QWidget &window, std::function<void()> escape)
    : m_escape(std::move(escape))
{
    // The pointer says the program works, but not that the window takes nothing.
    QApplication::setOverrideCursor(Qt::BusyCursor);
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
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
        return false;
    m_escape();
    return true;
}
}
