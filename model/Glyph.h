#ifndef GLYPH_H
#define GLYPH_H

#include "model/TextObject.h"

#include <QFont>

class GlyphPath;

// The leaf of the text tree: one character drawn as a filled and stroked
// outline. It owns its outlines and its SoftTypes, which it runs once per
// play step. A line break is a glyph whose character is carriage return.
// A character outside the Basic Multilingual Plane (an emoji) is one glyph
// holding its surrogate pair.
class Glyph : public TextObject
{
    Q_OBJECT
public:
    static constexpr ushort LineBreak = 13;

    Glyph(const QChar &character, const QFont &font, const QColor &fill, const QColor &stroke,
          double strokeWidth, const QPointF &pos);
    // character: one UTF-16 unit, or a surrogate pair.
    Glyph(const QString &character, const QFont &font, const QColor &fill, const QColor &stroke,
          double strokeWidth, const QPointF &pos);
    // A glyph with the given outlines; nothing is built from the font (a
    // document being read supplies both outlines).
    Glyph(const QChar &character, const QFont &font, const QColor &fill, const QColor &stroke,
          double strokeWidth, const QPointF &pos, const GlyphPath &paths);
    Glyph(const QString &character, const QFont &font, const QColor &fill, const QColor &stroke,
          double strokeWidth, const QPointF &pos, const GlyphPath &paths);
    ~Glyph() override;

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

    // The character's first UTF-16 unit: the high surrogate of a pair.
    QChar character() const { return m_character.at(0); }
    bool isLineBreak() const { return character().unicode() == LineBreak; }
    const QFont &font() const { return m_font; }
    const QColor &fillColor() const { return m_fillColor; }
    const QColor &strokeColor() const { return m_strokeColor; }
    float strokeWidth() const { return m_strokeWidth; }
    GlyphPath *path() const { return m_path; }
    const QList<SoftType *> &softTypes() const { return m_softTypes; }

    // The advance of the character in its font, by which layout moves on.
    double advanceWidth() const;

    // Sets the character; rebuild false keeps the outlines as they are.
    // character: one UTF-16 unit, or a surrogate pair.
    void setCharacter(const QString &character, bool rebuild = true);
    void copyPathsFrom(const GlyphPath &other);

    // Moves element index of the current outline by a displacement given in
    // scene coordinates; an index outside the outline or a displacement that
    // is not finite changes nothing. Repaints nothing.
    void moveElementBy(int index, const QPointF &sceneDelta);

    // Rotates the glyph by angle degrees about a scene point.
    void rotateAbout(float angle, const QPointF &centre);

    // The SoftType list; the glyph owns what it holds. Removing never
    // deletes: the caller owns what it took out.
    void addSoftType(SoftType *softType);
    // Inserts at index (0..count) and takes ownership; false, leaving the
    // SoftType with the caller, when the index is out of range.
    bool insertSoftType(SoftType *softType, int index);
    void removeSoftTypeAt(int index);
    void removeSoftType(SoftType *softType);
    SoftType *findSoftType(const QString &name);
    const SoftType *findSoftTypeConst(const QString &name) const;

    // One play step: each enabled SoftType deforms the current outline.
    void applySoftTypes();
    // Whether a play step deforms the glyph at all: it is unlocked, visible
    // and carries SoftTypes.
    bool playsSoftTypes() const;
    // Keeps the bounds as they are now until the glyph's extent next changes
    // (aboutToReshape, reshaped, updateInScene). The play step keeps them
    // right after deforming: the scene and painting ask for them several
    // times a frame, and read them here instead of from the outline. An
    // element a step left not finite goes back to its rest place first.
    void keepBounds();

    // The text cut into what each glyph holds: one unit each, a surrogate
    // pair kept whole.
    static QStringList characters(const QString &text);

    // A copy for copy and paste: character, style, position, rotation, both
    // outlines and clones of the SoftTypes; unlinked, unlocked and visible.
    Glyph *cloneGlyph() const;

private:
    friend class TextObject;

    void rebuildOutline();
    // Puts each element of the current outline that is not finite (a point
    // flung past what a double or a float step holds) back at its rest
    // place: a document holding one could not be read again.
    void settleNonFiniteElements();
    // Repaints the glyph and every selected group above it, whose selection
    // box shows the lock state.
    void updateSelectedChain();

    // One unit, or a surrogate pair.
    QString m_character;
    QFont m_font;
    QColor m_fillColor;
    QColor m_strokeColor;
    float m_strokeWidth;
    GlyphPath *m_path;
    QList<SoftType *> m_softTypes;
    bool m_locked = false;
    bool m_boundsKept = false;
    QRectF m_keptBounds;
};

#endif // GLYPH_H
