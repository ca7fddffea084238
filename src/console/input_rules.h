// Keystroke filters of the interval box and the six output range boxes, and
// the text that switches the page to its reduced layout. Pure decisions: the
// window hands in the character a key types and the box's text as it stands
// before the keystroke.
#pragma once

#include <QStringView>

namespace console {

inline constexpr char16_t kBackspace = 8;

// JTME: digits, backspace and space; once the text holds 3 characters only
// backspace goes through.
bool IntervalFilterAccepts(char16_t typed, QStringView currentText);

// DAO1H..DAO3L: digits, backspace, "-" and "."; once the text holds 5
// characters only backspace goes through.
bool OutputValueFilterAccepts(char16_t typed, QStringView currentText);

// The interval text that hides the polling table and the command groups:
// exactly "000", nothing else (" 00" and "0" keep the full layout).
bool IsReducedLayoutText(QStringView intervalText);

}  // namespace console
