#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

/// The program's pictures, drawn at run time so that every image is the project's own work.
namespace Artwork {

QIcon windowIcon(); ///< the installed application icon, 48 pixels
QPixmap helpPicture(); ///< 383 x 332, beside the help texts
QPixmap refreshPicture(); ///< 27 x 26, on the refresh button
QPixmap favouritePointerIcon(); ///< 32 x 32, the pointer over the favourites
constexpr QPoint kFavouritePointerHotSpot { 16, 4 }; ///< the star's top point
QCursor linkPointer();

} // namespace Artwork
