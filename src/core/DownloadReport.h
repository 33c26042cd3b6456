#pragma once

#include "core/Failure.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorel::core
{
// What became of a download run: how many images were saved, which failed and why, and why the
// run ended before the last image, if it did.
struct DownloadReport
{
    struct ImageFailure
    {
        QString fileName;
        Failure failure;
    };

    // How many images from one server may end in a row without any answer from it before the run
    // gives up: by then the network or the server is down, and the rest would only wait out their
    // time-outs. With several images in flight to a silent server, their time-outs run together, so
    // the run ends about one time-out after it started.
    static constexpr int silentServersLimit = 5;
    // Images named in the account one by one; the rest are only counted.
    static constexpr qsizetype namedFailures = 10;

    qsizetype total = 0;
    qsizetype saved = 0;
    qsizetype failed = 0;
    QList<ImageFailure> firstFailures; // at most namedFailures
    QList<qsizetype> failedImages; // where each failed image stands in the run's list, in order
    std::optional<Failure> endedEarly;

    qsizetype notTried() const { return total - saved - failed; }
    bool complete() const { return saved == total; }

    void addFailure(qsizetype image, const QString &fileName, const Failure &failure)
    {
        if (firstFailures.size() < namedFailures)
            firstFailures.append({fileName, failure});
        failedImages.append(image);
        ++failed;
    }
};
}
