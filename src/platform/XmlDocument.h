#pragma once

#include "platform/HttpRequest.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace pugi {
class xml_document;
struct xml_node_struct;
} // namespace pugi

// A node of an XmlDocument. It keeps its document alive: a node stays usable after the
// document object it came from is gone or has loaded another document. Texts in and out
// are UTF-16; names are compared exactly, letter case included.
class XmlNode {
public:
    enum class Kind { Null, Document, Element, Text, CData, Comment, ProcessingInstruction, Other };

    XmlNode() = default;

    bool isNull() const { return m_node == nullptr; }
    Kind kind() const;
    QString name() const;
    // The text of its first text (or CDATA) child, "" if none.
    QString text() const;
    // Replaces its text and CDATA children by one text child holding text (also when empty).
    void setText(const QString &text);
    // The content of a text, CDATA, comment or processing instruction node.
    QString value() const;

    // A new element child, last. Throws Error for a name that is not an XML name.
    XmlNode appendChild(const QString &name);
    // A new text child, last.
    XmlNode appendText(const QString &text);
    // A new element child before the given child of this node (last when before is null).
    XmlNode insertChildBefore(const QString &name, const XmlNode &before);
    // The first element child of exactly that name; null when there is none.
    XmlNode child(const QString &name) const;
    // The element children, or those of exactly that name, in document order.
    std::vector<XmlNode> children(const QString &name = {}) const;
    // Every child node: elements, texts, CDATA sections, comments, processing instructions.
    std::vector<XmlNode> childNodes() const;

    bool hasAttribute(const QString &name) const;
    QString attribute(const QString &name) const;
    void setAttribute(const QString &name, const QString &value);

    friend bool operator==(const XmlNode &a, const XmlNode &b) { return a.m_node == b.m_node; }
    friend bool operator!=(const XmlNode &a, const XmlNode &b) { return !(a == b); }

private:
    friend class XmlDocument;
    XmlNode(std::shared_ptr<pugi::xml_document> document, pugi::xml_node_struct *node)
        : m_document(std::move(document))
        , m_node(node) {}

    std::shared_ptr<pugi::xml_document> m_document;
    pugi::xml_node_struct *m_node = nullptr;
};

// An XML document on pugixml.
//
// Loading is synchronous and does no validation. No DTD is read and no external entity is
// fetched: a DOCTYPE is skipped, and one that declares entities is refused, since the
// references to them could only be read wrongly. Text nodes holding only white space are
// not kept. Comments, CDATA sections and processing instructions are kept as nodes. The
// declared encoding is honoured: UTF-8 (with or without byte order mark), UTF-16 (byte
// order mark, or none when the document starts with "<?xml"), ISO-8859-9, Windows-1254 and
// ISO-8859-1 with their usual aliases.
class XmlDocument {
public:
    XmlDocument();

    // Loads a file path or an http:// / https:// address (fetched with an HttpRequest GET;
    // an answer other than 2xx fails). Throws Error with the parser's, the file system's or
    // libcurl's message; the document is then empty.
    void load(const QString &location,
              const HttpTimeouts &timeouts = HttpRequest::kDefaultTimeouts);
    // The same parse, from memory.
    void loadXml(const QByteArray &bytes);
    // An empty document.
    void clear();

    XmlNode documentElement() const;
    // Replaces any document element by a new one of that name.
    XmlNode setDocumentElement(const QString &name);

    // UTF-8, no XML declaration, no indentation or line breaks; written to a temporary name
    // and renamed, so a failure leaves no half file. Throws Error with the file system's text.
    void save(const QString &path) const;
    // The same bytes as save() writes.
    QByteArray xml() const;

private:
    std::shared_ptr<pugi::xml_document> m_document;
};

// Whether a location names an HTTP address rather than a file.
bool isHttpAddress(const QString &location);
