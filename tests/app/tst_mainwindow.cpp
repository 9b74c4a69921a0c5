#include "ViewFixture.h"
#include "app/CommandLine.h"
#include "app/VorrelQt.h"
#include "app/VorrelSplash.h"
#include "commands/CmdCombo.h"
#include "commands/CmdMoveCaretPoint.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "dialogs/SoftTypeDlg.h"
#include "export/ExporterMOV.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/TextIterator.h"
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
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtStringPropertyManager.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/DoublingRatio.h"
#include "support/TestSoftType.h"
#include "support/Typist.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

// Records every signal of the docks and the type toolbar.
class PanelSignals : public QObject
{
    Q_OBJECT
public:
    explicit PanelSignals(VorrelQt *w)
    {
        const QMetaMethod hit = metaObject()->method(metaObject()->indexOfSlot("hit()"));
        for (QObject *panel : QList<QObject *>{w->hierarchyDock(), w->historyDock(), w->propertiesDock(),
                                               w->softTypeDock(), w->textpadDock(), w->typeToolbar()}) {
            for (int i = 0; i < panel->metaObject()->methodCount(); ++i)
                if (panel->metaObject()->method(i).methodType() == QMetaMethod::Signal)
                    connect(panel, panel->metaObject()->method(i), this, hit);
        }
    }
    QStringList fired;

public slots:
    void hit() { fired << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).methodSignature()); }
};

// A document that refuses to close while its flag is set.
struct Refuser : QWidget
{
    bool refuse = true;
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!refuse); }
};

// An edit through the window w, given the first glyph a.
#define EDIT(...) [](VorrelQt *w, Glyph *a) { Q_UNUSED(a) __VA_ARGS__; }
using Edit = std::function<void(VorrelQt *, Glyph *)>;

static QString style(const QColor &fill, float width, const QFont &font)
{
    return QStringLiteral("%1,%2,%3,%4").arg(fill.name(QColor::HexArgb)).arg(width).arg(font.family().remove(' '))
        .arg(font.pointSize());
}

// What the slots change in a document, its view, canvas, grid and style of new text, and in the first glyph.
static QStringList stateOf(QVorrelView *v)
{
    const QVorrelScene *s = v->scene();
    const Glyph *a = s->root()->firstGlyph();
    return QStringLiteral("flags%1 extras%2 snap%3 bars%4,%5 scale%6 offset%7,%8").arg(s->viewFlags())
               .arg(s->extrasVisible()).arg(s->snapFlags()).arg(v->verticalScrollBarPolicy())
               .arg(v->horizontalScrollBarPolicy()).arg(v->transform().m11(), 0, 'f', 2)
               .arg(qRound(v->viewOffset().x())).arg(qRound(v->viewOffset().y())).split(' ')
        + QStringLiteral("%1x%2 %3x%4 dpi%5 %6 grid%7 grid%8 new%9").arg(s->screenWidth()).arg(s->screenHeight())
              .arg(s->exportWidth()).arg(s->exportHeight()).arg(s->exportResolution())
              .arg(s->backgroundColor().name(QColor::HexArgb)).arg(s->grid()->spacing())
              .arg(s->grid()->color().name(QColor::HexArgb)).arg(style(s->fillColor(), s->strokeWidth(), s->textFont()))
              .split(' ')
        + (a ? QStringLiteral("z%1 r%2 locked%3 shown%4 selected%5 [%6] %7").arg(a->zValue()).arg(a->rotation())
                   .arg(a->isLocked()).arg(a->isVisible()).arg(a->isSelected()).arg(a->softTypeNames().join(','))
                   .arg(style(a->fillColor(), a->strokeWidth(), a->font())).split(' ')
             : QStringList());
}

Edit answered(const Edit &edit, const std::function<int(QDialog *)> &answer)
{
    return [=](VorrelQt *w, Glyph *a) { ModalRecorder modal; modal.execs << answer; edit(w, a); };
}

// The SoftType dialog renames the clone it edits, then closes with the button (1 Ok, 2 Remove, else Cancel).
std::function<int(QDialog *)> softTypeAnswer(int button)
{
    return [button](QDialog *d) {
        auto *name = d->findChild<QLineEdit *>(); // the first row's
        name->setText(QStringLiteral("Spin")), emit name->editingFinished();
        static_cast<SoftTypeDlg *>(d)->buttonCode = button;
        return int(button ? QDialog::Accepted : QDialog::Rejected);
    };
}

// The canvas or guides dialog previews values, then sets its own and closes with Ok or Cancel; -1: no preview.
std::function<int(QDialog *)> previewAnswer(bool ok)
{
    return [ok](QDialog *d) {
        const QVorrelScene *s = VorrelQt::instance()->activeScene();
        bool previewed;
        if (auto *canvas = qobject_cast<EditCanvasDlg *>(d)) {
            emit canvas->screenWidthChanged(800), emit canvas->screenHeightChanged(600);
            emit canvas->backgroundColorChanged(Qt::red);
            previewed = s->screenWidth() == 800 && s->screenHeight() == 600 && s->backgroundColor() == Qt::red;
            canvas->setScreenWidth(640), canvas->setScreenHeight(480), canvas->setExportWidth(1280);
            canvas->setExportHeight(960), canvas->setExportResolution(144), canvas->setBackgroundColor(Qt::cyan);
            ok ? canvas->OkCanvasPressed() : canvas->CancelCanvasPressed();
        } else {
            auto *guides = static_cast<EditGuidesDlg *>(d);
            emit guides->gridSpacingChanged(40), emit guides->gridColorChanged(Qt::blue);
            previewed = s->grid()->spacing() == 40 && s->grid()->color() == Qt::blue;
            guides->setSpacing(25), guides->setColor(Qt::green);
            ok ? guides->OnOkClicked() : guides->OnCancelClicked();
        }
        return previewed ? d->result() : -1;
    };
}

// Answers the save dialog's selected filter too (none queued or a null one: unchanged, the first).
struct FilterRecorder : ModalRecorder
{
    QQueue<QString> filters;
    QString saveFileName(QWidget *p, const QString &c, const QString &d, const QString &f, QString *sel) override
    {
        const QString filter = filters.isEmpty() ? QString() : filters.dequeue();
        *sel = filter.isNull() ? *sel : filter;
        return ModalRecorder::saveFileName(p, c, d, f, sel);
    }
};

static int accept(QDialog *) { return QDialog::Accepted; }
static int reject(QDialog *) { return QDialog::Rejected; }

// When an entry is enabled: D a document, P playing, S a selection, T clipboard text, G glyph copies (never here).
enum Rule { Always, Never, D, DnotP, S, DSnotP, GorT, T, G, DnotPS, DnotPGorT };

class TestMainWindow : public QObject
{
    Q_OBJECT

    QList<QMdiSubWindow *> tabs() const { return m_w->documentArea()->subWindowList(QMdiArea::CreationOrder); }
    // The tabs of the right-hand dock stack.
    QTabBar *dockTabs() const
    {
        for (QTabBar *bar : m_w->findChildren<QTabBar *>())
            if (bar->parent() == m_w && bar->isVisible())
                return bar;
        return nullptr;
    }
    template<class Manager>
    auto value(const char *name) const
    {
        const PropertiesPanelDockWidget *dock = m_w->propertiesDock();
        QtProperty *found = nullptr;
        for (QtProperty *p : dock->editingProperties()->subProperties() + dock->textProperties()->subProperties())
            found = p->propertyName() == QLatin1String(name) ? p : found;
        return qobject_cast<Manager *>(found->propertyManager())->value(found);
    }

