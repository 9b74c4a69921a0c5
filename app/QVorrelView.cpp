#include "app/QVorrelView.h"

#include "app/CanvasRenderer.h"
#include "app/ViewHost.h"
#include "commands/CmdCombo.h"
#include "commands/CmdInsertGlyph.h"
#include "commands/CmdMoveCaretPoint.h"
#include "modal/Modal.h"
#include "modal/SaveFileDialog.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/RegularFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QTextStream>
#include <QTimerEvent>
#include <QWheelEvent>

#include <limits>

namespace {

// One wheel step zooms by this factor, in or out.
constexpr double ZoomStep = 1.15;
// Frame interval of play, in milliseconds.
constexpr int PlayInterval = 33;
// What a view without a host uses: the textpad's defaults.
constexpr int DefaultNozzleType = 2;
constexpr int DefaultNozzleInterval = 100;
constexpr int DefaultSyncInterval = 5000;
constexpr int PassageNozzle = 4;
// The largest textpad file read, far beyond any text fed to a nozzle. The
// Textpad dock takes a line of 16 Mi letters in about 0.3 s and a key typed
// in it in about 0.1 s (bench_hostile); at 64 Mi it is 1 s and 0.4 s, the
// window then all but frozen. Larger files (a log, a disk image named by
// mistake) are refused before they are read.
constexpr qint64 TextpadFileLimit = qint64(16) << 20;
constexpr int MillisecondsPerMinute = 60000;

const QString VrlSuffix = QStringLiteral(".vrl");

int nozzleType()
{
    ViewHost *host = ViewHost::current();
    return host ? host->nozzleType() : DefaultNozzleType;
}

int nozzleInterval()
{
    ViewHost *host = ViewHost::current();
    return host ? host->nozzleInterval() : DefaultNozzleInterval;
}

int syncInterval()
{
    ViewHost *host = ViewHost::current();
    return host ? host->textpadSyncInterval() : DefaultSyncInterval;
}

// Sequence kinds, as the scene's export kind names them.
enum ExportKind { BmpFrames = 1, JpegFrames, PdfFrames, PngFrames, TiffFrames, MovieFrames };

// A copy of a left-button press or release, to be handed over later.
std::unique_ptr<QMouseEvent> leftButtonCopy(QEvent::Type type, const QMouseEvent *event)
{
    return std::make_unique<QMouseEvent>(type, event->localPos(), event->windowPos(), event->screenPos(),
                                         Qt::LeftButton, event->buttons(), event->modifiers());
}

// Text typed with a key that has no row of its own. Control characters
// other than tab and line breaks (Escape, for one) are no text to set.
QString typedText(const QString &text)
{
    QString typed;
    for (const QChar c : text) {
        const bool control = c.category() == QChar::Other_Control;
        if (!control || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            typed.append(c);
    }
    return typed;
}

} // namespace

QVorrelView::QVorrelView(QWidget *parent)
    : QGraphicsView(parent)
{
    m_scene = new QVorrelScene(-32768, -32768, 65535, 65535);
    setScene(m_scene);
    setAlignment(Qt::AlignCenter);
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_scene->title());
    // Moves without a button arrive too: they hover and feed the SoftTypes.
    setAttribute(Qt::WA_MouseTracking);
    viewport()->setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing, false);
    centerCanvas();
    connect(m_scene, &QVorrelScene::documentChanged, this, &QVorrelView::OnDocumentChanged);
    connect(m_scene, &QVorrelScene::mousePositionChanged, this, &QVorrelView::OnMousePositionChanged);
    connect(m_scene, &QVorrelScene::selectionAreaChanged, this, &QVorrelView::OnSelectionAreaChanged);
}

QVorrelView::~QVorrelView()
{
    m_storedPress.reset();
    m_storedRelease.reset();
    m_scene->disconnect(this);
    delete m_scene;
}

// View offset and zoom ---------------------------------------------------

QPointF QVorrelView::offsetCentre() const
{
    return QPointF(m_scene->screenWidth() / 2 + m_viewOffset.x(), m_scene->screenHeight() / 2 + m_viewOffset.y());
}

void QVorrelView::setViewOffset(const QPointF &offset)
{
    m_viewOffset = offset;
    centerOn(offsetCentre());
}

void QVorrelView::centerCanvas()
{
    setViewOffset(QPointF(0, 0));
}

