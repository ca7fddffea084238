#include "console/calibration_dialog.h"

#include <QCheckBox>
#include <QFont>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "calibration/span_error.h"
#include "console/field_text.h"
#include "console/window_fonts.h"

namespace console {
namespace {

enum Column {
    kPassColumn,
    kSetColumn,
    kFirstReading,
    kFirstError = kFirstReading + 3,
    kColumns = kFirstError + 3
};

// A failing cell stands out by more than its colour: it also says so to a
// screen reader and in its tool tip.
const QColor kFailingCell(255, 205, 205);
const QString kOutOfTolerance = QStringLiteral("out of tolerance");

QString PassName(calibration::Pass pass) {
    return pass == calibration::Pass::AsFound ? QStringLiteral("As found")
                                              : QStringLiteral("As left");
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void MarkFailing(QTableWidgetItem& item) {
    item.setBackground(kFailingCell);
    item.setForeground(Qt::black);
    QFont bold = item.font();
    bold.setBold(true);
    item.setFont(bold);
    item.setToolTip(kOutOfTolerance);
    item.setData(Qt::AccessibleDescriptionRole, kOutOfTolerance);
}

// The error of largest magnitude, with its sign, of each output in a pass.
QString WorstOf(const std::vector<calibration::PointResult>& points, char separator) {
    QStringList worst;
    for (std::size_t output = 0; output < 3; ++output) {
        double largest = 0;
        for (const calibration::PointResult& point : points)
            if (std::fabs(point.errorPercentOfSpan[output]) > std::fabs(largest))
                largest = point.errorPercentOfSpan[output];
        worst << QStringLiteral("output %1 %2 %")
                     .arg(output + 1)
                     .arg(TextFromBytes(calibration::FormatPercent(largest, separator)));
    }
    return worst.join(QStringLiteral(", "));
}

void NoDefault(QPushButton& button) {
    // Enter moves between the readings; it must never press a button.
    button.setAutoDefault(false);
    button.setDefault(false);
}

}  // namespace

CalibrationDialog::CalibrationDialog(QWidget& parent, char decimalSeparator)
    : QDialog(&parent), separator_(decimalSeparator) {
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("Calibrate Outputs"));
    // A window of its own takes the desktop's face and colours unless told
    // the window's.
    setFont(ContentsFace());
    setPalette(parent.palette());
    // The window's own buttons must not send frames in the middle of a check.
    setWindowModality(Qt::WindowModal);

    auto* form = new QFormLayout;
    tag_ = AddField(*form, "CalTag", QStringLiteral("Tag:"), {});
    technician_ = AddField(*form, "CalTechnician", QStringLiteral("Technician:"), {});
    meter_ = AddField(*form, "CalMeter", QStringLiteral("Meter:"), {});
    points_ = AddField(*form, "CalPoints", QStringLiteral("Test points (mA):"),
                       QStringLiteral("4, 12, 20"));
    adjustAt_ =
        AddField(*form, "CalAdjustAt", QStringLiteral("Adjust at (mA):"), QStringLiteral("20"));
    tolerance_ = AddField(*form, "CalTolerance", QStringLiteral("Tolerance (% of span):"),
                          TextFromBytes(calibration::FormatPercent(
                              calibration::kDefaultTolerancePercentOfSpan, decimalSeparator)));
    checkOnly_ = new QCheckBox(QStringLiteral("Check only (no adjustment)"));
    checkOnly_->setObjectName(QStringLiteral("CalCheckOnly"));
    checkOnly_->setAccessibleName(checkOnly_->text());
    form->addRow(checkOnly_);

