#pragma once

#include "ReportLayout.h"

#include <QObject>

// The table report form: it only holds the layout qrMain of the printed work table, made once at
// start-up and never shown itself. The data set is the temporary schedule table (dtData).
class TfmReport : public QObject
{
    Q_OBJECT

public:
    explicit TfmReport(QObject* parent = nullptr);

    report::ReportLayout qrMain;
};

// The layout of the table report: A4 portrait, margins of 10 mm, Arial 10; the shared page
// header, the framed column headings on the first page, one ruled row of eleven fields per record
// and an empty page footer.
report::ReportLayout tableReportLayout();
