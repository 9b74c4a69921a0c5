#ifndef QVORRELVIEW_H
#define QVORRELVIEW_H

#include <QGraphicsView>
#include <QPoint>
#include <QPointF>

#include <memory>

class Exporter;
class QMouseEvent;
class QVorrelScene;

// The widget of one open document. It creates and owns the document's
// scene, turns every mouse, wheel, key and timer event into calls of the
// scene's input and editing operations, pans and zooms itself, runs the
// play loop with its sequence export, the textpad nozzle, the textpad file
// sync and autosave, and saves the document. The scene handles no event of
// its own; what the view needs of the window around it goes through
// ViewHost.
//
// A left press on a glyph is held back for the double-click interval, so
// that the first click of a double click never reaches the scene; a move or
// the end of the interval hands it over, a double click drops it.
class QVorrelView : public QGraphicsView
{
    Q_OBJECT
public:
    // Autosave every `minutes` while the document is modified: to its own
    // file, or, numbered, to name_N.vrl with N running from 1 to
    // highestNumber and round again.
    struct AutosaveSettings
    {
        bool on = false;
        int minutes = 5;
        bool numbered = false;
        int highestNumber = 10;
        int nextNumber = 1;
    };

    explicit QVorrelView(QWidget *parent = nullptr);
    ~QVorrelView() override;

    QVorrelScene *scene() const { return m_scene; }

    // Whether the document has changes that are not saved.
    bool isModified() const { return m_modified; }
    // Marks the document modified without a history entry, for changes
    // kept with the document outside its history (the textpad's text).
    void markModified();
    // The scene point at the viewport centre is the canvas centre plus this.
    QPointF viewOffset() const { return m_viewOffset; }
    void setViewOffset(const QPointF &offset);
    void centerCanvas();

    // Zoom about a point of the viewport, which keeps its scene point.
    void zoomBy(double factor, const QPointF &viewportPoint);
    void zoomIn(const QPointF &viewportPoint);
    void zoomOut(const QPointF &viewportPoint);
    // Scale 1; the centre stays.
    void zoomActualSize();

    // Hand the stored left press or release to the scene.
    void processPress();
    void processRelease();

    // Starts or stops play: each tick of a 33 ms timer is one frame. A run
    // is one undo step.
    // With a sequence export armed, the exporter's begin and end bracket
    // the run: end once for every begin, also one that failed.
    bool isPlaying() const { return m_playTimer != 0; }
    void setPlaying(bool play);
    // One frame: the frame counter advances, the SoftTypes step and an
    // armed sequence export writes the frame. A frame that cannot be written
    // is reported once and disarms the export.
    void playFrame();
    // Sequence frames: an image in the format, a PDF page, or a movie frame
    // handed to the scene's exporter (the file name is the exporter's own).
    bool exportImageFrame(const QString &format);
    bool exportPdfFrame(const QString &fileName);
    void exportMovieFrame(const QString &fileName);

    // With the nozzle armed, a left press feeds textpad text at the point
    // instead of editing, and keeps feeding at the pointer at the textpad's
    // interval until the release.
    bool isNozzleArmed() const { return m_nozzleArmed; }
    // Disarming ends a running repeat.
    void setNozzleArmed(bool armed);
    // Places the textpad's next piece: with newText as a new passage at the
    // point (its white space trimmed), else through the scene's string
    // insertion. One undo step; an empty piece places nothing.
    void nozzleAt(const QPointF &scenePoint, bool newText);

    // Reads a UTF-8 text file into the document's textpad and keeps its
    // name; no history entry, and a text or name that changes marks the
    // document modified. A file that cannot be read, that is no regular
    // file or is larger than 16 MiB is reported, with never two such
    // warnings on screen at once, and changes nothing.
    bool loadTextpadFile(const QString &fileName);
    // Re-reads the textpad's file at the textpad's sync interval.
    bool isTextpadFileSync() const { return m_textpadFileTimer != 0; }
    void setTextpadFileSync(bool on);

    // Saving. The file is replaced only when everything was written; on any
    // failure an information box tells why, the old file stays as it was,
    // the document stays modified and the result is false. rename makes the
    // file the document's own.
    bool saveToFile(const QString &fileName, bool rename);
    // To the document's file, or through saveAs when it has none.
    bool save();
    // Asks for a file name; false when none was given.
    bool saveAs();
    // The numbered autosave, under the document's file name with "_N.vrl"
    // in place of its ".vrl" (any letter case), or after it when it has
    // none; N is the next number. A file name of 4 characters or fewer is
    // not autosaved. Clears the modified mark, though the document's own
    // file was not written.
    bool saveNumbered();

    const AutosaveSettings &autosaveSettings() const { return m_autosave; }
    void setAutosaveSettings(const AutosaveSettings &settings) { m_autosave = settings; }
    // Starts (again) the autosave timer when autosave is on; stops it.
    void startAutosave();
    void stopAutosave();
    bool isAutosaveRunning() const { return m_autosaveTimer != 0; }

public slots:
    void OnDocumentChanged();
    void OnMousePositionChanged(const QPointF &position);
    void OnSelectionAreaChanged(const QRectF &area);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A modified document asks whether to save it first; Cancel or a failed
    // save keeps the window. Play stops first.
    void closeEvent(QCloseEvent *event) override;
    // Tab is typed into the document, never used to move the focus on.
    bool focusNextPrevChild(bool next) override;

private:
    // The scene point of the canvas centre plus the view offset.
    QPointF offsetCentre() const;
    void stopClickTimer();
    bool selectionEmpty() const;
    // Hands a waiting press over at once.
    void resolveClick();
    void stopNozzleTimer();
    void showSaved();
    // Reports an unwritable sequence frame and disarms the export.
    void frameNotWritten(const QString &fileName);
    void autosaveTick();

    QVorrelScene *m_scene = nullptr;
    bool m_modified = false;
    QPointF m_viewOffset;
    bool m_panning = false;
    QPoint m_lastMousePos;
    std::unique_ptr<QMouseEvent> m_storedPress;
    std::unique_ptr<QMouseEvent> m_storedRelease;
    int m_clickTimer = 0;
    bool m_releasePending = false;
    int m_playTimer = 0;
    // The exporter whose begin opened the running play, for its end.
    Exporter *m_runExporter = nullptr;
    int m_textpadFileTimer = 0;
    bool m_nozzleArmed = false;
    int m_nozzleTimer = 0;
    int m_autosaveTimer = 0;
    AutosaveSettings m_autosave;
    // A textpad warning is on screen; the file sync adds no second one.
    bool m_textpadWarningShown = false;
    // A save runs, with its dialog and messages: the autosave waits.
    bool m_saving = false;
};

#endif // QVORRELVIEW_H
