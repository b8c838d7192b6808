#include "WorkDetails.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// The encoded form: the name's length (one unit below 0x8000, else two with the top bit of the
// first set) and its units; one unit with a bit per set number; the set numbers, four units each;
// the count of demands (as a length) and each demand as two units of resource and four of amount.
void appendLength(QString& out, std::size_t length)
{
    if (length < 0x8000) {
        out.append(QChar(char16_t(length)));
    } else {
        out.append(QChar(char16_t(0x8000 | (length >> 16))));
        out.append(QChar(char16_t(length & 0xffff)));
    }
}

void appendBits(QString& out, std::uint64_t bits, int units)
{
    for (int i = 0; i < units; ++i)
        out.append(QChar(char16_t(bits >> (16 * i))));
}

class Decoder
{
public:
    explicit Decoder(QStringView text) : m_text(text) {}

    std::size_t length()
    {
        const std::size_t first = next();
        if (!(first & 0x8000))
            return first;
        return ((first & 0x7fff) << 16) | next();
    }
    std::uint64_t bits(int units)
    {
        std::uint64_t value = 0;
        for (int i = 0; i < units; ++i)
            value |= std::uint64_t(next()) << (16 * i);
        return value;
    }
    QStringView take(std::size_t count)
    {
        const QStringView part = m_text.mid(m_at, qsizetype(count));
        m_at += qsizetype(count);
        return part;
    }
    double number() { return std::bit_cast<double>(bits(4)); }

private:
    char16_t next() { return m_text[m_at++].unicode(); }

    QStringView m_text;
    qsizetype m_at = 0;
};

} // namespace

std::optional<double> WorkDetails::demand(ResourceId resource) const
{
    const auto found =
        std::lower_bound(demands.begin(), demands.end(), resource,
                         [](const ResourceDemand& d, ResourceId id) { return d.resource < id; });
    if (found == demands.end() || found->resource != resource)
        return std::nullopt;
    return found->amount;
}

void WorkDetails::setDemand(ResourceId resource, std::optional<double> amount)
{
    auto found =
        std::lower_bound(demands.begin(), demands.end(), resource,
                         [](const ResourceDemand& d, ResourceId id) { return d.resource < id; });
    const bool present = found != demands.end() && found->resource == resource;
    if (!amount) {
        if (present)
            demands.erase(found);
    } else if (present) {
        found->amount = *amount;
    } else {
        demands.insert(found, ResourceDemand{resource, *amount});
    }
}

bool WorkDetails::isEmpty() const
{
    return name.isEmpty() && demands.empty() &&
           std::none_of(numbers.begin(), numbers.end(),
                        [](const std::optional<double>& n) { return n.has_value(); });
}

QString WorkDetails::encoded() const
{
    if (isEmpty())
        return {};
    QString out;
    out.reserve(name.size() + 4 + 4 * kDetailNumberCount + 6 * qsizetype(demands.size()));
    appendLength(out, std::size_t(name.size()));
    out.append(name);
    char16_t present = 0;
    for (int i = 0; i < kDetailNumberCount; ++i) {
        if (numbers[std::size_t(i)])
            present |= char16_t(1u << i);
    }
    out.append(QChar(present));
    for (const std::optional<double>& value : numbers) {
        if (value)
            appendBits(out, std::bit_cast<std::uint64_t>(*value), 4);
    }
    appendLength(out, demands.size());
    for (const ResourceDemand& demand : demands) {
        appendBits(out, demand.resource, 2);
        appendBits(out, std::bit_cast<std::uint64_t>(demand.amount), 4);
    }
    return out;
}

WorkDetails WorkDetails::decode(QStringView encoded)
{
    WorkDetails details;
    if (encoded.isEmpty())
        return details;
    Decoder in(encoded);
    details.name = in.take(in.length()).toString();
    const auto present = in.bits(1);
    for (int i = 0; i < kDetailNumberCount; ++i) {
        if (present & (1u << i))
            details.numbers[std::size_t(i)] = in.number();
    }
    const std::size_t count = in.length();
    details.demands.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto resource = static_cast<ResourceId>(in.bits(2));
        details.demands.push_back(ResourceDemand{resource, in.number()});
    }
    return details;
}
