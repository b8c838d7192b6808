#include "ErrorBox.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "TfmDetails.h"
#include "WorkHistory.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

const NumberFormat& commaNumbers()
{
    static const NumberFormat numbers(QStringLiteral(","));
    return numbers;
}

ShownState nothingShown()
{
    return ShownState();
}

// The next message box that shows: its text is kept and the button of the role pressed.
struct BoxAnswer
{
    QString text;
    bool answered = false;
};

std::shared_ptr<BoxAnswer> answerNextBox(const QString& button = QString())
{
    auto answer = std::make_shared<BoxAnswer>();
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        answer->text = box->text();
        answer->answered = true;
        for (QAbstractButton* candidate : box->buttons()) {
            if (button.isEmpty() || candidate->text() == button) {
                candidate->click();
                return;
            }
        }
    });
    poll->start();
    return answer;
}

// A work table of three works, the middle one with details, beside a plan with one resource,
// the details window over them and an undo history taking its changes.
struct Setup
{
    WorkTable table;
    Plan plan;
    WorkHistory history;
    int changes = 0;
    std::unique_ptr<TfmDetails> window;
    ResourceId concrete = 0;

    Setup()
    {
        concrete = plan.addResource();
        Resource resource = *plan.resource(concrete);
        resource.name = QStringLiteral("Бетон");
        plan.updateResource(resource);
        WorkDetails details;
        details.name = QStringLiteral("Котлован");
        details.setNumber(DetailNumber::Optimistic, 2);
        details.setNumber(DetailNumber::Pessimistic, 8);
        details.setNumber(DetailNumber::Shortest, 1);
        details.setNumber(DetailNumber::NormalCost, 100);
        details.setNumber(DetailNumber::ShortestCost, 150);
        details.setDemand(concrete, 2);
        WorkInputs works;
        works.append(u"1", u"2", u"3");
        works.append(u"2", u"3", u"5", details);
        works.append(u"3", u"4", u"1,5");
        table.replaceRows(0, 1, works);
        window = std::make_unique<TfmDetails>(
            table, plan, commaNumbers(), [this](int at, int replaced, const WorkInputs& rows) {
                ++changes;
                history.push(std::make_unique<WorkChange>(table, at, replaced, rows, ShownState()));
            });
        window->show();
    }

    QTableView* view(const char* name) const
    {
        return window->findChild<QTableView*>(QLatin1String(name));
    }

    int column(const QString& caption) const
    {
        const QAbstractItemModel* model = view("sgDetails")->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            if (model->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        }
        return -1;
    }

    // Types the text into the cell as a user does and commits it with Enter.
    void type(const char* viewName, int row, int column, const QString& text)
    {
        QTableView* table = view(viewName);
        const QModelIndex index = table->model()->index(row, column);
        table->setCurrentIndex(index);
        QTest::keyClick(table, Qt::Key_F2);
        auto* editor = table->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        // keyClicks types Latin letters only; insert() is what typing any letters comes to.
        editor->selectAll();
        editor->insert(text);
        QTest::keyClick(editor, Qt::Key_Return);
    }

    QString cell(int row, const QString& caption) const
    {
        const QAbstractItemModel* model = view("sgDetails")->model();
        return model->data(model->index(row, column(caption))).toString();
    }
};

WorkInputs everything(const WorkTable& table)
{
    return WorkInputs::ofRows(table, 0, table.rowCount());
}

} // namespace

class TestDetailsWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsTheWorksAndTheirDetails();
    void refusedValuesLeaveThePlanUnchanged_data();
    void refusedValuesLeaveThePlanUnchanged();
    void editsAndPastesAreUndoneExactly();
    void resourcesComeAndGo();
};

