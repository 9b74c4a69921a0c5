#include "app/VorrelQt.h"

#include "app/CanvasRenderer.h"
#include "app/DocumentOpener.h"
#include "app/QVorrelView.h"
#include "app/VorrelSplash.h"
#include "commands/CmdCombo.h"
#include "commands/CmdConvertSelected.h"
#include "commands/CmdEditSoftType.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdMoveCaretPoint.h"
#include "commands/CmdMoveSelected.h"
#include "commands/CmdRemoveSoftType.h"
#include "commands/CmdResetSelected.h"
#include "commands/CmdResetSelectedDeform.h"
#include "commands/CmdSelectTextObjects.h"
#include "commands/CmdSetCanvas.h"
#include "commands/CmdSetSceneFillColor.h"
#include "commands/CmdSetSceneFont.h"
#include "commands/CmdSetSceneFontSize.h"
#include "commands/CmdSetSceneStrokeColor.h"
#include "commands/CmdSetSceneStrokeWidth.h"
#include "commands/CmdSetSelectedAsOriginal.h"
#include "commands/CmdSetSelectedFillColor.h"
#include "commands/CmdSetSelectedFont.h"
#include "commands/CmdSetSelectedFontSize.h"
#include "commands/CmdSetSelectedStrokeColor.h"
#include "commands/CmdSetSelectedStrokeWidth.h"
#include "dialogs/MultipagePDFDlg.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "dialogs/SaveOptionsDlg.h"
#include "dialogs/SoftTypeDlg.h"
#include "export/ExporterMOV.h"
#include "modal/Modal.h"
#include "modal/SaveFileDialog.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"
#include "model/TextGroup.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "panels/HistoryPanelDockWidget.h"
#include "panels/MainToolbar.h"
#include "panels/PropertiesPanelDockWidget.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "panels/TextpadPanelDockWidget.h"
#include "panels/TypeToolbar.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSignalMapper>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>

#include <memory>

namespace {

VorrelQt *s_instance = nullptr;

// The SoftType kinds in the order their prototypes are made.
const char *const PrototypeKinds[] = {
    "clay", "cloth", "drift", "explode", "leak", "lens", "originate asymptotic",
    "originate linear", "pull", "pulse", "rubber", "Twirl",
};

// The remove action of each kind, by kind key.
struct RemoveEntry
{
    const char *kind;
    QAction *Ui_VorrelQtClass::*action;
};

const RemoveEntry RemoveActions[] = {
    {"clay", &Ui_VorrelQtClass::actionRemoveSoftTypeClay},
    {"cloth", &Ui_VorrelQtClass::actionRemoveSoftTypeCloth},
    {"drift", &Ui_VorrelQtClass::actionRemoveSoftTypeDrift},
    {"explode", &Ui_VorrelQtClass::actionRemoveSoftTypeExplode},
    {"leak", &Ui_VorrelQtClass::actionRemoveSoftTypeLeak},
    {"lens", &Ui_VorrelQtClass::actionRemoveSoftTypeLens},
    {"originate asymptotic", &Ui_VorrelQtClass::actionRemoveSoftTypeOriginateAsymptotic},
    {"originate linear", &Ui_VorrelQtClass::actionRemoveSoftTypeOriginateLinear},
    {"pull", &Ui_VorrelQtClass::actionRemoveSoftTypePull},
    {"pulse", &Ui_VorrelQtClass::actionRemoveSoftTypePulse},
    {"rubber", &Ui_VorrelQtClass::actionRemoveSoftTypeRubber},
    {"Twirl", &Ui_VorrelQtClass::actionRemoveSoftTypeTwirl},
};

// The main toolbar's commands by action name, compared exactly. "PrintAction"
// runs nothing.
struct ToolbarCommand
{
    const char *name;
    void (VorrelQt::*slot)();
};

const ToolbarCommand ToolbarCommands[] = {
    {"NewAction", &VorrelQt::OnFileNew},
    {"OpenAction", &VorrelQt::OnFileOpen},
    {"SaveAction", &VorrelQt::OnFileSave},
    {"PrintAction", nullptr},
    {"CutAction", &VorrelQt::OnEditCut},
    {"CopyAction", &VorrelQt::OnEditCopy},
    {"PasteAction", &VorrelQt::OnEditPasteGlyphs},
    {"StartStopAction", &VorrelQt::OnStartStopSoftTypes},
    {"TurnExportOnOffAction", &VorrelQt::OnExportSequence},
    {"SetExportFileAction", &VorrelQt::OnExportSequenceSetFile},
};

void enable(const std::initializer_list<QAction *> &actions, bool enabled)
{
    for (QAction *a : actions)
        a->setEnabled(enabled);
}

void enable(const std::initializer_list<QMenu *> &menus, bool enabled)
{
    for (QMenu *m : menus)
        m->setEnabled(enabled);
}

bool clipboardHasText()
{
    return !QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty();
}

} // namespace

VorrelQt *VorrelQt::instance(QWidget *parent, Qt::WindowFlags flags)
{
    if (!s_instance)
        s_instance = new VorrelQt(parent, flags);
    return s_instance;
}

VorrelQt::VorrelQt(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    ui.setupUi(this);
    // The form's icons come from the resources, so nothing is looked for
    // in the folder the program was started from.
    QDir::setCurrent(QDir::toNativeSeparators(QDir::homePath()));

    m_nozzleOnIcon = QIcon(QStringLiteral(":/res/icon/TextpadToolbar/24/png/nozzle_on.png"));
    m_nozzleOffIcon = QIcon(QStringLiteral(":/res/icon/TextpadToolbar/24/png/nozzle_off.png"));
    createToolbars();
    createDocks();

    connectMenus();
    connectToolbars();
    connectDocks();
    connectDialogs();
    connectDocumentSlots();
    connectDockSlots();
    connectClipboardAndTypeToolbar();
    connectTextpad();
    connectSoftTypesAndExport();
    ui.statusbar->showMessage(tr("Done"));
    createDocumentArea();
    createPrototypes();

    ViewHost::setCurrent(this);
    ActiveScene::setProvider([this] { return activeScene(); });
    updateAll();
    showMaximized();
}

VorrelQt::~VorrelQt()
{
    // The docks, the document area and the views die after this body, with
    // the base window: what they report on their way must not reach a
    // window that is half gone.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    if (ViewHost::current() == this)
        ViewHost::setCurrent(nullptr);
    if (s_instance == this)
        s_instance = nullptr;
    ActiveScene::setProvider(nullptr);
    qDeleteAll(m_copiedGlyphs);
    qDeleteAll(m_prototypes);
}

void VorrelQt::createToolbars()
{
    m_mainToolbar = new MainToolbar(tr("Main Toolbar"), this);
    addToolBar(m_mainToolbar);
    addToolBarBreak(Qt::TopToolBarArea);
    m_typeToolbar = new TypeToolbar(tr("Type Toolbar"), this);
    addToolBar(m_typeToolbar);
}

void VorrelQt::createDocks()
{
    m_historyDock = new HistoryPanelDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_historyDock);
    m_textpadDock = new TextpadPanelDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_textpadDock);
    m_propertiesDock = new PropertiesPanelDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_propertiesDock);
    m_softTypeDock = new SoftTypePanelDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_softTypeDock);
    // One stack of tabs on the right, Properties in front.
    tabifyDockWidget(m_propertiesDock, m_softTypeDock);
    tabifyDockWidget(m_softTypeDock, m_textpadDock);
    tabifyDockWidget(m_textpadDock, m_historyDock);
    m_propertiesDock->raise();

    m_hierarchyDock = new HierarchyPanelDockWidget(this);
    addDockWidget(Qt::LeftDockWidgetArea, m_hierarchyDock);
}

QList<VorrelQt::DockEntry> VorrelQt::dockEntries() const
{
    return {{m_hierarchyDock, ui.actionViewHierarchy},
            {m_propertiesDock, ui.actionViewProperties},
            {m_textpadDock, ui.actionViewTextpad},
            {m_historyDock, ui.actionViewHistory},
            {m_softTypeDock, ui.actionViewSoftTypes}};
}

void VorrelQt::connectMenus()
{
    connect(ui.actionFileNew, &QAction::triggered, this, &VorrelQt::OnFileNew);
    connect(ui.actionFileOpen, &QAction::triggered, this, &VorrelQt::OnFileOpen);
    connect(ui.actionFileExit, &QAction::triggered, this, &VorrelQt::OnFileExit);

    // Ctrl+B starts and stops play beside Ctrl+Space. The form also gives
    // it to Paste SoftTypes; a key bound to two enabled actions fires
    // neither, so Paste SoftTypes gives it up.
    ui.actionEditPasteSoftTypes->setShortcut(QKeySequence());
    ui.actionSoftTypeStart->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Space), QKeySequence(Qt::CTRL | Qt::Key_B)});
    connect(ui.actionSoftTypeStart, &QAction::triggered, this, &VorrelQt::OnStartStopSoftTypes);

    connect(ui.actionHelpAboutVorrel, &QAction::triggered, this, &VorrelQt::OnAboutVorrel);
}

void VorrelQt::connectToolbars()
{
    connect(m_mainToolbar, &QToolBar::actionTriggered, this, &VorrelQt::OnMainToolBarClick);
}

void VorrelQt::connectDocks()
{
    // A View entry shows and hides its dock; a dock shown or hidden in any
    // way (its own close button too) puts the entries' check marks right.
    for (const DockEntry &entry : dockEntries()) {
        connect(entry.action, &QAction::toggled, entry.dock, &QDockWidget::setVisible);
        connect(entry.dock, &QDockWidget::visibilityChanged, this, &VorrelQt::OnViewToggleWidget);
    }

    connect(m_textpadDock, &TextpadPanelDockWidget::advanceChanged, this, &VorrelQt::OnTextpadAdvanceChanged);
    connect(m_textpadDock, &TextpadPanelDockWidget::loopChanged, this, &VorrelQt::OnTextpadLoopChanged);
    connect(m_textpadDock, &TextpadPanelDockWidget::nozzleTypeChanged, this, &VorrelQt::OnTextpadNozzleTypeChanged);
}

