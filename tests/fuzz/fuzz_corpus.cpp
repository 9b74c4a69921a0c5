// Writes the fuzzer's seed corpus into the folder given: small documents as
// the editor writes them (every record kind, every SoftType kind, extra
// SoftType properties of every value type) and each hostile shape a few
// records long, from which the fuzzer learns to repeat records.
// tests/fuzz/corpus holds its output; after a change of the format:
//     build/tests/fuzz/fuzz_corpus tests/fuzz/corpus

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"
#include "stream/SampleDocument.h"
#include "support/HostileDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool save(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: fuzz_corpus FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = save(dir, QStringLiteral("empty.vrl"), SampleDocument::write(*SampleDocument::newScene()));
    for (int kinds : {2, 5, 12}) {
        auto scene = SampleDocument::newScene();
        SampleDocument::fill(*scene, QStringLiteral("pad.txt"), kinds);
        SampleDocument::shortenOutlines(*scene);
        if (kinds == 2) {
            SoftType *s = scene->root()->firstGlyph()->softTypes().first();
            s->addOrSetValue(QVariant::Double, QStringLiteral("d"), 0.5);
            s->addOrSetValue(QVariant::Bool, QStringLiteral("b"), true);
            s->addOrSetValue(QVariant::Color, QStringLiteral("c"), QColor(1, 2, 3, 4));
            s->addOrSetValue(QVariant::PointF, QStringLiteral("p"), QPointF(1.5, -2));
        }
        ok = save(dir, QStringLiteral("sample-%1.vrl").arg(kinds), SampleDocument::write(*scene)) && ok;
    }
    const QStringList names = {"softtypes", "own-properties", "properties", "passages", "words", "glyphs", "textpad-line"};
    for (int shape = 0; shape < HostileDocument::ShapeCount; ++shape)
        ok = save(dir, names.at(shape) + QStringLiteral(".vrl"),
                  HostileDocument::build(HostileDocument::Shape(shape), 3)) && ok;
    return ok ? 0 : 1;
}
