// Suggestions for misspellings people really made, beside Hunspell's: the
// corrections lintian keeps of the misspellings it has met in Debian's
// package descriptions ("mistake||correction"). Taken are the pairs whose
// correction both checkers know and whose mistake neither does, lower-case
// letters only, up to 2,000 spread evenly over the list. Each checker is
// judged by the share whose correction comes first, and the share that has
// it among the ten the menu shows, and timed per word.
#include "AnsiCodePage.h"
#include "Dictionary.h"
#include "ShippedDictionary.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <hunspell.hxx>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMostPairs = 2000;

struct Misspelling {
  QByteArray typed;
  QString meant;
  std::string typedUtf8;
  std::string meantUtf8;
};

bool LowerLetters(const QByteArray& word) {
  return word.size() >= 2 && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

const std::vector<Misspelling>& Misspellings() {
  static const std::vector<Misspelling> chosen = [] {
    std::vector<Misspelling> all;
    QFile file(TALVERO_MISSPELLINGS);
    if (!file.open(QIODevice::ReadOnly)) return all;
    const CDictionary& store = ShippedDictionary();
    Hunspell& peer = HunspellPeer();
    while (!file.atEnd()) {
      const QByteArray line = file.readLine().trimmed();
      if (line.startsWith('#')) continue;
      const qsizetype bar = line.indexOf("||");
      if (bar < 0) continue;
      const QByteArray typed = line.left(bar), meant = line.mid(bar + 2);
      if (!LowerLetters(typed) || !LowerLetters(meant)) continue;
      const std::string typedUtf8 = typed.toStdString(), meantUtf8 = meant.toStdString();
      if (store.Lookup(meant) != CDictionary::Exact || !peer.spell(meantUtf8)) continue;
      if (store.Lookup(typed) != CDictionary::NotFound || peer.spell(typedUtf8)) continue;
      all.push_back({typed, FromAnsiCodePage(meant), typedUtf8, meantUtf8});
    }
    if (all.size() <= kMostPairs) return all;
    std::vector<Misspelling> spread;
    for (std::size_t i = 0; i < kMostPairs; ++i) spread.push_back(all[i * all.size() / kMostPairs]);
    return spread;
  }();
  return chosen;
}

struct Judged {
  int first = 0;
  int listed = 0;
  std::size_t offered = 0;
};

void Report(benchmark::State& state, const Judged& judged) {
  const double n = double(Misspellings().size());
  if (n == 0) {
    state.SkipWithError("no misspellings: " TALVERO_MISSPELLINGS " (the lintian package) is missing");
    return;
  }
  state.counters["words"] = n;
  state.counters["first_pct"] = 100.0 * judged.first / n;
  state.counters["listed_pct"] = 100.0 * judged.listed / n;
  state.counters["suggestions/word"] = double(judged.offered) / n;
  state.counters["time/word"] =
      benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_StoreOnRealMisspellings(benchmark::State& state) {
  const CDictionary& store = ShippedDictionary();
  Judged judged;
  bool first = true;
  for (auto _ : state) {
    for (const Misspelling& m : Misspellings()) {
      QStringList list;
      CDictionary::LookupResult code;
      store.Suggest(m.typed, list, code);
      if (!first) continue;
      judged.first += list.value(0) == m.meant;
      judged.listed += list.contains(m.meant);
      judged.offered += std::size_t(list.size());
      // TALVERO_SHOW_MISSES=1 lists the words whose correction was not first.
      if (qEnvironmentVariableIsSet("TALVERO_SHOW_MISSES") && list.value(0) != m.meant)
        std::fprintf(stderr, "%s -> %s: %s\n", m.typed.constData(), m.meantUtf8.c_str(), qPrintable(list.join(u' ')));
    }
    first = false;
  }
  Report(state, judged);
}
BENCHMARK(BM_StoreOnRealMisspellings)->Unit(benchmark::kMillisecond);

void BM_HunspellOnRealMisspellings(benchmark::State& state) {
  Hunspell& hunspell = HunspellPeer();
  Judged judged;
  bool first = true;
  for (auto _ : state) {
    for (const Misspelling& m : Misspellings()) {
      const std::vector<std::string> list = hunspell.suggest(m.typedUtf8);
      if (!first) continue;
      const auto shown = list.begin() + std::ptrdiff_t(std::min<std::size_t>(list.size(), CDictionary::kMaxSuggestions));
      judged.first += !list.empty() && list.front() == m.meantUtf8;
      judged.listed += std::find(list.begin(), shown, m.meantUtf8) != shown;
      judged.offered += list.size();
    }
    first = false;
  }
  Report(state, judged);
}
// Tens of milliseconds a word: one pass is enough to time it.
BENCHMARK(BM_HunspellOnRealMisspellings)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

}  // namespace

BENCHMARK_MAIN();
