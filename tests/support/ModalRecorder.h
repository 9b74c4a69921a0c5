#pragma once

#include "modal/Modal.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

// Installs itself as the Modal handler for its lifetime: records every modal call and answers it from queued answers
// (or defaults), without running any event loop.
class ModalRecorder : public Modal::Handler
{
public:
    struct Call
    {
        QString what;   // "information", "warning", "critical", "question", "open", "save", "color", "font", "exec"
        QString title;  // message title, dialog caption or the dialog's window title
        QString text;   // message text; file filter for file dialogs
    };

    ModalRecorder();
    ~ModalRecorder() override;

    QList<Call> calls;
    // The proposed name (directory argument) of each save dialog, in order.
    QStringList saveDirs;

    // Answers, taken in order; when a queue is empty the default is used: the first offered button (Ok/Yes), an empty
    // file name, an invalid colour, QDialog::Rejected. Font dialogs are always refused.
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<QString> fileNames;
    QQueue<QColor> colors;
    // Each called with the dialog of one exec(), returning its result code.
    QQueue<std::function<int(QDialog *)>> execs;
    // Progress dialogs ("progress", title, label) in the order opened, and how many are open. The one labelled
    // cancelProgress answers Cancel from its update number cancelAtUpdate on (0: as it opens).
    QList<Call> progressDialogs;
    int openProgress = 0;
    QString cancelProgress;
    int cancelAtUpdate = 0;

    QMessageBox::StandardButton message(Modal::MessageKind kind, QWidget *, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons offered, QMessageBox::StandardButton) override;
    QString openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *) override;
    QString saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *) override;
    QColor color(const QColor &initial, QWidget *, const QString &title, QColorDialog::ColorDialogOptions) override;
    QFont font(bool *ok, const QFont &initial, QWidget *parent, const QString &title) override;
    int exec(QDialog *dialog) override;
    // Records a "menu" call with the menu's title and, as text, its entries by object name (a named submenu too), a
    // separator as "-", an unnamed submenu as its title with its entries in brackets; chooses nothing.
    QAction *execMenu(QMenu *menu, const QPoint &globalPos) override;
    bool progress(const void *task, Modal::ProgressStep step, QWidget *, const QString &title, const QString &label,
                  int value, int maximum, bool cancellable) override;

private:
    Modal::Handler *m_previous;
    int m_updates = 0;
};

