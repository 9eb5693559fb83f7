#include "MessageDlg.h"

#include "DialogUnits.h"
#include "EventSound.h"
#include "Separators.h"
#include "SplitReply.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CMessageDlg::CMessageDlg(const QString& text, QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Message from Support Operator"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));
  resize(CDialogUnits::Size(220, 120));
  m_pText = new QPlainTextEdit(this);
  m_pText->setReadOnly(true);
  m_pText->setPlainText(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pText);
  layout->addWidget(buttons);
}

CMessageDlg* CMessageDlg::Show(const QString& text, bool bAskedFor) {
  auto* dlg = new CMessageDlg(text);
  CWindowPlacement::PlaceCascaded(dlg);
  CWindowArrival::Show(dlg, bAskedFor);
  return dlg;
}

CMessageDlg* CMessageDlg::ShowMessagesReply(const QString& reply, bool bAskedFor) {
  if (reply.isEmpty() || reply == kDisconnect) return nullptr;
  const QStringList pieces = SplitReply(reply, kSepBlock);
  if (pieces.size() == 2 && pieces[1] == QStringLiteral("sound3")) PlayEventSound(EVENT_MESSAGE_FROM_CSR);
  return Show(MessageText(pieces[0]), bAskedFor);
}

QString CMessageDlg::MessageText(const QString& replyPiece) {
  QString text = replyPiece;
  text.replace(kSepField, QStringLiteral("\n"));
  text.replace(kSepLine, QStringLiteral(":  "));
  return text;
}

QString CMessageDlg::Text() const { return m_pText->toPlainText(); }
