#pragma once

#include "core/DownloadReport.h"
#include "core/PageGenerator.h"
#include "core/Result.h"
#include "desktop/Desktop.h"
#include "platform/SettingsLocation.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quorel::platform
{
class UrlFetcher;
}

namespace quorel::ui
{
// The program's only window: the pattern of image addresses, the page made from it, and what can be
// done with that page. Its controls are reached by their object names (see controlTexts()).
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // The window's inside as designed, in twips; the controls' places are given in the same unit.
    static constexpr double designWidth = 5580;
    static constexpr double designHeight = 4920;

    explicit MainWindow(const desktop::Desktop &desktop,
                        platform::SettingsLocation settings = platform::SettingsLocation::forThisProgram(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: takes the single-instance lock and reads the settings; false when this copy must end
    // without showing its window.
    bool start();

    // The page the last Create made, as Save writes it, and the images it shows.
    const QString &pageText() const { return m_pageText; }
    const core::PageImages &pageImages() const { return m_pageImages; }
    // Takes a page made elsewhere, as Create would leave it.
    void setPage(QString text, core::PageImages images);

    // The file the last Save wrote, which Overwrite and View use; empty before the first.
    const QString &savedFile() const { return m_savedFile; }
    const QString &savedFileName() const { return m_savedFileName; }
    // The folder of the last saved page with its trailing separator, kept in the settings.
    const QString &lastSaveFolder() const { return m_lastSaveFolder; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Construction.
    void createControls();
    void applyControlTexts();
    void applyTabOrderAndAccessKeys();
    void connectEvents();
    void installFieldRules();

    // Start-up and shut-down.
    void centreOnScreen();
    void alignControls();
    void centreOn(QWidget *label, QWidget *field);
    void readSettings();
    void writeSettings();
    void fitToSize();

    // The buttons and switches.
    void create();
    void analyse();
    void save();
    void overwrite();
    void view();
    void showAbout();
    void download();
    void browseCheckFolder();
    void browseDownloadFolder();
    void applyAddressListSwitch();
    void applyCheckFolderSwitch();
    void enableCheckFolder(bool enabled);

    // The fields.
    void updateNumberPreview();
    // The key filter of the number fields: the character to insert, or 0 to drop the keystroke.
    char16_t acceptNumberKey(char16_t &key);
    QString keptNumberText(QStringView text);
    bool isNumberField(const QObject *watched) const;
    QWidget *selectingField(QObject *watched) const;

    core::PageRequest pageRequest() const;
    bool writePage(const QString &path);
    QString askForFolder();
    void showMessage(const QString &text, desktop::MessageIcon icon);
    void showFailure(const core::Failure &failure, desktop::MessageIcon icon);

    // Runs the download on a worker thread while this thread keeps serving the window.
    core::Result<core::DownloadReport> downloadBesideTheWindow(platform::UrlFetcher &fetcher);
    // A close during a download stops it at once and closes once it has ended.
    void stopDownloadAndClose();

    const desktop::Desktop m_desktop;
    // Where the settings are read at start-up and written at shut-down.
    const platform::SettingsLocation m_settingsLocation;

    // Controls, in screen order.
    QLabel *m_baseAddressLabel = nullptr;
    QCheckBox *m_thumbnailsCheck = nullptr;
    QLabel *m_thumbSizeLabel = nullptr;
    QLineEdit *m_thumbSizeEdit = nullptr;
    QLabel *m_columnsLabel = nullptr;
    QLineEdit *m_columnsEdit = nullptr;
    QComboBox *m_baseAddressBox = nullptr;
    QPushButton *m_analyseButton = nullptr;
    QLabel *m_headLabel = nullptr;
    QLabel *m_numberLabel = nullptr;
    QLabel *m_tailLabel = nullptr;
    QComboBox *m_headBox = nullptr;
    QLabel *m_numberPreview = nullptr;
    QComboBox *m_tailBox = nullptr;
    QCheckBox *m_addressListCheck = nullptr;
    QPushButton *m_overwriteButton = nullptr;
    QPushButton *m_aboutButton = nullptr;
    QPushButton *m_downloadButton = nullptr;
    QLabel *m_startLabel = nullptr;
    QLabel *m_endLabel = nullptr;
    QLabel *m_digitsLabel = nullptr;
    QLineEdit *m_startEdit = nullptr;
    QLineEdit *m_endEdit = nullptr;
    QLineEdit *m_digitsEdit = nullptr;
    QPushButton *m_createButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_viewButton = nullptr;
    QCheckBox *m_checkFolderCheck = nullptr;
    QComboBox *m_checkFolderBox = nullptr;
    QPushButton *m_browseCheckFolderButton = nullptr;
    QLabel *m_downloadFolderLabel = nullptr;
    QComboBox *m_downloadFolderBox = nullptr;
    QPushButton *m_browseDownloadFolderButton = nullptr;
    QPlainTextEdit *m_outputBox = nullptr;

    QString m_pageText;
    core::PageImages m_pageImages;
    QString m_savedFile;
    QString m_savedFileName;
    QString m_lastSaveFolder;

    // Set by a start-up that was not refused; the shut-down writes the settings only then, once.
    bool m_settingsDue = false;
    // Set while a download runs.
    platform::UrlFetcher *m_runningFetcher = nullptr;
    bool m_downloadStopped = false;
    bool m_closeAfterDownload = false;
};
}
