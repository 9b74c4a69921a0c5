#ifndef TEXTOBJECT_H
#define TEXTOBJECT_H

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPen>
#include <QStringList>

class Glyph;
class QFont;
class QVorrelScene;
class SoftType;
class TextGroup;

// Base of every element of the text tree: a passage, a word (both
// TextGroup) or a glyph. It is at the same time a selectable graphics item;
// position, visibility, rotation, z-value and selection are the item's own.
// The sibling and parent links are kept by TextGroup::insert and takeAt.
class TextObject : public QObject, public QGraphicsItem
{
public:
    // The element kinds, as stored in `textType`.
    enum { GroupType = 1, GlyphType = 2 };

    TextObject(int type, QGraphicsItem *parentItem);
    ~TextObject() override;

    QRectF boundingRect() const override = 0;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override = 0;

    // Repaints the element's area in its scene. Geometry changes call it
    // before and after, so that both the old and the new area are redrawn;
    // a glyph's change drops the bounds the groups above keep. A group's
    // bounds follow its children, each of which tells of its own change.
    virtual void updateInScene();
    virtual bool hasSelectedDescendant() const = 0;
    virtual Glyph *firstGlyph() = 0;
    virtual Glyph *lastGlyph() = 0;
    virtual bool hasOutline() const = 0;
    virtual bool isGlyph() const = 0;
    virtual bool isWord() const = 0;
    virtual bool isPassage() const = 0;
    virtual QString text() const = 0;
    virtual void setFont(const QFont &font, bool rebuild) = 0;
    virtual void setFontSize(int pointSize) = 0;
    virtual void setFillColor(QColor color) = 0;
    virtual void setFillRed(int value) = 0;
    virtual void setFillGreen(int value) = 0;
    virtual void setFillBlue(int value) = 0;
    virtual void setFillAlpha(int value) = 0;
    virtual void setStrokeColor(QColor color) = 0;
    virtual void setStrokeRed(int value) = 0;
    virtual void setStrokeGreen(int value) = 0;
    virtual void setStrokeBlue(int value) = 0;
    virtual void setStrokeAlpha(int value) = 0;
    virtual void setStrokeWidth(float width) = 0;
    virtual bool isLocked() const = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual void resetDeform() = 0;
    virtual void bakeDeform() = 0;
    virtual QMap<QString, SoftType *> softTypesByName() const = 0;
    virtual QStringList softTypeKinds() const = 0;
    virtual QStringList softTypeNames() const = 0;
    virtual void convertToCurves() = 0;
    virtual void convertToLines() = 0;
    virtual void resetGlyph() = 0;

    int textType() const { return m_type; }
    TextGroup *parentGroup() const { return m_parentGroup; }
    // Sets the parent group and makes its item this item's graphics parent.
    void setParentGroup(TextGroup *group);
    TextObject *previous() const { return m_previous; }
    void setPrevious(TextObject *object) { m_previous = object; }
    TextObject *next() const { return m_next; }
    void setNext(TextObject *object) { m_next = object; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

    // A change of the element's extent in one step, as a play frame makes
    // it: before the change the scene is told once, and repaints both the
    // area the element covers now and the one it covers after; after it
    // the cached bounds of the groups above are dropped.
    void aboutToReshape();
    void reshaped();

    // A count that moves on whenever an element's extent, position or turn
    // changes: what is worked out from the elements' scene bounds is good
    // while it stands still.
    static quint64 extentChanges() { return s_extentChanges; }

    // The scene as the document scene; null when in no scene or another kind.
    QVorrelScene *documentScene() const;

    // The glyph before / after this object in document order, or null.
    Glyph *previousGlyph() const;
    Glyph *nextGlyph() const;

    bool isDescendantOf(const TextGroup *group) const;
    bool hasSelectedAncestor() const;
    bool hasHighlightedAncestor() const;

    // The index in the parent, then the parent's index in its parent, and so
    // on up to the passage's index in the root; TextGroup::objectAtPath is
    // its inverse. Empty for the root and for an unlinked object.
    QList<int> indexPath() const;

    // Reordering within the parent group; each returns whether it moved.
    bool arrangeTo(int index);
    bool arrangeFirst();
    bool arrangeBackward();
    bool arrangeForward();
    bool arrangeLast();

protected:
    // The pen of a selected element's box: solid black, dashed grey when locked.
    static QPen selectionBoxPen(bool locked);
    // A move, turn or scaling of the element changes the bounds of its group.
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    // The element's extent changes: a glyph and the groups above it drop
    // their kept bounds.
    void extentChanged();
    static void countExtentChange() { ++s_extentChanges; }

private:
    friend class TextGroup;

    static quint64 s_extentChanges;
    // The index in the parent group's list when last numbered there; the
    // group checks it before it trusts it.
    int m_indexHint = -1;
    TextObject *m_previous = nullptr;
    TextObject *m_next = nullptr;
    const int m_type;
    TextGroup *m_parentGroup = nullptr;
    bool m_highlighted = false;
};

#endif // TEXTOBJECT_H
