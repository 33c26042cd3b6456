#pragma once

#include <QString>

#include <functional>

// Places where tests stand in for conditions a file system cannot be made to show on demand, as a
// folder that refuses new files to a user who is root, or a process killed in mid-write.
namespace quorel::platform::WholeFileSeams
{
enum class Step
{
    Opened, // the new bytes have somewhere to go; nothing visible has changed
    Written, // after each chunk
    Committing, // all bytes are in; the target is about to be replaced
};

struct Hooks
{
    // Whether a new file may be made in the folder; the file system decides when this is empty.
    std::function<bool(const QString &folder)> folderWritable;
    // Called as a write passes each step.
    std::function<void(Step)> reached;
};

// The hooks in force until the next call; an empty Hooks puts the file system back in charge.
void set(Hooks hooks);
const Hooks &current();
}