void VorrelQt::connectDialogs()
{
    connect(&m_canvasDialog, &EditCanvasDlg::screenWidthChanged, this, &VorrelQt::OnEditCanvasScreenWidthChanged);
    connect(&m_canvasDialog, &EditCanvasDlg::screenHeightChanged, this, &VorrelQt::OnEditCanvasScreenHeightChanged);
    connect(&m_canvasDialog, &EditCanvasDlg::backgroundColorChanged, this,
            &VorrelQt::OnEditCanvasBackgroundColorChanged);
    connect(&m_guidesDialog, &EditGuidesDlg::gridSpacingChanged, this, &VorrelQt::OnEditGuidesGridSpacingChanged);
    connect(&m_guidesDialog, &EditGuidesDlg::gridColorChanged, this, &VorrelQt::OnEditGuidesGridColorChanged);
}

void VorrelQt::createDocumentArea()
{
    m_documentArea = new QMdiArea;
    m_documentArea->setViewMode(QMdiArea::TabbedView);
    m_documentArea->setTabShape(QTabWidget::Rounded);
    m_documentArea->setTabPosition(QTabWidget::North);
    m_documentArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_documentArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_documentArea->setTabsClosable(true);
    setCentralWidget(m_documentArea);
    connect(m_documentArea, &QMdiArea::subWindowActivated, this, &VorrelQt::OnSubWindowActivated);

    m_windowMapper = new QSignalMapper(this);
    connect(m_windowMapper, &QSignalMapper::mappedWidget, this, &VorrelQt::setActiveSubWindow);

    // The area closes a tab's sub-window itself when its close button is
    // pressed; that request goes to OnCloseTab instead, so that a document
    // is closed once.
    for (QTabBar *bar : m_documentArea->findChildren<QTabBar *>()) {
        disconnect(bar, SIGNAL(tabCloseRequested(int)), m_documentArea, nullptr);
        connect(bar, &QTabBar::tabCloseRequested, this, &VorrelQt::OnCloseTab);
    }
}

void VorrelQt::createPrototypes()
{
    for (const char *kind : PrototypeKinds) {
        const QString key = QString::fromLatin1(kind);
        m_prototypes.insert(key, SoftTypeFactory::create(key, key + QStringLiteral("-0")));
    }
}

// Documents -----------------------------------------------------------------

QVorrelView *VorrelQt::activeView() const
{
    // The current sub-window is the active one while the program is active,
    // and stays the one last active while a dialog or another program has
    // the focus.
    const QMdiSubWindow *sub = m_documentArea ? m_documentArea->currentSubWindow() : nullptr;
    return sub ? qobject_cast<QVorrelView *>(sub->widget()) : nullptr;
}

QVorrelScene *VorrelQt::activeScene() const
{
    const QVorrelView *view = activeView();
    return view ? view->scene() : nullptr;
}

void VorrelQt::addDocument(QVorrelView *view)
{
    auto *sub = new QMdiSubWindow;
    sub->setWindowIcon(QIcon());
    sub->setWidget(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_documentArea->addSubWindow(sub);
    view->show();
}

void VorrelQt::openFile(const QString &fileName)
{
    if (QVorrelView *view = DocumentOpener::open(fileName, this))
        addDocument(view);
}

void VorrelQt::OnFileNew()
{
    addDocument(new QVorrelView);
}

void VorrelQt::OnFileOpen()
{
    const QString fileName = Modal::getOpenFileName(this, tr("Open"), QString(), tr("Vorrel Files (*.vrl)"));
    if (!fileName.isEmpty())
        openFile(fileName);
}

void VorrelQt::OnFileExit()
{
    close();
}

void VorrelQt::closeEvent(QCloseEvent *event)
{
    // A sub-window closes its view first and stays when the view refuses,
    // so no empty tab is left behind.
    for (QMdiSubWindow *sub : m_documentArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void VorrelQt::OnCloseTab(int index)
{
    const QList<QMdiSubWindow *> windows = m_documentArea->subWindowList(QMdiArea::CreationOrder);
    if (index < 0 || index >= windows.size())
        return;
    QMdiSubWindow *sub = windows.at(index);
    setActiveSubWindow(sub);
    sub->close();
}

void VorrelQt::setActiveSubWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window))
        m_documentArea->setActiveSubWindow(sub);
}

void VorrelQt::OnSubWindowActivated()
{
    updateAll();
}

void VorrelQt::OnStartStopSoftTypes()
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    view->setPlaying(!view->isPlaying());
    updateAll();
}

void VorrelQt::OnAboutVorrel()
{
    if (!m_aboutSplash)
        m_aboutSplash = new VorrelSplash(this, Qt::WindowFlags());
    m_aboutSplash->randomizePixmap();
    m_aboutSplash->about = true;
    m_aboutSplash->repaint();
    m_aboutSplash->showFor(0);
}

// The canvas and guides dialogs change the active document while they run;
// their owner's Ok and Cancel decide what stays.
void VorrelQt::OnEditCanvasScreenWidthChanged(int width)
{
    if (QVorrelView *view = activeView()) {
        view->scene()->setScreenWidth(width);
        view->centerCanvas();
    }
}

void VorrelQt::OnEditCanvasScreenHeightChanged(int height)
{
    if (QVorrelView *view = activeView()) {
        view->scene()->setScreenHeight(height);
        view->centerCanvas();
    }
}

void VorrelQt::OnEditCanvasBackgroundColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = activeScene())
        scene->setBackgroundColor(color);
}

void VorrelQt::OnEditGuidesGridSpacingChanged(int spacing)
{
    if (QVorrelScene *scene = activeScene())
        scene->setGridSpacing(spacing);
}

void VorrelQt::OnEditGuidesGridColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = activeScene())
        scene->grid()->setColor(color);
}

void VorrelQt::OnViewToggleWidget()
{
    updateActionStates();
}

void VorrelQt::OnTextpadAdvanceChanged()
{
    updateActionStates();
}

void VorrelQt::OnTextpadLoopChanged()
{
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleTypeChanged()
{
    updateActionStates();
}

void VorrelQt::OnMainToolBarClick(QAction *action)
{
    if (!action)
        return;
    const QString name = action->objectName();
    for (const ToolbarCommand &command : ToolbarCommands) {
        if (name == QLatin1String(command.name)) {
            if (command.slot)
                (this->*command.slot)();
            return;
        }
    }
}

// Document area and menu slots ----------------------------------------------

void VorrelQt::connectDocumentSlots()
{
    using Slot = void (VorrelQt::*)();
    const struct
    {
        QAction *action;
        Slot slot;
    } entries[] = {
        {ui.actionFileClose, &VorrelQt::OnFileClose},
        {ui.actionFileSave, &VorrelQt::OnFileSave},
        {ui.actionFileSaveAs, &VorrelQt::OnFileSaveAs},
        {ui.actionFileSaveOptions, &VorrelQt::OnFileSaveOptions},
        {ui.actionEditUndo, &VorrelQt::OnEditUndo},
        {ui.actionEditRedo, &VorrelQt::OnEditRedo},
        {ui.actionEditCanvas, &VorrelQt::OnEditCanvas},
        {ui.actionEditGuides, &VorrelQt::OnEditGuides},
        {ui.actionObjectPassageToFront, &VorrelQt::OnObjectToFront},
        {ui.actionObjectPassageForward, &VorrelQt::OnObjectForward},
        {ui.actionObjectPassageBackward, &VorrelQt::OnObjectBackward},
        {ui.actionObjectPassageToBack, &VorrelQt::OnObjectToBack},
        {ui.actionObjectLock, &VorrelQt::OnObjectLock},
        {ui.actionObjectUnlock, &VorrelQt::OnObjectUnlock},
        {ui.actionObjectHide, &VorrelQt::OnObjectHide},
        {ui.actionObjectReset, &VorrelQt::OnObjectReset},
        {ui.actionConvertToLines, &VorrelQt::OnObjectConvertToLines},
        {ui.actionConvertToCurves, &VorrelQt::OnObjectConvertToCurves},
        {ui.actionRemoveSoftTypeClay, &VorrelQt::OnRemoveSoftTypeClay},
        {ui.actionRemoveSoftTypeCloth, &VorrelQt::OnRemoveSoftTypeCloth},
        {ui.actionRemoveSoftTypeDrift, &VorrelQt::OnRemoveSoftTypeDrift},
        {ui.actionRemoveSoftTypeExplode, &VorrelQt::OnRemoveSoftTypeExplode},
        {ui.actionRemoveSoftTypeLeak, &VorrelQt::OnRemoveSoftTypeLeak},
        {ui.actionRemoveSoftTypeLens, &VorrelQt::OnRemoveSoftTypeLens},
        {ui.actionRemoveSoftTypeOriginateAsymptotic, &VorrelQt::OnRemoveSoftTypeOriginateAsymptotic},
        {ui.actionRemoveSoftTypeOriginateLinear, &VorrelQt::OnRemoveSoftTypeOriginateLinear},
        {ui.actionRemoveSoftTypePull, &VorrelQt::OnRemoveSoftTypePull},
        {ui.actionRemoveSoftTypePulse, &VorrelQt::OnRemoveSoftTypePulse},
        {ui.actionRemoveSoftTypeRubber, &VorrelQt::OnRemoveSoftTypeRubber},
        {ui.actionRemoveSoftTypeTwirl, &VorrelQt::OnRemoveSoftTypeTwirl},
        {ui.actionSoftTypeRemoveAll, &VorrelQt::OnSoftTypeRemoveAll},
        {ui.actionSoftTypeResetDeformation, &VorrelQt::OnSoftTypeResetDeform},
        {ui.actionSoftTypeSetAsOriginal, &VorrelQt::OnSoftTypeSetAsOriginal},
        {ui.actionSelectAllGlyphs, &VorrelQt::OnSelectAllGlyphs},
        {ui.actionSelectAllWords, &VorrelQt::OnSelectAllWords},
        {ui.actionSelectAllPassages, &VorrelQt::OnSelectAllPassages},
        {ui.actionSelectSameCharacters, &VorrelQt::OnSelectSameCharacters},
        {ui.actionSelectSameWords, &VorrelQt::OnSelectSameWords},
        {ui.actionSelectSamePassages, &VorrelQt::OnSelectSamePassages},
        {ui.actionSelectNone, &VorrelQt::OnSelectNone},
        {ui.actionViewExtras, &VorrelQt::OnViewExtras},
        {ui.actionViewGrid, &VorrelQt::OnViewGrid},
        {ui.actionViewCaret, &VorrelQt::OnViewCaret},
        {ui.actionViewSelection, &VorrelQt::OnViewSelection},
        {ui.actionViewScrollbars, &VorrelQt::OnViewScrollbars},
        {ui.actionViewWorkArea, &VorrelQt::OnViewWorkArea},
        {ui.actionViewCenterCanvas, &VorrelQt::OnViewCenterCanvas},
        {ui.actionViewZoomIn, &VorrelQt::OnViewZoomIn},
        {ui.actionViewZoomOut, &VorrelQt::OnViewZoomOut},
        {ui.actionViewActualSize, &VorrelQt::OnViewActualSize},
        {ui.actionViewSnapToGrid, &VorrelQt::OnViewSnapToGrid},
    };
    for (const auto &entry : entries)
        connect(entry.action, &QAction::triggered, this, entry.slot);
}

void VorrelQt::connectDockSlots()
{
    connect(m_propertiesDock, &PropertiesPanelDockWidget::caretPositionChanged, this,
            &VorrelQt::OnCaretPositionChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textPositionChanged, this,
            &VorrelQt::OnTextPositionChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textRotationChangedBy, this,
            &VorrelQt::OnTextRotationChangedBy);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textFontChanged, this, &VorrelQt::OnTextFontChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textFontSizeChanged, this,
            &VorrelQt::OnTextFontSizeChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textFillColorChanged, this,
            &VorrelQt::OnTextFillColorChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textStrokeColorChanged, this,
            &VorrelQt::OnTextStrokeColorChanged);
    connect(m_propertiesDock, &PropertiesPanelDockWidget::textStrokeWidthChanged, this,
            &VorrelQt::OnTextStrokeWidthChanged);
    connect(m_historyDock, &HistoryPanelDockWidget::undoTriggered, this, &VorrelQt::OnHistoryUndoTriggered);
    connect(m_historyDock, &HistoryPanelDockWidget::redoTriggered, this, &VorrelQt::OnHistoryRedoTriggered);
    connect(m_softTypeDock, &SoftTypePanelDockWidget::softtypeChanged, this, &VorrelQt::OnSofttypeChanged);
    connect(m_softTypeDock, &SoftTypePanelDockWidget::softtypeRemoved, this, &VorrelQt::OnSofttypeRemoved);
    connect(m_hierarchyDock, &HierarchyPanelDockWidget::visibleChanged, this,
            &VorrelQt::OnHierarchyVisibleChanged);
    connect(m_hierarchyDock, &HierarchyPanelDockWidget::lockChanged, this, &VorrelQt::OnHierarchyLockChanged);
    connect(m_hierarchyDock, &HierarchyPanelDockWidget::softTypeClicked, this,
            &VorrelQt::OnHierarchySoftTypeClicked);
    connect(m_hierarchyDock, &HierarchyPanelDockWidget::selectionChanged, this,
            &VorrelQt::OnHierarchySelectionChanged);
}