    // The slots act on the second of two documents, the active one, and leave the first alone.
    void twoDocuments()
    {
        m_w->OnFileNew();
        m_w->OnFileNew();
        m_scene = m_w->activeScene();
    }
    QVorrelView *view(int i) const { return qobject_cast<QVorrelView *>(tabs().at(i)->widget()); }
    void activate(int i) { m_w->setActiveSubWindow(tabs().at(i)); }
    static TextGroup *passage(QVorrelScene *s, int i) { return static_cast<TextGroup *>(s->root()->child(i)); }

    VorrelQt *m_w = VorrelQt::instance();
    QVorrelScene *m_scene = nullptr;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QCOMPARE(QDir::currentPath(), QDir::homePath());
        QVERIFY(QTest::qWaitForWindowExposed(m_w));
    }

    // Destroyed with a document open, the window leaves no host behind and hears nothing from docks and views.
    void cleanupTestCase()
    {
        m_w->OnFileNew();
        delete m_w;
        QVERIFY(!ViewHost::current() && !ActiveScene::get());
    }

    void cleanup()
    {
        ModalRecorder modal; // No to each modified document's question
        for (QMdiSubWindow *sub : tabs()) {
            modal.buttons.enqueue(QMessageBox::No);
            if (auto *view = qobject_cast<QVorrelView *>(sub->widget()))
                view->setPlaying(false);
        }
        m_w->documentArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QGuiApplication::clipboard()->clear();
        QVERIFY(tabs().isEmpty());
    }

    void construction()
    {
        QVERIFY(VorrelQt::instance(nullptr, Qt::Tool) == m_w && ViewHost::current() == m_w && m_w->isMaximized());
        QVERIFY(m_w->softTypeCounters().isEmpty() && !ActiveScene::get());
        QStringList prototypes;
        for (auto i = m_w->prototypes().cbegin(); i != m_w->prototypes().cend(); ++i)
            prototypes << (i.key() == i.value()->typeKey() ? i.value()->name() : i.key() + "?");
        prototypes.sort();
        QCOMPARE(prototypes.join(','), "Twirl-0,clay-0,cloth-0,drift-0,explode-0,leak-0,lens-0,originate asymptotic-0,"
                                       "originate linear-0,pull-0,pulse-0,rubber-0");
        // Two toolbar rows; Hierarchy alone on the left; one stack of tabs on the right with Properties in front.
        QVERIFY(m_w->toolBarBreak(m_w->typeToolbar()) && m_w->tabifiedDockWidgets(m_w->hierarchyDock()).isEmpty());
        QCOMPARE(m_w->dockWidgetArea(m_w->hierarchyDock()), Qt::LeftDockWidgetArea);
        QStringList titles;
        for (int i = 0; i < dockTabs()->count(); ++i)
            titles << dockTabs()->tabText(i);
        QCOMPARE(titles.join(' '), "Properties SoftTypes Textpad History");
        QVERIFY(m_w->historyDock()->visibleRegion().isEmpty() && !m_w->propertiesDock()->visibleRegion().isEmpty());
        // Ctrl+B, which the form also gives Paste SoftTypes, starts and stops play only.
        QCOMPARE(QKeySequence::listToString(m_w->form().actionSoftTypeStart->shortcuts()) + ", Paste SoftTypes "
                     + m_w->form().actionEditPasteSoftTypes->shortcut().toString(),
                 "Ctrl+Space; Ctrl+B, Paste SoftTypes ");
        m_w->mainToolbar()->newAction->trigger();
        QVERIFY(tabs().size() == 1 && ActiveScene::get() && ActiveScene::get() == m_w->activeScene());
        // playShortcuts: in the view, Ctrl+B starts and Ctrl+Space stops.
        QVorrelView *view = m_w->activeView();
        QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
        const bool started = view->isPlaying();
        QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(started && !view->isPlaying());
        // About shows every line until clicked, one box per window.
        m_w->OnAboutVorrel();
        m_w->OnAboutVorrel();
        QTest::qWait(20);
        const QList<VorrelSplash *> boxes = m_w->findChildren<VorrelSplash *>();
        QVERIFY(boxes.size() == 1 && boxes.first()->isVisible());
        QCOMPARE(boxes.first()->text().count('\n'), 12); // the version, nine About lines (two of two lines), closing
        boxes.first()->close();
        // The main toolbar runs the command of the action's exact object name; Print runs none.
        ModalRecorder modal;
        for (const char *name : {"PrintAction", "newaction", "ZoomAction", "OpenAction", "SaveAction",
                                 "StartStopAction"}) {
            QAction action(name);
            action.setObjectName(name);
            m_w->OnMainToolBarClick(&action);
        }
        QVERIFY(tabs().size() == 1 && m_w->activeView()->isPlaying());
        QCOMPARE(modalLog(modal), QStringList({"open: Open: Vorrel Files (*.vrl)", "save: Save: Vorrel Files (*.vrl)"}));
    }

    // View entries hide and show their docks, a tab switch closes none, a dock's close button unchecks its entry.
    void dockToggles()
    {
        for (const char *name : {"Hierarchy", "Properties", "Textpad", "History", "SoftTypes"}) {
            QAction *entry = m_w->findChild<QAction *>(QStringLiteral("actionView") + name);
            QDockWidget *dock = nullptr;
            for (QDockWidget *d : m_w->findChildren<QDockWidget *>())
                dock = d->windowTitle() == QLatin1String(name) ? d : dock;
            dockTabs()->setCurrentIndex(3);
            dockTabs()->setCurrentIndex(0);
            QVERIFY2(entry->isChecked() && !dock->isHidden(), name);
            entry->trigger();
            const bool hidden = dock->isHidden();
            entry->trigger();
            QVERIFY2(hidden && !dock->isHidden(), name);
            dock->close();
            QVERIFY2(!entry->isChecked(), name);
            entry->trigger();
        }
    }

    // Bad indexes close nothing; by index or by its close button, a tab closes its own document and no other.
    // Exit closes in creation order; the documents from a refusing one on stay open in their tabs.
    void closingTabs()
    {
        QList<QPointer<QWidget>> views;
        for (int i = 0; i < 4; ++i) {
            m_w->OnFileNew();
            views << m_w->activeView();
        }
        m_w->OnCloseTab(-1);
        m_w->OnCloseTab(4);
        m_w->OnCloseTab(0);
        QTabBar *bar = m_w->documentArea()->findChild<QTabBar *>();
        QVERIFY(bar && bar->tabsClosable());
        emit bar->tabCloseRequested(1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(tabs().size() == 2 && !views.at(0) && views.at(1) && !views.at(2) && views.at(3));
        cleanup(); // guards: exitStopsAtARefusingDocument
        m_w->OnFileNew();
        QPointer<QWidget> first = m_w->activeView();
        auto *refuser = new Refuser;
        m_w->documentArea()->addSubWindow(refuser)->setAttribute(Qt::WA_DeleteOnClose);
        m_w->OnFileNew();
        QPointer<QWidget> last = m_w->activeView();
        m_w->OnFileExit();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m_w->isVisible() && tabs().size() == 2 && !first && last && tabs().first()->widget() == refuser);
        refuser->refuse = false;
    }

    // A relative path on the command line names a file of the folder the program starts in, before the window
    // moves to the home folder; the file opened again from the Open dialog is a second, independent tab.
    void openPaths()
    {
        QVorrelScene scene(-32768, -32768, 65535, 65535);
        Typist::type(&scene, QStringLiteral("Hi"));
        QFile file(m_dir.filePath(QStringLiteral("doc.vrl")));
        QVERIFY(file.open(QIODevice::WriteOnly) && DocumentStream::write(&file, scene));
        file.close();
        const QString name = file.fileName();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString path = CommandLine::documentPath({"vorrel", "doc.vrl", "other.vrl"});
        QVERIFY(QDir::setCurrent(QDir::homePath()));
        QVERIFY(path == name && CommandLine::documentPath({"vorrel"}).isEmpty());
        ModalRecorder modal;
        m_w->openFile(path);
        QCOMPARE(tabs().first()->windowTitle() + Typist::shape(m_w->activeScene()->root()), "doc(Hi)");
        QCOMPARE(m_w->activeScene()->fileName(), name);
        m_w->OnFileOpen();
        modal.fileNames.enqueue(name);
        m_w->OnFileOpen();
        QVERIFY(tabs().size() == 2 && tabs().at(0)->widget() != tabs().at(1)->widget());
        const QString open = QStringLiteral("open: Open: Vorrel Files (*.vrl)");
        QCOMPARE(modalLog(modal), QStringList({open, open}));
    }

    // Entries, docks and toolbars enabled in each state of the active document; refreshing emits no panel signal.
    void actionStates()
    {
        enum State { NoDocument, Document, Selection, LockedSelection, Playing };
        const struct { const char *name; State state; bool clipboard; } states[] = {
            {"no document", NoDocument, false}, {"no document, clipboard text", NoDocument, true},
            {"document", Document, false},      {"document, clipboard text", Document, true},
            {"selection", Selection, false},    {"locked selection", LockedSelection, true},
            {"playing", Playing, true},
        };
        // By object name, "action" left out (a few Add/Remove SoftType entries stand for their loops).
        const struct { Rule rule; const char *names; } table[] = {
            {Always, "FileNew FileOpen FileExit menuView NewAction OpenAction"},
            {D, "FileClose FileSave FileSaveAs FileSaveOptions menuSoftType SoftTypeStart ViewExtras menuExtras "
                "ViewCaret ViewSelection ViewGrid menuSnapTo ViewWorkArea ViewScrollbars ViewCenterCanvas ViewZoomIn "
                "ViewZoomOut ViewActualSize SaveAction StartStopAction"},
            {DnotP, "menuExport ExportSequence menuEdit menuObject menuTextpad menuSelect TurnExportOnOffAction "
                    "SetExportFileAction HierarchyPanelDockWidget HistoryPanelDockWidget TextpadPanelDockWidget"},
            {Never, "FilePrint FilePrintPreview FilePrintSetup PrintAction menuRemoveOriginate RemoveSoftTypeClay "
                    "RemoveSoftTypeOriginateAsymptotic RemoveSoftTypeOriginateLinear TextpadSyncFile"},
            {S, "EditCopy EditCut menuArrange menuConvertTo ObjectLock ObjectUnlock ObjectHide ObjectReset "
                "menuAddOriginate AddSoftTypeClay AddSoftTypeTwirl RemoveSoftTypeTwirl"},
            {DSnotP, "menuAddSoftType menuRemoveSoftType SoftTypeRemoveAll SoftTypeResetDeformation "
                     "SoftTypeSetAsOriginal SoftTypePanelDockWidgetClass"},
            {GorT, "EditPasteGlyphs"}, {T, "EditPasteCharacters"}, {G, "EditPasteSoftTypes"},
            {DnotPS, "CopyAction CutAction"}, {DnotPGorT, "PasteAction"},
        };
        for (const auto &row : states) {
            const PanelSignals panelSignals(m_w);
            QGuiApplication::clipboard()->setText(row.clipboard ? QStringLiteral("text") : QString());
            if (row.state != NoDocument) {
                m_w->OnFileNew();
                QVorrelScene *scene = m_w->activeScene();
                if (row.state >= Selection) { // every glyph selected, each with a Twirl
                    Typist::type(scene, QStringLiteral("Hi"));
                    scene->selectAll(1, 2);
                    scene->addSoftType(m_w->prototypes().value(QStringLiteral("Twirl")));
                }
                if (row.state == LockedSelection)
                    scene->lockSelected();
                if (row.state == Playing)
                    m_w->OnStartStopSoftTypes();
            }
            m_w->updateAll();

            const bool d = row.state != NoDocument, p = row.state == Playing, s = row.state >= Selection;
            const bool t = row.clipboard, g = false;
            const bool expected[] = {true, false, d, d && !p, s, d && s && !p, g || t, t, g, d && !p && s,
                                     d && !p && (g || t)};
            QStringList wrong;
            for (const auto &entries : table)
                for (const QString &name : QString::fromLatin1(entries.names).split(' ')) {
                    const QObject *o = m_w->findChild<QObject *>(name);
                    o = o ? o : m_w->findChild<QAction *>("action" + name);
                    if (!o || o->property("enabled").toBool() != expected[entries.rule])
                        wrong << name;
                }
            if (m_w->typeToolbar()->isEnabled() != expected[DnotP])
                wrong << "type toolbar";
            const Ui_VorrelQtClass &ui = m_w->form();
            wrong << panelSignals.fired;
            QVERIFY2(wrong.isEmpty(), qPrintable(row.name + (": " + wrong.join(' '))));
            QCOMPARE(m_w->propertiesDock()->editingProperties()->isEnabled(), d);
            QCOMPARE(m_w->propertiesDock()->textProperties()->isEnabled(), d && s && !p);
            QVERIFY(!ui.actionTextpadSyncFile->isChecked() && !ui.actionViewControlPoints->isVisible());
            QCOMPARE(ui.actionSoftTypeStart->text() + m_w->mainToolbar()->startStopAction->text(),
                     p ? "Stop SoftTypesStop" : "Start SoftTypesStart");
            QVERIFY(!d || (ui.actionEditUndo->isEnabled() == (s && !p) && ui.actionViewScrollbars->isChecked()
                           && ui.actionExportTurnOn->text() == "Turn On"));
            cleanup();
        }
    }

    // The docks show the active document, the type toolbar the style of new text; with none, tree and history empty.
    void refreshContentsAndViewHost()
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
        const auto *pad = m_w->textpadDock()->findChild<QPlainTextEdit *>();
        const TypeToolbar *bar = m_w->typeToolbar();
        QCOMPARE(QList<int>({tree->topLevelItemCount(), history->count(), softTypes->count()}),
                 QList<int>({1, scene->history().size(), 1}));
        QCOMPARE(history->item(0)->text() + softTypes->item(0)->text() + pad->toPlainText(),
                 "Insert GlyphTwirl-0xy z");
        QVERIFY(m_w->textpadDock()->nozzleOn && bar->fillColor == QColor(10, 20, 30, 40));
        QCOMPARE(bar->strokeWidthTextEdit->text() + ' ' + bar->fontSizeComboBox->currentText(), "2.5 72");
        QCOMPARE(value<QtStringPropertyManager>("Selected Text"), QStringLiteral("Hi"));
        QCOMPARE(value<QtPointFPropertyManager>("Caret"), scene->caret()->pos());
        QCOMPARE(value<QtPointFPropertyManager>("Position"), scene->selectionBoundingRect().bottomLeft());
        // A view asks the Textpad dock for pieces and timing, set and marked in the Textpad menu; the mouse position
        // goes to the Properties dock.
        m_w->form().actionTextpadWord->trigger();
        m_w->form().actionTextpad700ms->trigger();
        m_w->textpadDock()->syncInterval = 900;
        ViewHost *host = ViewHost::current();
        host->showMousePosition(QPointF(3, -4));
        QStringList marks;
        for (QAction *a : m_w->findChildren<QAction *>())
            if (a->isChecked() && a->objectName().startsWith("actionTextpad"))
                marks << a->objectName().mid(13);
        marks.sort();
        marks << m_w->form().actionNozzleStartStop->text() << host->nextPiece() << QString::number(host->nozzleType())
              << QString::number(host->nozzleInterval()) << QString::number(host->textpadSyncInterval());
        QCOMPARE(marks.join(' '), "700ms Forward Loop Word Stop Nozzle xy 3 700 900");
        QCOMPARE(value<QtPointFPropertyManager>("Mouse"), QPointF(3, -4));
        cleanup();
        m_w->updateAll();
        QCOMPARE(tree->topLevelItemCount() + history->count(), 0);
        QCOMPARE(QString::number(softTypes->count()) + pad->toPlainText() + bar->strokeWidthTextEdit->text(),
                 "1xy z2.5");
        QCOMPARE(value<QtStringPropertyManager>("Selected Text"), QStringLiteral("Hi"));
        // Rotation shown: the first outlined glyph's while all agree, else 0; without outlines 0 and no colours.
        const struct { const char *text; QList<qreal> rotations; float shown; } rows[] = {
            {"ab", {12.5, 12.5}, 12.5f}, {"ab", {30, 45}, 0}, {"abc", {30, 45, 30}, 0}, {" a", {90, -20}, -20},
            {" ", {90}, 0},
        };
        for (const auto &row : rows) {
            m_w->OnFileNew();
            QVorrelScene *scene = m_w->activeScene();
            Typist::type(scene, row.text);
            Glyph *g = scene->root()->firstGlyph();
            for (qreal rotation : row.rotations) {
                g->setRotation(rotation);
                g = g->nextGlyph();
            }
            scene->selectAll(1, 2);
            m_w->updateAll();
            QVERIFY2(float(m_w->propertiesDock()->textRotation()) == row.shown, row.text);
            QCOMPARE(value<QtColorPropertyManager>("Fill").isValid(), QString(row.text).trimmed().size() > 0);
        }
    }

    // Two glyphs with a SoftType of one name: the first selected stands for it in the dock, whose dialog edits a clone.
    void softTypeOfFirstSelected()
    {
        m_w->OnFileNew();
        QVorrelScene *scene = m_w->activeScene();
        Typist::type(scene, QStringLiteral("ab"));
        Glyph *a = scene->root()->firstGlyph();
        Glyph *b = a->nextGlyph();
        for (Glyph *g : {a, b}) {
            const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create(QStringLiteral("Twirl"), "T"));
            twirl->property(QStringLiteral("radius"))->setValue(g == a ? 10 : 20);
            scene->restoreSelection({g});
            scene->addSoftType(twirl.get());
        }
        scene->restoreSelection({b, a});
        m_w->updateAll();
        QListWidget *list = m_w->softTypeDock()->findChild<QListWidget *>();
        ModalRecorder modal;
        modal.execs << softTypeAnswer(1);
        QSignalSpy edited(m_w->softTypeDock(), &SoftTypePanelDockWidget::softtypeChanged);
        emit list->itemClicked(list->item(0));
        QVERIFY(list->count() == 1 && edited.size() == 1);
        QCOMPARE(edited.at(0).at(1).value<QVariantHash>().value(QStringLiteral("radius")).toInt(), 20);
    }

    // Close and Save As act on the active document; a modified one asks first, and Cancel keeps it.
    void documents()
    {
        twoDocuments();
        const QWidget *first = view(0);
        Typist::type(m_scene, QStringLiteral("x"));
        ModalRecorder modal;
        modal.buttons << QMessageBox::Cancel;
        modal.fileNames << m_dir.filePath(QStringLiteral("second"));
        m_w->OnFileClose();
        m_w->OnFileSaveAs();
        m_w->OnFileClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(tabs().size() == 1 && tabs().first()->widget() == first && QFile::exists(m_dir.filePath("second")));
        QCOMPARE(modalLog(modal), QStringList({"information: Save: Save 'untitled' before closing?",
                                               "save: Save: Vorrel Files (*.vrl)"}));
    }

    void menuSlots()
    {
        twoDocuments();
        // "ab ab", each glyph with a Twirl and a test SoftType "T", the first selected, the view at scale 2, offset
        // (40, -30). Each row: entries added, the last one's text (/commands if composite), what changed ("new": style
        // of new text). "T" clicked in the Hierarchy with nothing selected: no dock clone, the dialog's is deleted.
        const Edit clickT = EDIT(w->OnSelectNone(); const int n = TestSoftType::destroyed;
                                 w->OnHierarchySoftTypeClicked(a, a->findSoftType("T"));
                                 QCOMPARE(TestSoftType::destroyed - n, 1));
        const struct { const char *slot; Edit edit; const char *after; } rows[] = {
            {"OnObjectToFront", {}, "1 Bring to Front/1 z1"}, {"OnObjectBackward", {}, "1 Send Backward/1 z-1"},
            {"OnObjectLock", {}, "1 Lock/1 locked1"}, {"OnObjectUnlock", {}, "0"},
            {"OnObjectHide", {}, "1 Hide/2 shown0 selected0"}, {"OnObjectReset", {}, "1 Reset"},
            {"OnSoftTypeResetDeform", {}, "1 Reset Deformations"}, {"OnSoftTypeSetAsOriginal", {}, "1 Set as Original"},
            {"OnSelectNone", {}, "1 Select All Unknown selected0"}, {"OnSelectAllGlyphs", {}, "1 Select All Glyphs"},
            {"OnSelectSameCharacters", {}, "1 Select Same Glyphs"},
            {"OnSelectAllWords", {}, "1 Select All Words selected0"},
            {"OnRemoveSoftTypeTwirl", {}, "1 Remove Twirl SoftTypes/1 [T]"}, {"OnRemoveSoftTypeClay", {}, "0"},
            {"OnSoftTypeRemoveAll", {}, "1 Remove All SoftTypes/2 []"},
            {"OnViewGrid", {}, "0 flags15"}, {"OnViewWorkArea", {}, "0 flags6"}, {"OnViewExtras", {}, "0 extras0"},
            {"OnViewSnapToGrid", {}, "0 snap1"}, {"OnViewScrollbars", {}, "0 bars1,1"},
            {"OnViewCenterCanvas", {}, "0 offset0,0"}, {"OnViewActualSize", {}, "0 scale1.00 offset0,0"},
            {"OnViewZoomIn", {}, "0 scale2.30"}, {"OnViewZoomOut", {}, "0 scale1.74"},
            {"visible", EDIT(w->OnHierarchyVisibleChanged(a)), "1 Hide/2 shown0 selected0"},
            {"lock", EDIT(w->OnHierarchyLockChanged(a)), "1 Lock/1 locked1"},
            {"selection toggled", EDIT(QList<TextObject *> l({a, a->nextGlyph()}); w->OnHierarchySelectionChanged(l)),
             "1 Unknown Combo Command/2 selected0"},
            {"undo 3, redo 1, 0, -3", EDIT(w->OnHistoryUndoTriggered(3); w->OnHistoryRedoTriggered(1);
                  w->OnHistoryUndoTriggered(0); w->OnHistoryRedoTriggered(-3)), "-2 [Twirl-0]"},
            {"SoftType clicked, Cancel", answered(clickT, softTypeAnswer(0)), "1 Select All Unknown selected0"},
            {"SoftType clicked, Ok", answered(clickT, softTypeAnswer(1)),
             "2 Edit Test SoftType selected0 [Twirl-0,Spin]"},
            {"SoftType clicked, Remove", answered(clickT, softTypeAnswer(2)),
             "2 Remove Test SoftType selected0 [Twirl-0]"},
            {"rotation", EDIT(w->OnTextRotationChangedBy(30)), "1 Rotate Selection r30"},
            // Font, size and position take the caret along when its glyph is selected.
            {"position", EDIT(w->OnTextPositionChanged(QPointF(9, 9))), "1 Move Selection/1"},
            {"position, caret along", EDIT(w->OnSelectAllGlyphs(); w->OnTextPositionChanged(QPointF(9, 9));
                                           QCOMPARE(w->activeScene()->selectionBoundingRect().bottomLeft(),
                                                    QPointF(9, 9))), "2 Move Selection/2"},
            {"font", EDIT(w->OnTextFontChanged(QFont("DejaVu Sans", 40))), "1 Set Font/1 #ff000000,0,DejaVuSans,40"},
            {"size twice, caret along: merged",
             EDIT(w->OnSelectAllGlyphs(); w->OnTextFontSizeChanged(20); w->OnTextFontSizeChanged(30)),
             "2 Set Font Size/2 #ff000000,0,Arial,30"},
            {"canvas, Cancel", answered(EDIT(w->OnEditCanvas()), previewAnswer(false)), "0 offset0,0"},
            {"canvas, Ok", answered(EDIT(w->OnEditCanvas()), previewAnswer(true)),
             "1 Edit Canvas offset0,0 640x480 1280x960 dpi144 #ff00ffff"},
            {"guides, Cancel", answered(EDIT(w->OnEditGuides()), previewAnswer(false)), "0"},
            {"guides, Ok", answered(EDIT(w->OnEditGuides()), previewAnswer(true)), "0 grid25 grid#ff00ff00"},
            // Type toolbar: new text and selection in one step; colour and size steps merge, font steps do not.
            {"fill twice: merged", EDIT(w->OnToolbarFillColorChanged(Qt::red); w->OnToolbarFillColorChanged(Qt::blue)),
             "1 Set Fill Color/2 new#ff0000ff,0,Arial,72 #ff0000ff,0,Arial,72"},
            {"fill, nothing selected", EDIT(w->OnSelectNone(); w->OnToolbarFillColorChanged(QColor(0, 0, 255, 128))),
             "2 Set Fill Color/1 new#800000ff,0,Arial,72 selected0"},
            {"size twice: merged", EDIT(w->OnToolbarFontSizeChanged(30); w->OnToolbarFontSizeChanged(QString("40"))),
             "1 Set Font Size/2 new#ff000000,0,Arial,40 #ff000000,0,Arial,40"},
            {"stroke width; then widths and sizes of no number", EDIT(
                 for (const char *width : {"2", "abc", "-5", ""}) {
                     w->typeToolbar()->strokeWidthTextEdit->setText(width);
                     w->OnToolbarStrokeWidthTextEditFinished();
                 }
                 for (const char *size : {"abc", "0", "-5", ""})
                     w->OnToolbarFontSizeChanged(QString(size))),
             "1 Set Stroke Width/2 new#ff000000,2,Arial,72 #ff000000,2,Arial,72"},
            {"fonts: one step each", EDIT(w->typeToolbar()->fontComboBox->setCurrentFont(QFont("DejaVu Serif"));
                                          w->typeToolbar()->fontComboBox->setCurrentFont(QFont("DejaVu Sans"))),
             "2 Set Font/2 new#ff000000,0,DejaVuSans,72 #ff000000,0,DejaVuSans,72"},
        };
        for (const auto &row : rows) {
            Typist::type(m_scene, QStringLiteral("ab ab"));
            m_scene->selectAll(1, 2);
            m_scene->addSoftType(m_w->prototypes().value(QStringLiteral("Twirl")));
            m_scene->addSoftType(std::make_unique<TestSoftType>(QStringLiteral("T")).get());
            m_scene->selectAll(1, 0);
            Glyph *a = m_scene->root()->firstGlyph();
            m_scene->setSelected(a, true, false);
            view(1)->scale(2, 2), view(1)->setViewOffset(QPointF(40, -30));
            const QStringList before = stateOf(view(1)), first = stateOf(view(0));
            const int entries = m_scene->historyIndex();
            row.edit ? row.edit(m_w, a) : void(QMetaObject::invokeMethod(m_w, row.slot));
            const int added = m_scene->historyIndex() - entries;
            const Cmd *last = m_scene->history().at(m_scene->historyIndex() - 1);
            const auto *combo = added > 0 ? qobject_cast<const CmdCombo *>(last) : nullptr;
            const QString text = last->text() + (combo ? "/" + QString::number(combo->count()) : "");
            QStringList probe = QStringList{QString::number(added), text}.mid(0, added > 0 ? 2 : 1);
            for (const QString &field : stateOf(view(1)))
                probe << QStringList(field).mid(before.contains(field));
            QVERIFY2(probe.join(' ') == QLatin1String(row.after), qPrintable(row.slot + (": " + probe.join(' '))));
            QVERIFY(stateOf(view(0)) == first && view(0)->scene()->history().isEmpty());
            // One undo step each, back to the document as it was; the canvas's to the values from before the dialog.
            for (int i = 0; i < added; ++i)
                m_w->OnEditUndo();
            QVERIFY2(added <= 0 || stateOf(view(1)).mid(6) == before.mid(6), qPrintable(stateOf(view(1)).join(' ')));
            cleanup();
            twoDocuments();
        }
        // The context menu, not while the document plays nor while the left button drags.
        ModalRecorder modal;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_w->mapToGlobal(QPoint(5, 5)));
        for (int state : {0, 1, 2}) {
            view(1)->setPlaying(state == 0);
            view(1)->scene()->setMouseButtons(state == 1 ? Qt::LeftButton | Qt::RightButton : Qt::RightButton);
            QCoreApplication::sendEvent(m_w, &event);
        }
        QCOMPARE(modalLog(modal), QStringList("menu: : actionSoftTypeStart SoftTypes[menuAddSoftType menuRemoveSoftType "
                                              "actionSoftTypeRemoveAll - actionSoftTypeResetDeformation "
                                              "actionSoftTypeSetAsOriginal] - actionNozzleStartStop - actionEditCut "
                                              "actionEditCopy actionEditPasteGlyphs actionEditPasteCharacters "
                                              "actionEditPasteSoftTypes - actionObjectLock actionObjectUnlock "
                                              "actionObjectHide actionObjectReset"));
    }

    // A Hierarchy click ending a selection of all glyphs flips them in one step, undone in order; History runs refresh
    // the docks once, to what a refresh of their end shows. Both take time linear in the document.
    void hierarchyFlipAndHistoryRunTakeLinearTime()
    {
        const auto *history = m_w->historyDock()->findChild<QListWidget *>();
        const auto shown = [&] { return QVector<int>{m_w->hierarchyDock()->findChild<QTreeWidget *>()->selectedItems().size(), history->currentRow(), history->count()}; };
        const auto run = [&](int factor) {
            m_w->OnFileNew();
            QVorrelScene *scene = m_w->activeScene();
            QSignalBlocker quiet(scene);
            scene->insertString(QStringLiteral("ab\n").repeated(1500 * factor), QPointF(0, 100), false);
            scene->placeCaretAt(0, -500); // each typed step then lays out a short passage of its own
            Typist::type(scene, QStringLiteral("xy ").repeated(40 * factor));
            quiet.unblock();
            scene->selectAll(1, 2);
            const QList<TextObject *> order = scene->selectedObjects();
            QList<TextObject *> flipped = order + QList<TextObject *>{scene->root()->firstChild()};
            double seconds = -DoublingRatio::cpuSeconds();
            m_w->OnHierarchySelectionChanged(flipped);
            const int end = scene->historyIndex();
            m_w->OnHistoryUndoTriggered(120 * factor + 2);
            m_w->OnHistoryRedoTriggered(120 * factor + 2);
            seconds += DoublingRatio::cpuSeconds();
            const QVector<int> after = shown();
            m_w->updateAll();
            bool exact = shown() == after && scene->selectedObjects() == QList<TextObject *>{flipped.last()};
            scene->undo();
            exact = exact && scene->selectedObjects() == order && scene->historyIndex() == end - 1;
            cleanup();
            return exact ? seconds : -1;
        };
        const QString slow = DoublingRatio::nonLinear(run, QStringLiteral("the document and its steps"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    // The textpad's text belongs to the active document: typed or loaded, it modifies it with no history entry.
    // Paste Glyphs without copies pastes the clipboard's text; copies paste as often as asked, into the active
    // document; Cut is one step; copied text has "\n" line ends.
    void textpadAndClipboard()
    {
        twoDocuments();
        m_w->textpadDock()->findChild<QPlainTextEdit *>()->setPlainText(QStringLiteral("typed"));
        QVERIFY(m_scene->textpadText() == "typed" && view(1)->isModified() && m_scene->historyIndex() == 0);
        activate(0);
        m_w->form().actionTextpadLoremIpsum->trigger();
        // guards: loremIpsumEndsOnMagna. One line of 995 characters, so the word nozzle ends on " magna.".
        const QString lorem = view(0)->scene()->textpadText();
        QVERIFY(lorem.startsWith("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ") && view(0)->isModified());
        QVERIFY(lorem.size() == 995 && lorem.endsWith(". Donec semper massa magna.") && !lorem.contains('\n'));
        QVERIFY(view(0)->scene()->history().isEmpty() && m_scene->textpadText() == "typed");
        activate(1);
        QClipboard *board = QGuiApplication::clipboard();
        board->setText("x\r\ny"); // line ends and surrogate pairs: the scene suite's insertString rows
        m_w->OnEditPasteGlyphs();
        QCOMPARE(Typist::shape(m_scene->root()), "(x)|(y)");

        QVorrelScene *scene = view(0)->scene();
        Typist::type(scene, QStringLiteral("abc"));
        activate(0);
        scene->restoreSelection({passage(scene, 0)->child(0)});
        m_w->OnEditCopy();
        m_w->OnEditPasteGlyphs();
        m_w->OnEditPasteGlyphs();
        QCOMPARE(scene->root()->text() + QString::number(scene->historyIndex()), "abcabcabc5");
        QCOMPARE(scene->selectedObjects().size(), 3);
        activate(1);
        m_w->OnEditPasteGlyphs();
        QVERIFY(m_scene->root()->text().endsWith("abc"));
        activate(0);
        m_w->OnEditCut();
        QCOMPARE(scene->root()->text() + QString::number(scene->historyIndex()), "abcabc6");
        scene->undo();
        QVERIFY(scene->root()->text() == "abcabcabc" && m_w->copiedGlyphs().size() == 3);

        m_w->OnFileNew();
        QVorrelScene *lines = m_w->activeScene();
        Typist::type(lines, QStringLiteral("a\rb"));
        lines->restoreSelection({passage(lines, 0)});
        m_w->OnEditCopy();
        QCOMPARE(board->text(), QStringLiteral("a\nb"));
        m_w->OnEditPasteCharacters();
        QCOMPARE(Typist::shape(lines->root()), QStringLiteral("(a)|(ba)|(b)"));
    }

    // Names run per kind; Cancel keeps the number; Ok gives the prototype the values but not the name.
    void addSoftTypes()
    {
        twoDocuments();
        Typist::type(m_scene, QStringLiteral("ab"));
        Glyph *a = m_scene->root()->firstGlyph();
        m_scene->restoreSelection({a});
        auto setRadius = [](QDialog *dialog) {
            for (QtProperty *group : dialog->findChild<QtGroupPropertyManager *>()->properties())
                for (QtProperty *p : group->subProperties())
                    if (p->propertyName() == QLatin1String("radius"))
                        static_cast<QtVariantProperty *>(p)->setValue(77);
            return int(QDialog::Accepted);
        };
        ModalRecorder modal;
        modal.execs << setRadius << reject << accept;
        for (int i = 0; i < 3; ++i)
            m_w->form().actionAddSoftTypeClay->trigger();
        QCOMPARE(a->softTypeNames(), (QStringList{"clay-1", "clay-2"}));
        // The third dialog opened with the radius accepted in the first.
        QCOMPARE(a->findSoftType(QStringLiteral("clay-2"))->values().value(QStringLiteral("radius")).toInt(), 77);
        const SoftType *prototype = m_w->prototypes().value(QStringLiteral("clay"));
        QCOMPARE(prototype->values().value(QStringLiteral("radius")).toString() + prototype->name(), "77clay-0");
    }

    // The canvas at the export size under exactly the name chosen; a failed write is told and leaves nothing. An
    // existing file is asked about: Yes replaces it, No leaves it as it was.
    void stillExport()
    {
        twoDocuments();
        Typist::type(m_scene, QStringLiteral("ab cd"));
        const char *const rows[][5] = { // slot, file chosen, file written, format written, suffix proposed
            {"OnExportPNG", "shot", "shot", "png", "png"}, {"OnExportTIFF", "shot.tif", "shot.tif", "tiff", "tif"},
            {"OnExportBMP", "shot.bmp", "shot.bmp", "bmp", "bmp"}, {"OnExportJPEG", "no/dir/x.jpg", "no/dir/x.jpg", "", "jpg"},
            {"OnExportBMP", "shot.tif", "shot.tif", "bmp", "bmp"}, {"OnExportPNG", "shot", "shot", "", "png"},
        };
        for (const auto &row : rows) {
            ModalRecorder modal;
            const QString target = m_dir.filePath(row[2]), kind = QString(row[0]).mid(8);
            const QByteArray before = contents(target);
            modal.fileNames << m_dir.filePath(row[1]);
            modal.buttons << (QString(row[0]) == "OnExportPNG" ? QMessageBox::No : QMessageBox::Yes);
            QMetaObject::invokeMethod(m_w, row[0]);
            const QString failed = QString("warning: Export %1: Unable to write the file '%2'. An existing file of "
                                           "that name is kept as it was.").arg(kind, target),
                          asked = QString("warning: Export %1: %2 already exists.\nDo you want to replace it?")
                                      .arg(kind, QFileInfo(target).fileName());
            QCOMPARE(modalLog(modal).mid(1), before.isEmpty() ? *row[3] ? QStringList() : QStringList(failed)
                                                                : QStringList(asked));
            QCOMPARE(modal.saveDirs.value(0), QStringLiteral("untitled.") + row[4]);
            QImageReader reader(target);
            QVERIFY2(*row[3] ? reader.format() == row[3] && reader.size() == QSize(1024, 768)
                             : contents(target) == before, row[1]);
        }
        // The window's own renderers (guards: rendererNames).
        const QString page = m_dir.filePath(QStringLiteral("page.pdf")), image = m_dir.filePath(QStringLiteral("image"));
        QVERIFY(m_w->renderToPDF(m_scene, page) && m_w->renderToImage(m_scene, QStringLiteral("BMP"), image));
        QFile pdfPage(page);
        QVERIFY(pdfPage.open(QIODevice::ReadOnly) && pdfPage.read(5) == "%PDF-" && QImageReader(image).size() == QSize(1024, 768));
        // A page per passage, word or glyph of "ab cd", "ef", shown or hidden (guards: hiddenObjectsGetPages), then
        // one of the canvas; document unchanged, each object's own visibility included.
        m_scene->executeCommand(new CmdMoveCaretPoint(m_scene, QPointF(0, 400)));
        Typist::type(m_scene, QStringLiteral("ef"));
        m_scene->restoreSelection({passage(m_scene, 0)});
        const struct { int level; bool clip, hide; int size, pages; } pdfRows[] = {
            {0, false, false, 100, 3}, {1, true, false, 100, 4}, {2, false, false, 100, 7}, {0, true, true, 100, 3},
            {2, false, true, 0, 7},    {1, true, true, 0, 4},
        };
        const auto ownVisibility = [&] {
            QString shown;
            for (TextIterator it(m_scene->root(), TextIterator::Forward | TextIterator::PostOrder); it.hasNext();) {
                TextObject *o = it.next();
                shown += o->isVisibleTo(o->parentItem()) ? '+' : '-';
            }
            return shown;
        };
        for (const auto &row : pdfRows) {
            m_scene->setScreenSize(row.size, row.size);
            m_scene->setExportSettings(row.size, row.size, 72);
            // The second passage, and in the first the word cd's glyph c.
            m_scene->setObjectVisible(passage(m_scene, 1), !row.hide);
            m_scene->setObjectVisible(static_cast<TextGroup *>(passage(m_scene, 0)->child(2))->child(0), !row.hide);
            const QString visibility = ownVisibility();
            const int entries = m_scene->historyIndex();
            const bool replaced = QFile::exists(m_dir.filePath(QStringLiteral("pages.pdf")));
            ModalRecorder modal;
            modal.fileNames << m_dir.filePath(QStringLiteral("pages.pdf"));
            modal.execs << [&](QDialog *dialog) {
                dialog->findChild<QComboBox *>(QStringLiteral("cbObjectType"))->setCurrentIndex(row.level);
                dialog->findChild<QCheckBox *>(QStringLiteral("checkClipping"))->setChecked(row.clip);
                return int(QDialog::Accepted);
            };
            m_w->form().actionExportMultipagePDF->trigger();
            QFile pdf(m_dir.filePath(QStringLiteral("pages.pdf")));
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            const QByteArray bytes = pdf.readAll();
            const int pages = bytes.count("/Type /Page") - bytes.count("/Type /Pages");
            QVERIFY2(pages == row.pages, qPrintable(QString("level %1: %2 pages").arg(row.level).arg(pages)));
            TextGroup *first = passage(m_scene, 0);
            QVERIFY(first->isVisible() && first->isSelected() && ownVisibility() == visibility);
            QVERIFY(modal.calls.first().title == "Export PDF" && m_scene->backgroundColor() == Qt::white
                    && m_scene->historyIndex() == entries);
            QCOMPARE(modalLog(modal).contains("warning: Export PDF: pages.pdf already exists.\nDo you want to replace it?"),
                     replaced);
        }
        // Not to be replaced: no page dialog, the file as it was.
        ModalRecorder modal;
        modal.fileNames << m_dir.filePath(QStringLiteral("pages.pdf"));
        modal.buttons << QMessageBox::No;
        const QByteArray pages = contents(m_dir.filePath(QStringLiteral("pages.pdf")));
        m_w->form().actionExportMultipagePDF->trigger();
        QVERIFY(modal.calls.size() == 2 && contents(m_dir.filePath(QStringLiteral("pages.pdf"))) == pages);
    }

    // A document holding sizes past what the canvas dialog gives (guards: largeSizesAreKept) opens, shows zoomed
    // out and plays with them; saved, it is the same file. The canvas dialog shows what its boxes hold: Cancel keeps
    // the sizes, Ok gives the boxes' values. An export of 2000000000 pixels a side is refused, as a PDF page too at
    // 60 pixels per inch (2400000000 points).
    void storedSizesAreKept()
    {
        QVorrelScene stored(-32768, -32768, 65535, 65535);
        Typist::type(&stored, QStringLiteral("ab"));
        stored.setScreenSize(70000, 768);
        stored.setExportSettings(2000000000, 2000000000, 60);
        stored.setBackgroundColor(QColor(255, 255, 255, 100)); // the checkerboard shows through
        stored.toggleGridVisible();
        const QString name = m_dir.filePath(QStringLiteral("large.vrl")), again = m_dir.filePath(QStringLiteral("again.vrl"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly) && DocumentStream::write(&file, stored));
        file.close();
        m_w->openFile(name);
        QVorrelView *view = m_w->activeView();
        QVorrelScene *s = view->scene();
        const auto sizes = [s] {
            return QStringLiteral("%1x%2 %3x%4 %5").arg(s->screenWidth()).arg(s->screenHeight()).arg(s->exportWidth())
                .arg(s->exportHeight()).arg(s->exportResolution());
        };
        QCOMPARE(sizes(), "70000x768 2000000000x2000000000 60");
        QVERIFY(view->saveToFile(again, true) && contents(again) == contents(name));
        for (int i = 0; i < 80; ++i)
            view->zoomOut(QPointF(10, 10));
        view->viewport()->repaint();
        view->setPlaying(true);
        view->playFrame();
        view->setPlaying(false);
        ModalRecorder modal;
        modal.execs << reject << [](QDialog *d) { static_cast<EditCanvasDlg *>(d)->OkCanvasPressed(); return d->result(); };
        m_w->OnEditCanvas();
        QCOMPARE(sizes(), "70000x768 2000000000x2000000000 60");
        modal.fileNames << m_dir.filePath(QStringLiteral("large.png")) << m_dir.filePath(QStringLiteral("large.pdf"));
        modal.execs.prepend(accept);
        m_w->OnExportPNG();
        m_w->OnExportMultiPagePDF();
        m_w->OnEditCanvas();
        QCOMPARE(sizes(), "65535x768 999999999x999999999 60");
        const QString refused = "warning: Export: An image of 2000000000 x 2000000000 pixels is too large to export.";
        QCOMPARE(modalLog(modal).filter(QStringLiteral("warning: Export:")), QStringList({refused, refused}));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("large.png"))) && !QFile::exists(m_dir.filePath(QStringLiteral("large.pdf"))));
    }

    // File > Export Sequence: the kind by the suffix, completed from the chosen filter when it is none of the
    // known ones (the first filter when none is chosen); a movie through its settings dialog; armed, from frame 1.
    void sequenceSuffix()
    {
        const struct { const char *typed, *filter, *file; int kind; } rows[] = {
            {"clip", nullptr, "clip.mov", 6},               {"clip", "JPEG (*.jpg *.jpeg)", "clip.jpg", 2},
            {"clip", "TIFF (*.tif *.tiff)", "clip.tif", 5}, {"clip.JPG", "PNG (*.png)", "clip.JPG", 2},
            {"clip.gif", "PNG (*.png)", "clip.gif.png", 4}, {"clip.", "BMP (*.bmp)", "clip..bmp", 1},
        };
        for (const auto &row : rows) {
            m_w->OnFileNew();
            QVorrelScene *scene = m_w->activeScene();
            FilterRecorder modal;
            modal.fileNames << m_dir.filePath(row.typed);
            modal.filters << row.filter;
            modal.execs << accept;
            m_w->form().actionExportSequence->trigger();
            QCOMPARE(modal.calls.value(0).title + modal.saveDirs.value(0) + modal.calls.value(0).text,
                     "Export SequenceuntitledQuicktime (*.mov);;BMP (*.bmp);;JPEG (*.jpg *.jpeg);;PDF (*.pdf);;"
                     "PNG (*.png);;TIFF (*.tif *.tiff)");
            QCOMPARE(scene->exportFileName() + ' ' + QString::number(scene->exportKind()),
                     m_dir.filePath(row.file) + ' ' + QString::number(row.kind));
            QVERIFY(scene->exportArmed() && scene->exportFrameNumber() == 1
                    && m_w->mainToolbar()->turnExportOnOffAction->text() == "Stop Export");
            auto *movie = static_cast<ExporterMOV *>(scene->exporter());
            QCOMPARE(bool(movie) + modal.calls.size(), row.kind == 6 ? 3 : 1);
            if (movie) // the dialog's first choices: JPEG, Normal, clear background
                QVERIFY(movie->codec() == 0x6A706567 && movie->quality() == 512 && movie->clearBackground()
                        && !movie->keepExisting() && modal.calls.value(1).title == "Quicktime Settings");
        }
        // Numbering goes on across disarming and the same file, restarts for another; a refused movie changes
        // nothing; the same movie again is appended to.
        const QString filters = "Quicktime (*.mov);;BMP (*.bmp);;JPEG (*.jpg *.jpeg);;PDF (*.pdf);;PNG (*.png);;"
                                "TIFF (*.tif *.tiff)";
        cleanup();
        twoDocuments();
        FilterRecorder modal;
        MainToolbar *bar = m_w->mainToolbar();
        m_scene->setExportSettings(32, 24, 72);
        bar->turnExportOnOffAction->trigger(); // no file yet: asks for one, cancelled
        QVERIFY(modal.calls.size() == 1 && m_scene->exportFileName().isEmpty() && !m_scene->exportArmed());
        const QString bmp = m_dir.filePath("seq.bmp"), seq = m_dir.filePath("seq");
        modal.fileNames << bmp;
        bar->setExportFileAction->trigger();
        for (int i = 0; i < 3; ++i) { // on, off (no frame), on again
            view(1)->playFrame();
            bar->turnExportOnOffAction->trigger();
        }
        QVERIFY(QFile::exists(seq + "_00001.bmp") && QFile::exists(seq + "_00002.bmp"));
        QVERIFY(m_scene->exportFrameNumber() == 3 && !m_scene->exportArmed());
        // An existing movie is asked about by the name written: No changes nothing (the file as it was), Yes goes on.
        QVERIFY(writeFile(seq + ".mov", "an earlier run"));
        modal.fileNames << seq;
        modal.buttons << QMessageBox::No;
        Exporter *const none = m_scene->exporter();
        bar->setExportFileAction->trigger();
        const QString asked = "warning: Export Sequence: seq.mov already exists.\nDo you want to replace it?";
        QCOMPARE(modalLog(modal).mid(modal.calls.size() - 2), QStringList({"save: Export Sequence: " + filters, asked}));
        QVERIFY(m_scene->exportFileName() == bmp && m_scene->exportKind() == 1 && m_scene->exporter() == none
                && m_scene->exportFrameNumber() == 3 && !m_scene->exportArmed() && contents(seq + ".mov") == "an earlier run");
        // The movie dialog cancelled, a codec name the writer does not know, then the same file again.
        modal.fileNames << seq << seq << bmp;
        modal.execs << reject << [](QDialog *d) {
            d->findChild<QComboBox *>("cbCodec")->setItemText(QuicktimeSettingsDlg::codecIndex, "?");
            return int(QDialog::Accepted);
        };
        for (int i = 0; i < 3; ++i)
            bar->setExportFileAction->trigger();
        QCOMPARE(modal.calls.value(modal.calls.size() - 2).text, "Unknown codec type.");
        QCOMPARE(modal.saveDirs.mid(2), QStringList({seq, seq, seq, seq})); // the start name
        QVERIFY(m_scene->exportFileName() == bmp && m_scene->exportKind() == 1 && m_scene->exportFrameNumber() == 3
                && m_scene->exportArmed());
        modal.fileNames << seq << seq + ".mov";
        modal.execs << accept << accept;
        bar->setExportFileAction->trigger();
        const bool appending = static_cast<ExporterMOV *>(m_scene->exporter())->keepExisting();
        QCOMPARE(m_scene->exportFrameNumber(), 1);
        m_scene->setExportFrameNumber(7);
        bar->setExportFileAction->trigger();
        QVERIFY(!appending && static_cast<ExporterMOV *>(m_scene->exporter())->keepExisting());
        QCOMPARE(m_scene->exportFrameNumber(), 7);
        // Each new choice of the existing movie was asked about, the same one again was not.
        QCOMPARE(modalLog(modal).count(asked), 4);
        QCOMPARE(modalLog(modal).mid(modal.calls.size() - 2), QStringList({"save: Export Sequence: " + filters,
                                                                          "exec: Quicktime Settings: "}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
