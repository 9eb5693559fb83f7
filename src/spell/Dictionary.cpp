#include "Dictionary.h"

#include "AnsiCodePage.h"
#include "NearWords.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace {

using Letters = const signed char*;

Letters LettersOf(const QByteArray& word) { return reinterpret_cast<Letters>(word.constData()); }

// The folding of the C library's tolower in the "C" locale: bytes of 0x80
// and above stay as they are. A table, since chain scans fold every letter
// they pass.
struct CFoldTable {
  signed char folded[256];
  constexpr CFoldTable() : folded() {
    for (int i = 0; i < 256; ++i) {
      const signed char c = static_cast<signed char>(i);
      folded[i] = c >= 'A' && c <= 'Z' ? static_cast<signed char>(c - 'A' + 'a') : c;
    }
  }
};
constexpr CFoldTable kFold;
signed char Fold(signed char c) { return kFold.folded[static_cast<unsigned char>(c)]; }
bool IsUpper(signed char c) { return c >= 'A' && c <= 'Z'; }

// Follows the links of a tree kept in one array.
struct CTreeView {
  const CNode* nodes;
  const CNode* Alt(const CNode* n) const { return n->m_nAlternative == CNode::kNone ? nullptr : nodes + n->m_nAlternative; }
  const CNode* Next(const CNode* n) const { return n->m_nNext == CNode::kNone ? nullptr : nodes + n->m_nNext; }
};

constexpr unsigned char kHasNext = 1;
constexpr unsigned char kHasAlternative = 2;
// The order of use after the tree: its mark, and how much of it is read.
const QByteArray kRanksMark = QByteArrayLiteral("RNK1");
constexpr qint64 kMostRankBytes = 8 * 1024 * 1024;
constexpr int kUnranked = std::numeric_limits<int>::max();
// A word outside the order of use is less likely meant than a common one
// that costs as much to type; less than a slip costs.
constexpr int kUncommonCost = 3;

// A stack with room for the usual depth of a word inline and the heap
// beyond it, so that a lookup allocates nothing in the common case.
template <class T, std::size_t N>
class CWorkStack {
 public:
  bool Empty() const { return m_size == 0; }
  void Push(const T& item) {
    if (m_size < N)
      m_inline[m_size] = item;
    else
      m_spill.push_back(item);
    ++m_size;
  }
  T Pop() {
    --m_size;
    if (m_size < N) return m_inline[m_size];
    const T item = m_spill.back();
    m_spill.pop_back();
    return item;
  }

 private:
  T m_inline[N];
  std::vector<T> m_spill;
  std::size_t m_size = 0;
};

// Visits the stored words depth first, alternatives in chain order. accept
// decides whether the node of a letter may be taken at position p; a taken
// end-of-word node hands the letters above it to visit. An end-of-word node
// never leads further, even in a damaged tree where it has a next position.
template <class Accept, class Visit>
void WalkWords(const CTreeView& t, const CNode* root, Accept accept, Visit visit) {
  QByteArray prefix;
  // Where the chain of each position above the current one goes on.
  std::vector<const CNode*> resume;
  const CNode* node = root;
  for (;;) {
    const qsizetype p = qsizetype(resume.size());
    for (; node != nullptr; node = t.Alt(node)) {
      if (!accept(node->m_chLetter, p)) continue;
      if (node->m_chLetter == 0)
        visit(QByteArrayView(prefix.constData(), p));
      else if (t.Next(node) != nullptr)
        break;
    }
    if (node != nullptr) {
      if (prefix.size() <= p) prefix.resize(p + 1);
      prefix[p] = char(node->m_chLetter);
      resume.push_back(t.Alt(node));
      node = t.Next(node);
    } else if (resume.empty()) {
      return;
    } else {
      node = resume.back();
      resume.pop_back();
    }
  }
}

bool HasUpper(QByteArrayView w, qsizetype from) {
  for (qsizetype i = from; i < w.size(); ++i)
    if (IsUpper(static_cast<signed char>(w[i]))) return true;
  return false;
}

