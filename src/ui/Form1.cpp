#include "ui/Form1.h"

#include "core/AppTitle.h"
#include "platform/Desktop.h"
#include "ui/AccessKeys.h"
#include "ui/AccessibleControls.h"
#include "ui/ButtonKeys.h"
#include "ui/CheckValue.h"
#include "ui/ControlTexts.h"
#include "ui/Twips.h"
#include "ui/WindowIcon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>

#include <limits>
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
        control->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        control->setEditText(text);
        return control;
    }

    QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, const QRectF &twips)
    {
        auto *control = place<QLineEdit>(parent, name, twips);
        control->setMaxLength(std::numeric_limits<int>::max());
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
        {"Label1", R::StaticText, u"ベースアドレス"_s, {}, {}},
        {"Check1", R::CheckBox, u"サムネイル"_s, u"チェックをオンすると画像を縮小して表示するページを作成します."_s, {}},
        {"Label7", R::StaticText, u"大きさ"_s, {}, {}},
        {"Text8", R::EditableText, u"大きさ"_s, u"サムネイル画像の大きさを設定します"_s, {}},
        {"Label8", R::StaticText, u"幅"_s, {}, {}},
        {"Text9", R::EditableText, u"幅"_s, u"サムネイルの列数を設定します"_s, {}},
        {"cmb_Name", R::ComboBox, u"ベースアドレス"_s, {}, u"すべての画像アドレスに共通する始めの部分"_s},
        {"cmd_ana", R::Button, u"解析"_s,
         u"画像のアドレス（http://www.example.org/photos/pic001.jpgなど)を入力し,解析ボタンを押すと自動で設定を行います."_s, {}},
        {"Label2", R::StaticText, u"頭"_s, {}, {}},
        {"Label10", R::StaticText, u"数字"_s, {}, {}},
        {"Label3", R::StaticText, u"お尻"_s, {}, {}},
        {"cmb_Head", R::ComboBox, u"頭"_s, {}, u"番号の前に付く文字列"_s},
        {"Label9", R::StaticText, u"数字"_s, {}, u"開始番号を桁数にそろえたもの"_s},
        {"cmb_Ext", R::ComboBox, u"お尻"_s, {}, u"番号の後に付く文字列、普通は拡張子"_s},
        {"Check2", R::CheckBox, u"アドレス一覧のみ"_s, u"チェックをオンするとアドレスの一覧のみ作成します."_s, {}},
        {"Command3", R::Button, u"上書"_s, {}, u"最後に保存したファイルに上書きします"_s},
        {"Command5", R::Button, u"About"_s, {}, u"バージョン情報を表示します"_s},
        {"cmd_Get", R::Button, u"画像のダウンロード"_s, {}, u"一覧の画像をすべて出力フォルダにダウンロードします"_s},
        {"Label4", R::StaticText, u"開始"_s, {}, {}},
        {"Label5", R::StaticText, u"終了"_s, {}, {}},
        {"Label6", R::StaticText, u"桁数"_s, {}, {}},
        {"Text3", R::EditableText, u"開始"_s, {}, u"最初の番号"_s},
        {"Text4", R::EditableText, u"終了"_s, {}, u"最後の番号"_s},
        {"txt_Keta", R::EditableText, u"桁数"_s, {}, u"番号の桁数"_s},
        {"Command1", R::Button, u"作成"_s, {}, u"ページを作成します"_s},
        {"Command2", R::Button, u"保存"_s, {}, u"ページに名前を付けて保存します"_s},
        {"Command4", R::Button, u"表示"_s, {}, u"最後に保存したファイルを開きます"_s},
        {"chk_Chk_FoN", R::CheckBox, u"チェックフォルダ"_s,
         u"チェックをオンするとファイル名をチェックして同じ名前のファイルは除いて作成します."_s, {}},
        {"cmb_Chk_FoN", R::ComboBox, u"チェックフォルダ"_s, u"チェックするフォルダ名を入力します."_s, {}},
        {"cmd_Chk_FoN", R::Button, u"チェックフォルダの参照"_s, u"チェックするフォルダの参照"_s, {}},
        {"Label11", R::StaticText, u"出力フォルダ"_s, {}, {}},
        {"cmb_Fld", R::ComboBox, u"出力フォルダ"_s, u"画像を保存するフォルダ名を入力します."_s, {}},
        {"cmd_Fld", R::Button, u"出力フォルダの参照"_s, u"画像を保存するフォルダの参照"_s, {}},
        {"txt_Out", R::EditableText, u"出力"_s, {}, u"作成したページ、またはその始めの部分"_s},
    }};
    // clang-format on
    return rows;
}

