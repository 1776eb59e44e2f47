#include "support/xhtml_index.h"

#include <QXmlStreamReader>
#include <stdexcept>
#include <vector>

namespace pqwave::testing {

double XhtmlElement::number(const std::string& attribute) const {
    const auto it = attributes.find(attribute);
    if (it == attributes.end()) throw std::runtime_error("no attribute " + attribute);
    return std::stod(it->second);
}

XhtmlIndex::XhtmlIndex(const std::string& text) {
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    std::vector<std::string> open;  // ids of the open elements with one, "" for the others
    std::vector<std::string> groups;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const std::string name = xml.name().toString().toStdString();
            if (name == "html") language = xml.attributes().value("lang").toString().toStdString();
            if (name == "svg") ++pictures;
            std::string id = xml.attributes().value("id").toString().toStdString();
            if (!id.empty()) {
                XhtmlElement& e = byId[id];
                for (const QXmlStreamAttribute& a : xml.attributes())
                    e.attributes[a.name().toString().toStdString()] = a.value().toString().toStdString();
            }
            open.push_back(id);
            groups.push_back(name == "g" ? xml.attributes().value("class").toString().toStdString() : "");
            if (name == "path" && groups.size() > 1 && !groups[groups.size() - 2].empty())
                ++markers[groups[groups.size() - 2]];
        } else if (xml.isEndElement()) {
            open.pop_back();
            groups.pop_back();
        } else if (xml.isCharacters()) {
            for (const std::string& id : open)
                if (!id.empty()) byId[id].text += xml.text().toString().toStdString();
        }
    }
    if (xml.hasError())
        error = "line " + std::to_string(xml.lineNumber()) + ", column " + std::to_string(xml.columnNumber()) + ": " +
                xml.errorString().toStdString();
}

const XhtmlElement& XhtmlIndex::at(const std::string& id) const {
    const auto it = byId.find(id);
    if (it == byId.end()) throw std::runtime_error("no element with id " + id);
    return it->second;
}

}  // namespace pqwave::testing
