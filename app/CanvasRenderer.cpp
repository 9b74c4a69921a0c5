#include "app/CanvasRenderer.h"

#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "modal/Modal.h"
#include "modal/SaveFileDialog.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QVector>

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

void refuseSize(const QVorrelScene *scene)
{
    Modal::warning(nullptr, ExportTitle,
                   QStringLiteral("An image of %1 x %2 pixels is too large to export.")
                       .arg(scene->exportWidth())
                       .arg(scene->exportHeight()));
}

// A page side in points; the page layout keeps it in an int.
float sidePoints(int pixels, int resolution)
{
    return float(pixels) / float(resolution) * PointsPerInch;
}

// A page whose sides fit the page layout (the resolution usable).
bool pageUsable(const QVorrelScene *scene)
{
    const float limit = 2147483648.0f;
    if (sidePoints(scene->exportWidth(), scene->exportResolution()) < limit
        && sidePoints(scene->exportHeight(), scene->exportResolution()) < limit)
        return true;
    refuseSize(scene);
    return false;
}

// The rectangle the canvas takes on an export-size page: the largest that
// keeps its shape, centred. (The scene's own render scales about the
// target's corner.)
QRectF fittedTarget(const QVorrelScene *scene)
{
    const QSizeF page(scene->exportWidth(), scene->exportHeight());
    const QSizeF fitted = scene->canvasRect().size().scaled(page, Qt::KeepAspectRatio);
    return QRectF(QPointF((page.width() - fitted.width()) / 2, (page.height() - fitted.height()) / 2), fitted);
}

// Draws the canvas into the painter's device over the export size.
void renderCanvas(QVorrelScene *scene, QPainter &painter)
{
    scene->beginRender(true);
    scene->render(&painter, fittedTarget(scene), scene->canvasRect(), Qt::KeepAspectRatio);
    scene->endRender();
    painter.end();
}

