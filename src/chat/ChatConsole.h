#pragma once

#include <QString>
#include <QStringList>

struct VisitorDetails;

// What a chat window needs of the console that opened it. The console
// implements it; the chat library stays below the console's.
class IChatConsole {
 public:
  virtual ~IChatConsole() = default;
  // "name (status)" of every operator of the site, the own entry included.
  virtual QStringList OperatorTexts() const = 0;
  // Tells the service the operator is online, unless he chose Offline.
  virtual void AnnounceOnline() = 0;
  // Keeps a visitor's details, so the console's rows show them too.
  virtual void CacheDetails(const VisitorDetails& details, const QString& chatId) = 0;
};
