#include "driver/filedialog.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/textcode.h"

extern char** environ;

namespace zir {
namespace {

constexpr const char* DialogTitle = "W\xE4hle ein Zirkula-Programm zum Ausf\xFChren:";
constexpr int ZenityCancelled = 1;

std::optional<std::string> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = (end > start ? dirs.substr(start, end - start) : ".") + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

bool DisplayPresent() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

DialogResult RunZenity(const std::string& zenity) {
    std::error_code ec;
    std::string start = std::filesystem::current_path(ec).string() + "/";
    std::vector<std::string> args = {zenity, "--file-selection",
                                     "--title=" + Utf8FromWindows1252(DialogTitle),
                                     "--filename=" + start};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) return {DialogOutcome::Failed, "", errno};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    // GTK's warnings about a dialog without a parent window are of no use to the viewer.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawnError = posix_spawn(&pid, zenity.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawnError != 0) {
        ::close(out[0]);
        return {DialogOutcome::Failed, "", spawnError};
    }
    std::string output;
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(out[0], chunk, sizeof chunk);
        if (n > 0) {
            output.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (code == 0) {
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
            output.pop_back();
        }
        if (output.empty()) return {DialogOutcome::Cancelled, "", 0};
        return {DialogOutcome::Chosen, output, 0};
    }
    if (code == ZenityCancelled) return {DialogOutcome::Cancelled, "", 0};
    return {DialogOutcome::Failed, "", code};
}

}  // namespace

std::string CleanTypedPath(std::string text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

DialogResult ChooseScriptFile(bool mayOpenWindow) {
    if (mayOpenWindow && DisplayPresent()) {
        if (std::optional<std::string> zenity = FindProgram("zenity")) return RunZenity(*zenity);
    }
    ConsoleWrite(DialogTitle);
    std::optional<std::string> line = ConsoleReadLine();
    std::string path = line ? CleanTypedPath(*line) : std::string();
    if (path.empty()) return {DialogOutcome::Cancelled, "", 0};
    return {DialogOutcome::Chosen, path, 0};
}

}  // namespace zir
