#ifndef VIEWHOST_H
#define VIEWHOST_H

#include <QPointF>
#include <QRectF>
#include <QString>

// What a document view needs from the window around it: the textpad's
// nozzle pieces and timing, and the refreshes that follow a change. The main
// window is the host of every view; tests install their own. Without a host
// a view gets no nozzle pieces, the default intervals, and refreshes nothing.
class ViewHost
{
public:
    virtual ~ViewHost();

    // The next glyph, word or passage of the textpad for the nozzle; empty
    // when there is nothing to give.
    virtual QString nextPiece() = 0;
    // 2 glyph, 3 word, 4 passage.
    virtual int nozzleType() const = 0;
    // Milliseconds between nozzle pieces; 0 means one piece per click.
    virtual int nozzleInterval() const = 0;
    // Milliseconds between two reads of the textpad's file.
    virtual int textpadSyncInterval() const = 0;

    // Refresh everything shown from the active document.
    virtual void updateAll() = 0;
    // Refresh the textpad from the active document.
    virtual void updateTextpadPanel() = 0;
    virtual void showMousePosition(const QPointF &position) = 0;
    virtual void showSelectionArea(const QRectF &area) = 0;

    // The installed host (not owned), or null.
    static ViewHost *current();
    static void setCurrent(ViewHost *host);
};

#endif // VIEWHOST_H
