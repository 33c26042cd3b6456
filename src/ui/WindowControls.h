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
    QLabel *baseAddressLabel = nullptr;
    QCheckBox *thumbnailsCheck = nullptr;
    QLabel *thumbSizeLabel = nullptr;
    QLineEdit *thumbSizeEdit = nullptr;
    QLabel *columnsLabel = nullptr;
    QLineEdit *columnsEdit = nullptr;
    QComboBox *baseAddressBox = nullptr;
    QPushButton *analyseButton = nullptr;
    QLabel *headLabel = nullptr;
    QLabel *numberLabel = nullptr;
    QLabel *tailLabel = nullptr;
    QComboBox *headBox = nullptr;
    QLabel *numberPreview = nullptr;
    QComboBox *tailBox = nullptr;
    QCheckBox *addressListCheck = nullptr;
    QPushButton *overwriteButton = nullptr;
    QPushButton *aboutButton = nullptr;
    QPushButton *downloadButton = nullptr;
    QLabel *startLabel = nullptr;
    QLabel *endLabel = nullptr;
    QLabel *digitsLabel = nullptr;
    QLineEdit *startEdit = nullptr;
    QLineEdit *endEdit = nullptr;
    QLineEdit *digitsEdit = nullptr;
    QPushButton *createButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *viewButton = nullptr;
    QCheckBox *checkFolderCheck = nullptr;
    QComboBox *checkFolderBox = nullptr;
    QPushButton *browseCheckFolderButton = nullptr;
    QLabel *downloadFolderLabel = nullptr;
    QComboBox *downloadFolderBox = nullptr;
    QPushButton *browseDownloadFolderButton = nullptr;
    QPlainTextEdit *outputBox = nullptr;
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
