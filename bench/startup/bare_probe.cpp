// The yardstick for the console's start-up: a window of plain Qt widgets of
// the same kinds and numbers as the console's, nested the same way, in a
// window of the same size, but with default fonts, no palette, no icon and
// no pictures. What the console costs beyond this is its own doing.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRect>
#include <QTabWidget>
#include <initializer_list>

#include "first_paint.h"

namespace {

// The controls directly inside one container, and where they go.
struct Controls {
    int labels = 0;
    int edits = 0;
    std::initializer_list<int> choiceItems;  // one editable choice box per entry
    int buttons = 0;
};

// Lays the controls out in rows inside area, so that each is visible and
// painted like the console's.
class Filler {
public:
    Filler(QWidget& container, QRect area) : container_(container), area_(area) {
        x_ = area.left();
        y_ = area.top();
    }

    void fill(const Controls& controls) {
        for (int i = 0; i < controls.labels; ++i) {
            auto* label = new QLabel(QStringLiteral("Label %1:").arg(++serial_), &container_);
            place(*label, 68, 13);
        }
        for (int items : controls.choiceItems) {
            auto* box = new QComboBox(&container_);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            for (int i = 0; i < items; ++i) box->addItem(QStringLiteral("Item %1").arg(i));
            place(*box, 73, 21);
        }
        for (int i = 0; i < controls.edits; ++i) {
            auto* edit = new QLineEdit(QStringLiteral("%1").arg(++serial_), &container_);
            place(*edit, 49, 21);
        }
        for (int i = 0; i < controls.buttons; ++i) {
            auto* button = new QPushButton(QStringLiteral("Set"), &container_);
            place(*button, 65, 25);
        }
    }

private:
    void place(QWidget& w, int width, int height) {
        if (x_ + width > area_.right()) {
            x_ = area_.left();
            y_ += 28;
        }
        w.setGeometry(x_, y_, width, height);
        x_ += width + 8;
    }

    QWidget& container_;
    QRect area_;
    int x_ = 0;
    int y_ = 0;
    int serial_ = 0;
};

QGroupBox* Group(QWidget& parent, QRect geometry, const QString& title, const Controls& controls) {
    auto* group = new QGroupBox(title, &parent);
    group->setGeometry(geometry);
    Filler(*group, QRect(8, 16, geometry.width() - 16, geometry.height() - 24)).fill(controls);
    return group;
}

void Build(QMainWindow& window) {
    window.resize(1035, 574);
    window.setWindowTitle(QStringLiteral("bare"));
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);

    // Header and top bar: the two picture labels stay empty.
    auto* logo = new QLabel(central);
    logo->setGeometry(8, 8, 97, 41);
    auto* title = new QLabel(QStringLiteral("Bare window title"), central);
    title->setGeometry(224, 8, 593, 33);
    Filler(*central, QRect(8, 56, 1000, 28)).fill({4, 0, {9, 4, 3}, 2});

    auto* tabs = new QTabWidget(central);
    tabs->setGeometry(8, 88, 1025, 385);
    auto* first = new QWidget;
    auto* device = Group(*first, QRect(8, 8, 1001, 273), QString(), {5, 2, {4, 3}, 5});
    Group(*device, QRect(640, 8, 353, 129), QStringLiteral("Group 4"), {5, 4, {}, 2});
    Group(*device, QRect(8, 136, 609, 129), QStringLiteral("Group 7"),
          {9, 12, {5, 23, 5, 24, 5, 23}, 3});
    Group(*device, QRect(640, 136, 353, 129), QString(), {5, 6, {}, 3});
    Group(*first, QRect(8, 282, 497, 73), QStringLiteral("Group 5"), {6, 4, {2}, 4});
    Group(*first, QRect(512, 282, 497, 73), QStringLiteral("Group 3"), {6, 4, {2}, 4});
    tabs->addTab(first, QStringLiteral("First page"));
    auto* second = new QWidget;
    auto* picture = new QLabel(second);
    picture->setGeometry(264, 48, 497, 257);
    tabs->addTab(second, QStringLiteral("Second page"));

    // Send and receive area.
    Filler(*central, QRect(16, 488, 80, 13)).fill({1, 0, {}, 0});
    auto* send = new QLineEdit(central);
    send->setGeometry(96, 488, 825, 21);
    Filler(*central, QRect(16, 520, 80, 13)).fill({1, 0, {}, 0});
    auto* receive = new QPlainTextEdit(central);
    receive->setGeometry(96, 520, 825, 41);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    Build(window);
    startup_bench::FirstPaintReport report(window, argc, argv);
    window.show();
    return QApplication::exec();
}
