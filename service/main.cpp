// talvero-service: the stand-in chat service. See service/README.md.
#include "ServiceConfig.h"
#include "ServiceServer.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <thread>

namespace {

const char kUsage[] =
    "usage: talvero-service [--port N] [--tls CERT KEY] [--config FILE] [--demo] [--seed N] [--verbose]\n"
    "\n"
    "  --port N        listen on 127.0.0.1:N (default 8470); 0 takes a free port and\n"
    "                  prints it as the first line on standard output\n"
    "  --tls CERT KEY  speak HTTPS with this certificate and key (PEM files)\n"
    "  --config FILE   sites, operators and parameters (default: the built-in demo site)\n"
    "  --demo          simulate visitors who arrive, browse, leave and chat, and a\n"
    "                  colleague (ben) who comes and goes, chats and leaves messages\n"
    "  --seed N        the simulation's random seed (default 1)\n"
    "  --verbose       log one line per request on standard error\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "talvero-service: %s\n%s", problem, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  CServiceServer::Options options;
  QString configFile;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&](int n) { return i + n < args.size(); };
    bool ok = true;
    if (a == "--port" && next(1)) {
      options.port = args[++i].toInt(&ok);
      if (!ok || options.port < 0 || options.port > 65535) return Usage("--port takes a number from 0 to 65535");
    } else if (a == "--tls" && next(2)) {
      options.certFile = args[++i];
      options.keyFile = args[++i];
    } else if (a == "--config" && next(1)) {
      configFile = args[++i];
    } else if (a == "--seed" && next(1)) {
      options.seed = args[++i].toUInt(&ok);
      if (!ok) return Usage("--seed takes a whole number");
    } else if (a == "--demo") {
      options.demo = true;
    } else if (a == "--verbose") {
      options.verbose = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      return Usage(qPrintable(QStringLiteral("unknown or incomplete option %1").arg(a)));
    }
  }

  CServiceConfig config = CServiceConfig::Demo();
  QString error;
  if (!configFile.isEmpty() && !CServiceConfig::Load(configFile, config, error)) {
    std::fprintf(stderr, "talvero-service: %s\n", qPrintable(error));
    return 1;
  }

  // Signals are taken by one thread of ours, so that the server stops cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  CServiceServer server(config, options);
  if (!server.Start(error)) {
    std::fprintf(stderr, "talvero-service: %s\n", qPrintable(error));
    return 1;
  }
  if (options.port == 0) std::printf("%d\n", server.Port());
  std::fflush(stdout);
  std::fprintf(stderr, "talvero-service: listening on %s://127.0.0.1:%d%s\n",
               options.certFile.isEmpty() ? "http" : "https", server.Port(), options.demo ? " (demo)" : "");

  std::thread([&server, stopSignals] {
    int sig = 0;
    sigwait(&stopSignals, &sig);
    server.RequestStop();
  }).detach();
  server.Wait();
  server.Stop();
  return 0;
}
