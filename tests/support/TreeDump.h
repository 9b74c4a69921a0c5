#pragma once

#include <QStringList>
#include <QtTest>

class TextObject;

// A dump of a text tree in full precision, one line per object (place, turn, z, visibility, selection, lock; a glyph's
// character, font, colours, stroke width, SoftTypes) and per outline element: equal exactly when the trees are.
struct TreeDump
{
    QStringList lines;

    static TreeDump of(const TextObject *root);

    bool operator==(const TreeDump &other) const { return lines == other.lines; }

    // The first difference between two dumps, empty when they are equal.
    static QString diff(const TreeDump &expected, const TreeDump &actual);
};

#define VERIFY_SAME_TREE(actual, expected) \
    do { const QString treeDiff_ = TreeDump::diff((expected), (actual)); QVERIFY2(treeDiff_.isEmpty(), qPrintable(treeDiff_)); } while (false)

