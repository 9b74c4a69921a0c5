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
//    glyph applies its SoftTypes there and then, so that what they share,
//    Explode's random sequence for one, is drawn in glyph order.
// 2. On every core: those SoftTypes deform their glyphs, each glyph's in
//    list order, and the new bounds of the outline are worked out; a
//    glyph's work touches only its own outlines and its own SoftTypes.
// 3. On the GUI thread, in glyph order: the frames end (Pulse writes its
//    "time" there).
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
