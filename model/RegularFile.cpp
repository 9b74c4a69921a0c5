#include "model/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::Result RegularFile::open(QFile &file, QString *error)
{
    // Without O_NONBLOCK, opening a pipe for reading waits for its writer.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return Unopened;
    }
    struct stat info = {};
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) != 0 || flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        *error = qt_error_string(errno);
        ::close(fd);
        return Unopened;
    }
    if (!S_ISREG(info.st_mode)) {
        const bool directory = S_ISDIR(info.st_mode);
        *error = directory ? QIODevice::tr("file to open is a directory") : QStringLiteral("Not a regular file");
        ::close(fd);
        return directory ? Unopened : NotRegular;
    }
    // The file owns the descriptor from here on, also when it fails.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *error = file.errorString();
        return Unopened;
    }
    return Opened;
}