// A word stored all in small letters is offered in the case of the word
// typed: with a capital first, or all in capitals. Other words keep the
// case they are stored in (a name stays a name).
QByteArray InTypedCase(const QByteArray& stored, const QByteArray& typed) {
  if (typed.isEmpty() || !IsUpper(static_cast<signed char>(typed[0])) || HasUpper(stored, 0)) return stored;
  QByteArray shown = stored;
  const bool allCapitals = typed.size() > 1 && HasUpper(typed, 1) && typed.toUpper() == typed;
  for (qsizetype i = 0; i < shown.size() && (i == 0 || allCapitals); ++i)
    if (shown[i] >= 'a' && shown[i] <= 'z') shown[i] = char(shown[i] - 'a' + 'A');
  return shown;
}

// How far the letter case of a suggestion is from the word typed: its first
// letter, and whether capitals follow.
int CaseDistance(const QByteArray& shown, const QByteArray& typed) {
  if (shown.isEmpty() || typed.isEmpty()) return 0;
  return int(IsUpper(static_cast<signed char>(shown[0])) != IsUpper(static_cast<signed char>(typed[0]))) +
         int(HasUpper(shown, 1) != HasUpper(typed, 1));
}

std::u16string_view CodeUnits(const QString& s) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

// Reads the two-byte records of a dictionary file in large blocks.
class CRecordReader {
 public:
  explicit CRecordReader(QFile& file) : m_file(file), m_buffer(new char[kSize]) {}

  // What follows the last record read, up to limit bytes.
  QByteArray Rest(qint64 limit) {
    QByteArray rest(m_buffer.get() + m_pos, int(m_end - m_pos));
    m_pos = m_end;
    if (rest.size() < limit) rest += m_file.read(limit - rest.size());
    return rest;
  }

  bool Next(signed char& letter, unsigned char& flags) {
    if (m_end - m_pos < 2 && !Refill()) return false;
    letter = static_cast<signed char>(m_buffer[m_pos]);
    flags = static_cast<unsigned char>(m_buffer[m_pos + 1]);
    m_pos += 2;
    return true;
  }

 private:
  static constexpr qint64 kSize = 64 * 1024;

  bool Refill() {
    // Keep the first byte of a record cut by the end of the last block.
    qint64 kept = m_end - m_pos;
    if (kept > 0) m_buffer[0] = m_buffer[m_pos];
    m_pos = 0;
    m_end = kept;
    while (m_end < 2) {
      const qint64 got = m_file.read(m_buffer.get() + m_end, kSize - m_end);
      if (got <= 0) return false;  // the end of the file, or an error
      m_end += got;
    }
    return true;
  }

  QFile& m_file;
  std::unique_ptr<char[]> m_buffer;
  qint64 m_pos = 0;
  qint64 m_end = 0;
};

}  // namespace

CDictionary::~CDictionary() = default;

std::uint32_t CDictionary::NewNode(signed char chLetter) {
  // Small steps: a large store that gets one more word should not double.
  if (m_nodes.size() == m_nodes.capacity())
    m_nodes.reserve(m_nodes.size() + std::max<std::size_t>(m_nodes.size() / 16, 64));
  m_nodes.emplace_back(chLetter);
  return std::uint32_t(m_nodes.size() - 1);
}

std::size_t CDictionary::NodeCount() const { return m_nodes.size(); }

void CDictionary::Clear() {
  m_nodes.clear();
  m_nodes.shrink_to_fit();
  m_firstLetters.fill(CNode::kNone);
  m_rankedBlock.clear();
  m_rankIndex.clear();
}

QByteArrayView CDictionary::RankedWordAt(std::uint32_t offset) const {
  const char* word = m_rankedBlock.constData() + offset;
  return QByteArrayView(word, qstrlen(word));
}

void CDictionary::SetRanks(const QList<QByteArray>& commonestFirst) {
  // One block of the words, each ended by a 0 byte, and an index sorted by
  // word: a hash of a thousand short strings would take more memory than
  // a tenth of the whole tree.
  m_rankedBlock.clear();
  m_rankIndex.clear();
  QSet<QByteArray> seen;
  for (const QByteArray& word : commonestFirst) {
    const QByteArray w(word.constData());  // up to its first 0 byte
    if (w.isEmpty() || seen.contains(w)) continue;
    seen.insert(w);
    m_rankIndex.push_back({std::uint32_t(m_rankedBlock.size()), std::uint32_t(m_rankIndex.size())});
    m_rankedBlock.append(w).append('\0');
  }
  std::sort(m_rankIndex.begin(), m_rankIndex.end(),
            [this](const RankEntry& a, const RankEntry& b) { return RankedWordAt(a.offset) < RankedWordAt(b.offset); });
  m_rankIndex.shrink_to_fit();
  m_rankedBlock.squeeze();
}