    start_ = new QPushButton(QStringLiteral("&Start"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    close_ = new QPushButton(QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    for (const auto& [button, name] :
         {std::pair{start_, "CalStart"}, std::pair{cancel_, "CalCancel"},
          std::pair{close_, "CalClose"}}) {
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(QString(button->text()).remove(u'&'));
        NoDefault(*button);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    cancel_->setEnabled(false);

    table_ = new QTableWidget(0, kColumns);
    table_->setObjectName(QStringLiteral("CalTable"));
    table_->setAccessibleName(QStringLiteral("Readings and errors"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Pass"), QStringLiteral("Set mA"),
                                       QStringLiteral("Output 1 mA"), QStringLiteral("Output 2 mA"),
                                       QStringLiteral("Output 3 mA"), QStringLiteral("Error 1 %"),
                                       QStringLiteral("Error 2 %"), QStringLiteral("Error 3 %")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table for the next control, as everywhere else.
    table_->setTabKeyNavigation(false);
    table_->setMinimumSize(620, 200);

    const auto label = [this](const char* name, const QString& accessible) {
        auto* shown = new QLabel(this);
        shown->setObjectName(QString::fromLatin1(name));
        shown->setAccessibleName(accessible);
        shown->setWordWrap(true);
        shown->setTextFormat(Qt::PlainText);
        return shown;
    };
    worst_ = label("CalWorst", QStringLiteral("Worst error of each output"));
    status_ = label("CalStatus", QStringLiteral("Status"));
    verdict_ = label("CalVerdict", QStringLiteral("Verdict"));
    QFont large = verdict_->font();
    large.setBold(true);
    large.setPixelSize(QFontInfo(large).pixelSize() * 8 / 5);
    verdict_->setFont(large);
    notes_ = label("CalNotes", QStringLiteral("Notes"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(table_);
    layout->addWidget(worst_);
    layout->addWidget(status_);
    layout->addWidget(verdict_);
    layout->addWidget(notes_);

    connect(start_, &QPushButton::clicked, this, [this] { onStart(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { onCancel(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::hide);
}

QLineEdit* CalibrationDialog::AddField(QFormLayout& form, const char* name, const QString& label,
                                       const QString& text) {
    auto* field = new QLineEdit(text);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(QString(label).remove(u':'));
    form.addRow(label, field);
    return field;
}

calibration::Plan CalibrationDialog::PlanEntered() const {
    calibration::Plan plan;
    try {
        plan.pointsMa = calibration::ParsePoints(FieldBytes(points_->text(), u"Test points"));
    } catch (const std::invalid_argument& refused) {
        throw FieldError(QString::fromUtf8(refused.what()));
    }
    plan.adjustAtMa = FieldToInt(adjustAt_->text());
    plan.tolerancePercentOfSpan = static_cast<double>(FieldToFloat(tolerance_->text(), separator_));
    plan.adjust = !checkOnly_->isChecked();
    if (const auto why = calibration::CheckPlan(plan)) throw FieldError(QString::fromUtf8(*why));
    return plan;
}

std::string CalibrationDialog::Tag() const {
    return tag_->text().toUtf8().toStdString();
}
std::string CalibrationDialog::Technician() const {
    return technician_->text().toUtf8().toStdString();
}
std::string CalibrationDialog::Meter() const {
    return meter_->text().toUtf8().toStdString();
}

void CalibrationDialog::ClearTag() {
    tag_->clear();
}

void CalibrationDialog::Started() {
    table_->setRowCount(0);
    askedRow_ = -1;
    for (QLabel* shown : {worst_, status_, verdict_, notes_}) shown->clear();
    EnableEntries(false);
}

void CalibrationDialog::ShowStatus(const QString& text) {
    status_->setText(text);
}

void CalibrationDialog::AskReadings(int mA, calibration::Pass pass) {
    askedRow_ = table_->rowCount();
    table_->insertRow(askedRow_);
    table_->setItem(askedRow_, kPassColumn, Cell(PassName(pass)));
    table_->setItem(askedRow_, kSetColumn, Cell(QString::number(mA)));
    for (int output = 0; output < 3; ++output) {
        auto* reading = new QLineEdit;
        reading->setObjectName(QStringLiteral("CalReading%1").arg(output + 1));
        reading->setAccessibleName(QStringLiteral("%1 %2 mA: output %3 reading")
                                       .arg(PassName(pass))
                                       .arg(mA)
                                       .arg(output + 1));
        table_->setCellWidget(askedRow_, kFirstReading + output, reading);
        connect(reading, &QLineEdit::returnPressed, this, [this, output] {
            if (output < 2) {
                FocusReading(output + 1);
            } else {
                onReadings();
            }
        });
    }
    table_->scrollToBottom();
    FocusReading(0);
}

QLineEdit* CalibrationDialog::ReadingField(int output) const {
    if (askedRow_ < 0) return nullptr;
    return qobject_cast<QLineEdit*>(table_->cellWidget(askedRow_, kFirstReading + output));
}

std::array<QString, 3> CalibrationDialog::ReadingsTyped() const {
    std::array<QString, 3> typed;
    for (int output = 0; output < 3; ++output)
        if (const QLineEdit* field = ReadingField(output)) typed[output] = field->text();
    return typed;
}

void CalibrationDialog::FocusReading(int output) {
    if (QLineEdit* field = ReadingField(output)) {
        field->setFocus();
        field->selectAll();
    }
}

void CalibrationDialog::ShowPoint(const calibration::PointResult& point) {
    const std::array<QString, 3> typed = ReadingsTyped();
    for (int output = 0; output < 3; ++output) {
        table_->removeCellWidget(askedRow_, kFirstReading + output);
        auto* reading = Cell(typed[output].trimmed());
        auto* error = Cell(TextFromBytes(
            calibration::FormatPercent(point.errorPercentOfSpan[output], separator_)));
        if (!point.pass[output]) {
            MarkFailing(*reading);
            MarkFailing(*error);
        }
        table_->setItem(askedRow_, kFirstReading + output, reading);
        table_->setItem(askedRow_, kFirstError + output, error);
    }
    askedRow_ = -1;
    table_->setFocus();
}

void CalibrationDialog::ShowWorstErrors(const calibration::OutputsSection& results) {
    QStringList lines;
    if (!results.asFound.empty())
        lines << QStringLiteral("Worst error as found: ") + WorstOf(results.asFound, separator_);
    if (results.asLeft && !results.asLeft->empty())
        lines << QStringLiteral("Worst error as left: ") + WorstOf(*results.asLeft, separator_);
    worst_->setText(lines.join(u'\n'));
}

void CalibrationDialog::Ended(const std::string& verdict, const std::vector<std::string>& notes) {
    for (int output = 0; output < 3; ++output)
        if (QLineEdit* field = ReadingField(output)) field->setEnabled(false);
    askedRow_ = -1;
    verdict_->setText(QStringLiteral("Verdict: %1").arg(QString::fromStdString(verdict)));
    QStringList lines;
    for (const std::string& note : notes) lines << QString::fromUtf8(note);
    notes_->setText(lines.join(u'\n'));
    EnableEntries(true);
    start_->setFocus();
}

// While a check runs its plan stands and only Cancel stops it.
void CalibrationDialog::EnableEntries(bool enabled) {
    for (QWidget* entry : std::initializer_list<QWidget*>{
             tag_, technician_, meter_, points_, adjustAt_, tolerance_, checkOnly_, start_, close_})
        entry->setEnabled(enabled);
    cancel_->setEnabled(!enabled);
}

void CalibrationDialog::reject() {
    if (isRunning && isRunning()) {
        onCancel();
        return;
    }
    QDialog::reject();
}

}  // namespace console
