#pragma once

#include "core/CheckState.h"

#include <QCheckBox>

// A check box's state as the program stores it.
namespace quorel::ui::CheckValue
{
core::CheckState value(const QCheckBox &box);
void setValue(QCheckBox &box, core::CheckState state);
inline bool isTicked(const QCheckBox &box)
{
    return value(box) == core::CheckState::Ticked;
}

// A check box the program may set grey, while a click only ever ticks or clears it.
class TwoStateClickBox final : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};
}
