#include "platform/QtDesktop.h"

#include "platform/SaveDialogFilter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace quorel::platform
{
std::optional<SaveDialogChoice> QtDesktop::saveDialog(QWidget *owner, const SaveDialogRequest &request)
{
    QFileDialog dialog(owner, request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    const QStringList nameFilters = SaveDialogFilter::toNameFilters(request.filter);
    dialog.setNameFilters(nameFilters);
    if (request.filterIndex >= 1 && request.filterIndex <= nameFilters.size())
        dialog.selectNameFilter(nameFilters.at(request.filterIndex - 1));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString fullPath = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return SaveDialogChoice{fullPath, QFileInfo(fullPath).fileName()};
}

void QtDesktop::openWithAssociatedProgram(const QString &path)
{
    // Whether a program took the file is not reported, as the user sees that for themselves.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
}
