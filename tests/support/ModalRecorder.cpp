#include "support/ModalRecorder.h"

#include <QDialog>
#include <QMenu>

ModalRecorder::ModalRecorder() : m_previous(Modal::handler()) { Modal::setHandler(this); }

ModalRecorder::~ModalRecorder() { Modal::setHandler(m_previous); }

QMessageBox::StandardButton ModalRecorder::message(Modal::MessageKind kind, QWidget *, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons offered, QMessageBox::StandardButton)
{
    static const char *names[] = {"information", "warning", "critical", "question"};
    calls.append({QString::fromLatin1(names[kind]), title, text});
    if (!buttons.isEmpty())
        return buttons.dequeue();
    // The first offered button is its lowest bit.
    return QMessageBox::StandardButton(int(offered) & -int(offered));
}

QString ModalRecorder::openFileName(QWidget *, const QString &caption, const QString &, const QString &filter, QString *)
{
    calls.append({QStringLiteral("open"), caption, filter});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ModalRecorder::saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *)
{
    calls.append({QStringLiteral("save"), caption, filter});
    saveDirs.append(dir);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QColor ModalRecorder::color(const QColor &, QWidget *, const QString &title, QColorDialog::ColorDialogOptions)
{
    calls.append({QStringLiteral("color"), title, QString()});
    return colors.isEmpty() ? QColor() : colors.dequeue();
}

QFont ModalRecorder::font(bool *ok, const QFont &initial, QWidget *, const QString &title)
{
    calls.append({QStringLiteral("font"), title, QString()});
    if (ok)
        *ok = false;
    return initial;
}

int ModalRecorder::exec(QDialog *dialog)
{
    calls.append({QStringLiteral("exec"), dialog->windowTitle(), QString()});
    return execs.isEmpty() ? int(QDialog::Rejected) : execs.dequeue()(dialog);
}

static QString entries(const QMenu *menu)
{
    QStringList names;
    for (const QAction *a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : !a->menu() ? a->objectName() : !a->menu()->objectName().isEmpty()
                  ? a->menu()->objectName() : a->menu()->title() + QLatin1Char('[') + entries(a->menu()) + QLatin1Char(']'));
    return names.join(QLatin1Char(' '));
}

QAction *ModalRecorder::execMenu(QMenu *menu, const QPoint &)
{
    calls.append({QStringLiteral("menu"), menu->title(), entries(menu)});
    return nullptr;
}

bool ModalRecorder::progress(const void *, Modal::ProgressStep step, QWidget *, const QString &title, const QString &label,
                             int, int, bool)
{
    if (step == Modal::ProgressClose) {
        --openProgress;
        return true;
    }
    if (step == Modal::ProgressOpen) {
        progressDialogs.append({QStringLiteral("progress"), title, label});
        ++openProgress;
        m_updates = 0;
    } else {
        ++m_updates;
    }
    return label != cancelProgress || m_updates < cancelAtUpdate;
}
