#pragma once
// The ports Config.ini's DEFAULT_CFG offers for a batch port change.

#include <QString>
#include <cstdint>

#include "core/ini/profile_snapshot.h"

// Built-in until read.
struct DefaultPorts {
  uint16_t http = 80;
  uint16_t tcp = 34567;
  uint16_t rtsp = 554;
};

// Http_port, Tcp_port and Rtsp_port, each read as "%d" reads it (blanks, a
// sign, digits); a key missing, unreadable or out of range keeps its
// built-in port.
DefaultPorts ReadDefaultPorts(const QString& configIniPath);
// The same from a read of Config.ini already made (the main window's load).
DefaultPorts ReadDefaultPorts(const ini::ProfileSnapshot& configIni);
