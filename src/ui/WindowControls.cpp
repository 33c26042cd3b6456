#include "ui/WindowControls.h"

#include "ui/AccessibleControls.h"
#include "ui/CheckValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace quorel::ui
{
namespace
{
    using core::SettingsFormat::CheckField;
    using core::SettingsFormat::ListField;
    using core::SettingsFormat::TextField;
    constexpr auto G = Face::Gothic;
    constexpr auto PG = Face::ProportionalGothic;
    constexpr SettingsSlot none{};

    constexpr QStringView tails[] = {u".jpg", u".jpeg", u".gif", u".bmp"};

// The member and its name, spelt once.
#define QUOREL_CONTROL(member) #member, &Controls::member

    // One control a row, whatever the width.
    // clang-format off
    constexpr ControlRow rows[] = {
        {QUOREL_CONTROL(baseAddressLabel), {8, 8, 72, 12}, G, 9, u"ﾍﾞｰｽｱﾄﾞﾚｽ(&B)", u"ベースアドレス", {}, {}, 0, none},
        {QUOREL_CONTROL(thumbnailsCheck), {96, 8, 81, 18}, G, 9, u"ｻﾑﾈｲﾙ(&N)", u"サムネイル", u"チェックをオンすると画像を縮小して表示するページを作成します.", {}, 15, CheckField::Thumbnails, {}, true},
        {QUOREL_CONTROL(thumbSizeLabel), {176, 8, 54, 12}, G, 9, u"大きさ(&O)", u"大きさ", {}, {}, 16, none},
        {QUOREL_CONTROL(thumbSizeEdit), {232, 8, 49, 20}, G, 9, u"80", u"大きさ", u"サムネイル画像の大きさを設定します", {}, 17, TextField::Size},
        {QUOREL_CONTROL(columnsLabel), {288, 8, 30, 12}, G, 9, u"幅(&H)", u"幅", {}, {}, 18, none},
        {QUOREL_CONTROL(columnsEdit), {320, 8, 41, 20}, G, 9, u"5", u"幅", u"サムネイルの列数を設定します", {}, 19, TextField::Columns},
        {QUOREL_CONTROL(baseAddressBox), {8, 32, 313, 20}, G, 9, u"http://www.", u"ベースアドレス", {}, u"すべての画像アドレスに共通する始めの部分", 22, ListField::BaseAddress},
        {QUOREL_CONTROL(analyseButton), {328, 32, 41, 25}, G, 9, u"解析", u"解析", u"画像のアドレス（http://www.example.org/photos/pic001.jpgなど)を入力し,解析ボタンを押すと自動で設定を行います.", {}, 25, none},
        {QUOREL_CONTROL(headLabel), {8, 56, 30, 12}, G, 9, u"頭(&T)", u"頭", {}, {}, 1, none},
        {QUOREL_CONTROL(numberLabel), {128, 56, 24, 12}, G, 9, u"数字", u"数字", {}, {}, 21, none},
        {QUOREL_CONTROL(tailLabel), {248, 56, 42, 12}, G, 9, u"お尻(&R)", u"お尻", {}, {}, 2, none},
        {QUOREL_CONTROL(headBox), {8, 72, 113, 20}, G, 9, u"Test", u"頭", {}, u"番号の前に付く文字列", 23, ListField::Head},
        {QUOREL_CONTROL(numberPreview), {128, 72, 113, 17}, G, 9, {}, u"数字", {}, u"開始番号を桁数にそろえたもの", 20, none, {}, false, true},
        {QUOREL_CONTROL(tailBox), {248, 72, 113, 20}, G, 9, u".jpg", u"お尻", {}, u"番号の後に付く文字列、普通は拡張子", 24, ListField::Tail, tails},
        {QUOREL_CONTROL(addressListCheck), {160, 96, 49, 25}, PG, 9, u".TXT", u"アドレス一覧のみ", u"チェックをオンするとアドレスの一覧のみ作成します.", {}, 29, none},
        {QUOREL_CONTROL(overwriteButton), {216, 96, 57, 25}, G, 9, u"上書(&U)", u"上書", {}, u"最後に保存したファイルに上書きします", 10, none},
        {QUOREL_CONTROL(aboutButton), {280, 96, 57, 25}, G, 9, u"&About", u"About", {}, u"バージョン情報を表示します", 12, none},
        {QUOREL_CONTROL(downloadButton), {344, 96, 25, 57}, G, 6, u"げ", u"画像のダウンロード", u"一覧の画像をすべて出力フォルダにダウンロードします", {}, 30, none},
        {QUOREL_CONTROL(startLabel), {8, 104, 42, 12}, G, 9, u"開始(&K)", u"開始", {}, {}, 3, none},
        {QUOREL_CONTROL(endLabel), {56, 104, 42, 12}, G, 9, u"終了(&E)", u"終了", {}, {}, 5, none},
        {QUOREL_CONTROL(digitsLabel), {104, 104, 42, 12}, G, 9, u"桁数(&L)", u"桁数", {}, {}, 7, none},
        {QUOREL_CONTROL(startEdit), {8, 120, 41, 27}, G, 9, u"0", u"開始", {}, u"最初の番号", 4, TextField::Start},
        {QUOREL_CONTROL(endEdit), {56, 120, 41, 27}, G, 9, u"50", u"終了", {}, u"最後の番号", 6, TextField::End},
        {QUOREL_CONTROL(digitsEdit), {104, 120, 41, 27}, G, 9, u"3", u"桁数", {}, u"番号の桁数", 8, TextField::Digits},
        {QUOREL_CONTROL(createButton), {152, 128, 57, 25}, G, 9, u"作成(&M)", u"作成", {}, u"ページを作成します", 9, none},
        {QUOREL_CONTROL(saveButton), {216, 128, 57, 25}, G, 9, u"保存(&S)", u"保存", {}, u"ページに名前を付けて保存します", 11, none},
        {QUOREL_CONTROL(viewButton), {280, 128, 57, 25}, G, 9, u"表示(&V)", u"表示", {}, u"最後に保存したファイルを開きます", 13, none},
        {QUOREL_CONTROL(checkFolderCheck), {8, 160, 105, 17}, PG, 9, u"チェックフォルダ", u"チェックフォルダ", u"チェックをオンするとファイル名をチェックして同じ名前のファイルは除いて作成します.", {}, 26, CheckField::CheckFolder},
        {QUOREL_CONTROL(checkFolderBox), {120, 160, 217, 20}, PG, 9, {}, u"チェックフォルダ", u"チェックするフォルダ名を入力します.", {}, 28, ListField::CheckFolder},
        {QUOREL_CONTROL(browseCheckFolderButton), {344, 160, 25, 17}, PG, 9, u"...", u"チェックフォルダの参照", u"チェックするフォルダの参照", {}, 27, none},
        {QUOREL_CONTROL(downloadFolderLabel), {16, 184, 72, 12}, G, 9, u"出力フォルダ", u"出力フォルダ", {}, {}, 33, none},
        {QUOREL_CONTROL(downloadFolderBox), {120, 184, 217, 20}, PG, 9, {}, u"出力フォルダ", u"画像を保存するフォルダ名を入力します.", {}, 31, TextField::DownloadFolder},
        {QUOREL_CONTROL(browseDownloadFolderButton), {344, 184, 25, 17}, PG, 9, u"...", u"出力フォルダの参照", u"画像を保存するフォルダの参照", {}, 32, none},
        {QUOREL_CONTROL(outputBox), {8, 208, 361, 113}, G, 9, {}, u"出力", {}, u"作成したページ、またはその始めの部分", 14, none},
    };
    // clang-format on
#undef QUOREL_CONTROL

    // A member without a row would never be made, nor one row made twice.
    static_assert(std::size(rows) * sizeof(QWidget *) == sizeof(Controls));
    constexpr bool membersAreDistinct()
    {
        for (std::size_t i = 0; i < std::size(rows); ++i)
            for (std::size_t j = i + 1; j < std::size(rows); ++j)
                if (rows[i].member == rows[j].member)
                    return false;
        return true;
    }
    static_assert(membersAreDistinct());

    // Tab order runs through every row once.
    constexpr bool tabSlotsAreAPermutation()
    {
        std::array<bool, std::size(rows)> taken{};
        for (const ControlRow &row : rows) {
            if (row.tabSlot < 0 || std::size_t(row.tabSlot) >= taken.size() || taken[std::size_t(row.tabSlot)])
                return false;
            taken[std::size_t(row.tabSlot)] = true;
        }
        return true;
    }
    static_assert(tabSlotsAreAPermutation());

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

    // As much as the settings file keeps: a paste of megabytes kept the window busy for seconds.
    constexpr int longestText = int(core::SettingsFormat::maxSingleValueUnits);

    QWidget *make(QWidget &window, const ControlRow &row, QLabel *Controls::*)
    {
        auto *label = new QLabel(&window);
        if (row.showsValue) {
            AccessibleControls::describeAsValue(*label);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        label->setText(row.caption.toString());
        return label;
    }

    QWidget *make(QWidget &window, const ControlRow &row, QCheckBox *Controls::*)
    {
        auto *box = new CheckValue::TwoStateClickBox(&window);
        box->setText(row.caption.toString());
        box->setCheckState(row.startsTicked ? Qt::Checked : Qt::Unchecked);
        return box;
    }

    QWidget *make(QWidget &window, const ControlRow &row, QLineEdit *Controls::*)
    {
        auto *edit = new QLineEdit(&window);
        edit->setMaxLength(longestText);
        edit->setText(row.caption.toString());
        return edit;
    }

    QWidget *make(QWidget &window, const ControlRow &row, QComboBox *Controls::*)
    {
        auto *box = new QComboBox(&window);
        AccessibleControls::describeAsComboBox(*box);
        box->setEditable(true);
        // The list changes only through the program; Qt's inline completion would change typed text.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setMaxLength(longestText);
        for (QStringView choice : row.choices)
            box->addItem(choice.toString());
        box->setEditText(row.caption.toString());
        return box;
    }

    QWidget *make(QWidget &window, const ControlRow &row, QPushButton *Controls::*)
    {
        auto *button = new QPushButton(&window);
        button->setText(row.caption.toString());
        button->setAutoDefault(false);
        return button;
    }

    QWidget *make(QWidget &window, const ControlRow &, QPlainTextEdit *Controls::*)
    {
        auto *box = new QPlainTextEdit(&window);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        return box;
    }
}

std::span<const ControlRow> controlTable()
{
    return rows;
}

void createControls(QWidget &window, Controls &controls)
{
    for (const ControlRow &row : rows) {
        QWidget *control = std::visit(
            [&](auto member) {
                QWidget *made = make(window, row, member);
                controls.*member = static_cast<std::remove_reference_t<decltype(controls.*member)>>(made);
                return made;
            },
            row.member);
        control->setObjectName(QLatin1StringView(row.name));
        control->setFont(controlFont(row.face, row.points));
        control->setGeometry(row.place);
        const QString name = row.accessibleName.toString();
        const QString toolTip = row.toolTip.toString();
        const QString description = toolTip.isEmpty() ? row.description.toString() : toolTip;
        control->setToolTip(toolTip);
        // Screen readers speak the edit field inside a combo box when it has the focus.
        QList<QWidget *> described{control};
        if (auto *combo = qobject_cast<QComboBox *>(control))
            described.append(combo->lineEdit());
        for (QWidget *widget : described) {
            widget->setAccessibleName(name);
            widget->setAccessibleDescription(description);
        }
    }
}

QWidget *controlOf(const Controls &controls, const ControlRow &row)
{
    return std::visit([&controls](auto member) -> QWidget * { return controls.*member; }, row.member);
}
}
