#include "ui/Form1.h"

#include <QCloseEvent>

namespace quorel::ui
{
bool Form1::Form_Load()
{
    return true;
}

void Form1::Form_Unload() {}
void Form1::Form_Resize() {}
void Form1::lbl_Center(QWidget *, QWidget *) {}

void Form1::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
}
}
