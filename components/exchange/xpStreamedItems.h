#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/exchange/xpExchangeContext.h"

class xpElement;
class xpSequence;

// The items of one sequence element, read one at a time while a document streams in, before the
// sequence itself is read: the entries went into the container of a fresh owner, the problems
// were kept with their place below the sequence's element. The sequence that reads the element
// later takes the entries and reports the problems where it would have found them.
struct xpStreamedItems {
    struct Problem {
        xpReportedError error;  // path below the sequence's element
        bool fatal = true;
    };
    std::unique_ptr<xpElement> owner;
    xpSequence* sequence = nullptr;
    std::vector<Problem> problems;
    // Problems past the error limit: only counted, as the read would only count them.
    std::size_t unkept = 0;
    std::size_t unkeptFatal = 0;
    std::size_t items = 0;
    bool ok = true;
};

// A sequence whose items may be read as they arrive: its element name, and a fresh element that
// holds such a sequence (found by that name) to read them into. An element of that name is
// recognised wherever it stands; the items of one that no such sequence reads are dropped, as
// they would be left unread.
struct xpStreamableSequence {
    std::string name;
    std::function<std::unique_ptr<xpElement>()> makeOwner;
};

// Declares a streamable sequence, once per name; safe from any thread.
void xpDeclareStreamable(std::string name, std::function<std::unique_ptr<xpElement>()> makeOwner);
// The sequences declared so far.
std::vector<xpStreamableSequence> xpStreamableSequences();
// The sequence node of that element name in `root`'s tree, depth first; null without one.
xpSequence* xpFindSequence(xpElement& root, std::string_view name);
