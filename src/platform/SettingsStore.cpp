#include "SettingsStore.h"

#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

const QString CSettingsStore::kRootKey = QStringLiteral("Software\\TVR\\Client");
const QString CSettingsStore::kLoginKey = QStringLiteral("Software\\TVR\\Client\\Login");

namespace {

CSettingsFile ReadFile(const QString& path) {
  CSettingsFile file;
  QFile f(path);
  if (f.open(QIODevice::ReadOnly)) file.Parse(f.readAll());
  return file;
}

bool WriteAll(int fd, const QByteArray& data) {
  const char* p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

// Writes the file beside its final place and renames it over the old one,
// so that readers see either the old or the new content, never a mix.
bool ReplaceFile(const QString& path, const QByteArray& content) {
  const QByteArray target = QFile::encodeName(path);
  const QByteArray temp = target + ".tmp." + QByteArray::number(::getpid());
  const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.constData(), target.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
  const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

// Runs one read-modify-write of the file under an exclusive lock, so that two
// programs changing settings at once do not lose each other's change.
// The change returns false when it changed nothing.
bool Modify(const QString& path, const std::function<bool(CSettingsFile&)>& change) {
  const QString dir = QFileInfo(path).absolutePath();
  if (!QDir().mkpath(dir)) return false;
  ::chmod(QFile::encodeName(dir).constData(), 0700);
  const QByteArray lockPath = QFile::encodeName(path) + ".lock";
  const int lock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) return false;
  while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
  }
  CSettingsFile file = ReadFile(path);
  bool ok = change(file);
  if (ok) ok = ReplaceFile(path, file.Serialise());
  ::flock(lock, LOCK_UN);
  ::close(lock);
  return ok;
}

}  // namespace

CSettingsStore::CSettingsStore() : m_strPath(DefaultPath()) {}

CSettingsStore::CSettingsStore(QString filePath) : m_strPath(std::move(filePath)) {}

QString CSettingsStore::DefaultPath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/TVR/Client.conf");
}

bool CSettingsStore::RestrictAccess() const {
  const QByteArray path = QFile::encodeName(m_strPath);
  // Through an opened descriptor: a link put in the file's place is not
  // followed, and the mode set is that of the file checked.
  const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && (st.st_mode & 07777) != 0600) ok = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  ::chmod(QFile::encodeName(QFileInfo(m_strPath).absolutePath()).constData(), 0700);
  return ok;
}

bool CSettingsStore::KeyExists(const QString& key) const { return ReadFile(m_strPath).FindKey(key) != nullptr; }

bool CSettingsStore::CreateKey(const QString& key) {
  if (CSettingsFile::NormaliseKey(key).isEmpty()) return false;
  if (KeyExists(key)) return true;
  return Modify(m_strPath, [&](CSettingsFile& file) {
    if (file.FindKey(key) != nullptr) return true;
    file.AddKey(key);
    return true;
  });
}

bool CSettingsStore::DeleteKey(const QString& key) {
  if (!KeyExists(key)) return false;
  return Modify(m_strPath, [&](CSettingsFile& file) { return file.RemoveKey(key); });
}

std::optional<QString> CSettingsStore::ReadText(const QString& key, const QString& name) const {
  const CSettingsFile file = ReadFile(m_strPath);
  const SettingsKey* k = file.FindKey(key);
  const SettingsValue* v = k ? CSettingsFile::FindValue(*k, name) : nullptr;
  if (v == nullptr || v->binary) return std::nullopt;
  return v->text;
}

std::optional<QByteArray> CSettingsStore::ReadBinary(const QString& key, const QString& name) const {
  const CSettingsFile file = ReadFile(m_strPath);
  const SettingsKey* k = file.FindKey(key);
  const SettingsValue* v = k ? CSettingsFile::FindValue(*k, name) : nullptr;
  if (v == nullptr || !v->binary) return std::nullopt;
  return v->bytes;
}

namespace {

bool Put(const QString& path, const QString& key, SettingsValue value) {
  return Modify(path, [&](CSettingsFile& file) {
    SettingsKey* k = file.FindKey(key);
    if (k == nullptr) return false;
    if (SettingsValue* old = CSettingsFile::FindValue(*k, value.name)) {
      value.name = old->name;
      *old = value;
    } else {
      k->values.append(value);
    }
    return true;
  });
}

}  // namespace

// The writers look for the key before taking the lock, so that a write into a
// missing key does not create the settings folder and lock file.
bool CSettingsStore::WriteText(const QString& key, const QString& name, const QString& value) {
  if (!KeyExists(key)) return false;
  SettingsValue v;
  v.name = name;
  v.text = value;
  return Put(m_strPath, key, v);
}

bool CSettingsStore::WriteBinary(const QString& key, const QString& name, const QByteArray& value) {
  if (!KeyExists(key)) return false;
  SettingsValue v;
  v.name = name;
  v.binary = true;
  v.bytes = value;
  return Put(m_strPath, key, v);
}

bool CSettingsStore::DeleteValue(const QString& key, const QString& name) {
  return Modify(m_strPath, [&](CSettingsFile& file) {
    SettingsKey* k = file.FindKey(key);
    if (k == nullptr) return false;
    return k->values.removeIf([&](const SettingsValue& v) { return v.name.compare(name, Qt::CaseInsensitive) == 0; }) > 0;
  });
}
