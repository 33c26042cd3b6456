#include "ui/Form1.h"

#include "platform/Desktop.h"
#include "platform/FileIO.h"
#include "ui/CheckValue.h"
#include "ui/Module1.h"

#include <QCheckBox>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quorel::ui
{
namespace
{
    const QString pageFilter
        = u"HTMLファイル(*.htm;*.htm)|*.htm;*.html|TXTファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*"_s;
    constexpr int addressListFilterIndex = 2;

    bool holdsNothingButSpaces(const QString &text)
    {
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
    }

    // False after telling the user why; the file on disk is then as it was.
    bool writePage(Form1 &form, const QString &path)
    {
        const core::Result<> written = platform::FileIO::writeText(path, form.str_Out + u"\r\n"_s);
        if (written)
            return true;
        form.showMessage(written.error(), platform::MessageIcon::Exclamation);
        return false;
    }
}

void Form1::Command2_Click()
{
    Command2->setEnabled(false);
    if (holdsNothingButSpaces(str_Out)) {
        desktop().beep();
        desktop().messageBox(this, u"保存する内容が有りません"_s, u"エラー"_s, platform::MessageIcon::Exclamation);
        Command2->setEnabled(true);
        return;
    }

    // A write that fails must not make Overwrite and View aim at a file that was never saved.
    const QString previousFileName = CommonDialog1.FileName;
    const QString previousFileTitle = CommonDialog1.FileTitle;

    CommonDialog1.FileName.clear();
    CommonDialog1.InitDir = Module1::str_OutFolder;
    CommonDialog1.Filter = pageFilter;
    CommonDialog1.FilterIndex = CheckValue::isTicked(*Check2) ? addressListFilterIndex : 1;
    CommonDialog1.ShowSave(desktop(), this);

    if (!CommonDialog1.FileName.isEmpty()) {
        if (writePage(*this, CommonDialog1.FileName)) {
            Module1::str_OutFolder
                = CommonDialog1.FileName.left(CommonDialog1.FileName.size() - CommonDialog1.FileTitle.size());
        } else {
            CommonDialog1.FileName = previousFileName;
            CommonDialog1.FileTitle = previousFileTitle;
        }
    }
    Command2->setEnabled(true);
}

void Form1::Command3_Click()
{
    Command3->setEnabled(false);
    if (!CommonDialog1.FileName.isEmpty())
        writePage(*this, CommonDialog1.FileName);
    else
        Command2_Click();
    Command3->setEnabled(true);
}

void Form1::Command4_Click()
{
    if (!CommonDialog1.FileName.isEmpty())
        desktop().openWithAssociatedProgram(CommonDialog1.FileName);
    else
        showMessage(u"選択されていません"_s, platform::MessageIcon::Exclamation);
}

void Form1::Command5_Click()
{
    Module1::msg_About(*this);
}
}
