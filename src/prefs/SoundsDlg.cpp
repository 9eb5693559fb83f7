#include "SoundsDlg.h"

#include "AppIdentity.h"
#include "AutoStart.h"
#include "DesktopServices.h"
#include "WindowUnits.h"
#include "EventSound.h"
#include "Preferences.h"
#include "ShortcutsPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSuggestedAwayMinutes = 10;

bool IsDefaultSound(const QString& sound) { return sound.isEmpty() || sound == QStringLiteral("Default"); }

// Places a control of the template, in the dialog units of its window's font.
template <typename T>
T* Place(T* widget, int x, int y, int width, int height) {
  widget->setGeometry(CWindowUnits::Of(widget->window()).Rect(x, y, width, height));
  return widget;
}

}  // namespace

CSoundsDlg::CSoundsDlg(QWidget* parent, std::function<void()> deleteArchive)
    : QDialog(parent), m_deleteArchive(std::move(deleteArchive)) {
  setWindowTitle(QStringLiteral("Talvero: Preferences"));
  setWindowIcon(AppIcon());
  CreateControls();
  OnInitDialog();
  FitEventList();
  MakePages();
}

int CSoundsDlg::Run(QWidget* owner, std::function<void()> deleteArchive) {
  // The owner may be destroyed during the nested loop (a log-out reply);
  // it then deletes the dialog with it.
  QPointer<CSoundsDlg> dialog = new CSoundsDlg(owner, std::move(deleteArchive));
  // Modal to the console only: chat windows keep taking input meanwhile.
  dialog->setWindowModality(Qt::WindowModal);
  const int result = dialog->exec();
  delete dialog.data();
  return result;
}

