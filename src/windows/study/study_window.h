// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the study windows share: they grow with their window (layouts, a
// minimum size in place of a fixed one), Escape closes them as their
// "Cerrar" does, and their captions name the search they read.

#include <QBoxLayout>
#include <QString>
#include <functional>
#include <optional>

class QGroupBox;
class QMainWindow;
class QWidget;

namespace solandre {

// The client of `window` at least this size (in twips), and the window
// opening at it.
void growWithWindow(QMainWindow* window, QWidget* client, int widthTwips, int heightTwips);

// Escape anywhere in the window runs `close`.
void closeOnEscape(QWidget* window, std::function<void()> close);

// A layout filling `frame`, below its caption.
QBoxLayout* frameLayout(QGroupBox* frame, QBoxLayout::Direction direction);

// The caption of a list of `query`'s results, "query = ..."; empty before any search.
QString searchCaption(const std::optional<QString>& query, const QString& counts);

// What a list says when the search found nothing.
QString noHitText(const QString& query);

} // namespace solandre
