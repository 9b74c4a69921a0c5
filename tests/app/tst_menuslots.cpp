#include "ViewFixture.h"
#include "app/VorrelQt.h"
#include "commands/CmdCombo.h"
#include "dialogs/SoftTypeDlg.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/TextGroup.h"
#include "support/TestSoftType.h"
#include "support/Typist.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

// An edit through the window w, given the first glyph a.
#define EDIT(...) [](VorrelQt *w, Glyph *a) { Q_UNUSED(a) __VA_ARGS__; }
using Edit = std::function<void(VorrelQt *, Glyph *)>;

// Two documents are open in every test: the slots act on the second, the active one, and leave the first alone.
class TestMenuSlots : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_w->OnFileNew(), m_w->OnFileNew(), m_scene = m_w->activeScene(); }
    void cleanup()
    {
        ModalRecorder modal;
        modal.buttons << QMessageBox::No << QMessageBox::No << QMessageBox::No;
        area()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void documents();
    void menuSlots();

private:
    QVorrelView *view(int i) const { return qobject_cast<QVorrelView *>(area()->subWindowList()[i]->widget()); }
    QMdiArea *area() const { return m_w->documentArea(); }
    // What the slots change in a document, its view, canvas and grid, and in the first glyph.
    static QStringList stateOf(QVorrelView *v);

    VorrelQt *m_w = VorrelQt::instance();
    QVorrelScene *m_scene = nullptr;
    QTemporaryDir m_dir;
};

void TestMenuSlots::documents()
{
    QVorrelView *first = view(0), *second = view(1);
    Typist::type(m_scene, QStringLiteral("Hi"));
    ModalRecorder modal;
    const QString name = m_dir.filePath(QStringLiteral("second"));
    modal.fileNames << name << name;
    m_w->OnFileSaveAs();
    QVERIFY(!second->isModified() && m_scene->fileName() == name && first->scene()->fileName().isEmpty());
    m_w->OnFileOpen();
    QCOMPARE(Typist::shape(m_w->activeScene()->root()), QStringLiteral("(Hi)"));
    m_w->OnFileClose();
    // The first document, modified: Cancel keeps it, No closes it.
    m_w->setActiveSubWindow(first->parentWidget());
    Typist::type(first->scene(), QStringLiteral("x"));
    modal.buttons << QMessageBox::Cancel << QMessageBox::No;
    m_w->OnFileClose();
    m_w->OnFileClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(area()->subWindowList().size() == 1 && m_w->activeView() == second);
    const QString question = QStringLiteral("information: Save: Save 'untitled' before closing?");
    QCOMPARE(modalLog(modal),
             QStringList({"save: Save: Vorrel Files (*.vrl)", "open: Open: Vorrel Files (*.vrl)", question, question}));
}

QStringList TestMenuSlots::stateOf(QVorrelView *v)
{
    const QVorrelScene *s = v->scene();
    const Glyph *a = s->root()->firstGlyph();
    return QStringLiteral("flags%1 extras%2 snap%3 bars%4,%5 scale%6 offset%7,%8").arg(s->viewFlags())
               .arg(s->extrasVisible()).arg(s->snapFlags()).arg(v->verticalScrollBarPolicy())
               .arg(v->horizontalScrollBarPolicy()).arg(v->transform().m11(), 0, 'f', 2)
               .arg(qRound(v->viewOffset().x())).arg(qRound(v->viewOffset().y())).split(' ')
        + QStringLiteral("%1x%2 %3x%4 dpi%5 %6 grid%7 grid%8").arg(s->screenWidth()).arg(s->screenHeight())
              .arg(s->exportWidth()).arg(s->exportHeight()).arg(s->exportResolution())
              .arg(s->backgroundColor().name(QColor::HexArgb)).arg(s->grid()->spacing())
              .arg(s->grid()->color().name(QColor::HexArgb)).split(' ')
        + (a ? QStringLiteral("z%1 r%2 locked%3 shown%4 selected%5 [%6]").arg(a->zValue()).arg(a->rotation())
                   .arg(a->isLocked()).arg(a->isVisible()).arg(a->isSelected()).arg(a->softTypeNames().join(','))
                   .split(' ')
             : QStringList());
}

// Runs the edit with its modal dialog answered.
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

// The canvas or guides dialog previews other values, then shows its own and closes with Ok or Cancel; -1 when
// the preview did not reach the document.
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

