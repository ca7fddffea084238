#include "console/input_rules.h"

#include <QStringView>

namespace console {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Both filters share one shape: a set of characters they admit, and a length
// beyond which only backspace may still shorten the text. The length is the
// text's before the character takes effect, so a selection that the
// character would replace does not make room.
bool Accepts(bool admitted, char16_t typed, QStringView currentText, qsizetype maxLength) {
    if (!admitted) return false;
    return typed == kBackspace || currentText.size() < maxLength;
}

}  // namespace

bool IntervalFilterAccepts(char16_t typed, QStringView currentText) {
    const bool admitted = IsDigit(typed) || typed == kBackspace || typed == u' ';
    return Accepts(admitted, typed, currentText, 3);
}

bool OutputValueFilterAccepts(char16_t typed, QStringView currentText) {
    const bool admitted = IsDigit(typed) || typed == kBackspace || typed == u'-' || typed == u'.';
    return Accepts(admitted, typed, currentText, 5);
}

bool IsReducedLayoutText(QStringView intervalText) {
    return intervalText == u"000";
}

}  // namespace console
