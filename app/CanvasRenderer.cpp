#include "app/CanvasRenderer.h"

#include "model/QVorrelScene.h"
#include "modal/Modal.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <limits>

namespace {

constexpr float PointsPerInch = 72.0f;
constexpr double InchesPerMetre = 39.3700787;
constexpr int ImageQuality = 100;

const QString ExportTitle = QStringLiteral("Export");

bool resolutionUsable(const QVorrelScene *scene)
{
    if (scene->exportResolution() >= 1)
        return true;
    Modal::warning(nullptr, ExportTitle, QStringLiteral("The export resolution must be at least 1 pixel per inch."));
    return false;
}

// Draws the canvas into the painter's device over the export size, at the
// largest size that keeps its shape, centred. (The scene's own render
// scales about the target's corner.)
void renderCanvas(QVorrelScene *scene, QPainter &painter)
{
    scene->beginRender(true);
    const QRectF source = scene->canvasRect();
    const QSizeF page(scene->exportWidth(), scene->exportHeight());
    const QSizeF fitted = source.size().scaled(page, Qt::KeepAspectRatio);
    const QRectF target(QPointF((page.width() - fitted.width()) / 2, (page.height() - fitted.height()) / 2), fitted);
    scene->render(&painter, target, source, Qt::KeepAspectRatio);
    scene->endRender();
    painter.end();
}

// A page side in whole points; a side that truncates to nothing keeps one
// point, as a page needs a size.
int pagePoints(int pixels, int resolution)
{
    return qMax(1, int(float(pixels) / float(resolution) * PointsPerInch));
}

} // namespace

bool CanvasRenderer::renderToImage(QVorrelScene *scene, const QString &format, const QString &fileName)
{
    if (!resolutionUsable(scene))
        return false;
    // Past 2 GB an image is beyond what image writers take, if it can be
    // allocated at all.
    const qint64 bytes = qint64(scene->exportWidth()) * scene->exportHeight() * 4;
    QImage image;
    if (bytes <= std::numeric_limits<int>::max())
        image = QImage(scene->exportWidth(), scene->exportHeight(), QImage::Format_ARGB32);
    if (image.isNull()) {
        Modal::warning(nullptr, ExportTitle,
                       QStringLiteral("An image of %1 x %2 pixels is too large to export.")
                           .arg(scene->exportWidth())
                           .arg(scene->exportHeight()));
        return false;
    }
    image.fill(Qt::transparent);
    const int dotsPerMetre = int(InchesPerMetre * scene->exportResolution() + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    renderCanvas(scene, painter);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, format.toLatin1().constData(), ImageQuality)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CanvasRenderer::renderToPDF(QVorrelScene *scene, const QString &fileName)
{
    if (!resolutionUsable(scene))
        return false;
    const int resolution = scene->exportResolution();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        // ExactMatch: the page keeps its size instead of snapping to a
        // paper size near it.
        writer.setPageSize(QPageSize(QSizeF(pagePoints(scene->exportWidth(), resolution),
                                            pagePoints(scene->exportHeight(), resolution)),
                                     QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(resolution);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return false;
        }
        renderCanvas(scene, painter);
    }
    return file.commit();
}
