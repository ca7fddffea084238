// A page of the window's tab control. What a page holds is drawn in the
// window's regular face. Pages are made without a parent, so they cannot
// inherit it: the page takes the face as it is made, before the controls it
// holds, and each control then takes it once, as it is made, instead of
// the whole page being told of a change when it joins the tab control.
#pragma once

#include <QWidget>

class TabPage : public QWidget {
    Q_OBJECT

public:
    explicit TabPage(QWidget* parent = nullptr);
};
