#include "ui/MainWindow.h"

#include "core/ProgramVersion.h"
#include "platform/ProgramInfo.h"
#include "ui/Messages.h"

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
}
