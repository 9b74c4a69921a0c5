#ifndef SAVEFILEDIALOG_H
#define SAVEFILEDIALOG_H

#include <QString>

class QWidget;

// What every save dialog of Vorrel shares. The file dialog runs through the
// modal seam and asks nothing itself; the name it gives may still be
// completed with a suffix, so the question before an existing file is
// replaced is asked here, about the name that will really be written, in the
// words of Qt's own file dialog.
class SaveFileDialog
{
public:
    // The name with "." and the suffix appended when its file name has no
    // dot, as a file dialog with a default suffix does.
    static QString withDefaultSuffix(const QString &fileName, const QString &suffix);

    // True when the file may be written: there is no such file, or the user
    // answers Yes to replacing it (a warning under the dialog's caption, No
    // as the default).
    static bool mayReplace(QWidget *parent, const QString &caption, const QString &fileName);

    // The save dialog: the chosen name completed with the default suffix and,
    // when it exists, asked about. Empty when the dialog is cancelled or the
    // file is not to be replaced.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                   const QString &filter, const QString &defaultSuffix);
};

#endif // SAVEFILEDIALOG_H
