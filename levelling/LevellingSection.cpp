#include "LevellingSection.h"

#include "ResourceNetwork.h"

#include <charconv>
#include <cmath>

namespace {

const QString kSeconds = QStringLiteral("seconds");
const QString kResource = QStringLiteral("resource");
const QString kFingerprint = QStringLiteral("fingerprint");
const QString kStarts = QStringLiteral("starts");
const QString kLength = QStringLiteral("length");

template <typename Number> std::optional<Number> numberOf(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    Number value{};
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    if (error != std::errc() || end != bytes.data() + bytes.size())
        return std::nullopt;
    return value;
}

template <typename Number> QString textOf(Number value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString valueOf(const PlanSection& section, const QString& key)
{
    const auto found = section.find(key);
    return found == section.end() ? QString() : found->second;
}

} // namespace

bool LevellingSettings::scheduleFits(const ResourceNetwork& network) const
{
    return hasSchedule() && fingerprint == network.fingerprint() &&
           int(starts.size()) == network.problem().activityCount();
}

PlanSection LevellingSettings::toSection() const
{
    PlanSection section;
    section[kSeconds] = textOf(seconds);
    if (resource)
        section[kResource] = textOf(*resource);
    if (hasSchedule()) {
        section[kFingerprint] = fingerprint;
        section[kLength] = textOf(length);
        QStringList texts;
        texts.reserve(qsizetype(starts.size()));
        for (const int start : starts)
            texts.append(textOf(start));
        section[kStarts] = texts.join(u' ');
    }
    return section;
}

LevellingSettings LevellingSettings::fromSection(const PlanSection& section)
{
    LevellingSettings settings;
    if (const auto seconds = numberOf<double>(valueOf(section, kSeconds));
        seconds && std::isfinite(*seconds) && *seconds > 0)
        settings.seconds = *seconds;
    settings.resource = numberOf<ResourceId>(valueOf(section, kResource));
    const QString fingerprint = valueOf(section, kFingerprint);
    const auto length = numberOf<int>(valueOf(section, kLength));
    std::vector<int> starts;
    const QString startTexts = valueOf(section, kStarts);
    for (const QStringView text : QStringView(startTexts).split(u' ', Qt::SkipEmptyParts)) {
        const auto start = numberOf<int>(text.toString());
        if (!start)
            return settings; // a damaged schedule is no schedule
        starts.push_back(*start);
    }
    if (!fingerprint.isEmpty() && length) {
        settings.fingerprint = fingerprint;
        settings.length = *length;
        settings.starts = std::move(starts);
    }
    return settings;
}

std::vector<std::optional<double>> levelledStartsByRow(const LevellingSettings& settings,
                                                       const ResourceNetwork& network, int rowCount)
{
    if (!settings.scheduleFits(network))
        return {};
    std::vector<std::optional<double>> byRow(static_cast<std::size_t>(rowCount));
    for (std::size_t a = 0; a < network.works().size(); ++a) {
        const int row = network.works()[a].row;
        if (row < rowCount)
            byRow[std::size_t(row)] = network.days(settings.starts[a]);
    }
    return byRow;
}
