#pragma once

namespace quorel::ui::AccessibleControls
{
// Lets the main window's combo boxes be named by their role rather than by their current text
// (Qt's own interface does the latter on Linux), and gives the number preview its value.
// Must run before any accessible interface of the window is asked for; installs once.
void install();
}
