// The program's own path and name, and where an installed program keeps its files, by the
// file-system hierarchy Linux distributions follow: a program in <prefix>/games keeps them in
// <prefix>/share/games/<name>, any other in <prefix>/share/<name>. Found from where the program is,
// so a program installed under any prefix, or not installed at all, needs no setting.
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/desktop/desktop.h"

namespace standin::desktop {

std::string InstalledDataFolder(const std::filesystem::path& program) {
    const std::filesystem::path folder = program.parent_path();
    std::filesystem::path data = folder.parent_path() / "share";
    if (folder.filename() == "games") data /= "games";
    return (data / program.filename()).string();
}

std::filesystem::path RunningProgram() {
    std::error_code failed;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::filesystem::path() : program;
}

const char* DataFolder() {
    static const std::string folder = [] {
        const std::filesystem::path program = RunningProgram();
        return program.empty() ? std::string() : InstalledDataFolder(program);
    }();
    return folder.empty() ? nullptr : folder.c_str();
}

const char* ProgramName(const char* argv0, const char* fallback) {
    if (argv0 == nullptr || *argv0 == '\0') return fallback;
    const char* slash = std::strrchr(argv0, '/');
    return slash != nullptr ? slash + 1 : argv0;
}

}  // namespace standin::desktop
