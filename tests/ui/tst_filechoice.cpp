#include "FileChoice.h"
#include "PictureFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

// The one file choice of every window: a name typed without a suffix takes the type chosen in the
// list, as the dialog's own widgets are driven by a user; a typed suffix names its own type; the
// choice is kept for the run by the outermost window, whichever window asks for it.
class TestFileChoice : public QObject
{
    Q_OBJECT

private slots:
    void bareNameTakesTheChosenType_data();
    void bareNameTakesTheChosenType();
    void choiceIsKeptForTheRun();

private:
    static FileChoice::Wanted pictureSpec()
    {
        return {"sdPicture",
                FileChoice::Mode::Save,
                {fileTypeOf(PictureFormat::Pdf), fileTypeOf(PictureFormat::Svg),
                 fileTypeOf(PictureFormat::Png)}};
    }

    QTemporaryDir m_dir;
};

namespace {

// Once the choice shows: moves down the list of types `steps` entries with the keyboard, as a user
// picks one, types the name into the name field and presses Enter there.
void answer(const QString& name, int steps)
{
    QTimer::singleShot(0, [name, steps] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        for (int step = 0; step < steps; ++step)
            QTest::keyClick(types, Qt::Key_Down);
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        field->setText(name);
        QTest::keyClick(field, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

void TestFileChoice::bareNameTakesTheChosenType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("steps"); // down the list from PDF
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("type");
    QTest::newRow("PDF, bare name") << "chart" << 0 << "chart.pdf" << int(PictureFormat::Pdf);
    QTest::newRow("SVG, bare name") << "chart" << 1 << "chart.svg" << int(PictureFormat::Svg);
    QTest::newRow("PNG, bare name") << "chart" << 2 << "chart.png" << int(PictureFormat::Png);
    QTest::newRow("SVG chosen, PNG typed")
        << "chart.PNG" << 1 << "chart.PNG" << int(PictureFormat::Png);
    QTest::newRow("any file, bare name") << "chart" << 3 << "chart.pdf" << int(PictureFormat::Pdf);
}

void TestFileChoice::bareNameTakesTheChosenType()
{
    QFETCH(QString, typed);
    QFETCH(int, steps);
    QFETCH(QString, written);
    QFETCH(int, type);
    QWidget window;
    window.show();
    FileChoice& choice = FileChoice::of(&window, pictureSpec());
    QVERIFY(choice.testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(choice.testOption(QFileDialog::DontConfirmOverwrite));
    answer(m_dir.filePath(typed), steps);
    const std::optional<FileChoice::Chosen> chosen = choice.choose();
    QVERIFY(chosen);
    QCOMPARE(chosen->path, m_dir.filePath(written));
    QCOMPARE(chosen->type, type);
}

void TestFileChoice::choiceIsKeptForTheRun()
{
    QWidget main;
    main.show();
    FileChoice* first = nullptr;
    QString shownAgain;
    for (int opening = 0; opening < 2; ++opening) {
        // A window made anew for each opening, over the main one.
        QDialog side(&main);
        FileChoice& choice = FileChoice::of(&side, pictureSpec());
        if (!first) {
            first = &choice;
            answer(m_dir.filePath(QStringLiteral("kept.svg")), 1);
            QCOMPARE(choice.choosePath(), m_dir.filePath(QStringLiteral("kept.svg")));
        } else {
            QCOMPARE(&choice, first);
            shownAgain = choice.selectedFiles().value(0);
        }
    }
    QCOMPARE(first->parent(), &main);
    QCOMPARE(shownAgain, m_dir.filePath(QStringLiteral("kept.svg")));
    QVERIFY(first->selectedNameFilter().startsWith(QStringLiteral("Рисунки SVG")));
}

QTEST_MAIN(TestFileChoice)
#include "tst_filechoice.moc"
