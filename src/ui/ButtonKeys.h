#pragma once

#include <QObject>

#include <vector>

class QAbstractButton;

namespace quorel::ui
{
// Enter and keypad Enter press the focused button, as Space does, without any button becoming
// the window's default: Enter elsewhere keeps doing nothing.
class ButtonKeys final : public QObject
{
public:
    ButtonKeys(std::vector<QAbstractButton *> buttons, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
}
