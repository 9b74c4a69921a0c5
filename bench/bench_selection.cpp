// Undo and redo of a selection command over a large selection: the scene
// must stay linear in the number of selected objects.
#include "commands/CmdSelect.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// Selects every glyph of the document that has an outline.
class SelectAllGlyphs : public CmdSelect
{
public:
    explicit SelectAllGlyphs(QVorrelScene *scene) : CmdSelect(scene, 1, QStringLiteral("Select All Glyphs")) {}
    CmdResult execute() override
    {
        snapshot();
        for (Glyph *g = scene()->root()->firstGlyph(); g; g = g->nextGlyph()) {
            if (g->hasOutline())
                scene()->setSelected(g, true, false);
        }
        return CmdResult(true, true);
    }
};

// A document of passages of ten words of ten letters each.
void fill(QVorrelScene &scene, int glyphs)
{
    const QFont font(QStringLiteral("Arial"), 24);
    for (int n = 0; n < glyphs;) {
        auto *passage = new TextGroup;
        for (int w = 0; w < 10 && n < glyphs; ++w) {
            if (w > 0)
                passage->append(new Glyph(' ', font, Qt::black, Qt::black, 0, QPointF()));
            auto *word = new TextGroup;
            for (int i = 0; i < 10 && n < glyphs; ++i, ++n)
                word->append(new Glyph(QChar('a' + i), font, Qt::black, Qt::black, 0, QPointF()));
            passage->append(word);
        }
        if (Glyph *first = passage->firstGlyph())
            first->setPos(0, 30 * (1 + scene.root()->count()));
        passage->relayout();
        scene.root()->append(passage);
    }
}

void UndoRedoSelection(benchmark::State &state)
{
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    fill(scene, int(state.range(0)));
    scene.executeCommand(new SelectAllGlyphs(&scene));
    for (auto _ : state) {
        scene.undo();
        scene.redo();
    }
    state.counters["selected"] = scene.selectedObjects().size();
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(UndoRedoSelection)->Arg(1000)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)
    ->Complexity();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
