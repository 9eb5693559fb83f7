#include "ServiceConfig.h"

#include <QFile>
#include <QRegularExpression>

const OperatorAccount* SiteConfig::FindOperator(const QString& loginId) const {
  for (const OperatorAccount& op : operators)
    if (op.loginId.compare(loginId, Qt::CaseInsensitive) == 0) return &op;
  return nullptr;
}

CServiceConfig CServiceConfig::Demo() {
  CServiceConfig config;
  SiteConfig site;
  site.id = QStringLiteral("1001");
  site.address = QStringLiteral("http://www.example-shop.com");
  site.consolePeriod = 5;
  site.chatPeriod = 3;
  site.operators = {
      {"demo", "demo", true},
      {"anna", "anna", false},
      {"ben", "ben", false},
  };
  site.canned = {
      {"Greetings", "Hello", "Hello, and welcome to Example Shop! How can I help you today?"},
      {"Greetings", "Moment", "Just a moment please, I am looking that up for you."},
      {"Greetings", "Returning customer", "Welcome back! Nice to see you again."},
      {"Greetings", "Busy", "Thank you for waiting, we have many visitors right now."},
      {"Orders", "Order status", "Could you give me your order number, please?"},
      {"Orders", "Delivery time", "Orders placed before 2 pm are shipped the same day."},
      {"Orders", "Tracking", "You will get the tracking number by e-mail as soon as the parcel leaves us."},
      {"Orders", "Change address", "I can still change the delivery address while the order is not shipped."},
      {"Orders", "Cancel order", "I have cancelled the order; the refund reaches you within five working days."},
      {"Shipping", "Countries", "We ship to the EU, the UK, Canada and the United States."},
      {"Shipping", "Costs", "Shipping is free from 50 euros, below that it costs 4.90 euros."},
      {"Shipping", "Express", "Express delivery arrives the next working day for 9.90 euros."},
      {"Returns", "Return period", "You can return any item within 30 days, unworn and with its labels."},
      {"Returns", "Return label", "The return label is in the parcel; you can also print it from your account."},
      {"Returns", "Refund time", "Refunds are made within five working days after the parcel arrives."},
      {"Payment", "Methods", "We accept cards, bank transfer and invoice."},
      {"Payment", "Invoice", "Invoices are payable within 14 days."},
      {"Products", "In stock", "Yes, that item is in stock and ships today."},
      {"Products", "Sizes", "Our sizes run true; the size chart is on every product page."},
      {"Products", "Café bags", "The Café bag range comes in brown, black and sand."},
      {"Closing", "Anything else", "Is there anything else I can help you with?"},
      {"Closing", "Goodbye", "Thank you for visiting Example Shop. Have a nice day!"},
      {"Closing", "Smile", "Happy to help [:)]"},
  };
  site.push = {
      {"Today's offers", "push-http://www.example-shop.com/offers.html"},
      {"Shipping", "push-http://www.example-shop.com/shipping.html"},
      {"Returns", "push-http://www.example-shop.com/returns.html"},
      {"Size chart", "push-http://www.example-shop.com/sizes.html"},
      {"Contact form", "push-http://www.example-shop.com/contact.html"},
  };
  config.sites.append(site);
  return config;
}

namespace {

QStringList SplitBars(const QString& value, int parts) {
  QStringList fields = value.split(u'|');
  for (QString& f : fields) f = f.trimmed();
  while (fields.size() > parts) {
    // The last field (a text) may itself hold bars.
    fields[parts - 1] += QStringLiteral(" | ") + fields.takeAt(parts);
  }
  return fields;
}

}  // namespace

bool CServiceConfig::Load(const QString& path, CServiceConfig& config, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  config = CServiceConfig();
  SiteConfig* site = nullptr;
  int lineNo = 0;
  auto fail = [&](const QString& why) {
    error = QStringLiteral("%1:%2: %3").arg(path).arg(lineNo).arg(why);
    return false;
  };
  static const QRegularExpression section(QStringLiteral("^\\[site\\s+(\\S+)\\]$"));
  while (!file.atEnd()) {
    ++lineNo;
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    if (const auto m = section.match(line); m.hasMatch()) {
      config.sites.append(SiteConfig());
      site = &config.sites.last();
      site->id = m.captured(1);
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) return fail(QStringLiteral("expected name = value"));
    const QString name = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (site == nullptr) {
      if (name == "prefix") config.prefix = value.startsWith(u'/') ? value.mid(1) : value;
      else if (name == "host") config.host = value;
      else if (name == "version") config.version = value;
      else if (name == "new_version_text") config.newVersionText = value;
      else return fail(QStringLiteral("unknown setting '%1' before the first [site ...]").arg(name));
      continue;
    }
    bool ok = true;
    if (name == "address") {
      site->address = value;
    } else if (name == "console_period") {
      site->consolePeriod = value.toInt(&ok);
      ok = ok && site->consolePeriod > 0;
    } else if (name == "chat_period") {
      site->chatPeriod = value.toInt(&ok);
      ok = ok && site->chatPeriod > 0;
    } else if (name == "operator") {
      const QStringList f = value.split(u'|');
      if (f.size() != 3 || f[0].trimmed().isEmpty() || (f[2].trimmed() != "admin" && f[2].trimmed() != "agent"))
        return fail(QStringLiteral("operator = LOGIN | PASSWORD | admin or agent"));
      site->operators.append({f[0].trimmed(), f[1].trimmed(), f[2].trimmed() == "admin"});
    } else if (name == "canned") {
      const QStringList f = SplitBars(value, 3);
      if (f.size() != 3) return fail(QStringLiteral("canned = CATEGORY | TITLE | TEXT"));
      site->canned.append({f[0], f[1], f[2]});
    } else if (name == "push") {
      const QStringList f = SplitBars(value, 2);
      if (f.size() != 2) return fail(QStringLiteral("push = TITLE | URL"));
      site->push.append({f[0], f[1]});
    } else {
      return fail(QStringLiteral("unknown setting '%1'").arg(name));
    }
    if (!ok) return fail(QStringLiteral("'%1' needs a whole number of seconds above 0").arg(name));
  }
  if (config.sites.isEmpty()) return fail(QStringLiteral("no [site ...] section"));
  for (const SiteConfig& s : config.sites)
    if (s.operators.isEmpty()) {
      error = QStringLiteral("%1: site %2 has no operator").arg(path, s.id);
      return false;
    }
  return true;
}
