// Import and generate tasks run on threads of their own and may overlap in any way. Replacing threads run against
// reading threads here; run under ThreadSanitizer, this also shows that the list needs no other locking.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "card_writer.h"
#include "number_list.h"
#include "vcard.h"

namespace tavix {
namespace {

// Every list made here is fully described by its id: LengthOf(id) entries, entry i reads "<id>:<i>". A reader can
// thus tell from any snapshot whether it holds one whole list, or pieces of two.
std::size_t LengthOf(unsigned long id) {
    return 1 + id % 37;
}

std::string ListText(unsigned long id) {
    std::string text;
    for (std::size_t i = 1; i <= LengthOf(id); ++i) {
        text += std::to_string(id) + ":" + std::to_string(i);
        text += (id % 2 == 0) ? "\r\n" : "\n";
    }
    return text;
}

// Empty when the snapshot is one whole list, else what is wrong with it.
std::string CheckWhole(const NumberLines& lines) {
    if (lines.Count() == 0) {
        return "";  // the list at start, after an unreadable file, or after release
    }
    const std::string first(lines.Entry(1));
    const std::size_t colon = first.find(':');
    if (colon == std::string::npos) {
        return "entry 1 is \"" + first + "\"";
    }
    const unsigned long id = std::stoul(first.substr(0, colon));
    if (lines.Count() != LengthOf(id)) {
        return "list " + std::to_string(id) + " has " + std::to_string(lines.Count()) + " entries";
    }
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        const std::string want = std::to_string(id) + ":" + std::to_string(i);
        if (lines.Entry(i) != want) {
            return "list " + std::to_string(id) + " entry " + std::to_string(i) + " is \"" +
                   std::string(lines.Entry(i)) + "\"";
        }
    }
    return "";
}

class CountingSink : public ChunkSink {
  public:
    bool Write(std::string_view chunk) override {
        bytes += chunk.size();
        return true;
    }
    std::size_t bytes = 0;
};

TEST(NumberListStressTest, ReadersAlwaysSeeWholeListsWhileOthersReplace) {
    constexpr int kReplacers = 2;
    constexpr int kReaders = 3;
    // Bounded by the clock rather than by a count, so that a slow sanitizer build still ends quickly.
    constexpr auto kRunTime = std::chrono::milliseconds(600);

    NumberList list;
    std::atomic<bool> go{false};
    std::atomic<bool> stop{false};
    std::atomic<unsigned long> snapshotsChecked{0};
    std::atomic<unsigned long> listChangesSeen{0};
    std::mutex failureMutex;
    std::vector<std::string> failures;
    const auto fail = [&](const std::string& what) {
        std::lock_guard<std::mutex> lock(failureMutex);
        if (failures.size() < 5) {
            failures.push_back(what);
        }
        stop = true;
    };
    const auto waitForGo = [&] {
        while (!go) {
            std::this_thread::yield();
        }
    };

    std::vector<std::thread> replacers;
    for (int r = 0; r < kReplacers; ++r) {
        replacers.emplace_back([&, r] {
            waitForGo();
            const auto end = std::chrono::steady_clock::now() + kRunTime;
            for (unsigned long k = 1; !stop && std::chrono::steady_clock::now() < end; ++k) {
                const unsigned long id = (r + 1) * 100000000ul + k;
                // Now and then an unreadable file: the list becomes empty.
                list.Replace(k % 97 == 0 ? NumberLines() : NumberLines::FromText(ListText(id)));
            }
        });
    }

    std::vector<std::thread> readers;
    for (int t = 0; t < kReaders; ++t) {
        readers.emplace_back([&, t] {
            CardOptions options;
            options.nameMode = NameMode::CustomWithSequence;
            options.customName = "c";
            std::shared_ptr<const NumberLines> previous;
            unsigned long round = 0;
            waitForGo();
            do {
                list.Count();
                const std::shared_ptr<const NumberLines> snapshot = list.Snapshot();
                if (snapshot == nullptr) {
                    fail("null snapshot");
                    break;
                }
                if (snapshot != previous) {
                    ++listChangesSeen;
                    previous = snapshot;
                }
                std::string problem = CheckWhole(*snapshot);
                // A generate pass over the snapshot: one card per entry, with the entries still readable.
                if (problem.empty() && (round + t) % 8 == 0) {
                    CountingSink sink;
                    CardWriter writer(sink, 256);
                    for (std::size_t i = 1; i <= snapshot->Count(); ++i) {
                        writer.Add(snapshot->Entry(i), i, options);
                    }
                    if (!writer.Finish() || sink.bytes != ComposeOutputText(*snapshot, options).size()) {
                        problem = "generate pass over a snapshot went wrong";
                    }
                }
                std::this_thread::yield();
                // Replacements came meanwhile; the held list must be just as it was.
                if (problem.empty()) {
                    problem = CheckWhole(*snapshot);
                }
                if (!problem.empty()) {
                    fail(problem);
                    break;
                }
                ++snapshotsChecked;
                ++round;
            } while (!stop);
        });
    }

    go = true;
    for (std::thread& replacer : replacers) {
        replacer.join();
    }
    // The release at exit is bound like a replacement: readers that are still running keep their lists.
    list.Release();
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }

    EXPECT_TRUE(failures.empty()) << failures.front();
    // The readers must really have run while lists were being swapped, or the test proved nothing.
    EXPECT_GT(listChangesSeen.load(), static_cast<unsigned long>(kReaders));
    EXPECT_EQ(list.Count(), 0u);
    std::printf("%lu snapshots checked, %lu list changes seen\n", snapshotsChecked.load(), listChangesSeen.load());
}

}  // namespace
}  // namespace tavix