void TestDetailsWindow::showsTheWorksAndTheirDetails()
{
    Setup setup;
    QCOMPARE(setup.window->objectName(), QStringLiteral("fmDetails"));
    QVERIFY(setup.window->isModal());
    const QAbstractItemModel* model = setup.view("sgDetails")->model();
    QStringList captions;
    for (int c = 0; c < model->columnCount(); ++c)
        captions.append(model->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(captions.join(u'|'),
             QStringLiteral("№|Начало|Конец|Продолжит.|Наименование|Оптимист.|Пессимист.|"
                            "Мин. продолжит.|Стоимость|Стоимость при мин.|Бетон"));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(setup.cell(1, QStringLiteral("№")), QStringLiteral("2"));
    QCOMPARE(setup.cell(2, QStringLiteral("Продолжит.")), QStringLiteral("1,5"));
    QCOMPARE(setup.cell(1, QStringLiteral("Наименование")), QStringLiteral("Котлован"));
    QCOMPARE(setup.cell(1, QStringLiteral("Бетон")), QStringLiteral("2"));
    QCOMPARE(setup.cell(0, QStringLiteral("Оптимист.")), QString());
    // The first four columns are the work table's and are not edited here.
    QVERIFY(!(model->flags(model->index(1, 3)) & Qt::ItemIsEditable));
    QVERIFY(model->flags(model->index(1, 4)) & Qt::ItemIsEditable);
}

void TestDetailsWindow::refusedValuesLeaveThePlanUnchanged_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    // The work: duration 5, optimistic 2, pessimistic 8, shortest 1, costs 100 and 150.
    QTest::newRow("optimistic over the duration")
        << "Оптимист."
        << "6"
        << "Оптимистическая продолжительность больше продолжительности";
    QTest::newRow("optimistic below zero") << "Оптимист."
                                           << "-1"
                                           << "Оптимистическая продолжительность меньше нуля";
    QTest::newRow("optimistic not a number")
        << "Оптимист."
        << "два"
        << "«два» — не число (Оптимистическая продолжительность)";
    QTest::newRow("pessimistic under the duration")
        << "Пессимист."
        << "4,5"
        << "Пессимистическая продолжительность меньше продолжительности";
    QTest::newRow("shortest over the duration")
        << "Мин. продолжит."
        << "5,5"
        << "Минимальная продолжительность больше продолжительности";
    QTest::newRow("cost below zero") << "Стоимость"
                                     << "-1"
                                     << "Стоимость меньше нуля";
    QTest::newRow("cost over the cost at the shortest")
        << "Стоимость"
        << "200"
        << "Стоимость при минимальной продолжительности меньше стоимости";
    QTest::newRow("cost at the shortest under the cost")
        << "Стоимость при мин."
        << "99,5"
        << "Стоимость при минимальной продолжительности меньше стоимости";
    QTest::newRow("demand below zero") << "Бетон"
                                       << "-2"
                                       << "Потребность в ресурсе «Бетон» меньше нуля";
}

void TestDetailsWindow::refusedValuesLeaveThePlanUnchanged()
{
    QFETCH(QString, caption);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Setup setup;
    const WorkInputs before = everything(setup.table);
    const Plan planBefore = setup.plan;
    const QString shown = setup.cell(1, caption);

    const auto box = answerNextBox();
    setup.type("sgDetails", 1, setup.column(caption), typed);
    QTRY_VERIFY(box->answered);
    QCOMPARE(box->text, errorBoxText(message));
    QVERIFY(everything(setup.table) == before);
    QVERIFY(setup.plan == planBefore);
    QCOMPARE(setup.changes, 0);
    QCOMPARE(setup.cell(1, caption), shown);
}

