// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/query_text.h"
#include "search/reference_query.h"
#include "search/reference_search.h"
#include "support/reference_text.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

std::vector<reference::QueryHit> rows(const ResultGrid& grid)
{
    std::vector<reference::QueryHit> out;
    for (size_t r = 1; r < grid.rows(); ++r) out.push_back({grid.text(r, 0), grid.text(r, 1)});
    return out;
}

// "text[marker]" per hit, UTF-8, blank separated.
std::string listing(const std::vector<reference::QueryHit>& hits, Encoding encoding)
{
    std::string out;
    for (const auto& h : hits) out += (out.empty() ? "" : " ") + toUtf8(h.text, encoding) + toUtf8(h.marker, encoding);
    return out;
}

Result<size_t> find(Concordance& c, const char* typed, QuerySyntax syntax = QuerySyntax::Patterns)
{
    SearchRequest request;
    request.typed = QString::fromUtf8(typed);
    request.syntax = syntax;
    return c.search(request);
}

const char* const kText =
    "[1] La casa del río, y la casa\r\ndel monte.\r\n"
    "[2] Casa, del río: CASA DEL RÍO.\r\n"
    "[3] Llevar a cabo; llevarlo a buen cabo.\r\n"
    "[4] Canción, cancioncilla y acción.\r\n"
    "[5] Casa.\r\n"
    "[6] Del río.\r\n"
    "[7] l'eau peut-être, casa*.\r\n";

struct Case {
    const char* name;
    const char* typed;
    const char* expected; // "text[marker]" per hit, UTF-8
};

TEST(QuerySearch, PhrasesWildcardsAndAlternatives)
{
    const Case cases[] = {
        {"a phrase, whatever non-letters stand between its words", "casa del río",
         "casa del río[1] Casa, del río[2] CASA DEL RÍO[2]"},
        {"a line break inside a hit shows as a blank", "casa del monte", "casa del monte[1]"},
        {"never across two sentences", "casa del", "casa del[1] casa del[1] Casa, del[2] CASA DEL[2]"},
        {"the words of a phrase in any case", "DEL río", "del río[1] del río[2] DEL RÍO[2] Del río[6]"},
        {"a star alone is any one word", "llevar * cabo", "Llevar a cabo[3]"},
        {"stars alone in a row", "llevar* * * cabo", "llevarlo a buen cabo[3]"},
        {"several stars in a word, accents matter", "*ción*", "Canción[4] acción[4]"},
        {"several stars", "*ci*n*", "Canción[4] cancioncilla[4] acción[4]"},
        {"a question mark is one letter, accented too", "canci?n", "Canción[4]"},
        {"a question mark is never no letter", "ca?sa", ""},
        {"alternatives", "río|monte", "río[1] monte[1] río[2] RÍO[2] río[6]"},
        {"alternatives in a phrase, blanks around the bar", "casa | hogar del río",
         "casa del río[1] Casa, del río[2] CASA DEL RÍO[2]"},
        {"a sign inside a phrase separates words", "l'eau peut", "l'eau peut[7]"},
        {"one star keeps the single form's rule in a phrase too", "ca*a del", "casa del[1] casa del[1] Casa, del[2] CASA DEL[2]"},
        {"a single form with a sign finds nothing, as ever", "l'eau", ""},
        {"a single form with a trailing blank finds nothing, as ever", "casa ", ""},
        {"a single form with one star, as ever", "cas*", "casa[1] casa[1] Casa[2] CASA[2] Casa[5] casa[7]"},
        {"only blanks", "   ", ""},
        {"only signs and blanks", ", ;", ""},
        {"a phrase longer than the text", "a b c d e f g h i j k l m n o p q r s t u v w x y z a b c d e f g h", ""},
    };
    Concordance concordance(cp1252(kText));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<size_t> found = find(concordance, c.typed);
        ASSERT_TRUE(found.ok());
        EXPECT_EQ(listing(rows(concordance.grid()), Encoding::Windows1252), c.expected);
        EXPECT_EQ(found.value(), concordance.grid().hitCount());
    }
}

