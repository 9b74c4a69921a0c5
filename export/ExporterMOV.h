#ifndef EXPORTERMOV_H
#define EXPORTERMOV_H

#include "export/quicktime/QuickTime.h"
#include "model/Exporter.h"

#include <QImage>
#include <QString>
#include <cstdlib>
#include <memory>

class QTMovieFile;

// Records play runs of a document as a QuickTime movie. Each run (begin,
// exportFrame per tick, end) renders the canvas at the export size into a
// 32-bit frame buffer that the movie writer compresses straight from.
//
// The first run of an exporter made for a newly chosen file starts a new
// movie, which replaces an existing file of that name only once it is
// finished; every later run (and every run of an exporter made with
// keepExisting, the same file chosen again) appends to the movie in the
// file, whatever its codec, quality and export size: the movie keeps its
// frame size, and earlier frames the new codec and quality cannot continue
// are coded anew (Sorenson 3, which FFmpeg cannot encode, is refused at
// begin). A run that fails or writes no frame leaves the file as it was.
//
// Reading a long movie, copying or coding anew its earlier frames at begin
// and storing it at end run off the GUI thread; meanwhile a progress dialog
// ("Quicktime Export") shows how far they have got and the window paints.
// Cancel (not offered while storing) makes begin fail without a message,
// the movie as it was. The dialog, window-modal, keeps the user from closing
// the document meanwhile: the exporter is not deleted inside begin or end.
class ExporterMOV : public Exporter
{
public:
    ExporterMOV(int quality, int codec, bool keepExisting);
    ~ExporterMOV() override;

    bool begin(QVorrelScene *scene) override;
    bool exportFrame(QVorrelScene *scene) override;
    bool end() override;

    // Fill each frame with opaque black before rendering a canvas whose
    // background is not opaque; otherwise earlier frames show through.
    bool clearBackground() const { return m_clearBackground; }
    void setClearBackground(bool clear) { m_clearBackground = clear; }
    bool keepExisting() const { return m_keepExisting; }
    int quality() const { return m_quality; }
    int codec() const { return m_codec; }
    // The frame of the current run (null outside a run).
    const QImage &frame() const { return m_frame; }

    // The movie file of an export file name: ".mov" is added unless the
    // name ends in it, in any letter case.
    static QString movieFileName(const QString &exportFileName);

private:
    struct Free
    {
        void operator()(uchar *p) const { std::free(p); }
    };

    bool refuse(const QString &text);
    static OSErr showProgress(Movie movie, short message, short operation, Fixed percentDone, long refcon);

    int m_width = 0;
    int m_height = 0;
    QTMovieFile *m_movie = nullptr;
    QImage m_frame;
    std::unique_ptr<uchar, Free> m_buffer;
    int m_quality;
    int m_codec;
    bool m_clearBackground = true;
    bool m_keepExisting;
    // Frames of this run, and those the writer could not add to its movie.
    int m_frames = 0;
    int m_lostFrames = 0;
    // Within begin, a frame or end: events let through meanwhile find no run
    // to add to.
    bool m_working = false;
    bool m_cancelled = false;
};

#endif // EXPORTERMOV_H
