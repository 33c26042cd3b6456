#pragma once

// Planted: the core may not reach up into the window.
#include "ui/MainWindow.h"
