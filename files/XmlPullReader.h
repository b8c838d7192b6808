#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class QIODevice;

// An XML reader that hands out one token at a time, over expat. Expat parses a large plan in about
// half the time QXmlStreamReader takes, and it runs on a thread of its own, a few chunks ahead, so
// that parsing and what the caller does with the tokens overlap. Only what a data file needs is
// reported: elements with their attributes, text that is not blank, and a document type
// declaration, at which parsing stops so that no entity of it is ever expanded. Comments,
// processing instructions and blank text are skipped.
//
// The device is read only by the parsing thread from construction to the end of the document or
// the reader's destruction. The views name() and attributes() give stay valid until the next call
// of next().
class XmlPullReader
{
public:
    enum class Token { StartElement, EndElement, Text, DocumentType, EndOfDocument, Error };
    enum class Fault { None, Truncated, Malformed };

    struct Attribute
    {
        QStringView name;
        QStringView value;
    };

    explicit XmlPullReader(QIODevice& device);
    ~XmlPullReader();
    XmlPullReader(const XmlPullReader&) = delete;
    XmlPullReader& operator=(const XmlPullReader&) = delete;

    Token next();

    // The current element's name, or the current text.
    QStringView name() const;
    const std::vector<Attribute>& attributes() const { return m_attributes; }
    // The line of the current token or, after an error, of the fault.
    qint64 lineNumber() const;
    Fault fault() const;
    // Expat's own words for a malformed document.
    QString errorString() const;

    struct Batch;
    class Parsing;

private:
    bool hasCurrent() const;

    std::unique_ptr<Parsing> m_parsing;
    // The batch being handed out, and where in it.
    std::unique_ptr<Batch> m_batch;
    std::size_t m_nextEvent = 0;
    std::size_t m_currentEvent = 0;
    bool m_atEnd = false;
    std::vector<Attribute> m_attributes;
};
