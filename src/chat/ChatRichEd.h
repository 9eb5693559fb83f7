#pragma once

#include "TranscriptLine.h"

#include <QColor>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QVarLengthArray>

class QTextCursor;

// The transcript of a chat: read-only rich text, one coloured line per chat
// line, emoticon codes shown as pictures, addresses as links that open
// through the desktop's handler. Lines are always added at the end through
// a cursor of its own, whatever the operator has selected; the view
// follows the newest line unless the operator has scrolled up to read. The
// text is kept bounded: past 125,000 characters the oldest 50,000 go.
class CChatRichEd : public QTextBrowser {
  Q_OBJECT

 public:
  static constexpr int kSizeBound = 125000;
  static constexpr int kTrimCount = 50000;
  // The text property of a picture: the code it stands for.
  static constexpr int kCodeProperty = QTextFormat::UserProperty + 1;
  // The text property of a line's run: its colour in the light look, from
  // which the shown colour is worked out again for a new palette.
  static constexpr int kLineColourProperty = QTextFormat::UserProperty + 2;

  static const QColor kOwnColour;      // the operator's own lines
  static const QColor kNoticeColour;   // notices, and lines without a colon
  static const QColor kOtherColour;    // the visitor's or another operator's lines

  explicit CChatRichEd(QWidget* parent = nullptr);

  // Plain lines (an operator chat): no pictures and no pushed addresses.
  void SetPlainLines(bool bPlain) { m_bPlainLines = bPlain; }
  // Keeps every line, past the bound too: an archived chat is read whole.
  void SetKeepWhole(bool bWhole) { m_bKeepWhole = bWhole; }
  // The colour of a speaker's lines in the light look.
  static QColor LineColour(TranscriptLine::Speaker speaker);

  // Adds one chat line (or notice) at the end, in its speaker's colour: as
  // plain text, with its emoticon codes as pictures and its addresses as links.
  void AppendLine(const TranscriptLine& line);

  // The length as the bound counts it: a picture is one character, a line
  // break one.
  int TextLength() const;

 protected:
  QMimeData* createMimeDataFromSelection() const override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // The emoticon pictures, the first time the document draws each.
  QVariant loadResource(int type, const QUrl& name) override;
  void changeEvent(QEvent* event) override;

 private:
  void FollowFontSize();
  // The colour a line of this colour is shown in on the present palette.
  QColor ShownColour(const QColor& lineColour) const;
  // Shows the lines already there in the colours of the present palette.
  void RecolourLines();
  // A line's text, and the formats to lay over parts of it (links, pictures).
  struct LineRuns {
    struct Overlay {
      qsizetype start;
      qsizetype length;
      const QTextCharFormat* format;
    };
    QString text;
    QVarLengthArray<Overlay, 8> overlays;
  };
  void AddPlain(LineRuns& runs, const QString& text) const;
  void AddPicture(LineRuns& runs, int bitmapId) const;
  void OpenLink(const QUrl& link);
  QString LinkTextAt(int position) const;

  QTextCharFormat m_format;      // the run format of the line being added
  QTextCharFormat m_linkFormat;  // the same for its links
  bool m_bFollowNewest = true;
  bool m_bPlainLines = false;
  bool m_bKeepWhole = false;
  QPoint m_lastRelease;
  bool m_bReleasing = false;
};
