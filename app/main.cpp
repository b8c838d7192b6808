#include "ClassicFonts.h"
#include "ErrorBox.h"
#include "TfmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrin"));
    QApplication::setApplicationDisplayName(applicationTitle());
    installClassicFontSubstitutes();

    TfmMain fmMain;
    fmMain.show();
    return QApplication::exec();
}
