#include "ViewFixture.h"
#include "app/VorrelQt.h"
#include "commands/CmdCombo.h"
#include "dialogs/SaveOptionsDlg.h"
#include "dialogs/SoftTypeDlg.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/TextGroup.h"
#include "support/TestSoftType.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QContextMenuEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

// An edit through a slot, given the window w and the first glyph a.
#define EDIT(body) [](VorrelQt *w, Glyph *a) { Q_UNUSED(a) body; }
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
        m_w->documentArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void documents();
    void viewSlots();
    void editSlots();
    void dialogs();

private:
    QVorrelView *view(int i) const
    {
        return qobject_cast<QVorrelView *>(m_w->documentArea()->subWindowList(QMdiArea::CreationOrder)[i]->widget());
    }
    bool firstUntouched() const { return view(0)->scene()->history().isEmpty() && !view(0)->isModified(); }

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
    QCOMPARE(m_w->activeView(), first);
    m_w->OnFileClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_w->documentArea()->subWindowList().size() == 1 && m_w->activeView() == second);
    const QString question = QStringLiteral("information: Save: Save 'untitled' before closing?");
    QCOMPARE(modalLog(modal),
             QStringList({"save: Save: Vorrel Files (*.vrl)", "open: Open: Vorrel Files (*.vrl)", question, question}));
}

void TestMenuSlots::viewSlots()
{
    // At scale 2 the view's centre shows (512 + 40, 384 - 30). Each row: view flags, extras, snap, scroll bar
    // policies, scale, offset.
    const char *rows[][2] = {
        {"OnViewGrid", "15 1 0 0 0 2.00 40,-30"},       {"OnViewCaret", "12 1 0 0 0 2.00 40,-30"},
        {"OnViewSelection", "10 1 0 0 0 2.00 40,-30"},  {"OnViewWorkArea", "6 1 0 0 0 2.00 40,-30"},
        {"OnViewExtras", "14 0 0 0 0 2.00 40,-30"},     {"OnViewSnapToGrid", "14 1 1 0 0 2.00 40,-30"},
        {"OnViewScrollbars", "14 1 0 1 1 2.00 40,-30"}, {"OnViewCenterCanvas", "14 1 0 0 0 2.00 0,0"},
        {"OnViewZoomIn", "14 1 0 0 0 2.30 40,-30"},     {"OnViewZoomOut", "14 1 0 0 0 1.74 40,-30"},
        {"OnViewActualSize", "14 1 0 0 0 1.00 0,0"}};
    const auto stateOf = [](QVorrelView *v) {
        const QVorrelScene *s = v->scene();
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7,%8").arg(s->viewFlags()).arg(int(s->extrasVisible()))
            .arg(s->snapFlags()).arg(int(v->verticalScrollBarPolicy())).arg(int(v->horizontalScrollBarPolicy()))
            .arg(v->transform().m11(), 0, 'f', 2).arg(qRound(v->viewOffset().x())).arg(qRound(v->viewOffset().y()));
    };
    for (const auto &row : rows) {
        view(1)->scale(2, 2);
        view(1)->setViewOffset(QPointF(40, -30));
        QMetaObject::invokeMethod(m_w, row[0]);
        QVERIFY2(stateOf(view(1)) == QLatin1String(row[1]) && stateOf(view(0)) == "14 1 0 0 0 1.00 0,0", row[0]);
        QVERIFY(m_scene->history().isEmpty() && !view(1)->isModified() && firstUntouched());
        QCOMPARE(m_w->form().actionViewGrid->isChecked(), m_scene->isGridVisible());
        cleanup(), init();
    }
}

// The SoftType "T" clicked in the Hierarchy: the dialog renames the clone it edits and closes with the button;
// the clone is deleted.
Edit clickSoftType(int button)
{
    return [button](VorrelQt *w, Glyph *a) {
        w->OnSelectNone(); // the SoftTypes dock then holds no clone of "T"
        ModalRecorder modal;
        modal.execs << [button](QDialog *d) {
            auto *row = d->findChild<QGroupBox *>()->findChild<QFormLayout *>()->itemAt(0, QFormLayout::FieldRole);
            auto *edit = row->widget()->findChild<QLineEdit *>();
            edit->setText(QStringLiteral("Spin"));
            emit edit->editingFinished();
            static_cast<SoftTypeDlg *>(d)->buttonCode = button;
            return int(button ? QDialog::Accepted : QDialog::Rejected);
        };
        const int destroyed = TestSoftType::destroyed;
        w->OnHierarchySoftTypeClicked(a, a->findSoftType(QStringLiteral("T")));
        QCOMPARE(TestSoftType::destroyed - destroyed, 1);
    };
}

