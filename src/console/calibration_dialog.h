// The window of the guided output check: what the technician enters before
// it starts (the unit's tag, who checks with which meter, the test points,
// the adjustment point, the tolerance), the table the readings are typed
// into, the worst error of each output, a status line and the notes at the
// end. It shows and collects; the check itself is run by CalibrationRun.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "calibration/output_check.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace console {

class CalibrationDialog final : public QDialog {
    Q_OBJECT

public:
    // `parent` lends its colours and keeps the dialog for the whole run.
    CalibrationDialog(QWidget& parent, char decimalSeparator);

    // What the technician asked for; throws a FieldError naming the field
    // that cannot be read.
    calibration::Plan PlanEntered() const;
    std::string Tag() const;
    std::string Technician() const;
    std::string Meter() const;
    // The tag belongs to one unit; the technician and the meter stay.
    void ClearTag();

    void Started();
    void ShowStatus(const QString& text);
    // A new row for the point, its three readings open for typing; the
    // first takes the focus.
    void AskReadings(int mA, calibration::Pass pass);
    std::array<QString, 3> ReadingsTyped() const;
    void FocusReading(int output);
    // The asked row shows its readings and errors, failing cells marked.
    void ShowPoint(const calibration::PointResult& point);
    void ShowWorstErrors(const calibration::OutputsSection& results);
    void Ended(const std::string& verdict, const std::vector<std::string>& notes);

    std::function<void()> onStart;
    std::function<void()> onCancel;
    // The third reading of the asked row has been entered.
    std::function<void()> onReadings;
    std::function<bool()> isRunning;

protected:
    // Escape or the window's close button during a check stops the check
    // after the frame in flight; the results stay in view.
    void reject() override;

private:
    QLineEdit* AddField(QFormLayout& form, const char* name, const QString& label,
                        const QString& text);
    QLineEdit* ReadingField(int output) const;
    void EnableEntries(bool enabled);

    char separator_;
    QLineEdit* tag_ = nullptr;
    QLineEdit* technician_ = nullptr;
    QLineEdit* meter_ = nullptr;
    QLineEdit* points_ = nullptr;
    QLineEdit* adjustAt_ = nullptr;
    QLineEdit* tolerance_ = nullptr;
    QCheckBox* checkOnly_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* worst_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* verdict_ = nullptr;
    QLabel* notes_ = nullptr;
    int askedRow_ = -1;
};

}  // namespace console