void TestDetailsWindow::editsAndPastesAreUndoneExactly()
{
    Setup setup;
    const WorkInputs original = everything(setup.table);
    setup.type("sgDetails", 1, setup.column(QStringLiteral("Оптимист.")), QStringLiteral("2,5"));
    QTRY_COMPARE(setup.changes, 1);
    QCOMPARE(*setup.table.details(1).number(DetailNumber::Optimistic), 2.5);
    const WorkInputs edited = everything(setup.table);

    // A block of names and optimistic estimates over the three works, from a spreadsheet.
    QTableView* view = setup.view("sgDetails");
    QGuiApplication::clipboard()->setText(
        QStringLiteral("Разметка\t0\r\n\"Работа \"\"Б\"\"\"\t\r\nКровля & <окна>\t1,5\r\n"));
    view->setCurrentIndex(view->model()->index(0, setup.column(QStringLiteral("Наименование"))));
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(setup.changes, 2);
    QCOMPARE(setup.table.details(0).name, QStringLiteral("Разметка"));
    QCOMPARE(setup.table.details(1).name, QStringLiteral("Работа \"Б\""));
    QCOMPARE(setup.table.details(1).number(DetailNumber::Optimistic), std::nullopt);
    QCOMPARE(setup.table.details(1).number(DetailNumber::Pessimistic), 8.0);
    QCOMPARE(setup.table.details(2).number(DetailNumber::Optimistic), 1.5);
    const WorkInputs pasted = everything(setup.table);

    // Copying the block gives the same cells back.
    view->selectionModel()->select(
        QItemSelection(view->model()->index(0, setup.column(QStringLiteral("Наименование"))),
                       view->model()->index(2, setup.column(QStringLiteral("Оптимист.")))),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Разметка\t0\r\n\"Работа \"\"Б\"\"\"\t\r\nКровля & <окна>\t1,5\r\n"));

    // A block with one bad cell changes nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("x\t1\r\ny\t9\r\n"));
    view->selectionModel()->clearSelection();
    view->setCurrentIndex(view->model()->index(1, setup.column(QStringLiteral("Наименование"))));
    const auto box = answerNextBox();
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(box->answered);
    QCOMPARE(box->text,
             errorBoxText(QStringLiteral("Строка 3: Оптимистическая продолжительность больше "
                                         "продолжительности; ничего не вставлено")));
    QVERIFY(everything(setup.table) == pasted);
    QCOMPARE(setup.changes, 2);

    setup.history.undo(nothingShown);
    QVERIFY(everything(setup.table) == edited);
    setup.history.undo(nothingShown);
    QVERIFY(everything(setup.table) == original);
    setup.history.redo(nothingShown);
    setup.history.redo(nothingShown);
    QVERIFY(everything(setup.table) == pasted);
}

void TestDetailsWindow::resourcesComeAndGo()
{
    Setup setup;
    auto* add = setup.window->findChild<QToolButton*>(QStringLiteral("sbAddResource"));
    auto* remove = setup.window->findChild<QToolButton*>(QStringLiteral("sbDelResource"));
    add->click();
    add->click();
    QCOMPARE(setup.plan.resources().size(), std::size_t(3));
    QCOMPARE(setup.plan.resources()[1].name, QStringLiteral("Ресурс 1"));
    QCOMPARE(setup.plan.resources()[2].name, QStringLiteral("Ресурс 2"));
    QVERIFY(setup.column(QStringLiteral("Ресурс 2")) > 0);

    // Renamed in place, refused when the name is taken.
    setup.type("sgResources", 1, 0, QStringLiteral("Кран"));
    QTRY_COMPARE(setup.plan.resources()[1].name, QStringLiteral("Кран"));
    QVERIFY(setup.column(QStringLiteral("Кран")) > 0);
    auto box = answerNextBox();
    setup.type("sgResources", 2, 0, QStringLiteral("Бетон"));
    QTRY_VERIFY(box->answered);
    QCOMPARE(box->text, errorBoxText(QStringLiteral("Ресурс «Бетон» уже есть")));
    QCOMPARE(setup.plan.resources()[2].name, QStringLiteral("Ресурс 2"));

    // An unused resource goes without a question; a used one only after "Да".
    QTableView* resources = setup.view("sgResources");
    resources->setCurrentIndex(resources->model()->index(2, 0));
    remove->click();
    QCOMPARE(setup.plan.resources().size(), std::size_t(2));
    resources->setCurrentIndex(resources->model()->index(0, 0));
    box = answerNextBox(QStringLiteral("Нет"));
    remove->click();
    QVERIFY(box->answered);
    QCOMPARE(box->text, QStringLiteral("Ресурс «Бетон» нужен работам (1). Удалить его вместе с "
                                       "потребностями работ?"));
    QCOMPARE(setup.plan.resources().size(), std::size_t(2));
    box = answerNextBox(QStringLiteral("Да"));
    remove->click();
    QVERIFY(box->answered);
    QCOMPARE(setup.plan.resources().size(), std::size_t(1));
    QCOMPARE(setup.table.details(1).demand(setup.concrete), std::nullopt);
    QCOMPARE(setup.column(QStringLiteral("Бетон")), -1);
    // The demands come back with an undo, as every change of the details does.
    setup.history.undo(nothingShown);
    QCOMPARE(setup.table.details(1).demand(setup.concrete), 2.0);
}

QTEST_MAIN(TestDetailsWindow)
#include "tst_detailswindow.moc"
