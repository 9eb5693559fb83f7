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

View ViewOf(const QString& text) { return View(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())); }

QString ToString(View v) { return QString(reinterpret_cast<const QChar*>(v.data()), qsizetype(v.size())); }

constexpr View kBlock = u"<blk>";
constexpr View kLine = u"<ln>";
constexpr View kField = u"<fld>";

// Block 0 in one pass: lines end at "<ln>", fields at "<fld>", and every
// separator begins with '<', so only the places of '<' need a closer look.
// Only the text of a line with exactly 13 fields is copied. This cuts the
// block exactly as splitting at "<ln>" and then at "<fld>" does: neither
// separator can overlap the other.
template <typename OnLine>
void ForEachVisitorLine(View block, OnLine onLine) {
  std::array<View, VisitorLine::kFieldCount> fields;
  std::size_t count = 0;      // fields of the current line so far
  std::size_t fieldStart = 0;
  auto endField = [&](std::size_t end) {
    if (count < fields.size()) fields[count] = block.substr(fieldStart, end - fieldStart);
    ++count;
  };
  for (std::size_t at = block.find(u'<'); at != View::npos; at = block.find(u'<', at)) {
    const View rest = block.substr(at);
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
    } else {
      ++at;
    }
  }
  endField(block.size());
  if (count == fields.size()) onLine(fields);
}

// Most fields repeat from line to line (the status, the five actions, the
// colour, often the visits and the page): a value equal to the one the line
// before had shares that string instead of allocating its own, which is most
// of the parse's cost at thousands of visitors. The fields that differ
// from line to line (the id, address, time and name) are copied.
constexpr std::array<bool, VisitorLine::kFieldCount> kRepeats = {false, false, true,  true, false, false, true,
                                                                 true,  true,  true,  true, true,  true};

class FieldStrings {
 public:
  const QString& Take(std::size_t field, View value) {
    QString& last = m_last[field];
    if (ViewOf(last) != value) last = ToString(value);
    return last;
  }

 private:
  std::array<QString, VisitorLine::kFieldCount> m_last;
};

}  // namespace

RefreshReply RefreshReply::Parse(const QString& text) {
  RefreshReply r;
  const View all = ViewOf(text);
  std::array<View, kBlockCount> blocks;
  std::size_t count = 0, start = 0;
  for (std::size_t at = all.find(kBlock); ; at = all.find(kBlock, start)) {
    const std::size_t end = at == View::npos ? all.size() : at;
    if (count == blocks.size()) return r;  // more than seven blocks
    blocks[count++] = all.substr(start, end - start);
    if (at == View::npos) break;
    start = at + kBlock.size();
  }
  if (count != blocks.size()) return r;
  r.wellFormed = true;
  r.noUsersOnline = blocks[0] == View(u"No Users Online");
  if (!r.noUsersOnline) {
    // About one line per 150 characters: one allocation for the list instead of many.
    r.rows.reserve(qsizetype(blocks[0].size() / 150 + 1));
    FieldStrings strings;
    ForEachVisitorLine(blocks[0], [&r, &strings](const std::array<View, VisitorLine::kFieldCount>& f) {
      // Built in place: a line made apart and moved in cost a tenth of the parse.
      CSiteVisitor& row = r.rows.emplaceBack();
      VisitorLine& v = row.m_line;
      for (std::size_t i = 0; i < f.size(); ++i) {
        QString& member = v.*kVisitorLineFields[i];
        if (kRepeats[i])
          member = strings.Take(i, f[i]);
        else
          member = ToString(f[i]);
      }
      row.m_bHasColour = !v.colour.isEmpty();
      r.anyChatRequest = r.anyChatRequest || v.IsChatRequest();
      if (v.IsInChat()) ++r.chatCount;
      if (v.IsNewOnSite()) ++r.newVisitorCount;
    });
  }
  r.total = int(std::clamp<long>(ReadLeadingInt(ToString(blocks[1])), 0, INT_MAX));
  r.sound = ToString(blocks[3]);
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
