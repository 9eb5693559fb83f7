#include "RefreshReply.h"

#include "NumberText.h"
#include "Separators.h"
#include "SplitReply.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

namespace {

using View = std::u16string_view;

// constData, not utf16: the rows of the reply before are read here while
// the user-interface thread holds them too, and utf16 may write to a string.
View ViewOf(const QString& text) { return View(reinterpret_cast<const char16_t*>(text.constData()), std::size_t(text.size())); }

QString ToString(View v) { return QString(reinterpret_cast<const QChar*>(v.data()), qsizetype(v.size())); }

constexpr View kBlock = u"<blk>";
constexpr View kLine = u"<ln>";
constexpr View kField = u"<fld>";

// Block 0 in one pass, which also finds where it ends: lines end at "<ln>",
// fields at "<fld>", the block at the first "<blk>", and every separator
// begins with '<', so only the places of '<' need a closer look. Block 0 is
// nearly all of a large reply, so the reply is read once, not once for its
// blocks and again for its lines. This cuts the block exactly as splitting
// at "<blk>", then at "<ln>" and then at "<fld>" does: no separator can
// overlap another. Returns block 0's length.
template <typename OnLine>
std::size_t ForEachVisitorLine(View text, OnLine onLine) {
  std::array<View, VisitorLine::kFieldCount> fields;
  std::size_t count = 0;      // fields of the current line so far
  std::size_t fieldStart = 0;
  std::size_t blockEnd = text.size();
  auto endField = [&](std::size_t end) {
    if (count < fields.size()) fields[count] = text.substr(fieldStart, end - fieldStart);
    ++count;
  };
  for (std::size_t at = text.find(u'<'); at != View::npos; at = text.find(u'<', at)) {
    const View rest = text.substr(at);
    if (rest.substr(0, kField.size()) == kField) {
      endField(at);
      at += kField.size();
      fieldStart = at;
    } else if (rest.substr(0, kLine.size()) == kLine) {
      endField(at);
      if (count == fields.size()) onLine(fields);
      count = 0;
      at += kLine.size();
      fieldStart = at;
    } else if (rest.substr(0, kBlock.size()) == kBlock) {
      blockEnd = at;
      break;
    } else {
      ++at;
    }
  }
  endField(blockEnd);
  if (count == fields.size()) onLine(fields);
  return blockEnd;
}

// Most fields repeat from line to line (the status, the five actions, the
// colour, often the visits and the page): a value equal to the one the line
// before had shares that string instead of allocating its own, which is most
// of the parse's cost at thousands of visitors. The fields that differ
// from line to line (the id, address, time and name) are copied.
constexpr std::array<bool, VisitorLine::kFieldCount> kRepeats = {false, false, true,  true, false, false, true,
                                                                 true,  true,  true,  true, true,  true};

// The words the service writes in the status and action fields of most
// lines. Copies of these strings point at the program's own constant text
// and count no references: a row holds six or seven of them, and the
// atomic count of a shared string is paid at every copy and every free.
const QString* KnownWord(View value) {
  static const std::array<QString, 8> kWords = {
      QStringLiteral("In Site"), QStringLiteral("Chat Request"), QStringLiteral("Delete"), QStringLiteral("Busy"),
      QStringLiteral("Invite"),  QStringLiteral("BlockIP"),      QStringLiteral("Pro-Pop"), QStringLiteral("#")};
  for (const QString& word : kWords)
    if (ViewOf(word) == value) return &word;
  return nullptr;
}

class FieldStrings {
 public:
  const QString& Take(std::size_t field, View value) {
    QString& last = m_last[field];
    if (ViewOf(last) == value) return last;
    const QString* word = KnownWord(value);
    last = word ? *word : ToString(value);
    return last;
  }

 private:
  std::array<QString, VisitorLine::kFieldCount> m_last;
};

static_assert(kVisitorLineFields[0] == &VisitorLine::sessionId, "a line's first field is its visitor's id");

// The rows of the reply before, in the service's order. From one refresh to
// the next most visitors are still there, in the same order, with the same
// id, address, name, visits and page: a field equal to the one the same
// visitor had shares that string, and only what changed (above all the
// time on the site) is copied. Visitors come and go between refreshes, so
// the row is looked for a few places on from the last one found; a visitor
// not found there is parsed as a new one, so this only saves work and never
// changes a row.
class PreviousRows {
 public:
  explicit PreviousRows(const QList<CSiteVisitor>& rows) : m_rows(rows) {}

