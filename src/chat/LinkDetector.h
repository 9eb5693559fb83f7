#pragma once

#include <QList>
#include <QString>

// Finds the web and mail addresses in a chat line, the way the transcript
// shows them as links: text starting with http://, https://, ftp://,
// mailto: or www. up to the next blank, without trailing punctuation.
struct TextLink {
  qsizetype start = 0;
  qsizetype length = 0;
  bool operator==(const TextLink& o) const { return start == o.start && length == o.length; }
};

QList<TextLink> FindLinks(const QString& text);
