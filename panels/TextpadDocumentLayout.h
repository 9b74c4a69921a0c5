#ifndef TEXTPADDOCUMENTLAYOUT_H
#define TEXTPADDOCUMENTLAYOUT_H

#include <QPlainTextDocumentLayout>

#include <functional>

// The plain text layout of the textpad's text area, which lays a block out in
// the direction it is told, where that is not its own text's: a piece of a
// line takes the line's direction. The plain layout lays a block out in the
// direction of its own text, when its rectangle is first asked for or an
// edit changes it; the rectangle is asked for before the block is drawn or a
// position in it is looked up, and then the block's lines are laid out again
// in the direction told, at the same places (where a line breaks does not
// depend on the direction).
class TextpadDocumentLayout : public QPlainTextDocumentLayout
{
public:
    // `direction` tells the direction a block is laid out in, or
    // Qt::LayoutDirectionAuto for its own text's.
    TextpadDocumentLayout(QTextDocument *document, std::function<Qt::LayoutDirection(const QTextBlock &)> direction);

    QRectF blockBoundingRect(const QTextBlock &block) const override;

private:
    std::function<Qt::LayoutDirection(const QTextBlock &)> m_direction;
};

#endif // TEXTPADDOCUMENTLAYOUT_H
