#include "Artwork.h"

#include <QPixmapCache>

// The pictures live in this static library, whose resource object the linker
// keeps only when something refers to it.
static void InitialiseArtworkResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace norvale {

namespace {

// The cursor's hot spot: the tip of the pointing finger.
constexpr int CursorHotSpotX = 10;
constexpr int CursorHotSpotY = 1;

QPixmap Picture(const QString &name)
{
    // The cache keeps one shared copy of each picture and lets it go with the
    // application object.
    static const bool initialised = (InitialiseArtworkResources(), true);
    Q_UNUSED(initialised);
    const QString key = QStringLiteral("norvale:") + name;
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture.load(QStringLiteral(":/images/") + name);
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

} // namespace

QPixmap PanelPicture(int index)
{
    return index >= 0 && index <= 3 ? Picture(QStringLiteral("panel%1.png").arg(index)) : QPixmap();
}

QPixmap BarPicture(int index)
{
    return index >= 0 && index <= 3 ? Picture(QStringLiteral("bar%1.png").arg(index)) : QPixmap();
}

QPixmap StartupBarPicture()
{
    return Picture(QStringLiteral("bar-startup.png"));
}

QPixmap CheckNowPicture(bool hover)
{
    return Picture(hover ? QStringLiteral("checknow-hover.png") : QStringLiteral("checknow.png"));
}

QPixmap BannerPicture(bool hover)
{
    return Picture(hover ? QStringLiteral("banner-hover.png") : QStringLiteral("banner.png"));
}

QPixmap SitePicture()
{
    return Picture(QStringLiteral("site.png"));
}

QPixmap FileButtonPicture()
{
    return Picture(QStringLiteral("folder16.png"));
}

QCursor ButtonCursor()
{
    return QCursor(Picture(QStringLiteral("cursor.png")), CursorHotSpotX, CursorHotSpotY);
}

QIcon WindowIcon()
{
    QIcon icon;
    for (const char *name : { "icon16.png", "icon32.png", "icon48.png" })
        icon.addPixmap(Picture(QLatin1String(name)));
    return icon;
}

} // namespace norvale
