#include "kestrel/components/framework/mfLexicalCast.h"

#include <charconv>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <typeinfo>

#include "kestrel/components/framework/mfFromChars.h"
#include "kestrel/components/framework/mfTextFormatter.h"

namespace {
std::string_view trimmed(const std::string& text) {
    std::string_view view(text);
    const char* blanks = " \t\r\n";
    auto first = view.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    auto last = view.find_last_not_of(blanks);
    return view.substr(first, last - first + 1);
}

template <class T>
[[noreturn]] void fail() {
    throw std::invalid_argument("Bad lexical cast: from std::string to " + mfDemangledName(typeid(T)));
}
}  // namespace

template <class T>
T mfLexicalCast(const std::string& text) {
    std::string_view word = trimmed(text);
    if constexpr (std::is_floating_point_v<T>) {
        if (word == "INF") return std::numeric_limits<T>::infinity();
        if (word == "-INF") return -std::numeric_limits<T>::infinity();
        if (word == "NaN") return std::numeric_limits<T>::quiet_NaN();
    }
    // Plain decimal texts take the exact and much cheaper from_chars; it reads them as the
    // stream does. Anything else goes through the stream, which decides.
    if (!word.empty() && word.find_first_not_of("0123456789+-.eE") == std::string_view::npos) {
        std::string_view digits = word;
        bool plus = digits.front() == '+';
        if (plus) digits.remove_prefix(1);
        if (!digits.empty() && digits.front() != '+' && !(plus && digits.front() == '-')) {
            T value{};
            std::from_chars_result read;
            if constexpr (std::is_same_v<T, double>)
                read = mfFromChars(digits.data(), digits.data() + digits.size(), value);
            else
                read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            auto [end, error] = read;
            if (error == std::errc() && end == digits.data() + digits.size()) return value;
        }
    }
    std::stringstream stream(text, std::ios::in | std::ios::out);
    T value{};
    stream >> value;
    if (stream.fail()) fail<T>();
    stream >> std::ws;
    if (!stream.eof()) fail<T>();
    return value;
}

template double mfLexicalCast<double>(const std::string&);
template int mfLexicalCast<int>(const std::string&);
