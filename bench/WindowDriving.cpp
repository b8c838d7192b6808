#include "WindowDriving.h"

#include "Bench.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>

namespace bench {

double untilIdle(const std::function<void()>& command)
{
    return seconds([&] {
        command();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    });
}

void answerFile(const QString& path)
{
    answerNext<QFileDialog>([path](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

} // namespace bench
