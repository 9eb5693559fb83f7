#include "ChatRecorder.h"

#include "ChatList.h"
#include "ConsoleSession.h"
#include "OperatorChatSession.h"
#include "VisitorChatSession.h"
#include "VisitorDetails.h"
#include "VisitorTableModel.h"

namespace {

ArchiveLine Archived(const TranscriptLine& line, const QString& ownLoginId) {
  ArchiveLine archived;
  archived.at = line.at;
  archived.text = line.text;
  switch (line.speaker) {
    case TranscriptLine::Speaker::Own:
      archived.speaker = ArchiveLine::Speaker::Own;
      archived.speakerName = ownLoginId;
      break;
    case TranscriptLine::Speaker::Other:
      archived.speaker = ArchiveLine::Speaker::Other;
      archived.speakerName = line.text.section(u':', 0, 0).trimmed();
      break;
    case TranscriptLine::Speaker::Notice:
      archived.speaker = ArchiveLine::Speaker::Notice;
      break;
  }
  return archived;
}

QString HowItEnded(CChatSession::EndReason reason, const QString& other) {
  switch (reason) {
    case CChatSession::EndReason::VisitorLeft:
      return QStringLiteral("left by the visitor");
    case CChatSession::EndReason::EndedAtService:
      return other.isEmpty() ? QStringLiteral("ended at the service") : QStringLiteral("ended by %1").arg(other);
    case CChatSession::EndReason::EndedByOperator:
      return QStringLiteral("closed here");
    case CChatSession::EndReason::Transferred:
      return QStringLiteral("transferred to %1").arg(other);
  }
  return QString();
}

}  // namespace

CChatRecorder::CChatRecorder(CChatList& chats, CChatArchive& archive, bool bOn, QObject* parent)
    : QObject(parent), m_archive(archive), m_bOn(bOn) {
  connect(&chats, &CChatList::ChatAdded, this, &CChatRecorder::Record);
}

ArchiveChat CChatRecorder::Facts(const CChatSession& session) {
  ArchiveChat chat;
  chat.chatId = session.Id();
  chat.operatorChat = session.Kind() == ChatKind::Operator;
  chat.site = session.SiteId();
  chat.operatorName = session.OwnLoginId();
  chat.started = QDateTime::currentDateTime();
  if (const auto* visitor = qobject_cast<const CVisitorChatSession*>(&session)) {
    chat.visitorName = visitor->VisitorName();
    chat.visitorEmail = visitor->VisitorEmail();
    chat.visitorAddress = visitor->VisitorIp();
    // The page the visitor was on when the chat opened, from the table's row.
    if (const CConsoleSession* console = visitor->Console())
      if (const CSiteVisitor* row = console->Visitors().Find(session.Id())) chat.page = row->m_line.page;
  } else if (const auto* colleague = qobject_cast<const COperatorChatSession*>(&session)) {
    chat.visitorName = colleague->OtherOperator();
  }
  return chat;
}

void CChatRecorder::Record(CChatSession* session) {
  if (!m_bOn) return;
  const ArchiveChat facts = Facts(*session);
  const CChatArchive::ChatHandle chat = m_archive.BeginChat(facts);
  const QString ownLoginId = session->OwnLoginId();
  const auto addLines = [this, chat, ownLoginId](const QList<TranscriptLine>& lines) {
    if (!m_bOn) return;
    QList<ArchiveLine> archived;
    archived.reserve(lines.size());
    for (const TranscriptLine& line : lines) archived << Archived(line, ownLoginId);
    m_archive.AddLines(chat, archived);
  };
  if (!session->Lines().isEmpty()) addLines(session->Lines());
  // Each connection goes with the session that sends it.
  connect(session, &CChatSession::LinesArrived, this, addLines);
  connect(session, &CChatSession::Ended, this, [this, chat](CChatSession::EndReason reason, const QString& other) {
    if (m_bOn) m_archive.EndChat(chat, QDateTime::currentDateTime(), HowItEnded(reason, other));
  });
  auto* visitor = qobject_cast<CVisitorChatSession*>(session);
  if (!visitor) return;
  // Name, e-mail and page arrive after the chat opens; `known` keeps them
  // together for the update.
  auto known = std::make_shared<ArchiveChat>(facts);
  connect(visitor, &CVisitorChatSession::VisitorNamed, this, [this, chat, visitor, known] {
    known->visitorName = visitor->VisitorName();
    known->visitorEmail = visitor->VisitorEmail();
    if (m_bOn) m_archive.UpdateChat(chat, *known);
  });
  connect(visitor, &CVisitorChatSession::DetailsArrived, this, [this, chat, known](const VisitorDetails& details) {
    known->page = details.fields[VisitorDetails::Url];
    if (m_bOn) m_archive.UpdateChat(chat, *known);
  });
}
