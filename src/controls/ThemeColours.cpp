#include "ThemeColours.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ThemeColours {

namespace {

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// What Readable aims at: a little above the minimum, since smoothed glyphs
// of small text rarely cover a pixel whole and so show a paler colour.
constexpr double kAim = kMinimumTextContrast + 0.5;

QColor WithLightness(const QColor& colour, double lightness) {
  QColor c = QColor::fromHslF(colour.hslHueF(), colour.hslSaturationF(), float(lightness));
  return c.toRgb();
}

// Calls a function on the palette events of one widget.
class CPaletteFollower : public QObject {
 public:
  CPaletteFollower(QWidget* widget, std::function<void()> apply) : QObject(widget), m_apply(std::move(apply)) {
    widget->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type t = event->type();
    if ((t == QEvent::PaletteChange || t == QEvent::ApplicationPaletteChange || t == QEvent::ParentChange) &&
        !m_bApplying) {
      // Setting a palette inside sends one more change: that one is ours.
      m_bApplying = true;
      m_apply();
      m_bApplying = false;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> m_apply;
  bool m_bApplying = false;
};

}  // namespace

double Luminance(const QColor& colour) {
  const QColor c = colour.toRgb();
  return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightnessF() < 0.5 && palette.color(QPalette::Base).lightnessF() < 0.5;
}

namespace {

// The nearest colour of the wanted one's hue that reaches `aim` against the
// background: lighter on a dark background, darker on a light one.
QColor Towards(const QColor& wanted, const QColor& background, double aim) {
  // A light surface can still occur on a dark palette, e.g. a row colour.
  const bool lighten = Contrast(Qt::white, background) >= Contrast(Qt::black, background);
  double near = wanted.toHsl().lightnessF();
  double far = lighten ? 1.0 : 0.0;
  if (Contrast(WithLightness(wanted, far), background) < aim)
    return lighten ? QColor(Qt::white) : QColor(Qt::black);  // the best there is
  for (int i = 0; i < 20; ++i) {  // the smallest change that reads
    const double mid = (near + far) / 2;
    if (Contrast(WithLightness(wanted, mid), background) >= aim)
      far = mid;
    else
      near = mid;
  }
  return WithLightness(wanted, far);
}

}  // namespace

QColor Readable(const QColor& wanted, const QColor& background, const QPalette& palette) {
  if (!IsDark(palette) || Contrast(wanted, background) >= kAim) return wanted;
  // Plain black or grey text is the theme's own text where that reads.
  if (wanted.toHsl().hslSaturationF() < 0.05)
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
      if (Contrast(palette.color(role), background) >= kAim) return palette.color(role);
  return Towards(wanted, background, kAim);
}

QColor ReadableDisabled(const QColor& wanted, const QColor& background, const QPalette& palette) {
  // Above the minimum by more than Readable's margin: the thin strokes of
  // small grey text are seldom drawn in their whole colour. Never the
  // palette's text, so that it still looks disabled.
  constexpr double aim = kMinimumDisabledContrast + 1.0;
  if (!IsDark(palette) || Contrast(wanted, background) >= aim) return wanted;
  return Towards(wanted, background, aim);
}

QColor Surface(const QColor& wanted, const QColor& paletteColour, const QPalette& palette) {
  if (!IsDark(palette)) return wanted;
  // Greys (white tables, grey panels) become the palette's colour itself.
  const double tint = 0.3 * std::max(0.0, double(wanted.toHsl().hslSaturationF()));
  const QColor p = paletteColour.toRgb();
  const QColor w = wanted.toRgb();
  const auto mix = [tint](int a, int b) { return int(std::lround(a + (b - a) * tint)); };
  return QColor(mix(p.red(), w.red()), mix(p.green(), w.green()), mix(p.blue(), w.blue()));
}

QImage OnPalette(const QImage& picture, int top, const QPalette& palette) {
  if (!IsDark(palette)) return picture;
  // The luminances of the picture's ground and of its ink, from the art.
  constexpr double kGround = 0.85, kInk = 0.05;
  const QColor ground = palette.color(QPalette::Window).toRgb();
  const QColor ink = palette.color(QPalette::WindowText).toRgb();
  QImage out = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = std::max(0, top); y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const double t = std::clamp((kGround - Luminance(QColor(line[x]))) / (kGround - kInk), 0.0, 1.0);
      const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
      line[x] = qRgba(mix(ground.red(), ink.red()), mix(ground.green(), ink.green()), mix(ground.blue(), ink.blue()),
                      qAlpha(line[x]));
    }
  }
  return out;
}

QPalette InheritedPalette(const QWidget* widget) {
  const QWidget* parent = widget ? widget->parentWidget() : nullptr;
  return parent ? parent->palette() : QApplication::palette(widget);
}

void FollowPalette(QWidget* widget, std::function<void()> apply) {
  apply();
  new CPaletteFollower(widget, std::move(apply));
}

void SetTextColour(QWidget* widget, const QColor& wanted) {
  const QPalette inherited = InheritedPalette(widget);
  QPalette pal = widget->palette();
  pal.setColor(QPalette::WindowText, Readable(wanted, inherited.color(QPalette::Window), inherited));
  widget->setPalette(pal);
}

void KeepTextColour(QWidget* widget, const QColor& wanted) {
  FollowPalette(widget, [widget, wanted] { SetTextColour(widget, wanted); });
}

void KeepSurfaceColour(QWidget* widget, const QColor& wanted, QPalette::ColorRole role) {
  FollowPalette(widget, [widget, wanted, role] {
    const QPalette inherited = InheritedPalette(widget);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, Surface(wanted, inherited.color(role), inherited));
    widget->setPalette(pal);
  });
}

}  // namespace ThemeColours
