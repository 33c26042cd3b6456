#include "ui/MainWindow.h"

#include "core/AddressAnalysis.h"
#include "core/PageGenerator.h"
#include "platform/Cp932.h"
#include "platform/FolderListing.h"
#include "platform/LargeText.h"
#include "ui/CheckValue.h"
#include "ui/ComboHistory.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quorel::ui
{
void MainWindow::analyse()
{
    const auto parts = core::AddressAnalysis::analyse(baseAddressBox->currentText());
    if (!parts) {
        showMessage(Messages::nothingToAnalyse(), desktop::MessageIcon::None);
        return;
    }

    baseAddressBox->setEditText(parts->baseAddress);
    headBox->setEditText(parts->head);
    tailBox->setEditText(parts->tail);
    startEdit->setText(parts->start);
    // The start as the field kept it, should the field have refused part of it.
    const QString start = startEdit->text();
    endEdit->setText(core::AddressAnalysis::endFor(start));
    digitsEdit->setText(core::AddressAnalysis::digitCountFor(start));
}

void MainWindow::create()
{
    createButton->setEnabled(false);

    // The last page's memory is written over rather than given back and asked for anew.
    QString storage = std::exchange(m_pageText, {});
    m_pageImages = {};
    m_everyImageInCheckFolder = false;

    baseAddressBox->setEditText(core::baseAddress(baseAddressBox->currentText()));

    ComboHistory::moveCurrentToTop(*baseAddressBox);
    ComboHistory::moveCurrentToTop(*headBox);
    ComboHistory::moveCurrentToTop(*tailBox);
    if (CheckValue::isTicked(*checkFolderCheck))
        ComboHistory::moveCurrentToTop(*checkFolderBox);

    outputBox->setPlainText(core::pageHeader(CheckValue::isTicked(*thumbnailsCheck)));

    core::Result<core::PageResult> result = core::generatePage(pageRequest(), std::move(storage));
    if (!result) {
        showFailure(result.error(), desktop::MessageIcon::None);
        createButton->setEnabled(true);
        return;
    }

    outputBox->setPlainText(core::displayText(result->text));
    m_pageText = std::move(result->text);
    m_pageImages = std::move(result->images);
    m_everyImageInCheckFolder = m_pageImages.count() == 0 && result->leftOut > 0;
    createButton->setEnabled(true);
}

void MainWindow::setPage(QString text, core::PageImages images)
{
    outputBox->setPlainText(core::displayText(text));
    m_pageText = std::move(text);
    m_pageImages = std::move(images);
    m_everyImageInCheckFolder = false;
}

core::PageRequest MainWindow::pageRequest() const
{
    core::PageRequest request;
    request.baseAddress = baseAddressBox->currentText();
    request.head = headBox->currentText();
    request.tail = tailBox->currentText();
    request.digitCountText = digitsEdit->text();
    request.startText = startEdit->text();
    request.endText = endEdit->text();
    request.thumbnails = CheckValue::isTicked(*thumbnailsCheck);
    request.sizeText = thumbSizeEdit->text();
    request.columnsText = columnsEdit->text();
    request.addressOnly = CheckValue::isTicked(*addressListCheck);
    request.useCheckFolder = CheckValue::isTicked(*checkFolderCheck);
    // The folder is listed only when the generator asks, with the tail as the request has it.
    request.listCheckFolder = [checkFolder = checkFolderBox->currentText(), tail = request.tail] {
        return platform::FolderListing::filesEndingWith(checkFolder, tail);
    };
    request.codePageHolds = &platform::Cp932::holds;
    request.reserveText = &platform::LargeText::reserve;
    return request;
}

// An address list has no thumbnails and leaves no number out.
void MainWindow::applyAddressListSwitch()
{
    outputBox->clear();
    m_pageText.clear();
    const bool listsPages = !CheckValue::isTicked(*addressListCheck);
    for (QWidget *control : std::initializer_list<QWidget *>{thumbnailsCheck, thumbSizeEdit, columnsEdit,
                                                             checkFolderBox, checkFolderCheck})
        control->setEnabled(listsPages);
}

void MainWindow::applyCheckFolderSwitch()
{
    enableCheckFolder(CheckValue::isTicked(*checkFolderCheck));
}

void MainWindow::enableCheckFolder(bool enabled)
{
    checkFolderBox->setEnabled(enabled);
    browseCheckFolderButton->setEnabled(enabled);
}
}
