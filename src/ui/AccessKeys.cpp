#include "ui/AccessKeys.h"

#include <QEvent>
#include <QLabel>

namespace quorel::ui
{
namespace
{
    bool takesFocus(const QWidget *control)
    {
        return !qobject_cast<const QLabel *>(control) && control->isEnabled();
    }
}

AccessKeys::AccessKeys(std::vector<QWidget *> tabOrder, QObject *parent)
    : QObject(parent)
    , m_tabOrder(std::move(tabOrder))
{
    for (QWidget *control : m_tabOrder) {
        if (!qobject_cast<QLabel *>(control))
            control->installEventFilter(this);
    }
    pointLabels();
}

bool AccessKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        pointLabels();
    return QObject::eventFilter(watched, event);
}

void AccessKeys::pointLabels()
{
    const std::size_t count = m_tabOrder.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto *caption = qobject_cast<QLabel *>(m_tabOrder[i]);
        if (!caption || !caption->text().contains(u'&'))
            continue;
        // Past the last control the search goes on from the first, as Tab does.
        QWidget *target = nullptr;
        for (std::size_t step = 1; step < count && !target; ++step) {
            QWidget *candidate = m_tabOrder[(i + step) % count];
            if (takesFocus(candidate))
                target = candidate;
        }
        caption->setBuddy(target);
    }
}
}
