#pragma once

#include "ToolWindow.h"

class NetworkAnalysis;
class QLabel;
class QTabWidget;
class QTableView;

// The network analysis window: the four pages of an analysis (events, works, paths, check) as
// read-only tables, with print and CSV export (to the run's file choice sdAnalysis). Made anew for
// each opening and shown modally; it only shows the analysis it is given, which must outlive it,
// and writes nothing back. Every command runs inside the command guard, which shows any error in
// the error box.
class TfmAnalysis : public ToolWindow
{
    Q_OBJECT

public:
    TfmAnalysis(const NetworkAnalysis& analysis, QWidget* parent = nullptr);
    ~TfmAnalysis() override;

    // Commands, as their buttons run them.
    void tbPrintClick();
    void tbSaveCsvClick();
    void tbCloseClick();

private:
    QTableView* addPage(const char* name, int page);

    const NetworkAnalysis& m_analysis;

    QLabel* lSummary = nullptr;
    QTabWidget* tcAnalysis = nullptr;
    QTableView* sgEvents = nullptr;
    QTableView* sgTension = nullptr;
    QTableView* sgPaths = nullptr;
    QTableView* sgCheck = nullptr;
};
