#include "tools/devsim/fleet_file.h"

#include <arpa/inet.h>

#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace devsim {
namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
  long long v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    first += 2;
    base = 16;
  }
  const auto [end, ec] = std::from_chars(first, last, v, base);
  if (ec != std::errc() || end != last || first == last || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool IsIpv4(const std::string& text) {
  in_addr a{};
  return inet_pton(AF_INET, text.c_str(), &a) == 1;
}

bool IsMac(const std::string& text) {
  if (text.size() != 17) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i % 3 == 2) {
      if (text[i] != ':') return false;
    } else if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
      return false;
    }
  }
  return true;
}

using Setter = std::function<bool(DeviceProfile&, const std::string&)>;

template <typename T>
Setter Number(T DeviceProfile::*field, long long lo, long long hi) {
  return [=](DeviceProfile& d, const std::string& v) {
    long long n = 0;
    if (!ParseInt(v, lo, hi, n)) return false;
    d.*field = static_cast<T>(n);
    return true;
  };
}

// "WIDTHxHEIGHT", each side even and within lo..hi.
Setter Size(int DeviceProfile::*width, int DeviceProfile::*height, long long lo, long long hi) {
  return [=](DeviceProfile& d, const std::string& v) {
    const auto x = v.find('x');
    long long w = 0, h = 0;
    if (x == std::string::npos || !ParseInt(v.substr(0, x), lo, hi, w) || !ParseInt(v.substr(x + 1), lo, hi, h) ||
        w % 2 != 0 || h % 2 != 0)
      return false;
    d.*width = static_cast<int>(w);
    d.*height = static_cast<int>(h);
    return true;
  };
}

// A field of the flat pictures' sequence.
Setter FlatNumber(int FlatSequence::*field, long long lo, long long hi) {
  return [=](DeviceProfile& d, const std::string& v) {
    long long n = 0;
    if (!ParseInt(v, lo, hi, n)) return false;
    d.streamFlat.*field = static_cast<int>(n);
    return true;
  };
}

Setter FlatFlag(bool FlatSequence::*field) {
  return [=](DeviceProfile& d, const std::string& v) {
    if (v != "0" && v != "1") return false;
    d.streamFlat.*field = v == "1";
    return true;
  };
}

Setter Text(std::string DeviceProfile::*field) {
  return [=](DeviceProfile& d, const std::string& v) {
    d.*field = v;
    return true;
  };
}

Setter Address(std::string DeviceProfile::*field) {
  return [=](DeviceProfile& d, const std::string& v) {
    if (!v.empty() && !IsIpv4(v)) return false;
    d.*field = v;
    return true;
  };
}

Setter Flag(bool DeviceProfile::*field) {
  return [=](DeviceProfile& d, const std::string& v) {
    if (v != "0" && v != "1") return false;
    d.*field = v == "1";
    return true;
  };
}

