#include "ReportFonts.h"

#include <QFont>
#include <QStringList>

namespace report {

void installReportFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
                                QStringLiteral("Courier"), QStringLiteral("DejaVu Sans Mono")});
    // DejaVu Sans Bold is wider and blacker than Liberation Sans Bold, closer to Arial Black.
    QFont::insertSubstitutions(QStringLiteral("Arial Black"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
}

} // namespace report
