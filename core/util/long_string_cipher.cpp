#include "core/util/long_string_cipher.h"

#include <QString>

#include "core/util/text_conversion.h"

int DecryptLongString(std::string& text, DecryptChunkFn decrypt) {
  if (text.empty() || !decrypt) return -1;
  QString wide;
  Utf8ToCString(wide, text);
  if (wide.size() % kCipherChunkChars != 0) return -1;
  QString plain;
  for (qsizetype at = 0; at < wide.size(); at += kCipherChunkChars) {
    std::string chunk;
    CStringToUtf8(wide.mid(at, kCipherChunkChars), chunk);
    char output[kPlainBlockBytes + 1] = {};
    decrypt(chunk.c_str(), output);  // its result is not needed: a failed chunk leaves the output empty
    output[kPlainBlockBytes] = '\0';
    QString block;
    Utf8ToCString(block, output);  // the block is text in the ANSI code page
    plain += block;
  }
  if (plain.size() % 5 != 0) return -1;
  CStringToUtf8(plain, text);
  return 1;
}

bool EncryptLongString(const std::string& plain, std::string& enciphered, EncryptChunkFn encrypt) {
  if (!encrypt) return false;
  std::string out;
  std::size_t at = 0;
  while (at < plain.size()) {
    std::size_t n = std::min<std::size_t>(kPlainBlockBytes, plain.size() - at);
    // Never split a UTF-8 character: each block is deciphered into text on its own.
    while (n > 0 && at + n < plain.size() && (static_cast<unsigned char>(plain[at + n]) & 0xC0) == 0x80) --n;
    if (n == 0) return false;
    const std::string block = plain.substr(at, n);
    if (block.find('\0') != std::string::npos) return false;
    char chunk[kCipherChunkChars + 1] = {};
    if (encrypt(block.c_str(), chunk) != kCipherChunkChars) return false;
    out += chunk;
    at += n;
  }
  enciphered = out;
  return true;
}
