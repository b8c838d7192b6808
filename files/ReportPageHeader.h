#pragma once

namespace report {
struct ReportLayout;
}

// The page header band that the program's five reports share (the table, the graph, the analysis,
// the printed diagram and the printed Gantt chart): the icon, the heading
// "Расчёт сетевых графиков", "Kestrin" and its version, two rules around the credit lines, the
// print date and, in the table report, the page number.
enum class PageHeaderCaption {
    PageNumber,   // "Страница :" and the page number
    NetworkGraph, // "Сетевой график" in its place, without a page number
};

void addReportPageHeader(report::ReportLayout& layout, PageHeaderCaption caption);

// A report layout in the program's report font (Arial, 10 points) whose first band is that page
// header.
report::ReportLayout layoutWithPageHeader(PageHeaderCaption caption);
