// The keyring store against real secret services: GNOME Keyring, a service
// that never answers, and no session bus at all.
//
// A process has one session bus, and GLib ends a process whose bus closes,
// so each case runs in a child process of this program: the parent starts a
// bus of its own with the service on it, the child makes the calls and
// checks the answers. Nothing touches the desktop's own bus or keyring.
#include "KeychainSecretStore.h"
#include "SavedCredentials.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

// The child's environment variable: the case it runs.
const char kCaseVariable[] = "TALVERO_KEYRING_CASE";
const QString kService = QStringLiteral("talvero-test");
const QString kSecretsName = QStringLiteral("org.freedesktop.secrets");

using Status = CSecretStore::Status;

QString Text(const CSecretStore::ReadResult& result) {
  static const char* const kNames[] = {"Ok", "NotFound", "Unavailable", "Failed"};
  QString text = QString::fromLatin1(kNames[int(result.status)]);
  if (!result.secret.isEmpty()) text += u' ' + result.secret;
  return text;
}

// One call whose answer is kept as text, and whether it came within the
// call itself.
struct CCall {
  std::shared_ptr<std::optional<QString>> answer = std::make_shared<std::optional<QString>>();
  bool bAnsweredInTheCall = false;

  CSecretStore::ReadDone Done() const {
    return [answer = answer](const CSecretStore::ReadResult& result) { *answer = Text(result); };
  }
  CSecretStore::Done StatusDone() const {
    return [done = Done()](Status status) { done({status, QString()}); };
  }
  // The answer once it came, "no answer" after the limit.
  QString Wait(int limitMs = 15000) const {
    (void)QTest::qWaitFor([this] { return answer->has_value(); }, limitMs);
    return answer->value_or(QStringLiteral("no answer"));
  }
};

CCall Read(CSecretStore& store, const QString& key) {
  CCall call;
  store.Read(key, call.Done());
  call.bAnsweredInTheCall = call.answer->has_value();
  return call;
}
CCall Write(CSecretStore& store, const QString& key, const QString& secret) {
  CCall call;
  store.Write(key, secret, call.StatusDone());
  call.bAnsweredInTheCall = call.answer->has_value();
  return call;
}
CCall Remove(CSecretStore& store, const QString& key) {
  CCall call;
  store.Remove(key, call.StatusDone());
  call.bAnsweredInTheCall = call.answer->has_value();
  return call;
}

}  // namespace

// The calls, in a child process whose session bus the parent chose.
class TestKeychainInChild : public QObject {
  Q_OBJECT

 private slots:
  void roundTrip() {
    CKeychainSecretStore store(kService, 10000);
    const QString awkward = QString::fromUtf8("p a#s%s+&=Жж東京 ");
    QCOMPARE(Write(store, "anna@1001", "first").Wait(), QString("Ok"));
    QCOMPARE(Read(store, "anna@1001").Wait(), QString("Ok first"));
    QCOMPARE(Write(store, "anna@1001", awkward).Wait(), QString("Ok"));
    QCOMPARE(Read(store, "anna@1001").Wait(), "Ok " + awkward);
    QCOMPARE(Read(store, "bob@1001").Wait(), QString("NotFound"));
    QCOMPARE(Remove(store, "anna@1001").Wait(), QString("Ok"));
    QCOMPARE(Read(store, "anna@1001").Wait(), QString("NotFound"));
    // Entries belong to their service name: another program does not see ours.
    CKeychainSecretStore other(kService + "-other", 10000);
    QCOMPARE(Write(store, "anna@1001", "ours").Wait(), QString("Ok"));
    QCOMPARE(Read(other, "anna@1001").Wait(), QString("NotFound"));
  }

