#include "platform/XmlDocument.h"

#include "platform/Error.h"
#include "platform/TextEncoding.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

#include <pugixml.hpp>

#include <cstring>

namespace {

using textencoding::Encoding;

pugi::xml_node nodeOf(pugi::xml_node_struct *node) {
    return pugi::xml_node(node);
}

QString fromPugi(const pugi::char_t *text) {
    return QString::fromUtf8(text);
}

// The encoding named by the XML declaration at the start of single-byte text; empty when
// there is no declaration or it names none.
QByteArray declaredEncoding(const QByteArray &bytes) {
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression encoding(
        QStringLiteral("\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(bytes.left(end)));
    return match.hasMatch() ? match.captured(2).toLatin1() : QByteArray();
}

// The document's bytes in UTF-8, the one encoding handed to the parser.
QByteArray toUtf8Document(const QByteArray &bytes) {
    using namespace textencoding;
    if (const auto bom = byteOrderMark(bytes)) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(bom->length);
        if (bom->encoding == Encoding::Utf8) {
            decode(rest, Encoding::Utf8); // refuses malformed bytes
            return rest.toByteArray();
        }
        return decode(rest, bom->encoding).toUtf8();
    }
    // UTF-16 without a byte order mark, told by how "<?" is written.
    if (bytes.startsWith(QByteArrayView("<\0?\0", 4)))
        return decode(bytes, Encoding::Utf16LE).toUtf8();
    if (bytes.startsWith(QByteArrayView("\0<\0?", 4)))
        return decode(bytes, Encoding::Utf16BE).toUtf8();

    const QByteArray declared = declaredEncoding(bytes);
    Encoding encoding = Encoding::Utf8;
    if (!declared.isEmpty()) {
        const auto named = encodingNamed(declared);
        if (!named)
            throw Error(QStringLiteral("The document's encoding is not supported: ") +
                        QString::fromLatin1(declared));
        encoding = *named;
    }
    if (encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE)
        throw Error(QStringLiteral("The document declares UTF-16 but is not written in it"));
    if (encoding == Encoding::Utf8) {
        decode(bytes, Encoding::Utf8);
        return bytes;
    }
    return decode(bytes, encoding).toUtf8();
}

// An XML name as far as the program builds documents: a letter or "_" first, then
// letters, digits, ".", "-" and "_". A prefix with ":" is allowed.
bool isXmlName(const QString &name) {
    if (name.isEmpty())
        return false;
    const QChar first = name.front();
    if (!first.isLetter() && first != u'_')
        return false;
    for (const QChar ch : name) {
        if (!ch.isLetterOrNumber() && !ch.isMark() && ch != u'_' && ch != u'-' && ch != u'.' &&
            ch != u':')
            return false;
    }
    return true;
}

void requireXmlName(const QString &name) {
    if (!isXmlName(name))
        throw Error(QStringLiteral("Not a valid XML name: '") + name + QLatin1Char('\''));
}

// A DOCTYPE is never read; one that declares entities is refused, since the references to
// those entities would stay unexpanded and be read as literal text.
void dropDocumentType(pugi::xml_document &document) {
    for (pugi::xml_node node = document.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        if (node.type() == pugi::node_doctype) {
            if (std::strstr(node.value(), "<!ENTITY"))
                throw Error(QStringLiteral(
                    "The document's type declaration declares entities, which are not read"));
            document.remove_child(node);
        }
        node = next;
    }
}

struct ByteWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void *data, size_t size) override {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};

// Writes straight into the file: a large document never needs a second copy in memory.
struct FileWriter : pugi::xml_writer {
    explicit FileWriter(QSaveFile &file)
        : file(file) {}
    void write(const void *data, size_t size) override {
        if (file.write(static_cast<const char *>(data), qint64(size)) != qint64(size))
            failed = true;
    }
    QSaveFile &file;
    bool failed = false;
};

} // namespace

// ---- XmlNode ----

XmlNode::Kind XmlNode::kind() const {
    switch (nodeOf(m_node).type()) {
    case pugi::node_null:
        return Kind::Null;
    case pugi::node_document:
        return Kind::Document;
    case pugi::node_element:
        return Kind::Element;
    case pugi::node_pcdata:
        return Kind::Text;
    case pugi::node_cdata:
        return Kind::CData;
    case pugi::node_comment:
        return Kind::Comment;
    case pugi::node_pi:
        return Kind::ProcessingInstruction;
    default:
        return Kind::Other;
    }
}

QString XmlNode::name() const {
    return fromPugi(nodeOf(m_node).name());
}

QString XmlNode::text() const {
    return fromPugi(nodeOf(m_node).text().get());
}

void XmlNode::setText(const QString &text) {
    pugi::xml_node node = nodeOf(m_node);
    for (pugi::xml_node c = node.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            node.remove_child(c);
        c = next;
    }
    appendText(text);
}

QString XmlNode::value() const {
    return fromPugi(nodeOf(m_node).value());
}

XmlNode XmlNode::appendChild(const QString &name) {
    return insertChildBefore(name, XmlNode());
}

