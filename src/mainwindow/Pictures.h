#pragma once
#include <QPixmap>

// The pictures of the start-up and main windows, drawn by the program so that they follow
// the screen's scale and need no image files.
namespace pictures {

// The program's logo: a teacher's notebook with a grade, `size` pixels square.
QPixmap logo(int size);

// The main window's image list: 2 is the subject icon of the tab bar's items, 3 the
// picture of a line of the message list. Any other index gives an empty picture.
QPixmap imaButton(int index);

// The table of averages' image list: 1 and 2 a class node (normal, selected), 3 and 4 a
// student node (normal, selected), 5 the picture of a line of the message list. Any other
// index gives an empty picture.
QPixmap imaTre(int index);

// The picture of toolbar button `button` (1..19), 48 pixels square; empty for a separator.
QPixmap toolButton(int button);

// A key, for the password window.
QPixmap key(int size);

}  // namespace pictures
