#include "textboxaccessibility.h"

#include "windowaccessibility.h"

#include <algorithm>

#include <QAccessibleWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

namespace zonara {

namespace {

// Offsets are positions in the box's document: for plain text, indexes into its text with every
// line break one character.
class TextBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextBoxAccessible(QPlainTextEdit *box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {}
    Q_DISABLE_COPY_MOVE(TextBoxAccessible)
    ~TextBoxAccessible() override = default;

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? box()->toPlainText() : QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectableText = true;
        state.multiLine = true;
        state.readOnly = box()->isReadOnly();
        state.editable = !box()->isReadOnly();
        return state;
    }

    int childCount() const override { return int(shownChildWidgets(*widget()).size()); }
    QAccessibleInterface *child(int index) const override { return shownChild(*widget(), index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return indexOfShownChild(*widget(), child);
    }

    void selection(int index, int *start, int *end) const override
    {
        const QTextCursor cursor = box()->textCursor();
        const bool selected = index == 0 && cursor.hasSelection();
        *start = selected ? cursor.selectionStart() : 0;
        *end = selected ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return box()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            setSelection(0, cursorPosition(), cursorPosition());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index != 0)
            return;
        QTextCursor cursor = box()->textCursor();
        cursor.setPosition(clamped(start));
        cursor.setPosition(clamped(end), QTextCursor::KeepAnchor);
        box()->setTextCursor(cursor);
    }

    int cursorPosition() const override { return box()->textCursor().position(); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }

    QString text(int start, int end) const override
    {
        QTextCursor cursor(box()->document());
        cursor.setPosition(clamped(start));
        cursor.setPosition(clamped(end), QTextCursor::KeepAnchor);
        return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    }
    int characterCount() const override { return box()->document()->characterCount() - 1; }

    // A line is a line as shown, wrapped at the box's width.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                         int *end) const override
    {
        const QTextBlock block = box()->document()->findBlock(clamped(offset));
        const QTextLayout *layout = block.layout();
        if (boundary != QAccessible::LineBoundary || !layout)
            return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
        const QTextLine line = layout->lineForTextPosition(clamped(offset) - block.position());
        if (!line.isValid())
            return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
        // The last line of a paragraph ends with its line break.
        const bool last = line.lineNumber() == layout->lineCount() - 1;
        *start = block.position() + line.textStart();
        *end = std::min(*start + line.textLength() + (last ? 1 : 0), characterCount());
        return text(*start, *end);
    }

    QRect characterRect(int offset) const override
    {
        QTextCursor cursor(box()->document());
        cursor.setPosition(clamped(offset));
        QRect rect = box()->cursorRect(cursor);
        rect.setWidth(box()->fontMetrics().horizontalAdvance(text(offset, offset + 1)));
        return QRect(box()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = box()->viewport()->mapFromGlobal(point);
        if (!box()->viewport()->rect().contains(local))
            return -1;
        return box()->cursorForPosition(local).position();
    }

    // As with Qt's own interface for the box: the box scrolls only to its caret, which a screen
    // reader moves with setCursorPosition.
    void scrollToSubstring(int, int) override {}

    // One run without attributes of its own: the box shows its text in one font.
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QPlainTextEdit *box() const { return static_cast<QPlainTextEdit *>(widget()); }
    int clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
};

} // namespace

QAccessibleInterface *textBoxFactory(const QString &className, QObject *object)
{
    auto *box = qobject_cast<QPlainTextEdit *>(object);
    if (!box || className != QLatin1String("QPlainTextEdit"))
        return nullptr;
    return new TextBoxAccessible(box);
}

} // namespace zonara