int CDictionary::RankOf(const QByteArray& word) const {
  const QByteArrayView wanted(word.constData(), qstrnlen(word.constData(), word.size()));
  const auto it = std::lower_bound(m_rankIndex.begin(), m_rankIndex.end(), wanted,
                                   [this](const RankEntry& e, QByteArrayView w) { return RankedWordAt(e.offset) < w; });
  return it != m_rankIndex.end() && RankedWordAt(it->offset) == wanted ? int(it->rank) : kUnranked;
}

QList<QByteArray> CDictionary::RankedWords() const {
  QList<QByteArray> words = m_rankedBlock.split('\0');
  words.removeLast();  // after the last word's 0 byte
  return words;
}

// Words ended by a 0 byte after the mark; an unfinished last one is left
// out, and anything else after the tree means no order of use.
void CDictionary::ReadRanks(const QByteArray& rest) {
  if (!rest.startsWith(kRanksMark)) return;
  QList<QByteArray> words;
  qsizetype start = kRanksMark.size();
  for (qsizetype end; (end = rest.indexOf('\0', start)) >= 0; start = end + 1) words.append(rest.mid(start, end - start));
  SetRanks(words);
}

void CDictionary::IndexFirstLetters() {
  m_firstLetters.fill(CNode::kNone);
  const CTreeView t{m_nodes.data()};
  for (const CNode* node = m_nodes.empty() ? nullptr : m_nodes.data(); node != nullptr; node = t.Alt(node)) {
    std::uint32_t& first = m_firstLetters[static_cast<unsigned char>(node->m_chLetter)];
    if (first == CNode::kNone) first = std::uint32_t(node - t.nodes);
  }
}

void CDictionary::AddWord(const QByteArray& word) {
  // A store of four thousand million nodes has no room for more places.
  if (m_nodes.size() + std::size_t(word.size()) + 1 >= CNode::kNone) return;
  const Letters w = LettersOf(word);
  if (m_nodes.empty()) m_firstLetters[static_cast<unsigned char>(w[0])] = NewNode(w[0]);
  std::uint32_t node = 0;
  qsizetype i = 0;
  for (;;) {
    if (m_nodes[node].m_chLetter == w[i]) {
      if (w[i] == 0) return;
      if (m_nodes[node].m_nNext == CNode::kNone) {
        const std::uint32_t next = NewNode(w[i + 1]);
        m_nodes[node].m_nNext = next;
      }
      node = m_nodes[node].m_nNext;
      ++i;
    } else {
      if (m_nodes[node].m_nAlternative == CNode::kNone) {
        const std::uint32_t alternative = NewNode(w[i]);
        m_nodes[node].m_nAlternative = alternative;
        if (i == 0) m_firstLetters[static_cast<unsigned char>(w[0])] = alternative;
      }
      node = m_nodes[node].m_nAlternative;
    }
  }
}

bool CDictionary::RemoveWord(const QByteArray& word) {
  if (m_nodes.empty()) return false;
  const Letters w = LettersOf(word);
  // The node of each position of the word, and the link that leads to it:
  // its parent's next (fromParent), the alternative of the node before it
  // in its chain, or none for the root. Links are named by their node, not
  // pointed at: the nodes are packed, and their fields are not aligned.
  struct Step {
    std::uint32_t node;
    std::uint32_t linkOwner;  // kNone for the root
    bool fromParent;
  };
  const auto follow = [this](std::uint32_t owner, bool next) {
    return next ? std::uint32_t(m_nodes[owner].m_nNext) : std::uint32_t(m_nodes[owner].m_nAlternative);
  };
  std::vector<Step> path;
  std::uint32_t node = 0;
  std::uint32_t owner = CNode::kNone;
  bool fromParent = false;
  for (qsizetype p = 0;; ++p) {
    while (m_nodes[node].m_chLetter != w[p]) {
      owner = node;
      fromParent = false;
      if (follow(owner, false) == CNode::kNone) return false;
      node = follow(owner, false);
    }
    path.push_back({node, owner, fromParent});
    if (w[p] == 0) break;
    owner = node;
    fromParent = true;
    if (follow(owner, true) == CNode::kNone) return false;  // a damaged tree
    node = follow(owner, true);
  }
  // Unlink the word's end, and every letter left with nothing after it. The
  // unlinked nodes stay in the array, unreachable, until the next load.
  for (auto step = path.rbegin(); step != path.rend(); ++step) {
    const std::uint32_t alternative = m_nodes[step->node].m_nAlternative;
    if (step->linkOwner != CNode::kNone) {
      if (step->fromParent)
        m_nodes[step->linkOwner].m_nNext = alternative;
      else
        m_nodes[step->linkOwner].m_nAlternative = alternative;
      if (alternative != CNode::kNone || !step->fromParent) break;
      continue;  // the parent letter now leads nowhere
    }
    // The root is the array's first node: its alternative takes its place
    // (nothing else links to that alternative), or the store is empty.
    if (alternative == CNode::kNone) {
      m_nodes.clear();
    } else {
      m_nodes[0] = m_nodes[alternative];
    }
    break;
  }
  IndexFirstLetters();
  return true;
}

