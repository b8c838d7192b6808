#include "GraphTestSupport.h"
#include "PrivateTempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace graphtest;
using namespace Qt::StringLiterals;

// Taking the picture out of the program: the BMP file written through sdView, read back by an
// independent reader, and the temporary picture handed to the print hook in the private folder.
class TestGraphSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void savedFileIsTheSameBitmapToAnIndependentReader();
    void saveTakesThePictureAsItStands();
    void saveReplacesAndOffersTheLastName();
    void saveAddsTheDefaultExtensionOnlyThroughTheDialog();
    void cancelledSaveWritesNothing();
    void fileThatCannotBeCreated();
    void printHandsTheTemporaryPictureToTheHook();
    void failedPrintShowsTheErrorAndRemovesThePicture();
    void printFailsWhenTheTemporaryFileCannotBeCreated();

private:
    std::unique_ptr<WorkTable> m_table;
    std::unique_ptr<TfmGraphView> m_window;
    QTemporaryDir m_folder;
};

namespace {

// Answers sdView once it is shown: with a file name, or with cancel when the name is empty.
// `offered` receives the name the dialog offered on opening.
void answerSaveDialog(const QString& fileName, QString* offered = nullptr)
{
    auto first = std::make_shared<bool>(true);
    pollUntilDone([fileName, offered, first] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return false;
        if (offered && *first)
            *offered = dialog->selectedFiles().value(0);
        *first = false;
        if (fileName.isEmpty()) {
            dialog->reject();
        } else {
            // Typed into the name field, as a user does (selectFile leaves a focused field alone).
            auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
            if (!name)
                return false;
            name->setText(fileName);
            static_cast<QDialog*>(dialog)->accept();
            // A name the dialog refuses would leave it open and the test hanging: close it, and
            // let the test's checks report the missing file.
            if (dialog->isVisible())
                dialog->reject();
        }
        return true;
    });
}

QString pythonWithPil()
{
    QStringList candidates{QStandardPaths::findExecutable(u"python3"_s), u"/usr/bin/python3"_s};
    for (const QString& python : candidates) {
        if (python.isEmpty())
            continue;
        QProcess probe;
        probe.start(python, {u"-c"_s, u"import PIL"_s});
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

} // namespace

void TestGraphSave::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    installClassicFontSubstitutes();
    QVERIFY(m_folder.isValid());
}

void TestGraphSave::init()
{
    // A small network with every kind of stroke: solid and dash-dot-dot, width 1 and 2, bold.
    m_window.reset();
    m_table =
        makeTable({{u"S"_s, u"A"_s, u"4"_s}, {u"A"_s, u"E"_s, u"0"_s}, {u"S"_s, u"E"_s, u"2"_s}});
    m_window = openWindow(*m_table, {u"S"_s, u"A"_s, u"E"_s});
    place(*m_window, u"S"_s, {60, 200});
    place(*m_window, u"A"_s, {330, 60});
    place(*m_window, u"E"_s, {600, 320});
    control<QAbstractButton>(*m_window, "tbDrawGraph")->click();
    QVERIFY(blackCount(m_window->picture(), QRect(100, 100, 600, 300)) > 300);
}

void TestGraphSave::savedFileIsTheSameBitmapToAnIndependentReader()
{
    const QString path = m_folder.filePath(u"graph.bmp"_s);
    answerSaveDialog(path);
    QCOMPARE(clickAndAnswerErrorBox(control<QAbstractButton>(*m_window, "tbSaveView")), QString());
    QVERIFY(QFileInfo::exists(path));

    const QString python = pythonWithPil();
    if (python.isEmpty())
        QSKIP("python3 with PIL (Debian package python3-pil) is not installed: the BMP file is "
              "not checked by an independent reader");
    QProcess reader;
    reader.start(python, {u"-c"_s,
                          u"import sys\n"
                          "from PIL import Image\n"
                          "image = Image.open(sys.argv[1])\n"
                          "sys.stdout.write('%s %d %d\\n' % (image.format, image.width, "
                          "image.height))\n"
                          "sys.stdout.flush()\n"
                          "sys.stdout.buffer.write(image.convert('RGB').tobytes())\n"_s,
                          path});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QByteArray output = reader.readAllStandardOutput();
    const qsizetype headerEnd = output.indexOf('\n');
    const QImage& picture = m_window->picture();
    QCOMPARE(output.left(headerEnd),
             QStringLiteral("BMP %1 %2").arg(picture.width()).arg(picture.height()).toLatin1());
    const QImage expected = picture.convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(expected.width()) * 3;
    const QByteArray pixels = output.mid(headerEnd + 1);
    QCOMPARE(pixels.size(), rowBytes * expected.height());
    for (int y = 0; y < expected.height(); ++y) {
        const QByteArray row(reinterpret_cast<const char*>(expected.constScanLine(y)), rowBytes);
        QVERIFY2(pixels.mid(y * rowBytes, rowBytes) == row, qPrintable(QString::number(y)));
    }
}

