// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text encodings. A text stays in memory in its own encoding, Windows-1252 or
// UTF-8, as bytes; a UTF-16 file is turned into UTF-8 when it is read.
// Conversion to QString happens only where a window shows the text.
//
// Which encoding a file is in: a UTF-8 byte-order mark (EF BB BF) means
// UTF-8, FF FE or FE FF UTF-16 (little- or big-endian); otherwise a file that
// is valid UTF-8 and holds at least one byte of 0x80 or more is UTF-8, and
// anything else is Windows-1252 (plain ASCII reads the same either way).

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

namespace solandre {

enum class Encoding : unsigned char { Windows1252, Utf8 };

enum class FileEncoding { Windows1252, Utf8, Utf16LE, Utf16BE };

struct EncodingGuess {
    FileEncoding encoding;
    size_t markLength; // of the byte-order mark, 0 without one
};

EncodingGuess guessEncoding(std::string_view bytes);
// What the file's head alone says: its mark, or no mark. With no mark the
// rest of the file decides, through isValidUtf8 and hasHighByte.
std::optional<EncodingGuess> encodingFromMark(std::string_view head);
bool isValidUtf8(std::string_view bytes);
bool hasHighByte(std::string_view bytes);

inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The next character of UTF-8 text, moving `p` past it; kBadChar, moving one
// byte, for a byte that does not start a valid sequence.
inline constexpr char32_t kBadChar = 0xFFFFFFFF;
char32_t nextUtf8(const unsigned char*& p, const unsigned char* end);
// The character that ends just before `p`, moving `p` to its start.
char32_t previousUtf8(const unsigned char*& p, const unsigned char* begin);
void appendUtf8(std::string& out, char32_t c);

// Windows-1252 bytes or UTF-8 text as UTF-8 (bad bytes as U+FFFD).
void appendAsUtf8(std::string& out, std::string_view bytes, Encoding from);
std::string toUtf8(std::string_view bytes, Encoding from);

// For the windows: bytes to characters and back. Encoding yields nothing
// when Windows-1252 cannot write a character of the text.
QString decodeText(std::string_view bytes, Encoding from);
std::optional<std::string> encodeText(QStringView text, Encoding to);

// UTF-16 file content (after its mark) as UTF-8; unpaired halves become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

} // namespace solandre
