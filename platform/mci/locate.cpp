// Where a device's file is found. Names are matched as Windows matches them, without
// regard to case, so "discfire.mid" answers for "DISCFIRE.MID".
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <climits>

#include "mci/mci.h"

namespace {

// The installation's data folder as seen from its program's folder, which holds wherever
// the installation was moved to, and the folder it was configured for, which holds when the
// program alone was copied elsewhere.
constexpr char kDataFromBin[] = "/" MCI_DATA_FROM_BIN;
constexpr char kDataDir[] = MCI_DATA_DIR;

std::string ExecutableDir()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

// The entry of `dir` called `name` in any case; empty when there is none.
std::string FindIn(const std::string& dir, const std::string& name)
{
    const std::string exact = dir == "." ? name : dir + "/" + name;
    if (access(exact.c_str(), F_OK) == 0)
        return exact;
    DIR* d = opendir(dir.c_str());
    if (!d)
        return {};
    std::string found;
    while (const dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = dir == "." ? e->d_name : dir + "/" + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

}  // namespace

std::string MciFindFile(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return name;
    std::vector<std::string> places{"."};
    const std::string dir = ExecutableDir();
    if (!dir.empty()) {
        places.push_back(dir);
        places.push_back(dir + kDataFromBin);
    }
    places.push_back(kDataDir);
    for (const std::string& place : places) {
        const std::string found = FindIn(place, name);
        if (!found.empty())
            return found;
    }
    return name;
}