  // A call is answered once, even when its job ends after the time-out, and
  // not at all once its store is gone.
  void answersOnceAndNeverAfterTheStoreIsGone() {
    int hastyAnswers = 0;
    CKeychainSecretStore hasty(kService, 0);
    CCall late;
    hasty.Read("anna@1001", [&hastyAnswers, done = late.Done()](const CSecretStore::ReadResult& result) {
      ++hastyAnswers;
      done(result);
    });
    int goneAnswers = 0;
    auto gone = std::make_unique<CKeychainSecretStore>(kService, 10000);
    gone->Write("anna@1001", "written", [&goneAnswers](Status) { ++goneAnswers; });
    gone.reset();
    // QtKeychain runs its jobs in order: once this one is answered, both
    // jobs above have ended.
    CKeychainSecretStore steady(kService, 10000);
    QCOMPARE(Read(steady, "anna@1001").Wait(), QString("Ok written"));
    QCOMPARE(late.Wait(), QString("Failed"));
    QCOMPARE(hastyAnswers, 1);
    QCOMPARE(goneAnswers, 0);
    QCOMPARE(Remove(steady, "anna@1001").Wait(), QString("Ok"));
  }

  // A service that never answers: no call waits, each fails within its
  // time-out while the program goes on, and while one is overdue the
  // store's next calls fail at once instead of queueing behind it.
  void silentServiceFailsInTime() {
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    const int timeoutMs = 500;
    for (const QString kind : {"read", "write", "remove"}) {
      CKeychainSecretStore store(kService, timeoutMs);
      const int ticksBefore = ticks;
      QElapsedTimer clock;
      clock.start();
      const CCall call = kind == "read"    ? Read(store, "anna@1001")
                         : kind == "write" ? Write(store, "anna@1001", "pw")
                                           : Remove(store, "anna@1001");
      QVERIFY2(!call.bAnsweredInTheCall, qPrintable(kind));
      QCOMPARE(call.Wait(3000), QString("Failed"));
      QVERIFY2(clock.elapsed() >= timeoutMs && clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
      QVERIFY2(ticks - ticksBefore >= 10, qPrintable(QString::number(ticks - ticksBefore)));
      qInfo("%s answered Failed after %lld ms", qPrintable(kind), clock.elapsed());

      const CCall next = Read(store, "anna@1001");
      QVERIFY(next.bAnsweredInTheCall);
      QCOMPARE(next.Wait(0), QString("Failed"));
    }
  }

  // Remembering a login while the keyring never answers: once it is given
  // up, the settings file holds the login without its password, and the
  // operator was not offered the file instead (a keyring is there).
  void silentServiceKeepsThePasswordOffTheDisk() {
    CKeychainSecretStore store(kService, 500);
    CSecretStore::Install(&store);
    std::optional<CSecretStore::Status> keyring;
    bool bOffered = false;
    CSavedCredentials::Save(
        {"anna", "1001", "pw"},
        [&bOffered] {
          bOffered = true;
          return true;
        },
        [&keyring](bool, CSecretStore::Status status) { keyring = status; });
    QTRY_VERIFY_WITH_TIMEOUT(keyring.has_value(), 5000);
    CSecretStore::Install(nullptr);
    QCOMPARE(*keyring, CSecretStore::Status::Failed);
    QVERIFY(!bOffered);
    const std::optional<Credentials> record = CSavedCredentials::Record();
    QVERIFY(record.has_value());
    QCOMPARE(record->loginId, QString("anna"));
    QCOMPARE(record->password, QString());
  }

  void noSessionBusIsUnavailableAtOnce() {
    QVERIFY(!QDBusConnection::sessionBus().isConnected());
    CKeychainSecretStore store(kService, 500);
    QElapsedTimer clock;
    clock.start();
    for (const CCall& call : {Read(store, "anna@1001"), Write(store, "anna@1001", "pw"), Remove(store, "anna@1001")}) {
      QVERIFY(call.bAnsweredInTheCall);
      QCOMPARE(call.Wait(0), QString("Unavailable"));
    }
    qInfo("three calls answered in %lld ms", clock.elapsed());
  }
};

// The desktops the child runs on.
class TestKeychainSecretStore : public QObject {
  Q_OBJECT

 private:
  // A home folder and a session bus of their own, with one service on the
  // bus; both end with the object.
  class CPrivateDesktop {
   public:
    CPrivateDesktop() {
      m_environment = QProcessEnvironment::systemEnvironment();
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DBUS_SESSION_BUS_ADDRESS"})
        m_environment.remove(QString::fromLatin1(name));
      const QString home = m_home.path();
      QDir(home).mkpath("run");
      QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      m_environment.insert("HOME", home);
      m_environment.insert("XDG_DATA_HOME", home + "/data");
      m_environment.insert("XDG_CONFIG_HOME", home + "/config");
      m_environment.insert("XDG_CACHE_HOME", home + "/cache");
      m_environment.insert("XDG_RUNTIME_DIR", home + "/run");
    }
    ~CPrivateDesktop() {
      // The service first: it must not see its bus go.
      for (QProcess* process : {&m_service, &m_bus}) {
        if (process->state() == QProcess::NotRunning) continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
          process->kill();
          process->waitForFinished();
        }
      }
    }

