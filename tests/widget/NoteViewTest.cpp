#include "Pinlet/NoteView.h"

#include "Pinlet/NoteTextView.h"
#include "tests/widget/PanelFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

namespace {

using namespace std::chrono_literals;

bool isMonospaced(const QFont& font) {
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) ==
           metrics.horizontalAdvance(QLatin1Char('W'));
}

class NoteViewTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        start();
        controller().setUp();
        controller().show();
    }

    pinlet::NoteView& view() { return *panel().findChild<pinlet::NoteView*>(); }
};

TEST_F(NoteViewTest, CopyAllPutsTheWholeNoteOnThePasteboardWithFeedback) {
    store().setText(QStringLiteral("line one\nline two \u00e9"));
    view().copyAll();
    EXPECT_EQ(desktop.pasteboard.contents, "line one\nline two \u00e9");
    EXPECT_TRUE(view().isShowingCopyFeedback());
    desktop.mainQueue.advance(1199ms);
    EXPECT_TRUE(view().isShowingCopyFeedback());
    desktop.mainQueue.advance(1ms);
    EXPECT_FALSE(view().isShowingCopyFeedback());
}

TEST_F(NoteViewTest, CopyingAnEmptyNoteStillCopiesAndShowsTheCheckMark) {
    view().copyAll();
    EXPECT_EQ(desktop.pasteboard.contents, "");
    EXPECT_TRUE(view().isShowingCopyFeedback());
}

TEST_F(NoteViewTest, EachCopyEndsItsOwnFeedback) {
    view().copyAll();
    desktop.mainQueue.advance(1000ms);
    view().copyAll();
    desktop.mainQueue.advance(200ms);
    EXPECT_FALSE(view().isShowingCopyFeedback());
}

TEST_F(NoteViewTest, TypingWritesTheWholeNoteOnEveryChange) {
    textView().setFocus();
    const auto before = desktop.preferences.writes.size();
    QTest::keyClicks(&textView(), QStringLiteral("ab"));
    EXPECT_EQ(store().text(), "ab");
    ASSERT_EQ(desktop.preferences.writes.size(), before + 2);
    EXPECT_EQ(desktop.preferences.writes.back().second, platform::PreferenceValue("ab"));
}

TEST_F(NoteViewTest, TheNoteFollowsEveryKindOfEditExactly) {
    // Edits that span lines, undo and redo: after each one the note must be the editor's text.
    const auto editorText = [this] {
        QString raw = textView().document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return raw;
    };
    QTextCursor cursor(textView().document());
    const auto checkNote = [&](const char* step) {
        EXPECT_EQ(store().text(), editorText()) << step;
        EXPECT_EQ(desktop.preferences.string("noteText"), editorText().toStdString()) << step;
    };
    cursor.insertText(QStringLiteral("first line\nsecond line\nthird"));
    checkNote("insert lines");
    cursor.setPosition(3);
    cursor.setPosition(15, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    checkNote("delete across a line break");
    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("\n\nat start\u00a0"));
    checkNote("insert at the start");
    textView().undo();
    checkNote("undo");
    textView().undo();
    checkNote("second undo");
    textView().redo();
    checkNote("redo");
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\u00e9\U0001F600"));
    checkNote("insert at the end");
    cursor.select(QTextCursor::Document);
    cursor.insertText(QStringLiteral("x"));
    checkNote("replace everything");
}

TEST_F(NoteViewTest, NoBreakSpacesAndOtherCharactersAreKeptAsTyped) {
    textView().setFocus();
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("a\u00a0b\u2009c"));
    QApplication::sendEvent(&textView(), &typed);
    EXPECT_EQ(store().text(), QStringLiteral("a\u00a0b\u2009c"));
}

TEST_F(NoteViewTest, TypedPunctuationStaysExactlyAsTyped) {
    textView().setFocus();
    QTest::keyClicks(&textView(), QStringLiteral("\"quoted\" -- teh"));
    EXPECT_EQ(store().text(), "\"quoted\" -- teh");
}

TEST_F(NoteViewTest, AChangeFromElsewhereReplacesTheTextWithoutAnUndoStep) {
    textView().setFocus();
    QTest::keyClicks(&textView(), QStringLiteral("typed"));
    store().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(textView().toPlainText(), "from elsewhere");
    EXPECT_FALSE(textView().document()->isUndoAvailable());
}

TEST_F(NoteViewTest, TypingKeepsTheUndoHistory) {
    textView().setFocus();
    QTest::keyClicks(&textView(), QStringLiteral("abc"));
    EXPECT_TRUE(textView().document()->isUndoAvailable());
    textView().undo();
    EXPECT_EQ(store().text(), "");
}

TEST_F(NoteViewTest, PastingStyledTextInsertsOnlyItsCharacters) {
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b style='font-size:40pt'>bold</b> <i>text</i>"));
    data->setText(QStringLiteral("bold text"));
    QGuiApplication::clipboard()->setMimeData(data);
    textView().paste();
    EXPECT_EQ(store().text(), "bold text");
    const QTextCharFormat format = textView().textCursor().charFormat();
    EXPECT_FALSE(format.font().bold());
    EXPECT_EQ(textView().document()->toHtml().contains(QStringLiteral("40pt")), false);
}

TEST_F(NoteViewTest, TheEditorIsMonospacedWrapsAndNeverScrollsSideways) {
    EXPECT_TRUE(isMonospaced(textView().font()));
    EXPECT_EQ(textView().font().pointSizeF(), 13);
    EXPECT_EQ(textView().lineWrapMode(), QPlainTextEdit::WidgetWidth);
    store().setText(QString(5000, QLatin1Char('w')));
    QCoreApplication::processEvents();
    EXPECT_FALSE(textView().horizontalScrollBar()->isVisible());
    EXPECT_EQ(textView().horizontalScrollBar()->maximum(), 0);
}

TEST_F(NoteViewTest, AFontSizeChangeReachesTheEditor) {
    store().setFontSize(20);
    EXPECT_EQ(textView().font().pointSizeF(), 20);
    EXPECT_TRUE(isMonospaced(textView().font()));
}

} // namespace
