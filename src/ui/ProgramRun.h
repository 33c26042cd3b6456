#pragma once

#include <functional>

namespace quorel::platform
{
class Desktop;
}

namespace quorel::ui
{
class Form1;

// The program's life: starts the window, runs it until it closes, and closes it the normal way on
// the end of the desktop session or a termination signal. whenShown runs once the window shows.
int runProgram(platform::Desktop &desktop, const std::function<void(Form1 &)> &whenShown = {});
}
