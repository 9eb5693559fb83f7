#include "WindowUnits.h"

#include <QFontMetrics>
#include <QWidget>

#include <cmath>

namespace {

// The letters whose average width is the font's horizontal base unit.
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

}  // namespace

CWindowUnits::CWindowUnits(const QFont& font) {
  // In whole pixels, rounded as the templates' own system rounds them: the
  // width of a pair of letters, plus one, halved.
  const QFontMetrics fm(font);
  m_baseX = (fm.horizontalAdvance(kLetters) / 26 + 1) / 2;
  m_baseY = fm.height();
}

CWindowUnits CWindowUnits::Of(const QWidget* widget) { return CWindowUnits(widget->font()); }

int CWindowUnits::X(int du) const { return int(std::lround(du * m_baseX / 4)); }

int CWindowUnits::Y(int du) const { return int(std::lround(du * m_baseY / 8)); }

int CWindowUnits::PixelsX(int px) const { return int(std::lround(px * m_baseX / kLayoutBaseX)); }

int CWindowUnits::PixelsY(int px) const { return int(std::lround(px * m_baseY / kLayoutBaseY)); }

QRect CWindowUnits::Pixels(const QRect& r) const {
  // Edges scaled, not sizes, so that neighbours stay neighbours.
  const int left = PixelsX(r.left()), top = PixelsY(r.top());
  return QRect(left, top, PixelsX(r.left() + r.width()) - left, PixelsY(r.top() + r.height()) - top);
}
