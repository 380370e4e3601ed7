#pragma once
// The string cipher that stands in for the device maker's library: one
// 32-character hexadecimal chunk <-> one plain block of up to 16 bytes,
// AES-128 over OpenSSL's libcrypto with a fixed key. The plain block is
// zero-padded to 16 bytes before it is enciphered, so its text ends at the
// first NUL when deciphered. Depends on nothing of the program; the
// chunking of longer texts is core/util/long_string_cipher.h.

// chunk: 32 hexadecimal characters, NUL-terminated. output: a zero-filled
// buffer of at least 17 bytes; receives the plain block, NUL-terminated.
// Returns the plain block's length, or -1 (output left as it was) for a chunk
// that is not 32 hexadecimal characters or when the cipher fails.
int DecryptString(const char* chunk, char* output);

// plain: at most 16 bytes, NUL-terminated. output: at least 33 bytes;
// receives 32 upper-case hexadecimal characters and a NUL. Returns 32, or -1
// (output left as it was) for a longer text or when the cipher fails.
int EncryptString(const char* plain, char* output);
