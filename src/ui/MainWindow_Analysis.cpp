#include "ui/MainWindow.h"

#include "core/AddressAnalysis.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QLineEdit>

namespace quorel::ui
{
void MainWindow::analyse()
{
    const auto parts = core::AddressAnalysis::analyse(m_baseAddressBox->currentText());
    if (!parts) {
        showMessage(Messages::nothingToAnalyse(), desktop::MessageIcon::None);
        return;
    }

    m_baseAddressBox->setEditText(parts->baseAddress);
    m_headBox->setEditText(parts->head);
    m_tailBox->setEditText(parts->tail);
    m_startEdit->setText(parts->start);
    // The start as the field kept it, should the field have refused part of it.
    const QString start = m_startEdit->text();
    m_endEdit->setText(core::AddressAnalysis::endFor(start));
    m_digitsEdit->setText(core::AddressAnalysis::digitCountFor(start));
}
}
