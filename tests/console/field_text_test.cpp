// The byte mapping between the window's texts and the line, the refusal of
// characters that have no byte and of frames beyond one send.
#include "console/field_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "dialogue/number_text.h"

namespace {

using console::FieldBytes;
using console::FieldError;

TEST(FieldBytes, EveryCodeFrom0To255IsItsOwnByteBothWays) {
    QString text;
    std::string expected;
    for (int code = 0; code <= 255; ++code) {
        text += QChar(static_cast<char16_t>(code));
        expected += static_cast<char>(code);
    }
    const std::string bytes = FieldBytes(text, u"COMDDATA1");
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(console::TextFromBytes(bytes), text);
}

TEST(FieldBytes, CommasAndHashesPassUnchanged) {
    EXPECT_EQ(FieldBytes(QStringLiteral("1,2#3"), u"ADRM"), "1,2#3");
    EXPECT_EQ(FieldBytes(QString(), u"ADRM"), "");
}

struct NonByteCase {
    QString text;
    QString quoted;  // the character the message shows
    QString code;
};

class FieldBytesRefusal : public ::testing::TestWithParam<NonByteCase> {};

TEST_P(FieldBytesRefusal, NamesTheFieldAndTheCharacter) {
    try {
        FieldBytes(GetParam().text, u"COMDDATA1");
        FAIL() << "a character beyond 255 went through";
    } catch (const FieldError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("The field COMDDATA1 holds a character that cannot be sent: "
                                 "'%1' (U+%2)")
                      .arg(GetParam().quoted, GetParam().code));
        EXPECT_EQ(console::OperatorMessage(error), error.message());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Characters, FieldBytesRefusal,
    ::testing::Values(NonByteCase{QStringLiteral("01\u0100"), QStringLiteral("\u0100"), "0100"},
                      NonByteCase{QStringLiteral("\u20AC01"), QStringLiteral("\u20AC"), "20AC"},
                      // Outside the basic plane: one character, two UTF-16 units.
                      NonByteCase{QString::fromUcs4(U"0\U0001F600", 2),
                                  QString::fromUcs4(U"\U0001F600", 1), "1F600"}));

TEST(FieldToInt, ConvertsLikeTheSharedConversion) {
    EXPECT_EQ(console::FieldToInt(QStringLiteral("  -42")), -42);
    try {
        console::FieldToInt(QStringLiteral("2\u00E95"));  // é is a byte: the shared message
        FAIL();
    } catch (const dialogue::OperatorError& error) {
        EXPECT_EQ(console::OperatorMessage(error),
                  QStringLiteral("'2\u00E95' is not a valid integer value"));
    }
}

TEST(FieldToInt, QuotesTheFieldsOwnTextBeyondBytes) {
    try {
        console::FieldToInt(QStringLiteral("2\u0100"));
        FAIL();
    } catch (const dialogue::OperatorError& error) {
        EXPECT_EQ(console::OperatorMessage(error),
                  QStringLiteral("'2\u0100' is not a valid integer value"));
    }
}

TEST(FieldToFloat, QuotesTheFieldsOwnTextBeyondBytes) {
    EXPECT_EQ(console::FieldToFloat(QStringLiteral("20,5"), ','), 20.5L);
    try {
        console::FieldToFloat(QStringLiteral("\u01002"), '.');
        FAIL();
    } catch (const dialogue::OperatorError& error) {
        EXPECT_EQ(console::OperatorMessage(error),
                  QStringLiteral("'\u01002' is not a valid floating point value"));
    }
}

TEST(RequireOneSend, AcceptsUpTo65535BytesAndRefusesOneMore) {
    EXPECT_NO_THROW(console::RequireOneSend(std::string(65535, 'A')));
    try {
        console::RequireOneSend(std::string(65536, 'A'));
        FAIL();
    } catch (const FieldError& error) {
        EXPECT_TRUE(error.message().contains(u"65536")) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(u"65535")) << error.message().toStdString();
    }
}

TEST(OperatorMessage, ReadsOtherErrorsAsBytes) {
    const dialogue::OperatorError error(std::string("'\xE9' is not a valid integer value"));
    EXPECT_EQ(console::OperatorMessage(error),
              QStringLiteral("'\u00E9' is not a valid integer value"));
}

}  // namespace
