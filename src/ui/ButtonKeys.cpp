#include "ui/ButtonKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

namespace quorel::ui
{
ButtonKeys::ButtonKeys(std::vector<QAbstractButton *> buttons, QObject *parent)
    : QObject(parent)
{
    for (QAbstractButton *button : buttons)
        button->installEventFilter(this);
}

bool ButtonKeys::eventFilter(QObject *watched, QEvent *event)
{
    // Not while the button is being destroyed, when it still gets events but is no button any more.
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            break;
        // A held key would otherwise run the action over and over.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
    case QEvent::FocusOut:
        // A button that disables itself while it runs loses the focus to the next control, where
        // a second Enter would press another button.
        if (!button->isEnabled())
            m_focusTakenBy.insert(button, QApplication::focusWidget());
        break;
    case QEvent::EnabledChange:
        if (button->isEnabled() && m_focusTakenBy.contains(button)) {
            // Unless something else has had the focus since, as a dialog the action opened.
            if (QApplication::focusWidget() == m_focusTakenBy.take(button))
                button->setFocus(Qt::OtherFocusReason);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
}
