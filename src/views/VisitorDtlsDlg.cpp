#include "VisitorDtlsDlg.h"

#include "ElidedLabel.h"
#include "MyHyperLink.h"
#include "ThemeColours.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

const QColor CVisitorDtlsDlg::kValueColour{0, 0, 210};

namespace {

using F = VisitorDetails::Field;

struct Row {
  F field;
  const char* label;
};

// Three boxes: who and where from, the browser and system, the place.
const Row kVisitorRows[] = {{F::VisitorName, "Visitor Name"}, {F::VisitorEmail, "Visitor Email"},
                            {F::Url, "URL"},                  {F::Referrer, "Referrer"},
                            {F::CustomInformation, "Custom Informations"},
                            {F::UserAgent, "System/Browser Info"}};
const Row kSystemRows[] = {{F::Browser, "Browser"},      {F::OperatingSystem, "OS"}, {F::Screen, "Screen/Colors"},
                           {F::Java, "Java"},            {F::Language, "Language"},  {F::IpHost, "IP Host (ISP)"}};
const Row kPlaceRows[] = {{F::Country, "Country"},       {F::Region, "Region"},
                          {F::City, "City"},             {F::TimeZone, "GMT +/- UserTime"},
                          {F::CountryLanguage, "Country Language"}, {F::Currency, "Currency"},
                          {F::Population, "Population"}};

}  // namespace

CVisitorDtlsDlg::CVisitorDtlsDlg(QWidget* parent)
    : QWidget(parent), m_pUrl(new CMyHyperLink), m_pReferrer(new CMyHyperLink), m_pEmail(new CMyHyperLink) {
  m_values[F::Url] = m_pUrl;
  m_values[F::Referrer] = m_pReferrer;
  m_values[F::VisitorEmail] = m_pEmail;

  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(4, 2, 4, 2);
  columns->setSpacing(4);
  const auto addBox = [&](const Row* rows, int count, int stretch) {
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    for (int i = 0; i < count; ++i) {
      const size_t f = size_t(rows[i].field);
      auto* label = new QLabel(QString::fromLatin1(rows[i].label) + QStringLiteral(" :"), box);
      m_labels[f] = label;
      if (m_values[f] == nullptr) {
        CElidedLabel* value = m_values[f] = new CElidedLabel(box);
        ThemeColours::KeepTextColour(value, kValueColour);
      }
      CElidedLabel* value = m_values[f];
      value->setTextFormat(Qt::PlainText);
      // A long page address is elided at the panel's edge instead of
      // widening the console; the tooltip and a copy have it whole.
      value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      value->setAccessibleName(QString::fromLatin1(rows[i].label));
      grid->addWidget(label, i, 0);
      grid->addWidget(value, i, 1);
    }
    grid->setRowStretch(count, 1);
    columns->addWidget(box, stretch);
  };
  addBox(kVisitorRows, int(std::size(kVisitorRows)), 4);
  addBox(kSystemRows, int(std::size(kSystemRows)), 3);
  addBox(kPlaceRows, int(std::size(kPlaceRows)), 3);

  for (CMyHyperLink* link : {m_pUrl, m_pReferrer, m_pEmail}) link->hide();
}

void CVisitorDtlsDlg::ShowDetails(const VisitorDetails& details) {
  m_details = details;
  for (int f = 0; f < VisitorDetails::kFieldCount; ++f) {
    const QString& text = details.fields[size_t(f)];
    if (f == F::Url || f == F::Referrer)
      static_cast<CMyHyperLink*>(m_values[size_t(f)])->SetLink(text);
    else if (f == F::VisitorEmail)
      m_pEmail->SetMailLink(text);
    else
      m_values[size_t(f)]->SetFullText(text);
    m_values[size_t(f)]->setToolTip(PlainToolTip(text));
    // Read out as "Visitor Name: Zoe" when Tab reaches the value.
    QString caption = m_labels[size_t(f)]->text();
    caption.chop(2);  // " :"
    m_values[size_t(f)]->setAccessibleName(text.isEmpty() ? caption : caption + QStringLiteral(": ") + DisplayedField(text));
  }
  for (CMyHyperLink* link : {m_pUrl, m_pReferrer, m_pEmail}) {
    link->setVisible(!link->text().isEmpty());
    link->update();
  }
}

void CVisitorDtlsDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}
