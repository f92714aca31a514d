// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/query.h"

#include "common/letters.h"
#include "common/text_words.h"
#include "common/word_form.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace solandre {
namespace {

bool isBlank(char32_t c) { return c < 0x10000 && QChar::isSpace(char16_t(c)); }

// A single form's rule can match it: no blank between two characters, no
// "|" or "?", at most one "*".
bool readsAsSingleForm(const QList<uint>& typed)
{
    qsizetype first = 0, last = typed.size();
    while (first < last && isBlank(typed[first])) ++first;
    while (last > first && isBlank(typed[last - 1])) --last;
    int stars = 0;
    for (qsizetype k = 0; k < typed.size(); ++k) {
        const char32_t c = typed[k];
        if (c == U'|' || c == U'?') return false;
        if (c == U'*' && ++stars > 1) return false;
        if (k >= first && k < last && isBlank(c)) return false;
    }
    return true;
}

std::string lowerUtf8(const std::u32string& text)
{
    std::string out;
    for (const char32_t c : text) appendUtf8(out, lowerCase(c));
    return out;
}

QString fromUcs4(const std::u32string& text) { return QString::fromUcs4(text.data(), qsizetype(text.size())); }

// Where, in characters, a word of a run of the unspaced scripts ends and the
// next begins, as the text's words are cut.
std::vector<size_t> unspacedCuts(const QString& typed)
{
    std::vector<size_t> cuts;
    const std::vector<TextWord> words = wordsOfText(typed);
    for (size_t k = 1; k < words.size(); ++k)
        if (words[k].start == words[k - 1].end)
            cuts.push_back(size_t(QStringView(typed).left(words[k].start).toUcs4().size()));
    return cuts;
}

WordAlternative patternAlternative(const std::u32string& written)
{
    WordAlternative a;
    a.written = fromUcs4(written);
    a.inCp1252 = encodeText(a.written, Encoding::Windows1252).has_value();
    const auto stars = std::count(written.begin(), written.end(), U'*');
    const bool question = written.find(U'?') != std::u32string::npos;
    if (written == U"*") {
        a.kind = WordAlternative::Kind::AnyWord;
    } else if (stars <= 1 && !question) {
        a.kind = WordAlternative::Kind::Form;
        a.form = parsePattern(a.written);
    } else {
        a.kind = WordAlternative::Kind::Wildcards;
        a.wildcards = lowerUtf8(written);
    }
    return a;
}

// PCRE2's words for the faults a user makes most, in the interface's language.
QString faultInSpanish(const QString& fault)
{
    static const std::pair<const char*, const char*> kFaults[] = {
        {"missing closing parenthesis", "falta un paréntesis de cierre"},
        {"missing terminating ] for character class", "falta el corchete «]» que cierra la clase"},
        {"quantifier does not follow a repeatable item",
         "un cuantificador («*», «+», «?» o «{}») no sigue a nada que pueda repetirse"},
        {"\\ at end of pattern", "una barra «\\» al final"},
        {"unmatched closing parenthesis", "un paréntesis de cierre sin abrir"},
        {"range out of order in character class", "un intervalo al revés en una clase"},
        {"numbers out of order in {} quantifier", "números al revés en un cuantificador «{}»"},
        {"reference to non-existent subpattern", "una referencia a un grupo que no existe"},
        {"unrecognized character after (? or (?-", "un carácter desconocido tras «(?»"},
        {"missing ) after (?# comment", "falta el paréntesis «)» que cierra el comentario «(?#»"},
        {"unknown POSIX class name", "una clase POSIX que no existe"},
        {"unknown property after \\P or \\p", "una propiedad desconocida tras «\\p» o «\\P»"},
        {"lookbehind assertion is not fixed length",
         "una condición sobre lo anterior («(?<=», «(?<!») que no tiene una longitud fija"},
        {"\\c at end of pattern", "una «\\c» al final"},
        {"number too big in {} quantifier", "un número demasiado grande en un cuantificador «{}»"},
        {"syntax error in subpattern name (missing terminator?)", "un nombre de grupo mal escrito (¿falta su cierre?)"},
        {"non-hex character in \\x{} (closing brace missing?)",
         "un carácter que no es hexadecimal en «\\x{}» (¿falta la llave de cierre?)"},
        {"digits missing in \\x{} or \\o{} or \\N{U+}", "faltan las cifras de «\\x{}», «\\o{}» o «\\N{U+}»"},
        {"\\g is not followed by a braced, angle-bracketed, or quoted name/number or by a plain number",
         "«\\g» no va seguido del nombre o el número de un grupo"},
        {"PCRE2 does not support \\F, \\L, \\l, \\N{name}, \\U, or \\u",
         "«\\F», «\\L», «\\l», «\\N{nombre}», «\\U» y «\\u» no se admiten (un carácter por su código se escribe "
         "«\\x{00e9}»)"},
    };
    for (const auto& [english, spanish] : kFaults)
        if (fault == QLatin1String(english)) return QString::fromUtf8(spanish);
    // The rarer ones: said in Spanish, PCRE2's own words kept for the detail.
    return QStringLiteral("la expresión está mal formada (PCRE2: «%1»)").arg(fault);
}

constexpr auto kRegexOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;

Result<WordAlternative> regexAlternative(const QString& written)
{
    auto fault = [&](const QRegularExpression& re, qsizetype offset) {
        const QString where = offset >= written.size()
                                  ? QStringLiteral("al final")
                                  : QStringLiteral("en el carácter %1").arg(std::max<qsizetype>(offset, 0) + 1);
        return Error{QStringLiteral("La expresión regular «%1» no es válida: %2 (%3).")
                         .arg(written, faultInSpanish(re.errorString()), where)};
    };
    // Checked alone first: only a well-formed expression is safe to wrap.
    const QRegularExpression alone(written, kRegexOptions);
    if (!alone.isValid()) return fault(alone, alone.patternErrorOffset());
    // Anchored to the whole word. "\E" ends a "\Q" left open, so it cannot
    // swallow the anchor; the match limit bounds the backtracking of an
    // expression that would otherwise take seconds on a long word.
    const QString prefix = QStringLiteral("(*LIMIT_MATCH=100000)\\A(?:");
    auto regex = std::make_shared<QRegularExpression>(prefix + written + QStringLiteral("\\E)\\z"), kRegexOptions);
    if (!regex->isValid()) {
        // A comment of the extended mode ("(?x)casa#nota") runs to the end of
        // its line: a line break ends it before the anchor, and that mode
        // reads the break as a blank.
        auto ended = std::make_shared<QRegularExpression>(prefix + written + QStringLiteral("\n\\E)\\z"),
                                                          kRegexOptions);
        if (!ended->isValid()) return fault(*regex, regex->patternErrorOffset() - prefix.size());
        regex = std::move(ended);
    }
    regex->optimize();
    WordAlternative a;
    a.kind = WordAlternative::Kind::Regex;
    a.regex = std::move(regex);
    a.written = written;
    return a;
}

QString describe(const WordAlternative& a)
{
    switch (a.kind) {
    case WordAlternative::Kind::AnyWord:
        return QStringLiteral("cualquier palabra");
    case WordAlternative::Kind::Regex:
        return QStringLiteral("/%1/").arg(a.written);
    default:
        return QStringLiteral("«%1»").arg(a.written);
    }
}

QString describe(const QueryWord& word)
{
    QStringList forms;
    for (const WordAlternative& a : word.alternatives) forms << describe(a);
    return forms.join(QStringLiteral(" o "));
}

} // namespace

