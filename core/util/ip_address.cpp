#include "core/util/ip_address.h"

#include <arpa/inet.h>

#include <string>

#include "core/util/text_conversion.h"

uint32_t IpToHostOrder(const QString& dotted) {
  std::string ansi;
  CStringToAnsi(dotted, ansi);
  return ntohl(inet_addr(ansi.c_str()));
}
