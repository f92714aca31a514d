// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text encodings. A text stays in memory in its own encoding, Windows-1252 or
// UTF-8, as bytes; a UTF-16 file is turned into UTF-8 when it is read.
// Conversion to QString happens only where a window shows the text.
//
// Which encoding a file is in: a UTF-8 byte-order mark (EF BB BF) means
// UTF-8, FF FE or FE FF UTF-16 (little- or big-endian); otherwise a file
// whose bytes of 0x80 and more form valid UTF-8 sequences, save at most one
// invalid byte per 100 valid sequences, and at least one such sequence, is
// UTF-8, and anything else is Windows-1252 (plain ASCII reads the same
// either way). An invalid byte of a UTF-8 text stays as it is: no letter,
// shown as U+FFFD, and the reader is told (TextFile).

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace solandre {

enum class Encoding : unsigned char { Windows1252, Utf8 };

enum class FileEncoding { Windows1252, Utf8, Utf16LE, Utf16BE };

struct EncodingGuess {
    FileEncoding encoding;
    size_t markLength; // of the byte-order mark, 0 without one
    // For UTF-8 without a mark: the bytes that start no valid sequence, and
    // where the first of them is, after the mark.
    std::uint64_t invalidBytes = 0;
    size_t firstInvalid = 0;
};

EncodingGuess guessEncoding(std::string_view bytes);
// What the file's head alone says: its mark, or no mark. With no mark the
// rest of the file decides, through a Utf8Census.
std::optional<EncodingGuess> encodingFromMark(std::string_view head);
bool isValidUtf8(std::string_view bytes);
bool hasHighByte(std::string_view bytes);

// The counts the rule above weighs, gathered a piece at a time.
struct Utf8Census {
    std::uint64_t sequences = 0;    // valid sequences of two bytes or more
    std::uint64_t invalid = 0;      // bytes that start no valid sequence
    std::uint64_t firstInvalid = 0; // where the first is, from the census' start
    std::uint64_t counted = 0;      // bytes counted so far

    // The next piece, of a whole whose rest is `after` bytes long; pieces
    // must not cut a valid sequence. False, once the whole can no longer be
    // UTF-8, perhaps before the piece's end.
    bool count(std::string_view piece, std::uint64_t after = 0);
    bool isUtf8() const { return sequences > 0 && invalid * 100 <= sequences; }
    // Whether `remaining` more bytes could still make it UTF-8.
    bool couldBeUtf8(std::uint64_t remaining) const { return invalid * 100 <= sequences + remaining / 2; }
};

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
