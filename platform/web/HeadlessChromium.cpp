#include "web/HeadlessChromium.h"

#include <csignal>
#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace Web {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

// A profile folder of its own for each run, removed afterwards.
struct TempProfile {
    std::string path;
    TempProfile()
    {
        char pattern[] = "/tmp/spiro-chromium-XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            path = pattern;
    }
    ~TempProfile()
    {
        if (!path.empty())
            nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
};

// Waits for the child; kills it when the time is up. True when it exited with 0.
bool WaitFor(pid_t child, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool FileHasContent(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

}  // namespace

std::string HeadlessChromium::Executable()
{
    const char* named = std::getenv("SPIRO_CHROMIUM");
    return named != nullptr && *named != '\0' ? named : "/usr/bin/chromium";
}

bool HeadlessChromium::Available() { return ::access(Executable().c_str(), X_OK) == 0; }

bool HeadlessChromium::Run(const std::string& url, const std::string& outputFlag, int width, int height,
                           const std::string& output)
{
    if (!Available())
        return false;
    TempProfile profile;
    ::remove(output.c_str());
    std::vector<std::string> args = {Executable(),
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--hide-scrollbars",
                                     "--allow-file-access-from-files",
                                     "--no-pdf-header-footer",
                                     "--user-data-dir=" + profile.path,
                                     "--window-size=" + std::to_string(width) + "," + std::to_string(height),
                                     outputFlag + "=" + output,
                                     url};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // Chromium talks a lot on its standard streams; none of it is ours.
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return WaitFor(child, kTimeoutSeconds) && FileHasContent(output);
}

bool HeadlessChromium::Screenshot(const std::string& url, int width, int height, const std::string& pngPath)
{
    return Run(url, "--screenshot", width, height, pngPath);
}

bool HeadlessChromium::PrintToPdf(const std::string& url, const std::string& pdfPath)
{
    return Run(url, "--print-to-pdf", 800, 600, pdfPath);
}

}  // namespace Web