void TestGraphSave::saveTakesThePictureAsItStands()
{
    auto* save = control<QAbstractButton>(*m_window, "tbSaveView");
    const QImage drawing = m_window->picture().copy();

    // Switched off: the last drawing is saved.
    control<QAbstractButton>(*m_window, "tbDrawGraph")->click();
    const QString off = m_folder.filePath(u"off.bmp"_s);
    answerSaveDialog(off);
    save->click();
    QCOMPARE(QImage(off).convertToFormat(QImage::Format_RGB32), drawing);

    // Resized: a white picture of the new size, outlined along its top and left edges.
    m_window->resize(600, 400);
    QApplication::processEvents();
    const QString resized = m_folder.filePath(u"resized.bmp"_s);
    answerSaveDialog(resized);
    save->click();
    const QImage white = QImage(resized).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(white.size(), QSize(599, 370));
    QCOMPARE(blackCount(white, white.rect()), 599 + 370 - 1);
}

void TestGraphSave::saveReplacesAndOffersTheLastName()
{
    auto* save = control<QAbstractButton>(*m_window, "tbSaveView");
    const QString path = m_folder.filePath(u"again.bmp"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file, much shorter than the picture");
    }
    answerSaveDialog(path);
    save->click();
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), m_window->picture());

    QString offered;
    answerSaveDialog(QString(), &offered);
    save->click();
    QCOMPARE(offered, path);
}

void TestGraphSave::saveAddsTheDefaultExtensionOnlyThroughTheDialog()
{
    answerSaveDialog(m_folder.filePath(u"plain"_s));
    control<QAbstractButton>(*m_window, "tbSaveView")->click();
    QVERIFY(QFileInfo::exists(m_folder.filePath(u"plain.bmp"_s)));
    QVERIFY(!QFileInfo::exists(m_folder.filePath(u"plain"_s)));
}

void TestGraphSave::cancelledSaveWritesNothing()
{
    const QStringList before = QDir(m_folder.path()).entryList(QDir::Files);
    answerSaveDialog(QString());
    QCOMPARE(clickAndAnswerErrorBox(control<QAbstractButton>(*m_window, "tbSaveView")), QString());
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files), before);
}

void TestGraphSave::fileThatCannotBeCreated()
{
    const QImage before = m_window->picture().copy();
    const QString path = m_folder.filePath(u"no such folder/graph.bmp"_s);
    answerSaveDialog(path);
    QCOMPARE(clickAndAnswerErrorBox(control<QAbstractButton>(*m_window, "tbSaveView")),
             u"Cannot create file "_s + QDir::toNativeSeparators(path) + u": Invalid filename."_s);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(m_window->picture(), before);
}

void TestGraphSave::printHandsTheTemporaryPictureToTheHook()
{
    QStringList handed;
    QImage printed;
    m_window->setPrintPicture([&](const QString& file) {
        handed.append(file);
        printed = QImage(file).convertToFormat(QImage::Format_RGB32);
    });
    auto* print = control<QAbstractButton>(*m_window, "tbPrintGraph");
    QCOMPARE(clickAndAnswerErrorBox(print), QString());
    QCOMPARE(handed.size(), 1);
    const QFileInfo file(handed.first());
    QVERIFY(!file.exists());
    QCOMPARE(file.fileName(), u"$kestrin-graph$.bmp"_s);
    QCOMPARE(file.absolutePath(), QFileInfo(privateTempFolder()).absoluteFilePath());
    QCOMPARE(printed, m_window->picture());

    // The folder is the user's alone.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(file.absolutePath()).permissions() & others, QFile::Permissions());

    // Printing again hands over the picture as it is now; the file goes once it is printed.
    m_window->resize(500, 300);
    QApplication::processEvents();
    print->click();
    QCOMPARE(handed.size(), 2);
    QCOMPARE(handed.last(), handed.first());
    QCOMPARE(printed.size(), QSize(499, 270));
    QVERIFY(!QFileInfo::exists(handed.last()));
}

void TestGraphSave::failedPrintShowsTheErrorAndRemovesThePicture()
{
    // Any exception inside the command, not only the program's own error, ends it in the error
    // box; the window goes on with its picture, and the temporary file is removed all the same.
    const QString path = QDir(privateTempFolder()).filePath(u"$kestrin-graph$.bmp"_s);
    const QImage before = m_window->picture().copy();
    bool handed = false;
    m_window->setPrintPicture([&handed](const QString& file) {
        handed = QFileInfo::exists(file);
        throw std::runtime_error("printer driver failed");
    });
    auto* print = control<QAbstractButton>(*m_window, "tbPrintGraph");
    QCOMPARE(clickAndAnswerErrorBox(print),
             u"Внутренняя ошибка программы: printer driver failed. Команда прервана."_s);
    QVERIFY(handed);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(m_window->picture(), before);
    QVERIFY(m_window->isVisible());

    m_window->setPrintPicture({});
    QCOMPARE(clickAndAnswerErrorBox(print), QString());
    QVERIFY(!QFileInfo::exists(path));
}

void TestGraphSave::printFailsWhenTheTemporaryFileCannotBeCreated()
{
    // A plain file where the folder should be: the picture cannot be written, and nothing is
    // handed on to be printed.
    const QString folder = privateTempFolder();
    QVERIFY(QDir(folder).removeRecursively());
    {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    bool handed = false;
    m_window->setPrintPicture([&handed](const QString&) { handed = true; });
    const QString message =
        clickAndAnswerErrorBox(control<QAbstractButton>(*m_window, "tbPrintGraph"));
    QFile::remove(folder);
    QCOMPARE(message,
             u"Cannot create file "_s +
                 QDir::toNativeSeparators(QDir(folder).filePath(u"$kestrin-graph$.bmp"_s)) +
                 u": Invalid filename."_s);
    QVERIFY(!handed);
}

QTEST_MAIN(TestGraphSave)
#include "tst_graphsave.moc"