TEST(QuerySearch, WordsOfUnspacedScriptsAreCutInTheQueryAsInTheText)
{
    // Written as its readers write it, without blanks between words.
    const Case cases[] = {
        {"two words of one run", "中国人民", "中国人民[1]"},
        {"the whole run", "我爱中国人民", "我爱中国人民[1]"},
        {"a run of three words", "中国很大", "中国很大[2]"},
        {"one word stays a single form", "中国", "中国[1] 中国[2]"},
        {"a star after the word", "中*", "中国[1] 中国[2]"},
        {"a Thai phrase", "ประเทศไทยสวย", "ประเทศไทยสวย[3]"},
        {"with blanks as before", "中国 人民", "中国人民[1]"},
        {"a Latin word is never cut", "casa", "casa[3]"},
        {"alternatives are not cut", "casa|中国人民", "casa[3]"},
        {"alternatives, blanks around the bar", "中国人民 | casa", "casa[3]"},
    };
    Concordance concordance("\xEF\xBB\xBF[1] 我爱中国人民。\r\n[2] 中国很大。\r\n[3] ประเทศไทยสวย casa.\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(find(concordance, c.typed).ok());
        EXPECT_EQ(listing(rows(concordance.grid()), Encoding::Utf8), c.expected);
    }
}

TEST(QuerySearch, RegularExpressionsMatchWholeWordsOfTheVocabulary)
{
    const Case cases[] = {
        {"alternatives inside a word", "ca(s|n)a", "casa[1] casa[1] Casa[2] CASA[2] Casa[5] casa[7]"},
        {"never part of a word", "asa", ""},
        {"any case", "CANCI.N", "Canción[4]"},
        {"classes and repeats", "[a-z]+ción", "Canción[4] acción[4]"},
        {"a phrase of expressions", "casa d.l", "casa del[1] casa del[1] Casa, del[2] CASA DEL[2]"},
        {"an alternative that is a prefix of the other still matches the whole word", "ca|casa",
         "casa[1] casa[1] Casa[2] CASA[2] Casa[5] casa[7]"},
        {"a quoted part left open cannot swallow the anchor", "\\Qcasa", "casa[1] casa[1] Casa[2] CASA[2] Casa[5] casa[7]"},
        {"a comment of the extended mode cannot swallow the anchor", "(?x)casa#nota",
         "casa[1] casa[1] Casa[2] CASA[2] Casa[5] casa[7]"},
    };
    Concordance concordance(cp1252(kText));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(find(concordance, c.typed, QuerySyntax::RegularExpressions).ok());
        EXPECT_EQ(listing(rows(concordance.grid()), Encoding::Windows1252), c.expected);
    }
}

TEST(QuerySearch, AMalformedExpressionIsAMessageNamingTheFault)
{
    struct Fault {
        const char* typed;
        const char* named;
    };
    const Fault faults[] = {
        {"ca(sa", "«ca(sa» no es válida: falta un paréntesis de cierre (al final)"},
        {"casa [abc", "«[abc» no es válida: falta el corchete"},
        {"*casa", "cuantificador"},
        {"casa\\", "barra"},
        {"a)", "sin abrir (en el carácter 2)"},
        {"[z-a]", "al revés"},
        {"x{3,1}", "al revés"},
        {"(?x)a#b", ""},
        {"\\u00e9", "no se admiten (un carácter por su código se escribe «\\x{00e9}»)"},
        {"(?<=a+)b", "no tiene una longitud fija"},
        {"[[:letra:]]", "una clase POSIX que no existe"},
        {"a(?#b", "que cierra el comentario"},
        {"a{99999999}", "un número demasiado grande"},
        {"\\x{zz}", "no es hexadecimal"},
        {"(?<n>a)(?<n>b)", "la expresión está mal formada (PCRE2: «"},
    };
    Concordance concordance(cp1252(kText));
    ASSERT_TRUE(find(concordance, "casa").ok());
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.typed);
        const Result<size_t> found = find(concordance, f.typed, QuerySyntax::RegularExpressions);
        if (std::string_view(f.named).empty()) continue; // whatever it reads as, no crash
        ASSERT_FALSE(found.ok());
        EXPECT_FALSE(found.error().cancelled);
        const QString message = found.error().message;
        EXPECT_TRUE(message.contains(QString::fromUtf8(f.named))) << message.toStdString();
        EXPECT_EQ(concordance.grid().hitCount(), 0u);
    }
}

