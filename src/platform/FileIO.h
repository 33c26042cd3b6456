#pragma once

#include "core/Result.h"
#include "core/SettingsFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace quorel::platform::FileIO
{
// Writes the bytes whole or not at all (see WholeFile); a failure names the file and the reason.
core::Result<> writeWhole(const QString &path, QByteArrayView bytes);

// The text and then tail in CP932 without a byte-order mark, written as writeWhole does. Encoded
// into the file piece by piece, so that a page of many megabytes is neither copied nor held twice.
// A character CP932 lacks fails the writing, naming the character, and leaves the file as it was.
core::Result<> writeText(const QString &path, QStringView text, QStringView tail = {});

// As writeText when CP932 holds every character of the text. Otherwise the whole text in UTF-8
// after a byte-order mark, which the readers below recognise, rather than lose a character.
core::Result<> writeTextKeepingCharacters(const QString &path, QStringView text);

// The lines of CP932 text without their CR LF (a lone LF or a lone CR also ends a line); UTF-8 when
// the bytes begin with its byte-order mark, which is not part of the first line.
QStringList decodeLines(const QByteArray &bytes);

// decodeLines of the file's bytes, or why the file could not be read (also when it is no regular file).
core::Result<QStringList> readTextLines(const QString &path);

// A CP932 text file's lines as decodeLines gives them, read a piece at a time, each cut after its
// first maxLineBytes bytes: a file of any size costs the memory of a line.
class TextLines final : public core::SettingsFormat::LineSource
{
public:
    // The file opened, or why it could not be (also when it is no regular file).
    static core::Result<std::unique_ptr<TextLines>> open(const QString &path, qsizetype maxLineBytes);
    TextLines(QByteArray bytes, qsizetype maxLineBytes);
    ~TextLines() override;
    TextLines(const TextLines &) = delete;
    TextLines &operator=(const TextLines &) = delete;

    bool next(QString &line, core::SettingsFormat::Skip skip) override;
    bool atEnd() override;
    bool skipLine() override; // without decoding it
    // Why the lines ended before the file did, if they did.
    const std::optional<core::Failure> &failure() const { return m_failure; }

private:
    TextLines(QString path, int fd, qsizetype maxLineBytes);
    bool fill();
    void skipHole();
    void lookForMark();

    QString m_path;
    int m_fd = -1;
    qsizetype m_maxLineBytes;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    bool m_afterCr = false; // an LF next belongs to the CR that ended the last line
    bool m_undecoded = false; // the line is passed over, so decoding it would be wasted
    bool m_markLooked = false;
    bool m_utf8 = false;
    QByteArray m_raw;
    std::optional<core::Failure> m_failure;
};
}