// A page side in whole points; a side that truncates to nothing keeps one
// point, as a page needs a size.
int pagePoints(int pixels, int resolution)
{
    return qMax(1, int(sidePoints(pixels, resolution)));
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
        refuseSize(scene);
        return false;
    }
    image.fill(Qt::transparent);
    const int dotsPerMetre = int(InchesPerMetre * scene->exportResolution() + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    renderCanvas(scene, painter);

    QSaveFile file(fileName);
    if (!SaveFileDialog::openForWriting(file))
        return false;
    if (!image.save(&file, format.toLatin1().constData(), ImageQuality)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

namespace {

void setUpPages(QPdfWriter &writer, const QVorrelScene *scene)
{
    const int resolution = scene->exportResolution();
    // ExactMatch: the page keeps its size instead of snapping to a paper
    // size near it.
    writer.setPageSize(QPageSize(QSizeF(pagePoints(scene->exportWidth(), resolution),
                                        pagePoints(scene->exportHeight(), resolution)),
                                 QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(resolution);
}

// Draws the source area of the scene into the target; an empty rectangle
// would make the scene draw all of itself, or divide by zero.
void renderArea(QVorrelScene *scene, QPainter &painter, const QRectF &target, const QRectF &source)
{
    if (!source.isEmpty() && !target.isEmpty())
        scene->render(&painter, target, source, Qt::KeepAspectRatio);
}

// The text pages of a multipage PDF: the objects of one depth of the text
// tree (1 passage, 2 word, 3 glyph) shown one at a time, everything else of
// the text hidden. Every object of that depth gets its page, hidden or not;
// below it each object shows as the user left it. The caller puts back the
// visibility of everything.
class TextPages
{
public:
    TextPages(QVorrelScene *scene, QPainter &painter, QPdfWriter &writer, int pageDepth, const QRectF &source,
              const QRectF &target)
        : m_scene(scene), m_painter(painter), m_writer(writer), m_pageDepth(pageDepth), m_source(source),
          m_target(target)
    {
    }

    // Pages for the group's descendants, the group shown and its children
    // hidden; each child at the page depth (or above it, on the way down)
    // is shown in turn and hidden again.
    void showEachChild(TextGroup *group, int depth)
    {
        const QList<TextObject *> children = group->children();
        for (TextObject *child : children)
            child->setVisible(false);
        if (depth > m_pageDepth)
            return;
        for (TextObject *child : children) {
            const bool isGroup = child->textType() == TextObject::GroupType;
            // Above glyph depth only words and passages get pages: the
            // white space between words is not one.
            if (!isGroup && depth < GlyphDepth)
                continue;
            child->setVisible(true);
            if (depth == m_pageDepth)
                page();
            else
                showEachChild(static_cast<TextGroup *>(child), depth + 1);
            child->setVisible(false);
        }
    }

    // Starts a page after the first and draws the scene on it.
    void page()
    {
        if (!m_first)
            m_writer.newPage();
        m_first = false;
        renderArea(m_scene, m_painter, m_target, m_source);
    }

    bool first() const { return m_first; }

    static constexpr int GlyphDepth = 3;

private:
    QVorrelScene *m_scene;
    QPainter &m_painter;
    QPdfWriter &m_writer;
    int m_pageDepth;
    QRectF m_source;
    QRectF m_target;
    bool m_first = true;
};

// The visibility each object of the text tree was given itself, parents
// before children, and its return. (An object under a hidden group reads
// as hidden, so isVisible cannot tell what to give back.)
class KeptVisibility
{
public:
    explicit KeptVisibility(TextGroup *root)
    {
        for (TextIterator it(root, TextIterator::Forward | TextIterator::PreOrder); it.hasNext();) {
            TextObject *object = it.next();
            m_kept.append({object, object->isVisibleTo(object->parentItem())});
        }
    }

    void restore() const
    {
        for (const auto &kept : m_kept)
            kept.first->setVisible(kept.second);
    }

private:
    QVector<QPair<TextObject *, bool>> m_kept;
};

// Writes a PDF of the scene's pages through a saved file: paint draws the
// pages; the file there is replaced only when everything was written.
template<typename Paint>
bool writePDF(QVorrelScene *scene, const QString &fileName, const Paint &paint)
{
    if (!resolutionUsable(scene) || !pageUsable(scene))
        return false;
    QSaveFile file(fileName);
    if (!SaveFileDialog::openForWriting(file))
        return false;
    {
        QPdfWriter writer(&file);
        setUpPages(writer, scene);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return false;
        }
        paint(writer, painter);
    }
    return file.commit();
}

} // namespace

bool CanvasRenderer::renderToPDF(QVorrelScene *scene, const QString &fileName)
{
    return writePDF(scene, fileName, [scene](QPdfWriter &, QPainter &painter) { renderCanvas(scene, painter); });
}

bool CanvasRenderer::renderMultipagePDF(QVorrelScene *scene, const QString &fileName, int level, bool clip)
{
    return writePDF(scene, fileName, [=](QPdfWriter &writer, QPainter &painter) {
        QRectF source = scene->canvasRect();
        QRectF target = fittedTarget(scene);
        if (!clip) {
            // The whole text, scaled as the canvas is from screen to export
            // size; a canvas without width keeps the scale 1.
            source = scene->textSceneRect();
            const float f = scene->screenWidth() > 0 ? float(scene->exportWidth()) / float(scene->screenWidth()) : 1.0f;
            target = QRectF(source.x() * f, source.y() * f, source.width() * f, source.height() * f);
        }
        const QList<TextObject *> selected = scene->selectedObjects();
        const QColor background = scene->backgroundColor();
        const KeptVisibility visibility(scene->root());
        scene->beginRender(clip);
        scene->setBackgroundColor(Qt::transparent);

        // Every passage ends hidden: the last page is the canvas with its
        // background and no text.
        TextPages pages(scene, painter, writer, level >= 2 && level <= 4 ? 5 - level : 0, source, target);
        pages.showEachChild(scene->root(), 1);
        scene->setBackgroundColor(background);
        if (!pages.first())
            writer.newPage();
        renderArea(scene, painter, fittedTarget(scene), scene->canvasRect());
        visibility.restore();
        // Hiding an item drops its selection mark; the scene's list of
        // selected objects is untouched.
        for (TextObject *object : selected)
            object->setSelected(true);
        scene->endRender();
        painter.end();
    });
}
