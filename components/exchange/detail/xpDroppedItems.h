#pragma once

#include <pugixml.hpp>

#include <algorithm>
#include <string>
#include <vector>

// Elements a streaming writer wrote out and dropped, counted by parent and name: the same-named
// siblings written after them still count them for their place in a path.
struct xpDroppedItems {
    struct Count {
        const void* parent;
        std::string name;
        int count;
    };
    std::vector<Count> counts;

    void drop(pugi::xml_node element) {
        const void* parent = element.parent().internal_object();
        for (Count& c : counts)
            if (c.parent == parent && c.name == element.name()) {
                ++c.count;
                return;
            }
        counts.push_back({parent, element.name(), 1});
    }
    int before(pugi::xml_node element) const {
        const void* parent = element.parent().internal_object();
        for (const Count& c : counts)
            if (c.parent == parent && c.name == element.name()) return c.count;
        return 0;
    }
    // Forgets the counts of every parent but `kept`, once the elements that held them are gone.
    void keepOnly(pugi::xml_node kept) {
        std::erase_if(counts, [&](const Count& c) { return c.parent != kept.internal_object(); });
    }
};

// The dropped elements of the write running on this thread; null for none.
void xpSetDroppedItems(const xpDroppedItems* dropped);
