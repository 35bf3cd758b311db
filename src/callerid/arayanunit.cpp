#include "callerid/arayanunit.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"

namespace {

const QString kArayanlar = QStringLiteral("arayanlar");
const QString kArayan = QStringLiteral("arayan");

// The element's one text node, added empty when it has no child at all.
XmlNode singleTextNode(XmlNode element) {
    const std::vector<XmlNode> nodes = element.childNodes();
    if (nodes.empty())
        return element.appendText(QString());
    if (nodes.size() == 1 && nodes.front().kind() == XmlNode::Kind::Text)
        return nodes.front();
    throw Error(QStringLiteral("Element does not contain a single text node"));
}

} // namespace

QString TXMLArayanType::childText(const QString &name) const {
    XmlNode element = m_node.child(name);
    if (element.isNull())
        element = XmlNode(m_node).appendChild(name);
    return singleTextNode(element).value();
}

void TXMLArayanType::setChildText(const QString &name, const QString &value) {
    XmlNode element = m_node.child(name);
    if (element.isNull())
        element = m_node.appendChild(name);
    element.setText(value);
}

int TXMLArayanType::Id() const {
    const QString text = childText(QStringLiteral("Id"));
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"));
    return value;
}

void TXMLArayanType::setId(int value) {
    setChildText(QStringLiteral("Id"), QString::number(value));
}

QByteArray TXMLArayanType::PhoneNumber() const {
    return cp1254::fromUnicode(childText(QStringLiteral("PhoneNumber")));
}

void TXMLArayanType::setPhoneNumber(const QString &value) {
    setChildText(QStringLiteral("PhoneNumber"), value);
}

QString TXMLArayanType::AdSoyad() const {
    return childText(QStringLiteral("AdSoyad"));
}

void TXMLArayanType::setAdSoyad(const QString &value) {
    setChildText(QStringLiteral("AdSoyad"), value);
}

TXMLArayanlarType::TXMLArayanlarType(XmlNode node)
    : m_node(std::move(node))
    , m_items(m_node.children(kArayan)) {}

TXMLArayanType TXMLArayanlarType::Items(int index) const {
    if (index < 0 || index >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    return TXMLArayanType(m_items[size_t(index)]);
}

TXMLArayanType TXMLArayanlarType::Add() {
    return Insert(Count());
}

TXMLArayanType TXMLArayanlarType::Insert(int index) {
    if (index < 0 || index > Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    const XmlNode before = index < Count() ? m_items[size_t(index)] : XmlNode();
    XmlNode added = m_node.insertChildBefore(kArayan, before);
    m_items.insert(m_items.begin() + index, added);
    return TXMLArayanType(added);
}

TXMLArayanlarType LoadArayanlar(const QString &location, const HttpTimeouts &timeouts) {
    XmlDocument document;
    document.load(location, timeouts);
    return BindArayanlar(document);
}

TXMLArayanlarType BindArayanlar(const XmlDocument &document) {
    const XmlNode root = document.documentElement();
    // A default namespace puts the element in a namespace: not the feed's element either.
    if (root.name() != kArayanlar || root.hasAttribute(QStringLiteral("xmlns")))
        throw Error(QStringLiteral("The document element is '%1', not 'arayanlar' in no "
                                   "namespace")
                        .arg(root.name()));
    return TXMLArayanlarType(root);
}
