#pragma once

#include "ArchiveRecords.h"

#include <QMap>
#include <QObject>
#include <QPointer>

class CArchiveSearchDlg;
class CArchiveTranscriptDlg;
class CChatArchive;
class QWidget;

// The archive's windows of one console: its one search window, brought
// forward when it is open already, and a transcript window per archived
// chat opened; Ctrl+Shift+F on the windows it watches; a visitor's earlier
// chats as a menu. It owns the search window, which has no parent so that
// it stacks on its own.
class CArchiveWindows : public QObject {
  Q_OBJECT

 public:
  explicit CArchiveWindows(CChatArchive& archive, QObject* parent = nullptr);
  ~CArchiveWindows() override;

  // The search key in this window opens the search window.
  void AddSearchKey(QWidget* window);

  // Whether the operator keeps the archive on. Off, the earlier chats
  // say so; what the file holds stays searchable until it is deleted.
  void SetOn(bool bOn) { m_bOn = bOn; }

  // The open search window, if any.
  CArchiveSearchDlg* SearchWindow() const;

 public slots:
  // Opens the search window, or brings it forward, the caret in its words.
  void OpenSearch();
  // Opens the chat's transcript (or brings its open one forward) with the
  // words highlighted and `firstMatch` in view.
  CArchiveTranscriptDlg* OpenTranscript(const ArchiveChat& chat, const QString& words = QString(),
                                        qint64 firstMatch = 0);
  // Drops down under `anchor` the visitor's archived chats other than
  // `currentChatId`, newest first; choosing one opens it. The menu says so
  // when there are none (or the archive failed).
  void ShowEarlierChats(const ArchiveVisitor& visitor, const QString& currentChatId, QWidget* anchor);

 signals:
  // The menu of earlier chats is shown, filled.
  void EarlierChatsShown(QWidget* menu);

 private:
  void PopUpEarlierChats(const QList<ArchiveHit>& hits, const QString& currentChatId, QWidget* anchor);

  CChatArchive& m_archive;
  bool m_bOn = true;
  QPointer<CArchiveSearchDlg> m_pSearch;
  // Kept as QObjects: a window's `destroyed` comes from ~QWidget, when it is
  // no transcript window any more, and a typed pointer to it would be read
  // as one.
  QMap<qint64, QPointer<QObject>> m_transcripts;
};
