#pragma once

#include "core/Failure.h"

#include <QString>

namespace quorel::tests
{
// What failed, as data, for a test's diagnostics: the lower layers' tests assert reasons, and the
// sentences belong to the window's tests. Empty for a success, so that it may stand in a QVERIFY2
// message, which is evaluated either way.
template<typename Result> QString failureText(const Result &result)
{
    if (result)
        return {};
    const core::Failure &failure = result.error();
    return QStringLiteral("reason %1, action %2, subject \"%3\", detail \"%4\"")
        .arg(int(failure.reason))
        .arg(int(failure.action))
        .arg(failure.subject, failure.detail);
}
}
