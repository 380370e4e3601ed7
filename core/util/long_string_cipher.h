#pragma once
// Customer codes longer than one cipher block: the enciphered text is a row
// of 32-character chunks, each one plain block of up to 16 bytes. The block
// cipher itself is the string-cipher library's (libs/cipher); callers pass
// its DecryptString / EncryptString.

#include <string>

using DecryptChunkFn = int (*)(const char* chunk, char* output);  // output: 17 zero-filled bytes
using EncryptChunkFn = int (*)(const char* plain, char* output);  // output: 33 bytes, returns 32

inline constexpr int kCipherChunkChars = 32;
inline constexpr int kPlainBlockBytes = 16;

// text (UTF-8) in, its plain form out: 1 on success; -1 with text unchanged
// for an empty text, a length that is not a multiple of 32 characters, or a
// plain result whose length is not a multiple of 5 characters.
int DecryptLongString(std::string& text, DecryptChunkFn decrypt);

// The reverse, for the tool that writes Config.ini's Id: plain (UTF-8) cut at
// character boundaries into blocks of at most 16 bytes, each enciphered.
// False when a block cannot be enciphered.
bool EncryptLongString(const std::string& plain, std::string& enciphered, EncryptChunkFn encrypt);
