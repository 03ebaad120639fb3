// A small banded report engine on QPainter: a title band at the top of the
// first page, a detail header band above the detail rows of every page, one
// detail band per row and a page footer band at the bottom of every page.
// Bands hold fixed labels, filled shapes, data fields and page-number fields
// at positions of a 96-dpi layout; painting scales them to the resolution of
// the device. The engine knows no dialog: it paints onto a printer, a PDF
// writer or an image.
#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace lumora::print {

// Layout unit: one pixel of a 96-dpi page.
inline constexpr double kLayoutDpi = 96.0;
// A4 portrait in layout pixels (210 mm x 297 mm).
inline constexpr QSizeF kA4Layout(210.0 / 25.4 * kLayoutDpi, 297.0 / 25.4 * kLayoutDpi);

enum class TAlElementKind { Label, Shape, DataField, PageNumber };

struct TAlElement {
    TAlElementKind Kind = TAlElementKind::Label;
    QString Name;  // data fields are found by it
    QRectF Rect;  // layout pixels, relative to the band's top-left corner
    QString Text;  // labels
    QFont Font;  // pixel size in layout pixels
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignVCenter;
    QStringList Values;  // data fields: one value per detail row
};

struct TAlBand {
    double Height = 0;
    // A deque keeps references to elements valid while more are added.
    std::deque<TAlElement> Elements;
};

// What one page holds: the detail rows FirstRow .. FirstRow + RowCount - 1.
struct TAlPage {
    int Number = 1;  // 1-based
    bool HasTitle = false;
    int FirstRow = 0;
    int RowCount = 0;
};

class TAlReport {
public:
    TAlBand TitleBand;
    TAlBand DetailHeaderBand;
    TAlBand DetailBand;
    TAlBand PageFooterBand;
    // Blank space above the first band and below the footer band of each page.
    double TopMargin = 38;  // 10 mm
    double BottomMargin = 38;

    TAlElement& AddLabel(TAlBand& band, const QString& name, const QString& text, const QRectF& rect, const QFont& font,
                         Qt::Alignment align);
    TAlElement& AddShape(TAlBand& band, const QRectF& rect);
    TAlElement& AddDataField(TAlBand& band, const QString& name, const QRectF& rect, const QFont& font,
                             Qt::Alignment align);
    TAlElement& AddPageNumber(TAlBand& band, const QRectF& rect, const QFont& font, Qt::Alignment align);

    // The data field of this name in any band, ignoring case; null when none.
    TAlElement* FindField(const QString& name);
    const TAlElement* FindField(const QString& name) const;
    // Appends one value to the named field's list. False when no field has the name.
    bool AddNamedValue(const QString& name, const QString& value);

    // The length of the longest value list.
    int DetailRowCount() const;
    // What a field prints on detail row `row`: a single value on every row,
    // otherwise value `row`, or nothing beyond the end of its list.
    static QString FieldValue(const TAlElement& field, int row);

    // Splits the detail rows over pages of `pageHeight` layout pixels. There
    // is always at least one page and at least one row per page.
    std::vector<TAlPage> Paginate(double pageHeight) const;

    // Paints every page onto a printer or PDF writer, starting a new page of
    // the device for each. The page's own size and resolution are used; the
    // layout's x is measured from the paper's left edge. False when painting
    // could not start (for example an unwritable output file).
    bool Print(QPagedPaintDevice& device) const;

    // Paints one page. `scale` maps layout pixels to the painter's device
    // pixels, with the painter's origin at the paper's top-left corner.
    void PaintPage(QPainter& painter, const TAlPage& page, double scale, double pageHeight) const;

    // Page `index` (0-based) of a report on paper of `paperSize` layout pixels,
    // rendered at `dpi`. A null image when there is no such page.
    QImage RenderPage(int index, double dpi, QSizeF paperSize = kA4Layout) const;

private:
    double PaintBand(QPainter& painter, const TAlBand& band, double top, double scale, int pageNumber, int row) const;
    void PaintElement(QPainter& painter, const TAlElement& element, const QRectF& deviceRect, double scale,
                      int pageNumber, int row) const;
};

}  // namespace lumora::print
