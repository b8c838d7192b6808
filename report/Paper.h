#pragma once

#include <QSizeF>
#include <QString>

#include <array>

class QComboBox;
class QWidget;

namespace report {

// The papers the program prints and exports on, and their orientation.
enum class Paper { A4Portrait, A4Landscape, A3Portrait, A3Landscape };

inline constexpr std::array<Paper, 4> kPapers{Paper::A4Portrait, Paper::A4Landscape,
                                              Paper::A3Portrait, Paper::A3Landscape};

// The paper in millimetres, width by height.
QSizeF paperSize(Paper paper);
// Its name in a choice: "A4, книжная" and so on.
QString paperName(Paper paper);

// A drop-down list of the papers, `initial` chosen, and the paper chosen in it.
QComboBox* makePaperChoice(QWidget* parent, const char* objectName, Paper initial);
Paper chosenPaper(const QComboBox* choice);

} // namespace report
