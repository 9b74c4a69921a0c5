#ifndef TREEDUMP_H
#define TREEDUMP_H

#include <QStringList>
#include <QtTest>

class TextObject;

// A structural dump of a text tree in full precision, one line per object (position, rotation, z, visibility,
// selection, lock; for a glyph also its character, font, colours, stroke width, SoftTypes and one line per element of
// each outline): two dumps are equal exactly when the two trees are.
struct TreeDump
{
    QStringList lines;

    static TreeDump of(const TextObject *root);

    bool operator==(const TreeDump &other) const { return lines == other.lines; }
    bool operator!=(const TreeDump &other) const { return lines != other.lines; }

    // The first difference between two dumps, empty when they are equal.
    static QString diff(const TreeDump &expected, const TreeDump &actual);
};

// Fails the running test with the first difference unless the dumps agree.
#define VERIFY_SAME_TREE(actual, expected) \
    do { const QString treeDiff_ = TreeDump::diff((expected), (actual)); QVERIFY2(treeDiff_.isEmpty(), qPrintable(treeDiff_)); } while (false)

#endif // TREEDUMP_H
