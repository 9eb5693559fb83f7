#pragma once

#include <QString>
#include <QStringList>

#include <array>

// What the service knows about one visitor: nineteen texts, in the order the
// details panel shows them.
struct VisitorDetails {
  enum Field {
    Url, Browser, OperatingSystem, Referrer, Screen, Java, Country, Region, City, TimeZone, Language,
    IpHost, VisitorName, VisitorEmail, CustomInformation, CountryLanguage, Currency, Population, UserAgent,
    kFieldCount
  };
  std::array<QString, kFieldCount> fields;

  // The details reply carries the fields in another order; a reply of any
  // other piece count than 19 gives nothing.
  static bool FromReplyPieces(const QStringList& pieces, VisitorDetails& details);

  bool operator==(const VisitorDetails& other) const { return fields == other.fields; }
};
