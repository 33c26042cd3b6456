#include "ui/ComboHistory.h"

#include <QComboBox>

namespace quorel::ui::ComboHistory
{
void moveCurrentToTop(QComboBox &box)
{
    const QString text = box.currentText();
    int match = -1;
    for (int i = 0; i < box.count() && match < 0; ++i) {
        if (box.itemText(i) == text)
            match = i;
    }
    if (match < 0) {
        box.addItem(text);
        match = box.count() - 1;
    }
    if (match > 0) {
        box.removeItem(match);
        box.insertItem(0, text);
    }
    box.setEditText(box.itemText(0));
}

void appendRead(QComboBox &box, const QStringList &entries)
{
    box.addItems(entries);
    box.setEditText(box.count() > 0 ? box.itemText(0) : QString());
}

QStringList entriesToSave(QComboBox &box)
{
    if (box.count() == 0)
        box.addItem(box.currentText());
    QStringList entries;
    entries.reserve(box.count());
    for (int i = 0; i < box.count(); ++i)
        entries.append(box.itemText(i));
    return entries;
}
}
