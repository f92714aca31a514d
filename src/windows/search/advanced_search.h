// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search window's row below its first controls, which it leaves where
// they were: "Búsqueda avanzada". Whether each word is a regular
// expression, a condition on the translation ("contiene" or "no contiene"
// another query), whether the translation is searched instead of the
// original, and how the last query was read.

#include "search/query.h"
#include "search/concordance.h"
#include "search/query_search.h"

#include <QGroupBox>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace solandre {

class AdvancedSearch : public QGroupBox {
    Q_OBJECT
public:
    // Placed in twips inside `parent`.
    AdvancedSearch(QWidget* parent, int left, int top, int width);

    QuerySyntax syntax() const;
    // The condition chosen, if any, and its query as typed.
    std::optional<TranslationTest> test() const;
    QString condition() const;
    bool searchesTranslation() const;
    // Puts the box back as it was, saying nothing.
    void setSearchesTranslation(bool searched);

    // Where the texts cannot change places (a collection): the box hidden.
    void withoutTranslationSearch();

    // How the last query was read: `query` as the search read it, then the
    // request's condition on the translation, if any.
    static QString reading(const Query& query, const SearchRequest& request);
    void say(const QString& status);
    QString said() const;

signals:
    // The user checked or cleared "Buscar en la traducción".
    void translationToggled();
    // Enter in the condition's box, as in the search box.
    void searchAsked();

private:
    QCheckBox* regex_;
    QCheckBox* translation_;
    QComboBox* test_;
    QLineEdit* condition_;
    QLabel* status_;
};

} // namespace solandre
