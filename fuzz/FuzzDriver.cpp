// Runs a harness over files instead of under libFuzzer: each argument is a
// file or a folder whose files are run one after another. The normal build
// links every harness with this, so the suite replays the seed corpora and
// the kept regressions; a reader that crashes or breaks a property on one of
// them fails the test.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool RunFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << path << "\n";
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " FILE-OR-FOLDER...\n";
    return 2;
  }
  int nRun = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::error_code error;
    if (fs::is_directory(arg, error)) {
      std::vector<fs::path> files;
      for (const fs::directory_entry& e : fs::directory_iterator(arg))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());  // the same order on every run
      for (const fs::path& f : files) ok = RunFile(f) && ok, ++nRun;
    } else if (fs::is_regular_file(arg, error)) {
      ok = RunFile(arg) && ok;
      ++nRun;
    } else if (!fs::exists(arg, error)) {
      // A harness with no kept regressions has no folder for them.
      continue;
    } else {
      std::cerr << arg << " is neither a file nor a folder\n";
      ok = false;
    }
  }
  std::cout << nRun << " inputs run\n";
  if (nRun == 0) {
    std::cerr << "no inputs: the seed corpus is missing\n";
    return 1;
  }
  return ok ? 0 : 1;
}
