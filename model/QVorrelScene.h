#ifndef QVORRELSCENE_H
#define QVORRELSCENE_H

#include "commands/CmdResult.h"
#include "model/TextPointer.h"

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QGraphicsScene>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Canvas;
class Caret;
class Cmd;
class CmdCombo;
class Exporter;
class Glyph;
class Grid;
class QGraphicsRectItem;
class Selection;
class SoftType;
class TextGroup;
class TextObject;

// One document: the text tree with the furniture items around it (canvas,
// grid, caret, selection box, rubber band), the text style for new glyphs,
// the canvas and export settings, the view switches, the selection, the
// undo history and the play state. Every change of the document is a
// command run through executeCommand.
class QVorrelScene : public QGraphicsScene
{
    Q_OBJECT
public:
    // Bits of viewFlags.
    enum ViewFlag { GridShown = 1, CaretShown = 2, SelectionShown = 4, WorkAreaShown = 8 };
    // The history keeps at most this many commands.
    static constexpr int MaxHistory = 511;

    QVorrelScene(qreal x, qreal y, qreal width, qreal height, QObject *parent = nullptr);
    ~QVorrelScene() override;

    TextGroup *root() const { return m_root; }
    Canvas *canvas() const { return m_canvas; }
    Grid *grid() const { return m_grid; }
    Caret *caret() const { return m_caret; }
    Selection *selection() const { return m_selection; }
    QGraphicsRectItem *selectionArea() const { return m_selectionArea; }

    const TextPointer &textPointer() const { return m_textPointer; }
    void setTextPointer(const TextPointer &pointer) { m_textPointer = pointer; }

    // History.
    // Runs the command and takes it over; true when it changed the document.
    bool executeCommand(Cmd *cmd);
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    bool isLastDone(Cmd *cmd) const;
    const QList<Cmd *> &history() const { return m_history; }
    int historyIndex() const { return m_historyIndex; }
    bool isUndoEnabled() const { return m_undoEnabled; }
    bool isRedoEnabled() const { return m_redoEnabled; }
    void setUndoEnabled(bool enabled) { m_undoEnabled = enabled; }
    void setRedoEnabled(bool enabled) { m_redoEnabled = enabled; }
    void clearHistory();

    // Play.
    int playState() const { return m_playState; }
    void setPlayStateValue(int state) { m_playState = state; }
    // Starts or stops play. Starting hides the extras and records the
    // outlines in a pending "Apply SoftTypes" command; stopping shows the
    // extras as they were, executes that command, so that the run is one
    // undo step, and sets the frame counter back to 0.
    void setPlayState(bool playing);
    Cmd *pendingSimulate() const { return m_pendingSimulate; }
    int frameCounter() const { return m_frameCounter; }
    void setFrameCounter(int frame) { m_frameCounter = frame; }
    bool playSavedExtras() const { return m_playSavedExtras; }
    // One play step: every glyph applies its SoftTypes.
    void stepSoftTypes();

