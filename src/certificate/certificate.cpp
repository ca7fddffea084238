#include "certificate/certificate.h"

#include <langinfo.h>
#include <locale.h>

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <cstdint>
#include <stdexcept>

#include "certificate/certificate_page.h"

namespace certificate {
namespace {

constexpr int kLetterWidthMm = 216;
constexpr int kLetterHeightMm = 279;
constexpr double kMarginMm = 15;
constexpr int kResolutionDpi = 300;
constexpr double kFontPoints = 10;
constexpr double kShrinkStep = 1.05;
// Every test point there can be, as found and as left, fits well before this.
constexpr double kMostShrink = 4;

[[noreturn]] void Refuse(const std::string& pdfPath, const QString& why) {
    throw std::runtime_error(pdfPath + ": " + why.toStdString());
}

}  // namespace

Paper PaperOfLocale() {
    // The environment's paper, without touching the program's own locale.
    const locale_t paper = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(0));
    if (paper == static_cast<locale_t>(0)) return Paper::A4;
    // glibc hands the paper's size in millimetres back in place of a text.
    const auto width = reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, paper));
    const auto height = reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, paper));
    freelocale(paper);
    return width == kLetterWidthMm && height == kLetterHeightMm ? Paper::Letter : Paper::A4;
}

void RenderCertificate(const calibration::Record& record, const std::string& pdfPath, Paper paper) {
    QSaveFile file(QString::fromStdString(pdfPath));
    if (!file.open(QIODevice::WriteOnly)) Refuse(pdfPath, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4));
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setResolution(kResolutionDpi);
        writer.setTitle("Calibration certificate " + QString::fromStdString(record.unit.tag));
        writer.setCreator("vk630e " + QString::fromStdString(record.program));

        QTextDocument document;
        // No ligatures: the page's text is copied and searched as typed.
        QFont font = document.defaultFont();
        font.setStyleStrategy(QFont::PreferNoShaping);
        font.setPointSizeF(kFontPoints);
        document.setDefaultFont(font);
        document.documentLayout()->setPaintDevice(&writer);
        document.setHtml(CertificateHtml(record, kFontPoints));
        // A long list of test points must not spill onto a second page: the
        // text is laid out wider and the whole page drawn smaller until it
        // fits, so type, padding and rules shrink alike.
        const QSizeF page = writer.pageLayout().paintRectPixels(kResolutionDpi).size();
        double shrink = 1;
        for (;; shrink *= kShrinkStep) {
            document.setTextWidth(page.width() * shrink);
            if (document.size().height() <= page.height() * shrink || shrink > kMostShrink) break;
        }
        QPainter painter(&writer);
        if (!painter.isActive()) Refuse(pdfPath, "the page could not be drawn");
        painter.scale(1 / shrink, 1 / shrink);
        document.drawContents(&painter);
    }
    if (!file.commit()) Refuse(pdfPath, file.errorString());
}

}  // namespace certificate
