#include "kestrel/elements/kestrelLimits.h"

#include <atomic>
#include <utility>

namespace kestrel {

namespace {
std::atomic<std::size_t> g_maxGridNodes = kDefaultMaxGridNodes;
thread_local std::size_t t_maxGridNodes = 0;
}  // namespace

std::size_t maxGridNodes() {
    return t_maxGridNodes ? t_maxGridNodes : g_maxGridNodes.load();
}

std::size_t setThreadMaxGridNodes(std::size_t nodes) {
    return std::exchange(t_maxGridNodes, nodes);
}

void setMaxGridNodes(std::size_t nodes) {
    g_maxGridNodes = nodes;
}

}  // namespace kestrel
