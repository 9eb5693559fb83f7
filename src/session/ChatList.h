#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

// The chats open in this console, visitor and operator chats alike, in the
// order they opened: the one list that the chat windows, the keyboard's
// order of chats and the alert room read. Each chat is listed with the
// object that shows it, its view. A chat opened again while its old view
// waits for deletion takes the new view and goes to the end; the old view
// going then leaves it listed. The session's end closes them all.
class CChatList : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Visitor, Operator };

  explicit CChatList(QObject* parent = nullptr);

  void Add(const QString& chatId, Kind kind, QObject* view);
  // Takes the chat out only while `view` is the one listed.
  void Remove(const QString& chatId, const QObject* view);
  void RemoveAll(Kind kind);

  bool Contains(const QString& chatId) const { return Find(chatId) >= 0; }
  // The chat's view, if it is listed as of this kind and its view lives.
  QObject* View(const QString& chatId, Kind kind) const;
  // In the order the chats opened.
  QStringList Ids(Kind kind) const;
  QList<QObject*> Views() const;
  int Count() const { return int(m_chats.size()); }

  // Asks every chat's view to close, then forgets them all.
  void CloseAll();

 signals:
  void CloseRequested();

 private:
  struct Entry {
    QString id;
    Kind kind;
    QPointer<QObject> view;
    const QObject* listed;  // the view as added: told apart even while it is destroyed
  };
  int Find(const QString& chatId) const;

  QList<Entry> m_chats;
};
