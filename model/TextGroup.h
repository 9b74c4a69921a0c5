#ifndef TEXTGROUP_H
#define TEXTGROUP_H

#include "model/TextObject.h"

#include <QVector>

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

    // The largest (or smallest) of the children's stacking values, each
    // truncated toward zero; 0 for an empty group. Kept while the children
    // and their values stand, so that arranging many children one after
    // another stays linear.
    int childZBound(bool largest) const;
    // A child's stacking value is about to change.
    void childZChanging(double from, double to);

    // Lays out the glyphs on lines by their advance widths, starting from
    // the first glyph that is not a line break; a carriage-return glyph
    // breaks the line.
    void relayout();

    // The children from index `from` on are about to change (their extent
    // or position), or the list is about to change there: what the group
    // keeps of them from there on is dropped, and the groups above drop
    // theirs from this group on, each telling its scene of the change first
    // when its bounds were handed out since the last one. A group that keeps
    // nothing past the changed index has nothing kept above it either, so
    // the walk stops there.
    void childrenChanging(int from);
    // The same for a change of one child.
    void childChanging(const TextObject *child);

private:
    template<typename Call>
    void forEachChild(Call call);
    // Runs call on every child, in list order, between two repaints of the
    // group's area.
    template<typename Call>
    void forEachChildRepainted(Call call);

    // The bounds worked out from the running unions, the first
    // m_foldsKnown of them standing.
    QRectF foldedBounds() const;
    // Gives each child from m_indicesKnown on its index, up to the object;
    // its index, or -1 when it is not a child.
    int numberChildrenUpTo(const TextObject *object) const;

    QList<TextObject *> m_children;
    // What the bounds and the leftmost x are worked out from, kept as they
    // run over the children in list order: m_folds[k] is the union of the
    // bounds of children 0..k, m_lefts[k] the least x among them, each
    // standing below its count of known entries. Worked out when first asked
    // for after a change (painting asks for the bounds many times a frame)
    // from the first entry dropped on: adding, taking or changing the last
    // child works out one entry, and the result is always the very one a
    // pass over every child gives.
    mutable QVector<QRectF> m_folds;
    mutable int m_foldsKnown = 0;
    mutable QVector<double> m_lefts;
    mutable int m_leftsKnown = 0;
    // The bounds were handed out since the last change: the scene is told
    // before the next one.
    mutable bool m_boundsShown = false;
    // The children below this index know their index in the list.
    mutable int m_indicesKnown = 0;
    // The bounds of the children's truncated stacking values and how many
    // children hold each, standing while m_zKnown.
    mutable bool m_zKnown = false;
    mutable int m_zMax = 0;
    mutable int m_zMin = 0;
    mutable int m_zMaxCount = 0;
    mutable int m_zMinCount = 0;
};

#endif // TEXTGROUP_H
