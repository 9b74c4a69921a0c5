#pragma once

#include "commands/Cmd.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/TreeDump.h"

class TextObject;

// The text style the suites build their passages in.
extern const QFont arial;

// A scene with passages added by text, and short forms for its selection and history.
struct TestDocument
{
    explicit TestDocument(const QRectF &sceneRect = QRectF(-5000, -5000, 10000, 10000));

    QVorrelScene scene;
    TextGroup *root;

    // Appends a passage holding text, laid out from the anchor.
    TextGroup *add(const QString &text, const QPointF &anchor = QPointF(0, 100));

    QList<TextObject *> selected() const { return scene.selectedObjects(); }
    void select(const QList<TextObject *> &objects) { scene.restoreSelection(objects); }

    int entries() const { return scene.historyIndex(); }
    // The command most recently done.
    Cmd *last() const { return scene.history().at(scene.historyIndex() - 1); }
    QString lastText() const { return last()->text(); }
    TreeDump dump() const { return TreeDump::of(root); }
};

TextGroup *group(TextObject *o);
QPointF centreOf(const TextObject *o);

