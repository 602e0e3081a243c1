#ifndef VELMORA_DIFF_MERGE_H
#define VELMORA_DIFF_MERGE_H

#include <string>

namespace velmora {

// The three-way merge of two changed versions of one text, line by line, as
// `git merge-file --theirs` makes it: changes separated by at least one
// unchanged line are combined, identical changes count once, and where the
// two change the same lines differently, or their changes touch, `theirs`
// gives that region while `ours`' other changes stay. The texts are bytes:
// line ends and a missing final line end come out as the inputs have them.
// Throws GenericError when the merge cannot be made at all (a text too large
// for the merge library).
std::string merge_favouring_theirs(
    const std::string& base, const std::string& ours, const std::string& theirs);

} // namespace velmora

#endif