  const VisitorLine* Find(View sessionId) {
    const qsizetype end = std::min(m_next + kLookAhead, m_rows.size());
    for (qsizetype i = m_next; i < end; ++i) {
      const VisitorLine& line = m_rows.at(i).m_line;
      if (ViewOf(line.sessionId) != sessionId) continue;
      m_next = i + 1;
      return &line;
    }
    return nullptr;
  }

 private:
  static constexpr qsizetype kLookAhead = 8;
  const QList<CSiteVisitor>& m_rows;
  qsizetype m_next = 0;
};

}  // namespace

RefreshReply RefreshReply::Parse(const QString& text, const QList<CSiteVisitor>& previous) {
  RefreshReply r;
  const View all = ViewOf(text);
  FieldStrings strings;
  PreviousRows before(previous);
  // Block 0, the visitors: their lines are read as its end is looked for.
  const std::size_t lineBlockEnd = ForEachVisitorLine(all, [&](const std::array<View, VisitorLine::kFieldCount>& f) {
    // About one line per 150 characters: one allocation for the list
    // instead of many, made only once a line is found.
    if (r.rows.isEmpty()) r.rows.reserve(qsizetype(all.size() / 150 + 1));
    // Built in place: a line made apart and moved in cost a tenth of the parse.
    CSiteVisitor& row = r.rows.emplaceBack();
    VisitorLine& v = row.m_line;
    const VisitorLine* was = before.Find(f[0]);
    for (std::size_t i = 0; i < f.size(); ++i) {
      QString& member = v.*kVisitorLineFields[i];
      if (was && ViewOf(was->*kVisitorLineFields[i]) == f[i])
        member = was->*kVisitorLineFields[i];
      else if (kRepeats[i])
        member = strings.Take(i, f[i]);
      else
        member = ToString(f[i]);
    }
    row.m_bHasColour = !v.colour.isEmpty();
    r.anyChatRequest = r.anyChatRequest || v.IsChatRequest();
    if (v.IsInChat()) ++r.chatCount;
    if (v.IsNewOnSite()) ++r.newVisitorCount;
  });

  // The six short blocks after it. A reply of another block count is not
  // one to show, and its lines are dropped.
  if (lineBlockEnd == all.size()) return RefreshReply{};
  std::array<View, kBlockCount> blocks;
  blocks[0] = all.substr(0, lineBlockEnd);
  std::size_t count = 1;
  for (std::size_t start = lineBlockEnd + kBlock.size();;) {
    const std::size_t at = all.find(kBlock, start);
    if (count == blocks.size()) return RefreshReply{};  // more than seven blocks
    blocks[count++] = all.substr(start, (at == View::npos ? all.size() : at) - start);
    if (at == View::npos) break;
    start = at + kBlock.size();
  }
  if (count != blocks.size()) return RefreshReply{};
  r.wellFormed = true;
  r.noUsersOnline = blocks[0] == View(u"No Users Online");
  r.total = int(std::clamp<long>(ReadLeadingInt(ToString(blocks[1])), 0, INT_MAX));
  r.sound = ServiceSoundNamed(QStringView(blocks[3].data(), qsizetype(blocks[3].size())));
  r.notice = ToString(blocks[4]);
  if (!blocks[5].empty()) {
    for (const QString& text : SplitReply(ToString(blocks[5]), kSepField)) {
      const QStringList sub = SplitReply(text, kSepSubField);
      if (sub.size() != 4) continue;
      const OperatorEntry& entry = r.operators.emplaceBack(OperatorEntry{sub[0], sub[1], sub[2], sub[3]});
      // Only a request with its chat id can be answered, so only such a
      // one waits for the operator.
      r.anyOperatorRequest = r.anyOperatorRequest || entry.AsksForChat();
    }
  }
  return r;
}
