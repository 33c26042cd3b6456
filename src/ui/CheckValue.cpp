#include "ui/CheckValue.h"

#include <QCheckBox>

namespace quorel::ui::CheckValue
{
int value(const QCheckBox &box)
{
    switch (box.checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void TwoStateClickBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

void setValue(QCheckBox &box, int value)
{
    switch (value) {
    case 1:
        box.setCheckState(Qt::Checked);
        break;
    case 2:
        box.setCheckState(Qt::PartiallyChecked);
        break;
    default:
        box.setCheckState(Qt::Unchecked);
        break;
    }
}
}
