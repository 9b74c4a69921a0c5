#include "modal/SaveFileDialog.h"

#include "modal/Modal.h"

#include <QFileDialog>
#include <QFileInfo>

bool SaveFileDialog::mayReplace(QWidget *parent, const QString &caption, const QString &fileName)
{
    const QFileInfo file(fileName);
    if (!file.exists())
        return true;
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
