#include "ui/devicelist/device_columns.h"

#include <arpa/inet.h>

#include <cstring>

#include "core/language/language.h"

std::array<DeviceColumn, kDeviceColumnCount> DeviceColumnTable = {{
    {kColNo, "ck.NO", 40, 1},
    {kColIp, "ck.IP", 100, 1},
    {kColMac, "ck.MAC", 120, 1},
    {kColType, "ck.Type", 70, 1},
    {kColVersion, "ck.Version", 180, 1},
    {kColHttpPort, "ck.HTTP_port", 70, 1},
    {kColTcpPort, "ck.TCP_port", 70, 1},
    {kColOnvifPort, "ck.Onvif_port", 70, 1},
    {kColModel, "ck.Model", 90, 1},
    {kColCloud, "ck.Cloud", 90, 1},
    {kColDevTime, "ck.Dev_time", 105, 1},
    {kColDevStartTime, "ck.Dev_start_time", 125, 1},
    {kColReleaseTime, "ck.Release_time", 120, 1},
    {kColLoginState, "ck.Login_state", 100, 1},
}};

void ResetDeviceSortStates() {
  for (DeviceColumn& column : DeviceColumnTable) column.sortState = 1;
}

QString PortText(uint16_t port) { return QString::number(port); }

QString LoginStateText(const DeviceRecord& record) {
  return Text(record.loggedIn ? QStringLiteral("tx.Logined") : QStringLiteral("tx.unLogin"));
}

QString DeviceCellText(const DeviceRecord& r, int column) {
  // Record texts are narrow in the ANSI code page of the platform (UTF-8 here).
  switch (column) {
    case kColIp: return QString::fromLocal8Bit(r.ip);
    case kColMac: return QString::fromLocal8Bit(r.mac);
    case kColType: return QString::fromLocal8Bit(r.type);
    case kColVersion: return QString::fromLocal8Bit(r.version);
    case kColHttpPort: return PortText(r.httpPort);
    case kColTcpPort: return PortText(r.tcpPort);
    case kColOnvifPort: return r.onvifPort == 0 ? QStringLiteral("--") : PortText(r.onvifPort);
    case kColModel: return QString::fromLocal8Bit(r.model);
    case kColCloud: return QString::fromLocal8Bit(r.cloudId);
    case kColDevTime: return QString::fromLocal8Bit(r.devTime);
    case kColDevStartTime: return QString::fromLocal8Bit(r.devStartTime);
    case kColReleaseTime: return QString::fromLocal8Bit(r.releaseTime);
    case kColLoginState: return LoginStateText(r);
    default: return QString();
  }
}

uint32_t IpSortKey(const std::string& ip) { return ntohl(inet_addr(ip.c_str())); }

namespace {

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Byte by byte as unsigned bytes; a prefix of the other text is smaller.
int CompareBytes(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;  // memcmp compares unsigned bytes
  if (c != 0) return c < 0 ? -1 : 1;
  return Sign(a.size(), b.size());
}

const std::string* TextKey(const DeviceRecord& r, int column) {
  switch (column) {
    case kColMac: return &r.mac;
    case kColType: return &r.type;
    case kColVersion: return &r.version;
    case kColModel: return &r.model;
    case kColCloud: return &r.cloudId;
    case kColDevTime: return &r.devTime;
    case kColDevStartTime: return &r.devStartTime;
    case kColReleaseTime: return &r.releaseTime;
    default: return nullptr;
  }
}

}  // namespace

int CompareDevicesAscending(const DeviceRecord* a, const DeviceRecord* b, int column) {
  if (!a || !b) return 0;
  switch (column) {
    case kColIp: return Sign(IpSortKey(a->ip), IpSortKey(b->ip));
    case kColHttpPort: return Sign(a->httpPort, b->httpPort);
    case kColTcpPort: return Sign(a->tcpPort, b->tcpPort);
    case kColOnvifPort: return Sign(a->onvifPort, b->onvifPort);
    case kColLoginState: return Sign(a->loggedIn, b->loggedIn);
    default:
      if (const std::string* ka = TextKey(*a, column)) return CompareBytes(*ka, *TextKey(*b, column));
      return 0;
  }
}

int CompareDevicesDescending(const DeviceRecord* a, const DeviceRecord* b, int column) {
  return CompareDevicesAscending(b, a, column);
}

bool DeviceMatchesFilter(const DeviceRecord& r, const std::string& text, int mask) {
  const auto in = [&text](const std::string& value) { return value.find(text) != std::string::npos; };
  if (ColumnShown(mask, kColMac) && in(r.mac)) return true;
  if (ColumnShown(mask, kColIp) && in(r.ip)) return true;
  if (ColumnShown(mask, kColType) && in(r.type)) return true;
  if (ColumnShown(mask, kColVersion) && in(r.version)) return true;
  if (ColumnShown(mask, kColModel) && in(r.model)) return true;
  if (ColumnShown(mask, kColHttpPort) && in(std::to_string(r.httpPort))) return true;
  if (ColumnShown(mask, kColTcpPort) && in(std::to_string(r.tcpPort))) return true;
  // The device's ONVIF port is its HTTP port; only ONVIF devices show one.
  if (ColumnShown(mask, kColOnvifPort) && r.onvifCapable && in(std::to_string(r.httpPort))) return true;
  if (ColumnShown(mask, kColCloud) && in(r.cloudId)) return true;
  if (ColumnShown(mask, kColDevTime) && in(r.devTime)) return true;
  if (ColumnShown(mask, kColDevStartTime) && in(r.devStartTime)) return true;
  if (ColumnShown(mask, kColReleaseTime) && in(r.releaseTime)) return true;
  return false;
}
