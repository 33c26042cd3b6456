#include "ui/Form1.h"

#include "ui/CheckValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace quorel::ui
{
void Form1::Check2_Click()
{
    txt_Out->clear();
    str_Out.clear();
    const bool listsPages = !CheckValue::isTicked(*Check2);
    for (QWidget *control : std::initializer_list<QWidget *>{Check1, Text8, Text9, cmb_Chk_FoN, chk_Chk_FoN})
        control->setEnabled(listsPages);
}

void Form1::chk_Chk_FoN_Click()
{
    chk_fon_Enabled(CheckValue::isTicked(*chk_Chk_FoN));
}
}
