#ifndef QVORRELSCENE_H
#define QVORRELSCENE_H

#include <QGraphicsScene>
#include <QList>
#include <QPointF>

class TextGroup;
class TextObject;

// The document scene: holds the text tree and the state its elements read
// when they paint.
class QVorrelScene : public QGraphicsScene
{
    Q_OBJECT
public:
    // Bits of viewFlags.
    enum ViewFlag { GridShown = 1, CaretShown = 2, SelectionShown = 4, WorkAreaShown = 8 };

    QVorrelScene(qreal x, qreal y, qreal width, qreal height, QObject *parent = nullptr);
    ~QVorrelScene() override;

    TextGroup *root() const { return m_root; }

    int viewFlags() const { return m_viewFlags; }
    void setViewFlags(int flags);
    bool isSelectionVisible() const { return m_viewFlags & SelectionShown; }
    bool extrasVisible() const { return m_extrasVisible; }
    void setExtrasVisible(bool visible);

    // The selected text objects in the order in which they were selected.
    const QList<TextObject *> &selectedObjects() const { return m_selectedObjects; }

    // Play.
    int frameCounter() const { return m_frameCounter; }
    void setFrameCounter(int frame) { m_frameCounter = frame; }
    // One play step: every glyph applies its SoftTypes.
    void stepSoftTypes();

    // Pointer state written by the view and the pointer operations.
    QPointF mousePosition() const { return m_mousePosition; }
    void setMousePosition(const QPointF &p) { m_mousePosition = p; }
    Qt::MouseButtons mouseButtons() const { return m_mouseButtons; }
    void setMouseButtons(Qt::MouseButtons buttons) { m_mouseButtons = buttons; }

private:
    TextGroup *m_root;
    bool m_extrasVisible = true;
    int m_viewFlags = CaretShown | SelectionShown | WorkAreaShown;
    QPointF m_mousePosition;
    Qt::MouseButtons m_mouseButtons = Qt::NoButton;
    int m_frameCounter = 0;
    QList<TextObject *> m_selectedObjects;
};

#endif // QVORRELSCENE_H
