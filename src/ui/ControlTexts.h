#pragma once

#include <QAccessible>
#include <QString>

#include <span>

namespace quorel::ui
{
// What assistive technology is told about one control of the main window. The name says the
// control's role without its access key (announced separately); the tooltip, where there is one,
// is also the description.
struct ControlText
{
    const char *control; // object name
    QAccessible::Role role;
    QString name;
    QString toolTip;
    QString description; // only for controls without a tooltip
};

// Every control of the main window, in screen order.
std::span<const ControlText> controlTexts();
}
