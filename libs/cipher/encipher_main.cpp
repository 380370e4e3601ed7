// divarod-encipher TEXT: prints TEXT enciphered the way Config.ini stores
// CUSTOMER_CFG/Id, e.g.  Id=<output>
#include <cstdio>
#include <string>

#include "core/util/long_string_cipher.h"
#include "libs/cipher/string_cipher.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s TEXT\n  prints TEXT enciphered for Config.ini's CUSTOMER_CFG/Id\n", argv[0]);
    return 2;
  }
  const std::string plain = argv[1];
  std::string enciphered;
  if (!EncryptLongString(plain, enciphered, EncryptString)) {
    std::fprintf(stderr, "cannot encipher this text\n");
    return 1;
  }
  std::string check = enciphered;
  if (DecryptLongString(check, DecryptString) != 1) {
    std::fprintf(stderr,
                 "warning: the program reads a customer code only when its length is a multiple of 5 "
                 "characters; this one would be used as stored\n");
  }
  std::printf("%s\n", enciphered.c_str());
  return 0;
}
