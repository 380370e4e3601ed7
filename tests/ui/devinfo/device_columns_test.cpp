// The column rules of the device list: cell texts, the two comparators and
// the FIND test over the shown columns.
#include "ui/devicelist/device_columns.h"

#include <gtest/gtest.h>

namespace {

DeviceRecord Device(std::string ip, std::string mac = "00:00:00:00:00:01") {
  DeviceRecord r;
  r.valid = true;
  r.ip = std::move(ip);
  r.mac = std::move(mac);
  return r;
}

TEST(DeviceColumnTable, HoldsTheFourteenColumnsInOrder) {
  ASSERT_EQ(DeviceColumnTable.size(), 14u);
  for (int i = 0; i < kDeviceColumnCount; ++i) EXPECT_EQ(DeviceColumnTable[i].id, i);
  EXPECT_STREQ(DeviceColumnTable[kColNo].titleKey, "ck.NO");
  EXPECT_STREQ(DeviceColumnTable[kColLoginState].titleKey, "ck.Login_state");
  EXPECT_EQ(DeviceColumnTable[kColModel].width, 90);
  EXPECT_EQ(DeviceColumnTable[kColVersion].width, 180);
}

TEST(DeviceCellText, OnvifColumnShowsDashesForZero) {
  DeviceRecord r = Device("10.0.0.1");
  r.httpPort = 80;
  r.onvifPort = 0;
  EXPECT_EQ(DeviceCellText(r, kColOnvifPort), "--");
  r.onvifPort = 80;
  EXPECT_EQ(DeviceCellText(r, kColOnvifPort), "80");
  EXPECT_EQ(DeviceCellText(r, kColHttpPort), "80");
}

TEST(DeviceCellText, LoginStateFollowsTheFlag) {
  DeviceRecord r = Device("10.0.0.1");
  EXPECT_EQ(DeviceCellText(r, kColLoginState), "tx.unLogin");
  r.loggedIn = 1;
  EXPECT_EQ(DeviceCellText(r, kColLoginState), "tx.Logined");
}

TEST(DeviceCellText, NonAsciiTextsSurviveTheConversion) {
  DeviceRecord r = Device("10.0.0.1");
  r.model = "摄像机-Ä";
  EXPECT_EQ(DeviceCellText(r, kColModel), QString::fromUtf8("摄像机-Ä"));
}

struct IpCase {
  const char* a;
  const char* b;
  int expected;
};

// Readable test names (the default prints the struct's bytes, pointers included).
void PrintTo(const IpCase& c, std::ostream* os) { *os << "'" << c.a << "' vs '" << c.b << "'"; }

class IpOrder : public ::testing::TestWithParam<IpCase> {};

TEST_P(IpOrder, ComparesAsHostOrderNumbers) {
  const DeviceRecord a = Device(GetParam().a), b = Device(GetParam().b);
  EXPECT_EQ(CompareDevicesAscending(&a, &b, kColIp), GetParam().expected);
  EXPECT_EQ(CompareDevicesDescending(&a, &b, kColIp), -GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, IpOrder,
                         ::testing::Values(IpCase{"10.0.0.9", "10.0.0.10", -1},
                                           IpCase{"192.168.1.5", "10.20.0.1", 1},
                                           IpCase{"10.0.0.1", "10.0.0.1", 0},
                                           IpCase{"not an ip", "255.255.255.255", 0},  // both 0xFFFFFFFF
                                           IpCase{"not an ip", "200.1.1.1", 1},
                                           IpCase{"1.2.3.4", "1.2.3.40", -1}));

TEST(TextOrder, IsByteWiseWithPrefixSmaller) {
  DeviceRecord a = Device("1.1.1.1"), b = Device("1.1.1.2");
  struct {
    std::string x, y;
    int expected;
  } cases[] = {{"IPC", "IPCX", -1}, {"NVR", "IPC", 1}, {"abc", "abc", 0}, {"Z", "a", -1},
               // 0xC3 is above every ASCII byte: unsigned comparison
               {"\xC3\x84", "z", 1}, {"", "a", -1}};
  for (const auto& c : cases) {
    a.type = c.x;
    b.type = c.y;
    EXPECT_EQ(CompareDevicesAscending(&a, &b, kColType), c.expected) << c.x << " vs " << c.y;
  }
}

TEST(NumberOrder, PortsAndLoginStateCompareAsNumbers) {
  DeviceRecord a = Device("1.1.1.1"), b = Device("1.1.1.2");
  a.tcpPort = 9000;
  b.tcpPort = 34567;  // "9000" > "34567" as text, smaller as number
  a.httpPort = 8080;
  b.httpPort = 80;
  a.onvifPort = 0;
  b.onvifPort = 80;
  a.loggedIn = 1;
  EXPECT_EQ(CompareDevicesAscending(&a, &b, kColTcpPort), -1);
  EXPECT_EQ(CompareDevicesAscending(&a, &b, kColHttpPort), 1);
  EXPECT_EQ(CompareDevicesAscending(&a, &b, kColOnvifPort), -1);
  EXPECT_EQ(CompareDevicesAscending(&a, &b, kColLoginState), 1);
}

TEST(NumberOrder, RowNumberAndUnknownColumnsCompareEqual) {
  DeviceRecord a = Device("1.1.1.1", "aa"), b = Device("9.9.9.9", "bb");
  for (int column : {int{kColNo}, -1, 14, 99}) EXPECT_EQ(CompareDevicesAscending(&a, &b, column), 0) << column;
}

DeviceRecord FilterFixture() {
  DeviceRecord r = Device("192.168.1.64", "00:12:34:ab:cd:ef");
  r.type = "IPC";
  r.version = "V5.1.0 build 2026";
  r.model = "Cam-X";
  r.httpPort = 8080;
  r.tcpPort = 34567;
  r.onvifPort = 8080;
  r.onvifCapable = 1;
  r.cloudId = "CLOUD123";
  r.devTime = "2026-12-10 08:00:00";
  r.devStartTime = "2026-12-01 00:00:00";
  r.releaseTime = "2026-10-01";
  return r;
}

struct FilterCase {
  const char* text;
  int mask;
  bool found;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << "'" << c.text << "' mask 0x" << std::hex << c.mask;
}

class Filter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filter, TestsOnlyTheShownColumns) {
  EXPECT_EQ(DeviceMatchesFilter(FilterFixture(), GetParam().text, GetParam().mask), GetParam().found)
      << GetParam().text << " mask " << std::hex << GetParam().mask;
}

constexpr int kAll = 0x3FFF;
INSTANTIATE_TEST_SUITE_P(
    Table, Filter,
    ::testing::Values(FilterCase{"ab:cd", kAll, true}, FilterCase{"AB:CD", kAll, false},  // case-sensitive
                      FilterCase{"168.1", kAll, true}, FilterCase{"168.1", kAll & ~(1 << kColIp), false},
                      FilterCase{"Cam-X", kAll, true}, FilterCase{"Cam-X", kAll & ~(1 << kColModel), false},
                      FilterCase{"3456", kAll, true}, FilterCase{"CLOUD", kAll, true},
                      FilterCase{"2026-12-01", kAll, true},
                      FilterCase{"2026-12-01", kAll & ~(1 << kColDevStartTime), false},
                      FilterCase{"tx.unLogin", kAll, false},  // login state is not searched
                      FilterCase{"1", 1 << kColNo, false},    // nor is the row number
                      FilterCase{"nowhere", kAll, false}));

TEST(Filter, OnvifColumnSearchesTheHttpPortOfOnvifDevicesOnly) {
  const int onvifOnly = 1 << kColOnvifPort;
  DeviceRecord r = FilterFixture();
  EXPECT_TRUE(DeviceMatchesFilter(r, "8080", onvifOnly));
  r.onvifCapable = 0;
  r.onvifPort = 0;
  EXPECT_FALSE(DeviceMatchesFilter(r, "8080", onvifOnly));
  EXPECT_TRUE(DeviceMatchesFilter(r, "8080", onvifOnly | (1 << kColHttpPort)));
}

}  // namespace
