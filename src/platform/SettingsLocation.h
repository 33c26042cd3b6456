#pragma once

#include <QString>

#include <functional>

namespace quorel::platform
{
// Where quorel.ini lives: beside the program when that folder can be written and lies outside
// /usr (a portable copy), otherwise, as for an installed copy, in the user's configuration folder.
struct SettingsLocation
{
    QString programFolder;
    QString configFolder;
    std::function<bool(const QString &folder)> folderWritable;

    // This program's folders, writability tested by creating a file there; a folder under /usr
    // counts as not writable, whoever runs the program.
    static SettingsLocation forThisProgram();

    QString settingsFolder() const;
    // The file the writer writes.
    QString writePath() const;
    // The file the reader reads: the written one, or the program folder's file while the
    // configuration folder has none yet.
    QString readPath() const;
    // Copies that share a settings file share this lock.
    QString lockPath() const;
};
}
