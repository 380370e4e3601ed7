#include "ui/operations/default_ports.h"

#include <cstdlib>
#include <string>

#include "core/util/text_conversion.h"

DefaultPorts ReadDefaultPorts(const QString& configIniPath) { return ReadDefaultPorts(ini::ProfileSnapshot(configIniPath)); }

DefaultPorts ReadDefaultPorts(const ini::ProfileSnapshot& configIni) {
  DefaultPorts ports;
  const struct {
    const char* key;
    uint16_t* port;
  } keys[] = {{"Http_port", &ports.http}, {"Tcp_port", &ports.tcp}, {"Rtsp_port", &ports.rtsp}};
  for (const auto& k : keys) {
    QString value;
    configIni.GetString("DEFAULT_CFG", k.key, "", value, 256);
    std::string ansi;
    CStringToAnsi(value, ansi);
    // As "%d" reads it: blanks, a sign, digits; nothing read keeps the built-in port.
    char* end = nullptr;
    const long long n = std::strtoll(ansi.c_str(), &end, 10);
    if (end == ansi.c_str()) continue;
    if (n >= 0 && n <= 65535) *k.port = static_cast<uint16_t>(n);
  }
  return ports;
}
