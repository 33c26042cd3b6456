#include "ui/Form1.h"

namespace quorel::ui
{
QString Form1::get_Folder()
{
    return {};
}

void Form1::cmd_Chk_FoN_Click() {}
void Form1::cmd_Fld_Click() {}
void Form1::Check2_Click() {}
void Form1::chk_Chk_FoN_Click() {}
void Form1::cmd_Get_Click() {}
}
