#include "libs/liveview/stream_address.h"

#include <charconv>
#include <map>

namespace liveview {
namespace {

constexpr std::string_view kScheme = "zeve://";
constexpr std::string_view kPath = "/mode=";

std::optional<long> Number(std::string_view text, long low, long high) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<StreamAddress> ParseStreamAddress(const std::string& address) {
  if (address.rfind(kScheme, 0) != 0) return std::nullopt;
  const std::string_view rest = std::string_view(address).substr(kScheme.size());
  // The path starts at the last "/mode=": a password may hold a '/'.
  const auto pathAt = rest.rfind(kPath);
  if (pathAt == std::string_view::npos) return std::nullopt;
  const std::string_view authority = rest.substr(0, pathAt);
  const std::string_view query = rest.substr(pathAt + 1);

  const auto at = authority.rfind('@');
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view userInfo = authority.substr(0, at);
  const std::string_view hostPort = authority.substr(at + 1);
  const auto colon = hostPort.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;

  StreamAddress out;
  const auto userEnd = userInfo.find(':');
  out.user = std::string(userInfo.substr(0, userEnd));
  if (userEnd != std::string_view::npos) {
    out.password = std::string(userInfo.substr(userEnd + 1));
    if (out.password.empty()) return std::nullopt;  // "user:@" is neither form
  }
  out.host = std::string(hostPort.substr(0, colon));
  const auto port = Number(hostPort.substr(colon + 1), 1, 65535);
  if (out.user.empty() || out.host.empty() || !port) return std::nullopt;
  out.port = static_cast<uint16_t>(*port);

  std::map<std::string, std::string, std::less<>> fields;
  std::size_t start = 0;
  while (start <= query.size()) {
    const auto end = std::min(query.find('&', start), query.size());
    const std::string_view item = query.substr(start, end - start);
    const auto eq = item.find('=');
    if (eq == std::string_view::npos || !fields.emplace(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1))).second)
      return std::nullopt;
    start = end + 1;
  }
  if (fields.size() != 3 || fields["mode"] != "real" || fields["idc"] != "1") return std::nullopt;
  const auto stream = Number(fields["ids"], 1, 2);
  if (!stream) return std::nullopt;
  out.stream = static_cast<uint32_t>(*stream);
  return out;
}

}  // namespace liveview
