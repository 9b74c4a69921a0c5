#ifndef QVORRELVIEW_H
#define QVORRELVIEW_H

#include <QGraphicsView>
#include <QPoint>
#include <QPointF>

#include <memory>

class QMouseEvent;
class QVorrelScene;

// The widget of one open document. It creates and owns the document's
// scene, turns every mouse, wheel, key and timer event into calls of the
// scene's input and editing operations, pans and zooms itself, and runs the
// play loop. The scene handles no event of its own.
//
// A left press on a glyph is held back for the double-click interval, so
// that the first click of a double click never reaches the scene; a move or
// the end of the interval hands it over, a double click drops it.
class QVorrelView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit QVorrelView(QWidget *parent = nullptr);
    ~QVorrelView() override;

    QVorrelScene *scene() const { return m_scene; }

    // Whether the document has changes that are not saved.
    bool isModified() const { return m_modified; }
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
    bool isPlaying() const { return m_playTimer != 0; }
    void setPlaying(bool play);

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
    // Tab is typed into the document, never used to move the focus on.
    bool focusNextPrevChild(bool next) override;

private:
    // The scene point of the canvas centre plus the view offset.
    QPointF offsetCentre() const;
    void stopClickTimer();
    bool selectionEmpty() const;
    // Hands a waiting press over at once.
    void resolveClick();

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
};

#endif // QVORRELVIEW_H
