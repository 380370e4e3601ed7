#include "libs/cipher/string_cipher.h"

#include <openssl/evp.h>

#include <cstring>
#include <memory>

namespace {
constexpr int kCipherChunkChars = 32;
constexpr std::size_t kPlainBlockBytes = 16;
}  // namespace

namespace {

// The fixed key of this build's customer codes. It hides the code from a
// casual reader of Config.ini; it is not meant to protect a secret.
constexpr unsigned char kKey[16] = {0x44, 0x69, 0x76, 0x61, 0x72, 0x6F, 0x64, 0x2D,
                                    0x43, 0x75, 0x73, 0x74, 0x2D, 0x49, 0x64, 0x31};

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// One AES-128 block without padding; false when libcrypto fails.
bool CipherBlock(const unsigned char in[16], unsigned char out[16], bool encrypt) {
  CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  if (!ctx) return false;
  if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, kKey, nullptr, encrypt ? 1 : 0) != 1) return false;
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  int n = 0, tail = 0;
  if (EVP_CipherUpdate(ctx.get(), out, &n, in, 16) != 1) return false;
  if (EVP_CipherFinal_ex(ctx.get(), out + n, &tail) != 1) return false;
  return n + tail == 16;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int DecryptString(const char* chunk, char* output) {
  if (!chunk || !output || std::strlen(chunk) != kCipherChunkChars) return -1;
  unsigned char cipher[16];
  for (int i = 0; i < 16; ++i) {
    const int hi = HexValue(chunk[2 * i]), lo = HexValue(chunk[2 * i + 1]);
    if (hi < 0 || lo < 0) return -1;
    cipher[i] = static_cast<unsigned char>(hi << 4 | lo);
  }
  unsigned char plain[16];
  if (!CipherBlock(cipher, plain, false)) return -1;
  const int length = static_cast<int>(strnlen(reinterpret_cast<const char*>(plain), 16));
  std::memcpy(output, plain, static_cast<std::size_t>(length));
  output[length] = '\0';
  return length;
}

int EncryptString(const char* plain, char* output) {
  if (!plain || !output) return -1;
  const std::size_t length = std::strlen(plain);
  if (length > kPlainBlockBytes) return -1;
  unsigned char block[16] = {};
  std::memcpy(block, plain, length);
  unsigned char cipher[16];
  if (!CipherBlock(block, cipher, true)) return -1;
  static const char kHex[] = "0123456789ABCDEF";
  for (int i = 0; i < 16; ++i) {
    output[2 * i] = kHex[cipher[i] >> 4];
    output[2 * i + 1] = kHex[cipher[i] & 0xF];
  }
  output[kCipherChunkChars] = '\0';
  return kCipherChunkChars;
}