TEST(QuerySearch, ExpressionsThatBacktrackWithoutEndStillAnswer)
{
    // Each word is bounded by the match limit: a wrong but quick "no".
    const std::string text = "[1] " + std::string(4000, 'a') + "b " + std::string(30, 'a') + "ba.\r\n";
    Concordance concordance(text);
    for (const char* typed : {"(a+)+b", "(a|aa)*c", "(.*)*b", "(a*)*b"}) {
        SCOPED_TRACE(typed);
        EXPECT_TRUE(find(concordance, typed, QuerySyntax::RegularExpressions).ok());
    }
}

TEST(QueryReading, SaysHowTheTextWasRead)
{
    struct Reading {
        const char* typed;
        QuerySyntax syntax;
        bool singleForm;
        size_t words;
        const char* said; // part of the reading; "" for none
    };
    const Reading readings[] = {
        {"casa", QuerySyntax::Patterns, true, 1, ""},
        {"cant*", QuerySyntax::Patterns, true, 1, ""},
        {"", QuerySyntax::Patterns, true, 1, ""},
        {"casa ", QuerySyntax::Patterns, true, 1, "no puede encontrarse"},
        {"l'eau", QuerySyntax::Patterns, true, 1, "sepárelas con un espacio"},
        {"a**", QuerySyntax::Patterns, false, 1, "Una palabra: «a**»"},
        {"casa|hogar", QuerySyntax::Patterns, false, 1, "«casa» o «hogar»"},
        {"casa del  río", QuerySyntax::Patterns, false, 3, "3 palabras seguidas en una frase: «casa», luego «del»"},
        {"llevar * cabo", QuerySyntax::Patterns, false, 3, "luego cualquier palabra, luego"},
        {"...  ,", QuerySyntax::Patterns, false, 0, "ninguna palabra"},
        {"ca(s|n)a  d.l", QuerySyntax::RegularExpressions, false, 2, "(expresiones regulares): /ca(s|n)a/"},
        {"中国人民", QuerySyntax::Patterns, false, 2, "2 palabras seguidas en una frase: «中国», luego «人民»"},
        {"中国", QuerySyntax::Patterns, true, 1, ""},
    };
    for (const Reading& r : readings) {
        SCOPED_TRACE(r.typed);
        const Result<Query> query = Query::read(QString::fromUtf8(r.typed), r.syntax);
        ASSERT_TRUE(query.ok());
        EXPECT_EQ(query.value().singleForm(), r.singleForm);
        EXPECT_EQ(query.value().length(), r.words);
        if (std::string_view(r.said).empty())
            EXPECT_EQ(query.value().reading(), QString());
        else
            EXPECT_TRUE(query.value().reading().contains(QString::fromUtf8(r.said))) << query.value().reading().toStdString();
    }
}

TEST(QuerySearch, WildcardsMatchCharacterByCharacter)
{
    struct Wild {
        const char* pattern;
        const char* word;
        bool matches;
    };
    const Wild wilds[] = {
        {"*", "", true},          {"?", "", false},         {"?", "é", true},         {"c?s?", "casa", true},
        {"c*s*", "cs", true},     {"*a*a*a", "aaa", true},  {"*a*a*a", "aa", false},  {"a*b*c", "abbbcbc", true},
        {"a*b*c", "abbbcb", false}, {"ñ*", "ñandú", true},  {"*ú", "ñandú", true},    {"?andú", "ñandú", true},
    };
    for (const Wild& w : wilds)
        EXPECT_EQ(matchesWildcards(w.pattern, w.word), w.matches) << w.pattern << " " << w.word;
}