namespace {

// The active document's object, not one of another document.
bool inScene(const TextObject *object, const QVorrelScene *scene)
{
    return object && scene && object->documentScene() == scene;
}

} // namespace

void VorrelQt::OnFileClose()
{
    // The view asks about unsaved changes; a refusing view keeps its tab.
    if (QMdiSubWindow *sub = m_documentArea->currentSubWindow())
        sub->close();
}

void VorrelQt::OnFileSave()
{
    if (QVorrelView *view = activeView())
        view->save();
}

void VorrelQt::OnFileSaveAs()
{
    if (QVorrelView *view = activeView())
        view->saveAs();
}

void VorrelQt::OnFileSaveOptions()
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    view->stopAutosave();
    QVorrelView::AutosaveSettings settings = view->autosaveSettings();
    SaveOptionsDlg dialog(settings.on, settings.minutes, settings.numbered, settings.highestNumber, this);
    if (Modal::exec(&dialog) == QDialog::Accepted) {
        settings.on = dialog.autosave;
        settings.minutes = qMax(1, dialog.interval);
        settings.numbered = dialog.incremental;
        settings.highestNumber = dialog.maxFiles;
        view->setAutosaveSettings(settings);
    }
    if (settings.on && view->save())
        view->startAutosave();
}

void VorrelQt::OnEditUndo()
{
    if (QVorrelScene *scene = activeScene())
        scene->undo();
}

void VorrelQt::OnEditRedo()
{
    if (QVorrelScene *scene = activeScene())
        scene->redo();
}

void VorrelQt::OnEditCanvas()
{
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    if (!scene)
        return;
    m_canvasDialog.setExportHeight(scene->exportHeight());
    m_canvasDialog.setExportWidth(scene->exportWidth());
    m_canvasDialog.setExportResolution(scene->exportResolution());
    m_canvasDialog.setScreenHeight(scene->screenHeight());
    m_canvasDialog.setScreenWidth(scene->screenWidth());
    m_canvasDialog.setBackgroundColor(scene->backgroundColor());
    const QColor keptColor = scene->backgroundColor();
    const int keptWidth = scene->screenWidth();
    const int keptHeight = scene->screenHeight();

    const bool accepted = Modal::exec(&m_canvasDialog) == QDialog::Accepted;
    // The preview changed the scene directly: it goes back first, so that
    // an accepted run is one step whose undo returns to these values.
    scene->setBackgroundColor(keptColor);
    scene->setScreenSize(keptWidth, keptHeight);
    if (accepted) {
        scene->executeCommand(new CmdSetCanvas(scene, m_canvasDialog.screenWidth(), m_canvasDialog.screenHeight(),
                                               m_canvasDialog.exportWidth(), m_canvasDialog.exportHeight(),
                                               m_canvasDialog.exportResolution(),
                                               m_canvasDialog.backgroundColor()));
    }
    view->centerCanvas();
}

void VorrelQt::OnEditGuides()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    const QColor keptColor = scene->grid()->color();
    const int keptSpacing = scene->grid()->spacing();
    m_guidesDialog.setColor(keptColor);
    m_guidesDialog.setSpacing(keptSpacing);
    const bool accepted = Modal::exec(&m_guidesDialog) == QDialog::Accepted;
    // Not a document change: no history entry, no modified mark.
    scene->grid()->setColor(accepted ? m_guidesDialog.gridColor : keptColor);
    scene->setGridSpacing(accepted ? m_guidesDialog.gridSpacing : keptSpacing);
}

void VorrelQt::OnViewZoomIn()
{
    // About the scene point the view is centred on, where the viewport
    // shows it.
    if (QVorrelView *view = activeView()) {
        QVorrelScene *scene = view->scene();
        const QPointF centre(scene->screenWidth() / 2 + view->viewOffset().x(),
                             scene->screenHeight() / 2 + view->viewOffset().y());
        view->zoomIn(view->mapFromScene(centre));
    }
}

void VorrelQt::OnViewZoomOut()
{
    if (QVorrelView *view = activeView()) {
        QVorrelScene *scene = view->scene();
        const QPointF centre(scene->screenWidth() / 2 + view->viewOffset().x(),
                             scene->screenHeight() / 2 + view->viewOffset().y());
        view->zoomOut(view->mapFromScene(centre));
    }
}

void VorrelQt::OnViewActualSize()
{
    if (QVorrelView *view = activeView()) {
        view->zoomActualSize();
        view->centerCanvas();
    }
}

void VorrelQt::OnViewCenterCanvas()
{
    if (QVorrelView *view = activeView())
        view->centerCanvas();
}

void VorrelQt::OnViewScrollbars()
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    const auto flipped = [](Qt::ScrollBarPolicy policy) {
        return policy == Qt::ScrollBarAlwaysOff ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    };
    view->setVerticalScrollBarPolicy(flipped(view->verticalScrollBarPolicy()));
    view->setHorizontalScrollBarPolicy(flipped(view->horizontalScrollBarPolicy()));
    updateActionStates();
}

// The scene's view switches: the entries' check marks follow the document.
void VorrelQt::OnViewExtras()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->toggleExtrasVisible();
        updateActionStates();
    }
}

void VorrelQt::OnViewGrid()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->toggleGridVisible();
        updateActionStates();
    }
}

void VorrelQt::OnViewCaret()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->toggleCaretVisible();
        updateActionStates();
    }
}

void VorrelQt::OnViewSelection()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->toggleSelectionVisible();
        updateActionStates();
    }
}

void VorrelQt::OnViewWorkArea()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->toggleWorkAreaVisible();
        updateActionStates();
    }
}

void VorrelQt::OnViewSnapToGrid()
{
    if (QVorrelScene *scene = activeScene()) {
        scene->setSnapFlags(scene->snapFlags() ^ 1);
        updateActionStates();
    }
}

// Object, Select and SoftType menus: one scene operation or one command on
// the active document.
void VorrelQt::OnObjectToFront()
{
    if (QVorrelScene *scene = activeScene())
        scene->arrangeSelected(0);
}

void VorrelQt::OnObjectForward()
{
    if (QVorrelScene *scene = activeScene())
        scene->arrangeSelected(1);
}

void VorrelQt::OnObjectBackward()
{
    if (QVorrelScene *scene = activeScene())
        scene->arrangeSelected(2);
}

void VorrelQt::OnObjectToBack()
{
    if (QVorrelScene *scene = activeScene())
        scene->arrangeSelected(3);
}

void VorrelQt::OnObjectLock()
{
    if (QVorrelScene *scene = activeScene())
        scene->lockSelected();
}

void VorrelQt::OnObjectUnlock()
{
    if (QVorrelScene *scene = activeScene())
        scene->unlockSelected();
}

void VorrelQt::OnObjectHide()
{
    if (QVorrelScene *scene = activeScene())
        scene->hideSelected();
}

void VorrelQt::OnObjectReset()
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdResetSelected(scene));
}

void VorrelQt::OnObjectConvertToCurves()
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdConvertSelected(scene, CmdConvertSelected::ToCurves));
}

void VorrelQt::OnObjectConvertToLines()
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdConvertSelected(scene, CmdConvertSelected::ToLines));
}

void VorrelQt::OnSelectNone()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectAll(1, 0);
}

void VorrelQt::OnSelectAllGlyphs()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectAll(1, 2);
}

void VorrelQt::OnSelectAllWords()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectAll(1, 3);
}

void VorrelQt::OnSelectAllPassages()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectAll(1, 4);
}

void VorrelQt::OnSelectSameCharacters()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectSame(1, 2);
}

