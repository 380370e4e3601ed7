#pragma once
// The address rules of the network dialog: the default mask by private range,
// the default gateway, the contiguous-mask test and the acceptance test of an
// IP, mask and gateway triple. Addresses are 32-bit numbers with the first
// octet most significant.

#include <QString>
#include <cstdint>

// True when every bit above the lowest set bit is set (0 passes here).
bool IsMaskContiguous(uint32_t mask);

// "255.0.0.0" for 10.0.0.0-10.255.255.254, "255.255.0.0" for
// 172.16.0.0-172.31.255.254, "255.255.255.0" for 192.168.0.0-192.168.255.254,
// "0.0.0.0" for anything else (bounds inclusive).
QString DefaultMaskFor(uint32_t ip);

// The dotted text cut before its last "." with ".1" appended.
QString DefaultGatewayFor(const QString& dottedIp);

// The refusals of the Modify button, in order: IP 0, mask 0, gateway 0, last
// IP octet 255, a mask that is not contiguous, a gateway outside the IP's
// subnet. True when none applies.
bool IsNetworkInputValid(uint32_t ip, uint32_t mask, uint32_t gateway);
