#include "AnalysisDataSet.h"

#include "NetworkAnalysis.h"

#include <algorithm>

namespace {

long long rowKey(int page, int row)
{
    return (static_cast<long long>(page) << 32) | static_cast<unsigned>(row);
}

} // namespace

QStringList wrapText(const QString& text, int width)
{
    width = std::max(width, 1);
    QStringList lines;
    QString line;
    for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() <= width) {
            line += u' ' + word;
            continue;
        }
        if (!line.isEmpty())
            lines.append(line);
        while (word.size() > width) {
            lines.append(word.left(width));
            word.remove(0, width);
        }
        line = word;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines.append(line);
    return lines;
}

QString AnalysisDataSet::textField(int page, int column)
{
    return QStringLiteral("P%1C%2").arg(page).arg(column);
}

QString AnalysisDataSet::captionField(int page, int column)
{
    return QStringLiteral("P%1H%2").arg(page).arg(column);
}

AnalysisDataSet::AnalysisDataSet(const NetworkAnalysis& analysis) : m_analysis(analysis)
{
    m_fieldNames = {summaryField(), headingField()};
    m_fields = {{-1, -2, false}, {-1, -1, false}};
    const std::vector<AnalysisPage>& pages = analysis.pages();
    for (int page = 0; page < int(pages.size()); ++page) {
        for (int column = 0; column < pages[std::size_t(page)].columnCount(); ++column) {
            m_fieldNames.append(textField(page, column));
            m_fields.push_back({page, column, false});
            m_fieldNames.append(captionField(page, column));
            m_fields.push_back({page, column, true});
        }
    }

    for (int page = 0; page < int(pages.size()); ++page) {
        const AnalysisPage& shown = pages[std::size_t(page)];
        if (page > 0)
            m_lines.push_back({LineKind::Space, page, -1, 0});
        m_lines.push_back({LineKind::Heading, page, -1, 0});
        m_lines.push_back({LineKind::Captions, page, -1, 0});
        for (int row = 0; row < shown.rowCount(); ++row) {
            int lines = 1;
            std::vector<QStringList> pieces;
            for (int column = 0; column < shown.columnCount(); ++column) {
                const AnalysisColumn& look = shown.columns()[column];
                const int width = int(look.printWidth * kCharactersPerMillimetre);
                if (look.wraps && shown.text(row, column).size() > width) {
                    pieces.resize(std::size_t(shown.columnCount()));
                    pieces[std::size_t(column)] = wrapText(shown.text(row, column), width);
                    lines = std::max(lines, int(pieces[std::size_t(column)].size()));
                }
            }
            if (!pieces.empty()) {
                for (int column = 0; column < shown.columnCount(); ++column) {
                    if (pieces[std::size_t(column)].isEmpty())
                        pieces[std::size_t(column)].append(shown.text(row, column));
                }
                m_pieces.emplace(rowKey(page, row), std::move(pieces));
            }
            for (int piece = 0; piece < lines; ++piece)
                m_lines.push_back({LineKind::Row, page, row, piece});
        }
    }
}

int AnalysisDataSet::fieldIndex(const QString& field) const
{
    for (int index = 0; index < m_fieldNames.size(); ++index) {
        if (m_fieldNames[index].compare(field, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

QString AnalysisDataSet::displayText(int record, int field) const
{
    const Line& line = m_lines[std::size_t(record)];
    const Field& wanted = m_fields[std::size_t(field)];
    if (wanted.column == -2)
        return m_analysis.summary();
    const AnalysisPage& page = m_analysis.pages()[std::size_t(line.page)];
    if (wanted.column == -1)
        return line.kind == LineKind::Heading ? page.title() : QString();
    if (wanted.page != line.page)
        return QString();
    switch (line.kind) {
    case LineKind::Captions:
        return wanted.caption ? page.columns()[wanted.column].caption : QString();
    case LineKind::Row: {
        if (wanted.caption)
            return QString();
        const auto pieces = m_pieces.find(rowKey(line.page, line.row));
        if (pieces == m_pieces.end())
            return page.text(line.row, wanted.column);
        return pieces->second[std::size_t(wanted.column)].value(line.piece);
    }
    case LineKind::Space:
    case LineKind::Heading:
        break;
    }
    return QString();
}
