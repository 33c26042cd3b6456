#include "ui/Form1.h"

namespace quorel::ui
{
void Form1::Command2_Click() {}
void Form1::Command3_Click() {}
void Form1::Command4_Click() {}
void Form1::Command5_Click() {}
}
