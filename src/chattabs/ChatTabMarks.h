#pragma once

#include <QString>

// What a chat's tab tells at a glance, kept from the chat's events: the
// other side's lines the operator has not seen, whether the other side is
// typing, whether it waits for the operator's answer (its line is the last
// one), and how the chat ended. The tab shows it as a label, with a sign
// for each mark so that none depends on colour alone, and a screen reader
// reads it as a sentence.
class CChatTabMarks {
 public:
  enum class End { Live, Ended, Transferred };

  // A line of the other side's; `seen` when its tab is shown in the
  // window that has the keyboard.
  void OtherLine(bool seen);
  // The operator answered: nothing waits for him now.
  void OwnLine() { m_bWaiting = false; }
  void SetTyping(bool typing) { m_bTyping = typing; }
  // The operator looked at the tab: its lines count as read.
  void Seen() { m_nUnread = 0; }
  void SetEnded(End end, const QString& other = QString());

  int Unread() const { return m_nUnread; }
  bool IsTyping() const { return m_bTyping; }
  // An answer is wanted: the other side wrote last and the chat is live.
  bool IsWaiting() const { return m_bWaiting && m_end == End::Live; }
  End Ending() const { return m_end; }

  // "● Zoe (2) ✎" and the like: the waiting sign first, then the name, the
  // unread count, the typing sign and how the chat ended.
  QString Label(const QString& name) const;
  // "Zoe, waiting for your answer, 2 unread lines, typing".
  QString AccessibleName(const QString& name) const;

  static const QString kWaitingSign;
  static const QString kTypingSign;

 private:
  int m_nUnread = 0;
  bool m_bTyping = false;
  bool m_bWaiting = false;
  End m_end = End::Live;
  QString m_strOther;  // the operator a transferred chat went to
};
