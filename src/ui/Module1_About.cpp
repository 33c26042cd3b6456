#include "ui/Module1.h"

namespace quorel::ui::Module1
{
void msg_About(Form1 &) {}
}
