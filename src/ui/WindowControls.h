#pragma once

#include "core/SettingsFormat.h"

#include <QAccessible>
#include <QRect>
#include <QStringView>

#include <span>
#include <variant>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace quorel::ui
{
// The main window's controls, each named for its role and its kind; the object name is the same.
// Every member has its row in controlTable(), which creates it.
struct Controls
{
    QLabel *baseAddressLabel;
    QCheckBox *thumbnailsCheck;
    QLabel *thumbSizeLabel;
    QLineEdit *thumbSizeEdit;
    QLabel *columnsLabel;
    QLineEdit *columnsEdit;
    QComboBox *baseAddressBox;
    QPushButton *analyseButton;
    QLabel *headLabel;
    QLabel *numberLabel;
    QLabel *tailLabel;
    QComboBox *headBox;
    QLabel *numberPreview;
    QComboBox *tailBox;
    QCheckBox *addressListCheck;
    QPushButton *overwriteButton;
    QPushButton *aboutButton;
    QPushButton *downloadButton;
    QLabel *startLabel;
    QLabel *endLabel;
    QLabel *digitsLabel;
    QLineEdit *startEdit;
    QLineEdit *endEdit;
    QLineEdit *digitsEdit;
    QPushButton *createButton;
    QPushButton *saveButton;
    QPushButton *viewButton;
    QCheckBox *checkFolderCheck;
    QComboBox *checkFolderBox;
    QPushButton *browseCheckFolderButton;
    QLabel *downloadFolderLabel;
    QComboBox *downloadFolderBox;
    QPushButton *browseDownloadFolderButton;
    QPlainTextEdit *outputBox;
};

// The member a row creates; its type is the control's kind.
using ControlMember = std::variant<QLabel * Controls::*, QCheckBox * Controls::*, QLineEdit * Controls::*,
                                   QComboBox * Controls::*, QPushButton * Controls::*, QPlainTextEdit * Controls::*>;

enum class Face
{
    Gothic, // fixed pitch
    ProportionalGothic,
};

// Where the settings file keeps a control's value, if it does.
using SettingsSlot = std::variant<std::monostate, core::SettingsFormat::ListField, core::SettingsFormat::TextField,
                                  core::SettingsFormat::CheckField>;

struct ControlRow
{
    const char *name; // the member's and the object's name
    ControlMember member;
    QRect place; // in pixels, at the window's designed size
    Face face;
    int points;
    // What the control shows first: a caption, with its access key after "&", or a field's text.
    QStringView caption;
    // What screen readers call it, without its access key (they announce that apart).
    QStringView accessibleName;
    QStringView toolTip; // also the accessible description where there is one
    QStringView description; // the accessible description of a control without a tooltip
    int tabSlot; // the control's place in tab order, labels included: an access key leads on from there
    SettingsSlot kept;
    std::span<const QStringView> choices = {}; // a combo box's list before the settings add theirs
    bool startsTicked = false;
    bool showsValue = false; // a label in a sunken panel whose text is a value, not a caption
};

// Every control of the main window, in screen order.
std::span<const ControlRow> controlTable();

// The window's inside at its designed size, in pixels.
inline constexpr QSize designSize{372, 328};

// Makes every control of the table on window, as its row says.
void createControls(QWidget &window, Controls &controls);

// The control a row made.
QWidget *controlOf(const Controls &controls, const ControlRow &row);
}
