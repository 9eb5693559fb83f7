// talvero-service: the stand-in chat service. See service/README.md.
#include "ServiceConfig.h"
#include "ServiceServer.h"
#include "StandardOptions.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

const char kDescription[] =
    "The stand-in chat service: the server side of the console's requests, in memory.\n"
    "It listens on 127.0.0.1 only.";

CStandardOptions::Outcome ReadOptions(CStandardOptions& cli, CServiceServer::Options& options, QString& configFile) {
  QCommandLineParser& parser = cli.Parser();
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("Listen on 127.0.0.1:N (default 8470); 0 takes a free port and "
                                               "prints it as the first line on standard output."),
                                QStringLiteral("N"));
  const QCommandLineOption tls(QStringLiteral("tls"),
                               QStringLiteral("Speak HTTPS with this certificate and key (PEM files): --tls CERT KEY."),
                               QStringLiteral("CERT"));
  const QCommandLineOption config(QStringLiteral("config"),
                                  QStringLiteral("Sites, operators and parameters (default: the built-in demo site)."),
                                  QStringLiteral("FILE"));
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Simulate visitors who arrive, browse, leave and chat, and a "
                                               "colleague (ben) who comes and goes, chats and leaves messages."));
  const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("The simulation's random seed (default 1)."),
                                QStringLiteral("N"));
  const QCommandLineOption verbose(QStringLiteral("verbose"),
                                   QStringLiteral("Log one line per request on standard error."));
  parser.addOptions({port, tls, config, demo, seed, verbose});

  const CStandardOptions::Outcome outcome = cli.Parse(QCoreApplication::arguments());
  if (outcome != CStandardOptions::Run) return outcome;
  // The key of --tls is the one argument that stands on its own.
  QStringList rest = parser.positionalArguments();
  if (parser.isSet(tls)) {
    if (rest.isEmpty()) return cli.Fail(QStringLiteral("--tls takes a certificate and a key"));
    options.certFile = parser.value(tls);
    options.keyFile = rest.takeFirst();
  }
  if (!rest.isEmpty()) return cli.Fail(QStringLiteral("unexpected argument: %1").arg(rest.first()));
  bool ok = true;
  if (parser.isSet(port)) {
    options.port = parser.value(port).toInt(&ok);
    if (!ok || options.port < 0 || options.port > 65535)
      return cli.Fail(QStringLiteral("--port takes a number from 0 to 65535"));
  }
  if (parser.isSet(seed)) {
    options.seed = parser.value(seed).toUInt(&ok);
    if (!ok) return cli.Fail(QStringLiteral("--seed takes a whole number"));
  }
  configFile = parser.value(config);
  options.demo = parser.isSet(demo);
  options.verbose = parser.isSet(verbose);
  return outcome;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QStringLiteral(TALVERO_VERSION));
  CStandardOptions cli(QString::fromLatin1(kDescription));
  CServiceServer::Options options;
  QString configFile;
  if (const int status = cli.Finish(ReadOptions(cli, options, configFile)); status >= 0) return status;

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
  sigaddset(&stopSignals, SIGHUP);
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
    // A service that ends should say why, or its end looks like a fault.
    std::fprintf(stderr, "talvero-service: stopping on %s\n", sigabbrev_np(sig));
    server.RequestStop();
  }).detach();
  server.Wait();
  server.Stop();
  std::fprintf(stderr, "talvero-service: stopped\n");
  return 0;
}
