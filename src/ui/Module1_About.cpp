#include "ui/Module1.h"

#include "core/AboutText.h"
#include "core/AppTitle.h"
#include "core/ProgramVersion.h"
#include "platform/Desktop.h"
#include "platform/ProgramInfo.h"
#include "ui/Form1.h"

using namespace Qt::StringLiterals;

namespace quorel::ui::Module1
{
void msg_About(Form1 &form)
{
    core::AboutText::Values values;
    values.programName = platform::ProgramInfo::programBaseName();
    values.major = core::ProgramVersion::major;
    values.minor = core::ProgramVersion::minor;
    values.revision = core::ProgramVersion::revision;
    values.programFolder = platform::ProgramInfo::programFolder();
    values.companyName = QString::fromUtf16(core::ProgramVersion::companyName);
    values.legalNotice = QString::fromUtf16(core::ProgramVersion::legalCopyright);
    values.outFolder = str_OutFolder;
    form.desktop().messageBox(&form, core::AboutText::compose(values), u"About "_s + core::appTitle(),
                              platform::MessageIcon::None);
}
}
