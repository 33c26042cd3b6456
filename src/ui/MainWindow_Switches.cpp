#include "ui/MainWindow.h"

#include "ui/CheckValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quorel::ui
{
// An address list has no thumbnails and leaves no number out.
void MainWindow::applyAddressListSwitch()
{
    m_outputBox->clear();
    m_pageText.clear();
    const bool listsPages = !CheckValue::isTicked(*m_addressListCheck);
    for (QWidget *control : std::initializer_list<QWidget *>{m_thumbnailsCheck, m_thumbSizeEdit, m_columnsEdit,
                                                             m_checkFolderBox, m_checkFolderCheck})
        control->setEnabled(listsPages);
}

void MainWindow::applyCheckFolderSwitch()
{
    enableCheckFolder(CheckValue::isTicked(*m_checkFolderCheck));
}

void MainWindow::enableCheckFolder(bool enabled)
{
    m_checkFolderBox->setEnabled(enabled);
    m_browseCheckFolderButton->setEnabled(enabled);
}
}
