#pragma once

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QRect>

class QPainter;

// Pictures and colours shared by the controls: bitmaps by resource id with a
// transparent colour, the disabled (embossed) look, cursor 161, and the
// mapping of the Windows system colours onto palette roles.
namespace ControlArt {

// Bitmap resource ":/bitmaps/<id>.png", from its 2x picture where the ratio
// is above 1 (the image's devicePixelRatio tells); a null image when it is
// missing. The ratio is the application's unless given.
QImage LoadBitmap(int id, qreal ratio = 0);

// The image with every pixel of the key colour made transparent.
QPixmap KeyedPixmap(const QImage& image, const QColor& key);

// The shape of the picture (its non-transparent pixels, after keying) in
// one colour: the monochrome copy the emboss is drawn with.
QPixmap Monochrome(const QPixmap& keyed, const QColor& colour);

// The disabled look: the monochrome picture in the highlight
// colour at +1,+1, then in the shadow colour at the place itself.
void DrawEmbossed(QPainter& p, const QPoint& at, const QPixmap& keyed, const QPalette& pal);

// Cursor 161: our own pointing hand, hot spot (6,0), drawn at the screen's
// device pixel ratio.
QCursor LinkCursor();

// The Windows COLOR_* system colours, from the widget's palette.
QColor BtnFace(const QPalette& pal);       // COLOR_BTNFACE:    Button
QColor BtnText(const QPalette& pal);       // COLOR_BTNTEXT:    ButtonText
QColor BtnHighlight(const QPalette& pal);  // COLOR_BTNHIGHLIGHT: Light
QColor BtnShadow(const QPalette& pal);     // COLOR_BTNSHADOW:  Dark
QColor DkShadow(const QPalette& pal);      // COLOR_3DDKSHADOW: Shadow
QColor GrayText(const QPalette& pal);      // COLOR_GRAYTEXT:   disabled ButtonText
QColor HotLight(const QPalette& pal);      // COLOR_HOTLIGHT:   Link

// A 1-pixel 3D rectangle: top and left in one colour, bottom and right in
// the other (the GDI Draw3dRect). An invalid colour leaves its sides out.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight);

}  // namespace ControlArt
