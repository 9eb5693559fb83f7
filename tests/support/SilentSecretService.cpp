// Usage: talvero-silent-secrets   (on a session bus; prints "ready" once it
// owns org.freedesktop.secrets, then never answers any call until killed)
//
// A secret service that hangs, as a locked keyring waiting for an unlock
// prompt nobody sees: every call to it stays unanswered, so its callers
// learn how long they wait. For the keyring tests and for desktop tests
// that start a console whose keyring never answers.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

// Every object path of the connection: a message taken here gets no reply,
// not even an error.
class CSilentObject : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return QString(); }
  bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
};

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::fputs("talvero-silent-secrets: no session bus\n", stderr);
    return 1;
  }
  CSilentObject silent;
  if (!bus.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath)) {
    std::fputs("talvero-silent-secrets: cannot take the object paths\n", stderr);
    return 1;
  }
  if (!bus.registerService(QStringLiteral("org.freedesktop.secrets"))) {
    std::fputs("talvero-silent-secrets: org.freedesktop.secrets is taken\n", stderr);
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  return app.exec();
}
