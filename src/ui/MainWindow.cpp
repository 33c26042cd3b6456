#include "ui/MainWindow.h"

#include "core/AppTitle.h"
#include "core/SettingsFormat.h"
#include "ui/AccessKeys.h"
#include "ui/AccessibleControls.h"
#include "ui/ButtonKeys.h"
#include "ui/CheckValue.h"
#include "ui/ControlTexts.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowIcon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>

#include <map>

using namespace Qt::StringLiterals;

namespace quorel::ui
{
namespace
{
    enum class Face
    {
        Gothic, // fixed pitch
        ProportionalGothic,
    };

    QFont controlFont(Face face, int points)
    {
        QFont font;
        if (face == Face::Gothic)
            font.setFamilies(
                {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("Monospace")});
        else
            font.setFamilies(
                {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("Sans Serif")});
        font.setPointSize(points);
        font.setWeight(QFont::Normal);
        return font;
    }

    template<typename Control>
    Control *place(QWidget *parent, const char *name, const QRectF &twips, Face face = Face::Gothic, int points = 9)
    {
        auto *control = new Control(parent);
        control->setObjectName(QString::fromLatin1(name));
        control->setFont(controlFont(face, points));
        Twips::setGeometry(control, twips);
        return control;
    }

    QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRectF &twips)
    {
        auto *control = place<QLabel>(parent, name, twips);
        control->setText(caption);
        return control;
    }

    QComboBox *comboBox(QWidget *parent, const char *name, const QString &text, const QRectF &twips,
                        Face face = Face::Gothic)
    {
        auto *control = place<QComboBox>(parent, name, twips, face);
        control->setEditable(true);
        // The list changes only through the program; Qt's inline completion would change typed text.
        control->setCompleter(nullptr);
        control->setInsertPolicy(QComboBox::NoInsert);
        // As much as the settings file keeps: a paste of megabytes kept the window busy for seconds.
        control->lineEdit()->setMaxLength(int(core::SettingsFormat::maxSingleValueUnits));
        control->setEditText(text);
        return control;
    }

    QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, const QRectF &twips)
    {
        auto *control = place<QLineEdit>(parent, name, twips);
        // As much as the settings file keeps: a paste of megabytes kept the window busy for seconds.
        control->setMaxLength(int(core::SettingsFormat::maxSingleValueUnits));
        control->setText(text);
        return control;
    }

    QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRectF &twips,
                        Face face = Face::Gothic, int points = 9)
    {
        auto *control = place<QPushButton>(parent, name, twips, face, points);
        control->setText(caption);
        control->setAutoDefault(false);
        return control;
    }

    QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, const QRectF &twips,
                        Face face = Face::Gothic)
    {
        auto *control = place<CheckValue::TwoStateClickBox>(parent, name, twips, face);
        control->setText(caption);
        return control;
    }
}

