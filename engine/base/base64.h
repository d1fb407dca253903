// Base64 text encoding (standard alphabet, "=" fill, no line breaks).
#pragma once

// ceil(n / 3) * 4: the characters Base64Encode writes for n bytes.
unsigned long Base64EncodeGetLength(unsigned long n);
// ceil(n / 4) * 3: the bytes Base64Decode may write for n characters.
unsigned long Base64DecodeGetLength(unsigned long n);

// Writes the text for n bytes (no terminating NUL); returns the characters written.
unsigned long Base64Encode(void* dst, const void* src, unsigned long n);

// Decodes n characters into dst, which must hold Base64DecodeGetLength(n)
// bytes; returns the bytes decoded. Lenient by design: input that is not a
// multiple of 4 is completed with "=", and characters outside the alphabet
// (bytes 128-255 included) are not rejected: their low six bits are used.
unsigned long Base64Decode(void* dst, const void* src, unsigned long n);
