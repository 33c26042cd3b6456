#include "ui/Form1.h"

namespace quorel::ui
{
void Form1::cmd_ana_Click() {}
}
