#include "app/CommandLine.h"

#include <QFileInfo>

QString CommandLine::documentPath(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return QString();
    return QFileInfo(arguments.at(1)).absoluteFilePath();
}