XmlNode XmlNode::insertChildBefore(const QString &name, const XmlNode &before) {
    requireXmlName(name);
    pugi::xml_node node = nodeOf(m_node);
    pugi::xml_node added =
        before.isNull() ? node.append_child(pugi::node_element)
                        : node.insert_child_before(pugi::node_element, nodeOf(before.m_node));
    if (!added)
        throw Error(QStringLiteral("Cannot add the element '") + name + QLatin1Char('\''));
    added.set_name(name.toUtf8().constData());
    return XmlNode(m_document, added.internal_object());
}

XmlNode XmlNode::appendText(const QString &text) {
    pugi::xml_node added = nodeOf(m_node).append_child(pugi::node_pcdata);
    if (!added)
        throw Error(QStringLiteral("Cannot add a text here"));
    added.set_value(text.toUtf8().constData());
    return XmlNode(m_document, added.internal_object());
}

XmlNode XmlNode::child(const QString &name) const {
    return XmlNode(m_document, nodeOf(m_node).child(name.toUtf8().constData()).internal_object());
}

std::vector<XmlNode> XmlNode::children(const QString &name) const {
    std::vector<XmlNode> found;
    const QByteArray wanted = name.toUtf8();
    for (pugi::xml_node c = nodeOf(m_node).first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && (wanted.isEmpty() || wanted == c.name()))
            found.push_back(XmlNode(m_document, c.internal_object()));
    }
    return found;
}

std::vector<XmlNode> XmlNode::childNodes() const {
    std::vector<XmlNode> found;
    for (pugi::xml_node c = nodeOf(m_node).first_child(); c; c = c.next_sibling())
        found.push_back(XmlNode(m_document, c.internal_object()));
    return found;
}

bool XmlNode::hasAttribute(const QString &name) const {
    return bool(nodeOf(m_node).attribute(name.toUtf8().constData()));
}

QString XmlNode::attribute(const QString &name) const {
    return fromPugi(nodeOf(m_node).attribute(name.toUtf8().constData()).value());
}

void XmlNode::setAttribute(const QString &name, const QString &value) {
    requireXmlName(name);
    pugi::xml_node node = nodeOf(m_node);
    const QByteArray key = name.toUtf8();
    pugi::xml_attribute attribute = node.attribute(key.constData());
    if (!attribute)
        attribute = node.append_attribute(key.constData());
    if (!attribute)
        throw Error(QStringLiteral("Cannot set the attribute '") + name + QLatin1Char('\''));
    attribute.set_value(value.toUtf8().constData());
}

// ---- XmlDocument ----

XmlDocument::XmlDocument()
    : m_document(std::make_shared<pugi::xml_document>()) {}

void XmlDocument::clear() {
    // A new document, so that nodes of the old one stay valid for whoever holds them.
    m_document = std::make_shared<pugi::xml_document>();
}

void XmlDocument::load(const QString &location, const HttpTimeouts &timeouts) {
    clear();
    QByteArray bytes;
    if (isHttpAddress(location)) {
        HttpRequest request;
        request.setTimeouts(timeouts);
        request.open(QStringLiteral("GET"), location);
        request.send();
        if (request.status() < 200 || request.status() > 299)
            throw Error(
                QStringLiteral("The server answered with HTTP status %1").arg(request.status()));
        bytes = request.responseBody();
    } else {
        QString path = location;
        static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
        if (location.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
            path = QUrl(location).toLocalFile();
        else if (scheme.match(location).hasMatch())
            throw Error(QStringLiteral("Not an address the program can load: ") + location);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Cannot open ") + path + QStringLiteral(": ") +
                        file.errorString());
        bytes = file.readAll();
    }
    loadXml(bytes);
}

void XmlDocument::loadXml(const QByteArray &bytes) {
    clear();
    const QByteArray utf8 = toUtf8Document(bytes);
    constexpr unsigned flags =
        pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;
    auto document = std::make_shared<pugi::xml_document>();
    const pugi::xml_parse_result result =
        document->load_buffer(utf8.constData(), size_t(utf8.size()), flags, pugi::encoding_utf8);
    if (!result)
        throw Error(QStringLiteral("The document is not well-formed XML: %1 (at byte %2)")
                        .arg(QString::fromUtf8(result.description()))
                        .arg(qlonglong(result.offset)));
    dropDocumentType(*document);
    m_document = std::move(document);
}

XmlNode XmlDocument::documentElement() const {
    return XmlNode(m_document, m_document->document_element().internal_object());
}

XmlNode XmlDocument::setDocumentElement(const QString &name) {
    requireXmlName(name);
    if (pugi::xml_node old = m_document->document_element())
        m_document->remove_child(old);
    XmlNode root(m_document, m_document->internal_object());
    return root.appendChild(name);
}

QByteArray XmlDocument::xml() const {
    ByteWriter writer;
    m_document->save(writer, PUGIXML_TEXT(""), pugi::format_raw | pugi::format_no_declaration,
                     pugi::encoding_utf8);
    return writer.bytes;
}

void XmlDocument::save(const QString &path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Cannot write ") + path + QStringLiteral(": ") +
                    file.errorString());
    // The same bytes as xml().
    FileWriter writer(file);
    m_document->save(writer, PUGIXML_TEXT(""), pugi::format_raw | pugi::format_no_declaration,
                     pugi::encoding_utf8);
    if (writer.failed || !file.commit())
        throw Error(QStringLiteral("Cannot write ") + path + QStringLiteral(": ") +
                    file.errorString());
}

bool isHttpAddress(const QString &location) {
    return location.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}
