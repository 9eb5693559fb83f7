#include "MyHyperLink.h"

#include "ControlArt.h"
#include "LinkOpener.h"
#include "ThemeColours.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>

namespace {

QSet<QString>& VisitedAddresses() {
  static QSet<QString> visited;
  return visited;
}

}  // namespace

CMyHyperLink::CMyHyperLink(QWidget* parent) : CElidedLabel(parent) {
  setFocusPolicy(Qt::StrongFocus);  // reached by Tab; Enter or Space opens it
  setAutoFillBackground(false);  // nothing is erased behind the text
  setCursor(Qt::ArrowCursor);
  Underline();
  ThemeColours::FollowPalette(this, [this] { ApplyColour(); });
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
  CElidedLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange && !m_bInFontChange) Underline();
}

void CMyHyperLink::SetUrl(const QString& url) {
  setCursor(url.isEmpty() ? QCursor(Qt::ArrowCursor) : ControlArt::LinkCursor());
  m_strUrl = url;
  ApplyColour();  // the new address's visited state
}

void CMyHyperLink::SetLink(const QString& text) {
  m_strText = text;
  SetUrl(text);
  setToolTip(PlainToolTip(text));
  SetFullText(text);
}

void CMyHyperLink::SetMailLink(const QString& text) {
  m_strText = text;
  if (!text.isEmpty()) SetUrl(QStringLiteral("mailto:") + text);
  SetFullText(text);
}

bool CMyHyperLink::IsVisited() const { return !m_strUrl.isEmpty() && VisitedAddresses().contains(m_strUrl); }

QColor CMyHyperLink::CurrentColour() const { return IsVisited() ? m_visited : m_bHover ? m_hover : m_normal; }

void CMyHyperLink::ApplyColour() {
  // Drawn straight on the parent's background.
  ThemeColours::SetTextColour(this, CurrentColour());
  update();
}

void CMyHyperLink::enterEvent(QEnterEvent* event) {
  CElidedLabel::enterEvent(event);
  if (!m_bHover) {
    m_bHover = true;
    ApplyColour();
  }
}

void CMyHyperLink::leaveEvent(QEvent* event) {
  CElidedLabel::leaveEvent(event);
  if (m_bHover) {
    m_bHover = false;
    ApplyColour();
  }
}

void CMyHyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bPressed = true;
  CElidedLabel::mousePressEvent(event);
}

void CMyHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  CElidedLabel::mouseReleaseEvent(event);
  const bool click = m_bPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) m_bPressed = false;
  if (click) OnClicked();
}

void CMyHyperLink::OnClicked() {
  CLinkOpener::Open(m_strUrl);  // refused or failed: nothing is reported
  if (!m_strUrl.isEmpty()) VisitedAddresses().insert(m_strUrl);
  // Every link to the address shows it visited, this one included.
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* link = qobject_cast<CMyHyperLink*>(widget); link != nullptr && link->m_strUrl == m_strUrl)
      link->ApplyColour();
  emit linkClicked();
}

void CMyHyperLink::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) &&
      (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !m_strUrl.isEmpty()) {
    OnClicked();
    event->accept();
    return;
  }
  CElidedLabel::keyPressEvent(event);
}