std::span<const ControlText> controlTexts()
{
    using R = QAccessible::Role;
    // One control a row, whatever the width.
    // clang-format off
    static const std::array<ControlText, 34> rows{{
        {"baseAddressLabel", R::StaticText, u"ベースアドレス"_s, {}, {}},
        {"thumbnailsCheck", R::CheckBox, u"サムネイル"_s, u"チェックをオンすると画像を縮小して表示するページを作成します."_s, {}},
        {"thumbSizeLabel", R::StaticText, u"大きさ"_s, {}, {}},
        {"thumbSizeEdit", R::EditableText, u"大きさ"_s, u"サムネイル画像の大きさを設定します"_s, {}},
        {"columnsLabel", R::StaticText, u"幅"_s, {}, {}},
        {"columnsEdit", R::EditableText, u"幅"_s, u"サムネイルの列数を設定します"_s, {}},
        {"baseAddressBox", R::ComboBox, u"ベースアドレス"_s, {}, u"すべての画像アドレスに共通する始めの部分"_s},
        {"analyseButton", R::Button, u"解析"_s,
         u"画像のアドレス（http://www.example.org/photos/pic001.jpgなど)を入力し,解析ボタンを押すと自動で設定を行います."_s, {}},
        {"headLabel", R::StaticText, u"頭"_s, {}, {}},
        {"numberLabel", R::StaticText, u"数字"_s, {}, {}},
        {"tailLabel", R::StaticText, u"お尻"_s, {}, {}},
        {"headBox", R::ComboBox, u"頭"_s, {}, u"番号の前に付く文字列"_s},
        {"numberPreview", R::StaticText, u"数字"_s, {}, u"開始番号を桁数にそろえたもの"_s},
        {"tailBox", R::ComboBox, u"お尻"_s, {}, u"番号の後に付く文字列、普通は拡張子"_s},
        {"addressListCheck", R::CheckBox, u"アドレス一覧のみ"_s, u"チェックをオンするとアドレスの一覧のみ作成します."_s, {}},
        {"overwriteButton", R::Button, u"上書"_s, {}, u"最後に保存したファイルに上書きします"_s},
        {"aboutButton", R::Button, u"About"_s, {}, u"バージョン情報を表示します"_s},
        {"downloadButton", R::Button, u"画像のダウンロード"_s, {}, u"一覧の画像をすべて出力フォルダにダウンロードします"_s},
        {"startLabel", R::StaticText, u"開始"_s, {}, {}},
        {"endLabel", R::StaticText, u"終了"_s, {}, {}},
        {"digitsLabel", R::StaticText, u"桁数"_s, {}, {}},
        {"startEdit", R::EditableText, u"開始"_s, {}, u"最初の番号"_s},
        {"endEdit", R::EditableText, u"終了"_s, {}, u"最後の番号"_s},
        {"digitsEdit", R::EditableText, u"桁数"_s, {}, u"番号の桁数"_s},
        {"createButton", R::Button, u"作成"_s, {}, u"ページを作成します"_s},
        {"saveButton", R::Button, u"保存"_s, {}, u"ページに名前を付けて保存します"_s},
        {"viewButton", R::Button, u"表示"_s, {}, u"最後に保存したファイルを開きます"_s},
        {"checkFolderCheck", R::CheckBox, u"チェックフォルダ"_s,
         u"チェックをオンするとファイル名をチェックして同じ名前のファイルは除いて作成します."_s, {}},
        {"checkFolderBox", R::ComboBox, u"チェックフォルダ"_s, u"チェックするフォルダ名を入力します."_s, {}},
        {"browseCheckFolderButton", R::Button, u"チェックフォルダの参照"_s, u"チェックするフォルダの参照"_s, {}},
        {"downloadFolderLabel", R::StaticText, u"出力フォルダ"_s, {}, {}},
        {"downloadFolderBox", R::ComboBox, u"出力フォルダ"_s, u"画像を保存するフォルダ名を入力します."_s, {}},
        {"browseDownloadFolderButton", R::Button, u"出力フォルダの参照"_s, u"画像を保存するフォルダの参照"_s, {}},
        {"outputBox", R::EditableText, u"出力"_s, {}, u"作成したページ、またはその始めの部分"_s},
    }};
    // clang-format on
    return rows;
}

