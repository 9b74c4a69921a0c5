#ifndef VORRELQT_H
#define VORRELQT_H

#include "app/ViewHost.h"
#include "dialogs/EditCanvasDlg.h"
#include "dialogs/EditGuidesDlg.h"
#include "ui_VorrelQt.h"

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointF>
#include <QVariant>

class Cmd;
class Glyph;
class HierarchyPanelDockWidget;
class HistoryPanelDockWidget;
class MainToolbar;
class PropertiesPanelDockWidget;
class QAction;
class QDockWidget;
class QMdiArea;
class QSignalMapper;
class QVorrelScene;
class QVorrelView;
class SoftType;
class SoftTypePanelDockWidget;
class TextObject;
class TextpadPanelDockWidget;
class TypeToolbar;
class VorrelSplash;

// The program's single main window: the menus and actions of its form, the
// main and type toolbars on two rows, the History, Textpad, Properties and
// SoftTypes docks tabbed on the right, the Hierarchy dock on the left, and
// a tabbed document area holding one view per open document. Nothing in it
// is bound to a document: after every change and whenever another document
// becomes active it pulls the state of the active document into its
// actions, toolbars and docks (updateAll), through setters that emit
// nothing. It is the host of every view and the provider of the active
// scene for the docks.
class VorrelQt : public QMainWindow, public ViewHost
{
    Q_OBJECT
public:
    // The main window; the first call creates it with these arguments, later
    // calls return it and ignore them.
    static VorrelQt *instance(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VorrelQt() override;

    // The view of the active document and its scene, or null.
    QVorrelView *activeView() const;
    QVorrelScene *activeScene() const;

    const Ui_VorrelQtClass &form() const { return ui; }
    QMdiArea *documentArea() const { return m_documentArea; }
    MainToolbar *mainToolbar() const { return m_mainToolbar; }
    TypeToolbar *typeToolbar() const { return m_typeToolbar; }
    HistoryPanelDockWidget *historyDock() const { return m_historyDock; }
    TextpadPanelDockWidget *textpadDock() const { return m_textpadDock; }
    PropertiesPanelDockWidget *propertiesDock() const { return m_propertiesDock; }
    SoftTypePanelDockWidget *softTypeDock() const { return m_softTypeDock; }
    HierarchyPanelDockWidget *hierarchyDock() const { return m_hierarchyDock; }
    // The canvas and guides dialogs, kept for the whole run.
    EditCanvasDlg &canvasDialog() { return m_canvasDialog; }
    EditGuidesDlg &guidesDialog() { return m_guidesDialog; }
    // One SoftType of every kind by kind key: the values the next "Add
    // SoftType" of that kind starts from.
    const QHash<QString, SoftType *> &prototypes() const { return m_prototypes; }
    // The number of the next added SoftType of each kind, by kind key; a
    // kind not yet added has none.
    const QHash<QString, int> &softTypeCounters() const { return m_softTypeCounters; }
    // The glyphs Copy and Cut keep for Paste Glyphs, in document order.
    const QList<Glyph *> &copiedGlyphs() const { return m_copiedGlyphs; }

    // Opens a document file in a new tab; a file that is not a readable
    // Vorrel document is reported and opens nothing.
    void openFile(const QString &fileName);

    // Refreshes everything shown from the active document: the action
    // states, the Hierarchy, History, Properties, SoftTypes and Textpad
    // docks, the main toolbar and the type toolbar, in this order. No
    // refresh emits a signal of a dock or toolbar.
    void updateAll() override;
    // Enabled and checked states, texts and icons of the form's actions and
    // menus.
    void updateActionStates();
    // Enabled while a document is open and stopped; the tree (the history)
    // follows the active document, also while it plays; empty without one.
    void updateHierarchyPanel();
    void updateHistoryPanel();
    // The caret, the selected text and the look of the first selected
    // glyph; "Text Properties" editable only with a selection while the
    // document is stopped.
    void updatePropertiesPanel();
    // The SoftTypes of the selection by name, the first selected object
    // with a name standing for it.
    void updateSoftTypePanel();
    // The active document's textpad text and nozzle switch.
    void updateTextpadPanel() override;
    void updateMainToolbar();
    // The style new text gets in the active document.
    void updateTypeToolbar();

    // What a view asks of its window: the Textpad dock's pieces, nozzle
    // type and intervals; the mouse position goes to the Properties dock.
    QString nextPiece() override;
    int nozzleType() const override;
    int nozzleInterval() const override;
    int textpadSyncInterval() const override;
    void showMousePosition(const QPointF &position) override;
    void showSelectionArea(const QRectF &area) override;

public slots:
    // File menu
    void OnFileNew();
    void OnFileOpen();
    void OnFileExit();

    // Edit menu: the canvas and guides dialogs preview on the active
    // document while they run
    void OnEditCanvasScreenWidthChanged(int width);
    void OnEditCanvasScreenHeightChanged(int height);
    void OnEditCanvasBackgroundColorChanged(const QColor &color);
    void OnEditGuidesGridSpacingChanged(int spacing);
    void OnEditGuidesGridColorChanged(const QColor &color);

    // SoftType menu
    void OnStartStopSoftTypes();

    // View menu: a dock shown or hidden, by its entry or its own buttons
    void OnViewToggleWidget();

    // Textpad dock: its nozzle settings, which the Textpad menu shows
    void OnTextpadAdvanceChanged();
    void OnTextpadLoopChanged();
    void OnTextpadNozzleTypeChanged();

    // Help menu
    void OnAboutVorrel();

    // Main toolbar: runs the command for the action's object name.
    void OnMainToolBarClick(QAction *action);

    // Document area
    void OnSubWindowActivated();
    // Closes the document of a tab, by its index in creation order.
    void OnCloseTab(int index);
    void setActiveSubWindow(QWidget *window);

    // Document area and menu slots: each acts on the active document and
    // does nothing without one.
    // File menu
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    // The autosave settings of the active document; with autosave on it is
    // saved at once and autosaved from then on.
    void OnFileSaveOptions();

    // Edit menu: undo and redo one step; the canvas dialog's run is one
    // undo step, the guides dialog's is none.
    void OnEditUndo();
    void OnEditRedo();
    void OnEditCanvas();
    void OnEditGuides();

    // View menu: switches of the view and the scene, never a history entry.
    // Zooming keeps the point shown at the view's centre in place.
    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewActualSize();
    void OnViewCenterCanvas();
    void OnViewScrollbars();
    void OnViewExtras();
    void OnViewGrid();
    void OnViewCaret();
    void OnViewSelection();
    void OnViewWorkArea();
    void OnViewSnapToGrid();

    // Object menu
    void OnObjectToFront();
    void OnObjectForward();
    void OnObjectBackward();
    void OnObjectToBack();
    void OnObjectLock();
    void OnObjectUnlock();
    void OnObjectHide();
    void OnObjectReset();
    void OnObjectConvertToCurves();
    void OnObjectConvertToLines();

    // Select menu
    void OnSelectNone();
    void OnSelectAllGlyphs();
    void OnSelectAllWords();
    void OnSelectAllPassages();
    void OnSelectSameCharacters();
    void OnSelectSameWords();
    void OnSelectSamePassages();

    // SoftType menu: removing by kind key, all, and the deformation reset
    // and kept
    void OnRemoveSoftType(const QString &kind);
    void OnRemoveSoftTypeClay();
    void OnRemoveSoftTypeCloth();
    void OnRemoveSoftTypeDrift();
    void OnRemoveSoftTypeExplode();
    void OnRemoveSoftTypeLeak();
    void OnRemoveSoftTypeLens();
    void OnRemoveSoftTypeOriginateAsymptotic();
    void OnRemoveSoftTypeOriginateLinear();
    void OnRemoveSoftTypePull();
    void OnRemoveSoftTypePulse();
    void OnRemoveSoftTypeRubber();
    void OnRemoveSoftTypeTwirl();
    void OnSoftTypeRemoveAll();
    void OnSoftTypeResetDeform();
    void OnSoftTypeSetAsOriginal();

    // Hierarchy, History and SoftTypes docks
    void OnHierarchyVisibleChanged(TextObject *object);
    void OnHierarchyLockChanged(TextObject *object);
    // Toggles the selection of each object, in one step.
    void OnHierarchySelectionChanged(QList<TextObject *> &objects);
    // Edits a clone of the SoftType in its dialog: Ok gives the SoftType
    // the clone's values, Remove takes it off its glyph.
    void OnHierarchySoftTypeClicked(Glyph *glyph, SoftType *softType);
    void OnHistoryUndoTriggered(int steps);
    void OnHistoryRedoTriggered(int steps);
    void OnSofttypeChanged(const QString &name, const QHash<QString, QVariant> &values);
    void OnSofttypeRemoved(const QString &name);

    // Properties dock: the caret, and the selected text's look and place.
    // Font, size and position edits take the caret along when it stands
    // after selected text, in the same step.
    void OnCaretPositionChanged(const QPointF &position);
    void OnTextPositionChanged(const QPointF &position);
    void OnTextRotationChangedBy(float degrees);
    void OnTextFontChanged(const QFont &font);
    void OnTextFontSizeChanged(int pointSize);
    void OnTextFillColorChanged(const QColor &color);
    void OnTextStrokeColorChanged(const QColor &color);
    void OnTextStrokeWidthChanged(float width);
    // Clipboard, type toolbar, textpad, SoftTypes and still export ---------
public slots:
    // Edit menu: Copy keeps clones of the selected glyphs for Paste Glyphs
    // and puts the selection's text on the system clipboard ("\n" between
    // lines); Cut is Copy and one "Remove Selection" step. Paste Glyphs
    // without copies pastes the clipboard's text; Paste SoftTypes adds the
    // copies' SoftTypes, one per name, to the selected glyphs.
    void OnEditCopy();
    void OnEditCut();
    void OnEditPasteGlyphs();
    void OnEditPasteCharacters();
    void OnEditPasteSoftTypes();

    // Type toolbar: each edit sets the style of new text and, with a
    // selection, that of the selection, as one step; colour, size and
    // width steps in a row merge. A size or width that is no usable
    // number changes nothing.
    void OnToolbarFontChanged(const QFont &font);
    void OnToolbarFontStyleChanged(const QString &style);
    void OnToolbarFontSizeChanged(int size);
    void OnToolbarFontSizeChanged(const QString &size);
    void OnToolbarFillColorChanged(const QColor &color);
    void OnToolbarStrokeColorChanged(const QColor &color);
    void OnToolbarStrokeWidthTextEditFinished();

    // Textpad menu and dock. The built-in texts and the dock's edits change
    // the active document's textpad text, which is saved with it: the
    // document is then modified, with no history entry. The nozzle
    // settings belong to the dock and serve every document.
    void OnTextpadLoadLoremlpsum();
    void OnTextpadLoadAlphanumeric();
    void OnTextpadLoadDigits();
    void OnTextpadLoadAlphabet();
    void OnTextpadLoadUppercase();
    void OnTextpadLoadLowercase();
    void OnTextpadLoadFile();
    void OnTextpadSyncFile();
    void OnTextpadTextChanged(const QString &text);
    void OnTextpadNozzleChanged(bool on);
    void OnTextpadNozzleStartStop();
    void OnTextpadNozzleTypeGlyph();
    void OnTextpadNozzleTypeWord();
    void OnTextpadNozzleTypePassage();
    void OnTextpadNozzleAdvanceForward();
    void OnTextpadNozzleAdvanceRepeat();
    void OnTextpadNozzleInterval100ms();
    void OnTextpadNozzleInterval200ms();
    void OnTextpadNozzleInterval300ms();
    void OnTextpadNozzleInterval400ms();
    void OnTextpadNozzleInterval500ms();
    void OnTextpadNozzleInterval600ms();
    void OnTextpadNozzleInterval700ms();
    void OnTextpadNozzleInterval800ms();
    void OnTextpadNozzleInterval900ms();
    void OnTextpadNozzleInterval1000ms();
    void OnTextpadNozzleIntervalClick();
    void OnTextpadNozzleLoop();

    // SoftType menu: a clone of the kind's prototype, named after the kind
    // and its running number, edited in the SoftType dialog; Ok adds it to
    // the selected glyphs, counts the number on and gives the prototype its
    // values (not its name); Cancel changes nothing.
    void OnAddSoftType(SoftType *prototype);
    void OnAddSoftTypeClay();
    void OnAddSoftTypeCloth();
    void OnAddSoftTypeDrift();
    void OnAddSoftTypeExplode();
    void OnAddSoftTypeLeak();
    void OnAddSoftTypeLens();
    void OnAddSoftTypeOriginateAsympotic();
    void OnAddSoftTypeOriginateLinear();
    void OnAddSoftTypePull();
    void OnAddSoftTypePulse();
    void OnAddSoftTypeRubber();
    void OnAddSoftTypeTwirl();

    // File > Export: the active document's canvas as it looks now, under
    // exactly the name chosen (no suffix added). A file that cannot be
    // written is reported and an existing file is kept as it was.
    void OnExportPNG();
    void OnExportTIFF();
    void OnExportJPEG();
    void OnExportBMP();
    void OnExportPDF();
    // One page per passage, word or glyph, hidden or not, then a page of
    // the canvas alone.
    void OnExportMultiPagePDF();

    // Sequence export of the active document. Choosing the file also
    // chooses the kind by its suffix (completed from the selected filter
    // when it is none of the known ones) and arms the export; a movie file
    // asks for the codec first. Choosing the current file again keeps the
    // frame numbering (a movie is then appended to), another file restarts
    // it at 1. A cancelled dialog changes nothing.
    void OnExportSequenceSetFile();
    // Arms or disarms the export; without an export file, chooses one.
    void OnExportSequence();

public:
    // Asks for a file, proposing the document's title with the suffix, and
    // writes the canvas into it as an image in the format kind.
    void exportStill(const QString &kind, const QString &suffix, const QString &filter);
    // The scene's canvas at its export size as one PDF page, or as one
    // image in the format ("PNG", "BMP", "JPEG", "TIFF"); see
    // CanvasRenderer. True when the file was written; a size that cannot be
    // rendered is told, a file that cannot be written is the caller's to
    // report.
    bool renderToPDF(QVorrelScene *scene, const QString &fileName);
    bool renderToImage(QVorrelScene *scene, const QString &format, const QString &fileName);

protected:
    // Closes the documents in creation order; the first that refuses keeps
    // the window and the documents after it open.
    void closeEvent(QCloseEvent *event) override;
    // The SoftType, clipboard and object entries at the pointer, for the
    // active document while it does not play.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    VorrelQt(QWidget *parent, Qt::WindowFlags flags);
    void createToolbars();
    void createDocks();
    // The connections, by area: the form's menu entries, the toolbars, the
    // docks (with the View menu's dock entries) and the two dialogs.
    void connectMenus();
    void connectToolbars();
    void connectDocks();
    void connectDialogs();
    void createDocumentArea();
    void createPrototypes();
    // Puts a view into a new tab of the document area and shows it.
    void addDocument(QVorrelView *view);

    // Document area and menu slots: their connections, and the selection
    // edit whose caret follows the selected text.
    void connectDocumentSlots();
    void connectDockSlots();
    // Executes the command as one step with the caret moved behind its
    // glyph again when that glyph is selected or inside a selected group;
    // the step shows the command's text.
    void executeWithCaretStep(QVorrelScene *scene, Cmd *command);
    // Clipboard, type toolbar, textpad, SoftTypes and still export.
    void connectClipboardAndTypeToolbar();
    void connectTextpad();
    void connectSoftTypesAndExport();
    // Runs the style command with, when something is selected, the command
    // on the selection and, with caretStep, the caret kept at its glyph.
    void applyTextStyle(QVorrelScene *scene, Cmd *style, Cmd *selected, bool caretStep);
    void setTextpadText(const QString &text);
    void setNozzleInterval(int milliseconds);
    // Undoes or redoes that many steps of the active document, then
    // refreshes once: every step asks for a refresh of everything shown,
    // which would make a run of steps cost steps times the document.
    void stepHistory(int steps, void (QVorrelScene::*step)());
    // The save dialog of an export: the name to write, as chosen; empty when
    // cancelled or an existing file is not to be replaced.
    QString askExportFile(const QString &caption, const QString &suffix, const QString &filter);

    // Each dock with its View menu entry.
    struct DockEntry
    {
        QDockWidget *dock;
        QAction *action;
    };
    QList<DockEntry> dockEntries() const;

    Ui_VorrelQtClass ui;
    VorrelSplash *m_aboutSplash = nullptr;
    QMdiArea *m_documentArea = nullptr;
    QSignalMapper *m_windowMapper = nullptr;
    TypeToolbar *m_typeToolbar = nullptr;
    MainToolbar *m_mainToolbar = nullptr;
    HistoryPanelDockWidget *m_historyDock = nullptr;
    TextpadPanelDockWidget *m_textpadDock = nullptr;
    PropertiesPanelDockWidget *m_propertiesDock = nullptr;
    SoftTypePanelDockWidget *m_softTypeDock = nullptr;
    HierarchyPanelDockWidget *m_hierarchyDock = nullptr;
    // Without parent, so that they are top-level dialogs.
    EditCanvasDlg m_canvasDialog;
    EditGuidesDlg m_guidesDialog;
    // Glyph copies for pasting, owned.
    QList<Glyph *> m_copiedGlyphs;
    QHash<QString, int> m_softTypeCounters;
    QHash<QString, SoftType *> m_prototypes;
    // The Start/Stop Nozzle entry's two icons.
    QIcon m_nozzleOnIcon;
    QIcon m_nozzleOffIcon;
    // While held, updateAll only notes that a refresh is wanted.
    bool m_refreshHeld = false;
    bool m_refreshWanted = false;
};

#endif // VORRELQT_H
