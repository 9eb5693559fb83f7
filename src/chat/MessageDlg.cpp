#include "MessageDlg.h"

#include "AppIdentity.h"
#include "WindowUnits.h"
#include "MessagesReply.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CMessageDlg::CMessageDlg(const QString& text, QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Message from Support Operator"));
  setWindowIcon(AppIcon());
  resize(CWindowUnits::Of(this).Size(220, 120));
  m_pText = new QPlainTextEdit(this);
  m_pText->setReadOnly(true);
  m_pText->setAccessibleName(QStringLiteral("Message"));
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

CMessageDlg* CMessageDlg::ShowMessagesReply(const MessagesReply& reply, bool bAskedFor) {
  return reply.wellFormed ? Show(reply.text, bAskedFor) : nullptr;
}

QString CMessageDlg::Text() const { return m_pText->toPlainText(); }