void TestMenuSlots::menuSlots()
{
    // "ab ab", every glyph with a Twirl and a test SoftType "T", the first glyph selected, the caret after the last,
    // the view at scale 2 and offset (40, -30). Each row: entries added, the last one's text (with its number of
    // commands when composite), and what changed. "T" is clicked in the Hierarchy with nothing selected, so that
    // the SoftTypes dock holds no clone of it: the dialog's clone is deleted.
    const Edit clickT = EDIT(w->OnSelectNone(); const int n = TestSoftType::destroyed;
                             w->OnHierarchySoftTypeClicked(a, a->findSoftType("T"));
                             QCOMPARE(TestSoftType::destroyed - n, 1));
    const struct { const char *slot; Edit edit; const char *after; } rows[] = {
        {"OnObjectToFront", {}, "1 Bring to Front/1 z1"}, {"OnObjectBackward", {}, "1 Send Backward/1 z-1"},
        {"OnObjectLock", {}, "1 Lock/1 locked1"}, {"OnObjectUnlock", {}, "0"},
        {"OnObjectHide", {}, "1 Hide/2 shown0 selected0"}, {"OnObjectReset", {}, "1 Reset"},
        {"OnSoftTypeResetDeform", {}, "1 Reset Deformations"}, {"OnSoftTypeSetAsOriginal", {}, "1 Set as Original"},
        {"OnSelectNone", {}, "1 Select All Unknown selected0"}, {"OnSelectSameCharacters", {}, "1 Select Same Glyphs"},
        {"OnSelectAllGlyphs", {}, "1 Select All Glyphs"}, {"OnSelectAllWords", {}, "1 Select All Words selected0"},
        {"OnSelectAllPassages", {}, "1 Select All Passages selected0"},
        {"OnSelectSameWords", {}, "1 Select Same Words selected0"},
        {"OnRemoveSoftTypeTwirl", {}, "1 Remove Twirl SoftTypes/1 [T]"}, {"OnRemoveSoftTypeClay", {}, "0"},
        {"OnSoftTypeRemoveAll", {}, "1 Remove All SoftTypes/2 []"},
        {"OnViewGrid", {}, "0 flags15"}, {"OnViewCaret", {}, "0 flags12"}, {"OnViewSelection", {}, "0 flags10"},
        {"OnViewWorkArea", {}, "0 flags6"}, {"OnViewExtras", {}, "0 extras0"}, {"OnViewSnapToGrid", {}, "0 snap1"},
        {"OnViewScrollbars", {}, "0 bars1,1"}, {"OnViewCenterCanvas", {}, "0 offset0,0"},
        {"OnViewZoomIn", {}, "0 scale2.30"}, {"OnViewZoomOut", {}, "0 scale1.74"},
        {"OnViewActualSize", {}, "0 scale1.00 offset0,0"},
        {"visible", EDIT(w->OnHierarchyVisibleChanged(a)), "1 Hide/2 shown0 selected0"},
        {"lock", EDIT(w->OnHierarchyLockChanged(a)), "1 Lock/1 locked1"},
        {"selection toggled", EDIT(QList<TextObject *> l({a, a->nextGlyph()}); w->OnHierarchySelectionChanged(l)),
         "1 Unknown Combo Command/2 selected0"},
        {"undo 3, redo 1, 0, -3", EDIT(w->OnHistoryUndoTriggered(3); w->OnHistoryRedoTriggered(1);
              w->OnHistoryUndoTriggered(0); w->OnHistoryRedoTriggered(-3)), "-2 [Twirl-0]"},
        {"SoftType clicked, Cancel", answered(clickT, softTypeAnswer(0)), "1 Select All Unknown selected0"},
        {"SoftType clicked, Ok", answered(clickT, softTypeAnswer(1)), "2 Edit Test SoftType selected0 [Twirl-0,Spin]"},
        {"SoftType clicked, Remove", answered(clickT, softTypeAnswer(2)), "2 Remove Test SoftType selected0 [Twirl-0]"},
        {"rotation", EDIT(w->OnTextRotationChangedBy(30)), "1 Rotate Selection r30"},
        // Font, size and position take the caret along when its glyph is selected.
        {"position", EDIT(w->OnTextPositionChanged(QPointF(9, 9))), "1 Move Selection/1"},
        {"position, caret along", EDIT(w->OnSelectAllGlyphs(); w->OnTextPositionChanged(QPointF(9, 9));
                                       QCOMPARE(w->activeScene()->selectionBoundingRect().bottomLeft(), QPointF(9, 9))),
         "2 Move Selection/2"},
        {"font", EDIT(w->OnTextFontChanged(QFont("DejaVu Sans", 40))), "1 Set Font/1"},
        {"size twice, caret along: merged",
         EDIT(w->OnSelectAllGlyphs(); w->OnTextFontSizeChanged(20); w->OnTextFontSizeChanged(30)), "2 Set Font Size/2"},
        {"canvas, Cancel", answered(EDIT(w->OnEditCanvas()), previewAnswer(false)), "0 offset0,0"},
        {"canvas, Ok", answered(EDIT(w->OnEditCanvas()), previewAnswer(true)),
         "1 Edit Canvas offset0,0 640x480 1280x960 dpi144 #ff00ffff"},
        {"guides, Cancel", answered(EDIT(w->OnEditGuides()), previewAnswer(false)), "0"},
        {"guides, Ok", answered(EDIT(w->OnEditGuides()), previewAnswer(true)), "0 grid25 grid#ff00ff00"},
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
        // One undo step each; the canvas's takes back the values from before the dialog.
        for (int i = 0; i < added; ++i)
            m_w->OnEditUndo();
        QVERIFY(added <= 0 || stateOf(view(1)).mid(6, 4) == before.mid(6, 4));
        cleanup(), init();
    }
    // The context menu, not while the document plays.
    ModalRecorder modal;
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_w->mapToGlobal(QPoint(5, 5)));
    for (bool playing : {true, false})
        view(1)->setPlaying(playing), QCoreApplication::sendEvent(m_w, &event);
    QCOMPARE(modalLog(modal), QStringList("menu: : actionSoftTypeStart SoftTypes[menuAddSoftType menuRemoveSoftType "
                                          "actionSoftTypeRemoveAll - actionSoftTypeResetDeformation "
                                          "actionSoftTypeSetAsOriginal] - actionNozzleStartStop - actionEditCut "
                                          "actionEditCopy actionEditPasteGlyphs actionEditPasteCharacters "
                                          "actionEditPasteSoftTypes - actionObjectLock actionObjectUnlock "
                                          "actionObjectHide actionObjectReset"));
}

QTEST_MAIN(TestMenuSlots)
#include "tst_menuslots.moc"
