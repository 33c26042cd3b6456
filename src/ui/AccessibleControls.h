#pragma once

class QComboBox;
class QLabel;

namespace quorel::ui::AccessibleControls
{
// An editable combo box named by its role rather than by its current text (Qt's own interface does
// the latter on Linux). Must be asked before any accessible interface of the box is, that is as soon
// as it is made.
void describeAsComboBox(QComboBox &box);

// A label whose name says what it shows, and whose text is a value.
void describeAsValue(QLabel &label);
}
