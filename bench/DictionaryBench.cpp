// The dictionary store on the shipped file against Hunspell with its en_US
// dictionary, on the same words: loading, looking up known words, and
// suggestions for misspelt ones. Each word list is a fixed sample of the
// word list the shipped file is built from.
#include "AnsiCodePage.h"
#include "Dictionary.h"
#include "ShippedDictionary.h"

#include <QFile>
#include <QList>

#include <benchmark/benchmark.h>
#include <hunspell.hxx>
#include <malloc.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct SampleWord {
  QByteArray ansi;   // for the store
  std::string utf8;  // for Hunspell
};

// Bytes handed out by malloc, large blocks that it maps on their own included.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

const CDictionary& Store() { return ShippedDictionary(); }
Hunspell& Peer() { return HunspellPeer(); }

QList<QString> WordList() {
  QList<QString> words;
  QFile file(TALVERO_WORD_LIST);
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  while (!file.atEnd()) {
    const QString word = QString::fromUtf8(file.readLine()).trimmed();
    if (!word.isEmpty()) words.append(word);
  }
  return words;
}

SampleWord Sample(const QString& word) { return {ToAnsiCodePage(word), word.toStdString()}; }

// Every 50th word of the list.
const std::vector<SampleWord>& KnownWords() {
  static const std::vector<SampleWord> words = [] {
    std::vector<SampleWord> out;
    const QList<QString> all = WordList();
    for (qsizetype i = 0; i < all.size(); i += 50) out.push_back(Sample(all[i]));
    return out;
  }();
  return words;
}

// One edit in the middle of every 250th word of three or more letters (in
// turn a letter replaced, dropped, doubled, or swapped with the next), kept
// when neither checker knows the result.
const std::vector<SampleWord>& MisspeltWords() {
  static const std::vector<SampleWord> words = [] {
    std::vector<SampleWord> out;
    const QList<QString> all = WordList();
    int edit = 0;
    for (qsizetype i = 0; i < all.size(); i += 250) {
      QString word = all[i];
      if (word.size() < 3) continue;
      const qsizetype m = word.size() / 2;
      switch (edit++ % 4) {
        case 0: word[m] = word[m] == u'z' ? u'a' : QChar(word[m].unicode() + 1); break;
        case 1: word.remove(m, 1); break;
        case 2: word.insert(m, word[m]); break;
        case 3: std::swap(word[m - 1], word[m]); break;
      }
      const SampleWord sample = Sample(word);
      if (Store().Lookup(sample.ansi) == CDictionary::NotFound && !Peer().spell(sample.utf8)) out.push_back(sample);
    }
    return out;
  }();
  return words;
}

void PerWord(benchmark::State& state, std::size_t words) {
  state.SetItemsProcessed(state.iterations() * int64_t(words));
  state.counters["words"] = double(words);
  state.counters["time/word"] = benchmark::Counter(double(words), benchmark::Counter::kIsIterationInvariantRate |
                                                                      benchmark::Counter::kInvert);
}

void BM_StoreLoad(benchmark::State& state) {
  std::size_t heap = 0, nodes = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto store = std::make_unique<CDictionary>();
    if (!store->Load(TALVERO_DICT_FILE)) state.SkipWithError("cannot load the dictionary file");
    heap = HeapInUse() - before;
    nodes = store->NodeCount();
  }
  state.counters["heap_bytes"] = double(heap);
  state.counters["nodes"] = double(nodes);
  state.counters["node_bytes"] = double(nodes * sizeof(CNode));
}
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);

void BM_HunspellLoad(benchmark::State& state) {
  std::size_t heap = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto hunspell = std::make_unique<Hunspell>(TALVERO_HUNSPELL_AFF, TALVERO_HUNSPELL_DIC);
    heap = HeapInUse() - before;
  }
  state.counters["heap_bytes"] = double(heap);
}
BENCHMARK(BM_HunspellLoad)->Unit(benchmark::kMillisecond);

void BM_StoreLookup(benchmark::State& state) {
  const CDictionary& store = Store();
  const auto& words = KnownWords();
  for (auto _ : state) {
    int unknown = 0;
    for (const SampleWord& w : words) unknown += store.Lookup(w.ansi) == CDictionary::NotFound;
    benchmark::DoNotOptimize(unknown);
  }
  PerWord(state, words.size());
}
BENCHMARK(BM_StoreLookup)->Unit(benchmark::kMicrosecond);

void BM_HunspellSpell(benchmark::State& state) {
  Hunspell& hunspell = Peer();
  const auto& words = KnownWords();
  for (auto _ : state) {
    int unknown = 0;
    for (const SampleWord& w : words) unknown += !hunspell.spell(w.utf8);
    benchmark::DoNotOptimize(unknown);
  }
  PerWord(state, words.size());
}
BENCHMARK(BM_HunspellSpell)->Unit(benchmark::kMicrosecond);

void BM_StoreSuggest(benchmark::State& state) {
  const CDictionary& store = Store();
  const auto& words = MisspeltWords();
  std::size_t offered = 0;
  for (auto _ : state) {
    offered = 0;
    for (const SampleWord& w : words) {
      QStringList list;
      CDictionary::LookupResult code;
      offered += store.Suggest(w.ansi, list, code);
    }
  }
  PerWord(state, words.size());
  state.counters["suggestions/word"] = double(offered) / double(words.size());
}
BENCHMARK(BM_StoreSuggest)->Unit(benchmark::kMillisecond);

void BM_HunspellSuggest(benchmark::State& state) {
  Hunspell& hunspell = Peer();
  const auto& words = MisspeltWords();
  std::size_t offered = 0;
  for (auto _ : state) {
    offered = 0;
    for (const SampleWord& w : words) offered += hunspell.suggest(w.utf8).size();
  }
  PerWord(state, words.size());
  state.counters["suggestions/word"] = double(offered) / double(words.size());
}
BENCHMARK(BM_HunspellSuggest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
