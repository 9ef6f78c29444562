#pragma once
// A batch of studies worked on by every core of the machine and written in
// the order of the arguments: the output and the messages are the same bytes
// as one study after the other would give.

#include "study_commands.h"

#include <cstddef>
#include <functional>

namespace valdex::cli {

// The work of the study at `index`: writes to the streams it is given and
// says whether the study was done. It may run on any thread, at the same
// time as the work of other studies.
using BatchWork = std::function<bool(std::size_t index, Streams io)>;

// Runs `work` for every index below `count` and hands what each wrote to
// `io` (output, messages and what was read) in order of index. True when
// every study was done. An exception that a study's work lets out comes out
// of here after what the studies before it wrote; nothing after it is
// written. Studies are taken in parts, and no more than a few parts are held
// ahead of the writing, so memory does not grow with the batch.
bool RunInOrder(std::size_t count, Streams io, const BatchWork& work);

} // namespace valdex::cli
