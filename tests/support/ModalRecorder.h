#ifndef MODALRECORDER_H
#define MODALRECORDER_H

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
        QObject *dialog = nullptr; // for "exec"
    };

    ModalRecorder();
    ~ModalRecorder() override;

    QList<Call> calls;
    // The proposed name (directory argument) of each save dialog, in order.
    QStringList saveDirs;

    // Answers, taken in order; when a queue is empty the default is used: the first offered button (Ok/Yes), an empty
    // file name, an invalid colour, a refused font dialog, QDialog::Rejected.
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<QString> fileNames;
    QQueue<QColor> colors;
    QQueue<QFont> fonts;
    // Called with the dialog for each exec(); returns the result code.
    QQueue<std::function<int(QDialog *)>> execs;

    QMessageBox::StandardButton message(Modal::MessageKind kind, QWidget *parent, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QString *selectedFilter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QString *selectedFilter) override;
    QColor color(const QColor &initial, QWidget *parent, const QString &title,
                 QColorDialog::ColorDialogOptions options) override;
    QFont font(bool *ok, const QFont &initial, QWidget *parent, const QString &title) override;
    int exec(QDialog *dialog) override;
    // Records a "menu" call with the menu's title and, as text, its entries by object name (a named submenu too), a
    // separator as "-", an unnamed submenu as its title with its entries in brackets; chooses nothing.
    QAction *execMenu(QMenu *menu, const QPoint &globalPos) override;

private:
    Modal::Handler *m_previous;
};

#endif // MODALRECORDER_H
