// The password change's search of a device's user table: whatever the
// device hands back, the search stays inside the table and an entry copy
// changes nothing but the password field.
// Input: one byte n, n bytes of the logged-in user's name, then the bytes of
// the table's entry area (the rest of the table stays zero).
#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/support/fake_device_library.h"
#include "ui/operations/dlg_operate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace devicelib;
  static ScopedFakeDeviceLibrary library;
  FakeDeviceLibrary& fake = library.fake;
  if (size < 1) return 0;
  const std::size_t nameLength = std::min<std::size_t>(data[0] % 100, size - 1);
  DeviceRecord record;
  record.loginHandle = 1;
  record.userName.assign(reinterpret_cast<const char*>(data + 1), nameLength);
  const uint8_t* area = data + 1 + nameLength;
  const std::size_t areaSize = std::min<std::size_t>(size - 1 - nameLength, kUserEntryCount * kUserEntrySize);

  // The tables are 766 KiB each: made once and cleared for every input, not
  // allocated anew, which under the address sanitizer maps and faults in
  // every page each time and made the replay of a loaded machine's parallel
  // run outlast its time.
  fake.userTable.assign(kUserTableSize, 0);
  std::memcpy(fake.userTable.data() + kUserTableEntriesOffset, area, areaSize);
  fake.lastModifiedNewEntry.clear();
  fake.ClearCalls();
  static std::vector<uint8_t> table(kUserTableSize);
  std::fill(table.begin(), table.end(), uint8_t{0});
  const int result = CDlgOperate::ModifyUserPassword(record, "old", "new-password", table.data());
  if (result == 1) {
    // The entry found carries the user's name, and the copy differs from it
    // only in the password field.
    const auto& copy = fake.lastModifiedNewEntry;
    if (copy.size() != static_cast<std::size_t>(kUserEntrySize)) __builtin_trap();
    if (std::memcmp(copy.data() + kUserEntryNameOffset, record.userName.data(), nameLength) != 0) __builtin_trap();
    if (std::strcmp(reinterpret_cast<const char*>(copy.data() + kUserEntryPasswordOffset), "new-password") != 0)
      __builtin_trap();
  }
  return 0;
}
