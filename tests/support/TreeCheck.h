#pragma once

#include <QString>
#include <QtTest>

class QVorrelScene;
class TextGroup;

// Consistency checks of a text tree: each returns "" when it is sound, else the first fault found.
namespace TreeCheck {

// Links at every level below the group: parent group and graphics parent, sibling links as in the list, no object
// listed twice.
QString linkFault(const TextGroup *group);

// What the group and every group below keep of their children against a fresh pass over them in list order, bit for
// bit (the union's rounding depends on that order): bounds, leftmost x, each child's index.
QString keptFault(const TextGroup *group);

// A document tree: its links, the root unlinked, passages and words as groups at depths 1 and 2 and nothing deeper,
// none empty, spaces, tabs and line breaks in their passage and other glyphs in words, all in one scene.
QString documentFault(const TextGroup *root);

// A document scene: its tree and what its groups keep, and selectedObjects listing each selected object of the tree once, none with a selected
// ancestor; the hovered object in the tree.
QString sceneFault(const QVorrelScene *scene);

} // namespace TreeCheck

#define VERIFY_TREE(root) \
    do { const QString treeFault_ = TreeCheck::documentFault(root); QVERIFY2(treeFault_.isEmpty(), qPrintable(treeFault_)); } while (false)
#define VERIFY_SCENE(scene) \
    do { const QString sceneFault_ = TreeCheck::sceneFault(scene); QVERIFY2(sceneFault_.isEmpty(), qPrintable(sceneFault_)); } while (false)

