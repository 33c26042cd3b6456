#pragma once

#include <QObject>

#include <utility>
#include <vector>

class QLabel;
class QWidget;

namespace quorel::ui
{
// A label's access key gives the focus to the next control after it in tab order that can take
// the focus now, so the target moves on while a field is disabled. That target is often not the
// control the label names (the base-address label leads to the start number), so the label is
// the buddy of the control it names instead: screen readers take a buddy for the control's label
// and its access key for the control's.
class AccessKeys final : public QObject
{
public:
    // tabOrder: every control of the window in tab order, labels included.
    // names: each label with the control it names.
    AccessKeys(std::vector<QWidget *> tabOrder, const std::vector<std::pair<QLabel *, QWidget *>> &names,
               QObject *parent);

    // Where the access key of `caption` leads now; none when nothing can take the focus.
    QWidget *target(const QLabel *caption) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<QWidget *> m_tabOrder;
};
}
