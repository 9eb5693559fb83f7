#include "MyHyperLink.h"

#include "ControlArt.h"
#include "LinkOpener.h"

#include <QMouseEvent>

CMyHyperLink::CMyHyperLink(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAutoFillBackground(false);  // nothing is erased behind the text
  setCursor(Qt::ArrowCursor);
  Underline();
  ApplyColour();
}

CMyHyperLink::~CMyHyperLink() = default;

void CMyHyperLink::Underline() {
  QFont f = font();
  if (f.underline()) return;
  f.setUnderline(true);
  m_bInFontChange = true;
  setFont(f);
  m_bInFontChange = false;
}

void CMyHyperLink::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange && !m_bInFontChange) Underline();
}

void CMyHyperLink::SetUrl(const QString& url) {
  m_bLinkCursor = !url.isEmpty();
  setCursor(m_bLinkCursor ? ControlArt::LinkCursor() : QCursor(Qt::ArrowCursor));
  m_strUrl = url;
  update();
}

void CMyHyperLink::SetLink(const QString& text) {
  m_strText = text;
  SetUrl(text);
  setToolTip(PlainToolTip(text));
  setText(DisplayedField(text));
}

void CMyHyperLink::SetMailLink(const QString& text) {
  m_strText = text;
  if (!text.isEmpty()) SetUrl(QStringLiteral("mailto:") + text);
  setText(DisplayedField(text));
}

void CMyHyperLink::SetColours(const QColor& normal, const QColor& hover, const QColor& visited) {
  m_normal = normal;
  m_hover = hover;
  m_visited = visited;
  ApplyColour();
}

QColor CMyHyperLink::CurrentColour() const { return m_bVisited ? m_visited : m_bHover ? m_hover : m_normal; }

void CMyHyperLink::ApplyColour() {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, CurrentColour());
  setPalette(pal);
  update();
}

void CMyHyperLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (!m_bHover) {
    m_bHover = true;
    ApplyColour();
  }
}

void CMyHyperLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (m_bHover) {
    m_bHover = false;
    ApplyColour();
  }
}

void CMyHyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bPressed = true;
  QLabel::mousePressEvent(event);
}

void CMyHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  const bool click = m_bPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) m_bPressed = false;
  if (click) OnClicked();
}

void CMyHyperLink::OnClicked() {
  CLinkOpener::Open(m_strUrl);  // refused or failed: nothing is reported
  m_bVisited = true;
  ApplyColour();
  emit linkClicked();
}
