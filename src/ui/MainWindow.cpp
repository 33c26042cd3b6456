#include "ui/MainWindow.h"

#include "core/AppTitle.h"
#include "ui/AccessKeys.h"
#include "ui/ButtonKeys.h"
#include "ui/Messages.h"
#include "ui/WindowIcon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quorel::ui
{
MainWindow::MainWindow(const desktop::Desktop &desktop, platform::SettingsLocation settings, QWidget *parent)
    : QWidget(parent)
    , m_desktop(desktop)
    , m_settingsLocation(std::move(settings))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(core::appTitle());
    setWindowIcon(WindowIcon::icon());
    resize(designSize);
    // Answered while the controls are made; start() reads the answer to centre the window.
    m_desktop.frame.askFrameExtents(*this);
    createControls(*this, *this);
    applyTabOrderAndAccessKeys();
    connectEvents();
    installFieldRules();
}

MainWindow::~MainWindow() = default;

void MainWindow::applyTabOrderAndAccessKeys()
{
    const std::span<const ControlRow> table = controlTable();
    std::vector<QWidget *> controls(table.size());
    for (const ControlRow &row : table)
        controls[std::size_t(row.tabSlot)] = controlOf(*this, row);
    std::vector<QWidget *> focusable;
    for (QWidget *control : controls) {
        if (!qobject_cast<QLabel *>(control))
            focusable.push_back(control);
    }
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1], focusable[i]);
    // A label names the control that carries its name in the table.
    std::vector<std::pair<QLabel *, QWidget *>> names;
    for (const ControlRow &caption : table) {
        auto *label = qobject_cast<QLabel *>(controlOf(*this, caption));
        if (!label || caption.showsValue)
            continue;
        for (const ControlRow &row : table) {
            QWidget *named = controlOf(*this, row);
            if (row.accessibleName == caption.accessibleName && !qobject_cast<QLabel *>(named))
                names.emplace_back(label, named);
        }
    }
    new AccessKeys(std::move(controls), names, this);
    new ButtonKeys({createButton, saveButton, overwriteButton, viewButton, aboutButton, analyseButton, downloadButton,
                    browseCheckFolderButton, browseDownloadFolderButton},
                   this);
    focusable.front()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::connectEvents()
{
    connect(createButton, &QPushButton::clicked, this, &MainWindow::create);
    connect(analyseButton, &QPushButton::clicked, this, &MainWindow::analyse);
    connect(downloadButton, &QPushButton::clicked, this, &MainWindow::download);
    connect(saveButton, &QPushButton::clicked, this, &MainWindow::save);
    connect(overwriteButton, &QPushButton::clicked, this, &MainWindow::overwrite);
    connect(viewButton, &QPushButton::clicked, this, &MainWindow::view);
    connect(aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(browseCheckFolderButton, &QPushButton::clicked, this, &MainWindow::browseCheckFolder);
    connect(browseDownloadFolderButton, &QPushButton::clicked, this, &MainWindow::browseDownloadFolder);
    // A check box reacts to every change of its value, also one the program makes.
    connect(addressListCheck, &QCheckBox::stateChanged, this, &MainWindow::applyAddressListSwitch);
    connect(checkFolderCheck, &QCheckBox::stateChanged, this, &MainWindow::applyCheckFolderSwitch);
    connect(startEdit, &QLineEdit::textChanged, this, &MainWindow::updateNumberPreview);
    connect(digitsEdit, &QLineEdit::textChanged, this, &MainWindow::updateNumberPreview);
}

void MainWindow::showMessage(const QString &text, desktop::MessageIcon icon)
{
    m_desktop.notifier.messageBox(this, text, core::appTitle(), icon);
}

void MainWindow::showFailure(const core::Failure &failure, desktop::MessageIcon icon)
{
    showMessage(Messages::describe(failure), icon);
}
}
