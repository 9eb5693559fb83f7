#include "ChatTabLayout.h"

#include "SettingsStore.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

const QString CChatTabLayout::kKey = QStringLiteral("Software\\TVR\\Client\\ChatTabs");
const QString CChatTabLayout::kValue = QStringLiteral("Layout");

namespace {

const QString kVisitorPrefix = QStringLiteral("v:");
const QString kOperatorPrefix = QStringLiteral("o:");

bool IsChatKey(const QString& key) {
  return (key.startsWith(kVisitorPrefix) || key.startsWith(kOperatorPrefix)) && key.size() > 2;
}

}  // namespace

QString CChatTabLayout::ChatKey(bool bOperatorChat, const QString& chatId) {
  return (bOperatorChat ? kOperatorPrefix : kVisitorPrefix) + QString::fromLatin1(QUrl::toPercentEncoding(chatId));
}

CChatTabLayout::Place CChatTabLayout::Find(const QString& chatKey) const {
  for (int w = 0; w < windows.size(); ++w)
    if (const qsizetype at = windows[w].indexOf(chatKey); at >= 0) return {w, int(at)};
  return {};
}

QString CChatTabLayout::Text() const {
  QStringList lines;
  for (const QStringList& chats : windows)
    if (!chats.isEmpty()) lines << chats.join(u' ');
  return lines.join(u'\n');
}

CChatTabLayout CChatTabLayout::FromText(const QString& text) {
  CChatTabLayout layout;
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
    const QStringList chats = line.split(u' ', Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& chat : chats) {
      // A text that is not ours (hand-edited, cut short) is read as none:
      // a half-read layout would put chats in the wrong windows.
      if (!IsChatKey(chat)) return {};
      if (!kept.contains(chat)) kept << chat;
    }
    if (!kept.isEmpty()) layout.windows << kept;
  }
  return layout;
}

CChatTabLayout CChatTabLayout::Load() {
  return FromText(CSettingsStore().ReadText(kKey, kValue).value_or(QString()));
}

void CChatTabLayout::Save() const {
  CSettingsStore store;
  if (store.CreateKey(kKey)) store.WriteText(kKey, kValue, Text());
}

QString CChatTabLayout::GeometryName(int window) {
  QByteArray screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect r = screen->geometry();
    screens += QStringLiteral("%1x%2+%3+%4;").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).toLatin1();
  }
  const QByteArray id = QCryptographicHash::hash(screens, QCryptographicHash::Sha1).toHex().left(8);
  return QStringLiteral("ChatTabs%1@%2").arg(window + 1).arg(QString::fromLatin1(id));
}