TEST(QuerySearch, AConditionOnTheTranslationKeepsOrDropsEachHit)
{
    const std::string source = cp1252("[1] La casa blanca.\r\n[2] Una casa.\r\n[3] Casa y casa.\r\n[4] Nada.\r\n");
    const std::string target = "[1] La maison blanche.\r\n[2] Un foyer.\r\n[3] Maison et logis.\r\n[5] Une maison.\r\n";
    Concordance s(source), t(target);
    struct Condition {
        const char* typed;
        TranslationTest test;
        const char* expected;
    };
    const Condition conditions[] = {
        {"maison", TranslationTest::Contains, "casa[1] Casa[3] casa[3]"},
        {"maison", TranslationTest::Lacks, "casa[2]"},
        {"maison blanche", TranslationTest::Contains, "casa[1]"},
        {"foyer|logis", TranslationTest::Contains, "casa[2] Casa[3] casa[3]"},
        {"nada", TranslationTest::Contains, ""},
        {"nada", TranslationTest::Lacks, "casa[1] casa[2] Casa[3] casa[3]"},
    };
    for (const Condition& c : conditions) {
        SCOPED_TRACE(c.typed);
        SearchRequest request;
        request.typed = QStringLiteral("casa");
        request.condition = TranslationCondition{c.test, QString::fromUtf8(c.typed), &t};
        ASSERT_TRUE(s.search(request).ok());
        EXPECT_EQ(listing(rows(s.grid()), Encoding::Windows1252), c.expected);
        EXPECT_EQ(s.grid().translationMatch() != nullptr, c.test == TranslationTest::Contains);
    }
    // A malformed condition is named too, and leaves no hit.
    SearchRequest request;
    request.typed = QStringLiteral("casa");
    request.syntax = QuerySyntax::RegularExpressions;
    request.condition = TranslationCondition{TranslationTest::Contains, QStringLiteral("mai(son"), &t};
    const Result<size_t> found = s.search(request);
    ASSERT_FALSE(found.ok());
    EXPECT_TRUE(found.error().message.contains(QStringLiteral("mai(son")));
    EXPECT_EQ(s.grid().hitCount(), 0u);
}

TEST(QuerySearch, AnotherEncodingOfTheTranslationIsMatchedByItsMarkers)
{
    const std::string source = cp1252("[1] Una canción.\r\n[2] Otra canción.\r\n");
    const std::string target = "[1] Une chanson.\r\n[2] Une autre « chanson ».\r\n"; // UTF-8
    Concordance s(source), t(target);
    ASSERT_EQ(t.encoding(), Encoding::Utf8);
    SearchRequest request;
    request.typed = QStringLiteral("canción");
    request.condition = TranslationCondition{TranslationTest::Contains, QStringLiteral("autre"), &t};
    ASSERT_TRUE(s.search(request).ok());
    EXPECT_EQ(listing(rows(s.grid()), Encoding::Windows1252), "canción[2]");
}

TEST(QuerySearch, BothWaysOfReadingTheTranslationAgree)
{
    // A hit in few sentences against a frequent word of the translation, and
    // hits in every sentence against a rare one: the translation is read
    // sentence by sentence in the first case, match by match in the second.
    // Numbered markers and odd ones ("[a1]") alike.
    for (const bool numbered : {true, false}) {
        std::string source, target;
        for (int n = 1; n <= 300; ++n) {
            const std::string marker = numbered ? "[" + std::to_string(n) + "]" : "[a" + std::to_string(n) + "]";
            source += marker + " uno" + (n % 100 == 7 ? " raro" : "") + " casa.\r\n";
            target += marker + (n % 3 ? " le" : " la") + (n == 107 ? " unique" : "") + " maison.\r\n";
        }
        Concordance s(source), t(target);
        struct Way {
            const char* typed;
            const char* condition;
        };
        for (const Way way : {Way{"raro", "le"}, Way{"raro", "la"}, Way{"casa", "unique"}, Way{"uno casa", "la maison"},
                              Way{"raro casa", "l? maison"}}) {
            for (const TranslationTest test : {TranslationTest::Contains, TranslationTest::Lacks}) {
                SCOPED_TRACE(std::string(way.typed) + " / " + way.condition + (numbered ? " numbered" : " odd"));
                SearchRequest request;
                request.typed = QString::fromUtf8(way.typed);
                request.condition = TranslationCondition{test, QString::fromUtf8(way.condition), &t};
                ASSERT_TRUE(s.search(request).ok());
                const auto hits = reference::queryHits(source, Encoding::Windows1252, way.typed).value();
                const auto expected = reference::keepByTranslation(hits, Encoding::Windows1252, target,
                                                                   Encoding::Windows1252, way.condition, false,
                                                                   test == TranslationTest::Contains);
                ASSERT_EQ(listing(rows(s.grid()), Encoding::Windows1252), listing(expected, Encoding::Windows1252));
            }
        }
    }
}

TEST(QuerySearch, StoppedByProgressLeavesNoHit)
{
    Concordance concordance(cp1252(kText));
    SearchRequest request;
    request.typed = QStringLiteral("c.*");
    request.syntax = QuerySyntax::RegularExpressions;
    const Result<size_t> found = concordance.search(request, [](double) { return false; });
    ASSERT_FALSE(found.ok());
    EXPECT_TRUE(found.error().cancelled);
    EXPECT_EQ(concordance.grid().hitCount(), 0u);
}

