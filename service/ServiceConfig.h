#pragma once

#include <QList>
#include <QString>

// What the service knows before it runs: its parameters and the accounts of
// the sites it serves, from a config file or the built-in demo site.
struct OperatorAccount {
  QString loginId;
  QString password;
  bool admin = false;
};

struct CannedEntry {
  QString category;
  QString title;
  QString text;
};

struct PushEntry {
  QString title;
  QString url;
};

struct SiteConfig {
  QString id;
  QString address = QStringLiteral("http://www.example.com");
  int consolePeriod = 8;  // seconds
  int chatPeriod = 4;     // seconds
  QList<OperatorAccount> operators;
  QList<CannedEntry> canned;
  QList<PushEntry> push;

  const OperatorAccount* FindOperator(const QString& loginId) const;
};

class CServiceConfig {
 public:
  QString prefix = QStringLiteral("cpn");  // announced without the leading "/"
  QString host;                            // announced host; empty: 127.0.0.1:<port>
  QString version = QStringLiteral(TALVERO_VERSION);  // the console's own: no newer one by default
  QString newVersionText = QStringLiteral("A new version of Talvero is available. Download it now?");
  QList<SiteConfig> sites;

  // Site 1001 with operators demo (administrator), anna and ben.
  static CServiceConfig Demo();
  // Reads a config file (see service/README.md); on failure returns false
  // and says why, naming the line.
  static bool Load(const QString& path, CServiceConfig& config, QString& error);
};
