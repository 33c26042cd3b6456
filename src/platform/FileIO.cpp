#include "platform/FileIO.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace quorel::platform::FileIO
{
namespace
{
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
    // Replacing through a rename would otherwise overwrite a file the user marked read-only.
    const QFileInfo target(path);
    if (target.isFile() && !target.isWritable())
        return failure(path, u"読み取り専用のファイルです。"_s);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, reasonFor(path, file.error()));
    file.write(bytes.data(), bytes.size());
    if (!file.commit())
        return failure(path, reasonFor(path, file.error()));
    return std::nullopt;
}

std::optional<QString> writeText(const QString &path, QStringView text)
{
    return writeWhole(path, Cp932::encode(text));
}

std::optional<QStringList> readTextLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;

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
}