void QVorrelView::zoomBy(double factor, const QPointF &viewportPoint)
{
    const QPoint q = viewportPoint.toPoint();
    const QPointF before = mapToScene(q);
    scale(factor, factor);
    const QPointF after = mapToScene(q);
    setViewOffset(m_viewOffset + (before - after));
}

void QVorrelView::zoomIn(const QPointF &viewportPoint)
{
    zoomBy(ZoomStep, viewportPoint);
}

void QVorrelView::zoomOut(const QPointF &viewportPoint)
{
    zoomBy(1 / ZoomStep, viewportPoint);
}

void QVorrelView::zoomActualSize()
{
    setTransform(QTransform());
}

void QVorrelView::resizeEvent(QResizeEvent *event)
{
    centerOn(offsetCentre());
    QGraphicsView::resizeEvent(event);
}

// Mouse ----------------------------------------------------------------

void QVorrelView::stopClickTimer()
{
    if (m_clickTimer == 0)
        return;
    killTimer(m_clickTimer);
    m_clickTimer = 0;
}

void QVorrelView::resolveClick()
{
    if (m_clickTimer == 0)
        return;
    stopClickTimer();
    processPress();
}

void QVorrelView::processPress()
{
    if (!m_storedPress)
        return;
    const QPointF p = mapToScene(m_storedPress->pos());
    if (m_nozzleArmed) {
        nozzleAt(p, true);
        const int interval = nozzleInterval();
        if (interval != 0 && m_nozzleTimer == 0)
            m_nozzleTimer = startTimer(interval);
    } else {
        m_scene->handleMousePress(QEvent::MouseButtonPress, p);
    }
    if (m_releasePending) {
        processRelease();
        m_releasePending = false;
    }
}

void QVorrelView::processRelease()
{
    if (!m_storedRelease)
        return;
    if (m_nozzleArmed) {
        stopNozzleTimer();
        return;
    }
    const QPointF p = mapToScene(m_storedRelease->pos());
    m_scene->handleMouseRelease(QEvent::MouseButtonRelease, p, m_storedRelease->button(), m_storedRelease->buttons(),
                                m_storedRelease->modifiers());
}

void QVorrelView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // A press that no double click followed is a click of its own: it
        // goes to the scene before the new one is stored.
        resolveClick();
        m_storedPress = leftButtonCopy(QEvent::MouseButtonPress, event);
        m_releasePending = false;
        if (m_scene->playState() != 1 && !m_nozzleArmed && m_scene->isGlyphAt(mapToScene(event->pos())))
            m_clickTimer = startTimer(QApplication::doubleClickInterval());
        else
            processPress();
    } else if (event->button() == Qt::MiddleButton && m_scene->playState() != 1) {
        m_panning = true;
        setCursor(Qt::OpenHandCursor);
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_storedRelease = leftButtonCopy(QEvent::MouseButtonRelease, event);
        if (m_clickTimer == 0)
            processRelease();
        else
            m_releasePending = true;
    } else if (event->button() == Qt::MiddleButton) {
        m_panning = false;
        setCursor(Qt::ArrowCursor);
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // The waiting first press is dropped: the double click stands for it.
        stopClickTimer();
        if (!m_nozzleArmed)
            m_scene->handleMouseDoubleClick(QEvent::MouseButtonDblClick, mapToScene(event->pos()),
                                            event->button(), event->buttons(), event->modifiers());
    } else if (event->button() == Qt::MiddleButton) {
        zoomActualSize();
        centerCanvas();
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseMoveEvent(QMouseEvent *event)
{
    // A drag starts from the press without waiting.
    resolveClick();
    if (m_panning) {
        // The view is only ever scaled, never rotated.
        const QTransform m = transform();
        const QPoint d = m_lastMousePos - event->pos();
        setViewOffset(QPointF(m_viewOffset.x() + d.x() / m.m11(), m_viewOffset.y() + d.y() / m.m22()));
    } else if (!m_nozzleArmed) {
        // An armed nozzle only follows the pointer.
        m_scene->handleMouseMove(QEvent::MouseMove, mapToScene(event->pos()), event->button(), event->buttons(),
                                 event->modifiers());
    }
    m_lastMousePos = event->pos();
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::wheelEvent(QWheelEvent *event)
{
    // The larger of the two deltas, as a one-axis wheel reports it.
    const QPoint angle = event->angleDelta();
    const int delta = qAbs(angle.x()) > qAbs(angle.y()) ? angle.x() : angle.y();
    if (delta < 1)
        zoomOut(event->position());
    else
        zoomIn(event->position());
}

// Keys -----------------------------------------------------------------

bool QVorrelView::selectionEmpty() const
{
    return m_scene->selectedObjects().isEmpty();
}

void QVorrelView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    const bool empty = selectionEmpty();
    const float step = (event->modifiers() & Qt::ShiftModifier) ? 10.0f : 1.0f;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->removeSelected();
        break;
    case Qt::Key_Backspace:
        if (empty)
            m_scene->backspace();
        else
            m_scene->removeSelected();
        break;
    case Qt::Key_Tab:
        m_scene->insertCharacterAtCaret(QChar(9));
        break;
    case Qt::Key_Space:
        m_scene->insertCharacterAtCaret(QChar(32));
        break;
    case Qt::Key_Return:
        m_scene->insertCharacterAtCaret(QChar(13));
        break;
    case Qt::Key_Left:
        if (empty)
            m_scene->moveCaretLeft();
        else
            m_scene->moveSelected(-step, 0);
        break;
    case Qt::Key_Right:
        if (empty)
            m_scene->moveCaretRight();
        else
            m_scene->moveSelected(step, 0);
        break;
    case Qt::Key_Up:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->moveSelected(0, -step);
        break;
    case Qt::Key_Down:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->moveSelected(0, step);
        break;
    default:
        m_scene->insertStringAtCaret(typedText(event->text()));
        break;
    }
}

