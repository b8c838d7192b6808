#include "PlanFile.h"

#include "AtomicFile.h"
#include "DetailRules.h"
#include "InputFile.h"
#include "IoError.h"
#include "KestrinError.h"
#include "Progress.h"
#include "WorkFieldRule.h"
#include "WorkTable.h"
#include "XmlPullReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>

namespace {

// The names of the format, each written once here.
constexpr QStringView kRoot = u"kestrin-plan";
constexpr QStringView kVersion = u"version";
constexpr QStringView kStartDate = u"start-date";
constexpr QStringView kDays = u"days";
constexpr QStringView kEnds = u"ends";
constexpr QStringView kStart = u"start";
constexpr QStringView kEnd = u"end";
constexpr QStringView kAutomatic = u"automatic";
constexpr QStringView kResources = u"resources";
constexpr QStringView kResource = u"resource";
constexpr QStringView kId = u"id";
constexpr QStringView kName = u"name";
constexpr QStringView kUnit = u"unit";
constexpr QStringView kAvailable = u"available";
constexpr QStringView kWorks = u"works";
constexpr QStringView kWork = u"work";
constexpr QStringView kDuration = u"duration";
constexpr QStringView kDemand = u"demand";
constexpr QStringView kAmount = u"amount";
constexpr QStringView kGraphPlacement = u"graph-placement";
constexpr QStringView kEvent = u"event";
constexpr QStringView kX = u"x";
constexpr QStringView kY = u"y";
constexpr QStringView kSection = u"section";
constexpr QStringView kSetting = u"setting";
constexpr QStringView kKey = u"key";
constexpr QStringView kValue = u"value";
constexpr QStringView kYes = u"yes";
constexpr QStringView kNo = u"no";
// The attributes of a work's numbers, in the order of DetailNumber.
constexpr QStringView kNumberNames[kDetailNumberCount] = {u"optimistic", u"pessimistic",
                                                          u"shortest", u"cost", u"shortest-cost"};

QString text(QStringView name)
{
    return name.toString();
}

// A user's text in a message: its beginning only, so that no error box carries pages of it.
QString quoted(QStringView text)
{
    return workfield::quotedBeginning(text);
}

// A double in the shortest text that reads back to it, locale-free.
QString numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

template <typename Number> std::optional<Number> parseNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 64)
        return std::nullopt;
    char buffer[64];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7f)
            return std::nullopt;
        buffer[i] = char(c);
    }
    Number value{};
    const auto result = std::from_chars(buffer, buffer + text.size(), value);
    if (result.ec != std::errc() || result.ptr != buffer + text.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

// The position of the first character XML cannot carry exactly (a control character, a lone
// surrogate, U+FFFE or U+FFFF), or -1.
qsizetype unwritableAt(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 || c == 0xfffe || c == 0xffff)
            return i;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
                ++i;
            else
                return i;
        } else if (QChar::isLowSurrogate(c)) {
            return i;
        }
    }
    return -1;
}

void checkWritable(QStringView value, const QString& where)
{
    const qsizetype at = unwritableAt(value);
    if (at >= 0)
        throw KestrinError(QStringLiteral("%1: символ с кодом %2 нельзя записать в файл плана; "
                                          "файл не записан")
                               .arg(where)
                               .arg(int(value[at].unicode())));
}

bool isBlankRow(const WorkTable& table, int row)
{
    return table.cellView(WorkColumn::StartEvent, row).isEmpty() &&
           table.cellView(WorkColumn::EndEvent, row).isEmpty() &&
           table.cellView(WorkColumn::Duration, row).isEmpty() && table.detailsText(row).isEmpty();
}

// The rows a file holds: all of them, except the one blank row of an empty table.
int savedRows(const WorkTable& table)
{
    return table.rowCount() == 1 && isBlankRow(table, 0) ? 0 : table.rowCount();
}

