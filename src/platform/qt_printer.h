// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer users get: QPainter on a QPrinter, which continues on a new page
// by itself when a page is full. The system's print dialog can also send the
// document to a PDF file.

#include "platform/printer.h"

#include <QFont>
#include <QStringList>
#include <functional>
#include <memory>

class QPainter;
class QPrinter;

namespace solandre {

// Breaks `line` into pieces no wider than `room` as measured by `width`: at
// blanks where it can (a piece keeps the blank that ends it), inside a word
// only when the word alone is wider than the room. What a piece shows (its
// text without the blanks that end it) is measured whole, as it will be laid
// out, not as the sum of its characters. A line that fits is one piece; so is
// an empty line.
QStringList breakToWidth(const QString& line, double room,
                         const std::function<double(QStringView)>& width);

class QtPrinter final : public Printer {
public:
    // On `printer`, or on a QPrinter of its own at high resolution.
    explicit QtPrinter(std::unique_ptr<QPrinter> printer = nullptr);
    ~QtPrinter() override;

    QPrinter& device() { return *printer_; }

    void setFont(const PrinterFont& font) override;
    PrinterFont font() const override { return font_; }
    void setX(int twips) override { x_ = twips; }
    void print(const QString& text, bool endLine) override;
    void newPage() override;
    bool endDocument() override;
    QString lastError() const override { return error_; }

private:
    bool begin();
    void printLine(const QString& line, bool endLine);
    QFont qfont() const;

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    PrinterFont font_;
    int x_ = 0;       // twips
    double y_ = 0;    // device pixels from the top of the page
    bool pageHasInk_ = false;
    bool pageBreakPending_ = false;
    QString error_;
};

} // namespace solandre
