#pragma once

#include <string>
#include <string_view>

// Why a document is refused as a whole: where (1-based line and column, in characters) and what.
// An empty message means no refusal.
struct xpRefusal {
    int line = 0;
    int column = 0;
    std::string message;
    explicit operator bool() const { return !message.empty(); }
};

// What the streaming reader refuses in UTF-8 `text` beyond its encoding: malformed XML, a
// DOCTYPE, a second root element, text outside the root, an undefined entity, a root element
// that is not `rootName`. No refusal for text it would read.
xpRefusal xpStreamRefusal(std::string_view text, std::string_view rootName);
