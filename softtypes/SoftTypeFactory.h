#ifndef SOFTTYPEFACTORY_H
#define SOFTTYPEFACTORY_H

#include <QString>
#include <QStringList>

class SoftType;

// Creates SoftTypes by their kind's type key, as a glyph record names them.
class SoftTypeFactory
{
public:
    // Every type key, in alphabetical order of the kinds.
    static QStringList typeKeys();
    // A new SoftType of the kind with the defaults and the name; null for a
    // key that names no kind (keys are case-sensitive).
    static SoftType *create(const QString &typeKey, const QString &name);
};

#endif // SOFTTYPEFACTORY_H
