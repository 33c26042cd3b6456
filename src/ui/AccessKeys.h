#pragma once

#include <QObject>

#include <vector>

class QWidget;

namespace quorel::ui
{
// A label's access key gives the focus to the next control after it in tab order that can take
// the focus now, so the target moves on while a field is disabled.
class AccessKeys final : public QObject
{
public:
    // tabOrder: every control of the window in tab order, labels included.
    AccessKeys(std::vector<QWidget *> tabOrder, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointLabels();

    std::vector<QWidget *> m_tabOrder;
};
}
