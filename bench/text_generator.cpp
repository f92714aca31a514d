// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_generator.h"

#include "common/cp1252.h"

#include <QString>
#include <cmath>
#include <random>
#include <vector>

namespace solandre::bench {
namespace {

std::vector<std::string> words()
{
    const char* utf8[] = {
        "casa", "canto", "cantaba", "mente", "claramente", "niño", "corazón", "árbol", "él",
        "ésta", "pequeña", "camión", "después", "según", "también", "aquí", "había", "señor",
        "mañana", "agua", "l'eau", "peut-être", "rápidamente", "caminar", "ciudad", "noche",
        "tiempo", "mundo", "vida", "hombre", "mujer", "palabra", "libro", "río", "país", "José",
        "Sr", "Dña", "Quillarne", "María", "Ávila", "Œuvre", "fácil", "qué", "cómo", "año",
        "de", "la", "que", "el", "en", "y", "a", "los", "se", "del", "las", "un", "por", "con",
    };
    std::vector<std::string> list;
    for (const char* w : utf8) list.push_back(toCp1252(QString::fromUtf8(w)));
    return list;
}

} // namespace

std::string generateText(size_t bytes, unsigned seed)
{
    static const std::vector<std::string> vocabulary = words();
    const std::string open[] = {"", "", "", "\xBF", "\xA1", "\""};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };

    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        const std::string& opening = open[pick(6)];
        text += opening;
        const size_t length = 4 + pick(18);
        for (size_t w = 0; w < length; ++w) {
            std::string word = vocabulary[pick(vocabulary.size())];
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = char(word[0] - 32);
            text += word;
            if (w + 1 < length) text += pick(12) == 0 ? ", " : (pick(40) == 0 ? "\r\n" : " ");
            if (pick(60) == 0) text += std::to_string(pick(2030)) + " ";
        }
        text += opening == "\xBF" ? "?" : opening == "\xA1" ? "!" : (pick(30) == 0 ? "..." : ".");
        text += pick(8) == 0 ? "\r\n\r\n" : " ";
    }
    return text;
}

std::string generateRichText(size_t bytes, size_t forms, unsigned seed)
{
    const std::string syllables[] = {"ca", "sa", "me", "te", "ri", "o", "lu", "na", "ción",
                                     "pe", "dro", "mar", "é", "ña", "bl", "an", "co", "es"};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    std::vector<std::string> vocabulary;
    for (size_t f = 0; f < forms; ++f) {
        std::string word;
        for (size_t s = 1 + pick(4); s > 0; --s) word += syllables[pick(std::size(syllables))];
        vocabulary.push_back(toCp1252(QString::fromUtf8(word)));
    }
    // Zipf-like: rank r drawn with weight 1/r, by inverting the harmonic sum.
    std::uniform_real_distribution<double> uniform(0.0, std::log(double(forms)));
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        const size_t length = 4 + pick(18);
        for (size_t w = 0; w < length; ++w) {
            std::string word = vocabulary[std::min(forms - 1, size_t(std::exp(uniform(random))) - 1)];
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = char(word[0] - 32);
            text += word;
            if (w + 1 < length) text += pick(12) == 0 ? ", " : " ";
        }
        text += pick(10) == 0 ? "?\r\n" : ". ";
    }
    return text;
}

} // namespace solandre::bench

#include <fstream>
#include <sstream>

namespace solandre::bench {

std::string generateManyFormsText(size_t bytes, unsigned seed)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyz\xE1\xE9\xED\xF3\xFA\xF1";
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        for (size_t w = 4 + pick(14); w > 0; --w) {
            for (size_t k = 4 + pick(7); k > 0; --k) text += letters[pick(sizeof letters - 1)];
            text += ' ';
        }
        text.back() = '.';
        text += "\r\n";
    }
    return text;
}

} // namespace solandre::bench
