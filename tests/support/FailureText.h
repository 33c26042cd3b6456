#pragma once

#include "ui/Messages.h"

#include <QString>

namespace quorel::tests
{
// What the user would read of a failed result; empty for a success, so it may stand in a
// QVERIFY2 message, which is evaluated either way.
template<typename Result> QString failureText(const Result &result)
{
    return result ? QString() : ui::Messages::describe(result.error());
}
}
