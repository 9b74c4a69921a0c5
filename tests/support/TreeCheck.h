#ifndef TREECHECK_H
#define TREECHECK_H

#include <QString>
#include <QtTest>

class QVorrelScene;
class TextGroup;

// Consistency checks of a text tree; each returns an empty string when the
// tree is sound, else a description of the first fault found.
namespace TreeCheck {

// Links only, at every level below the group: each child's parent group
// and graphics parent are the group, its sibling links match the list, and
// no object is listed twice.
QString linkFault(const TextGroup *group);

// A document tree: the links above, the root without parent, passages and
// words as groups at depths 1 and 2 and nothing deeper, no empty passage or
// word, spaces, tabs and carriage returns directly in their passage and
// every other glyph in a word, and every object in the root's scene.
QString documentFault(const TextGroup *root);

// A document scene: its tree as documentFault checks it, and its
// selection: selectedObjects lists exactly the selected objects of the tree,
// each once, none with a selected ancestor; the hovered object, if any,
// lies in the tree.
QString sceneFault(const QVorrelScene *scene);

} // namespace TreeCheck

// Fails the running test with the fault unless the document tree is sound.
#define VERIFY_TREE(root)                                                    \
    do {                                                                     \
        const QString treeFault_ = TreeCheck::documentFault(root);          \
        QVERIFY2(treeFault_.isEmpty(), qPrintable(treeFault_));              \
    } while (false)


// Fails the running test with the fault unless the scene is sound.
#define VERIFY_SCENE(scene)                                                  \
    do {                                                                     \
        const QString sceneFault_ = TreeCheck::sceneFault(scene);           \
        QVERIFY2(sceneFault_.isEmpty(), qPrintable(sceneFault_));            \
    } while (false)

#endif // TREECHECK_H
