#ifndef TREEDUMP_H
#define TREEDUMP_H

#include <QStringList>
#include <QtTest>

class TextObject;

// A structural dump of a text tree, one line per object (groups and glyphs:
// character, position, rotation, z, visibility, selection, lock, font,
// colours, stroke width, SoftTypes) followed, for a glyph, by one line per
// element of its rest and its current outline. Two dumps are equal exactly
// when the two trees are; numbers are written in full precision.
struct TreeDump
{
    QStringList lines;

    static TreeDump of(const TextObject *root);

    bool operator==(const TreeDump &other) const { return lines == other.lines; }
    bool operator!=(const TreeDump &other) const { return lines != other.lines; }

    // The first difference between two dumps with a few lines of context,
    // empty when they are equal.
    static QString diff(const TreeDump &expected, const TreeDump &actual);
};

// Fails the running test with a readable difference unless the two dumps
// are equal.
#define VERIFY_SAME_TREE(actual, expected)                                   \
    do {                                                                     \
        const QString treeDiff_ = TreeDump::diff((expected), (actual));      \
        QVERIFY2(treeDiff_.isEmpty(), qPrintable(treeDiff_));                \
    } while (false)

#endif // TREEDUMP_H
