#include "ui/AccessKeys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QShortcutEvent>

#include <algorithm>

namespace quorel::ui
{
namespace
{
    bool takesFocus(const QWidget *control)
    {
        return !qobject_cast<const QLabel *>(control) && control->isEnabled();
    }
}

AccessKeys::AccessKeys(std::vector<QWidget *> tabOrder, const std::vector<std::pair<QLabel *, QWidget *>> &names,
                       QObject *parent)
    : QObject(parent)
    , m_tabOrder(std::move(tabOrder))
{
    // A label grabs its access key only while it has a buddy.
    for (const auto &[caption, named] : names)
        caption->setBuddy(named);
    for (QWidget *control : m_tabOrder) {
        if (auto *caption = qobject_cast<QLabel *>(control); caption && caption->text().contains(u'&'))
            caption->installEventFilter(this);
    }
}

QWidget *AccessKeys::target(const QLabel *caption) const
{
    const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), caption);
    if (at == m_tabOrder.end())
        return nullptr;
    const std::size_t count = m_tabOrder.size();
    const auto index = static_cast<std::size_t>(at - m_tabOrder.begin());
    // Past the last control the search goes on from the first, as Tab does.
    for (std::size_t step = 1; step < count; ++step) {
        QWidget *candidate = m_tabOrder[(index + step) % count];
        if (takesFocus(candidate))
            return candidate;
    }
    return nullptr;
}

bool AccessKeys::eventFilter(QObject *watched, QEvent *event)
{
    // Instead of the label's own handling, which would go to its buddy.
    if (event->type() != QEvent::Shortcut)
        return QObject::eventFilter(watched, event);
    auto *caption = qobject_cast<QLabel *>(watched);
    QWidget *control = caption ? target(caption) : nullptr;
    if (!control)
        return true;
    control->setFocus(Qt::ShortcutFocusReason);
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (button && !static_cast<QShortcutEvent *>(event)->isAmbiguous())
        button->animateClick();
    else
        control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    return true;
}
}
