#include "support/ModalRecorder.h"

#include <QDialog>
#include <QtTest>

class TestModal : public QObject
{
    Q_OBJECT
private slots:
    void recordsAndAnswers();
    void restoresPreviousHandlerWhenDone();
};

void TestModal::recordsAndAnswers()
{
    ModalRecorder rec;
    rec.buttons.enqueue(QMessageBox::No);
    QCOMPARE(Modal::question(nullptr, "Save", "Save changes?"), QMessageBox::No);
    // Without a queued answer the first offered button is taken.
    QCOMPARE(Modal::warning(nullptr, "Quicktime Export", "Unable to Create Movie File: -1"), QMessageBox::Ok);
    QCOMPARE(Modal::getOpenFileName(nullptr, "Open File", QString(), "Vorrel Files (*.vrl)"), QString());
    QDialog dialog;
    dialog.setWindowTitle("Canvas");
    rec.execs.enqueue([](QDialog *d) { d->setObjectName("touched"); return int(QDialog::Accepted); });
    QCOMPARE(Modal::exec(&dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.objectName(), QString("touched"));
    QCOMPARE(Modal::exec(&dialog), int(QDialog::Rejected));
    QStringList calls;
    for (const ModalRecorder::Call &c : rec.calls)
        calls << c.what + ": " + c.title + " / " + c.text;
    QCOMPARE(calls, QStringList({"question: Save / Save changes?", "warning: Quicktime Export / Unable to Create Movie File: -1",
                                 "open: Open File / Vorrel Files (*.vrl)", "exec: Canvas / ", "exec: Canvas / "}));
}

void TestModal::restoresPreviousHandlerWhenDone()
{
    Modal::Handler *before = Modal::handler();
    {
        ModalRecorder outer;
        {
            ModalRecorder inner;
            QCOMPARE(Modal::handler(), static_cast<Modal::Handler *>(&inner));
        }
        QCOMPARE(Modal::handler(), static_cast<Modal::Handler *>(&outer));
    }
    QCOMPARE(Modal::handler(), before);
}

QTEST_MAIN(TestModal)
#include "tst_modal.moc"