const std::map<std::string, Setter>& DeviceKeys() {
  static const std::map<std::string, Setter> keys = {
      {"mac", [](DeviceProfile& d, const std::string& v) {
         if (!IsMac(v)) return false;
         d.mac = v;
         return true;
       }},
      {"ip", Address(&DeviceProfile::ip)},
      {"netmask", Address(&DeviceProfile::netmask)},
      {"gateway", Address(&DeviceProfile::gateway)},
      {"dns1", Address(&DeviceProfile::dns1)},
      {"dns2", Address(&DeviceProfile::dns2)},
      {"dhcp", Number(&DeviceProfile::dhcpMode, 0, 255)},
      {"tcp_port", Number(&DeviceProfile::tcpPort, 1, 65535)},
      {"http_port", Number(&DeviceProfile::httpPort, 1, 65535)},
      {"rtsp_port", Number(&DeviceProfile::rtspPort, 1, 65535)},
      {"type", Text(&DeviceProfile::type)},
      {"model", Text(&DeviceProfile::model)},
      {"cloud_id", Text(&DeviceProfile::cloudId)},
      {"version", Text(&DeviceProfile::version)},
      {"release_time", Text(&DeviceProfile::releaseTime)},
      {"customer", Text(&DeviceProfile::customerCode)},
      {"capabilities", Number(&DeviceProfile::capabilities, 0, 255)},
      {"kind", Number(&DeviceProfile::kind, 0, 0xFFFFFFFFll)},
      {"users", [](DeviceProfile& d, const std::string& v) {
         d.users.clear();
         std::stringstream in(v);
         std::string item;
         while (std::getline(in, item, ',')) {
           item = Trim(item);
           const auto colon = item.find(':');
           if (colon == std::string::npos || colon == 0 || colon > 63) return false;
           d.users.push_back({item.substr(0, colon), item.substr(colon + 1)});
           if (d.users.back().password.size() > 95) return false;
         }
         return !d.users.empty() && d.users.size() <= 50;
       }},
      {"refuse_login", Number(&DeviceProfile::refuseLogin, 0, 11)},
      {"lock_after", Number(&DeviceProfile::lockAfter, 0, 1000)},
      {"lock_ms", Number(&DeviceProfile::lockMs, 0, 86'400'000)},
      {"answer_delay_ms", Number(&DeviceProfile::answerDelayMs, 0, 600'000)},
      {"silent", Flag(&DeviceProfile::silent)},
      {"upgrade_write_ms", Number(&DeviceProfile::upgradeWriteMs, 0, 600'000)},
      {"upgrade_stall_at", Number(&DeviceProfile::upgradeStallAt, -1, 100)},
      {"upgrade_fail_at", Number(&DeviceProfile::upgradeFailAt, -1, 100)},
      {"refuse_import", Flag(&DeviceProfile::refuseImport)},
      {"refuse_export", Flag(&DeviceProfile::refuseExport)},
      {"refuse_write", [](DeviceProfile& d, const std::string& v) {
         d.refuseAllWrites = false;
         d.refuseWrite.clear();
         if (v == "all") {
           d.refuseAllWrites = true;
           return true;
         }
         std::stringstream in(v);
         std::string item;
         while (std::getline(in, item, ',')) {
           long long n = 0;
           if (!ParseInt(Trim(item), 0, 0xFFFFFFFFll, n)) return false;
           d.refuseWrite.insert(static_cast<uint32_t>(n));
         }
         return true;
       }},
      {"reboot_ms", Number(&DeviceProfile::rebootMs, 0, 600'000)},
      {"stay_down", Flag(&DeviceProfile::stayDown)},
      {"refuse_stream", Flag(&DeviceProfile::refuseStream)},
      {"stream_stall_after", Number(&DeviceProfile::streamStallAfter, -1, 1'000'000)},
      {"main_stream_size", Size(&DeviceProfile::mainStreamWidth, &DeviceProfile::mainStreamHeight, 16, 4096)},
      {"main_stream_announced", [](DeviceProfile& d, const std::string& v) {
         const auto x = v.find('x');
         long long w = 0, h = 0;
         if (x == std::string::npos || !ParseInt(v.substr(0, x), 1, 65535, w) || !ParseInt(v.substr(x + 1), 1, 65535, h))
           return false;
         d.mainStreamAnnouncedWidth = static_cast<int>(w);
         d.mainStreamAnnouncedHeight = static_cast<int>(h);
         return true;
       }},
      {"stream_picture_size", Size(&DeviceProfile::streamPictureWidth, &DeviceProfile::streamPictureHeight, 2, 16384)},
      {"stream_shown_size", [](DeviceProfile& d, const std::string& v) {
         const auto x = v.find('x');
         long long w = 0, h = 0;
         if (x == std::string::npos || !ParseInt(v.substr(0, x), 2, 16384, w) ||
             !ParseInt(v.substr(x + 1), 2, 16384, h) || w % 2 != 0 || h % 2 != 0)
           return false;
         d.streamFlat.shownWidth = static_cast<int>(w);
         d.streamFlat.shownHeight = static_cast<int>(h);
         return true;
       }},
      {"stream_references", FlatNumber(&FlatSequence::references, 0, 16)},
      {"stream_reorder_frames", FlatNumber(&FlatSequence::reorderFrames, -1, 16)},
      {"stream_frame_num_gaps", FlatFlag(&FlatSequence::frameNumGaps)},
      {"stream_reverse_order", FlatFlag(&FlatSequence::reverseOrder)},
      {"stream_chroma_format", FlatNumber(&FlatSequence::chromaFormat, 0, 3)},
      {"stream_bit_depth", FlatNumber(&FlatSequence::bitDepth, 8, 14)},
      {"stream_fields", FlatFlag(&FlatSequence::fields)},
      {"stream_slices", FlatNumber(&FlatSequence::slices, 1, 1 << 20)},
      {"stream_overlapping_slices", FlatFlag(&FlatSequence::overlappingSlices)},
      {"stream_parameter_sets_after_slices", FlatFlag(&FlatSequence::parameterSetsAfterSlices)},
      {"stream_parameter_set_id", FlatNumber(&FlatSequence::parameterSetId, 0, 31)},
      {"stream_key_frame_every", Number(&DeviceProfile::streamKeyFrameEvery, 0, 1'000'000)},
      {"stream_capture_us", [](DeviceProfile& d, const std::string& v) {
         uint64_t n = 0;
         const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
         if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return false;
         d.streamCaptureUs = n;
         return true;
       }},
  };
  return keys;
}

}  // namespace

bool ParseFleet(const std::string& text, Fleet& out, std::string& error) {
  out = Fleet{};
  struct Section {
    std::string name;
    std::vector<std::pair<int, std::pair<std::string, std::string>>> entries;
  };
  std::vector<Section> sections;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) {
        error = "line " + std::to_string(number) + ": malformed section header";
        return false;
      }
      sections.push_back({Trim(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos || sections.empty()) {
      error = "line " + std::to_string(number) + ": expected key=value inside a section";
      return false;
    }
    sections.back().entries.push_back({number, {Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))}});
  }

  DeviceProfile defaults;
  auto apply = [&](DeviceProfile& d, const Section& s) {
    for (const auto& [lineNo, kv] : s.entries) {
      const auto it = DeviceKeys().find(kv.first);
      if (it == DeviceKeys().end()) {
        error = "line " + std::to_string(lineNo) + ": unknown key \"" + kv.first + "\"";
        return false;
      }
      if (!it->second(d, kv.second)) {
        error = "line " + std::to_string(lineNo) + ": bad value for \"" + kv.first + "\"";
        return false;
      }
    }
    return true;
  };
  for (const auto& s : sections) {
    if (s.name == "defaults" && !apply(defaults, s)) return false;
    if (s.name != "fleet") continue;
    for (const auto& [lineNo, kv] : s.entries) {
      long long n = 0;
      if (kv.first == "answer_spread_ms" && ParseInt(kv.second, 0, 2500, n)) {
        out.settings.answerSpreadMs = static_cast<int>(n);
      } else {
        error = "line " + std::to_string(lineNo) + ": unknown or bad fleet setting \"" + kv.first + "\"";
        return false;
      }
    }
  }
  std::set<std::string> macs;
  std::set<std::pair<std::string, uint16_t>> endpoints;
  for (const auto& s : sections) {
    if (s.name == "defaults" || s.name == "fleet") continue;
    DeviceProfile d = defaults;
    d.section = s.name;
    if (!apply(d, s)) return false;
    if (d.mac.empty() || d.ip.empty()) {
      error = "[" + s.name + "]: mac and ip are required";
      return false;
    }
    if (!macs.insert(d.mac).second) {
      error = "[" + s.name + "]: MAC " + d.mac + " is used twice";
      return false;
    }
    if (!endpoints.insert({d.ip, d.tcpPort}).second) {
      error = "[" + s.name + "]: " + d.ip + ":" + std::to_string(d.tcpPort) + " is used twice";
      return false;
    }
    out.devices.push_back(std::move(d));
  }
  if (out.devices.empty()) {
    error = "the fleet holds no device";
    return false;
  }
  return true;
}

bool LoadFleet(const std::string& path, Fleet& out, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = path + ": cannot be read";
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (!ParseFleet(text.str(), out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace devsim
