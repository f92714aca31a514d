// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace solandre {

QStringList breakToWidth(const QString& line, double room,
                         const std::function<double(QStringView)>& width)
{
    const qsizetype n = line.size();
    auto visible = [&](qsizetype from, qsizetype to) {
        while (to > from && line[to - 1] == QLatin1Char(' ')) --to;
        return QStringView(line).sliced(from, to - from);
    };
    QStringList pieces;
    qsizetype start = 0;
    while (start < n) {
        // A first guess, a character (or a surrogate pair) at a time; at
        // least one character.
        qsizetype fit = start;
        double used = 0;
        while (fit < n) {
            const qsizetype step = line[fit].isHighSurrogate() && fit + 1 < n ? 2 : 1;
            const double next = width(QStringView(line).sliced(fit, step));
            if (used + next > room && fit > start) break;
            used += next;
            fit += step;
        }
        // End at the last blank of the run, and take the blanks after it.
        qsizetype end = fit;
        if (fit < n) {
            for (qsizetype k = fit; k > start; --k) {
                if (line[k - 1] == QLatin1Char(' ')) {
                    end = k;
                    break;
                }
            }
        }
        // A run is laid out whole (kerning, shaping, tabs), which may make it
        // wider than its characters one by one: give back words, or
        // characters of a lone word, until what shows fits.
        while (end - start > 1 && width(visible(start, end)) > room) {
            qsizetype shorter = end;
            while (shorter > start && line[shorter - 1] == QLatin1Char(' ')) --shorter;
            while (shorter > start && line[shorter - 1] != QLatin1Char(' ')) --shorter;
            if (shorter == start) {
                shorter = end - 1;
                if (shorter > start && line[shorter].isLowSurrogate()) --shorter;
            }
            end = shorter;
        }
        while (end < n && line[end] == QLatin1Char(' ')) ++end;
        pieces << line.mid(start, end - start);
        start = end;
    }
    if (pieces.isEmpty()) pieces << line;
    return pieces;
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer)
    : printer_(printer ? std::move(printer) : std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

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
    const QFontMetricsF metrics(painter_->font(), painter_->device());
    const double dpi = printer_->resolution();
    const QRectF paper = printer_->pageLayout().paintRectPixels(printer_->resolution());
    // A line wider than the paper goes on below, never off the edge.
    const double room = std::max(paper.width() - x_ * dpi / 1440.0, metrics.averageCharWidth());
    // Runs measured whole, as drawText() lays them out (tabs, kerning).
    const QStringList pieces =
        breakToWidth(line, room, [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); });
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        if (pageBreakPending_) {
            printer_->newPage();
            y_ = 0;
            pageHasInk_ = false;
            pageBreakPending_ = false;
        }
        if (pageHasInk_ && y_ + metrics.height() > paper.height()) {
            printer_->newPage();
            y_ = 0;
        }
        QString shown = pieces[k];
        if (endLine || k + 1 < pieces.size())
            while (shown.endsWith(QLatin1Char(' '))) shown.chop(1); // blanks at a line's end show nothing
        painter_->drawText(QPointF(x_ * dpi / 1440.0, y_ + metrics.ascent()), shown);
        pageHasInk_ = true;
        if (endLine || k + 1 < pieces.size()) {
            y_ += metrics.lineSpacing();
            x_ = 0;
        } else {
            x_ += int(metrics.horizontalAdvance(pieces[k]) * 1440.0 / dpi);
        }
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
