// The bridge between the window's texts (QString) and the byte strings the
// frames and decoders work on. The line speaks 8-bit characters: a character
// of code 0 to 255 is the one byte of that value, both ways, so what the
// operator typed is exactly what goes out and what came in is what is shown.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "dialogue/number_text.h"

namespace console {

// An operator error whose message quotes characters that a byte string
// cannot hold (a field's text with characters beyond code 255). what()
// carries the message in UTF-8; the error box shows message().
class FieldError : public dialogue::OperatorError {
public:
    explicit FieldError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The text of the field called fieldName as bytes. A character beyond code
// 255 has no byte of its own; sending another byte in its place would
// configure the device with something the operator never typed, so the
// command is refused with a FieldError naming the field and the character.
std::string FieldBytes(const QString& text, QStringView fieldName);

// Received or composed bytes as text, byte value = character code.
QString TextFromBytes(std::string_view bytes);

// The shared integer conversion applied to a field's text. The message of a
// failure quotes the field's own text, also when it holds characters that
// are no bytes.
std::int32_t FieldToInt(const QString& text);

// The shared decimal-number conversion applied to a field's text, with the
// same care for characters that are no bytes.
long double FieldToFloat(const QString& text, char decimalSeparator);

// The operator's regional decimal separator, from the locale the program
// started with: decimal fields are read, and computed numbers written, with it.
char SystemDecimalSeparator();

// One send carries at most 65535 bytes; a longer frame is refused with a
// FieldError before anything is shown or sent, never cut on the line.
void RequireOneSend(std::string_view frame);

// The text the error box shows for an error raised inside an operator
// action: a FieldError's own message, otherwise what() read as bytes.
QString OperatorMessage(const std::exception& error);

}  // namespace console
