#include "app_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lumora::shell {
namespace {

const QColor kInk(40, 48, 64);
const QColor kPaper(250, 250, 245);
const QColor kBlue(52, 101, 164);
const QColor kGreen(78, 154, 6);
const QColor kRed(204, 0, 0);
const QColor kYellow(237, 212, 0);

void Page(QPainter& p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 7, r.top());
    path.lineTo(r.right(), r.top() + 7);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 7, r.top()), QPointF(r.right() - 7, r.top() + 7));
    p.drawLine(QPointF(r.right() - 7, r.top() + 7), QPointF(r.right(), r.top() + 7));
}

void Window(QPainter& p, QRectF r, const QColor& title)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(title);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 5));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c)
{
    p.setPen(QPen(c, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    QLineF shaft(to, from);
    QLineF left = shaft;
    left.setLength(8);
    left.setAngle(shaft.angle() + 35);
    QLineF right = shaft;
    right.setLength(8);
    right.setAngle(shaft.angle() - 35);
    p.drawLine(left);
    p.drawLine(right);
}

void Letter(QPainter& p, const QString& text, const QColor& c)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(c);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(18);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, text);
}

void DrawNew(QPainter& p) { Page(p, QRectF(7, 3, 18, 26)); }

void DrawOpen(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kYellow.darker(115));
    p.drawRect(QRectF(3, 8, 24, 19));
    p.setBrush(kYellow);
    QPolygonF flap{{3, 27}, {8, 14}, {30, 14}, {27, 27}};
    p.drawPolygon(flap);
}

void DrawSave(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(Qt::lightGray);
    p.drawRect(QRectF(9, 18, 14, 10));
}

void DrawSaveAs(QPainter& p)
{
    DrawSave(p);
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 29), QPointF(29, 18));
}

void DrawClose(QPainter& p)
{
    Window(p, QRectF(4, 5, 24, 22), kBlue);
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 14), QPointF(21, 23));
    p.drawLine(QPointF(21, 14), QPointF(11, 23));
}

void DrawCloseAll(QPainter& p)
{
    Window(p, QRectF(2, 2, 20, 18), kBlue);
    DrawClose(p);
}

void DrawPrint(QPainter& p)
{
    Page(p, QRectF(9, 2, 14, 12));
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::gray);
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 20, 16, 9));
}

void DrawPrintSetup(QPainter& p)
{
    DrawPrint(p);
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(22, 2, 8, 8));
}

void DrawExit(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(143, 89, 2));
    p.drawRect(QRectF(4, 3, 14, 26));
    Arrow(p, QPointF(14, 16), QPointF(29, 16), kRed);
}

void DrawConfig(QPainter& p)
{
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.translate(16, 16);
    for (int i = 0; i < 8; ++i) {
        p.drawLine(QPointF(0, 9), QPointF(0, 13));
        p.rotate(45);
    }
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::gray);
    p.drawEllipse(QPointF(0, 0), 10, 10);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(0, 0), 4, 4);
}

void Receiver(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(85, 87, 83));
    p.drawRoundedRect(QRectF(2, 21, 28, 8), 2, 2);
    p.setPen(QPen(kGreen, 2));
    p.drawPoint(QPointF(25, 25));
}

void DrawUpload(QPainter& p)
{
    Receiver(p);
    Arrow(p, QPointF(16, 19), QPointF(16, 3), kGreen);
}

void DrawDownload(QPainter& p)
{
    Receiver(p);
    Arrow(p, QPointF(16, 2), QPointF(16, 18), kBlue);
}

void DrawFirmware(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(10 + i * 4, 2), QPointF(10 + i * 4, 30));
        p.drawLine(QPointF(2, 10 + i * 4), QPointF(30, 10 + i * 4));
    }
    p.setBrush(QColor(46, 52, 54));
    p.drawRect(QRectF(6, 6, 20, 20));
    p.setPen(kYellow);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(9);
    p.setFont(f);
    p.drawText(QRectF(6, 6, 20, 20), Qt::AlignCenter, QStringLiteral("FW"));
}

void DrawCascade(QPainter& p)
{
    Window(p, QRectF(2, 2, 18, 14), kBlue);
    Window(p, QRectF(7, 8, 18, 14), kBlue);
    Window(p, QRectF(12, 14, 18, 14), kGreen);
}

void DrawTileHorizontal(QPainter& p)
{
    Window(p, QRectF(3, 3, 26, 12), kBlue);
    Window(p, QRectF(3, 17, 26, 12), kGreen);
}

void DrawTileVertical(QPainter& p)
{
    Window(p, QRectF(3, 3, 12, 26), kBlue);
    Window(p, QRectF(17, 3, 12, 26), kGreen);
}

