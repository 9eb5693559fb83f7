#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>

#include <functional>

class QWidget;

// The one rule for the program's own colours. The windows are drawn in
// fixed colours (blue values, red requests, green notices, white tables,
// light gradient faces) chosen for a light desktop; on a light palette they
// are shown exactly so. On a dark or high-contrast palette a fixed colour
// may vanish into the background, so each is derived from the palette
// instead: surfaces take the palette's own colour (tinted with the fixed
// one's hue), and text keeps its hue but is lightened or darkened until it
// reads against what it is drawn on.
namespace ThemeColours {

// WCAG 2 contrast: text needs 4.5:1 against its background; the text of a
// disabled control, which is meant to read fainter, 3:1.
constexpr double kMinimumTextContrast = 4.5;
constexpr double kMinimumDisabledContrast = 3.0;

// The WCAG relative luminance (0 black to 1 white) and the contrast ratio
// of two colours (1 to 21).
double Luminance(const QColor& colour);
double Contrast(const QColor& a, const QColor& b);

// A palette is dark when its window and base colours both are (one dark
// background alone is a window's own colour, not a theme); high-contrast
// themes (black with white or yellow text) count as dark.
bool IsDark(const QPalette& palette);

// The colour to draw text of the fixed colour `wanted` in, on `background`:
// `wanted` itself on a light palette, or when it already reads; else the
// nearest colour of its hue that reaches the minimum contrast (black or grey
// becomes the palette's own text colour).
QColor Readable(const QColor& wanted, const QColor& background, const QPalette& palette);

// The colour to draw a disabled control's text in, of the fixed or the
// palette's disabled colour `wanted`: `wanted` on a light palette or where it
// reads at 3:1 already; else the nearest shade of it that does, still fainter
// than the palette's text.
QColor ReadableDisabled(const QColor& wanted, const QColor& background, const QPalette& palette);

// The colour to fill a surface that the light look paints in `wanted`:
// `wanted` on a light palette, else `paletteColour` (the palette's window,
// base or button colour) tinted a little with `wanted`'s hue, so that a
// coloured row stays told apart from a plain one.
QColor Surface(const QColor& wanted, const QColor& paletteColour, const QPalette& palette);

// A light picture with dark writing on it (the login window's captions),
// for the palette: itself on a light palette; on a dark one, from row `top`
// (in the image's pixels) down, its light ground becomes the palette's
// window colour and its dark ink the palette's window text, the shades
// between in proportion, so the writing reads as the palette's own text.
QImage OnPalette(const QImage& picture, int top, const QPalette& palette);

// The palette a widget's own colours are worked out from: its parent's (or
// the application's), since a widget that sets colours on itself would
// otherwise keep deciding from the colours it set for the last palette.
QPalette InheritedPalette(const QWidget* widget);

// Runs `apply` now and again whenever the widget's palette or parent
// changes (a new desktop theme while the program runs), for as long as the
// widget lives.
void FollowPalette(QWidget* widget, std::function<void()> apply);

// The widget's text in the fixed colour `wanted`, readable on the window
// colour it is drawn on, for the palette it has now.
void SetTextColour(QWidget* widget, const QColor& wanted);

// The two common cases of following the palette: the widget's text kept in
// the fixed colour `wanted` as above; and the widget's own background kept
// in the fixed colour `wanted`, as a surface of the palette's `role`
// (Window or Button).
void KeepTextColour(QWidget* widget, const QColor& wanted);
void KeepSurfaceColour(QWidget* widget, const QColor& wanted, QPalette::ColorRole role);

}  // namespace ThemeColours
