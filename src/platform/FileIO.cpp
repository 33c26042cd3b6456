#include "platform/FileIO.h"

#include "platform/Cp932.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::platform::FileIO
{
namespace
{
    constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");

    // Unlike QString::fromUtf8, keeps a U+FEFF that begins the bytes: the file's own mark is gone
    // by then, and one that begins a line was typed.
    QString fromUtf8(QByteArrayView bytes)
    {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder(bytes);
    }
}

core::Result<> writeWhole(const QString &path, QByteArrayView bytes)
{
    WholeFile file(path);
    if (core::Result<> opened = file.open(); !opened)
        return opened;
    if (core::Result<> written = file.write(bytes); !written)
        return written;
    return file.commit();
}

core::Result<> writeText(const QString &path, QStringView text, QStringView tail)
{
    WholeFile file(path);
    if (core::Result<> opened = file.open(); !opened)
        return opened;
    if (core::Result<> written
        = Cp932::encodeInPieces({text, tail}, [&file](QByteArrayView piece) { return file.write(piece); });
        !written) {
        if (written.error().action == core::Action::None)
            return core::during(core::Action::WriteFile, QDir::toNativeSeparators(path), written.error());
        return written;
    }
    return file.commit();
}

core::Result<> writeTextKeepingCharacters(const QString &path, QStringView text)
{
    if (Cp932::holdsAll(text))
        return writeText(path, text);
    QByteArray bytes = text.toUtf8();
    bytes.prepend(utf8Mark);
    return writeWhole(path, bytes);
}

namespace
{
    core::Failure readFailure(const QString &path, core::Reason reason, QString detail = {})
    {
        return core::during(core::Action::ReadFile, QDir::toNativeSeparators(path),
                            core::fail(reason, std::move(detail)));
    }

    core::Failure readFailureFromErrno(const QString &path, int error)
    {
        return readFailure(path, core::Reason::SystemError, QString::fromLocal8Bit(std::strerror(error)));
    }

    // Large pieces: some file systems read a hole in small ones ten times slower.
    constexpr qsizetype pieceBytes = 1 << 20;

    // Whether the reader would pass over the line, told from its bytes: a space and the characters
    // the reader looks for are single bytes in CP932 and in UTF-8, and no byte of a longer character
    // starts a line.
    template<typename Last> bool skippedBytes(QByteArrayView line, core::SettingsFormat::Skip skip, Last last)
    {
        using core::SettingsFormat::Skip;
        const auto lead = std::find_if(line.cbegin(), line.cend(), [](char c) { return c != ' '; });
        const char first = lead == line.cend() ? '\0' : *lead;
        switch (skip) {
        case Skip::Nothing:
            return false;
        case Skip::UnlessKeyLike:
            return first != '[';
        case Skip::EmptyAndCommentsButTheLast:
            if ((line.isEmpty() || first == ';') && last())
                return false;
            [[fallthrough]];
        case Skip::EmptyAndComments:
            return line.isEmpty() || first == ';';
        }
        return false;
    }
}

QStringList decodeLines(const QByteArray &bytes)
{
    TextLines source(bytes, bytes.size());
    QStringList lines;
    for (QString line; source.next(line, core::SettingsFormat::Skip::Nothing);)
        lines.append(line);
    return lines;
}

core::Result<QStringList> readTextLines(const QString &path)
{
    core::Result<std::unique_ptr<TextLines>> source = TextLines::open(path, std::numeric_limits<qsizetype>::max());
    if (!source)
        return source.error();
    QStringList lines;
    for (QString line; (*source)->next(line, core::SettingsFormat::Skip::Nothing);)
        lines.append(line);
    if ((*source)->failure())
        return *(*source)->failure();
    return lines;
}

core::Result<std::unique_ptr<TextLines>> TextLines::open(const QString &path, qsizetype maxLineBytes)
{
    // Anything but a regular file is refused unopened: opening a device can act on it, and a pipe
    // would wake a writer waiting on it. O_NONBLOCK and the second look cover a swap in between,
    // where a pipe would otherwise keep the window from ever appearing.
    const QByteArray name = QFile::encodeName(path);
    struct stat named = {};
    if (::stat(name.constData(), &named) != 0)
        return readFailureFromErrno(path, errno);
    if (!S_ISREG(named.st_mode))
        return readFailure(path, core::Reason::NotRegularFile);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return readFailureFromErrno(path, errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return readFailure(path, core::Reason::NotRegularFile);
    }
    return std::unique_ptr<TextLines>(new TextLines(path, fd, maxLineBytes));
}

TextLines::TextLines(QByteArray bytes, qsizetype maxLineBytes)
    : m_maxLineBytes(maxLineBytes)
    , m_buffer(std::move(bytes))
{ }

TextLines::TextLines(QString path, int fd, qsizetype maxLineBytes)
    : m_path(std::move(path))
    , m_fd(fd)
    , m_maxLineBytes(maxLineBytes)
{ }

TextLines::~TextLines()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// Refills the buffer once it is used up; false at the end of the bytes, or on a read error.
bool TextLines::fill()
{
    if (m_at < m_buffer.size())
        return true;
    if (m_fd < 0)
        return false;
    m_buffer.resize(pieceBytes);
    m_at = 0;
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data(), size_t(pieceBytes));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            m_failure = readFailureFromErrno(m_path, errno);
        m_buffer.resize(std::max<qsizetype>(got, 0));
        if (got <= 0) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        return true;
    }
}

