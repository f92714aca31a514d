#include "numbering/output_names.h"

namespace solandre {

std::optional<QString> defaultOutputName(const QString& input, const QString& suffix)
{
    if (input.size() < 4) return std::nullopt;
    return input.left(input.size() - 4) + suffix + input.right(4);
}

} // namespace solandre
