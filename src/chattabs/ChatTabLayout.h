#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which chats were in which tabbed window, in tab order, kept across a
// log-out and a restart in "Software\TVR\Client\ChatTabs" (value
// "Layout"). A chat is named by its kind and id ("v:1234", "o:77"); the
// stored text is one line per window, its chats separated by spaces, each
// id percent-encoded. A damaged text reads as no layout: chats then open
// where a new chat opens.
class CChatTabLayout {
 public:
  static const QString kKey;
  static const QString kValue;

  struct Place {
    int window = -1;  // -1: the chat is not in the layout
    int order = -1;   // its place among that window's chats
  };

  // The windows' chats, the first window first.
  QList<QStringList> windows;

  static QString ChatKey(bool bOperatorChat, const QString& chatId);
  Place Find(const QString& chatKey) const;

  QString Text() const;
  static CChatTabLayout FromText(const QString& text);

  static CChatTabLayout Load();
  void Save() const;
  // The name the window placement keeps the nth window's geometry under,
  // one per set of screens: a window that was on the second monitor at
  // the desk comes back there, and on the laptop's own screen alone it
  // keeps the place it had there.
  static QString GeometryName(int window);
};
