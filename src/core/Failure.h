#pragma once

#include <QString>

#include <optional>

namespace quorel::core
{
// What was being done when something failed; the window words the sentence from it.
enum class Action
{
    None, // the reason says it all
    WriteFile, // subject: the file's path
    ReadFile, // subject: the file's path
    MakeFolder, // subject: the folder's path
    OpenFolder, // subject: the folder's path
    Fetch, // subject: the address
};

// Why it failed.
enum class Reason
{
    // A page request the generator refuses.
    BadStartOrEnd,
    BadDigitCount,
    TooManyImages,
    ZeroColumns,
    PageTooLarge,

    // Files.
    DiskFull,
    NameTooLong,
    NotPermitted,
    FolderMissing,
    FolderInTheWay,
    DeviceOrPipe, // in the place of a file to write
    NotRegularFile, // in the place of a file to read
    ReadOnlyFile,
    NotReplaced,
    NoTemporaryRoom, // detail: the temporary folder that is full; empty when none takes a file
    UnusableCharacter, // a name holds a character no file or folder name can (NUL)
    TooManyLinks, // more links in a row than are followed, or links in a circle
    SystemError, // detail: the system's own words
    Unexplained, // detail: the system's own words, for an error the program did not foresee
    NotInCodePage, // detail: the character that Windows-31J lacks

    // Downloads.
    NoDownloadFolder,
    NameLeavesFolder, // subject: the file name
    TransferNotReady,
    TransferStopped,
    HeaderTooLarge,
    UnsupportedAddress,
    MalformedAddress,
    ServerNotFound,
    ConnectFailed,
    ServerStalled,
    NoAnswer, // connected, and nothing came back within the time allowed
    TooManyRedirects,
    OutOfMemory,
    SecureConnectFailed,
    CertificateNotTrusted,
    ServerRefused,
    TransferCut,
    TransferFailed, // detail: the transfer library's own words
    HttpStatus, // detail: the status and its reason phrase, e.g. "404 Not Found"
    NotAnImage, // a success answer that holds no whole resource; detail: its status, e.g. "204 No Content"
    ServersSilent, // several images in a row got no answer from their server
    UnexpectedCoding, // the answer came in a transfer coding the program cannot take, or a malformed one
    LinkNotTrusted, // detail: the link, planted by a user other than the folder's owner and this one
};

// Why something failed, as data: the window's message table turns it into the sentence shown.
struct Failure
{
    Reason reason;
    Action action = Action::None;
    QString subject;
    QString detail;
};

inline Failure fail(Reason reason, QString detail = {})
{
    return Failure{reason, Action::None, {}, std::move(detail)};
}

// The same failure, now known to have happened while acting on subject.
inline Failure during(Action action, QString subject, Failure failure)
{
    failure.action = action;
    failure.subject = std::move(subject);
    return failure;
}
}
