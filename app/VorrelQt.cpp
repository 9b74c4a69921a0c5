#include "app/VorrelQt.h"

#include "app/DocumentOpener.h"
#include "app/QVorrelView.h"
#include "app/VorrelSplash.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "modal/Modal.h"
#include "panels/ActiveScene.h"
#include "panels/MainToolbar.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalMapper>
#include <QStatusBar>
#include <QTabBar>

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
    {"PrintAction", nullptr},
    {"StartStopAction", &VorrelQt::OnStartStopSoftTypes},
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

    m_mainToolbar = new MainToolbar(tr("Main Toolbar"), this);
    addToolBar(m_mainToolbar);
    addToolBarBreak(Qt::TopToolBarArea);

    connectActions();
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
    ActiveScene::setProvider(nullptr);
    qDeleteAll(m_copiedGlyphs);
    qDeleteAll(m_prototypes);
}

void VorrelQt::connectActions()
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

    connect(m_mainToolbar, &QToolBar::actionTriggered, this, &VorrelQt::OnMainToolBarClick);
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

// Refresh -------------------------------------------------------------------

void VorrelQt::updateAll()
{
    updateActionStates();
    updateMainToolbar();
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

    ui.menuSelect->setEnabled(editable);
    ui.menuView->setEnabled(true);
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
    return QString();
}

int VorrelQt::nozzleType() const
{
    return 2;
}

int VorrelQt::nozzleInterval() const
{
    return 100;
}

int VorrelQt::textpadSyncInterval() const
{
    return 5000;
}

void VorrelQt::updateTextpadPanel()
{
}

void VorrelQt::showMousePosition(const QPointF &)
{
}

void VorrelQt::showSelectionArea(const QRectF &)
{
    // The rubber band is drawn by the scene; the window shows no area.
}
