#include "FooButton.h"

#include "ControlArt.h"
#include "ThemeColours.h"

#include <QAccessible>
#include <QHash>
#include <QList>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

using namespace ControlArt;

namespace {

// Group name -> members. Membership is by name; a group acts only within
// the top-level window of the button that is checked.
QHash<QString, QList<FooButton*>>& Groups() {
  static QHash<QString, QList<FooButton*>> groups;
  return groups;
}

void LeaveGroup(FooButton* button, const QString& name) {
  if (name.isEmpty()) return;
  auto it = Groups().find(name);
  if (it == Groups().end()) return;
  it->removeAll(button);
  if (it->isEmpty()) Groups().erase(it);
}

// SM_CXSIZE of Windows at 96 dpi.
constexpr int kCxSize = 18;

// One rectangle of a vertical gradient, row by row (GradientFill).
void VerticalGradient(QPainter& p, const QRect& r, const QColor& from, const QColor& to) {
  const int n = r.height();
  for (int i = 0; i < n; ++i) {
    const double t = n > 1 ? double(i) / (n - 1) : 0.0;
    const QColor c(qRound(from.red() + (to.red() - from.red()) * t),
                   qRound(from.green() + (to.green() - from.green()) * t),
                   qRound(from.blue() + (to.blue() - from.blue()) * t));
    p.fillRect(QRect(r.left(), r.top() + i, r.width(), 1), c);
  }
}

}  // namespace

FooButton::FooButton(QWidget* parent) : QPushButton(parent) { Init(); }

FooButton::FooButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { Init(); }

void FooButton::Init() {
  setAutoDefault(false);
  // Connected first, so the state is settled before any user of clicked().
  connect(this, &QAbstractButton::clicked, this, &FooButton::OnClicked);
}

FooButton::~FooButton() { LeaveGroup(this, m_strGroup); }

void FooButton::SetType(int type) {
  m_nType = type;
  if (type != 7 && type != 8) m_bChecked = false;
  if (!IsHotType(type)) m_bTracking = false;
  if (type == Hyperlink)
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
  setFocusPolicy(type == Static ? Qt::NoFocus : Qt::StrongFocus);
  update();
}

void FooButton::SetTextStyle(int style) {
  m_nTextStyle = style;
  update();
}

void FooButton::SetFocusStyle(int style) {
  m_nFocusStyle = style;
  update();
}

void FooButton::SetTextColor(const QColor& colour) {
  m_textColor = colour;
  update();
}

void FooButton::SetBitmap(int id, const QColor& transparent) {
  m_nBitmapId = id;
  m_bitmap = KeyedPixmap(LoadBitmap(id), transparent);
  update();
}

void FooButton::SetBitmapImage(const QImage& image, const QColor& transparent) {
  m_nBitmapId = 0;
  m_bitmap = KeyedPixmap(image, transparent);
  update();
}

void FooButton::SetGradient(bool on) {
  m_bGradient = on;
  update();
}

void FooButton::Check(bool checked) {
  if (!IsCheckType(m_nType)) return;
  SetCheckedState(checked);
  if (checked && !m_strGroup.isEmpty()) {
    const QList<FooButton*> members = Groups().value(m_strGroup);
    for (FooButton* other : members) {
      if (other == this || !other->m_bChecked || other->window() != window()) continue;
      other->SetCheckedState(false);
    }
  }
}

void FooButton::SetCheckedState(bool checked) {
  const bool changed = m_bChecked != checked;
  m_bChecked = checked;
  update();
  if (!changed) return;
  // A screen reader says which tab is selected now, or that a box is ticked.
  QAccessible::State change;
  change.checked = true;
  change.selected = !m_strGroup.isEmpty();
  QAccessibleStateChangeEvent event(this, change);
  QAccessible::updateAccessibility(&event);
}

bool FooButton::SetGroup(const QString& name) {
  if (name.isEmpty()) return false;
  LeaveGroup(this, m_strGroup);
  m_strGroup = name;
  QList<FooButton*>& members = Groups()[name];
  if (!members.contains(this)) members.append(this);
  return true;
}

void FooButton::OnClicked() {
  if (!IsCheckType(m_nType)) return;
  Check(m_nType == RadioButton || !m_strGroup.isEmpty() ? true : !m_bChecked);
}

void FooButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  if (IsHotType(m_nType) && !m_bTracking) {
    m_bTracking = true;
    update();
  }
}

void FooButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (IsHotType(m_nType)) {
    m_bTracking = false;
    m_bArrowPressed = false;
    update();
  }
}

void FooButton::mousePressEvent(QMouseEvent* event) {
  if (IsSplitType(m_nType) && event->button() == Qt::LeftButton)
    m_bArrowPressed = event->position().toPoint().x() >= width() - kArrowHitWidth;
  QPushButton::mousePressEvent(event);
}

void FooButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool onArrow = m_bArrowPressed && event->button() == Qt::LeftButton && isDown() &&
                       rect().contains(event->position().toPoint());
  QPushButton::mouseReleaseEvent(event);  // Check() and clicked() run in here
  if (event->button() == Qt::LeftButton) {
    m_bArrowPressed = false;
    update();
  }
  if (onArrow) emit arrowClicked();
}

