#include "app/CommandLine.h"
#include "app/QVorrelView.h"
#include "app/VorrelQt.h"
#include "app/VorrelSplash.h"
#include "dialogs/SoftTypeDlg.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "panels/HistoryPanelDockWidget.h"
#include "panels/MainToolbar.h"
#include "panels/PropertiesPanelDockWidget.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "panels/TextpadPanelDockWidget.h"
#include "panels/TypeToolbar.h"
#include "propertybrowser/QtColorPropertyManager.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtProperty.h"
#include "propertybrowser/QtStringPropertyManager.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/ModalRecorder.h"
#include "support/Typist.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

// Records every signal of the docks and the type toolbar, and those of the
// toolbar's widgets that the window connects.
class PanelSignals : public QObject
{
    Q_OBJECT
public:
    explicit PanelSignals(VorrelQt *w)
    {
        const TypeToolbar *bar = w->typeToolbar();
        const QMetaMethod hit = metaObject()->method(metaObject()->indexOfSlot("hit()"));
        const QList<QObject *> panels = {w->hierarchyDock(), w->historyDock(), w->propertiesDock(),
                                         w->softTypeDock(), w->textpadDock(), w->typeToolbar()};
        for (QObject *panel : panels) {
            for (int i = 0; i < panel->metaObject()->methodCount(); ++i) {
                if (panel->metaObject()->method(i).methodType() == QMetaMethod::Signal)
                    connect(panel, panel->metaObject()->method(i), this, hit);
            }
        }
        connect(bar->fontComboBox, SIGNAL(currentFontChanged(QFont)), SLOT(hit()));
        connect(bar->fontStyleComboBox, SIGNAL(activated(QString)), SLOT(hit()));
        connect(bar->fontSizeComboBox, SIGNAL(activated(QString)), SLOT(hit()));
        connect(bar->fontSizeSlider, SIGNAL(valueChanged(int)), SLOT(hit()));
        connect(bar->strokeWidthTextEdit, SIGNAL(editingFinished()), SLOT(hit()));
    }
    QStringList fired;

public slots:
    void hit() { fired << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).methodSignature()); }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void construction();
    void dockToggles_data();
    void dockToggles();
    void closingTabs();
    void exitStopsAtARefusingDocument();
    void open_data();
    void open();
    void openPaths();
    void toolbarDispatch_data();
    void toolbarDispatch();
    void playShortcuts();
    void aboutBox();
    void actionStates_data();
    void actionStates();
    void textpadMenuMarks_data();
    void textpadMenuMarks();
    void refreshContentsAndViewHost();
    void rotationShown_data();
    void rotationShown();
    void softTypeOfFirstSelected();

private:
    QList<QMdiSubWindow *> tabs() const { return m_w->documentArea()->subWindowList(QMdiArea::CreationOrder); }
    // A document file: "Hi" with a header of this version, cut to size
    // bytes when size is not negative.
    QString writeDocument(qint32 version, int size = -1);
    // The tabs of the right-hand dock stack.
    QTabBar *dockTabs() const
    {
        for (QTabBar *bar : m_w->findChildren<QTabBar *>()) {
            if (bar->parent() == m_w && bar->isVisible())
                return bar;
        }
        return nullptr;
    }
    // The value of a property of the Properties dock, through its manager.
    template<class Manager>
    auto value(const char *name) const
    {
        const PropertiesPanelDockWidget *dock = m_w->propertiesDock();
        QtProperty *found = nullptr;
        for (QtProperty *p : dock->editingProperties()->subProperties() + dock->textProperties()->subProperties())
            found = p->propertyName() == QLatin1String(name) ? p : found;
        return qobject_cast<Manager *>(found->propertyManager())->value(found);
    }

    VorrelQt *m_w = nullptr;
    QTemporaryDir m_dir;
};

void TestMainWindow::initTestCase()
{
    m_w = VorrelQt::instance();
    QCOMPARE(QDir::currentPath(), QDir::homePath());
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
}

