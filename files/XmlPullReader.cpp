#include "XmlPullReader.h"

#include <QIODevice>

#include <expat.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

namespace {

// What expat is given at a time: large enough that the calls and the hand-overs cost nothing,
// small enough that the batches waiting take little memory.
constexpr qint64 kChunkSize = 1 << 16;
// How many parsed chunks may wait for the caller.
constexpr std::size_t kBatchesAhead = 4;

bool isXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The faults expat reports when the document stops before its end.
bool meansCutShort(XML_Error code)
{
    return code == XML_ERROR_NO_ELEMENTS || code == XML_ERROR_UNCLOSED_TOKEN ||
           code == XML_ERROR_PARTIAL_CHAR || code == XML_ERROR_UNCLOSED_CDATA_SECTION;
}

struct Span
{
    qsizetype at = 0;
    qsizetype size = 0;
};

} // namespace

// The events of one chunk, their texts in one buffer.
struct XmlPullReader::Batch
{
    struct Event
    {
        explicit Event(Token kind, qint64 line) : token(kind), line(line) {}
        Token token;
        qint64 line;
        Span name;
        std::size_t firstAttribute = 0;
        std::size_t attributeCount = 0;
    };

    QString texts;
    std::vector<Event> events;
    std::vector<std::pair<Span, Span>> attributes;
    // The document ends with this batch: an EndOfDocument or, with a fault, an Error follows.
    bool last = false;
    Fault fault = Fault::None;
    qint64 faultLine = 0;
    QString errorString;

    QStringView view(Span span) const { return QStringView(texts).mid(span.at, span.size); }

    Span store(const char* utf8, qsizetype size)
    {
        const qsizetype at = texts.size();
        bool ascii = true;
        for (qsizetype i = 0; i < size && ascii; ++i)
            ascii = static_cast<unsigned char>(utf8[i]) < 0x80;
        if (ascii)
            texts.append(QLatin1StringView(utf8, size));
        else
            texts.append(QString::fromUtf8(utf8, size));
        return {at, texts.size() - at};
    }
};

// Expat on its own thread: it parses chunk after chunk into batches and queues them for the
// caller, waiting while kBatchesAhead are queued.
class XmlPullReader::Parsing
{
public:
    explicit Parsing(QIODevice& device) : m_device(device), m_parser(XML_ParserCreate(nullptr))
    {
        if (!m_parser)
            throw std::bad_alloc();
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &Parsing::start, &Parsing::end);
        XML_SetCharacterDataHandler(m_parser, &Parsing::text);
        XML_SetStartDoctypeDeclHandler(m_parser, &Parsing::doctype);
        m_thread = std::thread([this] { run(); });
    }

    ~Parsing()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_abandoned = true;
        }
        m_changed.notify_all();
        m_thread.join();
        XML_ParserFree(m_parser);
    }

    Parsing(const Parsing&) = delete;
    Parsing& operator=(const Parsing&) = delete;

    // The next batch, waiting for it if need be. What the parsing thread failed with (running
    // out of memory) is raised here, on the caller's thread, as if it had parsed itself.
    std::unique_ptr<Batch> take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty() || m_failure; });
        if (m_ready.empty())
            std::rethrow_exception(m_failure);
        std::unique_ptr<Batch> batch = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        m_changed.notify_all();
        return batch;
    }

