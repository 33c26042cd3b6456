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
// but takes no keystroke or click, so that no second action can start; a busy cursor says why.
// The window is not disabled, which would grey every field. Its buttons are: a screen reader
// presses a button through its accessible action, which no event filter sees, and Qt refuses
// that action only on a disabled button. Esc alone gets through, to stop the run.
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
