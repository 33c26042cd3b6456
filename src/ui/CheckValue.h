#pragma once

#include <QCheckBox>

// A check box's value as the program stores it: 0 clear, 1 ticked, 2 grey.
namespace quorel::ui::CheckValue
{
int value(const QCheckBox &box);
void setValue(QCheckBox &box, int value);
inline bool isTicked(const QCheckBox &box)
{
    return value(box) == 1;
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
