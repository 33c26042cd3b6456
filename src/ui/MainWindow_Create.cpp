#include "ui/MainWindow.h"

#include "core/PageGenerator.h"
#include "platform/FolderListing.h"
#include "platform/LargeText.h"
#include "ui/CheckValue.h"
#include "ui/ComboHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quorel::ui
{
void MainWindow::create()
{
    m_createButton->setEnabled(false);

    // The last page's memory is written over rather than given back and asked for anew.
    QString storage = std::exchange(m_pageText, {});
    m_pageImages = {};

    m_baseAddressBox->setEditText(core::baseAddress(m_baseAddressBox->currentText()));

    ComboHistory::moveCurrentToTop(*m_baseAddressBox);
    ComboHistory::moveCurrentToTop(*m_headBox);
    ComboHistory::moveCurrentToTop(*m_tailBox);
    if (CheckValue::isTicked(*m_checkFolderCheck))
        ComboHistory::moveCurrentToTop(*m_checkFolderBox);

    m_outputBox->setPlainText(core::pageHeader(CheckValue::isTicked(*m_thumbnailsCheck)));

    core::Result<core::PageResult> result = core::generatePage(pageRequest(), std::move(storage));
    if (!result) {
        showFailure(result.error(), desktop::MessageIcon::None);
        m_createButton->setEnabled(true);
        return;
    }

    m_outputBox->setPlainText(core::displayText(result->text));
    m_pageText = std::move(result->text);
    m_pageImages = std::move(result->images);
    m_createButton->setEnabled(true);
}

void MainWindow::setPage(QString text, core::PageImages images)
{
    m_outputBox->setPlainText(core::displayText(text));
    m_pageText = std::move(text);
    m_pageImages = std::move(images);
}

core::PageRequest MainWindow::pageRequest() const
{
    core::PageRequest request;
    request.baseAddress = m_baseAddressBox->currentText();
    request.head = m_headBox->currentText();
    request.tail = m_tailBox->currentText();
    request.digitCountText = m_digitsEdit->text();
    request.startText = m_startEdit->text();
    request.endText = m_endEdit->text();
    request.thumbnails = CheckValue::isTicked(*m_thumbnailsCheck);
    request.sizeText = m_thumbSizeEdit->text();
    request.columnsText = m_columnsEdit->text();
    request.addressOnly = CheckValue::isTicked(*m_addressListCheck);
    request.useCheckFolder = CheckValue::isTicked(*m_checkFolderCheck);
    // The folder is listed only when the generator asks, with the tail as the request has it.
    request.listCheckFolder = [checkFolder = m_checkFolderBox->currentText(), tail = request.tail] {
        return platform::FolderListing::filesEndingWith(checkFolder, tail);
    };
    request.reserveText = &platform::LargeText::reserve;
    return request;
}
}