TEST(QueryText, MarksEveryWordOfEachMatchInAShownSentence)
{
    struct Mark {
        const char* name;
        const char* query;
        bool exact; // the hit's words, as the viewer reads a phrase shown
        const char* expected; // the marked words, "|" between them
    };
    const Mark marks[] = {
        {"a phrase, any signs between", "casa del río", true, "casa|del|río|CASA|del|río"},
        {"each match once, even overlapping", "río y la", true, "río|y|la"},
        {"alternatives and any word", "la casa|* del", false, "La|casa|del|la|CASA|del"},
        {"wildcards", "c?s? d*", false, "casa|del|CASA|del"},
        {"nothing", "casa río", true, ""},
        {"no words at all", ", ;", false, ""},
    };
    const QString sentence = QString::fromUtf8("[3] La casa, del río y la CASA\ndel río.");
    for (const Mark& m : marks) {
        SCOPED_TRACE(m.name);
        const QString typed = QString::fromUtf8(m.query);
        const Query query = m.exact ? Query::exactWords(typed) : Query::read(typed).value();
        QStringList words;
        for (const auto& [start, length] : matchedWords(sentence, query)) words << sentence.mid(start, length);
        EXPECT_EQ(words.join(QLatin1Char('|')).toStdString(), m.expected);
    }
}

TEST(QueryText, MarksWordsCutAndFoldedAsTheSearchReadsThem)
{
    struct Mark {
        const char* name;
        const char* sentence;
        const char* query;
        bool exact;
        const char* expected;
    };
    const Mark marks[] = {
        {"a phrase's hit in an unspaced script", "[1] 我爱中国人民。", "中国人民", true, "中国|人民"},
        {"one word of a run", "[1] 我爱中国人民。", "中国", false, "中国"},
        {"a phrase typed without blanks", "[1] 我爱中国人民。", "爱中国", false, "爱|中国"},
        {"a decomposed accent in the sentence", "[1] Un cafe\u0301 noir.", "café noir", false, "cafe\u0301|noir"},
        {"a decomposed accent in the hit", "[1] Un café noir.", "cafe\u0301 noir", true, "café|noir"},
    };
    for (const Mark& m : marks) {
        SCOPED_TRACE(m.name);
        const QString sentence = QString::fromUtf8(m.sentence);
        const QString typed = QString::fromUtf8(m.query);
        const Query query = m.exact ? Query::exactWords(typed) : Query::read(typed).value();
        QStringList words;
        for (const auto& [start, length] : matchedWords(sentence, query)) words << sentence.mid(start, length);
        EXPECT_EQ(words.join(QLatin1Char('|')).toStdString(), m.expected);
    }
}

// The example texts, numbered: real sentences in two encodings.
class RealSentences : public ::testing::Test {
protected:
    struct Text {
        std::string numbered;
        Encoding encoding;
        std::vector<std::vector<std::string>> sentences; // lower-cased words, UTF-8
    };

    static std::vector<Text> texts()
    {
        std::vector<Text> out;
        const QDir examples(QStringLiteral(SOLANDRE_EXAMPLES));
        for (const QString& name : {QStringLiteral("casa_del_rio.txt"), QStringLiteral("maison_de_la_riviere.txt"),
                                    QStringLiteral("haus_am_see.txt"), QStringLiteral("maison_du_lac.txt"),
                                    QStringLiteral("utf-8/casa_del_rio.txt")}) {
            const std::string raw = testing::readBytes(examples.filePath(name));
            const Encoding encoding = name.startsWith(QStringLiteral("utf-8")) ? Encoding::Utf8 : Encoding::Windows1252;
            Text t{numberText(raw, encoding), encoding, {}};
            std::vector<std::string> sentence;
            std::string marker;
            for (const auto& e : reference::wordIndex(t.numbered, encoding)) {
                if (e.marker != marker && !sentence.empty()) t.sentences.push_back(std::move(sentence));
                if (e.marker != marker) sentence.clear();
                marker = e.marker;
                sentence.push_back(reference::encode(reference::lower(reference::decode(e.form, encoding)), Encoding::Utf8));
            }
            if (!sentence.empty()) t.sentences.push_back(sentence);
            out.push_back(std::move(t));
        }
        return out;
    }

