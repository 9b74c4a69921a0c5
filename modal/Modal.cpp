#include "modal/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QFontDialog>
#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>

namespace {
Modal::Handler &defaultHandler()
{
    static Modal::Handler handler;
    return handler;
}
Modal::Handler *installed = nullptr;

// The default handler's progress dialogs, by task.
QHash<const void *, QPointer<QProgressDialog>> &progressDialogs()
{
    static QHash<const void *, QPointer<QProgressDialog>> dialogs;
    return dialogs;
}

QWidget *mainWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && qobject_cast<QMainWindow *>(widget))
            return widget;
    return nullptr;
}

// A task shorter than this shows no dialog.
constexpr int progressShownAfter = 500;

// Keeps a window open while a progress dialog over it lives, from the
// moment the task begins: a window-modal dialog blocks its window only once
// shown, and a close request from the window manager is no user input, so it
// would reach the window while the events let through before then.
class CloseBlocker : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};
}

Modal::Handler::~Handler() = default;

QMessageBox::StandardButton Modal::Handler::message(MessageKind kind, QWidget *parent,
                                                    const QString &title, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    switch (kind) {
    case Information:
        return QMessageBox::information(parent, title, text, buttons, defaultButton);
    case Warning:
        return QMessageBox::warning(parent, title, text, buttons, defaultButton);
    case Critical:
        return QMessageBox::critical(parent, title, text, buttons, defaultButton);
    case Question:
        break;
    }
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

QString Modal::Handler::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
}

QString Modal::Handler::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter)
{
    // The caller may still complete the name: it asks before replacing the
    // file it will really write (SaveFileDialog).
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

QColor Modal::Handler::color(const QColor &initial, QWidget *parent, const QString &title,
                             QColorDialog::ColorDialogOptions options)
{
    return QColorDialog::getColor(initial, parent, title, options);
}

QFont Modal::Handler::font(bool *ok, const QFont &initial, QWidget *parent, const QString &title)
{
    return QFontDialog::getFont(ok, initial, parent, title);
}

int Modal::Handler::exec(QDialog *dialog)
{
    return dialog->exec();
}

QAction *Modal::Handler::execMenu(QMenu *menu, const QPoint &globalPos)
{
    return menu->exec(globalPos);
}

bool Modal::Handler::progress(const void *task, ProgressStep step, QWidget *parent, const QString &title,
                              const QString &label, int value, int maximum, bool cancellable)
{
    QHash<const void *, QPointer<QProgressDialog>> &dialogs = progressDialogs();
    if (step == ProgressOpen) {
        delete dialogs.take(task);
        auto *dialog = new QProgressDialog(label, cancellable ? QStringLiteral("Cancel") : QString(), 0, maximum,
                                           parent ? parent : mainWindow());
        dialog->setWindowTitle(title);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAutoReset(false);
        dialog->setAutoClose(false);
        dialog->setMinimumDuration(progressShownAfter);
        dialog->setValue(value);
        if (QWidget *window = dialog->parentWidget())
            window->window()->installEventFilter(new CloseBlocker(dialog));
        dialogs.insert(task, dialog);
        return true;
    }
    const QPointer<QProgressDialog> dialog = dialogs.value(task);
    if (!dialog) {
        dialogs.remove(task);
        return true;
    }
    if (step == ProgressClose) {
        const bool cancelled = dialog->wasCanceled();
        delete dialogs.take(task);
        return !cancelled;
    }
    // A cancelled dialog is hidden; a new value would show it again.
    if (dialog->wasCanceled())
        return false;
    dialog->setLabelText(label);
    // Once shown, a modal dialog lets events through here: its Cancel answers.
    dialog->setValue(value);
    return !dialog || !dialog->wasCanceled();
}

void Modal::setHandler(Handler *handler)
{
    installed = handler;
}

Modal::Handler *Modal::handler()
{
    return installed ? installed : &defaultHandler();
}

QMessageBox::StandardButton Modal::information(QWidget *parent, const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    return handler()->message(Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Modal::warning(QWidget *parent, const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton)
{
    return handler()->message(Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Modal::critical(QWidget *parent, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    return handler()->message(Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Modal::question(QWidget *parent, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    return handler()->message(Question, parent, title, text, buttons, defaultButton);
}

QString Modal::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                               const QString &filter, QString *selectedFilter)
{
    return handler()->openFileName(parent, caption, dir, filter, selectedFilter);
}

QString Modal::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                               const QString &filter, QString *selectedFilter)
{
    return handler()->saveFileName(parent, caption, dir, filter, selectedFilter);
}

QColor Modal::getColor(const QColor &initial, QWidget *parent, const QString &title,
                       QColorDialog::ColorDialogOptions options)
{
    return handler()->color(initial, parent, title, options);
}

QFont Modal::getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title)
{
    return handler()->font(ok, initial, parent, title);
}

int Modal::exec(QDialog *dialog)
{
    return handler()->exec(dialog);
}

QAction *Modal::execMenu(QMenu *menu, const QPoint &globalPos)
{
    return handler()->execMenu(menu, globalPos);
}

bool Modal::progress(const void *task, ProgressStep step, QWidget *parent, const QString &title, const QString &label,
                     int value, int maximum, bool cancellable)
{
    return handler()->progress(task, step, parent, title, label, value, maximum, cancellable);
}
