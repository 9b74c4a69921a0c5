#include "support/ModalRecorder.h"

#include <QDialog>
#include <QtTest>

class TestModal : public QObject
{
    Q_OBJECT
private slots:
    void recordsAndAnswersMessages();
    void restoresPreviousHandlerWhenDone();
    void execRunsTheQueuedAnswerOnTheDialog();
};

void TestModal::recordsAndAnswersMessages()
{
    ModalRecorder rec;
    rec.buttons.enqueue(QMessageBox::No);
    QCOMPARE(Modal::question(nullptr, "Save", "Save changes?"), QMessageBox::No);
    // Without a queued answer the first offered button is taken.
    QCOMPARE(Modal::warning(nullptr, "Quicktime Export", "Unable to Create Movie File: -1"), QMessageBox::Ok);
    QCOMPARE(rec.calls.size(), 2);
    QCOMPARE(rec.calls[0].what, QString("question"));
    QCOMPARE(rec.calls[1].what, QString("warning"));
    QCOMPARE(rec.calls[1].title, QString("Quicktime Export"));
    QCOMPARE(rec.calls[1].text, QString("Unable to Create Movie File: -1"));
    QCOMPARE(Modal::getOpenFileName(nullptr, "Open File", QString(), "Vorrel Files (*.vrl)"), QString());
    QCOMPARE(rec.calls.last().text, QString("Vorrel Files (*.vrl)"));
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

void TestModal::execRunsTheQueuedAnswerOnTheDialog()
{
    ModalRecorder rec;
    QDialog dialog;
    dialog.setWindowTitle("Canvas");
    rec.execs.enqueue([](QDialog *d) { d->setObjectName("touched"); return int(QDialog::Accepted); });
    QCOMPARE(Modal::exec(&dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.objectName(), QString("touched"));
    QCOMPARE(Modal::exec(&dialog), int(QDialog::Rejected));
    QCOMPARE(rec.calls.size(), 2);
    QCOMPARE(rec.calls[0].title, QString("Canvas"));
}

QTEST_MAIN(TestModal)
#include "tst_modal.moc"
