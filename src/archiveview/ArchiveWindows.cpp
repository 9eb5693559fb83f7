#include "ArchiveWindows.h"

#include "ArchiveHitDelegate.h"
#include "ArchiveSearchDlg.h"
#include "ArchiveTranscriptDlg.h"
#include "ChatArchive.h"
#include "Shortcuts.h"
#include "WindowArrival.h"

#include <QLocale>
#include <QMenu>
#include <QShortcut>

#include <utility>

CArchiveWindows::CArchiveWindows(CChatArchive& archive, QObject* parent) : QObject(parent), m_archive(archive) {}

CArchiveWindows::~CArchiveWindows() {
  delete m_pSearch;
  // Taken out first: each window's end would take itself out of the map.
  const auto windows = std::exchange(m_transcripts, {});
  for (const QPointer<QObject>& window : windows) delete window.data();
}

CArchiveSearchDlg* CArchiveWindows::SearchWindow() const { return m_pSearch; }

void CArchiveWindows::AddSearchKey(QWidget* window) {
  // Window-wide: whichever control has the keyboard, entry boxes included.
  QShortcut* shortcut = CShortcuts::Instance().AddKey(window, QStringLiteral("SearchArchive"));
  connect(shortcut, &QShortcut::activated, this, &CArchiveWindows::OpenSearch);
}

void CArchiveWindows::OpenSearch() {
  if (!m_pSearch) {
    m_pSearch = new CArchiveSearchDlg(m_archive);
    connect(m_pSearch, &CArchiveSearchDlg::OpenChat, this,
            [this](const ArchiveChat& chat, const QString& words, qint64 firstMatch) {
              OpenTranscript(chat, words, firstMatch);
            });
  }
  CWindowArrival::ShowInFront(m_pSearch);
  m_pSearch->FocusWords();
}

CArchiveTranscriptDlg* CArchiveWindows::OpenTranscript(const ArchiveChat& chat, const QString& words,
                                                       qint64 firstMatch) {
  auto* window = qobject_cast<CArchiveTranscriptDlg*>(m_transcripts.value(chat.id).data());
  // A closed one is on its way out.
  if (window && window->isVisible()) {
    window->ShowMatch(words, firstMatch);
  } else {
    window = new CArchiveTranscriptDlg(m_archive, chat, words, firstMatch);
    m_transcripts.insert(chat.id, window);
    // Only if no newer window of the same chat took its place.
    connect(window, &QObject::destroyed, this, [this, id = chat.id](QObject* gone) {
      if (m_transcripts.value(id) == gone) m_transcripts.remove(id);
    });
    AddSearchKey(window);
  }
  CWindowArrival::ShowInFront(window);
  return window;
}

void CArchiveWindows::ShowEarlierChats(const ArchiveVisitor& visitor, const QString& currentChatId,
                                       QWidget* anchor) {
  if (!m_bOn) {
    PopUpEarlierChats({}, currentChatId, anchor);
    return;
  }
  ArchiveQuery query;
  query.sameVisitor = visitor;
  query.maxChats = 30;
  const QPointer<QWidget> where(anchor);
  m_archive.Search(query, anchor, [this, where, currentChatId](const QList<ArchiveHit>& hits) {
    if (where) PopUpEarlierChats(hits, currentChatId, where);
  });
}

void CArchiveWindows::PopUpEarlierChats(const QList<ArchiveHit>& hits, const QString& currentChatId,
                                        QWidget* anchor) {
  if (!anchor->isVisible()) return;
  // Shown without a nested loop; each item opens the chat it was made for.
  auto* menu = new QMenu(anchor);
  menu->setObjectName(QStringLiteral("earlierChats"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const ArchiveHit& hit : hits) {
    if (hit.chat.chatId == currentChatId) continue;
    const QString text = QLocale().toString(hit.chat.started.toLocalTime(), QLocale::ShortFormat) +
                         QStringLiteral("  ") + CArchiveHitDelegate::Who(hit.chat);
    // An "&" of a visitor's name is text, not a mnemonic.
    menu->addAction(QString(text).replace(u'&', QStringLiteral("&&")), this,
                    [this, chat = hit.chat] { OpenTranscript(chat); });
  }
  if (menu->isEmpty())
    menu->addAction(!m_bOn                  ? QStringLiteral("The archive is turned off")
                    : m_archive.HasFailed() ? QStringLiteral("The archive is not available")
                                            : QStringLiteral("No earlier chats of this visitor"))
        ->setEnabled(false);
  menu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
  emit EarlierChatsShown(menu);
}