void TestMenuSlots::editSlots()
{
    // "ab ab", every glyph with a Twirl and a test SoftType, the first glyph selected, the caret after the last.
    // Each row: entries added, the last one's text (with its number of commands when composite), and the first
    // glyph's z, rotation, lock, visibility, selection and SoftTypes.
    const struct
    {
        const char *slot;
        Edit edit;
        const char *after;
    } rows[] = {
        {"OnObjectToFront", {}, "1 Bring to Front/1 z1 r0 -VS Twirl-0,T"},
        {"OnObjectForward", {}, "1 Bring Forward/1 z1 r0 -VS Twirl-0,T"},
        {"OnObjectBackward", {}, "1 Send Backward/1 z-1 r0 -VS Twirl-0,T"},
        {"OnObjectToBack", {}, "1 Send to Back/1 z-1 r0 -VS Twirl-0,T"},
        {"OnObjectLock", {}, "1 Lock/1 z0 r0 LVS Twirl-0,T"},
        {"OnObjectUnlock", {}, "0 - z0 r0 -VS Twirl-0,T"},
        {"OnObjectHide", {}, "1 Hide/2 z0 r0 --- Twirl-0,T"},
        {"OnObjectReset", {}, "1 Reset z0 r0 -VS Twirl-0,T"},
        {"OnSoftTypeResetDeform", {}, "1 Reset Deformations z0 r0 -VS Twirl-0,T"},
        {"OnSoftTypeSetAsOriginal", {}, "1 Set as Original z0 r0 -VS Twirl-0,T"},
        {"OnSelectNone", {}, "1 Select All Unknown z0 r0 -V- Twirl-0,T"},
        {"OnSelectAllGlyphs", {}, "1 Select All Glyphs z0 r0 -VS Twirl-0,T"},
        {"OnSelectAllWords", {}, "1 Select All Words z0 r0 -V- Twirl-0,T"},
        {"OnSelectAllPassages", {}, "1 Select All Passages z0 r0 -V- Twirl-0,T"},
        {"OnSelectSameCharacters", {}, "1 Select Same Glyphs z0 r0 -VS Twirl-0,T"},
        {"OnSelectSameWords", {}, "1 Select Same Words z0 r0 -V- Twirl-0,T"},
        {"OnRemoveSoftTypeTwirl", {}, "1 Remove Twirl SoftTypes/1 z0 r0 -VS T"},
        {"OnRemoveSoftTypeClay", {}, "0 - z0 r0 -VS Twirl-0,T"},
        {"OnSoftTypeRemoveAll", {}, "1 Remove All SoftTypes/2 z0 r0 -VS "},
        {"visible", EDIT(w->OnHierarchyVisibleChanged(a)), "1 Hide/2 z0 r0 --- Twirl-0,T"},
        {"lock", EDIT(w->OnHierarchyLockChanged(a)), "1 Lock/1 z0 r0 LVS Twirl-0,T"},
        {"selection toggled", EDIT(QList<TextObject *> l({a, a->nextGlyph()}); w->OnHierarchySelectionChanged(l)),
         "1 Unknown Combo Command/2 z0 r0 -V- Twirl-0,T"},
        {"undo 3", EDIT(w->OnHistoryUndoTriggered(3)), "-3 - z0 r0 -VS "},
        {"undo 3, redo 1, 0, -3", EDIT(w->OnHistoryUndoTriggered(3); w->OnHistoryRedoTriggered(1);
                                       w->OnHistoryUndoTriggered(0); w->OnHistoryRedoTriggered(-3)),
         "-2 - z0 r0 -VS Twirl-0"},
        {"SoftType edited", EDIT(w->OnSofttypeChanged("T", {{"name", "Spin"}})), "1 Edit Test SoftType/1 z0 r0 -VS Twirl-0,Spin"},
        {"SoftType removed", EDIT(w->OnSofttypeRemoved("Twirl-0")), "1 Remove Twirl SoftType/1 z0 r0 -VS T"},
        {"SoftType clicked, Cancel", clickSoftType(0), "1 Select All Unknown z0 r0 -V- Twirl-0,T"},
        {"SoftType clicked, Ok", clickSoftType(1), "2 Edit Test SoftType z0 r0 -V- Twirl-0,Spin"},
        {"SoftType clicked, Remove", clickSoftType(2), "2 Remove Test SoftType z0 r0 -V- Twirl-0"},
        {"caret", EDIT(w->OnCaretPositionChanged(QPointF(7, -9))), "1 Move Caret z0 r0 -VS Twirl-0,T"},
        {"rotation", EDIT(w->OnTextRotationChangedBy(30)), "1 Rotate Selection z0 r30 -VS Twirl-0,T"},
        {"fill", EDIT(w->OnTextFillColorChanged(Qt::red)), "1 Set Fill Color z0 r0 -VS Twirl-0,T"},
        {"stroke", EDIT(w->OnTextStrokeColorChanged(Qt::red)), "1 Set Stroke Color z0 r0 -VS Twirl-0,T"},
        {"stroke width", EDIT(w->OnTextStrokeWidthChanged(3)), "1 Set Stroke Width z0 r0 -VS Twirl-0,T"},
        {"no selection", EDIT(w->OnSelectNone(); w->OnTextStrokeWidthChanged(3); w->OnTextRotationChangedBy(5)),
         "1 Select All Unknown z0 r0 -V- Twirl-0,T"},
        // Font, size and position take the caret along when its glyph is selected.
        {"position", EDIT(w->OnTextPositionChanged(QPointF(9, 9))), "1 Move Selection/1 z0 r0 -VS Twirl-0,T"},
        {"position, caret along", EDIT(w->OnSelectAllGlyphs(); w->OnTextPositionChanged(QPointF(9, 9));
                                       QCOMPARE(w->activeScene()->selectionBoundingRect().bottomLeft(), QPointF(9, 9))),
         "2 Move Selection/2 z0 r0 -VS Twirl-0,T"},
        {"font", EDIT(w->OnTextFontChanged(QFont("DejaVu Sans", 40))), "1 Set Font/1 z0 r0 -VS Twirl-0,T"},
        {"size twice, caret along: merged",
         EDIT(w->OnSelectAllGlyphs(); w->OnTextFontSizeChanged(20); w->OnTextFontSizeChanged(30)),
         "2 Set Font Size/2 z0 r0 -VS Twirl-0,T"},
    };
    for (const auto &row : rows) {
        Typist::type(m_scene, QStringLiteral("ab ab"));
        m_scene->selectAll(1, 2);
        m_scene->addSoftType(m_w->prototypes().value(QStringLiteral("Twirl")));
        m_scene->addSoftType(std::make_unique<TestSoftType>(QStringLiteral("T")).get());
        m_scene->selectAll(1, 0);
        Glyph *a = m_scene->root()->firstGlyph();
        m_scene->setSelected(a, true, false);
        const TreeDump tree = TreeDump::of(m_scene->root());
        const int before = m_scene->historyIndex();
        row.edit ? row.edit(m_w, a) : void(QMetaObject::invokeMethod(m_w, row.slot));
        const int added = m_scene->historyIndex() - before;
        const Cmd *last = m_scene->history().at(m_scene->historyIndex() - 1);
        const auto *combo = added > 0 ? qobject_cast<const CmdCombo *>(last) : nullptr;
        const QString probe = QStringLiteral("%1 %2%3 z%4 r%5 %6%7%8 %9").arg(added)
            .arg(added > 0 ? last->text() : "-", combo ? "/" + QString::number(combo->count()) : "")
            .arg(a->zValue()).arg(a->rotation()).arg(a->isLocked() ? "L" : "-", a->isVisible() ? "V" : "-")
            .arg(a->isSelected() ? "S" : "-", a->softTypeNames().join(','));
        QVERIFY2(probe == QLatin1String(row.after) && firstUntouched(), qPrintable(row.slot + (": " + probe)));
        // One undo step each (a rotation is undone by the opposite turn, exact up to rounding).
        for (int i = 0; i < added; ++i)
            m_w->OnEditUndo();
        if (added >= 0 && qstrcmp(row.slot, "rotation") != 0)
            VERIFY_SAME_TREE(TreeDump::of(m_scene->root()), tree);
        cleanup(), init();
    }
}