void FooButton::focusInEvent(QFocusEvent* event) {
  QPushButton::focusInEvent(event);
  update();
}

void FooButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  update();
}

QRect FooButton::BitmapRect() const {
  if (m_bitmap.isNull()) return {};
  const QSize size = m_bitmap.deviceIndependentSize().toSize();
  const bool atLeft = !text().isEmpty() || m_nType == CheckBox || m_nType == RadioButton;
  const int x = atLeft ? 5 : (width() - size.width()) / 2;
  const int y = (height() - size.height()) / 2;
  return QRect(QPoint(x, y), size);
}

QRect FooButton::TextArea() const {
  int left = 0;
  const QRect bitmap = BitmapRect();
  const bool centred = !bitmap.isNull() && text().isEmpty() && m_nType != CheckBox && m_nType != RadioButton;
  if (!bitmap.isNull()) left = bitmap.left() + bitmap.width() + (centred ? 0 : 5);
  if (m_nType == CheckBox || m_nType == RadioButton) {
    // The check frame follows the bitmap (5 pixels gap); the text follows it.
    const int boxLeft = (bitmap.isNull() ? 0 : bitmap.left() + bitmap.width()) + 5;
    left = boxLeft + (kCxSize - 5) + 5;
  }
  int right = width();
  if (IsDropDownType(m_nType)) right -= 6;
  if (IsSplitType(m_nType)) right -= 12;
  return QRect(left, 0, std::max(0, right - left), height());
}

void FooButton::DrawFrame(QPainter& p) {
  const QPalette& pal = palette();
  const QRect r = rect();
  const bool pressed = isDown();
  if (m_nType == Static || m_nType == CheckBox || m_nType == RadioButton || m_nType == Hyperlink) return;
  if (IsHotType(m_nType) && !m_bChecked && !m_bGradient) {
    if (m_bTracking) {
      p.fillRect(r, BtnFace(pal));
      Draw3dRect(p, r, pressed ? BtnShadow(pal) : BtnHighlight(pal), pressed ? BtnHighlight(pal) : BtnShadow(pal));
    }
    return;  // flat while the mouse is away
  }
  QStyleOptionButton opt;
  opt.initFrom(this);
  opt.rect = r;
  opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
  if (m_bChecked)
    opt.state |= QStyle::State_On;
  else if (pressed && !IsSplitType(m_nType))
    opt.state |= QStyle::State_Sunken;
  else
    opt.state |= QStyle::State_Raised;
  style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);

  if (m_bGradient) {
    const QRect face(QPoint(1, 1), QPoint(r.right() - 2, r.bottom() - 2));
    const auto [top, bottom] = GradientColours();
    VerticalGradient(p, face, top, bottom);
  }
  if (IsSplitType(m_nType) && m_bArrowPressed) {
    QStyleOptionButton arrow = opt;
    arrow.rect = QRect(r.right() - 13, 0, 14, r.height());
    arrow.state &= ~(QStyle::State_Raised | QStyle::State_Sunken);
    arrow.state |= QStyle::State_On;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &arrow, &p, this);
  }
}

std::pair<QColor, QColor> FooButton::GradientColours() const {
  const QPalette& pal = palette();
  if (!ThemeColours::IsDark(pal))
    return {QColor(255, 255, 255), m_bTracking ? QColor(220, 220, 220) : QColor(200, 200, 216)};
  // A dark theme's own button, a little lighter at the top; the checked
  // tab and the one under the mouse lean towards the highlight.
  const QColor face = BtnFace(pal);
  const QColor lean = m_bChecked || m_bTracking ? pal.color(QPalette::Highlight) : BtnHighlight(pal);
  const auto mix = [](const QColor& a, const QColor& b, double t) {
    return QColor(qRound(a.red() + (b.red() - a.red()) * t), qRound(a.green() + (b.green() - a.green()) * t),
                  qRound(a.blue() + (b.blue() - a.blue()) * t));
  };
  return {mix(face, lean, 0.35), face};
}

QColor FooButton::TextColour() const {
  const QPalette& pal = palette();
  const QColor wanted = m_textColor.isValid() ? m_textColor : BtnText(pal);
  if (!m_bGradient) return ThemeColours::Readable(wanted, BtnFace(pal), pal);
  // Read against the end of the face it contrasts least with.
  const auto [top, bottom] = GradientColours();
  const QColor worse = ThemeColours::Contrast(wanted, top) < ThemeColours::Contrast(wanted, bottom) ? top : bottom;
  return ThemeColours::Readable(wanted, worse, pal);
}

