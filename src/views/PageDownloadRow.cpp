#include "PageDownloadRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CPageDownloadRow::CPageDownloadRow(const QString& path, std::function<void()> cancel, QWidget* parent)
    : QWidget(parent),
      m_strPath(path),
      m_pText(new QLabel(QStringLiteral("Saving %1").arg(path), this)),
      m_pProgress(new QProgressBar(this)),
      m_pCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  m_pText->setTextFormat(Qt::PlainText);  // the page named the file
  m_pText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_pText->setMinimumWidth(1);
  m_pProgress->setRange(0, 0);  // busy until the size is known
  m_pProgress->setAccessibleName(QStringLiteral("Download progress"));
  m_pCancel->setAutoDefault(false);
  m_pCancel->setToolTip(QStringLiteral("Stop this download"));
  connect(m_pCancel, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pText, 1);
  layout->addWidget(m_pProgress);
  layout->addWidget(m_pCancel);
}

void CPageDownloadRow::ShowProgress(qint64 received, qint64 total) {
  if (total <= 0) return;
  // In thousandths: a range of int holds any file size so.
  m_pProgress->setRange(0, 1000);
  m_pProgress->setValue(int(qBound(qint64(0), received * 1000 / total, qint64(1000))));
}

void CPageDownloadRow::ShowEnd(bool bSaved, const QString& reason) {
  m_pProgress->hide();
  m_pCancel->hide();
  m_pText->setText(bSaved ? QStringLiteral("Saved %1").arg(m_strPath)
                          : QStringLiteral("Not saved (%1): %2").arg(reason.isEmpty() ? QStringLiteral("failed") : reason,
                                                                      m_strPath));
}

QString CPageDownloadRow::Text() const { return m_pText->text(); }

bool CPageDownloadRow::IsRunning() const { return !m_pCancel->isHidden(); }
