#include "ordered_batch.h"

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

#include <pthread.h>

namespace valdex::cli {

namespace {

constexpr std::size_t kPartSize = 64;   // studies a thread takes at a time
constexpr std::size_t kPartsAhead = 16; // parts taken beyond the last one written
constexpr unsigned kMaxThreads = 8;
// A study needs little stack; with the default 8 MB a thread, an address
// space held tight (ulimit -v) would be left short for the studies' data.
constexpr std::size_t kWorkerStack = 1024 * 1024;

// A thread on a small stack, running `run` until it returns.
class Worker {
public:
    template <class Run> explicit Worker(Run& run) {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, kWorkerStack);
        const int error = pthread_create(&thread_, &attributes, &Start<Run>, &run);
        pthread_attr_destroy(&attributes);
        if (error != 0) throw std::system_error(error, std::generic_category());
    }
    void Join() { pthread_join(thread_, nullptr); }

private:
    template <class Run> static void* Start(void* run) {
        (*static_cast<Run*>(run))();
        return nullptr;
    }
    pthread_t thread_{};
};

// What the studies of one part wrote.
struct Part {
    std::ostringstream out;
    std::ostringstream err;
    std::vector<FileRead> reads;
    bool allDone = true;
};

struct Slot {
    std::unique_ptr<Part> part;
    bool failed = false; // the part stopped at an exception
    bool ready = false;
};

class Batch {
public:
    Batch(std::size_t count, Streams io, const BatchWork& work)
        : count_(count), io_(io), work_(work), slots_((count + kPartSize - 1) / kPartSize) {}

    // Works with up to `threads` threads besides this one, which writes.
    bool Run(unsigned threads) {
        auto work = [this] { Work(); };
        std::vector<Worker> workers;
        workers.reserve(threads);
        try {
            while (workers.size() < threads)
                workers.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads to be had: those that started do the work.
        }
        if (workers.empty()) return RunHere(0);
        std::size_t resume = count_;
        {
            struct Join {
                Batch& batch;
                std::vector<Worker>& workers;
                ~Join() {
                    {
                        const std::lock_guard lock(batch.mutex_);
                        batch.stopped_ = true;
                    }
                    batch.changed_.notify_all();
                    for (Worker& worker : workers)
                        worker.Join();
                }
            } join{*this, workers};
            resume = Write();
        }
        // A part that failed (short of memory with the threads' own, or
        // with an error of its own) is done again here, and the rest after
        // it, one study after the other: it ends as it would have alone.
        std::vector<Slot>().swap(slots_);
        if (resume < count_) allDone_ = RunHere(resume) && allDone_;
        return allDone_;
    }

    bool RunHere(std::size_t from) const {
        bool allDone = true;
        for (std::size_t i = from; i < count_; ++i)
            allDone = work_(i, io_, true) && allDone;
        return allDone;
    }

private:
    void Work() {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] {
                    return stopped_ || taken_ == slots_.size() || taken_ < written_ + kPartsAhead;
                });
                if (stopped_ || taken_ == slots_.size()) return;
                index = taken_++;
            }
            Slot done;
            try {
                done.part = std::make_unique<Part>();
                RunPart(index, *done.part);
            } catch (...) {
                done.failed = true;
            }
            done.ready = true;
            {
                const std::lock_guard lock(mutex_);
                slots_[index] = std::move(done);
            }
            changed_.notify_all();
        }
    }

    void RunPart(std::size_t index, Part& part) const {
        Streams io{part.out, part.err, io_.reads ? &part.reads : nullptr};
        const std::size_t end = std::min(count_, (index + 1) * kPartSize);
        for (std::size_t i = index * kPartSize; i < end; ++i)
            part.allDone = work_(i, io, false) && part.allDone;
    }

    // Writes the parts in order; the first study of the first part that
    // failed, or the count when none did.
    std::size_t Write() {
        for (std::size_t index = 0; index < slots_.size(); ++index) {
            Slot slot;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return slots_[index].ready; });
                slot = std::move(slots_[index]);
                written_ = index + 1;
            }
            changed_.notify_all();
            // A stream that could not hold what was written to it lost it.
            if (slot.failed || !slot.part->out || !slot.part->err) return index * kPartSize;
            io_.out << slot.part->out.view();
            io_.err << slot.part->err.view();
            if (io_.reads)
                io_.reads->insert(io_.reads->end(),
                                  std::make_move_iterator(slot.part->reads.begin()),
                                  std::make_move_iterator(slot.part->reads.end()));
            allDone_ = slot.part->allDone && allDone_;
        }
        return count_;
    }

    const std::size_t count_;
    const Streams io_;
    const BatchWork& work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::size_t taken_ = 0;   // parts handed to a thread
    std::size_t written_ = 0; // parts written
    bool stopped_ = false;
    bool allDone_ = true; // every study written was done
};

} // namespace

bool RunInOrder(std::size_t count, Streams io, const BatchWork& work) {
    Batch batch(count, io, work);
    const unsigned threads = std::min(std::thread::hardware_concurrency(), kMaxThreads);
    if (count <= kPartSize || threads < 2) return batch.RunHere(0);
    return batch.Run(threads);
}

} // namespace valdex::cli
