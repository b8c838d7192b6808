#pragma once

#include "DataSet.h"

#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

class NetworkAnalysis;

// The analysis as the records of its printout: one printed line per record. Each page of the
// analysis gives a line with its title, a line with its column captions and a line per row; a
// row whose long texts (path events, findings) do not fit their column goes on over further lines,
// broken between words. An empty line stands between pages.
//
// Every line has the same fields; a line fills only those of its own kind and page, and the
// layout (analysisReportLayout) places each field where its page's column stands:
// SUMMARY (every record), HEADING, and for page p, column c, "P<p>C<c>" (the row's text) and
// "P<p>H<c>" (the caption).
//
// Read-only once made, so the report's worker thread may read it; the analysis must outlive it.
class AnalysisDataSet : public report::DataSet
{
public:
    explicit AnalysisDataSet(const NetworkAnalysis& analysis);

    static QString summaryField() { return QStringLiteral("SUMMARY"); }
    static QString headingField() { return QStringLiteral("HEADING"); }
    static QString textField(int page, int column);
    static QString captionField(int page, int column);

    // Characters of the printout's font that one millimetre of a column holds, at the least.
    static constexpr double kCharactersPerMillimetre = 1 / 1.85;

    bool isOpen() const override { return true; }
    int recordCount() const override { return int(m_lines.size()); }
    int fieldIndex(const QString& field) const override;
    QString displayText(int record, int field) const override;

private:
    enum class LineKind : char { Space, Heading, Captions, Row };
    struct Line
    {
        LineKind kind;
        int page;
        int row;
        int piece; // which of a row's printed lines
    };
    struct Field
    {
        int page;   // -1 for the summary and the heading
        int column; // -1 for the heading, -2 for the summary
        bool caption;
    };

    const NetworkAnalysis& m_analysis;
    QStringList m_fieldNames;
    std::vector<Field> m_fields;
    std::vector<Line> m_lines;
    // The pieces of each column of a row that takes more than one line, by page and row.
    std::unordered_map<long long, std::vector<QStringList>> m_pieces;
};

// A text broken into lines of at most `width` characters, between words where it can be.
QStringList wrapText(const QString& text, int width);
