#include "console/tab_page.h"

#include "console/window_fonts.h"

TabPage::TabPage(QWidget* parent) : QWidget(parent) {
    setFont(console::ContentsFace());
}
