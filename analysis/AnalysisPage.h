#pragma once

#include <QList>
#include <QString>

#include <initializer_list>
#include <vector>

// The printed line of every page, in millimetres: A4 portrait less margins of 10 mm; a page's
// printed columns add up to no more.
inline constexpr double kPrintedLineWidth = 190;

// One column of an analysis page: its caption, a longer hint for the caption's tool tip, its width
// on paper in millimetres (0: not printed), and whether it holds numbers (right-aligned) or a text
// that may run over several printed lines.
struct AnalysisColumn
{
    QString caption;
    QString hint;
    double printWidth = 20;
    bool numeric = false;
    bool wraps = false;
};

// One page of the network analysis as the window, the printout and the CSV file show it: a title
// and a table of finished display texts. The texts are made once, with the program's number and
// date texts, and every reader shows them as they are.
class AnalysisPage
{
public:
    AnalysisPage(QString title, QList<AnalysisColumn> columns)
        : m_title(std::move(title)), m_columns(std::move(columns))
    {
    }

    const QString& title() const { return m_title; }
    const QList<AnalysisColumn>& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return columnCount() == 0 ? 0 : int(m_cells.size()) / columnCount(); }
    const QString& text(int row, int column) const
    {
        return m_cells[std::size_t(row) * std::size_t(columnCount()) + std::size_t(column)];
    }

    void reserveRows(int rows) { m_cells.reserve(std::size_t(rows) * std::size_t(columnCount())); }
    // One text per column; missing ones are empty.
    void appendRow(std::initializer_list<QString> texts)
    {
        Q_ASSERT(texts.size() <= std::size_t(columnCount()));
        m_cells.insert(m_cells.end(), texts.begin(), texts.end());
        m_cells.resize(m_cells.size() + std::size_t(columnCount()) - texts.size());
    }

    void setText(int row, int column, QString text)
    {
        m_cells[std::size_t(row) * std::size_t(columnCount()) + std::size_t(column)] =
            std::move(text);
    }

private:
    QString m_title;
    QList<AnalysisColumn> m_columns;
    std::vector<QString> m_cells; // row by row
};
