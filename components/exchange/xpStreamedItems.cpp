#include "kestrel/components/exchange/xpStreamedItems.h"

#include <mutex>

#include "kestrel/components/exchange/xpSequence.h"

namespace {
std::mutex g_lock;
std::vector<xpStreamableSequence>& declared() {
    static std::vector<xpStreamableSequence> sequences;
    return sequences;
}
}  // namespace

void xpDeclareStreamable(std::string name, std::function<std::unique_ptr<xpElement>()> makeOwner) {
    std::lock_guard<std::mutex> hold(g_lock);
    for (const auto& sequence : declared())
        if (sequence.name == name) return;
    declared().push_back({std::move(name), std::move(makeOwner)});
}

std::vector<xpStreamableSequence> xpStreamableSequences() {
    std::lock_guard<std::mutex> hold(g_lock);
    return declared();
}

xpSequence* xpFindSequence(xpElement& root, std::string_view name) {
    for (const auto& child : root.children()) {
        auto* element = dynamic_cast<xpElement*>(child.get());
        if (!element) continue;
        if (auto* sequence = dynamic_cast<xpSequence*>(element); sequence && sequence->getElementName() == name)
            return sequence;
        if (xpSequence* found = xpFindSequence(*element, name)) return found;
    }
    return nullptr;
}
