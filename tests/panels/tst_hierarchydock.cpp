#include "model/Glyph.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

namespace {

// A row as "text@index", one letter per column icon (paragraph, word, glyph, softtype; eye open,
// closed; Locked, unlocked; - none), "*" selected, "~" tinted, then its child rows in parentheses.
QString dump(QTreeWidgetItem *row)
{
    static QList<QImage> icons;
    for (const char *name : {"paragraph", "word", "glyph", "softtype", "eye-open", "eye-closed", "lock-locked",
                             "lock-unlocked"})
        if (icons.size() < 8)
            icons << QIcon(QString(":/res/icon/HierarchyWidget/png/%1.png").arg(name)).pixmap(16).toImage();
    QString s = row->text(0) + '@' + row->data(0, Qt::UserRole).toString();
    for (int c = 0; c < 3; ++c)
        s += QString("-pwgsocLu").at(row->icon(c).isNull() ? 0 : icons.indexOf(row->icon(c).pixmap(16).toImage()) + 1);
    s += QString(row->isSelected() ? "*" : "") + (row->background(0).color().alpha() == 50 ? "~" : "");
    QStringList rows;
    for (int i = 0; i < row->childCount(); ++i)
        rows << dump(row->child(i));
    return rows.isEmpty() ? s : s + '(' + rows.join(' ') + ')';
}

QString dump(const HierarchyPanelDockWidget &dock)
{
    return dump(dock.findChild<QTreeWidget *>()->invisibleRootItem()).section('(', 1).chopped(1);
}

// The objects of a document with these texts ("_" for a space), the first match of each.
QList<TextObject *> find(TextObject *o, const QString &texts)
{
    QList<TextObject *> found;
    for (QString t : texts.split(' ', Qt::SkipEmptyParts)) {
        QList<TextObject *> todo{o};
        while (!todo.isEmpty() && (todo.first()->text() != t.replace('_', ' ') || !todo.first()->parentGroup())) {
            TextObject *next = todo.takeFirst();
            todo += next->isGlyph() ? QList<TextObject *>() : group(next)->children();
        }
        found << todo.value(0);
    }
    return found;
}

} // namespace

class TstHierarchyDock : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void inPlaceUpdateMatchesFreshRows();
    void clicks_data();
    void clicks();
};

void TstHierarchyDock::rows_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("rows");
    const QString cd = "cd@2wou(c@0gou d@1gou))    @1pou";
    QTest::newRow("outlined children") << "" << "ab cd@0pou(ab@0wou(a@0gou b@1gou) " + cd;
    QTest::newRow("locked glyph") << "lock b" << "ab cd@0poL(ab@0woL(a@0gou b@1goL) " + cd;
    QTest::newRow("hidden word") << "hide cd" << "ab cd@0pou(ab@0wou(a@0gou b@1gou) cd@2wcu(c@0gcu d@1gcu))    @1pou";
    QTest::newRow("selected glyph") << "select a" << "ab cd@0pou~(ab@0wou~(a@0gou* b@1gou) " + cd;
    QTest::newRow("selected word") << "select ab" << "ab cd@0pou~(ab@0wou*(a@0gou b@1gou) " + cd;
    QTest::newRow("softtypes") << "softtypes a" << "ab cd@0pou(ab@0wou(a@0gou(Twirl@0s-- Pull@1s--) b@1gou) " + cd;
}

void TstHierarchyDock::rows()
{
    QFETCH(QString, edit);
    QFETCH(QString, rows);
    TestDocument doc;
    doc.add("ab cd");
    doc.add("   ", QPointF(0, 300));
    HierarchyPanelDockWidget dock;
    dock.updateTree(doc.root);
    TextObject *o = find(doc.root, edit.section(' ', 1)).value(0);
    if (edit.startsWith("lock"))
        o->lock();
    else if (edit.startsWith("hide"))
        o->setVisible(false);
    else if (edit.startsWith("select"))
        doc.scene.setSelected(o, true, false);
    else if (o)
        for (const char *name : {"Twirl", "Twirl", "Pull"})
            static_cast<Glyph *>(o)->addSoftType(new TestSoftType(name));
    dock.updateTree(doc.root);
    QCOMPARE(dump(dock), rows);
    doc.scene.clearGroup(doc.root);
    dock.updateTree(doc.root);
    QCOMPARE(dump(dock), QString());
}

// Seeded random edits: rows updated in place show what a fresh dock shows, and a second
// refresh writes nothing.
void TstHierarchyDock::inPlaceUpdateMatchesFreshRows()
{
    TestDocument doc;
    doc.add("ab cd ef");
    doc.add("gh\rij", QPointF(0, 300));
    HierarchyPanelDockWidget dock;
    auto *model = dock.findChild<QTreeWidget *>()->model();
    QRandomGenerator rng(14);
    for (int step = 0; step < 300; ++step) {
        QList<TextObject *> all;
        for (TextObject *g = doc.root->firstGlyph(); g; g = g->nextGlyph())
            for (TextObject *o = g; o != doc.root; o = o->parentGroup())
                all += all.contains(o) ? QList<TextObject *>() : QList<TextObject *>{o};
        TextObject *o = all.value(rng.bounded(all.size() + 1));
        Glyph *g = qobject_cast<Glyph *>(o);
        TextGroup *passage = o && !o->isPassage() ? o->parentGroup() : group(o);
        while (passage && !passage->isPassage())
            passage = passage->parentGroup();
        TextGroup *words = TreeBuilder::passage("xy");
        switch (o ? rng.bounded(7) : 6) {
        case 0: doc.scene.setSelected(o, !o->isSelected(), false); break;
        case 1: doc.scene.setObjectVisible(o, !o->isVisible()); break;
        case 2: g ? (g->isLocked() ? g->unlock() : g->lock()) : void(); break;
        case 3: delete doc.scene.removeChild(o->parentGroup(), o); break;
        case 4: g ? g->addSoftType(new TestSoftType(QString("S%1").arg(rng.bounded(3)))) : void(); break;
        case 5: // a bare glyph or a word anywhere in the passage: rows change kind
            passage->insert(rng.bounded(passage->count() + 1),
                            rng.bounded(2) ? static_cast<TextObject *>(TreeBuilder::glyph('z')) : words->takeAt(0));
            break;
        default: doc.add(rng.bounded(2) ? "p q" : "r", QPointF(0, 100 * step));
        }
        delete words;
        dock.updateTree(doc.root);
        HierarchyPanelDockWidget fresh;
        fresh.updateTree(doc.root);
        QCOMPARE(dump(dock), dump(fresh));
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged), added(model, &QAbstractItemModel::rowsInserted);
        dock.updateTree(doc.root);
        QCOMPARE(changed.count() + added.count(), 0);
    }
}

