#include "platform/SettingsLocation.h"

#include "platform/ProgramInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace quorel::platform
{
namespace
{
    const QString fileName = QStringLiteral("quorel.ini");

    bool canCreateFileIn(const QString &folder)
    {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("quorel-probe-XXXXXX")));
        return probe.open();
    }

    // Files under /usr belong to the package manager, which never removes what a program leaves
    // there; root can write there all the same, so writability alone cannot tell.
    bool installedFolder(const QString &folder)
    {
        const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder)) + u'/';
        return path.startsWith(QStringLiteral("/usr/"));
    }

    bool portableFolder(const QString &folder)
    {
        return !installedFolder(folder) && canCreateFileIn(folder);
    }
}

SettingsLocation SettingsLocation::forThisProgram()
{
    return {ProgramInfo::programFolder(), QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
            portableFolder};
}

QString SettingsLocation::settingsFolder() const
{
    return folderWritable(programFolder) ? programFolder : configFolder;
}

QString SettingsLocation::writePath() const
{
    return QDir(settingsFolder()).filePath(fileName);
}

QString SettingsLocation::readPath() const
{
    const QString written = writePath();
    const QString besideProgram = QDir(programFolder).filePath(fileName);
    if (written != besideProgram && !QFileInfo::exists(written))
        return besideProgram;
    return written;
}

QString SettingsLocation::lockPath() const
{
    return writePath() + QStringLiteral(".lock");
}
}