private:
    void run()
    {
        bool last = false;
        while (!last) {
            std::exception_ptr failure;
            try {
                m_building = std::make_unique<Batch>();
                last = parseChunk();
                m_building->last = last;
            } catch (...) {
                failure = std::current_exception();
            }
            if (m_handlerFailure)
                failure = m_handlerFailure;
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_abandoned || m_ready.size() < kBatchesAhead; });
            if (m_abandoned)
                return;
            if (!failure) {
                try {
                    m_ready.push_back(std::move(m_building));
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            if (failure) {
                m_failure = failure;
                last = true;
            }
            lock.unlock();
            m_changed.notify_all();
        }
    }

    // Parses the next chunk of the device into m_building; true when the document has ended.
    bool parseChunk()
    {
        m_chunk.resize(kChunkSize);
        const qint64 got = m_device.read(m_chunk.data(), kChunkSize);
        const bool last = got <= 0;
        const XML_Status status = XML_Parse(m_parser, m_chunk.constData(), last ? 0 : int(got),
                                            last ? XML_TRUE : XML_FALSE);
        if (status != XML_STATUS_ERROR)
            return last;
        if (!m_stopped) {
            const XML_Error code = XML_GetErrorCode(m_parser);
            m_building->fault = last && meansCutShort(code) ? Fault::Truncated : Fault::Malformed;
            m_building->faultLine = qint64(XML_GetCurrentLineNumber(m_parser));
            m_building->errorString = QString::fromUtf8(XML_ErrorString(code));
        }
        return true;
    }

    qint64 line() const { return qint64(XML_GetCurrentLineNumber(m_parser)); }

    static Parsing& of(void* data) { return *static_cast<Parsing*>(data); }

    // Runs a handler's work. No exception may pass through expat's C frames: one is kept for
    // the caller and the parsing stops.
    template <typename Work> static void guarded(void* data, Work work)
    {
        Parsing& parsing = of(data);
        try {
            work(parsing, *parsing.m_building);
        } catch (...) {
            parsing.m_handlerFailure = std::current_exception();
            parsing.stop();
        }
    }

    void stop()
    {
        m_stopped = true;
        XML_StopParser(m_parser, XML_FALSE);
    }

    static void start(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        guarded(data, [name, attributes](Parsing& parsing, Batch& batch) {
            Batch::Event event(Token::StartElement, parsing.line());
            event.name = batch.store(name, qsizetype(std::strlen(name)));
            event.firstAttribute = batch.attributes.size();
            for (const XML_Char** at = attributes; *at; at += 2) {
                const Span attributeName = batch.store(at[0], qsizetype(std::strlen(at[0])));
                batch.attributes.emplace_back(attributeName,
                                              batch.store(at[1], qsizetype(std::strlen(at[1]))));
            }
            event.attributeCount = batch.attributes.size() - event.firstAttribute;
            batch.events.push_back(event);
        });
    }

    static void end(void* data, const XML_Char*)
    {
        guarded(data, [](Parsing& parsing, Batch& batch) {
            batch.events.emplace_back(Token::EndElement, parsing.line());
        });
    }

    // Blank text between elements is only layout; other text is handed out.
    static void text(void* data, const XML_Char* text, int size)
    {
        int i = 0;
        while (i < size && isXmlBlank(text[i]))
            ++i;
        if (i == size)
            return;
        guarded(data, [text, i, size](Parsing& parsing, Batch& batch) {
            Batch::Event event(Token::Text, parsing.line());
            event.name = batch.store(text + i, size - i);
            batch.events.push_back(event);
        });
    }

    static void doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        guarded(data, [](Parsing& parsing, Batch& batch) {
            batch.events.emplace_back(Token::DocumentType, parsing.line());
            parsing.stop();
        });
    }

    QIODevice& m_device;
    XML_Parser m_parser;
    QByteArray m_chunk;
    std::unique_ptr<Batch> m_building;
    // Parsing was stopped on purpose: at a document type declaration, or by a handler's failure.
    bool m_stopped = false;
    std::exception_ptr m_handlerFailure;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Batch>> m_ready;
    bool m_abandoned = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

XmlPullReader::XmlPullReader(QIODevice& device)
    : m_parsing(std::make_unique<Parsing>(device)), m_batch(std::make_unique<Batch>())
{
}

XmlPullReader::~XmlPullReader() = default;

XmlPullReader::Token XmlPullReader::next()
{
    m_attributes.clear();
    while (m_nextEvent == m_batch->events.size()) {
        if (m_batch->last) {
            m_atEnd = true;
            return m_batch->fault == Fault::None ? Token::EndOfDocument : Token::Error;
        }
        m_batch = m_parsing->take();
        m_nextEvent = 0;
    }
    m_currentEvent = m_nextEvent++;
    const Batch::Event& event = m_batch->events[m_currentEvent];
    for (std::size_t i = 0; i < event.attributeCount; ++i) {
        const auto& [name, value] = m_batch->attributes[event.firstAttribute + i];
        m_attributes.push_back({m_batch->view(name), m_batch->view(value)});
    }
    return event.token;
}

// Before the first token and at the end there is no current event.
bool XmlPullReader::hasCurrent() const
{
    return !m_atEnd && m_currentEvent < m_batch->events.size();
}

QStringView XmlPullReader::name() const
{
    return hasCurrent() ? m_batch->view(m_batch->events[m_currentEvent].name) : QStringView();
}

qint64 XmlPullReader::lineNumber() const
{
    return hasCurrent() ? m_batch->events[m_currentEvent].line : m_batch->faultLine;
}

XmlPullReader::Fault XmlPullReader::fault() const
{
    return m_atEnd ? m_batch->fault : Fault::None;
}

QString XmlPullReader::errorString() const
{
    return m_batch->errorString;
}
