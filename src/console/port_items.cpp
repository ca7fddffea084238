#include "console/port_items.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

namespace console {
namespace {

constexpr int kShortestList = 10;  // Qt's own default
constexpr int kLongestList = 30;

bool SameItems(const QComboBox& box, const std::vector<ports::SerialPort>& ports, int fixedCount) {
    if (box.count() != fixedCount + static_cast<int>(ports.size())) return false;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const int index = fixedCount + static_cast<int>(i);
        if (box.itemText(index) != QString::fromStdString(ports[i].path) ||
            box.itemData(index, Qt::ToolTipRole).toString() !=
                QString::fromStdString(ports[i].description))
            return false;
    }
    return true;
}

// The cursor and selection in the box's text. A selection made backwards
// (Shift+Left) has the cursor at its start and must keep it there, or the
// next Shift+arrow extends the wrong end.
struct Caret {
    int cursor = 0;
    int start = -1;
    int length = 0;

    static Caret Of(const QLineEdit& edit) {
        return {edit.cursorPosition(), edit.selectionStart(), edit.selectionLength()};
    }
    void PutBack(QLineEdit& edit) const {
        if (start < 0)
            edit.setCursorPosition(cursor);
        else if (cursor == start)
            edit.setSelection(start + length, -length);
        else
            edit.setSelection(start, length);
    }
};

}  // namespace

void ShowPorts(QComboBox& box, const std::vector<ports::SerialPort>& ports, int fixedCount) {
    if (SameItems(box, ports, fixedCount)) return;

    QLineEdit* edit = box.lineEdit();
    const QString shown = box.currentText();
    const int selected = box.currentIndex();
    const QString selectedText = selected >= 0 ? box.itemText(selected) : QString();
    // The row the keyboard or mouse highlights in the open drop-down: Enter
    // picks it, so it must still be the same port after the rebuild. A closed
    // drop-down highlights the chosen item when it opens.
    QAbstractItemView& view = *box.view();
    const QString highlighted =
        view.isVisible() ? view.currentIndex().data().toString() : QString();
    const Caret caret = edit ? Caret::Of(*edit) : Caret{};

    {
        // Nobody listening to the box may take the rebuild for an operator's choice.
        const QSignalBlocker blockBox(box);
        const QSignalBlocker blockEdit(edit);
        while (box.count() > fixedCount) box.removeItem(box.count() - 1);
        for (const ports::SerialPort& port : ports) {
            box.addItem(QString::fromStdString(port.path));
            box.setItemData(box.count() - 1, QString::fromStdString(port.description),
                            Qt::ToolTipRole);
        }
        int keep = -1;
        if (selected >= 0 && selected < fixedCount) keep = selected;
        if (selected >= fixedCount) keep = box.findText(selectedText, Qt::MatchExactly);
        if (box.currentIndex() != keep) box.setCurrentIndex(keep);
        if (box.currentText() != shown) box.setEditText(shown);
        if (edit) caret.PutBack(*edit);
        const int row = box.findText(highlighted, Qt::MatchExactly);
        if (row >= 0 && view.currentIndex().row() != row)
            view.setCurrentIndex(box.model()->index(row, box.modelColumn()));
    }

    QFontMetrics metrics(view.font());
    int widest = 0;
    for (int i = 0; i < box.count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box.itemText(i)));
    view.setMinimumWidth(widest + view.verticalScrollBar()->sizeHint().width() + 16);
    // The ports follow the nine fixed names: a list cut at ten rows would hide
    // just the ones that name real devices.
    box.setMaxVisibleItems(std::clamp(box.count(), kShortestList, kLongestList));
}

}  // namespace console
