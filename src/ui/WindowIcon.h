#pragma once

#include <QIcon>
#include <QImage>

// The window's picture: a page of thumbnails, in the 16 colours of the classic VGA palette.
namespace quorel::ui::WindowIcon
{
// size is 16 or 32.
QImage image(int size);
QIcon icon();
}
