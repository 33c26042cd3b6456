#include "ui/ButtonKeys.h"

#include <QAbstractButton>
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
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    // A held key would otherwise run the action over and over.
    if (!key->isAutoRepeat())
        static_cast<QAbstractButton *>(watched)->click();
    return true;
}
}
