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
};

#endif // VORRELQT_H
