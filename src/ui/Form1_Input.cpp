#include "ui/Form1.h"

namespace quorel::ui
{
char16_t Form1::chk_Num(char16_t &int_Num)
{
    return int_Num;
}

void Form1::installFieldRules() {}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}

void Form1::Text3_Change() {}
void Form1::txt_Keta_Change() {}
}