// The search is a recursive match of the word against the tree, run on a
// stack of its own. A call matches the word from position p in the chain
// starting at node, sharing the result variable r with its caller except
// where noted. The search tries the letter as typed first; a capital that
// led nowhere also tries the rest of its chain, and a letter stored in
// another case first looks further down the chain for an exact one.
CDictionary::LookupResult CDictionary::Lookup(const QByteArray& word) const {
  if (m_nodes.empty()) return NotFound;
  const Letters w = LettersOf(word);
  const CTreeView t{m_nodes.data()};

  // Most words looked up are stored exactly as typed. The search below
  // takes, at every position, the first letter of the chain that is exactly
  // the one typed (after looking at any of another case before it), so when
  // following only such letters ends on the end of a word, it finds the
  // same: Exact. Only the rest needs the search with letter case.
  {
    const std::uint32_t first = m_firstLetters[static_cast<unsigned char>(w[0])];
    const CNode* node = first == CNode::kNone ? nullptr : t.nodes + first;
    for (qsizetype p = 0; node != nullptr; ++p) {
      const signed char c = w[p];
      while (node != nullptr && node->m_chLetter != c) node = t.Alt(node);
      if (node == nullptr) break;
      if (c == 0) return Exact;
      node = t.Next(node);
    }
  }

  enum class Stage : unsigned char {
    Enter,         // at the start of the chain walk
    AfterNext,     // the exact letter's next position has been matched
    AfterUpper,    // a capital's alternatives, with a result of their own, are done
    AfterCaseAlt,  // the alternatives after a letter of another case are done
  };
  struct Frame {
    const CNode* node;
    qsizetype p;
    bool atStart;
    Stage resume;
    LookupResult r;
  };
  CWorkStack<Frame, 48> calls;

  const CNode* node = m_nodes.data();
  qsizetype p = 0;
  bool atStart = true;
  LookupResult r = Exact;
  Stage stage = Stage::Enter;
  for (;;) {
    LookupResult done;  // the result of the call that just finished
    if (stage == Stage::Enter) {
      if (atStart) r = Exact;
      const signed char c = w[p];
      // Skip the letters that differ even in another case; r needs no
      // resetting on the way, it is already Exact at the start.
      const signed char folded = Fold(c);
      while (Fold(node->m_chLetter) != folded) {
        node = t.Alt(node);
        if (node == nullptr) break;
      }
      if (node == nullptr) {
        done = NotFound;
      } else if (node->m_chLetter == c) {
        if (c == 0) {
          done = r;
        } else if (t.Next(node) == nullptr) {
          done = StoreEnded;
        } else {
          // Only a capital with alternatives has more to try once its next
          // position is matched; any other letter passes that result
          // straight up and needs no frame.
          if (IsUpper(c) && t.Alt(node) != nullptr) calls.Push({node, p, atStart, Stage::AfterNext, r});
          node = t.Next(node);
          ++p;
          atStart = false;
          continue;
        }
      } else if (r == Exact && t.Alt(node) != nullptr) {
        calls.Push({node, p, atStart, Stage::AfterCaseAlt, r});
        node = t.Alt(node);
        continue;
      } else {
        if (r == Exact) r = NotFound;
        stage = Stage::AfterCaseAlt;
        continue;
      }
    } else if (stage == Stage::AfterNext) {
      if (r != Exact && IsUpper(node->m_chLetter) && t.Alt(node) != nullptr) {
        calls.Push({node, p, atStart, Stage::AfterUpper, r});
        node = t.Alt(node);
        r = Exact;
        stage = Stage::Enter;
        continue;
      }
      done = r;
    } else {  // Stage::AfterCaseAlt: the letter matched in another case
      if (r == Exact || r == StoreEnded) {
        done = r;
      } else if (t.Next(node) == nullptr) {
        done = StoreEnded;
      } else {
        r = atStart && node->m_chLetter == Fold(w[p]) ? FirstLetterCase : CaseDiffers;
        node = t.Next(node);
        ++p;
        atStart = false;
        stage = Stage::Enter;
        continue;
      }
    }

    // Hand the finished call's result back to its caller.
    for (;;) {
      if (calls.Empty()) return done;
      const Frame f = calls.Pop();
      node = f.node;
      p = f.p;
      atStart = f.atStart;
      if (f.resume == Stage::AfterUpper) {
        done = std::min(f.r, done);  // and that caller is finished too
        continue;
      }
      r = done;
      stage = f.resume;
      break;
    }
  }
}

