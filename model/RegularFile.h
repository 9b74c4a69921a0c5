#ifndef REGULARFILE_H
#define REGULARFILE_H

#include <QString>

class QFile;

// Opens a file the user named for reading only when it is a regular file (or
// a link to one). Opening a pipe waits for a writer, with no end when none
// comes, and a device may give bytes without end: both are refused before
// anything is read, and the open itself never waits.
class RegularFile
{
public:
    enum Result { Opened, Unopened, NotRegular };

    // Opens file (its name set, not open) read-only. Why it was not opened
    // goes to *error: the system's words as QFile gives them (Qt's for a
    // directory, which is Unopened too), or "Not a regular file".
    static Result open(QFile &file, QString *error);
};

#endif // REGULARFILE_H
