#pragma once

#include "SecretStore.h"

#include <QList>
#include <QMap>
#include <QString>

#include <functional>

// The secret service of a test: a map of keys to secrets that answers at
// once and can be told that the desktop has no secret service or that some
// kind of call fails. With holdAnswers it keeps every call until
// ReleaseAnswers(), like a keyring that takes its time; a held call acts on
// the map when it is answered. Installs itself for its lifetime; held calls
// are dropped with it, unanswered.
class CRecordingSecretStore : public CSecretStore {
 public:
  CRecordingSecretStore();
  ~CRecordingSecretStore() override;

  void Read(const QString& key, ReadDone done) override;
  void Write(const QString& key, const QString& secret, Done done) override;
  void Remove(const QString& key, Done done) override;

  int HeldAnswers() const { return int(m_held.size()); }
  // Answers the calls held so far, in the order they came.
  void ReleaseAnswers();

  QMap<QString, QString> secrets;
  bool available = true;
  bool failReads = false;
  bool failWrites = false;
  bool failRemoves = false;
  bool holdAnswers = false;

 private:
  void Answer(std::function<void()> answer);

  QList<std::function<void()>> m_held;
};