void VorrelQt::OnSelectSameWords()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectSame(1, 3);
}

void VorrelQt::OnSelectSamePassages()
{
    if (QVorrelScene *scene = activeScene())
        scene->selectSame(1, 4);
}

void VorrelQt::OnSoftTypeRemoveAll()
{
    if (QVorrelScene *scene = activeScene())
        scene->removeAllSoftTypes();
}

void VorrelQt::OnSoftTypeResetDeform()
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdResetSelectedDeform(scene));
}

void VorrelQt::OnSoftTypeSetAsOriginal()
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdSetSelectedAsOriginal(scene));
}

void VorrelQt::OnRemoveSoftType(const QString &kind)
{
    if (QVorrelScene *scene = activeScene())
        scene->removeSoftTypesOfKind(kind);
}

void VorrelQt::OnRemoveSoftTypeClay() { OnRemoveSoftType(QStringLiteral("clay")); }
void VorrelQt::OnRemoveSoftTypeCloth() { OnRemoveSoftType(QStringLiteral("cloth")); }
void VorrelQt::OnRemoveSoftTypeDrift() { OnRemoveSoftType(QStringLiteral("drift")); }
void VorrelQt::OnRemoveSoftTypeExplode() { OnRemoveSoftType(QStringLiteral("explode")); }
void VorrelQt::OnRemoveSoftTypeLeak() { OnRemoveSoftType(QStringLiteral("leak")); }
void VorrelQt::OnRemoveSoftTypeLens() { OnRemoveSoftType(QStringLiteral("lens")); }
void VorrelQt::OnRemoveSoftTypeOriginateAsymptotic() { OnRemoveSoftType(QStringLiteral("originate asymptotic")); }
void VorrelQt::OnRemoveSoftTypeOriginateLinear() { OnRemoveSoftType(QStringLiteral("originate linear")); }
void VorrelQt::OnRemoveSoftTypePull() { OnRemoveSoftType(QStringLiteral("pull")); }
void VorrelQt::OnRemoveSoftTypePulse() { OnRemoveSoftType(QStringLiteral("pulse")); }
void VorrelQt::OnRemoveSoftTypeRubber() { OnRemoveSoftType(QStringLiteral("rubber")); }
void VorrelQt::OnRemoveSoftTypeTwirl() { OnRemoveSoftType(QStringLiteral("Twirl")); }

void VorrelQt::OnHierarchyVisibleChanged(TextObject *object)
{
    QVorrelScene *scene = activeScene();
    if (inScene(object, scene))
        scene->setObjectVisible(object, !object->isVisible());
}

void VorrelQt::OnHierarchyLockChanged(TextObject *object)
{
    QVorrelScene *scene = activeScene();
    if (inScene(object, scene))
        scene->setObjectLocked(object, !object->isLocked());
}

void VorrelQt::OnHierarchySelectionChanged(QList<TextObject *> &objects)
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    // Each object flips. Deselecting the ones that were selected before
    // selecting the others ends as flipping each in turn, in the same order
    // of selection, with one snapshot of the selection for each kind where
    // one per object made a click over many selected rows quadratic.
    QList<TextObject *> removed;
    QList<TextObject *> added;
    for (TextObject *object : objects) {
        if (inScene(object, scene))
            (object->isSelected() ? removed : added).append(object);
    }
    auto *combo = new CmdCombo(scene, QStringLiteral("Unknown Combo Command"));
    if (!removed.isEmpty())
        combo->add(new CmdSelectTextObjects(scene, removed, 3), false);
    if (!added.isEmpty())
        combo->add(new CmdSelectTextObjects(scene, added, 2), false);
    scene->executeCommand(combo);
    updateHierarchyPanel();
}

void VorrelQt::OnHierarchySoftTypeClicked(Glyph *glyph, SoftType *softType)
{
    QVorrelScene *scene = activeScene();
    if (!softType || !inScene(glyph, scene))
        return;
    // The dialog edits a clone in place; the SoftType itself changes only
    // through a command.
    const std::unique_ptr<SoftType> clone(softType->clone());
    int result;
    int button;
    {
        SoftTypeDlg dialog(clone.get(), nullptr);
        result = Modal::exec(&dialog);
        button = dialog.buttonCode;
    }
    if (result != QDialog::Accepted)
        return;
    if (button == 1)
        scene->executeCommand(new CmdEditSoftType(scene, softType, clone->values()));
    else if (button == 2)
        scene->executeCommand(new CmdRemoveSoftType(scene, glyph, softType->name()));
}

void VorrelQt::OnHistoryUndoTriggered(int steps)
{
    stepHistory(steps, &QVorrelScene::undo);
}

void VorrelQt::OnHistoryRedoTriggered(int steps)
{
    stepHistory(steps, &QVorrelScene::redo);
}

void VorrelQt::stepHistory(int steps, void (QVorrelScene::*step)())
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    {
        const QScopedValueRollback<bool> held(m_refreshHeld, true);
        for (int i = 0; i < steps; ++i)
            (scene->*step)();
    }
    if (m_refreshWanted && !m_refreshHeld) {
        m_refreshWanted = false;
        updateAll();
    }
}

void VorrelQt::OnSofttypeChanged(const QString &name, const QHash<QString, QVariant> &values)
{
    if (QVorrelScene *scene = activeScene())
        scene->editSoftType(name, values);
}

void VorrelQt::OnSofttypeRemoved(const QString &name)
{
    if (QVorrelScene *scene = activeScene())
        scene->removeSoftType(name);
}

void VorrelQt::OnCaretPositionChanged(const QPointF &position)
{
    if (QVorrelScene *scene = activeScene())
        scene->executeCommand(new CmdMoveCaretPoint(scene, position));
}

namespace {

// The active scene when something is selected in it.
QVorrelScene *withSelection(QVorrelScene *scene)
{
    return scene && !scene->selectedObjects().isEmpty() ? scene : nullptr;
}

} // namespace

void VorrelQt::executeWithCaretStep(QVorrelScene *scene, Cmd *command)
{
    auto *combo = new CmdCombo(scene, QStringLiteral("Unknown Combo Command"));
    combo->add(command, true);
    auto *glyph = qobject_cast<Glyph *>(scene->textPointer().glyph);
    if (glyph && (glyph->isSelected() || glyph->hasSelectedAncestor()))
        combo->add(new CmdMoveCaretGlyph(scene, glyph), false);
    scene->executeCommand(combo);
}

void VorrelQt::OnTextPositionChanged(const QPointF &position)
{
    if (QVorrelScene *scene = withSelection(activeScene())) {
        // The position shown is the bottom left of the selection.
        const QRectF bounds = scene->selectionBoundingRect();
        const QPointF shown(bounds.left(), bounds.top() + bounds.height());
        executeWithCaretStep(scene, new CmdMoveSelected(scene, position - shown));
    }
}

void VorrelQt::OnTextRotationChangedBy(float degrees)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        scene->rotateSelectedAboutCentre(degrees);
}

void VorrelQt::OnTextFontChanged(const QFont &font)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        executeWithCaretStep(scene, new CmdSetSelectedFont(scene, font));
}

void VorrelQt::OnTextFontSizeChanged(int pointSize)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        executeWithCaretStep(scene, new CmdSetSelectedFontSize(scene, pointSize));
}

void VorrelQt::OnTextFillColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        scene->executeCommand(new CmdSetSelectedFillColor(scene, color));
}

void VorrelQt::OnTextStrokeColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        scene->executeCommand(new CmdSetSelectedStrokeColor(scene, color));
}

void VorrelQt::OnTextStrokeWidthChanged(float width)
{
    if (QVorrelScene *scene = withSelection(activeScene()))
        scene->executeCommand(new CmdSetSelectedStrokeWidth(scene, width));
}

void VorrelQt::contextMenuEvent(QContextMenuEvent *event)
{
    QVorrelView *view = activeView();
    // Not during a drag either: the menu would take the left button's
    // release, and the drag would go on following the pointer.
    if (!view || view->isPlaying() || (view->scene()->mouseButtons() & Qt::LeftButton))
        return;
    QMenu menu(this);
    menu.addAction(ui.actionSoftTypeStart);
    QMenu *softTypes = menu.addMenu(tr("SoftTypes"));
    softTypes->addMenu(ui.menuAddSoftType);
    softTypes->addMenu(ui.menuRemoveSoftType);
    softTypes->addAction(ui.actionSoftTypeRemoveAll);
    softTypes->addSeparator();
    softTypes->addAction(ui.actionSoftTypeResetDeformation);
    softTypes->addAction(ui.actionSoftTypeSetAsOriginal);
    menu.addSeparator();
    menu.addAction(ui.actionNozzleStartStop);
    menu.addSeparator();
    menu.addActions({ui.actionEditCut, ui.actionEditCopy, ui.actionEditPasteGlyphs, ui.actionEditPasteCharacters,
                     ui.actionEditPasteSoftTypes});
    menu.addSeparator();
    menu.addActions({ui.actionObjectLock, ui.actionObjectUnlock, ui.actionObjectHide, ui.actionObjectReset});
    Modal::execMenu(&menu, event->globalPos());
}

// Refresh -------------------------------------------------------------------

void VorrelQt::updateAll()
{
    if (m_refreshHeld) {
        m_refreshWanted = true;
        return;
    }
    updateActionStates();
    updateHierarchyPanel();
    updateHistoryPanel();
    updatePropertiesPanel();
    updateSoftTypePanel();
    updateTextpadPanel();
    updateMainToolbar();
    updateTypeToolbar();
}

