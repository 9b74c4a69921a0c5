#include "panels/TextpadDocumentLayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QVector>

#include <algorithm>

TextpadDocumentLayout::TextpadDocumentLayout(QTextDocument *document,
                                             std::function<Qt::LayoutDirection(const QTextBlock &)> direction)
    : QPlainTextDocumentLayout(document)
    , m_direction(std::move(direction))
{
}

QRectF TextpadDocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    const QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block); // lays the block out where it is not
    QTextLayout *layout = block.isValid() ? block.layout() : nullptr;
    if (!layout || layout->lineCount() == 0)
        return rect;
    QTextOption option = layout->textOption();
    const Qt::LayoutDirection direction = m_direction(block);
    if (option.textDirection() == direction)
        return rect;

    struct Line
    {
        QPointF position;
        qreal width;
        qreal height;
    };
    QVector<Line> lines;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        lines.append({line.position(), line.width(), line.height()});
    }
    option.setTextDirection(direction);
    layout->setTextOption(option);
    layout->beginLayout();
    for (int i = 0;; ++i) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        const Line &was = lines.at(std::min(i, lines.size() - 1));
        line.setLeadingIncluded(true);
        line.setLineWidth(was.width);
        const qreal below = i < lines.size() ? 0 : (i - lines.size() + 1) * was.height;
        line.setPosition(was.position + QPointF(0, below));
    }
    layout->endLayout();
    if (layout->lineCount() != lines.size()) {
        // Not seen: the lines break elsewhere in the other direction.
        const_cast<QTextBlock &>(block).setLineCount(layout->lineCount());
        auto *self = const_cast<TextpadDocumentLayout *>(this);
        emit self->documentSizeChanged(documentSize());
    }
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}