void CSoundsDlg::CreateControls() {
  // The template's places; the repeat box, going Offline when away and the
  // archive are rows of our own below the three others, so the group, OK
  // and Cancel sit lower.
  constexpr int kHeight = 255;
  setFixedSize(CWindowUnits::Of(this).Size(190, kHeight));
  auto* caption = Place(new QLabel(QStringLiteral("&Sounds"), this), 8, 0, 99, 8);
  m_pList = Place(new QListWidget(this), 6, 9, 175, 65);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  caption->setBuddy(m_pList);
  m_pList->setAccessibleName(QStringLiteral("Sounds"));

  m_pModeGroup = new QButtonGroup(this);
  m_pModes[ModeDefault] = Place(new QRadioButton(QStringLiteral("&Default"), this), 8, 81, 39, 10);
  m_pModes[ModeNone] = Place(new QRadioButton(QStringLiteral("&None"), this), 46, 81, 33, 10);
  m_pModes[ModeCustom] = Place(new QRadioButton(QStringLiteral("&Custom"), this), 84, 81, 39, 10);
  for (int mode = ModeDefault; mode <= ModeCustom; ++mode) m_pModeGroup->addButton(m_pModes[mode], mode);
  m_pTest = Place(new QPushButton(QStringLiteral("&Test"), this), 133, 77, 50, 14);
  m_pEdit = Place(new QLineEdit(this), 8, 95, 122, 14);
  m_pEdit->setAccessibleName(QStringLiteral("Sound file"));
  m_pBrowse = Place(new QPushButton(QStringLiteral("&Browse"), this), 133, 94, 50, 14);

  m_pOthers = Place(new QGroupBox(QStringLiteral("Others"), this), 7, 111, 176, 125);
  m_pAutoStart = Place(new QCheckBox(QStringLiteral("&Automatic Start on Desktop Start Up"), this), 13, 122, 164, 10);
  m_pSpellCheck = Place(new QCheckBox(QStringLiteral("&Enable Spell Check"), this), 13, 136, 164, 10);
  m_pTop = Place(new QCheckBox(QStringLiteral("Al&ways On Top"), this), 13, 150, 164, 10);
  m_pRepeat = Place(new QCheckBox(QStringLiteral("Repeat the chat request sound every 30 s until the chat is taken"), this),
                    13, 164, 164, 10);

  // A row of our own too: going Offline while the operator is away.
  m_pAway = Place(new QCheckBox(QStringLiteral("Go Offline when awa&y for"), this), 13, 177, 100, 10);
  m_pAwayMinutes = Place(new QSpinBox(this), 113, 175, 30, 13);
  m_pAwayMinutes->setRange(1, CPreferences::kMaxAwayMinutes);
  m_pAwayMinutes->setAccessibleName(QStringLiteral("Minutes without input"));
  m_pAwayUnit = Place(new QLabel(QStringLiteral("minutes"), this), 146, 177, 34, 10);
  connect(m_pAway, &QCheckBox::toggled, m_pAwayMinutes, &QWidget::setEnabled);

  // The local archive of chats: kept for so many days, or not at all.
  m_pArchive = Place(new QCheckBox(QStringLiteral("&Keep chats in the archive for"), this), 13, 191, 100, 10);
  m_pArchiveDays = Place(new QSpinBox(this), 113, 189, 30, 13);
  m_pArchiveDays->setRange(1, CPreferences::kMaxArchiveDays);
  m_pArchiveDays->setAccessibleName(QStringLiteral("Days to keep archived chats"));
  m_pArchiveUnit = Place(new QLabel(QStringLiteral("days"), this), 146, 191, 34, 10);
  connect(m_pArchive, &QCheckBox::toggled, m_pArchiveDays, &QWidget::setEnabled);
  m_pDeleteArchive = Place(new QPushButton(QStringLiteral("Delete the a&rchive"), this), 13, 204, 80, 14);
  m_pDeleteArchive->setEnabled(static_cast<bool>(m_deleteArchive));
  m_pChatTabs = Place(new QCheckBox(QStringLiteral("Show all chats as tabs &in one window"), this), 13, 222, 164, 10);

  // Where the desktop has no tray, a note of where alerts appear instead,
  // in four rows above OK and Cancel.
  const bool noTray = !CDesktopServices::Get().IsTrayAvailable();
  const int buttonsY = noTray ? kHeight - 17 + 38 : kHeight - 17;
  if (noTray) {
    setFixedSize(CWindowUnits::Of(this).Size(190, kHeight + 38));
    m_pNoTray = Place(new QLabel(CDesktopServices::AlertsWithoutTray(), this), 8, kHeight - 17, 175, 36);
    m_pNoTray->setWordWrap(true);
  }
  m_pOk = Place(new QPushButton(QStringLiteral("OK"), this), 26, buttonsY, 50, 14);
  m_pOk->setDefault(true);
  m_pCancel = Place(new QPushButton(QStringLiteral("Cancel"), this), 114, buttonsY, 50, 14);
  FitRepeatBox();
  FitArchiveRow();

  connect(m_pList, &QListWidget::itemSelectionChanged, this, &CSoundsDlg::OnSelchangeSoundList);
  connect(m_pModes[ModeDefault], &QRadioButton::clicked, this, &CSoundsDlg::OnDefault);
  connect(m_pModes[ModeNone], &QRadioButton::clicked, this, &CSoundsDlg::OnNone);
  connect(m_pModes[ModeCustom], &QRadioButton::clicked, this, &CSoundsDlg::OnCustom);
  // Only the operator's own typing: the text set when an event is selected
  // must not be stored over "None" or over another file.
  connect(m_pEdit, &QLineEdit::textEdited, this, &CSoundsDlg::OnChangeFileEdit);
  connect(m_pBrowse, &QPushButton::clicked, this, &CSoundsDlg::OnBrowse);
  connect(m_pTest, &QPushButton::clicked, this, &CSoundsDlg::OnTest);
  connect(m_pOk, &QPushButton::clicked, this, &CSoundsDlg::OnOK);
  connect(m_pCancel, &QPushButton::clicked, this, &CSoundsDlg::OnCancel);
  connect(m_pDeleteArchive, &QPushButton::clicked, this, &CSoundsDlg::OnDeleteArchive);
}