Form1::Form1(platform::Desktop &desktop, QWidget *parent)
    : QWidget(parent)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(core::appTitle());
    setWindowIcon(WindowIcon::icon());
    resize(static_cast<int>(designWidth / Twips::perPixel), static_cast<int>(designHeight / Twips::perPixel));
    AccessibleControls::install();
    createControls();
    applyControlTexts();
    applyTabOrderAndAccessKeys();
    connectEvents();
    installFieldRules();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    Label1 = label(this, "Label1", QStringLiteral("ﾍﾞｰｽｱﾄﾞﾚｽ(&B)"), {120, 120, 1080, 180});
    Check1 = checkBox(this, "Check1", QStringLiteral("ｻﾑﾈｲﾙ(&N)"), {1440, 120, 1215, 270});
    CheckValue::setValue(*Check1, 1);
    Label7 = label(this, "Label7", QStringLiteral("大きさ(&O)"), {2640, 120, 810, 180});
    Text8 = textBox(this, "Text8", QStringLiteral("80"), {3480, 120, 735, 300});
    Label8 = label(this, "Label8", QStringLiteral("幅(&H)"), {4320, 120, 450, 180});
    Text9 = textBox(this, "Text9", QStringLiteral("5"), {4800, 120, 615, 300});
    cmb_Name = comboBox(this, "cmb_Name", QStringLiteral("http://www."), {120, 480, 4695, 300});
    cmd_ana = button(this, "cmd_ana", QStringLiteral("解析"), {4920, 480, 615, 375});
    Label2 = label(this, "Label2", QStringLiteral("頭(&T)"), {120, 840, 450, 180});
    Label10 = label(this, "Label10", QStringLiteral("数字"), {1920, 840, 360, 180});
    Label3 = label(this, "Label3", QStringLiteral("お尻(&R)"), {3720, 840, 630, 180});
    cmb_Head = comboBox(this, "cmb_Head", QStringLiteral("Test"), {120, 1080, 1695, 300});
    Label9 = place<QLabel>(this, "Label9", {1920, 1080, 1695, 255});
    Label9->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cmb_Ext = comboBox(this, "cmb_Ext", QString(), {3720, 1080, 1695, 300});
    cmb_Ext->addItems(
        {QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"), QStringLiteral(".bmp")});
    cmb_Ext->setEditText(QStringLiteral(".jpg"));
    Check2 = checkBox(this, "Check2", QStringLiteral(".TXT"), {2400, 1440, 735, 375}, Face::ProportionalGothic);
    Command3 = button(this, "Command3", QStringLiteral("上書(&U)"), {3240, 1440, 855, 375});
    Command5 = button(this, "Command5", QStringLiteral("&About"), {4200, 1440, 855, 375});
    cmd_Get = button(this, "cmd_Get", QStringLiteral("げ"), {5160, 1440, 375, 855}, Face::Gothic, 6);
    Label4 = label(this, "Label4", QStringLiteral("開始(&K)"), {120, 1560, 630, 180});
    Label5 = label(this, "Label5", QStringLiteral("終了(&E)"), {840, 1560, 630, 180});
    Label6 = label(this, "Label6", QStringLiteral("桁数(&L)"), {1560, 1560, 630, 180});
    Text3 = textBox(this, "Text3", QStringLiteral("0"), {120, 1800, 615, 405});
    Text4 = textBox(this, "Text4", QStringLiteral("50"), {840, 1800, 615, 405});
    txt_Keta = textBox(this, "txt_Keta", QStringLiteral("3"), {1560, 1800, 615, 405});
    Command1 = button(this, "Command1", QStringLiteral("作成(&M)"), {2280, 1920, 855, 375});
    Command2 = button(this, "Command2", QStringLiteral("保存(&S)"), {3240, 1920, 855, 375});
    Command4 = button(this, "Command4", QStringLiteral("表示(&V)"), {4200, 1920, 855, 375});
    chk_Chk_FoN = checkBox(this, "chk_Chk_FoN", QStringLiteral("チェックフォルダ"), {120, 2400, 1575, 255},
                           Face::ProportionalGothic);
    cmb_Chk_FoN = comboBox(this, "cmb_Chk_FoN", QString(), {1800, 2400, 3255, 300}, Face::ProportionalGothic);
    cmd_Chk_FoN = button(this, "cmd_Chk_FoN", QStringLiteral("..."), {5160, 2400, 375, 255}, Face::ProportionalGothic);
    Label11 = label(this, "Label11", QStringLiteral("出力フォルダ"), {240, 2760, 1080, 180});
    cmb_Fld = comboBox(this, "cmb_Fld", QString(), {1800, 2760, 3255, 300}, Face::ProportionalGothic);
    cmd_Fld = button(this, "cmd_Fld", QStringLiteral("..."), {5160, 2760, 375, 255}, Face::ProportionalGothic);
    txt_Out = place<QPlainTextEdit>(this, "txt_Out", {120, 3120, 5415, 1695});
    txt_Out->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt_Out->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_Out->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_Out->setTabChangesFocus(true);
}

void Form1::applyControlTexts()
{
    for (const ControlText &row : controlTexts()) {
        auto *control = findChild<QWidget *>(QLatin1StringView(row.control), Qt::FindDirectChildrenOnly);
        Q_ASSERT(control);
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

void Form1::applyTabOrderAndAccessKeys()
{
    const std::map<int, QWidget *> tabOrder{
        {0, Label1},    {1, Label2},    {2, Label3},       {3, Label4},       {4, Text3},        {5, Label5},
        {6, Text4},     {7, Label6},    {8, txt_Keta},     {9, Command1},     {10, Command3},    {11, Command2},
        {12, Command5}, {13, Command4}, {14, txt_Out},     {15, Check1},      {16, Label7},      {17, Text8},
        {18, Label8},   {19, Text9},    {20, Label9},      {21, Label10},     {22, cmb_Name},    {23, cmb_Head},
        {24, cmb_Ext},  {25, cmd_ana},  {26, chk_Chk_FoN}, {27, cmd_Chk_FoN}, {28, cmb_Chk_FoN}, {29, Check2},
        {30, cmd_Get},  {31, cmb_Fld},  {32, cmd_Fld},     {33, Label11},
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
    new ButtonKeys({Command1, Command2, Command3, Command4, Command5, cmd_ana, cmd_Get, cmd_Chk_FoN, cmd_Fld}, this);
    focusable.front()->setFocus(Qt::OtherFocusReason);
}

void Form1::connectEvents()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(cmd_ana, &QPushButton::clicked, this, &Form1::cmd_ana_Click);
    connect(cmd_Get, &QPushButton::clicked, this, &Form1::cmd_Get_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(cmd_Chk_FoN, &QPushButton::clicked, this, &Form1::cmd_Chk_FoN_Click);
    connect(cmd_Fld, &QPushButton::clicked, this, &Form1::cmd_Fld_Click);
    // A check box reacts to every change of its value, also one the program makes.
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(chk_Chk_FoN, &QCheckBox::stateChanged, this, &Form1::chk_Chk_FoN_Click);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(txt_Keta, &QLineEdit::textChanged, this, &Form1::txt_Keta_Change);
}

void Form1::showMessage(const QString &text, platform::MessageIcon icon)
{
    m_desktop.messageBox(this, text, core::appTitle(), icon);
}

void Form1::chk_fon_Enabled(bool bol_Ena)
{
    cmb_Chk_FoN->setEnabled(bol_Ena);
    cmd_Chk_FoN->setEnabled(bol_Ena);
}
}
