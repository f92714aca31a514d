// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/anchors.h"

#include <algorithm>
#include <cmath>

namespace solandre::align {

namespace {

// Most sentences a form may be found in to pair them.
constexpr std::uint32_t kRare = 4;
// Letters a word needs to pair sentences.
constexpr std::size_t kMinAnchorLetters = 5;
// Rows from the nearest anchor past which the band grows no wider (a text
// with no anchors at all still gets a band of bounded size; should the path
// press against it, it widens there).
constexpr std::uint32_t kFarthest = 900;

std::size_t codePoints(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// Longest chain increasing in both sentence indices (patience sorting).
std::vector<Anchor> longestChain(std::vector<Anchor> pairs)
{
    // Ties in the source go target-descending so that a chain takes one of them.
    std::sort(pairs.begin(), pairs.end(), [](const Anchor& a, const Anchor& b) {
        return a.source != b.source ? a.source < b.source : a.target > b.target;
    });
    std::vector<std::uint32_t> tails; // pair index ending the best chain of each length
    std::vector<std::int64_t> before(pairs.size(), -1);
    for (std::uint32_t k = 0; k < pairs.size(); ++k) {
        const auto at = std::lower_bound(
            tails.begin(), tails.end(), pairs[k].target,
            [&](std::uint32_t tail, std::uint32_t target) { return pairs[tail].target < target; });
        if (at != tails.begin()) before[k] = *(at - 1);
        if (at == tails.end())
            tails.push_back(k);
        else
            *at = k;
    }
    std::vector<Anchor> chain;
    for (std::int64_t k = tails.empty() ? -1 : std::int64_t{tails.back()}; k >= 0; k = before[k])
        chain.push_back(pairs[k]);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace

std::vector<Anchor> findAnchors(const SideText& source, const SideText& target,
                                const FormTable& forms)
{
    // Forms that are telling enough: numbers, and words long enough that two
    // unrelated languages rarely share them by chance.
    std::vector<bool> telling(forms.size());
    for (std::uint32_t form = 0; form < forms.size(); ++form)
        telling[form] = forms.kind(form) == FormKind::Number ||
                        (forms.kind(form) == FormKind::Word &&
                         codePoints(forms.view(form)) >= kMinAnchorLetters);
    auto count = [&](const SideText& text) {
        std::vector<std::uint32_t> sentences(forms.size(), 0);
        for (const std::uint32_t form : text.forms)
            ++sentences[form];
        return sentences;
    };
    const std::vector<std::uint32_t> sourceCount = count(source), targetCount = count(target);
    // A form found in as many sentences of one text as of the other, and in
    // few, pairs them up in order: its first sentence in the source with its
    // first in the target, and so on.
    auto rare = [&](std::uint32_t form) {
        return telling[form] && sourceCount[form] == targetCount[form] &&
               sourceCount[form] <= kRare;
    };
    auto sentencesOf = [&](const SideText& text) {
        std::vector<std::uint32_t> begin(forms.size() + 1, 0);
        for (std::uint32_t form = 0; form < forms.size(); ++form)
            begin[form + 1] = begin[form] + (rare(form) ? sourceCount[form] : 0);
        std::vector<std::uint32_t> sentences(begin.back()), fill(begin.begin(), begin.end() - 1);
        for (std::uint32_t s = 0; s < text.size(); ++s)
            for (std::uint32_t f = 0; f < text.formCount(s); ++f)
                if (rare(text.formsOf(s)[f])) sentences[fill[text.formsOf(s)[f]]++] = s;
        return sentences;
    };
    const std::vector<std::uint32_t> sourceSentences = sentencesOf(source);
    const std::vector<std::uint32_t> targetSentences = sentencesOf(target);
    std::vector<Anchor> pairs;
    for (std::size_t k = 0; k < sourceSentences.size(); ++k)
        pairs.push_back({sourceSentences[k], targetSentences[k]});
    std::vector<Anchor> chain = longestChain(std::move(pairs));

    // A chance pair in the chain stands out as a spike: far off the line
    // through both its neighbours. Real anchors have a neighbour in line.
    const double slope = source.size() ? double(target.size()) / double(source.size()) : 1.0;
    auto inLine = [&](const Anchor& a, const Anchor& b) {
        const double rows = double(b.source) - double(a.source);
        const double columns = double(b.target) - double(a.target);
        return columns <= 3 * slope * rows + 3 && columns * 3 + 3 >= slope * rows;
    };
    std::vector<Anchor> kept;
    for (std::size_t k = 0; k < chain.size(); ++k) {
        const bool before = k > 0 && inLine(chain[k - 1], chain[k]);
        const bool after = k + 1 < chain.size() && inLine(chain[k], chain[k + 1]);
        if (before || after) kept.push_back(chain[k]);
    }
    return kept;
}

std::vector<double> anchorCenter(const std::vector<Anchor>& anchors, std::uint32_t rows,
                                 std::uint32_t columns)
{
    // Points (row, column) the centre passes; an anchor's sentence pair is the
    // unit square below and right of (source, target), so its centre is +0.5.
    std::vector<std::pair<double, double>> points{{0.0, 0.0}};
    for (const Anchor& anchor : anchors)
        points.emplace_back(anchor.source + 0.5, anchor.target + 0.5);
    points.emplace_back(double(rows), double(columns));

    std::vector<double> center(rows + 1);
    std::size_t segment = 0;
    for (std::uint32_t row = 0; row <= rows; ++row) {
        while (segment + 2 < points.size() && points[segment + 1].first <= row)
            ++segment;
        const auto [r0, c0] = points[segment];
        const auto [r1, c1] = points[segment + 1];
        center[row] = r1 > r0 ? c0 + (c1 - c0) * (row - r0) / (r1 - r0) : c1;
    }
    return center;
}

std::vector<std::uint32_t> rowsFromAnchors(const std::vector<Anchor>& anchors, std::uint32_t rows)
{
    std::vector<std::uint32_t> nearest(rows + 1, UINT32_MAX);
    auto mark = [&](std::uint32_t row) { nearest[std::min(row, rows)] = 0; };
    mark(0);
    mark(rows);
    for (const Anchor& anchor : anchors)
        mark(anchor.source);
    for (std::uint32_t row = 1; row <= rows; ++row)
        nearest[row] = std::min(nearest[row], nearest[row - 1] + 1);
    for (std::uint32_t row = rows; row-- > 0;)
        nearest[row] = std::min(nearest[row], nearest[row + 1] + 1);
    return nearest;
}

std::vector<std::uint32_t> anchorHalfWidth(const std::vector<std::uint32_t>& rowsFromAnchor,
                                           std::uint32_t base)
{
    std::vector<std::uint32_t> halfWidth(rowsFromAnchor.size());
    for (std::size_t row = 0; row < rowsFromAnchor.size(); ++row)
        halfWidth[row] = base + static_cast<std::uint32_t>(
                                    std::sqrt(double(std::min(rowsFromAnchor[row], kFarthest))));
    return halfWidth;
}

} // namespace solandre::align
