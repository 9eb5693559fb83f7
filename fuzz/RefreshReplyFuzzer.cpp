// The console's refresh reply: every row is one visitor line of thirteen
// fields cut where the separators are, and the counts and flags the reply
// carries agree with its rows and operators; read beside the rows of the
// reply before, it gives the same rows.

#include "FuzzInput.h"
#include "RefreshReply.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const RefreshReply reply = RefreshReply::Parse(text);
  FUZZ_CHECK(reply.total >= 0);
  if (!reply.wellFormed) {
    FUZZ_CHECK(reply.rows.isEmpty() && reply.operators.isEmpty());
    return 0;
  }
  int chats = 0, newVisitors = 0;
  bool chatRequest = false;
  for (qsizetype i = 0; i < reply.rows.size(); ++i) {
    const CSiteVisitor& row = reply.rows[i];
    const QStringList fields = row.m_line.Fields();
    FUZZ_CHECK(fields.size() == VisitorLine::kFieldCount);
    for (const QString& field : fields) FUZZ_CHECK(!field.contains(kSepField) && !field.contains(kSepLine));
    // The line as it came, fields in their order (looked for in the first
    // rows only: a search per row would make long inputs crawl).
    if (i < 32) FUZZ_CHECK(text.contains(fields.join(kSepField)));
    FUZZ_CHECK(row.m_bHasColour == !row.m_line.colour.isEmpty());
    chats += row.m_line.IsInChat();
    newVisitors += row.m_line.IsNewOnSite();
    chatRequest = chatRequest || row.m_line.IsChatRequest();
  }
  FUZZ_CHECK(reply.chatCount == chats && reply.newVisitorCount == newVisitors);
  FUZZ_CHECK(reply.anyChatRequest == chatRequest);
  bool operatorRequest = false;
  for (const OperatorEntry& entry : reply.operators) {
    for (const QString& field : {entry.name, entry.chatId, entry.chatState, entry.status})
      FUZZ_CHECK(!field.contains(kSepSubField) && !field.contains(kSepField));
    operatorRequest = operatorRequest || entry.AsksForChat();
  }
  FUZZ_CHECK(reply.anyOperatorRequest == operatorRequest);
  // Read again beside its own rows, as the next refresh is read beside the
  // last, it gives the same rows.
  const RefreshReply again = RefreshReply::Parse(text, reply.rows);
  FUZZ_CHECK(again.rows.size() == reply.rows.size());
  for (qsizetype i = 0; i < again.rows.size(); ++i) FUZZ_CHECK(again.rows[i].m_line == reply.rows[i].m_line);
  return 0;
}
