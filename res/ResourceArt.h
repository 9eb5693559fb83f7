#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// The pictures of res/ at the density of the screen. Every picture is
// shipped twice: "<name>.png" and "<name>@2x.png", twice as many pixels for
// the same logical size. Where the device pixel ratio is above 1 (a scale
// factor of 1.5 or 2) the 2x picture is used, with its ratio set, so that Qt
// draws it at the logical size from the finer pixels instead of blowing up
// the coarse ones.
namespace ResourceArt {

// The highest device pixel ratio of the application's screens; 1 without
// a GUI application.
qreal ScreenRatio();

// The picture at ratio: its @2x mate when the ratio is above 1 and the
// mate exists, else the picture itself. A null image when neither exists.
QImage Image(const QString& path, qreal ratio = ScreenRatio());
QPixmap Pixmap(const QString& path, qreal ratio = ScreenRatio());

// An icon of both pictures, so that QIcon::pixmap picks the finer one for
// any ratio above 1 (QIcon(path) finds the mate only when the application's
// ratio is above 1 at the time it is made).
QIcon Icon(const QString& path);

// ":/bitmaps/<id>.png".
QString BitmapPath(int id);

// The same picture cut into equal squares of side logical pixels, left to
// right (the visitor table's row images), each keeping the strip's ratio.
QPixmap StripPart(const QPixmap& strip, int index, int side);

}  // namespace ResourceArt
