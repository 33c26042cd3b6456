#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quorel::platform::ProgramInfo
{
QString programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString programBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
}
