#include "commands/OutlineSnapshot.h"

#include "model/Glyph.h"

void OutlineSnapshot::record(Glyph *glyph)
{
    m_entries.append({glyph, *glyph->path()});
}

void OutlineSnapshot::restore() const
{
    for (const Entry &e : m_entries) {
        if (e.glyph)
            e.glyph->copyPathsFrom(e.paths);
    }
}

OutlineSnapshot OutlineSnapshot::retaken() const
{
    OutlineSnapshot now;
    for (const Entry &e : m_entries) {
        if (e.glyph)
            now.record(e.glyph);
    }
    return now;
}
