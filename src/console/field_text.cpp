#include "console/field_text.h"

#include <QChar>
#include <QList>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

#include "dialogue/frames.h"
#include "dialogue/number_text.h"

namespace console {
namespace {

constexpr char32_t kLastByte = 0xFF;

bool IsByte(QChar c) {
    return c.unicode() <= kLastByte;
}

// The first character of text that has no byte, as a whole code point (a
// character outside the basic plane is two UTF-16 units).
char32_t FirstNonByte(const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    const auto it =
        std::find_if(codePoints.begin(), codePoints.end(), [](uint c) { return c > kLastByte; });
    return it == codePoints.end() ? U'\0' : static_cast<char32_t>(*it);
}

}  // namespace

FieldError::FieldError(const QString& message)
    : dialogue::OperatorError(message.toStdString()), message_(message) {}

std::string FieldBytes(const QString& text, QStringView fieldName) {
    if (!std::all_of(text.begin(), text.end(), IsByte)) {
        const char32_t bad = FirstNonByte(text);
        throw FieldError(QStringLiteral("The field %1 holds a character that cannot be sent: "
                                        "'%2' (U+%3)")
                             .arg(fieldName, QString::fromUcs4(&bad, 1),
                                  QString::number(bad, 16).toUpper().rightJustified(4, u'0')));
    }
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString TextFromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::int32_t FieldToInt(const QString& text) {
    if (std::all_of(text.begin(), text.end(), IsByte)) {
        const QByteArray bytes = text.toLatin1();
        return dialogue::TextToInt(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    // No character beyond 255 is a blank, a sign or a digit, so the text is
    // no integer; the message quotes it as the operator sees it.
    throw FieldError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

long double FieldToFloat(const QString& text, char decimalSeparator) {
    if (std::all_of(text.begin(), text.end(), IsByte)) {
        const QByteArray bytes = text.toLatin1();
        return dialogue::TextToFloat(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            decimalSeparator);
    }
    throw FieldError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

void RequireOneSend(std::string_view frame) {
    if (!dialogue::FitsOneSend(frame)) {
        throw FieldError(QStringLiteral("The frame would be %1 bytes long, but one send carries "
                                        "at most %2 bytes; shorten the field's text")
                             .arg(frame.size())
                             .arg(dialogue::kMaxFrameLength));
    }
}

// Separators that are no single byte cannot occur in the byte texts the
// calculations read, so the point stands in for them.
char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && IsByte(point.front()))
        return static_cast<char>(point.front().unicode());
    return '.';
}

QString OperatorMessage(const std::exception& error) {
    if (const auto* fieldError = dynamic_cast<const FieldError*>(&error)) {
        return fieldError->message();
    }
    return QString::fromLatin1(error.what());
}

}  // namespace console
