#include "tools/devsim/sim_device.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <sstream>

#include "core/device/device_record.h"
#include "core/device/sdk_device_info.h"

namespace devsim {
namespace {

constexpr const char* kConfigHeader = "DIVAROD-DEVICE-CONFIG 1";

void PutLe(std::vector<uint8_t>& b, std::size_t offset, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[offset + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetLe(const std::vector<uint8_t>& b, std::size_t offset, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[offset + static_cast<std::size_t>(i)];
  return v;
}

std::string Hex(std::span<const uint8_t> bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

std::optional<std::vector<uint8_t>> Unhex(const std::string& text) {
  if (text.size() % 2) return std::nullopt;
  std::vector<uint8_t> out(text.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    int v = 0;
    for (int k = 0; k < 2; ++k) {
      const char c = text[2 * i + static_cast<std::size_t>(k)];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return std::nullopt;
      v = v * 16 + d;
    }
    out[i] = static_cast<uint8_t>(v);
  }
  return out;
}

std::vector<uint8_t> EntryFor(const std::string& name) {
  std::vector<uint8_t> e(devicelink::msg::kUserEntrySize, 0);
  std::memcpy(e.data() + devicelink::msg::kUserNameOffset, name.data(), std::min<std::size_t>(name.size(), 95));
  return e;
}

}  // namespace

std::string FormatClock(std::chrono::system_clock::time_point t) {
  const std::time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

SimDevice::SimDevice(DeviceProfile profile) : profile_(std::move(profile)) {
  FactoryReset();
  Start(SimClock::now(), std::chrono::system_clock::now());
}

void SimDevice::FactoryReset() {
  network_ = {profile_.ip, profile_.netmask, profile_.gateway, profile_.dns1, profile_.dns2, profile_.dhcpMode};
  blocks_.clear();
  auto& ports = blocks_[kBlockPorts];
  ports.assign(kBlockPortsSize, 0);
  PutLe(ports, 68, profile_.httpPort, 4);
  PutLe(ports, 72, profile_.tcpPort, 4);
  auto& rtsp = blocks_[kBlockRtsp];
  rtsp.assign(kBlockRtspSize, 0);
  PutLe(rtsp, 0, profile_.rtspPort, 2);
  auto& model = blocks_[kBlockModel];
  model.assign(kBlockModelSize, 0);
  if (!profile_.model.empty()) {
    PutLe(model, 0, 1, 4);
    std::memcpy(model.data() + 4, profile_.model.data(), std::min<std::size_t>(profile_.model.size(), 319));
  }
  users_.clear();
  for (const auto& u : profile_.users) {
    SimUser s;
    s.entry = EntryFor(u.name);
    s.password = u.password;
    s.key = devicelink::msg::PasswordKey(u.name, u.password);
    users_.push_back(std::move(s));
  }
  sessions.clear();
}

void SimDevice::Start(SimTime, std::chrono::system_clock::time_point wallClock) {
  const auto& ports = blocks_[kBlockPorts];
  const uint32_t http = GetLe(ports, 68, 4);
  const uint32_t tcp = GetLe(ports, 72, 4);
  // A port outside 1..65535 in the block keeps the one in use.
  if (http >= 1 && http <= 65535) httpPort_ = static_cast<uint16_t>(http);
  if (tcp >= 1 && tcp <= 65535) tcpPort_ = static_cast<uint16_t>(tcp);
  if (httpPort_ == 0) httpPort_ = profile_.httpPort;
  if (tcpPort_ == 0) tcpPort_ = profile_.tcpPort;
  startedAt_ = wallClock;
  sessions.clear();
  up = true;
}

std::vector<uint8_t> SimDevice::DiscoveryRecord(const std::string& reportedIp) const {
  DeviceRecord r;
  r.ip = reportedIp;
  r.tcpPort = tcpPort_;
  r.netmask = network_.netmask;
  r.gateway = network_.gateway;
  r.mac = profile_.mac;
  r.type = profile_.type;
  r.customerCode = profile_.customerCode;
  r.capabilities = profile_.capabilities;
  r.dns1 = network_.dns1;
  r.dns2 = network_.dns2;
  r.model = Model();
  r.cloudId = profile_.cloudId;
  r.version = profile_.version;
  r.kind = static_cast<int32_t>(profile_.kind);
  r.devTime = FormatClock(std::chrono::system_clock::now());
  r.releaseTime = profile_.releaseTime;
  r.devStartTime = FormatClock(startedAt_);
  r.dhcpMode = network_.dhcpMode;
  r.httpPort = httpPort_;
  std::vector<uint8_t> out(sdkinfo::kRecordSize);
  sdkinfo::WriteRecord(r, out);
  return out;
}

const std::vector<uint8_t>* SimDevice::Block(uint32_t id) const {
  const auto it = blocks_.find(id);
  return it == blocks_.end() ? nullptr : &it->second;
}

int32_t SimDevice::WriteBlock(uint32_t id, std::span<const uint8_t> data) {
  const auto it = blocks_.find(id);
  if (it == blocks_.end()) return devicelink::wire::kUnknownBlock;
  if (data.size() != it->second.size()) return devicelink::wire::kBadSize;
  if (profile_.refuseAllWrites || profile_.refuseWrite.count(id)) return devicelink::wire::kRefused;
  it->second.assign(data.begin(), data.end());
  return devicelink::wire::kOk;
}

std::string SimDevice::Model() const {
  const auto& b = blocks_.at(kBlockModel);
  if ((GetLe(b, 0, 4) & 1) == 0) return "";
  const auto* text = reinterpret_cast<const char*>(b.data() + 4);
  const auto* nul = static_cast<const char*>(std::memchr(text, 0, b.size() - 4));
  return std::string(text, nul ? nul : text + (b.size() - 4));
}

std::vector<uint8_t> SimDevice::UserTable() const {
  std::vector<uint8_t> table(kUserTableSize, 0);
  for (std::size_t i = 0; i < users_.size() && i < kUserCount; ++i)
    std::memcpy(table.data() + kUserTableEntries + i * devicelink::msg::kUserEntrySize, users_[i].entry.data(),
                devicelink::msg::kUserEntrySize);
  return table;
}

SimUser* SimDevice::FindUser(const std::string& name) {
  for (auto& u : users_) {
    const auto* text = reinterpret_cast<const char*>(u.entry.data() + devicelink::msg::kUserNameOffset);
    if (name == std::string(text, strnlen(text, 96))) return &u;
  }
  return nullptr;
}

void SimDevice::SetUser(SimUser& user, std::span<const uint8_t> entry, const std::string& password) {
  user.entry.assign(entry.begin(), entry.end());
  std::fill_n(user.entry.begin() + devicelink::msg::kUserPasswordOffset, devicelink::msg::kUserPasswordField,
              uint8_t{0});
  const auto* text = reinterpret_cast<const char*>(user.entry.data() + devicelink::msg::kUserNameOffset);
  user.password = password;
  user.key = devicelink::msg::PasswordKey(std::string(text, strnlen(text, 96)), password);
}

std::string SimDevice::AdminPassword() const {
  for (const auto& u : users_) {
    const auto* text = reinterpret_cast<const char*>(u.entry.data() + devicelink::msg::kUserNameOffset);
    if (std::string(text, strnlen(text, 96)) == "admin") return u.password;
  }
  return users_.empty() ? "" : users_.front().password;
}

std::string SimDevice::ExportConfig() const {
  std::ostringstream body;
  body << kConfigHeader << "\n";
  body << "mac=" << profile_.mac << "\n";
  body << "type=" << profile_.type << "\n";
  body << "version=" << profile_.version << "\n";
  for (const auto& [id, data] : blocks_) body << "block" << id << "=" << Hex(data) << "\n";
  const std::string text = body.str();
  return text + "checksum=" + Hex(devicelink::Sha256Of(text)) + "\n";
}

int32_t SimDevice::ImportConfig(std::span<const uint8_t> file) {
  if (profile_.refuseImport) return devicelink::wire::kRefused;
  const std::string text(reinterpret_cast<const char*>(file.data()), file.size());
  const auto sum = text.rfind("checksum=");
  if (text.rfind(std::string(kConfigHeader) + "\n", 0) != 0 || sum == std::string::npos ||
      (sum > 0 && text[sum - 1] != '\n'))
    return devicelink::wire::kBadRequest;
  const std::string body = text.substr(0, sum);
  std::string given = text.substr(sum + 9);
  while (!given.empty() && (given.back() == '\n' || given.back() == '\r')) given.pop_back();
  if (given != Hex(devicelink::Sha256Of(body))) return devicelink::wire::kChecksumMismatch;
  // Check every block first, then take them all: a file is taken whole or not at all.
  std::map<uint32_t, std::vector<uint8_t>> incoming;
  std::istringstream lines(body);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    if (line.rfind("block", 0) != 0) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) return devicelink::wire::kBadRequest;
    uint32_t id = 0;
    try {
      id = static_cast<uint32_t>(std::stoul(line.substr(5, eq - 5)));
    } catch (...) {
      return devicelink::wire::kBadRequest;
    }
    auto data = Unhex(line.substr(eq + 1));
    const auto* current = Block(id);
    if (!data || !current || data->size() != current->size()) return devicelink::wire::kBadRequest;
    incoming[id] = std::move(*data);
  }
  for (auto& [id, data] : incoming) blocks_[id] = std::move(data);
  return devicelink::wire::kOk;
}

}  // namespace devsim