int CDictionary::Suggest(const QByteArray& word, QStringList& list, LookupResult& code) const {
  code = Lookup(word);
  if (code != NotFound || m_nodes.empty()) return 0;
  const QByteArray w(word.constData());  // up to its first 0 byte
  const qsizetype n = w.size();
  // The stored words near enough, in any letter case, by what typing one
  // for the other costs.
  const std::vector<CNearWords::Found> found = CNearWords::Within(m_nodes.data(), w, CNearWords::MostCost(n));

  struct Ranked {
    int score;  // the typing cost, and a little more for a word not among the commonest
    int caseDistance;
    int rank;
    QByteArray folded;  // the list's order: letters compared without case
    QString shown;
  };
  std::vector<Ranked> ranked;
  ranked.reserve(found.size());
  for (const CNearWords::Found& near : found) {
    const QByteArray shown = InTypedCase(near.stored, w);
    QByteArray folded = near.stored;
    for (char& c : folded) c = char(Fold(static_cast<signed char>(c)));
    const int rank = RankOf(near.stored);
    const int score = near.cost + (rank == kUnranked ? kUncommonCost : 0);
    ranked.push_back({score, CaseDistance(shown, w), rank, folded, FromAnsiCodePage(shown)});
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.score != b.score) return a.score < b.score;
    if (a.caseDistance != b.caseDistance) return a.caseDistance < b.caseDistance;
    if (a.rank != b.rank) return a.rank < b.rank;
    if (a.folded != b.folded) return a.folded < b.folded;
    return CodeUnits(a.shown) < CodeUnits(b.shown);
  });
  int count = 0;
  for (const Ranked& r : ranked) {
    if (count == kMaxSuggestions) break;
    // "the" and "The" stored may both be offered as The.
    if (list.contains(r.shown)) continue;
    list.append(r.shown);
    ++count;
  }
  return count;
}

QList<QByteArray> CDictionary::Words() const {
  QList<QByteArray> words;
  WalkWords(
      CTreeView{m_nodes.data()}, m_nodes.empty() ? nullptr : m_nodes.data(), [](signed char, qsizetype) { return true; },
      [&words](QByteArrayView word) { words.append(word.toByteArray()); });
  return words;
}

