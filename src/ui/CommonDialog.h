#pragma once

#include <QString>

class QWidget;

namespace quorel::platform
{
class Desktop;
}

namespace quorel::ui
{
// The save dialog with the properties the window reads and writes around it.
struct CommonDialog
{
    QString FileName; // full path of the file chosen last, or empty
    QString FileTitle; // that file's name without its folder
    QString InitDir;
    QString Filter;
    int FilterIndex = 1;
    QString DefaultExt = QStringLiteral("htm");
    QString DialogTitle = QStringLiteral("ファイルを保存");

    // On confirmation FileName and FileTitle hold the choice; on cancel they keep their values.
    void ShowSave(platform::Desktop &desktop, QWidget *owner);
};
}
