// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user asks for, read once at each search: one or more words to be
// found one after another in a sentence, each with the forms it may take.
//
// A text that a single form's rule can match (no blank between two
// characters, no "|", no "?", at most one "*") is read as that single form,
// exactly as the search always read it. Anything else is read as words:
// blanks and any other character that is not a letter, "*", "?" or "|"
// separate them; "|" gives a word several forms ("casa|hogar"); a form with
// one "*" keeps the single form's rule (prefix and suffix), one with more
// "*" or a "?" is a wildcard pattern ("*" any run of letters, "?" one
// letter), and "*" alone is any word. In the regular-expression syntax the
// words are separated by blanks only, and each is an expression matched,
// case-insensitively, against whole words.

#include "common/encoding.h"
#include "common/result.h"
#include "search/pattern.h"

#include <QString>
#include <QStringView>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QRegularExpression;

namespace solandre {

enum class QuerySyntax { Patterns, RegularExpressions };

// One of the forms a word of a query may take.
struct WordAlternative {
    enum class Kind {
        Form,      // the single form's rule: exact, or a prefix and a suffix around one "*"
        Wildcards, // several "*", or "?"
        Regex,     // a regular expression over the whole word
        AnyWord,   // "*" alone
    };
    Kind kind = Kind::Form;
    Pattern form;                                    // Form
    std::string wildcards;                           // Wildcards: lower-cased UTF-8
    std::shared_ptr<const QRegularExpression> regex; // Regex
    QString written;                                 // as typed
    // Windows-1252 can write it: in such a text, one it cannot write finds
    // nothing (lower-casing would otherwise bring some characters into it).
    bool inCp1252 = true;
};

class QueryWord {
public:
    std::vector<WordAlternative> alternatives;

    bool anyWord() const;
    // Whether a lower-cased form (UTF-8) of a text in `encoding` is one of
    // this word's.
    bool matches(std::string_view lowerForm, Encoding encoding) const;
};

// Whether a lower-cased word matches a wildcard pattern, both UTF-8: "*"
// any run of characters, "?" exactly one.
bool matchesWildcards(std::string_view pattern, std::string_view word);

class Query {
public:
    Query() = default; // no word: finds nothing

    // Fails only on a malformed regular expression, naming the fault.
    static Result<Query> read(const QString& typed, QuerySyntax syntax = QuerySyntax::Patterns);
    // The words of a hit's text, each to be matched exactly: how the viewer
    // finds the phrase it shows again in the sentence.
    static Query exactWords(QStringView text);

    const QString& typed() const { return typed_; }
    QuerySyntax syntax() const { return syntax_; }
    const std::vector<QueryWord>& words() const { return words_; }
    size_t length() const { return words_.size(); }
    // Read as a single form, by the search's first rule.
    bool singleForm() const { return singleForm_; }

    // How the text was read, for the search window's status; empty for a
    // single form that can be found.
    QString reading() const;

private:
    QString typed_;
    QuerySyntax syntax_ = QuerySyntax::Patterns;
    std::vector<QueryWord> words_;
    bool singleForm_ = false;
};

} // namespace solandre
