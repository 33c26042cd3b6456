#include "ui/MainWindow.h"

#include "core/ProgramVersion.h"
#include "platform/FolderListing.h"
#include "platform/ProgramInfo.h"
#include "ui/Messages.h"

#include <QComboBox>

namespace quorel::ui
{
void MainWindow::showAbout()
{
    Messages::AboutValues values;
    values.programName = platform::ProgramInfo::programBaseName();
    values.major = core::ProgramVersion::major;
    values.minor = core::ProgramVersion::minor;
    values.revision = core::ProgramVersion::revision;
    values.programFolder = platform::ProgramInfo::programFolder();
    values.companyName = QString::fromUtf16(core::ProgramVersion::companyName);
    values.legalNotice = QString::fromUtf16(core::ProgramVersion::legalCopyright);
    values.lastSaveFolder = m_lastSaveFolder;
    m_desktop.notifier.messageBox(this, Messages::about(values), Messages::aboutTitle(), desktop::MessageIcon::None);
}

namespace
{
    // Cancel leaves the box as it was; a chosen path replaces its text, enabled or not.
    void putChosenFolder(QComboBox &box, const QString &path)
    {
        if (!path.isEmpty())
            box.setEditText(path);
    }
}

// The picker opens where the box points, or as near to it as there is a folder.
QString MainWindow::askForFolder(const QComboBox &box)
{
    return m_desktop.dialogs.folderDialog(this, Messages::chooseFolder(),
                                          platform::FolderListing::nearestExistingFolder(box.currentText()));
}

void MainWindow::browseCheckFolder()
{
    putChosenFolder(*checkFolderBox, askForFolder(*checkFolderBox));
}

void MainWindow::browseDownloadFolder()
{
    putChosenFolder(*downloadFolderBox, askForFolder(*downloadFolderBox));
}
}
