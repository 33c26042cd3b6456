#include "ui/Module1.h"

#include "core/NumberPreview.h"
#include "ui/Form1.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace quorel::ui::Module1
{
void txt_SelAll(QWidget &ctl)
{
    auto *edit = qobject_cast<QLineEdit *>(&ctl);
    if (auto *combo = qobject_cast<QComboBox *>(&ctl))
        edit = combo->lineEdit();
    if (edit)
        edit->setSelection(0, static_cast<int>(edit->text().size()));
}

void lbl_NumView(Form1 &form)
{
    form.Label9->setText(core::numberPreview(form.Text3->text(), form.txt_Keta->text()));
}
}