void DrawAbout(QPainter& p) { Letter(p, QStringLiteral("i"), kBlue); }
void DrawHelp(QPainter& p) { Letter(p, QStringLiteral("?"), kGreen); }

void DrawSupport(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 4, 22, 22), 0, 180 * 16);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(3, 14, 6, 11), 2, 2);
    p.drawRoundedRect(QRectF(23, 14, 6, 11), 2, 2);
}

void DrawWeb(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kBlue.lighter(150));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(5, 9), QPointF(27, 9));
    p.drawLine(QPointF(5, 23), QPointF(27, 23));
}

void DrawSort(QPainter& p, bool ascending)
{
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, ascending ? "A" : "Z");
    p.drawText(QRectF(1, 17, 14, 14), Qt::AlignCenter, ascending ? "Z" : "A");
    Arrow(p, QPointF(23, 4), QPointF(23, 28), kBlue);
}

// A curved arrow turning back (undo) or forward (redo).
void DrawTurn(QPainter& p, bool back)
{
    if (!back) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 8, 22, 18), 90 * 16, -200 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(13, 2), QPointF(13, 14)}));
}

void DrawApplication(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(46, 52, 54));
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 3, 3);
    p.setBrush(kBlue.lighter(130));
    p.drawRect(QRectF(5, 9, 22, 14));
    p.setPen(QPen(kYellow, 2));
    p.drawArc(QRectF(9, 12, 14, 14), 30 * 16, 120 * 16);
    p.drawArc(QRectF(12, 15, 8, 8), 30 * 16, 120 * 16);
}

using Painter = void (*)(QPainter&);

Painter PainterFor(IconId id)
{
    switch (id) {
    case IconId::New: return DrawNew;
    case IconId::Open: return DrawOpen;
    case IconId::Save: return DrawSave;
    case IconId::SaveAs: return DrawSaveAs;
    case IconId::Close: return DrawClose;
    case IconId::CloseAll: return DrawCloseAll;
    case IconId::Print: return DrawPrint;
    case IconId::PrintSetup: return DrawPrintSetup;
    case IconId::Exit: return DrawExit;
    case IconId::Config: return DrawConfig;
    case IconId::Upload: return DrawUpload;
    case IconId::Download: return DrawDownload;
    case IconId::Firmware: return DrawFirmware;
    case IconId::Cascade: return DrawCascade;
    case IconId::TileHorizontal: return DrawTileHorizontal;
    case IconId::TileVertical: return DrawTileVertical;
    case IconId::About: return DrawAbout;
    case IconId::Support: return DrawSupport;
    case IconId::Web: return DrawWeb;
    case IconId::Help: return DrawHelp;
    case IconId::SortAscending: return [](QPainter& p) { DrawSort(p, true); };
    case IconId::SortDescending: return [](QPainter& p) { DrawSort(p, false); };
    case IconId::Application: return DrawApplication;
    case IconId::Undo: return [](QPainter& p) { DrawTurn(p, true); };
    case IconId::Redo: return [](QPainter& p) { DrawTurn(p, false); };
    }
    return DrawApplication;
}

// Names of the freedesktop icon theme; empty where the theme has no fitting icon.
const char* ThemeName(IconId id)
{
    switch (id) {
    case IconId::New: return "document-new";
    case IconId::Open: return "document-open";
    case IconId::Save: return "document-save";
    case IconId::SaveAs: return "document-save-as";
    case IconId::Close: return "window-close";
    case IconId::Print: return "document-print";
    case IconId::Exit: return "application-exit";
    case IconId::Config: return "preferences-system";
    case IconId::About: return "help-about";
    case IconId::Help: return "help-contents";
    case IconId::Web: return "internet-web-browser";
    case IconId::SortAscending: return "view-sort-ascending";
    case IconId::SortDescending: return "view-sort-descending";
    case IconId::Undo: return "edit-undo";
    case IconId::Redo: return "edit-redo";
    default: return "";
    }
}

}  // namespace

QPixmap DrawnIcon(IconId id, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    PainterFor(id)(p);
    return pixmap;
}

QIcon LumoraIcon(IconId id)
{
    QIcon drawn;
    for (int size : {16, 22, 24, 32, 48})
        drawn.addPixmap(DrawnIcon(id, size));
    const char* theme = ThemeName(id);
    if (*theme && QIcon::hasThemeIcon(QString::fromLatin1(theme)))
        return QIcon::fromTheme(QString::fromLatin1(theme));
    return drawn;
}

}  // namespace lumora::shell
