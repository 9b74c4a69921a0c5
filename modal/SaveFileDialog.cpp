#include "modal/SaveFileDialog.h"

#include "modal/Modal.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

QString SaveFileDialog::refusal(const QString &fileName)
{
    // A link is followed: a file written under its name goes where it leads.
    const QFileInfo file(fileName);
    if (!file.exists() || file.isFile())
        return QString();
    return (file.isDir() ? QStringLiteral("%1 is a directory.\nChoose another name.")
                         : QStringLiteral("%1 is not a regular file.\nChoose another name."))
        .arg(file.fileName());
}

bool SaveFileDialog::openForWriting(QSaveFile &file, QString *error)
{
    const QString refused = refusal(file.fileName());
    if (refused.isEmpty() && file.open(QIODevice::WriteOnly))
        return true;
    if (error)
        *error = refused.isEmpty() ? file.errorString() : refused;
    return false;
}

bool SaveFileDialog::mayReplace(QWidget *parent, const QString &caption, const QString &fileName)
{
    const QFileInfo file(fileName);
    if (!file.exists())
        return true;
    const QString refused = refusal(fileName);
    if (!refused.isEmpty()) {
        Modal::warning(parent, caption, refused);
        return false;
    }
    return Modal::warning(parent, caption,
                          QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(file.fileName()),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

QString SaveFileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter)
{
    const QString fileName = Modal::getSaveFileName(parent, caption, dir, filter);
    if (fileName.isEmpty())
        return QString();
    return mayReplace(parent, caption, fileName) ? fileName : QString();
}
