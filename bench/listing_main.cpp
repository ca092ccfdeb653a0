// The file list's own work on one folder, timed: read the folder once, match every name against
// "All Supported Files" and its encrypted forms, and sort files and sub-folders in natural
// order. Prints one line per run, "listing <milliseconds> ms <files> files", for
// listing_compare.sh to gather.
// Usage: listing_bench FOLDER [RUNS]
#include "browser/TypeTable.h"
#include "browser/ViewListing.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const QString spec(mv::browser::AllSupportedPattern);
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const mv::fileutil::Listing listing = mv::browser::listForView(folder, spec);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (!listing.error.ok) {
            std::fprintf(stderr, "%s: %s\n", argv[1], listing.error.message().c_str());
            return 1;
        }
        std::printf("listing %.3f ms %lld files\n", took.count(),
                    static_cast<long long>(listing.files.size()));
    }
    return 0;
}
