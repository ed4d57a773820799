#pragma once

#include <string>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"

namespace kestrel {

// The XML Schema of load documents with every element and attribute documented: an
// xs:annotation/xs:documentation of its meaning first in each xs:element and xs:attribute.
KESTREL_API std::string documentedSchema(const std::string& schema);

// The reference of the vocabulary in Markdown, made from the documented schema: each element and
// attribute once, with where it stands, its meaning, its unit kind and its allowed values.
KESTREL_API std::string vocabularyReference();

// The elements and attributes of the schema that have no meaning written down ("element NAME",
// "attribute NAME"), in document order; empty when the vocabulary is documented completely.
KESTREL_API std::vector<std::string> undocumentedVocabulary();

}  // namespace kestrel
