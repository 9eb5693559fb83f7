#include "ResponseCompleter.h"

#include "MySpellEditCtrl.h"
#include "OutsideText.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>

namespace {

constexpr int kMostRowsShown = 8;
constexpr int kWidth = 360;

}  // namespace

CResponseCompleter::CResponseCompleter(CMySpellEditCtrl* entry)
    : QObject(entry), m_pEntry(entry), m_pList(new QListWidget(entry->window())) {
  m_pList->setFocusPolicy(Qt::NoFocus);
  m_pList->setUniformItemSizes(true);
  m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_pList->setTextElideMode(Qt::ElideRight);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->hide();
  // Installed after the window's own filter, so it sees the keys first.
  entry->installEventFilter(this);
  connect(entry, &QPlainTextEdit::textChanged, this, [this] { Update(true); });
  connect(entry, &QPlainTextEdit::cursorPositionChanged, this, [this] { Update(false); });
  connect(m_pList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { Choose(m_pList->row(item)); });
}

void CResponseCompleter::SetResponses(const QList<CannedResponse>& responses) {
  m_responses = responses;
  if (IsOpen()) Update(false);
}

bool CResponseCompleter::IsOpen() const { return m_pList->isVisible(); }

int CResponseCompleter::SlashBeforeCaret() const {
  const QTextCursor caret = m_pEntry->textCursor();
  if (caret.hasSelection()) return -1;
  const QTextBlock block = caret.block();
  const QString line = block.text().left(caret.positionInBlock());
  // The last "/" of the line that starts a word.
  for (qsizetype i = line.size() - 1; i >= 0; --i) {
    if (line[i] == u'/' && (i == 0 || line[i - 1].isSpace())) return block.position() + int(i);
  }
  return -1;
}

void CResponseCompleter::Update(bool textChanged) {
  const int slash = m_pEntry->isReadOnly() ? -1 : SlashBeforeCaret();
  const int caret = m_pEntry->textCursor().position();
  if (slash != m_nDismissed) m_nDismissed = -1;
  // Only a "/" just typed opens the list: an old "/word" the caret comes
  // back to, or one that Ctrl+Z brings back, does not.
  const bool opening = textChanged && caret == slash + 1;
  if (slash < 0 || slash == m_nDismissed || (!IsOpen() && !opening)) {
    Close();
    return;
  }
  const QString typed = m_pEntry->document()->toPlainText().mid(slash + 1, caret - slash - 1);
  const QStringList words = FoldedForSearch(typed).split(u' ', Qt::SkipEmptyParts);
  QList<int> shown;
  for (int i = 0; i < m_responses.size(); ++i) {
    if (MatchesFilter(words, {m_responses[i].title, m_responses[i].text})) shown.append(i);
  }
  if (shown.isEmpty()) {
    Close();
    return;
  }
  if (shown != m_shown || slash != m_nSlash || !IsOpen()) {
    m_shown = shown;
    m_nSlash = slash;
    m_pList->clear();
    for (int i : shown) {
      // The service's words: shown as written, never as markup.
      auto* item = new QListWidgetItem(DisplayedField(m_responses[i].title) + QStringLiteral(" \u2014 ") +
                                       DisplayedField(m_responses[i].text).replace(u'\n', u' '));
      item->setToolTip(PlainToolTip(m_responses[i].text));
      m_pList->addItem(item);
    }
    m_pList->setCurrentRow(0);
  }
  Place();
  m_pList->show();
  m_pList->raise();
}

// Above the caret's line, where the draft's own text is not hidden, or
// below it when the window has no room above; inside the window.
void CResponseCompleter::Place() {
  QWidget* window = m_pList->parentWidget();
  const int rows = qMin(m_pList->count(), kMostRowsShown);
  const int height = rows * m_pList->sizeHintForRow(0) + 2 * m_pList->frameWidth();
  const int width = qMin(kWidth, window->width());
  const QRect caret = m_pEntry->cursorRect();
  const QPoint top = m_pEntry->viewport()->mapTo(window, caret.topLeft());
  const QPoint bottom = m_pEntry->viewport()->mapTo(window, caret.bottomLeft());
  int y = top.y() - height;
  if (y < 0) y = bottom.y();
  const int x = qBound(0, top.x(), qMax(0, window->width() - width));
  m_pList->setGeometry(x, qBound(0, y, qMax(0, window->height() - height)), width, height);
}

void CResponseCompleter::Choose(int row) {
  if (row < 0 || row >= m_shown.size() || m_nSlash < 0) return;
  const QString text = m_responses[m_shown[row]].text;
  QTextCursor edit = m_pEntry->textCursor();
  const int caret = edit.position();
  const int slash = m_nSlash;
  Close();
  // One step: Ctrl+Z brings the "/words" back.
  edit.beginEditBlock();
  edit.setPosition(slash);
  edit.setPosition(caret, QTextCursor::KeepAnchor);
  edit.insertText(text);
  edit.endEditBlock();
  m_pEntry->setTextCursor(edit);
  Close();  // the text change above must not open it again
  m_pEntry->setFocus();
}

void CResponseCompleter::Close() {
  m_nSlash = -1;
  m_shown.clear();
  if (m_pList->isVisible()) m_pList->hide();
}

bool CResponseCompleter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_pEntry || !IsOpen()) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::FocusOut) {
    // Clicking a row takes no focus; anything else that does ends the choice.
    Close();
  } else if (event->type() == QEvent::ShortcutOverride) {
    // Escape is the list's while it is shown, not a shortcut's.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      event->accept();
      return true;
    }
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int row = m_pList->currentRow();
    switch (key->key()) {
      case Qt::Key_Up:
        m_pList->setCurrentRow(qMax(0, row - 1));
        return true;
      case Qt::Key_Down:
        m_pList->setCurrentRow(qMin(m_pList->count() - 1, row + 1));
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Tab:
        Choose(row);
        return true;
      case Qt::Key_Escape:
        m_nDismissed = m_nSlash;
        Close();
        return true;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}
