#pragma once

#include "platform/HttpRequest.h"
#include "platform/XmlDocument.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The typed binding of the caller feed document: the document element "arayanlar" holds the
// callers waiting for one phone, each an "arayan" element with "Id", "PhoneNumber" and
// "AdSoyad" children. Names match exactly, letter case included. Both classes keep the
// document they belong to alive.

// One caller: a node bound to an "arayan" element.
//
// Reading a property finds the first child element of that name, adding an empty one to
// the document in memory when there is none. The element must hold at most one text
// node and nothing else; otherwise reading throws Error "Element does not contain a
// single text node". Writing a property sets the child's text, adding the child when it
// is missing.
class TXMLArayanType {
public:
    explicit TXMLArayanType(XmlNode node)
        : m_node(std::move(node)) {}

    // The Id child as an integer. Throws Error "'TEXT' is not a valid integer value".
    int Id() const;
    void setId(int value);
    // The caller's number in the program's 8-bit code page (Windows-1254).
    QByteArray PhoneNumber() const;
    void setPhoneNumber(const QString &value);
    QString AdSoyad() const;
    void setAdSoyad(const QString &value);

    XmlNode node() const { return m_node; }

private:
    QString childText(const QString &name) const;
    void setChildText(const QString &name, const QString &value);

    XmlNode m_node;
};

// The list of callers: the document element, whose child elements named "arayan" are its
// items, indexed from 0 in document order. Other children are skipped and do not count.
class TXMLArayanlarType {
public:
    explicit TXMLArayanlarType(XmlNode node);

    int Count() const { return static_cast<int>(m_items.size()); }
    // The item at index, 0 to Count() - 1. Throws Error "List index out of bounds (N)".
    TXMLArayanType Items(int index) const;
    // A new, empty "arayan" element as the last item.
    TXMLArayanType Add();
    // A new, empty "arayan" element at index (0 to Count()), before the item there.
    TXMLArayanType Insert(int index);

    XmlNode node() const { return m_node; }

private:
    XmlNode m_node;
    std::vector<XmlNode> m_items; // read once: items are added only through this object
};

// Loads the feed document at location (a file name or an http:// / https:// address)
// and binds its document element. Throws Error when the document cannot be fetched or
// parsed, or when its document element is not "arayanlar" in no namespace.
TXMLArayanlarType LoadArayanlar(const QString &location,
                                const HttpTimeouts &timeouts = HttpRequest::kDefaultTimeouts);
// The binding of a document already loaded; the same error for another document element.
TXMLArayanlarType BindArayanlar(const XmlDocument &document);
