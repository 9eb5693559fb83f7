#include "NearWords.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr int kNeighbourCost = 7;   // the key beside the one meant
constexpr int kSoundCost = 6;       // a vowel for a vowel, c for k, s for z
constexpr int kDoubleCost = 4;      // a doubled letter typed once, or a letter typed twice
constexpr int kSwapCost = 6;        // two neighbouring letters swapped
constexpr int kDigraphCost = 5;     // "f" for "ph" and back
// Longer typed words are not searched: no word of the list is that long,
// and a row a position would cost more than it could find.
constexpr qsizetype kLongestWord = 40;

char Small(signed char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); }

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y'; }

// Rows of a QWERTY keyboard; a key's neighbours are beside it in its row or
// next to it in the rows above and below.
bool AreNeighbours(char a, char b) {
  static const char* const kRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
  int rowA = -1, colA = 0, rowB = -1, colB = 0;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; kRows[r][c] != 0; ++c) {
      if (kRows[r][c] == a) rowA = r, colA = c;
      if (kRows[r][c] == b) rowB = r, colB = c;
    }
  if (rowA < 0 || rowB < 0 || std::abs(rowA - rowB) > 1) return false;
  // Rows are shifted by about half a key: a key touches two of the row below.
  const int shift = rowB - rowA;  // -1, 0 or 1
  const int d = colB - colA;
  if (shift == 0) return std::abs(d) == 1;
  return shift > 0 ? (d == 0 || d == -1) : (d == 0 || d == 1);
}

bool SoundAlike(char a, char b) {
  if (IsVowel(a) && IsVowel(b)) return true;
  static const char* const kPairs[] = {"ck", "cs", "sz", "gj", "sc", "kc", "zs", "jg"};
  for (const char* pair : kPairs)
    if (pair[0] == a && pair[1] == b) return true;
  return false;
}

}  // namespace

int CNearWords::SubstitutionCost(char typed, char meant) {
  // Asked for every letter of every row: worked out once, for every pair.
  static const auto kTable = [] {
    std::array<std::array<unsigned char, 256>, 256> table{};
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        const char t = char(a), m = char(b);
        // A '?' typed (what the code page makes of a character it lacks)
        // stands for any letter.
        table[std::size_t(a)][std::size_t(b)] = static_cast<unsigned char>(
            t == m || (t == '?' && m != 0) ? 0
            : SoundAlike(t, m)             ? kSoundCost
            : AreNeighbours(t, m)          ? kNeighbourCost
                                           : kEditCost);
      }
    return table;
  }();
  return kTable[static_cast<unsigned char>(typed)][static_cast<unsigned char>(meant)];
}

int CNearWords::MostCost(qsizetype length) {
  if (length <= 3) return kEditCost;
  if (length <= 5) return kEditCost + kDoubleCost;
  if (length <= 8) return 2 * kEditCost;
  // A long word has few neighbours: a cheap third slip still finds what was
  // meant.
  return 2 * kEditCost + kEditCost / 2;
}

std::vector<CNearWords::Found> CNearWords::Within(const CNode* nodes, const QByteArray& typed, int maxCost) {
  std::vector<Found> found;
  const qsizetype n = typed.size();
  if (nodes == nullptr || n > kLongestWord) return found;
  QByteArray w = typed;
  for (char& c : w) c = Small(static_cast<signed char>(c));
  const auto width = std::size_t(n + 1);

  // rows[j]: the cost of typing w[0..i) for the stored prefix of length j.
  // Every letter typed too many or left out costs at least kDoubleCost, so
  // only cells within a band of the diagonal can stay within maxCost: the
  // rest are never worked out, and the cells just outside the band read as
  // too dear.
  constexpr int kTooDear = 1 << 20;
  const qsizetype band = maxCost / kDoubleCost;
  std::vector<int> rows(width, kTooDear);
  for (qsizetype i = 0; i <= std::min(n, band); ++i)
    rows[std::size_t(i)] = i == 0 ? 0 : rows[std::size_t(i - 1)] + (i >= 2 && w[i - 1] == w[i - 2] ? kDoubleCost : kEditCost);
  QByteArray prefix;                 // the stored letters of the path, as stored
  std::vector<const CNode*> path;    // the node taken at each position above
  const CNode* node = nodes;
  const auto next = [nodes](std::uint32_t i) { return i == CNode::kNone ? nullptr : nodes + i; };
  for (;;) {
    if (node == nullptr) {
      // This position's chain is done: back to the one above.
      if (path.empty()) break;
      node = next(path.back()->m_nAlternative);
      path.pop_back();
      prefix.chop(1);
      continue;
    }
    const qsizetype j = qsizetype(path.size());  // stored letters above this node
    if (node->m_chLetter == 0) {
      const int cost = std::abs(j - n) <= band ? rows[std::size_t(j) * width + std::size_t(n)] : kTooDear;
      if (cost <= maxCost) found.push_back({prefix, cost});
      node = next(node->m_nAlternative);
      continue;
    }
    if (node->m_nNext == CNode::kNone) {  // a damaged tree: nothing below
      node = next(node->m_nAlternative);
      continue;
    }
    // The row of the prefix with this letter, within the band.
    const char s = Small(node->m_chLetter);
    const char before = j >= 1 ? Small(static_cast<signed char>(prefix[j - 1])) : 0;
    rows.resize(std::size_t(j + 2) * width);
    const int* above = rows.data() + std::size_t(j) * width;
    const int* twoAbove = j >= 1 ? above - width : nullptr;
    int* row = rows.data() + std::size_t(j + 1) * width;
    const qsizetype lo = std::max<qsizetype>(0, j + 1 - band), hi = std::min(n, j + 1 + band);
    if (lo >= 1) row[lo - 1] = kTooDear;
    if (hi < n) row[hi + 1] = kTooDear;
    const int leftOut = before == s ? kDoubleCost : kEditCost;
    int best = kTooDear;
    for (qsizetype i = lo; i <= hi; ++i) {
      if (i == 0) {
        row[0] = above[0] + leftOut;
        best = row[0];
        continue;
      }
      const char t = w[i - 1];
      int cost = above[i - 1] + SubstitutionCost(t, s);
      cost = std::min(cost, above[i] + leftOut);
      cost = std::min(cost, row[i - 1] + (i >= 2 && t == w[i - 2] ? kDoubleCost : kEditCost));
      if (twoAbove != nullptr && i >= 2 && t == before && w[i - 2] == s && t != s)
        cost = std::min(cost, twoAbove[i - 2] + kSwapCost);
      if (twoAbove != nullptr && t == 'f' && before == 'p' && s == 'h') cost = std::min(cost, twoAbove[i - 1] + kDigraphCost);
      if (i >= 2 && w[i - 2] == 'p' && t == 'h' && s == 'f') cost = std::min(cost, above[i - 2] + kDigraphCost);
      row[i] = cost;
      best = std::min(best, cost);
    }
    if (best > maxCost) {  // every way on costs more
      node = next(node->m_nAlternative);
      continue;
    }
    path.push_back(node);
    prefix.append(char(node->m_chLetter));
    node = next(node->m_nNext);
  }
  return found;
}
