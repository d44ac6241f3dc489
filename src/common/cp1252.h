// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows code page 1252, the encoding of text on disk (table store strings, cnt.rtf).
// Plain C++ so build tools can use it too.

#include <string>
#include <string_view>

namespace cp1252 {
// Encodes UTF-8 text. A character code page 1252 cannot hold becomes "?" and, when lossless is
// given, *lossless is set to false (true otherwise). Malformed UTF-8 counts as unmappable.
std::string fromUtf8(std::string_view utf8, bool *lossless = nullptr);
// Decodes code page 1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become "?".
std::string toUtf8(std::string_view bytes);
// The Unicode code point of one byte, or 0 for the undefined bytes.
char32_t toUnicode(unsigned char byte);
// The byte for one code point, or -1 when the code page has none.
int fromUnicode(char32_t code);
} // namespace cp1252
