#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"

// An ISO 10303-21 text (a STEP physical file) written as it goes: the header, then entity
// instances "#N=TYPE(...);" whose attributes are added one by one, commas placed by the writer.
// What is written goes out in blocks of about 64 KiB as instances end, and the rest on finish(),
// so a file of any size streams.
class KESTREL_API mfStepWriter {
public:
    // What the header names: the view or description, the file's name and time stamp, the
    // program that wrote it, and the schema.
    struct Header {
        std::string description;
        std::string name;
        std::string timeStamp;
        std::string system;
        std::string schema;
    };

    explicit mfStepWriter(std::ostream& out);

    // Writes "ISO-10303-21;", the HEADER section and opens DATA. Call once, first.
    void header(const Header& header);
    // Closes DATA and the file, and writes out what is still held.
    void finish();

    // A number for an instance written later, so that one written before can refer to it.
    std::uint64_t reserve() { return m_next++; }
    // Starts instance `id` (a reserved number, or 0 for the next one) of TYPE, given in capitals;
    // returns its number.
    std::uint64_t begin(std::string_view type, std::uint64_t id = 0);
    // Ends the instance begun last.
    void end();

    // Attribute values. A string is written in the file's encoding: apostrophes and backslashes
    // doubled, anything outside printable ASCII as \X2\...\X0\ (or \X4\ beyond the basic plane);
    // bytes that are not UTF-8 become U+FFFD. A real reads back to the same double; one that is
    // not finite throws std::invalid_argument, since the format has no text for it.
    mfStepWriter& ref(std::uint64_t id) {
        char* at = separate(room(kValueRoom));
        *at++ = '#';
        m_size = static_cast<std::size_t>(number(at, id) - m_data.get());
        return *this;
    }
    mfStepWriter& string(std::string_view utf8);
    mfStepWriter& real(double value) {
        char* at = separate(room(kValueRoom));
        m_size = static_cast<std::size_t>(at - m_data.get());
        // Sampled values and places repeat (a limit, a row of a grid): their text is kept by bits.
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        const RecentReal& recent = recall(value, bits);
        std::memcpy(at, recent.text, sizeof recent.text);
        m_size += recent.length;
        return *this;
    }
    mfStepWriter& integer(long long value);
    // ".NAME.": an enumeration item, or .T. / .F. for a boolean.
    mfStepWriter& enumeration(std::string_view name);
    mfStepWriter& boolean(bool value) { return enumeration(value ? "T" : "F"); }
    // "$": an optional attribute left out.
    mfStepWriter& null() { return mark('$'); }
    // "*": an attribute a subtype derives.
    mfStepWriter& derived() { return mark('*'); }
    // "TYPE(value)" is begun by typed(TYPE), its value added, then close().
    mfStepWriter& typed(std::string_view type);
    // A list or set: open(), its items, close().
    mfStepWriter& open() {
        mark('(');
        m_comma = false;
        return *this;
    }
    mfStepWriter& close() {
        *room(1) = ')';
        ++m_size;
        m_comma = true;
        return *this;
    }

    // The text of one value as it is written.
    static std::string encode(std::string_view utf8);
    static std::string formatReal(double value);
    static void appendReal(std::string& out, double value);

private:
    static constexpr std::size_t kFlushAt = 1 << 16;
    // The most one value other than a string or a name takes, its comma included.
    static constexpr std::size_t kValueRoom = 48;
    // Where `size` more characters go; values are written straight into the buffer.
    char* room(std::size_t size) {
        if (m_capacity - m_size < size) grow(size);
        return m_data.get() + m_size;
    }
    void grow(std::size_t size);
    void append(std::string_view text) {
        std::memcpy(room(text.size()), text.data(), text.size());
        m_size += text.size();
    }
    // A comma before every value but the first of its instance, list or typed value.
    char* separate(char* at) {
        *at = ',';
        at += m_comma;
        m_comma = true;
        return at;
    }
    void flush();
    static char* number(char* at, unsigned long long value) { return std::to_chars(at, at + 20, value).ptr; }
    mfStepWriter& mark(char c) {
        char* at = separate(room(kValueRoom));
        *at = c;
        m_size = static_cast<std::size_t>(at + 1 - m_data.get());
        return *this;
    }

    // The text of reals written lately, by their bits.
    static constexpr unsigned kRecentBits = 9;
    struct RecentReal {
        std::uint64_t bits = 0;
        unsigned char length = 0;
        char text[32] = {};
    };
    const RecentReal& recall(double value, std::uint64_t bits) {
        const RecentReal& recent = m_recent[(bits * 0x9e3779b97f4a7c15ULL) >> (64 - kRecentBits)];
        return recent.length != 0 && recent.bits == bits ? recent : remember(value, bits);
    }
    const RecentReal& remember(double value, std::uint64_t bits);

    std::ostream& m_out;
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::vector<RecentReal> m_recent = std::vector<RecentReal>(std::size_t(1) << kRecentBits);
    std::uint64_t m_next = 1;
    bool m_comma = false;
};
