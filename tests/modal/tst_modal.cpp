#include "modal/SaveFileDialog.h"
#include "support/ModalRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

class TestModal : public QObject
{
    Q_OBJECT
private slots:
    void recordsAndAnswers();
    void restoresPreviousHandlerWhenDone();
    void fileDialogLeavesTheReplaceQuestionToItsCaller();
    void replaceRefusesWhatIsNoRegularFile();
    void progressKeepsItsWindowOpen();
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

void TestModal::fileDialogLeavesTheReplaceQuestionToItsCaller()
{
    // The real save dialog, an existing file chosen: the name comes back without a question of the dialog's own
    // (one would be open, modal, when the dialog has been accepted; it is answered Yes).
    QTemporaryDir dir;
    // The dialog keeps its history in the user's settings: here in the test's own folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString existing = dir.filePath(QStringLiteral("clip.mov"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QStringList questions;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(existing);
        QTimer::singleShot(0, dialog, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                questions << box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept, which asks when it does
    });
    QCOMPARE(Modal::getSaveFileName(nullptr, QStringLiteral("Export Sequence"), dir.path(), QStringLiteral("Quicktime (*.mov)")),
             existing);
    QCOMPARE(questions, QStringList());
}

// Asked about before it is replaced: a regular file, also through a link; refused without a question: a pipe, also
// through a link, and a directory. Nothing there: no question.
void TestModal::replaceRefusesWhatIsNoRegularFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("file"), pipe = dir.filePath("pipe");
    QVERIFY(QFile(file).open(QIODevice::WriteOnly) && mkfifo(qPrintable(pipe), 0600) == 0 && QDir(dir.path()).mkdir("folder"));
    QVERIFY(QFile::link(file, dir.filePath("to file")) && QFile::link(pipe, dir.filePath("to pipe")));
    ModalRecorder rec;
    const QStringList names = {"file", "to file", "pipe", "to pipe", "folder", "none"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(SaveFileDialog::mayReplace(nullptr, "Save", dir.filePath(names.at(i))), i < 2 || i == 5);
    QStringList calls;
    for (const ModalRecorder::Call &c : rec.calls)
        calls << c.what + ": " + c.title + ": " + c.text;
    QCOMPARE(calls, QStringList({"warning: Save: file already exists.\nDo you want to replace it?",
                                 "warning: Save: to file already exists.\nDo you want to replace it?",
                                 "warning: Save: pipe is not a regular file.\nChoose another name.",
                                 "warning: Save: to pipe is not a regular file.\nChoose another name.",
                                 "warning: Save: folder is a directory.\nChoose another name."}));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
}

// A window asked to close while a task's progress dialog over it lives, shown or not yet, stays open; once the
// dialog is closed it closes.
void TestModal::progressKeepsItsWindowOpen()
{
    QMainWindow window;
    window.show();
    const int task = 0;
    QVERIFY(Modal::progress(&task, Modal::ProgressOpen, &window, "Task", "Working...", 0, 100));
    QVERIFY(!window.close() && window.isVisible());
    QVERIFY(Modal::progress(&task, Modal::ProgressUpdate, &window, "Task", "Working...", 50, 100));
    QVERIFY(!window.close() && window.isVisible());
    QVERIFY(Modal::progress(&task, Modal::ProgressClose, &window, "Task", "Working...", 100, 100));
    QVERIFY(window.close() && !window.isVisible());
}

QTEST_MAIN(TestModal)
#include "tst_modal.moc"
