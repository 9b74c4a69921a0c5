#ifndef TEXTGROUP_H
#define TEXTGROUP_H

#include "model/TextObject.h"

// A text element with an ordered list of children: the document's root, a
// passage (depth 1) or a word (depth 2). Every child is also a child item of
// the group, so deleting a group deletes its subtree; the list itself owns
// nothing.
class TextGroup : public TextObject
{
    Q_OBJECT
public:
    explicit TextGroup(QGraphicsItem *parentItem = nullptr);
    ~TextGroup() override;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    bool hasSelectedDescendant() const override;
    Glyph *firstGlyph() override;
    Glyph *lastGlyph() override;
    bool hasOutline() const override;
    bool isGlyph() const override;
    bool isWord() const override;
    bool isPassage() const override;
    QString text() const override;
    void setFont(const QFont &font, bool rebuild) override;
    void setFontSize(int pointSize) override;
    void setFillColor(QColor color) override;
    void setFillRed(int value) override;
    void setFillGreen(int value) override;
    void setFillBlue(int value) override;
    void setFillAlpha(int value) override;
    void setStrokeColor(QColor color) override;
    void setStrokeRed(int value) override;
    void setStrokeGreen(int value) override;
    void setStrokeBlue(int value) override;
    void setStrokeAlpha(int value) override;
    void setStrokeWidth(float width) override;
    bool isLocked() const override;
    void lock() override;
    void unlock() override;
    void resetDeform() override;
    void bakeDeform() override;
    QMap<QString, SoftType *> softTypesByName() const override;
    QStringList softTypeKinds() const override;
    QStringList softTypeNames() const override;
    void convertToCurves() override;
    void convertToLines() override;
    void resetGlyph() override;

    const QList<TextObject *> &children() const { return m_children; }
    int count() const { return m_children.size(); }
    // The child at index, null outside 0..count-1 (child and childAt agree).
    TextObject *child(int index) const;
    TextObject *childAt(int index) const { return child(index); }
    TextObject *firstChild() const;
    TextObject *lastChild() const;
    int indexOf(const TextObject *object) const;

    // Inserts an unlinked object at index (0..count) and links it. Returns
    // false, and leaves the object with the caller, when the object is this
    // group, one of its ancestors, a child of this or another group, or the
    // index is out of range.
    bool insert(int index, TextObject *object);
    bool append(TextObject *object);
    // Unlinks the child and gives it to the caller; null when out of range.
    TextObject *takeAt(int index);
    TextObject *remove(TextObject *child);
    TextObject *takeLast();
    // Empties the list without unlinking or deleting the former children.
    void clearChildren();

    // The object reached by an index path (see TextObject::indexPath), read
    // from its last entry to its first; null when the path leaves the tree.
    TextObject *objectAtPath(const QList<int> &path);

    // The smallest x position of the glyphs below; 0.0 for an empty group.
    double leftmostX() const;

    // Lays out the glyphs on lines by their advance widths, starting from
    // the first glyph that is not a line break; a carriage-return glyph
    // breaks the line.
    void relayout();

    // Drops the cached bounds of this group and of the groups above it,
    // each telling its scene of the change first; call it before the
    // change. A group whose bounds are not cached has none cached above it
    // either (nothing asked for them since the last change), so the walk
    // stops there.
    void dropBounds();

private:
    template<typename Call>
    void forEachChild(Call call);
    // Runs call on every child, in list order, between two repaints of the
    // group's area.
    template<typename Call>
    void forEachChildRepainted(Call call);

    QList<TextObject *> m_children;
    // The union of the children's bounds, worked out when first asked for
    // after a change below (painting asks for it many times a frame).
    mutable QRectF m_bounds;
    mutable bool m_boundsKnown = false;
};

#endif // TEXTGROUP_H
