#include "platform/qt_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace solandre {

QtPrinter::QtPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPrinter::~QtPrinter()
{
    if (painter_ && painter_->isActive()) painter_->end();
}

QFont QtPrinter::qfont() const
{
    QFont font(font_.name);
    font.setPointSizeF(font_.size);
    font.setBold(font_.bold);
    font.setUnderline(font_.underline);
    return font;
}

void QtPrinter::setFont(const PrinterFont& font)
{
    font_ = font;
    if (painter_) painter_->setFont(qfont());
}

bool QtPrinter::begin()
{
    if (painter_) return painter_->isActive();
    error_.clear();
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        error_ = QStringLiteral("No se ha podido abrir la impresora \"%1\".")
                     .arg(printer_->printerName().isEmpty() ? QStringLiteral("(ninguna)")
                                                            : printer_->printerName());
        return false;
    }
    painter_->setFont(qfont());
    y_ = 0;
    pageHasInk_ = false;
    pageBreakPending_ = false;
    return true;
}

void QtPrinter::printLine(const QString& line, bool endLine)
{
    if (pageBreakPending_) {
        printer_->newPage();
        y_ = 0;
        pageHasInk_ = false;
        pageBreakPending_ = false;
    }
    const QFontMetricsF metrics(painter_->font(), printer_.get());
    const double pageHeight = printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
    if (pageHasInk_ && y_ + metrics.height() > pageHeight) {
        printer_->newPage();
        y_ = 0;
    }
    const double dpi = printer_->resolution();
    const double x = x_ * dpi / 1440.0;
    painter_->drawText(QPointF(x, y_ + metrics.ascent()), line);
    pageHasInk_ = true;
    if (endLine) {
        y_ += metrics.lineSpacing();
        x_ = 0;
    } else {
        x_ += int(metrics.horizontalAdvance(line) * 1440.0 / dpi);
    }
}

void QtPrinter::print(const QString& text, bool endLine)
{
    if (!begin()) return;
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = normalized.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) printLine(lines[i], i + 1 < lines.size() || endLine);
}

void QtPrinter::newPage()
{
    // Taken when the next line comes: a break just before the end of the
    // document leaves no empty page.
    if (!begin()) return;
    pageBreakPending_ = true;
    x_ = 0;
}

bool QtPrinter::endDocument()
{
    pageBreakPending_ = false;
    const bool began = begin();
    const bool ended = painter_ && painter_->isActive() && painter_->end();
    painter_.reset();
    if (began && (!ended || printer_->printerState() == QPrinter::Error)) {
        error_ = QStringLiteral("La impresora \"%1\" no ha aceptado el documento.")
                     .arg(printer_->printerName());
        return false;
    }
    return began;
}

} // namespace solandre
