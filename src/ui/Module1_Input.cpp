#include "ui/Module1.h"

namespace quorel::ui::Module1
{
void txt_SelAll(QWidget &) {}
void lbl_NumView(Form1 &) {}
}
