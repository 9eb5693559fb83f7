#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QLabel;
class QTabWidget;
class CShortcutsPage;

// The preferences: the sound of each alert event (built-in, none or a WAV
// file of the operator's), automatic start, spell checking, always-on-top,
// the repeated chat request sound, going Offline when away and keeping chats
// in the local archive, on a first page; the commands' keys on a second
// (CShortcutsPage). Edits go to a working copy; OK stores everything
// through CPreferences, whose change signals tell the windows. Deleting the
// archive is no preference: it happens at once, after a question, through
// the callable the console gives.
class CSoundsDlg : public QDialog {
  Q_OBJECT

 public:
  enum Mode { ModeDefault = 0, ModeNone = 1, ModeCustom = 2 };

  // `deleteArchive`: removes every archived chat; none, and the dialog
  // offers no deleting.
  explicit CSoundsDlg(QWidget* parent = nullptr, std::function<void()> deleteArchive = {});

  // Runs the dialog modally over the owner; the result is QDialog::Accepted
  // after OK. Safe when the owner goes away while the dialog is open.
  static int Run(QWidget* owner, std::function<void()> deleteArchive = {});

  // The sounds chosen so far, one per event; OK stores them.
  const QStringList& Working() const { return m_saWorking; }

 public slots:
  void OnSelchangeSoundList();
  void OnDefault();
  void OnNone();
  void OnCustom();
  void OnChangeFileEdit();
  void OnBrowse();
  void OnTest();
  void OnOK();
  void OnCancel();
  void OnDeleteArchive();

 private:
  void CreateControls();
  void FitRepeatBox();
  void FitArchiveRow();
  void FitEventList();
  void MakePages();
  void OnInitDialog();
  int CurSel() const;
  void ShowMode();

  QListWidget* m_pList;
  QButtonGroup* m_pModeGroup;
  QRadioButton* m_pModes[3];
  QPushButton* m_pTest;
  QLineEdit* m_pEdit;
  QPushButton* m_pBrowse;
  QGroupBox* m_pOthers;
  QCheckBox* m_pAutoStart;
  QCheckBox* m_pSpellCheck;
  QCheckBox* m_pChatTabs;
  QCheckBox* m_pTop;
  QCheckBox* m_pRepeat;
  QCheckBox* m_pAway;
  QSpinBox* m_pAwayMinutes;
  QLabel* m_pAwayUnit;
  QCheckBox* m_pArchive;
  QSpinBox* m_pArchiveDays;
  QLabel* m_pArchiveUnit;
  QPushButton* m_pDeleteArchive;
  QLabel* m_pNoTray = nullptr;  // only where the desktop has no tray
  QPushButton* m_pOk;
  QPushButton* m_pCancel;
  QTabWidget* m_pPages;
  CShortcutsPage* m_pShortcuts;
  int m_nMode = ModeDefault;
  QStringList m_saWorking;
  std::function<void()> m_deleteArchive;
};
