// The spell-checking entry box on the shipped dictionary: one marking pass
// over a full box and the context menu for the word under the caret, each
// against the store's own work on the same words as the baseline; and the
// heap of ten boxes sharing one store against ten boxes with a store each.
#include "AnsiCodePage.h"
#include "MySpellEditCtrl.h"
#include "SharedDictionary.h"
#include "SpellWords.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

namespace {

constexpr int kBoxChars = 2000;

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Where no user's copy exists, so that every store reads the shipped file.
QString NoUserCopy() {
  static QTemporaryDir dir;
  return dir.path() + QStringLiteral("/talvero/TVRDIC.dic");
}

CSharedDictionary& Store() {
  static CSharedDictionary store(TALVERO_DICT_FILE, NoUserCopy());
  static const bool held = store.Acquire();
  if (!held) std::abort();
  return store;
}

// 2,000 characters of words from the word list, every tenth made unknown,
// and the misspelt words themselves.
struct Sample {
  QString text;
  QList<QString> words;
  QList<int> unknownAt;  // where each unknown word starts
};

const Sample& BoxSample() {
  static const Sample sample = [] {
    QFile file(TALVERO_WORD_LIST);
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    QList<QString> list;
    while (!file.atEnd()) list.append(QString::fromUtf8(file.readLine()).trimmed());
    Sample s;
    for (qsizetype i = 0; s.text.size() < kBoxChars; i += 97) {
      QString word = list[i % list.size()];
      if (s.words.size() % 10 == 9) {
        word.insert(word.size() / 2, u'q');  // one letter too many: misspelt
        if (Store().Lookup(ToAnsiCodePage(word)) != CDictionary::NotFound) continue;
        s.unknownAt.append(int(s.text.size()));
      }
      if (s.text.size() + word.size() + 1 > kBoxChars) break;
      s.text += word + u' ';
      s.words.append(word);
    }
    return s;
  }();
  return sample;
}

// A box large enough to show the whole sample.
std::unique_ptr<CMySpellEditCtrl> FullBox(CSharedDictionary& store) {
  auto box = std::make_unique<CMySpellEditCtrl>(nullptr, &store);
  box->resize(1200, 900);
  box->show();
  box->setPlainText(BoxSample().text);
  box->SetSpellCheck(true);
  return box;
}

void BM_MarkingPass(benchmark::State& state) {
  const auto box = FullBox(Store());
  for (auto _ : state) box->OnTimer();
  state.counters["chars"] = double(BoxSample().text.size());
  state.counters["words"] = double(BoxSample().words.size());
  state.counters["marks"] = double(box->MarkedRanges().size());
}
BENCHMARK(BM_MarkingPass)->Unit(benchmark::kMicrosecond);

// Baseline: the store's lookups of the same words, cut and converted.
void BM_MarkingPassLookupsOnly(benchmark::State& state) {
  const CSharedDictionary& store = Store();
  const QString& text = BoxSample().text;
  for (auto _ : state) {
    int unknown = 0;
    for (const CSpellWord& w : CSpellWords::Cut(text))
      unknown += store.Lookup(CSpellWords::ToStoreForm(QStringView(text).mid(w.start, w.Length()))) ==
                 CDictionary::NotFound;
    benchmark::DoNotOptimize(unknown);
  }
}
BENCHMARK(BM_MarkingPassLookupsOnly)->Unit(benchmark::kMicrosecond);

// Painting the full box with its marks, and without them as the baseline.
void PaintBox(benchmark::State& state, bool marked) {
  const auto box = FullBox(Store());
  if (marked) box->OnTimer();
  QImage image(box->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) box->viewport()->render(&image);
  state.counters["marks"] = double(box->MarkedRanges().size());
}
void BM_PaintWithMarks(benchmark::State& state) { PaintBox(state, true); }
void BM_PaintWithoutMarks(benchmark::State& state) { PaintBox(state, false); }
BENCHMARK(BM_PaintWithMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintWithoutMarks)->Unit(benchmark::kMicrosecond);

// The context menu with the caret on each misspelt word of the box in
// turn; time per word.
void BM_MenuForCaretWord(benchmark::State& state) {
  const auto box = FullBox(Store());
  const QList<int>& at = BoxSample().unknownAt;
  std::size_t entries = 0;
  for (auto _ : state) {
    entries = 0;
    for (int start : at) {
      QTextCursor caret = box->textCursor();
      caret.setPosition(start);
      box->setTextCursor(caret);
      entries += box->CreateContextMenu()->actions().size();
    }
  }
  state.SetItemsProcessed(state.iterations() * at.size());
  state.counters["entries/word"] = double(entries) / double(at.size());
}
BENCHMARK(BM_MenuForCaretWord)->Unit(benchmark::kMillisecond);

// Baseline: the store's suggestions for the same words.
void BM_SuggestOnly(benchmark::State& state) {
  const CSharedDictionary& store = Store();
  const Sample& sample = BoxSample();
  std::vector<QByteArray> words;
  for (int start : sample.unknownAt) {
    const CSpellWord w = CSpellWords::At(sample.text, start);
    words.push_back(CSpellWords::ToStoreForm(QStringView(sample.text).mid(w.start, w.Length())));
  }
  std::size_t offered = 0;
  for (auto _ : state) {
    offered = 0;
    for (const QByteArray& word : words) {
      QStringList list;
      CDictionary::LookupResult code;
      offered += store.Suggest(word, list, code);
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(words.size()));
  state.counters["suggestions/word"] = double(offered) / double(words.size());
}
BENCHMARK(BM_SuggestOnly)->Unit(benchmark::kMillisecond);

// Heap and time of opening ten boxes with checking on: one shared store,
// or one store for each box (ten loads of the file).
void TenBoxes(benchmark::State& state, bool shared) {
  std::size_t heap = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    std::vector<std::unique_ptr<CSharedDictionary>> stores;
    std::vector<std::unique_ptr<CMySpellEditCtrl>> boxes;
    for (int i = 0; i < 10; ++i) {
      if (shared ? stores.empty() : true)
        stores.push_back(std::make_unique<CSharedDictionary>(TALVERO_DICT_FILE, NoUserCopy()));
      boxes.push_back(std::make_unique<CMySpellEditCtrl>(nullptr, stores.back().get()));
      boxes.back()->SetSpellCheck(true);
      if (!boxes.back()->IsSpellCheckOn()) state.SkipWithError("cannot load the dictionary file");
    }
    heap = HeapInUse() - before;
    state.PauseTiming();
    boxes.clear();
    stores.clear();
    state.ResumeTiming();
  }
  state.counters["heap_bytes"] = double(heap);
}
void BM_TenBoxesSharedStore(benchmark::State& state) { TenBoxes(state, true); }
void BM_TenBoxesStoreEach(benchmark::State& state) { TenBoxes(state, false); }
BENCHMARK(BM_TenBoxesSharedStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenBoxesStoreEach)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