    std::mt19937 random{27};
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); }

    // One word of a query built on `word`, a word of the text.
    std::string patternWord(const std::string& word, const std::vector<std::string>& any)
    {
        std::u32string w = reference::decode(word, Encoding::Utf8);
        const size_t cut = pick(w.size() + 1);
        std::u32string out;
        switch (pick(9)) {
        case 0: out = w.substr(0, cut) + U"*"; break;
        case 1: out = U"*" + w.substr(cut); break;
        case 2: out = w.substr(0, cut) + U"*" + w.substr(pick(w.size() + 1)); break;
        case 3: out = U"*" + w.substr(0, cut) + U"*"; break;
        case 4:
            out = w;
            out[pick(w.size())] = U'?';
            break;
        case 5: out = U"*"; break;
        case 6: out = w + U"|" + reference::decode(any[pick(any.size())], Encoding::Utf8); break;
        default:
            out = w;
            for (char32_t& c : out)
                if (pick(3) == 0 && c >= 'a' && c <= 'z') c = c - 'a' + 'A';
            break;
        }
        return reference::encode(out, Encoding::Utf8);
    }

    // The same for an expression: only what both engines read alike.
    std::string regexWord(const std::string& word, const std::vector<std::string>& any)
    {
        std::u32string w = reference::decode(word, Encoding::Utf8);
        std::u32string out;
        switch (pick(6)) {
        case 0: out = w.substr(0, pick(w.size() + 1)) + U".*"; break;
        case 1:
            out = w;
            out[pick(w.size())] = U'.';
            break;
        case 2: out = U"(" + w + U"|" + reference::decode(any[pick(any.size())], Encoding::Utf8) + U")"; break;
        case 3: {
            const size_t at = pick(w.size());
            out = w.substr(0, at) + U"[" + w[at] + U"xz]" + w.substr(at + 1);
            break;
        }
        case 4: out = w + U"s?"; break;
        default: out = U".+" + w.substr(pick(w.size() + 1)); break;
        }
        return reference::encode(out, Encoding::Utf8);
    }

    std::string query(const Text& t, bool regex)
    {
        const auto& sentence = t.sentences[pick(t.sentences.size())];
        const auto& other = t.sentences[pick(t.sentences.size())];
        const size_t length = 1 + pick(std::min<size_t>(4, sentence.size()));
        const size_t start = pick(sentence.size() - length + 1);
        static const char* const separators[] = {" ", "  ", ", ", " - ", "\t", " ¿"};
        std::string q;
        for (size_t k = 0; k < length; ++k) {
            if (k) q += regex ? (pick(2) ? " " : "  ") : separators[pick(std::size(separators))];
            const std::string& word = pick(8) == 0 ? other[pick(other.size())] : sentence[start + k];
            q += pick(3) == 0 ? word : regex ? regexWord(word, other) : patternWord(word, other);
        }
        return q;
    }
};

TEST_F(RealSentences, EveryQueryFindsWhatTheSentenceScanFinds)
{
    for (const Text& t : texts()) {
        Concordance concordance(t.numbered);
        ASSERT_EQ(concordance.encoding(), t.encoding);
        for (int round = 0; round < 400; ++round) {
            const bool regex = pick(4) == 0;
            const std::string typed = query(t, regex);
            SCOPED_TRACE(typed);
            const auto expected = reference::queryHits(t.numbered, t.encoding, typed, regex);
            ASSERT_TRUE(expected.has_value());
            ASSERT_TRUE(find(concordance, typed.c_str(), regex ? QuerySyntax::RegularExpressions : QuerySyntax::Patterns).ok());
            ASSERT_EQ(listing(rows(concordance.grid()), t.encoding), listing(*expected, t.encoding));
            if (round % 8 == 0) {
                // "Formas", twice: the second from rows no longer in text order.
                auto sorted = *expected;
                reference::sortHitsByText(sorted, t.encoding);
                for (int pass = 0; pass < 2; ++pass) {
                    concordance.sortByForm();
                    ASSERT_EQ(listing(rows(concordance.grid()), t.encoding), listing(sorted, t.encoding));
                }
            }
        }
    }
}

