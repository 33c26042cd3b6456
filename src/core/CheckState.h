#pragma once

namespace quorel::core
{
// A check box's state as the settings file stores it; the numbers are the file's.
enum class CheckState
{
    Clear = 0,
    Ticked = 1,
    Grey = 2,
};
}
