#include "console/typed_characters.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QString>

namespace console {
namespace {

// Keys that edit or move rather than type: Delete carries the text 127 on a
// real display and Tab a tab character, yet neither is a typed character,
// and filtering them would block editing and focus changes.
bool TypesNoCharacter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Delete || key.key() == Qt::Key_Tab ||
           key.key() == Qt::Key_Backtab || key.text().isEmpty();
}

bool FilterKey(QObject& box, const QKeyEvent& key, const CharacterFilter& accepts) {
    if (TypesNoCharacter(key)) return false;
    const QString text = key.text();
    if (text.size() == 1) return !accepts(text.front().unicode());
    for (const QChar c : text) {
        QKeyEvent one(key.type(), key.key(), key.modifiers(), QString(c), key.isAutoRepeat());
        QCoreApplication::sendEvent(&box, &one);
    }
    return true;
}

// The text an input method replaces goes with the first character, as a
// selection goes with a keystroke: it counts as the box's text until that
// character is let through. The preedit text, not yet typed, comes last.
bool FilterCommit(QObject& box, const QInputMethodEvent& input, const CharacterFilter& accepts) {
    const QString commit = input.commitString();
    if (commit.isEmpty()) return false;
    if (commit.size() == 1 && input.preeditString().isEmpty() && input.attributes().isEmpty()) {
        return !accepts(commit.front().unicode());
    }
    for (qsizetype i = 0; i < commit.size(); ++i) {
        QInputMethodEvent one;
        if (i == 0) {
            one.setCommitString(commit.left(1), input.replacementStart(),
                                input.replacementLength());
        } else {
            one.setCommitString(commit.mid(i, 1));
        }
        QCoreApplication::sendEvent(&box, &one);
    }
    QInputMethodEvent preedit(input.preeditString(), input.attributes());
    QCoreApplication::sendEvent(&box, &preedit);
    return true;
}

}  // namespace

bool FilterTypedCharacters(QObject& box, QEvent& event, const CharacterFilter& accepts) {
    switch (event.type()) {
        case QEvent::KeyPress:
            return FilterKey(box, static_cast<const QKeyEvent&>(event), accepts);
        case QEvent::InputMethod:
            return FilterCommit(box, static_cast<const QInputMethodEvent&>(event), accepts);
        default:
            return false;
    }
}

}  // namespace console
