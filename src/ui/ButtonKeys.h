#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <vector>

class QAbstractButton;

namespace quorel::ui
{
// Enter and keypad Enter press the focused button, as Space does, without any button becoming
// the window's default: Enter elsewhere keeps doing nothing. A button that disables itself while
// its action runs keeps the focus, as buttons of the desktop this tool comes from do.
class ButtonKeys final : public QObject
{
public:
    ButtonKeys(std::vector<QAbstractButton *> buttons, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Each button disabled while it had the focus, with the control that took it over; an
    // action may disable more than one button in turn.
    QHash<QObject *, QPointer<QWidget>> m_focusTakenBy;
};
}
