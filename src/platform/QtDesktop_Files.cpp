#include "platform/QtDesktop.h"

namespace quorel::platform
{
std::optional<SaveDialogChoice> QtDesktop::saveDialog(QWidget *, const SaveDialogRequest &)
{
    return std::nullopt;
}

void QtDesktop::openWithAssociatedProgram(const QString &)
{
}
}
