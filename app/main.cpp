#include "ClassicFonts.h"
#include "ErrorBox.h"
#include "ReportFonts.h"
#include "TfmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The application's own title. Set as its name, not as its display name: Qt would append a
    // display name to every window title on X11 ("... — Расчёт сетевых графиков").
    QApplication::setApplicationName(applicationTitle());
    QApplication::setDesktopFileName(QStringLiteral("org.kestrin.Kestrin"));

    installClassicFontSubstitutes();
    report::installReportFontSubstitutes();

    // Qt's own dialogs (file dialogs, the printer dialog, message box buttons) in the user's
    // language where Qt's translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    TfmMain fmMain;
    fmMain.show();
    return QApplication::exec();
}
