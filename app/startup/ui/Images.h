#pragma once

// The main program's pictures, drawn at run time so the program carries no
// image files: the toolbar images by key, the menu image list, the status
// bar's image list, the progress dialog's icons, the program's icon and the
// splash picture.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace images {

// The toolbar image of a key ("New", "Open", ..., "Play", "Record", "Stop",
// "Pause"); an empty icon for an unknown key.
[[nodiscard]] QIcon toolbarImage(const QString &key);
// The main window's menu image list: the picture of an index, drawn like the
// toolbar's; an empty icon for an index that has none.
[[nodiscard]] QIcon menuImage(int index);
// The program's own icon, for its windows and the desktop.
[[nodiscard]] QIcon programIcon();
// Image 1 to 4 of the status bar's list (16x16): 1 and 4 the idle picture,
// 2 a transfer, 3 playing.
[[nodiscard]] QPixmap statusImage(int index);
// Icon 1 to 4 of the progress dialog: 1 and 2 32x32, 3 22x22, 4 24x24.
[[nodiscard]] QPixmap progressImage(int index);
// The splash window's picture.
[[nodiscard]] QPixmap splashImage(const QSize &size);

} // namespace images