    // Text style for new glyphs; the caret mirrors it.
    const QFont &textFont() const { return m_textFont; }
    void setFont(const QFont &font);
    int fontSize() const;
    void setFontSize(int points);
    QString fontStyleName() const;
    void setFontStyle(const QString &style);
    const QColor &fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color);
    const QColor &strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor &color);
    float strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(float width) { m_strokeWidth = width; }

    // Canvas and export settings. The largest sizes the canvas dialog gives;
    // a document keeps any size as it was stored (32-bit numbers, the
    // resolution in 16 bits), at least 1.
    static constexpr int MaxScreenExtent = 65535;
    static constexpr int MaxExportExtent = 999999999;
    static constexpr int MaxResolution = 32767;
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    int exportWidth() const { return m_exportWidth; }
    int exportHeight() const { return m_exportHeight; }
    int exportResolution() const { return m_exportResolution; }
    const QColor &backgroundColor() const { return m_backgroundColor; }
    void setScreenSize(int width, int height);
    void setScreenWidth(int width);
    void setScreenHeight(int height);
    void setBackgroundColor(const QColor &color);
    void setExportSettings(int width, int height, int resolution);
    void updateCanvas();
    // The grid spacing (kept within 2..32767) and the checkerboard cell size.
    void setGridSpacing(int spacing);
    int snapFlags() const { return m_snapFlags; }
    void setSnapFlags(int flags) { m_snapFlags = flags; }
    QRectF canvasRect() const;
    QRectF textSceneRect() const;
    QRectF selectionBoundingRect() const;

    // Export.
    const QString &fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    bool exportArmed() const { return m_exportArmed; }
    void setExportArmed(bool armed) { m_exportArmed = armed; }
    int exportKind() const { return m_exportKind; }
    Exporter *exporter() const { return m_exporter; }
    // Replaces the exporter (the previous one is deleted) and the kind.
    void setExporter(int kind, Exporter *exporter);
    const QString &exportFileName() const { return m_exportFileName; }
    void setExportFileName(const QString &name) { m_exportFileName = name; }
    int exportFrameNumber() const { return m_exportFrameNumber; }
    void setExportFrameNumber(int number) { m_exportFrameNumber = number; }
    // Bracket every rendering of the canvas for export: no background
    // around the page, no checkerboard, no extras.
    void beginRender(bool clip);
    void endRender();

    // View switches.
    int viewFlags() const { return m_viewFlags; }
    void setViewFlags(int flags);
    bool isGridVisible() const { return m_viewFlags & GridShown; }
    bool isCaretVisible() const { return m_viewFlags & CaretShown; }
    bool isSelectionVisible() const { return m_viewFlags & SelectionShown; }
    bool isWorkAreaVisible() const { return m_viewFlags & WorkAreaShown; }
    void toggleGridVisible();
    void toggleCaretVisible();
    void toggleSelectionVisible();
    void toggleWorkAreaVisible();
    bool extrasVisible() const { return m_extrasVisible; }
    void showExtras();
    void hideExtras();
    void setExtrasVisible(bool visible);
    void toggleExtrasVisible();

    // Textpad text kept with the document.
    const QString &textpadText() const { return m_textpadText; }
    void setTextpadText(const QString &text) { m_textpadText = text; }
    const QString &textpadFileName() const { return m_textpadFileName; }
    void setTextpadFileName(const QString &name) { m_textpadFileName = name; }

    // Pointer state written by the view and the pointer operations.
    QPointF mousePosition() const { return m_mousePosition; }
    // Stores the position and emits mousePositionChanged.
    void setMousePosition(const QPointF &p);
    Qt::MouseButtons mouseButtons() const { return m_mouseButtons; }
    void setMouseButtons(Qt::MouseButtons buttons) { m_mouseButtons = buttons; }
    QPointF pressPoint() const { return m_pressPoint; }
    void setPressPoint(const QPointF &p) { m_pressPoint = p; }
    bool pressedOnSelection() const { return m_pressedOnSelection; }
    void setPressedOnSelection(bool on) { m_pressedOnSelection = on; }
    bool pressedOnRotateHandle() const { return m_pressedOnRotateHandle; }
    void setPressedOnRotateHandle(bool on) { m_pressedOnRotateHandle = on; }

    // Selection, hit tests and tree edits.
    // The selected objects in the order in which they were selected.
    const QList<TextObject *> &selectedObjects() const { return m_selectedObjects; }
    // The selected objects that are not locked, in selection order.
    QList<TextObject *> selectedUnlocked() const;
    // Selects or deselects one object, or with recursive its whole subtree.
    // Selecting deselects the object's selected ancestors and descendants;
    // a hidden object cannot be selected.
    void setSelected(TextObject *object, bool select, bool recursive);
    // Makes exactly these objects selected, in this order.
    void restoreSelection(const QList<TextObject *> &objects);
    // The topmost unlocked, visible glyph / selected object under a point;
    // within, when given, limits the glyph search to that subtree.
    TextObject *glyphAt(const QPointF &scenePoint, TextObject *within = nullptr) const;
    bool isGlyphAt(const QPointF &scenePoint) const { return glyphAt(scenePoint); }
    TextObject *selectedObjectAt(const QPointF &scenePoint) const;
    void placeCaretAt(float x, float y);
    // Takes a child out of its group and out of the scene, deselecting its
    // subtree; null when there is no such child.
    TextObject *takeChildAt(TextGroup *group, int index);
    TextObject *removeChild(TextGroup *group, TextObject *child);
    TextObject *takeLastChild(TextGroup *group);
    // Takes every child out of the group and out of the scene, deselecting
    // them, and returns them to the caller.
    QList<TextObject *> clearGroup(TextGroup *group);
    // Takes the objects out of their groups one after another, as
    // takeChildAt would each, and returns the index each was taken at (-1
    // for an object in no group). An object may be listed before its group,
    // never after it. First they and everything below them leave the
    // selection and the hover, and the scene: each object whose group stays,
    // with its subtree.
    QList<int> takeObjects(const QList<TextObject *> &objects);

    // Hover highlight of the object under the mouse.
    TextObject *hoveredObject() const { return m_hoveredObject; }
    void setHovered(TextObject *object);

    // The document's tab title.
    QString title() const;
    void moveCaretBy(float dx, float dy);

    // Pointer input. The view hands over every mouse event; only the scene
    // position and the modifiers are read. While the document plays only
    // moves count, and they only report the mouse position; a release only
    // hides a rubber band left from before play.
    void handleMousePress(QEvent::Type type, const QPointF &scenePos);
    void handleMouseMove(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
                         const Qt::MouseButtons &buttons, const Qt::KeyboardModifiers &modifiers);
    void handleMouseRelease(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
                            const Qt::MouseButtons &buttons, const Qt::KeyboardModifiers &modifiers);
    void handleMouseDoubleClick(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
                                const Qt::MouseButtons &buttons, const Qt::KeyboardModifiers &modifiers);
    // The nearest grid point when snapping is on, else the point.
    QPointF snapPoint(const QPointF &p) const;
    // Shows the rubber band between the two corners and emits
    // selectionAreaChanged. Swapped corners are ordered, the larger
    // coordinate truncated to whole units; a band with neither width nor
    // height is hidden (a line is shown).
    void setSelectionArea(float x1, float y1, float x2, float y2);
    // Move or rotate the selection as one step; the caret follows when it
    // stands after selected text.
    void moveSelected(float dx, float dy);
    void rotateSelectedAbout(float degrees, const QPointF &centre);
    void rotateSelectedAboutCentre(float degrees);

    // Editing operations: each builds one command, or one composite, and
    // executes it, so that one user action is one undo step.
    void removeSelected();
    void moveCaretLeft();
    void moveCaretRight();
    // Removes the glyph before the caret, or moves the caret left where
    // there is none.
    void backspace();
    void insertCharacterAtCaret(QChar c);
    void insertStringAtCaret(const QString &s);
    // Inserts at the caret (atCaret) or keeping pos; a selection is
    // deselected in the same step. Two characters or more are one
    // "Insert String" step; "\r\n" and "\n" become one line break, a
    // surrogate pair one glyph.
    void insertCharacter(QChar c, const QPointF &pos, bool atCaret);
    void insertString(const QString &s, const QPointF &pos, bool atCaret);
    // Pastes clones of the glyphs where they stand and selects them.
    void insertGlyphs(const QList<Glyph *> &glyphs);
    void selectAll(int mode, int level);
    void selectSame(int mode, int level);
    // Arrange modes 0..3: to front, forward, backward, to back.
    void arrangeSelected(int mode);
    void hideSelected();
    void lockSelected();
    void unlockSelected();
    void setObjectLocked(TextObject *object, bool lock);
    void setObjectVisible(TextObject *object, bool visible);
    // A SoftType name is unique on a glyph: adding or pasting a name the
    // glyph carries gives that SoftType the new values instead.
    void addSoftType(const SoftType *prototype);
    void pasteSoftTypes(const QList<SoftType *> &softTypes);
    void editSoftType(const QString &name, const QHash<QString, QVariant> &values);
    void removeSoftType(const QString &name);
    void removeAllSoftTypes();
    void removeSoftTypesOfKind(const QString &kind);

    // Queries for the clipboard, the menus and sequence export.
    QString selectedText() const;
    QStringList selectedSoftTypeKinds() const;
    // The export file name with the frame number, five digits at least,
    // before the suffix: /out/clip.png at frame 7 is /out/clip_00007.png.
    QString sequenceFileName() const;

