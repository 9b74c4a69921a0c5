#ifndef DOCUMENTOPENER_H
#define DOCUMENTOPENER_H

#include <QString>

class QVorrelView;
class QWidget;

// Opens a document file into a new view. A file that cannot be read is
// reported in an information box titled "Unable to open file" and gives no
// view.
class DocumentOpener
{
public:
    // A new view holding the document, with the file's name and title; null
    // after the message when the file cannot be opened or read.
    static QVorrelView *open(const QString &fileName, QWidget *parent = nullptr);
};

#endif // DOCUMENTOPENER_H
