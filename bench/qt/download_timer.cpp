// Times THTTPGet downloading one address into a file, the way the update
// centre does it (WaitThread, a progress handler), for bench/http_download.sh.
// Usage: download_timer URL FILE REPETITIONS [--no-progress]
// Prints one line per repetition: the seconds it took.

#include "net/http_get.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4 || argc > 5) {
        std::fputs("usage: download_timer URL FILE REPETITIONS [--no-progress]\n", stderr);
        return 2;
    }
    const bool progress = argc != 5 || std::string(argv[4]) != "--no-progress";
    const int repetitions = std::atoi(argv[3]);
    orbita::InitializeTransfers();
    orbita::THTTPGet get;
    get.Agent = "Orbita";
    get.WaitThread = true;
    get.TargetUrl = argv[1];
    get.FileName = argv[2];
    std::int64_t events = 0;
    if (progress)
        get.OnProgress = [&events](orbita::THTTPGet&, std::int64_t, std::int64_t) { ++events; };
    for (int i = 0; i < repetitions; ++i) {
        events = 0;
        const auto start = std::chrono::steady_clock::now();
        get.DownloadToFile();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!get.Succeeded()) {
            std::fprintf(stderr, "download_timer: the transfer failed: %s\n", get.LastError().c_str());
            return 1;
        }
        std::printf("%.4f %lld\n", took.count(), static_cast<long long>(events));
        std::fflush(stdout);
    }
    orbita::ShutdownTransfers(std::chrono::seconds(5));
    return 0;
}