// Real mouse clicks on a cell (path: rows from the top level down, then the column; none: the
// empty area below the rows), with or without Ctrl. The log lists the signals: the objects whose
// selection is to flip (a SoftType row is not selectable: pressing it empties the row selection),
// then the visible, lock and SoftType requests.
void TstHierarchyDock::clicks_data()
{
    QTest::addColumn<QString>("selected"); // in the document
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("log");
    QTest::newRow("select a glyph") << "" << QList<int>{0, 0, 0, 0} << false << "flip a";
    QTest::newRow("add word of selected glyph") << "a" << QList<int>{0, 0, 0} << true << "flip ";
    QTest::newRow("click word of selected glyph") << "a" << QList<int>{0, 0, 0} << false << "flip a";
    QTest::newRow("add glyph of selected word") << "ab" << QList<int>{0, 0, 0, 0} << true << "flip ";
    QTest::newRow("clear") << "a cd" << QList<int>() << false << "flip a cd";
    QTest::newRow("glyph in selected passage") << "ab_cd" << QList<int>{0, 1, 0, 0} << false << "flip ab_cd";
    QTest::newRow("eye of a glyph") << "" << QList<int>{0, 0, 0, 1} << false << "flip a,visible a";
    QTest::newRow("eye of a passage") << "" << QList<int>{0, 1} << false << "flip ab_cd,visible ab_cd";
    QTest::newRow("lock of a word") << "" << QList<int>{0, 1, 2} << false << "flip cd,lock cd";
    QTest::newRow("softtype row") << "" << QList<int>{0, 0, 0, 0, 0} << false << "flip ,softtype a Twirl first";
    QTest::newRow("second softtype row") << "" << QList<int>{0, 0, 0, 1, 0} << false << "flip ,softtype a Pull";
    QTest::newRow("eye of a softtype row") << "" << QList<int>{0, 0, 0, 0, 1} << false << "flip ";
    QTest::newRow("no document") << "" << QList<int>{0, 0, 0, 1} << false << "";
}

void TstHierarchyDock::clicks()
{
    QFETCH(QString, selected);
    QFETCH(QList<int>, path);
    QFETCH(bool, ctrl);
    QFETCH(QString, log);
    TestDocument doc;
    doc.add("ab cd");
    SoftType *first = new TestSoftType("Twirl");
    for (SoftType *s : QList<SoftType *>{first, new TestSoftType("Twirl"), new TestSoftType("Pull")})
        doc.root->firstGlyph()->addSoftType(s);
    for (TextObject *o : find(doc.root, selected))
        doc.scene.setSelected(o, true, false);
    const bool scene = !QByteArray(QTest::currentDataTag()).startsWith("no ");
    ActiveScene::setProvider([&doc, scene] { return scene ? &doc.scene : nullptr; });
    HierarchyPanelDockWidget dock;
    auto *tree = dock.findChild<QTreeWidget *>();
    dock.updateTree(doc.root);
    QStringList events;
    const auto text = [](TextObject *o) { return o->text().replace(' ', '_'); };
    connect(&dock, &HierarchyPanelDockWidget::selectionChanged, [&](QList<TextObject *> &objects) {
        QStringList texts;
        for (TextObject *o : objects)
            texts << text(o);
        events << "flip " + texts.join(' ');
    });
    connect(&dock, &HierarchyPanelDockWidget::visibleChanged, [&](TextObject *o) { events << "visible " + text(o); });
    connect(&dock, &HierarchyPanelDockWidget::lockChanged, [&](TextObject *o) { events << "lock " + text(o); });
    connect(&dock, &HierarchyPanelDockWidget::softTypeClicked, [&](Glyph *g, SoftType *s) {
        events << "softtype " + g->text() + ' ' + s->name() + (s == first ? " first" : "");
    });
    dock.resize(300, 400);
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    tree->expandAll();
    const int column = path.isEmpty() ? 0 : path.takeLast();
    QTreeWidgetItem *row = tree->invisibleRootItem();
    for (int i : path)
        row = row->child(i);
    const int x = tree->header()->sectionViewportPosition(column) + tree->header()->sectionSize(column) / 2;
    const int y = path.isEmpty() ? tree->viewport()->height() - 5 : tree->visualItemRect(row).center().y();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, QPoint(x, y));
    QCOMPARE(events.join(','), log);
    // Clearing emits nothing, and the cleared rows are forgotten: a later change names none.
    events.clear();
    dock.clear();
    QMetaObject::invokeMethod(&dock, "OnItemSelectionChanged");
    QCOMPARE(events.join(','), QString(scene ? "flip " : ""));
    ActiveScene::setProvider(nullptr);
}

QTEST_MAIN(TstHierarchyDock)
#include "tst_hierarchydock.moc"
