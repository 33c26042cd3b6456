#include "ui/CheckValue.h"

#include <QCheckBox>

namespace quorel::ui::CheckValue
{
using core::CheckState;

CheckState value(const QCheckBox &box)
{
    switch (box.checkState()) {
    case Qt::Checked:
        return CheckState::Ticked;
    case Qt::PartiallyChecked:
        return CheckState::Grey;
    case Qt::Unchecked:
        break;
    }
    return CheckState::Clear;
}

void TwoStateClickBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

void setValue(QCheckBox &box, CheckState state)
{
    switch (state) {
    case CheckState::Ticked:
        box.setCheckState(Qt::Checked);
        break;
    case CheckState::Grey:
        box.setCheckState(Qt::PartiallyChecked);
        break;
    case CheckState::Clear:
        box.setCheckState(Qt::Unchecked);
        break;
    }
}
}
