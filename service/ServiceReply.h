#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The decoded query of one request, parameter name to value.
using Query = QMap<QString, QString>;

// What the service answers: the text replies of the catalogue are UTF-8
// plain text; pages are HTML.
struct ServiceReply {
  int status = 200;
  QByteArray body;
  QByteArray contentType = "text/plain; charset=utf-8";

  static ServiceReply Text(const QString& text) { return ServiceReply{200, text.toUtf8()}; }
  static ServiceReply Html(const QString& html) { return ServiceReply{200, html.toUtf8(), "text/html; charset=utf-8"}; }
  static ServiceReply NotFound() { return ServiceReply{404, "Not Found\n"}; }
};

// The reply the console treats as a wrong piece count or a refusal: one
// piece, no separator.
inline const QString kInvalidRequest = QStringLiteral("invalid request");