bool matchesWildcards(std::string_view pattern, std::string_view word)
{
    auto length = [](char lead) -> size_t {
        const auto b = static_cast<unsigned char>(lead);
        return b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    };
    // Greedy, going back to the last "*" on a mismatch: linear in practice,
    // never exponential.
    size_t p = 0, w = 0;
    size_t starP = std::string_view::npos, starW = 0;
    while (w < word.size()) {
        if (p < pattern.size()) {
            if (pattern[p] == '*') {
                starP = ++p;
                starW = w;
                continue;
            }
            const size_t n = std::min(length(word[w]), word.size() - w);
            if (pattern[p] == '?') {
                ++p;
                w += n;
                continue;
            }
            if (pattern.substr(p, length(pattern[p])) == word.substr(w, n)) {
                p += n;
                w += n;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        p = starP;
        starW += std::min(length(word[starW]), word.size() - starW);
        w = starW;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool QueryWord::anyWord() const
{
    return std::any_of(alternatives.begin(), alternatives.end(),
                       [](const WordAlternative& a) { return a.kind == WordAlternative::Kind::AnyWord; });
}

bool QueryWord::matches(std::string_view lowerForm, Encoding encoding) const
{
    QString asText;
    for (const WordAlternative& a : alternatives) {
        if (encoding == Encoding::Windows1252 && !a.inCp1252) continue;
        switch (a.kind) {
        case WordAlternative::Kind::AnyWord:
            return true;
        case WordAlternative::Kind::Form:
            if (solandre::matches(a.form, lowerForm)) return true;
            break;
        case WordAlternative::Kind::Wildcards:
            if (matchesWildcards(a.wildcards, lowerForm)) return true;
            break;
        case WordAlternative::Kind::Regex:
            if (asText.isNull()) asText = QString::fromUtf8(lowerForm.data(), qsizetype(lowerForm.size()));
            if (a.regex->match(QStringView(asText)).hasMatch()) return true;
            break;
        }
    }
    return false;
}

Result<Query> Query::read(const QString& typed, QuerySyntax syntax)
{
    Query query;
    query.typed_ = typed;
    query.syntax_ = syntax;
    const QList<uint> characters = typed.toUcs4();

    if (syntax == QuerySyntax::RegularExpressions) {
        for (qsizetype k = 0; k < characters.size();) {
            if (isBlank(characters[k])) {
                ++k;
                continue;
            }
            qsizetype end = k;
            while (end < characters.size() && !isBlank(characters[end])) ++end;
            Result<WordAlternative> regex =
                regexAlternative(QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data() + k), end - k));
            if (!regex) return regex.error();
            QueryWord word;
            word.alternatives.push_back(std::move(regex.value()));
            query.words_.push_back(std::move(word));
            k = end;
        }
        return query;
    }

    if (readsAsSingleForm(characters) && unspacedCuts(typed).empty()) {
        // The whole text, blanks and signs included, as the one form.
        WordAlternative a;
        a.written = typed;
        a.inCp1252 = encodeText(typed, Encoding::Windows1252).has_value();
        a.form = parsePattern(typed);
        QueryWord word;
        word.alternatives.push_back(std::move(a));
        query.words_.push_back(std::move(word));
        query.singleForm_ = true;
        return query;
    }

    // Blanks beside a "|" join rather than separate: "casa | hogar" is one word.
    std::u32string text;
    for (qsizetype k = 0; k < characters.size(); ++k) {
        const char32_t c = characters[k];
        if (isBlank(c)) {
            qsizetype before = k, after = k;
            while (before > 0 && isBlank(characters[before - 1])) --before;
            while (after < characters.size() && isBlank(characters[after])) ++after;
            if ((before > 0 && characters[before - 1] == U'|') ||
                (after < characters.size() && characters[after] == U'|'))
                continue;
        }
        text += c;
    }
    auto partOfWord = [](char32_t c) { return isLetter(c) || c == U'*' || c == U'?' || c == U'|'; };
    // One word, its alternatives apart at each "|".
    auto addWord = [&](const std::u32string& part) {
        QueryWord word;
        for (size_t from = 0; from <= part.size();) {
            const size_t bar = std::min(part.find(U'|', from), part.size());
            if (bar > from) word.alternatives.push_back(patternAlternative(part.substr(from, bar - from)));
            from = bar + 1;
        }
        if (!word.alternatives.empty()) query.words_.push_back(std::move(word));
    };
    for (size_t k = 0; k < text.size();) {
        if (!partOfWord(text[k])) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end < text.size() && partOfWord(text[end])) ++end;
        // Words of the unspaced scripts cut as the text's are: «中国人民»,
        // written with no blank, is «中国» then «人民». Not among
        // alternatives: «casa|中国人民» stays one word of two forms.
        const std::u32string token = text.substr(k, end - k);
        size_t from = 0;
        if (token.find(U'|') == std::u32string::npos)
            for (const size_t at : unspacedCuts(fromUcs4(token))) {
                addWord(token.substr(from, at - from));
                from = at;
            }
        addWord(token.substr(from));
        k = end;
    }
    return query;
}

Query Query::exactWords(QStringView text)
{
    Query query;
    query.typed_ = text.toString();
    for (const TextWord& word : wordsOfText(text)) {
        WordAlternative a;
        a.written = text.mid(word.start, word.end - word.start).toString();
        a.form.prefix = foldedForm(a.written.toStdString());
        QueryWord w;
        w.alternatives.push_back(std::move(a));
        query.words_.push_back(std::move(w));
    }
    return query;
}

QString Query::reading() const
{
    if (singleForm_) {
        // A form the rule can never find: say why, and what would find it.
        bool sign = false;
        for (const uint c : typed_.toUcs4()) sign = sign || (!isLetter(c) && c != U'*');
        if (!sign) return {};
        return QStringLiteral("Una forma sola no lleva espacios ni signos: «%1» no puede encontrarse. "
                              "Para buscar palabras seguidas, sepárelas con un espacio.")
            .arg(typed_);
    }
    if (words_.empty()) return QStringLiteral("La búsqueda no tiene ninguna palabra.");
    QStringList parts;
    for (const QueryWord& word : words_) parts << describe(word);
    const QString kind =
        syntax_ == QuerySyntax::RegularExpressions ? QStringLiteral(" (expresiones regulares)") : QString();
    if (words_.size() == 1) return QStringLiteral("Una palabra%1: %2.").arg(kind, parts.front());
    return QStringLiteral("%1 palabras seguidas en una frase%2: %3.")
        .arg(words_.size())
        .arg(kind, parts.join(QStringLiteral(", luego ")));
}

} // namespace solandre
