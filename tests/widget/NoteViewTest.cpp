#include "Pinlet/NoteView.h"

#include "Pinlet/NoteTextView.h"
#include "tests/widget/PanelFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

using namespace std::chrono_literals;

class NoteViewTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        launch();
        controller().show();
    }

    QToolButton* copyButton() { return panel().findChild<QToolButton*>(); }
    // What the copy button shows: its icon, or its confirmation.
    QImage copyIcon() { return copyButton()->icon().pixmap(16).toImage(); }
};

TEST_F(NoteViewTest, CopyAllPutsTheWholeNoteOnThePasteboardAndEachCopyEndsItsOwnFeedback) {
    QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
    const QImage icon = copyIcon();
    QTest::mouseClick(copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
    mainQueue.advance(1199ms);
    EXPECT_NE(copyIcon(), icon);
    EXPECT_FALSE(copyIcon().isNull());
    mainQueue.advance(1ms);
    EXPECT_EQ(copyIcon(), icon);
    EXPECT_EQ(copyButton()->accessibleName(), "Copy all");

    store().setText(QStringLiteral("line one\nline two \u00e9"));
    QTest::mouseClick(copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("line one\nline two \u00e9"));
    mainQueue.advance(1000ms);
    QTest::mouseClick(copyButton(), Qt::LeftButton);
    mainQueue.advance(200ms);
    EXPECT_EQ(copyIcon(), icon);
}

// Tab types a tab in the note; Ctrl+Tab walks the panel's named controls and back to the note.
TEST_F(NoteViewTest, CtrlTabWalksFromTheNoteThroughTheButtons) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    QTest::keyClick(&textView(), Qt::Key_Tab);
    EXPECT_EQ(store().text(), "\t");
    QStringList walked;
    for (int step = 0; step < 3; ++step) {
        walked << QApplication::focusWidget()->accessibleName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        step == 0 ? Qt::ControlModifier : Qt::NoModifier);
    }
    walked << QApplication::focusWidget()->accessibleName();
    EXPECT_EQ(walked.join('|'), "Note|Copy all|Clear|Note");
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

// A long line, a word longer than the panel is wide among others, wraps within the panel.
TEST_F(NoteViewTest, AChangeFromElsewhereIsNoUndoStepAndItsLongLineWrapsWithinThePanel) {
    QTest::keyClicks(&textView(), QStringLiteral("typed"));
    EXPECT_TRUE(textView().document()->isUndoAvailable());
    const QString line = QStringLiteral("from elsewhere ").repeated(20) + QString(200, 'w');
    store().setText(line);
    EXPECT_EQ(textView().toPlainText(), line);
    EXPECT_FALSE(textView().document()->isUndoAvailable());
    EXPECT_EQ(textView().horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(textView().horizontalScrollBar()->isVisible());
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
