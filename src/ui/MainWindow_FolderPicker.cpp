#include "ui/MainWindow.h"

#include "ui/Messages.h"

#include <QComboBox>

namespace quorel::ui
{
namespace
{
    // Cancel leaves the box as it was; a chosen path replaces its text, enabled or not.
    void putChosenFolder(QComboBox &box, const QString &path)
    {
        if (!path.isEmpty())
            box.setEditText(path);
    }
}

QString MainWindow::askForFolder()
{
    return m_desktop.dialogs.folderDialog(this, Messages::chooseFolder());
}

void MainWindow::browseCheckFolder()
{
    putChosenFolder(*m_checkFolderBox, askForFolder());
}

void MainWindow::browseDownloadFolder()
{
    putChosenFolder(*m_downloadFolderBox, askForFolder());
}
}
