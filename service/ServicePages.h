#pragma once

#include "ServiceReply.h"

class CServiceState;
struct ChatLine;

// The server pages: transcripts, the control panel, a visitor's chat
// history, operator chat transcripts, the file-transfer form, and the site
// pages the login window shows or opens.
class CServicePages {
 public:
  explicit CServicePages(CServiceState& state) : m_state(state) {}

  // Where the pages link to (scheme, host and prefix), such as
  // "http://127.0.0.1:8470/cpn".
  void SetBaseAddress(const QString& base) { m_strBase = base; }

  // "/w-browser.php" with opurl transcript, control, vchathist or
  // optranscript; export gives the transcripts as a text file.
  ServiceReply Browser(const Query& q);
  ServiceReply FileTransferForm(const Query& q);
  ServiceReply FileUpload(const Query& fields, const QString& fileName, const QByteArray& data,
                          const QString& contentType);
  ServiceReply StoredFile(const QString& id);
  // "winapp.html", "order.php", "contactus.php", "forpass.php".
  ServiceReply SitePage(const QString& name);

  static constexpr qsizetype kMaxUpload = 10 * 1024 * 1024;

 private:
  QString ChatTranscript(const QList<ChatLine>& lines) const;

  CServiceState& m_state;
  QString m_strBase;
};
