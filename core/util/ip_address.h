#pragma once
// Dotted address text to a host-order 32-bit number, as the socket library's
// inet_addr reads it ("1.2.3.4", also its shorter and octal/hex forms). Text
// that does not parse gives 0xFFFFFFFF, the same as "255.255.255.255".

#include <QString>
#include <cstdint>

uint32_t IpToHostOrder(const QString& dotted);
