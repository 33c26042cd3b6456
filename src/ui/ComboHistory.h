#pragma once

#include <QStringList>

class QComboBox;

// A combo box's list as the history of what was used in it, most recent first.
namespace quorel::ui::ComboHistory
{
// Moves the box's current text to the top of its list (adding it when missing).
void moveCurrentToTop(QComboBox &box);

// Appends the entries read for a list after those it holds and shows the first of the whole list.
void appendRead(QComboBox &box, const QStringList &entries);

// The entries a list is saved with; an empty list first takes the box's text as its only entry.
QStringList entriesToSave(QComboBox &box);
}
