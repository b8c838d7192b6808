#pragma once

#include "ReportLayout.h"

#include <QObject>

// The graph report form: it holds the layout qrGraph, made once at start-up and never shown
// itself. The page header is that of the table report with "Сетевой график" in place of the page
// number; the title band holds the picture element qriMain, which takes the picture's own size
// from its top-left corner, scaled down keeping its proportions when it is larger than the band.
class TfmGraphReport : public QObject
{
    Q_OBJECT

public:
    explicit TfmGraphReport(QObject* parent = nullptr);

    // Loads a picture file into qriMain; raises "Cannot open file %s" when it does not read.
    void loadPicture(const QString& path);

    report::ReportLayout qrGraph;
};

report::ReportLayout graphReportLayout();
