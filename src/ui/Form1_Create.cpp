#include "ui/Form1.h"

namespace quorel::ui
{
void Form1::Command1_Click() {}
}
