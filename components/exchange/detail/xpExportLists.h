#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class xpNode;

// The attribute and element lists an element fills before it writes them, one pair per nesting
// depth of the write, kept from element to element on the thread: once the deepest element was
// written, writing allocates no lists.
class xpExportLists {
public:
    xpExportLists() : m_pool(threadPool()) {
        if (m_pool.depth == m_pool.lists.size()) m_pool.lists.push_back(std::make_unique<Lists>());
        m_lists = m_pool.lists[m_pool.depth++].get();
        m_lists->attributes.clear();
        m_lists->elements.clear();
    }
    ~xpExportLists() { --m_pool.depth; }
    xpExportLists(const xpExportLists&) = delete;
    xpExportLists& operator=(const xpExportLists&) = delete;

    std::vector<xpNode*>& attributes() { return m_lists->attributes; }
    std::vector<xpNode*>& elements() { return m_lists->elements; }

private:
    struct Lists {
        std::vector<xpNode*> attributes;
        std::vector<xpNode*> elements;
    };
    struct Pool {
        std::vector<std::unique_ptr<Lists>> lists;
        std::size_t depth = 0;
    };
    static Pool& threadPool() {
        thread_local Pool pool;
        return pool;
    }
    Pool& m_pool;
    Lists* m_lists;
};
