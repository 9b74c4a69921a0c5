#include "export/ExporterMOV.h"

#include "export/QTMovieFile.h"
#include "modal/Modal.h"
#include "model/QVorrelScene.h"

#include <QCoreApplication>
#include <QPainter>
#include <climits>

namespace {
const char *const warningTitle = "Quicktime Export";
// The writer takes frame sizes as 16-bit values, and the painter addresses
// a frame's bytes with int offsets.
constexpr int maxSide = 32767;
constexpr qint64 maxFrameBytes = INT_MAX;
}

ExporterMOV::ExporterMOV(int quality, int codec, bool keepExisting)
    : m_quality(quality), m_codec(codec), m_keepExisting(keepExisting)
{
}

ExporterMOV::~ExporterMOV()
{
    ExporterMOV::end();
}

QString ExporterMOV::movieFileName(const QString &exportFileName)
{
    if (exportFileName.right(4).compare(QLatin1String(".mov"), Qt::CaseInsensitive) == 0)
        return exportFileName;
    return exportFileName + QLatin1String(".mov");
}

bool ExporterMOV::begin(QVorrelScene *scene)
{
    if (!scene || scene->exportFileName().isEmpty() || m_working)
        return false;
    // A run whose end never came (export switched off during play) is
    // finished before the next one starts.
    if (m_movie || m_buffer)
        ExporterMOV::end();
    const QString fileName = movieFileName(scene->exportFileName());

    m_width = scene->exportWidth();
    m_height = scene->exportHeight();
    const QString size = QString("%1 x %2").arg(m_width).arg(m_height);
    if (m_width < 1 || m_height < 1 || m_width > maxSide || m_height > maxSide
        || qint64(m_width) * m_height * 4 > maxFrameBytes)
        return refuse(QString("Unable to export frames of %1 pixels.").arg(size));

    m_movie = new QTMovieFile;
    if (!m_movie->initQuickTime()) {
        ExporterMOV::end();
        return false;
    }

    // Cleared, so that no stale memory shows through a translucent canvas.
    const size_t rowBytes = size_t(m_width) * 4;
    m_buffer.reset(static_cast<uchar *>(std::calloc(rowBytes, size_t(m_height))));
    if (m_buffer)
        m_frame = QImage(m_buffer.get(), m_width, m_height, int(rowBytes), QImage::Format_ARGB32_Premultiplied);
    if (m_frame.isNull())
        return refuse(QString("Unable to export frames of %1 pixels.").arg(size));
    const int dotsPerMetre = int(39.3700787 * scene->exportResolution() + 0.5);
    m_frame.setDotsPerMeterX(dotsPerMetre);
    m_frame.setDotsPerMeterY(dotsPerMetre);

    m_movie->setCompression(m_quality, CodecType(m_codec));
    m_movie->setProgressProc(&ExporterMOV::showProgress, reinterpret_cast<long>(this));
    OSErr refusal = noErr;
    m_working = true;
    const bool opened = m_movie->open(m_buffer.get(), k32BGRAPixelFormat, int16_t(m_width), int16_t(m_height),
                                      int32_t(rowBytes), fileName, m_keepExisting, &refusal);
    m_working = false;
    if (opened)
        return true;
    // Cancelled by the user: nothing to say, nothing kept.
    if (refusal == userCanceledErr) {
        ExporterMOV::end();
        return false;
    }
    if (refusal == noErr)
        return refuse("Unable to initialize Quicktime Graphics World");
    // The codec cannot compress frames of the size they are coded at (the
    // movie's when appending), or at all (Sorenson 3, which FFmpeg has no
    // encoder for).
    return refuse("Unable to Get Compression Size");
}

bool ExporterMOV::exportFrame(QVorrelScene *scene)
{
    // A first frame that copies the samples of other tracks lets events
    // through: a tick meanwhile adds nothing.
    if (!scene || !m_movie || m_working)
        return false;
    {
        QPainter painter(&m_frame);
        if (m_clearBackground && scene->backgroundColor().alpha() < 255)
            painter.fillRect(0, 0, m_width, m_height, Qt::black);
        scene->beginRender(true);
        scene->render(&painter, QRectF(0, 0, m_width, m_height), scene->canvasRect(), Qt::KeepAspectRatio);
        scene->endRender();
    }
    m_working = true;
    const bool written = m_movie->writeFrame();
    m_working = false;
    ++m_frames;
    // A writer that gave up has said why; count only what its movie misses.
    if (!written && m_movie->isEditing())
        ++m_lostFrames;
    return written;
}

bool ExporterMOV::end()
{
    if (m_working)
        return false;
    bool finished = true;
    if (QTMovieFile *movie = m_movie) {
        m_movie = nullptr;
        if (m_lostFrames > 0)
            Modal::warning(nullptr, warningTitle,
                           QString("%1 of %2 frames could not be added to the movie.")
                               .arg(m_lostFrames)
                               .arg(m_frames));
        const bool editing = movie->isEditing();
        m_working = true;
        const bool stored = movie->finish();
        m_working = false;
        // From now on the runs of this exporter add to the movie it wrote.
        if (stored)
            m_keepExisting = true;
        finished = !editing || stored;
        delete movie;
    }
    m_frame = QImage();
    m_buffer.reset();
    m_frames = 0;
    m_lostFrames = 0;
    return finished;
}

bool ExporterMOV::refuse(const QString &text)
{
    ExporterMOV::end();
    Modal::warning(nullptr, warningTitle, text);
    return false;
}

OSErr ExporterMOV::showProgress(Movie, short message, short operation, Fixed percentDone, long refcon)
{
    auto *exporter = reinterpret_cast<ExporterMOV *>(refcon);
    QString label;
    switch (operation) {
    case progressOpLoadMovieIntoRam:
        label = "Reading the movie...";
        break;
    case progressOpCopy:
        label = "Copying the movie's earlier frames...";
        break;
    case progressOpExportMovie:
        label = "Converting the movie's earlier frames...";
        break;
    default:
        label = "Finishing the movie...";
        break;
    }
    // Storing the movie, once begun, goes on: a run's frames are not lost.
    const bool cancellable = operation != progressOpFlatten;
    const int value = int((int64_t(percentDone) * 100) >> 16);
    const Modal::ProgressStep step = message == movieProgressOpen           ? Modal::ProgressOpen
                                     : message == movieProgressUpdatePercent ? Modal::ProgressUpdate
                                                                             : Modal::ProgressClose;
    if (step == Modal::ProgressOpen)
        exporter->m_cancelled = false;
    if (!Modal::progress(exporter, step, nullptr, warningTitle, label, value, 100, cancellable) && cancellable
        && step != Modal::ProgressClose)
        exporter->m_cancelled = true;
    // The window paints and its timers run; what the user does waits for
    // the dialog, which takes it once shown.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return exporter->m_cancelled ? userCanceledErr : noErr;
}