bool QVorrelView::focusNextPrevChild(bool)
{
    return false;
}

// Play and timers ------------------------------------------------------

void QVorrelView::setPlaying(bool play)
{
    if (play == isPlaying())
        return;
    if (play) {
        m_scene->setPlayState(true);
        Exporter *exporter = m_scene->exporter();
        if (m_scene->exportArmed() && exporter) {
            // The exporter tells the user itself why it cannot begin; the
            // run then plays without export.
            m_runExporter = exporter;
            if (!exporter->begin(m_scene))
                m_scene->setExportArmed(false);
        }
        m_playTimer = startTimer(PlayInterval);
        return;
    }
    // The timer goes first, so that the refresh after the run's undo step
    // finds the view stopped.
    killTimer(m_playTimer);
    m_playTimer = 0;
    m_scene->setPlayState(false);
    // An exporter replaced during the run was ended when it was deleted.
    if (m_runExporter && m_runExporter == m_scene->exporter())
        m_runExporter->end();
    m_runExporter = nullptr;
}

void QVorrelView::playFrame()
{
    m_scene->setFrameCounter(m_scene->frameCounter() + 1);
    m_scene->stepSoftTypes();
    if (m_scene->exportArmed()) {
        switch (m_scene->exportKind()) {
        case BmpFrames:
            exportImageFrame(QStringLiteral("BMP"));
            break;
        case JpegFrames:
            exportImageFrame(QStringLiteral("JPEG"));
            break;
        case PdfFrames:
            exportPdfFrame(m_scene->sequenceFileName());
            break;
        case PngFrames:
            exportImageFrame(QStringLiteral("PNG"));
            break;
        case TiffFrames:
            exportImageFrame(QStringLiteral("TIFF"));
            break;
        case MovieFrames:
            exportMovieFrame(m_scene->exportFileName());
            break;
        default:
            break;
        }
        m_scene->setExportFrameNumber(m_scene->exportFrameNumber() + 1);
    }
}

void QVorrelView::frameNotWritten(const QString &fileName)
{
    // Disarmed first: the frames that tick while the box is open write
    // nothing and ask nothing.
    m_scene->setExportArmed(false);
    if (ViewHost *host = ViewHost::current())
        host->updateAll();
    Modal::warning(this, QStringLiteral("Export Sequence"),
                   QStringLiteral("Unable to write the frame '%1'. The sequence export is turned off.")
                       .arg(QDir::toNativeSeparators(fileName)));
}

bool QVorrelView::exportImageFrame(const QString &format)
{
    const QString fileName = m_scene->sequenceFileName();
    const bool written = CanvasRenderer::renderToImage(m_scene, format, fileName);
    if (!written)
        frameNotWritten(fileName);
    return written;
}

bool QVorrelView::exportPdfFrame(const QString &fileName)
{
    const bool written = CanvasRenderer::renderToPDF(m_scene, fileName);
    if (!written)
        frameNotWritten(fileName);
    return written;
}

void QVorrelView::exportMovieFrame(const QString &)
{
    if (Exporter *exporter = m_scene->exporter())
        exporter->exportFrame(m_scene);
}

