#include "TransparentStatic.h"

#include <QPainter>

CTransparentStatic::CTransparentStatic(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAutoFillBackground(false);
}

CTransparentStatic::CTransparentStatic(const QString& text, QWidget* parent) : CTransparentStatic(parent) {
  setText(text);
}

CTransparentStatic::~CTransparentStatic() = default;

void CTransparentStatic::SetStaticStyle(unsigned style) {
  m_style = style;
  update();
}

int CTransparentStatic::TextFlags() const {
  const unsigned type = m_style & SS_TYPEMASK;
  int flags = 0;
  if (type == SS_CENTER)
    flags |= Qt::AlignHCenter;
  else if (type == SS_RIGHT)
    flags |= Qt::AlignRight;
  else
    flags |= Qt::AlignLeft;
  const bool centreImage = m_style & SS_CENTERIMAGE;
  flags |= centreImage ? (Qt::AlignVCenter | Qt::TextSingleLine) : Qt::AlignTop;
  if (!(m_style & SS_NOPREFIX)) flags |= Qt::TextShowMnemonic;
  const bool ellipsis = m_style & SS_ELLIPSISMASK;
  const bool noWrapType = type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
  if (!centreImage && !ellipsis && !noWrapType) flags |= Qt::TextWordWrap;
  return flags;
}

Qt::TextElideMode CTransparentStatic::ElideMode() const {
  const unsigned e = m_style & SS_ELLIPSISMASK;
  if (!e) return Qt::ElideNone;
  if (e == SS_PATHELLIPSIS) return Qt::ElideMiddle;
  return Qt::ElideRight;  // word or end ellipsis
}

void CTransparentStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);  // no background: only the text
  p.setFont(font());
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
  const int flags = TextFlags();
  QString t = text();
  const Qt::TextElideMode elide = ElideMode();
  if (elide != Qt::ElideNone) {
    const QFontMetrics fm(font());
    QStringList lines = t.split(QLatin1Char('\n'));
    for (QString& line : lines)
      line = fm.elidedText(line, elide, width(), flags & Qt::TextShowMnemonic);
    t = lines.join(QLatin1Char('\n'));
  }
  p.drawText(contentsRect(), flags, t);
}