void VorrelQt::updateActionStates()
{
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    const bool document = view && scene;
    const bool playing = document && view->isPlaying();
    const bool selection = document && !scene->selectedObjects().isEmpty();
    const bool glyphCopies = !m_copiedGlyphs.isEmpty();
    const bool clipboardText = clipboardHasText();
    const bool editable = document && !playing;
    const bool selectionEditable = selection && !playing;

    enable({ui.actionFileNew, ui.actionFileOpen, ui.actionFileExit}, true);
    enable({ui.actionFileClose, ui.actionFileSave, ui.actionFileSaveAs, ui.actionFileSaveOptions}, document);
    ui.menuExport->setEnabled(editable);
    ui.actionExportSequence->setEnabled(editable);
    enable({ui.actionFilePrint, ui.actionFilePrintPreview, ui.actionFilePrintSetup}, false);

    ui.menuEdit->setEnabled(editable);
    enable({ui.actionEditCopy, ui.actionEditCut}, selection);
    ui.actionEditPasteGlyphs->setEnabled(glyphCopies || clipboardText);
    ui.actionEditPasteCharacters->setEnabled(clipboardText);
    ui.actionEditPasteSoftTypes->setEnabled(glyphCopies);

    ui.menuObject->setEnabled(editable);
    enable({ui.menuArrange, ui.menuConvertTo}, selection);
    enable({ui.actionObjectLock, ui.actionObjectUnlock, ui.actionObjectHide, ui.actionObjectReset}, selection);

    ui.menuSoftType->setEnabled(document);
    ui.actionSoftTypeStart->setEnabled(document);
    ui.menuAddSoftType->setEnabled(selectionEditable);
    enable({ui.actionAddSoftTypeClay, ui.actionAddSoftTypeCloth, ui.actionAddSoftTypeDrift,
            ui.actionAddSoftTypeExplode, ui.actionAddSoftTypeLeak, ui.actionAddSoftTypeLens,
            ui.actionAddSoftTypeOriginateLinear, ui.actionAddSoftTypeOriginateAsymptotic, ui.actionAddSoftTypePull,
            ui.actionAddSoftTypePulse, ui.actionAddSoftTypeRubber, ui.actionAddSoftTypeTwirl},
           selection);
    ui.menuAddOriginate->setEnabled(selection);
    ui.menuRemoveSoftType->setEnabled(selectionEditable);
    const QStringList kinds = scene ? scene->selectedSoftTypeKinds() : QStringList();
    for (const RemoveEntry &entry : RemoveActions)
        (ui.*entry.action)->setEnabled(kinds.contains(QLatin1String(entry.kind), Qt::CaseInsensitive));
    ui.menuRemoveOriginate->setEnabled(ui.actionRemoveSoftTypeOriginateLinear->isEnabled()
                                       || ui.actionRemoveSoftTypeOriginateAsymptotic->isEnabled());
    enable({ui.actionSoftTypeRemoveAll, ui.actionSoftTypeResetDeformation, ui.actionSoftTypeSetAsOriginal},
           selectionEditable);

    ui.menuTextpad->setEnabled(editable);
    ui.actionTextpadSyncFile->setEnabled(document && !scene->textpadFileName().isEmpty());
    ui.actionTextpadSyncFile->setChecked(document && view->isTextpadFileSync());
    if (m_textpadDock) {
        const TextpadPanelDockWidget *pad = m_textpadDock;
        ui.actionNozzleStartStop->setText(pad->nozzleOn ? tr("Stop Nozzle") : tr("Start Nozzle"));
        ui.actionNozzleStartStop->setIcon(pad->nozzleOn ? m_nozzleOnIcon : m_nozzleOffIcon);
        ui.actionTextpadGlyph->setChecked(pad->nozzleType == 2);
        ui.actionTextpadWord->setChecked(pad->nozzleType == 3);
        ui.actionTextpadPassage->setChecked(pad->nozzleType == 4);
        ui.actionTextpadForward->setChecked(pad->advance == 0);
        ui.actionTextpadRepeat->setChecked(pad->advance == 1);
        QAction *const intervals[] = {ui.actionTextpad100ms, ui.actionTextpad200ms, ui.actionTextpad300ms,
                                      ui.actionTextpad400ms, ui.actionTextpad500ms, ui.actionTextpad600ms,
                                      ui.actionTextpad700ms, ui.actionTextpad800ms, ui.actionTextpad900ms,
                                      ui.actionTextpad1000ms};
        for (int i = 0; i < 10; ++i)
            intervals[i]->setChecked(pad->nozzleInterval == 100 * (i + 1));
        ui.actionTextpadClick->setChecked(pad->nozzleInterval == 0);
        ui.actionTextpadLoop->setChecked(pad->loop);
    }

    ui.menuSelect->setEnabled(editable);
    ui.menuView->setEnabled(true);
    // A dock's entry is checked while the dock is open, whether it waits
    // behind another tab or the window is off screen: the entry's toggle
    // shows and hides the dock, so a check mark taken from what is on
    // screen would close docks that are merely covered.
    for (const DockEntry &entry : dockEntries()) {
        if (entry.dock)
            entry.action->setChecked(!entry.dock->isHidden());
    }
    enable({ui.actionViewExtras, ui.actionViewCaret, ui.actionViewSelection, ui.actionViewGrid,
            ui.actionViewWorkArea, ui.actionViewScrollbars, ui.actionViewCenterCanvas, ui.actionViewZoomIn,
            ui.actionViewZoomOut, ui.actionViewActualSize},
           document);
    enable({ui.menuExtras, ui.menuSnapTo}, document);
    ui.actionViewControlPoints->setVisible(false);

    if (!document)
        return;
    ui.actionEditUndo->setEnabled(scene->canUndo());
    ui.actionEditRedo->setEnabled(scene->canRedo());
    ui.actionViewExtras->setChecked(scene->extrasVisible());
    ui.actionViewCaret->setChecked(scene->isCaretVisible());
    ui.actionViewSelection->setChecked(scene->isSelectionVisible());
    ui.actionViewGrid->setChecked(scene->isGridVisible());
    ui.actionViewWorkArea->setChecked(scene->isWorkAreaVisible());
    ui.actionViewSnapToGrid->setChecked(scene->snapFlags() & 1);
    ui.actionExportTurnOn->setText(scene->exportArmed() ? tr("Turn Off") : tr("Turn On"));
    ui.actionSoftTypeStart->setText(playing ? tr("Stop SoftTypes") : tr("Start SoftTypes"));
    ui.actionViewScrollbars->setChecked(view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
}

void VorrelQt::updateHierarchyPanel()
{
    if (!m_hierarchyDock)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    m_hierarchyDock->setEnabled(scene && !view->isPlaying());
    if (scene)
        m_hierarchyDock->updateTree(scene->root());
    else
        m_hierarchyDock->clear();
}

void VorrelQt::updateHistoryPanel()
{
    if (!m_historyDock)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    m_historyDock->setEnabled(scene && !view->isPlaying());
    if (scene)
        m_historyDock->setHistory(scene->history(), scene->historyIndex());
    else
        m_historyDock->clear();
}

void VorrelQt::updatePropertiesPanel()
{
    PropertiesPanelDockWidget *dock = m_propertiesDock;
    if (!dock)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    const bool selection = scene && !scene->selectedObjects().isEmpty();
    dock->setEditingPropertiesEnabled(scene);
    // The selection's text cannot be edited while it moves.
    dock->setTextPropertiesEnabled(selection && !view->isPlaying());
    if (!scene)
        return;

    dock->setCaretPosition(scene->caret()->pos());
    dock->setSelectedText(scene->selectedText());
    const QRectF bounds = scene->selectionBoundingRect();
    dock->setTextPosition(QPointF(bounds.left(), bounds.top() + bounds.height()));

    // The first outlined object's first glyph shows the look; a rotation
    // that differs from the one shown shows 0.
    bool first = true;
    float shownRotation = 0;
    SelectedListIterator it(scene);
    while (it.hasNext()) {
        TextObject *object = it.next();
        if (!object->hasOutline())
            continue;
        const Glyph *glyph = object->firstGlyph();
        const float rotation = float(glyph->rotation());
        if (first) {
            first = false;
            shownRotation = rotation;
            dock->setTextRotation(rotation);
            dock->setTextFont(glyph->font());
            dock->setTextFillColor(glyph->fillColor());
            dock->setTextStrokeColor(glyph->strokeColor());
            dock->setTextStrokeWidth(glyph->strokeWidth());
        } else if (rotation != shownRotation && shownRotation != 0) {
            shownRotation = 0;
            dock->setTextRotation(0);
        }
    }
    if (first) {
        dock->setTextRotation(0);
        dock->setTextFont(QFont());
        dock->setTextFillColor(QColor());
        dock->setTextStrokeColor(QColor());
        dock->setTextStrokeWidth(0);
    }
}

void VorrelQt::updateSoftTypePanel()
{
    if (!m_softTypeDock)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    const bool selection = scene && !scene->selectedObjects().isEmpty();
    m_softTypeDock->setEnabled(selection && !view->isPlaying());
    if (!scene)
        return;
    // By name; the first selected object that carries a name stands for it.
    QMap<QString, SoftType *> softTypes;
    SelectedListIterator it(scene);
    while (it.hasNext()) {
        const TextObject *object = it.next();
        if (!object->hasOutline())
            continue;
        const QMap<QString, SoftType *> own = object->softTypesByName();
        for (auto i = own.cbegin(); i != own.cend(); ++i) {
            if (!softTypes.contains(i.key()))
                softTypes.insert(i.key(), i.value());
        }
    }
    m_softTypeDock->setSoftTypes(softTypes);
}

void VorrelQt::updateTextpadPanel()
{
    if (!m_textpadDock)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    m_textpadDock->setEnabled(scene && !view->isPlaying());
    if (!scene)
        return;
    m_textpadDock->setNozzleOn(view->isNozzleArmed());
    m_textpadDock->setText(scene->textpadText());
}

void VorrelQt::updateTypeToolbar()
{
    if (!m_typeToolbar)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    m_typeToolbar->setEnabled(scene && !view->isPlaying());
    if (!scene)
        return;
    m_typeToolbar->setFont(scene->textFont());
    m_typeToolbar->setFillColor(scene->fillColor());
    m_typeToolbar->setStrokeColor(scene->strokeColor());
    m_typeToolbar->setStrokeWidth(scene->strokeWidth());
}

void VorrelQt::updateMainToolbar()
{
    if (!m_mainToolbar)
        return;
    QVorrelView *view = activeView();
    QVorrelScene *scene = view ? view->scene() : nullptr;
    const bool document = view && scene;
    const bool playing = document && view->isPlaying();
    const bool editable = document && !playing;
    const bool selection = editable && !scene->selectedObjects().isEmpty();

    MainToolbar *bar = m_mainToolbar;
    bar->newAction->setEnabled(true);
    bar->openAction->setEnabled(true);
    bar->saveAction->setEnabled(document);
    bar->printAction->setEnabled(false);
    bar->copyAction->setEnabled(selection);
    bar->cutAction->setEnabled(selection);
    bar->pasteAction->setEnabled(editable && (!m_copiedGlyphs.isEmpty() || clipboardHasText()));
    bar->startStopAction->setEnabled(document);
    bar->turnExportOnOffAction->setEnabled(editable);
    bar->setExportFileAction->setEnabled(editable);
    bar->setExporting(document && scene->exportArmed());
    bar->setPlaying(playing);
}

// View host -----------------------------------------------------------------

QString VorrelQt::nextPiece()
{
    return m_textpadDock ? m_textpadDock->nextPiece() : QString();
}

int VorrelQt::nozzleType() const
{
    return m_textpadDock ? m_textpadDock->nozzleType : 2;
}

int VorrelQt::nozzleInterval() const
{
    return m_textpadDock ? m_textpadDock->nozzleInterval : 100;
}

int VorrelQt::textpadSyncInterval() const
{
    return m_textpadDock ? m_textpadDock->syncInterval : 5000;
}

void VorrelQt::showMousePosition(const QPointF &position)
{
    if (m_propertiesDock)
        m_propertiesDock->setMousePosition(position);
}

void VorrelQt::showSelectionArea(const QRectF &)
{
    // The rubber band is drawn by the scene; the window shows no area.
}

// Clipboard, type toolbar, textpad, SoftTypes and still export

namespace {

const char LoremIpsum[] =
    "Lorem ipsum dolor sit amet, consectetur adipiscing elit. Sed do eiusmod tempor incididunt ut labore "
    "et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris nisi ut "
    "aliquip ex ea commodo consequat. Duis aute irure dolor in reprehenderit in voluptate velit esse "
    "cillum dolore eu fugiat nulla pariatur. Excepteur sint occaecat cupidatat non proident, sunt in "
    "culpa qui officia deserunt mollit anim id est laborum. Curabitur pretium tincidunt lacus. Nulla "
    "gravida orci a odio. Nullam varius, turpis et commodo pharetra, est eros bibendum elit, nec luctus "
    "magna felis sollicitudin mauris. Integer in mauris eu nibh euismod gravida. Donec lobortis risus a "
    "elit. Etiam tempor. Ut ullamcorper, ligula eu tempor congue, eros est euismod turpis, id tincidunt "
    "sapien risus a quam. Maecenas fermentum consequat mi. Donec fermentum. Pellentesque malesuada nulla "
    "a mi. Duis sapien sem, aliquet nec, commodo eget, consequat quis, neque. Nullam arcu. Donec semper "
    "massa magna.";

// Menu entries with the slots they run.
struct MenuSlot
{
    QAction *Ui_VorrelQtClass::*action;
    void (VorrelQt::*slot)();
};

} // namespace

void VorrelQt::connectClipboardAndTypeToolbar()
{
    const MenuSlot edits[] = {
        {&Ui_VorrelQtClass::actionEditCut, &VorrelQt::OnEditCut},
        {&Ui_VorrelQtClass::actionEditCopy, &VorrelQt::OnEditCopy},
        {&Ui_VorrelQtClass::actionEditPasteGlyphs, &VorrelQt::OnEditPasteGlyphs},
        {&Ui_VorrelQtClass::actionEditPasteCharacters, &VorrelQt::OnEditPasteCharacters},
        {&Ui_VorrelQtClass::actionEditPasteSoftTypes, &VorrelQt::OnEditPasteSoftTypes},
    };
    for (const MenuSlot &entry : edits)
        connect(ui.*entry.action, &QAction::triggered, this, entry.slot);
    // The paste entries follow what any program puts on the clipboard.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        updateActionStates();
        updateMainToolbar();
    });

    // The toolbar made its own connections first: its lists already show
    // the edit when these slots read them.
    const TypeToolbar *bar = m_typeToolbar;
    connect(bar->fontComboBox, &QFontComboBox::currentFontChanged, this, &VorrelQt::OnToolbarFontChanged);
    connect(bar->fontStyleComboBox, &QComboBox::textActivated, this, &VorrelQt::OnToolbarFontStyleChanged);
    connect(bar->fontSizeComboBox, &QComboBox::textActivated, this,
            QOverload<const QString &>::of(&VorrelQt::OnToolbarFontSizeChanged));
    connect(bar->fontSizeSlider, &QSlider::valueChanged, this, QOverload<int>::of(&VorrelQt::OnToolbarFontSizeChanged));
    connect(bar, &TypeToolbar::fillColorChanged, this, &VorrelQt::OnToolbarFillColorChanged);
    connect(bar, &TypeToolbar::strokeColorChanged, this, &VorrelQt::OnToolbarStrokeColorChanged);
    connect(bar->strokeWidthTextEdit, &QLineEdit::editingFinished, this,
            &VorrelQt::OnToolbarStrokeWidthTextEditFinished);
}

