// A report read back with an XML parser (Qt's QXmlStreamReader): whether it is well formed,
// and what the tests look up in it: every element with an id (its attributes and its text),
// and the number of points each marker group of the pictures holds.
#pragma once

#include <map>
#include <string>

namespace pqwave::testing {

struct XhtmlElement {
    std::map<std::string, std::string> attributes;
    std::string text;  // of the element and everything in it
    double number(const std::string& attribute) const;
    bool has(const std::string& attribute) const { return attributes.contains(attribute); }
};

struct XhtmlIndex {
    explicit XhtmlIndex(const std::string& text);
    std::string error;  // empty when well formed
    std::string language;
    int pictures = 0;  // svg elements
    std::map<std::string, XhtmlElement> byId;
    std::map<std::string, int> markers;  // points per <g class="...">
    const XhtmlElement& at(const std::string& id) const;
};

}  // namespace pqwave::testing
