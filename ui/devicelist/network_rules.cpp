#include "ui/devicelist/network_rules.h"

bool IsMaskContiguous(uint32_t mask) {
  if (mask == 0) return true;
  const uint32_t lowest = mask & (~mask + 1u);
  // Every bit from the lowest set bit up to bit 31 must be set.
  const uint32_t required = ~(lowest - 1u);
  return (mask & required) == required;
}

QString DefaultMaskFor(uint32_t ip) {
  if (ip >= 0x0A000000u && ip <= 0x0AFFFFFEu) return QStringLiteral("255.0.0.0");
  if (ip >= 0xAC100000u && ip <= 0xAC1FFFFEu) return QStringLiteral("255.255.0.0");
  if (ip >= 0xC0A80000u && ip <= 0xC0A8FFFEu) return QStringLiteral("255.255.255.0");
  return QStringLiteral("0.0.0.0");
}

QString DefaultGatewayFor(const QString& dottedIp) {
  const qsizetype dot = dottedIp.lastIndexOf(QLatin1Char('.'));
  return (dot < 0 ? dottedIp : dottedIp.left(dot)) + QStringLiteral(".1");
}

bool IsNetworkInputValid(uint32_t ip, uint32_t mask, uint32_t gateway) {
  if (ip == 0 || mask == 0 || gateway == 0) return false;
  if ((ip & 0xFFu) == 0xFFu) return false;
  if (!IsMaskContiguous(mask)) return false;
  return (gateway & mask) == (ip & mask);
}
