#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

// The program's command line: an optional first argument names a document
// to open at start-up; further arguments are ignored.
class CommandLine
{
public:
    // The document named by the arguments (the program's name first), made
    // absolute against the current folder, since the main window changes
    // that folder before the document opens; empty without one.
    static QString documentPath(const QStringList &arguments);
};

#endif // COMMANDLINE_H