// The row's details as the file keeps them: demands of a resource the plan no longer has are
// left out.
WorkDetails savedDetails(const WorkTable& table, int row, const Plan& plan)
{
    WorkDetails details = table.details(row);
    std::erase_if(details.demands,
                  [&plan](const ResourceDemand& d) { return !plan.resource(d.resource); });
    return details;
}

// A problem of the rules the reader applies, found before the write.
void refuse(const QString& problem)
{
    if (!problem.isEmpty())
        throw KestrinError(problem + QStringLiteral("; файл не записан"));
}

// An event name outside the works: XML must carry it, and the reader holds it to the work-field
// rule.
void checkEvent(const QString& name, const QString& where)
{
    checkWritable(name, where);
    refuse(workfield::namedProblem(name, where));
}

// Everything that could stop the write, checked before the file is touched: what XML cannot
// carry, and every rule the reader applies, so that a plan written always reads back.
void checkPlan(const WorkTable& table, const Plan& plan)
{
    const int rows = savedRows(table);
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Проверка плана", row, rows);
        const QString where = QStringLiteral("Строка %1").arg(row + 1);
        for (WorkColumn column :
             {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration}) {
            const QStringView cell = table.cellView(column, row);
            checkWritable(cell, where);
            // A work list file read in may hold a line beyond the rule's length.
            if (const QString problem = workfield::problem(cell, workColumnCaption(column));
                !problem.isEmpty())
                refuse(where + QStringLiteral(": ") + problem);
        }
        if (table.detailsText(row).isEmpty())
            continue;
        const WorkDetails details = savedDetails(table, row, plan);
        checkWritable(details.name, where);
        if (const QString problem = detailrules::ownProblem(details, plan); !problem.isEmpty())
            throw KestrinError(where + QStringLiteral(": ") + problem);
    }
    for (const Resource& resource : plan.resources()) {
        const QString where = QStringLiteral("Ресурс «%1»").arg(quoted(resource.name));
        checkWritable(resource.name, where);
        checkWritable(resource.unit, where);
        refuse(workfield::freeTextProblem(resource.name, where));
        refuse(workfield::freeTextProblem(resource.unit, where));
    }
    checkEvent(plan.startEvent(), QStringLiteral("Начальное событие"));
    checkEvent(plan.endEvent(), QStringLiteral("Конечное событие"));
    for (const EventPlacement& placement : plan.graphPlacement())
        checkEvent(placement.event, QStringLiteral("Размещение событий"));
    for (const auto& [name, section] : plan.sections()) {
        const QString where = QStringLiteral("Раздел «%1»").arg(quoted(name));
        checkWritable(name, where);
        refuse(workfield::controlProblem(name, where));
        for (const auto& [key, value] : section) {
            checkWritable(key, where);
            checkWritable(value, where);
            refuse(workfield::controlProblem(key, where));
            refuse(workfield::controlProblem(value, where));
        }
    }
}

class Writer
{
public:
    explicit Writer(QIODevice& device) : m_xml(&device) { m_xml.setAutoFormatting(true); }

    void write(const WorkTable& table, const Plan& plan)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement(text(kRoot));
        m_xml.writeAttribute(text(kVersion), QString::number(planfile::kFormatVersion));

        m_xml.writeEmptyElement(text(kStartDate));
        m_xml.writeAttribute(text(kDays), numberText(plan.startDate()));

        m_xml.writeEmptyElement(text(kEnds));
        m_xml.writeAttribute(text(kStart), plan.startEvent());
        m_xml.writeAttribute(text(kEnd), plan.endEvent());
        m_xml.writeAttribute(text(kAutomatic), text(plan.automaticEnds() ? kYes : kNo));