signals:
    void documentChanged();
    void mousePositionChanged(const QPointF &position);
    void selectionAreaChanged(const QRectF &area);

private:
    void centreSelectionBox();
    void recentreSelection();
    CmdResult run(Cmd *cmd, CmdResult (Cmd::*step)());
    // After a command ran, executed, undone or redone: tells of a changed
    // document and sets the selection box afresh after a selection change.
    void afterStep(const CmdResult &result);
    void caretFollowsFont();
    void showViewItem(int flag, bool shown);
    void selectOne(TextObject *object);
    void deselectOne(TextObject *object);
    void deselectSubtree(TextObject *object);
    // Deselects the subtree and drops the hover when it lies inside.
    void releaseSubtree(TextObject *object);
    // Polishes the items added since the event loop last ran, as the loop
    // would: until then the removal of each of them searches the scene's
    // list of items waiting for it.
    void polishWaitingItems();
    template<typename Iterator>
    TextObject *topmostAt(TextObject *root, const QPointF &scenePoint) const;
    // Pointer helpers.
    void previewRotation(const QPointF &scenePos, bool constrained);
    void previewMove(const QPointF &scenePos, bool constrained);
    void executeWithCaretFollowing(Cmd *cmd, bool moves);
    // A click: the caret goes to the glyph under the point, or to the point.
    void placeCaretByClick(const QPointF &p);
    // Editing helpers.
    // Executes the command, after deselecting everything in the same step
    // when something is selected.
    void executeAfterDeselect(Cmd *cmd);
    Glyph *newGlyph(const QString &character, const QPointF &pos) const;
    void addSoftTypeValues(CmdCombo *combo, Glyph *glyph, const SoftType *softType, bool takeText);
    void setLockOfGlyphs(const QList<TextObject *> &objects, bool lock);
    // Removes the SoftTypes of one kind, or of every kind.
    void removeSoftTypesWhere(const QString &text, bool anyKind, const QString &kind);

    TextGroup *m_root = nullptr;
    TextPointer m_textPointer;
    int m_screenWidth = 1024;
    int m_screenHeight = 768;
    int m_exportWidth = 1024;
    int m_exportHeight = 768;
    int m_exportResolution = 72;
    QColor m_backgroundColor = Qt::white;
    bool m_extrasVisible = true;
    int m_viewFlags = CaretShown | SelectionShown | WorkAreaShown;
    QFont m_textFont;
    QColor m_fillColor = QColor(0, 0, 0, 255);
    QColor m_strokeColor = QColor(0, 0, 0, 255);
    float m_strokeWidth = 0;
    QString m_fileName;
    bool m_exportArmed = false;
    int m_exportKind = -1;
    Exporter *m_exporter = nullptr;
    QString m_exportFileName;
    int m_exportFrameNumber = 0;
    bool m_renderSavedExtras = true;
    // The canvas's clipping of the text as it was when beginRender ran.
    bool m_renderSavedClip = false;
    Canvas *m_canvas = nullptr;
    Caret *m_caret = nullptr;
    Grid *m_grid = nullptr;
    QGraphicsRectItem *m_selectionArea = nullptr;
    Selection *m_selection = nullptr;
    int m_snapFlags = 0;
    QList<Cmd *> m_history;
    int m_historyIndex = 0;
    bool m_undoEnabled = true;
    bool m_redoEnabled = true;
    QString m_textpadText;
    QString m_textpadFileName;
    int m_playState = 0;
    QPointF m_mousePosition;
    Qt::MouseButtons m_mouseButtons = Qt::NoButton;
    QPointF m_pressPoint;
    bool m_pressedOnSelection = false;
    bool m_pressedOnRotateHandle = false;
    Cmd *m_pendingSimulate = nullptr;
    int m_frameCounter = 0;
    bool m_playSavedExtras = true;
    QList<TextObject *> m_selectedObjects;
    TextObject *m_hoveredObject = nullptr;
    int m_commandDepth = 0;
    bool m_selectionBoxStale = false;
};

#endif // QVORRELSCENE_H
