#include "Pinlet/NoteView.h"

#include "Pinlet/NoteTextView.h"
#include "tests/widget/PanelFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>

namespace {

using namespace std::chrono_literals;

class NoteViewTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        launch();
        controller().show();
        textView().setFocus();
    }

    pinlet::NoteView& view() { return *panel().findChild<pinlet::NoteView*>(); }
};

TEST_F(NoteViewTest, CopyAllPutsTheWholeNoteOnThePasteboardAndEachCopyEndsItsOwnFeedback) {
    QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
    view().copyAll();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
    mainQueue.advance(1199ms);
    EXPECT_TRUE(view().isShowingCopyFeedback());
    mainQueue.advance(1ms);
    EXPECT_FALSE(view().isShowingCopyFeedback());

    store().setText(QStringLiteral("line one\nline two \u00e9"));
    view().copyAll();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("line one\nline two \u00e9"));
    mainQueue.advance(1000ms);
    view().copyAll();
    mainQueue.advance(200ms);
    EXPECT_FALSE(view().isShowingCopyFeedback());
}

TEST_F(NoteViewTest, TheNoteFollowsEveryKindOfEditExactly) {
    const auto editorText = [this] {
        QString raw = textView().document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return raw;
    };
    const auto checkNote = [&](const char* step) {
        EXPECT_EQ(preferences.string("noteText"), editorText().toStdString()) << step;
    };
    QTest::keyClicks(&textView(), QStringLiteral("\"quoted\" -- teh"));
    EXPECT_EQ(store().text(), "\"quoted\" -- teh");
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("a\u00a0b\u2009c\n"));
    QApplication::sendEvent(&textView(), &typed);
    EXPECT_EQ(store().text(), QStringLiteral("\"quoted\" -- teha\u00a0b\u2009c\n"));

    QTextCursor cursor(textView().document());
    cursor.insertText(QStringLiteral("first line\nsecond line\nthird \u00e9\U0001F600"));
    checkNote("insert lines");
    cursor.setPosition(3);
    cursor.setPosition(15, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    checkNote("delete across a line break");
    textView().undo();
    checkNote("undo");
    textView().redo();
    checkNote("redo");
    cursor.select(QTextCursor::Document);
    cursor.insertText(QStringLiteral("x"));
    checkNote("replace everything");
}

TEST_F(NoteViewTest, AChangeFromElsewhereReplacesTheTextWithoutAnUndoStep) {
    QTest::keyClicks(&textView(), QStringLiteral("typed"));
    EXPECT_TRUE(textView().document()->isUndoAvailable());
    store().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(textView().toPlainText(), "from elsewhere");
    EXPECT_FALSE(textView().document()->isUndoAvailable());
}

TEST_F(NoteViewTest, PastingStyledTextInsertsOnlyItsCharacters) {
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b style='font-size:40pt'>bold</b> <i>text</i>"));
    data->setText(QStringLiteral("bold text"));
    QGuiApplication::clipboard()->setMimeData(data);
    textView().paste();
    EXPECT_EQ(store().text(), "bold text");
    EXPECT_FALSE(textView().textCursor().charFormat().font().bold());
    EXPECT_FALSE(textView().document()->toHtml().contains(QStringLiteral("40pt")));
}

} // namespace
