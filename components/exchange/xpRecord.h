#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

struct xpStreamedItems;

// Whether two element or attribute names are the same. Names are short and often differ in their
// first letter at the same length ("x", "y"): that letter is compared before memcmp is called.
inline bool xpSameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    if (a[0] != b[0]) return false;
    return a.size() == 1 || std::memcmp(a.data() + 1, b.data() + 1, a.size() - 1) == 0;
}

// One attribute of an element being read: name and value as the parser gave them.
struct xpRecordAttribute {
    const char* m_name;
    const char* m_value;
    std::size_t m_nameLength;
    std::size_t m_valueLength;
    const char* name() const { return m_name; }
    const char* value() const { return m_value; }
    std::string_view nameView() const { return {m_name, m_nameLength}; }
    std::string_view valueView() const { return {m_value, m_valueLength}; }
};

// One element of the part of a document being read, as its events came: its attributes, its
// child elements, its character data and where it stands. Records live in an xpRecordArena and
// go with it, once the part is read.
struct xpRecord {
    // A run of character data: text between markup, or a CDATA section.
    struct Run {
        std::string_view text;
        Run* next;
    };

    const char* m_name = "";
    const xpRecordAttribute* m_attributes = nullptr;
    std::uint32_t m_attributeCount = 0;
    std::size_t m_nameLength = 0;
    // 1-based line and column (in characters) of its "<"; 0 where unknown (a host's tree).
    int line = 0;
    int column = 0;
    xpRecord* parent = nullptr;
    xpRecord* firstChild = nullptr;
    xpRecord* lastChild = nullptr;
    xpRecord* next = nullptr;
    Run* firstRun = nullptr;
    Run* lastRun = nullptr;
    // The items of the streamable sequence this element holds, read as they arrived; null for none.
    xpStreamedItems* streamed = nullptr;

    const char* name() const { return m_name; }
    std::string_view nameView() const { return {m_name, m_nameLength}; }
    std::size_t attributeCount() const { return m_attributeCount; }
    const xpRecordAttribute& attribute(std::size_t i) const { return m_attributes[i]; }
    // The attribute of that name; null without one.
    const xpRecordAttribute* attribute(std::string_view name) const {
        for (std::uint32_t i = 0; i < m_attributeCount; ++i)
            if (xpSameName(name, m_attributes[i].nameView())) return &m_attributes[i];
        return nullptr;
    }
    bool hasText() const { return firstRun != nullptr; }
    // Every run of character data, joined.
    std::string text() const {
        std::string joined;
        for (const Run* run = firstRun; run; run = run->next) joined += run->text;
        return joined;
    }
};

// Where the records of one part are made: blocks taken as needed and kept for the next part,
// so that reading item after item allocates nothing once the largest item was read.
class xpRecordArena {
public:
    xpRecordArena() = default;
    xpRecordArena(const xpRecordArena&) = delete;
    xpRecordArena& operator=(const xpRecordArena&) = delete;

    // Forgets every record; the blocks stay for the next part.
    void reset() {
        m_block = 0;
        m_at = m_blocks.empty() ? nullptr : m_blocks.front().data.get();
        m_left = m_blocks.empty() ? 0 : m_blocks.front().size;
    }

    // An element with its attributes as expat gives them (name, value, ..., null), made in one
    // piece: the record, its attributes and their strings.
    xpRecord* element(xpRecord* parent, const char* name, const char* const* pairs, int line, int column) {
        // The lengths of the first strings are measured once; an element with more attributes
        // has the rest measured again when they are copied.
        constexpr std::size_t kMeasured = 32;
        std::size_t lengths[kMeasured];
        const std::size_t nameLength = std::strlen(name);
        std::size_t bytes = round(sizeof(xpRecord)) + nameLength + 1;
        std::size_t n = 0;
        for (; pairs[n]; ++n) {
            const std::size_t length = std::strlen(pairs[n]);
            if (n < kMeasured) lengths[n] = length;
            bytes += length + 1;
        }
        n /= 2;
        bytes += n * sizeof(xpRecordAttribute);
        char* at = static_cast<char*>(allocate(bytes));
        auto* record = new (at) xpRecord;
        at += round(sizeof(xpRecord));
        auto* attributes = reinterpret_cast<xpRecordAttribute*>(at);
        at += n * sizeof(xpRecordAttribute);
        record->m_name = copyTerminated(at, name, nameLength);
        record->m_nameLength = nameLength;
        auto length = [&](std::size_t k) { return k < kMeasured ? lengths[k] : std::strlen(pairs[k]); };
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t nameSize = length(2 * i), valueSize = length(2 * i + 1);
            const char* attributeName = copyTerminated(at, pairs[2 * i], nameSize);
            attributes[i] = {attributeName, copyTerminated(at, pairs[2 * i + 1], valueSize), nameSize, valueSize};
        }
        record->m_attributes = attributes;
        record->m_attributeCount = std::uint32_t(n);
        record->line = line;
        record->column = column;
        record->parent = parent;
        if (parent) {
            (parent->lastChild ? parent->lastChild->next : parent->firstChild) = record;
            parent->lastChild = record;
        }
        return record;
    }

    void text(xpRecord& record, std::string_view text) {
        char* at = static_cast<char*>(allocate(round(sizeof(xpRecord::Run)) + text.size() + 1));
        auto* run = new (at) xpRecord::Run{{}, nullptr};
        at += round(sizeof(xpRecord::Run));
        run->text = std::string_view(copy(at, text.data(), text.size()), text.size());
        (record.lastRun ? record.lastRun->next : record.firstRun) = run;
        record.lastRun = run;
    }

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 14;
    static constexpr std::size_t kAlign = alignof(std::max_align_t);

    static std::size_t round(std::size_t size) { return (size + kAlign - 1) & ~(kAlign - 1); }

    // Copies `length` bytes and a terminator to `at`, and moves `at` past them.
    static const char* copy(char*& at, const char* text, std::size_t length) {
        char* stored = at;
        if (length) std::memcpy(stored, text, length);
        stored[length] = '\0';
        at += length + 1;
        return stored;
    }

    // The same for a string the parser ended with a terminator: copied with it.
    static const char* copyTerminated(char*& at, const char* text, std::size_t length) {
        char* stored = at;
        std::memcpy(stored, text, length + 1);
        at += length + 1;
        return stored;
    }

    void* allocate(std::size_t size) {
        size = round(size);
        if (size > m_left) next(size);
        void* at = m_at;
        m_at += size;
        m_left -= size;
        return at;
    }

    // Moves on to a block with room for `size` bytes: a kept one, or a new one (as large as a
    // long string needs).
    void next(std::size_t size) {
        while (++m_block < m_blocks.size())
            if (m_blocks[m_block].size >= size) break;
        if (m_block >= m_blocks.size()) {
            const std::size_t bytes = size > kBlock ? size : kBlock;
            m_blocks.push_back({std::make_unique_for_overwrite<char[]>(bytes), bytes});
            m_block = m_blocks.size() - 1;
        }
        m_at = m_blocks[m_block].data.get();
        m_left = m_blocks[m_block].size;
    }

    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size;
    };
    std::vector<Block> m_blocks;
    // Block m_block is being filled at m_at; m_block is past the end before the first block.
    std::size_t m_block = std::size_t(-1);
    char* m_at = nullptr;
    std::size_t m_left = 0;
};
