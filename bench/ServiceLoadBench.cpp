// 50 consoles and 200 chat windows polling one talvero-service at once for
// 20 seconds, each as fast as its replies come: requests served, errors and
// latency.
#include "HttpTransport.h"
#include "Separators.h"
#include "ServiceConfig.h"
#include "ServiceServer.h"
#include "SplitReply.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void BM_ServiceUnderLoad(benchmark::State& state) {
  const int consoles = int(state.range(0));
  const int chatWindows = int(state.range(1));
  const auto duration = std::chrono::seconds(state.range(2));
  for (auto _ : state) {
    CServiceConfig config = CServiceConfig::Demo();
    for (int i = 0; i < consoles; ++i)
      config.sites[0].operators.append({QString("op%1").arg(i), "pw", false});
    CServiceServer::Options options;
    options.port = 0;
    CServiceServer server(config, options);
    QString error;
    if (!server.Start(error)) {
      state.SkipWithError(qPrintable(error));
      return;
    }
    const QString host = server.Host();
    CHttpTransport::Options http;
    auto get = [&](const QString& target) { return CHttpTransport::Get(host, false, target, http); };

    QStringList chats;
    for (int i = 0; i < consoles; ++i) get(QString("/cpn/wn-login.php?loginid=op%1&stid=1001&pwd=pw").arg(i));
    for (int i = 0; i < 40; ++i) {
      const QString v = QString::fromUtf8(get(QString("/control/visitor/add?name=V%1").arg(i)).body);
      get("/control/visitor/chat?csesid=" + v);
      get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=x&adminid=op%2&sid=1001").arg(v).arg(i % consoles));
      chats.append(v);
    }

    std::atomic<bool> stop{false};
    std::atomic<long> requests{0}, errors{0};
    std::mutex latencyLock;
    std::vector<double> latencies;
    auto poller = [&](const QString& target, int pieces, const QString& separator) {
      std::vector<double> mine;
      while (!stop) {
        const auto t0 = Clock::now();
        const auto r = get(target);
        mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        ++requests;
        if (!r.ok || SplitReply(QString::fromUtf8(r.body), separator).size() != pieces) ++errors;
      }
      std::lock_guard<std::mutex> guard(latencyLock);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < consoles; ++i)
      threads.emplace_back(poller, QString("/cpn/wn-allonlineu.php?nadminid=op%1&nsid=1001&nvar=Y").arg(i), 7, kSepBlock);
    for (int i = 0; i < chatWindows; ++i)
      threads.emplace_back(poller,
                           QString("/cpn/wn-achats.php?uname=&adminid=op%1&csesid=%2&ipadd=x&sid=1001&lastnum=1")
                               .arg(i % consoles)
                               .arg(chats[i % chats.size()]),
                           2, kSepChatType);
    std::this_thread::sleep_for(duration);
    stop = true;
    for (std::thread& t : threads) t.join();
    server.Stop();

    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) { return latencies.empty() ? 0.0 : latencies[size_t(p * (latencies.size() - 1))]; };
    state.counters["requests"] = double(requests.load());
    state.counters["errors"] = double(errors.load());
    state.counters["req_per_s"] = double(requests.load()) / double(duration.count());
    state.counters["p50_ms"] = percentile(0.50);
    state.counters["p99_ms"] = percentile(0.99);
  }
}
BENCHMARK(BM_ServiceUnderLoad)->Args({50, 200, 20})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
