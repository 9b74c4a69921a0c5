#ifndef CANVASRENDERER_H
#define CANVASRENDERER_H

#include <QString>

class QVorrelScene;

// Renders a document's canvas into a file at the document's export size:
// a raster image or a one-page PDF. The editing extras (grid, caret,
// selection) are hidden for the time of the rendering; a canvas of another
// shape than the export size is drawn centred at the largest size that
// fits. Still export and the sequence export of the play loop both come
// here.
//
// A resolution below 1, an image too large to allocate or a PDF page too
// large for its layout (over 2^31 points a side) is refused with a
// warning; a file that cannot be written is left to the caller to report.
// A file is replaced only when it was written completely, and only a
// regular one (a pipe or a device under the name is a file not written).
class CanvasRenderer
{
public:
    // One image in the format ("PNG", "BMP", "JPEG", "TIFF") at quality
    // 100, recording the export resolution. Pixels the canvas does not
    // cover opaquely stay transparent. True when the file was written.
    static bool renderToImage(QVorrelScene *scene, const QString &format, const QString &fileName);
    // One PDF page of the export size at the export resolution, each side
    // in whole points. True when the file was written.
    static bool renderToPDF(QVorrelScene *scene, const QString &fileName);
    // A PDF of export-size pages: one for each passage, word or glyph
    // (level 4, 3 or 2; another level gives none), hidden ones included,
    // drawn alone without background, then one of the canvas alone.
    // Clipped, a text page shows the canvas area; unclipped, the whole text
    // scaled by export width over screen width. The document's visibility,
    // selection and background are as before afterwards. True when the
    // file was written.
    static bool renderMultipagePDF(QVorrelScene *scene, const QString &fileName, int level, bool clip);
};

#endif // CANVASRENDERER_H
