// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/bead_edits.h"

#include <algorithm>

namespace solandre {
namespace {

std::uint32_t& first(Bead& b, Side side) { return side == Side::Source ? b.sourceFirst : b.targetFirst; }
std::uint32_t& count(Bead& b, Side side) { return side == Side::Source ? b.sourceCount : b.targetCount; }

void shapedByUser(Bead& bead)
{
    bead.confidence = 1.0f;
    bead.byUser = true;
}

// A bead left with no sentence on either side goes.
void dropIfEmpty(std::vector<Bead>& beads, size_t k)
{
    if (beads[k].sourceCount == 0 && beads[k].targetCount == 0) beads.erase(beads.begin() + std::ptrdiff_t(k));
}

} // namespace

bool giveFirstToPrevious(std::vector<Bead>& beads, size_t k, Side side)
{
    if (k == 0 || k >= beads.size() || count(beads[k], side) == 0) return false;
    Bead& previous = beads[k - 1];
    Bead& bead = beads[k];
    // The previous bead's sentences on that side end just before: an empty
    // side there starts where this one starts.
    if (count(previous, side) == 0) first(previous, side) = first(bead, side);
    ++count(previous, side);
    ++first(bead, side);
    --count(bead, side);
    shapedByUser(previous);
    shapedByUser(bead);
    dropIfEmpty(beads, k);
    return true;
}

bool giveLastToNext(std::vector<Bead>& beads, size_t k, Side side)
{
    if (k + 1 >= beads.size() || count(beads[k], side) == 0) return false;
    Bead& bead = beads[k];
    Bead& next = beads[k + 1];
    --count(bead, side);
    first(next, side) = first(bead, side) + count(bead, side);
    ++count(next, side);
    shapedByUser(bead);
    shapedByUser(next);
    dropIfEmpty(beads, k);
    return true;
}

bool mergeWithNext(std::vector<Bead>& beads, size_t k)
{
    if (k + 1 >= beads.size()) return false;
    Bead& bead = beads[k];
    const Bead next = beads[k + 1];
    for (const Side side : {Side::Source, Side::Target}) {
        if (count(bead, side) == 0) first(bead, side) = first(const_cast<Bead&>(next), side);
        count(bead, side) += count(const_cast<Bead&>(next), side);
    }
    shapedByUser(bead);
    beads.erase(beads.begin() + std::ptrdiff_t(k) + 1);
    return true;
}

bool split(std::vector<Bead>& beads, size_t k)
{
    if (k >= beads.size()) return false;
    Bead& bead = beads[k];
    if (std::max(bead.sourceCount, bead.targetCount) < 2) return false; // nothing to split off
    Bead rest = bead;
    for (const Side side : {Side::Source, Side::Target}) {
        const std::uint32_t taken = std::min<std::uint32_t>(count(bead, side), 1);
        count(bead, side) = taken;
        first(rest, side) += taken;
        count(rest, side) -= taken;
    }
    shapedByUser(bead);
    shapedByUser(rest);
    beads.insert(beads.begin() + std::ptrdiff_t(k) + 1, rest);
    return true;
}

} // namespace solandre
