#pragma once

#include <string>

// Reads a whole text as one number: blanks around it are accepted, anything else after it is
// not. Besides the stream forms, "INF", "-INF" and "NaN" read as the non-finite doubles the
// formatter writes. Throws std::invalid_argument with the text
// "Bad lexical cast: from std::string to double" (or int).
template <class T>
T mfLexicalCast(const std::string& text);

extern template double mfLexicalCast<double>(const std::string&);
extern template int mfLexicalCast<int>(const std::string&);
