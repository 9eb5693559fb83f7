#include "Dictionary.h"

#include "AnsiCodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
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

constexpr unsigned char kHasNext = 1;
constexpr unsigned char kHasAlternative = 2;

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
// never leads further, even in a damaged tree where it has a m_pNext.
template <class Accept, class Visit>
void WalkWords(const CNode* root, Accept accept, Visit visit) {
  QByteArray prefix;
  // Where the chain of each position above the current one goes on.
  std::vector<const CNode*> resume;
  const CNode* node = root;
  for (;;) {
    const qsizetype p = qsizetype(resume.size());
    for (; node != nullptr; node = node->m_pAlternative) {
      if (!accept(node->m_chLetter, p)) continue;
      if (node->m_chLetter == 0)
        visit(QByteArrayView(prefix.constData(), p));
      else if (node->m_pNext != nullptr)
        break;
    }
    if (node != nullptr) {
      if (prefix.size() <= p) prefix.resize(p + 1);
      prefix[p] = char(node->m_chLetter);
      resume.push_back(node->m_pAlternative);
      node = node->m_pNext;
    } else if (resume.empty()) {
      return;
    } else {
      node = resume.back();
      resume.pop_back();
    }
  }
}

// Appends every stored word matching pattern: '?' stands for any one letter,
// other bytes match their letter in either case. Only words of the
// pattern's length match.
void CollectMatches(const CNode* root, const QByteArray& pattern, QStringList& list) {
  // Folded once here, not at every node passed. '?' takes any letter but
  // the end of a word; the pattern's end (0) takes only that.
  QByteArray folded(pattern.constData());
  for (char& c : folded) c = char(Fold(static_cast<signed char>(c)));
  const Letters want = LettersOf(folded);
  WalkWords(
      root,
      [want](signed char letter, qsizetype p) { return want[p] == '?' ? letter != 0 : Fold(letter) == want[p]; },
      [&list](QByteArrayView word) { list.append(FromAnsiCodePage(word)); });
}

std::u16string_view CodeUnits(const QString& s) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

