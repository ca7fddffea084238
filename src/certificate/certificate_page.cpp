#include "certificate/certificate_page.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace certificate {
namespace {

using calibration::PointResult;

constexpr const char* kFailColour = "#f4c2c2";
// A meter is read to the microampere: readings keep at least that many
// decimals, and more when the technician typed them.
constexpr std::size_t kReadingDecimals = 3;

// Device bytes are characters of the same code; what was typed is UTF-8.
QString Device(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toHtmlEscaped();
}
QString Typed(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString Number(double value, std::size_t leastDecimals = kReadingDecimals) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text = ec == std::errc{} ? std::string(buffer, end) : std::string("?");
    std::size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text += '.';
    }
    const std::size_t decimals = text.size() - point - 1;
    if (decimals < leastDecimals) text.append(leastDecimals - decimals, '0');
    return QString::fromStdString(text);
}

QString Percent(double shown) {
    return QString::fromStdString(calibration::FormatPercent(shown, '.'));
}

QString Row(const QStringList& cells, const char* tag = "td") {
    QString html = "<tr>";
    for (const QString& cell : cells) html += QString("<%1>%2</%1>").arg(tag, cell);
    return html + "</tr>";
}

QString Table(const QString& rows) {
    return "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">" + rows +
           "</table>";
}

QString PassTable(const QString& title, const std::vector<PointResult>& pass) {
    QString rows = Row({"Set mA", "Output 1 mA", "Error % of span", "Output 2 mA",
                        "Error % of span", "Output 3 mA", "Error % of span"},
                       "th");
    for (const PointResult& point : pass) {
        QString row = "<tr><td>" + QString::number(point.mA) + "</td>";
        for (std::size_t k = 0; k < 3; ++k) {
            row += "<td>" + Number(point.measured[k]) + "</td>";
            row += point.pass[k] ? "<td>" + Percent(point.errorPercentOfSpan[k]) + "</td>"
                                 : QString("<td bgcolor=\"%1\"><b>%2 out of tolerance</b></td>")
                                       .arg(kFailColour, Percent(point.errorPercentOfSpan[k]));
        }
        rows += row + "</tr>";
    }
    const auto worst = calibration::WorstErrors(pass);
    rows += Row({"Largest", "", Percent(worst[0]), "", Percent(worst[1]), "", Percent(worst[2])});
    return "<h3>" + title + "</h3>" + Table(rows);
}

QString SettingsPart(const std::optional<calibration::SettingsSection>& settings) {
    if (!settings) return "<p>No settings were written with this record.</p>";
    QString html = QString("<p>File %1 (SHA-256 %2): %3 frames written; %4.</p>")
                       .arg(Typed(settings->file), Typed(settings->sha256))
                       .arg(settings->written)
                       .arg(settings->verified ? "read back and verified" : "not verified");
    if (settings->differences.empty()) return html;
    QString rows = Row({"Setting", "Written", "Read back"}, "th");
    for (const auto& difference : settings->differences)
        rows += Row(
            {Typed(difference.setting), Device(difference.written), Device(difference.readBack)});
    return html + Table(rows);
}

QString OutputsPart(const std::optional<calibration::OutputsSection>& outputs) {
    if (!outputs) return "<p>The current outputs were not checked with this record.</p>";
    QString html =
        QString("<p>Tolerance %1 % of span (16 mA); %2.</p>")
            .arg(Number(outputs->tolerancePercentOfSpan, 2),
                 outputs->adjustment ? QString("adjustment at %1 mA").arg(outputs->adjustAt)
                                     : QString("check only, not adjusted"));
    html += PassTable("As found", outputs->asFound);
    if (outputs->adjustment) {
        const auto& adjustment = *outputs->adjustment;
        QString rows = Row({"Coefficient", "Output 1", "Output 2", "Output 3"}, "th");
        rows += Row({"Before", Device(adjustment.before[0]), Device(adjustment.before[1]),
                     Device(adjustment.before[2])});
        rows += Row({"After", Device(adjustment.after[0]), Device(adjustment.after[1]),
                     Device(adjustment.after[2])});
        html += "<h3>Adjustment</h3>" + Table(rows) +
                QString("<p>%1</p>")
                    .arg(adjustment.verified ? "Every coefficient sent was read back by value."
                                             : "The coefficients were not all read back.");
    }
    if (outputs->asLeft) html += PassTable("As left", *outputs->asLeft);
    if (!outputs->complete)
        html +=
            "<p><b>The check stopped before its end; the readings shown are all that were "
            "taken.</b></p>";
    return html;
}

}  // namespace

QString CertificateHtml(const calibration::Record& record, double fontPoints) {
    const calibration::Unit& unit = record.unit;
    QString html = "<html><body>";
    html +=
        QString("<h1 style=\"font-size:%1pt\">Calibration certificate</h1>").arg(fontPoints * 1.8);
    html += "<p>VK630-E transmitter, three 4-20 mA current outputs</p>";
    QString rows;
    rows += Row({"Tag", Typed(unit.tag)});
    rows += Row({"Identity", Device(unit.identity)});
    rows += Row({"Address", Device(unit.address)});
    rows += Row({"Port", Typed(unit.port)});
    rows += Row({"Date", Typed(record.made)});
    rows += Row({"Technician", Typed(record.technician)});
    rows += Row({"Meter", Typed(record.meter)});
    rows += Row({"Program", "vk630e " + Typed(record.program)});
    html += Table(rows);
    html += "<h2>Settings</h2>" + SettingsPart(record.settings);
    html += "<h2>Current outputs</h2>" + OutputsPart(record.outputs);
    const QString verdict = QString::fromStdString(calibration::Verdict(record)).toUpper();
    html += QString("<p style=\"font-size:%1pt\"><b>%2</b></p>").arg(fontPoints * 3).arg(verdict);
    html +=
        "<p><br>Signature: ______________________________ &nbsp;&nbsp; "
        "Date: ________________</p>";
    return html + "</body></html>";
}

}  // namespace certificate
