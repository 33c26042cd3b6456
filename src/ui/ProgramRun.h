#pragma once

#include <functional>

namespace quorel::desktop
{
struct Desktop;
}

namespace quorel::ui
{
class MainWindow;

// The program's life: starts the window, runs it until it closes, and closes it the normal way on
// the end of the desktop session or a termination signal. whenShown runs once the window shows.
int runProgram(const desktop::Desktop &desktop, const std::function<void(MainWindow &)> &whenShown = {});
}
