// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line printer in the classic sense: a font, a horizontal position in twips,
// lines printed one after another, pages and the end of a document.

#include <QString>

namespace solandre {

struct PrinterFont {
    QString name = QStringLiteral("verdana");
    double size = 9;
    bool bold = false;
    bool underline = false;
};

class Printer {
public:
    virtual ~Printer() = default;

    virtual void setFont(const PrinterFont& font) = 0;
    virtual PrinterFont font() const = 0;
    // Where the next text starts, in twips from the left of the printable area.
    virtual void setX(int twips) = 0;
    // Prints `text` at the current position; `endLine` moves to the next line
    // (text holding line breaks starts new lines at them).
    virtual void print(const QString& text, bool endLine) = 0;
    virtual void newPage() = 0;
    // Sends the document; false when the printer did not take it.
    virtual bool endDocument() = 0;
    // Why the last operation failed, for the message the user sees.
    virtual QString lastError() const = 0;
};

} // namespace solandre
