#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QWidget;

namespace quorel::ui
{
class Form1;
}

// Routines shared by the window's handlers.
namespace quorel::ui::Module1
{
// The folder of the last saved page with its trailing separator; program-wide.
extern QString str_OutFolder;

// Moves the combo box's current text to the top of its list (adding it when missing).
void cmb_AddTop(QComboBox &cmb);

// Appends the entries read for a list after those it holds and shows entry 0 of the whole list.
void cmb_ReadList(QComboBox &cmb, const QStringList &entries);

// The entries a list is saved with; an empty list first takes the box's text as its only entry.
QStringList cmb_WriteList(QComboBox &cmb);

// Selects the whole text of a field.
void txt_SelAll(QWidget &ctl);

// Recomputes the number preview of the window.
void lbl_NumView(Form1 &form);

// Shows the About box.
void msg_About(Form1 &form);
}
