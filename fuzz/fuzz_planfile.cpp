// libFuzzer target for the plan file reader: any bytes must read without a crash or raise the
// program's error, and a plan that was read must write (as a save writes it) and read back to the
// same works, details and plan, and the same bytes. The risk window's settings read from any plan
// are in range and go back into a plan and out again unchanged.
#include "KestrinError.h"
#include "PlanFile.h"
#include "RiskSettings.h"
#include "RiskSimulation.h"
#include "WorkTable.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

std::optional<planfile::Contents> readBytes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        return planfile::readDevice(buffer, QStringLiteral("fuzz.kpl"));
    } catch (const KestrinError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto contents =
        readBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!contents)
        return 0;
    const risk::RiskSettings settings = risk::riskSettings(contents->plan);
    if (settings.runs < 1 || settings.runs > risk::SimulationSettings::kMaxRuns ||
        !(settings.confidence > 0 && settings.confidence < 1) ||
        (settings.directive && !settings.directive->isValid()))
        std::abort();
    Plan withSettings = contents->plan;
    risk::storeRiskSettings(withSettings, settings);
    if (!(risk::riskSettings(withSettings) == settings))
        std::abort();
    WorkTable table;
    table.replaceRows(0, 1, contents->works);

    QByteArray saved;
    try {
        saved = planfile::encode(table, contents->plan);
    } catch (const KestrinError&) {
        // Whatever the reader takes in, the writer writes.
        std::abort();
    }
    const auto back = readBytes(saved);
    if (!back || !(back->works == contents->works) || !(back->plan == contents->plan))
        std::abort();
    WorkTable backTable;
    backTable.replaceRows(0, 1, back->works);
    if (planfile::encode(backTable, back->plan) != saved)
        std::abort();
    return 0;
}