void TestMainWindow::cleanupTestCase()
{
    // A window destroyed with a document open leaves no host behind and
    // hears nothing from its docks and views while it goes.
    m_w->OnFileNew();
    delete m_w;
    QVERIFY(!ViewHost::current() && !ActiveScene::get());
}

void TestMainWindow::cleanup()
{
    // Modified documents ask before closing: answer No for each.
    ModalRecorder modal;
    for (int i = 0; i < tabs().size(); ++i)
        modal.buttons.enqueue(QMessageBox::No);
    for (QMdiSubWindow *sub : tabs()) {
        if (auto *view = qobject_cast<QVorrelView *>(sub->widget()))
            view->setPlaying(false);
    }
    m_w->documentArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QGuiApplication::clipboard()->clear();
    QVERIFY(tabs().isEmpty());
}

QString TestMainWindow::writeDocument(qint32 version, int size)
{
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    Typist::type(&scene, QStringLiteral("Hi"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    DocumentStream::write(&buffer, scene);
    QByteArray bytes = buffer.data();
    {
        QDataStream patch(&bytes, QIODevice::ReadWrite);
        patch.device()->seek(4);
        patch << version;
    }
    if (size >= 0)
        bytes.truncate(size);
    const QString name = m_dir.filePath(QStringLiteral("doc.vrl"));
    QFile file(name);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return name;
}

void TestMainWindow::construction()
{
    QCOMPARE(VorrelQt::instance(nullptr, Qt::Tool), m_w);
    QCOMPARE(ViewHost::current(), static_cast<ViewHost *>(m_w));
    QVERIFY(m_w->isMaximized());
    QCOMPARE(m_w->statusBar()->currentMessage(), QStringLiteral("Done"));
    QCOMPARE(m_w->centralWidget(), m_w->documentArea());
    QCOMPARE(m_w->documentArea()->viewMode(), QMdiArea::TabbedView);

    const QStringList keys = {"clay",      "cloth", "drift", "explode", "leak",   "lens", "originate asymptotic",
                              "originate linear", "pull", "pulse", "rubber", "Twirl"};
    QCOMPARE(m_w->prototypes().size(), 12);
    for (const QString &key : keys) {
        const SoftType *prototype = m_w->prototypes().value(key);
        QVERIFY2(prototype, qPrintable(key));
        QCOMPARE(prototype->typeKey(), key);
        QCOMPARE(prototype->name(), key + QStringLiteral("-0"));
    }

    QVERIFY(m_w->softTypeCounters().isEmpty());
    QVERIFY(!m_w->canvasDialog().parent() && !m_w->guidesDialog().parent());

    // Two toolbar rows; Hierarchy alone on the left; one stack of tabs on
    // the right with Properties in front.
    QCOMPARE(m_w->toolBarArea(m_w->typeToolbar()), Qt::TopToolBarArea);
    QVERIFY(m_w->toolBarBreak(m_w->typeToolbar()));
    QVERIFY(m_w->typeToolbar()->y() >= m_w->mainToolbar()->geometry().bottom());
    QCOMPARE(m_w->dockWidgetArea(m_w->hierarchyDock()), Qt::LeftDockWidgetArea);
    QVERIFY(m_w->tabifiedDockWidgets(m_w->hierarchyDock()).isEmpty());
    QCOMPARE(m_w->dockWidgetArea(m_w->propertiesDock()), Qt::RightDockWidgetArea);
    QStringList titles;
    for (int i = 0; i < dockTabs()->count(); ++i)
        titles << dockTabs()->tabText(i);
    QCOMPARE(titles.join(QLatin1Char(' ')), QStringLiteral("Properties SoftTypes Textpad History"));
    QCOMPARE(dockTabs()->currentIndex(), 0);
    QVERIFY(m_w->historyDock()->visibleRegion().isEmpty() && !m_w->propertiesDock()->visibleRegion().isEmpty());

    QCOMPARE(m_w->form().actionSoftTypeStart->shortcuts(),
             QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Space")), QKeySequence(QStringLiteral("Ctrl+B"))}));
    QVERIFY(m_w->form().actionEditPasteSoftTypes->shortcut().isEmpty());

    QCOMPARE(ActiveScene::get(), nullptr);
    m_w->mainToolbar()->newAction->trigger();
    QCOMPARE(tabs().size(), 1);
    QVERIFY(ActiveScene::get());
    QCOMPARE(ActiveScene::get(), m_w->activeScene());
}

void TestMainWindow::dockToggles_data()
{
    QTest::addColumn<QString>("dock");
    for (const char *name : {"Hierarchy", "Properties", "Textpad", "History", "SoftTypes"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::dockToggles()
{
    QFETCH(QString, dock);
    QAction *entry = m_w->findChild<QAction *>(QStringLiteral("actionView") + dock);
    QDockWidget *panel = nullptr;
    for (QDockWidget *d : m_w->findChildren<QDockWidget *>())
        panel = d->windowTitle() == dock ? d : panel;
    // Another tab of the stack in front closes no dock.
    dockTabs()->setCurrentIndex(3);
    dockTabs()->setCurrentIndex(0);
    QVERIFY(entry->isChecked() && !panel->isHidden());
    entry->trigger();
    QVERIFY(panel->isHidden());
    entry->trigger();
    QVERIFY(!panel->isHidden());
    // The dock's own close button unchecks its entry.
    panel->close();
    QVERIFY(!entry->isChecked());
    entry->trigger();
}

void TestMainWindow::closingTabs()
{
    QList<QPointer<QWidget>> views;
    for (int i = 0; i < 4; ++i) {
        m_w->OnFileNew();
        views << m_w->activeView();
    }
    m_w->OnCloseTab(-1);
    m_w->OnCloseTab(4);
    // A background tab by index, then one by its close button: each closes
    // its own document and no other.
    m_w->OnCloseTab(0);
    QTabBar *bar = m_w->documentArea()->findChild<QTabBar *>();
    QVERIFY(bar && bar->tabsClosable());
    emit bar->tabCloseRequested(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(tabs().size(), 2);
    QVERIFY(!views.at(0) && views.at(1) && !views.at(2) && views.at(3));
}

// A document that refuses to close while its flag is set.
class Refuser : public QWidget
{
public:
    bool refuse = true;
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!refuse); }
};

void TestMainWindow::exitStopsAtARefusingDocument()
{
    m_w->OnFileNew();
    QPointer<QWidget> first = m_w->activeView();
    auto *refuser = new Refuser;
    m_w->documentArea()->addSubWindow(refuser)->setAttribute(Qt::WA_DeleteOnClose);
    m_w->OnFileNew();
    QPointer<QWidget> last = m_w->activeView();
    m_w->OnFileExit();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The documents after the refusing one stay open in their tabs.
    QVERIFY(m_w->isVisible());
    QCOMPARE(tabs().size(), 2);
    QVERIFY(!first && last);
    QCOMPARE(tabs().first()->widget(), refuser);
    refuser->refuse = false;
}

void TestMainWindow::open_data()
{
    QTest::addColumn<qint32>("version");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty file") << qint32(100) << 0 << QStringLiteral("Not a Vorrel file");
    QTest::newRow("version 99") << qint32(99) << -1 << QStringLiteral("Unsupported file version.");
    QTest::newRow("version 101") << qint32(101) << -1 << QStringLiteral("Unsupported file version.");
    QTest::newRow("body cut short") << qint32(100) << 60 << QStringLiteral("The file is damaged or incomplete.");
    QTest::newRow("version 100") << qint32(100) << -1 << QString();
}

void TestMainWindow::open()
{
    QFETCH(qint32, version);
    QFETCH(int, size);
    QFETCH(QString, message);
    const QString name = writeDocument(version, size);

    ModalRecorder modal;
    m_w->openFile(name);
    if (message.isEmpty()) {
        QVERIFY(modal.calls.isEmpty());
        QCOMPARE(tabs().size(), 1);
        QCOMPARE(m_w->activeScene()->fileName(), name);
        QCOMPARE(tabs().first()->windowTitle(), QStringLiteral("doc"));
        QCOMPARE(Typist::shape(m_w->activeScene()->root()), QStringLiteral("(Hi)"));
    } else {
        QCOMPARE(modal.calls.size(), 1);
        QCOMPARE(modal.calls.at(0).title, QStringLiteral("Unable to open file"));
        QCOMPARE(modal.calls.at(0).text, message);
        QVERIFY(tabs().isEmpty());
    }
}

void TestMainWindow::openPaths()
{
    // A relative path on the command line names a file of the folder the
    // program starts in, before the window moves to the home folder.
    const QString name = writeDocument(100);
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const QString path = CommandLine::documentPath({"vorrel", "doc.vrl", "other.vrl"});
    QVERIFY(QDir::setCurrent(QDir::homePath()));
    QCOMPARE(path, name);
    QVERIFY(CommandLine::documentPath({"vorrel"}).isEmpty());

    ModalRecorder modal;
    m_w->openFile(path);
    m_w->OnFileOpen();
    QCOMPARE(tabs().size(), 1);
    // The same file again from the Open dialog: a second, independent tab.
    modal.fileNames.enqueue(name);
    m_w->OnFileOpen();
    QCOMPARE(tabs().size(), 2);
    QVERIFY(tabs().at(0)->widget() != tabs().at(1)->widget());
    QCOMPARE(modal.calls.size(), 2);
    QCOMPARE(modal.calls.at(1).what, QStringLiteral("open"));
    QCOMPARE(modal.calls.at(1).title, QStringLiteral("Open"));
    QCOMPARE(modal.calls.at(1).text, QStringLiteral("Vorrel Files (*.vrl)"));
}

void TestMainWindow::toolbarDispatch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<bool>("playing");

    QTest::newRow("new") << "NewAction" << 2 << 0 << false;
    QTest::newRow("open") << "OpenAction" << 1 << 1 << false;
    QTest::newRow("save: a new document asks for a name") << "SaveAction" << 1 << 1 << false;
    QTest::newRow("print") << "PrintAction" << 1 << 0 << false;
    QTest::newRow("start") << "StartStopAction" << 1 << 0 << true;
    QTest::newRow("case differs") << "newaction" << 1 << 0 << false;
    QTest::newRow("unknown") << "ZoomAction" << 1 << 0 << false;
}

void TestMainWindow::toolbarDispatch()
{
    QFETCH(QString, name);
    QFETCH(int, tabs);
    QFETCH(int, dialogs);
    QFETCH(bool, playing);
    m_w->OnFileNew();
    QVorrelView *first = m_w->activeView();

    ModalRecorder modal;
    QAction action(name);
    action.setObjectName(name);
    m_w->OnMainToolBarClick(&action);
    QCOMPARE(this->tabs().size(), tabs);
    QCOMPARE(modal.calls.size(), dialogs);
    QCOMPARE(first->isPlaying(), playing);
    QCOMPARE(m_w->mainToolbar()->startStopAction->text(), playing ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

void TestMainWindow::playShortcuts()
{
    m_w->OnFileNew();
    QVorrelView *view = m_w->activeView();
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(view->isPlaying());
    QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(!view->isPlaying());
}

void TestMainWindow::aboutBox()
{
    m_w->OnAboutVorrel();
    m_w->OnAboutVorrel();
    const QList<QSplashScreen *> boxes = m_w->findChildren<QSplashScreen *>();
    QCOMPARE(boxes.size(), 1);
    const auto *box = static_cast<VorrelSplash *>(boxes.first());
    QVERIFY(box->about && box->isVisible());
    QTest::qWait(20);
    QVERIFY(box->isVisible());
    boxes.first()->close();
}

// The states of the document, as the refresh tables name them.
enum State { NoDocument, Document, Selection, LockedSelection, Playing };
// When an entry is enabled: D a document, P playing, S a selection, T text
// on the clipboard, G glyph copies (none in these states).
enum Rule { Always, Never, D, DnotP, S, DSnotP, GorT, T, G, DnotPS, DnotPGorT };

void TestMainWindow::actionStates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("clipboard");
    QTest::newRow("no document") << int(NoDocument) << false;
    QTest::newRow("no document, clipboard text") << int(NoDocument) << true;
    QTest::newRow("document") << int(Document) << false;
    QTest::newRow("document, clipboard text") << int(Document) << true;
    QTest::newRow("selection") << int(Selection) << false;
    QTest::newRow("locked selection") << int(LockedSelection) << true;
    QTest::newRow("playing") << int(Playing) << true;
}

void TestMainWindow::actionStates()
{
    QFETCH(int, state);
    QFETCH(bool, clipboard);
    const PanelSignals panelSignals(m_w);
    QGuiApplication::clipboard()->setText(clipboard ? QStringLiteral("text") : QString());
    if (state != NoDocument) {
        m_w->OnFileNew();
        QVorrelScene *scene = m_w->activeScene();
        if (state >= Selection) {
            // Every glyph selected, each with a Twirl.
            Typist::type(scene, QStringLiteral("Hi"));
            scene->selectAll(1, 2);
            scene->addSoftType(m_w->prototypes().value(QStringLiteral("Twirl")));
        }
        if (state == LockedSelection)
            scene->lockSelected();
        if (state == Playing)
            m_w->OnStartStopSoftTypes();
    }
    m_w->updateAll();

    const bool d = state != NoDocument, p = state == Playing, s = state >= Selection, t = clipboard, g = false;
    const bool expected[] = {true, false, d, d && !p, s, d && s && !p, g || t, t, g, d && !p && s, d && !p && (g || t)};
    const struct
    {
        Rule rule;
        const char *names;
    } table[] = {
        {Always, "actionFileNew actionFileOpen actionFileExit menuView NewAction OpenAction"},
        {D, "actionFileClose actionFileSave actionFileSaveAs actionFileSaveOptions menuSoftType actionSoftTypeStart "
            "actionViewExtras menuExtras actionViewCaret actionViewSelection actionViewGrid menuSnapTo "
            "actionViewWorkArea actionViewScrollbars actionViewCenterCanvas actionViewZoomIn actionViewZoomOut "
            "actionViewActualSize SaveAction StartStopAction"},
        {DnotP, "menuExport actionExportSequence menuEdit menuObject menuTextpad menuSelect TurnExportOnOffAction "
                "SetExportFileAction"},
        {Never, "actionFilePrint actionFilePrintPreview actionFilePrintSetup PrintAction menuRemoveOriginate "
                "actionRemoveSoftTypeClay actionRemoveSoftTypeCloth actionRemoveSoftTypeDrift "
                "actionRemoveSoftTypeExplode actionRemoveSoftTypeLeak actionRemoveSoftTypeLens "
                "actionRemoveSoftTypeOriginateAsymptotic actionRemoveSoftTypeOriginateLinear actionRemoveSoftTypePull "
                "actionRemoveSoftTypePulse actionRemoveSoftTypeRubber actionTextpadSyncFile"},
        {S, "actionEditCopy actionEditCut menuArrange menuConvertTo actionObjectLock actionObjectUnlock "
            "actionObjectHide actionObjectReset menuAddOriginate actionAddSoftTypeClay actionAddSoftTypeCloth "
            "actionAddSoftTypeDrift actionAddSoftTypeExplode actionAddSoftTypeLeak actionAddSoftTypeLens "
            "actionAddSoftTypeOriginateLinear actionAddSoftTypeOriginateAsymptotic actionAddSoftTypePull "
            "actionAddSoftTypePulse actionAddSoftTypeRubber actionAddSoftTypeTwirl actionRemoveSoftTypeTwirl"},
        {DSnotP, "menuAddSoftType menuRemoveSoftType actionSoftTypeRemoveAll actionSoftTypeResetDeformation "
                 "actionSoftTypeSetAsOriginal"},
        {GorT, "actionEditPasteGlyphs"},
        {T, "actionEditPasteCharacters"},
        {G, "actionEditPasteSoftTypes"},
        {DnotPS, "CopyAction CutAction"},
        {DnotPGorT, "PasteAction"},
    };
    for (const auto &row : table) {
        for (const QString &name : QString::fromLatin1(row.names).split(QLatin1Char(' '))) {
            QObject *o = m_w->findChild<QAction *>(name);
            if (!o)
                o = m_w->findChild<QMenu *>(name);
            QVERIFY2(o, qPrintable(name));
            const bool enabled = qobject_cast<QAction *>(o) ? static_cast<QAction *>(o)->isEnabled()
                                                           : static_cast<QMenu *>(o)->isEnabled();
            QVERIFY2(enabled == expected[row.rule], qPrintable(name));
        }
    }
    // The docks and the type toolbar; text cannot be edited while it plays.
    const struct
    {
        Rule rule;
        QWidget *panel;
    } panels[] = {{DnotP, m_w->hierarchyDock()}, {DnotP, m_w->historyDock()}, {DnotP, m_w->textpadDock()},
                  {DSnotP, m_w->softTypeDock()}, {DnotP, m_w->typeToolbar()}};
    for (const auto &row : panels)
        QVERIFY2(row.panel->isEnabled() == expected[row.rule], qPrintable(row.panel->windowTitle()));
    QCOMPARE(m_w->propertiesDock()->editingProperties()->isEnabled(), d);
    QCOMPARE(m_w->propertiesDock()->textProperties()->isEnabled(), d && s && !p);
    for (QAction *entry : m_w->form().menu_Toolbars_and_Docking_Windows->actions())
        QVERIFY2(entry->isChecked() == (entry != m_w->form().actionViewCustomize), qPrintable(entry->objectName()));
    QVERIFY(!m_w->form().actionTextpadSyncFile->isChecked());
    QCOMPARE(panelSignals.fired, QStringList());

    QVERIFY(!m_w->form().actionViewControlPoints->isVisible());
    if (d) {
        QCOMPARE(m_w->form().actionEditUndo->isEnabled(), s && !p);
        QCOMPARE(m_w->form().actionSoftTypeStart->text(), p ? QStringLiteral("Stop SoftTypes") : QStringLiteral("Start SoftTypes"));
        QCOMPARE(m_w->form().actionExportTurnOn->text(), QStringLiteral("Turn On"));
        QVERIFY(m_w->form().actionViewScrollbars->isChecked());
    }
    QCOMPARE(m_w->mainToolbar()->startStopAction->text(), p ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

void TestMainWindow::textpadMenuMarks_data()
{
    QTest::addColumn<QList<int>>("settings"); // type, advance, interval, loop, nozzle on
    QTest::addColumn<QString>("checked");
    QTest::newRow("glyph, forward, 100 ms, loop") << QList<int>{2, 0, 100, 1, 0} << "100ms Forward Glyph Loop";
    QTest::newRow("word, repeat, 700 ms, nozzle on") << QList<int>{3, 1, 700, 0, 1} << "700ms Repeat Word";
    QTest::newRow("passage, one per click") << QList<int>{4, 0, 0, 1, 0} << "Click Forward Loop Passage";
    QTest::newRow("an interval of no entry") << QList<int>{2, 1, 150, 0, 1} << "Glyph Repeat";
}

void TestMainWindow::textpadMenuMarks()
{
    QFETCH(QList<int>, settings);
    QFETCH(QString, checked);
    TextpadPanelDockWidget *pad = m_w->textpadDock();
    const auto set = [pad](const QList<int> &v) {
        pad->setNozzleType(v[0]);
        pad->setAdvance(v[1]);
        pad->nozzleInterval = v[2];
        pad->setLoop(v[3]);
        pad->setNozzleOn(v[4]);
    };
    set(settings);
    // Each of the dock's three signals refreshes the marks (one per type).
    emit(settings[0] == 2 ? pad->advanceChanged() : settings[0] == 3 ? pad->loopChanged() : pad->nozzleTypeChanged());
    QStringList marks;
    for (QAction *a : m_w->findChildren<QAction *>()) {
        if (a->objectName().startsWith(QLatin1String("actionTextpad")) && a->isChecked())
            marks << a->objectName().mid(13);
    }
    marks.sort();
    QCOMPARE(marks.join(QLatin1Char(' ')), checked);
    const QAction *start = m_w->form().actionNozzleStartStop;
    QCOMPARE(start->text(), settings[4] ? QStringLiteral("Stop Nozzle") : QStringLiteral("Start Nozzle"));
    const QIcon icon(QStringLiteral(":/res/icon/TextpadToolbar/24/png/nozzle_%1.png").arg(settings[4] ? "on" : "off"));
    QCOMPARE(start->icon().pixmap(24).toImage(), icon.pixmap(24).toImage());
    set({2, 0, 100, 1, 0});
}

void TestMainWindow::refreshContentsAndViewHost()
{
    m_w->OnFileNew();
    QVorrelView *view = m_w->activeView();
    QVorrelScene *scene = view->scene();
    Typist::type(scene, QStringLiteral("Hi"));
    scene->selectAll(1, 2);
    scene->addSoftType(m_w->prototypes().value(QStringLiteral("Twirl")));
    scene->setTextpadText(QStringLiteral("xy z"));
    scene->setFillColor(QColor(10, 20, 30, 40));
    scene->setStrokeWidth(2.5);
    view->setNozzleArmed(true);
    m_w->updateAll();

    const auto *tree = m_w->hierarchyDock()->findChild<QTreeWidget *>();
    const auto *history = m_w->historyDock()->findChild<QListWidget *>();
    const auto *softTypes = m_w->softTypeDock()->findChild<QListWidget *>();
    const auto *pad = m_w->textpadDock()->findChild<QTextEdit *>();
    const TypeToolbar *bar = m_w->typeToolbar();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(history->count(), scene->history().size());
    QCOMPARE(history->item(0)->text(), QStringLiteral("Insert Glyph"));
    QCOMPARE(softTypes->count(), 1);
    QCOMPARE(softTypes->item(0)->text(), QStringLiteral("Twirl-0"));
    QCOMPARE(pad->toPlainText(), QStringLiteral("xy z"));
    QVERIFY(m_w->textpadDock()->nozzleOn);
    QCOMPARE(value<QtStringPropertyManager>("Selected Text"), QStringLiteral("Hi"));
    QCOMPARE(value<QtPointFPropertyManager>("Caret"), scene->caret()->pos());
    QVERIFY(scene->selectionBoundingRect().height() > 0);
    QCOMPARE(value<QtPointFPropertyManager>("Position"), scene->selectionBoundingRect().bottomLeft());
    // The toolbar shows the style of new text, not the selection's.
    QCOMPARE(bar->fillColor, QColor(10, 20, 30, 40));
    QCOMPARE(bar->strokeWidthTextEdit->text(), QStringLiteral("2.5"));
    QCOMPARE(bar->fontSizeComboBox->currentText(), QStringLiteral("72"));

    // What a view asks of its window comes from the Textpad dock; the mouse
    // goes to the Properties dock.
    m_w->textpadDock()->setNozzleType(3);
    m_w->textpadDock()->syncInterval = 700;
    ViewHost *host = ViewHost::current();
    QCOMPARE(host->nextPiece(), QStringLiteral("xy"));
    const QList<int> timing = {host->nozzleType(), host->nozzleInterval(), host->textpadSyncInterval()};
    QCOMPARE(timing, QList<int>({3, 100, 700}));
    host->showMousePosition(QPointF(3, -4));
    QCOMPARE(value<QtPointFPropertyManager>("Mouse"), QPointF(3, -4));
    m_w->textpadDock()->setNozzleType(2);
    m_w->textpadDock()->syncInterval = 5000;
    // Sync File is checked while the view re-reads the textpad's file.
    scene->setTextpadFileName(m_dir.filePath(QStringLiteral("pad.txt")));
    view->setTextpadFileSync(true);
    m_w->updateActionStates();
    QVERIFY(m_w->form().actionTextpadSyncFile->isEnabled() && m_w->form().actionTextpadSyncFile->isChecked());
    view->setTextpadFileSync(false);
    view->setNozzleArmed(false);

    // Without a document the tree and the history empty; the rest keeps
    // what it showed.
    ModalRecorder modal;
    modal.buttons.enqueue(QMessageBox::No);
    m_w->documentArea()->closeAllSubWindows();
    m_w->updateAll();
    QCOMPARE(tree->topLevelItemCount() + history->count(), 0);
    QCOMPARE(softTypes->count(), 1);
    QCOMPARE(pad->toPlainText(), QStringLiteral("xy z"));
    QCOMPARE(value<QtStringPropertyManager>("Selected Text"), QStringLiteral("Hi"));
    QCOMPARE(bar->strokeWidthTextEdit->text(), QStringLiteral("2.5"));
}

void TestMainWindow::rotationShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qreal>>("rotations");
    QTest::addColumn<float>("shown");
    QTest::newRow("one") << "a" << QList<qreal>{-30} << -30.f;
    QTest::newRow("equal") << "ab" << QList<qreal>{12.5, 12.5} << 12.5f;
    QTest::newRow("different") << "ab" << QList<qreal>{30, 45} << 0.f;
    QTest::newRow("back to the first") << "abc" << QList<qreal>{30, 45, 30} << 0.f;
    QTest::newRow("a space has no outline") << " a" << QList<qreal>{90, 20} << 20.f;
    QTest::newRow("no outline") << " " << QList<qreal>{90} << 0.f;
}

void TestMainWindow::rotationShown()
{
    QFETCH(QString, text);
    QFETCH(QList<qreal>, rotations);
    QFETCH(float, shown);
    m_w->OnFileNew();
    QVorrelScene *scene = m_w->activeScene();
    Typist::type(scene, text);
    Glyph *g = scene->root()->firstGlyph();
    for (qreal rotation : rotations) {
        g->setRotation(rotation);
        g = g->nextGlyph();
    }
    scene->selectAll(1, 2);
    QCOMPARE(scene->selectedObjects().size(), text.size());
    m_w->updateAll();
    QCOMPARE(float(m_w->propertiesDock()->textRotation()), shown);
    // Without an outlined glyph there are no colours to show.
    QCOMPARE(value<QtColorPropertyManager>("Fill").isValid(), !text.trimmed().isEmpty());
}

void TestMainWindow::softTypeOfFirstSelected()
{
    // Two glyphs carry a SoftType of one name with different radii: the
    // glyph selected first stands for the name.
    m_w->OnFileNew();
    QVorrelScene *scene = m_w->activeScene();
    Typist::type(scene, QStringLiteral("ab"));
    Glyph *a = scene->root()->firstGlyph();
    Glyph *b = a->nextGlyph();
    for (Glyph *g : {a, b}) {
        const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("T")));
        twirl->property(QStringLiteral("radius"))->setValue(g == a ? 10 : 20);
        scene->selectAll(1, 0);
        scene->setSelected(g, true, false);
        scene->addSoftType(twirl.get());
    }
    scene->setSelected(a, true, false);
    m_w->updateAll();

    QListWidget *list = m_w->softTypeDock()->findChild<QListWidget *>();
    QCOMPARE(list->count(), 1);
    ModalRecorder modal;
    modal.execs.enqueue([](QDialog *d) {
        static_cast<SoftTypeDlg *>(d)->buttonCode = 1;
        return int(QDialog::Accepted);
    });
    QSignalSpy edited(m_w->softTypeDock(), &SoftTypePanelDockWidget::softtypeChanged);
    emit list->itemClicked(list->item(0));
    QCOMPARE(edited.size(), 1);
    QCOMPARE(edited.at(0).at(1).value<QVariantHash>().value(QStringLiteral("radius")).toInt(), 20);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