// Reads the two-byte records of a dictionary file in large blocks.
class CRecordReader {
 public:
  explicit CRecordReader(QFile& file) : m_file(file), m_buffer(new char[kSize]) {}

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

CNode* CDictionary::NewNode(signed char chLetter, qsizetype position) {
  return m_pools[std::size_t(std::min<qsizetype>(position, kPools - 1))].New(chLetter);
}

std::size_t CDictionary::NodeCount() const {
  std::size_t count = 0;
  for (const CNodePool& pool : m_pools) count += pool.Size();
  return count;
}

void CDictionary::Clear() {
  m_pRoot = nullptr;
  for (CNodePool& pool : m_pools) pool.Clear();
}

void CDictionary::AddWord(const QByteArray& word) {
  const Letters w = LettersOf(word);
  if (m_pRoot == nullptr) m_pRoot = NewNode(w[0], 0);
  CNode* node = m_pRoot;
  qsizetype i = 0;
  for (;;) {
    if (node->m_chLetter == w[i]) {
      if (w[i] == 0) return;
      if (node->m_pNext == nullptr) node->m_pNext = NewNode(w[i + 1], i + 1);
      node = node->m_pNext;
      ++i;
    } else {
      if (node->m_pAlternative == nullptr) node->m_pAlternative = NewNode(w[i], i);
      node = node->m_pAlternative;
    }
  }
}

// The search is a recursive match of the word against the tree, run on a
// stack of its own. A call matches the word from position p in the chain
// starting at node, sharing the result variable r with its caller except
// where noted. The search tries the letter as typed first; a capital that
// led nowhere also tries the rest of its chain, and a letter stored in
// another case first looks further down the chain for an exact one.
CDictionary::LookupResult CDictionary::Lookup(const QByteArray& word) const {
  if (m_pRoot == nullptr) return NotFound;
  const Letters w = LettersOf(word);

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

  const CNode* node = m_pRoot;
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
        node = node->m_pAlternative;
        if (node == nullptr) break;
      }
      if (node == nullptr) {
        done = NotFound;
      } else if (node->m_chLetter == c) {
        if (c == 0) {
          done = r;
        } else if (node->m_pNext == nullptr) {
          done = StoreEnded;
        } else {
          // Only a capital with alternatives has more to try once its next
          // position is matched; any other letter passes that result
          // straight up and needs no frame.
          if (IsUpper(c) && node->m_pAlternative != nullptr) calls.Push({node, p, atStart, Stage::AfterNext, r});
          node = node->m_pNext;
          ++p;
          atStart = false;
          continue;
        }
      } else if (r == Exact && node->m_pAlternative != nullptr) {
        calls.Push({node, p, atStart, Stage::AfterCaseAlt, r});
        node = node->m_pAlternative;
        continue;
      } else {
        if (r == Exact) r = NotFound;
        stage = Stage::AfterCaseAlt;
        continue;
      }
    } else if (stage == Stage::AfterNext) {
      if (r != Exact && IsUpper(node->m_chLetter) && node->m_pAlternative != nullptr) {
        calls.Push({node, p, atStart, Stage::AfterUpper, r});
        node = node->m_pAlternative;
        r = Exact;
        stage = Stage::Enter;
        continue;
      }
      done = r;
    } else {  // Stage::AfterCaseAlt: the letter matched in another case
      if (r == Exact || r == StoreEnded) {
        done = r;
      } else if (node->m_pNext == nullptr) {
        done = StoreEnded;
      } else {
        r = atStart && node->m_chLetter == Fold(w[p]) ? FirstLetterCase : CaseDiffers;
        node = node->m_pNext;
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
  if (code == NotFound) {
    const QByteArray w(word.constData());  // up to its first 0 byte
    const qsizetype n = w.size();
    QByteArray candidate;
    for (qsizetype i = 0; i < n; ++i) {
      candidate = w;
      candidate[i] = '?';
      CollectMatches(m_pRoot, candidate, list);
    }
    for (qsizetype i = 0; i <= n; ++i) {
      candidate = w;
      candidate.insert(i, '?');
      CollectMatches(m_pRoot, candidate, list);
    }
    // The last two passes offer the word as typed, when it is known in some
    // letter case.
    for (qsizetype i = 0; i < n; ++i) {
      candidate = w;
      candidate.remove(i, 1);
      if (Lookup(candidate) != NotFound) list.append(FromAnsiCodePage(candidate));
    }
    for (qsizetype i = 0; i + 1 < n; ++i) {
      candidate = w;
      std::swap(candidate[i], candidate[i + 1]);
      if (Lookup(candidate) != NotFound) list.append(FromAnsiCodePage(candidate));
    }
  }
  std::sort(list.begin(), list.end(),
            [](const QString& a, const QString& b) { return CodeUnits(a) < CodeUnits(b); });
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return int(list.size());
}

QList<QByteArray> CDictionary::Words() const {
  QList<QByteArray> words;
  WalkWords(
      m_pRoot, [](signed char, qsizetype) { return true; },
      [&words](QByteArrayView word) { words.append(word.toByteArray()); });
  return words;
}

bool CDictionary::Load(const QString& path) {
  Clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  CRecordReader in(file);
  // The alternatives still to be read once the subtree being read is
  // complete, innermost last.
  struct Slot {
    CNode** link;
    qsizetype position;
  };
  std::vector<Slot> pending;
  Slot slot{&m_pRoot, 0};
  for (;;) {
    signed char letter;
    unsigned char flags;
    if (!in.Next(letter, flags)) return false;
    // A node joins the tree only once its record has been read, so a file
    // cut short leaves exactly what it held.
    CNode* node = NewNode(letter, slot.position);
    *slot.link = node;
    if (flags & kHasNext) {
      if (flags & kHasAlternative) pending.push_back({&node->m_pAlternative, slot.position});
      slot = {&node->m_pNext, slot.position + 1};
    } else if (flags & kHasAlternative) {
      slot.link = &node->m_pAlternative;
    } else if (pending.empty()) {
      return true;
    } else {
      slot = pending.back();
      pending.pop_back();
    }
  }
}

bool CDictionary::Save(const QString& path) const {
  if (m_pRoot == nullptr) return false;
  // The old file is replaced only by a complete new one; a failure on the
  // way discards the temporary file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray block;
  constexpr qsizetype kBlock = 64 * 1024;
  block.reserve(kBlock);
  std::vector<const CNode*> pending;  // alternatives written after the subtree
  for (const CNode* node = m_pRoot; node != nullptr;) {
    block.append(char(node->m_chLetter));
    block.append(char((node->m_pNext ? kHasNext : 0) | (node->m_pAlternative ? kHasAlternative : 0)));
    if (block.size() >= kBlock) {
      if (file.write(block) != block.size()) return false;
      block.resize(0);  // keeps its room
    }
    if (node->m_pNext != nullptr) {
      if (node->m_pAlternative != nullptr) pending.push_back(node->m_pAlternative);
      node = node->m_pNext;
    } else if (node->m_pAlternative != nullptr) {
      node = node->m_pAlternative;
    } else if (!pending.empty()) {
      node = pending.back();
      pending.pop_back();
    } else {
      node = nullptr;
    }
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
