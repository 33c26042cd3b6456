#pragma once

#include "core/OneBasedStrings.h"
#include "core/PageGenerator.h"
#include "core/Result.h"
#include "platform/SettingsLocation.h"
#include "ui/CommonDialog.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quorel::platform
{
class Desktop;
class UrlFetcher;
enum class MessageIcon;
}

namespace quorel::ui
{
// The program's only window: every field, button and output area, and the state the actions share.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // The window's inside as designed, in twips; the controls' places are given in the same unit.
    static constexpr double designWidth = 5580;
    static constexpr double designHeight = 4920;

    explicit Form1(platform::Desktop &desktop, QWidget *parent = nullptr);
    ~Form1() override;

    platform::Desktop &desktop() const { return m_desktop; }
    // A message box with only OK, titled with the program's title.
    void showMessage(const QString &text, platform::MessageIcon icon);

    // Controls, in screen order.
    QLabel *Label1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *Text8 = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *Text9 = nullptr;
    QComboBox *cmb_Name = nullptr;
    QPushButton *cmd_ana = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *cmb_Head = nullptr;
    QLabel *Label9 = nullptr;
    QComboBox *cmb_Ext = nullptr;
    QCheckBox *Check2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *cmd_Get = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *txt_Keta = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command4 = nullptr;
    QCheckBox *chk_Chk_FoN = nullptr;
    QComboBox *cmb_Chk_FoN = nullptr;
    QPushButton *cmd_Chk_FoN = nullptr;
    QLabel *Label11 = nullptr;
    QComboBox *cmb_Fld = nullptr;
    QPushButton *cmd_Fld = nullptr;
    QPlainTextEdit *txt_Out = nullptr;

    CommonDialog CommonDialog1;

    // Where the settings are read at start-up and written at shut-down.
    platform::SettingsLocation settingsLocation = platform::SettingsLocation::forThisProgram();

    // Left by the last Create: the page text and, for the download, the images it put on the page.
    QString str_Out;
    core::OneBasedStrings str_UrlList;
    core::OneBasedStrings str_FileList;
    qint16 int_FileCnt = 0;

    // The key filter of the number fields: the character to insert, or 0 to drop the keystroke.
    char16_t chk_Num(char16_t &int_Num);
    // Centres lc_Label vertically on lc_Text.
    void lbl_Center(QWidget *lc_Label, QWidget *lc_Text);
    // Enables or disables the check-folder box and its browse button.
    void chk_fon_Enabled(bool bol_Ena);

    // Start-up; false when this copy must end without showing its window.
    bool Form_Load();
    void Form_Unload();
    void Form_Resize();

    void Command1_Click();
    void cmd_ana_Click();
    void Check2_Click();
    void chk_Chk_FoN_Click();
    void cmd_Get_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void cmd_Chk_FoN_Click();
    void cmd_Fld_Click();
    void Text3_Change();
    void txt_Keta_Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void applyControlTexts();
    void applyTabOrderAndAccessKeys();
    void connectEvents();
    void installFieldRules();
    // Start-up: the window in the middle of the screen, frame included; some controls lined up
    // with their neighbours.
    void centreOnScreen();
    // The fields of a Create, as their texts stand now.
    core::PageRequest pageRequest() const;
    void alignControls();
    QString get_Folder();
    // Runs the download on a worker thread while this thread keeps serving the window.
    core::Result<> downloadBesideTheWindow(platform::UrlFetcher &fetcher);
    // A close during a download stops it at once and closes once it has ended.
    void stopDownloadAndClose();

    platform::Desktop &m_desktop;
    // Set by a start-up that was not refused; the shut-down writes the settings only then, once.
    bool m_settingsDue = false;
    // Set while a download runs.
    platform::UrlFetcher *m_runningFetcher = nullptr;
    bool m_downloadStopped = false;
    bool m_closeAfterDownload = false;
};
}