void VorrelQt::connectTextpad()
{
    const MenuSlot entries[] = {
        {&Ui_VorrelQtClass::actionTextpadLoremIpsum, &VorrelQt::OnTextpadLoadLoremlpsum},
        {&Ui_VorrelQtClass::actionTextpadAlphanumeric, &VorrelQt::OnTextpadLoadAlphanumeric},
        {&Ui_VorrelQtClass::actionTextpadDigits, &VorrelQt::OnTextpadLoadDigits},
        {&Ui_VorrelQtClass::actionTextpadAlphabet, &VorrelQt::OnTextpadLoadAlphabet},
        {&Ui_VorrelQtClass::actionTextpadUppercase, &VorrelQt::OnTextpadLoadUppercase},
        {&Ui_VorrelQtClass::actionTextpadLowercase, &VorrelQt::OnTextpadLoadLowercase},
        {&Ui_VorrelQtClass::actionTextpadLoadFile, &VorrelQt::OnTextpadLoadFile},
        {&Ui_VorrelQtClass::actionTextpadSyncFile, &VorrelQt::OnTextpadSyncFile},
        {&Ui_VorrelQtClass::actionNozzleStartStop, &VorrelQt::OnTextpadNozzleStartStop},
        {&Ui_VorrelQtClass::actionTextpadGlyph, &VorrelQt::OnTextpadNozzleTypeGlyph},
        {&Ui_VorrelQtClass::actionTextpadWord, &VorrelQt::OnTextpadNozzleTypeWord},
        {&Ui_VorrelQtClass::actionTextpadPassage, &VorrelQt::OnTextpadNozzleTypePassage},
        {&Ui_VorrelQtClass::actionTextpadForward, &VorrelQt::OnTextpadNozzleAdvanceForward},
        {&Ui_VorrelQtClass::actionTextpadRepeat, &VorrelQt::OnTextpadNozzleAdvanceRepeat},
        {&Ui_VorrelQtClass::actionTextpad100ms, &VorrelQt::OnTextpadNozzleInterval100ms},
        {&Ui_VorrelQtClass::actionTextpad200ms, &VorrelQt::OnTextpadNozzleInterval200ms},
        {&Ui_VorrelQtClass::actionTextpad300ms, &VorrelQt::OnTextpadNozzleInterval300ms},
        {&Ui_VorrelQtClass::actionTextpad400ms, &VorrelQt::OnTextpadNozzleInterval400ms},
        {&Ui_VorrelQtClass::actionTextpad500ms, &VorrelQt::OnTextpadNozzleInterval500ms},
        {&Ui_VorrelQtClass::actionTextpad600ms, &VorrelQt::OnTextpadNozzleInterval600ms},
        {&Ui_VorrelQtClass::actionTextpad700ms, &VorrelQt::OnTextpadNozzleInterval700ms},
        {&Ui_VorrelQtClass::actionTextpad800ms, &VorrelQt::OnTextpadNozzleInterval800ms},
        {&Ui_VorrelQtClass::actionTextpad900ms, &VorrelQt::OnTextpadNozzleInterval900ms},
        {&Ui_VorrelQtClass::actionTextpad1000ms, &VorrelQt::OnTextpadNozzleInterval1000ms},
        {&Ui_VorrelQtClass::actionTextpadClick, &VorrelQt::OnTextpadNozzleIntervalClick},
        {&Ui_VorrelQtClass::actionTextpadLoop, &VorrelQt::OnTextpadNozzleLoop},
    };
    for (const MenuSlot &entry : entries)
        connect(ui.*entry.action, &QAction::triggered, this, entry.slot);

    connect(m_textpadDock, &TextpadPanelDockWidget::loadFile, this, &VorrelQt::OnTextpadLoadFile);
    connect(m_textpadDock, &TextpadPanelDockWidget::textChanged, this, &VorrelQt::OnTextpadTextChanged);
    connect(m_textpadDock, &TextpadPanelDockWidget::nozzleChanged, this, &VorrelQt::OnTextpadNozzleChanged);
}

void VorrelQt::connectSoftTypesAndExport()
{
    const MenuSlot entries[] = {
        {&Ui_VorrelQtClass::actionAddSoftTypeClay, &VorrelQt::OnAddSoftTypeClay},
        {&Ui_VorrelQtClass::actionAddSoftTypeCloth, &VorrelQt::OnAddSoftTypeCloth},
        {&Ui_VorrelQtClass::actionAddSoftTypeDrift, &VorrelQt::OnAddSoftTypeDrift},
        {&Ui_VorrelQtClass::actionAddSoftTypeExplode, &VorrelQt::OnAddSoftTypeExplode},
        {&Ui_VorrelQtClass::actionAddSoftTypeLeak, &VorrelQt::OnAddSoftTypeLeak},
        {&Ui_VorrelQtClass::actionAddSoftTypeLens, &VorrelQt::OnAddSoftTypeLens},
        {&Ui_VorrelQtClass::actionAddSoftTypeOriginateAsymptotic, &VorrelQt::OnAddSoftTypeOriginateAsympotic},
        {&Ui_VorrelQtClass::actionAddSoftTypeOriginateLinear, &VorrelQt::OnAddSoftTypeOriginateLinear},
        {&Ui_VorrelQtClass::actionAddSoftTypePull, &VorrelQt::OnAddSoftTypePull},
        {&Ui_VorrelQtClass::actionAddSoftTypePulse, &VorrelQt::OnAddSoftTypePulse},
        {&Ui_VorrelQtClass::actionAddSoftTypeRubber, &VorrelQt::OnAddSoftTypeRubber},
        {&Ui_VorrelQtClass::actionAddSoftTypeTwirl, &VorrelQt::OnAddSoftTypeTwirl},
        {&Ui_VorrelQtClass::actionExportPNG, &VorrelQt::OnExportPNG},
        {&Ui_VorrelQtClass::actionExportTIFF, &VorrelQt::OnExportTIFF},
        {&Ui_VorrelQtClass::actionExportJPEG, &VorrelQt::OnExportJPEG},
        {&Ui_VorrelQtClass::actionExportBMP, &VorrelQt::OnExportBMP},
        {&Ui_VorrelQtClass::actionExportPDF, &VorrelQt::OnExportPDF},
        {&Ui_VorrelQtClass::actionExportMultipagePDF, &VorrelQt::OnExportMultiPagePDF},
        {&Ui_VorrelQtClass::actionExportSequence, &VorrelQt::OnExportSequenceSetFile},
    };
    for (const MenuSlot &entry : entries)
        connect(ui.*entry.action, &QAction::triggered, this, entry.slot);
}

