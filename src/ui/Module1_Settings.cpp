#include "ui/Module1.h"

#include <QComboBox>

namespace quorel::ui::Module1
{
void cmb_ReadList(QComboBox &cmb, const QStringList &entries)
{
    cmb.addItems(entries);
    cmb.setEditText(cmb.count() > 0 ? cmb.itemText(0) : QString());
}

QStringList cmb_WriteList(QComboBox &cmb)
{
    if (cmb.count() == 0)
        cmb.addItem(cmb.currentText());
    QStringList entries;
    entries.reserve(cmb.count());
    for (int i = 0; i < cmb.count(); ++i)
        entries.append(cmb.itemText(i));
    return entries;
}
}
