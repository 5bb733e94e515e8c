#pragma once
#include <QPixmap>

// The pictures of the program's small windows, drawn rather than shipped as files.
namespace pictures {

QPixmap padlock(int size);   // the password windows
QPixmap gradebook(int size); // the program's own picture: a gradebook page with a mark

}  // namespace pictures
