#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace norvale {

// The window's pictures, shipped as resources. Each is loaded once and then
// shared: every call gives the same picture object (an implicitly shared
// QPixmap), as the window's hidden images did. A picture that cannot be loaded
// is a null pixmap.

// Background of panel picCheck_<index>, 0 to 3 (500 x 330).
QPixmap PanelPicture(int index);
// The results bar: 0 neutral, 1 calm, 2 caution, 3 danger (242 x 19); null outside 0..3.
QPixmap BarPicture(int index);
// The fixed bar of the start-up panel (241 x 19).
QPixmap StartupBarPicture();
// The face of cmdCheckNow, normal or under the pointer (149 x 29).
QPixmap CheckNowPicture(bool hover);
// The banner buttons cmdFilterCheck_<i>, normal or under the pointer (137 x 28).
QPixmap BannerPicture(bool hover);
// The site button's picture (48 x 48) and the file button's icon (16 x 16).
QPixmap SitePicture();
QPixmap FileButtonPicture();
// The pointer shown over every button (32 x 32).
QCursor ButtonCursor();
// The window icon set "AAA": 16, 32 and 48 pixels.
QIcon WindowIcon();

} // namespace norvale