// Clipboard -----------------------------------------------------------------

void VorrelQt::OnEditCopy()
{
    QVorrelScene *scene = activeScene();
    if (!scene || scene->selectedObjects().isEmpty())
        return;
    // Line breaks are carriage-return glyphs; other programs expect "\n".
    QString text = scene->selectedText();
    text.replace(QChar(Glyph::LineBreak), QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);

    qDeleteAll(m_copiedGlyphs);
    m_copiedGlyphs.clear();
    SelectedListIterator it(scene);
    while (it.hasNext()) {
        GlyphIterator glyphs(it.next(), TextIterator::Forward | TextIterator::PostOrder);
        while (glyphs.hasNext())
            m_copiedGlyphs.append(glyphs.next()->cloneGlyph());
    }
    updateActionStates();
    updateMainToolbar();
}

void VorrelQt::OnEditCut()
{
    QVorrelScene *scene = activeScene();
    if (!scene || scene->selectedObjects().isEmpty())
        return;
    OnEditCopy();
    scene->removeSelected();
}

void VorrelQt::OnEditPasteGlyphs()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    if (m_copiedGlyphs.isEmpty())
        OnEditPasteCharacters();
    else
        scene->insertGlyphs(m_copiedGlyphs);
}

void VorrelQt::OnEditPasteCharacters()
{
    QVorrelScene *scene = activeScene();
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (scene && !text.isEmpty())
        scene->insertStringAtCaret(text);
}

void VorrelQt::OnEditPasteSoftTypes()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    // One per name, in name order: the first copy carrying a name stands
    // for it.
    QMap<QString, SoftType *> byName;
    for (const Glyph *glyph : qAsConst(m_copiedGlyphs)) {
        for (SoftType *softType : glyph->softTypes()) {
            if (!byName.contains(softType->name()))
                byName.insert(softType->name(), softType);
        }
    }
    if (!byName.isEmpty())
        scene->pasteSoftTypes(byName.values());
}

// Type toolbar --------------------------------------------------------------

void VorrelQt::applyTextStyle(QVorrelScene *scene, Cmd *style, Cmd *selected, bool caretStep)
{
    auto *combo = new CmdCombo(scene, QStringLiteral("Unknown Combo Command"));
    combo->add(style, true);
    if (!scene->selectedObjects().isEmpty()) {
        combo->add(selected, false);
        selected = nullptr;
        // The caret follows its glyph when that glyph's look changes.
        auto *glyph = qobject_cast<Glyph *>(scene->textPointer().glyph);
        if (caretStep && glyph && (glyph->isSelected() || glyph->hasSelectedAncestor()))
            combo->add(new CmdMoveCaretGlyph(scene, glyph), false);
    }
    delete selected;
    scene->executeCommand(combo);
}

void VorrelQt::OnToolbarFontChanged(const QFont &)
{
    if (QVorrelScene *scene = activeScene()) {
        const QFont font = m_typeToolbar->currentFont();
        applyTextStyle(scene, new CmdSetSceneFont(scene, font), new CmdSetSelectedFont(scene, font), true);
    }
}

void VorrelQt::OnToolbarFontStyleChanged(const QString &)
{
    OnToolbarFontChanged(QFont());
}

void VorrelQt::OnToolbarFontSizeChanged(int size)
{
    QVorrelScene *scene = activeScene();
    if (scene && size > 0)
        applyTextStyle(scene, new CmdSetSceneFontSize(scene, size), new CmdSetSelectedFontSize(scene, size), true);
}

void VorrelQt::OnToolbarFontSizeChanged(const QString &size)
{
    bool ok = false;
    const int points = size.trimmed().toInt(&ok, 10);
    if (ok)
        OnToolbarFontSizeChanged(points);
}

void VorrelQt::OnToolbarFillColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = activeScene())
        applyTextStyle(scene, new CmdSetSceneFillColor(scene, color), new CmdSetSelectedFillColor(scene, color), false);
}

void VorrelQt::OnToolbarStrokeColorChanged(const QColor &color)
{
    if (QVorrelScene *scene = activeScene())
        applyTextStyle(scene, new CmdSetSceneStrokeColor(scene, color), new CmdSetSelectedStrokeColor(scene, color),
                       false);
}

void VorrelQt::OnToolbarStrokeWidthTextEditFinished()
{
    QVorrelScene *scene = activeScene();
    // The field reads 0 for what is no number: only a width the field
    // accepts is applied.
    if (!scene || !m_typeToolbar->strokeWidthTextEdit->hasAcceptableInput())
        return;
    const float width = m_typeToolbar->strokeWidth();
    if (!(width >= 0) || !qIsFinite(width))
        return;
    applyTextStyle(scene, new CmdSetSceneStrokeWidth(scene, width), new CmdSetSelectedStrokeWidth(scene, width),
                   false);
}

// Textpad -------------------------------------------------------------------

void VorrelQt::setTextpadText(const QString &text)
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    if (view->scene()->textpadText() != text) {
        view->scene()->setTextpadText(text);
        view->markModified();
    }
    updateTextpadPanel();
}

void VorrelQt::OnTextpadLoadLoremlpsum()
{
    setTextpadText(QString::fromLatin1(LoremIpsum));
}

