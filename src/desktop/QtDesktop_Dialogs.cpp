#include "desktop/QtDesktop.h"

#include "desktop/SaveDialogFilter.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

namespace quorel::desktop
{
namespace
{
    // An Esc pressed twice or held down, as when the press that stopped a download comes again,
    // would close the box that answers the first press before it is seen. Esc closes it only once it
    // has been up for a moment, and never as a key's repeat.
    class DeliberateEscape final : public QObject
    {
    public:
        explicit DeliberateEscape(QWidget &box)
            : m_box(box)
        {
            m_shown.start();
            QCoreApplication::instance()->installEventFilter(this);
        }
        ~DeliberateEscape() override { QCoreApplication::instance()->removeEventFilter(this); }
        DeliberateEscape(const DeliberateEscape &) = delete;
        DeliberateEscape &operator=(const DeliberateEscape &) = delete;

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
                return false;
            const auto *key = static_cast<QKeyEvent *>(event);
            const auto *widget = qobject_cast<QWidget *>(watched);
            return key->key() == Qt::Key_Escape && widget && (widget == &m_box || m_box.isAncestorOf(widget))
                && (key->isAutoRepeat() || m_shown.elapsed() < 500);
        }

    private:
        QWidget &m_box;
        QElapsedTimer m_shown;
    };

    // Qt centres a box on where its owner's native window stands, which for an owner never shown
    // is the corner of the screen; this one stands over where the owner was placed.
    class CentredMessageBox final : public QMessageBox
    {
    public:
        using QMessageBox::QMessageBox;
        std::optional<QPoint> centre;

    protected:
        // Once the box has its size, before it is mapped.
        void showEvent(QShowEvent *event) override
        {
            QMessageBox::showEvent(event);
            if (centre)
                move(*centre - QPoint(width() / 2, height() / 2));
        }
    };

    // offer: the caption of a button beside OK, or none when empty. True when that one was pressed.
    bool showMessageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                        const QString &offer)
    {
        CentredMessageBox box(owner);
        if (owner && !owner->isVisible())
            box.centre = owner->geometry().center();
        box.setWindowTitle(title);
        // Messages carry paths and addresses as typed; none of them is markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        }
        box.setStandardButtons(QMessageBox::Ok);
        // The box's OK reads OK whatever language the toolkit speaks; Esc and closing the box mean OK.
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        const QPushButton *offered = offer.isEmpty() ? nullptr : box.addButton(offer, QMessageBox::ActionRole);
        const DeliberateEscape escape(box);
        box.exec();
        return offered && box.clickedButton() == offered;
    }
}

void QtDesktop::messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon)
{
    showMessageBox(owner, text, title, icon, {});
}

bool QtDesktop::messageBoxOffering(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                                   const QString &offer)
{
    return showMessageBox(owner, text, title, icon, offer);
}

namespace
{
    // Qt sizes the size, type and date columns for short English samples, which cuts the Japanese
    // ones; each is widened to its heading and to a wide value of its kind.
    void widenColumns(QFileDialog &dialog)
    {
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        if (!view || !dialog.layout())
            return;
        QHeaderView *header = view->header();
        const QFontMetrics metrics(view->font());
        const QString samples[] = {
            QStringLiteral("999.99 KiB"),
            QStringLiteral("HTML ドキュメント"),
            QLocale::system().toString(QDateTime(QDate(2000, 12, 28), QTime(23, 58)), QLocale::ShortFormat),
        };
        const int margins = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin) + metrics.averageCharWidth();
        for (int column = 1; column <= 3 && column < header->count(); ++column) {
            const int wanted
                = std::max(metrics.horizontalAdvance(samples[column - 1]) + margins, header->sectionSizeHint(column));
            header->resizeSection(column, std::max(wanted, header->sectionSize(column)));
        }
        // The dialog grows only by what the columns need beyond the room the list has.
        dialog.layout()->activate();
        const int lacking = header->length() - view->viewport()->width();
        if (lacking > 0)
            dialog.resize(dialog.width() + lacking, dialog.height());
    }
}

std::optional<SaveDialogChoice> QtDesktop::saveDialog(QWidget *owner, const SaveDialogRequest &request)
{
    QFileDialog dialog(owner, request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList nameFilters = SaveDialogFilter::toNameFilters(request.fileTypes);
    // Each description already names its patterns; Qt would show them a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    // A name typed without an extension takes the one of the type chosen when it is confirmed.
    const auto followType = [&dialog, &request, &nameFilters](const QString &filter) {
        // Qt names the type as shown, without the patterns that HideNameFilterDetails hides.
        QString extension;
        for (qsizetype type = 0; type < nameFilters.size(); ++type) {
            if (filter == nameFilters.at(type) || filter == request.fileTypes.at(type).description)
                extension = request.fileTypes.at(type).extension;
        }
        dialog.setDefaultSuffix(extension);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
    if (request.selectedType >= 0 && request.selectedType < nameFilters.size())
        dialog.selectNameFilter(nameFilters.at(request.selectedType));
    followType(dialog.selectedNameFilter());
    widenColumns(dialog);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString fullPath = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return SaveDialogChoice{fullPath, QFileInfo(fullPath).fileName()};
}

QString QtDesktop::folderDialog(QWidget *owner, const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, title, startFolder.isEmpty() ? QDir::rootPath() : startFolder,
                                             QFileDialog::ShowDirsOnly);
}
}
