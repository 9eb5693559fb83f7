#include "SettingsFile.h"

#include <cctype>
#include <cstring>

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Percent-escapes '%', control characters and the given specials.
QByteArray Escape(const QString& text, const char* specials) {
  const QByteArray utf8 = text.toUtf8();
  QByteArray out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '%' || std::strchr(specials, c) != nullptr) {
      out += '%';
      out += QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    } else {
      out += c;
    }
  }
  return out;
}

QString Unescape(QByteArrayView text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(uchar(text[i + 1])) &&
        std::isxdigit(uchar(text[i + 2]))) {
      out += char(QByteArray(text.data() + i + 1, 2).toInt(nullptr, 16));
      i += 2;
      continue;
    }
    out += text[i];
  }
  return QString::fromUtf8(out);
}

}  // namespace

QString CSettingsFile::NormaliseKey(const QString& key) {
  const QStringList parts = key.split(u'\\', Qt::SkipEmptyParts);
  return parts.join(u'\\');
}

void CSettingsFile::Parse(const QByteArray& content) {
  m_keys.clear();
  SettingsKey* current = nullptr;
  for (qsizetype start = 0; start < content.size();) {
    qsizetype end = content.indexOf('\n', start);
    if (end < 0) end = content.size();
    QByteArrayView line(content.constData() + start, end - start);
    start = end + 1;
    if (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (line.startsWith('[') && line.endsWith(']')) {
      const QString path = NormaliseKey(Unescape(line.sliced(1, line.size() - 2)));
      current = path.isEmpty() ? nullptr : &AddKey(path);
      continue;
    }
    const qsizetype eq = line.indexOf('=');
    if (current == nullptr || eq <= 0) continue;
    SettingsValue value;
    value.name = Unescape(line.first(eq));
    const QByteArrayView payload = line.sliced(eq + 1);
    if (payload.startsWith("sz:")) {
      value.text = Unescape(payload.sliced(3));
    } else if (payload.startsWith("bin:")) {
      const QByteArrayView hex = payload.sliced(4);
      if (hex.size() % 2 != 0) continue;
      value.binary = true;
      value.bytes = QByteArray::fromHex(hex.toByteArray());
      if (value.bytes.size() * 2 != hex.size()) continue;  // not all hex digits
    } else {
      continue;
    }
    if (SettingsValue* old = FindValue(*current, value.name))
      *old = value;
    else
      current->values.append(value);
  }
}

QByteArray CSettingsFile::Serialise() const {
  QByteArray out = "# Talvero settings. The program rewrites this file; keep its format.\n";
  for (const SettingsKey& key : m_keys) {
    out += '[' + Escape(key.path, "[]") + "]\n";
    for (const SettingsValue& v : key.values) {
      out += Escape(v.name, "=[#");
      out += v.binary ? "=bin:" + v.bytes.toHex() : "=sz:" + Escape(v.text, "");
      out += '\n';
    }
  }
  return out;
}

SettingsKey* CSettingsFile::FindKey(const QString& path) {
  const QString wanted = NormaliseKey(path);
  for (SettingsKey& key : m_keys)
    if (SameName(key.path, wanted)) return &key;
  return nullptr;
}

const SettingsKey* CSettingsFile::FindKey(const QString& path) const {
  return const_cast<CSettingsFile*>(this)->FindKey(path);
}

SettingsKey& CSettingsFile::AddKey(const QString& path) {
  const QStringList parts = NormaliseKey(path).split(u'\\');
  SettingsKey* key = nullptr;
  QString prefix;
  for (const QString& part : parts) {
    prefix = prefix.isEmpty() ? part : prefix + u'\\' + part;
    key = FindKey(prefix);
    if (key == nullptr) {
      m_keys.append(SettingsKey{prefix, {}});
      key = &m_keys.last();
    }
  }
  return *key;
}

bool CSettingsFile::RemoveKey(const QString& path) {
  const QString wanted = NormaliseKey(path);
  if (wanted.isEmpty()) return false;
  const QString below = wanted + u'\\';
  const qsizetype before = m_keys.size();
  m_keys.removeIf([&](const SettingsKey& key) {
    return SameName(key.path, wanted) || key.path.startsWith(below, Qt::CaseInsensitive);
  });
  return m_keys.size() != before;
}

SettingsValue* CSettingsFile::FindValue(SettingsKey& key, const QString& name) {
  for (SettingsValue& v : key.values)
    if (SameName(v.name, name)) return &v;
  return nullptr;
}

const SettingsValue* CSettingsFile::FindValue(const SettingsKey& key, const QString& name) {
  return FindValue(const_cast<SettingsKey&>(key), name);
}
