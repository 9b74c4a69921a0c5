#ifndef SAVEFILEDIALOG_H
#define SAVEFILEDIALOG_H

#include <QString>

class QSaveFile;
class QWidget;

// What every save dialog of Vorrel shares. The file dialog runs through the
// modal seam and asks nothing itself, since a caller may still complete the
// name it gives (Export Sequence adds the file type's suffix); the question
// before an existing file is replaced is asked here, about the name that will
// really be written, in the words of Qt's own file dialog. Every writer of
// a file the user names refuses what is no regular file, as told here.
class SaveFileDialog
{
public:
    // Why no file may be written under fileName: it names a directory, or
    // something else that is no regular file (a pipe, a device), which a new
    // file would take the name from. Empty when there is no such file or a
    // regular one (also through a link, which is written through).
    static QString refusal(const QString &fileName);
    // Opens the save file for writing unless its name is refused (above).
    // Why it was not opened goes to *error when given: the refusal, or the
    // system's words.
    static bool openForWriting(QSaveFile &file, QString *error = nullptr);

    // True when the file may be written: there is no such file, or the user
    // answers Yes to replacing it (a warning under the dialog's caption, No
    // as the default). A name refused (above) is told under the caption and
    // not asked about.
    static bool mayReplace(QWidget *parent, const QString &caption, const QString &fileName);

    // The save dialog for a file written under exactly the name chosen: the
    // name, asked about when it exists. Empty when the dialog is cancelled or
    // the file is not to be replaced.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                   const QString &filter);
};

#endif // SAVEFILEDIALOG_H
