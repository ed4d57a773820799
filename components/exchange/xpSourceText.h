#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Why a document's text was refused before or beside parsing: the message and the byte offset
// into the UTF-8 text where the problem starts. An empty message means no problem.
struct xpTextProblem {
    std::string message;
    std::size_t offset = 0;
    explicit operator bool() const { return !message.empty(); }
};

// Turns the bytes of a document into UTF-8 text. The encoding comes from a byte-order mark, the
// "<?" of UTF-16 text, or else the encoding named in the XML declaration (UTF-8 when none);
// UTF-8, UTF-16 (either byte order, with or without mark), ISO-8859-1 and the other encodings
// iconv knows are accepted. Invalid byte sequences and characters XML does not allow are refused,
// at their place in the converted text. `storage` holds the text when it had to be converted;
// `text` is the UTF-8 text either way (a view into `bytes` or `storage`).
xpTextProblem xpDecodeSource(std::string_view bytes, std::string& storage, std::string_view& text);

// The first invalid UTF-8 sequence or character XML does not allow in `text`.
xpTextProblem xpCheckUtf8(std::string_view text);

// The problem of the reference that starts at text[at] ('&'): none for a predefined entity or a
// character reference to a character XML allows.
xpTextProblem xpCheckReference(std::string_view text, std::size_t at);

// 1-based line and column (in characters) of a byte offset into UTF-8 text.
void xpLineAndColumn(std::string_view text, std::size_t offset, int& line, int& column);

// `text` cut to at most `maxBytes` bytes, at a character boundary of UTF-8 text.
std::size_t xpUtf8Cut(std::string_view text, std::size_t maxBytes);