// A hole in a sparse file reads as zeros, which end no line: once the line has all it keeps, the
// hole is passed over unread instead of read a gigabyte at a time.
void TextLines::skipHole()
{
    if (m_fd < 0)
        return;
    const off_t here = ::lseek(m_fd, 0, SEEK_CUR);
    if (here >= 0 && ::lseek(m_fd, here, SEEK_DATA) < 0) {
        if (errno == ENXIO)
            ::lseek(m_fd, 0, SEEK_END);
        else
            ::lseek(m_fd, here, SEEK_SET);
    }
}

bool TextLines::skipLine()
{
    m_undecoded = true;
    QString line;
    const bool passed = next(line, core::SettingsFormat::Skip::Nothing);
    m_undecoded = false;
    return passed;
}

void TextLines::lookForMark()
{
    m_markLooked = true;
    if (fill() && QByteArrayView(m_buffer).sliced(m_at).startsWith(utf8Mark)) {
        m_at += utf8Mark.size();
        m_utf8 = true;
    }
}

bool TextLines::atEnd()
{
    if (!m_markLooked)
        lookForMark();
    if (m_afterCr && fill()) {
        m_afterCr = false;
        if (m_buffer.at(m_at) == '\n')
            ++m_at;
    }
    return !fill();
}

// Split before decoding, so a broken double-byte character cannot swallow a line end; neither CR
// nor LF is ever the second byte of a CP932 character.
bool TextLines::next(QString &line, core::SettingsFormat::Skip skip)
{
    while (!atEnd()) {
        m_raw.clear();
        QByteArrayView bytes; // the line, where it lies whole in the buffer; else in m_raw
        for (bool whole = true;; whole = false) {
            if (m_raw.size() >= m_maxLineBytes && m_at >= m_buffer.size())
                skipHole();
            if (!fill())
                break;
            const char *begin = m_buffer.constData() + m_at;
            const auto left = size_t(m_buffer.size() - m_at);
            const char *end = static_cast<const char *>(std::memchr(begin, '\n', left));
            const char *cr = static_cast<const char *>(std::memchr(begin, '\r', end ? size_t(end - begin) : left));
            if (cr)
                end = cr;
            const qsizetype length = end ? end - begin : qsizetype(left);
            m_at += length;
            if (end) {
                ++m_at;
                m_afterCr = cr != nullptr;
                if (whole) {
                    bytes = QByteArrayView(begin, std::min(length, m_maxLineBytes));
                    break;
                }
            }
            m_raw.append(begin, std::min(length, m_maxLineBytes - m_raw.size()));
            if (end)
                break;
        }
        if (bytes.isNull())
            bytes = m_raw;
        // Looking past the line may refill the buffer it lies in.
        const auto last = [this, &bytes] {
            if (bytes.data() != m_raw.constData()) {
                m_raw = bytes.toByteArray();
                bytes = m_raw;
            }
            return atEnd();
        };
        if (skippedBytes(bytes, skip, last))
            continue;
        if (m_undecoded) {
            line.clear();
            return true;
        }
        const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
        line = ascii ? QString::fromLatin1(bytes) : m_utf8 ? fromUtf8(bytes) : Cp932::decode(bytes);
        return true;
    }
    return false;
}
}
