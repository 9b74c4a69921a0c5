#ifndef MODAL_H
#define MODAL_H

#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QString>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

// The one place where Vorrel runs anything modal: message boxes, file,
// colour and font dialogs, progress dialogs, and the exec() of its own
// dialogs. Code calls the static functions; they forward to the installed
// handler. The default handler shows the real dialogs; tests install one
// that records the call (title, text, ...) and answers it without a nested
// event loop.
class Modal
{
public:
    enum MessageKind { Information, Warning, Critical, Question };
    enum ProgressStep { ProgressOpen, ProgressUpdate, ProgressClose };

    class Handler
    {
    public:
        virtual ~Handler();
        virtual QMessageBox::StandardButton message(MessageKind kind, QWidget *parent,
                                                    const QString &title, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton);
        virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter);
        // The file dialog asks nothing before a file is replaced: see
        // SaveFileDialog.
        virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter);
        virtual QColor color(const QColor &initial, QWidget *parent, const QString &title,
                             QColorDialog::ColorDialogOptions options);
        virtual QFont font(bool *ok, const QFont &initial, QWidget *parent, const QString &title);
        // Runs a dialog modally; returns its result code.
        virtual int exec(QDialog *dialog);
        // Runs a popup menu at a global position; returns the action chosen,
        // null when none.
        virtual QAction *execMenu(QMenu *menu, const QPoint &globalPos);
        // The progress dialog of a long task, told apart from others by the
        // task's address: ProgressOpen opens it, window-modal over parent
        // (without one, over the main window), which it keeps from closing
        // until ProgressClose, and shows it once the task proves long; ProgressUpdate sets its label and its value out of
        // maximum; ProgressClose closes it. Without cancellable it has no
        // Cancel. False once the user has cancelled. The caller lets events
        // through between the steps; the dialog runs no loop of its own.
        virtual bool progress(const void *task, ProgressStep step, QWidget *parent, const QString &title,
                              const QString &label, int value, int maximum, bool cancellable);
    };

    // Installs a handler (not owned); null restores the default one.
    static void setHandler(Handler *handler);
    static Handler *handler();

    static QMessageBox::StandardButton information(QWidget *parent, const QString &title,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical(QWidget *parent, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget *parent, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QString getOpenFileName(QWidget *parent, const QString &caption = QString(),
                                   const QString &dir = QString(), const QString &filter = QString(),
                                   QString *selectedFilter = nullptr);
    static QString getSaveFileName(QWidget *parent, const QString &caption = QString(),
                                   const QString &dir = QString(), const QString &filter = QString(),
                                   QString *selectedFilter = nullptr);
    static QColor getColor(const QColor &initial, QWidget *parent, const QString &title = QString(),
                           QColorDialog::ColorDialogOptions options = QColorDialog::ColorDialogOptions());
    static QFont getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title = QString());
    static int exec(QDialog *dialog);
    static QAction *execMenu(QMenu *menu, const QPoint &globalPos);
    static bool progress(const void *task, ProgressStep step, QWidget *parent, const QString &title,
                         const QString &label, int value, int maximum, bool cancellable = true);
};

#endif // MODAL_H