void TestMenuSlots::dialogs()
{
    // Guides: Cancel puts back what the preview changed, Ok keeps the dialog's values; neither is a step.
    ModalRecorder modal;
    EditGuidesDlg &guides = m_w->guidesDialog();
    const int spacing = m_scene->grid()->spacing();
    const QColor color = m_scene->grid()->color();
    for (bool ok : {false, true}) {
        modal.execs << [&guides, ok](QDialog *) {
            emit guides.gridSpacingChanged(40), emit guides.gridColorChanged(Qt::blue);
            guides.setSpacing(25), guides.setColor(Qt::green);
            return ok ? guides.OnOkClicked() : guides.OnCancelClicked(), guides.result();
        };
        m_w->OnEditGuides();
        QVERIFY(m_scene->grid()->spacing() == (ok ? 25 : spacing) && m_scene->grid()->color() == (ok ? Qt::green : color));
    }
    QVERIFY(m_scene->history().isEmpty() && !view(1)->isModified());
    // Canvas: Cancel undoes the preview; Ok is one step, undone to the values from before the run.
    EditCanvasDlg &canvas = m_w->canvasDialog();
    for (bool ok : {false, true}) {
        modal.execs << [&canvas, ok, this](QDialog *) {
            emit canvas.screenWidthChanged(800), emit canvas.backgroundColorChanged(Qt::red);
            canvas.setScreenWidth(640), canvas.setScreenHeight(480), canvas.setExportWidth(1280);
            canvas.setExportHeight(960), canvas.setExportResolution(144), canvas.setBackgroundColor(QColor(10, 20, 30));
            ok ? canvas.OkCanvasPressed() : canvas.CancelCanvasPressed();
            return m_scene->screenWidth() == 800 && m_scene->backgroundColor() == Qt::red ? canvas.result() : -1;
        };
    }
    const auto canvasOf = [s = m_scene] {
        return QStringLiteral("%1x%2 %3x%4@%5 %6 %7").arg(s->screenWidth()).arg(s->screenHeight()).arg(s->exportWidth())
            .arg(s->exportHeight()).arg(s->exportResolution()).arg(s->backgroundColor().name(QColor::HexArgb))
            .arg(s->historyIndex());
    };
    const QString unchanged = QStringLiteral("1024x768 1024x768@72 #ffffffff 0");
    m_w->OnEditCanvas();
    QCOMPARE(canvasOf(), unchanged);
    m_w->OnEditCanvas();
    QCOMPARE(canvasOf(), QStringLiteral("640x480 1280x960@144 #ff0a141e 1"));
    m_w->OnEditUndo();
    QCOMPARE(canvasOf(), unchanged);
    // Save options: an interval of 0 is stored as 1; with autosave on the document is saved at once.
    m_scene->setFileName(m_dir.filePath(QStringLiteral("options.vrl")));
    modal.execs << [](QDialog *d) {
        auto *dialog = static_cast<SaveOptionsDlg *>(d);
        dialog->autosave = true, dialog->interval = 0;
        return int(QDialog::Accepted);
    };
    m_w->OnFileSaveOptions();
    QVERIFY(view(1)->autosaveSettings().minutes == 1 && view(1)->isAutosaveRunning() && !view(1)->isModified());
    QVERIFY(QFile::exists(m_scene->fileName()) && firstUntouched());
    // The context menu, not while the document plays.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_w->mapToGlobal(QPoint(5, 5)));
    for (bool playing : {true, false})
        view(1)->setPlaying(playing), QCoreApplication::sendEvent(m_w, &event);
    QCOMPARE(modal.calls.size(), 6);
    QCOMPARE(modal.calls.last().text,
             "actionSoftTypeStart SoftTypes[menuAddSoftType menuRemoveSoftType actionSoftTypeRemoveAll - "
             "actionSoftTypeResetDeformation actionSoftTypeSetAsOriginal] - actionNozzleStartStop - actionEditCut "
             "actionEditCopy actionEditPasteGlyphs actionEditPasteCharacters actionEditPasteSoftTypes - "
             "actionObjectLock actionObjectUnlock actionObjectHide actionObjectReset");
}

QTEST_MAIN(TestMenuSlots)
#include "tst_menuslots.moc"
