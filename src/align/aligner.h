#pragma once
// Sentence alignment of a text and its translation: which sentences of one
// render which of the other, as a list of beads covering both texts in order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace solandre {

// Consecutive source sentences rendered by consecutive target sentences; one
// side may be empty (a sentence with no counterpart).
struct Bead {
    std::uint32_t sourceFirst = 0, sourceCount = 0; // 0-based sentence indices
    std::uint32_t targetFirst = 0, targetCount = 0;
    float confidence = 1.0f; // 0..1
};

// Called now and then with the share done (0..1); returning false cancels.
using AlignProgress = std::function<bool(double)>;

// Sentences are UTF-8 text (no markers, no line ends). Empty result for two
// empty inputs; nullopt only when cancelled through `progress`. Beads hold
// 0:1, 1:0, 1:1, 1:2, 2:1, 2:2, 1:3 and 3:1 sentences. The result depends on
// the texts alone.
std::optional<std::vector<Bead>> alignSentences(const std::vector<std::string_view>& source,
                                                const std::vector<std::string_view>& target,
                                                const AlignProgress& progress = {});

// Whether a bead deserves the user's look: low confidence, or not 1:1 (0:1,
// 1:0, 3:1, ...).
bool isDoubtful(const Bead& bead);

} // namespace solandre
