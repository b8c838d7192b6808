#pragma once

#include "ToolWindow.h"

#include <functional>

enum class Picture;
class NetworkAnalysis;
class QLabel;
class QTabWidget;
class QTableView;
class QToolBar;
class QToolButton;

// The network analysis window: the four pages of an analysis (events, works, paths, check) as
// read-only tables, with print and CSV export. Made anew for each opening and shown modally; it
// only shows the analysis it is given, which must outlive it, and writes nothing back. Every
// command runs inside the command guard, which shows any error in the error box.
class TfmAnalysis : public ToolWindow
{
    Q_OBJECT

public:
    // Asks the user for the name of the CSV file; an empty text when cancelled.
    using ChooseFile = std::function<QString()>;

    TfmAnalysis(const NetworkAnalysis& analysis, ChooseFile chooseCsvFile,
                QWidget* parent = nullptr);
    ~TfmAnalysis() override;

    // Commands, as their buttons run them.
    void tbPrintClick();
    void tbSaveCsvClick();
    void tbCloseClick();

private:
    QToolButton* addCommand(QToolBar* bar, const char* name, Picture picture, const QString& hint,
                            void (TfmAnalysis::*handler)());
    QTableView* addPage(const char* name, int page);

    const NetworkAnalysis& m_analysis;
    ChooseFile m_chooseCsvFile;

    QToolButton* tbPrint = nullptr;
    QToolButton* tbSaveCsv = nullptr;
    QToolButton* tbClose = nullptr;
    QLabel* lSummary = nullptr;
    QTabWidget* tcAnalysis = nullptr;
    QTableView* sgEvents = nullptr;
    QTableView* sgTension = nullptr;
    QTableView* sgPaths = nullptr;
    QTableView* sgCheck = nullptr;
};
