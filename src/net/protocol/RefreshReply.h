#pragma once

#include "OperatorEntry.h"
#include "ServiceSound.h"
#include "SiteVisitor.h"

#include <QList>
#include <QString>

// The console refresh reply cut into its parts: seven blocks of visitor
// lines, the total, a sound name, a notification and the operators.
// Lines without 13 fields and operator entries without 4 sub-fields are
// left out, as the console skips them.
struct RefreshReply {
  static constexpr int kBlockCount = 7;

  bool wellFormed = false;     // exactly seven blocks
  bool noUsersOnline = false;  // block 0 is "No Users Online"
  // The table's records of the visitor lines, made where the reply is
  // parsed, so that the user-interface thread need not. The lines
  // themselves are their m_line: a second list of them cost a fifth of the
  // parse.
  QList<CSiteVisitor> rows;
  int chatCount = 0;           // lines whose status begins with "Chat"
  int newVisitorCount = 0;     // lines of visitors who have only just come
  int total = 0;               // block 1; a text that is no number gives 0
  ServiceSound sound = ServiceSound::None;  // block 3
  QString notice;              // block 4
  QList<OperatorEntry> operators;
  bool anyChatRequest = false;
  bool anyOperatorRequest = false;

  // previous: the rows of the reply before, if any. The rows parsed are
  // the same with or without them; with them, the fields that did not
  // change share the strings of the rows before instead of copies.
  static RefreshReply Parse(const QString& text, const QList<CSiteVisitor>& previous = {});
};
