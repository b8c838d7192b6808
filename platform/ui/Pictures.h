#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures: the 16 x 16 command pictures of every tool bar and dialog button
// and the window icon. They are drawn as vectors in a 16 x 16 (icon: 32 x 32) design grid and
// rendered at whatever size and device pixel ratio is asked, so they stay crisp on high-DPI
// screens. Disabled states are greyed from the same drawing.
enum class Picture {
    // Main window
    NewLine,     // a sheet with a red arrow pointing at it
    Edit,        // an open book
    Delete,      // a waste bin
    Recalc,      // a pocket calculator
    Calendar,    // a calendar sheet
    Workdays,    // a month of days, the weekend shaded and a holiday red
    LoadTemp,    // a diskette with a red arrow down to a sheet
    SaveTemp,    // a sheet with a red arrow down into a diskette
    SaveBase,    // a sheet with a red arrow pointing right
    Print,       // a sheet above a printer
    Graph,       // a pie of four colours
    Analysis,    // a sheet of figures with a red check mark
    Diagram,     // four circles joined by arrows, the straight path through them red
    Gantt,       // bars staggered along a time line, one of them red
    Cost,        // a coin beside a falling cost curve whose cheapest point is ringed red
    Resources,   // columns of a load profile under a green line, the one above it topped in red
    Exit,        // a red prohibition sign
    InitBorders, // a pointing hand
    Undo,        // a blue arrow turning back to the left
    Redo,        // a blue arrow turning forward to the right
    Copy,        // two sheets, one over the other
    CopyAll,     // a stack of three sheets
    Paste,       // a clipboard with a sheet on it
    LoadCsv,     // a ruled table with a red arrow down to a sheet
    SaveCsv,     // a sheet with a red arrow down into a ruled table
    Risk,        // a bell curve over a time line, a red line standing at the directive date
    Import,      // bars of another tool's plan with a red arrow down to a sheet
    Export,      // a sheet with a red arrow down into bars of another tool's plan
    Details,     // a sheet of lines with a blue "i" badge
    LoadPlan,    // a small network with a red arrow down to a sheet
    SavePlan,    // a small network with a red arrow down into a diskette
    // Dialog buttons
    Accept, // a pencil
    Cancel, // a red prohibition sign
    // Graph window
    SaveView,    // a diskette
    PrintGraph,  // a printer
    CloseGraph,  // a door with an arrow out
    InsertPoint, // a small raised marker with a plus
    AutoPlace,   // markers in a row along an arrow
    DrawGraph,   // two circles joined by an arrow
    // Report preview
    ZoomFit,      // a magnifier over a whole page
    Zoom100,      // a magnifier with "1:1"
    ZoomWidth,    // a magnifier between two horizontal arrows
    FirstPage,    // arrow to a bar, left
    PrevPage,     // arrow left
    NextPage,     // arrow right
    LastPage,     // arrow to a bar, right
    PrintSetup,   // a printer with a gear or check sheet
    PrintNow,     // a printer
    SavePages,    // a diskette
    LoadPages,    // an open folder
    ExportPdf,    // a sheet marked "PDF" in red
    ClosePreview, // a door with an arrow out
};

QIcon pictureIcon(Picture picture);

// The window icon, a 32 x 32 design (a small network: nodes joined by arrows, one path in red).
QIcon windowIcon();
// The window icon rendered at exactly size x size device pixels; the reports print it.
QPixmap windowIconPixmap(int size);
