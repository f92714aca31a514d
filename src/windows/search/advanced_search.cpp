// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/advanced_search.h"

#include "forms/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace solandre {

AdvancedSearch::AdvancedSearch(QWidget* parent, int left, int top, int width)
    : QGroupBox(QStringLiteral("Búsqueda avanzada :"), parent)
{
    setObjectName(QStringLiteral("Frame4"));
    setFont(timesFont(12, true, true));
    setCaptionColour(this, colours::kRed);
    place(this, left, top, width, 1530);
    const QFont plain = timesFont(9.75);

    regex_ = new QCheckBox(QStringLiteral("Expresión regular"), this);
    regex_->setObjectName(QStringLiteral("expression"));
    regex_->setToolTip(QStringLiteral("Cada palabra de la búsqueda es una expresión regular que abarca la "
                                      "palabra entera: ca(s|n)a, [a-z]+ción"));
    place(regex_, 240, 300, 2295, 315);
    translation_ = new QCheckBox(QStringLiteral("Buscar en la traducción"), this);
    translation_->setObjectName(QStringLiteral("traduction"));
    translation_->setToolTip(QStringLiteral("Los dos textos cambian de lugar: se busca en el texto en lengua "
                                            "meta y el original queda al lado"));
    place(translation_, 2640, 300, 3135, 315);

    auto* caption = new QLabel(QStringLiteral("La frase traducida :"), this);
    caption->setObjectName(QStringLiteral("label6"));
    place(caption, 240, 690, 2055, 315);
    test_ = new QComboBox(this);
    test_->setObjectName(QStringLiteral("condition"));
    test_->addItems({QStringLiteral("(sin condición)"), QStringLiteral("contiene"), QStringLiteral("no contiene")});
    place(test_, 2400, 660, 1815, 345);
    condition_ = new QLineEdit(this);
    condition_->setObjectName(QStringLiteral("Text2"));
    condition_->setToolTip(QStringLiteral("Otra búsqueda, escrita igual, en la frase del mismo número del "
                                          "otro texto"));
    place(condition_, 4320, 675, 3615, 315);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("label5"));
    status_->setWordWrap(true);
    // Two lines from the top, down to the frame's edge: a phrase and a
    // condition are said in two.
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(status_, 240, 1020, width - 480, 495);
    setTextColour(status_, colours::kDarkBlue);

    for (QWidget* w : std::initializer_list<QWidget*>{regex_, translation_, caption, test_, condition_, status_})
        w->setFont(plain);
    // Typing a condition chooses "contiene", unless a test is chosen already.
    connect(condition_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.isEmpty() && test_->currentIndex() == 0) test_->setCurrentIndex(1);
    });
    connect(condition_, &QLineEdit::returnPressed, this, &AdvancedSearch::searchAsked);
    connect(translation_, &QCheckBox::toggled, this, &AdvancedSearch::translationToggled);
}

QuerySyntax AdvancedSearch::syntax() const
{
    return regex_->isChecked() ? QuerySyntax::RegularExpressions : QuerySyntax::Patterns;
}

std::optional<TranslationTest> AdvancedSearch::test() const
{
    switch (test_->currentIndex()) {
    case 1: return TranslationTest::Contains;
    case 2: return TranslationTest::Lacks;
    default: return std::nullopt;
    }
}

QString AdvancedSearch::condition() const { return condition_->text(); }
bool AdvancedSearch::searchesTranslation() const { return translation_->isChecked(); }

void AdvancedSearch::setSearchesTranslation(bool searched)
{
    const QSignalBlocker quiet(translation_);
    translation_->setChecked(searched);
}

void AdvancedSearch::withoutTranslationSearch()
{
    translation_->setChecked(false);
    translation_->hide();
}

QString AdvancedSearch::reading(const Query& query, const SearchRequest& request)
{
    QStringList parts;
    if (const QString read = query.reading(); !read.isEmpty()) parts << read;
    if (request.condition) {
        const Result<Query> condition = Query::read(request.condition->typed, request.syntax);
        const QString words = condition ? condition.value().reading() : QString();
        parts << QStringLiteral("La frase traducida %1 «%2»%3")
                     .arg(request.condition->test == TranslationTest::Contains ? QStringLiteral("contiene")
                                                                               : QStringLiteral("no contiene"),
                          request.condition->typed,
                          words.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + words);
    }
    return parts.join(QLatin1Char(' '));
}

void AdvancedSearch::say(const QString& status)
{
    status_->setText(status);
    // Whole, should a longer one not fit.
    status_->setToolTip(status);
}
QString AdvancedSearch::said() const { return status_->text(); }

} // namespace solandre
