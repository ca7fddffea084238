// The notice that the open port's device has gone, shown in free space of
// the header without blocking the window: what happened and how to go on,
// and, once the same device is there again, that it is back.
#pragma once

#include <QLabel>
#include <QString>
#include <string>

namespace console {

class UnplugNotice : public QLabel {
    Q_OBJECT

public:
    explicit UnplugNotice(QWidget* parent);

    // The port `commName` hung up.
    void PortGone(const std::string& commName);
    // The device that went is there again (its identity, not only its name).
    void DeviceBack();
    // The operator presses Open: the notice has done its work.
    void Dismiss();
    // The console's own word on the port, its name as %1, in place of the
    // device's coming back; `details` go to the tip.
    void Tell(const QString& text, bool trouble, const QString& details = {});

    bool portBack() const { return back_; }

private:
    void Show(const QString& text, const QString& colour);

    std::string commName_;
    bool back_ = false;
};

}  // namespace console
