#pragma once
// The fourteen columns of the device list: their title keys, widths and sort
// states, the text each cell shows for a record, the two comparators of the
// header-click sort and the FIND test over the shown columns. Kept apart from
// the page so the rules read (and are tested) without any widget.

#include <QString>
#include <array>
#include <cstdint>
#include <string>

#include "core/device/device_record.h"

enum DeviceColumnId {
  kColNo = 0,
  kColIp = 1,
  kColMac = 2,
  kColType = 3,
  kColVersion = 4,
  kColHttpPort = 5,
  kColTcpPort = 6,
  kColOnvifPort = 7,
  kColModel = 8,
  kColCloud = 9,
  kColDevTime = 10,
  kColDevStartTime = 11,
  kColReleaseTime = 12,
  kColLoginState = 13,
  kDeviceColumnCount = 14,
};

struct DeviceColumn {
  int id;                // list column index and bit of the column mask
  const char* titleKey;  // language key of the header text
  uint8_t width;         // pixels when the column is shown
  int sortState;         // 1: the next click sorts ascending, 2: descending
};

// One row per column; sortState changes with header clicks and is reset to 1
// after every finished search.
extern std::array<DeviceColumn, kDeviceColumnCount> DeviceColumnTable;

inline constexpr int kDefaultColumnMask = 0x23FF;

void ResetDeviceSortStates();

inline bool ColumnShown(int mask, int column) { return column >= 0 && column < 32 && ((mask >> column) & 1) != 0; }

// The text of cell column (1..13) of a record's row; column 0 (the row number)
// is the list's business and gives an empty text here.
QString DeviceCellText(const DeviceRecord& record, int column);
QString LoginStateText(const DeviceRecord& record);
QString PortText(uint16_t port);

// -1, 0 or 1 by the column's sort key: IP as a host-order number, texts byte
// by byte as unsigned bytes, ports and the login state as numbers. Column 0
// and columns outside 1..13 compare equal.
int CompareDevicesAscending(const DeviceRecord* a, const DeviceRecord* b, int column);
int CompareDevicesDescending(const DeviceRecord* a, const DeviceRecord* b, int column);

// The IP sort key: the dotted text as the platform's address parser reads it,
// in host order; a text that does not parse gives 0xFFFFFFFF.
uint32_t IpSortKey(const std::string& ip);

// FIND: whether the UTF-8 text occurs, byte-exact, in one of the columns shown
// by mask, tested in the fixed order MAC, IP, type, version, model, HTTP port,
// TCP port, ONVIF port (only for ONVIF-capable records), cloud id, device time,
// start time, release time. The row number and the login state are not searched.
bool DeviceMatchesFilter(const DeviceRecord& record, const std::string& text, int mask);
