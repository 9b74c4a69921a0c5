#ifndef VORRELQT_H
#define VORRELQT_H

#include "app/ViewHost.h"
#include "ui_VorrelQt.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

class Glyph;
class MainToolbar;
class QAction;
class QMdiArea;
class QSignalMapper;
class QVorrelScene;
class QVorrelView;
class SoftType;
class VorrelSplash;

// The program's single main window: the menus and actions of its form, the
// main toolbar, and a tabbed document area holding one view per open
// document. Nothing in it is bound to a document: after every change and
// whenever another document becomes active it pulls the state of the active
// document into its actions and toolbar (updateAll). It is the host of
// every view and the provider of the active scene for the docks.
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
    // One SoftType of every kind by kind key: the values the next "Add
    // SoftType" of that kind starts from.
    const QHash<QString, SoftType *> &prototypes() const { return m_prototypes; }

    // Opens a document file in a new tab; a file that is not a readable
    // Vorrel document is reported and opens nothing.
    void openFile(const QString &fileName);

    // Refreshes everything shown from the active document.
    void updateAll() override;
    // Enabled and checked states and texts of the form's actions and menus.
    void updateActionStates();
    void updateMainToolbar();

    // What a view asks of its window. There is no Textpad dock in this
    // window: the nozzle gets no pieces and the dock's default type (glyph)
    // and intervals (100 ms, 5000 ms); nothing shows the mouse position.
    QString nextPiece() override;
    int nozzleType() const override;
    int nozzleInterval() const override;
    int textpadSyncInterval() const override;
    void updateTextpadPanel() override;
    void showMousePosition(const QPointF &position) override;
    void showSelectionArea(const QRectF &area) override;

public slots:
    void OnFileNew();
    void OnFileOpen();
    void OnFileExit();
    void OnStartStopSoftTypes();
    void OnAboutVorrel();
    // Runs the main toolbar's command for the action's object name.
    void OnMainToolBarClick(QAction *action);
    void OnSubWindowActivated();
    // Closes the document of a tab, by its index in creation order.
    void OnCloseTab(int index);
    void setActiveSubWindow(QWidget *window);

protected:
    // Closes the documents in creation order; the first that refuses keeps
    // the window and the documents after it open.
    void closeEvent(QCloseEvent *event) override;

private:
    VorrelQt(QWidget *parent, Qt::WindowFlags flags);
    void connectActions();
    void createDocumentArea();
    void createPrototypes();
    // Puts a view into a new tab of the document area and shows it.
    void addDocument(QVorrelView *view);

    Ui_VorrelQtClass ui;
    VorrelSplash *m_aboutSplash = nullptr;
    QMdiArea *m_documentArea = nullptr;
    QSignalMapper *m_windowMapper = nullptr;
    MainToolbar *m_mainToolbar = nullptr;
    // Glyph copies for pasting, owned.
    QList<Glyph *> m_copiedGlyphs;
    QHash<QString, SoftType *> m_prototypes;
};

#endif // VORRELQT_H
