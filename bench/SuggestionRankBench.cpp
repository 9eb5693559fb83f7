// How well the suggestions are ranked: 1,000 typos of common English words,
// each with one error of the kinds people make (two neighbouring letters
// swapped, a letter dropped, a letter doubled, a neighbouring key hit), and
// the share of them whose intended word comes first, on the shipped file,
// beside Hunspell's suggestions of the same typos when Hunspell is there.
// The typos are made with a fixed seed, so every run judges the same ones.
//
// The words are those of the list that ranks the shipped file's
// suggestions (tools/dict/common-words.txt), so the ranking knows every
// word meant; BM_StoreByListOrder ranks the same typos without that list.
#include "AnsiCodePage.h"
#include "Dictionary.h"
#include "ShippedDictionary.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>

#include <benchmark/benchmark.h>
#ifdef TALVERO_WITH_HUNSPELL
#include <hunspell.hxx>
#endif

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kTypos = 1000;
constexpr unsigned kSeed = 30;

struct Typo {
  QByteArray typed;  // in the store's code page
  QString meant;
  std::string utf8;  // for Hunspell
};

const CDictionary& Store() { return ShippedDictionary(); }

// The same file without its order of use: ties fall to the list's order.
const CDictionary& StoreByListOrder() {
  static const std::unique_ptr<CDictionary> store = LoadShippedDictionary([](CDictionary& d) { d.SetRanks({}); });
  return *store;
}

#ifdef TALVERO_WITH_HUNSPELL
Hunspell& Peer() { return HunspellPeer(); }
#endif

// The letters around each one on a QWERTY keyboard.
const QHash<char, QByteArray>& KeyNeighbours() {
  static const QHash<char, QByteArray> around = {
      {'q', "wa"},   {'w', "qeas"},  {'e', "wrsd"},  {'r', "etdf"},  {'t', "ryfg"},  {'y', "tugh"},  {'u', "yihj"},
      {'i', "uojk"}, {'o', "ipkl"},  {'p', "ol"},    {'a', "qwsz"},  {'s', "awedxz"}, {'d', "serfcx"}, {'f', "drtgvc"},
      {'g', "ftyhbv"}, {'h', "gyujnb"}, {'j', "huikmn"}, {'k', "jiolm"}, {'l', "kop"}, {'z', "asx"}, {'x', "zsdc"},
      {'c', "xdfv"}, {'v', "cfgb"},  {'b', "vghn"},  {'n', "bhjm"},  {'m', "njk"},
  };
  return around;
}

QList<QByteArray> CommonWords() {
  QList<QByteArray> words;
  QFile file(TALVERO_COMMON_WORDS);
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  while (!file.atEnd()) {
    const QByteArray word = file.readLine().trimmed();
    bool letters = word.size() >= 3;
    for (char c : word) letters = letters && c >= 'a' && c <= 'z';
    if (letters) words.append(word);
  }
  return words;
}

// One error in word, of the kind given (0 to 3), at a place drawn from rng.
QByteArray WithError(const QByteArray& word, int kind, std::mt19937& rng) {
  const auto place = [&rng](qsizetype n) { return qsizetype(std::uniform_int_distribution<int>(0, int(n) - 1)(rng)); };
  QByteArray typo = word;
  switch (kind) {
    case 0: {  // two neighbours swapped
      const qsizetype i = place(word.size() - 1);
      std::swap(typo[i], typo[i + 1]);
      break;
    }
    case 1:  // a letter dropped
      typo.remove(place(word.size()), 1);
      break;
    case 2: {  // a letter doubled
      const qsizetype i = place(word.size());
      typo.insert(i, word[i]);
      break;
    }
    default: {  // the key beside the one meant
      const qsizetype i = place(word.size());
      const QByteArray around = KeyNeighbours().value(word[i]);
      typo[i] = around[place(around.size())];
      break;
    }
  }
  return typo;
}

bool KnownToEither(const QByteArray& typo) {
  if (Store().Lookup(typo) != CDictionary::NotFound) return true;
#ifdef TALVERO_WITH_HUNSPELL
  if (Peer().spell(typo.toStdString())) return true;
#endif
  return false;
}

// Word after word of the list, over and over, each time with the next kind
// of error at a random place, until there are kTypos typos that neither
// checker knows.
const std::vector<Typo>& Typos() {
  static const std::vector<Typo> typos = [] {
    const QList<QByteArray> words = CommonWords();
    std::mt19937 rng(kSeed);
    std::vector<Typo> out;
    QSet<QByteArray> seen;
    int kind = 0;
    for (int round = 0; round < 20 && int(out.size()) < kTypos; ++round) {
      for (const QByteArray& word : words) {
        if (int(out.size()) == kTypos) break;
        const QByteArray typo = WithError(word, kind++ % 4, rng);
        if (typo == word || seen.contains(typo) || KnownToEither(typo)) continue;
        seen.insert(typo);
        out.push_back({typo, FromAnsiCodePage(word), typo.toStdString()});
      }
    }
    return out;
  }();
  return typos;
}

struct Judged {
  int first = 0;
  int listed = 0;
  std::size_t offered = 0;
};

void Report(benchmark::State& state, const Judged& judged) {
  const double n = double(Typos().size());
  state.counters["typos"] = n;
  state.counters["first_pct"] = 100.0 * judged.first / n;
  state.counters["listed_pct"] = 100.0 * judged.listed / n;
  state.counters["suggestions/typo"] = double(judged.offered) / n;
  state.counters["time/typo"] =
      benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each pass suggests for every typo; the first one also judges the lists.
void RankStore(benchmark::State& state, const CDictionary& store) {
  Judged judged;
  bool first = true;
  for (auto _ : state) {
    for (const Typo& t : Typos()) {
      QStringList list;
      CDictionary::LookupResult code;
      store.Suggest(t.typed, list, code);
      if (!first) continue;
      judged.first += list.value(0) == t.meant;
      judged.listed += list.contains(t.meant);
      judged.offered += std::size_t(list.size());
    }
    first = false;
  }
  Report(state, judged);
}

void BM_StoreRanking(benchmark::State& state) { RankStore(state, Store()); }
BENCHMARK(BM_StoreRanking)->Unit(benchmark::kMillisecond);

void BM_StoreByListOrder(benchmark::State& state) { RankStore(state, StoreByListOrder()); }
BENCHMARK(BM_StoreByListOrder)->Unit(benchmark::kMillisecond);

#ifdef TALVERO_WITH_HUNSPELL
void BM_HunspellRanking(benchmark::State& state) {
  Hunspell& hunspell = Peer();
  Judged judged;
  bool first = true;
  for (auto _ : state) {
    for (const Typo& t : Typos()) {
      const std::vector<std::string> list = hunspell.suggest(t.utf8);
      if (!first) continue;
      const std::string meant = t.meant.toStdString();
      // Among as many as the menu shows.
      const auto shown = list.begin() + std::ptrdiff_t(std::min<std::size_t>(list.size(), CDictionary::kMaxSuggestions));
      judged.first += !list.empty() && list.front() == meant;
      judged.listed += std::find(list.begin(), shown, meant) != shown;
      judged.offered += list.size();
    }
    first = false;
  }
  Report(state, judged);
}
// About 20 ms a typo: one pass is enough to time it.
BENCHMARK(BM_HunspellRanking)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);
#endif

}  // namespace

BENCHMARK_MAIN();