void VorrelQt::OnTextpadLoadAlphanumeric()
{
    setTextpadText(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
}

void VorrelQt::OnTextpadLoadDigits()
{
    setTextpadText(QStringLiteral("0123456789"));
}

void VorrelQt::OnTextpadLoadAlphabet()
{
    setTextpadText(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

void VorrelQt::OnTextpadLoadUppercase()
{
    setTextpadText(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

void VorrelQt::OnTextpadLoadLowercase()
{
    setTextpadText(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
}

void VorrelQt::OnTextpadLoadFile()
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    const QString fileName = Modal::getOpenFileName(this, tr("Import File"), QString(), tr("Text Files (*.txt)"));
    if (fileName.isEmpty())
        return;
    view->loadTextpadFile(fileName);
    updateTextpadPanel();
    updateActionStates();
}

void VorrelQt::OnTextpadSyncFile()
{
    if (QVorrelView *view = activeView())
        view->setTextpadFileSync(!view->isTextpadFileSync());
    updateActionStates();
}

void VorrelQt::OnTextpadTextChanged(const QString &text)
{
    // Kept with the document, outside its history.
    QVorrelView *view = activeView();
    if (view && view->scene()->textpadText() != text) {
        view->scene()->setTextpadText(text);
        view->markModified();
    }
}

void VorrelQt::OnTextpadNozzleChanged(bool on)
{
    if (QVorrelView *view = activeView())
        view->setNozzleArmed(on);
}

void VorrelQt::OnTextpadNozzleStartStop()
{
    QVorrelView *view = activeView();
    if (!view)
        return;
    m_textpadDock->setNozzleOn(!m_textpadDock->nozzleOn);
    view->setNozzleArmed(m_textpadDock->nozzleOn);
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleTypeGlyph()
{
    m_textpadDock->setNozzleType(2);
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleTypeWord()
{
    m_textpadDock->setNozzleType(3);
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleTypePassage()
{
    m_textpadDock->setNozzleType(4);
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleAdvanceForward()
{
    m_textpadDock->setAdvance(0);
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleAdvanceRepeat()
{
    m_textpadDock->setAdvance(1);
    updateActionStates();
}

void VorrelQt::setNozzleInterval(int milliseconds)
{
    m_textpadDock->nozzleInterval = milliseconds;
    updateActionStates();
}

void VorrelQt::OnTextpadNozzleInterval100ms() { setNozzleInterval(100); }
void VorrelQt::OnTextpadNozzleInterval200ms() { setNozzleInterval(200); }
void VorrelQt::OnTextpadNozzleInterval300ms() { setNozzleInterval(300); }
void VorrelQt::OnTextpadNozzleInterval400ms() { setNozzleInterval(400); }
void VorrelQt::OnTextpadNozzleInterval500ms() { setNozzleInterval(500); }
void VorrelQt::OnTextpadNozzleInterval600ms() { setNozzleInterval(600); }
void VorrelQt::OnTextpadNozzleInterval700ms() { setNozzleInterval(700); }
void VorrelQt::OnTextpadNozzleInterval800ms() { setNozzleInterval(800); }
void VorrelQt::OnTextpadNozzleInterval900ms() { setNozzleInterval(900); }
void VorrelQt::OnTextpadNozzleInterval1000ms() { setNozzleInterval(1000); }

void VorrelQt::OnTextpadNozzleIntervalClick()
{
    // One piece per click, no repeat.
    setNozzleInterval(0);
}

void VorrelQt::OnTextpadNozzleLoop()
{
    m_textpadDock->setLoop(!m_textpadDock->loop);
    updateActionStates();
}

// SoftTypes -----------------------------------------------------------------

void VorrelQt::OnAddSoftType(SoftType *prototype)
{
    QVorrelScene *scene = activeScene();
    if (!scene || !prototype)
        return;
    const QString kind = prototype->typeKey();
    const int number = m_softTypeCounters.value(kind, 1);
    std::unique_ptr<SoftType> clone(prototype->clone());
    clone->setName(QStringLiteral("%1-%2").arg(kind).arg(number));
    {
        SoftTypeDlg dialog(clone.get(), nullptr);
        dialog.hideRemoveButton();
        // Cancelled: the next one is offered under the same number.
        if (Modal::exec(&dialog) != QDialog::Accepted)
            return;
    }
    scene->addSoftType(clone.get());
    m_softTypeCounters.insert(kind, number + 1);
    const QString ownName = prototype->name();
    prototype->setValues(clone->values());
    prototype->setName(ownName);
}

void VorrelQt::OnAddSoftTypeClay() { OnAddSoftType(m_prototypes.value(QStringLiteral("clay"))); }
void VorrelQt::OnAddSoftTypeCloth() { OnAddSoftType(m_prototypes.value(QStringLiteral("cloth"))); }
void VorrelQt::OnAddSoftTypeDrift() { OnAddSoftType(m_prototypes.value(QStringLiteral("drift"))); }
void VorrelQt::OnAddSoftTypeExplode() { OnAddSoftType(m_prototypes.value(QStringLiteral("explode"))); }
void VorrelQt::OnAddSoftTypeLeak() { OnAddSoftType(m_prototypes.value(QStringLiteral("leak"))); }
void VorrelQt::OnAddSoftTypeLens() { OnAddSoftType(m_prototypes.value(QStringLiteral("lens"))); }
void VorrelQt::OnAddSoftTypeOriginateAsympotic()
{
    OnAddSoftType(m_prototypes.value(QStringLiteral("originate asymptotic")));
}
void VorrelQt::OnAddSoftTypeOriginateLinear()
{
    OnAddSoftType(m_prototypes.value(QStringLiteral("originate linear")));
}
void VorrelQt::OnAddSoftTypePull() { OnAddSoftType(m_prototypes.value(QStringLiteral("pull"))); }
void VorrelQt::OnAddSoftTypePulse() { OnAddSoftType(m_prototypes.value(QStringLiteral("pulse"))); }
void VorrelQt::OnAddSoftTypeRubber() { OnAddSoftType(m_prototypes.value(QStringLiteral("rubber"))); }
void VorrelQt::OnAddSoftTypeTwirl() { OnAddSoftType(m_prototypes.value(QStringLiteral("Twirl"))); }

// Still export --------------------------------------------------------------

QString VorrelQt::askExportFile(const QString &caption, const QString &suffix, const QString &filter)
{
    // The proposed name stands in the current directory, the home folder. The
    // file is written under exactly the name chosen; an existing one is asked
    // about.
    return SaveFileDialog::getSaveFileName(this, caption, activeScene()->title() + QLatin1Char('.') + suffix, filter);
}

namespace {

void reportUnwritten(QWidget *parent, const QString &caption, const QString &fileName)
{
    Modal::warning(parent, caption,
                   QStringLiteral("Unable to write the file '%1'. An existing file of that name is kept as it was.")
                       .arg(QDir::toNativeSeparators(fileName)));
}

// Renders with the wait cursor shown, then reports a file that was not
// written.
template<typename Render>
void writeExport(QWidget *window, const QString &caption, const QString &fileName, const Render &render)
{
    window->setCursor(Qt::WaitCursor);
    const bool written = render();
    window->setCursor(Qt::ArrowCursor);
    if (!written)
        reportUnwritten(window, caption, fileName);
}

} // namespace

bool VorrelQt::renderToPDF(QVorrelScene *scene, const QString &fileName)
{
    return CanvasRenderer::renderToPDF(scene, fileName);
}

bool VorrelQt::renderToImage(QVorrelScene *scene, const QString &format, const QString &fileName)
{
    return CanvasRenderer::renderToImage(scene, format, fileName);
}

void VorrelQt::exportStill(const QString &kind, const QString &suffix, const QString &filter)
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    const QString caption = tr("Export ") + kind;
    const QString fileName = askExportFile(caption, suffix, filter);
    if (fileName.isEmpty())
        return;
    writeExport(this, caption, fileName, [&] { return renderToImage(scene, kind, fileName); });
}

void VorrelQt::OnExportPNG()
{
    exportStill(QStringLiteral("PNG"), QStringLiteral("png"), tr("PNG Files (*.png)"));
}

void VorrelQt::OnExportTIFF()
{
    exportStill(QStringLiteral("TIFF"), QStringLiteral("tif"), tr("TIFF Files (*.tif *.tiff)"));
}

void VorrelQt::OnExportJPEG()
{
    exportStill(QStringLiteral("JPEG"), QStringLiteral("jpg"), tr("JPEG Files (*.jpg *.jpeg)"));
}

void VorrelQt::OnExportBMP()
{
    exportStill(QStringLiteral("BMP"), QStringLiteral("bmp"), tr("BMP Files (*.bmp)"));
}

void VorrelQt::OnExportPDF()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    const QString caption = tr("Export PDF");
    const QString fileName = askExportFile(caption, QStringLiteral("pdf"), tr("PDF Files (*.pdf)"));
    if (fileName.isEmpty())
        return;
    writeExport(this, caption, fileName, [&] { return renderToPDF(scene, fileName); });
}

void VorrelQt::OnExportMultiPagePDF()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    const QString caption = tr("Export PDF");
    const QString fileName = askExportFile(caption, QStringLiteral("pdf"), tr("PDF Files (*.pdf)"));
    if (fileName.isEmpty())
        return;
    MultipagePDFDlg dialog(nullptr);
    if (Modal::exec(&dialog) != QDialog::Accepted)
        return;
    writeExport(this, caption, fileName, [&] {
        return CanvasRenderer::renderMultipagePDF(scene, fileName, dialog.objectType(), dialog.isClipping());
    });
}

// Sequence export -----------------------------------------------------------

namespace {

// The export dialog's filters, the first selected at first, and the suffix
// each gives a name whose own suffix is none of the known ones.
struct SequenceFilter
{
    const char *filter;
    const char *suffix;
};

const SequenceFilter SequenceFilters[] = {
    {"Quicktime (*.mov)", "mov"}, {"BMP (*.bmp)", "bmp"}, {"JPEG (*.jpg *.jpeg)", "jpg"},
    {"PDF (*.pdf)", "pdf"},       {"PNG (*.png)", "png"}, {"TIFF (*.tif *.tiff)", "tif"},
};

// The export kind of a suffix in lower case: 1 BMP, 2 JPEG, 3 PDF, 4 PNG,
// 5 TIFF, 6 movie; 0 for any other.
int sequenceKind(const QString &suffix)
{
    static const char *const suffixes[] = {"bmp", "jpg", "jpeg", "pdf", "png", "tif", "tiff", "mov"};
    static const int kinds[] = {1, 2, 2, 3, 4, 5, 5, 6};
    for (int i = 0; i < 8; ++i)
        if (suffix == QLatin1String(suffixes[i]))
            return kinds[i];
    return 0;
}

// A four-character code as the movie writer takes it, the first character
// in the highest byte.
constexpr int fourCC(const char (&c)[5])
{
    return int(uint(uchar(c[0])) << 24 | uint(uchar(c[1])) << 16 | uint(uchar(c[2])) << 8 | uint(uchar(c[3])));
}

struct NamedValue
{
    const char *name;
    int value;
};

// The movie settings dialog's codec and quality names and what the movie
// writer takes for them.
const NamedValue MovieCodecs[] = {
    {"Cinepak", fourCC("cvid")},  {"RAW", fourCC("raw ")},  {"JPEG", fourCC("jpeg")},
    {"Animation", fourCC("rle ")}, {"Video", fourCC("rpza")}, {"H.264", fourCC("avc1")},
    {"Sorenson 3", fourCC("SVQ3")}, {"MPEG4", fourCC("mp4v")},
};

const NamedValue MovieQualities[] = {
    {"Lossless", 1024}, {"Maximum", 1023}, {"High", 768}, {"Normal", 512}, {"Low", 256}, {"Minimum", 0},
};

template <size_t N>
bool lookUp(const NamedValue (&table)[N], const QString &name, int *value)
{
    for (const NamedValue &entry : table) {
        if (name == QLatin1String(entry.name)) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

} // namespace

void VorrelQt::OnExportSequenceSetFile()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    const QString current = scene->exportFileName();
    QString start = scene->title();
    if (!current.isEmpty()) {
        const QFileInfo file(current);
        start = file.path() + QLatin1Char('/') + file.completeBaseName();
    }
    QStringList filters;
    for (const SequenceFilter &entry : SequenceFilters)
        filters << QLatin1String(entry.filter);
    QString selected = filters.first();
    const QString caption = tr("Export Sequence");
    QString name = Modal::getSaveFileName(this, caption, start, filters.join(QLatin1String(";;")), &selected);
    // Cancelled: nothing changes.
    if (name.isEmpty())
        return;

    QString suffix = QFileInfo(name).suffix();
    if (!sequenceKind(suffix.toLower())) {
        const int filter = filters.indexOf(selected);
        suffix = QLatin1String(SequenceFilters[filter < 0 ? 0 : filter].suffix);
        name += QLatin1Char('.') + suffix;
    }
    const int kind = sequenceKind(suffix.toLower());
    const bool sameFile = name == current;
    // The movie already chosen is appended to; any other existing movie is
    // replaced by the next run, so it is asked about, and No changes nothing.
    if (kind == 6 && !sameFile && !SaveFileDialog::mayReplace(this, caption, name))
        return;

    Exporter *exporter = nullptr;
    if (kind == 6) {
        QuicktimeSettingsDlg dialog(this);
        if (Modal::exec(&dialog) != QDialog::Accepted)
            return;
        int codec = 0;
        int quality = 0;
        QString unknown;
        if (!lookUp(MovieCodecs, dialog.codecName(), &codec))
            unknown = QStringLiteral("Unknown codec type.");
        else if (!lookUp(MovieQualities, dialog.qualityName(), &quality))
            unknown = QStringLiteral("Unknown codec quality.");
        if (!unknown.isEmpty()) {
            Modal::warning(this, QStringLiteral("Quicktime Error"), unknown);
            return;
        }
        auto *movie = new ExporterMOV(quality, codec, sameFile);
        movie->setClearBackground(QuicktimeSettingsDlg::clearBackground);
        exporter = movie;
    }
    // Only now, with every question answered, does the export change.
    if (!sameFile) {
        scene->setExportFileName(name);
        scene->setExportFrameNumber(1);
    }
    scene->setExporter(kind, exporter);
    scene->setExportArmed(true);
    updateActionStates();
    updateMainToolbar();
}

void VorrelQt::OnExportSequence()
{
    QVorrelScene *scene = activeScene();
    if (!scene)
        return;
    if (scene->exportFileName().isEmpty()) {
        OnExportSequenceSetFile();
        return;
    }
    scene->setExportArmed(!scene->exportArmed());
    updateActionStates();
    updateMainToolbar();
}
