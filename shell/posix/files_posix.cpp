// The shell's file and folder operations on Linux.
#include "shell/posix/files_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/posix/private_folder_posix.h"

namespace velmoria {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReplaceFilePosix(const std::string& path, std::string_view bytes) {
    std::string target = path;
    char resolved[PATH_MAX];
    struct stat info {};
    const bool exists = lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode) && realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;  // write through a link, not over it
    }
    const bool targetExists = stat(target.c_str(), &info) == 0;
    // A file the user may not write stays as it is, as the platform's open for writing fails.
    if (targetExists && access(target.c_str(), W_OK) != 0) {
        return false;
    }
    std::string temporary = target.substr(0, target.rfind('/') + 1);
    temporary += "." + target.substr(target.rfind('/') + 1) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const mode_t mode = targetExists ? (info.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

bool ReplacePrivateFilePosix(const std::string& path, std::string_view bytes) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string fault = PrivateFolderFaultPosix(folder, FolderPrivacy::NoWritersButUs);
    if (!fault.empty()) {
        std::fprintf(stderr, "Velmoria.scr: refusing the work folder %s: %s\n", folder.c_str(),
                     fault.c_str());
        return false;
    }
    // A fresh file (mkstemp opens with O_EXCL, so no link is followed) renamed over the name:
    // a link planted there is replaced, its target never touched.
    std::string temporary = folder + "/." + path.substr(slash + 1) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    bool ok = fd >= 0;
    if (ok) {
        ok = fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
        ok = close(fd) == 0 && ok;
        ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
        if (!ok) {
            unlink(temporary.c_str());
        }
    }
    if (!ok) {
        std::fprintf(stderr, "Velmoria.scr: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
    }
    return ok;
}

bool CanOpenForReadingPosix(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool isFolder = fstat(fd, &info) != 0 || S_ISDIR(info.st_mode);
    close(fd);
    return !isFolder;
}

bool CreateFolderPosix(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    return mkdir(path.c_str(), 0700) == 0;
}

std::string ProgramFolderPosix() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) {
        return ".";
    }
    const std::string program(path, static_cast<size_t>(n));
    const size_t slash = program.rfind('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

namespace {

class StartedProgramPosix final : public StartedProgram {
  public:
    explicit StartedProgramPosix(pid_t pid) : pid_(pid) {}
    int32_t ProcessId() override { return static_cast<int32_t>(pid_); }
    // Also reaps it: no zombie is left behind.
    bool HasEnded() override {
        if (!ended_) {
            int status = 0;
            const pid_t result = waitpid(pid_, &status, WNOHANG);
            ended_ = result == pid_ || (result < 0 && errno == ECHILD);
            if (result == pid_ && WIFEXITED(status)) {
                exitCode_ = WEXITSTATUS(status);
            }
        }
        return ended_;
    }
    std::optional<int> ExitCode() override { return exitCode_; }
    // Waits for it too, so that it is gone, not a zombie, when the shell ends; one that
    // ignores SIGTERM is killed after half a second.
    void Terminate() override {
        if (HasEnded()) {
            return;
        }
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100 && !HasEnded(); ++i) {
            usleep(5000);
        }
        if (!HasEnded()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            ended_ = true;
        }
    }

  private:
    pid_t pid_;
    bool ended_ = false;
    std::optional<int> exitCode_;
};

}  // namespace

std::unique_ptr<StartedProgram> StartProgramPosix(const std::string& path) {
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return nullptr;
    }
    return std::make_unique<StartedProgramPosix>(pid);
}

}  // namespace velmoria
