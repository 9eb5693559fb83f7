#include "IconButton.h"

#include "ControlArt.h"
#include "ResourceArt.h"
#include "ThemeColours.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

using namespace ControlArt;

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent) { setAutoDefault(false); }

CIconButton::CIconButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { setAutoDefault(false); }

CIconButton::~CIconButton() = default;

void CIconButton::SetIconId(int id) {
  m_icon = id != 0 ? ResourceArt::Icon(QStringLiteral(":/icons/%1.png").arg(id)) : QIcon();
  update();
}

void CIconButton::SetIconImage(const QIcon& icon) {
  m_icon = icon;
  update();
}

void CIconButton::SetIconSize(int cx, int cy) {
  m_cx = cx;
  m_cy = cy;
  update();
}

void CIconButton::SetTextColor(const QColor& colour) {
  m_textColor = colour;
  update();
}

CIconButton::Layout CIconButton::Compute() const {
  Layout l;
  const QString raw = text();
  const int amp = raw.indexOf(QLatin1Char('&'));
  l.text = raw;
  if (amp >= 0) {
    // "&&" is a literal ampersand: no underline.
    if (amp + 1 < raw.size() && raw.at(amp + 1) != QLatin1Char('&')) l.mnemonic = amp;
    l.text.remove(amp, 1);
  }
  const QFontMetrics fm(font());
  const int tw = fm.horizontalAdvance(l.text);
  const int th = fm.height();
  const int right = width();
  const int bottom = height();
  const bool hasIcon = !m_icon.isNull();
  const int cx = m_cx, cy = m_cy;
  const QSize drawn(cx ? cx : 32, cy ? cy : 32);
  if (l.text.isEmpty()) {
    if (hasIcon) l.icon = QRect(QPoint((right - cx) / 2, (bottom - cy) / 2), drawn);
    return l;
  }
  int tx;
  if (!hasIcon) {
    tx = right / 2 - tw / 2;
  } else {
    l.icon = QRect(QPoint(6, (bottom - cy + 1) / 2), drawn);
    tx = (right - cx) / 2 + cx - tw / 2;
  }
  l.text_ = QRect(tx, bottom / 2 - th / 2, tw, th);
  return l;
}

QRect CIconButton::TextRect() const { return Compute().text_; }

QRect CIconButton::MnemonicRect() const {
  const Layout l = Compute();
  if (l.mnemonic < 0 || l.mnemonic >= l.text.size()) return {};
  const QFontMetrics fm(font());
  const int before = fm.horizontalAdvance(l.text.left(l.mnemonic));
  const int width = fm.horizontalAdvance(l.text.mid(l.mnemonic, 1));
  // At the text's bottom: the last row of the text's rectangle.
  return QRect(l.text_.left() + before, l.text_.bottom(), width, 1);
}

void CIconButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QRect r = rect();
  const bool pressed = isDown();
  const QPoint offset = pressed ? QPoint(1, 1) : QPoint();

  // 1. Face and push frame.
  p.fillRect(r, BtnFace(pal));
  QStyleOptionButton opt;
  opt.initFrom(this);
  opt.rect = r;
  opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
  opt.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
  style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);

  // 2, 3. Mnemonic and layout.
  const Layout l = Compute();
  const QColor textColour = ThemeColours::Readable(m_textColor.isValid() ? m_textColor : BtnText(pal), BtnFace(pal), pal);

  // 4. Text and icon.
  const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  if (isEnabled()) {
    if (!l.text.isEmpty()) {
      p.setPen(textColour);
      p.drawText(l.text_.translated(offset), textFlags, l.text);
    }
    if (!l.icon.isNull())
      p.drawPixmap(l.icon.translated(offset), m_icon.pixmap(l.icon.size(), devicePixelRatioF(), QIcon::Normal));
  } else {
    if (!l.text.isEmpty()) {
      p.setPen(BtnHighlight(pal));
      p.drawText(l.text_.translated(offset + QPoint(1, 1)), textFlags, l.text);
      p.setPen(BtnShadow(pal));
      p.drawText(l.text_.translated(offset), textFlags, l.text);
    }
    if (!l.icon.isNull())
      p.drawPixmap(l.icon.translated(offset), m_icon.pixmap(l.icon.size(), devicePixelRatioF(), QIcon::Disabled));
  }

  // 5. Focus.
  if (hasFocus()) {
    Draw3dRect(p, r, DkShadow(pal), DkShadow(pal));
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = r.adjusted(4, 4, -4, -4);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
    focus.backgroundColor = BtnFace(pal);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
  }

  // 6. Pressed: a sunken border.
  if (pressed) Draw3dRect(p, r, DkShadow(pal), BtnHighlight(pal));

  // 7. Mnemonic underline.
  if (isEnabled()) {
    const QRect line = MnemonicRect();
    if (!line.isNull()) p.fillRect(line.translated(offset), textColour);
  }
}
