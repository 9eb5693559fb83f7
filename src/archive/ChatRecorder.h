#pragma once

#include "ChatArchive.h"

#include <QObject>

class CChatList;
class CChatSession;

// Writes the chats of this console into the archive as they happen: each
// chat's facts when it opens, each line as it is shown, and how it ended.
// While recording is off nothing is written; a chat that opened while it
// was off stays out even when it is turned on again.
class CChatRecorder : public QObject {
  Q_OBJECT

 public:
  CChatRecorder(CChatList& chats, CChatArchive& archive, bool bOn, QObject* parent = nullptr);

  bool IsOn() const { return m_bOn; }
  void SetOn(bool bOn) { m_bOn = bOn; }

 private:
  void Record(CChatSession* session);
  static ArchiveChat Facts(const CChatSession& session);

  CChatArchive& m_archive;
  bool m_bOn;
};