void CSoundsDlg::FitEventList() {
  // The template's list holds its seven events in the font's line height;
  // rows here are taller than a line, so the list grows until all show, and
  // everything below it, the dialog with it, moves down by as much.
  const int rows = m_pList->count() > 0 ? m_pList->sizeHintForRow(0) * m_pList->count() : 0;
  const int extra = rows + 2 * m_pList->frameWidth() - m_pList->height();
  if (extra <= 0) return;
  const int listBottom = m_pList->geometry().bottom();
  for (QWidget* widget : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (widget->y() > listBottom) widget->move(widget->x(), widget->y() + extra);
  m_pList->resize(m_pList->width(), m_pList->height() + extra);
  setFixedSize(width(), height() + extra);
}

void CSoundsDlg::MakePages() {
  // The controls placed so far make the first page, where they were;
  // OK and Cancel stay below both pages.
  auto* general = new QWidget;
  const QSize generalSize(width(), m_pOk->y());
  for (QWidget* widget : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (widget != m_pOk && widget != m_pCancel) widget->setParent(general);
  auto* room = new QVBoxLayout(general);
  room->setContentsMargins(0, 0, 0, 0);
  room->addSpacerItem(new QSpacerItem(generalSize.width(), generalSize.height(), QSizePolicy::Fixed, QSizePolicy::Fixed));
  m_pShortcuts = new CShortcutsPage;
  m_pPages = new QTabWidget(this);
  m_pPages->setAccessibleName(QStringLiteral("Preferences"));
  m_pPages->addTab(general, QStringLiteral("&General"));
  m_pPages->addTab(m_pShortcuts, QStringLiteral("S&hortcuts"));

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {m_pOk, m_pCancel}) {
    button->setFixedSize(button->size());
    buttons->addStretch(1);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(m_pPages);
  layout->addLayout(buttons);
}

void CSoundsDlg::FitRepeatBox() {
  // The long text of the repeat box may not fit the template's width: the
  // dialog grows to the right by what is missing, OK and Cancel stay centred.
  const int extra = m_pRepeat->sizeHint().width() - m_pRepeat->width();
  if (extra <= 0) return;
  setFixedSize(width() + extra, height());
  for (QWidget* widget : {static_cast<QWidget*>(m_pList), static_cast<QWidget*>(m_pEdit),
                          static_cast<QWidget*>(m_pOthers), static_cast<QWidget*>(m_pAutoStart),
                          static_cast<QWidget*>(m_pSpellCheck), static_cast<QWidget*>(m_pTop),
                          static_cast<QWidget*>(m_pRepeat), static_cast<QWidget*>(m_pChatTabs),
                          static_cast<QWidget*>(m_pNoTray)})
    if (widget != nullptr) widget->resize(widget->width() + extra, widget->height());
  for (QWidget* widget : {m_pTest, m_pBrowse}) widget->move(widget->x() + extra, widget->y());
  for (QWidget* widget : {m_pOk, m_pCancel}) widget->move(widget->x() + extra / 2, widget->y());
}

void CSoundsDlg::FitArchiveRow() {
  // The box's text may be wider than its place: the days and their unit
  // move right by what is missing, keeping their gaps.
  const int extra = m_pArchive->sizeHint().width() - m_pArchive->width();
  if (extra <= 0) return;
  m_pArchive->resize(m_pArchive->width() + extra, m_pArchive->height());
  for (QWidget* widget : {static_cast<QWidget*>(m_pArchiveDays), static_cast<QWidget*>(m_pArchiveUnit)})
    widget->move(widget->x() + extra, widget->y());
}

void CSoundsDlg::OnInitDialog() {
  const CPreferences& prefs = CPreferences::Instance();
  m_saWorking = prefs.EventSounds();
  for (int i = 0; i < kEventCount; ++i) m_pList->addItem(EventName(i));
  m_pList->setCurrentRow(0);
  OnSelchangeSoundList();
  m_pAutoStart->setChecked(CAutoStart::IsOn());
  m_pSpellCheck->setChecked(prefs.SpellCheck());
  m_pTop->setChecked(prefs.AlwaysOnTop());
  m_pRepeat->setChecked(prefs.RepeatRequestSound());
  m_pAway->setChecked(prefs.AwayMinutes() > 0);
  m_pAwayMinutes->setValue(prefs.AwayMinutes() > 0 ? prefs.AwayMinutes() : kSuggestedAwayMinutes);
  m_pAwayMinutes->setEnabled(m_pAway->isChecked());
  m_pArchive->setChecked(prefs.ArchiveOn());
  m_pArchiveDays->setValue(prefs.ArchiveDays());
  m_pArchiveDays->setEnabled(m_pArchive->isChecked());
  m_pChatTabs->setChecked(prefs.ChatTabs());
}

int CSoundsDlg::CurSel() const {
  const QList<QListWidgetItem*> selected = m_pList->selectedItems();
  return selected.isEmpty() ? -1 : m_pList->row(selected.first());
}

void CSoundsDlg::ShowMode() { m_pModes[m_nMode]->setChecked(true); }

void CSoundsDlg::OnSelchangeSoundList() {
  for (QRadioButton* mode : m_pModes) mode->setEnabled(false);
  m_pEdit->setEnabled(false);
  m_pTest->setEnabled(false);
  m_pBrowse->setEnabled(false);
  m_pEdit->clear();
  const int i = CurSel();
  if (i < 0) return;
  const QString& sound = m_saWorking.at(i);
  if (IsDefaultSound(sound)) {
    m_nMode = ModeDefault;
    m_pTest->setEnabled(true);
  } else if (sound == QStringLiteral("None")) {
    m_nMode = ModeNone;
  } else {
    m_nMode = ModeCustom;
    m_pEdit->setText(sound);
    m_pEdit->setEnabled(true);
    m_pTest->setEnabled(true);
  }
  // Browse waits for a click on Custom, even for an event that has a file.
  for (QRadioButton* mode : m_pModes) mode->setEnabled(true);
  ShowMode();
}

void CSoundsDlg::OnDefault() {
  const int i = CurSel();
  if (i < 0) return;
  m_nMode = ModeDefault;
  m_saWorking[i] = QStringLiteral("Default");
  m_pBrowse->setEnabled(false);
  m_pEdit->setEnabled(false);
  m_pTest->setEnabled(true);
}

void CSoundsDlg::OnNone() {
  const int i = CurSel();
  if (i < 0) return;
  m_nMode = ModeNone;
  m_saWorking[i] = QStringLiteral("None");
  m_pBrowse->setEnabled(false);
  m_pTest->setEnabled(false);
  m_pEdit->setEnabled(false);
}

void CSoundsDlg::OnCustom() {
  const int i = CurSel();
  if (i < 0) return;
  m_nMode = ModeCustom;
  m_saWorking[i] = m_pEdit->text();
  m_pBrowse->setEnabled(true);
  m_pTest->setEnabled(true);
  m_pEdit->setEnabled(true);
  m_pEdit->setFocus();
}

void CSoundsDlg::OnChangeFileEdit() {
  const int i = CurSel();
  if (i >= 0 && m_nMode == ModeCustom) m_saWorking[i] = m_pEdit->text();
}

void CSoundsDlg::OnBrowse() {
  QPointer<CSoundsDlg> self(this);
  const QString path = CDesktopServices::Get().OpenFileName(this, QStringLiteral("Open"),
                                                            QStringLiteral("Wave Files (*.wav)"));
  if (!self || path.isEmpty()) return;
  m_pEdit->setText(path);
  m_pEdit->setFocus();
  const int i = CurSel();
  if (i >= 0) m_saWorking[i] = path;
}

void CSoundsDlg::OnTest() {
  const int i = CurSel();
  if (i < 0 || m_nMode == ModeNone) return;
  const QString sound = m_saWorking.at(i);
  // Custom without a file yet has nothing to try.
  if (IsDefaultSound(sound) && m_nMode == ModeCustom) return;
  PlayEventSoundSetting(i, sound);
}

void CSoundsDlg::OnOK() {
  CPreferences& prefs = CPreferences::Instance();
  prefs.StoreEventSounds(m_saWorking);
  CAutoStart::Set(m_pAutoStart->isChecked());
  prefs.SetSpellCheck(m_pSpellCheck->isChecked());
  prefs.SetAlwaysOnTop(m_pTop->isChecked());
  prefs.SetRepeatRequestSound(m_pRepeat->isChecked());
  prefs.SetAwayMinutes(m_pAway->isChecked() ? m_pAwayMinutes->value() : 0);
  prefs.SetArchiveOn(m_pArchive->isChecked());
  prefs.SetArchiveDays(m_pArchiveDays->value());
  prefs.SetChatTabs(m_pChatTabs->isChecked());
  m_pShortcuts->Store();
  accept();
}

void CSoundsDlg::OnDeleteArchive() {
  QPointer<CSoundsDlg> self(this);
  const CDesktopServices::Answer answer = CDesktopServices::Get().MessageBox(
      this, QStringLiteral("Delete every chat in the archive? This cannot be undone."), QStringLiteral("Talvero"),
      CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNo);
  // The dialog may have gone with its owner while the question waited.
  if (!self || answer != CDesktopServices::Answer::Yes) return;
  m_deleteArchive();
  m_pDeleteArchive->setEnabled(false);
  m_pDeleteArchive->setText(QStringLiteral("Archive deleted"));
}

void CSoundsDlg::OnCancel() { reject(); }