void FooButton::DrawTextPart(QPainter& p, const QRect& area, bool shifted) {
  const QPalette& pal = palette();
  QString label = text();
  if (m_nTextStyle == NoText || label.isEmpty()) return;
  QFont font = p.font();
  if (m_nType == Hyperlink) font.setUnderline(true);
  p.setFont(font);
  const QFontMetrics fm(font);
  QRect r = area;
  if (shifted) r.translate(1, 1);

  int flags = Qt::TextShowMnemonic;
  QRect place = r;
  if (m_nTextStyle == MultiLine) {
    // Word wrap with a word ellipsis: a word wider than the area is cut.
    QStringList words = label.split(QLatin1Char(' '));
    for (QString& w : words)
      if (fm.horizontalAdvance(w) > r.width()) w = fm.elidedText(w, Qt::ElideRight, r.width(), Qt::TextShowMnemonic);
    label = words.join(QLatin1Char(' '));
    flags |= Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;
    const QRect measured = fm.boundingRect(r, flags, label);
    const int h = std::min(measured.height(), r.height());
    place = QRect(r.left(), r.top() + (r.height() - h) / 2, r.width(), h);
  } else {
    label = fm.elidedText(label, Qt::ElideRight, r.width(), Qt::TextShowMnemonic);
    flags |= Qt::TextSingleLine | Qt::AlignVCenter | (m_nTextStyle == SingleLineLeft ? Qt::AlignLeft : Qt::AlignHCenter);
  }
  p.save();
  p.setClipRect(r);
  if (!isEnabled()) {
    // The light look's embossed grey; on a dark palette a plain grey that
    // still reads (a light emboss there only blurs it).
    if (!ThemeColours::IsDark(pal)) {
      p.setPen(BtnHighlight(pal));
      p.drawText(place.translated(1, 1), flags, label);
    }
    p.setPen(ThemeColours::ReadableDisabled(GrayText(pal), BtnFace(pal), pal));
  } else if (m_nType == Hyperlink) {
    p.setPen(ThemeColours::Readable(QColor(0, 0, 224), BtnFace(pal), pal));
  } else {
    p.setPen(TextColour());
  }
  p.drawText(place, flags, label);
  p.restore();
}

void FooButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QRect r = rect();
  const bool pressed = isDown();
  const bool enabled = isEnabled();
  const bool noOffsetType = m_nType == Static || m_nType == CheckBox || m_nType == RadioButton || m_nType == Hyperlink;
  const bool shifted = pressed && !noOffsetType && !m_bArrowPressed;

  p.fillRect(r, BtnFace(pal));  // WM_ERASEBKGND

  // 1. Frame.
  DrawFrame(p);

  // 2. Bitmap.
  const QRect bitmap = BitmapRect();
  if (!bitmap.isNull()) {
    const QPoint at = bitmap.topLeft() + (shifted ? QPoint(1, 1) : QPoint());
    if (enabled)
      p.drawPixmap(at, m_bitmap);
    else
      DrawEmbossed(p, at, m_bitmap, pal);
  }

  // 3. Check-box or radio frame.
  if (m_nType == CheckBox || m_nType == RadioButton) {
    const int side = kCxSize - 5;
    const int left = (bitmap.isNull() ? 0 : bitmap.left() + bitmap.width()) + 5;
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = QRect(left, (r.height() - side) / 2, side, side);
    opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    opt.state |= m_bChecked ? QStyle::State_On : QStyle::State_Off;
    if (pressed) opt.state |= QStyle::State_Sunken;
    style()->drawPrimitive(m_nType == CheckBox ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton, &opt,
                           &p, this);
  }

  // 4. Arrow, and the separator of a split button.
  if (m_nType >= 3 && m_nType <= 6) {
    const QColor pen = m_nType == Hyperlink ? HotLight(pal) : !enabled ? GrayText(pal) : BtnText(pal);
    const QPoint top = QPoint(r.width() - 10, r.height() - 8) + (pressed ? QPoint(1, 1) : QPoint());
    p.fillRect(QRect(top.x(), top.y(), 5, 1), pen);
    p.fillRect(QRect(top.x() + 1, top.y() + 1, 3, 1), pen);
    p.fillRect(QRect(top.x() + 2, top.y() + 2, 1, 1), pen);
    if (IsSplitType(m_nType) && !m_bArrowPressed) {
      const int height = r.height() - 6;
      p.fillRect(QRect(r.width() - 15, 3, 1, height), BtnShadow(pal));
      p.fillRect(QRect(r.width() - 14, 3, 1, height), BtnHighlight(pal));
    }
  }

  // 5. Text.
  const QRect area = TextArea();
  DrawTextPart(p, area, shifted);

  // 6. Focus rectangle.
  if ((m_nFocusStyle == FocusRect || m_nFocusStyle == FocusRectAndDefault) && hasFocus() && m_nType != Static &&
      !IsHotType(m_nType)) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = area.adjusted(4, 4, -4, -4);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
    focus.backgroundColor = BtnFace(pal);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
  }

  // 7. Default frame.
  if (m_nFocusStyle == FocusRectAndDefault && hasFocus() && isDefault() &&
      (m_nType == PushButton || m_nType == PushButtonDropDown || m_nType == SplitPushButton)) {
    Draw3dRect(p, r, DkShadow(pal), DkShadow(pal));
    if (!pressed) {
      const QRect inner = r.adjusted(1, 1, -1, -1);
      Draw3dRect(p, inner, BtnHighlight(pal), DkShadow(pal));
      Draw3dRect(p, inner.adjusted(1, 1, -1, -1), QColor(), BtnShadow(pal));
    }
  }
}
