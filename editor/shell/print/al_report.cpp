#include "print/al_report.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lumora::print {

namespace {

TAlElement& Append(TAlBand& band, TAlElement element)
{
    band.Elements.push_back(std::move(element));
    return band.Elements.back();
}

template <typename Report>
auto FindFieldIn(Report& report, const QString& name) -> decltype(&report.DetailBand.Elements.front())
{
    for (auto* band : {&report.TitleBand, &report.DetailHeaderBand, &report.DetailBand, &report.PageFooterBand})
        for (auto& element : band->Elements)
            if (element.Kind == TAlElementKind::DataField && element.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &element;
    return nullptr;
}

// Blank kept at each end of a text that had to be narrowed, in layout pixels.
constexpr double kTextPadding = 1.5;

QRectF ToDevice(const QRectF& layoutRect, double top, double scale)
{
    return {layoutRect.x() * scale, (top + layoutRect.y()) * scale, layoutRect.width() * scale,
            layoutRect.height() * scale};
}

}  // namespace

TAlElement& TAlReport::AddLabel(TAlBand& band, const QString& name, const QString& text, const QRectF& rect,
                                const QFont& font, Qt::Alignment align)
{
    return Append(band, {TAlElementKind::Label, name, rect, text, font, align, {}});
}

TAlElement& TAlReport::AddShape(TAlBand& band, const QRectF& rect)
{
    return Append(band, {TAlElementKind::Shape, {}, rect, {}, {}, {}, {}});
}

TAlElement& TAlReport::AddDataField(TAlBand& band, const QString& name, const QRectF& rect, const QFont& font,
                                    Qt::Alignment align)
{
    return Append(band, {TAlElementKind::DataField, name, rect, {}, font, align, {}});
}

TAlElement& TAlReport::AddPageNumber(TAlBand& band, const QRectF& rect, const QFont& font, Qt::Alignment align)
{
    return Append(band, {TAlElementKind::PageNumber, {}, rect, {}, font, align, {}});
}

TAlElement* TAlReport::FindField(const QString& name) { return FindFieldIn(*this, name); }

const TAlElement* TAlReport::FindField(const QString& name) const { return FindFieldIn(*this, name); }

bool TAlReport::AddNamedValue(const QString& name, const QString& value)
{
    TAlElement* field = FindField(name);
    if (!field)
        return false;
    field->Values.append(value);
    return true;
}

int TAlReport::DetailRowCount() const
{
    qsizetype rows = 0;
    for (const TAlBand* band : {&TitleBand, &DetailHeaderBand, &DetailBand, &PageFooterBand})
        for (const TAlElement& element : band->Elements)
            if (element.Kind == TAlElementKind::DataField)
                rows = std::max(rows, element.Values.size());
    return int(rows);
}

QString TAlReport::FieldValue(const TAlElement& field, int row)
{
    if (field.Values.size() == 1)
        return field.Values.front();
    if (row >= 0 && row < field.Values.size())
        return field.Values[row];
    return {};
}

std::vector<TAlPage> TAlReport::Paginate(double pageHeight) const
{
    const double room = pageHeight - TopMargin - BottomMargin - PageFooterBand.Height - DetailHeaderBand.Height;
    const int rows = DetailRowCount();
    std::vector<TAlPage> pages;
    int first = 0;
    do {
        TAlPage page;
        page.Number = int(pages.size()) + 1;
        page.HasTitle = pages.empty();
        const double body = room - (page.HasTitle ? TitleBand.Height : 0);
        // A page takes at least one row, so a band taller than the page still ends.
        int fit = DetailBand.Height > 0 ? int(std::floor(body / DetailBand.Height + 1e-9)) : rows;
        fit = std::max(fit, 1);
        page.FirstRow = first;
        page.RowCount = std::min(fit, rows - first);
        pages.push_back(page);
        first += page.RowCount;
    } while (first < rows);
    return pages;
}

bool TAlReport::Print(QPagedPaintDevice& device) const
{
    const int dpi = device.logicalDpiX();
    if (dpi <= 0)
        return false;
    const double scale = dpi / kLayoutDpi;
    const QPageLayout layout = device.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    const double pageHeight = paper.height() / scale;

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const std::vector<TAlPage> pages = Paginate(pageHeight);
    for (const TAlPage& page : pages) {
        if (page.Number > 1 && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        // The device's origin is the printable area's corner; the layout's is the paper's.
        painter.translate(paper.left() - printable.left(), paper.top() - printable.top());
        PaintPage(painter, page, scale, pageHeight);
        painter.restore();
    }
    return painter.end();
}

void TAlReport::PaintPage(QPainter& painter, const TAlPage& page, double scale, double pageHeight) const
{
    double top = TopMargin;
    if (page.HasTitle)
        top += PaintBand(painter, TitleBand, top, scale, page.Number, -1);
    top += PaintBand(painter, DetailHeaderBand, top, scale, page.Number, -1);
    for (int row = page.FirstRow; row < page.FirstRow + page.RowCount; ++row)
        top += PaintBand(painter, DetailBand, top, scale, page.Number, row);
    PaintBand(painter, PageFooterBand, pageHeight - BottomMargin - PageFooterBand.Height, scale, page.Number, -1);
}

QImage TAlReport::RenderPage(int index, double dpi, QSizeF paperSize) const
{
    const std::vector<TAlPage> pages = Paginate(paperSize.height());
    if (index < 0 || index >= int(pages.size()) || dpi <= 0)
        return {};
    const double scale = dpi / kLayoutDpi;
    QImage image(qRound(paperSize.width() * scale), qRound(paperSize.height() * scale), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintPage(painter, pages[std::size_t(index)], scale, paperSize.height());
    return image;
}

double TAlReport::PaintBand(QPainter& painter, const TAlBand& band, double top, double scale, int pageNumber,
                            int row) const
{
    for (const TAlElement& element : band.Elements)
        PaintElement(painter, element, ToDevice(element.Rect, top, scale), scale, pageNumber, row);
    return band.Height;
}

void TAlReport::PaintElement(QPainter& painter, const TAlElement& element, const QRectF& deviceRect, double scale,
                             int pageNumber, int row) const
{
    QString text;
    switch (element.Kind) {
    case TAlElementKind::Shape: painter.fillRect(deviceRect, Qt::black); return;
    case TAlElementKind::Label: text = element.Text; break;
    case TAlElementKind::DataField: text = FieldValue(element, row); break;
    case TAlElementKind::PageNumber: text = QString::number(pageNumber); break;
    }
    if (text.isEmpty())
        return;
    QFont font = element.Font;
    font.setPixelSize(std::max(1, int(std::lround(std::max(element.Font.pixelSize(), 1) * scale))));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.save();
    // What does not fit is cut at the box, as on the screen form.
    painter.setClipRect(deviceRect, Qt::IntersectClip);
    // Where the system's font is wider than the one the layout was made with,
    // the text is narrowed to its box (less a small gap to its neighbours)
    // rather than cut off.
    const double room = std::max(deviceRect.width() - 2 * kTextPadding * scale, 1.0);
    const double advance = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    QRectF textRect = deviceRect;
    if (advance > room) {
        const double squeeze = room / advance;
        const double centre = deviceRect.center().x();
        const double padding = kTextPadding * scale;
        painter.translate(centre, 0);
        painter.scale(squeeze, 1);
        painter.translate(-centre, 0);
        // In the narrowed coordinates the text is `advance` wide; it keeps its
        // alignment at the box's padded edge.
        textRect = QRectF(centre - advance / 2, deviceRect.y(), advance, deviceRect.height());
        if (element.Align & Qt::AlignLeft)
            textRect.moveLeft(centre - (centre - deviceRect.left() - padding) / squeeze);
        else if (element.Align & Qt::AlignRight)
            textRect.moveRight(centre + (deviceRect.right() - padding - centre) / squeeze);
    }
    painter.drawText(textRect, int(element.Align) | Qt::TextSingleLine | Qt::TextDontClip, text);
    painter.restore();
}

}  // namespace lumora::print
