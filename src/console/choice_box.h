// The drop-down list whose text field also takes typed text, as the console
// reads it: the text the operator typed stays exactly as typed and never
// becomes an item, the selected index always tells whether that text is one
// of the items (-1 when it is not), and nothing but choosing an item from the
// list or typing its text selects it.
#pragma once

#include <QComboBox>
#include <QString>

class ChoiceBox : public QComboBox {
    Q_OBJECT
    // A text shown with no item selected, as some boxes start (the window
    // description sets it after the items, so the box starts unselected).
    Q_PROPERTY(QString unselectedText READ unselectedText WRITE setUnselectedText)

public:
    explicit ChoiceBox(QWidget* parent = nullptr);

    QString unselectedText() const { return unselectedText_; }
    void setUnselectedText(const QString& text);

private:
    void followTypedText(const QString& text);

    QString unselectedText_;
};
