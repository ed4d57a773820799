#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/components/exchange/xpForward.h"

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/types/mfTypeInfo.h"

// A problem with document data, recorded against the node it concerns. It keeps the element
// path and source line of that node as they were when it was recorded, since nodes that read
// repeated items move on to the next item.
class xml_error {
public:
    explicit xml_error(const xpNode* node);
    // For problems found at a place no node stands for (an unexpected element or attribute).
    xml_error(const xpNode* node, std::string path, int line, int column = 0);
    virtual ~xml_error() = default;

    // The message, without path or line.
    virtual void error(std::string& text) const;
    // Caps the message so that huge document texts quoted in it stay readable.
    virtual void truncate(std::size_t maxLength);
    virtual std::unique_ptr<xml_error> clone() const { return std::make_unique<xml_error>(*this); }

    std::string message() const;
    const xpNode* node() const { return m_node; }
    const std::string& path() const { return m_path; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    // A problem that left out one part of a value while the value itself stands (a grid point
    // on no node): it is reported, but the element that holds the value is still read.
    bool fatal() const { return m_fatal; }
    xml_error& setFatal(bool fatal) {
        m_fatal = fatal;
        return *this;
    }

protected:
    // Message text of the plain kinds; subclasses may build theirs.
    std::string m_text;

private:
    const xpNode* m_node;
    std::string m_path;
    int m_line = 0;
    int m_column = 0;
    bool m_fatal = true;
};

// A member node found no element of its owner class above it.
class xml_internal_conversion_error : public xml_error {
public:
    xml_internal_conversion_error(const xpNode* node, const std::string& ownerTypeName);
    xml_internal_conversion_error(const xpNode* node, const mfTypeInfo& ownerType)
        : xml_internal_conversion_error(node, mfTextFormatter::format_impl(ownerType.type())) {}
    std::unique_ptr<xml_error> clone() const override { return std::make_unique<xml_internal_conversion_error>(*this); }
};

// Copying or converting a value threw. The text is "Unable to convert from VALUE to TYPE".
class xml_invalid_conversion : public xml_error {
public:
    xml_invalid_conversion(const xpNode* node, const std::string& valueText, const std::string& typeName);
    std::unique_ptr<xml_error> clone() const override { return std::make_unique<xml_invalid_conversion>(*this); }
};

// Any other problem, stated in words.
class xml_error_message : public xml_error {
public:
    xml_error_message(const xpNode* node, const std::string& text);
    xml_error_message(const xpNode* node, const std::string& text, std::string path, int line, int column = 0);
    std::unique_ptr<xml_error> clone() const override { return std::make_unique<xml_error_message>(*this); }
};

// The document breaks a structural rule, such as "Required field not found".
class xml_schema_validation_error : public xml_error {
public:
    xml_schema_validation_error(const xpNode* node, const std::string& text);
    std::unique_ptr<xml_error> clone() const override { return std::make_unique<xml_schema_validation_error>(*this); }
};

// The errors recorded against one node, in the order they were recorded, by the latest exchange
// that recorded any: a host reads many documents through one tree, whose nodes must not keep
// every document's errors.
class xpErrorMap {
public:
    // Stores a copy; also reports it to the exchange in progress, if any.
    xpErrorMap& operator<<(const xml_error& error);
    bool empty() const { return m_errors.empty(); }
    std::size_t size() const { return m_errors.size(); }
    const xml_error& operator[](std::size_t i) const { return *m_errors[i]; }
    void clear() { m_errors.clear(); }

private:
    std::vector<std::unique_ptr<xml_error>> m_errors;
    std::uint64_t m_exchange = 0;  // serial of the exchange that recorded them; 0 for none
};
