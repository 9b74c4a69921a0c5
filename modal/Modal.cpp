#include "modal/Modal.h"

#include <QDialog>
#include <QFontDialog>
#include <QMenu>

namespace {
Modal::Handler &defaultHandler()
{
    static Modal::Handler handler;
    return handler;
}
Modal::Handler *installed = nullptr;
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
