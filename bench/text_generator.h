// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts for the benchmarks, reproducible from a seed.

#include <cstddef>
#include <string>

namespace solandre::bench {

// About `bytes` of Spanish-looking Windows-1252 prose: accents, ¿? and ¡!,
// abbreviations, numbers, quotes and line breaks, reproducible from `seed`.
std::string generateText(size_t bytes, unsigned seed = 1);

// The same kind of prose over a vocabulary of about `forms` made-up words of
// syllables, drawn with Zipf-like frequencies as in real texts.
std::string generateRichText(size_t bytes, size_t forms, unsigned seed = 1);

// About `bytes` of sentences of made-up words of random letters, nearly
// every one distinct: the worst case of a vocabulary.
std::string generateManyFormsText(size_t bytes, unsigned seed = 1);

// About `bytes` of Chinese prose in UTF-8, without blanks: clauses of common
// words drawn with Zipf-like frequencies, "，" between them, "。" (now and
// then "？" or "！") after each sentence, line breaks between paragraphs.
std::string generateChineseText(size_t bytes, unsigned seed = 1);

} // namespace solandre::bench
