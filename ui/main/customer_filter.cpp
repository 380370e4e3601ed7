#include "ui/main/customer_filter.h"

bool CustomerCodeKeepsDevice(const QString& configuredCode, const QString& deviceCode) {
  static const QString kAllCustomers = QStringLiteral("C0000");
  if (configuredCode.contains(kAllCustomers)) return true;
  if (deviceCode == kAllCustomers) return true;
  return deviceCode.isEmpty() || configuredCode.contains(deviceCode);
}