bool CDictionary::Load(const QString& path) {
  Clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  CRecordReader in(file);
  // The nodes are read into one array per position of a word (the last one
  // for all deeper positions), where each chain lies together: in the
  // file's pre-order the letters of a chain are the only nodes of their
  // position between its first and its last. The arrays are then laid end
  // to end. Until then a link names an array and a place in it.
  constexpr int kPools = 32;
  constexpr int kPoolShift = 27;
  constexpr std::uint32_t kPlaceMask = (1u << kPoolShift) - 1;
  std::vector<CNode> pools[kPools];
  // Where the next node read is linked from: a node's next or alternative,
  // or the root.
  struct Slot {
    int pool = -1;  // -1: the root
    std::uint32_t place = 0;
    bool next = false;
    qsizetype position = 0;
  };
  auto laidOut = [&] {
    std::uint32_t base[kPools];
    std::size_t total = 0;
    for (int p = 0; p < kPools; ++p) {
      base[p] = std::uint32_t(total);
      total += pools[p].size();
    }
    auto global = [&base](std::uint32_t link) {
      return link == CNode::kNone ? link : base[link >> kPoolShift] + (link & kPlaceMask);
    };
    m_nodes.reserve(total);
    for (std::vector<CNode>& pool : pools) {
      for (CNode node : pool) {
        node.m_nAlternative = global(node.m_nAlternative);
        node.m_nNext = global(node.m_nNext);
        m_nodes.push_back(node);
      }
      std::vector<CNode>().swap(pool);
    }
  };
  std::vector<Slot> pending;  // alternatives still to be read, innermost last
  Slot slot;
  for (;;) {
    signed char letter;
    unsigned char flags;
    const int p = int(std::min<qsizetype>(slot.position, kPools - 1));
    // A file of more nodes than places can name is no dictionary of ours.
    if (!in.Next(letter, flags) || pools[p].size() > kPlaceMask) {
      laidOut();
      IndexFirstLetters();
      return false;
    }
    // A node joins the tree only once its record has been read, so a file
    // cut short leaves exactly what it held.
    pools[p].emplace_back(letter);
    const std::uint32_t place = std::uint32_t(pools[p].size() - 1);
    const std::uint32_t link = (std::uint32_t(p) << kPoolShift) | place;
    if (slot.pool >= 0) {
      CNode& from = pools[slot.pool][slot.place];
      if (slot.next)
        from.m_nNext = link;
      else
        from.m_nAlternative = link;
    }
    if (flags & kHasNext) {
      if (flags & kHasAlternative) pending.push_back({p, place, false, slot.position});
      slot = {p, place, true, slot.position + 1};
    } else if (flags & kHasAlternative) {
      slot = {p, place, false, slot.position};
    } else if (pending.empty()) {
      laidOut();
      IndexFirstLetters();
      ReadRanks(in.Rest(kMostRankBytes));
      return true;
    } else {
      slot = pending.back();
      pending.pop_back();
    }
  }
}

bool CDictionary::Save(const QString& path) const {
  if (m_nodes.empty()) return false;
  const CTreeView t{m_nodes.data()};
  // The old file is replaced only by a complete new one; a failure on the
  // way discards the temporary file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray block;
  constexpr qsizetype kBlock = 64 * 1024;
  block.reserve(kBlock);
  std::vector<const CNode*> pending;  // alternatives written after the subtree
  for (const CNode* node = m_nodes.data(); node != nullptr;) {
    block.append(char(node->m_chLetter));
    block.append(char((t.Next(node) ? kHasNext : 0) | (t.Alt(node) ? kHasAlternative : 0)));
    if (block.size() >= kBlock) {
      if (file.write(block) != block.size()) return false;
      block.resize(0);  // keeps its room
    }
    if (t.Next(node) != nullptr) {
      if (t.Alt(node) != nullptr) pending.push_back(t.Alt(node));
      node = t.Next(node);
    } else if (t.Alt(node) != nullptr) {
      node = t.Alt(node);
    } else if (!pending.empty()) {
      node = pending.back();
      pending.pop_back();
    } else {
      node = nullptr;
    }
  }
  if (!m_rankedBlock.isEmpty()) {
    block.append(kRanksMark);
    block.append(m_rankedBlock);
  }
  return file.write(block) == block.size() && file.commit();
}

QString CDictionary::FilePath(const QString& programDir, const QString& dataDir) {
  const QString beside = programDir + QStringLiteral("/TVRDIC.dic");
  if (QFileInfo::exists(beside)) return beside;
  const QString installed = dataDir + QStringLiteral("/TVRDIC.dic");
  if (QFileInfo::exists(installed)) return installed;
  return beside;
}

QString CDictionary::FilePath() {
  const QString programDir = QCoreApplication::applicationDirPath();
  const QString relative = FilePath(programDir, programDir + QStringLiteral("/" TALVERO_DATA_FROM_BIN));
  if (QFileInfo::exists(relative)) return relative;
  return FilePath(programDir, QStringLiteral(TALVERO_DATA_DIR));
}