void QVorrelView::timerEvent(QTimerEvent *event)
{
    const int id = event->timerId();
    if (id == m_clickTimer) {
        resolveClick();
    } else if (id == m_playTimer) {
        playFrame();
    } else if (id == m_textpadFileTimer) {
        if (m_scene->textpadFileName().isEmpty())
            return;
        loadTextpadFile(m_scene->textpadFileName());
        if (ViewHost *host = ViewHost::current())
            host->updateTextpadPanel();
    } else if (id == m_nozzleTimer) {
        nozzleAt(mapToScene(m_lastMousePos), nozzleType() == PassageNozzle);
    } else if (id == m_autosaveTimer) {
        autosaveTick();
    } else {
        QGraphicsView::timerEvent(event);
    }
}

// Nozzle and textpad ---------------------------------------------------

void QVorrelView::stopNozzleTimer()
{
    if (m_nozzleTimer == 0)
        return;
    killTimer(m_nozzleTimer);
    m_nozzleTimer = 0;
}

void QVorrelView::setNozzleArmed(bool armed)
{
    m_nozzleArmed = armed;
    if (!armed)
        stopNozzleTimer();
}

void QVorrelView::nozzleAt(const QPointF &scenePoint, bool newText)
{
    ViewHost *host = ViewHost::current();
    const QString piece = host ? host->nextPiece() : QString();
    if (piece.isEmpty())
        return;
    if (!newText) {
        m_scene->insertString(piece, scenePoint, false);
        return;
    }
    // A new passage at the point: the caret goes there, the first glyph
    // stands at the point and the others follow it along the caret.
    QString text = piece.trimmed();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.isEmpty())
        return;
    auto *combo = new CmdCombo(m_scene, QStringLiteral("Unknown Combo Command"));
    combo->add(new CmdMoveCaretPoint(m_scene, float(scenePoint.x()), float(scenePoint.y())), false);
    const QPointF caretPos = m_scene->caret()->pos();
    const QStringList characters = Glyph::characters(text);
    for (int i = 0; i < characters.size(); ++i) {
        const QPointF pos = i == 0 ? scenePoint : caretPos;
        auto *glyph = new Glyph(characters.at(i), m_scene->textFont(), m_scene->fillColor(), m_scene->strokeColor(),
                                double(m_scene->strokeWidth()), pos);
        combo->add(new CmdInsertGlyph(m_scene, glyph, i != 0), false);
    }
    m_scene->executeCommand(combo);
}

bool QVorrelView::loadTextpadFile(const QString &fileName)
{
    const QString unreadable = QStringLiteral("It seems Vorrel can not open the file. ");
    QFile file(fileName);
    QString error;
    QString refusal;
    QByteArray bytes;
    switch (RegularFile::open(file, &error)) {
    case RegularFile::Unopened:
        refusal = unreadable;
        break;
    case RegularFile::NotRegular:
        refusal = QStringLiteral("The textpad reads only a regular file, not a pipe or a device.");
        break;
    case RegularFile::Opened:
        // A file that grows meanwhile is read no further than the limit.
        if (file.size() <= TextpadFileLimit)
            bytes = file.read(TextpadFileLimit + 1);
        if (file.size() > TextpadFileLimit || bytes.size() > TextpadFileLimit)
            refusal = QStringLiteral("The file is larger than the textpad takes (16 MiB).");
        else if (file.error() != QFileDevice::NoError)
            refusal = unreadable;
        break;
    }
    if (!refusal.isEmpty()) {
        // The file sync ticks on while the box waits for Ok.
        if (m_textpadWarningShown)
            return false;
        m_textpadWarningShown = true;
        Modal::warning(this, QStringLiteral("Load Textpad"), refusal);
        m_textpadWarningShown = false;
        return false;
    }
    QTextStream in(bytes);
    in.setCodec("UTF-8");
    const QString text = in.readAll();
    // The text and the file's name are kept with the document: a change
    // must be saved, as one typed into the textpad.
    if (text != m_scene->textpadText() || fileName != m_scene->textpadFileName()) {
        m_scene->setTextpadText(text);
        m_scene->setTextpadFileName(fileName);
        markModified();
    }
    return true;
}

void QVorrelView::setTextpadFileSync(bool on)
{
    if (on == isTextpadFileSync())
        return;
    if (on) {
        m_textpadFileTimer = startTimer(syncInterval());
    } else {
        killTimer(m_textpadFileTimer);
        m_textpadFileTimer = 0;
    }
}

// Saving ---------------------------------------------------------------

