#include "ui/Module1.h"

#include <QComboBox>

namespace quorel::ui::Module1
{
QString str_OutFolder;

void cmb_AddTop(QComboBox &cmb)
{
    const QString text = cmb.currentText();
    int match = -1;
    for (int i = 0; i < cmb.count(); ++i) {
        if (cmb.itemText(i) == text) {
            match = i;
            break;
        }
    }
    if (match < 0) {
        cmb.addItem(text);
        match = cmb.count() - 1;
    }
    if (match > 0) {
        cmb.removeItem(match);
        cmb.insertItem(0, text);
    }
    cmb.setEditText(cmb.itemText(0));
}
}
