#include "dialogs/SoftTypeDlg.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/ModalRecorder.h"
#include "support/TestSoftType.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <memory>

using Values = QHash<QString, QVariant>;

namespace {
// The rows of the dialog's "Properties" group.
QFormLayout *rowsOf(QDialog *dialog)
{
    return dialog->findChild<QGroupBox *>()->findChild<QFormLayout *>();
}

QMap<QString, SoftType *> softTypes(const QStringList &names)
{
    QMap<QString, SoftType *> map;
    for (const QString &name : names)
        map.insert(name, new TestSoftType(name));
    return map;
}
} // namespace

class TestSoftTypesDock : public QObject
{
    Q_OBJECT
private slots:
    void dialogListsParametersButToggleKey_data();
    void dialogListsParametersButToggleKey();
    void listFollowsTheMapByPosition_data();
    void listFollowsTheMapByPosition();
    void clickRunsTheDialogOnAClone_data();
    void clickRunsTheDialogOnAClone();
};

void TestSoftTypesDock::dialogListsParametersButToggleKey_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : SoftTypeFactory::typeKeys())
        QTest::newRow(qPrintable(kind)) << kind;
}

void TestSoftTypesDock::dialogListsParametersButToggleKey()
{
    QFETCH(QString, kind);
    const std::unique_ptr<SoftType> softType(SoftTypeFactory::create(kind, "x"));
    softType->addOrSetProperty(QVariant::Int, "from a file", 3); // after the kind's own
    QStringList expected = softType->propertyNames();
    QCOMPARE(expected.mid(0, 5), QStringList({"name", "enabled", "trigger", "radius", "toggle key"}));
    expected.removeAt(4);
    SoftTypeDlg dialog(softType.get());
    QVERIFY(dialog.findChild<QtGroupPropertyManager *>()); // the group goes with the dialog
    QStringList labels;
    QFormLayout *rows = rowsOf(&dialog);
    for (int row = 0; row < rows->rowCount(); ++row)
        labels << qobject_cast<QLabel *>(rows->itemAt(row, QFormLayout::LabelRole)->widget())->text();
    QCOMPARE(labels, expected);
    QCOMPARE(dialog.windowTitle(), kind);
    // Shown, the dialog fits the whole group; the buttons stand at its right.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *area = dialog.findChild<QScrollArea *>();
    QVERIFY(!area->verticalScrollBar()->isVisible() && !area->horizontalScrollBar()->isVisible());
    QCOMPARE(dialog.findChild<QPushButton *>("OkButton")->x(), area->geometry().right() + 1);
}

void TestSoftTypesDock::listFollowsTheMapByPosition_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("same names") << QStringList{"a", "b"} << QStringList{"a", "b"};
    QTest::newRow("second renamed") << QStringList{"a", "b", "c"} << QStringList{"a", "bb", "c"};
    QTest::newRow("one fewer") << QStringList{"a", "b", "c"} << QStringList{"a", "c"};
    QTest::newRow("more") << QStringList{"b"} << QStringList{"c", "a", "b"};
    QTest::newRow("empty") << QStringList{"a", "b"} << QStringList();
}

void TestSoftTypesDock::listFollowsTheMapByPosition()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    const QMap<QString, SoftType *> first = softTypes(before), second = softTypes(after);
    const int destroyed = TestSoftType::destroyed;
    {
        SoftTypePanelDockWidget dock;
        auto *list = dock.findChild<QListWidget *>();
        dock.setSoftTypes(first);
        QList<QListWidgetItem *> items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i);
        dock.setSoftTypes(second);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown << list->item(i)->text();
            QCOMPARE(list->item(i), items.value(i, list->item(i))); // rows are kept by position
        }
        QCOMPARE(shown, second.keys());
        QCOMPARE(TestSoftType::destroyed - destroyed, before.size()); // every earlier clone
    }
    QCOMPARE(TestSoftType::destroyed - destroyed, before.size() + after.size());
    qDeleteAll(first);
    qDeleteAll(second);
}

void TestSoftTypesDock::clickRunsTheDialogOnAClone_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("emitted"); // with the name before editing
    QTest::addColumn<QString>("newName"); // in softtypeChanged's values
    QTest::newRow("ok") << "OkButton" << 1 << 1 << "changed Twirl 1" << "Twirl 1";
    QTest::newRow("new name, return") << "rename" << 1 << 1 << "changed Twirl 1" << "Spin";
    QTest::newRow("remove") << "RemoveButton" << 1 << 2 << "removed Twirl 1" << QString();
    QTest::newRow("cancel") << "CancelButton" << 0 << 0 << QString() << QString();
    QTest::newRow("escape") << "escape" << 0 << 0 << QString() << QString();
    QTest::newRow("close") << "close" << 0 << 0 << QString() << QString();
}

void TestSoftTypesDock::clickRunsTheDialogOnAClone()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    QFETCH(int, code);
    QFETCH(QString, emitted);
    QFETCH(QString, newName);
    const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create("Twirl", "Twirl 1"));
    const std::unique_ptr<SoftType> rubber(SoftTypeFactory::create("rubber", "Rubber 1"));
    SoftTypePanelDockWidget dock;
    dock.setSoftTypes({{"Twirl 1", twirl.get()}, {"Rubber 1", rubber.get()}});
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    QStringList log;
    Values values;
    connect(&dock, &SoftTypePanelDockWidget::softtypeChanged, [&](const QString &name, const Values &v) {
        log << "changed " + name;
        values = v;
    });
    connect(&dock, &SoftTypePanelDockWidget::softtypeRemoved, [&](const QString &name) { log << "removed " + name; });
    ModalRecorder modal;
    int gotResult = -1, gotCode = -1;
    modal.execs.enqueue([&](QDialog *dialog) {
        dialog->show();
        QApplication::setActiveWindow(dialog);
        if (!QTest::qWaitForWindowActive(dialog))
            return -1;
        if (how == "rename") { // row 0 is "name"
            auto *edit = rowsOf(dialog)->itemAt(0, QFormLayout::FieldRole)->widget()->findChild<QLineEdit *>();
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, "Spin");
            QTest::keyClick(edit, Qt::Key_Return);
        } else if (how == "escape") {
            QTest::keyClick(dialog, Qt::Key_Escape);
        } else if (how == "close") {
            dialog->close();
        } else {
            QTest::mouseClick(dialog->findChild<QPushButton *>(how), Qt::LeftButton);
        }
        gotCode = qobject_cast<SoftTypeDlg *>(dialog)->buttonCode;
        return gotResult = dialog->isVisible() ? -1 : dialog->result();
    });
    auto *list = dock.findChild<QListWidget *>();
    QCOMPARE(list->item(1)->text(), QString("Twirl 1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());

    QCOMPARE(modal.calls.size(), 1);
    QCOMPARE(modal.calls.at(0).title, QString("Twirl"));
    QCOMPARE(gotResult, result);
    QCOMPARE(gotCode, code);
    QCOMPARE(log, emitted.isEmpty() ? QStringList() : QStringList{emitted});
    QCOMPARE(twirl->name(), QString("Twirl 1")); // the document's SoftType is never edited
    Values expected = twirl->values();
    expected.insert("name", newName);
    QCOMPARE(values, newName.isEmpty() ? Values() : expected); // every value, on every Ok
}

QTEST_MAIN(TestSoftTypesDock)
#include "tst_softtypesdock.moc"
