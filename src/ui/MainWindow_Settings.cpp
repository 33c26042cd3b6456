#include "ui/MainWindow.h"

#include "core/SettingsFormat.h"
#include "platform/FileIO.h"
#include "ui/CheckValue.h"
#include "ui/ComboHistory.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <functional>

namespace quorel::ui
{
namespace
{
    using namespace core::SettingsFormat;

    // The reader's changes, made on the controls as a user's would, so their reactions run.
    class WindowTarget final : public Target
    {
    public:
        struct Fields
        {
            QComboBox *baseAddress, *checkFolder, *head, *tail;
            QLineEdit *columns, *size, *start, *end, *digits;
            QComboBox *imageFolder;
            QString *lastSaveFolder;
            QCheckBox *thumbnails, *folderCheck;
            std::function<void(bool)> enableCheckFolder;
        };

        explicit WindowTarget(Fields fields)
            : m_fields(std::move(fields))
        { }

        void readList(ListField field, const QStringList &entries) override
        {
            ComboHistory::appendRead(listBox(field), entries);
        }

        void setText(TextField field, const QString &text) override
        {
            if (field == TextField::OutFolder)
                *m_fields.lastSaveFolder = text;
            else if (field == TextField::ImageFolder)
                m_fields.imageFolder->setEditText(text);
            else
                textBox(field)->setText(text);
        }

        void setCheckValue(CheckField field, int value) override
        {
            CheckValue::setValue(field == CheckField::Thumbnail ? *m_fields.thumbnails : *m_fields.folderCheck, value);
        }

        void enableCheckFolder(bool enabled) override { m_fields.enableCheckFolder(enabled); }

    private:
        QComboBox &listBox(ListField field) const
        {
            switch (field) {
            case ListField::BaseAddress:
                return *m_fields.baseAddress;
            case ListField::CheckFolder:
                return *m_fields.checkFolder;
            case ListField::Head:
                return *m_fields.head;
            case ListField::Tail:
                break;
            }
            return *m_fields.tail;
        }

        // The folders are not kept in text boxes.
        QLineEdit *textBox(TextField field) const
        {
            switch (field) {
            case TextField::Columns:
                return m_fields.columns;
            case TextField::Size:
                return m_fields.size;
            case TextField::Start:
                return m_fields.start;
            case TextField::End:
                return m_fields.end;
            case TextField::Digits:
            case TextField::OutFolder:
            case TextField::ImageFolder:
                break;
            }
            return m_fields.digits;
        }

        Fields m_fields;
    };
}

// A missing or unreadable file changes nothing.
void MainWindow::readSettings()
{
    const QString path = m_settingsLocation.readPath();
    if (!QFileInfo::exists(path))
        return;
    // Read a line at a time, each cut where the reader would cut it: no file costs more memory
    // than what the window keeps of it. A double-byte character takes at most two bytes.
    core::Result<std::unique_ptr<platform::FileIO::TextLines>> lines
        = platform::FileIO::TextLines::open(path, 2 * maxSingleValueUnits);
    if (!lines) {
        // The window opens with its own values all the same; only the log can say why.
        qWarning().noquote() << Messages::describe(lines.error());
        return;
    }
    WindowTarget target({m_baseAddressBox, m_checkFolderBox, m_headBox, m_tailBox, m_columnsEdit, m_thumbSizeEdit,
                         m_startEdit, m_endEdit, m_digitsEdit, m_downloadFolderBox, &m_lastSaveFolder,
                         m_thumbnailsCheck, m_checkFolderCheck, [this](bool enabled) { enableCheckFolder(enabled); }});
    read(**lines, target);
    if ((*lines)->failure())
        qWarning().noquote() << Messages::describe(*(*lines)->failure());
}

// Runs once, at the first close after a start-up that was not refused. A file that cannot be
// written keeps the previous one and closing goes on regardless; with the window gone there is no
// one to tell but the log.
void MainWindow::writeSettings()
{
    if (!std::exchange(m_settingsDue, false))
        return;
    Values values;
    values.baseAddresses = ComboHistory::entriesToSave(*m_baseAddressBox);
    values.checkFolders = ComboHistory::entriesToSave(*m_checkFolderBox);
    values.thumbnail = CheckValue::value(*m_thumbnailsCheck);
    values.folderCheck = CheckValue::value(*m_checkFolderCheck);
    values.columns = m_columnsEdit->text();
    values.size = m_thumbSizeEdit->text();
    values.heads = ComboHistory::entriesToSave(*m_headBox);
    values.tails = ComboHistory::entriesToSave(*m_tailBox);
    values.start = m_startEdit->text();
    values.end = m_endEdit->text();
    values.digits = m_digitsEdit->text();
    values.outFolder = m_lastSaveFolder;
    values.imageFolder = m_downloadFolderBox->currentText();
    const QString text = write(values, createdStamp(QDateTime::currentDateTime(), QLocale::system()));

    const QString path = m_settingsLocation.writePath();
    const QString folder = QFileInfo(path).absolutePath();
    core::Result<> written;
    if (!QDir().mkpath(folder))
        written = core::during(core::Action::MakeFolder, QDir::toNativeSeparators(folder),
                               core::fail(core::Reason::NotPermitted));
    else
        written = platform::FileIO::writeText(path, text);
    if (!written)
        qWarning().noquote() << Messages::describe(written.error());
}
}
