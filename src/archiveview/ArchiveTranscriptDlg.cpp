#include "ArchiveTranscriptDlg.h"

#include "ArchiveHitDelegate.h"
#include "ArchiveWords.h"
#include "ChatArchive.h"
#include "ChatRichEd.h"
#include "DesktopServices.h"
#include "TranscriptExport.h"
#include "WindowPlacement.h"
#include "WindowUnits.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QPointer>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

const QString CArchiveTranscriptDlg::kPlacementName = QStringLiteral("ArchiveTranscript");

CArchiveTranscriptDlg::CArchiveTranscriptDlg(CChatArchive& archive, const ArchiveChat& chat, const QString& words,
                                             qint64 firstMatch)
    : m_chat(chat), m_strWords(words), m_nFirstMatch(firstMatch) {
  setObjectName(QStringLiteral("archiveTranscript"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Archive: %1, %2 - Talvero")
                     .arg(CArchiveHitDelegate::Who(chat),
                          QLocale().toString(chat.started.toLocalTime(), QLocale::ShortFormat)));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

  m_pFacts = new QLabel(this);
  m_pFacts->setTextFormat(Qt::PlainText);
  m_pFacts->setWordWrap(true);
  m_pFacts->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QStringList facts;
  if (!chat.visitorEmail.isEmpty()) facts << chat.visitorEmail;
  if (!chat.visitorAddress.isEmpty()) facts << chat.visitorAddress;
  if (!chat.page.isEmpty()) facts << chat.page;
  if (!chat.endedHow.isEmpty()) facts << chat.endedHow;
  m_pFacts->setText(CArchiveHitDelegate::Who(chat) + (facts.isEmpty() ? QString() : u'\n' + facts.join(u"  ·  ")));

  m_pView = new CChatRichEd(this);
  m_pView->SetKeepWhole(true);
  m_pView->SetPlainLines(chat.operatorChat);
  m_pView->setPlaceholderText(QStringLiteral("Reading the chat from the archive..."));

  m_pExport = new QPushButton(QStringLiteral("&Export"), this);
  m_pExport->setAutoDefault(false);
  m_pExport->setEnabled(false);  // until the lines are there
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_pExport);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pFacts);
  layout->addWidget(m_pView, 1);
  layout->addLayout(buttons);

  const CWindowUnits du = CWindowUnits::Of(this);
  setMinimumSize(du.Size(200, 120));
  resize(du.Size(360, 300));
  if (!CWindowPlacement::Restore(this, kPlacementName)) CWindowPlacement::PlaceCascaded(this);
  m_pView->setFocus();

  connect(m_pExport, &QPushButton::clicked, this, &CArchiveTranscriptDlg::Export);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  archive.Transcript(chat.id, this, [this](const QList<ArchiveLine>& lines) { ShowLines(lines); });
}

void CArchiveTranscriptDlg::ShowLines(const QList<ArchiveLine>& lines) {
  m_lines = lines;
  m_firstBlocks.clear();
  if (lines.isEmpty()) m_pView->setPlaceholderText(QStringLiteral("The archive holds no lines of this chat."));
  for (const ArchiveLine& line : lines) {
    // The document's last block is the empty one each line leaves behind.
    m_firstBlocks << m_pView->document()->blockCount() - 1;
    m_pView->AppendLine(CTranscriptExport::ShownLine(line));
  }
  m_pExport->setEnabled(!lines.isEmpty());
  Highlight();
}

void CArchiveTranscriptDlg::ShowMatch(const QString& words, qint64 firstMatch) {
  m_strWords = words;
  m_nFirstMatch = firstMatch;
  if (!m_lines.isEmpty()) Highlight();
}

void CArchiveTranscriptDlg::Highlight() {
  // The words are found again in the text as shown, where a picture
  // stands for its emoticon code, by the same rule the search used.
  const CArchiveWords words(m_strWords);
  QList<QTextEdit::ExtraSelection> marks;
  QTextCharFormat marked;
  marked.setBackground(CArchiveHitDelegate::kMarkColour);
  marked.setForeground(Qt::black);
  int shownBlock = 0;
  for (QTextBlock block = m_pView->document()->begin(); block.isValid() && !words.IsEmpty(); block = block.next()) {
    for (const ArchiveMark& mark : words.Marks(block.text())) {
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + mark.start);
      cursor.setPosition(block.position() + mark.start + mark.length, QTextCursor::KeepAnchor);
      marks.append({cursor, marked});
    }
  }
  m_pView->setExtraSelections(marks);
  for (qsizetype i = 0; i < m_lines.size(); ++i)
    if (m_lines[i].id == m_nFirstMatch) shownBlock = m_firstBlocks[i];
  // Once the view has laid the lines out: the match near the top, the
  // lines before it above.
  QTimer::singleShot(0, this, [this, shownBlock] {
    const QTextBlock block = m_pView->document()->findBlockByNumber(shownBlock);
    QTextCursor cursor(block);
    m_pView->setTextCursor(cursor);
    const QRect at = m_pView->cursorRect(cursor);
    QScrollBar* bar = m_pView->verticalScrollBar();
    bar->setValue(bar->value() + at.top() - m_pView->viewport()->height() / 4);
    m_pView->ensureCursorVisible();
  });
}

void CArchiveTranscriptDlg::Export() {
  // The documents folder where there is one, else home: a dialog shown a
  // folder that does not exist falls back to the program's working folder.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QPointer<CArchiveTranscriptDlg> self(this);
  const QString path = CDesktopServices::Get().SaveFileName(
      this, QStringLiteral("Export the chat (.txt: plain text, .html: a web page)"),
      QDir(folder).filePath(CTranscriptExport::ProposedName(m_chat)));
  // The window may have gone with the console while the file dialog was open.
  if (!self || path.isEmpty()) return;
  const QString failure = CTranscriptExport::Write(path, m_chat, m_lines);
  if (!failure.isEmpty())
    CDesktopServices::Get().MessageBox(this, QStringLiteral("The chat could not be written to %1:\n%2").arg(path, failure),
                                       QStringLiteral("Export"), CDesktopServices::Icon::Exclamation);
}

CArchiveTranscriptDlg::~CArchiveTranscriptDlg() {
  if (isVisible()) CWindowPlacement::Save(this, kPlacementName);
}

void CArchiveTranscriptDlg::done(int result) {
  CWindowPlacement::Save(this, kPlacementName);
  QDialog::done(result);
}
