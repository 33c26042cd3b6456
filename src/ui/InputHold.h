#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QWidget;

namespace quorel::ui
{
// While it lives the window keeps painting and answering the window manager, its close included,
// and its fields take typing, since the run works on copies of what it reads from them. Its
// buttons and switches, which would start a second action or change what the fields mean, are
// disabled and look it: a screen reader presses a button through its accessible action, which no
// event filter sees, and Qt refuses that action only on a disabled button. The window itself is
// not disabled, so that the focus stays where it was and a screen reader can still read the fields.
// Esc stops the run, whichever control has the focus.
class InputHold final : public QObject
{
public:
    InputHold(QWidget &window, std::function<void()> escape);
    ~InputHold() override;
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_escape;
    QList<QPointer<QAbstractButton>> m_disabled;
};
}
