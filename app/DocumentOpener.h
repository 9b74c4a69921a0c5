#ifndef DOCUMENTOPENER_H
#define DOCUMENTOPENER_H

#include <QString>

class QVorrelView;
class QWidget;

// Opens a document file into a new view. A file that cannot be read or is
// no regular file (a pipe or a device is never read), that is no Vorrel
// document, whose version is below 100 or whose body does not read is
// reported in an information box titled "Unable to open file" and gives no
// view. A later version is read like 100, as the header reader
// does for every caller.
class DocumentOpener
{
public:
    // A new view without parent holding the document, with the file's name
    // and title; null after the message (shown over parent) when the file
    // cannot be opened or read.
    static QVorrelView *open(const QString &fileName, QWidget *parent = nullptr);
};

#endif // DOCUMENTOPENER_H
