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
// time as the work of other studies; then `alone` is false and the work lets
// a lack of memory (std::bad_alloc) out, so that the study is done again
// alone, with all the memory there is.
using BatchWork = std::function<bool(std::size_t index, Streams io, bool alone)>;

// Runs `work` for every index below `count` and hands what each wrote to
// `io` (output, messages and what was read) in order of index. True when
// every study was done. Studies are taken in parts, and no more than a few
// parts are held ahead of the writing, so memory does not grow with the
// batch. A part that a thread could not finish (an exception, memory short)
// is done again alone on the calling thread with the studies after it, one
// after the other: an exception comes out of here after what the studies
// before it wrote, and nothing after it is written.
bool RunInOrder(std::size_t count, Streams io, const BatchWork& work);

} // namespace valdex::cli
