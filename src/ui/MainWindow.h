#pragma once

#include "core/DownloadReport.h"
#include "core/PageGenerator.h"
#include "core/Result.h"
#include "desktop/Desktop.h"
#include "platform/SettingsLocation.h"
#include "ui/WindowControls.h"

#include <QWidget>

namespace quorel::platform
{
class UrlFetcher;
}

namespace quorel::ui
{
// The program's only window: the pattern of image addresses, the page made from it, and what can be
// done with that page. Its controls, one row each in controlTable(), are members of their own names.
class MainWindow : public QWidget, private Controls
{
    Q_OBJECT

public:
    explicit MainWindow(const desktop::Desktop &desktop,
                        platform::SettingsLocation settings = platform::SettingsLocation::forThisProgram(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: takes the single-instance lock and reads the settings; false when this copy must end
    // without showing its window.
    bool start();

    // For the tests and the test programs alone: the state that no control shows whole. Nothing in
    // the program calls these.
    const QString &pageText() const { return m_pageText; }
    const core::PageImages &pageImages() const { return m_pageImages; }
    void setPage(QString text, core::PageImages images);
    const QString &savedFile() const { return m_savedFile; }
    const QString &savedFileName() const { return m_savedFileName; }
    const QString &lastSaveFolder() const { return m_lastSaveFolder; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Construction.
    void applyTabOrderAndAccessKeys();
    void connectEvents();
    void installFieldRules();

    // Start-up and shut-down.
    void centreOnScreen();
    void alignControls();
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
    QString askForFolder(const QComboBox &box);
    void showMessage(const QString &text, desktop::MessageIcon icon);
    void showFailure(const core::Failure &failure, desktop::MessageIcon icon);

    // One run of the download; nothing when it was stopped by a close.
    std::optional<core::Result<core::DownloadReport>> downloadOnce(const core::PageImages &images,
                                                                   const QString &downloadFolder);
    // Runs the download on a worker thread while this thread keeps serving the window.
    core::Result<core::DownloadReport> downloadBesideTheWindow(platform::UrlFetcher &fetcher,
                                                               const core::PageImages &images,
                                                               const QString &downloadFolder);
    // A close during a download stops it at once and closes once it has ended.
    void stopDownloadAndClose();

    const desktop::Desktop m_desktop;
    // Where the settings are read at start-up and written at shut-down.
    const platform::SettingsLocation m_settingsLocation;

    QString m_pageText;
    core::PageImages m_pageImages;
    // Set when the last Create listed no image because the check folder held every one.
    bool m_everyImageInCheckFolder = false;
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