TEST_F(RealSentences, ConditionsOnTheTranslationAgreeWithTheSentenceScan)
{
    const std::vector<Text> all = texts();
    // Each Spanish and German text with its French translation.
    const std::pair<size_t, size_t> pairs[] = {{0, 1}, {2, 3}, {4, 1}};
    for (const auto& [s, t] : pairs) {
        Concordance source(all[s].numbered), target(all[t].numbered);
        for (int round = 0; round < 150; ++round) {
            const bool regex = pick(5) == 0;
            const std::string typed = query(all[s], regex), condition = query(all[t], regex);
            const bool contains = pick(2) == 0;
            SCOPED_TRACE(typed + (contains ? " with " : " without ") + condition);
            SearchRequest request;
            request.typed = QString::fromStdString(typed);
            request.syntax = regex ? QuerySyntax::RegularExpressions : QuerySyntax::Patterns;
            request.condition = TranslationCondition{contains ? TranslationTest::Contains : TranslationTest::Lacks,
                                                     QString::fromStdString(condition), &target};
            ASSERT_TRUE(source.search(request).ok());
            const auto hits = reference::queryHits(all[s].numbered, all[s].encoding, typed, regex).value();
            const auto expected = reference::keepByTranslation(hits, all[s].encoding, all[t].numbered, all[t].encoding,
                                                               condition, regex, contains);
            ASSERT_EQ(listing(rows(source.grid()), all[s].encoding), listing(expected, all[s].encoding));
        }
    }
}

TEST_F(RealSentences, TheSingleFormIsFoundByTheSearchsFirstRule)
{
    // Whatever the single form, the hits are those of the rule step by step.
    for (const Text& t : texts()) {
        Concordance concordance(t.numbered);
        const auto words = reference::wordIndex(t.numbered, t.encoding);
        for (int round = 0; round < 300; ++round) {
            const auto& sentence = t.sentences[pick(t.sentences.size())];
            std::string typed = patternWord(sentence[pick(sentence.size())], sentence);
            if (typed.find_first_of("|?") != std::string::npos || std::count(typed.begin(), typed.end(), '*') > 1)
                continue;
            if (pick(5) == 0) typed = pick(2) ? typed + " " : "l'" + typed;
            SCOPED_TRACE(typed);
            concordance.search(QString::fromStdString(typed));
            std::vector<reference::QueryHit> expected;
            for (const auto& e : reference::search(words, typed, t.encoding)) expected.push_back({e.form, e.marker});
            ASSERT_EQ(listing(rows(concordance.grid()), t.encoding), listing(expected, t.encoding));
        }
    }
}

TEST(QuerySearch, OddTextsAgreeWithTheSentenceScan)
{
    // Markers never closed, brackets inside words, signs, line breaks: the
    // sentences are wherever the marker changes.
    std::mt19937 random(7);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::vector<std::string> pieces = {"casa", "Casa", "del", "río", "a", "x", " ", " ", ", ", "\r\n", "[", "]",
                                             "[1] ", "[2] ", "*", "?", "|", "7", "l'", "é"};
    // In UTF-8 also runs of Han and Thai letters, glued to Latin ones: words
    // cut inside a run must share its sentence.
    std::vector<std::string> unspaced = pieces;
    for (const char* piece : {"中国", "人民", "我爱", "国casa", "ภาษาไทย", "a挀愀"}) unspaced.push_back(piece);
    const std::vector<std::string> queries = {"casa del", "a a", "* *", "casa|río *", "c?sa", "*a* del", "x * x",
                                              "del río casa", "[ casa", "a|x|del a|x|del", "casa* del*",
                                              "中国 人民", "国 casa", "* 愀", "ภาษา|中国 *", "我爱中国人民"};
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        const std::vector<std::string>& from = encoding == Encoding::Utf8 ? unspaced : pieces;
        for (int round = 0; round < 1500; ++round) {
            std::string text = encoding == Encoding::Utf8 ? "\xEF\xBB\xBF" : "";
            for (size_t k = pick(60); k > 0; --k) text += from[pick(from.size())];
            if (encoding == Encoding::Windows1252) text = cp1252(text.c_str());
            Concordance concordance(text);
            const std::string body = encoding == Encoding::Utf8 ? text.substr(3) : text;
            const std::string typed = queries[pick(queries.size())];
            concordance.search(QString::fromStdString(typed));
            const auto expected = reference::queryHits(body, concordance.encoding(), typed).value();
            ASSERT_EQ(rows(concordance.grid()), expected) << "text: " << text << "\nquery: " << typed;
        }
    }
}

} // namespace
} // namespace solandre
