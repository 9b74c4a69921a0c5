#ifndef OUTLINESNAPSHOT_H
#define OUTLINESNAPSHOT_H

#include "model/GlyphPath.h"

#include <QList>
#include <QPointer>

class Glyph;

// Copies of glyph outlines (rest and current), each kept with its glyph, so
// that restoring gives every outline back to the glyph it came from whatever
// the tree looks like by then. A glyph destroyed in the meantime is skipped.
// The copies share the painter paths' data until the live outline changes.
class OutlineSnapshot
{
public:
    void record(Glyph *glyph);
    // Every recorded glyph still alive takes its copy back.
    void restore() const;
    // A snapshot of the same glyphs as they are now.
    OutlineSnapshot retaken() const;

    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return m_entries.size(); }

private:
    struct Entry
    {
        QPointer<Glyph> glyph;
        GlyphPath paths;
    };
    QList<Entry> m_entries;
};

#endif // OUTLINESNAPSHOT_H