MainWindow::MainWindow(const desktop::Desktop &desktop, platform::SettingsLocation settings, QWidget *parent)
    : QWidget(parent)
    , m_desktop(desktop)
    , m_settingsLocation(std::move(settings))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(core::appTitle());
    setWindowIcon(WindowIcon::icon());
    resize(static_cast<int>(designWidth / Twips::perPixel), static_cast<int>(designHeight / Twips::perPixel));
    // Answered while the controls are made; start() reads the answer to centre the window.
    m_desktop.frame.askFrameExtents(*this);
    AccessibleControls::install();
    createControls();
    applyControlTexts();
    applyTabOrderAndAccessKeys();
    connectEvents();
    installFieldRules();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    m_baseAddressLabel = label(this, "baseAddressLabel", QStringLiteral("ﾍﾞｰｽｱﾄﾞﾚｽ(&B)"), {120, 120, 1080, 180});
    m_thumbnailsCheck = checkBox(this, "thumbnailsCheck", QStringLiteral("ｻﾑﾈｲﾙ(&N)"), {1440, 120, 1215, 270});
    CheckValue::setValue(*m_thumbnailsCheck, 1);
    m_thumbSizeLabel = label(this, "thumbSizeLabel", QStringLiteral("大きさ(&O)"), {2640, 120, 810, 180});
    m_thumbSizeEdit = textBox(this, "thumbSizeEdit", QStringLiteral("80"), {3480, 120, 735, 300});
    m_columnsLabel = label(this, "columnsLabel", QStringLiteral("幅(&H)"), {4320, 120, 450, 180});
    m_columnsEdit = textBox(this, "columnsEdit", QStringLiteral("5"), {4800, 120, 615, 300});
    m_baseAddressBox = comboBox(this, "baseAddressBox", QStringLiteral("http://www."), {120, 480, 4695, 300});
    m_analyseButton = button(this, "analyseButton", QStringLiteral("解析"), {4920, 480, 615, 375});
    m_headLabel = label(this, "headLabel", QStringLiteral("頭(&T)"), {120, 840, 450, 180});
    m_numberLabel = label(this, "numberLabel", QStringLiteral("数字"), {1920, 840, 360, 180});
    m_tailLabel = label(this, "tailLabel", QStringLiteral("お尻(&R)"), {3720, 840, 630, 180});
    m_headBox = comboBox(this, "headBox", QStringLiteral("Test"), {120, 1080, 1695, 300});
    m_numberPreview = place<QLabel>(this, "numberPreview", {1920, 1080, 1695, 255});
    m_numberPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_numberPreview->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tailBox = comboBox(this, "tailBox", QString(), {3720, 1080, 1695, 300});
    m_tailBox->addItems(
        {QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"), QStringLiteral(".bmp")});
    m_tailBox->setEditText(QStringLiteral(".jpg"));
    m_addressListCheck
        = checkBox(this, "addressListCheck", QStringLiteral(".TXT"), {2400, 1440, 735, 375}, Face::ProportionalGothic);
    m_overwriteButton = button(this, "overwriteButton", QStringLiteral("上書(&U)"), {3240, 1440, 855, 375});
    m_aboutButton = button(this, "aboutButton", QStringLiteral("&About"), {4200, 1440, 855, 375});
    m_downloadButton = button(this, "downloadButton", QStringLiteral("げ"), {5160, 1440, 375, 855}, Face::Gothic, 6);
    m_startLabel = label(this, "startLabel", QStringLiteral("開始(&K)"), {120, 1560, 630, 180});
    m_endLabel = label(this, "endLabel", QStringLiteral("終了(&E)"), {840, 1560, 630, 180});
    m_digitsLabel = label(this, "digitsLabel", QStringLiteral("桁数(&L)"), {1560, 1560, 630, 180});
    m_startEdit = textBox(this, "startEdit", QStringLiteral("0"), {120, 1800, 615, 405});
    m_endEdit = textBox(this, "endEdit", QStringLiteral("50"), {840, 1800, 615, 405});
    m_digitsEdit = textBox(this, "digitsEdit", QStringLiteral("3"), {1560, 1800, 615, 405});
    m_createButton = button(this, "createButton", QStringLiteral("作成(&M)"), {2280, 1920, 855, 375});
    m_saveButton = button(this, "saveButton", QStringLiteral("保存(&S)"), {3240, 1920, 855, 375});
    m_viewButton = button(this, "viewButton", QStringLiteral("表示(&V)"), {4200, 1920, 855, 375});
    m_checkFolderCheck = checkBox(this, "checkFolderCheck", QStringLiteral("チェックフォルダ"), {120, 2400, 1575, 255},
                                  Face::ProportionalGothic);
    m_checkFolderBox = comboBox(this, "checkFolderBox", QString(), {1800, 2400, 3255, 300}, Face::ProportionalGothic);
    m_browseCheckFolderButton = button(this, "browseCheckFolderButton", QStringLiteral("..."), {5160, 2400, 375, 255},
                                       Face::ProportionalGothic);
    m_downloadFolderLabel = label(this, "downloadFolderLabel", QStringLiteral("出力フォルダ"), {240, 2760, 1080, 180});
    m_downloadFolderBox
        = comboBox(this, "downloadFolderBox", QString(), {1800, 2760, 3255, 300}, Face::ProportionalGothic);
    m_browseDownloadFolderButton = button(this, "browseDownloadFolderButton", QStringLiteral("..."),
                                          {5160, 2760, 375, 255}, Face::ProportionalGothic);
    m_outputBox = place<QPlainTextEdit>(this, "outputBox", {120, 3120, 5415, 1695});
    m_outputBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_outputBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_outputBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_outputBox->setTabChangesFocus(true);
}

void MainWindow::applyControlTexts()
{
    for (const ControlText &row : controlTexts()) {
        auto *control = findChild<QWidget *>(QLatin1StringView(row.control), Qt::FindDirectChildrenOnly);
        if (!control)
            qFatal("The window has no control named %s", row.control);
        control->setToolTip(row.toolTip);
        const QString description = row.toolTip.isEmpty() ? row.description : row.toolTip;
        // Screen readers speak the edit field inside a combo box when it has the focus.
        QList<QWidget *> described{control};
        if (auto *combo = qobject_cast<QComboBox *>(control))
            described.append(combo->lineEdit());
        for (QWidget *widget : described) {
            widget->setAccessibleName(row.name);
            widget->setAccessibleDescription(description);
        }
    }
}

void MainWindow::applyTabOrderAndAccessKeys()
{
    const std::map<int, QWidget *> tabOrder{
        {0, m_baseAddressLabel},
        {1, m_headLabel},
        {2, m_tailLabel},
        {3, m_startLabel},
        {4, m_startEdit},
        {5, m_endLabel},
        {6, m_endEdit},
        {7, m_digitsLabel},
        {8, m_digitsEdit},
        {9, m_createButton},
        {10, m_overwriteButton},
        {11, m_saveButton},
        {12, m_aboutButton},
        {13, m_viewButton},
        {14, m_outputBox},
        {15, m_thumbnailsCheck},
        {16, m_thumbSizeLabel},
        {17, m_thumbSizeEdit},
        {18, m_columnsLabel},
        {19, m_columnsEdit},
        {20, m_numberPreview},
        {21, m_numberLabel},
        {22, m_baseAddressBox},
        {23, m_headBox},
        {24, m_tailBox},
        {25, m_analyseButton},
        {26, m_checkFolderCheck},
        {27, m_browseCheckFolderButton},
        {28, m_checkFolderBox},
        {29, m_addressListCheck},
        {30, m_downloadButton},
        {31, m_downloadFolderBox},
        {32, m_browseDownloadFolderButton},
        {33, m_downloadFolderLabel},
    };

    std::vector<QWidget *> controls;
    std::vector<QWidget *> focusable;
    for (const auto &[position, control] : tabOrder) {
        controls.push_back(control);
        if (!qobject_cast<QLabel *>(control))
            focusable.push_back(control);
    }
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1], focusable[i]);
    // A label names the control that carries its name in the table.
    std::vector<std::pair<QLabel *, QWidget *>> names;
    for (const ControlText &caption : controlTexts()) {
        auto *label = findChild<QLabel *>(QLatin1StringView(caption.control), Qt::FindDirectChildrenOnly);
        if (!label)
            continue;
        for (const ControlText &row : controlTexts()) {
            auto *named = findChild<QWidget *>(QLatin1StringView(row.control), Qt::FindDirectChildrenOnly);
            if (row.name == caption.name && !qobject_cast<QLabel *>(named))
                names.emplace_back(label, named);
        }
    }
    new AccessKeys(std::move(controls), names, this);
    new ButtonKeys({m_createButton, m_saveButton, m_overwriteButton, m_viewButton, m_aboutButton, m_analyseButton,
                    m_downloadButton, m_browseCheckFolderButton, m_browseDownloadFolderButton},
                   this);
    focusable.front()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::connectEvents()
{
    connect(m_createButton, &QPushButton::clicked, this, &MainWindow::create);
    connect(m_analyseButton, &QPushButton::clicked, this, &MainWindow::analyse);
    connect(m_downloadButton, &QPushButton::clicked, this, &MainWindow::download);
    connect(m_saveButton, &QPushButton::clicked, this, &MainWindow::save);
    connect(m_overwriteButton, &QPushButton::clicked, this, &MainWindow::overwrite);
    connect(m_viewButton, &QPushButton::clicked, this, &MainWindow::view);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_browseCheckFolderButton, &QPushButton::clicked, this, &MainWindow::browseCheckFolder);
    connect(m_browseDownloadFolderButton, &QPushButton::clicked, this, &MainWindow::browseDownloadFolder);
    // A check box reacts to every change of its value, also one the program makes.
    connect(m_addressListCheck, &QCheckBox::stateChanged, this, &MainWindow::applyAddressListSwitch);
    connect(m_checkFolderCheck, &QCheckBox::stateChanged, this, &MainWindow::applyCheckFolderSwitch);
    connect(m_startEdit, &QLineEdit::textChanged, this, &MainWindow::updateNumberPreview);
    connect(m_digitsEdit, &QLineEdit::textChanged, this, &MainWindow::updateNumberPreview);
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
