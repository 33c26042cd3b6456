#pragma once

// Planted: the headless platform may not take widgets.
#include <QWidget>
