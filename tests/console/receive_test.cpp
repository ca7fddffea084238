// What the transmitter sends, as the window receives it: bytes written on the
// pty master travel through the serial link's receive thread and the window's
// event loop into the receive box, and the decode timer turns the kept chunk
// into field values by the reply kind held at its tick.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <chrono>
#include <string>

#include "console/tform1.h"
#include "dialogue/frames.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using namespace std::string_literals;
using console_test::MessageBoxCatcher;
using console_test::WindowOnPty;

// A chunk completes 300 ms after the last byte; the decode follows 100 ms
// after the first chunk.
constexpr int kChunkWaitMs = 3000;

class Receiving : public WindowOnPty {
protected:
    bool WaitForReceived() {
        return QTest::qWaitFor([&] { return !ui().Memo10->toPlainText().isEmpty(); }, kChunkWaitMs);
    }
    bool WaitForDecode() {
        return QTest::qWaitFor([&] { return !form_->decodeTimer().isActive(); }, kChunkWaitMs);
    }
};

TEST_F(Receiving, EveryByteValueButNulIsShownAsItsOwnCharacter) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    pty_.Write(bytes);
    ASSERT_TRUE(WaitForReceived());
    // The receive box keeps lines, not line-break characters; the raw text
    // shows each break as a paragraph end and keeps the no-break space.
    QString expected = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    expected.replace(u'\r', QChar::ParagraphSeparator).replace(u'\n', QChar::ParagraphSeparator);
    EXPECT_EQ(ui().Memo10->document()->toRawText(), expected);
    EXPECT_EQ(form_->exchange().ReplyText, bytes);
}

TEST_F(Receiving, NulEndsWhatIsShownAndDecoded) {
    replyKind() = dialogue::KindParameters;
    const std::string chunk = "OK\0ADR:999"s;
    pty_.Write(chunk);
    ASSERT_TRUE(WaitForReceived());
    EXPECT_EQ(ui().Memo10->toPlainText(), "OK");
    ASSERT_TRUE(WaitForDecode());
    EXPECT_EQ(ui().ADRM->text(), "001") << "nothing after the NUL is decoded";
    EXPECT_EQ(form_->exchange().ReplyText, chunk) << "but every byte is kept";
}

// Two full chunks of 2048 bytes follow each other at once: the one tick,
// scheduled by the first, decodes the second alone, key beyond byte 1001.
TEST_F(Receiving, TwoChunksBeforeOneTickDecodeOnlyTheSecond) {
    replyKind() = dialogue::KindParameters;
    std::string first(2048, '.');
    first.replace(10, 7, "ADR:111");
    std::string second(2048, '-');
    second.replace(1500, 7, "ADR:222");
    QSignalSpy addressChanges(ui().ADRM, &QLineEdit::textChanged);
    pty_.Write(first + second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return addressChanges.count() > 0; }, kChunkWaitMs));
    QTest::qWait(150);
    ASSERT_EQ(addressChanges.count(), 1);
    EXPECT_EQ(ui().ADRM->text(), "222");
    EXPECT_EQ(ui().Memo10->toPlainText().toStdString(), second);
}

// A command clicked after the chunk came and before the tick decides how the
// chunk is decoded.
TEST_F(Receiving, TheKindHeldAtTheTickDecides) {
    replyKind() = dialogue::KindParameters;
    QObject::connect(ui().Memo10, &QPlainTextEdit::textChanged, form_.get(), [this] {
        if (!ui().Memo10->toPlainText().isEmpty()) replyKind() = dialogue::KindCommandText;
    });
    pty_.Write("ADR:123 COMR1:1,02,ABCD");
    ASSERT_TRUE(WaitForReceived());
    ASSERT_TRUE(WaitForDecode());
    EXPECT_EQ(ui().COMDDATA1->text(), "ABCD");
    EXPECT_EQ(ui().COMAD1->currentIndex(), 1);
    EXPECT_EQ(ui().ADRM->text(), "001");
}

TEST_F(Receiving, DisplayOnlyReplyNeverTicks) {
    replyKind() = dialogue::KindDisplayOnly;
    form_->exchange().ReplyText = "earlier";
    pty_.Write("ADR:555");
    ASSERT_TRUE(WaitForReceived());
    EXPECT_FALSE(form_->decodeTimer().isActive());
    QTest::qWait(150);
    EXPECT_EQ(ui().ADRM->text(), "001");
    EXPECT_EQ(form_->exchange().ReplyText, "earlier");
}

TEST_F(Receiving, DecodeErrorIsShownAndLeavesTheTimerOff) {
    MessageBoxCatcher boxes;
    replyKind() = dialogue::KindParameters;
    pty_.Write("BOAT:x,0 ADR:321");
    ASSERT_TRUE(boxes.WaitForBox(std::chrono::milliseconds(kChunkWaitMs)));
    EXPECT_EQ(boxes.boxes()[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(boxes.boxes()[0].title, "VK630-E");
    EXPECT_FALSE(form_->decodeTimer().isActive());
    EXPECT_EQ(ui().ADRM->text(), "001") << "the decoder stopped at the baud field";
    EXPECT_EQ(replyKind(), dialogue::KindParameters);
}

}  // namespace
