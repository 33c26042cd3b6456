#include "ui/Module1.h"

#include "core/NumberPreview.h"
#include "ui/Form1.h"

#include <QAccessible>
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
    const QString preview = core::numberPreview(form.Text3->text(), form.txt_Keta->text());
    form.Label9->setText(preview);
    // The label announces a new name only while it has none of its own; its name is fixed.
    QAccessibleValueChangeEvent changed(form.Label9, preview);
    QAccessible::updateAccessibility(&changed);
}
}
