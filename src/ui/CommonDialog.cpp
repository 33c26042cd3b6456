#include "ui/CommonDialog.h"

#include "platform/Desktop.h"

namespace quorel::ui
{
void CommonDialog::ShowSave(platform::Desktop &desktop, QWidget *owner)
{
    const auto choice = desktop.saveDialog(owner, {DialogTitle, DefaultExt, InitDir, Filter, FilterIndex});
    if (!choice)
        return;
    FileName = choice->fullPath;
    FileTitle = choice->fileName;
}
}