    bool StartBus() {
      m_bus.setProcessEnvironment(m_environment);
      m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
      while (m_bus.waitForReadyRead(10000) && !m_bus.canReadLine()) {
      }
      const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
      if (address.isEmpty()) return false;
      m_environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
      return true;
    }

    // GNOME Keyring with its login keyring unlocked (made on first use).
    bool StartKeyring() {
      m_service.setProcessEnvironment(m_environment);
      m_service.start("gnome-keyring-daemon", {"--foreground", "--unlock", "--components=secrets"});
      if (!m_service.waitForStarted()) return false;
      m_service.write("keyring password");
      m_service.closeWriteChannel();
      // Watched from a connection of our own: this process's session bus
      // stays untouched.
      const QString probeName = QStringLiteral("keyring-probe");
      bool bOwned = false;
      {
        QDBusConnection probe =
            QDBusConnection::connectToBus(m_environment.value("DBUS_SESSION_BUS_ADDRESS"), probeName);
        bOwned = QTest::qWaitFor([&] { return probe.interface()->isServiceRegistered(kSecretsName).value(); }, 15000);
      }
      QDBusConnection::disconnectFromBus(probeName);
      return bOwned;
    }

    bool StartSilentService() {
      m_service.setProcessEnvironment(m_environment);
      m_service.start(QCoreApplication::applicationDirPath() + "/../../talvero-silent-secrets", {});
      while (m_service.waitForReadyRead(10000) && !m_service.canReadLine()) {
      }
      return m_service.readLine().trimmed() == "ready";
    }

    // Where no bus listens.
    void LeaveWithoutBus() {
      m_environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_home.path() + "/no-bus");
    }

    // Runs a case of the child here: empty when it passed, else its output.
    QString RunChild(const QString& caseName) const {
      QProcessEnvironment environment = m_environment;
      environment.insert(QString::fromLatin1(kCaseVariable), caseName);
      QProcess child;
      child.setProcessEnvironment(environment);
      child.setProcessChannelMode(QProcess::MergedChannels);
      child.start(QCoreApplication::applicationFilePath(), {});
      const bool bFinished = child.waitForFinished(60000);
      if (!bFinished) {
        child.kill();
        child.waitForFinished();
      }
      const QString output = QString::fromUtf8(child.readAll());
      qInfo().noquote() << output.trimmed();
      const bool bPassed = bFinished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
      return bPassed ? QString() : caseName + " failed:\n" + output;
    }

   private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_bus;
    QProcess m_service;
  };

 private slots:
  void gnomeKeyring() {
    CPrivateDesktop desktop;
    QVERIFY(desktop.StartBus());
    QVERIFY(desktop.StartKeyring());
    for (const char* caseName : {"roundTrip", "answersOnceAndNeverAfterTheStoreIsGone"}) {
      const QString failure = desktop.RunChild(caseName);
      QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
  }

  void serviceThatNeverAnswers() {
    CPrivateDesktop desktop;
    QVERIFY(desktop.StartBus());
    QVERIFY(desktop.StartSilentService());
    for (const char* caseName : {"silentServiceFailsInTime", "silentServiceKeepsThePasswordOffTheDisk"}) {
      const QString failure = desktop.RunChild(caseName);
      QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
  }

  void noSessionBus() {
    CPrivateDesktop desktop;
    desktop.LeaveWithoutBus();
    const QString failure = desktop.RunChild("noSessionBusIsUnavailableAtOnce");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }
};

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QString caseName = qEnvironmentVariable(kCaseVariable);
  if (!caseName.isEmpty()) {
    TestKeychainInChild child;
    return QTest::qExec(&child, {QCoreApplication::applicationFilePath(), caseName});
  }
  TestKeychainSecretStore test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_KeychainSecretStore.moc"
