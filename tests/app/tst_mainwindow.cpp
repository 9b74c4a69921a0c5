#include "app/CommandLine.h"
#include "app/QVorrelView.h"
#include "app/VorrelQt.h"
#include "app/VorrelSplash.h"
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "panels/ActiveScene.h"
#include "panels/MainToolbar.h"
#include "softtypes/SoftType.h"
#include "support/ModalRecorder.h"
#include "support/Typist.h"

#include <QBuffer>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void construction();
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

private:
    QList<QMdiSubWindow *> tabs() const { return m_w->documentArea()->subWindowList(QMdiArea::CreationOrder); }
    // A document file: "Hi" with a header of this version, cut to size
    // bytes when size is not negative.
    QString writeDocument(qint32 version, int size = -1);

    VorrelQt *m_w = nullptr;
    QTemporaryDir m_dir;
};

void TestMainWindow::initTestCase()
{
    m_w = VorrelQt::instance();
    QCOMPARE(QDir::currentPath(), QDir::homePath());
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
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

    // A toolbar added after the main toolbar starts the second row.
    QCOMPARE(m_w->toolBarArea(m_w->mainToolbar()), Qt::TopToolBarArea);
    QToolBar next;
    m_w->addToolBar(&next);
    QVERIFY(m_w->toolBarBreak(&next));
    m_w->removeToolBar(&next);

    QCOMPARE(m_w->form().actionSoftTypeStart->shortcuts(),
             QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Space")), QKeySequence(QStringLiteral("Ctrl+B"))}));
    QVERIFY(m_w->form().actionEditPasteSoftTypes->shortcut().isEmpty());

    QCOMPARE(ActiveScene::get(), nullptr);
    m_w->mainToolbar()->newAction->trigger();
    QCOMPARE(tabs().size(), 1);
    QVERIFY(ActiveScene::get());
    QCOMPARE(ActiveScene::get(), m_w->activeScene());
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
    QVERIFY(!m_w->form().actionViewControlPoints->isVisible());
    if (d) {
        QCOMPARE(m_w->form().actionEditUndo->isEnabled(), s && !p);
        QCOMPARE(m_w->form().actionSoftTypeStart->text(), p ? QStringLiteral("Stop SoftTypes") : QStringLiteral("Start SoftTypes"));
        QCOMPARE(m_w->form().actionExportTurnOn->text(), QStringLiteral("Turn On"));
        QVERIFY(m_w->form().actionViewScrollbars->isChecked());
    }
    QCOMPARE(m_w->mainToolbar()->startStopAction->text(), p ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
