#include "SiteVisitor.h"

namespace {

constexpr long kNewVisitorSeconds = 9;

}  // namespace

bool VisitorLine::IsNewOnSite(const QString& duration) {
  // The usual "H:MM:SS", read without a copy: it is asked of every line of
  // every refresh.
  long plain = 0;
  bool anyDigit = false, onlyDigits = duration.size() <= 12;
  for (qsizetype i = 0; onlyDigits && i < duration.size(); ++i) {
    const char16_t c = duration.at(i).unicode();
    if (c == u':') continue;
    onlyDigits = c >= u'0' && c <= u'9';
    plain = plain * 10 + (c - u'0');
    anyDigit = true;
  }
  if (onlyDigits && anyDigit) return plain < kNewVisitorSeconds;
  QString digits = duration;
  digits.remove(u':');
  bool ok = false;
  const long value = digits.toLong(&ok);
  // A duration that is no number at all says nothing about a new visitor.
  return ok && value >= 0 && value < kNewVisitorSeconds;
}

bool VisitorLine::FromFields(const QStringList& f, VisitorLine& line) {
  if (f.size() != kFieldCount) return false;
  for (int i = 0; i < kFieldCount; ++i) line.*kVisitorLineFields[size_t(i)] = f[i];
  return true;
}

QStringList VisitorLine::Fields() const {
  QStringList fields;
  fields.reserve(kFieldCount);
  for (QString VisitorLine::*member : kVisitorLineFields) fields.append(this->*member);
  return fields;
}

bool VisitorLine::operator==(const VisitorLine& o) const {
  // A refresh shares the texts that did not change with the row before,
  // so most fields are the same string and need no comparing.
  for (QString VisitorLine::*member : kVisitorLineFields) {
    const QString& a = this->*member;
    const QString& b = o.*member;
    if (a.size() != b.size()) return false;
    if (a.constData() != b.constData() && a != b) return false;
  }
  return true;
}

CSiteVisitor::CSiteVisitor(VisitorLine line) : m_line(std::move(line)), m_bHasColour(!m_line.colour.isEmpty()) {}

const VisitorDetails& CSiteVisitor::Details() const {
  static const VisitorDetails kNone;
  return m_pDetails ? *m_pDetails : kNone;
}

bool CSiteVisitor::GetDetails(VisitorDetails& details, bool bForce) const {
  details = Details();
  return m_bDetailsLoaded && !bForce;
}

void CSiteVisitor::SetDetails(const VisitorDetails& details) {
  m_pDetails = std::make_shared<const VisitorDetails>(details);
  m_bDetailsLoaded = true;
}
