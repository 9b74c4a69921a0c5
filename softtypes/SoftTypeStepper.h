#ifndef SOFTTYPESTEPPER_H
#define SOFTTYPESTEPPER_H

class TextGroup;

// One play step of every glyph under a root, spread over the machine's
// cores with the same numbers as a step glyph after glyph:
//
// 1. On the GUI thread, in glyph order: each glyph whose SoftTypes all
//    deform alone (SoftType::deformsAlone) has them begin their frame
//    (scene state, the glyph's scene transformation), and when one of them
//    deforms the scene is told once of the glyph's change. Every other
//    glyph applies its SoftTypes there and then.
// 2. On every core: those SoftTypes deform their glyphs, each glyph's in
//    list order, and the new bounds of the outline are worked out and kept
//    in the glyph; a glyph's work touches only its own outlines, bounds and
//    SoftTypes. A glyph stops before its first SoftType that draws random
//    values (Explode) and counts the values it will draw. Passes 1 and 2
//    overlap: the glyphs begun go to the helpers batch by batch, which
//    deform one batch while the GUI thread begins the next.
// 3. Only when a glyph draws: on the GUI thread, in glyph order, each such
//    glyph is given a generator standing where its values fall in the
//    process-wide sequence, which moves on past them (a glyph with two
//    drawing SoftTypes, whose count only the first one's values decide,
//    finishes there, drawing from the sequence itself); then on every core
//    those glyphs finish deforming, each drawing from its own generator.
// 4. On the GUI thread, in glyph order: the frames end.
class SoftTypeStepper
{
public:
    static void step(TextGroup *root);

    // The number of threads that deform, the GUI thread included; 0, the
    // default, means one per core the process may run on.
    static void setThreadCount(int count);
    static int threadCount();
};

#endif // SOFTTYPESTEPPER_H