        m_xml.writeStartElement(text(kResources));
        for (const Resource& resource : plan.resources()) {
            m_xml.writeEmptyElement(text(kResource));
            m_xml.writeAttribute(text(kId), QString::number(resource.id));
            m_xml.writeAttribute(text(kName), resource.name);
            if (!resource.unit.isEmpty())
                m_xml.writeAttribute(text(kUnit), resource.unit);
            if (resource.available)
                m_xml.writeAttribute(text(kAvailable), numberText(*resource.available));
        }
        m_xml.writeEndElement();

        writeWorks(table, plan);

        m_xml.writeStartElement(text(kGraphPlacement));
        for (const EventPlacement& placement : plan.graphPlacement()) {
            m_xml.writeEmptyElement(text(kEvent));
            m_xml.writeAttribute(text(kName), placement.event);
            m_xml.writeAttribute(text(kX), QString::number(placement.at.x()));
            m_xml.writeAttribute(text(kY), QString::number(placement.at.y()));
        }
        m_xml.writeEndElement();

        for (const auto& [name, section] : plan.sections()) {
            m_xml.writeStartElement(text(kSection));
            m_xml.writeAttribute(text(kName), name);
            for (const auto& [key, value] : section) {
                m_xml.writeEmptyElement(text(kSetting));
                m_xml.writeAttribute(text(kKey), key);
                m_xml.writeAttribute(text(kValue), value);
            }
            m_xml.writeEndElement();
        }

        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    void writeWorks(const WorkTable& table, const Plan& plan)
    {
        const QString work = text(kWork), start = text(kStart), end = text(kEnd),
                      duration = text(kDuration), name = text(kName), demand = text(kDemand),
                      resource = text(kResource), amount = text(kAmount);
        QString numberNames[kDetailNumberCount];
        for (int i = 0; i < kDetailNumberCount; ++i)
            numberNames[i] = text(kNumberNames[i]);
        m_xml.writeStartElement(text(kWorks));
        const int rows = savedRows(table);
        for (int row = 0; row < rows; ++row) {
            progress::step(u"Запись плана", row, rows);
            const WorkDetails details = savedDetails(table, row, plan);
            const std::vector<ResourceDemand>& demands = details.demands;
            if (demands.empty())
                m_xml.writeEmptyElement(work);
            else
                m_xml.writeStartElement(work);
            m_xml.writeAttribute(start, table.cell(WorkColumn::StartEvent, row));
            m_xml.writeAttribute(end, table.cell(WorkColumn::EndEvent, row));
            m_xml.writeAttribute(duration, table.cell(WorkColumn::Duration, row));
            if (!details.name.isEmpty())
                m_xml.writeAttribute(name, details.name);
            for (int i = 0; i < kDetailNumberCount; ++i) {
                if (const auto value = details.numbers[std::size_t(i)])
                    m_xml.writeAttribute(numberNames[i], numberText(*value));
            }
            for (const ResourceDemand& d : demands) {
                m_xml.writeEmptyElement(demand);
                m_xml.writeAttribute(resource, QString::number(d.resource));
                m_xml.writeAttribute(amount, numberText(d.amount));
            }
            if (!demands.empty())
                m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    QXmlStreamWriter m_xml;
};

// The reader: XmlPullReader over the device, the elements in the order the format gives, every
// attribute known, every value checked. Any fault raises the damaged-file message with its line.
class Reader
{
public:
    Reader(QIODevice& device, const QString& fileName) : m_xml(device), m_fileName(fileName) {}

    planfile::Contents read()
    {
        if (!nextChild() || m_xml.name() != kRoot)
            fail(QStringLiteral("это не файл плана Kestrin"));
        readVersion();
        // The parts of a plan, each at most once and in this order.
        const std::vector<std::pair<QStringView, void (Reader::*)()>> parts = {
            {kStartDate, &Reader::readStartDate},           {kEnds, &Reader::readEnds},
            {kResources, &Reader::readResources},           {kWorks, &Reader::readWorks},
            {kGraphPlacement, &Reader::readGraphPlacement},
        };
        std::size_t next = 0;
        while (nextChild()) {
            while (next < parts.size() && m_xml.name() != parts[next].first)
                ++next;
            if (next < parts.size()) {
                (this->*parts[next].second)();
                ++next;
            } else if (m_xml.name() == kSection) {
                readSection();
                next = parts.size();
            } else {
                unexpectedElement();
            }
        }
        // Nothing may follow the root element but comments and blanks.
        for (;;) {
            switch (m_xml.next()) {
            case XmlPullReader::Token::EndOfDocument:
                return std::move(m_contents);
            case XmlPullReader::Token::Error:
                failXml();
            default:
                fail(QStringLiteral("лишнее содержимое после конца плана"));
            }
        }
    }

private:
    [[noreturn]] void fail(const QString& why) const
    {
        throw KestrinError(QStringLiteral("Файл плана «%1» повреждён: строка %2: %3")
                               .arg(m_fileName)
                               .arg(m_xml.lineNumber())
                               .arg(why));
    }

    [[noreturn]] void failXml() const
    {
        if (m_xml.fault() == XmlPullReader::Fault::Truncated)
            fail(QStringLiteral("файл обрывается"));
        fail(QStringLiteral("нарушена разметка XML (%1)").arg(quoted(m_xml.errorString())));
    }

    // The next child element of the current one; false at its end. Text other than blanks is a
    // fault, and so is a document type declaration: its entities could make a small file
    // expand without end.
    bool nextChild()
    {
        switch (m_xml.next()) {
        case XmlPullReader::Token::StartElement:
            return true;
        case XmlPullReader::Token::EndElement:
        case XmlPullReader::Token::EndOfDocument:
            return false;
        case XmlPullReader::Token::Text:
            fail(QStringLiteral("текст вне атрибутов"));
        case XmlPullReader::Token::DocumentType:
            fail(QStringLiteral("объявление DTD не допускается"));
        case XmlPullReader::Token::Error:
            break;
        }
        failXml();
    }

    [[noreturn]] void unexpectedElement() const
    {
        fail(QStringLiteral("неизвестный элемент «%1»").arg(quoted(m_xml.name())));
    }

    // An element that must have no children.
    void endEmptyElement()
    {
        if (nextChild())
            unexpectedElement();
    }

    // The attributes of the current element, each one of the known names at most once (XML
    // itself refuses repeats).
    template <std::size_t N>
    std::array<QStringView, N> attributes(const std::array<QStringView, N>& names,
                                          std::size_t required)
    {
        std::array<QStringView, N> values;
        for (const XmlPullReader::Attribute& attribute : m_xml.attributes()) {
            std::size_t i = 0;
            while (i < N && attribute.name != names[i])
                ++i;
            if (i == N)
                fail(QStringLiteral("неизвестный атрибут «%1»").arg(quoted(attribute.name)));
            values[i] = attribute.value;
            // A present attribute is never a null view, even when empty.
            if (values[i].isNull())
                values[i] = QStringView(u"");
        }
        for (std::size_t i = 0; i < required; ++i) {
            if (values[i].isNull())
                fail(QStringLiteral("нет атрибута «%1»").arg(names[i]));
        }
        return values;
    }

    template <typename Number> Number number(QStringView value, QStringView name)
    {
        const auto parsed = parseNumber<Number>(value);
        if (!parsed)
            fail(QStringLiteral("«%1» — не число (атрибут «%2»)").arg(quoted(value), name));
        return *parsed;
    }

    std::optional<double> optionalNumber(QStringView value, QStringView name)
    {
        if (value.isNull())
            return std::nullopt;
        return number<double>(value, name);
    }

    // A text of a work or an event name: the work-field rule, for the plan's works are saved to
    // the work list file too.
    void checkField(QStringView value, QStringView caption)
    {
        if (const QString problem = workfield::namedProblem(value, caption); !problem.isEmpty())
            fail(problem);
    }

    // A free text (a resource's name or unit): any character but a control one, not too long.
    void checkFreeText(QStringView value, QStringView caption)
    {
        if (const QString problem = workfield::freeTextProblem(value, caption); !problem.isEmpty())
            fail(problem);
    }

    // A section's text: the later capabilities set their own limits.
    void checkSectionText(QStringView value, QStringView caption)
    {
        if (const QString problem = workfield::controlProblem(value, caption); !problem.isEmpty())
            fail(problem);
    }

    void readVersion()
    {
        const auto [version] = attributes<1>({kVersion}, 1);
        const int number = this->number<int>(version, kVersion);
        if (number > planfile::kFormatVersion)
            throw KestrinError(
                QStringLiteral("План «%1» записан более новой версией Kestrin (формат %2); эта "
                               "версия читает планы формата %3 и старше")
                    .arg(m_fileName)
                    .arg(number)
                    .arg(planfile::kFormatVersion));
        if (number < 1)
            fail(QStringLiteral("неизвестный формат %1").arg(number));
    }

    void readStartDate()
    {
        const auto [days] = attributes<1>({kDays}, 1);
        const double value = number<double>(days, kDays);
        // The calendar's range: years 1 to 9999.
        if (value < -693593 || value > 2958466)
            fail(QStringLiteral("дата начала вне календаря"));
        m_contents.plan.setStartDate(value);
        endEmptyElement();
    }

    void readEnds()
    {
        const auto [start, end, automatic] = attributes<3>({kStart, kEnd, kAutomatic}, 3);
        if (automatic != kYes && automatic != kNo)
            fail(QStringLiteral("атрибут «automatic» — «yes» или «no»"));
        checkField(start, u"Начальное событие");
        checkField(end, u"Конечное событие");
        m_contents.plan.setEnds(start.toString(), end.toString(), automatic == kYes);
        endEmptyElement();
    }

    void readResources()
    {
        while (nextChild()) {
            if (m_xml.name() != kResource)
                unexpectedElement();
            const auto [id, name, unit, available] =
                attributes<4>({kId, kName, kUnit, kAvailable}, 2);
            Resource resource;
            const auto number = this->number<ResourceId>(id, kId);
            if (number == 0 || m_contents.plan.resource(number))
                fail(QStringLiteral("номер ресурса %1 повторяется или равен нулю").arg(id));
            resource.id = number;
            checkFreeText(name, u"Ресурс");
            checkFreeText(unit, u"Единица измерения");
            resource.name = name.toString();
            resource.unit = unit.toString();
            resource.available = optionalNumber(available, kAvailable);
            if (resource.available && *resource.available < 0)
                fail(QStringLiteral("Доступно меньше нуля"));
            m_contents.plan.addResource(std::move(resource));
            endEmptyElement();
        }
    }

    void readWorks()
    {
        WorkDetails details;
        std::array<QString, 3> inputs;
        const std::array<QStringView, 4 + kDetailNumberCount> names = {
            kStart,          kEnd,
            kDuration,       kName,
            kNumberNames[0], kNumberNames[1],
            kNumberNames[2], kNumberNames[3],
            kNumberNames[4]};
        while (nextChild()) {
            if (m_xml.name() != kWork)
                unexpectedElement();
            progress::step(u"Чтение плана", m_contents.works.rowCount(), -1);
            const auto values = attributes<names.size()>(names, 3);
            details = WorkDetails();
            checkField(values[0], u"Начальное событие");
            checkField(values[1], u"Конечное событие");
            checkField(values[2], u"Продолжительность");
            // The views last only until the reader moves on, to the demands say: the texts are
            // copied into storage that lives from work to work.
            for (std::size_t i = 0; i < inputs.size(); ++i)
                inputs[i].setUnicode(values[i].data(), values[i].size());
            if (!values[3].isNull())
                details.name = values[3].toString();
            for (int i = 0; i < kDetailNumberCount; ++i)
                details.numbers[std::size_t(i)] =
                    optionalNumber(values[4 + std::size_t(i)], kNumberNames[i]);
            while (nextChild()) {
                if (m_xml.name() != kDemand)
                    unexpectedElement();
                const auto [resource, amount] = attributes<2>({kResource, kAmount}, 2);
                const auto id = number<ResourceId>(resource, kResource);
                if (details.demand(id))
                    fail(QStringLiteral("потребность в ресурсе %1 повторяется").arg(id));
                details.setDemand(id, number<double>(amount, kAmount));
                endEmptyElement();
            }
            if (const QString problem = detailrules::ownProblem(details, m_contents.plan);
                !problem.isEmpty())
                fail(problem);
            m_contents.works.append(inputs[0], inputs[1], inputs[2], details);
        }
        m_contents.works.squeeze();
    }

    void readGraphPlacement()
    {
        std::vector<EventPlacement> placement;
        std::set<QString> placed;
        while (nextChild()) {
            if (m_xml.name() != kEvent)
                unexpectedElement();
            const auto [name, x, y] = attributes<3>({kName, kX, kY}, 3);
            checkField(name, u"Имя события");
            if (!placed.insert(name.toString()).second)
                fail(QStringLiteral("событие «%1» размещено дважды").arg(quoted(name)));
            placement.push_back({name.toString(), QPoint(number<int>(x, kX), number<int>(y, kY))});
            endEmptyElement();
        }
        m_contents.plan.setGraphPlacement(std::move(placement));
    }

    void readSection()
    {
        const auto [name] = attributes<1>({kName}, 1);
        const QString sectionName = name.toString();
        if (sectionName.isEmpty() || !m_contents.plan.section(sectionName).empty())
            fail(QStringLiteral("раздел «%1» пуст по имени или повторяется")
                     .arg(quoted(sectionName)));
        checkSectionText(name, u"Раздел");
        const QString where = QStringLiteral("Раздел «%1»").arg(quoted(sectionName));
        PlanSection section;
        while (nextChild()) {
            if (m_xml.name() != kSetting)
                unexpectedElement();
            const auto [key, value] = attributes<2>({kKey, kValue}, 2);
            checkSectionText(key, where);
            checkSectionText(value, where);
            if (!section.emplace(key.toString(), value.toString()).second)
                fail(QStringLiteral("параметр «%1» повторяется").arg(quoted(key)));
            endEmptyElement();
        }
        // A section without settings is as good as none.
        m_contents.plan.setSection(sectionName, std::move(section));
    }

    XmlPullReader m_xml;
    QString m_fileName;
    planfile::Contents m_contents;
};

} // namespace

namespace planfile {

void writeDevice(QIODevice& device, const WorkTable& table, const Plan& plan)
{
    checkPlan(table, plan);
    Writer(device).write(table, plan);
}

QByteArray encode(const WorkTable& table, const Plan& plan)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeDevice(buffer, table, plan);
    return bytes;
}

void write(const QString& path, const WorkTable& table, const Plan& plan)
{
    checkPlan(table, plan);
    AtomicFile file(path);
    file.open();
    Writer(*file.device()).write(table, plan);
    file.commit();
}

Contents read(const QString& path)
{
    InputFile input(path, kSizeLimit, [&path](const InputFile::Failure& failure) {
        if (failure.kind == InputFile::Failure::Kind::Open ||
            failure.kind == InputFile::Failure::Kind::Read)
            return ioerror::inputFailureMessage(failure, path);
        return QStringLiteral("Файл плана «%1» не прочитан: %2")
            .arg(failure.path, InputFile::reason(failure));
    });
    input.open();
    QFile file;
    if (!file.open(input.stream(), QIODevice::ReadOnly))
        input.raise(InputFile::Failure::Kind::Open, EIO);
    return readDevice(file, QFileInfo(path).fileName());
}

Contents readDevice(QIODevice& device, const QString& fileName)
{
    return Reader(device, fileName).read();
}

} // namespace planfile
