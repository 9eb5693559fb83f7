#include "ChatTabMarks.h"

#include <QStringList>

const QString CChatTabMarks::kWaitingSign = QStringLiteral("\u25CF");  // ●
const QString CChatTabMarks::kTypingSign = QStringLiteral("\u270E");   // ✎

void CChatTabMarks::OtherLine(bool seen) {
  if (!seen) ++m_nUnread;
  m_bWaiting = true;
}

void CChatTabMarks::SetEnded(End end, const QString& other) {
  m_end = end;
  m_strOther = other;
  // Nobody types in a chat that is over.
  if (end != End::Live) m_bTyping = false;
}

QString CChatTabMarks::Label(const QString& name) const {
  QString label = IsWaiting() ? kWaitingSign + u' ' + name : name;
  if (m_nUnread > 0) label += QStringLiteral(" (%1)").arg(m_nUnread);
  if (m_bTyping) label += u' ' + kTypingSign;
  if (m_end == End::Ended) label += QStringLiteral(" (ended)");
  if (m_end == End::Transferred)
    label += m_strOther.isEmpty() ? QStringLiteral(" (transferred)") : QStringLiteral(" (to %1)").arg(m_strOther);
  return label;
}

QString CChatTabMarks::AccessibleName(const QString& name) const {
  QStringList parts{name};
  if (IsWaiting()) parts << QStringLiteral("waiting for your answer");
  if (m_nUnread == 1) parts << QStringLiteral("1 unread line");
  if (m_nUnread > 1) parts << QStringLiteral("%1 unread lines").arg(m_nUnread);
  if (m_bTyping) parts << QStringLiteral("typing");
  if (m_end == End::Ended) parts << QStringLiteral("chat ended");
  if (m_end == End::Transferred)
    parts << (m_strOther.isEmpty() ? QStringLiteral("transferred") : QStringLiteral("transferred to %1").arg(m_strOther));
  return parts.join(QStringLiteral(", "));
}
