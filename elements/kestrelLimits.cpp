#include "kestrel/elements/kestrelLimits.h"

namespace kestrel {

namespace {
std::size_t g_maxGridNodes = kDefaultMaxGridNodes;
}  // namespace

std::size_t maxGridNodes() {
    return g_maxGridNodes;
}

void setMaxGridNodes(std::size_t nodes) {
    g_maxGridNodes = nodes;
}

}  // namespace kestrel
