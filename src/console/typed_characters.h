// Hands the characters that a key event or an input-method commit types into
// a box to a keystroke filter, one character at a time. An event may carry
// several characters at once (an input method committing "23", a key event
// composed by the platform); each is judged against the box's text as it
// finds it, after the characters before it have gone in.
#pragma once

#include <functional>

class QEvent;
class QObject;

namespace console {

// True lets the typed character (its text code) through.
using CharacterFilter = std::function<bool(char16_t)>;

// Call from an event filter installed on `box`. Returns true when the event
// must not reach the box: a refused character, or an event of several
// characters that has been sent on to the box again one character at a time
// (each of those comes back through the event filter). Keys that type no
// character and events of other kinds are left alone.
bool FilterTypedCharacters(QObject& box, QEvent& event, const CharacterFilter& accepts);

}  // namespace console
