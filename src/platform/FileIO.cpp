#include "platform/FileIO.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace quorel::platform::FileIO
{
namespace
{
// What a newly created file gets: read and write for all, less the user's umask.
QFile::Permissions permissionsForNewFile()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFile::Permissions permissions;
    if (!(mask & S_IRUSR)) permissions |= QFile::ReadOwner | QFile::ReadUser;
    if (!(mask & S_IWUSR)) permissions |= QFile::WriteOwner | QFile::WriteUser;
    if (!(mask & S_IRGRP)) permissions |= QFile::ReadGroup;
    if (!(mask & S_IWGRP)) permissions |= QFile::WriteGroup;
    if (!(mask & S_IROTH)) permissions |= QFile::ReadOther;
    if (!(mask & S_IWOTH)) permissions |= QFile::WriteOther;
    return permissions;
}

QString failure(const QString &path, const QString &reason)
{
    return u"ファイル「%1」に書き込めませんでした。%2"_s.arg(QDir::toNativeSeparators(path), reason);
}

// The file system is asked again after the failure, since Qt's error codes lump these causes together.
QString reasonFor(const QString &path, QFileDevice::FileError error)
{
    const QFileInfo target(path);
    if (target.isDir())
        return u"同じ名前のフォルダがあります。"_s;
    if (!target.absoluteDir().exists())
        return u"保存先のフォルダが見つかりません。"_s;
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return u"書き込みが許可されていません。"_s;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return u"書き込みの途中で失敗しました。ディスクの空きが足りない可能性があります。"_s;
    case QFileDevice::RenameError:
        return u"元のファイルを置き換えられませんでした。"_s;
    default:
        return u"原因は分かりません。"_s;
    }
}
}

std::optional<QString> writeWhole(const QString &path, QByteArrayView bytes)
{
    // A link is written through, as opening the file would: the file it names gets the bytes.
    const QFileInfo chosen(path);
    const QFileInfo target(!chosen.isSymLink() ? path
                                               : chosen.exists() ? chosen.canonicalFilePath() : chosen.symLinkTarget());
    // Replacing through a rename would otherwise overwrite a file the user marked read-only.
    if (target.isFile() && !target.isWritable())
        return failure(path, u"読み取り専用のファイルです。"_s);
    if (target.isDir() || !target.absoluteDir().exists())
        return failure(path, reasonFor(path, QFileDevice::OpenError));

    // A temporary file beside the target, renamed over it once it holds every byte. Unlike
    // QSaveFile it is not forced to disk first: that costs more than a whole download of small
    // images, and a failed write still never leaves a half-written or emptied file behind.
    QTemporaryFile temporary(target.absolutePath() + u"/.quorel-XXXXXX"_s);
    if (!temporary.open())
        return failure(path, reasonFor(path, temporary.error()));
    if (temporary.write(bytes.data(), bytes.size()) != bytes.size() || !temporary.flush())
        return failure(path, reasonFor(path, QFileDevice::WriteError));
    temporary.setPermissions(target.exists() ? target.permissions() : permissionsForNewFile());
    temporary.close();
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return failure(path, reasonFor(path, QFileDevice::RenameError));
    temporary.setAutoRemove(false);
    return std::nullopt;
}

std::optional<QString> writeText(const QString &path, QStringView text)
{
    return writeWhole(path, Cp932::encode(text));
}

QStringList decodeLines(const QByteArray &bytes)
{
    // Split before decoding, so a broken double-byte character cannot swallow a line end.
    QList<QByteArray> rawLines = bytes.split('\n');
    if (rawLines.last().isEmpty())
        rawLines.removeLast(); // the end of the last line, or an empty file
    QStringList lines;
    lines.reserve(rawLines.size());
    for (QByteArray &raw : rawLines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        lines.append(Cp932::decode(raw));
    }
    return lines;
}

std::optional<QStringList> readTextLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeLines(bytes);
}
}
