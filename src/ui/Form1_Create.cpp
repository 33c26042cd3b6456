#include "ui/Form1.h"

#include "core/PageGenerator.h"
#include "platform/Desktop.h"
#include "platform/FolderListing.h"
#include "ui/CheckValue.h"
#include "ui/Module1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quorel::ui
{
void Form1::Command1_Click()
{
    Command1->setEnabled(false);

    str_Out.clear();
    str_UrlList = core::OneBasedStrings();
    str_FileList = core::OneBasedStrings();
    int_FileCnt = 0;

    cmb_Name->setEditText(core::baseAddress(cmb_Name->currentText()));

    Module1::cmb_AddTop(*cmb_Name);
    Module1::cmb_AddTop(*cmb_Head);
    Module1::cmb_AddTop(*cmb_Ext);
    if (CheckValue::isTicked(*chk_Chk_FoN))
        Module1::cmb_AddTop(*cmb_Chk_FoN);

    txt_Out->setPlainText(core::pageHeader(CheckValue::isTicked(*Check1)));

    core::Result<core::PageResult> result = core::generatePage(pageRequest());
    if (!result) {
        showMessage(result.error(), platform::MessageIcon::None);
        Command1->setEnabled(true);
        return;
    }

    int_FileCnt = static_cast<qint16>(result->addresses.size());
    str_UrlList = core::OneBasedStrings(std::move(result->addresses));
    str_FileList = core::OneBasedStrings(std::move(result->fileNames));
    txt_Out->setPlainText(core::displayText(result->text));
    str_Out = std::move(result->text);
    Command1->setEnabled(true);
}

core::PageRequest Form1::pageRequest() const
{
    core::PageRequest request;
    request.baseAddress = cmb_Name->currentText();
    request.head = cmb_Head->currentText();
    request.tail = cmb_Ext->currentText();
    request.digitCountText = txt_Keta->text();
    request.startText = Text3->text();
    request.endText = Text4->text();
    request.thumbnails = CheckValue::isTicked(*Check1);
    request.sizeText = Text8->text();
    request.columnsText = Text9->text();
    request.addressOnly = CheckValue::isTicked(*Check2);
    request.useCheckFolder = CheckValue::isTicked(*chk_Chk_FoN);
    // The folder is listed only when the generator asks, with the tail as the request has it.
    request.listCheckFolder = [checkFolder = cmb_Chk_FoN->currentText(), tail = request.tail] {
        return platform::FolderListing::filesEndingWith(checkFolder, tail);
    };
    return request;
}
}
