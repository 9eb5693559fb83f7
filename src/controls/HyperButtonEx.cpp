#include "HyperButtonEx.h"

#include "ControlArt.h"
#include "ThemeColours.h"

#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using namespace ControlArt;

CHyperButtonEx::CHyperButtonEx(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);  // IDC_HAND
  m_hoverTimer.setInterval(kHoverCheckMs);
  connect(&m_hoverTimer, &QTimer::timeout, this, &CHyperButtonEx::CheckHover);
}

CHyperButtonEx::~CHyperButtonEx() = default;

void CHyperButtonEx::SetBitmaps(int id, bool transparent, const QColor& key) {
  SetBitmapImage(LoadBitmap(id), transparent, key);
}

void CHyperButtonEx::SetBitmapImage(const QImage& image, bool transparent, const QColor& key) {
  m_bitmap = image.isNull() ? QPixmap() : transparent ? KeyedPixmap(image, key) : QPixmap::fromImage(image);
  update();
}

void CHyperButtonEx::SetTooltip(const QString& text, const QColor& background, const QColor& textColour) {
  m_strTip = text;
  m_tipBackground = background;
  m_tipText = textColour;
  if (text.isEmpty()) QToolTip::hideText();
}

void CHyperButtonEx::SetBackgroundColors(const QColor& normal, const QColor& hover) {
  m_bgColor = normal;
  m_hoverBgColor = hover;
  update();
}

QString CHyperButtonEx::TooltipMarkup() const {
  if (m_strTip.isEmpty()) return {};
  QString style = QStringLiteral("white-space:pre;");
  if (m_tipText.isValid()) style += QStringLiteral("color:%1;").arg(m_tipText.name());
  if (m_tipBackground.isValid()) style += QStringLiteral("background-color:%1;").arg(m_tipBackground.name());
  return QStringLiteral("<span style=\"%1\">%2</span>").arg(style, m_strTip.toHtmlEscaped());
}

bool CHyperButtonEx::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (isEnabled() && !m_strTip.isEmpty())
      QToolTip::showText(help->globalPos(), TooltipMarkup(), this, rect());
    else
      QToolTip::hideText();
    return true;
  }
  return QPushButton::event(event);
}

void CHyperButtonEx::StartHover() {
  if (m_bButtonDown || m_bHover) return;
  m_bHover = true;
  m_hoverTimer.start();
  update();
}

void CHyperButtonEx::StopHover() {
  m_hoverTimer.stop();
  if (!m_bHover) return;
  m_bHover = false;
  update();
}

// The fallback: the cursor is no longer over the button, whatever events
// did or did not arrive.
void CHyperButtonEx::CheckHover() {
  if (m_bButtonDown) return;
  if (!rect().contains(mapFromGlobal(QCursor::pos()))) StopHover();
}

void CHyperButtonEx::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  StartHover();
}

void CHyperButtonEx::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (!m_bButtonDown) StopHover();
}

void CHyperButtonEx::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  if (!m_bButtonDown && rect().contains(event->position().toPoint())) StartHover();
}

void CHyperButtonEx::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bButtonDown = true;
  QPushButton::mousePressEvent(event);
}

void CHyperButtonEx::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bButtonDown = false;
  QPushButton::mouseReleaseEvent(event);
  if (!rect().contains(event->position().toPoint())) StopHover();
}

void CHyperButtonEx::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    if (isEnabled())
      setCursor(Qt::PointingHandCursor);
    else
      unsetCursor();
  }
}

void CHyperButtonEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QRect r = rect();
  // WM_ERASEBKGND: the parent's background colour.
  const QWidget* parent = parentWidget();
  p.fillRect(r, parent ? parent->palette().color(parent->backgroundRole()) : BtnFace(pal));

  // A flat push frame: one line around (a grey one when disabled); the
  // background shows between it and the face.
  const QColor frame = isEnabled() ? BtnShadow(pal) : GrayText(pal);
  Draw3dRect(p, r, frame, frame);
  const QRect inner = r.adjusted(2, 2, -2, -2);  // SM_CXEDGE, SM_CYEDGE
  // The face colours are the light look's; a dark palette gets its own
  // button colour and text that reads on it.
  const QColor face = ThemeColours::Surface(m_bHover ? m_hoverBgColor : m_bgColor, BtnFace(pal), pal);
  p.fillRect(inner, face);

  if (!text().isEmpty()) {
    p.setPen(isEnabled() ? ThemeColours::Readable(m_bHover ? m_hoverTextColor : m_textColor, face, pal)
                         : GrayText(pal));
    p.drawText(inner, Qt::AlignCenter | Qt::TextShowMnemonic, text());
  }
  if (!m_bitmap.isNull()) {
    const QSize size = m_bitmap.deviceIndependentSize().toSize();
    const QPoint at(inner.left() + (inner.width() - size.width()) / 2,
                    inner.top() + (inner.height() - size.height()) / 2);
    if (isEnabled()) {
      p.drawPixmap(at, m_bitmap);
    } else {
      p.fillRect(QRect(at, size), BtnFace(pal));
      DrawEmbossed(p, at, m_bitmap, pal);
    }
  }
}