void QVorrelView::markModified()
{
    setWindowTitle(QStringLiteral("%1*").arg(m_scene->title()));
    m_modified = true;
}

void QVorrelView::showSaved()
{
    setWindowTitle(m_scene->title());
    m_modified = false;
}

bool QVorrelView::saveToFile(const QString &fileName, bool rename)
{
    const QScopedValueRollback<bool> saving(m_saving, true);
    // The saved file is renamed over what stands under the name: a pipe or
    // a device is not replaced.
    QSaveFile file(fileName);
    QString unopened;
    if (!SaveFileDialog::openForWriting(file, &unopened)) {
        Modal::information(this, QStringLiteral("Unable to open file"), unopened);
        return false;
    }
    setCursor(Qt::WaitCursor);
    // The file is replaced only when the whole document reached it.
    const bool written = DocumentStream::write(&file, *m_scene) && file.commit();
    setCursor(Qt::ArrowCursor);
    if (!written) {
        const QString why = file.errorString();
        file.cancelWriting();
        Modal::information(this, QStringLiteral("Unable to open file"), why);
        return false;
    }
    if (rename)
        m_scene->setFileName(fileName);
    showSaved();
    return true;
}

bool QVorrelView::save()
{
    if (m_scene->fileName().isEmpty())
        return saveAs();
    return saveToFile(m_scene->fileName(), true);
}

bool QVorrelView::saveAs()
{
    QString suggested = m_scene->fileName();
    if (suggested.isEmpty())
        suggested = QDir::toNativeSeparators(QDir::homePath() + QLatin1Char('/') + m_scene->title() + VrlSuffix);
    const QScopedValueRollback<bool> saving(m_saving, true);
    // The name is used as it was chosen (no extension is added); an existing
    // file is asked about.
    const QString chosen =
        SaveFileDialog::getSaveFileName(this, QStringLiteral("Save"), suggested, QStringLiteral("Vorrel Files (*.vrl)"));
    if (chosen.isEmpty())
        return false;
    return saveToFile(chosen, true);
}

bool QVorrelView::saveNumbered()
{
    QString name = m_scene->fileName();
    if (name.size() <= VrlSuffix.size())
        return false;
    if (name.endsWith(VrlSuffix, Qt::CaseInsensitive))
        name.chop(VrlSuffix.size());
    name += QStringLiteral("_%1").arg(m_autosave.nextNumber) + VrlSuffix;
    if (!saveToFile(name, false))
        return false;
    m_autosave.nextNumber = m_autosave.nextNumber < m_autosave.highestNumber ? m_autosave.nextNumber + 1 : 1;
    return true;
}

void QVorrelView::startAutosave()
{
    if (!m_autosave.on)
        return;
    stopAutosave();
    const qint64 interval = qint64(qMax(1, m_autosave.minutes)) * MillisecondsPerMinute;
    m_autosaveTimer = startTimer(int(qMin<qint64>(interval, std::numeric_limits<int>::max())));
}

void QVorrelView::stopAutosave()
{
    if (m_autosaveTimer == 0)
        return;
    killTimer(m_autosaveTimer);
    m_autosaveTimer = 0;
}

void QVorrelView::autosaveTick()
{
    // A save whose message still waits for Ok is not begun again.
    if (!m_modified || m_saving)
        return;
    if (m_autosave.numbered)
        saveNumbered();
    else
        save();
}

void QVorrelView::closeEvent(QCloseEvent *event)
{
    if (isPlaying())
        setPlaying(false);
    else if (m_scene->playState() == 1)
        m_scene->setPlayState(false);
    if (m_modified) {
        const QMessageBox::StandardButton answer = Modal::information(
            this, QStringLiteral("Save"), QStringLiteral("Save '%1' before closing?").arg(m_scene->title()),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        // Only No discards the changes; a closed box keeps the window.
        const bool keep = answer == QMessageBox::Yes ? !save() : answer != QMessageBox::No;
        if (keep) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

// Slots ----------------------------------------------------------------

void QVorrelView::OnDocumentChanged()
{
    markModified();
    if (ViewHost *host = ViewHost::current())
        host->updateAll();
}

void QVorrelView::OnMousePositionChanged(const QPointF &position)
{
    if (ViewHost *host = ViewHost::current())
        host->showMousePosition(position);
}

void QVorrelView::OnSelectionAreaChanged(const QRectF &area)
{
    if (ViewHost *host = ViewHost::current())
        host->showSelectionArea(area);
}
