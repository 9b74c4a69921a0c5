#include "modal/SaveFileDialog.h"

#include "modal/Modal.h"

#include <QFileDialog>
#include <QFileInfo>

QString SaveFileDialog::withDefaultSuffix(const QString &fileName, const QString &suffix)
{
    if (suffix.isEmpty() || QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

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
                                        const QString &filter, const QString &defaultSuffix)
{
    const QString chosen = Modal::getSaveFileName(parent, caption, dir, filter);
    if (chosen.isEmpty())
        return QString();
    const QString fileName = withDefaultSuffix(chosen, defaultSuffix);
    return mayReplace(parent, caption, fileName) ? fileName : QString();
}
