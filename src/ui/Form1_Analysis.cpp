#include "ui/Form1.h"

#include "core/AddressAnalysis.h"
#include "platform/Desktop.h"

#include <QComboBox>
#include <QLineEdit>

namespace quorel::ui
{
void Form1::cmd_ana_Click()
{
    const auto parts = core::AddressAnalysis::analyse(cmb_Name->currentText());
    if (!parts) {
        showMessage(QStringLiteral("解析済み(ファイル名が無い)または、アドレスが空です。"),
                    platform::MessageIcon::None);
        return;
    }

    cmb_Name->setEditText(parts->baseAddress);
    cmb_Head->setEditText(parts->head);
    cmb_Ext->setEditText(parts->tail);
    Text3->setText(parts->start);
    // The start as the field kept it, should the field have refused part of it.
    const QString start = Text3->text();
    Text4->setText(core::AddressAnalysis::endFor(start));
    txt_Keta->setText(core::AddressAnalysis::digitCountFor(start));
}
}
