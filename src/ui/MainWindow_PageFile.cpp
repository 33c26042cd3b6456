#include "ui/MainWindow.h"

#include "platform/FileIO.h"
#include "ui/CheckValue.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>

#include <algorithm>

namespace quorel::ui
{
namespace
{
    // The address list's entry among the save dialog's file types.
    constexpr qsizetype addressListFileType = 1;

    bool holdsNothingButSpaces(const QString &text)
    {
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
    }
}

// False after telling the user why; the file on disk is then as it was.
bool MainWindow::writePage(const QString &path)
{
    const core::Result<> written = platform::FileIO::writeText(path, m_pageText, u"\r\n");
    if (written)
        return true;
    showFailure(written.error(), desktop::MessageIcon::Exclamation);
    return false;
}

void MainWindow::save()
{
    saveButton->setEnabled(false);
    if (holdsNothingButSpaces(m_pageText)) {
        m_desktop.notifier.beep();
        m_desktop.notifier.messageBox(this, Messages::nothingToSave(), Messages::nothingToSaveTitle(),
                                      desktop::MessageIcon::Exclamation);
        saveButton->setEnabled(true);
        return;
    }

    desktop::SaveDialogRequest request;
    request.title = Messages::saveDialogTitle();
    request.initialFolder = m_lastSaveFolder;
    request.fileTypes = Messages::pageFileTypes();
    request.selectedType = CheckValue::isTicked(*addressListCheck) ? addressListFileType : 0;
    // Cancel leaves Overwrite and View without a file; a write that fails leaves them aimed at the
    // file saved before, never at one that was not written.
    const std::optional<desktop::SaveDialogChoice> choice = m_desktop.dialogs.saveDialog(this, request);
    if (!choice) {
        m_savedFile.clear();
        m_savedFileName.clear();
    } else if (writePage(choice->fullPath)) {
        m_savedFile = choice->fullPath;
        m_savedFileName = choice->fileName;
        m_lastSaveFolder = m_savedFile.left(m_savedFile.size() - m_savedFileName.size());
    }
    saveButton->setEnabled(true);
}

void MainWindow::overwrite()
{
    overwriteButton->setEnabled(false);
    if (!m_savedFile.isEmpty())
        writePage(m_savedFile);
    else
        save();
    overwriteButton->setEnabled(true);
}

void MainWindow::view()
{
    if (!m_savedFile.isEmpty())
        m_desktop.opener.openWithAssociatedProgram(m_savedFile);
    else
        showMessage(Messages::noFileSaved(), desktop::MessageIcon::Exclamation);
}
}
