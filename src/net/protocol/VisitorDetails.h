#pragma once

#include <QString>

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
  bool wellFormed = false;  // read from a reply of 19 fields

  // The details reply, its fields cut by "<fld>", carries them in another
  // order; a reply of any other field count gives empty details that are
  // not well formed.
  static VisitorDetails Parse(const QString& reply);

  // The same texts: where they came from does not count.
  bool operator==(const VisitorDetails& other) const { return fields == other.fields; }
};
