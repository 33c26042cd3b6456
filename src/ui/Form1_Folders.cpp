#include "ui/Form1.h"

#include "platform/Desktop.h"
#include "platform/FileIO.h"
#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "ui/CheckValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace quorel::ui
{
namespace
{
    // Cancel leaves the box as it was; a chosen path replaces its text, enabled or not.
    void putChosenFolder(QComboBox &box, const QString &path)
    {
        if (!path.isEmpty())
            box.setEditText(path);
    }
}

QString Form1::get_Folder()
{
    return desktop().folderDialog(this, u"ﾌｫﾙﾀﾞを選択してください"_s);
}

void Form1::cmd_Chk_FoN_Click()
{
    putChosenFolder(*cmb_Chk_FoN, get_Folder());
}

void Form1::cmd_Fld_Click()
{
    putChosenFolder(*cmb_Fld, get_Folder());
}

void Form1::Check2_Click()
{
    txt_Out->clear();
    str_Out.clear();
    const bool listsPages = !CheckValue::isTicked(*Check2);
    for (QWidget *control : std::initializer_list<QWidget *>{Check1, Text8, Text9, cmb_Chk_FoN, chk_Chk_FoN})
        control->setEnabled(listsPages);
}

void Form1::chk_Chk_FoN_Click()
{
    chk_fon_Enabled(CheckValue::isTicked(*chk_Chk_FoN));
}

void Form1::cmd_Get_Click()
{
    if (int_FileCnt <= 0) {
        showMessage(u"リストを作成して下さい"_s, platform::MessageIcon::None);
        return;
    }
    cmd_Get->setEnabled(false);
    const std::unique_ptr<platform::UrlFetcher> fetcher = desktop().createFetcher();
    const std::optional<QString> failure = fetcher
        ? platform::downloadImages(str_UrlList, str_FileList, int_FileCnt, cmb_Fld->currentText(), *fetcher,
                                   &platform::FileIO::writeWhole)
        : u"通信の準備ができませんでした。"_s;
    if (failure)
        showMessage(*failure, platform::MessageIcon::Exclamation);
    cmd_Get->setEnabled(true);
}
}
